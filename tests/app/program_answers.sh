#!/usr/bin/env bash
# program_answers.sh ZORGAME GAME_DIR WORK_DIR
# What the program answers a player who starts it wrongly: --help, an
# unknown option, a folder without a game, a start the engine refuses and a
# display that shows nothing, each with its message and exit status.
set -uo pipefail
program=$1 game=$2 work=$3
source "$(dirname "$0")/game_copy.sh"
rm -rf "$work" && mkdir -p "$work"
clone_game "$work/game"
mkdir -m 700 "$work/run"
export XDG_RUNTIME_DIR=$work/run
failed=0

# expect STATUS TEXT NAME -- COMMAND...: runs the command and checks its exit
# status and that its output holds TEXT (when not empty).
expect() {
  local status=$1 text=$2 name=$3
  shift 4
  local got=0
  timeout 120 "$@" >"$work/out.txt" 2>&1 || got=$?
  if [ "$got" != "$status" ] || { [ -n "$text" ] && ! grep -qF -- "$text" "$work/out.txt"; }; then
    echo "FAIL $name: status $got (want $status), output:"
    cat "$work/out.txt"
    failed=1
  else
    echo "ok   $name"
  fi
}

expect 0 "usage: zorgame" "--help" -- "$program" --help
expect 2 "unknown option --colour" "unknown option" -- "$program" --colour
mkdir -p "$work/home"
expect 2 "is not a game folder" "a folder without a game" -- "$program" "$work/home" --headless --frames 1
[ -z "$(ls -A "$work/home")" ] || { echo "FAIL: something was written into $work/home"; failed=1; }

# SDL's offscreen driver opens but shows nothing: the program says so and
# runs headless.
expect 0 "running headless" "offscreen driver" -- \
  env SDL_VIDEODRIVER=offscreen "$program" "$work/game" --frames 3
# A headless run that an input script ends (its first line after a
# byte-order mark) needs no note on how it ends.
printf '\xEF\xBB\xBF# ends the run\n3 close\n' >"$work/close.txt"
expect 0 "" "input script that closes" -- "$program" "$work/game" --headless --input "$work/close.txt"
if grep -q "the run ends when the game quits" "$work/out.txt"; then
  echo "FAIL: the ending note was printed for a run that has an end"; failed=1
fi

# Frames picked from one run: each written or hashed at its frame (a run of
# --frames 5 shows 7: the start-up message, 5 frames and the one closing
# it, whose picture --screenshot writes); a file that cannot be written, or
# a frame the run never reaches, fails the run naming the file.
expect 0 "frame 2 " "frames picked from one run" -- "$program" "$work/game" --headless --frames 5 \
  --screenshot "$work/last.png" --screenshot-at 3 "$work/at3.png" --screenshot-at 7 "$work/at7.png" \
  --hash-at 2
if ! cmp -s "$work/at7.png" "$work/last.png" || cmp -s "$work/at3.png" "$work/last.png" ||
  [ "$(grep -c '^frame ' "$work/out.txt")" != 1 ]; then
  echo "FAIL: the frames picked from one run"; failed=1
fi
expect 1 "could not write the screenshot $work/no/at.png" "a frame that cannot be written" -- \
  "$program" "$work/game" --headless --frames 5 --screenshot-at 2 "$work/no/at.png"
expect 1 "$work/late.png was not written" "a frame the run never reaches" -- \
  "$program" "$work/game" --headless --frames 5 --screenshot-at 8 "$work/late.png"
# Many frames the run never reaches: one line for the one cause.
expect 1 "zor: the run ended at frame 7, before frame 8: 3 screenshots were not written ($work/l1.png at frame 8 to $work/l3.png at frame 30); 2 hashes were not printed (frame 9 to 12)" \
  "frames the run never reaches" -- "$program" "$work/game" --headless --frames 5 --screenshot-at 8 "$work/l1.png" \
  --screenshot-at 20 "$work/l2.png" --screenshot-at 30 "$work/l3.png" --hash-at 9 --hash-at 12
if [ "$(grep -c 'the run ended' "$work/out.txt")" != 1 ]; then
  echo "FAIL: one line for frames the run never reaches"; cat "$work/out.txt"; failed=1
fi
expect 2 "--screenshot-at needs a value" "a frame without its file" -- \
  "$program" "$work/game" --headless --screenshot-at 3

# The desktop check refuses the start: its box, then a non-zero status.
printf 'needBpp,64\r\n' >"$work/game/init/mainControl.xtx"
expect 3 "[box]" "a refused start" -- "$program" "$work/game" --headless --frames 3
exit $failed
