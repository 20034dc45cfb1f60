#!/usr/bin/env bash
# run_gallery.sh ZORGAME SCREENDIFF GAME_DIR EXPECTED_DIR WORK_DIR
# The sample game's extras end to end, headless: a new game, a click
# through the first scene (which unlocks three of Mina's pictures), the
# title again, Extras, Pictures, Mina on the character page.
# - The gallery page matches the stored screenshot within a tolerance.
# - A click on the panorama opens the viewer; mid-scroll it matches its
#   stored screenshot.
# - The wheel steps to the next seen picture.
# - A right click returns to the page of that picture.
# - Two runs show the same frames.
set -euo pipefail
program=$1 screendiff=$2 game=$3 expected=$4 work=$5
rm -rf "$work" && mkdir -p "$work"

# Frames: the title stands at 125; the name entry's OK at 211 and 225 keeps
# the names; the scene's text is typed by 385; the scene ends the game and
# the title returns; Extras at 450, Pictures at 480, Mina's area on the
# character page at 511, the panorama's cell at 562, the wheel at 660, the
# right click at 690.
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
450 move 400 450
451 button 0 down
452 button 0 up
453 move -5 700
480 move 400 300
481 button 0 down
482 button 0 up
483 move -5 700
510 move 400 275
511 button 0 down
512 button 0 up
513 move -5 700
560 move 316 163
562 button 0 down
563 button 0 up
564 move -5 700
660 wheel -120
689 move 400 580
690 button 1 down
691 button 1 up
692 move -5 700
INPUT

run() {  # run NAME FRAMES: frame hashes in $work/NAME.txt, screenshot $work/NAME.png
  local name=$1 frames=$2
  rm -rf "$work/$name" && cp -r "$game" "$work/$name"
  mkdir -p -m 700 "$work/$name.run"
  XDG_RUNTIME_DIR=$work/$name.run timeout 120 "$program" "$work/$name" --headless --frames "$frames" \
    --hash-every 1 --screenshot "$work/$name.png" --input "$work/input" >"$work/$name.out" 2>&1 ||
    { echo "run $name failed:"; cat "$work/$name.out"; exit 1; }
  if grep -q '^\[box\]' "$work/$name.out"; then
    echo "run $name showed message boxes:"; grep '^\[box\]' "$work/$name.out"; exit 1
  fi
  grep '^frame ' "$work/$name.out" >"$work/$name.txt" || true
}
failed=0
check() {  # check NAME CONDITION...
  local name=$1; shift
  if "$@"; then echo "ok   $name"; else echo "FAIL $name"; failed=1; fi
}
differs() { ! "$screendiff" "$1" "$2" 8 480 >/dev/null 2>&1; }

run page 558
check "the gallery page matches its stored screenshot" "$screendiff" "$expected/gallery.png" "$work/page.png" 8 480
run scroll 630
check "the viewer mid-scroll matches its stored screenshot" "$screendiff" "$expected/viewer.png" "$work/scroll.png" 8 480
run step 680
check "the wheel steps to another picture" differs "$expected/viewer.png" "$work/step.png"
check "the stepped picture is not the gallery" differs "$expected/gallery.png" "$work/step.png"
run back 740
check "a right click returns to the picture's page" "$screendiff" "$expected/gallery.png" "$work/back.png" 8 480
run again 740
check "two runs show the same frames" cmp -s "$work/back.txt" "$work/again.txt"
exit $failed
