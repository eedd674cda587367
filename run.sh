#!/bin/sh
# Installs what is missing, builds the program and starts it.
#   ./run.sh [--root DIR]   the mail store is DIR, else $PLUMEX_ROOT, else ~/.local/share/plumex
#   ./run.sh --demo         local POP3 and SMTP servers with Japanese sample mail and a ready
#                           account in build/demo-store (needs root for the servers)
set -eu
cd "$(dirname "$0")"
if [ "${1:-}" = "--demo" ]; then deps=demo; else deps=program; fi
scripts/install-deps.sh "$deps"
scripts/build.sh release
if [ "$deps" = demo ]; then
  exec scripts/demo.sh "$(pwd)/build/app/plumex"
fi
exec build/app/plumex "$@"
