#!/usr/bin/env bash
# The gateway client against curl over a modelled network. For each round
# trip D (0 and 50 ms, the simulator's --rtt-ms), COUNT sequential sends
# through HTTPManager (WinINet under Wine) to the gateway simulator on
# loopback, once through one manager and once with a manager per message
# (as a batch run sends), then the same request targets (taken from the
# simulator's log) fetched by one curl process twice: once with a connection
# per request ("Connection: close", as the client sends every message) and
# once reusing one connection. The client is held to the first, the fair
# comparison; the second is printed beside it, and so is the floor: the
# client's WinINet calls made bare, with nothing of the client around them. Prints ms per message,
# connections per run, the limit of two round trips per message and the
# targets beside the figures, and the same figures as
# machine-readable lines "BENCH name=... value=... baseline=... target=..."
# (collected by tools/bench_all.sh).
# usage: tools/bench_gateway/bench_gateway.sh [COUNT]   (BUILD_DIR as for build.sh)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build}
count=${1:-200}
sim=$build/native/tools/gateway_sim/gateway_sim
bench=$build/win/tools/bench_gateway/bench_gateway.exe
for f in "$sim" "$bench"; do
  [ -x "$f" ] || [ -f "$f" ] || { echo "missing $f: run scripts/build.sh first" >&2; exit 1; }
done
export WINEPREFIX=${WINEPREFIX:-$build/win/wineprefix} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
work=$(mktemp -d)
sim_pid=
stop_sim() {
  [ -z "$sim_pid" ] || { kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true; }
  sim_pid=
}
cleanup() {
  stop_sim
  rm -rf "$work"
}
trap cleanup EXIT

connections() { sed -nE 's/^connections ([0-9]+)$/\1/p' "$work/stats"; }
per_request_ms() {  # start_ns end_ns
  awk -v ns=$(($2 - $1)) -v n="$count" 'BEGIN { printf "%.3f", ns / 1e6 / n }'
}

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

for rtt in 0 50; do
  rm -f "$work"/port "$work"/stats "$work"/requests.jsonl "$work"/curl.cfg
  "$sim" --port 0 --port-file "$work/port" --log "$work/requests.jsonl" --rtt-ms "$rtt" \
    --stats-file "$work/stats" --lifetime 900 >/dev/null 2>&1 &
  sim_pid=$!
  for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.05; done
  port=$(cat "$work/port")
  echo "== round trip D = $rtt ms, $count messages per run"

  # Without delay a run takes a fraction of a second, so one busy moment of a
  # shared machine would decide it: ROUNDS_D0 rounds (default 3) of each
  # mode and of curl, the medians reported. With delay one round each.
  rounds=1
  [ "$rtt" -gt 0 ] || rounds=${ROUNDS_D0:-3}
  declare -A client_ms=() client_conns=() all_ms=()
  bare_all=
  curl_all=
  curl_conns=0
  reused_all=
  for round in $(seq "$rounds"); do
    for mode in shared per-message; do
      before=$(connections)
      output=$("$root/scripts/wine-run.sh" "$bench" "$port" "$count" "Z:${work//\//\\}\\settings" "$mode" |
        tr -d '\r')
      line=$(grep '^gateway client' <<<"$output")
      all_ms[$mode]+=" $(sed -nE 's/.* ([0-9.]+) ms per message/\1/p' <<<"$line")"
      conns=$(($(connections) - before))
      [ "$conns" -le "${client_conns[$mode]:-0}" ] || client_conns[$mode]=$conns
      echo "$line; $conns connections"
      grep -v '^gateway client' <<<"$output" || true
    done

    if [ "$rtt" -eq 0 ]; then
      line=$("$root/scripts/wine-run.sh" "$bench" "$port" "$count" "Z:${work//\//\\}\\settings" wininet |
        tr -d '\r' | grep '^WinINet alone')
      bare_all+=" $(sed -nE 's/.* ([0-9.]+) ms per message/\1/p' <<<"$line")"
      echo "$line"
    fi

    # The first run's targets, for curl.
    [ -s "$work/curl.cfg" ] || /usr/bin/python3 - "$work/requests.jsonl" "$port" "$count" >"$work/curl.cfg" <<'PY'
import json, sys
for n, line in enumerate(open(sys.argv[1], encoding="utf-8")):
    if n == int(sys.argv[3]):
        break
    target = json.loads(line)["target"]
    print(f'url = "http://127.0.0.1:{sys.argv[2]}{target}"\noutput = "/dev/null"')
PY
    before=$(connections)
    start=$(date +%s%N)
    curl -s -H 'Connection: close' -K "$work/curl.cfg"
    end=$(date +%s%N)
    ms=$(per_request_ms "$start" "$end")
    curl_all+=" $ms"
    conns=$(($(connections) - before))
    [ "$conns" -le "$curl_conns" ] || curl_conns=$conns
    echo "curl, one process for all $count requests (a connection per request): $ms ms per request; $conns connections"
    before=$(connections)
    start=$(date +%s%N)
    curl -s -K "$work/curl.cfg"
    end=$(date +%s%N)
    ms=$(per_request_ms "$start" "$end")
    reused_all+=" $ms"
    echo "curl, one process for all $count requests (connection reused): $ms ms per request;" \
      "$(($(connections) - before)) connections"
  done
  for mode in shared per-message; do client_ms[$mode]=$(median ${all_ms[$mode]}); done
  curl_ms=$(median $curl_all)
  reused_ms=$(median $reused_all)
  if [ -n "$bare_all" ]; then
    bare_ms=$(median $bare_all)
    awk -v b="$bare_ms" -v one="${client_ms[shared]}" -v c="$curl_ms" 'BEGIN {
      printf "floor: WinINet alone %.3f ms per message (median), %.2f x curl with a connection per request;", b, b / c
      printf " the client (one manager) %.2f x that floor\n", one / b }'
  fi
  [ "$rounds" -eq 1 ] || echo "medians of $rounds rounds: gateway client ${client_ms[shared]} ms (one manager)," \
    "${client_ms[per-message]} ms (a manager per message), curl $curl_ms ms (a connection per request)," \
    "$reused_ms ms (connection reused); connections: the most in a round"
  # Each message has a connection of its own (a kept-alive one lets
  # WinINet send a request twice), so two round trips: connect and request.
  echo "limit, two round trips per message: $((2 * rtt)) ms per message"
  awk -v d="$rtt" -v one="${client_ms[shared]}" -v each="${client_ms[per-message]}" -v c="$curl_ms" -v r="$reused_ms" \
      -v cone="${client_conns[shared]}" -v ceach="${client_conns[per-message]}" -v ccurl="$curl_conns" \
      -v n="$count" 'BEGIN {
    printf "ratio gateway client / curl with a connection per request: %.2f (one manager), %.2f (a manager per message)\n",
           one / c, each / c
    printf "ratio gateway client / curl reusing its connection: %.2f (one manager), %.2f (a manager per message)\n",
           one / r, each / r
    if (d > 0) {
      printf "ms per message / D: %.2f (one manager), %.2f (a manager per message)\n", one / d, each / d
      printf "target: at most %.1f ms per message (1.1 x 2D) and at most 1 connection per message: %s, %s\n", 2.2 * d,
             (one <= 2.2 * d && cone <= n) ? "met (one manager)" : "missed (one manager)",
             (each <= 2.2 * d && ceach <= n) ? "met (a manager per message)" : "missed (a manager per message)"
    } else {
      printf "target: at most 2 x curl with a connection per request: %s, %s\n",
             one <= 2 * c ? "met (one manager)" : "missed (one manager)",
             each <= 2 * c ? "met (a manager per message)" : "missed (a manager per message)"
    }
    ms_target = d > 0 ? sprintf("value<=%.1f", 2.2 * d) : "ratio<=2"
    printf "BENCH name=gateway/D=%d/one-manager value=%s unit=ms/msg baseline=%s baseline_is=curl-connection-per-request target=%s source=bench\n",
           d, one, c, ms_target
    printf "BENCH name=gateway/D=%d/manager-per-message value=%s unit=ms/msg baseline=%s baseline_is=curl-connection-per-request target=%s source=bench\n",
           d, each, c, ms_target
    if (d > 0) {
      printf "BENCH name=gateway/D=%d/one-manager/connections value=%d unit=conn/run baseline=%d baseline_is=curl-connection-per-request target=value<=%d source=bench\n",
             d, cone, ccurl, n
      printf "BENCH name=gateway/D=%d/manager-per-message/connections value=%d unit=conn/run baseline=%d baseline_is=curl-connection-per-request target=value<=%d source=bench\n",
             d, ceach, ccurl, n
    }
  }'
  if [ "$rtt" -gt 0 ]; then
    # The dialogs' own run, its window pinged every 10 ms meanwhile.
    output=$("$root/scripts/wine-run.sh" "$bench" "$port" "$count" "Z:${work//\//\\}\\settings" responsive |
      tr -d '\r')
    grep -E '^(gateway client|window latency)' <<<"$output"
    read -r median p99 < <(sed -nE 's/^window latency: .* median ([0-9.]+) ms, 99th percentile ([0-9.]+) ms.*/\1 \2/p' <<<"$output")
    echo "BENCH name=gateway/D=$rtt/window-latency-p99 value=${p99:--} unit=ms baseline=${median:--}" \
      "baseline_is=median-latency target=value<=50 source=bench ok=$([ -n "$p99" ] && echo 1 || echo 0)"
  fi
  stop_sim
done
