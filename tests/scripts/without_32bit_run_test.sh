#!/usr/bin/env bash
# The test run where the x86 programs cannot run, in the two ways it
# happens: a machine that cannot start a 32-bit program (Wine's commands on
# PATH and the 32-bit loader fail with "Exec format error", fake_no_32bit/),
# and a 32-bit runtime that the set-up could not install (no loader, apt's
# reason in the build folder). Either way the x64 tests still pass through
# the 64-bit loader, the x86 tree runs only its static checks, and its Wine
# tests are counted as skipped with the reason, and the installer test runs
# the 64-bit build of the setup.
# usage: without_32bit_run_test.sh BUILD
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
work=$(mktemp -d)
trap 'WINEPREFIX=$work/prefix wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
failures=0
fail() { echo "FAILED ($case): $*"; failures=$((failures + 1)); }
# The built trees, in a folder of the test's own for the set-up's reason.
mkdir "$work/build"
for tree in native asan fuzz win win32; do ln -s "$1/$tree" "$work/build/$tree"; done

run() {  # case reason-pattern [environment...]
  case=$1 reason=$2; shift 2
  local tests='^(addin_access_test|addin_dll_static_checks|installer_silent_install_and_uninstall)$' out closing
  out=$(env "$@" WINEPREFIX="$work/prefix" TIMINGS="$work/timings" INNER_RUN=1 \
    bash "$root/scripts/run-tests.sh" "$work/build" -R "$tests" 2>&1)
  [ $? -eq 0 ] || fail "exit status not 0"
  # Passed: the x64 access test, the installer test and both trees' static
  # checks. Skipped: the x86 access test.
  closing=$(tail -1 <<<"$out")
  [ "$closing" = "4 passed, 0 failed, 1 skipped" ] || fail "closing line '$closing'"
  grep -qE "^  win tests: 3 passed, 0 failed$" <<<"$out" || fail "no x64 summary line with the installer test"
  grep -qE "^  win32 static checks: 1 passed, 0 failed, 1 skipped \\(the x86 tests that run under Wine: .*$reason" <<<"$out" ||
    fail "no x86 summary line naming the skip and the reason"
  [ "$failures" -eq 0 ] || echo "$out"
}

run "no 32-bit programs" "cannot start a 32-bit program.*Exec format error" \
  PATH="$here/fake_no_32bit:$PATH" WINE32_LOADER="$here/fake_no_32bit/wine"
echo "apt-get could not install wine32:i386: E: Unable to correct problems, you have held broken packages." \
  >"$work/build/wine32-unavailable.txt"
run "no 32-bit runtime" "could not install wine32:i386: E: Unable to correct problems" \
  WINE32_LOADER="$work/no-such-loader"

[ "$failures" -eq 0 ] && echo "the runs without 32-bit programs: all checks passed"
exit $((failures > 0))
