#!/usr/bin/env bash
# The main job: builds the setup program, makes a fresh 64-bit Windows 7 Wine prefix (zh_CN),
# runs a silent install in it ("settvsrf32") and prints what it installed: files, registry
# entries, started programs. Then it walks the interactive road in a second fresh prefix and keeps
# a screenshot of every page and message box.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
source tests/e2e/lib.sh
out="$PWD/out/run"
rm -rf "$out"
mkdir -p "$out"
e2e_make_prefix "$out/prefix" win64 win7
export WINEPREFIX="$out/prefix"
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
e2e_install_programs
e2e_add_user_agent_key
xvfb-run -a -s "-screen 0 800x600x24" bash -c '
  source tests/e2e/lib.sh
  e2e_silent_install
  echo "silent install: exit code $E2E_EXIT"
  [ -z "$E2E_BOXES" ] || echo "message boxes: $E2E_BOXES"
  sleep 2
  wineserver -k || true'
dir="$WINEPREFIX/drive_c/tavohu"
echo "install directory C:\\tavohu: $(ls "$dir" | wc -l) files"
ls -l "$dir" | sed 's/^/  /'
for f in system32/tavohu4.ime system32/tavodel.exe syswow64/tavohu4.ime; do
  echo "C:\\windows\\${f/\//\\}: $(stat -c %s "$WINEPREFIX/drive_c/windows/$f" 2>/dev/null || echo missing) bytes"
done
echo "path file 1 (C:\\windows\\tavopath.tvh): $(cat "$WINEPREFIX/drive_c/windows/tavopath.tvh")"
echo "started programs (launches.log):"
sed 's/^/  /' "$dir/launches.log" 2>/dev/null || true
echo "registry (32-bit view):"
current='Software\Microsoft\Windows\CurrentVersion'
for entry in "Software\\tavowb|path" "$current\\Uninstall\\tavoqwb|DisplayName" \
  "$current\\Uninstall\\tavoqwb|UninstallString" "$current\\Run|tvtasjgl" \
  "$current\\Internet Settings\\User Agent\\Post Platform|kelv7100"; do
  key=${entry%|*} value=${entry#*|}
  text=$(e2e_probe reg HKLM "$key" "$value" 32 | sed -n 's/^text=//p')
  echo "  HKLM\\$key [$value] = \"$text\""
done
echo "keyboard layouts with a layout text:"
e2e_probe regenum HKLM 'System\CurrentControlSet\Control\Keyboard Layouts' 'Layout Text' | grep -i '^e0' | sed 's/^/  /'
wineserver -k || true

# The interactive road in a second fresh prefix: every page and message box as a screenshot.
shots="$out/screens"
mkdir -p "$shots"
e2e_make_prefix "$out/prefix-window" win64 win7
export WINEPREFIX="$out/prefix-window"
e2e_install_programs
xvfb-run -a -s "-screen 0 800x600x24" bash -c '
  source tests/e2e/lib.sh
  export E2E_CASE_DIR="'"$shots"'"
  walk_to_directory_page www.unit.cn www.gov.cn && install_and_finish - 1
  echo "interactive install: exit code $E2E_EXIT"
  [ ${#E2E_FAILURES[@]} -eq 0 ] || printf "  %s\n" "${E2E_FAILURES[@]}"
  wineserver -k || true'
echo "screenshots of the pages and message boxes:"
ls "$shots"/*.png | sed 's/^/  /'
