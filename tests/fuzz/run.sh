#!/usr/bin/env bash
# Fuzzes the archive reader for FUZZ_SECONDS (default 30) from a corpus seeded with the sample
# payload's skin archives and a small archive of payload files. A long run:
#   FUZZ_SECONDS=3600 bash tests/fuzz/run.sh
# Findings are written to build/fuzz/findings/.
set -uo pipefail
cd "$(dirname "$0")/../.."
seconds=${FUZZ_SECONDS:-30}
cmake -S . -B build/fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DTAVO_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 1
cmake --build build/fuzz -j"$(nproc)" --target archive_fuzz >/dev/null || exit 1

corpus=build/fuzz/corpus
mkdir -p "$corpus" build/fuzz/findings
cp build/win32/payload/*.tvz "$corpus/" 2>/dev/null
build/host/tools/tvz pack "$corpus/small.tvz" build/win32/payload/tvszsj43.tvh build/win32/payload/tavoban.txt \
  build/win32/payload/tvver.txt >/dev/null

log=build/fuzz/last.log
build/fuzz/archive_fuzz "$corpus" -max_total_time="$seconds" -max_len=65536 -print_final_stats=1 \
  -artifact_prefix=build/fuzz/findings/ >"$log" 2>&1
rc=$?
grep -E '^Done|stat::number_of_executed_units' "$log" | head -2
if [ $rc -eq 0 ]; then
  echo "fuzz: 1 passed, 0 failed"
else
  tail -30 "$log"
  echo "fuzz: 0 passed, 1 failed"
fi
exit $rc
