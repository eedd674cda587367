#!/bin/sh
# Builds the project. Usage: scripts/build.sh [release|test|bench|fuzz]
#   release: build/       the program and the command-line tool
#   test:    build-test/  everything with AddressSanitizer and UndefinedBehaviorSanitizer
#   bench:   build-bench/ optimised, with the benchmarks
#   fuzz:    build-fuzz/  clang with libFuzzer
set -eu
cd "$(dirname "$0")/.."
kind="${1:-release}"
jobs="$(nproc 2>/dev/null || echo 2)"
case "$kind" in
  release) dir=build; flags="-DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLUMEX_BUILD_TESTS=OFF" ;;
  test)    dir=build-test; flags="-DCMAKE_BUILD_TYPE=Debug -DPLUMEX_SANITIZE=ON" ;;
  bench)   dir=build-bench; flags="-DCMAKE_BUILD_TYPE=Release -DPLUMEX_BUILD_TESTS=OFF -DPLUMEX_BUILD_BENCH=ON" ;;
  fuzz)    dir=build-fuzz; flags="-DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLUMEX_SANITIZE=ON -DPLUMEX_BUILD_FUZZ=ON -DPLUMEX_BUILD_GUI=OFF -DPLUMEX_BUILD_TESTS=OFF -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++" ;;
  *) echo "usage: $0 [release|test|bench|fuzz]" >&2; exit 2 ;;
esac
# ccache, where the machine has it, lets several work trees of the project share their objects.
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
  flags="$flags -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache"
fi
cmake -S . -B "$dir" -G Ninja $flags >/dev/null
cmake --build "$dir" -j "$jobs"
