#!/usr/bin/env bash
# run_places.sh ZORGAME ZORASM SCREENDIFF GAME_DIR EXPECTED_DIR WORK_DIR
# The sample game's place map, heroine circle and results end to end,
# headless, from one input script. The run's copy of the game starts a new
# game on the frame's story at once (its control script calls "frame"
# and ends the game), so the run does not depend on the first scene.
# New game; the map with the river hovered (its auto picture in the frame);
# the river chosen, its scene follows; the circle turned once to the left,
# mid-turn, then OK; the story ends on the title; Results; the two
# announcements acknowledged; the river's plate hovered until its line has
# scrolled; the back button: the title.
# - The map, the river scene, the circle mid-turn (with the river's "NEW
#   RESULT" notice at the top right), the first announcement on the results'
#   own page (with the walk's notice leaving) and the hovered plate under
#   the page's heading match their stored screenshots within a tolerance
#   (ZOR_WRITE_EXPECTED=1 stores them anew: places_*.png).
# - The result table (sav/result.sav, one 32-bit cell per row) holds the
#   two acknowledged results: row 2 (the river) and row 3 (a walk
#   together) at 2, row 1 (the hill) at 0.
# - The back button returns to the title (tests/app/expected/title.png).
# - Two runs show the same frames.
set -euo pipefail
program=$1 asm=$2 screendiff=$3 game=$4 expected=$5 work=$6
rm -rf "$work" && mkdir -p "$work"
source "$(dirname "$0")/run_lib.sh"

printf 'main:\n  callscript "frame"\n  endgame\n' >"$work/control.txt"
"$asm" "$work/control.txt" "$work/control.spt" >/dev/null

# Frames: the title stands at 125; the map from about 140, the river
# hovered at 150 and clicked at 160; the river's text by 230, passed at
# 240; the circle from about 260, turned at 292 (a turn lasts 10 frames),
# OK at 340; the last line passed at 400; the title again by 430; Results
# at 440; the announcements' OK at 480 and 500; the plate hovered from 520
# (the line scrolls from 540 and stops at 598); Back at 610, the title by
# 680.
{
  echo "1 move -5 700"
  click 125 400 300
  echo "150 move 390 420"
  printf '160 button 0 down\n161 button 0 up\n162 move -5 700\n'
  echo "240 button 0 down"
  echo "241 button 0 up"
  click 290 64 300
  click 340 400 568
  echo "400 button 0 down"
  echo "401 button 0 up"
  click 440 140 550
  click 480 400 346
  click 500 400 346
  echo "520 move 400 240"
  click 610 730 556
} >"$work/input"

matches() {  # matches NAME: the run's screenshot against places_NAME.png
  if [ "${ZOR_WRITE_EXPECTED:-0}" = 1 ]; then cp "$work/$1.png" "$expected/places_$1.png"; fi
  "$screendiff" "$expected/places_$1.png" "$work/$1.png" 8 480
}
cell() { od -An -t d4 -j $((4 * $2)) -N 4 "$1" | tr -d ' '; }

# One run to the title, with the screens on the way.
run_story back 680 --screenshot-at 160 "$work/map.png" --screenshot-at 232 "$work/scene.png" \
  --screenshot-at 299 "$work/circle.png" --screenshot-at 480 "$work/announce.png" \
  --screenshot-at 602 "$work/plate.png"
check "the map shows the hovered river and its picture" matches map
check "the river's scene follows" matches scene
check "the circle mid-turn" matches circle
check "the first announcement" matches announce
check "the hovered plate with its scrolled line" matches plate
table=$work/back/sav/result.sav
check "the result table was written" test -s "$table"
check "the river's result is acknowledged" test "$(cell "$table" 2)" -eq 2
check "the walk's result is acknowledged" test "$(cell "$table" 3)" -eq 2
check "the hill's result was not earned" test "$(cell "$table" 1)" -eq 0
check "the back button returns to the title" "$screendiff" "$expected/title.png" "$work/back.png" 8 480
run_story twice 680
check "two runs show the same frames" cmp -s "$work/back.txt" "$work/twice.txt"
exit $failed
