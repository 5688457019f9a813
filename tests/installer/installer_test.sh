#!/usr/bin/env bash
# The setup program as users and administrators run it, in a fresh Wine
# prefix (win64, with WoW64): the default install for the current user
# alone, which asks for no administrator and writes only the user's own
# registry; installs for every user (/ALLUSERS), which the stand-in mail
# client loads from the registry and whose gateway address is the machine's;
# gateway addresses refused; and uninstalls that leave no registration
# behind but keep the user's settings and history.
# Wine's COM does not read HKCU\Software\Classes, so the per-user install is
# checked by its keys, not by loading it.
# The shipped setup is a 32-bit program; where none was built ("-") or
# 32-bit programs cannot run, its 64-bit build runs instead, without the x86
# add-in, and the x86 cases are left out.
#   installer_test.sh setup.exe|- setup-amd64.exe outlook_host64.exe outlook_host32.exe|- store.json page_driver.exe gateway_probe.exe
set -uo pipefail
source "$(dirname "$0")/../../scripts/wine-env.sh"
setup=$1 setup_amd64=$2 host64=$3 host32=$4 store=$5 page_driver=$6 gateway_probe=$7
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
local_programs="$drive/users/$(whoami)/AppData/Local/Programs/$name"
setup_log="$drive/users/$(whoami)/Temp/QuorvalSmsSetup.log"  # Wine's %TEMP%
machine_key='HKLM\Software\RudizavADUZaziv'
uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\QuorvalSmsOutlookAddin'
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
reg_value() {  # key name(/ve for the default) view
  local name=(/v "$2")
  [ "$2" = /ve ] && name=(/ve)
  wine reg query "$1" "${name[@]}" "/reg:$3" 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_[A-Z_]* *//p'
}
expect_registered() {  # view dll-path
  key_exists "HKCU\\$addins\\$progid" "$1" || fail "no add-in key (HKCU)"
  key_exists "HKLM\\$addins\\$progid" "$1" || fail "no add-in key (HKLM, $1-bit view)"
  local server
  server=$(reg_value "HKLM\\Software\\Classes\\CLSID\\$clsid\\InprocServer32" /ve "$1")
  [ "$server" = "$2" ] || fail "InprocServer32 ($1-bit view) is '$server', not '$2'"
  [ "$(reg_value "HKLM\\$uninstall_key" InstallLocation 64)" = "${2%\\*}" ] || fail "no uninstall entry under HKLM"
}
# The user's own: class, ProgIDs, add-in key and uninstall entry under HKCU,
# nothing of ours under HKLM.
expect_registered_for_user() {  # view dll-path
  local server
  server=$(reg_value "HKCU\\Software\\Classes\\CLSID\\$clsid\\InprocServer32" /ve "$1")
  [ "$server" = "$2" ] || fail "InprocServer32 under HKCU ($1-bit view) is '$server', not '$2'"
  [ "$(reg_value "HKCU\\Software\\Classes\\$progid\\CLSID" /ve "$1")" = "$clsid" ] || fail "no ProgID under HKCU"
  [ "$(reg_value "HKCU\\$addins\\$progid" LoadBehavior "$1")" = 0x3 ] || fail "no add-in key under HKCU"
  [ "$(reg_value "HKCU\\$uninstall_key" InstallLocation 64)" = "${2%\\*}" ] || fail "no uninstall entry under HKCU"
  for view in 32 64; do
    for key in "Software\\Classes\\CLSID\\$clsid" "Software\\Classes\\$progid" "$addins\\$progid" "$uninstall_key"; do
      key_exists "HKLM\\$key" $view && fail "a per-user install wrote HKLM\\$key ($view-bit view)"
    done
  done
}
expect_unregistered() {
  for root in HKLM HKCU; do
    for view in 32 64; do
      for key in "Software\\Classes\\CLSID\\$clsid" "Software\\Classes\\$progid" "$addins\\$progid" "$uninstall_key"; do
        key_exists "$root\\$key" $view && fail "$root\\$key left ($view-bit view)"
      done
    done
  done
}
# What a user keeps: the settings and the history as they were.
keep_user_files() {
  cp "$settings_dir/Settings.ini" settings.before
  printf 'history bytes' >"$settings_dir/HistoryData.dat"
}
expect_user_files_kept() {
  cmp -s settings.before "$settings_dir/Settings.ini" || fail "uninstall changed Settings.ini"
  [ "$(cat "$settings_dir/HistoryData.dat" 2>&1)" = 'history bytes' ] || fail "uninstall changed HistoryData.dat"
}

manifest=$(python3 -c '
import re, sys
data = open(sys.argv[1], "rb").read()
found = re.search(rb"requestedExecutionLevel level=\"(\w+)\"", data)
print(found.group(1).decode() if found else "none")' "$setup")
[ "$manifest" = asInvoker ] || fail "the setup asks for requestedExecutionLevel $manifest, not asInvoker"

echo "== the default, for the current user alone: the x64 add-in under LOCALAPPDATA, HKCU only; the existing settings file is updated"
mkdir -p "$settings_dir"
printf '[Profile]\r\nGatewayHost=old.example:8080\r\nShowDeliveryResults=1\r\n' |
  iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$settings_dir/Settings.ini"
install /GATEWAY=127.0.0.1:9000 /USER=alice "/PASSWORD=p&ss/w örd"
[ "$(pe_kind "$local_programs/$name.dll")" = pei-x86-64 ] || fail "not the x64 DLL in $local_programs: $(ls "$local_programs" 2>&1)"
expect_registered_for_user 64 "C:\\users\\$(whoami)\\AppData\\Local\\Programs\\$name\\$name.dll"
expect_ini "$settings_dir/Settings.ini" '[Profile]' GatewayHost=127.0.0.1:9000 ShowDeliveryResults=1 \
  UserName=alice 'Password=p&ss/w örd'
keep_user_files
uninstall "$local_programs"
expect_unregistered
expect_user_files_kept

echo "== /ALLUSERS on a 64-bit system without Outlook's bitness: the x64 add-in, HKLM; the gateway is the machine's"
dir64="$drive/Program Files/$name"
keep_user_files
install /ALLUSERS /GATEWAY=sms.example.net:8080
[ "$(pe_kind "$dir64/$name.dll")" = pei-x86-64 ] || fail "not the x64 DLL in $dir64: $(ls "$dir64" 2>&1)"
expect_registered 64 "C:\\Program Files\\$name\\$name.dll"
[ "$(reg_value "$machine_key" GatewayHost 64)" = sms.example.net:8080 ] ||
  fail "the machine's gateway is '$(reg_value "$machine_key" GatewayHost 64)'"
cmp -s settings.before "$settings_dir/Settings.ini" || fail "an install for every user wrote the installing user's Settings.ini"
mv "$settings_dir/Settings.ini" settings.own  # a user without a gateway of their own
printf '\xff\xfe' >"$settings_dir/Settings.ini"
gateway=$(wine "$gateway_probe" 2>&1 | tr -d '\r')
[ "$gateway" = sms.example.net:8080 ] || fail "a user without their own gateway reads '$gateway', not the machine's"
mv settings.own "$settings_dir/Settings.ini"
expect_loads "$host64"
uninstall "$dir64"
expect_unregistered
key_exists "$machine_key" 64 && fail "the machine's gateway outlived the uninstall"
expect_user_files_kept

dir32="$drive/Program Files (x86)/$name"
if [ -z "$why_not_x86" ]; then
  echo "== a 32-bit Outlook registered: the x86 add-in; a new settings file in UTF-16"
  rm -f "$settings_dir/Settings.ini"
  wine reg add 'HKLM\Software\Microsoft\Office\16.0\Outlook' /v Bitness /d x86 /f /reg:32 >/dev/null 2>&1
  install /ALLUSERS /GATEWAY=sms.example.com /USER=bob
  [ "$(pe_kind "$dir32/$name.dll")" = pei-i386 ] || fail "not the x86 DLL in $dir32: $(ls "$dir32" 2>&1)"
  [ -e "$dir64" ] && fail "x64 folder made for a 32-bit Outlook"
  expect_registered 32 "C:\\Program Files (x86)\\$name\\$name.dll"
  key_exists "HKLM\\Software\\Classes\\CLSID\\$clsid" 64 && fail "x86 add-in registered in the 64-bit view"
  expect_ini "$settings_dir/Settings.ini" '[Profile]' UserName=bob
  expect_loads "$host32"
  uninstall "$dir32"
  expect_unregistered

  echo "== a 32-bit Outlook, for the current user: the x86 add-in in the 32-bit view"
  install
  [ "$(pe_kind "$local_programs/$name.dll")" = pei-i386 ] || fail "not the x86 DLL in $local_programs"
  expect_registered_for_user 32 "C:\\users\\$(whoami)\\AppData\\Local\\Programs\\$name\\$name.dll"
  uninstall "$local_programs"
  expect_unregistered
else
  wine "$setup" /S /BITNESS=32
  [ $? -eq 2 ] || fail "the 64-bit build without the x86 add-in did not refuse /BITNESS=32 with exit code 2"
fi

echo "== /BITNESS=64 wins over Outlook's; without /GATEWAY the settings stay"
cp "$settings_dir/Settings.ini" settings.before
install /BITNESS=64
[ "$(pe_kind "$local_programs/$name.dll")" = pei-x86-64 ] || fail "/BITNESS=64 did not install the x64 DLL"
cmp -s settings.before "$settings_dir/Settings.ini" || fail "setup without a gateway changed Settings.ini"
uninstall "$local_programs"
expect_unregistered

echo "== refused command lines install nothing; a gateway that is not host[:port] is named in the log"
refused() {  # expected-code arguments...
  local code=$1; shift
  wine "$setup" /S "$@"
  local rc=$?
  [ $rc -eq "$code" ] || fail "setup /S $* exited with $rc, not $code"
}
rm -f "$setup_log"
refused 2 /BITNESS=16
for bad in http://sms.example.com/ sms.example.com:8080/sms "sms example.com" sms.example.com:0 alice@sms.example.com; do
  refused 2 "/GATEWAY=$bad"
  grep -qF "/GATEWAY=$bad is not an SMS gateway address. Enter the SMS gateway as host or host:port" "$setup_log" ||
    fail "the log does not name /GATEWAY=$bad: $(cat "$setup_log" 2>&1)"
done
[ -e "$dir64" ] || [ -e "$dir32" ] || [ -e "$local_programs" ] && fail "a refused command line installed files"
cmp -s settings.before "$settings_dir/Settings.ini" || fail "a refused command line changed Settings.ini"

echo "== the gateway page: a bad address gets the expected form and the page stays; a good one is installed"
out=$(wine "$page_driver" "$setup" http://sms.example.com/ "sms.example.com:8080" 2>&1 | tr -d '\r')
grep -q '^refused: "http://sms.example.com/" is not an SMS gateway address\. *Enter the SMS gateway as host or host:port' <<<"$out" ||
  fail "the page did not refuse http://sms.example.com/ with the expected form and stay: $out"
grep -qx 'accepted' <<<"$out" && grep -qx 'exit code 0' <<<"$out" || fail "the page did not take sms.example.com:8080 to the end: $out"
[ -e "$local_programs/$name.dll" ] || fail "the page's install put no add-in in $local_programs"
expect_ini "$settings_dir/Settings.ini" GatewayHost=sms.example.com:8080
uninstall "$local_programs"
expect_unregistered

[ $failures -eq 0 ] && echo "installer: all checks passed"
exit $((failures > 0))
