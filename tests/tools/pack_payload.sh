#!/bin/sh
# The build's payload step (cmake/pack_payload.cmake) on the sample payload and on broken copies
# of it: a payload the setup can install whole is packed; each broken one stops the step with
# the file named, and the setup of an earlier build is taken away.
#   pack_payload.sh CMAKE TVZ MKPAYLOAD SCRIPT WORKDIR
set -u
cmake=$1 tvz=$2 mkpayload=$3 script=$4 work=$5
rm -rf "$work"
mkdir -p "$work"
# Stand-ins for the module and program the sample payload pads to size: the check looks for the
# "MZ" a Windows program begins with and the version text the generator writes behind it.
printf 'MZ%062d' 0 > "$work/ime.dll"
printf 'MZ%062d' 0 > "$work/launch.exe"
"$mkpayload" "$work/sound" "$work/ime.dll" "$work/launch.exe" > /dev/null || { echo "FAIL: no sample payload"; exit 1; }
skin=$(printf '\300\344\311\253\264\311\303\346.tvz')  # the default skin, GBK bytes of its name
fail=0

# pack DIR: runs the step; its output in $work/out, the exit code in $rc.
pack() {
  printf 'an earlier build\n' > "$work/tavosetup.exe"
  "$cmake" -DTVZ="$tvz" -DPAYLOAD_DIR="$1" -DARCHIVE="$work/payload.tvz" -DSETUP="$work/tavosetup.exe" \
    -P "$script" > "$work/out" 2>&1
  rc=$?
}

pack "$work/sound"
[ "$rc" -eq 0 ] || { echo "FAIL: the sample payload is refused: $(cat "$work/out")"; fail=1; }
grep -q "The setup carries the payload $work/sound" "$work/out" || { echo "FAIL: the step does not say which payload"; fail=1; }
"$tvz" verify "$work/payload.tvz" > /dev/null || { echo "FAIL: the packed sample does not verify"; fail=1; }

# what | what the message must name | how the copy is broken (run in the copy)
while IFS='|' read -r what named breaking; do
  rm -rf "$work/broken"
  cp -r "$work/sound" "$work/broken"
  (cd "$work/broken" && eval "$breaking")
  pack "$work/broken"
  if [ "$rc" -eq 0 ]; then echo "FAIL: $what: packed"; fail=1; fi
  grep -qF -- "$named" "$work/out" || { echo "FAIL: $what: nothing names $named: $(cat "$work/out")"; fail=1; }
  grep -q "no setup is built" "$work/out" || { echo "FAIL: $what: the step does not say it stopped"; fail=1; }
  [ -e "$work/tavosetup.exe" ] && { echo "FAIL: $what: the earlier build's setup stays"; fail=1; }
done <<CASES
no 64-bit companion|setupw64.exe is missing|rm setupw64.exe
no Big5 stubs|tavo641.ime is missing|rm tavo321.ime tavo641.ime
no main program before Vista|tavokelv.exe is missing|rm tavokelv.exe
no default skin|$skin is missing|rm "$skin"
a skin carrying a program|carries tvhook.exe|mkdir ../skin && cp ../ime.dll ../skin/tvhook.exe && printf 'settings' > ../skin/tvskin.tvh && "$tvz" pack "$skin" ../skin > /dev/null; rm -r ../skin
no file of the user's data|tavoynhz.txt is missing|rm tavoynhz.txt
59 files|the install directory would hold 68 files, and the installation check wants at least 74|rm tvgbkbh.tvh tvszsj05.tvh tvszsj06.tvh cwb.ov1 tavopymb.ov1 fttvzdym.txt ftpyzdym.txt tavowbzg.tvh tavopyzg.tvh tvzjm.tvh tvbhzg.tvh tvjtft.tvh tvfjdz.tvh tvwbgj.ov1 tvpygj.ov1 tavohelp.txt tavoread.txt tavoban.txt tvnewsw.txt tvcizu1.tvh
a name the install keeps for its folder|filer: the install keeps this name|printf 'x' > filer
an empty file|tvver.txt is empty|: > tvver.txt
a module that is no program|tavohu4.ime is not a Windows program|printf '%0300d' 0 > tavohu4.ime
CASES
pack "$work/missing"
if [ "$rc" -eq 0 ] || [ -e "$work/tavosetup.exe" ]; then echo "FAIL: a missing payload directory"; fail=1; fi

[ "$fail" -eq 0 ] && echo "pack payload: all good"
exit "$fail"
