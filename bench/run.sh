#!/usr/bin/env bash
# The benchmark suite in one command: builds Release into build/bench, times the job on every
# rectangle class and size, compares the engine with the sweep line, runs the microbenchmarks,
# and prints Markdown tables on standard output (build chatter goes to standard error).
#
# Environment:
#   BENCH_QUICK=1        1000 rectangles only, 1 run each, short microbenchmarks (a smoke run)
#   BENCH_CLASSES="..."  only these classes (default: all)
#   BENCH_TIMEOUT=S      seconds one job run (or one microbenchmark) may take (default 600)
#   BENCH_SEED=N         generator seed (default 1)
# Exits 1 when a result is wrong or a tool fails; a timeout is reported, not a failure.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/bench"

quick=${BENCH_QUICK:-0}
limit=${BENCH_TIMEOUT:-600}
seed=${BENCH_SEED:-1}
read -r -a classes <<<"${BENCH_CLASSES:-uniform small nested strips identical lattice overflow worst}"
if [ "$quick" = 1 ]; then
  sizes=(1000) runs=1 compare_sizes=(1000) micro_rectangles=1000
  micro_flags=(--benchmark_repetitions=1 --benchmark_min_time=0.05)
else
  sizes=(1000 3000 10000) runs=5 compare_sizes=(1000 10000) micro_rectangles=10000
  micro_flags=(--benchmark_repetitions=5 --benchmark_report_aggregates_only=true)
fi

bash "$root/scripts/setup.sh" >&2
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALDEVON_BENCH=ON \
  -DTALDEVON_TESTS=OFF >&2
cmake --build "$build" -j "$(nproc)" >&2

job="$build/src/taldevon"
tools="$build/bench"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The tools' scratch files go here too, so that a tool killed at its limit leaves nothing behind.
export TMPDIR="$work"
failures=0
declare -A timed_out=() # class -> the smallest size whose job run timed out

# The outer timeout only guards against a hang of the timing tool itself; each job run has
# its own limit inside taldevon_timejob.
guarded() {
  local seconds=$1
  shift
  timeout --kill-after=10 "$seconds" "$@"
}

too_big() { # class size: true when this class already timed out at a smaller or equal size
  [ -n "${timed_out[$1]:-}" ] && [ "${timed_out[$1]}" -le "$2" ]
}

revision=$(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo unknown)
[ -z "$(git -C "$root" status --porcelain 2>/dev/null)" ] || revision="$revision + uncommitted changes"
echo "# taldevon benchmarks"
echo
echo "Revision $revision; $(nproc) CPUs ($(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'));"
echo "seed $seed, $runs run(s) per file, limit ${limit}s per run$([ "$quick" = 1 ] && echo ', QUICK')."
echo

for size in "${sizes[@]}"; do
  for class in "${classes[@]}"; do
    "$tools/taldevon_generate" "$class" "$size" "$seed" >"$work/$class-$size.dat"
  done
done

echo "## Job runs (median wall time of $runs, peak RSS, result checked against the sweep line)"
echo
echo "| class | rectangles | median s | peak RSS MiB | result |"
echo "| --- | ---: | ---: | ---: | --- |"
for size in "${sizes[@]}"; do
  for class in "${classes[@]}"; do
    file="$work/$class-$size.dat"
    if too_big "$class" "$size"; then
      echo "| $class | $size | timeout | - | not run: timed out at ${timed_out[$class]} |"
      continue
    fi
    rc=0
    out=$(guarded $((runs * limit + 60)) "$tools/taldevon_timejob" "$job" "$file" "$runs" "$limit") || rc=$?
    if [ "$rc" = 124 ] || [ "$rc" = 137 ]; then
      timed_out[$class]=$size
      echo "| $class | $size | timeout | - | - |"
      continue
    fi
    if [ "$rc" != 0 ]; then
      failures=$((failures + 1))
      echo "| $class | $size | FAILED (exit $rc) | - | - |"
      continue
    fi
    read -r median rss result <<<"$out"
    expected=$("$tools/taldevon_compare" --sweep-only "$file")
    if [ "$result" != "$expected" ]; then
      failures=$((failures + 1))
      result="**MISMATCH**: job $result, sweep line $expected"
    fi
    echo "| $class | $size | $median | $(awk -v k="$rss" 'BEGIN { printf "%.1f", k / 1024 }') | $result |"
  done
done
echo

echo "## Engine against the sweep line (in process; plain marking only below 2e9 cell tests)"
echo
echo "| class | rectangles | sweep s | job s | plain s | plain/job | job/sweep | cell tests | area |"
echo "| --- | ---: | ---: | ---: | ---: | ---: | ---: | ---: | --- |"
for size in "${compare_sizes[@]}"; do
  for class in "${classes[@]}"; do
    file="$work/$class-$size.dat"
    [ -f "$file" ] || "$tools/taldevon_generate" "$class" "$size" "$seed" >"$file"
    if too_big "$class" "$size"; then
      echo "| $class | $size | - | timeout | - | - | - | - | not run: job timed out at ${timed_out[$class]} |"
      continue
    fi
    rc=0
    out=$(guarded $((2 * limit + 60)) "$tools/taldevon_compare" "$file") || rc=$?
    if [ "$rc" = 124 ] || [ "$rc" = 137 ]; then
      echo "| $class | $size | - | timeout | - | - | - | - | - |"
      continue
    fi
    if [ "$rc" != 0 ]; then
      failures=$((failures + 1))
      echo "| $class | $size | **$(tail -n 1 <<<"${out:-FAILED (exit $rc)}")** | | | | | | |"
      continue
    fi
    declare -A field=()
    for pair in $out; do field[${pair%%=*}]=${pair#*=}; done
    echo "| $class | $size | ${field[sweep_s]} | ${field[job_s]} | ${field[plain_s]} | ${field[plain/job]} | ${field[job/sweep]} | ${field[cell_tests]} | ${field[area]} |"
    unset field
  done
done
echo

echo "## Microbenchmarks ($micro_rectangles rectangles)"
echo
echo '```'
header=1
for name in BM_ReadFile BM_MarkAll/uniform BM_MarkAll/nested BM_MarkAll/strips BM_MarkAll/worst; do
  class=${name#BM_MarkAll/}
  if [ "$class" != "$name" ] && too_big "$class" "$micro_rectangles"; then
    echo "$name: not run: the job timed out at ${timed_out[$class]} rectangles"
    continue
  fi
  rc=0
  out=$(guarded "$limit" "$tools/taldevon_microbench" "--rectangles=$micro_rectangles" \
    "--benchmark_filter=^$name\$" "${micro_flags[@]}" 2>"$work/micro.err") || rc=$?
  # One header for the whole table.
  if [ "$header" = 1 ]; then
    # The library writes the machine context to standard error; once is enough.
    [ -z "$out" ] || { grep -v '^$' "$work/micro.err" || true; echo "$out"; header=0; }
  else
    echo "$out" | grep -v -e '^-*$' -e '^Benchmark '
  fi
  if [ "$rc" = 124 ] || [ "$rc" = 137 ]; then
    echo "$name: timeout after ${limit}s"
  elif [ "$rc" != 0 ] || grep -q 'ERROR OCCURRED' <<<"$out"; then
    failures=$((failures + 1))
    echo "$name: FAILED (exit $rc) $(tr '\n' ' ' <"$work/micro.err")"
  fi
done
echo '```'

if [ "$failures" -gt 0 ]; then
  echo
  echo "**$failures failure(s): see MISMATCH / FAILED above.**"
  exit 1
fi
