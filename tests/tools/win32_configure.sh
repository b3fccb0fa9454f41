#!/bin/sh
# The Windows tree as a packager configures it by hand: without a build type it takes the release
# settings, it says which payload it packs, and an empty PAYLOAD_DIR goes back to the sample one
# after another payload was named.
#   win32_configure.sh SOURCE_DIR HOST_TOOLS_DIR WORKDIR
set -u
src=$1 tools=$2 work=$3
command -v i686-w64-mingw32-g++ > /dev/null || { echo "no mingw-w64 compiler: skipped"; exit 77; }
rm -rf "$work"
mkdir -p "$work/other"
fail=0
configure() {
  cmake --no-warn-unused-cli -S "$src" -B "$work/tree" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-i686.cmake" \
    -DHOST_TOOLS_DIR="$tools" "$@" > "$work/out" 2>&1 || { echo "FAIL: configure $*: $(cat "$work/out")"; fail=1; }
}
configure -DPAYLOAD_DIR="$work/other"
grep -q '^CMAKE_BUILD_TYPE:STRING=MinSizeRel$' "$work/tree/CMakeCache.txt" ||
  { echo "FAIL: no release settings: $(grep '^CMAKE_BUILD_TYPE' "$work/tree/CMakeCache.txt")"; fail=1; }
grep -q "^-- The setup carries the payload $work/other\$" "$work/out" || { echo "FAIL: the payload named is not told"; fail=1; }
configure
grep -q "^-- The setup carries the payload $work/other\$" "$work/out" || { echo "FAIL: the payload named before is not told"; fail=1; }
configure -DPAYLOAD_DIR=
grep -q "^-- The setup carries the payload $work/tree/payload\$" "$work/out" ||
  { echo "FAIL: an empty PAYLOAD_DIR does not go back to the sample: $(grep carries "$work/out")"; fail=1; }
configure -DCMAKE_BUILD_TYPE=Debug
grep -q '^CMAKE_BUILD_TYPE:STRING=Debug$' "$work/tree/CMakeCache.txt" || { echo "FAIL: a build type asked for is not kept"; fail=1; }
rm -rf "$work"
[ "$fail" -eq 0 ] && echo "win32 configure: all good"
exit "$fail"
