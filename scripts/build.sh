#!/usr/bin/env bash
# Builds both trees: build/host (logic, fake platform, unit tests, build tools) and build/win32
# (the setup program build/win32/tavosetup.exe and the Wine test probe).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh
jobs=$(nproc)
cmake -S . -B build/host -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/host -j"$jobs"
# The payload is the directory PAYLOAD_DIR names in the environment, or the sample one: never one
# an earlier configuration left in the cache.
cmake --no-warn-unused-cli -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=MinSizeRel \
  -DHOST_TOOLS_DIR="$PWD/build/host/tools" -DPAYLOAD_DIR="${PAYLOAD_DIR:-}" | grep '^-- The setup carries'
# A build that fails leaves no setup of an earlier build under the name of its result.
rm -f build/win32/tavosetup.exe
cmake --build build/win32 -j"$jobs"
echo "built: build/win32/tavosetup.exe"
