#!/usr/bin/env bash
# The main job: builds the setup program, makes a fresh 64-bit Windows 7 Wine prefix, runs the
# registration-only road in it ("regtv32=C:\tavohu7") and prints what the program wrote.
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
xvfb-run -a -s "-screen 0 800x600x24" bash -c '
  source tests/e2e/lib.sh
  e2e_start_setup "regtv32=C:\\tavohu7"
  e2e_answer_box Tavo ok "'"$out"'/box.png"
  echo "message box: $E2E_BOX_CAPTION / $E2E_BOX_TEXT"
  e2e_wait_setup
  echo "exit code: $E2E_EXIT"
  wineserver -k || true'
echo "path file 1 (C:\\windows\\tavopath.tvh): $(cat "$WINEPREFIX/drive_c/windows/tavopath.tvh")"
echo "path file 2 (C:\\tavohu\\tavopath.tvh): $(cat "$WINEPREFIX/drive_c/tavohu/tavopath.tvh")"
echo "registry HKLM\\Software\\tavowb (32-bit view), value path (Wine keeps a zero of its own after an ANSI text):"
e2e_probe reg HKLM 'Software\tavowb' path 32 | sed 's/^/  /'
echo "keyboard layouts with a layout text:"
e2e_probe regenum HKLM 'System\CurrentControlSet\Control\Keyboard Layouts' 'Layout Text' | grep -i '^e0' | sed 's/^/  /'
wineserver -k || true
echo "screenshot of the message box: $out/box.png"
