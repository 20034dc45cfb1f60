// The basic blits against their rules: the colour key is the whole 32-bit
// word of the picture's pixel (0, 0), the mask blends with separately
// shifted products, opaque copies copy every pixel. The SSE2 row kernels
// give the same bytes as the plain loops.
#include <random>
#include <vector>

#include "graphics/allpicture.h"
#include "graphics/blendrows.h"
#include "graphics/bltrows.h"
#include "screen_fixture.h"

namespace graphics_test {
namespace {

using BlitTest = ScreenTest;

TEST_F(BlitTest, KeyIsTheWholeWordOfTheTopLeftPixel) {
  // Row 0 of a 4 x 2 picture starts with magenta, the key.
  const uint32_t pixels[8] = {0x00FF00FF, 0x00112233, 0x01FF00FF, 0x00FF00FF,
                              0x00FF00FE, 0x00FF00FF, 0x00000000, 0x00FF00FF};
  Clear(0x00777777);
  CAllPicture::Blt(2, 3, 0, 0, 4, 2, pixels, 4, 2);
  EXPECT_EQ(At(2, 3), 0x00777777u);
  EXPECT_EQ(At(3, 3), 0x00112233u);
  EXPECT_EQ(At(4, 3), 0x01FF00FFu);  // same colour, top byte set: drawn
  EXPECT_EQ(At(5, 3), 0x00777777u);
  EXPECT_EQ(At(2, 4), 0x00FF00FEu);
  EXPECT_EQ(At(3, 4), 0x00777777u);
  EXPECT_EQ(At(4, 4), 0x00000000u);
  EXPECT_EQ(At(5, 4), 0x00777777u);

  // The key stays pixels[0] when the source rectangle starts elsewhere.
  Clear(0x00777777);
  CAllPicture::Blt(0, 0, 1, 1, 3, 1, pixels, 4, 2);
  EXPECT_EQ(At(0, 0), 0x00777777u);
  EXPECT_EQ(At(1, 0), 0x00000000u);
  EXPECT_EQ(At(2, 0), 0x00777777u);
}

TEST_F(BlitTest, MaskBlendsWithSeparatelyShiftedProducts) {
  struct Case {
    uint32_t src, dst;
    uint8_t m;
    uint32_t expected;
  } cases[] = {
      {0x00ABCDEF, 0x00123456, 255, 0x00ABCDEF},  // copies
      {0x00ABCDEF, 0x00123456, 0, 0x00123456},    // keeps
      {0x00FF8040, 0x00000000, 128, 0x007F4020},  // (s * 128) >> 8 over black
      {0x00000000, 0x00FFFFFF, 128, 0x007F7F7F},  // (255 * 128) >> 8
      {0x00FFFFFF, 0x00FFFFFF, 128, 0x00FEFEFE},  // 127 + 127: shifted apart
      {0x00FFFFFF, 0x00000000, 1, 0x00000000},    // (255 * 1) >> 8 = 0
      {0x00000000, 0x00FFFFFF, 254, 0x00010101},  // (255 * 2) >> 8
      {0xFF000000, 0x00000000, 128, 0x7F000000},  // the top byte blends too
  };
  for (const Case& c : cases) {
    At(1, 1) = c.dst;
    CAllPicture::MaskBlt(1, 1, 0, 0, 1, 1, &c.src, &c.m, 1, 1);
    EXPECT_EQ(At(1, 1), c.expected) << std::hex << c.src << " " << c.dst << " m " << int{c.m};
  }
}

TEST_F(BlitTest, OpaqueCopiesEveryPixelOfEveryRow) {
  // A picture as wide as the screen (64 + 3, not a multiple of eight).
  screen_ = std::make_unique<CScreenBuffer>(67, 5, 0);
  std::vector<uint32_t> pixels(67 * 5);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint32_t>(i * 2654435761u);
  CAllPicture::BltBeta(0, 0, 0, 0, 67, 5, pixels.data(), 67, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 67; ++x) ASSERT_EQ(At(x, y), pixels[y * 67 + x]) << x << "," << y;

  // Part of a row: only the rectangle.
  Clear(7);
  CAllPicture::BltBeta(60, 1, 3, 2, 7, 2, pixels.data(), 67, 5);
  EXPECT_EQ(At(59, 1), 7u);
  EXPECT_EQ(At(60, 1), pixels[2 * 67 + 3]);
  EXPECT_EQ(At(66, 2), pixels[3 * 67 + 9]);
  EXPECT_EQ(CountChanged(7), 14);
}

TEST_F(BlitTest, PaletteBlitsKeyTheIndexAtTheCorner) {
  const uint8_t indices[6] = {2, 0, 1, 2, 2, 1};
  const uint32_t palette[256] = {0x00AA0000, 0x0000BB00, 0x000000CC};
  Clear(5);
  CAllPicture::Blt256(0, 0, 0, 0, 3, 2, indices, palette, 3, 2);
  EXPECT_EQ(At(0, 0), 5u);
  EXPECT_EQ(At(1, 0), 0x00AA0000u);
  EXPECT_EQ(At(2, 0), 0x0000BB00u);
  EXPECT_EQ(At(0, 1), 5u);
  EXPECT_EQ(At(2, 1), 0x0000BB00u);
  CAllPicture::Blt256Beta(0, 0, 0, 0, 3, 2, indices, palette, 3, 2);
  EXPECT_EQ(At(0, 0), 0x000000CCu);
  EXPECT_EQ(At(1, 1), 0x000000CCu);
}

TEST_F(BlitTest, EmptyRectanglesAndNoScreenDrawNothing) {
  const uint32_t pixels[4] = {1, 2, 3, 4};
  const uint8_t mask[4] = {255, 255, 255, 255};
  Clear(9);
  for (auto [w, h] : {std::pair{0, 2}, std::pair{2, -1}, std::pair{-5, -5}}) {
    CAllPicture::Blt(0, 0, 0, 0, w, h, pixels, 2, 2);
    CAllPicture::BltBeta(0, 0, 0, 0, w, h, pixels, 2, 2);
    CAllPicture::MaskBlt(0, 0, 0, 0, w, h, pixels, mask, 2, 2);
  }
  EXPECT_EQ(CountChanged(9), 0);
  // After the screen buffer is released every entry is a no-op.
  screen_.reset();
  CAllPicture::Blt(0, 0, 0, 0, 2, 2, pixels, 2, 2);
  CAllPicture::BltBeta(0, 0, 0, 0, 2, 2, pixels, 2, 2);
  CAllPicture::MaskBlt(0, 0, 0, 0, 2, 2, pixels, mask, 2, 2);
  CAllPicture::Blt256(0, 0, 0, 0, 2, 2, mask, pixels, 2, 2);
  CAllPicture::Blt256Beta(0, 0, 0, 0, 2, 2, mask, pixels, 2, 2);
}

TEST(BlitRows, FastRowsGiveTheSameBytesAsThePlainLoops) {
  std::mt19937 random(11);
  // The 128-bit rows, then the 256-bit ones where the processor has them;
  // rows long enough for whole runs of sixteen.
  for (int round = 0; round < 600; ++round) {
    const bool wide = round % 2 == 1;
    if (wide && !blendrows::WideRowsAvailable()) continue;
    blendrows::AllowWideRows(wide);
    const size_t n = random() % 81;
    const uint32_t key = random() % 3 == 0 ? 0x00FF00FF : random();
    std::vector<uint32_t> src(n), dst(n);
    std::vector<uint8_t> mask(n);
    const int style = round % 4;  // runs of 0, runs of 255, mixed, random
    for (size_t i = 0; i < n; ++i) {
      // Every third round mostly key pixels, so whole groups of them occur.
      const bool isKey = round % 3 == 0 ? random() % 8 != 0 : random() % 4 == 0;
      src[i] = isKey ? key : static_cast<uint32_t>(random());
      dst[i] = static_cast<uint32_t>(random());
      const uint32_t r = random();
      mask[i] = style == 0   ? (r % 5 ? 0 : static_cast<uint8_t>(r >> 8))
                : style == 1 ? (r % 5 ? 255 : static_cast<uint8_t>(r >> 8))
                : style == 2 ? static_cast<uint8_t>((r % 3) ? (r % 2 ? 0 : 255) : r >> 8)
                             : static_cast<uint8_t>(r >> 8);
    }
    std::vector<uint32_t> a = dst, b = dst;
    bltrows::KeyedScalar(a.data(), src.data(), n, key);
    bltrows::Keyed(b.data(), src.data(), n, key);
    ASSERT_EQ(a, b) << "keyed, round " << round;
    a = dst;
    b = dst;
    bltrows::MaskScalar(a.data(), src.data(), mask.data(), n);
    bltrows::Mask(b.data(), src.data(), mask.data(), n);
    ASSERT_EQ(a, b) << "mask, round " << round;
    a = dst;
    b = dst;
    bltrows::MaskLevelScalar(a.data(), src.data(), mask.data(), n);
    bltrows::MaskLevel(b.data(), src.data(), mask.data(), n);
    ASSERT_EQ(a, b) << "mask level, round " << round;
    // The split draws' scaled mask, weights beyond 0..256 by the plain loop.
    for (int k : {0, 1, 127, 128, 255, 256, -1, 300}) {
      a = dst;
      b = dst;
      bltrows::MaskScaledScalar(a.data(), src.data(), mask.data(), n, k);
      bltrows::MaskScaled(b.data(), src.data(), mask.data(), n, k);
      ASSERT_EQ(a, b) << "scaled mask " << k << ", round " << round;
    }
  }
  blendrows::AllowWideRows(true);
}

}  // namespace
}  // namespace graphics_test
