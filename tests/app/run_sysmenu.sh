#!/usr/bin/env bash
# run_sysmenu.sh ZORGAME SCREENDIFF GAME_DIR EXPECTED_DIR WORK_DIR
# The sample game's frame end to end, headless, from one input script:
# New game; the name entry shows the sample's default names, which
# Backspace clears; it takes "山田" typed as text with OK and "太郎" with
# Return; the greeting; the option button opens the
# system menu; Config, the music bar dragged to its left end, Back to the
# story; the menu again, Title and the dialog's OK: the title.
# - The system file holds both names and music volume 0.
# - The name entry with the longest names its fields take (typed Latin text
#   for the family name, Japanese for the given name) and the menu match
#   their stored screenshots within a tolerance; the run ends on the title.
# - The first click on the menu once it is drawn whole picks its option.
# - Two runs show the same frames.
# - A second run on the same folder opens the configuration from the title
#   with the music bar where it was left.
# Save and load from the menu wait for their screens.
set -euo pipefail
program=$1 screendiff=$2 game=$3 expected=$4 work=$5
rm -rf "$work" && mkdir -p "$work"
source "$(dirname "$0")/run_lib.sh"

# Backspaces that clear the field, the name typed, OK clicked.
erase() {  # erase FRAME
  local i
  for i in 0 1 2 3 4 5; do printf '%d key 8 down\n%d key 8 up\n' $(($1 + 2 * i)) $(($1 + 2 * i + 1)); done
}
name() {  # name FRAME TEXT
  local f=$1
  erase "$f"
  printf '%d text %s\n%d move 320 356\n%d button 0 down\n%d button 0 up\n%d move -5 700\n' \
    $((f + 14)) "$2" $((f + 16)) $((f + 18)) $((f + 19)) $((f + 20))
}
# The same with Return instead of OK.
name_return() {  # name_return FRAME TEXT
  erase "$1"
  printf '%d text %s\n%d key 13 down\n%d key 13 up\n' $(($1 + 14)) "$2" $(($1 + 18)) $(($1 + 19))
}
# Frames: the title stands at 125; the name entry from 210; the greeting is
# typed by 400; the menu at 402 (its wipe drawn whole by 419), Config at
# 445, the configuration screen from 495; Back at 517; the menu again at
# 570, Title at 610, the dialog's OK at 625 (the dialog stands beside the
# menu's panel, its whole frame drawn, by 622: sysmenu_title.png); the
# title stands again by 720.
to_menu() {
  echo "1 move -5 700"
  click 125 400 300
  name 210 山田
  name_return 240 太郎
  click 400 776 20
}
# Config clicked as soon as the menu is drawn whole.
{ to_menu; click 420 624 156; } >"$work/input-early"
{
  to_menu
  click 445 624 156
  printf '495 move 450 78\n496 button 0 down\n497 move 360 78\n498 move 300 78\n499 button 0 up\n500 move 700 20\n'
  click 515 700 560
  click 570 776 20
  click 610 624 420
  click 625 286 266
} >"$work/input"

run() { run_headless "$@"; }  # run NAME DIR FRAMES INPUT [OPTIONS...]
fresh() { rm -rf "$work/$1" && clone_game "$work/$1"; }
setting() { od -An -t d4 -j $(($2 + 64)) -N 4 "$1" | tr -d ' '; }
holds() { LC_ALL=C grep -q -F "$(printf '%s' "$2" | iconv -f UTF-8 -t CP932)" "$1"; }

# The longest names: ten Latin letters keep seven (full-width), as do eight
# kanji.
{
  echo "1 move -5 700"
  click 125 400 300
  name 210 Hoshinomiya
  erase 240
  printf '254 text 長谷川長谷川長谷\n'
} >"$work/input-long"
fresh n && run names "$work/n" 258 "$work/input-long"
check "the name entry shows the longest names in their fields" \
  "$screendiff" "$expected/nameinput.png" "$work/names.png" 8 480
# Config clicked at 420 and at 445: the same screen 49 frames later.
fresh e && run early "$work/e" 469 "$work/input-early"
fresh a && run whole "$work/a" 720 "$work/input" --screenshot-at 442 "$work/menu.png" \
  --screenshot-at 496 "$work/late.png" --screenshot-at 622 "$work/dialog.png"
check "the first click on the drawn menu opens the configuration" \
  "$screendiff" "$work/late.png" "$work/early.png" 8 480
check "the menu over the greyed story matches" "$screendiff" "$expected/sysmenu.png" "$work/menu.png" 8 480
check "the title question stands beside the menu's panel" \
  "$screendiff" "$expected/sysmenu_title.png" "$work/dialog.png" 8 480
check "the family name is in the system file" holds "$work/a/sav/sysfile.sav" 山田
check "the given name is in the system file" holds "$work/a/sav/sysfile.sav" 太郎
check "music volume became 0" test "$(setting "$work/a/sav/sysfile.sav" 176)" -eq 0
check "the run ends on the title" "$screendiff" "$expected/title.png" "$work/whole.png" 8 480
fresh b && run twice "$work/b" 720 "$work/input"
check "two runs show the same frames" cmp -s "$work/whole.txt" "$work/twice.txt"

# The second run: Config from the title.
printf '1 move -5 700\n' >"$work/input2"
click 125 400 400 >>"$work/input2"
run again "$work/a" 175 "$work/input2"
fresh c && run untouched "$work/c" 175 "$work/input2"
differs() { ! "$screendiff" "$1" "$2" 0 0 >/dev/null 2>&1; }
check "the second run's configuration shows the bar where it was left" differs "$work/untouched.png" "$work/again.png"
exit $failed
