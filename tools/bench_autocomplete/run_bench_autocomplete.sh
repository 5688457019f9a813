#!/usr/bin/env bash
# Builds and runs the auto-complete benchmark natively and under Wine:
# bash run_bench_autocomplete.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build}
cmake --build "$build/native" --target bench_autocomplete
echo "== native"
"$build/native/tools/bench_autocomplete/bench_autocomplete"
cmake --build "$build/win" --target bench_autocomplete
echo "== Wine"
exec "$root/scripts/wine-run.sh" "$build/win/tools/bench_autocomplete/bench_autocomplete.exe"
