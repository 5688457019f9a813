#!/usr/bin/env bash
# Builds and runs the planning benchmark under Wine: bash run_bench_planning.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build}
cmake --build "$build/win" --target bench_planning
exec "$root/scripts/wine-run.sh" "$build/win/tools/bench_planning/bench_planning.exe" "$@"
