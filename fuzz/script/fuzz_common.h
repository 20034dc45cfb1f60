// Shared by the script fuzz targets: a game folder of their own, and the
// input written as a script file. Inputs are the words as the engine holds
// them after loading; the targets apply the file's XOR themselves, so that
// the fuzzer's mutations and comparisons work on the decoded words.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/files.h"
#include "platform/headless/headless.h"
#include "script/codes.h"

namespace fuzz_script {

inline void EnterFolder() {
  platform::HeadlessBackend& host = platform::InstallHeadless();
  host.SetBoxEcho(false);
  host.SetErrorEcho(false);
  const std::filesystem::path folder = std::filesystem::current_path() / "game";
  std::error_code error;
  std::filesystem::create_directories(folder / "spt", error);
  platform::SetGameFolder(folder.string());
}

// Writes the input as spt\<name>.spt; trailing bytes of a last incomplete
// word stay as they are.
inline bool WriteScript(const char* name, const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  for (size_t i = 0; i + 4 <= size; i += 4) {
    for (int k = 0; k < 4; ++k) {
      bytes[i + k] = static_cast<char>(bytes[i + k] ^ ((script::kFileKey >> (8 * k)) & 0xFF));
    }
  }
  return platform::WriteWholeFile(std::string("spt\\") + name + ".spt", bytes.data(), bytes.size());
}

// Reads a little-endian word of the input at byte `at`, 0 past its end.
inline uint32_t InputWord(const uint8_t* data, size_t size, size_t at) {
  uint32_t w = 0;
  for (size_t k = 0; k < 4; ++k) {
    if (at + k < size) w |= static_cast<uint32_t>(data[at + k]) << (8 * k);
  }
  return w;
}

}  // namespace fuzz_script
