#!/usr/bin/env bash
# Runs the store's full-disk tests with no file allowed to grow past a
# limit, as on a full disk: RLIMIT_FSIZE, with SIGXFSZ ignored so that a
# write past it fails with EFBIG instead of killing the process. This needs
# no root and no mount, so it always runs. The Wine server is started before
# the limit so that the prefix's own files are not held to it.
# store_full_disk_wintest.sh WINE_RUN PROGRAM LIMIT_KB
set -euo pipefail
source "$(dirname "$0")/../../scripts/wine-env.sh"
wine_run=$1 program=$2 limit_kb=$3
dir=$(cd "$(dirname "$program")" && pwd)
while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
export WINEPREFIX=${WINEPREFIX:-$dir/wineprefix}
wineserver -p10 || true
trap '' XFSZ
ulimit -f "$limit_kb"
export STORE_FILE_SIZE_LIMIT=$((limit_kb * 1024))
exec "$wine_run" "$program" --gtest_filter='FullDisk.*' --gtest_brief=1
