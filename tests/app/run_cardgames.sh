#!/usr/bin/env bash
# run_cardgames.sh ZORGAME SCREENDIFF GAME_DIR EXPECTED_DIR WORK_DIR
# The sample's card game (Golf) and tile game (Nikaku) from their buttons
# on the extras screen, end to end, headless, on copies of the game whose
# "mainControl" fixes "initRandomSeed":
# - each game first shows its rules (EXPECTED_DIR/golf_rule.png,
#   nikaku_rule.png); a left click passes them;
# - each game is played for a few moves of the seeded deal; the final
#   screenshot matches the stored one (EXPECTED_DIR/golf.png, nikaku.png)
#   within a small tolerance;
# - two runs show the same frames; another seed deals another board.
# Set ZOR_WRITE_EXPECTED=1 to store the screenshots anew.
set -euo pipefail
program=$1 screendiff=$2 game=$3 expected=$4 work=$5
source "$(dirname "$0")/game_copy.sh"
rm -rf "$work" && mkdir -p "$work"
source "$(dirname "$0")/run_lib.sh"

run() {  # run NAME SEED FRAMES INPUT [OPTIONS...]: on a copy of the game with the seed
  local name=$1 seed=$2 frames=$3 input=$4
  shift 4
  copy_game "$work/$name"
  # The first match wins: the seed goes before the list's own keys.
  { printf 'initRandomSeed,%s\r\n' "$seed"; cat "$game/init/mainControl.xtx"; } >"$work/$name/init/mainControl.xtx"
  printf '1 move -5 700\n%s\n' "$input" | grep . >"$work/$name.input"
  run_headless "$name" "$work/$name" "$frames" "$work/$name.input" "$@"
}
differs() { ! "$screendiff" "$1" "$2" 8 480 >/dev/null 2>&1; }
play() {  # play NAME FRAMES INPUT: seed 7 twice, then seed 8; the rules at $e + 38
  local name=$1 frames=$2 input=$3
  run "${name}1" 7 "$frames" "$input" --screenshot-at $((e + 38)) "$work/${name}_rule.png"
  run "${name}2" 7 "$frames" "$input"
  run "${name}3" 8 "$frames" "$input"
  check "$name: two runs show the same frames" cmp -s "$work/${name}1.txt" "$work/${name}2.txt"
  if [ "${ZOR_WRITE_EXPECTED:-0}" = 1 ]; then
    cp "$work/${name}1.png" "$expected/$name.png"
    cp "$work/${name}_rule.png" "$expected/${name}_rule.png"
  fi
  check "$name: the game shows its rules first" "$screendiff" "$expected/${name}_rule.png" "$work/${name}_rule.png" 8 480
  check "$name: the seeded moves end on the stored board" "$screendiff" "$expected/$name.png" "$work/${name}1.png" 8 480
  check "$name: another seed deals another board" differs "$expected/$name.png" "$work/${name}3.png"
}

t=120  # the title has settled (tests/app/run_minigame.sh)
e=$((t + 40))  # the extras, opened at $t, have settled

# Golf (the extras' GOLF button, 200 x 40 at (560, 330)); cards of 64 x 96:
# column j's last card at (25 + 114 j, 332), the stock at (481, 436). Seed 7
# deals the nine of diamonds on the foundation (the mini-games made before
# Golf draw from the generator too, so the deal follows the list's
# entries): the ten of diamonds ends column 1 and the jack of hearts column
# 6; both go up, then the stock turns twice. A click at $e + 40 passes the
# rules.
golf="$(click $t 400 450)
$(click $e 660 350)
$(click $((e + 40)) 400 300)
$(click $((e + 120)) 170 370)
$(click $((e + 160)) 740 370)
$(click $((e + 200)) 510 480)
$(click $((e + 240)) 510 480)"
play golf $((e + 300)) "$golf"

# Nikaku (the NIKAKU button, 200 x 40 at (560, 380)); tiles of 40 x 52,
# cell (c, r) at (40 c, 52 r). A click passes the rules, the next ends the
# deal. Seed 7 deals two
# eights of circles side by side in row 2, columns 11 and 12 (a straight
# join), and two fours of characters in row 1, columns 8 and 11, with tiles
# between them: they join round the outside through the border row above.
nikaku="$(click $t 400 450)
$(click $e 660 400)
$(click $((e + 40)) 400 300)
$(click $((e + 80)) 400 300)
$(click $((e + 100)) 460 130)
$(click $((e + 110)) 500 130)
$(click $((e + 140)) 340 78)
$(click $((e + 150)) 460 78)"
play nikaku $((e + 240)) "$nikaku"
exit $failed
