#!/usr/bin/env bash
# The fence check on small trees: a clean one passes; an include that runs up
# the layers, and a host header outside platform/, each fail with the file
# named.
set -u
fence="$1"
work="$2"
rm -rf "$work"
mkdir -p "$work"
fail=0

# tree NAME: a copy of the folder list with a low and a high folder.
tree() {
  local t="$work/$1"
  mkdir -p "$t/widget" "$t/game" "$t/tests/widget"
  printf 'set(ZOR_FOLDERS platform setup widget game app)\n' > "$t/CMakeLists.txt"
  printf '#include "setup/text.h"\n#include "widget/button.h"\n' > "$t/widget/button.cpp"
  printf '#include "widget/button.h"\n' > "$t/game/game.cpp"
  # Tests may include anything.
  printf '#include "game/game.h"\n' > "$t/tests/widget/button_test.cpp"
  echo "$t"
}

# expect NAME STATUS [PATTERN]: the check on tree NAME ends with STATUS and
# its output matches PATTERN (without one: says nothing).
expect() {
  local out status matched=1
  out=$(bash "$fence" "$work/$1" 2>&1)
  status=$?
  if [ -n "${3:-}" ]; then
    printf '%s\n' "$out" | grep -qE "$3" || matched=0
  else
    [ -z "$out" ] || matched=0
  fi
  if [ "$status" -ne "$2" ] || [ "$matched" -eq 0 ]; then
    echo "FAIL $1: status $status (wanted $2), output:"
    echo "$out"
    fail=1
  fi
}

tree clean > /dev/null
expect clean 0

t=$(tree upward)
printf '#include "widget/button.h"\n  #include "game/gamecallback.h"\n' > "$t/widget/slider.cpp"
expect upward 1 'widget/slider.cpp:2: widget includes game/'

t=$(tree host)
printf '#include <SDL.h>\n' > "$t/widget/window.cpp"
expect host 1 'widget/window.cpp:1:#include <SDL.h>'

if [ "$fail" -eq 0 ]; then echo "3 passed, 0 failed"; else exit 1; fi
