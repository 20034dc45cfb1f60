// Reads the input as a user font ("mok\fuzz.mft"), decodes glyphs of every
// range edge, and renders a line through the renderer at the font's size
// with an outline, so a bad font can only be refused or drawn blank.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "fuzz/support/fuzz_support.h"
#include "graphics/screenbuffer.h"
#include "message/fontprint.h"
#include "message/userfont.h"
#include "platform/headless/headless.h"

namespace {
platform::HeadlessBackend* g_host = nullptr;
std::unique_ptr<CScreenBuffer> g_screen;
std::unique_ptr<CFontPrint> g_font;
const char kCells[] = "\x81\x40\x82\xA0\x9F\xFC\xE0\x40\xEF\xFC\xF0\x40\x80\x01\x41\x41";
constexpr int kCellCount = 8;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_host = &fuzzsupport::EnterGameFolder("mok");
  g_screen = std::make_unique<CScreenBuffer>(160, 80, 0);
  g_font = std::make_unique<CFontPrint>();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string image(reinterpret_cast<const char*>(data), size);
  CUserFont direct(nullptr);
  if (direct.LoadImage(image)) {
    const size_t n = static_cast<size_t>(direct.GetSize()) * direct.GetSize();
    for (int i = 0; i < kCellCount; ++i) {
      const uint8_t* glyph = direct.GetGlyph(kCells + 2 * i);
      unsigned sum = 0;
      for (size_t k = 0; k < n; ++k) sum += glyph[k];  // the whole glyph is readable
      if (sum == 0xFFFFFFFFu) std::puts("");
    }
  }
  if (direct.IsValid() && direct.GetSize() <= CFontPrint::kMaxSize) {
    FILE* out = std::fopen("game/mok/fuzz.mft", "wb");
    fuzzsupport::Check(out != nullptr, "the font file can be written");
    if (size) std::fwrite(data, 1, size, out);
    std::fclose(out);
    g_font->LoadUserFont("fuzz");
    g_font->ClearTextLayer();
    g_font->BeginPrint(direct.GetSize());
    g_font->RenderLine(MakeLineKey(kCells, kCells, kCellCount * 2), kCells, 255, 255, 255, 1,
                       0x000000, nullptr, 0, kCellCount, nullptr, nullptr);
    g_font->DrawLine(0, 0, 0, 0, 160, 80);
    g_font->EndPrint();
  }
  g_host->ClearBoxes();
  return 0;
}
