#!/usr/bin/env bash
# Installs everything the build and the tests need (Debian packages). Idempotent and quick when all
# is present: it only calls apt when a needed command or file is missing.
set -euo pipefail

need=()
have_cmd() { command -v "$1" >/dev/null 2>&1; }
have_cmd i686-w64-mingw32-g++ || need+=(g++-mingw-w64-i686)
[ -f /usr/i686-w64-mingw32/lib/libz.a ] || need+=(libz-mingw-w64-dev)
have_cmd wine || need+=(wine wine64)
[ -e /usr/lib/wine/wine ] || [ -d /usr/lib/i386-linux-gnu/wine ] || need+=(wine32:i386)
have_cmd xvfb-run || need+=(xvfb)
have_cmd xdotool || need+=(xdotool)
have_cmd import || need+=(imagemagick)
have_cmd xwininfo || need+=(x11-utils)
[ -d /usr/share/fonts/truetype/wqy ] || need+=(fonts-wqy-zenhei)
[ -f /usr/include/zlib.h ] || need+=(zlib1g-dev)
[ -f /usr/include/libdeflate.h ] || need+=(libdeflate-dev)
have_cmd cmake || need+=(cmake)
have_cmd g++ || need+=(g++)
have_cmd ld || need+=(binutils)
[ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
have_cmd locale-gen || need+=(locales)
have_cmd clang++ || need+=(clang)
ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1 || need+=(libclang-rt-14-dev)

if [ ${#need[@]} -gt 0 ]; then
  echo "bootstrap: installing ${need[*]}"
  export DEBIAN_FRONTEND=noninteractive
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${need[@]}"
fi

# The Chinese locales give Wine its OEM code pages (936 and 950).
if ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$' || ! locale -a 2>/dev/null | grep -qi '^zh_TW.utf8$'; then
  for l in zh_CN.UTF-8 zh_TW.UTF-8; do
    grep -q "^$l UTF-8" /etc/locale.gen 2>/dev/null || echo "$l UTF-8" >> /etc/locale.gen
  done
  locale-gen >/dev/null
fi

# Which way the Wine cases will run: one line.
source "$(dirname "${BASH_SOURCE[0]}")/ia32/check.sh"
ia32_check
case $IA32_RUNS in
  yes) echo "bootstrap: $IA32_REASON: the Wine cases run in 32- and 64-bit Windows prefixes" ;;
  no) echo "bootstrap: $IA32_REASON: Wine cannot run the setup program here, its cases will be skipped" ;;
  *) echo "bootstrap: $IA32_REASON: the Wine cases run as usual" ;;
esac
