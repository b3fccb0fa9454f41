#!/usr/bin/env bash
# Benchmarks, side by side in one run:
#  1. a silent install of ours against an NSIS installer of the same payload (zlib, silent, same
#     directory), each in a fresh 64-bit Windows 7 prefix copied from one template, alternating,
#     with a do-nothing program as the baseline of Wine's own start-up; sizes of both;
#  2. the unpack against its limit (zlib uncompress + one write per file) on the host.
# RUNS (default 5) sets the number of runs of each.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh >/dev/null
command -v makensis >/dev/null || { apt-get update -q >/dev/null; apt-get install -y -q --no-install-recommends nsis >/dev/null; }
source tests/e2e/lib.sh
runs=${RUNS:-5}
out="$PWD/out/bench"
rm -rf "$out"
mkdir -p "$out/stage"

# The peer, from the same files (names in UTF-8 for makensis), and an empty one for its stub size.
for f in build/win32/payload/*; do cp "$f" "$out/stage/$(basename "$f" | iconv -f GBK -t UTF-8)"; done
makensis -V1 -DOUT="$out/peer.exe" -DPAYLOAD="$out/stage" bench/peer.nsi
makensis -V1 -DOUT="$out/stub.exe" -DEMPTY bench/peer.nsi

e2e_make_prefix "$out/template" win64 win7
mkdir -p "$out/template/drive_c/setup"
cp build/win32/tavosetup.exe "$out/peer.exe" build/win32/bench/noop.exe "$out/template/drive_c/setup/"
WINEPREFIX="$out/template" e2e_add_user_agent_key
WINEPREFIX="$out/template" wineserver -w

# One timed run in a fresh copy of the template: seconds, and the number of files installed.
run_once() {  # PROGRAM ARGUMENTS
  local prefix="$out/run"
  rm -rf "$prefix"
  cp -a "$out/template" "$prefix"
  local start end
  start=$(date +%s.%N)
  WINEPREFIX="$prefix" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 wine "C:\\setup\\$1" $2 >/dev/null 2>&1 || true
  WINEPREFIX="$prefix" wineserver -w
  end=$(date +%s.%N)
  echo "$(awk -v a="$start" -v b="$end" 'BEGIN {printf "%.3f", b - a}') $(ls "$prefix/drive_c/tavohu" 2>/dev/null | wc -l)"
}

declare -A times
for i in $(seq "$runs"); do
  for program in noop ours peer; do
    case $program in
      noop) result=$(run_once noop.exe "") ;;
      ours) result=$(run_once tavosetup.exe settvsrf32) ;;
      peer) result=$(run_once peer.exe /S) ;;
    esac
    times[$program]+="${result%% *} "
    files=${result##* }
    if [ "$program" != noop ] && [ "$files" -lt 79 ]; then
      echo "bench: $program installed only $files files" >&2
      exit 1
    fi
  done
done
rm -rf "$out/run"

stats() { tr ' ' '\n' <<<"$1" | grep . | sort -n | awk '{a[NR]=$1} END {printf "%.3f %.3f", a[1], a[int((NR+1)/2)]}'; }
read -r noopMin noopMed <<<"$(stats "${times[noop]}")"
read -r oursMin oursMed <<<"$(stats "${times[ours]}")"
read -r peerMin peerMed <<<"$(stats "${times[peer]}")"
echo "silent install in a fresh 64-bit Windows 7 prefix, $runs runs each (seconds)"
printf '%-32s %8s %8s\n' "" min median
printf '%-32s %8s %8s\n' "do-nothing program (baseline)" "$noopMin" "$noopMed"
printf '%-32s %8s %8s\n' "tavosetup.exe settvsrf32" "$oursMin" "$oursMed"
printf '%-32s %8s %8s\n' "NSIS installer /S" "$peerMin" "$peerMed"
awk -v o="$oursMed" -v p="$peerMed" -v n="$noopMed" \
  'BEGIN {printf "ratio ours/NSIS (median): raw %.3f, without the baseline %.3f (goal <= 0.8)\n", o / p, (o - n) / (p - n)}'

ours=$(stat -c %s build/win32/tavosetup.exe)
payload=$(stat -c %s build/win32/generated/payload.tvz)
echo "sizes (bytes): tavosetup.exe $ours, NSIS installer $(stat -c %s "$out/peer.exe");" \
  "tavosetup.exe without its payload $((ours - payload)), NSIS stub $(stat -c %s "$out/stub.exe")"
echo
echo "unpack against its limit (host):"
build/host/bench/unpack_bench build/win32/generated/payload.tvz 9
