// Files that have grown far past their format, as a damaged file system
// leaves them, without using the disk: a sparse file of a given length, or
// an existing file lengthened by a hole. BytesReadSoFar tells how much this
// process has read, so a test can hold a reader to a bounded read.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace testsupport {

constexpr uint64_t kThreeGiB = uint64_t{3} << 30;

// `path` becomes (or stays) a file of `length` bytes; bytes past its old end
// read as 0 and take no room on the disk.
inline void MakeSparse(const std::string& path, uint64_t length) {
  if (!std::filesystem::exists(path)) std::ofstream(path, std::ios::binary).close();
  std::filesystem::resize_file(path, length);
}

// The bytes this process has read through the system so far (the "rchar"
// of /proc/self/io); -1 where the system does not say.
inline int64_t BytesReadSoFar() {
  std::ifstream io("/proc/self/io");
  std::string key;
  int64_t value = 0;
  while (io >> key >> value)
    if (key == "rchar:") return value;
  return -1;
}

}  // namespace testsupport
