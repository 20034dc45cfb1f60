#!/usr/bin/env bash
# run_minimal.sh ZORGAME SCREENDIFF GAME_DIR EXPECTED_DIR WORK_DIR
# The minimal game of docs/authoring.md end to end, headless, on copies of
# build/<tree>/minimal-game:
# - it starts straight into the scene (no logo, no title) and shows no box:
#   the shipped system file is enough for a first start; nothing is
#   written on stderr;
# - the question answered both ways runs its own branch (minimal_sea.png,
#   minimal_town.png: run with ZOR_WRITE_EXPECTED=1 to renew them); both
#   ways end on the title (minimal_title.png);
# - saving on the page after the answer (S, slot 1, the right button back
#   to the scene) and loading it in a new run (L at the first page, slot 1)
#   brings that page back.
set -euo pipefail
program=$1 screendiff=$2 game=$3 expected=$4 work=$5
rm -rf "$work" && mkdir -p "$work"
source "$(dirname "$0")/run_lib.sh"

# fresh NAME: a copy of the game in $work/NAME.
fresh() { rm -rf "$work/$1" && clone_game "$work/$1"; }

# The scene up to the question: two pages (the second voiced), then the
# answer at the question's first or second line, the branch's page, the
# road's page and the title.
answer() {  # answer Y: the input script picking the answer at height Y
  answer_input "$1"
  printf '230 button 0 down\n231 button 0 up\n'
}

# A start as the guide makes it says nothing on stderr.
fresh quiet
: >"$work/quiet.input"
run_headless quiet "$work/quiet" 60 "$work/quiet.input"
check "the start prints nothing on stderr" test ! -s "$work/quiet.err"
[ -s "$work/quiet.err" ] && cat "$work/quiet.err"

fresh sea
answer 250 >"$work/sea.input"
run_headless sea "$work/sea" 320 "$work/sea.input"
check "the first answer runs the sea's branch" "$screendiff" "$expected/minimal_sea.png" "$work/branch250.png" 8 480
check "the story ends on the title" "$screendiff" "$expected/minimal_title.png" "$work/sea.png" 8 480
check "the first start found the shipped system file" test -s "$work/sea/sav/sysfile.sav"

fresh town
answer 280 >"$work/town.input"
run_headless town "$work/town" 320 "$work/town.input"
check "the second answer runs the town's branch" "$screendiff" "$expected/minimal_town.png" "$work/branch280.png" 8 480
check "the two branches differ" test "$(cksum <"$work/branch250.png")" != "$(cksum <"$work/branch280.png")"
check "the other way ends on the title too" "$screendiff" "$expected/minimal_title.png" "$work/town.png" 8 480

# Save on the sea's page: S opens the save screen, slot 1 saves, the right
# button goes back to the scene.
fresh saved
save_input 250 >"$work/save.input"
run_headless save "$work/saved" 280 "$work/save.input"
check "the slot file was written" test -s "$work/saved/sav/data0.sav"
check "the save screen went back to the saved page" "$screendiff" "$work/branch250.png" "$work/save.png" 8 480

# A new run on the saved folder: L at the first page, slot 1.
load_input >"$work/load.input"
run_headless load "$work/saved" 160 "$work/load.input"
check "loading brings the saved page back" "$screendiff" "$work/branch250.png" "$work/load.png" 8 480
check "the run started on another page" test "$(cksum <"$work/first.png")" != "$(cksum <"$work/load.png")"
check "playing both ways, saving and loading print nothing on stderr" \
  test -z "$(cat "$work"/{sea,town,save,load}.err)"
cat "$work"/{sea,town,save,load}.err
exit $failed
