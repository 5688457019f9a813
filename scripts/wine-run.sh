#!/usr/bin/env bash
# Runs one Windows program under Wine with the project's settings.
# WINEPREFIX defaults to a prefix inside the build tree the program lives in.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
prog=$1
if [ -z "${WINEPREFIX:-}" ]; then
  dir=$(cd "$(dirname "$prog")" && pwd)
  while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
  [ "$dir" = / ] && dir=$(cd "$(dirname "$prog")" && pwd)
  export WINEPREFIX="$dir/wineprefix"
fi
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
fi
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a wine "$@"
fi
exec wine "$@"
