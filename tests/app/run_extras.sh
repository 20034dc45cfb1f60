#!/usr/bin/env bash
# run_extras.sh ZORGAME ZORASM SCREENDIFF GAME_DIR EXPECTED_DIR WORK_DIR
# The picture book and the flow chart end to end, headless, each on copies
# of the sample game whose control script is cut down to what the screen
# needs:
# - the book: a new game that only shows Mina on channel 4, makes items 1
#   and 3 appear ("zukanon") and ends; the title, Extras, Picture book (the
#   book's back script clears what the story left on the channels). The book's page with the two
#   items, item 1's page after a click on it, and the items again after a
#   click on the page match their stored screenshots (book.png,
#   book_item.png); the back button then leaves for the extras menu.
# - the chart: a new game that runs the chart's story; after its first line
#   the chart shows the nodes with their titles and the completion panel
#   with its labels (chart.png); hovering the left node shows its
#   description (chart_hover.png); clicking it goes on with its scene.
# - Two runs show the same frames.
set -euo pipefail
program=$1 asm=$2 screendiff=$3 game=$4 expected=$5 work=$6
rm -rf "$work" && mkdir -p "$work"
source "$(dirname "$0")/run_lib.sh"
differs() { ! "$screendiff" "$1" "$2" 8 2000 >/dev/null 2>&1; }

cat >"$work/book.txt" <<'SCRIPT'
main:
  loaddwq 4 "ch01"
  effectrect 4 300 240 240 360 300 240 240 360
  func 3 (1)
  func 3 (3)
  endgame
SCRIPT
cat >"$work/chart.txt" <<'SCRIPT'
main:
  callscript "chart"
  endgame
SCRIPT

# The book. Frames: New game at 140 (the title is back by 240), Extras at
# 250, Picture book at 290 (shown by 330), item 1 at 335 (its page by 370),
# a click on the page at 380 (the items by 410), Back at 420 (the extras
# menu by 470).
"$asm" "$work/book.txt" "$work/control.spt" >/dev/null
{
  echo "1 move -5 700"
  click 140 400 300
  click 250 400 450
  click 290 400 450
  click 335 240 268
  click 380 400 300
  click 420 730 556
} >"$work/input"
run_story book_left 470 --screenshot-at 332 "$work/book.png" --screenshot-at 372 "$work/book_item.png" \
  --screenshot-at 412 "$work/book_back.png"
check "the book shows its page with the two items" "$screendiff" "$expected/book.png" "$work/book.png" 8 480
check "item 1 shows its page" "$screendiff" "$expected/book_item.png" "$work/book_item.png" 8 480
check "a click on the page returns to the items" "$screendiff" "$expected/book.png" "$work/book_back.png" 8 480
check "the back button leaves the book" differs "$work/book.png" "$work/book_left.png"
run_story book_again 470
check "two runs show the same frames" cmp -s "$work/book_left.txt" "$work/book_again.txt"

# The chart. Frames: New game at 140, the first line's click at 200 (the
# chart stands by 260), the pointer over the left node at 262, a click on
# it at 290 (its scene's line by 340).
"$asm" "$work/chart.txt" "$work/control.spt" >/dev/null
{
  echo "1 move -5 700"
  click 140 400 300
  click 200 400 580
  echo "262 move 340 320"
  echo "290 button 0 down"
  echo "291 button 0 up"
  echo "292 move -5 700"
} >"$work/input"
run_story chart_left 340 --screenshot-at 262 "$work/chart.png" --screenshot-at 287 "$work/chart_hover.png"
check "the chart shows its titled nodes and labelled counts" "$screendiff" "$expected/chart.png" "$work/chart.png" 8 480
check "the hovered node shows its description" "$screendiff" "$expected/chart_hover.png" "$work/chart_hover.png" 8 480
check "picking the left node leaves the chart for its scene" differs "$work/chart.png" "$work/chart_left.png"
run_story chart_again 340
check "two runs show the same frames" cmp -s "$work/chart_left.txt" "$work/chart_again.txt"
exit $failed
