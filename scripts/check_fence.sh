#!/usr/bin/env bash
# The engine reaches its host only through platform/: no SDL, FreeType,
# fontconfig or iconv, no direct fopen and no real clock anywhere else.
# Tools, tests, fuzz targets and benchmarks may use what they need.
set -u
cd "$(dirname "$0")/.."
folders=()
for d in app game script setup graphics widget message effect sound savedata mode minigame demo; do
  [ -d "$d" ] && folders+=("$d")
done
[ ${#folders[@]} -eq 0 ] && exit 0
pattern='SDL_|<SDL|ft2build|fontconfig|iconv|\bfopen\(|std::chrono::system_clock|steady_clock|\btime\('
hits=$(grep -rnE --include='*.h' --include='*.cpp' --include='*.hpp' --include='*.cc' "$pattern" "${folders[@]}" || true)
if [ -n "$hits" ]; then
  echo "These lines reach past the platform layer:"
  echo "$hits"
  exit 1
fi
exit 0
