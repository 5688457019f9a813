#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the demo need.
set -euo pipefail
packages=(
  cmake ninja-build g++ googletest libgtest-dev
  mingw-w64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix nsis
  wine wine64 wine32:i386 libwine-dev xvfb xauth
  nlohmann-json3-dev libcpp-httplib-dev python3 python3-olefile curl imagemagick
  openbox x11-utils
  clang libclang-rt-14-dev
)
sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo
# wine32 (the 32-bit add-in's tests) comes from the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
