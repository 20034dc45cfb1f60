#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/codec.h"
#include "platform/glyphs.h"

namespace {

constexpr uint32_t kBack = 0xFF123456;  // a value no glyph colour can take
constexpr uint32_t kInk = 0x00ABCDEF;

struct Canvas {
  Canvas(int w, int h) : w(w), h(h), pixels(static_cast<size_t>(w) * h, kBack) {}
  platform::GlyphSurface Surface() { return {pixels.data(), w, h, w}; }
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * w + x]; }
  int w, h;
  std::vector<uint32_t> pixels;
};

std::vector<uint32_t> Draw(const char* cell, int bytes, int size) {
  auto font = platform::CreateSyntheticGlyphs()->OpenFont({"", size, 400, false, ""});
  Canvas c(4 * size, 2 * size);
  font->DrawCell(c.Surface(), 0, 0, cell, bytes, kInk);
  return c.pixels;
}

TEST(SyntheticGlyphs, BoxIsInsetByOnePixelWithTheCodeInside) {
  auto font = platform::CreateSyntheticGlyphs()->OpenFont({"", 24, 400, false, ""});
  Canvas c(100, 50);
  font->DrawCell(c.Surface(), 0, 0, "\x82\xA0", 2, kInk);  // full width: 48 x 48
  font->DrawCell(c.Surface(), 50, 0, "A", 1, kInk);        // half width: 24 x 48
  for (int y = 0; y < 50; ++y) {
    for (int x = 0; x < 100; ++x) {
      const uint32_t p = c.At(x, y);
      EXPECT_TRUE(p == kBack || p == kInk) << x << "," << y;
      const bool inBox = (y >= 1 && y <= 46) && ((x >= 1 && x <= 46) || (x >= 51 && x <= 72));
      if (!inBox) {
        EXPECT_EQ(p, kBack) << x << "," << y;
      }
    }
  }
  // Edges are ink; 0x82A0 has bit 5 set (hole at 8,8) and bit 0 clear.
  EXPECT_EQ(c.At(1, 1), kInk);
  EXPECT_EQ(c.At(46, 46), kInk);
  EXPECT_EQ(c.At(4, 4), kInk);
  EXPECT_EQ(c.At(8, 8), kBack);
  EXPECT_EQ(c.At(9, 9), kBack);
  // 'A' = 0x41: bit 0 (hole at 4,4 of its cell) and bit 6 (8,16).
  EXPECT_EQ(c.At(54, 4), kBack);
  EXPECT_EQ(c.At(54, 16), kBack);
  EXPECT_EQ(c.At(58, 4), kInk);
}

TEST(SyntheticGlyphs, DifferentCellsDifferAndBlanksOrInvalidDrawNothing) {
  EXPECT_NE(Draw("\x82\xA0", 2, 12), Draw("\x82\xA2", 2, 12));
  EXPECT_NE(Draw("A", 1, 12), Draw("C", 1, 12));
  const std::vector<uint32_t> empty(static_cast<size_t>(48) * 24, kBack);
  for (const char* blank : {"\x81\x40", "\x82\x20", "\xA0\x40"}) EXPECT_EQ(Draw(blank, 2, 12), empty);
  for (const char* blank : {" ", "\x80", "\x01"}) EXPECT_EQ(Draw(blank, 1, 12), empty);
}

TEST(SyntheticGlyphs, ClipsToTheSurface) {
  auto font = platform::CreateSyntheticGlyphs()->OpenFont({"", 24, 400, false, ""});
  Canvas c(10, 10);
  font->DrawCell(c.Surface(), -20, -20, "\x88\x9F", 2, kInk);
  font->DrawCell(c.Surface(), 5, 5, "\x88\x9F", 2, kInk);
  EXPECT_EQ(c.At(0, 0), kInk);
  EXPECT_EQ(c.At(9, 9), kInk);
}

TEST(Codec, CellCodePoints) {
  EXPECT_EQ(platform::Cp932CellToCodePoint("\x81\x5C", 2), 0x2015u);
  EXPECT_EQ(platform::Cp932CellToCodePoint("\x81\x60", 2), 0xFF5Eu);
  EXPECT_EQ(platform::Cp932CellToCodePoint("A", 1), U'A');
  EXPECT_EQ(platform::Cp932CellToCodePoint("?", 1), U'?');
  EXPECT_EQ(platform::Cp932CellToCodePoint("\xB1", 1), 0xFF71u);
  EXPECT_EQ(platform::Cp932CellToCodePoint("\x82\x20", 2), 0u);
  EXPECT_EQ(platform::Cp932CellToCodePoint("\xA0", 1), 0u);
  EXPECT_EQ(platform::Utf8ToCodePoints("a\xE3\x81\x82\xFF"), std::u32string(U"a\u3042?"));
}

}  // namespace
