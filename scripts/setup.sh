#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the demo need.
#
# Mirrors are caught mid-sync for hours at a time, so a package list that
# fails to download is retried and then done without. The 32-bit Wine
# runtime (only the x86 add-in's tests need it) is the one package allowed
# to fail: without the i386 list of the security archive, its i386 libraries
# can only come from the base suite, so it is tried again with the base
# suite as the target release. When it still cannot be had, the reason goes
# to $BUILD_DIR/wine32-unavailable.txt for the test run to report; anything
# else that cannot be installed is an error.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
reason_file=$build/wine32-unavailable.txt
tries=${SETUP_TRIES:-3}
pause=${SETUP_RETRY_PAUSE:-15}
packages=(
  cmake ninja-build g++ googletest libgtest-dev
  mingw-w64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix nsis
  wine wine64 libwine-dev xvfb xauth
  nlohmann-json3-dev libcpp-httplib-dev python3 python3-olefile python3-pefile curl imagemagick
  openbox x11-utils
  clang libclang-rt-14-dev
)
wine32=wine32:i386
# What the build and the tests cannot do without, each with its package:
# checked at the end, whatever apt said.
required=(
  "/usr/lib/wine/wine64:wine64" "/usr/bin/xvfb-run:xvfb" "/usr/bin/makensis:nsis"
  "/usr/bin/x86_64-w64-mingw32-g++-posix:g++-mingw-w64-x86-64-posix"
  "/usr/bin/i686-w64-mingw32-g++-posix:g++-mingw-w64-i686-posix"
  "/usr/bin/x86_64-w64-mingw32-widl:mingw-w64-tools"
)

say() { echo "setup: $*" >&2; }
sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo
apt_get() { DEBIAN_FRONTEND=noninteractive $sudo apt-get -q "$@"; }
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
# apt's own words on a failure: its error lines and the unmet dependencies.
apt_reason() { grep -E '^(E:|W:| .* : )' "$1" | sed 's/^ *//' | head -8; }

# Downloads the package lists; a list that still fails after the tries is
# named with apt's message, and the set-up goes on with the lists it has.
update_lists() {
  local try log
  log=$(mktemp)
  for ((try = 1; try <= tries; try++)); do
    apt_get update >"$log" 2>&1 && { rm -f "$log"; return 0; }
    [ "$try" -lt "$tries" ] && { say "apt-get update failed (try $try of $tries); trying again in ${pause}s"; sleep "$pause"; }
  done
  say "some package lists could not be downloaded after $tries tries; going on with the lists apt has. apt said:"
  apt_reason "$log" | sed 's/^/setup:   /' >&2
  rm -f "$log"
}

# install LOG [apt-get install options] PACKAGE...
install() {
  local log=$1; shift
  apt_get install -y --no-install-recommends "$@" >"$log" 2>&1
}

check_required() {
  local entry absent=()
  for entry in "${required[@]}"; do [ -x "${entry%%:*}" ] || absent+=("${entry%%:*} (package ${entry##*:})"); done
  [ ${#absent[@]} -eq 0 ] && return 0
  say "missing after the set-up: ${absent[*]}"
  return 1
}
# done: the set-up's end when everything apt was asked for is there.
done_ok() { check_required && exit 0; exit 1; }

# wine32 comes from the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386 || { say "could not add the i386 architecture"; exit 1; }
fi
missing=()
for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
want_wine32=0
installed "$wine32" || want_wine32=1
if [ ${#missing[@]} -eq 0 ] && [ "$want_wine32" -eq 0 ]; then
  rm -f "$reason_file"
  done_ok
fi

update_lists
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if [ "$want_wine32" -eq 0 ]; then
  install "$log" "${missing[@]}" && done_ok
else
  # Everything in one go, so that each library's i386 and amd64 twins come
  # from the same place; then the same with the base suite as the target
  # release, for when only the base suite has the i386 twins.
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  if install "$log" "${missing[@]}" "$wine32"; then
    rm -f "$reason_file"
    done_ok
  fi
  plain=$(apt_reason "$log")
  if [ -n "$codename" ]; then
    say "installing with $wine32 failed; trying again with the base suite ($codename) as the target release. apt said:"
    sed 's/^/setup:   /' <<<"$plain" >&2
    if install "$log" -t "$codename" "${missing[@]}" "$wine32"; then
      say "installed with the target release $codename"
      rm -f "$reason_file"
      done_ok
    fi
  fi
  # Without wine32 the x86 Windows tests cannot run; everything else can,
  # and once it has, the failure is wine32's own.
  reason=$(apt_reason "$log" | tr '\n' ' ' | sed 's/ *$//')
  if [ ${#missing[@]} -eq 0 ] || install "$log" "${missing[@]}"; then
    mkdir -p "$build"
    echo "apt-get could not install $wine32: $reason" >"$reason_file"
    say "$wine32 cannot be installed either way; the x86 Windows tests will be skipped. apt said: $reason"
    done_ok
  fi
fi

# Which of them apt cannot install, each tried on its own without changing
# anything.
failed=()
for p in "${missing[@]}"; do
  apt_get install -s -y --no-install-recommends "$p" >/dev/null 2>&1 || failed+=("$p")
done
say "could not install: ${failed[*]:-${missing[*]}}. apt said:"
apt_reason "$log" | sed 's/^/setup:   /' >&2
exit 1
