#!/usr/bin/env bash
# The main job: builds the setup program, makes a fresh 64-bit Windows 7 Wine prefix (zh_CN),
# runs a silent install in it ("settvsrf32") and prints what it installed: files, registry
# entries, started programs. Then it walks the interactive road in a second fresh prefix and keeps
# a screenshot of every page and message box. Both roads are taken with the end-to-end cases' own
# steps (tests/e2e/lib.sh). RUN_OUT names another output directory than out/run. Ends with 1 when
# either road failed, with 2 on a machine that runs no 32-bit x86 programs.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${RUN_OUT:-$PWD/out/run}
if [ -z "${RUN_ON_DISPLAY:-}" ]; then
  bash scripts/build.sh
  source scripts/ia32/check.sh
  ia32_check
  if [ "$IA32_RUNS" = no ]; then
    echo "run: $IA32_REASON."
    echo "$IA32_HELP"
    echo "run: built build/win32/tavosetup.exe, but it cannot be run on this machine."
    exit 2
  fi
  source tests/e2e/lib.sh
  rm -rf "$out"
  mkdir -p "$out"
  # The two machines, made side by side as the test runner makes its templates.
  e2e_make_prefix "$out/prefix" win64 win7 &
  e2e_make_prefix "$out/prefix-window" win64 win7 &
  wait
  # The rest runs under the virtual display the cases run under.
  export RUN_ON_DISPLAY=1 RUN_OUT=$out
  e2e_on_display bash "$0"
  exit
fi

# The library's steps report through their exit codes and E2E_FAILURES; this part reads those.
set +e
source tests/e2e/lib.sh || exit 1
E2E_FAILURES=()

e2e_enter_prefix "$out/prefix" zh_CN.UTF-8
e2e_add_user_agent_key
e2e_silent_install
silent_exit=$E2E_EXIT
echo "silent install: exit code $silent_exit"
[ -z "$E2E_BOXES" ] || { echo "message boxes:"; sed 's/^/  /' <<<"$E2E_BOXES"; }
e2e_wait_started_programs  # their lines in launches.log
dir="$WINEPREFIX/drive_c/tavohu"
echo "install directory C:\\tavohu: $(ls "$dir" | wc -l) files"
ls -l "$dir" | sed 's/^/  /'
for f in system32/tavohu4.ime system32/tavodel.exe syswow64/tavohu4.ime; do
  echo "C:\\windows\\${f/\//\\}: $(stat -c %s "$WINEPREFIX/drive_c/windows/$f" 2>/dev/null || echo missing) bytes"
done
echo "path file 1 (C:\\windows\\tavopath.tvh): $(cat "$WINEPREFIX/drive_c/windows/tavopath.tvh")"
echo "started programs (launches.log):"
tr -d '\r' <"$dir/launches.log" 2>/dev/null | sed 's/^/  /'
echo "registry (32-bit view):"
current='Software\Microsoft\Windows\CurrentVersion'
for entry in "Software\\tavowb|path" "$current\\Uninstall\\tavoqwb|DisplayName" \
  "$current\\Uninstall\\tavoqwb|UninstallString" "$current\\Run|tvtasjgl" \
  "$current\\Internet Settings\\User Agent\\Post Platform|kelv7100"; do
  key=${entry%|*} value=${entry#*|}
  if e2e_reg HKLM "$key" "$value" 32; then
    echo "  HKLM\\$key [$value] = \"$E2E_REG_TEXT\""
  else
    echo "  HKLM\\$key [$value]: none"
  fi
done
echo "keyboard layouts with a layout text:"
e2e_layouts | grep -i '^e0' | sed 's/^/  /'
wineserver -k

# The interactive road in the second prefix: every page and message box as a screenshot.
export E2E_CASE_DIR="$out/screens"
mkdir -p "$E2E_CASE_DIR"
e2e_enter_prefix "$out/prefix-window" zh_CN.UTF-8
walk_to_directory_page www.unit.cn www.gov.cn && install_and_finish - 1
echo "interactive install: exit code ${E2E_EXIT:-none}"
wineserver -k
echo "screenshots of the pages and message boxes:"
ls "$E2E_CASE_DIR"/*.png | sed 's/^/  /'

if [ "$silent_exit" != 0 ] || [ ${#E2E_FAILURES[@]} -gt 0 ]; then
  echo "run: failed"
  printf '  %s\n' "${E2E_FAILURES[@]}"
  exit 1
fi
