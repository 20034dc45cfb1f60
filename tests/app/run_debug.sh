#!/usr/bin/env bash
# run_debug.sh ZORGAME GAME_DIR WORK_DIR
# The debug aids end to end on copies of the sample game, headless for 40
# frames: with "debug666.txt" beside the game two runs show the same frames
# without a box, and the screenshot with the frame-rate meter turned on
# ("fpsPrintFlag") differs from one with the sample's own setting (off).
set -euo pipefail
program=$1 game=$2 work=$3
rm -rf "$work" && mkdir -p "$work"
source "$(dirname "$0")/game_copy.sh"

# run NAME [KEY VALUE]: one run in debug mode; its frame hashes go to
# $work/NAME.txt, its screenshot to $work/NAME.png.
run() {
  local name=$1 dir=$work/$1
  copy_game "$dir" "${@:2}"
  : >"$dir/debug666.txt"
  XDG_RUNTIME_DIR=$dir.run timeout 300 "$program" "$dir" --headless --frames 40 --hash-every 1 \
    --screenshot "$work/$name.png" >"$dir.out" 2>&1 || { echo "run $name failed:"; cat "$dir.out"; exit 1; }
  if grep -q '^\[box\]' "$dir.out"; then
    echo "run $name showed message boxes:"; grep '^\[box\]' "$dir.out"; exit 1
  fi
  grep '^frame ' "$dir.out" >"$work/$name.txt" || true
  [ "$(wc -l <"$work/$name.txt")" -ge 40 ] || { echo "run $name hashed fewer than 40 frames:"; cat "$dir.out"; exit 1; }
}

run first fpsPrintFlag 1
run second fpsPrintFlag 1
run nometer
cmp -s "$work/first.txt" "$work/second.txt" || {
  echo "the two debug runs showed different frames:"; diff "$work/first.txt" "$work/second.txt"; exit 1; }
if cmp -s "$work/first.png" "$work/nometer.png"; then
  echo "the frame-rate meter changed nothing on the screen"; exit 1
fi
echo "ok: debug mode ran 40 frames twice alike, and the frame-rate meter shows"
