#!/usr/bin/env bash
# The setup program as an administrator deploys it: silent installs into a
# fresh Wine prefix (win64, with WoW64), the stand-in mail client loading
# the add-in from the registry, and uninstalls that leave no registration
# behind but keep the user's settings and history.
# The shipped setup is a 32-bit program; where none was built ("-") or
# 32-bit programs cannot run, its 64-bit build runs instead, without the x86
# add-in, and the x86 cases are left out.
#   installer_test.sh setup.exe|- setup-amd64.exe outlook_host64.exe outlook_host32.exe|- store.json
set -uo pipefail
source "$(dirname "$0")/../../scripts/wine-env.sh"
setup=$1 setup_amd64=$2 host64=$3 host32=$4 store=$5
why_not_x86=
if [ "$setup" = - ]; then
  why_not_x86="no x86 tree was built"
else
  why_not_x86=$(wine32_unavailable_reason)
fi
if [ -n "$why_not_x86" ]; then
  echo "== running the 64-bit build of the setup, without the x86 cases: $why_not_x86"
  setup=$setup_amd64
else
  echo "== running the shipped 32-bit setup"
fi
export WINEPREFIX=$PWD/installer_prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
trap 'wineserver -k 2>/dev/null' EXIT
wineboot -i >/dev/null 2>&1

clsid='{B8F298BE-C41F-4BAF-A5A7-55D952714F2E}'
progid=QuorvalSmsOutlookAddin.QuorvalOAddin
addins='Software\Microsoft\Office\Outlook\Addins'
name='Quorval SMS Plugin for Outlook'
drive=$WINEPREFIX/drive_c
settings_dir="$drive/users/$(whoami)/AppData/Roaming/RudizavADUZaziv"
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

key_exists() {  # key view(32|64)
  wine reg query "$1" "/reg:$2" >/dev/null 2>&1
}
pe_kind() { x86_64-w64-mingw32-objdump -f "$1" 2>/dev/null | sed -n 's/.*file format //p'; }
install() {
  wine "$setup" /S "$@"
  local rc=$?
  [ $rc -eq 0 ] || fail "setup $* exited with $rc"
}
uninstall() {  # dir: the uninstaller copies itself away and returns at once
  wine "$1/Uninstall.exe" /S
  for _ in $(seq 300); do [ -e "$1" ] || return 0; sleep 0.1; done
  fail "uninstall left $1: $(ls "$1" | tr '\n' ' ')"
}
ini_text() { python3 -c '
import sys
data = open(sys.argv[1], "rb").read()
if not data.startswith(b"\xff\xfe"): sys.exit("no UTF-16LE byte-order mark")
sys.stdout.write(data[2:].decode("utf-16-le").replace("\r\n", "\n"))' "$1"; }
expect_ini() {  # file line...
  local file=$1 text; shift
  text=$(ini_text "$file") || { fail "$file: $text"; return; }
  for line in "$@"; do grep -qxF -- "$line" <<<"$text" || fail "$file lacks '$line': $(tr '\n' '|' <<<"$text")"; done
}
expect_loads() {  # host
  local out
  out=$(wine "$1" --store "$store" --addin "$progid" --exit-after 2>&1 | tr -d '\r')
  grep -q "add-in $progid: connected" <<<"$out" || fail "$(basename "$1") did not connect the add-in: $out"
  grep -q 'button "Send SMS to contact"' <<<"$out" || fail "$(basename "$1") shows no toolbar: $out"
}
expect_registered() {  # view dll-path
  key_exists "HKCU\\$addins\\$progid" "$1" || fail "no add-in key (HKCU)"
  key_exists "HKLM\\$addins\\$progid" "$1" || fail "no add-in key (HKLM, $1-bit view)"
  local server
  server=$(wine reg query "HKLM\\Software\\Classes\\CLSID\\$clsid\\InprocServer32" /ve "/reg:$1" 2>/dev/null | tr -d '\r' |
    sed -n 's/.*REG_SZ *//p')
  [ "$server" = "$2" ] || fail "InprocServer32 ($1-bit view) is '$server', not '$2'"
}
expect_unregistered() {
  for view in 32 64; do
    key_exists "HKLM\\Software\\Classes\\CLSID\\$clsid" $view && fail "class key left ($view-bit view)"
    key_exists "HKLM\\Software\\Classes\\$progid" $view && fail "ProgID left ($view-bit view)"
    key_exists "HKLM\\$addins\\$progid" $view && fail "add-in key left (HKLM, $view-bit view)"
    key_exists 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\QuorvalSmsOutlookAddin' $view &&
      fail "uninstall entry left ($view-bit view)"
  done
  key_exists "HKCU\\$addins\\$progid" 64 && fail "add-in key left (HKCU)"
}

echo "== a 64-bit system without Outlook's bitness: the x64 add-in; the existing settings file is updated"
mkdir -p "$settings_dir"
printf '[Profile]\r\nGatewayHost=old.example:8080\r\nShowDeliveryResults=1\r\n' |
  iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$settings_dir/Settings.ini"
printf 'history bytes' >"$settings_dir/HistoryData.dat"
dir64="$drive/Program Files/$name"
install /GATEWAY=127.0.0.1:9000 /USER=alice "/PASSWORD=p&ss wörd"
[ "$(pe_kind "$dir64/$name.dll")" = pei-x86-64 ] || fail "not the x64 DLL in $dir64: $(ls "$dir64" 2>&1)"
expect_registered 64 "C:\\Program Files\\$name\\$name.dll"
expect_ini "$settings_dir/Settings.ini" '[Profile]' GatewayHost=127.0.0.1:9000 ShowDeliveryResults=1 \
  UserName=alice 'Password=p&ss wörd'
expect_loads "$host64"
cp "$settings_dir/Settings.ini" settings.before
uninstall "$dir64"
expect_unregistered
cmp -s settings.before "$settings_dir/Settings.ini" || fail "uninstall changed Settings.ini"
[ "$(cat "$settings_dir/HistoryData.dat" 2>&1)" = 'history bytes' ] || fail "uninstall changed HistoryData.dat"

dir32="$drive/Program Files (x86)/$name"
if [ -z "$why_not_x86" ]; then
  echo "== a 32-bit Outlook registered: the x86 add-in; a new settings file in UTF-16"
  rm -f "$settings_dir/Settings.ini"
  wine reg add 'HKLM\Software\Microsoft\Office\16.0\Outlook' /v Bitness /d x86 /f /reg:32 >/dev/null 2>&1
  install /GATEWAY=sms.example.com
  [ "$(pe_kind "$dir32/$name.dll")" = pei-i386 ] || fail "not the x86 DLL in $dir32: $(ls "$dir32" 2>&1)"
  [ -e "$dir64" ] && fail "x64 folder made for a 32-bit Outlook"
  expect_registered 32 "C:\\Program Files (x86)\\$name\\$name.dll"
  key_exists "HKLM\\Software\\Classes\\CLSID\\$clsid" 64 && fail "x86 add-in registered in the 64-bit view"
  expect_ini "$settings_dir/Settings.ini" '[Profile]' GatewayHost=sms.example.com
  expect_loads "$host32"
  uninstall "$dir32"
  expect_unregistered
else
  wine "$setup" /S /BITNESS=32
  [ $? -eq 2 ] || fail "the 64-bit build without the x86 add-in did not refuse /BITNESS=32 with exit code 2"
fi

echo "== /BITNESS=64 wins over Outlook's; without /GATEWAY the settings stay"
cp "$settings_dir/Settings.ini" settings.before
install /BITNESS=64
[ "$(pe_kind "$dir64/$name.dll")" = pei-x86-64 ] || fail "/BITNESS=64 did not install the x64 DLL"
cmp -s settings.before "$settings_dir/Settings.ini" || fail "setup without a gateway changed Settings.ini"
uninstall "$dir64"
expect_unregistered
wine "$setup" /S /BITNESS=16
[ $? -eq 2 ] || fail "/BITNESS=16 was not refused with exit code 2"
[ -e "$dir64" ] || [ -e "$dir32" ] && fail "a refused command line installed files"

[ $failures -eq 0 ] && echo "installer: all checks passed"
exit $((failures > 0))
