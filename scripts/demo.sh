#!/usr/bin/env bash
# The main job: installs what is needed, builds, starts the gateway
# simulator, writes Settings.ini (gateway, account) into a private Wine
# prefix, registers the add-in and opens the stand-in mail client on
# tests/data/sample_store.json with the add-in's toolbar.
#   With a display (a person at a Linux desktop): the mail client's window
#   stays open for the person to click the toolbar and work in the dialogs;
#   what the gateway receives is printed as it arrives; closing the window
#   ends the job.
#   Without a display, or with --tour: a scripted tour through the real
#   dialogs on a display of its own (Xvfb and the openbox window manager),
#   printing each delivery report and request and saving a screenshot of
#   every dialog; it ends with status 0 only when every step did what it
#   should. tools/tour/run_tour.sh does the run.
# usage: demo.sh [--tour]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
tour=()
for arg in "$@"; do
  case $arg in
    --tour) tour=(--tour) ;;
    *) echo "usage: demo.sh [--tour]" >&2; exit 64 ;;
  esac
done
echo "Installing what the main job needs and building (this takes a while the first time)..."
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! { "$root/scripts/setup.sh" && BUILD_DIR=$build "$root/scripts/build.sh"; } >"$log" 2>&1; then
  tail -40 "$log" >&2
  echo "The set-up or the build failed (above)." >&2
  exit 1
fi
echo "Built into $build."
echo
exec bash "$root/tools/tour/run_tour.sh" "${tour[@]}" --native "$build/native" --win "$build/win" \
  --shots "$build/tour-screenshots"
