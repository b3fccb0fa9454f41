# Cases where the setup is ended in the middle of its work, as Task Manager or a forced restart
# ends it: a silent reinstall over the user's work is killed the moment its log announces a step.
# Right after, the system directories hold a whole module; the next run installs completely and
# the user's work is all there. Sourced by cases.sh; the helpers of cases_faults.sh and
# cases_user_data.sh are there too.

# Fresh files a cut-off run may leave beside their targets; none may stay after a whole run.
expect_no_fresh_files() {  # WHEN
  local left
  left=$(find "$WINEPREFIX/drive_c/tavohu" "$WINEPREFIX/drive_c/windows" -maxdepth 2 -iname '*.new' 2>/dev/null)
  check_eq "$1: fresh files left" "$left" ""
}

# Every system file whole right after a kill: the shipped module or uninstaller, or, between the
# setup's two passes, the version-stamped stub the registration reads (its size; the stamp
# changes a few of its bytes) - never a piece of either.
expect_whole_system_files() {  # WHEN
  local path name stub file
  while read -r path name; do
    file="$WINEPREFIX/drive_c/$path"
    case "$path" in
      windows/system32/tavohu4.ime) stub=tavo640.ime ;;
      windows/syswow64/tavohu4.ime) stub=tavo320.ime ;;
      *) stub="" ;;
    esac
    if cmp -s "$E2E_WIN32/payload/$name" "$file"; then continue; fi
    check_true "$1: $path whole (the shipped file${stub:+ or the stamped $stub})" \
      test -n "$stub" -a "$(stat -c %s "$file" 2>/dev/null)" = "$(stat -c %s "$E2E_WIN32/payload/$stub")"
  done < <(placed_system_files)
}

# The install over the user's work killed when the log holds TEXT (a step that has begun).
silent_reinstall_killed_at() {  # TEXT
  e2e_silent_install
  check_eq "first install" "$E2E_EXIT" 0
  e2e_wait_started_programs
  local dir="$WINEPREFIX/drive_c/tavohu" report
  work_in_the_install "$dir"

  e2e_start_setup 'settvsrf32 /LOG=C:\cut.log'
  e2e_setup_id || return
  report=$(e2e_probe kill "$E2E_SETUP_ID" 'C:\cut.log' "$1" 60)
  check_eq "killed at \"$1\"" "$report" killed
  e2e_wait_setup
  cp "$WINEPREFIX/drive_c/cut.log" "$E2E_CASE_DIR/cut.log" 2>/dev/null
  expect_whole_system_files "right after the kill"

  e2e_silent_install
  expect_complete_install "$dir" "the next run"
  expect_the_users_work_kept "$dir"
  expect_no_fresh_files "the next run"
  check_true "no record of the restore left" \
    bash -c "! wine 'C:\\setup\\e2eprobe.exe' reg HKLM 'Software\\tavowb' restore 32 >/dev/null 2>&1"
}

# During the unpack: the payload's files are going over the user's.
case_killed_during_the_unpack() { silent_reinstall_killed_at "record the restore of the user's data under way"; }
# During the restore: the payload's files lie over the user's, theirs are going back.
case_killed_during_the_restore() { silent_reinstall_killed_at "unpack the payload into"; }
# During the copies into system32 and syswow64 (64-bit Windows).
case_killed_during_the_system_copies() { silent_reinstall_killed_at "(stamped) -> "; }

CASES+=(
  "killed_during_the_unpack win64-win7 zh_CN.UTF-8"
  "killed_during_the_restore win64-win7 zh_CN.UTF-8"
  "killed_during_the_system_copies win64-win7 zh_CN.UTF-8"
)
