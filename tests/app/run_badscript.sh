#!/usr/bin/env bash
# run_badscript.sh ZORGAME GAME_DIR WORK_DIR
# New game with the first scene's script cut short or replaced by garbage,
# end to end, headless: one box names the file and why, and the game goes
# back to the title, whose Quit then ends the program.
set -euo pipefail
program=$1 game=$2 work=$3
rm -rf "$work" && mkdir -p "$work"
source "$(dirname "$0")/run_lib.sh"

# New game once the title stands (frame 125), Quit at frame 300.
{ echo "1 move -5 700"; click 125 400 300; click 300 400 500; } >"$work/input"
boxes() { grep -c '^\[box\]' "$work/$1.out" || true; }
for how in cut garbage; do
  dir=$work/$how
  clone_game "$dir"
  case $how in
    cut) head -c 1000 "$game/spt/scene1.spt" >"$dir/spt/scene1.spt" ;;
    garbage) head -c 4000 "$game/vaw/sys/logo.vaw" >"$dir/spt/scene1.spt" ;;
  esac
  mkdir -p -m 700 "$work/$how.run"
  XDG_RUNTIME_DIR=$work/$how.run timeout 120 "$program" "$dir" --headless --frames 500 \
    --hash-every 1 --input "$work/input" >"$work/$how.out" 2>&1 ||
    { echo "run $how failed:"; cat "$work/$how.out"; exit 1; }
  check "$how: one box" test "$(boxes "$how")" = 1
  check "$how: the box names the file" grep -q '^\[box\] ERROR: Script File broken:spt\\scene1.spt' "$work/$how.out"
  last=$(grep '^frame ' "$work/$how.out" | tail -1 | cut -d' ' -f2)
  check "$how: back on the title, whose Quit ends the program (at frame $last)" test "$last" -lt 330
done
exit $failed
