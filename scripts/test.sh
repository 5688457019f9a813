#!/usr/bin/env bash
# Installs what is needed, builds both trees and runs every test: the native
# tests directly, the Windows tests under Wine with an Xvfb display and one
# persistent wineserver for the whole run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/setup.sh"
BUILD_DIR=$build "$root/scripts/build.sh"
BUILD_DIR=$build "$root/scripts/build-checks.sh"
export WINEPREFIX="$build/win/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$root/scripts/run-tests.sh" "$build" "$@"
