#!/bin/sh
# tvz given the bad inputs a packager meets, command by command: each ends with exit code 1 and one
# line on standard error that names the file and says the reason in words, never with an abort.
# File names are made from raw bytes here, as a build machine holds them.
#   tvz_faults.sh TVZ WORKDIR
set -u
tvz=$1
work=$2
LC_ALL=C
export LC_ALL
rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1
fail=0
esc=$(printf '\033')

# what | the file the message names | its reason | the command
check() {
  what=$1 file=$2 reason=$3
  shift 3
  "$@" > stdout 2> stderr
  rc=$?
  [ "$rc" -eq 1 ] || { echo "FAIL: $what: exit code $rc"; fail=1; }
  if grep -q 'terminate called\|Aborted\|Sanitizer' stderr; then echo "FAIL: $what: aborted"; fail=1; fi
  [ "$(wc -l < stderr)" -eq 1 ] || { echo "FAIL: $what: not one line: $(cat stderr)"; fail=1; }
  grep -q "^tvz: " stderr || { echo "FAIL: $what: no tvz: at the start: $(cat stderr)"; fail=1; }
  grep -qF -- "$file" stderr || { echo "FAIL: $what: the message names no $file: $(cat stderr)"; fail=1; }
  grep -qF -- "$reason" stderr || { echo "FAIL: $what: the message does not say \"$reason\": $(cat stderr)"; fail=1; }
  if grep -qF "$esc" stdout stderr; then echo "FAIL: $what: a raw ESC byte in the output"; fail=1; fi
}

# The names in the first column of the last list (its header and summary line aside).
listed_are() {
  what=$1 expected=$2
  names=$(sed '1d;$d' stdout | awk '{ printf "%s%s", sep, $1; sep = " " }')
  [ "$names" = "$expected" ] || { echo "FAIL: $what: listed \"$names\", not \"$expected\""; fail=1; }
}

# The packed length of entry NAME in a list of a whole archive.
packed_of() { "$tvz" list x.tvz | awk -v name="$1" '$1 == name { print $2 }'; }

# ---- pack

mkdir in in/sub
printf 'alpha\n' > in/a.txt
printf 'beta beta beta\n' > in/b.txt
printf 'gamma\n' > in/c.txt
printf 'escape\n' > in/esc.txt
out=$("$tvz" pack x.tvz in); rc=$?
[ "$rc" -eq 0 ] || { echo "FAIL: a directory with a subdirectory does not pack: $rc"; fail=1; }
printf '%s\n' "$out" | grep -qx 'left out (a directory): sub' || { echo "FAIL: the subdirectory is not named: $out"; fail=1; }
"$tvz" list x.tvz > stdout 2> stderr || { echo "FAIL: the packed archive does not list"; fail=1; }
listed_are "the packed directory" "a.txt b.txt c.txt esc.txt"

# Each row a directory of one file, its name given as printf bytes, and its path as the message
# shows it; the size is given to truncate, so that a large file is sparse and reading it would
# show in the time taken.
#   directory ; name bytes ; path shown ; size ; reason
while IFS=';' read -r dir name shown size reason; do
  mkdir "$dir"
  truncate -s "$size" "$dir/$(printf "$name")"
  start=$(date +%s%N)
  check "pack $dir" "$(printf "$shown")" "$reason" "$tvz" pack y.tvz "$dir"
  ms=$(( ($(date +%s%N) - start) / 1000000 ))
  [ "$ms" -lt 1000 ] || { echo "FAIL: pack $dir: took $ms ms, as if it read the file"; fail=1; }
  [ -e y.tvz ] && { echo "FAIL: pack $dir: an archive was written"; fail=1; rm -f y.tvz; }
done <<'ROWS'
utf8;\350\257\264\346\230\216.txt;utf8/\350\257\264\346\230\216.txt;10;a UTF-8 name
utf8_short;\303\251.txt;utf8_short/\303\251.txt;10;convmv -f utf8 -t gbk
not_gbk;a\200b.txt;not_gbk/a\\x80b.txt;10;byte 0x80 at offset 1 of the name is no character of GBK
lead_alone;ab\201;lead_alone/ab\\x81;10;byte 0x81 at offset 2
gbk_bar;\201|.txt;gbk_bar/\201|.txt;10;not a bare file name
control;a\033b.txt;control/a\\x1Bb.txt;10;not a bare file name
blank_end;ab.txt ;"blank_end/ab.txt ";10;not a bare file name
backslash;a\\b.txt;backslash/a\\\\b.txt;10;not a bare file name
long;abcdefghijklm.txt;long/abcdefghijklm.txt;10;name longer than 12 bytes
sparse;big.bin;sparse/big.bin;3G;3221225472 bytes, more than the setup's data area of 2097052 bytes
over_by_one;edge.bin;over_by_one/edge.bin;2097053;2097053 bytes, more than the setup's data area
skin;s.tvz;skin/s.tvz;131073;131073 bytes, but the setup loads only the first 131072 bytes of a skin
empty;e.txt;empty/e.txt;0;0 bytes
ROWS
# A GBK character whose second byte is '|' is one character: shown whole, not cut at the '|'.
check "pack gbk_bar" "$(printf 'gbk_bar/\201|.txt')" "not a bare file name" "$tvz" pack y.tvz gbk_bar
if grep -qF '\x81' stderr; then echo "FAIL: a GBK character shown cut in two: $(cat stderr)"; fail=1; fi

check "pack two directories" in "a directory; pack takes one directory, or files" "$tvz" pack y.tvz in in/sub
check "pack a missing file" nothere.txt "cannot read it" "$tvz" pack y.tvz in/a.txt nothere.txt
check "pack into a directory" in/sub "cannot write it" "$tvz" pack in/sub in/a.txt

# Limits and names a file may have.
mkdir fits
truncate -s 2097052 fits/edge.bin
truncate -s 131072 fits/s.tvz
printf 'gbk' > "fits/$(printf '\313\265\303\367').txt"
"$tvz" pack fits.tvz fits > stdout 2> stderr || { echo "FAIL: files at the limits, a GBK name: $(cat stderr)"; fail=1; }
"$tvz" list fits.tvz > stdout 2> /dev/null
grep -qF "$(printf '\313\265\303\367').txt" stdout || { echo "FAIL: the GBK name is not listed as it is"; fail=1; }

# ---- list and verify

size=$(wc -c < x.tvz)
p1=$(packed_of a.txt)
p2=$(packed_of b.txt)
at2=$((10 + 20 + p1))
at3=$((at2 + 20 + p2))
head -c $((at3 + 22)) x.tvz > cut.tvz
head -c "$at3" x.tvz > cut_at_entry.tvz
cp x.tvz flipped.tvz
printf '\377\377\377' | dd of=flipped.tvz bs=1 seek=$((at2 + 22)) conv=notrunc 2> /dev/null
# An entry name with a control byte, and one ending in a blank: the name field of entry 4.
at4=$((at3 + 20 + $(packed_of c.txt)))
cp x.tvz escname.tvz
printf '\033' | dd of=escname.tvz bs=1 seek=$((at4 + 3)) conv=notrunc 2> /dev/null
cp x.tvz blank.tvz
printf ' ' | dd of=blank.tvz bs=1 seek=$((at4 + 8)) conv=notrunc 2> /dev/null

for command in list verify; do
  check "$command a directory" in "cannot read it" "$tvz" $command in
  check "$command a missing file" missing.tvz "cannot read it" "$tvz" $command missing.tvz
  check "$command cut short" cut.tvz \
    "the damage starts at entry 3 (c.txt), byte $at3: the file is cut short there (its header gives $size bytes" \
    "$tvz" $command cut.tvz
  check "$command cut after an entry" cut_at_entry.tvz "the damage starts at entry 3, byte $at3: the file is cut short" \
    "$tvz" $command cut_at_entry.tvz
  check "$command flipped bytes" flipped.tvz \
    "the damage starts at entry 2 (b.txt), byte $at2: the compressed data are damaged (zlib: data error)" \
    "$tvz" $command flipped.tvz
  check "$command a control byte in a name" escname.tvz 'entry 4 (e\x1Bc.txt): not a bare file name' \
    "$tvz" $command escname.tvz
done
check "list cut short" cut.tvz "the damage starts" "$tvz" list cut.tvz
listed_are "list cut short" "a.txt b.txt"
tail -n 1 stdout | grep -qx "2 entries before the damage, $((at3 + 22)) bytes" || { echo "FAIL: list cut short: $(tail -n 1 stdout)"; fail=1; }
check "list flipped bytes" flipped.tvz "the damage starts" "$tvz" list flipped.tvz
listed_are "list flipped bytes" "a.txt"
check "list a control byte in a name" escname.tvz "not a bare file name" "$tvz" list escname.tvz
listed_are "list a control byte in a name" 'a.txt b.txt c.txt e\x1Bc.txt'
check "list a name ending in a blank" blank.tvz "not a bare file name" "$tvz" list blank.tvz
grep -qF '"esc.tx "' stdout || { echo "FAIL: a name ending in a blank is not quoted: $(sed -n 5p stdout)"; fail=1; }

# ---- extract

printf 'a file\n' > plain
check "extract into a file" plain "cannot make the directory" "$tvz" extract x.tvz plain
check "extract under a file" plain/sub "cannot make the directory" "$tvz" extract x.tvz plain/sub
mkdir -p taken/b.txt
check "extract over a directory of an entry's name" taken/b.txt "cannot write it" "$tvz" extract x.tvz taken
check "extract a damaged archive" flipped.tvz "the damage starts at entry 2" "$tvz" extract flipped.tvz damaged_out
[ -e damaged_out ] && { echo "FAIL: a damaged archive was extracted"; fail=1; }
if [ "$(id -u)" -ne 0 ]; then
  mkdir locked
  chmod 555 locked
  check "extract into a place that cannot be written" locked/a.txt "cannot write it" "$tvz" extract x.tvz locked
  chmod 755 locked
else
  echo "skipped: extract into a directory without write permission (root writes there all the same)"
fi

# ---- check-payload (a payload that lacks files has a line for each; the build's own test has
# the table of broken payloads)

check "check-payload a missing directory" nopayload "cannot read it" "$tvz" check-payload nopayload
check "check-payload a damaged archive" flipped.tvz "the damage starts at entry 2" "$tvz" check-payload flipped.tvz
"$tvz" check-payload in > stdout 2> stderr
rc=$?
[ "$rc" -eq 1 ] || { echo "FAIL: check-payload of a payload without the setup's files: exit code $rc"; fail=1; }
grep -q "^tvz: in: tavohu4.ime is missing: " stderr || { echo "FAIL: check-payload names no missing module: $(cat stderr)"; fail=1; }
tail -n 1 stderr | grep -q "^tvz: in: [0-9]* faults: the setup cannot install this payload" ||
  { echo "FAIL: check-payload does not sum up: $(tail -n 1 stderr)"; fail=1; }

[ "$fail" -eq 0 ] && echo "tvz faults: all good"
exit "$fail"
