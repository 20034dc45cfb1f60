#!/usr/bin/env bash
# run_program.sh headless|xvfb ZORGAME GAME_DIR WORK_DIR
# Runs the program for a few frames on a copy of the game (the build tree
# stays clean), checks the screenshot it writes and the system file it saves.
set -euo pipefail
mode=$1 program=$2 game=$3 work=$4
source "$(dirname "$0")/game_copy.sh"
rm -rf "$work" && mkdir -p "$work"
clone_game "$work/game"
shot=$work/shot.png
sysfile=$work/game/sav/sysfile.sav
# The single-instance lock lives here, so parallel runs do not meet.
mkdir -m 700 "$work/run"
export XDG_RUNTIME_DIR=$work/run

png_size() {  # prints "width height" of a PNG file
  local hex
  hex=$(od -An -tx1 -j16 -N8 "$1" | tr -d ' \n')
  echo "$((16#${hex:0:8})) $((16#${hex:8:8}))"
}
save_counter() {  # the save counter of a system file (default: the saved one)
  od -An -td4 -j156 -N4 "${1:-$sysfile}" | tr -d ' '
}

run() {
  case $mode in
    headless)
      timeout 120 "$program" "$work/game" --headless --frames 40 --screenshot "$shot" >"$work/out.txt" 2>&1 || {
        cat "$work/out.txt"; exit 1; }
      ;;
    xvfb)
      timeout 120 xvfb-run -a -s "-screen 0 1280x1024x24" \
        "$program" "$work/game" --frames 20 --screenshot "$shot" >"$work/out.txt" 2>&1 || {
        cat "$work/out.txt"; exit 1; }
      if grep -q "running headless" "$work/out.txt"; then
        echo "the program did not open a window under Xvfb:"; cat "$work/out.txt"; exit 1
      fi
      ;;
  esac
  cat "$work/out.txt"
}

[ "$mode" = xvfb ] && ! command -v xvfb-run >/dev/null && { echo "xvfb-run is not installed"; exit 77; }

if [ "$mode" = xvfb ]; then
  # A first start shows the "system file not found" box, which waits for a
  # click on a real display: let a headless start make the file first.
  "$program" "$work/game" --headless --frames 1 >"$work/prepare.txt" 2>&1 || {
    cat "$work/prepare.txt"; exit 1; }
fi
# The run starts from the saved file, else from the one shipped with the game
# ("sav/sysfile.org"), else from the defaults that a first load writes (counter 1).
org=$work/game/sav/sysfile.org
if [ -f "$sysfile" ]; then before=$(save_counter)
elif [ -f "$org" ]; then before=$(save_counter "$org")
else before=1; fi

run
[ -f "$shot" ] || { echo "no screenshot written"; exit 1; }
size=$(png_size "$shot")
[ "$size" = "800 600" ] || { echo "screenshot is $size, not 800 600"; exit 1; }
[ -f "$sysfile" ] || { echo "no system file saved"; exit 1; }
[ "$(stat -c %s "$sysfile")" = 58432 ] || { echo "the system file is not 58432 bytes"; exit 1; }
# A run saves twice: at the end of the loop and quietly at release (a first
# run also writes the defaults when it finds no file).
[ "$(save_counter)" = $((before + 2)) ] || {
  echo "save counter $(save_counter) after a run from $before"; exit 1; }

run
[ "$(save_counter)" = $((before + 4)) ] || {
  echo "save counter $(save_counter) after the second run from $before"; exit 1; }
echo "ok: $mode run wrote an 800x600 screenshot and saved the system file twice per run"
