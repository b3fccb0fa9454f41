# Helpers for running the real setup program in Wine: prefixes, exact command lines, the setup
# window and its message boxes, registry and file checks. Sourced by the end-to-end cases and by
# scripts/run.sh. Nothing here sleeps for a fixed time: each step waits, with a time-out, for what
# it can observe (a page of the window, a message box, a process that ended, a line in a file).
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
E2E_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
E2E_WIN32="${E2E_WIN32:-$E2E_ROOT/build/win32}"

# The setup window's geometry, read from ui/layout.h (the window's drawing and hit tests take it
# from there too): each "constexpr int kName = N;" and "constexpr Rect kName = {LEFT, TOP, RIGHT,
# BOTTOM};" as E2E_UI[kName], its numbers separated by blanks.
declare -gA E2E_UI=()
while read -r name numbers; do
  E2E_UI[$name]=$numbers
done < <(awk '$1 == "constexpr" && ($2 == "int" || $2 == "Rect") && $4 == "=" {
  name = $3; sub(/^[^=]*=/, ""); sub(/;.*/, ""); gsub(/[{},]/, " "); $1 = $1; print name, $0 }' \
  "$E2E_ROOT/ui/layout.h")

# e2e_ui NAME: the numbers of NAME in ui/layout.h (one for an int, four for a Rect); a name it
# does not give, or not as whole numbers, is an error.
e2e_ui() {
  local numbers=${E2E_UI[$1]:-} whole='^-?[0-9]+( -?[0-9]+){3}$|^-?[0-9]+$'
  if ! [[ $numbers =~ $whole ]]; then
    echo "tests/e2e/lib.sh: ui/layout.h gives no ${1} (constexpr int or Rect)" >&2
    return 1
  fi
  printf '%s\n' "$numbers"
}

# e2e_box NAME: a Rect of ui/layout.h as the probe names a field's place, LEFT,TOP,RIGHT,BOTTOM.
e2e_box() {
  local numbers
  numbers=$(e2e_ui "$1") || return 1
  printf '%s\n' "${numbers// /,}"
}

# e2e_centre NAME: "X Y", the centre of a Rect of ui/layout.h.
e2e_centre() {
  local l t r b
  read -r l t r b <<<"$(e2e_ui "$1")" && [ -n "$b" ] || return 1
  echo "$(((l + r) / 2)) $(((t + b) / 2))"
}

# Every name the harness itself uses must be there; sourcing fails otherwise.
for name in kWindowWidth kWindowHeight kConfirmButton kAbandonButton kUnitFieldBox kGovernmentFieldBox \
  kDirectoryFieldBox; do
  e2e_ui "$name" >/dev/null || return 1
done
unset name numbers

# e2e_on_display COMMAND...: COMMAND under a virtual display, the one every case runs under.
e2e_on_display() { xvfb-run -a -s "-screen 0 800x600x24" "$@"; }

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

# e2e_enter_prefix DIR LOCALE: from here on this shell works in the prefix DIR under LOCALE
# (zh_CN.UTF-8: OEM code page 936), with the setup program and the probes in C:\setup.
e2e_enter_prefix() {
  export WINEPREFIX=$1 LANG=$2 LC_ALL=$2
  e2e_install_programs
}

# The probe's output, without carriage returns; its own exit code, whatever the caller's options.
e2e_probe() (
  set -o pipefail
  wine 'C:\setup\e2eprobe.exe' "$@" 2>/dev/null | tr -d '\r'
)

# e2e_poll SECONDS WHAT COMMAND...: runs COMMAND every tenth of a second until it succeeds; when
# SECONDS pass first, the case fails with "WHAT: not within SECONDS s".
e2e_poll() {
  local seconds=$1 what=$2 start=$SECONDS
  shift 2
  until "$@" >/dev/null 2>&1; do
    if [ $((SECONDS - start)) -ge "$seconds" ]; then
      E2E_FAILURES+=("$what: not within $seconds s")
      return 1
    fi
    sleep 0.1  # the poll's interval
  done
}

# e2e_start_setup ARGUMENTS: starts C:\setup\tavosetup.exe with exactly this command line.
e2e_start_setup() {
  E2E_RUN_OUT=$(mktemp)
  E2E_SETUP_ID=""
  E2E_EXIT=""
  wine 'C:\setup\e2eprobe.exe' run "C:\\setup\\tavosetup.exe $1" "${E2E_TIMEOUT:-90}" >"$E2E_RUN_OUT" 2>/dev/null &
  E2E_RUN_PID=$!
}

# Waits for the started setup; its exit code lands in E2E_EXIT (124: did not end in time).
e2e_wait_setup() {
  wait "$E2E_RUN_PID"
  E2E_EXIT=$?
}

# The started setup's Windows process id (E2E_SETUP_ID), which the probe prints once it started it.
e2e_setup_id() {
  e2e_poll 30 "the setup's start" e2e_setup_id_known || return 1
  E2E_SETUP_ID=$(sed -n 's/^pid=//p' "$E2E_RUN_OUT" | tr -d '\r')
  [ -n "$E2E_SETUP_ID" ] || { E2E_FAILURES+=("the setup did not start: $(tr -d '\r' <"$E2E_RUN_OUT")"); return 1; }
}
e2e_setup_id_known() { grep -q '^pid=' "$E2E_RUN_OUT" || ! kill -0 "$E2E_RUN_PID" 2>/dev/null; }

# e2e_answer_box CAPTION ok|yes|no [SCREENSHOT.png] [SECONDS]: waits for a message box to show,
# records its caption and text (E2E_BOX_CAPTION, E2E_BOX_TEXT), keeps a screenshot of the screen,
# presses the button.
e2e_answer_box() {
  local caption=$1 button=$2 shot=${3:-} seconds=${4:-30} report
  E2E_BOX_CAPTION=""
  E2E_BOX_TEXT=""
  report=$(e2e_probe box "$caption" none "$seconds") || return 1
  E2E_BOX_CAPTION=$(sed -n 's/^caption=//p' <<<"$report")
  E2E_BOX_TEXT=$(sed -n 's/^text=//p' <<<"$report")
  [ -z "$shot" ] || e2e_capture "$shot"
  e2e_probe box "$caption" "$button" 5 >/dev/null
}

# Until the started setup ends, answers every message box of it with one of the captions by OK
# and records "caption: text" lines in E2E_BOXES; then E2E_EXIT as e2e_wait_setup. A question
# (Yes and No) fails the case, unless E2E_QUESTIONS=no: then it is answered No.
e2e_answer_boxes_until_done() {
  E2E_BOXES=""
  local report
  if e2e_setup_id; then
    report=$(e2e_probe boxes "$E2E_SETUP_ID" "${E2E_TIMEOUT:-90}" "$@")
    E2E_BOXES=$(sed -n 's/^box=//p' <<<"$report")
    if grep -q '^no OK button' <<<"$report"; then E2E_FAILURES+=("$(grep '^no OK button' <<<"$report")"); fi
    if [ "${E2E_QUESTIONS:-}" != no ] && grep -q '^answered no' <<<"$report"; then
      E2E_FAILURES+=("a question: $(grep '^answered no' <<<"$report" | paste -sd ' ')")
    fi
  fi
  e2e_wait_setup
}

# A silent install (settvsrf32, then SWITCHES when given) in $WINEPREFIX; E2E_EXIT and E2E_BOXES
# afterwards.
e2e_silent_install() {  # [SWITCHES]
  e2e_start_setup "settvsrf32${1:+ $1}"
  e2e_answer_boxes_until_done 'Tavo安装' 'Tavo(Kelvo)安装' 'Tavo' 'Tavo7.1'
}

# Waits until the payload's programs that the setup started have ended (each appends its command
# line to launches.log and ends, so the log is then complete; the setup itself ends only after its
# last start). Fails the case when one still runs after SECONDS (30).
e2e_wait_started_programs() {  # [SECONDS]
  local names=() f report
  for f in "$E2E_WIN32"/payload/*.exe; do names+=("$(basename "$f")"); done
  report=$(e2e_probe ended "${1:-30}" "${names[@]}") ||
    { E2E_FAILURES+=("started programs still running after ${1:-30} s: ${report#running=}"); return 1; }
}

# e2e_hold hold|load WINDOWS-FILE: a probe keeps the file open without delete sharing (hold) or
# loaded as a module (load) for two minutes, in the background; returns once it does.
e2e_hold() {
  local out
  out=$(mktemp)
  wine 'C:\setup\e2eprobe.exe' "$1" "$2" 120 >"$out" 2>/dev/null &
  e2e_poll 30 "the probe's answer on $2" test -s "$out" || return 1
  check_eq "$2 held ($1)" "$(tr -d '\r' <"$out")" held
}

# Windows has the User Agent key that the setup adds its token under; a fresh prefix has not.
e2e_add_user_agent_key() {
  wine reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\Internet Settings\User Agent\Post Platform' \
    /f /reg:32 >/dev/null 2>&1
}

# e2e_wait_window WHAT CONDITION...: waits until the setup window shows what the conditions ask
# (patterns of lines of the probe's window report: "fields=...", "field=BOX:TEXT", "focus=BOX",
# "enabled=yes"...; "!" before one that no line may match) and has painted it, E2E_WINDOW_SECONDS
# (30) at most. Its report lands in E2E_WINDOW_REPORT, the client area's place on the screen in
# E2E_X, E2E_Y. Otherwise the case fails, naming WHAT and what the window showed last.
e2e_wait_window() {
  local what=$1 seconds=${E2E_WINDOW_SECONDS:-30} origin
  shift
  if ! E2E_WINDOW_REPORT=$(e2e_probe window "$seconds" "$@"); then
    E2E_FAILURES+=("$what: not shown within $seconds s; the window showed: $(grep -v '^timeout$' <<<"$E2E_WINDOW_REPORT" | paste -sd ' ')")
    return 1
  fi
  origin=$(sed -n 's/^origin=//p' <<<"$E2E_WINDOW_REPORT")
  E2E_X=${origin%,*} E2E_Y=${origin#*,}
}

# e2e_window_value KEY: the value of one line of the last window report (focus, active...).
e2e_window_value() { sed -n "s/^$1=//p" <<<"$E2E_WINDOW_REPORT"; }

# e2e_wait_page PAGE [CONDITION...]: waits for a page of the setup window, known by its shown edit
# fields (ui/layout.h's boxes): welcome and directory (none: told apart by the way there), address
# (unit and government), directory-field (directory), processing (directory, holding a path, the
# window taking input again after the install) and try-out (directory, emptied).
e2e_wait_page() {
  local page=$1 unit government directory
  shift
  unit=$(e2e_box kUnitFieldBox) government=$(e2e_box kGovernmentFieldBox) directory=$(e2e_box kDirectoryFieldBox)
  case $page in
    welcome | directory) set -- "fields=" "$@" ;;
    address) set -- "fields=$unit $government" "$@" ;;
    directory-field) set -- "fields=$directory" "$@" ;;
    processing) set -- "fields=$directory" enabled=yes "!field=$directory:" "$@" ;;
    try-out) set -- "fields=$directory" enabled=yes "field=$directory:" "$@" ;;
    *) E2E_FAILURES+=("no page $page"); return 1 ;;
  esac
  e2e_wait_window "the $page page" "$@"
}

# e2e_capture FILE [GEOMETRY]: a screenshot (of the screen, or of WIDTHxHEIGHT+X+Y of it) as a
# PNG, once it holds still: two captures in a row alike (Wine hands a painted window to the
# display a moment after its thread goes idle; a caret blinks in a focused field).
e2e_capture() {
  local file=$1 previous
  local crop=()
  [ -z "${2:-}" ] || crop=(-crop "$2" +repage)
  previous=$(mktemp --suffix=.png)
  import -window root "${crop[@]}" -strip "$previous" 2>/dev/null
  for _ in 1 2 3 4 5; do
    import -window root "${crop[@]}" -strip "$file" 2>/dev/null
    cmp -s "$file" "$previous" && break
    cp "$file" "$previous"
  done
  rm -f "$previous"
}

# e2e_shot FILE: the window's client area (ui/layout.h's window size at most) as a PNG. The edit
# fields it shows (the last window report's) are noted beside it, in shot-fields.txt of its
# directory, "NAME.png BOX..." a line, for the comparison with reference shots.
e2e_shot() {
  e2e_capture "$1" "$(e2e_ui kWindowWidth)x$(e2e_ui kWindowHeight)+$E2E_X+$E2E_Y"
  echo "$(basename "$1") $(e2e_window_value fields)" >>"$(dirname "$1")/shot-fields.txt"
}

# e2e_compare_reference_shots [CASE [SHOT...]]: the screenshots of this case against reference
# shots taken before a change, pixel for pixel. E2E_REFERENCE_SHOTS names a directory laid out as
# out/e2e/cases of an earlier run (CASE/SHOT.png); each PNG of its directory CASE (this case's own
# name unless given; only the SHOTs named, without .png, when given) must have its like in this
# case's directory. The edit fields a window shot shows are left out of both (the caret blinks in
# the focused one); a difference is kept as SHOT-reference-diff.png. Without references it says
# so and compares nothing.
e2e_compare_reference_shots() {
  local name=${1:-$(basename "$E2E_CASE_DIR")} shots=() shot reference
  if [ -z "${E2E_REFERENCE_SHOTS:-}" ]; then
    echo "NOTE $(basename "$E2E_CASE_DIR"): no reference shots (E2E_REFERENCE_SHOTS not set), screenshots not compared"
    return 0
  fi
  if [ ! -d "$E2E_REFERENCE_SHOTS/$name" ]; then
    echo "NOTE $(basename "$E2E_CASE_DIR"): no reference shots in $E2E_REFERENCE_SHOTS/$name"
    return 0
  fi
  if [ $# -gt 1 ]; then
    shift
    for shot in "$@"; do shots+=("$E2E_REFERENCE_SHOTS/$name/$shot.png"); done
  else
    shots=("$E2E_REFERENCE_SHOTS/$name"/*.png)
  fi
  for reference in "${shots[@]}"; do
    shot=$(basename "$reference" .png)
    if [ ! -f "$reference" ]; then
      echo "NOTE $(basename "$E2E_CASE_DIR"): no reference shot $name/$shot.png"
      continue
    fi
    e2e_same_as_reference "$E2E_CASE_DIR/$shot.png" "$reference"
  done
}

# e2e_same_as_reference SHOT REFERENCE: one comparison of e2e_compare_reference_shots.
e2e_same_as_reference() {
  local shot=$1 reference=$2 boxes box l t r b masked=() pixels work
  if [ ! -f "$shot" ]; then
    E2E_FAILURES+=("screenshot $(basename "$shot") missing (the reference has one)")
    return 1
  fi
  boxes=$(awk -v n="$(basename "$shot")" '$1 == n { $1 = ""; line = $0 } END { print line }' \
    "$(dirname "$shot")/shot-fields.txt" 2>/dev/null)
  for box in $boxes; do
    IFS=, read -r l t r b <<<"$box"
    masked+=(-draw "rectangle $l,$t,$r,$b")
  done
  # compare would look for a smaller image inside a larger one: sizes are compared first.
  if [ "$(identify -format '%wx%h' "$shot")" != "$(identify -format '%wx%h' "$reference")" ]; then
    E2E_FAILURES+=("screenshot $(basename "$shot") is $(identify -format '%wx%h' "$shot"), its reference $reference $(identify -format '%wx%h' "$reference")")
    return 1
  fi
  work=$(mktemp -d)
  convert "$shot" -fill black "${masked[@]}" "$work/shot.png"
  convert "$reference" -fill black "${masked[@]}" "$work/reference.png"
  # compare prints the count of differing pixels; its status is 0 alike, 1 different, 2 failed.
  pixels=$(compare -metric AE "$work/shot.png" "$work/reference.png" "${shot%.png}-reference-diff.png" 2>&1)
  case $? in
    0) rm -f "${shot%.png}-reference-diff.png" ;;
    1) E2E_FAILURES+=("screenshot $(basename "$shot"): $pixels pixels differ from $reference") ;;
    *) E2E_FAILURES+=("screenshot $(basename "$shot") not comparable with $reference: $pixels") ;;
  esac
  rm -rf "$work"
}

# e2e_pixel FILE X Y: "r,g,b" of one pixel of a screenshot.
e2e_pixel() {
  local hex
  hex=$(convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- 2>/dev/null | grep -o '#[0-9A-Fa-f]\{6\}' | head -1)
  [ -n "$hex" ] && printf '%d,%d,%d' "0x${hex:1:2}" "0x${hex:3:2}" "0x${hex:5:2}"
}

# e2e_click X Y [BUTTON]: a click at client coordinates (1 left, 3 right). It does not wait: the
# step after it waits for what the click brings about.
e2e_click() {
  xdotool mousemove $((E2E_X + $1)) $((E2E_Y + $2)) click "${3:-1}"
}

# e2e_click_in NAME [BUTTON]: a click at the centre of a Rect of ui/layout.h.
e2e_click_in() {
  local centre
  centre=$(e2e_centre "$1") || { E2E_FAILURES+=("ui/layout.h gives no $1"); return 1; }
  e2e_click ${centre% *} ${centre#* } "${2:-1}"
}

# e2e_key KEY...: keys pressed in the setup window (xdotool's names: Return, Tab, shift+Tab,
# alt+F4), once it is the active window, where the keyboard goes.
e2e_key() {
  e2e_wait_window "the window active for the keyboard" active=yes || return 1
  xdotool key --clearmodifiers "$@"
}

# e2e_read_page: the setup window's client area as a screen reader reads it (the
# probe's "acc" report: title=, page=, part= lines) in E2E_PAGE_REPORT; without it the case fails.
e2e_read_page() {
  if ! E2E_PAGE_REPORT=$(e2e_probe acc installWClass 30); then
    E2E_FAILURES+=("the window read as a screen reader does: $(paste -sd ' ' <<<"$E2E_PAGE_REPORT")")
    return 1
  fi
}

# e2e_press_part NAME: a screen reader's default action on the part of the setup window named NAME.
# It does not wait: the action goes through the window's message loop, as a click does.
e2e_press_part() {
  local answer
  answer=$(e2e_probe accpress installWClass "$1") ||
    { E2E_FAILURES+=("the default action of $1: $(paste -sd ' ' <<<"$answer")"); return 1; }
}

# e2e_press_button default|other: a screen reader's default action on the page's button that is
# (default) or is not (other) its default one, found by reading the page.
e2e_press_button() {
  local name
  e2e_read_page || return 1
  name=$(awk -F'|' -v which="$1" '/^part=/ && $2 == "button" {
    isDefault = ("," $4 ",") ~ /,default,/
    if ((which == "default") == isDefault) { print $3; exit } }' <<<"$E2E_PAGE_REPORT")
  [ -n "$name" ] || { E2E_FAILURES+=("no $1 button on the page read: $(paste -sd ' ' <<<"$E2E_PAGE_REPORT")"); return 1; }
  e2e_press_part "$name"
}

# The interactive road through its pages: its two buttons, clicked, or with E2E_INPUT=keys their
# keys, Enter and Escape, or with E2E_INPUT=reader pressed by a screen reader's default action;
# every page and box kept as a screenshot in $E2E_CASE_DIR.
confirm() {
  case ${E2E_INPUT:-mouse} in
    keys) e2e_key Return ;;
    reader) e2e_press_button default ;;
    *) e2e_click_in kConfirmButton "${1:-1}" ;;
  esac
}
abandon() {
  case ${E2E_INPUT:-mouse} in
    keys) e2e_key Escape ;;
    reader) e2e_press_button other ;;
    *) e2e_click_in kAbandonButton "${1:-1}" ;;
  esac
}

# Starts the setup with no command line and waits for its welcome page. The pointer is moved off
# where the window opens first: a window that appears under it is told of a move and draws a
# hovered button, which the screenshots would then depend on.
e2e_open_window() {
  xdotool mousemove 0 0
  e2e_start_setup ""
  e2e_wait_page welcome
}

# e2e_type_into NAME TEXT: clicks into the edit field at a box of ui/layout.h (with
# E2E_INPUT=keys: the focus must get there without a click), types TEXT, and returns once the
# field holds it at its end.
e2e_type_into() {
  local box
  box=$(e2e_box "$1") || return 1
  [ "${E2E_INPUT:-mouse}" = keys ] || e2e_click_in "$1"
  e2e_wait_window "the keyboard focus in $1" "focus=$box" || return 1
  xdotool type "$2"
  e2e_wait_window "$2 typed into $1" "field=$box:*$2"
}

# Welcome page to the directory page, typing two addresses when given.
walk_to_directory_page() {  # [UNIT GOVERNMENT]
  e2e_open_window || return 1
  e2e_shot "$E2E_CASE_DIR/1-welcome.png"
  confirm
  e2e_wait_page address || return 1
  e2e_shot "$E2E_CASE_DIR/2-address.png"
  if [ $# -eq 2 ]; then
    e2e_type_into kUnitFieldBox "$1" || return 1
    [ "${E2E_INPUT:-mouse}" != keys ] || e2e_key Tab || return 1
    e2e_type_into kGovernmentFieldBox "$2" || return 1
    e2e_shot "$E2E_CASE_DIR/3-address-typed.png"
  fi
  confirm 3  # the right button works like the left one
  e2e_wait_page directory || return 1
  e2e_shot "$E2E_CASE_DIR/4-directory.png"
  confirm
  e2e_wait_page directory-field || return 1
  e2e_shot "$E2E_CASE_DIR/5-directory-field.png"
}

# Types a directory into the directory field, replacing what it holds (with E2E_INPUT=keys: the
# focus must be there without a click).
type_directory() {
  local box
  box=$(e2e_box kDirectoryFieldBox)
  [ "${E2E_INPUT:-mouse}" = keys ] || e2e_click_in kDirectoryFieldBox
  e2e_wait_window "the keyboard focus in the directory field" "focus=$box" || return 1
  xdotool key --clearmodifiers End shift+Home BackSpace
  xdotool type "$1"
  e2e_wait_window "$1 typed into the directory field" "field=$box:$1"
}

confirm_twice() {
  confirm
  confirm
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
    E2E_WINDOW_SECONDS=60 e2e_wait_page processing || return 1
    e2e_shot "$E2E_CASE_DIR/8-processing.png"
    e2e_wait_page try-out || return 1
    e2e_shot "$E2E_CASE_DIR/9-try-out.png"
    [ -z "${E2E_ON_TRY_OUT:-}" ] || "$E2E_ON_TRY_OUT"
    # The try-out page, the same page once more, then the completion message. Nothing tells the
    # first two apart from outside, and nothing need: the clicks arrive in the order made. A case
    # may name another way off the page in E2E_LEAVE_TRY_OUT.
    "${E2E_LEAVE_TRY_OUT:-confirm_twice}"
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

# The keyboard layouts, "NAME=LAYOUT TEXT" a line.
e2e_layouts() { e2e_probe regenum HKLM 'System\CurrentControlSet\Control\Keyboard Layouts' 'Layout Text'; }

# The keyboard layouts whose "Layout Text" equals TEXT, one name a line.
e2e_layouts_with_text() {
  e2e_layouts | awk -F= -v t="$1" '{ name=$1; sub(/^[^=]*=/, ""); if ($0 == t) print name }'
}

# The payload files missing in DIR (a directory of the prefix), blank-separated: all but the stubs,
# which the install deletes, and the skin archives, named in the ANSI code page.
e2e_missing_payload_files() {  # DIR
  local f name missing=""
  for f in "$E2E_WIN32/payload"/*; do
    name=$(basename "$f")
    case "$name" in
      tavo32[01].ime | tavo64[01].ime | *.tvz) ;;
      *) [ -e "$1/$name" ] || missing+=" $name" ;;
    esac
  done
  printf '%s' "$missing"
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
