#!/usr/bin/env bash
# The main job against built trees (scripts/demo.sh builds them first; the
# ctest main_job_tour runs this directly): starts the gateway simulator,
# makes a private Wine prefix, writes Settings.ini (gateway, account, a
# second template), registers the add-in and opens the stand-in mail client
# on the sample store with the add-in's ribbon group and toolbar.
#   With a display and no --tour: the client's window stays open for the
#   person at the desktop; what the gateway receives is printed as it
#   arrives; closing the window ends the job.
#   Otherwise (--tour, or no DISPLAY): the scripted tour (tools/tour) on a
#   display of its own (Xvfb with the openbox window manager, so that the
#   windows have frames and title bars), with a screenshot of every dialog.
#   Its exit status is the tour's.
# usage: run_tour.sh [--tour] --native DIR --win DIR [--shots DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
source "$root/scripts/wine-env.sh"
tour=0 native= win= shots=
while [ $# -gt 0 ]; do
  case $1 in
    --tour) tour=1; shift ;;
    --native) native=$2; shift 2 ;;
    --win) win=$2; shift 2 ;;
    --shots) shots=$2; shift 2 ;;
    *) echo "usage: run_tour.sh [--tour] --native DIR --win DIR [--shots DIR]" >&2; exit 64 ;;
  esac
done
[ -n "$native" ] && [ -n "$win" ] || { echo "run_tour.sh: --native and --win are needed" >&2; exit 64; }
[ -n "${DISPLAY:-}" ] || tour=1
shots=${shots:-$win/tour-screenshots}
store=$root/tests/data/sample_store.json
addin_dll=$win/src/addin/QuorvalSmsOutlookAddin.dll
progid=QuorvalSmsOutlookAddin.QuorvalOAddin
winpath() { printf 'Z:%s' "${1//\//\\}"; }

work=$(mktemp -d)
pids=()
cleanup() {
  # The prefix's own wineserver (and the programs it keeps) first, then the
  # display and the simulator; each only what this script started.
  WINEPREFIX=$work/wineprefix wineserver -k 2>/dev/null || true
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
  # TOUR_KEEP names a folder that gets the run's logs, for a developer.
  [ -z "${TOUR_KEEP:-}" ] || cp -r "$work/." "$TOUR_KEEP/" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# What Wine, X and the window manager say for themselves is not part of the
# story; a failing step shows it.
quiet() {  # log-name command...
  local log=$work/$1.log; shift
  "$@" >"$log" 2>&1 || { echo "failed: $*" >&2; grep -v '^$' "$log" | tail -20 >&2; return 1; }
}

"$native/tools/gateway_sim/gateway_sim" --port 0 --port-file "$work/port" \
  --log "$work/requests.jsonl" --user demo --pass 'demo pass&1' --lifetime 3600 >"$work/sim.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.05; done
[ -s "$work/port" ] || { echo "the gateway simulator did not start:" >&2; cat "$work/sim.log" >&2; exit 1; }
port=$(cat "$work/port")
: >"$work/requests.jsonl"
echo "The gateway simulator (playing the SMS gateway) listens on 127.0.0.1:$port,"
echo "for the account \"demo\"."

if [ "$tour" = 1 ]; then
  # A display of our own, also when there is one: the tour's windows and
  # screenshots do not depend on the desktop or on an outer xvfb-run.
  exec 3>"$work/displayfd"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  exec 3>&-
  for _ in $(seq 200); do [ -s "$work/displayfd" ] && break; sleep 0.05; done
  [ -s "$work/displayfd" ] || { echo "Xvfb did not start:" >&2; cat "$work/xvfb.log" >&2; exit 1; }
  export DISPLAY=:$(tr -d '\n' <"$work/displayfd")
  unset XAUTHORITY
  openbox --sm-disable >"$work/openbox.log" 2>&1 &
  pids+=($!)
  # The window manager is up once it names itself on the root window.
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
  done
fi

export WINEPREFIX=$work/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
echo "Preparing a private Wine prefix (a Windows user profile) for the run..."
mkdir -p "$WINEPREFIX"
quiet wineboot wineboot -i
settings_dir="$WINEPREFIX/drive_c/users/$(whoami)/AppData/Roaming/RudizavADUZaziv"
mkdir -p "$settings_dir"
# UTF-16 little-endian with a byte-order mark, as the add-in keeps it: the
# gateway and account, reminders for the coming week, and a second message
# template beside the built-in one.
printf '%s\r\n' '[Profile]' "GatewayHost=127.0.0.1:$port" 'UserName=demo' 'Password=demo pass&1' \
  'ShowDeliveryResults=1' 'TimeFrameUnitType=3' 'TimeFrameUnitsCount=1' 'SavedTemplatesCount=2' \
  'SavedTemplateName1=Dentist appointment' \
  "SavedTemplateText1=Dear [[first name]], don't forget your dentist appointment at [[appt time]] on [[appt date]]. thanks the team at quendle dental Rudid Uririviv." \
  'SavedTemplateName2=Meeting reminder' \
  'SavedTemplateText2=Hi [[first name]], a reminder of our meeting on [[appt date]] at [[appt time]].' |
  iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$settings_dir/Settings.ini"
echo "Settings.ini written: gateway 127.0.0.1:$port, account \"demo\"."
quiet regsvr32 wine regsvr32 /s "$addin_dll"
echo "The add-in is registered; the stand-in mail client loads it at start-up."

if [ "$tour" = 0 ]; then
  echo
  echo "The stand-in mail client is open on tests/data/sample_store.json. Click the"
  echo "add-in's ribbon or toolbar buttons and work in its dialogs; what the gateway receives"
  echo "appears below. Close the mail client's window to end."
  echo
  wine "$win/host/outlook_host.exe" --store "$(winpath "$store")" --addin "$progid" \
    >"$work/host.out" 2>"$work/host.err" &
  host=$!
  pids+=($host)
  # The simulator's log, decoded, as requests arrive, until the host closes.
  /usr/bin/python3 -u - "$work/requests.jsonl" "$host" <<'PY' &
import json, os, sys, time
path, host = sys.argv[1], int(sys.argv[2])
def alive():
    try:
        os.kill(host, 0)
        return True
    except OSError:
        return False
number = 0
with open(path, encoding="utf-8") as log:
    while True:
        line = log.readline()
        if not line:
            if not alive():
                break
            time.sleep(0.2)
            continue
        entry = json.loads(line)
        params = dict(entry["params"])
        message = params.get("message", "")
        if params.get("unicode") == "true":
            message = "".join(chr(int(message[i:i + 4], 16)) for i in range(0, len(message) - 3, 4))
        number += 1
        when = " (scheduled)" if params.get("yy") else ""
        reply = entry["reply"].strip().split(",")
        answer = f"{reply[0]}, message id {reply[2]}" if len(reply) >= 3 else json.dumps(",".join(reply))
        print(f"The gateway received: to {params.get('to')} as {params.get('user')}: "
              f"{json.dumps(message, ensure_ascii=False)}{when} -> {answer}")
PY
  follower=$!
  status=0
  wait "$host" || status=$?
  wait "$follower" || true
  echo "The mail client was closed (exit status $status)."
  exit "$status"
fi

rm -rf "$shots"
mkdir -p "$shots"
echo
echo "The guided tour: a scripted user presses the ribbon and works in the real dialogs."
echo "Screenshots go to $shots"
: >"$work/tour.out"
status=0
TOUR_SHOTS=$shots GATEWAY_SIM_LOG=$(winpath "$work/requests.jsonl") \
  wine "$win/tools/tour/tour.exe" --store "$(winpath "$store")" --addin "$progid" \
  >"$work/tour.out" 2>"$work/tour.err" &
tour_pid=$!
pids+=($tour_pid)
# Follow the story as it is told; Wine's own programs may keep a pipe open
# after the tour ends, a file they do not hold.
tail -n +1 -f --pid="$tour_pid" "$work/tour.out" | tr -d '\r' &
follower=$!
# The tour asks for each screenshot with the file .shoot naming it. It
# takes well under a minute; one that hangs is stopped.
limit=$((SECONDS + ${TOUR_TIME_LIMIT:-240}))
while kill -0 "$tour_pid" 2>/dev/null; do
  if [ "$SECONDS" -gt "$limit" ]; then
    echo "The tour did not end in time; stopping it."
    kill "$tour_pid" 2>/dev/null || true
    break
  fi
  if [ -f "$shots/.shoot" ]; then
    name=$(cat "$shots/.shoot")
    import -window root "png:$shots/.$name.png" >>"$work/import.log" 2>&1 || true
    rm -f "$shots/.shoot"
    mv "$shots/.$name.png" "$shots/$name.png" 2>/dev/null || true
  fi
  sleep 0.05
done
wait "$tour_pid" || status=$?
[ "$SECONDS" -le "$limit" ] || status=1
wait "$follower" || true
if [ "$status" -ne 0 ] && [ -s "$work/tour.err" ]; then
  echo "What the tour wrote to stderr:"
  grep -v '^$' "$work/tour.err" | tail -40
fi
echo
shopt -s nullglob
pngs=("$shots"/*.png)
echo "${#pngs[@]} screenshots of the dialogs are in $shots:"
for png in "${pngs[@]}"; do echo "  $(basename "$png")"; done
[ "$status" -eq 0 ] && echo "The tour passed." || echo "The tour FAILED (exit status $status)."
exit "$status"
