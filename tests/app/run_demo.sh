#!/usr/bin/env bash
# run_demo.sh ZORGAME GAME_DIR WORK_DIR
# Starts the sample game headless twice for 30 frames on fresh copies: each
# run must end cleanly without a message box, and both must show the same
# frames.
set -euo pipefail
program=$1 game=$2 work=$3
source "$(dirname "$0")/game_copy.sh"
rm -rf "$work" && mkdir -p "$work"

run() {  # run NAME: frame hashes of one run in $work/NAME.txt
  local dir=$work/$1
  clone_game "$dir"
  mkdir -m 700 "$dir.run"
  XDG_RUNTIME_DIR=$dir.run timeout 120 "$program" "$dir" --headless --frames 30 --hash-every 1 \
    >"$dir.out" 2>&1 || { echo "run $1 failed:"; cat "$dir.out"; exit 1; }
  if grep -q '^\[box\]' "$dir.out"; then
    echo "run $1 showed message boxes:"; grep '^\[box\]' "$dir.out"; exit 1
  fi
  grep '^frame ' "$dir.out" >"$work/$1.txt" || true
  [ "$(wc -l <"$work/$1.txt")" -ge 30 ] || { echo "run $1 hashed fewer than 30 frames:"; cat "$dir.out"; exit 1; }
}

run first
run second
cmp -s "$work/first.txt" "$work/second.txt" || {
  echo "the two runs showed different frames:"; diff "$work/first.txt" "$work/second.txt"; exit 1; }
echo "ok: the sample game ran 30 frames twice without a box and with the same frames"
