# Cases of an unattended deployment: /D= with blanks and Chinese characters, /LOG=, a refused /D=
# that leaves the machine as it was, /SUPPRESSMSGBOXES on a failing install, and the complete
# uninstall entry as Windows's own program list reads it. Sourced by cases.sh.

readonly DEPLOY_ENTRY='Software\Microsoft\Windows\CurrentVersion\Uninstall\tavoqwb'

# deploy_unix_path WINDOWS-PATH: where a path the log names lies in the prefix (the 32-bit
# program's sysnative alias is the real system32).
deploy_unix_path() {
  local p=${1//\\//}
  p="${p#[cC]:}"
  p="${p/#\/windows\/sysnative/\/windows\/system32}"
  printf '%s' "$WINEPREFIX/drive_c$p"
}

# deploy_log_lines: the log without its line ends, after checking it is UTF-8 with CR LF ends.
deploy_log_lines() {
  local log="$WINEPREFIX/drive_c/deploy.log"
  [ -f "$log" ] || { E2E_FAILURES+=("no log"); return 1; }
  check_true "log in UTF-8" iconv -f UTF-8 -t UTF-8 "$log" -o /dev/null
  check_eq "log lines without CR LF" "$(grep -vc $'\r$' "$log")" 0
  tr -d '\r' <"$log"
}

# Every copy the log reports as done left its target in place, every "failed" one names a file
# the case expects to be missing or held; returns the count of copies checked.
deploy_check_copies() {  # LOG-TEXT
  local line target checked=0
  while IFS= read -r line; do
    target=${line#* -> }
    target=${target%: ok}
    check_true "copied as logged: $target" test -f "$(deploy_unix_path "$target")"
    checked=$((checked + 1))
  done < <(grep '^copy .* -> .*: ok$' <<<"$1")
  DEPLOY_COPIES=$checked
}

deploy_value() {  # NAME TYPE TEXT-OR-HEX
  if ! e2e_reg HKLM "$DEPLOY_ENTRY" "$1" 32; then
    E2E_FAILURES+=("uninstall entry value $1 missing")
    return
  fi
  check_eq "$1 type" "$E2E_REG_TYPE" "$2"
  if [ "$2" = 4 ]; then check_eq "$1 data" "$E2E_REG_HEX" "$3"; else check_eq "$1 text" "$E2E_REG_TEXT" "$3"; fi
}

# A DWORD's four little-endian bytes in hex.
deploy_dword_hex() { printf '%02x%02x%02x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)); }

deploy_into_dir_with_log() {  # IS64
  local is64=$1 folder='部署 目录' dir
  dir="c:\\$folder"
  e2e_add_user_agent_key
  e2e_start_setup "settvsrf32 /LOG=c:\\deploy.log /D=$dir"
  e2e_answer_boxes_until_done 'Tavo安装' 'Tavo(Kelvo)安装' 'Tavo' 'Tavo7.1'
  check_eq "exit code" "$E2E_EXIT" 0
  check_eq "message boxes" "$E2E_BOXES" ""
  expect_installed_into "$folder" GBK "$is64"

  local log
  log=$(deploy_log_lines) || return
  cp "$WINEPREFIX/drive_c/deploy.log" "$E2E_CASE_DIR/deploy.log"
  check_eq "last line" "$(tail -1 <<<"$log")" "exit code 0"
  check_eq "road" "$(grep -c '^road: silent$' <<<"$log")" 1
  check_eq "directory taken" "$(grep -cxF "install directory from /D= $dir: ok" <<<"$log")" 1
  check_eq "registry store logged" \
    "$(grep -cxF "record the install directory in registry value HKLM\\Software\\tavowb\\path = $dir\\: ok" <<<"$log")" 1
  check_eq "path file logged" "$(grep -cxF 'record the install directory in path file C:\windows\tavopath.tvh: ok' <<<"$log")" 1
  check_eq "failed steps" "$(grep -c ': failed$' <<<"$log")" 0
  deploy_check_copies "$log"
  check_true "copies logged ($DEPLOY_COPIES)" test "$DEPLOY_COPIES" -ge 5
  local module='C:\windows\system32\tavohu4.ime'
  [ "$is64" = 1 ] && module='C:\windows\sysnative\tavohu4.ime'
  check_eq "the module copy logged" "$(grep -c "^copy .* -> ${module//\\/\\\\}: ok$" <<<"$log")" 2

  # The entry as the log reports it and as the registry holds it, with exact types.
  deploy_value DisplayName 1 Kelvo
  deploy_value DisplayVersion 1 7.1
  deploy_value InstallLocation 1 "$dir\\"
  deploy_value DisplayIcon 1 "$dir\\tavokelv.exe"
  deploy_value NoModify 4 01000000
  deploy_value NoRepair 4 01000000
  check_eq "InstallLocation logged" "$(grep -cxF "uninstall entry value InstallLocation = $dir\\: ok" <<<"$log")" 1
  local kib bytes sys=system32
  kib=$(sed -n 's/^uninstall entry value EstimatedSize = \([0-9]*\): ok$/\1/p' <<<"$log")
  check_true "EstimatedSize logged" test -n "$kib"
  deploy_value EstimatedSize 4 "$(deploy_dword_hex "${kib:-0}")"
  # The started programs add their launches.log after the entry was written: a few bytes more.
  e2e_wait_started_programs
  bytes=$(find "$WINEPREFIX/drive_c/$folder" -type f ! -name launches.log -printf '%s\n' | paste -sd+ | bc)
  [ "$is64" = 1 ] && bytes=$((bytes + $(stat -c %s "$WINEPREFIX/drive_c/windows/syswow64/tavohu4.ime")))
  bytes=$((bytes + $(stat -c %s "$WINEPREFIX/drive_c/windows/system32/tavohu4.ime") + \
    $(stat -c %s "$WINEPREFIX/drive_c/windows/system32/tavodel.exe")))
  check_eq "EstimatedSize, KiB rounded up" "${kib:-0}" "$(((bytes + 1023) / 1024))"

  local listed
  listed=$(timeout 60 wine uninstaller --list 2>/dev/null | tr -d '\r')
  printf '%s\n' "$listed" >"$E2E_CASE_DIR/uninstaller.txt"
  check_eq "Wine's program list shows Kelvo" "$(grep -c '|||Kelvo$' <<<"$listed")" 1
}

case_deploy_dir_and_log_win64_zh_cn() { deploy_into_dir_with_log 1; }
case_deploy_dir_and_log_win32_zh_cn() { deploy_into_dir_with_log 0; }

# The registry keys the setup writes and the file tree, as text to compare.
deploy_snapshot() {  # OUT
  local key i=0
  : >"$1"
  for key in 'HKEY_LOCAL_MACHINE\Software' 'HKEY_LOCAL_MACHINE\System\CurrentControlSet\Control\Keyboard Layouts' \
    'HKEY_CURRENT_USER\Keyboard Layout' 'HKEY_USERS\.DEFAULT\Keyboard Layout'; do
    i=$((i + 1))
    timeout 60 wine regedit /E "C:\\snap$i.reg" "$key" >/dev/null 2>&1
    iconv -f UTF-16LE -t UTF-8 "$WINEPREFIX/drive_c/snap$i.reg" >>"$1" 2>/dev/null
    rm -f "$WINEPREFIX/drive_c/snap$i.reg"
  done
  find "$WINEPREFIX/drive_c" \( -path '*/windows/temp' -o -path '*/users' -o -name '*.reg' \) -prune -o \
    -printf '%P %s\n' | sort >>"$1"
}

# A /D= directory the directory page would refuse: nothing written, its own exit code, no box;
# a switch inside it turns on nothing. Folders of the system are refused so, however spelt.
case_deploy_bad_dir_changes_nothing() {
  local dir n=0
  for dir in 'c:\a\b' '' 'c:\tavo|x' 'd:\' 'c:\regtv32 ' 'c:\windows' 'C:\WINDOWS\' 'c:\Program Files' 'c:\users'; do
    n=$((n + 1))
    deploy_snapshot "$E2E_CASE_DIR/before$n.txt"
    e2e_start_setup "settvsrf32 /D=$dir"
    e2e_answer_boxes_until_done 'Tavo安装' 'Tavo(Kelvo)安装' 'Tavo' 'Tavo7.1'
    check_eq "exit code for /D=$dir" "$E2E_EXIT" 7
    check_eq "message boxes for /D=$dir" "$E2E_BOXES" ""
    deploy_snapshot "$E2E_CASE_DIR/after$n.txt"
    check_true "registry and files unchanged by /D=$dir" cmp -s "$E2E_CASE_DIR/before$n.txt" "$E2E_CASE_DIR/after$n.txt"
    if ! cmp -s "$E2E_CASE_DIR/before$n.txt" "$E2E_CASE_DIR/after$n.txt"; then
      diff "$E2E_CASE_DIR/before$n.txt" "$E2E_CASE_DIR/after$n.txt" | head -20 >&2
    fi
  done
  check_true "snapshots hold the registry" grep -q 'Microsoft' "$E2E_CASE_DIR/before1.txt"
}

# On Windows 5.x nothing is written before the road at all.
case_deploy_bad_dir_changes_nothing_xp() { case_deploy_bad_dir_changes_nothing; }

# A reinstall whose uninstaller copy fails (another program holds the one in the system
# directory): without a box, the failure in the log, the copy failure's exit code.
case_deploy_suppressed_failure() {
  e2e_silent_install
  check_eq "first install" "$E2E_EXIT" 0
  e2e_hold hold 'C:\windows\system32\tavodel.exe'
  e2e_start_setup "settvsrf32 /SUPPRESSMSGBOXES /LOG=c:\\deploy.log"
  e2e_answer_boxes_until_done 'Tavo安装' 'Tavo(Kelvo)安装' 'Tavo' 'Tavo7.1'
  check_eq "exit code" "$E2E_EXIT" 5
  check_eq "message boxes" "$E2E_BOXES" ""
  local log
  log=$(deploy_log_lines) || return
  cp "$WINEPREFIX/drive_c/deploy.log" "$E2E_CASE_DIR/deploy.log"
  check_eq "the failed copy" \
    "$(grep -cxF 'copy c:\tavohu\tavodel.exe -> C:\windows\system32\tavodel.exe: failed' <<<"$log")" 1
  check_eq "the suppressed box" "$(grep -c '^message box suppressed \[Tavo(Kelvo)安装\] .*tavodel.exe.*: OK$' <<<"$log")" 1
  check_eq "boxes shown" "$(grep -c '^message box \[' <<<"$log")" 0
  check_eq "last line" "$(tail -1 <<<"$log")" "exit code 5"
}

CASES+=(
  "deploy_dir_and_log_win64_zh_cn win64-win7 zh_CN.UTF-8"
  "deploy_dir_and_log_win32_zh_cn win32-win7 zh_CN.UTF-8"
  "deploy_bad_dir_changes_nothing win64-win7 zh_CN.UTF-8"
  "deploy_bad_dir_changes_nothing_xp win32-winxp zh_CN.UTF-8"
  "deploy_suppressed_failure win32-winxp zh_CN.UTF-8"
)
