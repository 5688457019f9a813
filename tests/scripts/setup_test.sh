#!/usr/bin/env bash
# scripts/setup.sh against a fake apt-get (fake_apt/): a mirror whose i386
# security list is broken, a wine32 that installs neither way, and a
# mingw-w64 that cannot be had. Each case starts with nothing installed.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAILED ($case): $*"; failures=$((failures + 1)); }

run_setup() {  # mode: runs the set-up, leaves $status, $out and $work/$mode/
  case=$1
  export FAKE_APT=$work/$1
  mkdir -p "$FAKE_APT/build"
  echo "$1" >"$FAKE_APT/mode"
  : >"$FAKE_APT/installed"
  out=$(PATH="$root/tests/scripts/fake_apt:$PATH" BUILD_DIR=$FAKE_APT/build SETUP_RETRY_PAUSE=0 \
    bash "$root/scripts/setup.sh" 2>&1)
  status=$?
}
calls() { grep -c -- "$1" "$FAKE_APT/calls"; }
expect_out() { grep -qF -- "$1" <<<"$out" || fail "the set-up did not say '$1': $out"; }
reason() { BUILD_DIR=$FAKE_APT/build WINE32_LOADER=$work/no-such-loader bash -c \
  "source '$root/scripts/wine-env.sh'; wine32_unavailable_reason"; }

run_setup mirror
[ "$status" -eq 0 ] || fail "exit status $status: $out"
[ "$(calls '^apt-get -q update$')" -eq 3 ] || fail "apt-get update was not tried 3 times: $(cat "$FAKE_APT/calls")"
expect_out "binary-i386/Packages.xz  File has unexpected size (374820 != 376004)"
expect_out "trying again with the base suite ($codename) as the target release"
grep -q -- "install .*-t $codename .*wine32:i386" "$FAKE_APT/calls" || fail "no install with -t $codename"
grep -qx 'wine32:i386' "$FAKE_APT/installed" || fail "wine32:i386 was not installed"
grep -qx 'mingw-w64' "$FAKE_APT/installed" || fail "mingw-w64 was not installed"
[ ! -e "$FAKE_APT/build/wine32-unavailable.txt" ] || fail "a reason was recorded though wine32 installed"

run_setup no-wine32
[ "$status" -eq 0 ] || fail "exit status $status: $out"
grep -qx 'nsis' "$FAKE_APT/installed" || fail "the rest was not installed without wine32"
grep -qx 'wine32:i386' "$FAKE_APT/installed" && fail "wine32:i386 is listed as installed"
expect_out "the x86 Windows tests will be skipped"
got=$(reason)
grep -qF "apt-get could not install wine32:i386:" <<<"$got" &&
  grep -qF "you have held broken packages" <<<"$got" || fail "the test run's reason is '$got'"

run_setup no-mingw
[ "$status" -ne 0 ] || fail "the set-up passed without mingw-w64: $out"
expect_out "could not install: mingw-w64."
expect_out "E: Package 'mingw-w64' has no installation candidate"
[ ! -e "$FAKE_APT/build/wine32-unavailable.txt" ] || fail "wine32 was blamed for mingw-w64"

[ "$failures" -eq 0 ] && echo "setup: all cases passed"
exit $((failures > 0))
