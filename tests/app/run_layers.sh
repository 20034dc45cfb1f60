#!/usr/bin/env bash
# run_layers.sh ZORGAME GAME_DIR WORK_DIR
# The sample game's mouse cursor end to end, headless for 40 frames: it is
# drawn where the pointer is (the screenshot differs from a run whose pointer
# stays outside), the same moves show the same frames in two runs, and a
# pointer that leaves the window leaves no cursor and no trace (the last
# frame and the screenshot equal those of the run that never came in).
set -euo pipefail
program=$1 game=$2 work=$3
source "$(dirname "$0")/game_copy.sh"
rm -rf "$work" && mkdir -p "$work"

run() {  # run NAME INPUT: frame hashes in $work/NAME.txt, screenshot $work/NAME.png
  local name=$1 dir=$work/$1
  clone_game "$dir"
  printf '%s\n' "$2" >"$work/$name.input"
  mkdir -m 700 "$dir.run"
  XDG_RUNTIME_DIR=$dir.run timeout 120 "$program" "$dir" --headless --frames 40 --hash-every 1 \
    --input "$work/$name.input" --screenshot "$work/$name.png" >"$dir.out" 2>&1 ||
    { echo "run $name failed:"; cat "$dir.out"; exit 1; }
  grep '^frame ' "$dir.out" >"$work/$name.txt" || true
}
failed=0
check() {  # check NAME CONDITION...
  local name=$1; shift
  if "$@"; then echo "ok   $name"; else echo "FAIL $name"; failed=1; fi
}
differ() { ! cmp -s "$1" "$2"; }

moves='2 move 100 100
5 move 140 120
8 move 180 140
11 move 220 160
14 move 260 180
17 move 300 200'
run outside '2 move -5 700'
run inside "$moves"
run again "$moves"
run left "$moves
25 move -5 700"
check "the cursor shows where the pointer is" differ "$work/inside.png" "$work/outside.png"
check "the same moves show the same frames" cmp -s "$work/inside.txt" "$work/again.txt"
check "the cursor moves with the pointer" differ "$work/inside.txt" "$work/outside.txt"
check "a pointer that left shows the same screen" cmp -s "$work/left.png" "$work/outside.png"
check "a pointer that left shows the same last frame" \
  test "$(tail -1 "$work/left.txt" | cut -d' ' -f3)" = "$(tail -1 "$work/outside.txt" | cut -d' ' -f3)"
exit $failed
