#!/bin/sh
# Installs what is missing, builds everything with the sanitizers and runs every test,
# including the integration tests against local POP3 and SMTP servers that the tests start.
set -eu
cd "$(dirname "$0")"
scripts/install-deps.sh test
scripts/build.sh test
cd build-test
ctest --output-on-failure -j "$(nproc 2>/dev/null || echo 2)" "$@"
