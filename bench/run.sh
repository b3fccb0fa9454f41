#!/usr/bin/env bash
# Benchmarks, side by side in one run:
#  1. a silent install of ours against an NSIS installer of the same payload (zlib, silent, same
#     directory), each in a fresh 64-bit Windows 7 prefix copied from one template, alternating,
#     with a do-nothing program as the baseline of Wine's own start-up; then a reinstall of each
#     over its own earlier install, alternating in one prefix with Wine up; sizes of both, and of
#     the payload packed with zlib's compressor and with the tighter one the build uses;
#  2. the unpack against its limit (zlib uncompress + one write per file), on the host and in Wine;
#  3. the memory of a silent install in Wine, and its time by step for a first install and a
#     reinstall;
#  4. the repaint time of each page of the setup window in Wine (under Xvfb).
# RUNS (default 7, at least 5) sets the number of timed installs of each program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh >/dev/null
source scripts/ia32/check.sh
ia32_check
if [ "$IA32_RUNS" = no ]; then
  echo "bench: $IA32_REASON."
  echo "$IA32_HELP"
  exit 2
fi
command -v makensis >/dev/null || { apt-get update -q >/dev/null; apt-get install -y -q --no-install-recommends nsis >/dev/null; }
source tests/e2e/lib.sh
runs=${RUNS:-7}
[ "$runs" -ge 5 ] || runs=5
out="$PWD/out/bench"
rm -rf "$out"
mkdir -p "$out/stage"
export WINEDEBUG=-all

# The peer, from the same files (names in UTF-8 for makensis), and an empty one for its stub size.
for f in build/win32/payload/*; do cp "$f" "$out/stage/$(basename "$f" | iconv -f GBK -t UTF-8)"; done
makensis -V1 -DOUT="$out/peer.exe" -DPAYLOAD="$out/stage" bench/peer.nsi
makensis -V1 -DOUT="$out/stub.exe" -DEMPTY bench/peer.nsi

e2e_make_prefix "$out/template" win64 win7
mkdir -p "$out/template/drive_c/setup"
cp build/win32/tavosetup.exe "$out/peer.exe" build/win32/bench/noop.exe build/win32/bench/wine_bench.exe \
  build/win32/generated/payload.tvz "$out/template/drive_c/setup/"
WINEPREFIX="$out/template" e2e_add_user_agent_key
WINEPREFIX="$out/template" wineserver -w

# A fresh copy of the template for one run, written out to disk first so that the writeback of
# its gigabyte does not run during the timed program.
fresh_prefix() {
  rm -rf "$out/run"
  cp -a "$out/template" "$out/run"
  sync
}

# One timed run in a fresh prefix: seconds until the installer's process ends, seconds until the
# prefix is idle again (every program it started ended, wineserver gone), files installed.
# Cold: the installer is the first program of the prefix, so Wine starts up around it. Warm: Wine
# is up already (its server kept running, a do-nothing program run first and ended).
run_once() {  # cold|warm PROGRAM ARGUMENTS
  fresh_prefix
  export WINEPREFIX="$out/run" LANG=zh_CN.UTF-8
  if [ "$1" = warm ]; then
    wineserver -p
    wine 'C:\setup\noop.exe' >/dev/null 2>&1
    sleep 1
  fi
  local start end idle
  start=$(date +%s.%N)
  wine "C:\\setup\\$2" $3 >/dev/null 2>&1 || true
  end=$(date +%s.%N)
  [ "$1" = cold ] || wineserver -k
  wineserver -w
  idle=$(date +%s.%N)
  unset WINEPREFIX
  awk -v a="$start" -v b="$end" -v c="$idle" -v n="$(ls "$out/run/drive_c/tavohu" 2>/dev/null | wc -l)" \
    'BEGIN {printf "%.3f %.3f %d", b - a, c - a, n}'
}

stats() { tr ' ' '\n' <<<"$1" | grep . | sort -n | awk '{a[NR]=$1} END {printf "%.3f %.3f", a[1], a[int((NR+1)/2)]}'; }

timed_installs() {  # cold|warm
  local mode=$1 program result exitTime idleTime files label lo med idle
  declare -A exits idles medians
  for _ in $(seq "$runs"); do
    for program in noop ours peer; do
      case $program in
        noop) result=$(run_once "$mode" noop.exe "") ;;
        ours) result=$(run_once "$mode" tavosetup.exe settvsrf32) ;;
        peer) result=$(run_once "$mode" peer.exe /S) ;;
      esac
      read -r exitTime idleTime files <<<"$result"
      exits[$program]+="$exitTime "
      idles[$program]+="$idleTime "
      if [ "$program" != noop ] && [ "$files" -lt 79 ]; then
        echo "bench: $program installed only $files files" >&2
        exit 1
      fi
    done
  done
  if [ "$mode" = cold ]; then
    echo "silent install, cold: the first program in a fresh 64-bit Windows 7 prefix; $runs runs each, alternating (s)"
  else
    echo "silent install, warm: a fresh prefix with Wine already up; $runs runs each, alternating (s)"
  fi
  printf '%-32s %10s %10s %14s\n' "" "min" "median" "idle median"
  for program in noop ours peer; do
    read -r lo med <<<"$(stats "${exits[$program]}")"
    read -r _ idle <<<"$(stats "${idles[$program]}")"
    [ "$mode" = cold ] || idle=-  # the warm runs end by stopping Wine's server
    medians[$program]=$med
    case $program in
      noop) label="do-nothing program (baseline)" ;;
      ours) label="tavosetup.exe settvsrf32" ;;
      peer) label="NSIS installer /S" ;;
    esac
    printf '%-32s %10s %10s %14s\n' "$label" "$lo" "$med" "$idle"
  done
  awk -v o="${medians[ours]}" -v p="${medians[peer]}" -v n="${medians[noop]}" \
    'BEGIN {printf "ratio ours/NSIS (median): raw %.3f, without the baseline %.3f (goal <= 0.6)\n", o / p, (o - n) / (p - n)}'
  echo
}

# Reinstalls: one prefix with Wine up, both programs installed once, then each run again over its
# own install, alternating (the peer into a directory of its own, so neither sees the other).
timed_reinstalls() {
  fresh_prefix
  export WINEPREFIX="$out/run" LANG=zh_CN.UTF-8
  wineserver -p
  wine 'C:\setup\tavosetup.exe' settvsrf32 >/dev/null 2>&1 || true
  wine 'C:\setup\peer.exe' /S '/D=C:\tavopeer' >/dev/null 2>&1 || true
  sleep 1
  local program start end
  declare -A times medians
  for _ in $(seq "$runs"); do
    for program in noop ours peer; do
      start=$(date +%s.%N)
      case $program in
        noop) wine 'C:\setup\noop.exe' >/dev/null 2>&1 || true ;;
        ours) wine 'C:\setup\tavosetup.exe' settvsrf32 >/dev/null 2>&1 || true ;;
        peer) wine 'C:\setup\peer.exe' /S '/D=C:\tavopeer' >/dev/null 2>&1 || true ;;
      esac
      end=$(date +%s.%N)
      times[$program]+="$(awk -v a="$start" -v b="$end" 'BEGIN {printf "%.3f", b - a}') "
    done
  done
  wineserver -k
  wineserver -w
  unset WINEPREFIX
  echo "silent reinstall, warm: over the program's own earlier install, one prefix with Wine up; $runs runs each (s)"
  printf '%-32s %10s %10s\n' "" "min" "median"
  for program in noop ours peer; do
    read -r lo med <<<"$(stats "${times[$program]}")"
    medians[$program]=$med
    printf '%-32s %10s %10s\n' "$program" "$lo" "$med"
  done
  awk -v o="${medians[ours]}" -v p="${medians[peer]}" -v n="${medians[noop]}" \
    'BEGIN {printf "ratio ours/NSIS (median): raw %.3f, without the baseline %.3f (goal <= 0.6)\n", o / p, (o - n) / (p - n)}'
  echo
}

timed_installs cold
timed_installs warm
timed_reinstalls
echo "(min, median: until the installer's process ends; idle: until every program it started has"
echo " ended and Wine's server has shut down, about 2 s later)"

ours=$(stat -c %s build/win32/tavosetup.exe)
payload=$(stat -c %s build/win32/generated/payload.tvz)
build/host/tools/tvz pack-zlib "$out/payload-zlib.tvz" build/win32/payload >/dev/null
echo "sizes (bytes): tavosetup.exe $ours, NSIS installer $(stat -c %s "$out/peer.exe");" \
  "tavosetup.exe without its payload $((ours - payload)), NSIS stub $(stat -c %s "$out/stub.exe");" \
  "payload packed with zlib's compressor $(stat -c %s "$out/payload-zlib.tvz"), with the tighter one $payload"

wine_bench() {  # ARGUMENTS...: wine_bench.exe in a fresh prefix
  fresh_prefix
  WINEPREFIX="$out/run" LANG=zh_CN.UTF-8 wine 'C:\setup\wine_bench.exe' "$@" 2>/dev/null | tr -d '\r'
  WINEPREFIX="$out/run" wineserver -w
}
echo
echo "unpack against its limit, host (build/host/bench/unpack_bench):"
build/host/bench/unpack_bench build/win32/generated/payload.tvz 9
echo
echo "unpack against its limit, in Wine (wine_bench.exe unpack):"
wine_bench unpack 'C:\setup\payload.tvz' 'C:\unpack' 9
echo
echo "memory of a silent install in Wine (wine_bench.exe install):"
wine_bench install
echo
echo "the silent road by step in Wine (wine_bench.exe profile): a first install, then one over it:"
fresh_prefix
for _ in 1 2; do
  WINEPREFIX="$out/run" LANG=zh_CN.UTF-8 wine 'C:\setup\wine_bench.exe' profile 2>/dev/null | tr -d '\r'
done
WINEPREFIX="$out/run" wineserver -w
echo
echo "setup window in Wine under Xvfb (wine_bench.exe paint):"
fresh_prefix
WINEPREFIX="$out/run" LANG=zh_CN.UTF-8 xvfb-run -a -s "-screen 0 800x600x24" \
  bash -c "wine 'C:\\setup\\wine_bench.exe' paint 50 2>/dev/null | tr -d '\\r'; wineserver -w"
rm -rf "$out/run" "$out/template"
