# Whether this machine runs 32-bit x86 programs. Wine runs the 32-bit setup program through its
# 32-bit loader, and Wine's WoW64 mode also needs the kernel's 32-bit system call gate, so a kernel
# built or booted without IA-32 emulation runs neither. Sourced by bootstrap.sh, scripts/run.sh and
# the end-to-end runner; ia32_check takes a few milliseconds.
IA32_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# The paragraph for a machine that cannot run the Wine cases.
IA32_HELP="This machine does not run 32-bit x86 programs natively (its kernel refuses them with
\"Exec format error\", or only an emulator runs them, far too slowly), so Wine cannot start the
32-bit setup program, neither through its 32-bit loader nor in its WoW64 mode, which also needs the
kernel's 32-bit system calls. Most x86-64 kernels run them; where the kernel was built with IA-32
emulation but boots without it, the kernel option ia32_emulation=on turns it on (then restart).
Another x86-64 machine whose kernel runs 32-bit programs will do too."

# ia32_check: sets IA32_RUNS to yes (natively), no (the kernel refuses them, or only an emulator
# runs them) or unknown (the check itself could not run: the Wine cases then run as usual, and a
# Wine that fails is a failure), and IA32_REASON to one line. IA32_PROBE names another program to
# run in place of the built-in one (to try the check's answers).
ia32_check() {
  local work probe output rc
  IA32_RUNS=unknown
  work=$(mktemp -d)
  probe=${IA32_PROBE:-$work/probe}
  if [ -z "${IA32_PROBE:-}" ] &&
    ! { as --32 -o "$work/probe.o" "$IA32_DIR/probe.S" && ld -m elf_i386 -s -o "$probe" "$work/probe.o"; } 2>/dev/null; then
    IA32_REASON="the 32-bit check program could not be built (as, ld)"
    rm -rf "$work"
    return
  fi
  rc=0
  output=$("$probe" 2>&1) || rc=$?
  rm -rf "$work"
  case $rc in
    0)
      IA32_RUNS=yes
      IA32_REASON="32-bit x86 programs run natively" ;;
    3)
      IA32_RUNS=no
      IA32_REASON="32-bit x86 programs run only through an emulator (binfmt_misc), far too slow for Wine" ;;
    126)
      if [[ $output == *"Exec format error"* ]]; then
        IA32_RUNS=no
        IA32_REASON="the kernel runs no 32-bit x86 programs (\"Exec format error\")"
      else
        IA32_REASON="the 32-bit check program did not start: ${output##*: }"
      fi ;;
    *)
      IA32_REASON="the 32-bit check program ended with $rc" ;;
  esac
}
