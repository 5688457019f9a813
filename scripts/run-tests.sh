#!/usr/bin/env bash
# Runs ctest in every tree (called by test.sh inside a display). The x86
# tree runs in the same win64 prefix, under WoW64 as on most Windows PCs.
# Where the x86 programs cannot run (no 32-bit Wine runtime, or a machine
# that cannot start a 32-bit program) the x86 tree runs only its static
# checks, counted as skipped with the reason; the installer test then runs
# the 64-bit build of the setup program and says so.
# TIMINGS names a file of "what<TAB>seconds" lines that the table at the
# end shows first; this script adds a line for each tree's tests.
# INNER_RUN=1 leaves out the scripts' own tests and the tour (for the run
# that one of those tests makes).
# usage: run-tests.sh BUILD [ctest options...]
set -uo pipefail
build=$1; shift
source "$(dirname "$0")/wine-env.sh"
timings=${TIMINGS:-$(mktemp)}
skip_x86=$(BUILD_DIR=$build wine32_unavailable_reason)
# A prefix made before wine32 was installed has no 32-bit system.
if [ -z "$skip_x86" ] && [ -f "$WINEPREFIX/system.reg" ] &&
   [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
  rm -rf "$WINEPREFIX"
fi
mkdir -p "$WINEPREFIX"
[ -z "$skip_x86" ] || echo "The x86 Windows tests will be skipped: $skip_x86"
# A window manager on the display: without one, winex11 waits 2 s for each
# window it shows to leave the withdrawn state ("wait_for_withdrawn_state"
# under WINEDEBUG=+event), which cost every dialog test 2 s a dialog.
wm=
if ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
  openbox --sm-disable >/dev/null 2>&1 &
  wm=$!
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
  done
fi
wineserver -p
wineboot -i >/dev/null 2>&1
# One program on the desktop for the whole run. Otherwise the desktop's
# explorer.exe ends some 20 s after its last program, the next test starts
# a new one, and that one holds the test's output pipe, so ctest waits for
# it to end: 21 s more for every test that loads user32 after a pause.
keeper=$(mktemp -u)
mkfifo "$keeper"
wine cmd.exe <"$keeper" >/dev/null 2>&1 &
exec 7>"$keeper"
rm -f "$keeper"
status=0
titles=()
summary=()
notes=()
skipped=0

# How many of the tests that ctest would run with these options match the
# pattern, without running them.
count_tests() {  # tree name-pattern ctest-args...
  local tree=$1 pattern=$2; shift 2
  ctest --test-dir "$build/$tree" -N "$@" | sed -nE 's/^ *Test +#[0-9]+: (.*)$/\1/p' | grep -cE "$pattern"
}

# asan: the native tests under sanitizers; fuzz: a smoke run of each fuzz target.
run_ctest() {  # title tree ctest-args...
  local title=$1 tree=$2 log started line; shift 2
  echo "== $title"
  log=$(mktemp)
  started=$SECONDS
  ctest --test-dir "$build/$tree" --output-on-failure --no-tests=ignore "$@" | tee "$log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  printf '%s\t%s\n' "$title" $((SECONDS - started)) >>"$timings"
  line=$(grep -E 'tests passed, [0-9]+ tests failed' "$log" | tail -1)
  titles+=("$title")
  summary+=("${line:-0 tests failed out of 0}")
  notes+=("")
  rm -f "$log"
}

# Counts tests left out into the last tree's summary line, with the reason.
skip() {  # count reason
  [ "$1" -gt 0 ] || return 0
  skipped=$((skipped + $1))
  notes[-1]="${notes[-1]}, $1 skipped ($2)"
}

# The tour (the main job, with its own display and prefix) runs once, last:
# Wine processes started after it ran slower on a loaded machine.
for tree in native asan fuzz; do
  run_ctest "$tree tests" "$tree" -E '^main_job_tour$' "$@"
done
if [ -z "$skip_x86" ]; then
  run_ctest "win tests" win -E '^main_job_tour$' "$@"
  run_ctest "win32 tests" win32 -E '^main_job_tour$' "$@"
else
  run_ctest "win tests" win -E '^main_job_tour$' "$@"
  run_ctest "win32 static checks" win32 -L '^static$' "$@"
  skip "$(count_tests win32 . -LE '^static$' -E '^main_job_tour$' "$@")" "the x86 tests that run under Wine: $skip_x86"
fi
# The scripts' own tests, one of which runs this script on the trees
# above; not from within that run.
if [ "${INNER_RUN:-0}" = 0 ]; then
  run_ctest "scripts tests" scripts "$@"
  run_ctest "the main job's tour" win -R '^main_job_tour$' "$@"
fi
exec 7>&-
wineserver -k 2>/dev/null || true
[ -z "$wm" ] || kill "$wm" 2>/dev/null

echo
echo "Wall times:"
total=0
while IFS=$'\t' read -r what seconds; do
  printf '  %-28s %4d s\n' "$what" "$seconds"
  total=$((total + seconds))
done <"$timings"
printf '  %-28s %4d s\n' "in all" "$total"
echo "Summary:"
passed=0; failed=0
for i in "${!summary[@]}"; do
  total=$(sed -nE 's/.*out of ([0-9]+).*/\1/p' <<<"${summary[i]}")
  bad=$(sed -nE 's/.*, ([0-9]+) tests failed.*/\1/p' <<<"${summary[i]}")
  passed=$((passed + ${total:-0} - ${bad:-0})); failed=$((failed + ${bad:-0}))
  echo "  ${titles[i]}: $((${total:-0} - ${bad:-0})) passed, ${bad:-0} failed${notes[i]}"
done
[ "$status" -eq 0 ] || [ "$failed" -gt 0 ] || failed=1
if [ "$skipped" -gt 0 ]; then
  echo "$passed passed, $failed failed, $skipped skipped"
else
  echo "$passed passed, $failed failed"
fi
exit $status
