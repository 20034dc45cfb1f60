// A fresh folder for one test, removed at the end; the game folder points at it.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/files.h"

namespace testsupport {

class TempDir {
 public:
  TempDir() {
    const char* base = std::getenv("ZOR_TEST_TMP");
    std::filesystem::path root = base && *base ? base : std::filesystem::temp_directory_path();
    std::filesystem::create_directories(root);
    std::string pattern = (root / "zor-XXXXXX").string();
    char* made = ::mkdtemp(pattern.data());
    path_ = made ? made : pattern;
    platform::SetGameFolder(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& rel) const { return path_ + "/" + rel; }

  // Writes bytes to a host path below the folder, making its parent folders.
  void Write(const std::string& rel, const std::string& bytes) const {
    std::filesystem::path p = std::filesystem::path(path_) / rel;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out << bytes;
  }
  std::string Read(const std::string& rel) const {
    std::ifstream in(std::filesystem::path(path_) / rel, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  bool Exists(const std::string& rel) const {
    return std::filesystem::exists(std::filesystem::path(path_) / rel);
  }

 private:
  std::string path_;
};

}  // namespace testsupport
