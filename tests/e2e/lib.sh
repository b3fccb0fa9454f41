# Helpers for running the real setup program in Wine: prefixes, exact command lines, message
# boxes, registry and file checks. Sourced by the end-to-end cases and by scripts/run.sh.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
E2E_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
E2E_WIN32="${E2E_WIN32:-$E2E_ROOT/build/win32}"

# e2e_make_prefix DIR win32|win64 win7|winxp: a new prefix of that Windows.
e2e_make_prefix() {
  local dir=$1 arch=$2 version=$3
  rm -rf "$dir"
  mkdir -p "$(dirname "$dir")"
  [ "$arch" = win64 ] && [ "$version" = winxp ] && version=winxp64
  (
    export WINEPREFIX=$dir WINEARCH=$arch LANG=C.UTF-8 LC_ALL=C.UTF-8
    wineboot -i >/dev/null 2>&1 && wine winecfg -v "$version" >/dev/null 2>&1
    wineserver -w
  )
}

# e2e_copy_prefix TEMPLATE DIR: a case's own machine, copied from a template.
e2e_copy_prefix() {
  rm -rf "$2"
  cp -a "$1" "$2"
}

# Puts the setup program and the test programs (probe, sysops, seam table and its module) into
# C:\setup of $WINEPREFIX.
e2e_install_programs() {
  mkdir -p "$WINEPREFIX/drive_c/setup"
  cp "$E2E_WIN32/tavosetup.exe" "$E2E_WIN32/tests/e2eprobe.exe" "$E2E_WIN32/tests/sysops.exe" \
    "$E2E_WIN32/tests/seamtable.exe" "$E2E_WIN32/tests/seammod.dll" "$WINEPREFIX/drive_c/setup/"
}

e2e_probe() { wine 'C:\setup\e2eprobe.exe' "$@" 2>/dev/null | tr -d '\r'; }

# e2e_start_setup ARGUMENTS: starts C:\setup\tavosetup.exe with exactly this command line.
e2e_start_setup() {
  E2E_RUN_OUT=$(mktemp)
  e2e_probe run "C:\\setup\\tavosetup.exe $1" "${E2E_TIMEOUT:-90}" >"$E2E_RUN_OUT" &
  E2E_RUN_PID=$!
}

# Waits for the started setup; its exit code lands in E2E_EXIT (124: did not end in time).
e2e_wait_setup() {
  wait "$E2E_RUN_PID"
  E2E_EXIT=$?
}

# e2e_answer_box CAPTION ok|yes|no [SCREENSHOT.png] [SECONDS]: waits for a message box, records
# its caption and text (E2E_BOX_CAPTION, E2E_BOX_TEXT), keeps a screenshot, presses the button.
e2e_answer_box() {
  local caption=$1 button=$2 shot=${3:-} seconds=${4:-30} report
  E2E_BOX_CAPTION=""
  E2E_BOX_TEXT=""
  report=$(e2e_probe box "$caption" none "$seconds") || return 1
  E2E_BOX_CAPTION=$(sed -n 's/^caption=//p' <<<"$report")
  E2E_BOX_TEXT=$(sed -n 's/^text=//p' <<<"$report")
  [ -n "$shot" ] && import -window root "$shot" 2>/dev/null
  e2e_probe box "$caption" "$button" 5 >/dev/null
}

# While the started setup runs, answers every message box with one of the captions by OK and
# records "caption: text" lines in E2E_BOXES.
e2e_answer_boxes_until_done() {
  E2E_BOXES=""
  local caption report
  while kill -0 "$E2E_RUN_PID" 2>/dev/null; do
    for caption in "$@"; do
      if report=$(e2e_probe box "$caption" ok 1); then
        E2E_BOXES+="$caption: $(sed -n 's/^text=//p' <<<"$report")"$'\n'
      fi
    done
  done
  E2E_BOXES=${E2E_BOXES%$'\n'}
  e2e_wait_setup
}

# A silent install (settvsrf32) in $WINEPREFIX; E2E_EXIT and E2E_BOXES afterwards.
e2e_silent_install() {
  e2e_start_setup settvsrf32
  e2e_answer_boxes_until_done 'Tavo安装' 'Tavo(Kelvo)安装' 'Tavo' 'Tavo7.1'
}

# Windows has the User Agent key that the setup adds its token under; a fresh prefix has not.
e2e_add_user_agent_key() {
  wine reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\Internet Settings\User Agent\Post Platform' \
    /f /reg:32 >/dev/null 2>&1
}

# The setup window: waits for it and takes the screen position of its client area (E2E_X, E2E_Y).
# E2E_WINDOW_TITLE, a pattern of its title, may be set by a case whose system spells it otherwise.
e2e_wait_window() {
  local w=""
  for _ in $(seq 150); do
    w=$(xdotool search --name "${E2E_WINDOW_TITLE:-^Tavo系统安装}" 2>/dev/null | head -1)
    [ -n "$w" ] && break
    sleep 0.2
  done
  [ -n "$w" ] || return 1
  E2E_WINDOW=$w
  eval "$(xdotool getwindowgeometry --shell "$w")"
  E2E_X=$X E2E_Y=$Y
}

# e2e_click X Y [BUTTON]: a click at client coordinates (1 left, 3 right).
e2e_click() {
  xdotool mousemove $((E2E_X + $1)) $((E2E_Y + $2)) click "${3:-1}"
  sleep 0.5
}

# e2e_shot FILE: the window's client area (400 x 310 at most) as a PNG.
e2e_shot() {
  sleep 0.7
  import -window root -crop "400x310+$E2E_X+$E2E_Y" +repage "$1" 2>/dev/null
}

# e2e_pixel FILE X Y: "r,g,b" of one pixel of a screenshot.
e2e_pixel() {
  local hex
  hex=$(convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- 2>/dev/null | grep -o '#[0-9A-Fa-f]\{6\}' | head -1)
  [ -n "$hex" ] && printf '%d,%d,%d' "0x${hex:1:2}" "0x${hex:3:2}" "0x${hex:5:2}"
}

# The interactive road through its pages: confirm clicks at (60, 255), abandon at (300, 255);
# every page and box kept as a screenshot in $E2E_CASE_DIR.
confirm() { e2e_click 60 255 "${1:-1}"; }

# Welcome page to the directory page, typing two addresses when given.
walk_to_directory_page() {  # [UNIT GOVERNMENT]
  e2e_start_setup ""
  e2e_wait_window || { E2E_FAILURES+=("no setup window"); return 1; }
  e2e_shot "$E2E_CASE_DIR/1-welcome.png"
  confirm
  e2e_shot "$E2E_CASE_DIR/2-address.png"
  if [ $# -eq 2 ]; then
    e2e_click 200 175 && xdotool type "$1"
    e2e_click 200 205 && xdotool type "$2"
    e2e_shot "$E2E_CASE_DIR/3-address-typed.png"
  fi
  confirm 3  # the right button works like the left one
  e2e_shot "$E2E_CASE_DIR/4-directory.png"
  confirm
  e2e_shot "$E2E_CASE_DIR/5-directory-field.png"
}

# Types a directory into the directory field, replacing what it holds.
type_directory() {
  e2e_click 200 205
  xdotool key --clearmodifiers End shift+Home BackSpace
  xdotool type "$1"
}

# Confirms the directory, answers the install's questions (the sentence-library question with
# no unless told), and on 64-bit Windows walks the processing and try-out pages to the completion
# message; E2E_ON_TRY_OUT, a function a case may name, runs while the try-out page is shown.
install_and_finish() {  # KEEP-ANSWER(yes|no|-) IS64 [SENTENCE-ANSWER(yes|no)]
  confirm
  if [ "$1" != - ]; then
    e2e_answer_box 'Tavo安装' "$1" "$E2E_CASE_DIR/6-keep-data.png" 60 || E2E_FAILURES+=("no keep-data question")
    check_eq "keep-data question" "$E2E_BOX_TEXT" "检测到安装目录下有Tavo以前的词组等数据文件，是否保留？"
  fi
  e2e_answer_box 'Tavo安装' "${3:-no}" "$E2E_CASE_DIR/7-sentence-library.png" 60 ||
    E2E_FAILURES+=("no sentence question")
  check_eq "sentence-library question" "$E2E_BOX_TEXT" "是否立即增加智能语句库数据？"
  if [ "$2" = 1 ]; then
    e2e_shot "$E2E_CASE_DIR/8-processing.png"
    sleep 2
    e2e_shot "$E2E_CASE_DIR/9-try-out.png"
    [ -z "${E2E_ON_TRY_OUT:-}" ] || "$E2E_ON_TRY_OUT"
    confirm
    confirm
  fi
  e2e_answer_box Tavo ok "$E2E_CASE_DIR/10-done.png" 60 || E2E_FAILURES+=("no completion message")
  check_eq "completion message" "$E2E_BOX_TEXT" "安装完毕，如不能使用，请重新启动计算机！"
  e2e_wait_setup
  check_eq "exit code" "$E2E_EXIT" 0
}

# e2e_reg ROOT KEY VALUE [32|64]: sets E2E_REG_TYPE, E2E_REG_HEX (bytes read through the ANSI
# call), E2E_REG_HEXW (through the UTF-16 call), E2E_REG_TEXT; 1 when absent.
e2e_reg() {
  local report
  report=$(e2e_probe reg "$@") || return 1
  E2E_REG_TYPE=$(sed -n 's/^type=//p' <<<"$report")
  E2E_REG_HEX=$(sed -n 's/^hex=//p' <<<"$report")
  E2E_REG_TEXT=$(sed -n 's/^text=//p' <<<"$report")
  E2E_REG_HEXW=$(sed -n 's/^hexw=//p' <<<"$report")
}

# e2e_sysops ARGS...: one system operation of the setup, run inside the prefix.
e2e_sysops() { timeout 60 wine 'C:\setup\sysops.exe' "$@" 2>/dev/null | tr -d '\r'; }

# e2e_utf16_hex TEXT: the UTF-16LE bytes of a UTF-8 text.
e2e_utf16_hex() { printf '%s' "$1" | iconv -f UTF-8 -t UTF-16LE | od -An -tx1 | tr -d ' \n'; }

# The keyboard layouts whose "Layout Text" equals TEXT, one name a line.
e2e_layouts_with_text() {
  e2e_probe regenum HKLM 'System\CurrentControlSet\Control\Keyboard Layouts' 'Layout Text' |
    awk -F= -v t="$1" '{ name=$1; sub(/^[^=]*=/, ""); if ($0 == t) print name }'
}

e2e_hex() { printf '%s' "$1" | od -An -tx1 | tr -d ' \n'; }

# Checks: each failed check is remembered for the case's verdict.
E2E_FAILURES=()
check_eq() {  # WHAT ACTUAL EXPECTED
  if [ "$2" != "$3" ]; then E2E_FAILURES+=("$1: got [$2], expected [$3]"); fi
}
check_true() {  # WHAT COMMAND...
  local what=$1
  shift
  "$@" >/dev/null || E2E_FAILURES+=("$what")
}
