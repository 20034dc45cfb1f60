#!/usr/bin/env bash
# run_gallery.sh ZORGAME SCREENDIFF GAME_DIR EXPECTED_DIR WORK_DIR
# The sample game's extras end to end, headless: a new game, a click
# through the greeting (after it the scene unlocks three of Mina's
# pictures), the system menu's Title, the title again, Extras, Pictures,
# Mina on the character page.
# - The character page shows Mina's button before it is hovered and
#   matches its stored screenshot within a tolerance (the heading PICTURES
#   in its banner).
# - The gallery page matches the stored screenshot within a tolerance.
# - A click on the panorama opens the viewer; mid-scroll it matches its
#   stored screenshot.
# - The wheel steps to the next seen picture.
# - A right click returns to the page of that picture.
# - Two runs show the same frames.
# - From the title, Extras and Music: the music room with its cursor on the
#   first title matches its stored screenshot (music_room.png, from the
#   run's music.png): the title stands inside the cursor's frame; the
#   heading, the labels of the number and time box and of the controls.
# - From the title, Extras and Scenes: the scene gallery's character page
#   under its heading SCENES (scene_chara.png).
set -euo pipefail
program=$1 screendiff=$2 game=$3 expected=$4 work=$5
rm -rf "$work" && mkdir -p "$work"
source "$(dirname "$0")/run_lib.sh"

# Frames: the title stands at 125; the name entry's OK at 211 and 225 keeps
# the names; the greeting is typed by 385 and turned at 386 (the pictures
# are unlocked); the option button at 402 opens the system menu, Title at
# 442 and the dialog's OK at 457 end the game; the title stands by 501;
# Extras at 521, Pictures at 551, Mina's area on the character page at
# 582, the panorama's cell at 633, the wheel at 731, the right click at
# 761.
cat >"$work/input" <<'INPUT'
1 move -5 700
125 move 400 300
126 button 0 down
127 button 0 up
128 move -5 700
210 move 320 356
211 button 0 down
212 button 0 up
225 button 0 down
226 button 0 up
227 move -5 700
385 move 400 300
386 button 0 down
387 button 0 up
400 move 776 20
402 button 0 down
403 button 0 up
404 move -5 700
440 move 624 420
442 button 0 down
443 button 0 up
444 move -5 700
455 move 326 266
457 button 0 down
458 button 0 up
459 move -5 700
521 move 400 450
522 button 0 down
523 button 0 up
524 move -5 700
551 move 400 300
552 button 0 down
553 button 0 up
554 move -5 700
581 move 400 275
582 button 0 down
583 button 0 up
584 move -5 700
631 move 316 163
633 button 0 down
634 button 0 up
635 move -5 700
731 wheel -120
760 move 400 580
761 button 1 down
762 button 1 up
763 move -5 700
INPUT

run() {  # run NAME FRAMES [OPTIONS...]: on a fresh copy of the game
  local name=$1 frames=$2
  shift 2
  rm -rf "$work/$name" && clone_game "$work/$name"
  run_headless "$name" "$work/$name" "$frames" "$work/input" "$@"
}
differs() { ! "$screendiff" "$1" "$2" 8 480 >/dev/null 2>&1; }

# One run to the right click, with the pages on the way.
run back 811 --screenshot-at 580 "$work/chara.png" --screenshot-at 631 "$work/page.png" \
  --screenshot-at 703 "$work/scroll.png" --screenshot-at 753 "$work/step.png"
check "the character page matches its stored screenshot" "$screendiff" "$expected/gallery_chara.png" "$work/chara.png" 8 480
check "the gallery page matches its stored screenshot" "$screendiff" "$expected/gallery.png" "$work/page.png" 8 480
check "the viewer mid-scroll matches its stored screenshot" "$screendiff" "$expected/viewer.png" "$work/scroll.png" 8 480
check "the wheel steps to another picture" differs "$expected/viewer.png" "$work/step.png"
check "the stepped picture is not the gallery" differs "$expected/gallery.png" "$work/step.png"
check "a right click returns to the picture's page" "$screendiff" "$expected/gallery.png" "$work/back.png" 8 480
run again 811
check "two runs show the same frames" cmp -s "$work/back.txt" "$work/again.txt"

# The title stands at 125: Extras at 140, Music at 172.
printf '1 move -5 700\n130 move 400 450\n140 button 0 down\n141 button 0 up\n142 move -5 700\n' >"$work/music.input"
printf '170 move 400 400\n172 button 0 down\n173 button 0 up\n174 move -5 700\n' >>"$work/music.input"
rm -rf "$work/music" && clone_game "$work/music"
run_headless music "$work/music" 215 "$work/music.input"
check "the music room matches its stored screenshot" "$screendiff" "$expected/music_room.png" "$work/music.png" 8 480

# The title stands at 125: Extras at 140, Scenes at 172: the scene
# gallery's character page under its heading (scene_chara.png).
printf '1 move -5 700\n130 move 400 450\n140 button 0 down\n141 button 0 up\n142 move -5 700\n' >"$work/scenes.input"
printf '170 move 400 350\n172 button 0 down\n173 button 0 up\n174 move -5 700\n' >>"$work/scenes.input"
rm -rf "$work/scenes" && clone_game "$work/scenes"
run_headless scenes "$work/scenes" 215 "$work/scenes.input"
check "the scene gallery's page matches its stored screenshot" "$screendiff" "$expected/scene_chara.png" "$work/scenes.png" 8 480
exit $failed
