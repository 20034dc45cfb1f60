// The two colour orders of the text code, one helper each. A cell colour is R | G << 8 |
// B << 16 (the order of the per-cell colour array); a colour word is
// R << 16 | G << 8 | B (outlines, name colours, pixels).
#pragma once

#include <cstdint>

constexpr uint32_t MakeCellColour(int r, int g, int b) {
  return static_cast<uint32_t>(r & 0xFF) | static_cast<uint32_t>(g & 0xFF) << 8 |
         static_cast<uint32_t>(b & 0xFF) << 16;
}
constexpr uint32_t MakeColourWord(int r, int g, int b) {
  return static_cast<uint32_t>(r & 0xFF) << 16 | static_cast<uint32_t>(g & 0xFF) << 8 |
         static_cast<uint32_t>(b & 0xFF);
}
