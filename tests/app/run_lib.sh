# Shared by the end-to-end runs; sourced once `program` (the game program)
# and `work` (the work folder) are set.
source "$(dirname "${BASH_SOURCE[0]}")/game_copy.sh"

failed=0

# run_headless NAME DIR FRAMES INPUT_FILE [OPTIONS...]: runs the game in DIR
# headless for FRAMES frames with the input script (and the further program
# options); frame hashes in $work/NAME.txt, the last frame in
# $work/NAME.png, what the program wrote on stderr in $work/NAME.err (and
# after its output in $work/NAME.out). A failed run or a message box stops
# the script. Options
# --screenshot-at FRAME FILE take further frames from the same run; frames
# count as the hash lines do, and a run of FRAMES frames shows FRAMES + 2
# (the start-up message first, the frame that closes last), so its last
# frame is the one --screenshot-at FRAMES+2 writes in a longer run.
run_headless() {
  local name=$1 dir=$2 frames=$3 input=$4
  shift 4
  mkdir -p -m 700 "$work/$name.run"
  local status=0
  XDG_RUNTIME_DIR=$work/$name.run timeout 180 "$program" "$dir" --headless --frames "$frames" \
    --hash-every 1 --screenshot "$work/$name.png" --input "$input" "$@" >"$work/$name.out" \
    2>"$work/$name.err" || status=$?
  cat "$work/$name.err" >>"$work/$name.out"
  [ "$status" = 0 ] || { echo "run $name failed:"; cat "$work/$name.out"; exit 1; }
  if grep -q '^\[box\]' "$work/$name.out"; then
    echo "run $name showed message boxes:"; grep '^\[box\]' "$work/$name.out"; exit 1
  fi
  grep '^frame ' "$work/$name.out" >"$work/$name.txt" || true
}

# check NAME CONDITION...: reports the condition; a failed one makes the
# script fail at its end (exit $failed). With ZOR_WRITE_EXPECTED=1 a
# comparison with a stored screenshot ("$screendiff" "$expected/X.png" NEW
# ...) first stores NEW as X.png: look at the pictures before committing.
check() {
  local name=$1; shift
  if [ "${ZOR_WRITE_EXPECTED:-0}" = 1 ] && [ -n "${screendiff:-}" ] && [ "$1" = "$screendiff" ] &&
    [ -n "${expected:-}" ] && [[ "$2" == "$expected"/* ]]; then
    cp "$3" "$2"
  fi
  if "$@"; then echo "ok   $name"; else echo "FAIL $name"; failed=1; fi
}

# click FRAME X Y: an input-script click; the pointer leaves the window
# afterwards, so the cursor stays out of the screenshots.
click() {
  printf '%d move %d %d\n%d button 0 down\n%d button 0 up\n%d move -5 700\n' "$1" "$2" "$3" $(($1 + 2)) $(($1 + 3)) $(($1 + 4))
}

# run_story NAME FRAMES [OPTIONS...]: a fresh copy of the game ($game) in
# $work/NAME whose control script is $work/control.spt, run with $work/input
# (and the further program options).
run_story() {
  local name=$1 frames=$2
  shift 2
  rm -rf "$work/$name" && clone_game "$work/$name"
  cp "$work/control.spt" "$work/$name/spt/sys.spt"
  run_headless "$name" "$work/$name" "$frames" "$work/input" "$@"
}

# settled HASHES: the first frame from which the run (its hash file) shows
# its last frame to the end.
settled() {
  local last; last=$(tail -1 "$1" | cut -d' ' -f3)
  awk -v h="$last" '$3 != h { s = 0 } $3 == h && !s { s = $2 } END { print s }' "$1"
}

# holds_colour PNG RRGGBB N: at least N pixels of the colour #RRGGBB in the
# 800x600 picture (needs `screendiff` set).
holds_colour() { "$screendiff" "#$2" "$1" 0 $((800 * 600 - $3)) >/dev/null 2>&1; }

# answer_input Y: the input script of a scene that shows two pages (a click
# each) and then its question: the pointer picks the answer at height Y, the
# branch's page is shot to $work/branchY.png at frame 158 and clicked on.
answer_input() {
  cat <<INPUT
1 move -5 700
40 button 0 down
41 button 0 up
80 button 0 down
81 button 0 up
120 move 350 $1
125 button 0 down
126 button 0 up
127 move -5 700
158 screenshot $work/branch$1.png
160 button 0 down
161 button 0 up
INPUT
}

# save_input Y: the scene up to its answer at height Y, then S on the
# branch's page, slot 1 saved, and the right button back to the page.
save_input() {
  answer_input "$1" | sed -n 1,9p
  cat <<INPUT
160 key 83 down
161 key 83 up
200 move 151 163
205 button 0 down
206 button 0 up
207 move -5 700
240 button 1 down
241 button 1 up
INPUT
}

# load_input: a new run that shoots its first page to $work/first.png,
# then L and slot 1.
load_input() {
  cat <<INPUT
1 move -5 700
38 screenshot $work/first.png
40 key 76 down
41 key 76 up
80 move 151 163
85 button 0 down
86 button 0 up
87 move -5 700
INPUT
}
