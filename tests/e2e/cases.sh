#!/usr/bin/env bash
# The end-to-end cases. Run by run.sh inside a virtual display, with the template prefixes made.
# Each case gets a fresh copy of a template and its own locale (OEM code page 936 or 950).
set -uo pipefail
cd "$(dirname "$0")/../.."
source tests/e2e/lib.sh || exit 1

readonly IME_TEXT="Tavo输入平台  7.1"
readonly REGISTERED="Tavo已安装成功，如不能使用，请重新启动计算机！"

expect_system() {  # OEMCP MAJOR
  local report
  report=$(e2e_probe sys)
  check_eq "OEM code page" "$(sed -n 's/^oemcp=//p' <<<"$report")" "$1"
  check_eq "Windows major version" "$(sed -n 's/^major=//p' <<<"$report")" "$2"
}

# A path store holds exactly the directory: no terminating zero, no line end.
expect_path_file() {  # FILE-UNDER-DRIVE_C DIRECTORY
  local file="$WINEPREFIX/drive_c/$1"
  if [ ! -f "$file" ]; then
    E2E_FAILURES+=("$1 missing")
    return
  fi
  check_eq "$1 bytes" "$(od -An -tx1 "$file" | tr -d ' \n')" "$(e2e_hex "$2")"
}

# The registry value "path" of the 32-bit program's view. Wine keeps a zero of its own after
# text written through the ANSI call, so the data may end in one 00 that the program did not write.
expect_registry_path() {  # DIRECTORY
  if ! e2e_reg HKLM 'Software\tavowb' path 32; then
    E2E_FAILURES+=("HKLM\\Software\\tavowb path missing")
    return
  fi
  check_eq "path type" "$E2E_REG_TYPE" 1
  check_eq "path text" "$E2E_REG_TEXT" "$1"
  check_eq "path data" "${E2E_REG_HEX%00}" "$(e2e_hex "$1")"
}

registration_road() {  # DIRECTORY-ARGUMENT STORED-DIRECTORY
  e2e_start_setup "regtv32=$1"
  if e2e_answer_box Tavo ok "$E2E_CASE_DIR/box.png"; then
    check_eq "box caption" "$E2E_BOX_CAPTION" "Tavo"
    check_eq "box text" "$E2E_BOX_TEXT" "$REGISTERED"
  else
    E2E_FAILURES+=("no message box")
  fi
  e2e_wait_setup
  check_eq "exit code" "$E2E_EXIT" 0
  expect_path_file 'windows/tavopath.tvh' "$2"
  expect_path_file 'tavohu/tavopath.tvh' "$2"
  expect_registry_path "$2"
  check_true "the 64-bit registry view holds no path" bash -c "! wine 'C:\\setup\\e2eprobe.exe' reg HKLM 'Software\\tavowb' path 64 >/dev/null 2>&1"
  check_true "a keyboard layout with the text $IME_TEXT" test -n "$(e2e_layouts_with_text "$IME_TEXT")"
}

# The switch on a system that is not 64-bit Windows 6.x: no registration road (its box, no
# window) but the interactive road: the setup window, closed again by its close box.
no_registration_road() {
  e2e_start_setup "regtv32=C:\\tavohu7"
  e2e_wait_page welcome
  if e2e_probe box Tavo none 0 >/dev/null; then
    E2E_FAILURES+=("unexpected box beside the window")
  fi
  check_true "the setup window, closed" e2e_probe close 'Tavo系统安装32' 20
  e2e_wait_setup
  check_eq "exit code" "$E2E_EXIT" 0
  check_eq "layouts with the IME text" "$(e2e_layouts_with_text "$IME_TEXT")" ""
}

case_register_only_win64_win7() {
  expect_system 936 6
  registration_road 'C:\tavohu7' 'C:\tavohu7\'
}

case_register_only_directory_with_blanks() {
  registration_road 'C:\my tavo dir' 'C:\my tavo dir\'
}

case_register_only_traditional_chinese() {
  expect_system 950 6
  registration_road 'C:\tavohu7\' 'C:\tavohu7\'
}

case_regtv32_on_32bit_win7() {
  expect_system 936 6
  no_registration_road
  # Every start on Windows 6.x rewrites the stores (administrator test) with the start-up directory.
  expect_path_file 'windows/tavopath.tvh' 'c:\tavohu\'
  expect_path_file 'tavohu/tavopath.tvh' 'c:\tavohu\'
  expect_registry_path 'c:\tavohu\'
}

case_regtv32_on_64bit_winxp() {
  expect_system 936 5
  no_registration_road
  check_true "no path file on Windows 5.x before an install" test ! -e "$WINEPREFIX/drive_c/windows/tavopath.tvh"
}

# The program file itself: PE32 GUI, only Windows system DLLs, the manifest and the icon.
case_program_file() {
  local exe="$E2E_WIN32/tavosetup.exe" headers resources dll
  headers=$(i686-w64-mingw32-objdump -p "$exe")
  check_true "PE32" grep -q 'Magic.*010b' <<<"$headers"
  check_true "GUI subsystem" grep -q 'Subsystem.*(Windows GUI)' <<<"$headers"
  while read -r dll; do
    case "${dll,,}" in
      kernel32.dll | user32.dll | gdi32.dll | advapi32.dll | imm32.dll | msvcrt.dll) ;;
      ole32.dll | oleaut32.dll) ;; # oleacc.dll is loaded at run time: Windows 9x may lack it
      *) E2E_FAILURES+=("imports $dll") ;;
    esac
  done < <(sed -n 's/.*DLL Name: //p' <<<"$headers")
  resources=$(i686-w64-mingw32-windres -i "$exe" -O rc)
  check_true "icon resource tavohu" grep -q 'Name: "TAVOHU"' <<<"$resources"
  check_true "manifest resource" grep -q '1 24 /\* RT_MANIFEST' <<<"$resources"
  check_true "requireAdministrator, uiAccess false" grep -q 'level="requireAdministrator" uiAccess="false"' "$exe"
  # Reproducible builds: no link time in the headers of the program or of the payload's programs.
  local file
  for file in "$exe" "$E2E_WIN32/payload/tavokelv.exe" "$E2E_WIN32/payload/tavohu4.ime"; do
    check_eq "time stamp of $(basename "$file")" \
      "$(TZ=UTC i686-w64-mingw32-objdump -p "$file" | sed -n 's/^Time\/Date[[:space:]]*//p' | head -1)" "Thu Jan  1 00:00:00 1970"
  done
}

# The payload travels as resource TVZ/KELVTVZ, language 2052, byte for byte the packed archive.
case_payload_resource() {
  local copy="$WINEPREFIX/drive_c/setup/payload.tvz"
  check_true "resource found" e2e_probe resource 'C:\setup\tavosetup.exe' TVZ KELVTVZ 2052 'C:\setup\payload.tvz'
  check_true "resource equals the packed payload" cmp -s "$copy" "$E2E_WIN32/generated/payload.tvz"
  check_true "tvz verify" "$E2E_ROOT/build/host/tools/tvz" verify "$copy"
  cp "$E2E_WIN32/tools/tvz.exe" "$WINEPREFIX/drive_c/setup/"
  check_true "tvz.exe verify in Windows" wine 'C:\setup\tvz.exe' verify 'C:\setup\payload.tvz'
  check_true "tvz.exe extract in Windows" wine 'C:\setup\tvz.exe' extract 'C:\setup\payload.tvz' 'C:\unpacked'
  check_true "kelv1.bmp extracted" cmp -s "$WINEPREFIX/drive_c/unpacked/kelv1.bmp" "$E2E_WIN32/payload/kelv1.bmp"
  check_eq "files extracted" "$(ls "$WINEPREFIX/drive_c/unpacked" | wc -l)" 79
  check_true "GBK skin name through the ANSI code page" test -f "$WINEPREFIX/drive_c/unpacked/冷色瓷面.tvz"
}

# The in-Wine parts of the benchmark command still run (figures are not judged here).
case_bench_programs() {
  cp "$E2E_WIN32/bench/wine_bench.exe" "$E2E_WIN32/generated/payload.tvz" "$WINEPREFIX/drive_c/setup/"
  e2e_add_user_agent_key
  local report
  report=$(wine 'C:\setup\wine_bench.exe' unpack 'C:\setup\payload.tvz' 'C:\unpack' 1 2>/dev/null | tr -d '\r')
  check_true "unpack figures" grep -q '^ratio limit/unpack (median): [0-9.]*' <<<"$report"
  check_eq "unpack directory left empty" "$(ls "$WINEPREFIX/drive_c/unpack" | wc -l)" 0
  report=$(wine 'C:\setup\wine_bench.exe' install 2>/dev/null | tr -d '\r')
  check_true "silent install inside the benchmark" grep -q '^silent install: exit code 0,' <<<"$report"
  check_true "memory figures" grep -q '^peak private bytes beyond the start: [0-9.]* MiB' <<<"$report"
  check_true "payload installed" cmp -s "$E2E_WIN32/payload/kelv1.bmp" "$WINEPREFIX/drive_c/tavohu/kelv1.bmp"
  report=$(wine 'C:\setup\wine_bench.exe' paint 1 2>/dev/null | tr -d '\r')
  check_eq "pages repainted" "$(grep -c -E '^(welcome|address|directory|processing|try-out) .* [0-9.]+ +[0-9.]+$' <<<"$report")" 5
}

# The registry entries of the system registration, written by the setup's own operations into a
# real registry and read back with their types and bytes.
system_entries() {  # LAYOUT-ID LAYOUT-TEXT CHARSET
  local current='Software\Microsoft\Windows\CurrentVersion'
  local agent="$current\\Internet Settings\\User Agent\\Post Platform"
  wine reg add "HKLM\\$current\\Run" /v tvtasjgl /d 'c:\old\tavokelv.exe tv' /f /reg:32 >/dev/null 2>&1
  for v in kelv6300 kelv6900 kelv7000; do
    wine reg add "HKLM\\$agent" /v $v /d '' /f /reg:32 >/dev/null 2>&1
  done
  # Windows has its standard layouts; a fresh Wine prefix has no Keyboard Layouts key at all.
  # Another IME at E0200804 makes the new identifier E0210804 (E0210404 under code page 950);
  # Wine itself lists its Chinese layout E0010804 (or E0010404) at place 1 of the preload list.
  for id in 00000409 00000804 00000404 E0200804; do
    wine reg add "HKLM\\System\\CurrentControlSet\\Control\\Keyboard Layouts\\$id" /v 'Layout Text' \
      /d "Other layout $id" /f >/dev/null 2>&1
  done
  e2e_reg HKCU 'Keyboard Layout\Preload' 1
  local first=$E2E_REG_TEXT
  for op in uninstall useragent layout; do check_eq "sysops $op" "$(e2e_sysops $op)" ok; done
  check_eq "sysops run" "$(e2e_sysops run 'C:\tavohu\tavokelv.exe tv')" ok

  e2e_reg HKLM "$current\\Uninstall\\tavoqwb" DisplayName 32 || E2E_FAILURES+=("DisplayName missing")
  check_eq "DisplayName type" "$E2E_REG_TYPE" 1
  check_eq "DisplayName bytes" "${E2E_REG_HEXW%0000}" "$(e2e_utf16_hex Kelvo)"
  e2e_reg HKLM "$current\\Uninstall\\tavoqwb" UninstallString 32 || E2E_FAILURES+=("UninstallString missing")
  check_eq "UninstallString" "$E2E_REG_TEXT" 'C:\windows\system32\tavodel.exe'
  e2e_reg HKLM "$current\\Run" tvtasjgl 32 || E2E_FAILURES+=("Run value missing")
  check_eq "Run value type" "$E2E_REG_TYPE" 1
  check_eq "Run value replaced" "$E2E_REG_TEXT" 'C:\tavohu\tavokelv.exe tv'
  check_true "kelv6300 removed" bash -c "! wine 'C:\\setup\\e2eprobe.exe' reg HKLM '$agent' kelv6300 32"
  check_true "kelv7000 removed" bash -c "! wine 'C:\\setup\\e2eprobe.exe' reg HKLM '$agent' kelv7000 32"
  check_true "kelv6900 kept" e2e_reg HKLM "$agent" kelv6900 32
  e2e_reg HKLM "$agent" kelv7100 32 || E2E_FAILURES+=("kelv7100 missing")
  check_eq "kelv7100 type" "$E2E_REG_TYPE" 1
  check_eq "kelv7100 empty" "${E2E_REG_HEX%00}" ""

  local key="System\\CurrentControlSet\\Control\\Keyboard Layouts\\$1"
  e2e_reg HKLM "$key" 'IME file' || E2E_FAILURES+=("layout key $1 missing")
  check_eq "IME file" "$E2E_REG_TEXT" TAVOHU4.IME
  e2e_reg HKLM "$key" 'layout file'
  check_eq "layout file" "$E2E_REG_TEXT" kbdus.dll
  e2e_reg HKLM "$key" 'layout text'
  check_eq "layout text" "$E2E_REG_TEXT" "$2"
  check_eq "layout text bytes" "${E2E_REG_HEX%00}" "$(printf '%s' "$2" | iconv -f UTF-8 -t "$3" | od -An -tx1 | tr -d ' \n')"
  e2e_reg HKCU 'Keyboard Layout\Preload' 1
  check_eq "preload 1 kept" "$E2E_REG_TEXT" "$first"
  e2e_reg HKCU 'Keyboard Layout\Preload' 2 || E2E_FAILURES+=("preload 2 missing")
  check_eq "preload 2" "$E2E_REG_TEXT" "$(tr 'A-Z' 'a-z' <<<"$1")"
  # A second registration reuses the key and leaves the list as it is.
  check_eq "second registration" "$(e2e_sysops layout)" ok
  check_true "no third preload value" bash -c "! wine 'C:\\setup\\e2eprobe.exe' reg HKCU 'Keyboard Layout\\Preload' 3"
}

case_system_entries_win64_zh_cn() { system_entries E0210804 "Tavo输入平台  7.1" GBK; }
case_system_entries_win64_zh_tw() { system_entries E0210404 "Tavo輸入平台  7.1" BIG5; }
case_system_entries_win32_zh_cn() { system_entries E0210804 "Tavo输入平台  7.1" GBK; }
case_system_entries_win32_zh_tw() { system_entries E0210404 "Tavo輸入平台  7.1" BIG5; }

# Occurrences of a UTF-8 text, as UTF-16LE, in a file.
count_utf16() {  # FILE TEXT
  od -An -tx1 -v "$1" | tr -d ' \n' | grep -o "$(e2e_utf16_hex "$2")" | wc -l
}

byte_at() { od -An -tx1 -j "$2" -N 1 "$1" | tr -d ' '; }  # FILE OFFSET

# A silent install into a fresh machine, checked file by file and entry by entry.
silent_install() {  # IS64 MAJOR CODEPAGE
  e2e_add_user_agent_key
  e2e_silent_install
  check_eq "exit code" "$E2E_EXIT" 0
  check_eq "message boxes" "$E2E_BOXES" ""
  expect_complete_install "$@"
}

# A whole install into c:\tavohu of a machine that had none (and the User Agent key), checked file by
# file and entry by entry, the sentence library declined; the started programs have ended after it.
expect_complete_install() {  # IS64 MAJOR CODEPAGE
  local is64=$1 major=$2 codePage=$3
  local payload="$E2E_WIN32/payload" dir="$WINEPREFIX/drive_c/tavohu" win="$WINEPREFIX/drive_c/windows"
  local name missing=""
  for f in "$payload"/*; do
    name=$(basename "$f")
    case "$name" in
      tavo32[01].ime | tavo64[01].ime) [ ! -e "$dir/$name" ] || E2E_FAILURES+=("stub $name left") ;;
      *.tvz) ;;  # named in the ANSI code page; counted below
      *) [ -e "$dir/$name" ] || missing+=" $name" ;;
    esac
  done
  check_eq "payload files missing" "$missing" ""
  check_eq "skin archives" "$(ls "$dir" | grep -c '\.tvz$')" 3
  for name in tavocyzk.tv1 tavopyck.tv1 kelv1.bmp tavohu4.ime tavohu64.ime; do
    check_true "$name as shipped" cmp -s "$payload/$name" "$dir/$name"
  done
  check_true "tavocyzk.tvu" cmp -s "$payload/tavocyzk.tv1" "$dir/tavocyzk.tvu"
  check_true "tavohu32.ime" cmp -s "$payload/tavohu4.ime" "$dir/tavohu32.ime"
  check_eq "setupw64.exe stamped" "$(count_utf16 "$dir/setupw64.exe" 'Tavo输入平台  7.1')" 2
  check_eq "record byte 38" "$(byte_at "$dir/tvszsj43.tvh" 38)" "$([ "$codePage" = 950 ] && echo 01 || echo 00)"
  check_eq "record bytes 62, 63" "$(byte_at "$dir/tvszsj43.tvh" 62)$(byte_at "$dir/tvszsj43.tvh" 63)" 0000

  local kelv=tavokelv.exe
  [ "$major" -ge 6 ] && kelv=tavokel6.exe
  check_true "main program $kelv" cmp -s "$payload/$kelv" "$dir/tavokelv.exe"
  if [ "$is64" = 1 ] && [ "$major" -ge 6 ]; then
    check_true "64-bit module in system32" cmp -s "$payload/tavohu64.ime" "$win/system32/tavohu4.ime"
    check_true "32-bit module in syswow64" cmp -s "$payload/tavohu4.ime" "$win/syswow64/tavohu4.ime"
    check_true "64-bit uninstaller in system32" cmp -s "$payload/tvqdel64.exe" "$win/system32/tavodel.exe"
    check_true "no uninstaller in syswow64" test ! -e "$win/syswow64/tavodel.exe"
  else
    # A 32-bit program's system directory; on 64-bit XP that is SysWOW64.
    local sys="$win/system32"
    [ "$is64" = 1 ] && sys="$win/syswow64"
    check_true "module in the system directory" cmp -s "$payload/tavohu4.ime" "$sys/tavohu4.ime"
    check_true "uninstaller in the system directory" cmp -s "$payload/tavodel.exe" "$sys/tavodel.exe"
  fi

  expect_path_file 'windows/tavopath.tvh' 'c:\tavohu\'
  expect_registry_path 'c:\tavohu\'
  if [ "$major" -ge 6 ]; then
    expect_path_file 'tavohu/tavopath.tvh' 'c:\tavohu\'
  fi
  local current='Software\Microsoft\Windows\CurrentVersion'
  e2e_reg HKLM "$current\\Uninstall\\tavoqwb" DisplayName 32
  check_eq "uninstall entry" "$E2E_REG_TEXT" Kelvo
  e2e_reg HKLM "$current\\Run" tvtasjgl 32
  check_eq "Run entry" "$E2E_REG_TEXT" 'c:\tavohu\tavokelv.exe tv'
  check_true "User-Agent token" e2e_reg HKLM "$current\\Internet Settings\\User Agent\\Post Platform" kelv7100 32

  # The companion is started (64-bit Windows 6.x) and writes its log before it ends.
  local log="$dir/launches.log"
  e2e_wait_started_programs
  if [ "$is64" = 1 ] && [ "$major" -ge 6 ]; then
    check_eq "companion started" "$(tr -d '\r' <"$log" 2>/dev/null)" 'c:\tavohu\setupw64.exe regtv32=c:\tavohu\'
  else
    check_true "nothing started" test ! -s "$log"
  fi
}

# A first silent install on a 32-bit machine, with the IME then in the user's preload list (as
# after using it); the old module is then held by a helper program in the given way.
reinstall_over_held_module() {  # hold|load [EXTRA-HELD-NAME]
  e2e_silent_install
  check_eq "first install" "$E2E_EXIT" 0
  local layout
  layout=$(e2e_layouts_with_text "Tavo输入平台  7.1" | head -1)
  check_true "IME layout registered" test -n "$layout"
  wine reg add 'HKCU\Keyboard Layout\Preload' /v 2 /d "$layout" /f >/dev/null 2>&1
  local sys="$WINEPREFIX/drive_c/windows/system32"
  if [ -n "${2:-}" ]; then
    cp "$sys/tavohu4.ime" "$sys/$2"
    e2e_hold hold "C:\\windows\\system32\\$2"
  fi
  e2e_hold "$1" 'C:\windows\system32\tavohu4.ime'
  rm -f "$WINEPREFIX/drive_c/tavohu/kelv1.bmp"
  e2e_silent_install
}

case_reinstall_module_held_open() {
  reinstall_over_held_module hold
  check_eq "exit code" "$E2E_EXIT" 3
  check_eq "message" "$E2E_BOXES" "Tavo安装: 　　你以前安装的Kelvo正在使用，请关闭使用Kelvo的所有窗口，或者重新启动机器后，才能安装新版本的Kelvo！"
  check_true "nothing unpacked" test ! -e "$WINEPREFIX/drive_c/tavohu/kelv1.bmp"
  check_true "the old module stays" cmp -s "$E2E_WIN32/payload/tavohu4.ime" "$WINEPREFIX/drive_c/windows/system32/tavohu4.ime"
}

case_reinstall_module_loaded() {
  reinstall_over_held_module load
  check_eq "exit code" "$E2E_EXIT" 0
  check_eq "message boxes" "$E2E_BOXES" ""
  local sys="$WINEPREFIX/drive_c/windows/system32"
  check_true "moved aside to tavohu2.ime" cmp -s "$E2E_WIN32/payload/tavohu4.ime" "$sys/tavohu2.ime"
  check_true "new module in place" cmp -s "$E2E_WIN32/payload/tavohu4.ime" "$sys/tavohu4.ime"
  check_true "payload unpacked" test -e "$WINEPREFIX/drive_c/tavohu/kelv1.bmp"
}

case_reinstall_module_loaded_aside_name_held() {
  reinstall_over_held_module load tavohu2.ime
  check_eq "exit code" "$E2E_EXIT" 0
  local sys="$WINEPREFIX/drive_c/windows/system32"
  check_true "moved aside to tavohu1.ime" cmp -s "$E2E_WIN32/payload/tavohu4.ime" "$sys/tavohu1.ime"
  check_true "new module in place" cmp -s "$E2E_WIN32/payload/tavohu4.ime" "$sys/tavohu4.ime"
}

case_interactive_first_install_win64() {
  walk_to_directory_page www.unit.cn www.gov.cn || return
  install_and_finish - 1
  local dir="$WINEPREFIX/drive_c/tavohu"
  check_eq "addresses stored" "$(head -2 "$dir/tvnetsj.dat" | tr -d '\r')" $'TVNETURL1=www.unit.cn\nTVNETURL2=www.gov.cn'
  check_true "payload unpacked" cmp -s "$E2E_WIN32/payload/kelv1.bmp" "$dir/kelv1.bmp"
  check_true "64-bit module" cmp -s "$E2E_WIN32/payload/tavohu64.ime" "$WINEPREFIX/drive_c/windows/system32/tavohu4.ime"
  e2e_wait_started_programs
  check_eq "started" "$(tr -d '\r' <"$dir/launches.log")" 'c:\tavohu\setupw64.exe regtv32=c:\tavohu\'
  # Colours where the pages give them: line 0 of the address page's gradient and the welcome
  # picture's corner (both drawn at fixed places of the page painters, so given here as they are),
  # the confirm button's edges (at its box in ui/layout.h).
  local left top right bottom
  read -r left top right bottom <<<"$(e2e_ui kConfirmButton)"
  check_eq "address page line 0" "$(e2e_pixel "$E2E_CASE_DIR/2-address.png" 5 0)" "0,0,250"
  check_eq "confirm frame top (white)" "$(e2e_pixel "$E2E_CASE_DIR/2-address.png" $(((left + right) / 2)) "$top")" \
    "255,255,255"
  check_eq "confirm frame bottom (black)" \
    "$(e2e_pixel "$E2E_CASE_DIR/2-address.png" $(((left + right) / 2)) "$bottom")" "0,0,0"
  check_eq "welcome picture" "$(e2e_pixel "$E2E_CASE_DIR/1-welcome.png" 5 5)" \
    "$(e2e_pixel "$E2E_WIN32/payload/kelv1.bmp" 5 5)"
}

case_interactive_install_win32() {
  walk_to_directory_page || return
  install_and_finish - 0
  check_true "installed" test -e "$WINEPREFIX/drive_c/tavohu/kelv1.bmp"
}

# A reinstall over an earlier install whose user file tvwbpy.txt was changed.
reinstall_keep_data() {  # yes|no
  e2e_add_user_agent_key
  e2e_silent_install
  local dir="$WINEPREFIX/drive_c/tavohu"
  printf 'user phrases\r\n' >>"$dir/tvwbpy.txt"
  cp "$dir/tvwbpy.txt" "$E2E_CASE_DIR/changed.txt"
  walk_to_directory_page || return
  install_and_finish "$1" 1
}

case_interactive_reinstall_keep_yes() {
  reinstall_keep_data yes
  check_true "user file kept" cmp -s "$E2E_CASE_DIR/changed.txt" "$WINEPREFIX/drive_c/tavohu/tvwbpy.txt"
}

case_interactive_reinstall_keep_no() {
  reinstall_keep_data no
  check_true "user file replaced" cmp -s "$E2E_WIN32/payload/tvwbpy.txt" "$WINEPREFIX/drive_c/tavohu/tvwbpy.txt"
}

case_interactive_rejected_path() {
  walk_to_directory_page || return
  type_directory 'c:\a\b\c' || return
  confirm
  e2e_answer_box Tavo ok "$E2E_CASE_DIR/bad-path.png" 30 || E2E_FAILURES+=("no bad-path message")
  check_eq "bad-path message" "$E2E_BOX_TEXT" "Tavo不能安装在你设定的路径下，请重新设定路径！"
  e2e_wait_page directory-field "!field=$(e2e_box kDirectoryFieldBox):c:\a\b\c" || return
  e2e_shot "$E2E_CASE_DIR/corrected.png"
  check_true "nothing under c:\a" test ! -e "$WINEPREFIX/drive_c/a"
  install_and_finish - 1 yes
  local dir="$WINEPREFIX/drive_c/tavohu"
  check_true "installed into c:\tavohu" test -e "$dir/kelv1.bmp"
  # Yes to the sentence library: the main program and then the companion are started, one right
  # after the other; each writes its own line (in whichever order they get to it).
  e2e_wait_started_programs
  check_eq "both started" "$(tr -d '\r' <"$dir/launches.log" | sort)" \
    "$(printf '%s\n' 'c:\tavohu\setupw64.exe regtv32=c:\tavohu\' 'c:\tavohu\tavokelv.exe hu' | sort)"
}

case_interactive_abandon_on_welcome() {
  e2e_open_window || return
  e2e_shot "$E2E_CASE_DIR/welcome.png"
  abandon
  e2e_wait_setup
  check_eq "exit code" "$E2E_EXIT" 0
  # Nothing to keep on a fresh machine: no backup archive is begun, only the administrator test's path file.
  check_eq "files in c:\tavohu" "$(ls "$WINEPREFIX/drive_c/tavohu" | tr '\n' ' ')" "tavopath.tvh "
  check_true "no uninstall entry" bash -c "! wine 'C:\\setup\\e2eprobe.exe' reg HKLM 'Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\tavoqwb' DisplayName 32"
  check_true "no Run entry" bash -c "! wine 'C:\\setup\\e2eprobe.exe' reg HKLM 'Software\\Microsoft\\Windows\\CurrentVersion\\Run' tvtasjgl 32"
}

case_silent_win64_win7_zh_cn() { silent_install 1 6 936; }
case_silent_win64_win7_zh_tw() { silent_install 1 6 950; }
case_silent_win64_winxp_zh_cn() { silent_install 1 5 936; }
case_silent_win64_winxp_zh_tw() { silent_install 1 5 950; }
case_silent_win32_win7_zh_cn() { silent_install 0 6 936; }
case_silent_win32_win7_zh_tw() { silent_install 0 6 950; }
case_silent_win32_winxp_zh_cn() { silent_install 0 5 936; }
case_silent_win32_winxp_zh_tw() { silent_install 0 5 950; }

# Windows 10 answers this program, which declares no newer system in its manifest, as 6.2: the
# same roads as on Windows 7, on today's system.
expect_windows_10() {
  e2e_reg HKLM 'Software\Microsoft\Windows NT\CurrentVersion' ProductName 64
  check_eq "Windows edition" "$E2E_REG_TEXT" "Microsoft Windows 10"
}
case_silent_win64_win10_zh_cn() {
  expect_windows_10
  silent_install 1 6 936
}
case_silent_win64_win10_zh_tw() {
  expect_windows_10
  silent_install 1 6 950
}
case_interactive_first_install_win10() {
  expect_windows_10
  case_interactive_first_install_win64
}

# name template locale ("-": no prefix)
CASES=(
  "program_file - C.UTF-8"
  "payload_resource win32-win7 zh_CN.UTF-8"
  "bench_programs win64-win7 zh_CN.UTF-8"
  "system_entries_win64_zh_cn win64-win7 zh_CN.UTF-8"
  "system_entries_win64_zh_tw win64-win7 zh_TW.UTF-8"
  "system_entries_win32_zh_cn win32-win7 zh_CN.UTF-8"
  "system_entries_win32_zh_tw win32-win7 zh_TW.UTF-8"
  "silent_win64_win7_zh_cn win64-win7 zh_CN.UTF-8"
  "silent_win64_win7_zh_tw win64-win7 zh_TW.UTF-8"
  "silent_win64_winxp_zh_cn win64-winxp zh_CN.UTF-8"
  "silent_win64_winxp_zh_tw win64-winxp zh_TW.UTF-8"
  "silent_win32_win7_zh_cn win32-win7 zh_CN.UTF-8"
  "silent_win32_win7_zh_tw win32-win7 zh_TW.UTF-8"
  "silent_win32_winxp_zh_cn win32-winxp zh_CN.UTF-8"
  "silent_win32_winxp_zh_tw win32-winxp zh_TW.UTF-8"
  "silent_win64_win10_zh_cn win64-win10 zh_CN.UTF-8"
  "silent_win64_win10_zh_tw win64-win10 zh_TW.UTF-8"
  "interactive_first_install_win10 win64-win10 zh_CN.UTF-8"
  "reinstall_module_held_open win32-win7 zh_CN.UTF-8"
  "reinstall_module_loaded win32-win7 zh_CN.UTF-8"
  "reinstall_module_loaded_aside_name_held win32-win7 zh_CN.UTF-8"
  "interactive_first_install_win64 win64-win7 zh_CN.UTF-8"
  "interactive_install_win32 win32-win7 zh_CN.UTF-8"
  "interactive_reinstall_keep_yes win64-win7 zh_CN.UTF-8"
  "interactive_reinstall_keep_no win64-win7 zh_CN.UTF-8"
  "interactive_rejected_path win64-win7 zh_CN.UTF-8"
  "interactive_abandon_on_welcome win64-win7 zh_CN.UTF-8"
  "register_only_win64_win7 win64-win7 zh_CN.UTF-8"
  "register_only_directory_with_blanks win64-win7 zh_CN.UTF-8"
  "register_only_traditional_chinese win64-win7 zh_TW.UTF-8"
  "regtv32_on_32bit_win7 win32-win7 zh_CN.UTF-8"
  "regtv32_on_64bit_winxp win64-winxp zh_CN.UTF-8"
)

# Further groups of cases, each in a file of its own that defines its case functions and adds
# its lines to CASES.
for group in tests/e2e/cases_*.sh; do
  [ -f "$group" ] && source "$group"
done

# Screenshots against those of an earlier run (lib.sh, e2e_compare_reference_shots): with
# E2E_REFERENCE_SHOTS set, every case that has references there is compared after its steps.
if [ -z "${E2E_REFERENCE_SHOTS:-}" ] && [ -z "${E2E_SKIP_WINE:-}" ]; then
  echo "e2e: no reference shots (E2E_REFERENCE_SHOTS not set): screenshots are not compared"
fi

passed=0
failed=0
skipped=0
for entry in "${CASES[@]}"; do
  read -r name template locale <<<"$entry"
  if [ $# -gt 0 ] && [[ ! " $* " == *" $name "* ]]; then continue; fi
  if [ "$template" != - ] && [ -n "${E2E_SKIP_WINE:-}" ]; then
    echo "SKIP $name: $E2E_SKIP_WINE"
    skipped=$((skipped + 1))
    continue
  fi
  started=$(date +%s%N)
  (
    export E2E_CASE_DIR="$E2E_OUT/cases/$name"
    export WINEPREFIX="$E2E_CASE_DIR/prefix"
    export LANG=$locale LC_ALL=$locale
    mkdir -p "$E2E_CASE_DIR"
    if [ "$template" != - ]; then
      e2e_copy_prefix "$E2E_OUT/templates/$template" "$WINEPREFIX"
      e2e_install_programs
    fi
    E2E_FAILURES=()
    "case_$name"
    [ "$template" = - ] || wineserver -k 2>/dev/null
    if [ -n "${E2E_REFERENCE_SHOTS:-}" ] && [ -d "$E2E_REFERENCE_SHOTS/$name" ]; then e2e_compare_reference_shots; fi
    seconds=$(printf '%d.%d' $((($(date +%s%N) - started) / 1000000000)) $((($(date +%s%N) - started) / 100000000 % 10)))
    if [ ${#E2E_FAILURES[@]} -eq 0 ]; then
      echo "PASS $name ($seconds s)"
      # A prefix is hundreds of megabytes: keep only those of failed cases unless asked.
      [ "${E2E_KEEP_PREFIXES:-0}" = 1 ] || rm -rf "$WINEPREFIX"
    else
      echo "FAIL $name ($seconds s)"
      printf '    %s\n' "${E2E_FAILURES[@]}"
      exit 1
    fi
  )
  if [ $? -eq 0 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
done
echo "artefacts: $E2E_OUT/cases"
echo "e2e: $passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
