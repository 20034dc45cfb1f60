// make_sysfile_seeds OUT_DIR
// Writes seed system files for fuzz_sysfile: a sound file and the kinds of
// damage the reader has to live with.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/headless/headless.h"
#include "savedata/systemfile.h"

namespace {

void PutWord(std::string* bytes, size_t offset, int32_t value) {
  const uint32_t v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) (*bytes)[offset + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

bool Write(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sysfile_seeds OUT_DIR\n");
    return 2;
  }
  platform::InstallHeadless();
  CCommonSystemFile file;
  file.SetDefault();
  file.SetMesFlag(3, 100);
  file.SetCGFlag(2, 7);
  file.SetVoiceFlag(12);
  file.AddMusicCount(4);
  file.SetFiveBitValue(10, 9);
  file.SetPosition(120, 80);
  const std::string sound(reinterpret_cast<const char*>(file.GetImage()), CCommonSystemFile::kFileSize);

  std::string count3 = sound;
  PutWord(&count3, 32, 3);
  // An older layout: SYSTEM DATA of 1000 bytes, the rest following at once.
  std::string older = sound.substr(0, 64 + 1000) + sound.substr(2112);
  PutWord(&older, 64, 1000);
  std::string badSize = sound;
  PutWord(&badSize, 38848, 2);

  const std::filesystem::path out = argv[1];
  std::filesystem::create_directories(out);
  const std::pair<const char*, std::string> seeds[] = {
      {"sound.sav", sound},         {"count3.sav", count3},       {"older.sav", older},
      {"bad_size.sav", badSize},    {"short.sav", sound.substr(0, 3000)},
  };
  for (const auto& [name, bytes] : seeds) {
    if (!Write(out / name, bytes)) {
      std::fprintf(stderr, "make_sysfile_seeds: cannot write %s\n", (out / name).c_str());
      return 1;
    }
  }
  return 0;
}
