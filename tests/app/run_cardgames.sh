#!/usr/bin/env bash
# run_cardgames.sh ZORGAME SCREENDIFF ZORLIST GAME_DIR MAINCONTROL_TXT EXPECTED_DIR WORK_DIR
# The sample's card game (Golf) and tile game (Nikaku) from their check
# areas on the title's left edge, end to end, headless, on copies of the
# game whose "mainControl" fixes "initRandomSeed":
# - each game is played for a few moves of the seeded deal; the final
#   screenshot matches the stored one (EXPECTED_DIR/golf.png, nikaku.png)
#   within a small tolerance;
# - two runs show the same frames; another seed deals another board.
# Set ZOR_WRITE_EXPECTED=1 to store the screenshots anew.
set -euo pipefail
program=$1 screendiff=$2 listtool=$3 game=$4 maincontrol=$5 expected=$6 work=$7
rm -rf "$work" && mkdir -p "$work"

run() {  # run NAME SEED FRAMES INPUT: frame hashes in $work/NAME.txt, screenshot $work/NAME.png
  local name=$1 seed=$2 frames=$3 input=$4
  rm -rf "$work/$name" && cp -r "$game" "$work/$name"
  { cat "$maincontrol"; printf '\ninitRandomSeed,%s\n' "$seed"; } >"$work/$name.main.txt"
  "$listtool" "$work/$name.main.txt" "$work/$name/init/mainControl.xtx"
  printf '1 move -5 700\n%s\n' "$input" | grep . >"$work/$name.input"
  mkdir -p -m 700 "$work/$name.run"
  XDG_RUNTIME_DIR=$work/$name.run timeout 120 "$program" "$work/$name" --headless --frames "$frames" \
    --hash-every 1 --screenshot "$work/$name.png" --input "$work/$name.input" >"$work/$name.out" 2>&1 ||
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
# A click at (x, y) on frame f; the pointer then leaves the window so the
# cursor stays out of the screenshots.
click() { printf '%s move %s %s\n%s button 0 down\n%s button 0 up\n%s move -5 700\n' \
  "$1" "$2" "$3" $(($1 + 2)) $(($1 + 3)) $(($1 + 4)); }

t=120  # the title has settled (tests/app/run_minigame.sh)

# Golf (area 2: 40 x 90 at (0, 200)); cards of 64 x 96: column j's last card
# at (25 + 114 j, 332), the stock at (481, 436). Seed 7 deals the two of
# diamonds on the foundation and the three of diamonds at the end of column
# 6, the only card that goes up; then the stock turns twice.
golf="$(click $t 20 245)
$(click $((t + 80)) 740 370)
$(click $((t + 120)) 510 480)
$(click $((t + 160)) 510 480)"
run golf1 7 $((t + 220)) "$golf"
run golf2 7 $((t + 220)) "$golf"
run golf3 8 $((t + 220)) "$golf"
check "golf: two runs show the same frames" cmp -s "$work/golf1.txt" "$work/golf2.txt"
if [ "${ZOR_WRITE_EXPECTED:-0}" = 1 ]; then cp "$work/golf1.png" "$expected/golf.png"; fi
check "golf: the seeded moves end on the stored board" "$screendiff" "$expected/golf.png" "$work/golf1.png" 8 480
check "golf: another seed deals another board" differs "$expected/golf.png" "$work/golf3.png"

# Nikaku (area 3: 40 x 90 at (0, 300)); tiles of 40 x 52, cell (c, r) at
# (40 c, 52 r). A click ends the deal. Seed 7 deals two nines of characters
# side by side at the end of row 1 (a straight join) and two fours of
# characters in row 1, columns 3 and 5, with a tile between them: they join
# round the outside through the border row above.
nikaku="$(click $t 20 345)
$(click $((t + 40)) 400 300)
$(click $((t + 60)) 700 78)
$(click $((t + 70)) 740 78)
$(click $((t + 100)) 140 78)
$(click $((t + 110)) 220 78)"
run nikaku1 7 $((t + 200)) "$nikaku"
run nikaku2 7 $((t + 200)) "$nikaku"
run nikaku3 8 $((t + 200)) "$nikaku"
check "nikaku: two runs show the same frames" cmp -s "$work/nikaku1.txt" "$work/nikaku2.txt"
if [ "${ZOR_WRITE_EXPECTED:-0}" = 1 ]; then cp "$work/nikaku1.png" "$expected/nikaku.png"; fi
check "nikaku: the seeded moves end on the stored board" "$screendiff" "$expected/nikaku.png" "$work/nikaku1.png" 8 480
check "nikaku: another seed deals another board" differs "$expected/nikaku.png" "$work/nikaku3.png"
exit $failed
