#!/usr/bin/env bash
# Runs the batch-run benchmark under Wine against the gateway simulator on
# loopback: bash tools/bench_batch_run/run_bench_batch_run.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build}
cmake --build "$build/win" --target bench_batch_run >/dev/null
work=$(mktemp -d)
"$build/native/tools/gateway_sim/gateway_sim" --port 0 --port-file "$work/port" --lifetime 900 >/dev/null 2>&1 &
sim=$!
trap 'kill $sim 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.05; done
[ -s "$work/port" ] || { echo "the gateway simulator did not start" >&2; exit 1; }
# The display server's parting words are no figures.
"$root/scripts/wine-run.sh" "$build/win/tools/bench_batch_run/bench_batch_run.exe" "127.0.0.1:$(cat "$work/port")" \
  2> >(grep -v "X connection" >&2) | tr -d '\r'
