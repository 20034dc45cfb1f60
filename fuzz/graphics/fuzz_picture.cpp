// Loads the input as a picture file, as 32-bit colours and with its 8-bit
// indices kept, and draws what loaded onto a small screen every way the
// basic blits offer.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "fuzz/support/fuzz_support.h"
#include "graphics/picture.h"
#include "graphics/pictureloader.h"
#include "graphics/screenbuffer.h"
#include "platform/files.h"
#include "platform/headless/headless.h"

namespace {

std::string g_file;
std::unique_ptr<CScreenBuffer> g_screen;
platform::HeadlessBackend* g_host = nullptr;

void Use(CPicture& picture) {
  if (!picture.IsLoaded()) return;
  const int w = picture.GetWidth(), h = picture.GetHeight();
  picture.Put(0, 0, 0);
  picture.Put(-w / 2, -h / 2, 1);
  picture.Put(60, 44, 1);
  picture.Blt(3, 4, 1, 1, w, h, 1);
  picture.MaskBlt(-1, 2, 0, 0, w, h);
  picture.HitCheck(0, 0, 0, 0);
  picture.HitCheck(w - 1, h - 1, 0, 0);
  if (picture.GetMaskFlag() && picture.GetMask()) {
    // The whole mask plane must be readable.
    unsigned sum = 0;
    for (size_t i = 0; i < static_cast<size_t>(w) * h; ++i) sum += picture.GetMask()[i];
    if (sum == 0xFFFFFFFFu) std::puts("");
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_host = &fuzzsupport::InstallQuietHost();
  const std::string& folder = fuzzsupport::EnterTempGameFolder("picture", "dwq");
  g_file = folder + "/dwq/f.dwq";
  InitPictureLoader(dwq::kDecodeMegabytes);
  g_screen = std::make_unique<CScreenBuffer>(64, 48, 0);
  SetLoadDwqErrorFlag(1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* out = std::fopen(g_file.c_str(), "wb");
  if (!out) std::abort();
  if (size) std::fwrite(data, 1, size, out);
  std::fclose(out);
  CPicture colours;
  colours.LoadDWQ("f", 0);
  Use(colours);
  CPicture indices;
  indices.LoadDWQ("f", 1);
  Use(indices);
  // A failed load must not answer the same name with success later.
  if (!colours.IsLoaded() && colours.LoadDWQ("f", 0)) __builtin_trap();
  g_host->ClearBoxes();
  g_host->ClearDebugLines();
  g_host->ClearErrorLines();
  return 0;
}
