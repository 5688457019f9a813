#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/, clang with ASan and UBSan) into
# build/fuzz and runs them two at a time from the committed seeds in
# fuzz/corpus/<target>. With SECONDS, each target runs that long. Without
# it, each runs until 10 million executions, at most 80 minutes: measured
# on this project's 2-core machines with two targets at once, the rates
# range from about 2,300 inputs a second (history stream, on a busy
# machine) to 500,000 (gateway address), so no single time fits all.
# Prints executions and findings per target; a
# finding's input is kept under build/fuzz/work/<target>/findings and the
# script fails.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}/fuzz
if [ $# -gt 0 ]; then
  seconds=$1 runs=-1
else
  seconds=4800 runs=10000000
fi
jobs=${JOBS:-$(nproc)}

cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null || exit 1
cmake --build "$build" -j "$jobs" >/dev/null || { cmake --build "$build" -j 1; exit 1; }

targets=()
for seeds in "$root"/fuzz/corpus/*/; do targets+=("$(basename "$seeds")"); done

run_target() {
  local target=$1 work=$build/work/$1
  mkdir -p "$work/corpus" "$work/findings"
  # New inputs go to the build tree's corpus; the committed seeds are only read.
  UBSAN_OPTIONS=print_stacktrace=1 "$build/${target}_fuzz" -max_total_time="$seconds" -runs="$runs" \
    -timeout=10 -print_final_stats=1 -artifact_prefix="$work/findings/" \
    "$work/corpus" "$root/fuzz/corpus/$target" >"$work/log" 2>&1
}

running=0
for target in "${targets[@]}"; do
  run_target "$target" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then wait -n; running=$((running - 1)); fi
done
wait

status=0
printf '%-20s %14s %10s %9s\n' target executions exec/s findings
for target in "${targets[@]}"; do
  work=$build/work/$target
  executions=$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+)/\1/p' "$work/log" | tail -1)
  rate=$(sed -nE 's/^stat::average_exec_per_sec: *([0-9]+)/\1/p' "$work/log" | tail -1)
  findings=$(find "$work/findings" -type f | wc -l)
  printf '%-20s %14s %10s %9s\n' "$target" "${executions:-?}" "${rate:-?}" "$findings"
  if [ "$findings" -gt 0 ] || [ -z "$executions" ]; then
    status=1
    find "$work/findings" -type f -printf '  finding: %p\n'
    grep -m1 -E 'ERROR|property broken|runtime error|terminate' "$work/log" | sed 's/^/  /'
  fi
done
exit $status
