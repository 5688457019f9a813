#!/usr/bin/env bash
# Runs a Windows test program under Wine with the gateway simulator on
# loopback: one simulator that answers (account alice/s3cret, faults by
# recipient number from sim_faults.txt), one whose port refuses
# connections, and one behind a modelled 50 ms round trip. Their ports and
# request logs reach the program through GATEWAY_SIM_PORT,
# GATEWAY_SIM_REFUSE_PORT, GATEWAY_SIM_LOG, GATEWAY_SIM_SLOW_PORT and
# GATEWAY_SIM_SLOW_LOG. The zone is
# fixed so that the UTC schedule has a known answer.
# usage: with_simulator.sh SIMULATOR WINE_RUN PROGRAM [ARGS...]
set -euo pipefail
sim=$1 wine_run=$2; shift 2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

start() {  # name, simulator options...
  local name=$1; shift
  "$sim" --port 0 --port-file "$work/$name.port" --lifetime 900 "$@" >"$work/$name.out" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do
    [ -s "$work/$name.port" ] && return 0
    kill -0 "${pids[-1]}" 2>/dev/null || break
    sleep 0.05
  done
  echo "gateway simulator '$name' did not start:" >&2
  cat "$work/$name.out" >&2
  exit 1
}

start answering --log "$work/requests.jsonl" --user alice --pass s3cret \
  --script "$here/sim_faults.txt" --stall-seconds 60
start refusing --fault refuse
# A modelled 50 ms network, for the runs that must take their time.
start slow --log "$work/slow.jsonl" --user alice --pass s3cret --rtt-ms 50

GATEWAY_SIM_PORT=$(cat "$work/answering.port")
GATEWAY_SIM_REFUSE_PORT=$(cat "$work/refusing.port")
GATEWAY_SIM_LOG="Z:${work//\//\\}\\requests.jsonl"
GATEWAY_SIM_SLOW_PORT=$(cat "$work/slow.port")
GATEWAY_SIM_SLOW_LOG="Z:${work//\//\\}\\slow.jsonl"
export GATEWAY_SIM_PORT GATEWAY_SIM_REFUSE_PORT GATEWAY_SIM_LOG GATEWAY_SIM_SLOW_PORT GATEWAY_SIM_SLOW_LOG TZ=Pacific/Auckland
status=0
"$wine_run" "$@" || status=$?
exit $status
