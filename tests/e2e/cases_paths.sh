# Cases on the install directory itself: double-byte names whose second byte is 0x5C or 0x7C,
# directories with attributes besides the directory bit, and stores or command lines that hold
# no installable directory or name a folder of the system. Sourced by cases.sh.

# paths_ansi TEXT CHARSET: the bytes of a UTF-8 text in an ANSI code page (paths_ansi_hex: as hex).
paths_ansi() { printf '%s' "$1" | iconv -f UTF-8 -t "$2"; }
paths_ansi_hex() { paths_ansi "$1" "$2" | od -An -tx1 | tr -d ' \n'; }

# A silent install into a directory named in the ANSI code page, read without its backslash from
# path file 1.
silent_install_into() {  # FOLDER CHARSET IS64
  paths_ansi "c:\\$1" "$2" >"$WINEPREFIX/drive_c/windows/tavopath.tvh"
  e2e_add_user_agent_key
  e2e_silent_install
  check_eq "exit code" "$E2E_EXIT" 0
  check_eq "message boxes" "$E2E_BOXES" ""
  expect_installed_into "$@"
}

# Every payload file is inside c:\FOLDER and nothing lands in the drive root beside it; the stores,
# the automatic-start command and the companion's command line name the directory with its backslash.
expect_installed_into() {  # FOLDER CHARSET IS64
  local folder=$1 charset=$2 is64=$3 c="$WINEPREFIX/drive_c"
  local dir="$c/$folder" stored="c:\\$folder\\"
  check_eq "payload files missing in c:\\$folder" "$(e2e_missing_payload_files "$dir")" ""
  check_true "kelv1.bmp as shipped" cmp -s "$E2E_WIN32/payload/kelv1.bmp" "$dir/kelv1.bmp"
  check_eq "names in the drive root that start with $folder" "$(ls "$c" | grep -c "^$folder.")" 0
  check_true "no tavokelv.exe in the drive root" test ! -e "$c/tavokelv.exe"
  check_eq "path file 1" "$(od -An -tx1 "$c/windows/tavopath.tvh" | tr -d ' \n')" "$(paths_ansi_hex "$stored" "$charset")"
  check_eq "path file 2" "$(od -An -tx1 "$c/tavohu/tavopath.tvh" 2>/dev/null | tr -d ' \n')" \
    "$(paths_ansi_hex "$stored" "$charset")"
  e2e_reg HKLM 'Software\tavowb' path 32 || E2E_FAILURES+=("registry path missing")
  check_eq "registry path" "${E2E_REG_HEX%00}" "$(paths_ansi_hex "$stored" "$charset")"
  e2e_reg HKLM 'Software\Microsoft\Windows\CurrentVersion\Run' tvtasjgl 32
  # A program path with a blank stands between quotes.
  local program="${stored}tavokelv.exe" companion="${stored}setupw64.exe"
  case "$folder" in *' '*) program="\"$program\"" companion="\"$companion\"" ;; esac
  check_eq "Run entry" "${E2E_REG_HEX%00}" "$(paths_ansi_hex "$program tv" "$charset")"
  local log="$dir/launches.log"
  [ "$is64" = 1 ] || return 0
  e2e_wait_started_programs
  check_eq "companion started" "$(tr -d '\r\n' <"$log" 2>/dev/null | od -An -tx1 | tr -d ' \n')" \
    "$(paths_ansi_hex "$companion regtv32=$stored" "$charset")"
}

# 許 is B3 5C in Big5: its second byte is no backslash, so "c:\許" still needs one.
case_silent_big5_directory_zh_tw() {
  expect_system 950 6
  silent_install_into 許 BIG5 1
}

# 億 is 83 7C in GBK: its second byte is no '|'.
case_silent_gbk_directory_with_7c_zh_cn() {
  silent_install_into 億 GBK 0
}

# The directory page shows the stored directory; confirming it installs there (no bad-path box).
interactive_install_into() {  # FOLDER CHARSET
  paths_ansi "c:\\$1\\" "$2" >"$WINEPREFIX/drive_c/windows/tavopath.tvh"
  e2e_add_user_agent_key
  walk_to_directory_page || return
  install_and_finish - 0
  expect_installed_into "$1" "$2" 0
}

case_interactive_gbk_directory_with_7c_zh_cn() { interactive_install_into 億 GBK; }

# A reinstall into the same directory after the user hid it: the directory bit is what the check
# asks for, so the silent road ends with 0.
case_silent_reinstall_hidden_directory() {
  e2e_add_user_agent_key
  e2e_silent_install
  check_eq "first install" "$E2E_EXIT" 0
  wine cmd /c attrib +h 'c:\tavohu' >/dev/null 2>&1
  check_true "c:\\tavohu hidden" grep -q '^ *H' <<<"$(wine cmd /c attrib 'c:\tavohu' 2>/dev/null | tr -d '\r')"
  e2e_silent_install
  check_eq "exit code" "$E2E_EXIT" 0
  check_eq "message boxes" "$E2E_BOXES" ""
  check_true "payload in c:\\tavohu" cmp -s "$E2E_WIN32/payload/kelv1.bmp" "$WINEPREFIX/drive_c/tavohu/kelv1.bmp"
}

# "regtv32=" with nothing or no drive directory after it: registered all the same, and the stores
# keep the directory found at start-up.
case_register_only_without_directory() {
  expect_system 936 6
  registration_road '' 'c:\tavohu\'
}

case_register_only_parent_of_a_root() {
  registration_road 'c:\..\' 'c:\tavohu\'
}

# A registry "path" that is a number, not a text: its bytes 41 2E 2E 5C read "A..\", a relative
# directory. It is passed over; the install goes into the default directory.
case_silent_registry_path_not_a_text() {
  # A relative directory would be taken from the current directory: make that the case's own.
  cd "$E2E_CASE_DIR" || return
  wine reg add 'HKLM\Software\tavowb' /v path /t REG_DWORD /d 0x5c2e2e41 /f /reg:32 >/dev/null 2>&1
  check_true "a number in the registry" e2e_reg HKLM 'Software\tavowb' path 32
  check_eq "its type" "$E2E_REG_TYPE" 4
  e2e_add_user_agent_key
  e2e_silent_install
  check_eq "exit code" "$E2E_EXIT" 0
  check_true "installed into c:\\tavohu" cmp -s "$E2E_WIN32/payload/kelv1.bmp" "$WINEPREFIX/drive_c/tavohu/kelv1.bmp"
  check_eq "directories named A.." "$(find "$WINEPREFIX/drive_c" "$E2E_CASE_DIR" -maxdepth 4 -name 'A.*' | wc -l)" 0
  expect_path_file 'windows/tavopath.tvh' 'c:\tavohu\'
  expect_registry_path 'c:\tavohu\'
}

# The names directly in c:\windows, one a line.
paths_windows_names() { find "$WINEPREFIX/drive_c/windows" -mindepth 1 -maxdepth 1 -printf '%f\n' | sort; }

# Any user may create c:\tavohu\tavopath.tvh, the path file of the default directory, and the
# setup runs as administrator. One naming the Windows directory is passed over: the product goes
# into the default directory and nothing of it into c:\windows. /D= naming it is refused as a
# malformed directory is: exit code 7, no box, nothing written.
case_silent_path_file_naming_windows() {
  local c="$WINEPREFIX/drive_c"
  mkdir -p "$c/tavohu"
  printf '%s' 'c:\windows\' >"$c/tavohu/tavopath.tvh"
  check_eq "the planted path file" "$(od -An -tx1 "$c/tavohu/tavopath.tvh" | tr -d ' \n')" "$(e2e_hex 'c:\windows\')"
  paths_windows_names >"$E2E_CASE_DIR/windows-before.txt"
  e2e_add_user_agent_key
  e2e_silent_install
  check_eq "exit code" "$E2E_EXIT" 0
  check_eq "message boxes" "$E2E_BOXES" ""
  check_eq "payload files missing in c:\tavohu" "$(e2e_missing_payload_files "$c/tavohu")" ""
  check_true "kelv1.bmp as shipped in c:\tavohu" cmp -s "$E2E_WIN32/payload/kelv1.bmp" "$c/tavohu/kelv1.bmp"
  check_true "no tavokelv.exe in c:\windows" test ! -e "$c/windows/tavokelv.exe"
  check_true "no kelv1.bmp in c:\windows" test ! -e "$c/windows/kelv1.bmp"
  paths_windows_names >"$E2E_CASE_DIR/windows-after.txt"
  check_eq "names added to c:\windows" \
    "$(comm -13 "$E2E_CASE_DIR/windows-before.txt" "$E2E_CASE_DIR/windows-after.txt" | paste -sd ' ')" tavopath.tvh
  expect_path_file 'windows/tavopath.tvh' 'c:\tavohu\'
  expect_path_file 'tavohu/tavopath.tvh' 'c:\tavohu\'
  expect_registry_path 'c:\tavohu\'
  e2e_wait_started_programs

  e2e_start_setup 'settvsrf32 /LOG=c:\deploy.log /D=c:\windows'
  e2e_answer_boxes_until_done 'Tavo安装' 'Tavo(Kelvo)安装' 'Tavo' 'Tavo7.1'
  check_eq "exit code for /D=c:\windows" "$E2E_EXIT" 7
  check_eq "message boxes for /D=c:\windows" "$E2E_BOXES" ""
  local log
  log=$(tr -d '\r' <"$c/deploy.log" 2>/dev/null)
  cp "$c/deploy.log" "$E2E_CASE_DIR/deploy.log" 2>/dev/null
  check_eq "refusal logged" "$(grep -cxF 'install directory from /D= c:\windows: failed' <<<"$log")" 1
  check_eq "last line" "$(tail -1 <<<"$log")" "exit code 7"
  check_true "still no tavokelv.exe in c:\windows" test ! -e "$c/windows/tavokelv.exe"
  expect_path_file 'windows/tavopath.tvh' 'c:\tavohu\'
  expect_registry_path 'c:\tavohu\'
}

CASES+=(
  "silent_big5_directory_zh_tw win64-win7 zh_TW.UTF-8"
  "silent_gbk_directory_with_7c_zh_cn win32-win7 zh_CN.UTF-8"
  "interactive_gbk_directory_with_7c_zh_cn win32-win7 zh_CN.UTF-8"
  "silent_reinstall_hidden_directory win64-win7 zh_CN.UTF-8"
  "register_only_without_directory win64-win7 zh_CN.UTF-8"
  "register_only_parent_of_a_root win64-win7 zh_CN.UTF-8"
  "silent_registry_path_not_a_text win64-win7 zh_CN.UTF-8"
  "silent_path_file_naming_windows win64-win7 zh_CN.UTF-8"
)
