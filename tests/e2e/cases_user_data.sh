# Cases on what the setup must never harm: the user's own data across a reinstall, planted or
# stale files where ordinary users can write, and program paths with blanks. Sourced by cases.sh.

# A planted backup archive: a module, a stub, the uninstaller and a "user file", packed with the
# build's own tool.
plant_backup_archive() {  # TARGET-FILE
  local planted="$E2E_CASE_DIR/planted"
  mkdir -p "$planted"
  printf 'planted module %.0s' $(seq 40) >"$planted/tavohu4.ime"
  printf 'planted stub %.0s' $(seq 40) >"$planted/tavo320.ime"
  printf 'planted program %.0s' $(seq 40) >"$planted/tavodel.exe"
  printf 'planted phrases\r\n' >"$planted/tvwbpy.txt"
  "$E2E_ROOT/build/host/tools/tvz" pack "$1" "$planted"/* >/dev/null
}

# The installed modules and uninstaller are the shipped ones (a 32-bit machine).
expect_shipped_system_files() {
  local sys="$WINEPREFIX/drive_c/windows/system32" payload="$E2E_WIN32/payload"
  check_true "shipped module in the system directory" cmp -s "$payload/tavohu4.ime" "$sys/tavohu4.ime"
  check_true "shipped uninstaller in the system directory" cmp -s "$payload/tavodel.exe" "$sys/tavodel.exe"
  check_true "no planted bytes in the install directory" bash -c "! grep -rl planted '$WINEPREFIX/drive_c/tavohu'"
}

# The user works in the install in DIR: own phrases, own settings record, stored web addresses;
# the expected bytes are kept in the case's directory.
work_in_the_install() {  # DIR
  printf 'user phrases\r\n' >>"$1/tvwbpy.txt"
  printf '\x09%.0s' $(seq 200) >"$1/tvszsj43.tvh"
  printf 'TVNETURL1=www.unit.cn\r\nTVNETURL2=www.gov.cn\r\nTVNETTIME=1\r\n' >"$1/tvnetsj.dat"
  cp "$1/tvwbpy.txt" "$1/tvszsj43.tvh" "$E2E_CASE_DIR/"
}

# What work_in_the_install did is still in DIR.
expect_the_users_work_kept() {  # DIR
  check_true "own phrases kept" cmp -s "$E2E_CASE_DIR/tvwbpy.txt" "$1/tvwbpy.txt"
  check_true "own settings record kept" cmp -s "$E2E_CASE_DIR/tvszsj43.tvh" "$1/tvszsj43.tvh"
  check_eq "addresses kept" "$(head -2 "$1/tvnetsj.dat" | tr -d '\r')" $'TVNETURL1=www.unit.cn\nTVNETURL2=www.gov.cn'
}

# A silent reinstall over an install the user has worked with: own phrases, own settings record,
# stored web addresses, and a planted tavoback.tvz in the install directory. Nobody is asked,
# everything of the user's is still there, and nothing planted is placed or started.
case_silent_reinstall_keeps_user_data() {
  e2e_silent_install
  check_eq "first install" "$E2E_EXIT" 0
  local dir="$WINEPREFIX/drive_c/tavohu"
  work_in_the_install "$dir"
  plant_backup_archive "$dir/tavoback.tvz"

  e2e_silent_install
  check_eq "exit code" "$E2E_EXIT" 0
  check_eq "message boxes" "$E2E_BOXES" ""
  expect_the_users_work_kept "$dir"
  expect_shipped_system_files
}

# /D= naming the earlier install's directory without its backslash: the backup and the addresses
# look in that directory all the same, and the user's data are kept.
case_silent_reinstall_after_d_without_backslash() {
  e2e_silent_install
  check_eq "first install" "$E2E_EXIT" 0
  local dir="$WINEPREFIX/drive_c/tavohu"
  work_in_the_install "$dir"

  e2e_silent_install '/D=C:\tavohu'
  check_eq "exit code" "$E2E_EXIT" 0
  check_eq "message boxes" "$E2E_BOXES" ""
  expect_the_users_work_kept "$dir"
  check_true "no backup beside the directory" test ! -e "$WINEPREFIX/drive_c/tavohutavoback.tvz"
  expect_path_file 'windows/tavopath.tvh' 'C:\tavohu\'
}

# A program named icacls.exe beside the setup (as in a user's Downloads folder) is never started:
# the setup names icacls by its full path in the system directory. The stand-in program writes
# launches.log beside itself when it runs.
case_icacls_beside_the_setup_is_not_started() {
  cp "$E2E_WIN32/payload/tavokelv.exe" "$WINEPREFIX/drive_c/setup/icacls.exe"
  e2e_silent_install
  check_eq "exit code" "$E2E_EXIT" 0
  e2e_wait_started_programs
  check_true "the icacls.exe beside the setup not started" test ! -e "$WINEPREFIX/drive_c/setup/launches.log"
}

# The window road: the archive is swapped for a planted one while the window is open, after the
# setup made its own backup; the user answers Yes. The planted archive is not restored.
case_interactive_planted_backup_is_not_restored() {
  e2e_silent_install
  local dir="$WINEPREFIX/drive_c/tavohu"
  walk_to_directory_page || return
  plant_backup_archive "$dir/tavoback.tvz"
  install_and_finish yes 0
  expect_shipped_system_files
  check_true "shipped phrases" cmp -s "$E2E_WIN32/payload/tvwbpy.txt" "$dir/tvwbpy.txt"
}

# The user moves the install to another directory in which an old tavoback.tvz lies: the data
# come from the backup this run made of the earlier directory, never from the stale archive.
case_interactive_changed_directory_ignores_a_stale_backup() {
  e2e_add_user_agent_key
  e2e_silent_install
  local dir="$WINEPREFIX/drive_c/tavohu" other="$WINEPREFIX/drive_c/other"
  printf 'user phrases\r\n' >>"$dir/tvwbpy.txt"
  cp "$dir/tvwbpy.txt" "$E2E_CASE_DIR/changed.txt"
  mkdir -p "$other"
  plant_backup_archive "$other/tavoback.tvz"
  walk_to_directory_page || return
  type_directory 'c:\other' || return
  install_and_finish yes 1
  check_true "the earlier directory's phrases" cmp -s "$E2E_CASE_DIR/changed.txt" "$other/tvwbpy.txt"
  check_true "nothing planted placed" bash -c "! grep -rl planted '$other' --exclude=tavoback.tvz"
}

# An install directory that cannot be written (a file stands in its place): the unpack fails for
# every entry, but only one box says so, besides the incomplete-unpack message.
case_unwritable_directory_raises_one_unpack_box() {
  printf 'not a directory' >"$WINEPREFIX/drive_c/tavohu"
  e2e_silent_install
  check_eq "exit code" "$E2E_EXIT" 4
  check_eq "unpack-failure boxes" "$(grep -c '没有成功解压复制' <<<"$E2E_BOXES")" 1
  check_eq "incomplete-unpack box" "$(grep -c '文件解压不完整' <<<"$E2E_BOXES")" 1
}

# An install directory with a blank: the automatic-start command and the started companion have
# the program path between quotes, so Windows cannot start "c:\my.exe" instead.
case_directory_with_blank_is_quoted() {
  printf 'c:\\my dir\\' >"$WINEPREFIX/drive_c/windows/tavopath.tvh"
  e2e_silent_install
  check_eq "exit code" "$E2E_EXIT" 0
  local dir="$WINEPREFIX/drive_c/my dir"
  check_true "installed into c:\\my dir" test -e "$dir/kelv1.bmp"
  e2e_reg HKLM 'Software\Microsoft\Windows\CurrentVersion\Run' tvtasjgl 32
  check_eq "Run entry" "$E2E_REG_TEXT" '"c:\my dir\tavokelv.exe" tv'
  e2e_wait_started_programs
  check_eq "companion started" "$(tr -d '\r' <"$dir/launches.log" 2>/dev/null)" '"c:\my dir\setupw64.exe" regtv32=c:\my dir\'
}

# Renaming aside on the real file system: a name without a character before a three-letter
# extension is refused, and the files an unchecked aside name would hit stay; a module name is
# moved to its "2" name.
case_move_aside_only_inside_the_name() {
  local c="$WINEPREFIX/drive_c"
  mkdir -p "$c/tavohu"
  printf 'entry' >"$c/tavohu/abcd"
  printf 'bystander 2' >"$c/tavohu2abcd"
  printf 'bystander 1' >"$c/tavohu1abcd"
  check_eq "short name refused" "$(e2e_sysops aside 'C:\tavohu\abcd' | head -1)" "result=-1 aside="
  check_eq "bystander 2 intact" "$(cat "$c/tavohu2abcd" 2>/dev/null)" "bystander 2"
  check_eq "bystander 1 intact" "$(cat "$c/tavohu1abcd" 2>/dev/null)" "bystander 1"
  check_eq "entry in place" "$(cat "$c/tavohu/abcd" 2>/dev/null)" "entry"
  printf 'module' >"$c/tavohu/tavohu4.ime"
  check_eq "module moved aside" "$(e2e_sysops aside 'C:\tavohu\tavohu4.ime' | head -1)" 'result=0 aside=C:\tavohu\tavohu2.ime'
  check_eq "aside file" "$(cat "$c/tavohu/tavohu2.ime" 2>/dev/null)" "module"
}

CASES+=(
  "move_aside_only_inside_the_name win32-winxp zh_CN.UTF-8"
  "silent_reinstall_keeps_user_data win32-win7 zh_CN.UTF-8"
  "silent_reinstall_after_d_without_backslash win32-win7 zh_CN.UTF-8"
  "icacls_beside_the_setup_is_not_started win32-win7 zh_CN.UTF-8"
  "interactive_planted_backup_is_not_restored win32-win7 zh_CN.UTF-8"
  "interactive_changed_directory_ignores_a_stale_backup win64-win7 zh_CN.UTF-8"
  "unwritable_directory_raises_one_unpack_box win32-winxp zh_CN.UTF-8"
  "directory_with_blank_is_quoted win64-win7 zh_CN.UTF-8"
)
