#!/bin/sh
# tvz asked for help, and given the mistakes a packager makes by hand: help goes to standard
# output with exit 0; every mistake ends with one line on standard error that names the file, and
# never with an abort.
#   tvz_usage.sh TVZ WORKDIR
set -u
tvz=$1
work=$2
rm -rf "$work"
mkdir -p "$work/in" "$work/in2"
printf 'entry a\n' > "$work/in/a.txt"
printf 'entry b\n' > "$work/in2/b.txt"
fail=0

for asked in help --help -h; do
  out=$("$tvz" $asked 2>/dev/null); rc=$?
  [ "$rc" -eq 0 ] || { echo "FAIL: tvz $asked ended with $rc"; fail=1; }
  for command in pack pack-zlib list verify extract; do
    printf '%s\n' "$out" | grep -q "^  tvz $command " || { echo "FAIL: tvz $asked tells nothing of $command"; fail=1; }
  done
  printf '%s\n' "$out" | grep -q 'Example: tvz pack ' || { echo "FAIL: tvz $asked gives no example"; fail=1; }
done

"$tvz" pack "$work/x.tvz" "$work/in" > /dev/null || { echo "FAIL: the sample does not pack"; fail=1; }
printf 'a file\n' > "$work/plain"

# mistake | the name the message must carry
check() {
  what=$1 name=$2
  shift 2
  "$@" > "$work/stdout" 2> "$work/stderr"
  rc=$?
  if [ "$rc" -ne 1 ] && [ "$rc" -ne 2 ]; then echo "FAIL: $what: exit code $rc"; fail=1; fi
  if grep -q 'terminate called\|Aborted' "$work/stderr"; then echo "FAIL: $what: aborted"; fail=1; fi
  if [ "$(wc -l < "$work/stderr")" -ne 1 ]; then echo "FAIL: $what: not one line: $(cat "$work/stderr")"; fail=1; fi
  grep -q "$name" "$work/stderr" || { echo "FAIL: $what: the message names no $name: $(cat "$work/stderr")"; fail=1; }
}
check "a directory as the archive to list" in "$tvz" list "$work/in"
check "a directory as the archive to verify" in "$tvz" verify "$work/in"
check "two directories to pack" in "$tvz" pack "$work/y.tvz" "$work/in" "$work/in2"
check "extract into a file" plain "$tvz" extract "$work/x.tvz" "$work/plain/sub"
check "a missing archive" missing.tvz "$tvz" list "$work/missing.tvz"
"$tvz" unpack "$work/x.tvz" > /dev/null 2> "$work/stderr"
[ $? -eq 2 ] && grep -q -- '--help' "$work/stderr" || { echo "FAIL: an unknown command: $(cat "$work/stderr")"; fail=1; }

out=$("$tvz" extract "$work/x.tvz" "$work/out")
[ "$out" = "$work/out: 1 files written" ] || { echo "FAIL: extract says: $out"; fail=1; }

[ "$fail" -eq 0 ] && echo "tvz usage: all good"
exit "$fail"
