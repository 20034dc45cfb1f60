#!/usr/bin/env bash
# run_story_end.sh ZORGAME SCREENDIFF GAME_DIR EXPECTED_DIR WORK_DIR
# The sample game's whole story, headless, from New Game on the title to the
# title again, on the game's own control script: the first scene as
# story.input plays it up to the timed question (names, pages, auto mode,
# the first two questions answered), the timed question left to run out and
# its page turned; the place map, the river chosen, its page; the heroine
# circle's OK (Mina), her page; the flow chart's first page, node 2 picked
# on the chart, its page, node 4 (which node 2 opened) picked, its page; the
# gallery's two scene pages (Mina's walk, Rin's evening); the music scene's last line 「星の歌、覚えていてね」
# turned: the game ends and the title returns.
# - The place map reached from the first scene shows only the map: none of
#   the scene's pictures or effects (the girl, the sun's glow) over it
#   (story_map.png).
# - The last frame is the title (title.png).
# - No script ran off its end, and the run wrote nothing at all on stderr
#   (no missing picture, no script running off its end, no box).
# ZOR_WRITE_EXPECTED=1 stores the screenshots anew.
set -euo pipefail
program=$1 screendiff=$2 game=$3 expected=$4 work=$5
rm -rf "$work" && mkdir -p "$work"
source "$(dirname "$0")/run_lib.sh"

# Frames: story.input up to 579 (the second question's page turned), the
# timed question out of time at 705 and its page complete at 712, turned at
# 720; the map from 735 (taken at 742), the river hovered at 745 and
# clicked at 755; its page turned at 835; the circle's OK at 900; Mina's
# page turned at 980; the chart's first page turned at 1040; the chart from
# about 1080, node 2 clicked at 1090; its page turned at 1150; the chart
# again, node 4 clicked at 1230; its page turned at 1360; the gallery's
# scene pages turned at 1420 and 1470; the music scene's page turned at
# 1520; the title from about 1533, standing from about 1558.
{
  awk '$1 <= 579' "$(dirname "$0")/story.input"
  click 720 400 300
  echo "742 screenshot $work/map.png"
  echo "745 move 390 420"
  printf '755 button 0 down\n756 button 0 up\n757 move -5 700\n'
  click 835 400 300
  click 900 400 568
  click 980 400 300
  click 1040 400 300
  click 1090 340 320
  click 1150 400 300
  click 1230 460 499
  click 1360 400 300
  click 1420 400 300
  click 1470 400 300
  click 1520 400 300
} >"$work/input"

clone_game "$work/game"
run_headless end "$work/game" 1590 "$work/input"
check "the map reached from the story shows only the map" \
  "$screendiff" "$expected/story_map.png" "$work/map.png" 8 480
check "the story ends on the title" "$screendiff" "$expected/title.png" "$work/end.png" 8 480
no_run_off() { ! grep -q "ran off its end" "$work/end.out"; }
check "no script ran off its end" no_run_off
quiet() { [ ! -s "$work/end.err" ] || { echo "stderr:"; cat "$work/end.err"; false; }; }
check "the story writes nothing on stderr" quiet
exit $failed
