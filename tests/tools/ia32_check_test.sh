#!/usr/bin/env bash
# The 32-bit check's answers, with stand-ins for its program: a program the kernel cannot run on
# any machine (an ELF file for another processor: "Exec format error"), one that says an emulator
# answered, one that says it ran natively, and one that cannot be started for another reason.
# Then the check's own program, whose answer on this machine must be one of the three.
#   ia32_check_test.sh WORKDIR
set -u
work=$1
rm -rf "$work"
mkdir -p "$work"
source "$(dirname "$0")/../../scripts/ia32/check.sh"
failures=0
expect() {  # WHAT RUNS REASON-PATTERN
  if [ "$IA32_RUNS" != "$2" ] || [[ $IA32_REASON != $3 ]]; then
    echo "FAIL $1: got $IA32_RUNS ($IA32_REASON), expected $2 ($3)"
    failures=$((failures + 1))
  fi
}

# An ELF header for an ARM processor, 32-bit: no x86 kernel runs it.
printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\050\000\001\000\000\000' >"$work/foreign"
head -c 100 /dev/zero >>"$work/foreign"
chmod +x "$work/foreign"
printf '#!/bin/sh\nexit 3\n' >"$work/emulated"
printf '#!/bin/sh\nexit 0\n' >"$work/native"
printf '#!/bin/sh\nexit 0\n' >"$work/not-executable"
chmod +x "$work/emulated" "$work/native"

IA32_PROBE=$work/foreign ia32_check
expect "a program the kernel refuses" no '*"Exec format error"*'
IA32_PROBE=$work/emulated ia32_check
expect "an emulator answering" no '*emulator*'
IA32_PROBE=$work/native ia32_check
expect "a native answer" yes '*natively*'
IA32_PROBE=$work/not-executable ia32_check
expect "a program that cannot be started for another reason" unknown '*did not start*'
IA32_PROBE=$work/missing ia32_check
expect "a program that is not there" unknown '*ended with 127*'

ia32_check
case $IA32_RUNS in
  yes | no) echo "this machine: $IA32_REASON" ;;
  *) echo "FAIL the check's own program: $IA32_REASON"; failures=$((failures + 1)) ;;
esac
[ "$failures" -eq 0 ]
