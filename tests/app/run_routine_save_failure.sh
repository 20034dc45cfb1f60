#!/usr/bin/env bash
# run_routine_save_failure.sh ZORGAME FAULT_LIBRARY GAME_DIR WORK_DIR
# The system file the game saves by itself during play (here after the
# sample's save into slot 1, save_slot1.input) cannot be written: the
# fault library fails every rename into sysfile.sav. Its first failure is
# shown in the box a failed save shows, with the reason, at once; each
# failure (during play, at the close, at the exit) has its line on stderr.
set -euo pipefail
program=$1 fault=$2 game=$3 work=$4
rm -rf "$work" && mkdir -p "$work"
source "$(dirname "$0")/run_lib.sh"
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0
input=$(dirname "$0")/save_slot1.input

clone_game "$work/g"
mkdir -p -m 700 "$work/run"
status=0
LD_PRELOAD=$fault FAULT_PROGRAM=zorgame FAULT_RENAME_FAIL=sysfile.sav XDG_RUNTIME_DIR=$work/run \
  timeout 180 "$program" "$work/g" --headless --frames 560 --input "$input" >"$work/out" 2>"$work/err" ||
  status=$?
check "the run ends with status 0" test "$status" = 0
check "the slot is written" test -s "$work/g/sav/data0.sav"
line="the system file $work/g/sav/sysfile.sav cannot be saved: Permission denied"
check "every failed save of the system file has its line" test "$(grep -cxF "$line" "$work/err")" -ge 2
# The line that follows the first failure is its box, then its reason.
first=$(grep -nxF "$line" "$work/err" | head -1 | cut -d: -f1)
check "the first failure, during play, shows the box at once" \
  test "$(sed -n "$((first + 1))p" "$work/err")" = "[box] Error: システムファイル:sav\\sysfile.savがsaveできませんでした"
check "the box gives the reason" test "$(sed -n "$((first + 2))p" "$work/err")" = "Permission denied"
check "one box during play, one at the close (which asks for it), none at the exit" \
  test "$(grep -c '^\[box\]' "$work/err")" = 2
[ "$failed" = 0 ] || cat "$work/err"
[ "$failed" = 0 ] && rm -rf "$work"
exit $failed
