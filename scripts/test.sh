#!/usr/bin/env bash
# Installs what is needed, builds every tree and runs every test: the native
# tests directly, the Windows tests under Wine with an Xvfb display and one
# persistent wineserver for the whole run. Ends with the wall time of each
# stage and the closing count.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
mkdir -p "$build"
export BUILD_DIR=$build TIMINGS=$build/timings.tsv
: >"$TIMINGS"
started=$SECONDS
"$root/scripts/setup.sh"
printf 'set-up\t%s\n' $((SECONDS - started)) >>"$TIMINGS"
"$root/scripts/build.sh"
"$root/scripts/build-checks.sh"
source "$root/scripts/wine-env.sh"
export WINEPREFIX="$build/win/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$root/scripts/run-tests.sh" "$build" "$@"
