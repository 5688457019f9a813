#!/usr/bin/env bash
# Builds and runs the preview benchmark under Wine: bash run_bench_preview.sh
# It shows its dialog: without a display it gets one of its own with a
# window manager, as Wine otherwise waits 2 s for one to map it.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build}
cmake --build "$build/win" --target bench_preview >/dev/null
bench=$build/win/tools/bench_preview/bench_preview.exe
if [ -n "${DISPLAY:-}" ]; then
  "$root/scripts/wine-run.sh" "$bench" "$@" | tr -d '\r'
  exit "${PIPESTATUS[0]}"
fi
exec xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  openbox --sm-disable >/dev/null 2>&1 &
  wm=$!
  sleep 0.5
  "$0" "$@" | tr -d "\r"
  status=${PIPESTATUS[0]}
  kill $wm 2>/dev/null
  exit $status' "$root/scripts/wine-run.sh" "$bench" "$@"
