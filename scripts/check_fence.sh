#!/usr/bin/env bash
# Two fences around the engine's folders; tools, tests, fuzz targets and
# benchmarks may include and use what they need.
#
# The layers: ZOR_FOLDERS in CMakeLists.txt lists the engine folders lowest
# first, and a file in one of them includes only headers of its own folder
# and of the folders listed before it.
#
# The host: the engine reaches it only through platform/: no SDL, FreeType,
# fontconfig, iconv or libav*, no direct fopen, no real clock, no
# std::filesystem or std::thread and no POSIX header anywhere else.
#
# With a folder argument the checks read that tree instead of this one (the
# fence's own test plants a fault in a copy).
set -u
cd "${1:-$(dirname "$0")/..}"

layers=$(sed -n 's/^set(ZOR_FOLDERS \(.*\))$/\1/p' CMakeLists.txt)
if [ -z "$layers" ]; then
  echo "CMakeLists.txt: no set(ZOR_FOLDERS ...) line to read the layers from"
  exit 1
fi
# An include of a folder listed after the includer's own, at most one named
# exception: "file:folder" with its reason. There is none.
allowed_upward=""
upward=$(
  rank=0
  declare -A rankOf
  for f in $layers; do rankOf[$f]=$rank; rank=$((rank + 1)); done
  for f in $layers; do
    [ -d "$f" ] || continue
    grep -rnoE --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z_0-9]+/' "$f" |
      while IFS= read -r hit; do
        file=${hit%%:*}
        target=$(printf '%s' "$hit" | sed -E 's/.*"([a-z_0-9]+)\/$/\1/')
        [ -n "${rankOf[$target]+x}" ] || continue
        if [ "${rankOf[$target]}" -gt "${rankOf[$f]}" ] && [ "$file:$target" != "$allowed_upward" ]; then
          line=$(printf '%s' "$hit" | cut -d: -f2)
          echo "$file:$line: $f includes $target/, which is listed after it"
        fi
      done
  done
)
if [ -n "$upward" ]; then
  echo "These includes run up the layers (ZOR_FOLDERS in CMakeLists.txt):"
  echo "$upward"
  exit 1
fi

folders=()
for d in $layers demo; do
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
