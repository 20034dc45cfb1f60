#!/usr/bin/env bash
# check_clean.sh ZOR_CHECK GAME_DIR [ARGS...]: the lint passes the game
# folder with exit status 0 and prints nothing.
set -u
check=$1
shift
out=$("$check" "$@" 2>&1)
rc=$?
if [ "$rc" -ne 0 ] || [ -n "$out" ]; then
  printf '%s\n' "$out"
  echo "zor-check $* ended with status $rc and the lines above; expected status 0 and no lines"
  exit 1
fi
