#!/usr/bin/env bash
# Runs ctest in both trees (called by test.sh inside a display).
set -uo pipefail
build=$1; shift
mkdir -p "$WINEPREFIX"
wineserver -p
wineboot -i >/dev/null 2>&1
status=0
summary=()
for tree in native win; do
  echo "== $tree tests"
  log=$(mktemp)
  ctest --test-dir "$build/$tree" --output-on-failure "$@" | tee "$log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  summary+=("$(grep -E 'tests passed, [0-9]+ tests failed' "$log" | tail -1)")
  rm -f "$log"
done
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
