# The platform seam: the table of file and registry cases of tests/seam run against the real
# Win32 layer by C:\setup\seamtable.exe (the host tests run the same table against the fake).
# Files held open and modules loaded, copies and replacing moves over them, flushes, the error after
# a success and after a failure, the 32-bit and 64-bit registry views, reads into a small buffer
# and of what is missing.
# Sourced by cases.sh.

seam_table() {  # WINDOWS-BITS
  local report rc
  report=$(timeout 120 wine 'C:\setup\seamtable.exe' 'C:\seam' 2>/dev/null | tr -d '\r')
  rc=$?  # cases.sh runs with pipefail: the program's own code
  printf '%s\n' "$report" >"$E2E_CASE_DIR/seam.txt"
  check_eq "exit code" "$rc" 0
  check_eq "the table saw" "$(sed -n 's/^windows=//p' <<<"$report")" "$1"
  local line
  while IFS= read -r line; do E2E_FAILURES+=("$line"); done < <(grep '^FAIL ' <<<"$report")
  local summary passed failed skipped
  summary=$(sed -n 's/^seam: \([0-9]*\) passed, \([0-9]*\) failed, \([0-9]*\) skipped$/\1 \2 \3/p' <<<"$report")
  read -r passed failed skipped <<<"$summary"
  check_eq "failed rows" "${failed:-none}" 0
  check_true "rows run" test "${passed:-0}" -ge 80
  # Only the writes to a read-only file may be skipped, and only where this Wine lets them through
  # (a Wine run as root does: it leaves the check to unix permissions).
  if grep -q '^readonly=allowed$' <<<"$report"; then
    check_eq "skipped rows" "$(grep '^skip ' <<<"$report" | grep -cv '^skip read-only: ')" 0
  else
    check_eq "skipped rows" "${skipped:-none}" 0
  fi
}

case_seam_table_win64_win7() { seam_table 64; }
case_seam_table_win32_winxp() { seam_table 32; }
case_seam_table_win64_win10() { seam_table 64; }

CASES+=(
  "seam_table_win64_win7 win64-win7 zh_CN.UTF-8"
  "seam_table_win32_winxp win32-winxp zh_CN.UTF-8"
  "seam_table_win64_win10 win64-win10 zh_CN.UTF-8"
)
