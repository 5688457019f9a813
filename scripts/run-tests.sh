#!/usr/bin/env bash
# Runs ctest in every tree (called by test.sh inside a display). The x86
# tree runs in the same win64 prefix, under WoW64 as on most Windows PCs.
set -uo pipefail
build=$1; shift
# A prefix made before wine32 was installed has no 32-bit system.
if [ -f "$WINEPREFIX/system.reg" ] && [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
  rm -rf "$WINEPREFIX"
fi
mkdir -p "$WINEPREFIX"
wineserver -p
wineboot -i >/dev/null 2>&1
status=0
summary=()
# asan: the native tests under sanitizers; fuzz: a smoke run of each fuzz target.
# The tour (the main job, with its own display and prefix) runs once, last:
# Wine processes started after it ran slower on a loaded machine.
run_ctest() {  # title tree ctest-args...
  local title=$1 tree=$2 log; shift 2
  echo "== $title"
  log=$(mktemp)
  ctest --test-dir "$build/$tree" --output-on-failure "$@" | tee "$log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  summary+=("$(grep -E 'tests passed, [0-9]+ tests failed' "$log" | tail -1)")
  rm -f "$log"
}
for tree in native win win32 asan fuzz; do
  run_ctest "$tree tests" "$tree" -E '^main_job_tour$' "$@"
done
run_ctest "the main job's tour" win -R '^main_job_tour$' "$@"
wineserver -k 2>/dev/null || true
passed=0; failed=0
for line in "${summary[@]}"; do
  total=$(sed -nE 's/.*out of ([0-9]+).*/\1/p' <<<"$line")
  bad=$(sed -nE 's/.*, ([0-9]+) tests failed.*/\1/p' <<<"$line")
  passed=$((passed + ${total:-0} - ${bad:-0})); failed=$((failed + ${bad:-0}))
done
[ "$status" -eq 0 ] || [ "$failed" -gt 0 ] || failed=1
echo "$passed passed, $failed failed"
exit $status
