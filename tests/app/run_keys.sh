#!/usr/bin/env bash
# run_keys.sh ZORGAME GAME_DIR WORK_DIR
# The window's keys end to end on copies of the sample game, headless for 60
# frames: the sample sets the off flags of Esc and F9 in its list "game",
# so Esc (and F9) at frame 3 leave every frame to run; with the flag put back
# to 0 they end the run right after frame 3; an input script of moves, clicks,
# wheel turns and keys shows the same frames in two runs; numeric minus
# (the boss-coming key) changes the frames it covers, the same in two runs.
set -euo pipefail
program=$1 game=$2 work=$3
rm -rf "$work" && mkdir -p "$work"
source "$(dirname "$0")/game_copy.sh"

# run NAME SCRIPT [KEY VALUE]: one run with the input script's text; its
# frame hashes go to $work/NAME.txt. KEY VALUE is put first in the list
# "game", where the first match wins.
run() {
  local name=$1 dir=$work/$1
  copy_game "$dir" "${@:3}"
  printf '%s\n' "$2" >"$work/$name.input"
  XDG_RUNTIME_DIR=$dir.run timeout 120 "$program" "$dir" --headless --frames 60 --hash-every 1 \
    --input "$work/$name.input" >"$dir.out" 2>&1 || { echo "run $name failed:"; cat "$dir.out"; exit 1; }
  grep '^frame ' "$dir.out" >"$work/$name.txt" || true
}
frames() { wc -l <"$work/$1.txt"; }
failed=0
check() {  # check NAME CONDITION...
  local name=$1; shift
  if "$@"; then echo "ok   $name"; else echo "FAIL $name ($(frames "${name%% *}") frames)"; failed=1; fi
}

run esc '3 key 27 down' escKeyExitOffFlag 0
run escoff '3 key 27 down'
run f9 '3 key 120 down' f9KeyExitOffFlag 0
run f9off '3 key 120 down'
check "esc ends the run after frame 3" test "$(frames esc)" -eq 3
check "escoff (the sample's own flag) runs every frame" test "$(frames escoff)" -ge 60
check "f9 ends the run after frame 3" test "$(frames f9)" -eq 3
check "f9off (the sample's own flag) runs every frame" test "$(frames f9off)" -ge 60

input='2 move 100 100
3 button 0 down
4 button 0 up
5 wheel 120
6 wheel -240
7 key 38 down
8 key 38 up
9 key 16 down
10 key 16 up
11 move 790 590
12 button 1 down
13 button 1 up
14 key 109 down
20 key 109 down
22 key 123 down
25 key 13 altdown
30 key 40 down
31 move -5 700'
# Numeric minus covers the screen with the sample's boss-coming colour.
run boss '5 key 109 down'
run boss2 '5 key 109 down'
run noboss '5 key 109 up'
check "numeric minus changes the last frame" test "$(tail -n 1 "$work/boss.txt")" != "$(tail -n 1 "$work/noboss.txt")"
check "the cover is the same in two runs" cmp -s "$work/boss.txt" "$work/boss2.txt"

run first "$input"
run second "$input"
check "first runs every frame" test "$(frames first)" -ge 60
check "the same input shows the same frames" cmp -s "$work/first.txt" "$work/second.txt"
exit $failed
