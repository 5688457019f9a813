#!/usr/bin/env bash
# Builds and runs the history benchmarks under Wine: bash run_bench_history.sh [entries]
# The view benchmark shows its dialog: without a display it gets one of its
# own with a window manager, as Wine otherwise waits 2 s for one to map it.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build}
cmake --build "$build/win" --target bench_history bench_history_view >/dev/null
"$root/scripts/wine-run.sh" "$build/win/tools/bench_history/bench_history.exe" "$@"
view=$build/win/tools/bench_history/bench_history_view.exe
if [ -n "${DISPLAY:-}" ]; then
  exec "$root/scripts/wine-run.sh" "$view" "$@"
fi
exec xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  openbox --sm-disable >/dev/null 2>&1 &
  wm=$!
  sleep 0.5
  "$0" "$@"
  status=$?
  kill $wm 2>/dev/null
  exit $status' "$root/scripts/wine-run.sh" "$view" "$@"
