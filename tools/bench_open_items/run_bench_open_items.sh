#!/usr/bin/env bash
# Builds and runs the open-item benchmark under Wine: bash run_bench_open_items.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build}
cmake --build "$build/win" --target bench_open_items >/dev/null
"$root/scripts/wine-run.sh" "$build/win/tools/bench_open_items/bench_open_items.exe" "$@" \
  2> >(grep -v "X connection" >&2) | tr -d '\r'
