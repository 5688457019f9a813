#!/usr/bin/env bash
# One benchmark report: builds what the benchmarks need, runs every one of
# them (gateway client with and without modelled network delay, history,
# planning, batch run, open items, auto-complete and directory load) and prints one
# table: each figure, its baseline measured in the same run, the ratio
# figure / baseline, the target and whether it is met.
#
# Each benchmark prints, beside its own human-readable figures, lines
#   BENCH name=ID value=V unit=U baseline=B baseline_is=WHAT target=EXPR source=SRC [ok=0|1]
# EXPR is "value<=X", "value<X" or "ratio<=X"; SRC says where the target
# comes from: "bench" (printed by the benchmark since it was written),
# "required" (behaviour the add-in must keep) or "proposed" (no target
# written anywhere: one set with this report, to be confirmed). ok=0 means the benchmark's own
# check failed (say, different matches from the literal scan); such a
# figure counts as missed whatever its time.
#
# usage: bash tools/bench_all.sh
#   BUILD_DIR   build folder (default <repo>/build, the layout of
#               scripts/build.sh); the trees are built with scripts/setup.sh
#               and scripts/build.sh only if they are missing
#   GATEWAY_COUNT  messages per gateway run (default 200)
#   JOBS        build jobs (default nproc)
#   VERBOSE=1   also print every benchmark's own output
# The benchmarks' own output goes to $BUILD_DIR/bench_all/*.log.
# Exit status: 0 when every benchmark ran and gave its figures (whether or
# not the targets are met), 1 otherwise.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
export BUILD_DIR=$build
jobs=${JOBS:-$(nproc)}
count=${GATEWAY_COUNT:-200}
logs=$build/bench_all
started=$(date +%s)

if [ ! -f "$build/native/CMakeCache.txt" ] || [ ! -f "$build/win/CMakeCache.txt" ]; then
  echo "== no build trees in $build: scripts/setup.sh and scripts/build.sh"
  bash "$root/scripts/setup.sh" || exit 1
  bash "$root/scripts/build.sh" || exit 1
fi
echo "== building the benchmarks in $build"
mkdir -p "$logs"
rm -f "$logs"/*.log
{
  cmake --build "$build/native" -j "$jobs" --target gateway_sim bench_autocomplete &&
    cmake --build "$build/win" -j "$jobs" --target bench_gateway bench_history bench_planning bench_batch_run \
      bench_open_items bench_autocomplete
} >"$logs/build.log" 2>&1 || {
  echo "build failed, see $logs/build.log" >&2
  exit 1
}

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
failed=()
# run NAME COMMAND...: the benchmark's output to its log, its BENCH lines kept.
run() {
  local name=$1 t0 status
  shift
  t0=$(date +%s)
  printf '== %-13s ' "$name"
  timeout 420 "$@" >"$logs/$name.log" 2>&1
  status=$?
  tr -d '\r' <"$logs/$name.log" | grep '^BENCH ' | sed "s/^BENCH /BENCH bench=$name /" >>"$logs/figures.txt"
  local figures
  figures=$(grep -c "^BENCH bench=$name " "$logs/figures.txt")
  echo "$(($(date +%s) - t0)) s, $figures figures, exit $status"
  if [ "$status" -ne 0 ] || [ "$figures" -eq 0 ]; then
    failed+=("$name")
    echo "BENCH bench=$name name=$name value=- unit=- baseline=- baseline_is=- target=- source=- ok=failed" \
      >>"$logs/figures.txt"
  fi
  if [ "${VERBOSE:-0}" = 1 ]; then tr -d '\r' <"$logs/$name.log" | grep -v '^BENCH ' | sed 's/^/   | /'; fi
}
: >"$logs/figures.txt"
run gateway bash "$root/tools/bench_gateway/bench_gateway.sh" "$count"
run history bash "$root/tools/bench_history/run_bench_history.sh"
run planning bash "$root/tools/bench_planning/run_bench_planning.sh"
run batch_run bash "$root/tools/bench_batch_run/run_bench_batch_run.sh"
run open_items bash "$root/tools/bench_open_items/run_bench_open_items.sh"
run autocomplete bash "$root/tools/bench_autocomplete/run_bench_autocomplete.sh"
run preview bash "$root/tools/bench_preview/run_bench_preview.sh"
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

echo
echo "Benchmark report, $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, load average $load_before before," \
  "$load_after after; $(($(date +%s) - started)) s in all"
echo "Every baseline was measured in this run. ratio = value / baseline. Target sources: bench = printed by the"
echo "benchmark, required = behaviour the add-in must keep, proposed = none written down, set with this report."
echo "On a shared, busy machine the times are noisy: compare ratios rather than absolute times."
echo
awk '
function field(line, key,   n, i, parts, kv) {
  n = split(line, parts, " ")
  for (i = 1; i <= n; i++) if (index(parts[i], key "=") == 1) return substr(parts[i], length(key) + 2)
  return ""
}
function fmt(x) {
  if (x == "-" || x == "") return "-"
  if (x + 0 == int(x + 0)) return sprintf("%d", x)
  if (x + 0 >= 100) return sprintf("%.1f", x)
  if (x + 0 >= 1) return sprintf("%.3f", x)
  return sprintf("%.4f", x)
}
BEGIN {
  format = "%-44s %10s %-8s %10s %-28s %8s  %-22s %s\n"
  printf format, "figure", "value", "unit", "baseline", "baseline is", "ratio", "target (source)", "result"
  line = sprintf("%200s", ""); gsub(/ /, "-", line)
  print substr(line, 1, 150)
}
/^BENCH / {
  name = field($0, "name"); value = field($0, "value"); unit = field($0, "unit")
  base = field($0, "baseline"); what = field($0, "baseline_is"); target = field($0, "target")
  source = field($0, "source"); ok = field($0, "ok")
  if (ok == "failed") {
    printf format, name, "-", "-", "-", "-", "-", "-", "FAILED (no figures, see " field($0, "bench") ".log)"
    failed++
    next
  }
  ratio = (base + 0 != 0) ? value / base : ""
  result = "?"
  if (match(target, /^(value|ratio)(<=|<)/)) {
    kind = substr(target, 1, 5); op = substr(target, 6, RSTART + RLENGTH - 6); limit = substr(target, RSTART + RLENGTH) + 0
    x = kind == "value" ? value + 0 : ratio
    if (kind == "ratio" && ratio == "") result = "?"
    else result = ((op == "<=" && x <= limit) || (op == "<" && x < limit)) ? "met" : "missed"
  }
  if (ok == "0") result = "missed (check failed)"
  shown = target; sub(/^value/, "", shown); if (kind == "value") shown = shown " " unit
  if (kind == "ratio") shown = "ratio" substr(target, 6)
  printf format, name, fmt(value), unit, fmt(base), what, (ratio == "" ? "-" : ratio < 0.01 ? sprintf("%.1e", ratio) : sprintf("%.2f", ratio)),
         shown " (" source ")", result
  if (result == "met") met++; else missed++
}
END {
  print substr(line, 1, 150)
  printf "%d figures: %d met, %d missed%s\n", met + missed, met, missed, failed ? sprintf(", %d benchmarks failed", failed) : ""
}' "$logs/figures.txt"
echo "(each benchmark's own output: $logs/*.log)"
[ ${#failed[@]} -eq 0 ]
