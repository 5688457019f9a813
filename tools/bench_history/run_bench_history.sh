#!/usr/bin/env bash
# Builds and runs the history benchmark under Wine: bash run_bench_history.sh [entries]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build}
cmake --build "$build/win" --target bench_history
exec "$root/scripts/wine-run.sh" "$build/win/tools/bench_history/bench_history.exe" "$@"
