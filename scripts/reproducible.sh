#!/usr/bin/env bash
# Builds the committed tree twice, in two directories and a little apart in time, and compares
# what a release is made of: the setup program, the packaging tool (both builds) and the sample
# payload with its packed archive. Exit 0 only when every file is byte for byte the same.
#   bash scripts/reproducible.sh [COMMIT]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh
commit=${1:-HEAD}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

build() {  # DIR
  mkdir -p "$1"
  git archive "$commit" | tar -x -C "$1"
  cmake -S "$1" -B "$1/build/host" -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build "$1/build/host" -j"$(nproc)" --target mkicon tvz mkpayload >/dev/null
  cmake --no-warn-unused-cli -S "$1" -B "$1/build/win32" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
    -DCMAKE_BUILD_TYPE=MinSizeRel -DHOST_TOOLS_DIR="$1/build/host/tools" >/dev/null
  cmake --build "$1/build/win32" -j"$(nproc)" --target tavosetup tvz >/dev/null
}

echo "reproducible: building $(git rev-parse --short "$commit") in $work/first"
build "$work/first"
sleep 2
echo "reproducible: building it again in $work/second/tree"
build "$work/second/tree"

compared=0
differ=0
while read -r file; do
  compared=$((compared + 1))
  if ! cmp -s "$work/first/$file" "$work/second/tree/$file"; then
    echo "differs: $file"
    differ=$((differ + 1))
  fi
done < <(cd "$work/first" && { printf '%s\n' build/win32/tavosetup.exe build/win32/tools/tvz.exe \
  build/host/tools/tvz build/win32/generated/payload.tvz; find build/win32/payload -type f | sort; })
echo "reproducible: $compared files compared, $differ differ"
[ "$differ" -eq 0 ]
