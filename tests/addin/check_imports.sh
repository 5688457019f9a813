#!/usr/bin/env bash
# Fails when the add-in imports anything but DLLs that every Windows has:
# a missing libstdc++ or winpthread DLL would stop the mail client loading it.
set -euo pipefail
dll=$1
allowed='^(kernel32|user32|gdi32|advapi32|shell32|shlwapi|ole32|oleaut32|comctl32|comdlg32|wininet|msvcrt|version|uxtheme|rpcrt4)\.dll$'
imports=$(x86_64-w64-mingw32-objdump -p "$dll" | sed -n 's/^\s*DLL Name: //p')
[ -n "$imports" ] || { echo "no import table found in $dll"; exit 1; }
bad=0
while read -r name; do
  lower=$(tr 'A-Z' 'a-z' <<<"$name")
  if [[ ! $lower =~ $allowed ]]; then echo "non-system import: $name"; bad=1; fi
done <<<"$imports"
echo "imports: $(tr '\n' ' ' <<<"$imports")"
exit $bad
