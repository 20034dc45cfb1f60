#!/usr/bin/env bash
# run_puzzles.sh ZORGAME SCREENDIFF GAME_DIR EXPECTED_DIR WORK_DIR
# The sample game's picture puzzles from their buttons on the extras screen,
# end to end, headless, on copies of the game whose "mainControl" fixes the
# seed:
# - each puzzle first shows its rules (expected/slide_rule.png,
#   nurie_rule.png); a left click passes them;
# - Slide16 (the SLIDE 16 button) deals its seeded scramble;
#   the opposite moves of that deal, in reverse order, clear it; a fixed
#   number of frames after the clear the screen shows the whole picture with
#   the bouncing congratulation (expected/puzzle_clear.png), and the picture
#   moves from frame to frame;
# - the clear is recorded in "var290", which brings Nurie's button (below
#   SLIDE 16): without the clear the extras show no button there and a click
#   there leaves them as they are (expected/extras.png); after it Nurie
#   opens, and a drag paints a stroke of picture 0 over the blue canvas
#   (expected/puzzle_nurie.png);
# - two runs show the same frames.
# Set ZOR_WRITE_EXPECTED=1 to store the screenshots anew.
set -euo pipefail
program=$1 screendiff=$2 game=$3 expected=$4 work=$5
rm -rf "$work" && mkdir -p "$work"

source "$(dirname "$0")/run_lib.sh"

run() {  # run NAME FRAMES [INPUT [OPTIONS...]]: a copy whose seed is fixed (the same deal every run)
  local name=$1 frames=$2 input=${3:-}
  shift $(($# < 3 ? $# : 3))
  rm -rf "$work/$name" && clone_game "$work/$name"
  { printf 'initRandomSeed,1234\r\n'; cat "$game/init/mainControl.xtx"; } >"$work/$name/init/mainControl.xtx"
  printf '1 move -5 700\n%s\n' "$input" | grep . >"$work/$name.input"
  run_headless "$name" "$work/$name" "$frames" "$work/$name.input" "$@"
}
rules() {  # rules NAME: the rules shown at entry match the stored ones
  if [ "${ZOR_WRITE_EXPECTED:-0}" = 1 ]; then cp "$work/$1.png" "$expected/$1.png"; fi
  check "$1: the puzzle shows its rules first" "$screendiff" "$expected/$1.png" "$work/$1.png" 8 480
}

run title 150
t=$(settled "$work/title.txt")
e=$((t + 40))  # the extras, opened at $t, have settled

# SLIDE 16: 200 x 40 at (560, 430). The seeded deal was the moves
# 5 3 2 6 4 7 2 6 2 4 7 3 3; their opposites (0<->2, 1<->3, 4<->6, 5<->7)
# in reverse order undo it. A move is a click on its handle, the border
# cell (column, row) of 200 x 150 cells: 0 (1, 0), 1 (2, 0), 4 (0, 1),
# 5 (0, 2), 6 (3, 1), 7 (3, 2). The deal does not depend on the frame of
# the click; should it change (something new drawing from the generator
# before it), take the moves again from the new deal.
handle_x=([0]=300 [1]=500 [4]=100 [5]=100 [6]=700 [7]=700)
handle_y=([0]=75 [1]=75 [4]=225 [5]=375 [6]=225 [7]=375)
solve="$(click $t 400 450)
$(click $e 660 450)
$(click $((e + 40)) 400 300)"
f=$((e + 80))
for m in 1 1 5 6 0 4 0 5 6 4 0 1 7; do
  solve+=$'\n'$(printf '%d move %d %d\n%d button 0 down\n%d button 0 up' \
    "$f" "${handle_x[$m]}" "${handle_y[$m]}" $((f + 1)) $((f + 2)))
  f=$((f + 4))
done
cleared=$((f - 3))  # the frame of the last press
solve+=$'\n'"$((cleared + 2)) move -5 700"
after=30
run clear1 $((cleared + after)) "$solve" --screenshot-at $((e + 38)) "$work/slide_rule.png"
rules slide_rule
run clear2 $((cleared + after)) "$solve"
check "two runs show the same frames" cmp -s "$work/clear1.txt" "$work/clear2.txt"
if [ "${ZOR_WRITE_EXPECTED:-0}" = 1 ]; then cp "$work/clear1.png" "$expected/puzzle_clear.png"; fi
check "the undone scramble clears: picture 0 whole under the congratulation" \
  "$screendiff" "$expected/puzzle_clear.png" "$work/clear1.png" 8 480
moving=$(awk -v a=$((cleared + 5)) -v b=$((cleared + after)) '$2 >= a && $2 <= b { print $3 }' \
  "$work/clear1.txt" | sort -u | wc -l)
check "the congratulation picture bounces (frames differ after the clear)" test "$moving" -ge 10

# Without the clear, Nurie's button (200 x 40 at (560, 480)) is not there.
run locked $((e + 60)) "$(click $t 400 450)
$(click $e 660 500)"
check "Nurie stays closed before Slide16 is cleared" "$screendiff" "$expected/extras.png" "$work/locked.png" 8 480

# After the clear: the exit button (64 x 24 at (720, 560)) back to the
# extras, then Nurie, a click past its rules, and a drag across the middle
# of the screen.
x=$((cleared + 10))
n=$((x + 70))
d=$((n + 80))
paint="$solve
$(click "$x" 750 572)
$(click "$n" 660 500)
$(click $((n + 40)) 400 300)
$d move 150 300
$((d + 1)) button 0 down"
for i in $(seq 1 50); do paint+=$'\n'"$((d + 1 + i)) move $((150 + 10 * i)) $((300 + (i % 10 - 5) * (i % 10 - 5) * 4))"; done
paint+=$'\n'"$((d + 52)) button 0 up"$'\n'"$((d + 53)) move -5 700"
run nurie1 $((d + 70)) "$paint" --screenshot-at $((n + 38)) "$work/nurie_rule.png"
rules nurie_rule
run nurie2 $((d + 70)) "$paint"
check "two Nurie runs show the same frames" cmp -s "$work/nurie1.txt" "$work/nurie2.txt"
if [ "${ZOR_WRITE_EXPECTED:-0}" = 1 ]; then cp "$work/nurie1.png" "$expected/puzzle_nurie.png"; fi
check "the recorded clear opens Nurie, where a drag paints a stroke" \
  "$screendiff" "$expected/puzzle_nurie.png" "$work/nurie1.png" 8 480
check "the stroke is not the extras" bash -c "! '$screendiff' '$expected/extras.png' '$work/nurie1.png' 8 480 2>/dev/null"
exit $failed
