#!/usr/bin/env bash
# The engine reaches its host only through platform/: no SDL, FreeType,
# fontconfig, iconv or libav*, no direct fopen, no real clock, no std::filesystem or
# std::thread and no POSIX header anywhere else. Tools, tests, fuzz targets
# and benchmarks may use what they need.
set -u
cd "$(dirname "$0")/.."
folders=()
for d in app game script setup graphics widget message effect sound savedata mode minigame demo; do
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
