// The movie opener: any bytes as a movie file, opened through the resolver,
// checked for what decodes, then a bounded number of pictures decoded and
// converted. Seeded with the test clips.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/files.h"
#include "platform/headless/headless.h"
#include "platform/movie.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static platform::HeadlessBackend& host = platform::InstallHeadless();
  static const std::string folder = std::filesystem::current_path().string();
  platform::SetGameFolder(folder);
  {
    std::ofstream out(folder + "/input.wmv", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  std::unique_ptr<platform::Movie> movie = platform::Movie::Open("input.wmv");
  if (!movie) return 0;
  if (!movie->Start(0, platform::kVolumeSilent)) return 0;
  std::vector<uint32_t> screen(64 * 48);
  for (int i = 0; i < 8; ++i) {
    movie->Update(screen.data(), 64, 48, 64);
    host.AdvanceClock(50);
  }
  for (int i = 0; i < 4 && movie->DecodeVideoFrame(); ++i) movie->ConvertVideoFrame(screen.data(), 64, 48, 64);
  return 0;
}
