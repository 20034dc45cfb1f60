// Whole-file reads and writes on host paths, for the tools (the engine's
// own files go through platform::FileOpen instead).
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <fstream>
#include <iterator>
#include <string>

namespace toolsupport {

inline bool ReadHostFile(const std::string& path, std::string* out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// "N bytes, over the LIMIT bytes the game takes for WHAT".
inline std::string SizeOverLimit(long long size, long long limit, const std::string& what) {
  return std::to_string(size) + " bytes, over the " + std::to_string(limit) + " bytes the game takes for " + what;
}

// "" when the file at `path` is at most `limit` bytes (or cannot be
// measured: its read then says why); else "PATH: N bytes, over the LIMIT
// bytes the game takes for WHAT", told before anything of it is read.
inline std::string OverGameLimit(const std::string& path, long long limit, const std::string& what) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= limit) return "";
  return path + ": " + SizeOverLimit(st.st_size, limit, what);
}

inline bool WriteHostFile(const std::string& path, const void* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
  out.close();
  return static_cast<bool>(out);
}

}  // namespace toolsupport
