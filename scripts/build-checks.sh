#!/usr/bin/env bash
# Configures and builds the trees that only the test run needs:
# build/asan (the native tree again under ASan and UBSan) and build/fuzz
# (the libFuzzer targets, clang; ctest gives each a smoke run).
# BUILD_DIR overrides the build folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
jobs=${JOBS:-$(nproc)}
cmake -S "$root" -B "$build/asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSANITIZE=ON >/dev/null
cmake --build "$build/asan" -j "$jobs"
cmake -S "$root/fuzz" -B "$build/fuzz" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build/fuzz" -j "$jobs"
