#!/usr/bin/env bash
# The fence check on small trees: a clean one passes; an include that runs up
# the layers (in each spelling), one that leaves the layer root, and a host
# header outside platform/ each fail with the file and line named.
set -u
fence="$1"
work="$2"
rm -rf "$work"
mkdir -p "$work"
fail=0

# tree NAME: a copy of the folder list with a low and a high folder.
tree() {
  local t="$work/$1"
  mkdir -p "$t/widget/sub" "$t/game" "$t/tests/widget"
  printf 'set(ZOR_FOLDERS platform setup widget game app)\n' > "$t/CMakeLists.txt"
  printf '#include "setup/text.h"\n#include "widget/button.h"\n#include <vector>\n' > "$t/widget/button.cpp"
  # Lower folders through the parent folder, from the top and from a subfolder.
  printf '#include "../setup/text.h"\n' > "$t/widget/label.cpp"
  printf '#include "../button.h"\n#include "../../setup/text.h"\n' > "$t/widget/sub/knob.cpp"
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

# NAME | FILE | TEXT (printf format) | what the check says
cases=(
  'quoted|widget/slider.cpp|#include "widget/button.h"\n  #include "game/gamecallback.h"\n|widget/slider.cpp:2: widget includes game/'
  'angle|widget/slider.cpp|#include <game/game.h>\n|widget/slider.cpp:1: widget includes game/'
  'parent|widget/slider.cpp|#include "../game/game.h"\n|widget/slider.cpp:1: widget includes game/'
  'absolute|widget/slider.cpp|#include "/src/game/game.h"\n|widget/slider.cpp:1: widget includes /src/game/game.h by absolute path'
  'climbing|widget/slider.cpp|#include "../../src/game/game.h"\n|widget/slider.cpp:1: .*climbs out of its layer root'
  'climbing_sub|widget/sub/knob.cpp|#include "../../../src/game/game.h"\n|widget/sub/knob.cpp:1: .*climbs out of its layer root'
  'host|widget/window.cpp|#include <SDL.h>\n|widget/window.cpp:1:#include <SDL.h>'
)
for c in "${cases[@]}"; do
  IFS='|' read -r name file text said <<< "$c"
  t=$(tree "$name")
  # shellcheck disable=SC2059
  printf "$text" > "$t/$file"
  expect "$name" 1 "$said"
done

if [ "$fail" -eq 0 ]; then echo "$((${#cases[@]} + 1)) passed, 0 failed"; else exit 1; fi
