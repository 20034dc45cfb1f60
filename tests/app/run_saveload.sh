#!/usr/bin/env bash
# run_saveload.sh ZORGAME SCREENDIFF GAME_DIR EXPECTED_DIR WORK_DIR
# Saving and loading the sample game end to end, headless:
# - a first run starts a new game, presses S in the first scene, saves into
#   slot 1 with the comment "テスト" typed in the comment dialog and goes
#   back to the scene; the save folder then holds the slot file and a
#   rewritten system file;
# - a second run on the same folder loads slot 1 from the title and ends on
#   the saved scene, matching the first run's last frame;
# - the save screen (its heading, the slots' numbers, the back button), the
#   comment dialog with its typed comment, the warning shown when the
#   comment of slot 1 is confirmed again, and the load screen with the
#   saved slot match their stored screenshots (tests/app/expected/save*.png,
#   load.png); two runs show the same frames.
set -euo pipefail
program=$1 screendiff=$2 game=$3 expected=$4 work=$5
rm -rf "$work" && mkdir -p "$work"
source "$(dirname "$0")/run_lib.sh"

run() {  # run NAME DIR FRAMES INPUT [OPTIONS...]: frame hashes in $work/NAME.txt, screenshot $work/NAME.png
  local name=$1 dir=$2 frames=$3
  printf '%s\n' "$4" >"$work/$name.input"
  shift 4
  run_headless "$name" "$dir" "$frames" "$work/$name.input" "$@"
}

# New game, the names, S in the scene, slot 1, the comment, OK, back.
save_input=$(cat "$(dirname "$0")/save_slot1.input")
# Load from the title, slot 1.
load_input='1 move -5 700
130 move 400 350
140 button 0 down
141 button 0 up
180 move 151 163
200 button 0 down
201 button 0 up
202 move -5 700'

rm -rf "$work/a" && clone_game "$work/a"
sys_before=$(cksum <"$work/a/sav/sysfile.sav" 2>/dev/null || echo none)
run save "$work/a" 590 "$save_input" --screenshot-at 457 "$work/save_screen.png" \
  --screenshot-at 496 "$work/save_comment.png"
check "the save screen matches its stored screenshot" "$screendiff" "$expected/save.png" "$work/save_screen.png" 8 480
check "the comment dialog matches its stored screenshot" "$screendiff" "$expected/save_comment.png" "$work/save_comment.png" 8 480
check "the slot file was written" test -s "$work/a/sav/data0.sav"
check "the system file was rewritten" test "$(cksum <"$work/a/sav/sysfile.sav")" != "$sys_before"
check "the comment is in the slot (CP932)" grep -q "$(printf '\x83\x65\x83\x58\x83\x67')" "$work/a/sav/data0.sav"

cp -r "$work/a" "$work/c" && cp -r "$work/a" "$work/d" && cp -r "$work/a" "$work/w"
run save_warning "$work/w" 520 "$save_input"
check "saving over slot 1 asks first" "$screendiff" "$expected/save_warning.png" "$work/save_warning.png" 8 480
run restored "$work/c" 320 "$load_input" --screenshot-at 182 "$work/load.png"
run restored2 "$work/d" 320 "$load_input"
check "the load screen shows the slot" "$screendiff" "$expected/load.png" "$work/load.png" 8 480
check "the loaded game shows the saved scene" "$screendiff" "$work/save.png" "$work/restored.png" 8 2000
check "two loading runs show the same frames" cmp -s "$work/restored.txt" "$work/restored2.txt"
exit $failed
