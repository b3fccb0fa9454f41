#!/usr/bin/env bash
# Runs every end-to-end case of the real setup program in Wine under a virtual display. One
# template prefix per (arch, Windows version) is made per run (64-bit and 32-bit Windows 7 and
# XP, 64-bit Windows 10); each case copies its own.
set -uo pipefail
cd "$(dirname "$0")/../.."
source tests/e2e/lib.sh || exit 1
export E2E_OUT="${E2E_OUT:-$PWD/out/e2e}"
rm -rf "$E2E_OUT"
mkdir -p "$E2E_OUT/templates"

if [ ! -f "$E2E_WIN32/tavosetup.exe" ]; then
  echo "build/win32/tavosetup.exe missing: run scripts/build.sh first"
  exit 1
fi

# A machine that runs no 32-bit x86 programs cannot run the setup program in Wine: every case
# that needs a prefix is listed as skipped with the reason, the others run.
source scripts/ia32/check.sh
ia32_check
if [ "$IA32_RUNS" = no ]; then
  E2E_SKIP_WINE="$IA32_REASON" bash tests/e2e/cases.sh "$@"
  exit
fi

echo "e2e: making template prefixes"
# E2E_TEMPLATES narrows the templates made, for a run of a few cases.
templates=${E2E_TEMPLATES:-win64-win7 win32-win7 win64-winxp win32-winxp win64-win10}
for t in $templates; do
  e2e_make_prefix "$E2E_OUT/templates/$t" "${t%%-*}" "${t#*-}" &
done
wait
for t in $templates; do
  if [ ! -f "$E2E_OUT/templates/$t/system.reg" ]; then
    echo "e2e: could not make the $t prefix"
    exit 1
  fi
done

e2e_on_display bash tests/e2e/cases.sh "$@"
status=$?
[ "${E2E_KEEP_PREFIXES:-0}" = 1 ] || rm -rf "$E2E_OUT/templates"
exit $status
