#!/usr/bin/env bash
# The main job: installs what is needed, builds, starts the gateway
# simulator on a free loopback port, writes Settings.ini (gateway host and
# account) into a fresh Wine prefix, sends SMS to sample contacts through
# the add-in's gateway client over WinINet, prints the delivery report and
# then what the gateway received. Last, it registers the add-in and lets the
# stand-in mail client load it, as the real client does at start-up, and
# prints the toolbar the add-in made.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
BUILD_DIR=$build "$root/scripts/build.sh"

work=$(mktemp -d)
sim_pid=
cleanup() {
  [ -z "$sim_pid" ] || kill "$sim_pid" 2>/dev/null || true
  WINEPREFIX=$work/wineprefix wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

"$build/native/tools/gateway_sim/gateway_sim" --port 0 --port-file "$work/port" \
  --log "$work/requests.jsonl" --user demo --pass 'demo pass&1' --lifetime 600 >/dev/null 2>&1 &
sim_pid=$!
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.05; done
[ -s "$work/port" ] || { echo "the gateway simulator did not start" >&2; exit 1; }
port=$(cat "$work/port")
echo "Gateway simulator on 127.0.0.1:$port"

export WINEPREFIX=$work/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
echo "Preparing a fresh Wine prefix..."
wineboot -i >/dev/null 2>&1 || true
settings_dir="$WINEPREFIX/drive_c/users/$(whoami)/AppData/Roaming/RudizavADUZaziv"
mkdir -p "$settings_dir"
# UTF-16 little-endian with a byte-order mark, as the add-in keeps it.
printf '[Profile]\r\nGatewayHost=127.0.0.1:%s\r\nUserName=demo\r\nPassword=demo pass&1\r\nShowDeliveryResults=1\r\n' "$port" |
  iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$settings_dir/Settings.ini"

echo
"$root/scripts/wine-run.sh" "$build/win/tools/demo_send/demo_send.exe" | tr -d '\r'

echo
echo "What the gateway received:"
/usr/bin/python3 - "$work/requests.jsonl" <<'PY'
import json, sys
for number, line in enumerate(open(sys.argv[1], encoding="utf-8"), 1):
    entry = json.loads(line)
    params = dict(entry["params"])
    print(f"{number}. GET {entry['target']}")
    message = params.get("message", "")
    if params.get("unicode") == "true":
        message = "".join(chr(int(message[i:i + 4], 16)) for i in range(0, len(message) - 3, 4))
    print(f"   to={params.get('to')} message={message!r} unicode={params.get('unicode')}")
    print(f"   reply: {entry['reply']!r}")
PY

echo
echo "The add-in registered and loaded by the stand-in mail client over tests/data/sample_store.json:"
# One display for both steps: a wineserver left from an earlier display
# would give the host's window to a display that is gone.
wineserver -k 2>/dev/null || true
load_addin='wine regsvr32 /s "$1" && wine "$2" --store "$3" --addin QuorvalSmsOutlookAddin.QuorvalOAddin --exit-after'
addin_args=("$build/win/src/addin/QuorvalSmsOutlookAddin.dll" "$build/win/host/outlook_host.exe"
  "$root/tests/data/sample_store.json")
if [ -n "${DISPLAY:-}" ]; then
  bash -c "$load_addin" _ "${addin_args[@]}" | tr -d '\r'
else
  xvfb-run -a bash -c "$load_addin" _ "${addin_args[@]}" | tr -d '\r'
fi
