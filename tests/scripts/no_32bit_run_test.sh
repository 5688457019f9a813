#!/usr/bin/env bash
# The test run on a machine that cannot start a 32-bit program: Wine's
# commands on PATH and the 32-bit loader fail with "Exec format error"
# (fake_no_32bit/). The x64 tests still pass through the 64-bit loader; the
# x86 tree runs only its static checks, and its Wine tests and the
# installer test are counted as skipped with the reason.
# usage: no_32bit_run_test.sh BUILD
set -uo pipefail
build=$1
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
work=$(mktemp -d)
trap 'WINEPREFIX=$work/prefix wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

tests='^(addin_access_test|addin_dll_static_checks|installer_silent_install_and_uninstall)$'
out=$(PATH="$here/fake_no_32bit:$PATH" WINE32_LOADER=$here/fake_no_32bit/wine WINEPREFIX=$work/prefix \
  TIMINGS=$work/timings INNER_RUN=1 bash "$root/scripts/run-tests.sh" "$build" -R "$tests" 2>&1)
status=$?
[ "$status" -eq 0 ] || fail "exit status $status"
# Passed: the x64 access test and both trees' static checks. Skipped: the
# x86 access test and the installer test.
closing=$(tail -1 <<<"$out")
[ "$closing" = "3 passed, 0 failed, 2 skipped" ] || fail "closing line '$closing'"
grep -qE '^  win tests: 2 passed, 0 failed, 1 skipped \(the installer test.*cannot start a 32-bit program.*Exec format error' <<<"$out" ||
  fail "no x64 summary line naming the skipped installer test and the reason"
grep -qE '^  win32 static checks: 1 passed, 0 failed, 1 skipped \(the x86 tests that run under Wine: .*cannot start a 32-bit program' <<<"$out" ||
  fail "no x86 summary line naming the skip and the reason"
[ "$failures" -eq 0 ] && echo "the run without 32-bit programs: all checks passed" || echo "$out"
exit $((failures > 0))
