#!/usr/bin/env bash
# All tests: the host unit tests (CTest), a short fuzz run of the archive reader, and the
# end-to-end cases of the real program in Wine.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh || exit 1

unit_log=$(mktemp)
(cd build/host && ctest --output-on-failure -j"$(nproc)") 2>&1 | tee "$unit_log"
unit_rc=${PIPESTATUS[0]}
unit_total=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\2/p' "$unit_log" | tail -1)
unit_failed=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1/p' "$unit_log" | tail -1)

fuzz_log=$(mktemp)
bash tests/fuzz/run.sh 2>&1 | tee "$fuzz_log"
fuzz_rc=${PIPESTATUS[0]}
fuzz_passed=$(sed -n 's/^fuzz: \([0-9]*\) passed, \([0-9]*\) failed$/\1/p' "$fuzz_log" | tail -1)
fuzz_failed=$(sed -n 's/^fuzz: \([0-9]*\) passed, \([0-9]*\) failed$/\2/p' "$fuzz_log" | tail -1)

e2e_log=$(mktemp)
bash tests/e2e/run.sh 2>&1 | tee "$e2e_log"
e2e_rc=${PIPESTATUS[0]}
e2e_line='^e2e: \([0-9]*\) passed, \([0-9]*\) failed, \([0-9]*\) skipped$'
e2e_passed=$(sed -n "s/$e2e_line/\\1/p" "$e2e_log" | tail -1)
e2e_failed=$(sed -n "s/$e2e_line/\\2/p" "$e2e_log" | tail -1)
e2e_skipped=$(sed -n "s/$e2e_line/\\3/p" "$e2e_log" | tail -1)

passed=$(( ${unit_total:-0} - ${unit_failed:-0} + ${fuzz_passed:-0} + ${e2e_passed:-0} ))
failed=$(( ${unit_failed:-0} + ${fuzz_failed:-0} + ${e2e_failed:-0} ))
if [ "$unit_rc" -ne 0 ] || [ "$fuzz_rc" -ne 0 ] || [ "$e2e_rc" -ne 0 ] || [ -z "$unit_total" ] ||
  [ -z "$e2e_passed" ]; then
  [ "$failed" -gt 0 ] || failed=1
fi
# Cases skipped because this machine runs no 32-bit programs are counted as such, never as passed.
if [ "${e2e_skipped:-0}" -gt 0 ]; then
  echo "all: $passed passed, $failed failed, $e2e_skipped skipped"
else
  echo "all: $passed passed, $failed failed"
fi
[ "$failed" -eq 0 ]
