#!/usr/bin/env bash
# run_minigame.sh ZORGAME SCREENDIFF GAME_DIR EXPECTED_DIR WORK_DIR
# The way into the sample game's mini-games, end to end, headless:
# - Extras on the title opens the extras screen, which shows its headings,
#   its own buttons (CARDS among them) and the labelled mini-game buttons
#   (HOW TO PLAY, GOLF, NIKAKU, SLIDE 16; NURIE only once Slide16 is
#   cleared): expected/extras.png;
# - HOW TO PLAY opens the mini-game screen on the page that explains the
#   games (expected/minigame_page.png); two runs show the same frames;
# - a click passes the page; the exit button then returns to the extras;
# - CARDS opens the card screen: four character cards with their power
#   marks under the heading CARDS and the words that say a click on a card
#   does nothing, with its Back button (expected/cards.png); Back, and
#   a right click, return to the extras.
# ZOR_WRITE_EXPECTED=1 stores the screenshots anew.
set -euo pipefail
program=$1 screendiff=$2 game=$3 expected=$4 work=$5
rm -rf "$work" && mkdir -p "$work"
source "$(dirname "$0")/run_lib.sh"

run() {  # run NAME FRAMES INPUT [OPTIONS...]: hashes in $work/NAME.txt, screenshot $work/NAME.png
  local name=$1 frames=$2 input=$3
  shift 3
  rm -rf "$work/$name" && clone_game "$work/$name"
  printf '1 move -5 700\n%s\n' "$input" | grep . >"$work/$name.input"
  run_headless "$name" "$work/$name" "$frames" "$work/$name.input" "$@"
}

run title 150 ""
t=$(settled "$work/title.txt")
e=$((t + 40))  # the extras, opened at $t, have settled
# Extras (200 x 40 at (300, 430)), then HOW TO PLAY (200 x 40 at (560, 280)).
open="$(click $t 400 450)
$(click $e 660 300)"
run page1 $((e + 60)) "$open" --screenshot-at $((e - 2)) "$work/extras.png"
run page2 $((e + 60)) "$open"
check "the extras show the labelled mini-game buttons" "$screendiff" "$expected/extras.png" "$work/extras.png" 8 480
check "two runs show the same frames" cmp -s "$work/page1.txt" "$work/page2.txt"
check "HOW TO PLAY shows the page that explains the mini-games" \
  "$screendiff" "$expected/minigame_page.png" "$work/page1.png" 8 480

# Pass the page with a click, then the exit button (64 x 24 at (720, 560)).
run back $((e + 200)) "$open
$(click $((e + 40)) 400 300)
$(click $((e + 50)) 740 570)"
page=$(tail -1 "$work/page1.txt" | cut -d' ' -f3)
check "the way back passes the page" grep -q " $page\$" "$work/back.txt"
after=$(awk -v a=$((e + 46)) -v b=$((e + 50)) '$2 >= a && $2 <= b { print $3 }' "$work/back.txt" | sort -u)
check "after the page the exit button shows over it" test -n "$after" -a "$after" != "$page"
check "the exit button returns to the extras" "$screendiff" "$expected/extras.png" "$work/back.png" 8 480

# CARDS (200 x 40 at (300, 480)); the card screen's Back (120 x 32 at
# (340, 284)), then CARDS again and a right click.
run cards $((e + 140)) "$(click $t 400 450)
$(click $e 400 500)
$(click $((e + 40)) 400 300)
$(click $((e + 80)) 400 500)
$((e + 110)) button 1 down
$((e + 111)) button 1 up" --screenshot-at $((e + 38)) "$work/cards_screen.png" \
  --screenshot-at $((e + 78)) "$work/cards_back.png"
check "CARDS shows the card screen" "$screendiff" "$expected/cards.png" "$work/cards_screen.png" 8 480
check "its Back returns to the extras" "$screendiff" "$expected/extras.png" "$work/cards_back.png" 8 480
check "a right click returns to the extras" "$screendiff" "$expected/extras.png" "$work/cards.png" 8 480
exit $failed
