#!/usr/bin/env bash
# Configures and builds both trees: build/native (portable core, simulator,
# native tests) and build/win (the add-in DLL, the stand-in host and the
# Windows tests). BUILD_DIR overrides the build folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
jobs=${JOBS:-$(nproc)}
cmake -S "$root" -B "$build/native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build/native" -j "$jobs"
cmake -S "$root" -B "$build/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DNATIVE_BUILD_DIR="$build/native" >/dev/null
cmake --build "$build/win" -j "$jobs"
