# Cases on the setup window as a screen reader meets it through Active Accessibility, read and
# driven by the probe inside the prefix (oleacc): what each page reads, in order, with its states,
# and the whole road taken by the reader's default actions alone. Sourced by cases.sh.

# reader_page_name PAGE: the name a screen reader gives the page, its heading (the welcome page's:
# the window title, $reader_title of the case). "installing" is the directory page while the
# install runs: a reader hears the processing page's name there.
reader_page_name() {
  case $1 in
    welcome) printf '%s\n' "$reader_title" ;;
    address) printf '%s\n' "Tavo输入平台  系统安装" ;;
    directory | directory-field) printf '%s\n' "Kelvo 7.1 版  系统安装" ;;
    installing | processing) printf '%s\n' "Tavo正在处理有关数据……" ;;
    try-out) printf '%s\n' "欢迎使用Tavo输入系统" ;;
  esac
}

# reader_parts PAGE: the page's parts in reading order, "ROLE|NAME" a line: its texts, its fields by
# what they ask for, the button Enter presses, the other one.
reader_parts() {
  local confirm="确 定 安 装"
  case $1 in
    welcome)
      printf '%s\n' "text|您尝试过Tavo语句提示输入吗？" "text|Tavo语句将给你带来新的输入体验……" "text|7.1 版" ;;
    address)
      printf '%s\n' "text|Tavo输入平台  系统安装" "text|Kelvo专版" "text|请输入你所在单位网站和你所在地政府网站的网址，" \
        "text|Tavo就可每天自动从这两个网站上下载相关文章，" "text|组建或增加系统文章库，以方便你的快速输入。" \
        "field|所在单位网址：" "field|当地政府网址：" ;;
    directory | directory-field | installing)
      printf '%s\n' "text|Tavo输入平台" "text|Kelvo 7.1 版  系统安装" "text|本版本适用于：WINDOWS NT、WIN2000、" \
        "text|WINDOWS XP、VISTA及WIN7中文系统。"
      [ "$1" = directory ] || printf '%s\n' "field|安装路径：" ;;
    processing)
      printf '%s\n' "text|Tavo7.1版安装" "text|Tavo正在处理有关数据……" "field|安装路径："
      return ;;  # no buttons while the companion registers
    try-out)
      printf '%s\n' "text|欢迎使用Tavo系统" "text|欢迎使用Tavo输入系统" "text|Tavo已经安装在你的系统中!" \
        "text|请在下面的框中试着用Tavo系统输入你的姓名。" "field|请输入你的姓名："
      confirm="确 定 退 出" ;;
  esac
  printf '%s\n' "button|$confirm" "button|放 弃 退 出"
}

# The texts of the shown edit fields, top to bottom, one a line, as the last window report gives them.
field_texts() { e2e_window_value field | sed 's/^[^:]*://'; }

# expect_reader_page PAGE FIELD-TEXTS: reads the window as a screen reader does and checks it
# against PAGE: the title; the page's role, name and description (its texts joined by blanks); its
# parts numbered from 1, their roles and names in order; the texts read-only; the first button the
# default one, the buttons unavailable exactly while the install runs, pressed by "按下"; and the
# fields' values, which must be the texts the fields hold (FIELD-TEXTS, one a line).
expect_reader_page() {
  local page=$1 texts=$2 what="$1 page, as read" expected count report problem
  e2e_read_page || return 1
  report=$E2E_PAGE_REPORT
  expected=$(reader_parts "$page")
  count=$(wc -l <<<"$expected")
  check_eq "$what: title" "$(sed -n 's/^title=//p' <<<"$report")" "$reader_title"
  check_eq "$what: page" "$(sed -n 's/^page=//p' <<<"$report")" \
    "page|$(reader_page_name "$page")|$(sed -n 's/^text|//p' <<<"$expected" | paste -sd ' ')"
  check_eq "$what: parts" "$(sed -n 's/^part=[0-9]*|\([^|]*|[^|]*\)|.*/\1/p' <<<"$report" | paste -sd ';')" \
    "$(paste -sd ';' <<<"$expected")"
  check_eq "$what: part numbers" "$(sed -n 's/^part=\([0-9]*\)|.*/\1/p' <<<"$report" | paste -sd ' ')" \
    "$(seq -s ' ' 1 "$count")"
  while read -r problem; do
    [ -z "$problem" ] || E2E_FAILURES+=("$what: $problem")
  done < <(awk -F'|' -v installing="$([ "$page" = installing ] && echo yes || echo no)" '/^part=/ {
    states = "," $4 ","
    if ($2 == "text" && states !~ /,readonly,/) print "text " $3 " not read-only: [" $4 "]"
    if ($2 != "button") next
    buttons++
    if ((buttons == 1) != (states ~ /,default,/)) print "button " $3 ", default " (buttons == 1 ? "missing" : "too") ": [" $4 "]"
    if ((installing == "yes") != (states ~ /,unavailable,/)) print "button " $3 ", unavailable: [" $4 "]"
    if ($5 != "按下") print "button " $3 ", default action [" $5 "]"
  }' <<<"$report")
  check_eq "$what: field values" "$(grep '^part=[0-9]*|field|' <<<"$report" | cut -d'|' -f6- | sed 's/^value=//')" "$texts"
}

# The window's road with its pages read as a screen reader reads them; the mouse drives it. While
# the install runs the window's thread answers only inside the message loop of a question it puts,
# so the directory page under the install is read while the sentence-library question is open.
# 64-bit Windows: the try-out page then (the processing page passes on a timer, too fast to be
# read for sure); 32-bit Windows: the processing page, read while the completion message is open.
reader_tree_road() {  # IS64
  local directory box
  e2e_open_window || return
  expect_reader_page welcome ""
  confirm
  e2e_wait_page address || return
  expect_reader_page address "$(field_texts)"
  confirm
  e2e_wait_page directory || return
  expect_reader_page directory ""
  confirm
  e2e_wait_page directory-field || return
  directory=$(field_texts)
  check_true "a directory proposed" test -n "$directory"
  expect_reader_page directory-field "$directory"
  confirm
  box=$(e2e_probe box 'Tavo安装' none 60) || { E2E_FAILURES+=("no sentence question"); return; }
  check_eq "sentence-library question" "$(sed -n 's/^text=//p' <<<"$box")" "是否立即增加智能语句库数据？"
  expect_reader_page installing "$directory"
  e2e_probe box 'Tavo安装' no 5 >/dev/null
  if [ "$1" = 1 ]; then
    E2E_WINDOW_SECONDS=60 e2e_wait_page try-out || return
    expect_reader_page try-out "$(field_texts)"
    confirm_twice
  else
    box=$(e2e_probe box Tavo none 60) || { E2E_FAILURES+=("no completion message"); return; }
    expect_reader_page processing "$directory"
  fi
  e2e_answer_box Tavo ok "$E2E_CASE_DIR/10-done.png" 60 || E2E_FAILURES+=("no completion message")
  check_eq "completion message" "$E2E_BOX_TEXT" "安装完毕，如不能使用，请重新启动计算机！"
  e2e_wait_setup
  check_eq "exit code" "$E2E_EXIT" 0
}

# Simplified Chinese, 64-bit Windows 7: every page to the try-out page.
case_accessible_tree_zh_cn() {
  local reader_title="Tavo系统安装3264"
  check_eq "OEM code page" "$(e2e_probe sys | sed -n 's/^oemcp=//p')" 936
  reader_tree_road 1
}

# Code page 950, 32-bit Windows 7: the title and every text read as written (the title is held in
# UTF-16, the parts are given in it), and the processing page.
case_accessible_tree_zh_tw() {
  local reader_title="Tavo系统安装32"
  check_eq "OEM code page" "$(e2e_probe sys | sed -n 's/^oemcp=//p')" 950
  reader_tree_road 0
}

# The whole road with a screen reader's default actions alone (no click, no key; the install's
# message boxes are answered by the probe, as on every road): every page kept as a screenshot, and
# the install checked as a silent install into a fresh machine is. No pointer comes near the
# window, as on the keyboard road, so its pages must look exactly as that road's did before the
# window answered screen readers (E2E_REFERENCE_SHOTS).
case_accessible_road_by_default_actions() {
  # shellcheck disable=SC2034  # read by confirm and abandon (lib.sh)
  local E2E_INPUT=reader shot
  e2e_add_user_agent_key
  walk_to_directory_page || return
  install_and_finish - 1
  expect_complete_install 1 6 936
  for shot in 1-welcome 2-address 4-directory 5-directory-field 7-sentence-library 8-processing 9-try-out 10-done; do
    check_true "screenshot $shot" test -s "$E2E_CASE_DIR/$shot.png"
  done
  e2e_compare_reference_shots interactive_keyboard_win64 1-welcome 2-address 4-directory 5-directory-field \
    8-processing 9-try-out
}

CASES+=(
  "accessible_tree_zh_cn win64-win7 zh_CN.UTF-8"
  "accessible_tree_zh_tw win32-win7 zh_TW.UTF-8"
  "accessible_road_by_default_actions win64-win7 zh_CN.UTF-8"
)
