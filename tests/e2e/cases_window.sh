# Cases on the setup window itself: how it ends after an install that stopped early, whether
# the try-out page's name box takes typing, its page texts on a Big5 system, and the road with
# the keyboard alone. Sourced by cases.sh.

# The window road over an earlier install whose IME is in use (32-bit Windows): the module and
# the names it could be moved aside to are held open, so the install stops at once. After the
# locked message the window ends: no check report, no completion message.
case_interactive_old_module_locked() {
  e2e_silent_install
  check_eq "first install" "$E2E_EXIT" 0
  local layout sys="$WINEPREFIX/drive_c/windows/system32" name
  layout=$(e2e_layouts_with_text "Tavo输入平台  7.1" | head -1)
  check_true "IME layout registered" test -n "$layout"
  wine reg add 'HKCU\Keyboard Layout\Preload' /v 2 /d "$layout" /f >/dev/null 2>&1
  rm -f "$WINEPREFIX/drive_c/tavohu/kelv1.bmp"
  for name in tavohu2.ime tavohu1.ime tavohu4.ime; do
    [ -e "$sys/$name" ] || cp "$sys/tavohu4.ime" "$sys/$name"
    e2e_hold hold "C:\\windows\\system32\\$name"
  done

  walk_to_directory_page || return
  confirm
  e2e_answer_box 'Tavo安装' ok "$E2E_CASE_DIR/6-locked.png" 60 || E2E_FAILURES+=("no locked message")
  check_eq "locked message" "$E2E_BOX_TEXT" \
    "　　你以前安装的Kelvo正在使用，请关闭使用Kelvo的所有窗口，或者重新启动机器后，才能安装新版本的Kelvo！"
  # Whatever else shows up before the setup ends is answered and recorded.
  e2e_answer_boxes_until_done 'Tavo' 'Tavo7.1' 'Tavo安装'
  check_eq "messages after the locked one" "$E2E_BOXES" ""
  check_eq "exit code" "$E2E_EXIT" 0
  check_true "nothing unpacked" test ! -e "$WINEPREFIX/drive_c/tavohu/kelv1.bmp"
  check_true "the old module stays" cmp -s "$E2E_WIN32/payload/tavohu4.ime" "$sys/tavohu4.ime"
}

# After the install (64-bit Windows) the try-out page's name box has the keyboard focus: text
# typed without a click lands in it.
type_on_the_try_out_page() {
  local box
  box=$(e2e_box kDirectoryFieldBox)
  # The try-out page is known by its emptied name box: the report is the page's own.
  check_eq "name box emptied" "$(e2e_window_value field)" "$box:"
  check_eq "focus after the install" "$(e2e_window_value focus)" "$box"
  check_eq "window active after the install" "$(e2e_window_value active)" yes
  xdotool type --delay 50 'Zhang San'
  e2e_wait_window "the typed name" "field=$box:Zhang San" || return
  e2e_shot "$E2E_CASE_DIR/9-try-out-typed.png"
}
case_interactive_try_out_typing() {
  walk_to_directory_page || return
  E2E_ON_TRY_OUT=type_on_the_try_out_page install_and_finish - 1
}

# The whole window road under code page 950, every page kept as a screenshot (they are looked
# at: the processing and try-out texts must read as written, not as other characters).
case_interactive_traditional_chinese() {
  e2e_add_user_agent_key
  check_eq "OEM code page" "$(e2e_probe sys | sed -n 's/^oemcp=//p')" 950
  # The title is given in UTF-16 to a Unicode window class, so it stays whole under code page 950
  # too (which lacks 统 and 装); the harness finds the window by its class.
  walk_to_directory_page www.unit.tw www.gov.tw || return
  install_and_finish - 1
  check_true "installed" cmp -s "$E2E_WIN32/payload/kelv1.bmp" "$WINEPREFIX/drive_c/tavohu/kelv1.bmp"
  local shot
  for shot in 1-welcome 2-address 4-directory 5-directory-field 8-processing 9-try-out; do
    check_true "screenshot $shot" test -s "$E2E_CASE_DIR/$shot.png"
  done
}

# The whole window road with the keyboard alone, the same steps and checks as with the mouse:
# the unit address typed where the focus is when the address page appears, Tab to the government
# field, Enter on every page (the message boxes are answered by the probe).
case_interactive_keyboard_win64() { E2E_INPUT=keys case_interactive_first_install_win64; }
case_interactive_keyboard_win32() { E2E_INPUT=keys case_interactive_install_win32; }

# A refused directory typed and confirmed from the keyboard: once the refusal is answered the
# directory field has the focus again, so the corrected directory is typed without a click and
# Enter from the field installs there.
case_interactive_keyboard_rejected_path() {
  local E2E_INPUT=keys
  walk_to_directory_page || return
  type_directory 'c:\a\b\c' || return
  confirm
  e2e_answer_box Tavo ok "$E2E_CASE_DIR/bad-path.png" 30 || E2E_FAILURES+=("no bad-path message")
  type_directory 'c:\tavokeys' || return
  install_and_finish - 1
  check_true "installed into c:\tavokeys" cmp -s "$E2E_WIN32/payload/kelv1.bmp" "$WINEPREFIX/drive_c/tavokeys/kelv1.bmp"
  check_true "nothing under c:\a" test ! -e "$WINEPREFIX/drive_c/a"
}

# Escape on the welcome page ends the setup as the abandon button does, before anything is installed.
case_interactive_escape_on_welcome() { E2E_INPUT=keys case_interactive_abandon_on_welcome; }

# Alt+F4 on the try-out page does what the abandon button does there: the installation check and
# the completion message, then the end.
close_by_keyboard() { e2e_key alt+F4; }
case_interactive_alt_f4_on_try_out() {
  E2E_INPUT=keys walk_to_directory_page || return
  E2E_INPUT=keys E2E_LEAVE_TRY_OUT=close_by_keyboard install_and_finish - 1
  check_true "installed" cmp -s "$E2E_WIN32/payload/kelv1.bmp" "$WINEPREFIX/drive_c/tavohu/kelv1.bmp"
}

CASES+=(
  "interactive_keyboard_win64 win64-win7 zh_CN.UTF-8"
  "interactive_keyboard_win32 win32-win7 zh_CN.UTF-8"
  "interactive_keyboard_rejected_path win64-win7 zh_CN.UTF-8"
  "interactive_escape_on_welcome win64-win7 zh_CN.UTF-8"
  "interactive_alt_f4_on_try_out win64-win7 zh_CN.UTF-8"
  "interactive_old_module_locked win32-win7 zh_CN.UTF-8"
  "interactive_try_out_typing win64-win7 zh_CN.UTF-8"
  "interactive_traditional_chinese win64-win7 zh_TW.UTF-8"
)
