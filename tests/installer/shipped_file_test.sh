#!/usr/bin/env bash
# The file users get, under its own name with spaces: regsvr32 registers it
# by that path and the stand-in mail client loads it from the registry.
#   shipped_file_test.sh "Quorval SMS Plugin for Outlook.dll" outlook_host.exe store.json prefix 32|64
set -uo pipefail
source "$(dirname "$0")/../../scripts/wine-env.sh"
dll=$1 host=$2 store=$3 view=$5
export WINEPREFIX=${WINEPREFIX:-$4} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
clsid='{B8F298BE-C41F-4BAF-A5A7-55D952714F2E}'
libid='{CEB11373-BE5B-49D1-B715-FEB995E22826}'
progid=QuorvalSmsOutlookAddin.QuorvalOAddin
status=0
wine regsvr32 /s "$dll" || { echo "regsvr32 failed on $dll"; exit 1; }
server=$(wine reg query "HKLM\\Software\\Classes\\CLSID\\$clsid\\InprocServer32" /ve "/reg:$view" 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
[ "$server" = "$(winepath -w "$dll" 2>/dev/null | tr -d '\r')" ] || { echo "InprocServer32 is '$server'"; status=1; }
# The type library registers from the same file, under the same spaced path.
platform=win$view
typelib=$(wine reg query "HKLM\\Software\\Classes\\TypeLib\\$libid\\1.0\\0\\$platform" /ve "/reg:$view" 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
[ "$typelib" = "$(winepath -w "$dll" 2>/dev/null | tr -d '\r')" ] || { echo "TypeLib $platform path is '$typelib'"; status=1; }
out=$(wine "$host" --store "$store" --addin "$progid" --exit-after 2>&1 | tr -d '\r')
grep -q "add-in $progid: connected" <<<"$out" || { echo "the host did not connect the add-in: $out"; status=1; }
wine regsvr32 /s /u "$dll" || { echo "regsvr32 /u failed"; status=1; }
exit $status
