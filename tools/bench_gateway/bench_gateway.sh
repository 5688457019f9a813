#!/usr/bin/env bash
# Compares the gateway client with curl: 1,000 sequential sends through
# WinINet under Wine to the gateway simulator on loopback, then the same
# 1,000 request targets (taken from the simulator's log) fetched by curl,
# once by one process and once by a process per request, and the ratios of
# the per-request times.
# usage: tools/bench_gateway/bench_gateway.sh [COUNT]   (BUILD_DIR as for build.sh)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build}
count=${1:-1000}
sim=$build/native/tools/gateway_sim/gateway_sim
bench=$build/win/tools/bench_gateway/bench_gateway.exe
for f in "$sim" "$bench"; do
  [ -x "$f" ] || [ -f "$f" ] || { echo "missing $f: run scripts/build.sh first" >&2; exit 1; }
done
export WINEPREFIX=${WINEPREFIX:-$build/win/wineprefix} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
work=$(mktemp -d)
sim_pid=
cleanup() {
  [ -z "$sim_pid" ] || kill "$sim_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

"$sim" --port 0 --port-file "$work/port" --log "$work/requests.jsonl" --lifetime 900 >/dev/null 2>&1 &
sim_pid=$!
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.05; done
port=$(cat "$work/port")

client_line=$("$root/scripts/wine-run.sh" "$bench" "$port" "$count" "Z:${work//\//\\}\\settings" | tr -d '\r')
echo "$client_line"
client_ms=$(sed -nE 's/.* ([0-9.]+) ms per message/\1/p' <<<"$client_line")

/usr/bin/python3 - "$work/requests.jsonl" "$port" >"$work/curl.cfg" <<'PY'
import json, sys
for line in open(sys.argv[1], encoding="utf-8"):
    target = json.loads(line)["target"]
    print(f'url = "http://127.0.0.1:{sys.argv[2]}{target}"\noutput = "/dev/null"')
PY
per_request_ms() {  # start_ns end_ns
  awk -v ns=$(($2 - $1)) -v n="$count" 'BEGIN { printf "%.3f", ns / 1e6 / n }'
}
start=$(date +%s%N)
curl -s -K "$work/curl.cfg"
end=$(date +%s%N)
reuse_ms=$(per_request_ms "$start" "$end")

# The client opens fresh handles for every message; a curl process per
# request is the same shape of work, plus a process start.
mapfile -t urls < <(sed -nE 's/^url = "(.*)"$/\1/p' "$work/curl.cfg")
start=$(date +%s%N)
for url in "${urls[@]}"; do curl -s -o /dev/null "$url"; done
end=$(date +%s%N)
fresh_ms=$(per_request_ms "$start" "$end")

echo "curl, one process for all $count requests (connection reused): $reuse_ms ms per request"
echo "curl, one process per request: $fresh_ms ms per request"
awk -v a="$client_ms" -v b="$reuse_ms" -v c="$fresh_ms" 'BEGIN {
  printf "ratio gateway client / curl (one process): %.2f\n", a / b
  printf "ratio gateway client / curl (process per request): %.2f\n", a / c
  print "target: ratio <= 2"
}'
