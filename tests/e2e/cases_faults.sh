# Cases where the machine itself gets in the way: a disk that fills up, a file another program
# holds open, an install directory that is a file, a read-only earlier module. Each run ends with
# a clear message and exit code, the machine keeps the IME module that worked before, and a second
# run once the obstacle is gone installs completely. Sourced by cases.sh.

# The system files an install places, by the machine's kind: "PATH-UNDER-DRIVE_C SHIPPED-NAME".
placed_system_files() {
  if [ -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
    printf '%s\n' 'windows/system32/tavohu4.ime tavohu64.ime' 'windows/syswow64/tavohu4.ime tavohu4.ime' \
      'windows/system32/tavodel.exe tvqdel64.exe'
  else
    printf '%s\n' 'windows/system32/tavohu4.ime tavohu4.ime' 'windows/system32/tavodel.exe tavodel.exe'
  fi
}

# Every system file is whole: the shipped bytes, not a piece of them.
expect_working_system_files() {  # WHEN
  local path name
  while read -r path name; do
    check_true "$1: $path as shipped" cmp -s "$E2E_WIN32/payload/$name" "$WINEPREFIX/drive_c/$path"
  done < <(placed_system_files)
}

# No piece of a file in DIR: each file of a payload name has the payload's bytes (but for those
# the install changes in place), each copy made there the bytes of its original.
expect_no_piece_in() {  # DIR WHEN
  local dir=$1 payload="$E2E_WIN32/payload" f name
  for f in "$dir"/*; do
    [ -f "$f" ] || continue
    name=$(basename "$f")
    case "$name" in
      # changed in place by the install, or the user's (earlier_install adds to the phrases)
      setupw64.exe | tavokelv.exe | tvszsj43.tvh | tavo32[01].ime | tavo64[01].ime | tvwbpy.txt) ;;
      tavohu32.ime) check_true "$2: $name whole" cmp -s "$payload/tavohu4.ime" "$f" ;;
      *.tvu) check_true "$2: $name whole" cmp -s "$payload/${name%.tvu}.tv1" "$f" ;;
      *) [ ! -e "$payload/$name" ] || check_true "$2: $name whole" cmp -s "$payload/$name" "$f" ;;
    esac
  done
}

# A complete install in DIR (a directory of the prefix): every payload file but the stubs, the
# dictionaries and modules with their shipped bytes, the system files, the check passed (exit 0).
expect_complete_install() {  # DIR WHEN
  local dir=$1 payload="$E2E_WIN32/payload" name
  check_eq "$2: exit code" "$E2E_EXIT" 0
  check_eq "$2: message boxes" "$E2E_BOXES" ""
  check_eq "$2: payload files missing" "$(e2e_missing_payload_files "$dir")" ""
  for name in tavocyzk.tv1 tavopyck.tv1 kelv1.bmp tavohu4.ime tavohu64.ime; do
    check_true "$2: $name as shipped" cmp -s "$payload/$name" "$dir/$name"
  done
  check_true "$2: tavocyzk.tvu" cmp -s "$payload/tavocyzk.tv1" "$dir/tavocyzk.tvu"
  expect_working_system_files "$2"
}

# A tmpfs of SIZE MiB at $E2E_CASE_DIR/small-disk, drive E: of the prefix; it goes again when
# the case ends, whatever way it ends.
map_small_disk() {  # SIZE-MIB
  SMALL_DISK="$E2E_CASE_DIR/small-disk"
  mkdir -p "$SMALL_DISK"
  if ! mount -t tmpfs -o "size=${1}m" tavo-small-disk "$SMALL_DISK"; then
    E2E_FAILURES+=("could not mount a ${1} MiB tmpfs at $SMALL_DISK (the case needs root)")
    return 1
  fi
  trap 'wineserver -k 2>/dev/null; umount "$SMALL_DISK"' EXIT
  ln -sfn "$SMALL_DISK" "$WINEPREFIX/dosdevices/e:"
}

# Fills the small disk up to KiB free with a file of the user's, small-disk/filler.
fill_small_disk() {  # KIB-LEFT
  local free
  free=$(df -k --output=avail "$SMALL_DISK" | tail -1)
  head -c $(((free - $1) * 1024)) /dev/zero >"$SMALL_DISK/filler"
}

# The user's data of an earlier install on C: and the system files it placed, recorded.
earlier_install() {
  e2e_silent_install
  check_eq "earlier install" "$E2E_EXIT" 0
  printf 'user phrases\r\n' >>"$WINEPREFIX/drive_c/tavohu/tvwbpy.txt"
  cp "$WINEPREFIX/drive_c/tavohu/tvwbpy.txt" "$E2E_CASE_DIR/phrases.txt"
}

expect_earlier_data_kept() {  # WHEN
  check_true "$1: the earlier install's phrases" cmp -s "$E2E_CASE_DIR/phrases.txt" "$WINEPREFIX/drive_c/tavohu/tvwbpy.txt"
}

# The setup's boxes of a failed install: the unpack's first, the incomplete-unpack message, and
# never the completion message.
expect_unpack_failure_told() {  # WHEN
  check_eq "$1: first message" "$(head -1 <<<"$E2E_BOXES" | grep -c '^Tavo安装: 没有成功解压复制')" 1
  check_eq "$1: incomplete-unpack message" "$(grep -c '文件解压不完整' <<<"$E2E_BOXES")" 1
  check_eq "$1: completion message" "$(grep -c '安装完毕' <<<"$E2E_BOXES")" 0
}

# The silent road into E:\tavohu on a disk with too little room: the unpack breaks off with its
# message and exit code 4, and the system keeps its whole modules: no piece of a module written
# before the disk was full is copied there. Once the user frees the room, the same command
# installs completely.
case_small_disk_silent() {
  earlier_install
  map_small_disk 12 || return
  fill_small_disk 2048
  e2e_start_setup 'settvsrf32 /D=E:\tavohu'
  e2e_answer_boxes_until_done 'Tavo安装' 'Tavo(Kelvo)安装' 'Tavo' 'Tavo7.1'
  printf '%s\n' "$E2E_BOXES" >"$E2E_CASE_DIR/boxes-full-disk.txt"
  check_eq "full disk: exit code" "$E2E_EXIT" 4
  expect_unpack_failure_told "full disk"
  expect_no_piece_in "$SMALL_DISK/tavohu" "full disk"
  expect_working_system_files "full disk"
  expect_earlier_data_kept "full disk"

  rm -f "$SMALL_DISK/filler"
  e2e_silent_install  # the stores name E:\tavohu now
  expect_complete_install "$SMALL_DISK/tavohu" "room freed"
  expect_earlier_data_kept "room freed"
}

# The same through the window (a 32-bit machine): the boxes tell the failure, the window never
# says it is done; after freeing room the window installs into the directory it now proposes.
case_small_disk_interactive() {
  earlier_install
  map_small_disk 12 || return
  fill_small_disk 2048
  walk_to_directory_page || return
  type_directory 'E:\tavohu' || return
  confirm
  E2E_QUESTIONS=no e2e_answer_boxes_until_done 'Tavo安装' 'Tavo(Kelvo)安装' 'Tavo' 'Tavo7.1'
  printf '%s\n' "$E2E_BOXES" >"$E2E_CASE_DIR/boxes-full-disk.txt"
  expect_unpack_failure_told "full disk"
  expect_no_piece_in "$SMALL_DISK/tavohu" "full disk"
  expect_working_system_files "full disk"

  rm -f "$SMALL_DISK/filler"
  walk_to_directory_page || return
  local box
  box=$(e2e_box kDirectoryFieldBox)
  e2e_wait_window "the stored directory proposed" "field=$box:E:\\tavohu\\" || return
  install_and_finish - 0
  expect_no_piece_in "$SMALL_DISK/tavohu" "room freed"
  expect_working_system_files "room freed"
  expect_earlier_data_kept "room freed"
}

# A dictionary another program holds open (no delete sharing) in the install directory: the
# unpack cannot replace it and says so; the file, the user's data and the system's module stay.
# Once the program lets go, a second install completes.
case_held_file_in_install_directory() {
  earlier_install
  e2e_hold hold 'C:\tavohu\tavopyck.tv1' || return
  e2e_silent_install
  printf '%s\n' "$E2E_BOXES" >"$E2E_CASE_DIR/boxes-held.txt"
  check_eq "held: exit code" "$E2E_EXIT" 4
  check_eq "held: the message names it" "$(head -1 <<<"$E2E_BOXES")" "Tavo安装: 没有成功解压复制tavopyck.tv1文件！请重新下载安装。"
  expect_unpack_failure_told "held"
  expect_no_piece_in "$WINEPREFIX/drive_c/tavohu" "held"
  expect_working_system_files "held"
  expect_earlier_data_kept "held"

  pkill -f 'e2eprobe.exe hold' || E2E_FAILURES+=("the holding probe was not running")
  e2e_poll 30 "the file let go" bash -c "! pgrep -f '[e]2eprobe.exe hold'" || return
  e2e_silent_install
  expect_complete_install "$WINEPREFIX/drive_c/tavohu" "let go"
  expect_earlier_data_kept "let go"
}

# /D= names a directory where a file of the user's stands: nothing can be unpacked there. The
# exit code says so, the file stays as it was, and the earlier install's modules stay in the
# system; with the file gone, the next run installs there.
case_install_directory_is_a_file() {
  earlier_install
  local c="$WINEPREFIX/drive_c"
  printf 'the user file' >"$c/blocked"
  e2e_start_setup 'settvsrf32 /D=C:\blocked'
  e2e_answer_boxes_until_done 'Tavo安装' 'Tavo(Kelvo)安装' 'Tavo' 'Tavo7.1'
  printf '%s\n' "$E2E_BOXES" >"$E2E_CASE_DIR/boxes-file.txt"
  check_eq "a file: exit code" "$E2E_EXIT" 4
  expect_unpack_failure_told "a file"
  check_eq "a file: the user's file" "$(cat "$c/blocked")" "the user file"
  expect_working_system_files "a file"
  expect_earlier_data_kept "a file"

  rm -f "$c/blocked"
  e2e_silent_install
  expect_complete_install "$c/blocked" "file gone"
}

# Wine run as root writes over a read-only file (it leaves the check to unix permissions, which
# root passes by): COMMAND... runs as an ordinary user (nobody) with a home and the display's key
# of its own, in a prefix handed over to it with as_ordinary_user_prefix.
as_ordinary_user() {
  setpriv --reuid=65534 --regid=65534 --clear-groups env -i PATH="$PATH" HOME="$E2E_CASE_DIR/home" \
    XAUTHORITY="$E2E_CASE_DIR/xauthority" DISPLAY="${DISPLAY:-}" LANG="$LANG" LC_ALL="$LC_ALL" \
    WINEPREFIX="$WINEPREFIX" WINEDEBUG="$WINEDEBUG" WINEDLLOVERRIDES="$WINEDLLOVERRIDES" "$@"
}
as_ordinary_user_prefix() {
  wineserver -k 2>/dev/null
  mkdir -p "$E2E_CASE_DIR/home"
  cp "${XAUTHORITY:-/dev/null}" "$E2E_CASE_DIR/xauthority" && chmod 644 "$E2E_CASE_DIR/xauthority"
  rm -f "$WINEPREFIX/wineserver"  # names root's server, which this user cannot reach
  chown -R 65534:65534 "$WINEPREFIX" "$E2E_CASE_DIR/home"
  trap 'as_ordinary_user wineserver -k 2>/dev/null' EXIT
}

# The earlier install's module and uninstaller were made read-only: the install replaces them
# all the same (it clears the attribute first), and reports success only because it did.
case_read_only_earlier_module() {
  earlier_install
  as_ordinary_user_prefix
  wine() { as_ordinary_user wine "$@"; }  # from here on the setup and the probes run as nobody
  local sys="$WINEPREFIX/drive_c/windows/system32" name
  for name in tavohu4.ime tavodel.exe; do
    printf 'earlier' >>"$sys/$name"
    wine cmd /c attrib +r "C:\\windows\\system32\\$name" >/dev/null 2>&1
    check_eq "$name read-only" "$(stat -c %A "$sys/$name" | tr -cd w)" ""
  done
  if as_ordinary_user test -w "$sys/tavohu4.ime"; then E2E_FAILURES+=("the read-only module writable for the user"); fi
  e2e_silent_install
  expect_complete_install "$WINEPREFIX/drive_c/tavohu" "read-only"
}

CASES+=(
  "small_disk_silent win64-win7 zh_CN.UTF-8"
  "small_disk_interactive win32-win7 zh_CN.UTF-8"
  "held_file_in_install_directory win32-win7 zh_CN.UTF-8"
  "install_directory_is_a_file win64-win7 zh_CN.UTF-8"
  "read_only_earlier_module win32-winxp zh_CN.UTF-8"
)
