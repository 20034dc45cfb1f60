#!/usr/bin/env bash
# Two fences around the engine's folders; tools, tests, fuzz targets and
# benchmarks may include and use what they need.
#
# The layers: ZOR_FOLDERS in CMakeLists.txt lists the engine folders lowest
# first, and a file in one of them includes only headers of its own folder
# and of the folders listed before it. The build enforces this: each engine
# target compiles inside a root that holds only those folders
# (zor_fence_layers in cmake/zor.cmake), so a higher header is not found.
# This script reports early, before a build, an include that names a higher
# folder first ("game/x.h", <game/x.h>, "../game/x.h"), and it refuses what
# the roots cannot stop: an include by absolute path, or one that climbs
# above the folder ("../../x.h" from a file at the top of its folder), out
# of the root.
#
# The host: the engine reaches it only through platform/: no SDL, FreeType,
# fontconfig, iconv or libav*, no direct fopen, no real clock, no
# std::filesystem or std::thread and no POSIX header anywhere else.
#
# One search for each check, whatever the size of the tree. With a folder
# argument the checks read that tree instead of this one (the fence's own
# test plants a fault in a copy).
set -u
cd "${1:-$(dirname "$0")/..}"

layers=$(sed -n 's/^set(ZOR_FOLDERS \(.*\))$/\1/p' CMakeLists.txt)
if [ -z "$layers" ]; then
  echo "CMakeLists.txt: no set(ZOR_FOLDERS ...) line to read the layers from"
  exit 1
fi
present=()
for d in $layers; do
  [ -d "$d" ] && present+=("$d")
done
[ ${#present[@]} -eq 0 ] && exit 0

# Every include of every engine file in one search; awk ranks the folders.
upward=$(
  grep -rnE --include='*.h' --include='*.cpp' --include='*.hpp' --include='*.cc' \
    '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]' "${present[@]}" |
    awk -v layers="$layers" '
      BEGIN { n = split(layers, names, " "); for (i = 1; i <= n; i++) rank[names[i]] = i }
      {
        file = $0; sub(/:.*/, "", file)
        rest = substr($0, length(file) + 2)
        line = rest; sub(/:.*/, "", line)
        text = substr(rest, length(line) + 2)
        if (!match(text, /["<][^">]*[">]/)) next
        path = substr(text, RSTART + 1, RLENGTH - 2)
        own = file; sub(/\/.*/, "", own)
        # How deep the file lies below its folder, and how far up the path climbs.
        depth = gsub(/\//, "/", file) - 1
        ups = gsub(/\.\.\//, "../", path)
        if (path ~ /^\//) {
          print file ":" line ": " own " includes " path " by absolute path, past its layer root"
        } else if (ups > depth + 1) {
          print file ":" line ": " own " includes " path ", which climbs out of its layer root"
        } else {
          # "../x/" from a file at the top of its folder names folder x.
          if (depth == 0) sub(/^\.\.\//, "", path)
          if (path !~ /\//) next
          target = path; sub(/\/.*/, "", target)
          if ((target in rank) && rank[target] > rank[own])
            print file ":" line ": " own " includes " target "/, which is listed after it"
        }
      }'
)
if [ -n "$upward" ]; then
  echo "These includes run up the layers (ZOR_FOLDERS in CMakeLists.txt):"
  echo "$upward"
  exit 1
fi

folders=()
for d in "${present[@]}" demo; do
  [ "$d" = platform ] && continue
  [ -d "$d" ] && folders+=("$d")
done
[ ${#folders[@]} -eq 0 ] && exit 0
pattern='SDL_|<SDL|ft2build|fontconfig|iconv|\bfopen\(|std::chrono::system_clock|steady_clock|\btime\('
# The movie libraries (libavformat, libavcodec, libswscale, libswresample,
# libavutil) are platform/movie's alone.
pattern+='|<libav[a-z]*/|<libsw[a-z]*/|\bavformat_|\bavcodec_|\bsws_|\bswr_|\bav_[a-z_]+\('
pattern+='|high_resolution_clock|clock_gettime|gettimeofday|std::filesystem|<filesystem>|std::j?thread|std::this_thread|<thread>'
# POSIX headers: <unistd.h>, <dirent.h>, <fcntl.h>, <pthread.h>, <sys/...>
# and the like; the engine asks platform/ for files, threads and time.
pattern+='|#include <(unistd|dirent|fcntl|pthread|dlfcn|signal|poll|termios|spawn|sched|syslog|pwd|grp|semaphore|strings|libgen|glob|fnmatch|wordexp|aio|mqueue|netdb|netinet/[a-z_]+|arpa/[a-z_]+|sys/[a-z_]+)\.h>'
hits=$(grep -rnE --include='*.h' --include='*.cpp' --include='*.hpp' --include='*.cc' "$pattern" "${folders[@]}" || true)
if [ -n "$hits" ]; then
  echo "These lines reach past the platform layer:"
  echo "$hits"
  exit 1
fi
exit 0
