#!/usr/bin/env bash
# run_program.sh headless|xvfb ZORGAME GAME_DIR WORK_DIR
# Runs the program for a few frames and checks the screenshot it writes.
set -euo pipefail
mode=$1 program=$2 game=$3 work=$4
rm -rf "$work" && mkdir -p "$work"
shot=$work/shot.png

png_size() {  # prints "width height" of a PNG file
  local hex
  hex=$(od -An -tx1 -j16 -N8 "$1" | tr -d ' \n')
  echo "$((16#${hex:0:8})) $((16#${hex:8:8}))"
}

case $mode in
  headless)
    "$program" "$game" --headless --frames 100 --screenshot "$shot" >"$work/out.txt" 2>&1 || {
      cat "$work/out.txt"; exit 1; }
    ;;
  xvfb)
    command -v xvfb-run >/dev/null || { echo "xvfb-run is not installed"; exit 77; }
    xvfb-run -a -s "-screen 0 1280x1024x24" \
      "$program" "$game" --frames 20 --screenshot "$shot" >"$work/out.txt" 2>&1 || {
      cat "$work/out.txt"; exit 1; }
    if grep -q "running headless" "$work/out.txt"; then
      echo "the program did not open a window under Xvfb:"; cat "$work/out.txt"; exit 1
    fi
    ;;
esac
cat "$work/out.txt"
[ -f "$shot" ] || { echo "no screenshot written"; exit 1; }
size=$(png_size "$shot")
[ "$size" = "800 600" ] || { echo "screenshot is $size, not 800 600"; exit 1; }
echo "ok: $mode run wrote an 800x600 screenshot"
