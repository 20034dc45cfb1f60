#!/usr/bin/env bash
# run_notices.sh ZORGAME SCREENDIFF GAME_DIR EXPECTED_DIR WORK_DIR
# The sample game's quick save and load with their notices, end to end,
# headless: New Game, the names kept, the greeting; F2 saves into the quick
# slot and "SAVED" slides in at the top right (notice_saved.png); a click
# turns the page; F3 loads the quick slot and "LOADED" slides in over the
# greeting again (notice_loaded.png); once the notice has left, the screen
# is the greeting as it stood before the save. Two runs show the same
# frames. (The results' notices: tests/app/run_places.sh.)
# ZOR_WRITE_EXPECTED=1 stores the screenshots anew.
set -euo pipefail
program=$1 screendiff=$2 game=$3 expected=$4 work=$5
rm -rf "$work" && mkdir -p "$work"
source "$(dirname "$0")/run_lib.sh"

# Frames: the title stands at 125, New Game at 140; the name entry's OK at
# 218 and 248; the greeting is typed by 395; F2 at 400 (a notice takes 15
# frames to come, stands 100 and leaves in 15); the page turned at 560; F3
# at 640; the notice gone by 775.
{
  echo "1 move -5 700"
  click 140 400 300
  click 218 320 356
  click 248 320 356
  printf '400 key 113 down\n401 key 113 up\n'
  click 560 400 300
  printf '640 key 114 down\n641 key 114 up\n'
} >"$work/input"
run() {  # run NAME: the input on a fresh copy, with its screenshots
  rm -rf "$work/$1" && clone_game "$work/$1"
  run_headless "$1" "$work/$1" 790 "$work/input" --screenshot-at 395 "$work/$1_before.png" \
    --screenshot-at 430 "$work/$1_saved.png" --screenshot-at 600 "$work/$1_turned.png" \
    --screenshot-at 670 "$work/$1_loaded.png"
}
run first
run second
check "two runs show the same frames" cmp -s "$work/first.txt" "$work/second.txt"
check "F2 saves and shows SAVED" "$screendiff" "$expected/notice_saved.png" "$work/first_saved.png" 8 480
differs() { ! "$screendiff" "$1" "$2" 8 480 >/dev/null 2>&1; }
check "the click turned the page" differs "$work/first_before.png" "$work/first_turned.png"
check "F3 loads and shows LOADED" "$screendiff" "$expected/notice_loaded.png" "$work/first_loaded.png" 8 480
check "the quick load brings back the saved page" "$screendiff" "$work/first_before.png" "$work/first.png" 8 480
quiet() { [ ! -s "$work/first.err" ] || { cat "$work/first.err"; false; }; }
check "nothing on stderr" quiet
exit $failed
