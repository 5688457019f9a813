#!/usr/bin/env bash
# Builds and runs the history benchmarks under Wine: bash run_bench_history.sh [entries]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build}
cmake --build "$build/win" --target bench_history bench_history_view
"$root/scripts/wine-run.sh" "$build/win/tools/bench_history/bench_history.exe" "$@"
exec "$root/scripts/wine-run.sh" "$build/win/tools/bench_history/bench_history_view.exe" "$@"
