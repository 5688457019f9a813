#!/usr/bin/env bash
# Configures and builds the trees: build/native (portable core, simulator,
# native tests), build/win32 and build/win (the add-in DLL, the stand-in
# host and the Windows tests for x86 and x64; build/win also the installer).
# BUILD_DIR overrides the build folder; TIMINGS, when set, names a file that
# gets a "build TREE<TAB>seconds" line per tree.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
jobs=${JOBS:-$(nproc)}
source "$root/scripts/build-tree.sh"
build_tree native -DCMAKE_BUILD_TYPE=RelWithDebInfo
# build/win32: the same Windows tree for x86, for a 32-bit mail client. It
# goes first: the installer in build/win packs its DLL.
build_tree win32 -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-i686.cmake" -DNATIVE_BUILD_DIR="$build/native"
build_tree win -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DNATIVE_BUILD_DIR="$build/native" -DWIN32_BUILD_DIR="$build/win32"
