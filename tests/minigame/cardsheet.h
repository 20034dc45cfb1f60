// Stand-in sheets for pixel tests: every cell is filled with its own
// tag colour (0x10RRCC: row, column); the sheet's top-left pixel is the
// colour key, and the frame and mark cells (56 to 58) are key except their
// centre pixel, as real frames are transparent inside.
#pragma once

#include <cstdint>
#include <memory>

#include "graphics/picture.h"
#include "minigame/cardgame.h"

namespace minigame_test {

constexpr uint32_t kKey = 0xFF00FFu;

inline uint32_t CellTag(int column, int row) { return 0x100000u | uint32_t(row) << 8 | uint32_t(column); }

inline uint32_t CardTag(int card, bool narrow = false) {
  int column = 0, row = 0;
  cardgame::SheetCell(card, narrow, &column, &row);
  return CellTag(column, row);
}

// A sheet of columns x rows tagged cells, the key at its top-left pixel.
inline std::unique_ptr<CPicture> TagSheet(int columns, int rows, int cw, int ch) {
  auto p = std::make_unique<CPicture>(columns * cw, rows * ch, 0);
  uint32_t* px = p->GetPixelBuffer();
  for (int y = 0; y < rows * ch; ++y)
    for (int x = 0; x < columns * cw; ++x) px[y * columns * cw + x] = CellTag(x / cw, y / ch);
  px[0] = kKey;
  return p;
}

inline std::unique_ptr<CPicture> CardSheet(int cw, int ch, bool narrow = false) {
  int columns = narrow ? 10 : 13;
  auto p = TagSheet(columns, narrow ? 6 : 5, cw, ch);
  uint32_t* px = p->GetPixelBuffer();
  for (int mark = cardgame::kHover; mark <= cardgame::kUsedUp; ++mark) {
    int column = 0, row = 0;
    cardgame::SheetCell(mark, narrow, &column, &row);
    for (int y = 0; y < ch; ++y)
      for (int x = 0; x < cw; ++x)
        if (x != cw / 2 || y != ch / 2) px[(row * ch + y) * columns * cw + column * cw + x] = kKey;
  }
  return p;
}

}  // namespace minigame_test
