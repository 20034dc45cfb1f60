// The stretch blits: 16.16 sampling with steps taken from the unclipped
// destination, mirroring by a negative source size, clipping at every
// screen edge, the five transparency modes with their 255 - weight
// complements, and source rectangles reaching past the picture drawing only
// what lies inside.
#include <algorithm>
#include <random>
#include <vector>

#include "graphics/allpicture.h"
#include "graphics/blendrows.h"
#include "graphics/stretchblt.h"
#include "screen_fixture.h"

namespace graphics_test {
namespace {

uint32_t Grey(uint32_t v) { return v * 0x010101u; }

class StretchTest : public ScreenTest {
 protected:
  // A 4 x 3 picture, pixel (x, y) = 0x00010000 * (y + 1) + x + 1.
  static constexpr int kPw = 4, kPh = 3;
  void SetUp() override {
    ScreenTest::SetUp();
    for (int y = 0; y < kPh; ++y)
      for (int x = 0; x < kPw; ++x) pixels_.push_back(Px(x, y));
    Clear(kBack);
  }
  static uint32_t Px(int x, int y) { return 0x00010000u * static_cast<uint32_t>(y + 1) + x + 1; }
  // Opaque stretch of the picture.
  void Draw(int dstX, int dstY, int srcX, int srcY, int dstW, int dstH, int srcW, int srcH) {
    CAllPicture::StretchBlt(dstX, dstY, srcX, srcY, dstW, dstH, srcW, srcH, pixels_.data(), nullptr,
                            kPw, kPh, 0, 100);
  }
  // The source pixel each screen pixel of row y shows from x on (0 when
  // it shows the background), as picture column + 1.
  static std::vector<int> Columns(int x, int y, int n) {
    std::vector<int> out;
    for (int i = 0; i < n; ++i) out.push_back(At(x + i, y) == kBack ? 0 : At(x + i, y) & 0xFF);
    return out;
  }

  static constexpr uint32_t kBack = 0x00ABCDEF;
  std::vector<uint32_t> pixels_;
};

TEST(Stretch, StepsSplitIntoFloorAndTruncatedFraction) {
  EXPECT_EQ(stretch::Fixed(1.5), 65536 + 32768);
  EXPECT_EQ(stretch::Fixed(-1.0), -65536);  // integer part -1, fraction 0
  EXPECT_EQ(stretch::Fixed(-0.5), -65536 + 32768);
  EXPECT_EQ(stretch::Fixed(2.0 / 3.0), 43690);  // truncated, not rounded
  EXPECT_EQ(stretch::Fixed(0.5 * 3), 98304);
}

TEST_F(StretchTest, SamplesColumnsAndRowsByStep) {
  struct Case {
    const char* what;
    int srcX, dstW, srcW;
    std::vector<int> columns;  // picture column + 1 per screen column
  } cases[] = {
      {"same size", 0, 4, 4, {1, 2, 3, 4}},
      {"double", 0, 8, 4, {1, 1, 2, 2, 3, 3, 4, 4}},
      {"3 to 2: step 1.5", 1, 2, 3, {2, 3}},
      {"mirror whole", 3, 4, -4, {4, 3, 2, 1}},
      {"mirror doubled", 3, 8, -4, {4, 3, 3, 2, 2, 1, 1, 0}},  // -0.5 steps reach column -1
  };
  for (const Case& c : cases) {
    Clear(kBack);
    Draw(10, 5, c.srcX, 0, c.dstW, 1, c.srcW, 1);
    EXPECT_EQ(Columns(10, 5, static_cast<int>(c.columns.size())), c.columns) << c.what;
    EXPECT_EQ(CountChanged(kBack),
              static_cast<int>(c.columns.size()) -
                  static_cast<int>(std::count(c.columns.begin(), c.columns.end(), 0)))
        << c.what;
  }
  // Rows mirrored at half steps: positions 2, 1.5, ..., -0.5; the last
  // row samples above the picture and is skipped.
  Clear(kBack);
  Draw(0, 0, 0, 2, 1, 6, 1, -3);
  const int rows[6] = {2, 1, 1, 0, 0, -1};
  for (int y = 0; y < 6; ++y) EXPECT_EQ(At(0, y), rows[y] < 0 ? kBack : Px(0, rows[y])) << y;
}

TEST_F(StretchTest, ClipsAtEveryScreenEdgeKeepingTheScaledPosition) {
  // Half off the left: the visible half is the right half of the doubled
  // picture (start = srcX + skipX * stepX).
  Draw(-4, 0, 0, 0, 8, 1, 4, 1);
  EXPECT_EQ(Columns(0, 0, 5), (std::vector<int>{3, 3, 4, 4, 0}));
  // Off the right: only the columns left of the edge.
  Clear(kBack);
  Draw(kW - 2, 0, 0, 0, 8, 1, 4, 1);
  EXPECT_EQ(Columns(kW - 2, 0, 2), (std::vector<int>{1, 1}));
  EXPECT_EQ(CountChanged(kBack), 2);
  // Off the top and the bottom.
  Clear(kBack);
  Draw(0, -3, 0, 0, 1, 6, 1, 3);
  EXPECT_EQ(At(0, 0), Px(0, 1));
  EXPECT_EQ(At(0, 2), Px(0, 2));
  EXPECT_EQ(CountChanged(kBack), 3);
  Clear(kBack);
  Draw(0, kH - 1, 0, 0, 1, 6, 1, 3);
  EXPECT_EQ(At(0, kH - 1), Px(0, 0));
  EXPECT_EQ(CountChanged(kBack), 1);
  // Wholly outside, empty or invalid: nothing.
  Clear(kBack);
  Draw(kW, 0, 0, 0, 4, 1, 4, 1);
  Draw(-8, 0, 0, 0, 8, 1, 4, 1);
  Draw(0, 0, 0, 0, 0, 1, 4, 1);
  Draw(0, 0, 0, 0, -4, 1, 4, 1);
  Draw(0, 0, 0, 0, 4, 1, 0, 1);
  Draw(0, 0, 0, 0, 4, 1, 4, 0);
  CAllPicture::StretchBlt(0, 0, 0, 0, 4, 1, 4, 1, nullptr, nullptr, kPw, kPh, 0, 100);
  CAllPicture::StretchBlt(0, 0, 0, 0, 4, 1, 4, 1, pixels_.data(), nullptr, 0, kPh, 0, 100);
  EXPECT_EQ(CountChanged(kBack), 0);
}

TEST_F(StretchTest, SourceReachingPastThePictureDrawsOnlyWhatLiesInside) {
  struct Case {
    const char* what;
    int srcX, srcY, srcW, srcH;
    std::vector<int> columns;
    int rows;  // rows of the 3-row destination drawn
  } cases[] = {
      {"one column past", 1, 0, 4, 1, {2, 3, 4, 0}, 1},
      {"starting left of it", -2, 0, 4, 1, {0, 0, 1, 2}, 1},
      {"mirrored from past the end", 4, 0, -4, 1, {0, 4, 3, 2}, 1},
      {"rows past the bottom", 0, 1, 4, 3, {1, 2, 3, 4}, 2},
      {"wholly outside", 7, 0, 4, 1, {0, 0, 0, 0}, 0},
  };
  for (const Case& c : cases) {
    Clear(kBack);
    CAllPicture::StretchBlt(0, 0, c.srcX, c.srcY, 4, c.srcH, c.srcW, c.srcH, pixels_.data(),
                            nullptr, kPw, kPh, 0, 100);
    EXPECT_EQ(Columns(0, 0, 4), c.columns) << c.what;
    int rows = 0;
    for (int y = 0; y < kH; ++y) rows += At(0, y) != kBack || At(3, y) != kBack;
    EXPECT_EQ(rows, c.rows) << c.what;
  }
}

TEST_F(StretchTest, TransparencyModesUseComplement255) {
  // A 2 x 1 picture: the key (its top-left pixel), then white.
  const uint32_t picture[2] = {0x00FF00FF, 0x00FFFFFF};
  struct Case {
    const char* what;
    bool withMask;
    uint8_t m;
    int transparent, percent;
    uint32_t key, other;  // screen (0, 0) and (1, 0) afterwards, over white
  } cases[] = {
      {"flag clear is opaque at any percent", false, 0, 0, 50, 0x00FF00FF, 0x00FFFFFF},
      {"keyed copy", false, 0, 1, 100, Grey(200), 0x00FFFFFF},
      {"keyed blend", false, 0, 1, 50, Grey(200), Grey(127 + 99)},  // (255*128)>>8 + (200*127)>>8
      {"mask 128 copy", true, 128, 1, 100, Grey(200), Grey(127 + 99)},
      {"mask 255 at 50 %: no special case", true, 255, 1, 50, Grey(200), Grey(126 + 100)},
      {"mask 0 skipped", true, 0, 1, 100, Grey(200), Grey(200)},
  };
  for (const Case& c : cases) {
    Clear(Grey(200));
    const uint8_t m[2] = {0, c.m};
    CAllPicture::StretchBlt(0, 0, 0, 0, 2, 1, 2, 1, picture, c.withMask ? m : nullptr, 2, 1,
                            c.transparent, c.percent);
    EXPECT_EQ(At(0, 0), c.key) << c.what;
    EXPECT_EQ(At(1, 0), c.other) << c.what;
  }
}

TEST_F(StretchTest, AddSubAppliesTheColourAfterTheKeyTest) {
  const uint32_t picture[3] = {0x00800000, 0x00800000, 0x00102030};
  Clear(Grey(9));
  // The first two equal the key and are skipped although the colour would
  // change them; the third gets the colour.
  CAllPicture::StretchAddSubBlt(0, 0, 0, 0, 3, 1, 3, 1, picture, nullptr, 3, 1, 1, 100, -255, 16,
                                255);
  EXPECT_EQ(At(0, 0), Grey(9));
  EXPECT_EQ(At(1, 0), Grey(9));
  EXPECT_EQ(At(2, 0), 0x000030FFu);
  // Opaque, every pixel coloured, doubled.
  CAllPicture::StretchAddSubBlt(0, 1, 0, 0, 6, 1, 3, 1, picture, nullptr, 3, 1, 0, 100, 127, 0, 0);
  EXPECT_EQ(At(0, 1), 0x00FF0000u);
  EXPECT_EQ(At(5, 1), 0x008F2030u);
}

// The row-at-a-time stretches against the pixel walk: random pictures
// (1-pixel rows and columns, odd widths), key pixels, masks with runs of 0
// and 255, mirrored and clipped rectangles, sources reaching past the
// picture, every mode and percentages beyond the contract, with and
// without the signed colour and the 256-bit rows.
TEST_F(StretchTest, RowsGiveTheSameBytesAsThePixelWalk) {
  std::mt19937 random(16);
  auto in = [&](int lo, int hi) { return lo + static_cast<int>(random() % (hi - lo + 1)); };
  const int percents[] = {100, 100, 50, 0, 1, 99, 150, -10};
  for (int round = 0; round < 1500; ++round) {
    const bool wide = round % 2 == 1;
    if (wide && !blendrows::WideRowsAvailable()) continue;
    const int pw = in(1, 13), ph = in(1, 9);
    std::vector<uint32_t> picture(static_cast<size_t>(pw) * ph);
    std::vector<uint8_t> mask(picture.size());
    const int maskStyle = in(0, 2);  // runs of 0 and 255, mixed, random
    for (size_t i = 0; i < picture.size(); ++i) {
      picture[i] = random() % 4 == 0 && i > 0 ? picture[0] : static_cast<uint32_t>(random());
      const uint32_t r = random();
      mask[i] = maskStyle == 0   ? ((i / 3) % 2 ? 255 : 0)
                : maskStyle == 1 ? static_cast<uint8_t>(r % 3 ? (r % 2 ? 0 : 255) : r >> 8)
                                 : static_cast<uint8_t>(r >> 8);
    }
    const int srcW = in(-2 * pw - 2, 2 * pw + 2) | 1, srcH = in(-2 * ph - 2, 2 * ph + 2) | 1;
    const int srcX = in(-3, pw + 2), srcY = in(-3, ph + 2);
    const int dstW = in(1, 90), dstH = in(1, 70);
    const int dstX = in(-40, kW), dstY = in(-30, kH);
    const int transparent = in(0, 3) != 0;
    const int percent = percents[random() % 8];
    const uint8_t* m = random() % 3 ? mask.data() : nullptr;
    const bool coloured = random() % 3 == 0;
    const int r = in(-255, 255), g = in(-255, 255), b = in(-255, 255);
    std::vector<uint32_t> screens[2];
    for (int fast = 0; fast < 2; ++fast) {
      stretch::AllowFastRows(fast == 1);
      blendrows::AllowWideRows(wide);
      std::mt19937 back(static_cast<uint32_t>(round));
      for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) At(x, y) = static_cast<uint32_t>(back());
      if (coloured)
        CAllPicture::StretchAddSubBlt(dstX, dstY, srcX, srcY, dstW, dstH, srcW, srcH,
                                      picture.data(), m, pw, ph, transparent, percent, r, g, b);
      else
        CAllPicture::StretchBlt(dstX, dstY, srcX, srcY, dstW, dstH, srcW, srcH, picture.data(), m,
                                pw, ph, transparent, percent);
      screens[fast].assign(CScreenBuffer::GetBuffer(), CScreenBuffer::GetBuffer() + kW * kH);
    }
    ASSERT_EQ(screens[0], screens[1])
        << "round " << round << ": " << pw << "x" << ph << " src " << srcX << "," << srcY << " "
        << srcW << "x" << srcH << " dst " << dstX << "," << dstY << " " << dstW << "x" << dstH
        << " transparent " << transparent << " percent " << percent << (m ? " mask" : "")
        << (coloured ? " coloured" : "") << (wide ? " wide" : "");
  }
  stretch::AllowFastRows(true);
  blendrows::AllowWideRows(true);
}

}  // namespace
}  // namespace graphics_test
