#!/usr/bin/env bash
# run_menu_saveload.sh ZORGAME ZORASM SCREENDIFF GAME_DIR WORK_DIR
# Saving and loading through the system menu, end to end, headless, from
# one input script. The run's copy of the sample game gets a control script
# of two lines (the girl on the hill, then the river), so the run does not
# depend on the story's length: New game; at the first line the option
# button opens the system menu, Save, slot 1, the comment dialog's OK, the
# save screen's back button: the story again; a click goes on to the
# river; the menu again, Load, slot 1: the saved scene returns.
# - The slot file is in the save folder.
# - The story went on (the river differs from the saved scene), and after
#   loading the screen is the saved scene again, within a tolerance.
# - Two runs show the same frames.
set -euo pipefail
program=$1 asm=$2 screendiff=$3 game=$4 work=$5
rm -rf "$work" && mkdir -p "$work"
source "$(dirname "$0")/run_lib.sh"

cat >"$work/control.txt" <<'SCRIPT'
main:
  loaddwq 0 "bg01"
  loaddwq 4 "ch01"
  effectrect 4 300 240 240 360 300 240 240 360
  wipe 1 10
  text "【ミナ】「おはよう」" key=1
  effectclear
  loaddwq 0 "bg_frriver"
  wipe 1 10
  text "川へ来た。" key=2
  endgame
SCRIPT
"$asm" "$work/control.txt" "$work/control.spt" >/dev/null

# Frames: the title stands at 125; the first line by 170; the menu at 200,
# Save at 240, slot 1 at 290, the dialog's OK at 340, back at 370: the
# story by 420; on to the river at 430 (shown by 478); the menu at 480,
# Load at 520, slot 1 at 570; the saved scene by 640.
{
  echo "1 move -5 700"
  click 125 400 300
  click 200 776 20
  click 240 624 68
  click 290 151 163
  click 340 300 357
  click 370 730 572
  click 430 400 300
  click 480 776 20
  click 520 624 112
  click 570 151 163
} >"$work/input"

differs() { ! "$screendiff" "$1" "$2" 8 2000 >/dev/null 2>&1; }

run_story loaded 640 --screenshot-at 422 "$work/saved.png" --screenshot-at 480 "$work/on.png"
check "the slot file was written" test -s "$work/loaded/sav/data0.sav"
check "the story went on past the saved scene" differs "$work/saved.png" "$work/on.png"
check "loading slot 1 from the menu brings the saved scene back" \
  "$screendiff" "$work/saved.png" "$work/loaded.png" 8 2000
run_story twice 640
check "two runs show the same frames" cmp -s "$work/loaded.txt" "$work/twice.txt"
exit $failed
