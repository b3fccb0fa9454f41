#!/bin/sh
# tvz extract over a directory where entry names are already taken by links to files outside
# it: the links must be replaced by the entries, and nothing outside may change or appear.
#   tvz_extract_links.sh TVZ WORKDIR
set -eu
tvz=$1
work=$2
rm -rf "$work"
mkdir -p "$work/in" "$work/out"

printf 'entry a\n' > "$work/in/a.txt"
printf 'entry b\n' > "$work/in/b.txt"
printf 'entry c\n' > "$work/in/c.txt"
"$tvz" pack "$work/x.tvz" "$work/in" > /dev/null

printf 'outside\n' > "$work/outside.txt"
ln -s ../outside.txt "$work/out/a.txt"        # to a file outside
ln -s ../missing.txt "$work/out/b.txt"        # to nowhere: following it would create a file
ln "$work/outside.txt" "$work/out/c.txt"      # another name of the file outside
ln -s ../outside.txt "$work/out/~tvz0.tmp"    # where the tool may put its own fresh file

"$tvz" extract "$work/x.tvz" "$work/out"

fail=0
for name in a b c; do
  if [ -L "$work/out/$name.txt" ] || ! [ -f "$work/out/$name.txt" ]; then
    echo "FAIL: out/$name.txt is not a regular file"
    fail=1
  elif ! cmp -s "$work/in/$name.txt" "$work/out/$name.txt"; then
    echo "FAIL: out/$name.txt does not hold the entry's bytes"
    fail=1
  fi
done
if [ "$(cat "$work/outside.txt")" != "outside" ]; then
  echo "FAIL: the file outside was written: $(cat "$work/outside.txt")"
  fail=1
fi
if [ -e "$work/missing.txt" ]; then
  echo "FAIL: a file appeared outside the directory"
  fail=1
fi
if ! [ -L "$work/out/~tvz0.tmp" ]; then
  echo "FAIL: a link in the directory that is no entry was replaced"
  fail=1
fi
if [ "$(ls "$work/out" | wc -l)" -ne 4 ]; then
  echo "FAIL: out holds other files:" $(ls "$work/out")
  fail=1
fi
exit $fail
