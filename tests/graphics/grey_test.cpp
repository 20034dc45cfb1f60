// The grey, red, grey-level and sepia blits: a masked picture turns grey by
// luma (in all four bytes), an unmasked or 8-bit one by its green channel;
// the level blits keep their sums in 16 bits and blend masks with weights
// m + 1 and 255 - m.
#include <vector>

#include "graphics/allpicture.h"
#include "graphics/greyblt.h"
#include "screen_fixture.h"

namespace graphics_test {
namespace {

using GreyTest = ScreenTest;

uint32_t Grey(uint32_t v) { return v * 0x010101u; }

TEST(Grey, LumaShiftsItsTwoPartialSumsApart) {
  EXPECT_EQ(greyblt::Luma(0x00FFFFFF), 253);  // 178 + 75
  EXPECT_EQ(greyblt::Luma(0x00FF0000), 75);   // (76 * 255) >> 8
  EXPECT_EQ(greyblt::Luma(0x00C86432), 123);  // (16450 >> 8) + (15200 >> 8)
  EXPECT_EQ(greyblt::Luma(0xFF000000), 0);    // the top byte does not count
  EXPECT_EQ(greyblt::GreenGrey(0xAB12CD34), 0x00CDCDCDu);
}

TEST_F(GreyTest, GreyPicksItsVariantByTheKindOfPicture) {
  const uint32_t pixels[3] = {0x00FF00FF, 0x00FFFFFF, 0x00FF0000};
  struct Case {
    const char* what;
    const uint8_t* mask;
    int transparent;
    uint32_t expected[3];
  } cases[] = {
      {"opaque: green grey", nullptr, 0, {Grey(0), Grey(255), Grey(0)}},
      {"keyed: the key is skipped", nullptr, 1, {Grey(9), Grey(255), Grey(0)}},
  };
  for (const Case& c : cases) {
    Clear(Grey(9));
    CAllPicture::GreyBlt(0, 0, 0, 0, 3, 1, pixels, 3, 1, c.mask, c.transparent, nullptr);
    for (int x = 0; x < 3; ++x) EXPECT_EQ(At(x, 0), c.expected[x]) << c.what << " " << x;
  }
  // Masked: luma in all four bytes at 255, (Y * m + dst * (255 - m)) >> 8
  // in every byte otherwise; red turns grey 75 instead of black.
  const uint8_t mask[3] = {0, 255, 128};
  Clear(0);
  CAllPicture::GreyBlt(0, 0, 0, 0, 3, 1, pixels, 3, 1, mask, 0, nullptr);
  EXPECT_EQ(At(0, 0), 0u);
  EXPECT_EQ(At(1, 0), 0xFDFDFDFDu);
  EXPECT_EQ(At(2, 0), 0x25252525u);  // (75 * 128) >> 8
  const uint8_t lastOpaque[3] = {0, 0, 255};
  CAllPicture::GreyBlt(0, 1, 2, 0, 1, 1, pixels, 3, 1, lastOpaque, 0, nullptr);
  EXPECT_EQ(At(0, 1), 0x4B4B4B4Bu);

  // 8-bit: the green grey of the palette colour; the palette wins over a mask.
  const uint8_t indices[3] = {2, 1, 2};
  const uint32_t palette[256] = {0, 0x00FF00FF, 0x00123456};
  Clear(Grey(9));
  CAllPicture::GreyBlt(0, 0, 0, 0, 3, 1, indices, 3, 1, mask, 1, palette);
  EXPECT_EQ(At(0, 0), Grey(9));
  EXPECT_EQ(At(1, 0), Grey(0));
  EXPECT_EQ(At(2, 0), Grey(9));
  CAllPicture::GreyBlt(0, 0, 0, 0, 3, 1, indices, 3, 1, nullptr, 0, palette);
  EXPECT_EQ(At(0, 0), Grey(0x34));
}

TEST_F(GreyTest, RedKeepsTheRedChannel) {
  const uint32_t pixels[3] = {0x00FF00FF, 0x00C86432, 0xFF8040C0};
  Clear(Grey(9));
  CAllPicture::RedBlt(0, 0, 0, 0, 3, 1, pixels, 3, 1, nullptr, 0, nullptr);
  EXPECT_EQ(At(0, 0), 0x00FF0000u);
  EXPECT_EQ(At(1, 0), 0x00C80000u);
  EXPECT_EQ(At(2, 0), 0x00800000u);
  Clear(Grey(9));
  CAllPicture::RedBlt(0, 0, 0, 0, 3, 1, pixels, 3, 1, nullptr, 1, nullptr);
  EXPECT_EQ(At(0, 0), Grey(9));
  EXPECT_EQ(At(1, 0), 0x00C80000u);
  // Mask 128 over black: (red * 128) >> 8 in red, 0 elsewhere; the sum is
  // shifted once, so the screen's share counts before the shift.
  const uint8_t mask[3] = {255, 128, 0};
  Clear(0);
  CAllPicture::RedBlt(0, 0, 0, 0, 3, 1, pixels, 3, 1, mask, 0, nullptr);
  EXPECT_EQ(At(0, 0), 0x00FF0000u);
  EXPECT_EQ(At(1, 0), 0x00640000u);
  EXPECT_EQ(At(2, 0), 0u);
  At(0, 2) = Grey(3);
  CAllPicture::RedBlt(0, 2, 1, 0, 1, 1, pixels, 3, 1, mask, 0, nullptr);
  EXPECT_EQ(At(0, 2), 0x00650101u);  // (200 * 128 + 3 * 127) >> 8 = 101, (3 * 127) >> 8 = 1

  const uint8_t indices[2] = {0, 1};
  const uint32_t palette[256] = {0x00112233, 0x00445566};
  Clear(Grey(9));
  CAllPicture::RedBlt(0, 0, 0, 0, 2, 1, indices, 2, 1, nullptr, 1, palette);
  EXPECT_EQ(At(0, 0), Grey(9));
  EXPECT_EQ(At(1, 0), 0x00440000u);
}

TEST_F(GreyTest, GreyLevelMixesInSixteenBits) {
  const uint32_t src = 0x00C86432;  // Y = 123
  struct Case {
    int level;
    uint32_t expected;
  } cases[] = {
      {0, 0x00C86432},    // the picture, opaque
      {256, 0x7B7B7B7B},  // the luma in all four bytes
      {128, 0x3DA16F56},  // (123 + c) / 2 per byte, 61 on top
      // Outside 0..256 the 16-bit sum wraps: on top 123 * 600 = 73800
      // keeps 8264.
      {600, 0x201399DD},
  };
  for (const Case& c : cases) {
    At(0, 0) = Grey(9);
    CAllPicture::GreyLevelBlt(0, 0, 0, 0, 1, 1, &src, 1, 1, nullptr, c.level, 0, 0);
    EXPECT_EQ(At(0, 0), static_cast<uint32_t>(c.expected)) << c.level;
  }
  // Masked: 0 skipped, 255 as unmasked, else weights m + 1 and 255 - m.
  const uint8_t mask[3] = {0, 255, 127};
  const uint32_t row[3] = {src, src, src};
  Clear(Grey(100));
  CAllPicture::GreyLevelBlt(0, 0, 0, 0, 3, 1, row, 3, 1, mask, 256, 0, 0);
  EXPECT_EQ(At(0, 0), Grey(100));
  EXPECT_EQ(At(1, 0), 0x7B7B7B7Bu);
  EXPECT_EQ(At(2, 0), 0x3D6F6F6Fu);  // (123 * 128 + 100 * 128) >> 8 = 111; top (123 * 128) >> 8
}

TEST_F(GreyTest, SepiaTintsTheLumaAndLeavesTheTopByte) {
  // White tint at full level gives (Y * 255) >> 8: one less than the luma.
  std::vector<uint32_t> pixels;
  for (uint32_t v = 0; v < 256; ++v) pixels.push_back(Grey(v));
  screen_ = std::make_unique<CScreenBuffer>(256, 2, 0);
  CAllPicture::SepiaBlt(0, 0, 0, 0, 256, 1, pixels.data(), 256, 1, nullptr, 256, 255, 255, 255, 0,
                        0);
  for (uint32_t v = 0; v < 256; ++v) {
    const int y = greyblt::Luma(pixels[v]);
    EXPECT_EQ(At(static_cast<int>(v), 0), Grey(y == 0 ? 0 : static_cast<uint32_t>(y - 1))) << v;
  }
  // A brown tint: s = (Y * tint) >> 8 per colour byte, mixed by the level.
  const uint32_t src = 0x00C86432;  // Y = 123
  At(0, 1) = 0;
  CAllPicture::SepiaBlt(0, 1, 0, 0, 1, 1, &src, 1, 1, nullptr, 256, 255, 200, 100, 0, 0);
  EXPECT_EQ(At(0, 1), 0x007A6030u);  // 122, 96, 48
  CAllPicture::SepiaBlt(0, 1, 0, 0, 1, 1, &src, 1, 1, nullptr, 128, 255, 200, 100, 0, 0);
  EXPECT_EQ(At(0, 1), 0x00A16231u);  // (122 + 200) / 2, (96 + 100) / 2, (48 + 50) / 2
  const uint8_t m = 127;
  At(0, 1) = Grey(100);
  CAllPicture::SepiaBlt(0, 1, 0, 0, 1, 1, &src, 1, 1, &m, 256, 255, 200, 100, 0, 0);
  EXPECT_EQ(At(0, 1), 0x006F624Au);  // (s + 100) / 2 per colour byte, top 0
}

}  // namespace
}  // namespace graphics_test
