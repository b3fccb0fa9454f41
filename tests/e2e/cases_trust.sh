# Cases where an ordinary user of the machine plays against the setup, which runs with
# administrator rights, through the install directory every user can write to; and where the
# install breaks off and the machine must keep the module and the stores that work. Sourced by
# cases.sh; the helpers of the other groups (cases_faults.sh) are there too.

# On a 64-bit reinstall a user puts programs of their own under the names the setup copies into
# the system directory and starts, and holds them open so that the unpack cannot replace them.
# The unpack says so (exit 4); nothing of theirs reaches the system directory, and the companion
# that is not the setup's own is not started but reported like a failed copy.
case_planted_held_programs_are_neither_placed_nor_started() {
  earlier_install
  e2e_wait_started_programs
  local dir="$WINEPREFIX/drive_c/tavohu" name
  rm -f "$dir/launches.log"
  # Any program but the one shipped under the name: the uninstaller's stand-in also writes
  # launches.log when it runs.
  for name in tavohu64.ime tvqdel64.exe setupw64.exe; do
    cp "$E2E_WIN32/payload/tavodel.exe" "$dir/$name"
    printf 'PLANTED' >>"$dir/$name"
    e2e_hold hold "C:\\tavohu\\$name" || return
  done
  e2e_silent_install
  printf '%s\n' "$E2E_BOXES" >"$E2E_CASE_DIR/boxes-planted.txt"
  e2e_wait_started_programs
  pkill -f 'e2eprobe.exe hold'
  check_eq "exit code" "$E2E_EXIT" 4
  expect_unpack_failure_told "planted"
  expect_working_system_files "planted"
  check_eq "the planted companion not started" "$(grep -c 'setupw64' "$dir/launches.log" 2>/dev/null)" 0
  check_eq "its start reported like a failed copy" \
    "$(grep -c '^Tavo(Kelvo)安装: 没有成功复制c:\\tavohu\\setupw64.exe文件' <<<"$E2E_BOXES")" 1
}

# Windows XP with the product's layout in the preload list: /D= names a drive that is not there,
# so the unpack breaks off. The working module stays in the system directory, and the stores keep
# naming the directory that works; the next plain run installs there completely.
case_broken_off_unpack_keeps_module_and_stores() {
  earlier_install
  check_true "the layout in the preload list" \
    bash -c "wine reg query 'HKCU\\Keyboard Layout\\Preload' 2>/dev/null | grep -qi 'e0..0804'"
  e2e_silent_install '/D=q:\tavohu'
  printf '%s\n' "$E2E_BOXES" >"$E2E_CASE_DIR/boxes-no-drive.txt"
  check_eq "exit code" "$E2E_EXIT" 4
  expect_working_system_files "no drive"
  expect_path_file 'windows/tavopath.tvh' 'c:\tavohu\'
  expect_registry_path 'c:\tavohu\'
  expect_earlier_data_kept "no drive"

  e2e_silent_install
  expect_complete_install "$WINEPREFIX/drive_c/tavohu" "next run"
}

# The programs and modules in the install directory get an access list of their own: the system
# and the administrators may do anything with them, the users read and run them, nobody else may
# change them; the data files keep what the directory gives them. The access lists as Windows
# reports them land in acl.txt.
case_programs_are_left_to_users_to_run_only() {
  e2e_silent_install
  check_eq "exit code" "$E2E_EXIT" 0
  local program module data
  program=$(e2e_probe acl 'C:\tavohu\tavokelv.exe')
  module=$(e2e_probe acl 'C:\tavohu\tavohu64.ime')
  data=$(e2e_probe acl 'C:\tavohu\tavocyzk.tv1')
  printf '%s\n' "tavokelv.exe $program" "tavohu64.ime $module" "tavocyzk.tv1 $data" >"$E2E_CASE_DIR/acl.txt"
  local name list
  for name in program module; do
    list=${!name}
    check_true "$name: access list read" grep -q '^dacl=D:' <<<"$list"
    # Each entry for everyone, the signed-in users or the users grants reading and running only.
    check_eq "$name: no change for ordinary users" \
      "$(grep -Eo '\(A;[^;]*;[^;]*;;;(WD|AU|BU)\)' <<<"$list" | grep -Evc ';(0x1200a9|FRFX|FXFR);')" 0
  done
  check_true "the data file's access list is the directory's" test "$program" != "$data"
}

# Hard links planted in the install directory under names the setup writes, to files of someone
# else's: the reinstall removes each link (never the file it names) and writes a file of its own.
case_hard_links_are_never_written_through() {
  earlier_install
  local c="$WINEPREFIX/drive_c" name
  mkdir -p "$c/victims"
  for name in tvnetsj.dat tavohu32.ime tavokelv.exe tavocyzk.tvu; do
    printf 'someone else %s' "$name" >"$c/victims/$name"
    ln -f "$c/victims/$name" "$c/tavohu/$name"
  done
  e2e_silent_install
  check_eq "exit code" "$E2E_EXIT" 0
  for name in tvnetsj.dat tavohu32.ime tavokelv.exe tavocyzk.tvu; do
    check_eq "$name: the other file" "$(cat "$c/victims/$name")" "someone else $name"
    check_eq "$name: a file of its own" "$(stat -c %h "$c/tavohu/$name")" 1
  done
  check_true "tavokelv.exe as shipped" cmp -s "$E2E_WIN32/payload/tavokel6.exe" "$c/tavohu/tavokelv.exe"
}

# A directory that is a link to another folder (here a symbolic link, which Windows reports as a
# reparse point) is refused after /D= like a malformed path: nothing lands in the folder.
case_linked_directory_is_refused() {
  local c="$WINEPREFIX/drive_c"
  mkdir -p "$c/elsewhere"
  ln -s "$c/elsewhere" "$c/linked"
  e2e_silent_install '/D=C:\linked'
  check_eq "exit code" "$E2E_EXIT" 7
  check_eq "nothing in the folder it points to" "$(ls -A "$c/elsewhere")" ""
}

CASES+=(
  "hard_links_are_never_written_through win64-win7 zh_CN.UTF-8"
  "linked_directory_is_refused win32-win7 zh_CN.UTF-8"
  "programs_are_left_to_users_to_run_only win64-win7 zh_CN.UTF-8"
  "planted_held_programs_are_neither_placed_nor_started win64-win7 zh_CN.UTF-8"
  "broken_off_unpack_keeps_module_and_stores win32-winxp zh_CN.UTF-8"
)
