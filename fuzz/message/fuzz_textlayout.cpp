// Any bytes as a text through the four print forms and the measuring walk,
// in two-byte and one-byte mode, with readings on, over the synthetic font.
// The text is copied into a buffer of exactly its size plus the NUL, so a
// read past the end is caught; the line and annotation counts must stay
// within 256.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "fuzz/support/fuzz_support.h"
#include "graphics/screenbuffer.h"
#include "message/fontprint.h"
#include "message/rendersettings.h"
#include "message/textprint.h"
#include "message/textstate.h"
#include "platform/bytes.h"

namespace {
std::unique_ptr<CScreenBuffer> g_screen;
std::unique_ptr<CFontPrint> g_font[2];  // one-byte, two-byte
std::unique_ptr<CTextPrint> g_text[2];
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzsupport::EnterGameFolder("sys");
  g_screen = std::make_unique<CScreenBuffer>(320, 120, 0);
  for (int mode = 0; mode < 2; ++mode) {
    GetRenderSettings().codeByte = mode + 1;
    GetRenderSettings().rubiFlag = 1;
    g_font[mode] = std::make_unique<CFontPrint>();
    g_text[mode] = std::make_unique<CTextPrint>(g_font[mode].get());
  }
  // Names and slots of their full sizes.
  SetTextNames("\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0", "ABCDEFGHIJKLMNO");
  CTextPrint::SetCodeList("\x8A\xBF\x8E\x9A");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<char> text(data, data + size);
  text.push_back(0);
  const char* t = text.data();
  for (int mode = 0; mode < 2; ++mode) {
    GetRenderSettings().codeByte = mode + 1;
    CTextPrint& p = *g_text[mode];
    // The first bytes also give a size, a spacing, a pitch and a place.
    const int size0 = size > 0 ? data[0] % 40 : 16;
    int spacing = size > 1 ? data[1] % 5 - 2 : 0, pitch = -1, x = 0;
    if (size >= 16) {
      spacing = static_cast<int>(platform::GetLE32(data + 4));
      pitch = static_cast<int>(platform::GetLE32(data + 8));
      x = static_cast<int>(platform::GetLE32(data + 12));
    }
    p.Print(x, 0, t, size0, -1, -1, -1, spacing, pitch);
    fuzzsupport::Check(p.GetLastLineCells() <= CTextState::kMaxCells, "cells within 256");
    fuzzsupport::Check(p.GetLastAnnotationCount() <= CTextPrint::kMaxAnnotations,
                       "annotations within 256");
    p.PrintMessage(1, 3, x, 4, t, 12, 255, 0, 0, spacing, pitch);
    p.PrintClip(2, 5, 4, 40, t, 20, 0, 255, 0, 1, -1, 0x000000);
    p.PrintSoftClip(10, 200, -30, 60, t, 24, 0, 0, 255);
    const int length = CTextPrint::GetTextLength(t);
    fuzzsupport::Check(length >= 0, "a length of 0 or more");
    if (g_font[mode]->GetTextLayer()->GetCount() > 20) g_font[mode]->ClearTextLayer();
  }
  return 0;
}
