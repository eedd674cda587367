#!/bin/sh
# Installs what is missing, builds the program and starts it.
# The mail store is --root DIR, else $PLUMEX_ROOT, else the directory of the program (build/app).
set -eu
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh release
exec build/app/plumex "$@"
