#!/usr/bin/env bash
# run_badscript.sh ZORGAME GAME_DIR WORK_DIR
# New game with the first scene's script cut short, replaced by garbage or
# missing, end to end, headless: one box names the file and why (a line on
# stderr too), and the game goes back to the title, whose Quit then ends the
# program. Then the system script itself broken: every New game says on
# stderr that the game cannot start, the first also in a box, and the title
# stays there to answer (a second New game, then Quit).
set -euo pipefail
program=$1 game=$2 work=$3
rm -rf "$work" && mkdir -p "$work"
source "$(dirname "$0")/run_lib.sh"

# New game once the title stands (frame 125), Quit at frame 300.
{ echo "1 move -5 700"; click 125 400 300; click 300 400 500; } >"$work/input"
boxes() { grep -c '^\[box\]' "$work/$1.out" || true; }
for how in cut garbage missing; do
  dir=$work/$how
  clone_game "$dir"
  case $how in
    cut) head -c 1000 "$game/spt/scene1.spt" >"$dir/spt/scene1.spt" ;;
    garbage) head -c 4000 "$game/vaw/sys/logo.vaw" >"$dir/spt/scene1.spt" ;;
    missing) rm "$dir/spt/scene1.spt" ;;
  esac
  case $how in
    missing) why='Script File not found:spt\\scene1.spt' ;;
    *) why='Script File broken:spt\\scene1.spt' ;;
  esac
  mkdir -p -m 700 "$work/$how.run"
  XDG_RUNTIME_DIR=$work/$how.run timeout 120 "$program" "$dir" --headless --frames 500 \
    --hash-every 1 --input "$work/input" >"$work/$how.out" 2>&1 ||
    { echo "run $how failed:"; cat "$work/$how.out"; exit 1; }
  check "$how: one box" test "$(boxes "$how")" = 1
  check "$how: the box names the file" grep -q "^\[box\] ERROR: $why" "$work/$how.out"
  check "$how: a line on stderr names the file" grep -q "^$why" "$work/$how.out"
  last=$(grep '^frame ' "$work/$how.out" | tail -1 | cut -d' ' -f2)
  check "$how: back on the title, whose Quit ends the program (at frame $last)" test "$last" -lt 330
done

{ echo "1 move -5 700"; click 125 400 300; click 300 400 300; click 475 400 500; } >"$work/input2"
how=system dir=$work/system
clone_game "$dir"
head -c 4000 "$game/vaw/sys/logo.vaw" >"$dir/spt/sys.spt"
mkdir -p -m 700 "$work/$how.run"
XDG_RUNTIME_DIR=$work/$how.run timeout 120 "$program" "$dir" --headless --frames 700 \
  --hash-every 1 --input "$work/input2" >"$work/$how.out" 2>&1 ||
  { echo "run $how failed:"; cat "$work/$how.out"; exit 1; }
check "$how: the broken file's box at start and one box for New game" test "$(boxes "$how")" = 2
check "$how: the box says the game cannot start" \
  grep -q '^\[box\] ERROR: spt\\sys.spt: the game cannot start without the system script' "$work/$how.out"
lines=$(grep -o 'spt\\sys.spt: the game cannot start without the system script (Script File broken:spt\\sys.spt)' \
  "$work/$how.out" | wc -l || true)
check "$how: a line on stderr for each New game ($lines)" test "$lines" = 2
last=$(grep '^frame ' "$work/$how.out" | tail -1 | cut -d' ' -f2)
check "$how: the title's Quit ends the program (at frame $last)" test "$last" -lt 500
exit $failed
