#!/usr/bin/env bash
# run_save_close.sh ZORGAME GAME_DIR WORK_DIR
# A save the player confirmed is written before the game ends, whatever the
# close comes during: the sample game saves into slot 1 (save_slot1.input,
# the comment dialog's OK pressed at frame 500 and released at 501), and the
# window is closed right after the OK, during its click (4 frames) and
# during the slot's blink (8 frames), before the screen would write the
# slot. Each run ends with status 0 and no box, and its slot is the slot of
# a run without a close but for the save time (the game status's eight time
# words, bytes 128..159 of the file).
set -euo pipefail
program=$1 game=$2 work=$3
rm -rf "$work" && mkdir -p "$work"
source "$(dirname "$0")/run_lib.sh"
input=$(dirname "$0")/save_slot1.input

clone_game "$work/plain"
run_headless plain "$work/plain" 560 "$input"
check "a run without a close writes the slot" test -s "$work/plain/sav/data0.sav"

# same_but_time A B: the files differ in the save time at most.
same_but_time() {
  [ "$(stat -c %s "$1")" = "$(stat -c %s "$2")" ] &&
    { cmp -l "$1" "$2" || true; } | awk '$1 < 129 || $1 > 160 { bad = 1 } END { exit bad }'
}

for frame in 501 502 504 506 508 510 512; do
  clone_game "$work/close$frame"
  { awk '$1 <= 501' "$input"; echo "$frame close"; } >"$work/close$frame.input"
  run_headless "close$frame" "$work/close$frame" 560 "$work/close$frame.input"
  check "a close at frame $frame ends the run at once" test "$(wc -l <"$work/close$frame.txt")" -lt 520
  check "a close at frame $frame: the slot is written" test -s "$work/close$frame/sav/data0.sav"
  check "a close at frame $frame: the slot is the confirmed save" \
    same_but_time "$work/plain/sav/data0.sav" "$work/close$frame/sav/data0.sav"
done
[ "$failed" = 0 ] && rm -rf "$work"
exit $failed
