# shellcheck shell=bash
# Keyboard layouts and preload lists in a real registry: the IME's own layout key beside another
# IME's, and the promotion to place 2 on Windows 5.x for the current and the default user.
# Sourced by cases.sh after its CASES list.

readonly LAYOUTS_KEY='System\CurrentControlSet\Control\Keyboard Layouts'
readonly USER_PRELOAD='Keyboard Layout\Preload'
readonly DEFAULT_PRELOAD='.DEFAULT\Keyboard Layout\Preload'

# layout_key ID TEXT: a layout key under Keyboard Layouts with its layout text.
layout_key() {
  wine reg add "HKLM\\$LAYOUTS_KEY\\$1" /v 'Layout Text' /d "$2" /f >/dev/null 2>&1
}

# set_preload ROOT KEY IDS...: the preload list of that key is exactly IDS (values 1, 2, ...).
# Wine puts its own keyboard layout at place 1 of the current user's list whenever a program
# starts: user_place_1 tells what is there afterwards.
set_preload() {
  local key="$1\\$2" k=0 id
  shift 2
  wine reg delete "$key" /f >/dev/null 2>&1
  wine reg add "$key" /f >/dev/null 2>&1
  for id in "$@"; do
    k=$((k + 1))
    wine reg add "$key" /v $k /d "$id" /f >/dev/null 2>&1
  done
}

user_place_1() {
  e2e_reg HKCU "$USER_PRELOAD" 1
  printf '%s' "$E2E_REG_TEXT"
}

# preload_list ROOT KEY: the values 1, 2, ... up to the first missing one, separated by blanks.
preload_list() {
  local k=1 list=""
  while e2e_reg "$1" "$2" $k; do
    list+="${list:+ }$E2E_REG_TEXT"
    k=$((k + 1))
  done
  printf '%s' "$list"
}

# A current user with the IME at place 3; the default user's list as given. After the promotion
# the current user's list has the IME at place 2 and the default user's list is checked.
promote_on_winxp() {  # DEFAULT-BEFORE DEFAULT-EXPECTED
  expect_system 936 5
  layout_key 00000804 'Chinese (Simplified) - US Keyboard'
  layout_key 00000409 'US'
  layout_key E0210804 "$IME_TEXT"
  set_preload HKCU "$USER_PRELOAD" 00000804 00000409 e0210804
  # shellcheck disable=SC2086  # the lists are blank-separated identifiers
  set_preload HKU "$DEFAULT_PRELOAD" $1
  local first
  first=$(user_place_1)
  check_eq "sysops promote" "$(e2e_sysops promote | tr '\n' ' ')" "place=3 ok "
  check_eq "current user's list" "$(preload_list HKCU "$USER_PRELOAD")" "$first e0210804 00000409"
  check_eq "default user's list" "$(preload_list HKU "$DEFAULT_PRELOAD")" "$2"
}

case_promote_inserts_into_default_user_list() {
  promote_on_winxp "00000409 00000804" "00000409 e0210804 00000804"
}

case_promote_moves_within_default_user_list() {
  promote_on_winxp "00000409 00000804 00000411 E0210804 e0210804" "00000409 E0210804 00000804 00000411"
}

# Our earlier registration under the other language's number, and another IME holding the number
# it would move to: the other IME's key stays as it is and ours moves on to the next free number,
# taking over its old place in the preload list.
case_layout_beside_other_ime() {
  layout_key E0230404 'Tavo输入平台  6.3'
  layout_key E0230804 'Other IME'
  wine reg add "HKLM\\$LAYOUTS_KEY\\E0230804" /v 'IME file' /d 'OTHER.IME' /f >/dev/null 2>&1
  set_preload HKCU "$USER_PRELOAD" 00000804 e0230404
  local first
  first=$(user_place_1)
  check_eq "sysops layout" "$(e2e_sysops layout)" ok
  e2e_reg HKLM "$LAYOUTS_KEY\\E0230804" 'IME file'
  check_eq "other IME file" "$E2E_REG_TEXT" OTHER.IME
  e2e_reg HKLM "$LAYOUTS_KEY\\E0230804" 'layout text'
  check_eq "other layout text" "$E2E_REG_TEXT" 'Other IME'
  check_true "earlier registration deleted" \
    bash -c "! wine 'C:\\setup\\e2eprobe.exe' reg HKLM '$LAYOUTS_KEY\\E0230404' 'layout text'"
  if e2e_reg HKLM "$LAYOUTS_KEY\\E0240804" 'IME file'; then
    check_eq "IME file" "$E2E_REG_TEXT" TAVOHU4.IME
    e2e_reg HKLM "$LAYOUTS_KEY\\E0240804" 'layout text'
    check_eq "layout text" "$E2E_REG_TEXT" "$IME_TEXT"
  else
    E2E_FAILURES+=("layout key E0240804 missing")
  fi
  check_eq "preload list" "$(preload_list HKCU "$USER_PRELOAD")" "$first e0240804"
}

CASES+=(
  "promote_inserts_into_default_user_list win32-winxp zh_CN.UTF-8"
  "promote_moves_within_default_user_list win32-winxp zh_CN.UTF-8"
  "layout_beside_other_ime win32-winxp zh_CN.UTF-8"
)
