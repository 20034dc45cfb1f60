// Whole-file reads and writes on host paths, for the tools (the engine's
// own files go through platform::FileOpen instead).
#pragma once

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

inline bool WriteHostFile(const std::string& path, const void* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
  out.close();
  return static_cast<bool>(out);
}

}  // namespace toolsupport
