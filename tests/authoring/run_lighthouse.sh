#!/usr/bin/env bash
# run_lighthouse.sh BIN_DIR SCREENDIFF SOURCE_DIR
# An author's game made outside the repository: the source folder
# (tests/authoring/lighthouse) is copied into a fresh temporary folder,
# built there by BIN_DIR/zor-build alone, checked by zor-check, and played
# headless:
# - the first start says nothing on stderr (every file the lists name is
#   there, the shipped system file too);
# - the pictures and the voice put directly in dwq/ and cdvaw/ land in the
#   folders of their first two letters; README files and editor backups
#   stay out;
# - the question answered both ways runs its own branch (the lit night or
#   the fog);
# - a save on the branch's page comes back when loaded in a new run;
# - building again keeps the player's saves in the game folder.
set -euo pipefail
bin=$(realpath "$1") screendiff=$(realpath "$2") source=$(realpath "$3")
root=$(mktemp -d "${TMPDIR:-/tmp}/zor-lighthouse.XXXXXX")
work=$root/work
mkdir -p "$work"
program=$bin/zorgame
source "$(dirname "$0")/../app/run_lib.sh"

cp -r "$source" "$root/src"
# What an author's folder also holds: an editor backup that is not a
# script, and notes at its top.
echo 'not a script {' >"$root/src/spt/scene.spt.txt~"
echo 'ideas for chapter two' >"$root/src/notes.txt"

cd "$root"
status=0
"$bin/zor-build" src game >"$work/build.out" 2>&1 || status=$?
check "zor-build makes the game folder" test "$status" = 0
[ "$status" = 0 ] || { cat "$work/build.out"; exit 1; }
status=0
"$bin/zor-check" game --source src >"$work/check.out" 2>&1 || status=$?
check "zor-check passes it clean" test "$status" = 0 -a ! -s "$work/check.out"
cat "$work/check.out"
for file in dwq/bg/bg01.dwq dwq/bg/bg02.dwq dwq/ke/ke01.dwq dwq/sys/title.dwq cdvaw/ke/ke0001.vaw \
            wgq/tide.wgq spt/scene.spt spt/var.fxf init/title.xtx sav/sysfile.org; do
  check "the game holds $file" test -s "game/$file"
done
check "README files, notes and backups stay out" \
  test -z "$(find game -iname 'readme*' -o -name '*~' -o -name 'notes*')"
check "no build folder is left beside the game" test ! -e game.zor-build-new

game=$root/game
lacks_colour() { ! holds_colour "$@"; }
fresh() { rm -rf "$work/$1" && clone_game "$work/$1"; }

fresh quiet
: >"$work/quiet.input"
run_headless quiet "$work/quiet" 60 "$work/quiet.input"
check "the first start prints nothing on stderr" test ! -s "$work/quiet.err"
cat "$work/quiet.err"

# Two pages (the second voiced), the answer at the question's line at
# height Y, the branch's page (a screenshot), then the title.
answer() { answer_input "$1"; }
fresh light
answer 250 >"$work/light.input"
run_headless light "$work/light" 240 "$work/light.input"
check "the first answer lights the lamp (the night sky)" holds_colour "$work/branch250.png" 0A1A40 60000
check "... and shows no fog" lacks_colour "$work/branch250.png" A0A8B0 1
fresh dark
answer 280 >"$work/dark.input"
run_headless dark "$work/dark" 240 "$work/dark.input"
check "the second answer leaves it dark (the fog)" holds_colour "$work/branch280.png" A0A8B0 60000
check "... and shows no night sky" lacks_colour "$work/branch280.png" 0A1A40 1
check "both plays through the choice print nothing on stderr" test ! -s "$work/light.err" -a ! -s "$work/dark.err"
cat "$work/light.err" "$work/dark.err"

# Save on the lit page (S, slot 1, the right button back), then load it in
# a new run (L at the first page, slot 1).
fresh saved
save_input 250 >"$work/save.input"
run_headless save "$work/saved" 280 "$work/save.input"
check "the slot file was written" test -s "$work/saved/sav/data0.sav"
load_input >"$work/load.input"
run_headless load "$work/saved" 160 "$work/load.input"
check "loading brings the lit page back" "$screendiff" "$work/branch250.png" "$work/load.png" 8 480
check "the run started on another page" test "$(cksum <"$work/first.png")" != "$(cksum <"$work/load.png")"
check "saving and loading print nothing on stderr" test ! -s "$work/save.err" -a ! -s "$work/load.err"
cat "$work/save.err" "$work/load.err"

# A second build over the played game keeps the player's save.
cp "$work/saved/sav/data0.sav" game/sav/
"$bin/zor-build" src game >"$work/rebuild.out" 2>&1 || { cat "$work/rebuild.out"; failed=1; }
check "building again keeps the player's save" cmp -s "$work/saved/sav/data0.sav" game/sav/data0.sav
check "... and ships the system file again" test -s game/sav/sysfile.org

[ "$failed" = 0 ] && rm -rf "$root"
exit $failed
