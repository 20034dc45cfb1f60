#!/usr/bin/env bash
# run_limits.sh BIN_DIR GAME_DIR SOURCE_DIR WORK_DIR
# Every tool refuses a file larger than the game takes (a script, a list)
# before reading it, naming the file and the limit: zor-asm and zor-list for
# a source and for a finished file, zor-check for a game's script, its
# source and a settings list. The files are sparse: they take no disk.
set -uo pipefail
bin=$1 game=$2 source=$3 work=$4
rm -rf "$work" && mkdir -p "$work"
failed=0
script_limit=1073737728 list_limit=2147483645 huge=3221225472

# expect NAME EXIT_STATUS EXPECTED_LINE COMMAND...: the command exits with
# that status and prints that line (among others).
expect() {
  local name=$1 want=$2 line=$3 status=0
  shift 3
  "$@" >"$work/out" 2>&1 || status=$?
  if [ "$status" = "$want" ] && grep -qxF -- "$line" "$work/out"; then
    echo "ok   $name"
  else
    echo "FAIL $name (exit $status, expected $want; wanted: $line)"
    cat "$work/out"
    failed=1
  fi
}

truncate -s "$huge" "$work/big.spt.txt" "$work/big.spt" "$work/big.txt" "$work/big.xtx"
expect "zor-asm: a source" 1 \
  "zor-asm: $work/big.spt.txt: $huge bytes, over the $script_limit bytes the game takes for a script; nothing is read" \
  "$bin/zor-asm" "$work/big.spt.txt" "$work/out.spt"
expect "zor-asm --dump: a script" 1 \
  "zor-asm: $work/big.spt: $huge bytes, over the $script_limit bytes the game takes for a script; nothing is read" \
  "$bin/zor-asm" --dump "$work/big.spt"
expect "zor-list: a source" 1 \
  "zor-list: $work/big.txt: $huge bytes, over the $list_limit bytes the game takes for a list; nothing is read" \
  "$bin/zor-list" "$work/big.txt" "$work/out.xtx"
expect "zor-list --dump: a list" 1 \
  "zor-list: $work/big.xtx: $huge bytes, over the $list_limit bytes the game takes for a list; nothing is read" \
  "$bin/zor-list" --dump "$work/big.xtx"
test ! -e "$work/out.spt" -a ! -e "$work/out.xtx" || { echo "FAIL a refused file was written"; failed=1; }

# One byte over is over.
truncate -s "$((script_limit + 1))" "$work/edge.spt"
expect "zor-asm --dump: one byte over" 1 \
  "zor-asm: $work/edge.spt: $((script_limit + 1)) bytes, over the $script_limit bytes the game takes for a script; nothing is read" \
  "$bin/zor-asm" --dump "$work/edge.spt"

cp -r "$game" "$work/game"
cp -r "$source" "$work/src"
truncate -s "$huge" "$work/game/spt/sys.spt" "$work/src/spt/sys.spt.txt" "$work/game/init/title.xtx"
expect "zor-check: a script" 1 \
  "$work/game/spt/sys.spt: error: the script is $huge bytes, over the $script_limit bytes the game takes for a script; the game refuses to run it" \
  "$bin/zor-check" "$work/game"
expect "zor-check: a settings list" 1 \
  "$work/game/init/title.xtx: error: the list is $huge bytes, over the $list_limit bytes the game takes for a list; the game refuses it" \
  "$bin/zor-check" "$work/game"
truncate -s 0 "$work/game/init/title.xtx"
cp "$game/spt/sys.spt" "$work/game/spt/sys.spt"
expect "zor-check --source: a script's source" 0 \
  "$work/src/spt/sys.spt.txt: warning: the source is $huge bytes, over the $script_limit bytes the game takes for a script; it is not read, and the findings below name spt/sys.spt" \
  "$bin/zor-check" "$work/game" --source "$work/src"
rm -rf "$work"
exit $failed
