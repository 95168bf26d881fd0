#!/usr/bin/env bash
# Builds the package reader's fuzz target with clang-14 and runs it for a fixed time over a
# copy of the seed packages: fuzz/run.sh [SECONDS] (default 60). Fails on any finding; the
# input that caused it is left in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
dir=build-fuzz
launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S fuzz -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  "${launcher[@]}" >/dev/null
cmake --build "$dir" --parallel "$(nproc)"

corpus=$dir/corpus
findings=$dir/findings
rm -rf "$corpus" "$findings"
mkdir -p "$corpus" "$findings"
cp fuzz/seeds/* "$corpus"/
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
"$dir"/package_reader_fuzzer -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
  -max_len=65536 -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" \
  >"$dir/fuzz.log" 2>&1 || status=$?
grep -E '^(#[0-9]+ +(INITED|DONE)|stat::number_of_executed_units|stat::peak_rss_mb|SUMMARY|==[0-9]+==ERROR)' \
  "$dir/fuzz.log" || true
if [ "$status" -ne 0 ] || [ -n "$(ls -A "$findings")" ]; then
  echo "fuzz: the package reader has a finding (exit $status); see $dir/fuzz.log and $findings/" >&2
  exit 1
fi
echo "fuzz: no finding in ${seconds} s"
