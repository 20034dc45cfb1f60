// Reads the input as one pack volume of the prefix "bg": a 4-byte
// little-endian length, that many bytes of index, the rest the data file.
// The index is parsed and searched directly, then read the way the loader
// starts, and every listed picture (and a plain one) is loaded from it.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "dwqwriter.h"
#include "fuzz/support/fuzz_support.h"
#include "graphics/packvolume.h"
#include "graphics/picture.h"
#include "graphics/pictureloader.h"
#include "graphics/screenbuffer.h"
#include "platform/files.h"
#include "platform/headless/headless.h"

namespace {

std::string g_folder;
std::unique_ptr<CScreenBuffer> g_screen;
platform::HeadlessBackend* g_host = nullptr;

void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) std::abort();
  if (size) std::fwrite(data, 1, size, out);
  std::fclose(out);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_host = &fuzzsupport::InstallQuietHost();
  const std::string& folder = fuzzsupport::EnterTempGameFolder("pack", "dwq/bg");
  g_folder = folder;
  // A plain picture that is always there.
  dwqtool::Picture plain{2, 1, {0x00112233, 0x00445566}, {}};
  std::vector<uint8_t> bytes;
  std::string error;
  if (!dwqtool::MakeDwq(plain, {}, &bytes, &error)) std::abort();
  WriteFile(folder + "/dwq/bg/zz_plain.dwq", bytes.data(), bytes.size());
  InitPictureLoader(dwq::kDecodeMegabytes);
  g_screen = std::make_unique<CScreenBuffer>(32, 24, 0);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  size_t indexSize = 0;
  if (size >= 4) indexSize = data[0] | (data[1] << 8) | (data[2] << 16) | (size_t{data[3]} << 24);
  const size_t head = size < 4 ? size : 4;
  if (indexSize > size - head) indexSize = size - head;
  const uint8_t* index = data + head;
  const uint8_t* volume = index + indexSize;
  const size_t volumeSize = size - head - indexSize;

  // Straight through the reader: every listed name is found as itself.
  auto parsed = DwqPackIndex::Parse(std::string(reinterpret_cast<const char*>(index), indexSize),
                                    static_cast<int64_t>(volumeSize));
  if (parsed) {
    for (int i = 0; i < parsed->GetCount() && i < 64; ++i) {
      const char* name = parsed->GetName(i);
      const int found = parsed->Find(name);
      if (found >= 0 && std::strcmp(parsed->GetName(found), name) != 0) __builtin_trap();
      if (parsed->GetDataOffset(i) < 0 ||
          parsed->GetDataOffset(i) > static_cast<int64_t>(volumeSize))
        __builtin_trap();
    }
  }

  // The way the loader reads it.
  WriteFile(g_folder + "/dwq/bg0.gtb", index, indexSize);
  WriteFile(g_folder + "/dwq/bg0.gpk", volume, volumeSize);
  ReleasePictureLoader();
  SetDwqPackLevel(1);
  InitPictureLoader(dwq::kDecodeMegabytes);
  const int count = parsed ? parsed->GetCount() : 0;
  for (int i = 0; i < count && i < 8; ++i) {
    CPicture picture;
    const std::string name = std::string("bg\\") + parsed->GetName(i);
    if (picture.LoadDWQ(name.c_str(), i % 2)) picture.Put(0, 0, 1);
  }
  // A name no index lists is read from its plain file.
  if (!parsed || parsed->Find("zz_plain") < 0) {
    CPicture plain;
    if (!plain.LoadDWQ("bg\\zz_plain")) __builtin_trap();
  }
  g_host->ClearBoxes();
  g_host->ClearDebugLines();
  g_host->ClearErrorLines();
  return 0;
}
