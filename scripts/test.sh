#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test: test.sh [--sanitize]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
dir=build
opts=()
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-sanitize
  opts=(-DMX_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMX_BUILD_BENCH=OFF)
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
scripts/build.sh "$dir" "${opts[@]}"
ctest --test-dir "$dir" --output-on-failure --timeout 600 </dev/null
