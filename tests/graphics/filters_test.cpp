// The whole-screen filters against their worked values.
#include <climits>

#include "graphics/allgraphics.h"
#include "screen_fixture.h"

namespace graphics_test {
namespace {

using FilterTest = ScreenTest;

// Runs a filter on one pixel value spread over the whole screen and returns
// the result (every pixel must agree).
template <typename Filter>
uint32_t Apply(uint32_t pixel, Filter filter) {
  ScreenTest::Clear(pixel);
  filter();
  uint32_t out = ScreenTest::At(0, 0);
  EXPECT_EQ(ScreenTest::CountChanged(out), 0) << "not uniform";
  return out;
}

TEST_F(FilterTest, FadeUsesTheHighHalfOfSignedProducts) {
  struct Case {
    int screen, r, g, b, colour;
    uint32_t in, out;
  } cases[] = {
      // All screen: (32767 * 2p) >> 16 is p - 1 for p >= 1.
      {100, 0, -1, -1, -1, 0x00FF8001, 0x00FE7F00},
      {100, 0, -1, -1, -1, 0x00000000, 0x00000000},
      // All colour: white of level 254.
      {0, 255, -1, -1, -1, 0x00123456, 0x00FEFEFE},
      // Half and half: A = E = 16383; (16383 * 400) >> 16 = 99, k = 127.
      {50, 255, 0, 0, -1, 0x00C8C8C8, 0x00E26363},
      // Explicit colour percent, both clamped.
      {150, 255, 255, 255, 150, 0x00FFFFFF, 0x00FFFFFF},
      // The colour percent is taken before clamping: 110, then 100.
      {-10, 0, 0, 0, -1, 0x00FFFFFF, 0x00000000},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Apply(c.in, [&] { CAllGraphics::Fade(c.screen, c.r, c.g, c.b, c.colour); }), c.out)
        << c.screen << " " << c.r << " " << c.colour;
  }
}

TEST_F(FilterTest, GreyAndLayerGrey) {
  EXPECT_EQ(Apply(0x00FF0000, [] { CAllGraphics::Grey(); }), 0x004B4B4Bu);  // Y = 75
  EXPECT_EQ(Apply(0x00FFFFFF, [] { CAllGraphics::Grey(); }), 0x00FDFDFDu);  // Y = 253
  // Two separate shifts: (29 + 150) >> 8 + 76 >> 8 = 0 for (1, 1, 1).
  EXPECT_EQ(Apply(0x00010101, [] { CAllGraphics::Grey(); }), 0u);
  EXPECT_EQ(Apply(0x00123456, [] { CAllGraphics::LayerGrey(0); }), 0x00123456u);
  EXPECT_EQ(Apply(0x00FF0000, [] { CAllGraphics::LayerGrey(256); }), 0x004B4B4Bu);
  // Half way: (75 * 128 + 255 * 128) >> 8 = 165 for red, 37 for the others.
  EXPECT_EQ(Apply(0x00FF0000, [] { CAllGraphics::LayerGrey(128); }), 0x00A52525u);
}

TEST_F(FilterTest, LayerSepia) {
  EXPECT_EQ(Apply(0x00123456, [] { CAllGraphics::LayerSepia(0, 255, 200, 100); }), 0x00123456u);
  // Level 256: ((Y * t) >> 8) per channel; white has Y = 253.
  EXPECT_EQ(Apply(0x00FFFFFF, [] { CAllGraphics::LayerSepia(256, 255, 200, 100); }), 0x00FCC562u);
  // Out of range levels wrap in 16 bits rather than misbehave.
  Apply(0x00FFFFFF, [] { CAllGraphics::LayerSepia(1000, 255, 200, 100); });
  Apply(0x00FFFFFF, [] { CAllGraphics::LayerSepia(INT_MIN, 255, 200, 100); });
  Apply(0x00FFFFFF, [] { CAllGraphics::LayerGrey(INT_MIN); });
  EXPECT_EQ(Apply(0x00FFFFFF, [] { CAllGraphics::Fade(INT_MIN, 0, 0, 0, -1); }), 0u);
}

TEST_F(FilterTest, AddSubFloorsAtZero) {
  struct Case {
    int r, g, b;
    uint32_t in, out;
  } cases[] = {
      {-10, -9999, -9999, 0x00050A14, 0x0000000A},
      {300, 0, 0, 0x00102030, 0x00FF2030},
      {-1, 0, 0, 0x00102030, 0x000F2030},           // -1 is an amount here
      {5, -1, -9999, 0x00102030, 0x00151F2F},
      {-300, 0, 0, 0xAB102030, 0xAB002030},         // the top byte is kept
  };
  for (const Case& c : cases)
    EXPECT_EQ(Apply(c.in, [&] { CAllGraphics::AddSub(c.r, c.g, c.b); }), c.out) << c.r;
}

TEST_F(FilterTest, MultiAndFill) {
  EXPECT_EQ(Apply(0x00C9FF7F, [] { CAllGraphics::Multi(100, -1, -1); }), 0x00C9FF7Fu);
  EXPECT_EQ(Apply(0xAAC9FF7F, [] { CAllGraphics::Multi(50, 0, 100); }), 0x0064007Fu);
  EXPECT_EQ(Apply(0x00FFFFFF, [] { CAllGraphics::Multi(1, 200, -5); }), 0x0001FF00u);
  EXPECT_EQ(Apply(0x00FFFFFF, [] { CAllGraphics::FillScreen(10, -1, -1); }), 0x000A0A0Au);
  EXPECT_EQ(Apply(0x00FFFFFF, [] { CAllGraphics::FillScreen(1, 2, 3); }), 0x00010203u);
  EXPECT_EQ(Apply(0x00123456, [] { CAllGraphics::Nega(); }), 0x00EDCBA9u);
}

TEST_F(FilterTest, RectangleFiltersClipAndHandTheWholeScreenOn) {
  Clear(0x00102030);
  CAllGraphics::NegaRect(-5, -5, 10, 10);
  EXPECT_EQ(CountChanged(0x00102030), 25);
  EXPECT_EQ(At(4, 4), 0x00EFDFCFu);
  EXPECT_EQ(At(5, 4), 0x00102030u);
  Clear(0x00102030);
  CAllGraphics::NegaRect(0, 0, kW, kH);
  EXPECT_EQ(CountChanged(0x00EFDFCF), 0);

  Clear(0x00FF0000);
  CAllGraphics::GreyRect(kW - 2, kH - 3, 10, 10);
  EXPECT_EQ(CountChanged(0x00FF0000), 6);
  EXPECT_EQ(At(kW - 1, kH - 1), 0x004B4B4Bu);

  Clear(0x00102030);
  CAllGraphics::AddSubRect(1, 1, 2, 2, -16, -9999, -9999);
  EXPECT_EQ(At(1, 1), 0x00001020u);
  EXPECT_EQ(CountChanged(0x00102030), 4);
  CAllGraphics::MultiRect(10, 10, 1, 1, 50, -1, -1);
  EXPECT_EQ(At(10, 10), 0x00081018u);
  CAllGraphics::MultiRect(kW, 0, 5, 5, 0, 0, 0);
  CAllGraphics::AddSubRect(0, 0, 0, 5, 99, 99, 99);
  CAllGraphics::GreyRect(0, -5, 5, 5);
  EXPECT_EQ(CountChanged(0x00102030), 5);
}

TEST(FilterOddScreen, EveryPixelIsFilteredWhateverTheCount) {
  // 7 x 3 = 21 pixels: not a whole number of groups of 4 or 8.
  CScreenBuffer screen(7, 3, 0);
  uint32_t* p = CScreenBuffer::GetBuffer();
  auto all = [&](uint32_t v) {
    for (int i = 0; i < 21; ++i)
      if (p[i] != v) return false;
    return true;
  };
  CAllGraphics::FillScreen(200, 100, 50);
  ASSERT_TRUE(all(0x00C86432));
  CAllGraphics::Nega();
  EXPECT_TRUE(all(0x00379BCD));
  CAllGraphics::AddSub(-1, -1, -1);
  EXPECT_TRUE(all(0x00369ACC));
  CAllGraphics::Fade(100, 0, 0, 0, 0);
  EXPECT_TRUE(all(0x003599CB));
  CAllGraphics::Multi(50, 50, 50);
  EXPECT_TRUE(all(0x001A4C65));
  CAllGraphics::Grey();
  uint32_t y = GreyLevel(0x001A4C65);
  EXPECT_TRUE(all(y * 0x010101));
  EXPECT_EQ(p[21], 0u) << "the spare rows are not touched";
}

}  // namespace
}  // namespace graphics_test
