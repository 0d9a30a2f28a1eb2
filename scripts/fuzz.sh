#!/usr/bin/env bash
# Fuzzes the whole job with libFuzzer for a bounded time (FUZZ_SECONDS, 60 by default), starting
# from the seed corpus, and exits non-zero when the fuzzer finds a crash or a broken rule. Found
# inputs are left in build/fuzz/artifacts; one that crashes belongs in tests/fuzz/corpus, where
# the replay test under ctest keeps it as a regression fixture.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${FUZZ_SECONDS:-60}
bash "$root/scripts/setup.sh" clang libclang-rt-14-dev

build="$root/build/fuzz"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DTALDEVON_SANITIZE=ON -DTALDEVON_FUZZ=ON \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link"
cmake --build "$build" --target taldevon_fuzz -j "$(nproc)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$root"/tests/fuzz/corpus/* "$work/"
artifacts="$build/artifacts"
mkdir -p "$artifacts"

# The grid is a 400 MB static table and AddressSanitizer adds its shadow: the default 2 GB
# RSS limit is too close. Leak checks would scan that table after every input; the job
# allocates nothing, so they are off.
status=0
ASAN_OPTIONS=detect_leaks=0 "$build/tests/fuzz/taldevon_fuzz" \
  -max_total_time="$seconds" -rss_limit_mb=8192 -timeout=10 -detect_leaks=0 \
  -dict="$root/tests/fuzz/tokens.dict" -artifact_prefix="$artifacts/" -print_final_stats=1 \
  "$work" 2>"$build/fuzz.log" || status=$?

executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/fuzz.log" | tail -n 1)
echo "fuzzing (limit ${seconds} s): ${executions:-unknown} executions, $(ls "$work" | wc -l) inputs in the corpus"
if [ "$status" -ne 0 ]; then
  tail -n 40 "$build/fuzz.log"
  echo "the fuzzer failed (status $status); reproducers in $artifacts:"
  ls -l "$artifacts"
  echo "replay one with: $build/tests/fuzz/taldevon_fuzz <file>, then copy it into tests/fuzz/corpus"
  exit "$status"
fi
