// What every fuzz target sets up: a quiet headless host, a game folder, and a
// check that stops the run when an invariant breaks.
#pragma once

#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/files.h"
#include "platform/headless/headless.h"
#include "platform/system.h"

namespace fuzzsupport {

// Installs the headless host with its boxes and error lines silenced.
inline platform::HeadlessBackend& InstallQuietHost() {
  platform::HeadlessBackend& host = platform::InstallHeadless();
  host.SetBoxEcho(false);
  host.SetErrorEcho(false);
  return host;
}

// Installs the quiet host and makes "game" (and `subfolder` below it) in the
// current folder the game folder.
inline platform::HeadlessBackend& EnterGameFolder(const std::string& subfolder = "") {
  platform::HeadlessBackend& host = InstallQuietHost();
  const std::filesystem::path folder = std::filesystem::current_path() / "game";
  std::error_code error;
  std::filesystem::create_directories(subfolder.empty() ? folder : folder / subfolder, error);
  platform::SetGameFolder(folder.string());
  return host;
}

// The temporary game folder EnterTempGameFolder made, removed at exit.
inline std::string& TempGameFolder() {
  static std::string folder;
  return folder;
}

// Makes a fresh temporary folder "zor-fuzz-<name>-XXXXXX" with `subfolder`
// in it, makes it the game folder and removes it when the run exits.
inline const std::string& EnterTempGameFolder(const std::string& name,
                                              const std::string& subfolder) {
  std::string folder =
      (std::filesystem::temp_directory_path() / ("zor-fuzz-" + name + "-XXXXXX")).string();
  if (!::mkdtemp(folder.data())) std::abort();
  std::filesystem::create_directories(folder + "/" + subfolder);
  platform::SetGameFolder(folder);
  TempGameFolder() = folder;
  std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(TempGameFolder(), ignored);
  });
  return TempGameFolder();
}

// A window of the given client size, as the game objects need one.
inline platform::Window* MakeWindow(int width, int height) {
  platform::WindowDesc desc;
  desc.clientWidth = width;
  desc.clientHeight = height;
  return platform::CreateWindow(desc);
}

// Reads a fuzz input front to back; past its end every read gives 0.
class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool More() const { return at_ < size_; }
  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  int Signed() { return static_cast<int8_t>(Byte()); }
  // Four bytes, high byte first.
  int Int() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = v << 8 | Byte();
    return static_cast<int>(v);
  }
  // Up to 40 bytes as a NUL-terminated text.
  std::string Text() {
    const size_t n = Byte() % 41;
    std::string out;
    for (size_t i = 0; i < n; ++i) out.push_back(static_cast<char>(Byte()));
    return std::string(out.c_str());
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

inline void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
  }
}

}  // namespace fuzzsupport
