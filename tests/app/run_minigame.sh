#!/usr/bin/env bash
# run_minigame.sh ZORGAME SCREENDIFF GAME_DIR EXPECTED_TITLE_PNG EXPECTED_PAGE_PNG WORK_DIR
# The sample game's mini-game check area on the title, end to end, headless:
# - a click on the area (bottom right of the title) opens the mini-game
#   mode on its description page, whose screenshot matches the stored one
#   within a small tolerance; two runs show the same frames;
# - a click passes the page; the exit button then returns to the title.
# Set ZOR_WRITE_EXPECTED=1 to store the page's screenshot anew.
set -euo pipefail
program=$1 screendiff=$2 game=$3 expected_title=$4 expected_page=$5 work=$6
rm -rf "$work" && mkdir -p "$work"
source "$(dirname "$0")/run_lib.sh"

run() {  # run NAME FRAMES [INPUT]: frame hashes in $work/NAME.txt, screenshot $work/NAME.png
  rm -rf "$work/$1" && clone_game "$work/$1"
  printf '1 move -5 700\n%s\n' "${3:-}" | grep . >"$work/$1.input"
  run_headless "$1" "$work/$1" "$2" "$work/$1.input"
}

run title 150
t=$(settled "$work/title.txt")
# The area: 100 x 60 at (680, 520). The pointer leaves the window after
# each click, so the cursor stays out of the screenshots.
open="$((t + 2)) move 720 550
$((t + 4)) button 0 down
$((t + 5)) button 0 up
$((t + 6)) move -5 700"
run page1 $((t + 60)) "$open"
run page2 $((t + 60)) "$open"
check "two runs show the same frames" cmp -s "$work/page1.txt" "$work/page2.txt"
if [ "${ZOR_WRITE_EXPECTED:-0}" = 1 ]; then cp "$work/page1.png" "$expected_page"; fi
check "the click on the area shows the description page" "$screendiff" "$expected_page" "$work/page1.png" 8 480
check "the page is not the title" bash -c "! '$screendiff' '$expected_title' '$work/page1.png' 8 480 2>/dev/null"

# Pass the page with a click, then the exit button (64 x 24 at (720, 560)).
run back $((t + 200)) "$open
$((t + 40)) move 400 300
$((t + 42)) button 0 down
$((t + 43)) button 0 up
$((t + 50)) move 740 570
$((t + 52)) button 0 down
$((t + 53)) button 0 up
$((t + 54)) move -5 700"
page=$(tail -1 "$work/page1.txt" | cut -d' ' -f3)
check "the way back passes the page" grep -q " $page\$" "$work/back.txt"
after=$(awk -v a=$((t + 46)) -v b=$((t + 50)) '$2 >= a && $2 <= b { print $3 }' "$work/back.txt" | sort -u)
check "after the page the exit button shows over it" test -n "$after" -a "$after" != "$page"
check "the exit button returns to the title" "$screendiff" "$expected_title" "$work/back.png" 8 480
exit $failed
