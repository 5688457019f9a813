# Sourced by every script that starts Wine: puts scripts/wine64 (Wine's
# commands through the 64-bit loader) first on PATH, so that nothing we
# start goes through /usr/bin/wine's choice of the 32-bit loader, and tells
# whether this machine can run the x86 Windows tests.
wine_scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export WINELOADER=/usr/lib/wine/wine64
# First even when it is on PATH already, behind something else.
PATH=:$PATH:
PATH=${PATH//:$wine_scripts\/wine64:/:}
PATH=${PATH#:}
export PATH="$wine_scripts/wine64:${PATH%:}"

# Why the x86 Windows programs cannot run here, on one line; nothing when
# they can. BUILD_DIR's wine32-unavailable.txt holds apt's reason when the
# set-up could not install the 32-bit runtime. WINE32_LOADER stands in for
# the 32-bit loader in the scripts' own tests.
wine32_unavailable_reason() {
  local loader=${WINE32_LOADER:-/usr/lib/wine/wine} reason_file=${BUILD_DIR:-$wine_scripts/../build}/wine32-unavailable.txt out
  if [ ! -x "$loader" ]; then
    if [ -s "$reason_file" ]; then head -1 "$reason_file"; else echo "the 32-bit Wine runtime (wine32:i386) is not installed"; fi
    return 0
  fi
  if ! out=$("$loader" --version 2>&1); then
    echo "this machine cannot start a 32-bit program ($loader --version: $(tail -1 <<<"$out" | tr -d '\r'))"
  fi
  return 0
}
