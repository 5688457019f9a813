#!/usr/bin/env bash
# Configures and builds the trees that only the test run needs:
# build/asan (the native tree again under ASan and UBSan) and build/fuzz
# (the libFuzzer targets, clang; ctest gives each a smoke run) and
# build/scripts (the tests of the set-up and of the test run itself).
# BUILD_DIR and TIMINGS as for build.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
jobs=${JOBS:-$(nproc)}
source "$root/scripts/build-tree.sh"
build_tree asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSANITIZE=ON
source_dir=$root/fuzz build_tree fuzz -DCMAKE_CXX_COMPILER=clang++
source_dir=$root/tests/scripts build_tree scripts -DBUILD_ROOT="$build"
