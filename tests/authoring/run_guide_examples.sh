#!/usr/bin/env bash
# run_guide_examples.sh BIN_DIR WORK_DIR MINIMAL_SOURCE
# The authoring guide's examples on the minimal game, built by zor-build and
# played headless: the sound-effect list example (`door,Door`, `bell,Bell`,
# `se 1 0` rings the bell, and a missing bell is the guide's stderr line),
# a back log first line left empty by `firstMessage1,` (quiet), and the
# input script's key and button codes (Esc, key 27, ends the run).
set -euo pipefail
bin=$(realpath "$1") work=$2 minimal=$(realpath "$3")
rm -rf "$work" && mkdir -p "$work"
work=$(realpath "$work")
program=$bin/zorgame
source "$(dirname "$0")/../app/run_lib.sh"

le() {  # le VALUE BYTES: VALUE little-endian
  local v=$1 i
  for ((i = 0; i < $2; i++)); do printf "\\x$(printf %02x $(((v >> (8 * i)) & 255)))"; done
}
wav() {  # half a second of 16-bit mono silence at 22050 Hz
  local n=11025
  printf RIFF; le $((36 + 2 * n)) 4; printf 'WAVEfmt '; le 16 4; le 1 2; le 1 2; le 22050 4; le 44100 4
  le 2 2; le 16 2; printf data; le $((2 * n)) 4; head -c $((2 * n)) /dev/zero
}

src=$work/src
cp -rL "$minimal" "$src"
mkdir -p "$src/vaw/se"
wav >"$src/vaw/se/door.wav"
wav >"$src/vaw/se/bell.wav"
printf 'door,Door\nbell,Bell\n' >"$src/spt/selist.txt"
sed -i 's/^  wait 20$/  se 1 0\n  wait 20/' "$src/spt/scene.spt.txt"
printf 'firstMessageNumber,1\nfirstMessage1,\n' >>"$src/init/BackLog.txt"
status=0
(cd "$work" && "$bin/zor-build" src game) >"$work/build.out" 2>&1 || status=$?
check "zor-build takes the guide's examples" test "$status" = 0
cat "$work/build.out"
check "the examples build without a warning" bash -c "! grep -q 'warning' '$work/build.out'"

# Three clicks reach `se 1 0` (after the first pages and the choice).
for f in 40 60 80; do printf '%d button 0 down\n%d button 0 up\n' "$f" $((f + 1)); done >"$work/clicks.in"
run_headless bell "$work/game" 120 "$work/clicks.in"
check "the bell and an empty first back log line are quiet" test ! -s "$work/bell.err"
cat "$work/bell.err"
rm "$work/game/vaw/se/bell.vaw"
run_headless nobell "$work/game" 120 "$work/clicks.in"
check "a missing bell is the guide's line" grep -qxF \
  'sound effect 1 "bell" could not be loaded (looked in vaw\se\bell.vaw); nothing plays' "$work/nobell.err"

printf '30 key 27 down\n31 key 27 up\n' >"$work/esc.in"
run_headless esc "$work/game" 400 "$work/esc.in"
check "Esc (key 27) ends the run at once" test "$(wc -l <"$work/esc.txt")" -le 34
exit $failed
