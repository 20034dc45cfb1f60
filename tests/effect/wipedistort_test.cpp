// The distortion wipes: the blind, the smear, the raster wave, the mosaic,
// the tearing circle and the page.
#include "effect/wipedistort.h"

#include <gtest/gtest.h>

#include <vector>

#include "setup/random.h"
#include "wipe_fixture.h"

namespace effect_test {
namespace {

class DistortTest : public WipeStepTest {};

TEST_F(DistortTest, KindsStartOldAndEndNew) {
  // The blind leaves a few old rows at its end (below); the wave needs a
  // maximum above 1 to start plain.
  for (int number : {8, 22, 26, 27, 38, 41}) {
    for (int max : {2, 10, 65, 127, 10000}) {
      Draw(number, 0, max);
      EXPECT_TRUE(ScreenMatches(OldPx)) << number << " at 0 of " << max;
      Draw(number, max, max);
      EXPECT_TRUE(ScreenMatches(NewPx)) << number << " at the end of " << max;
    }
  }
  for (int number = 42; number <= 46; number += 2) {
    Draw(number, 0, 100);
    EXPECT_TRUE(ScreenMatches(OldPx)) << number;
  }
}

TEST_F(DistortTest, PicturesThatCannotBeDrawnLeaveTheScreen) {
  CPicture* small = Load(3, NewPx, kW - 1, kH);
  for (int number : {8, 22, 26, 27, 38, 41, 42, 43, 44, 45, 46, 47}) {
    Table()->Print(number, old_, small, 1, 2, nullptr, nullptr);
    Table()->Print(number, small, new_, 1, 2, nullptr, nullptr);
    Table()->Print(number, nullptr, new_, 1, 2, nullptr, nullptr);
    EXPECT_TRUE(ScreenIs(kGrey)) << number;
  }
}

TEST(SudareRows, OpeningDownwardLeavesWidelySpacedRowsAtTheEnd) {
  std::vector<int32_t> lines(600);
  CEffectSimpleWipeSudare::AssignRows(0, 10, 10, lines);
  std::vector<int> placed;
  for (int y = 0; y < 600; ++y) {
    if (lines[y] >= 0) {
      EXPECT_EQ(lines[y], static_cast<int>(placed.size())) << "line " << y;
      placed.push_back(y);
    }
  }
  EXPECT_EQ(placed, (std::vector<int>{553, 561, 569, 577, 585, 593}));
  CEffectSimpleWipeSudare::AssignRows(0, 0, 10, lines);
  for (int y = 0; y < 600; ++y) ASSERT_EQ(lines[y], y);
}

TEST(SudareRows, SpreadGapsGrowToSevenLines) {
  // Mode 0 on 80 lines: B = 98, at 1/2 e = 31; rows 31, 32, ... land on
  // 31 + 0, 1, 3, 6, 10, 15, 21, 28, 36, 44.
  std::vector<int32_t> lines(80);
  CEffectSimpleWipeSudare::AssignRows(0, 1, 2, lines);
  const int want[] = {31, 32, 34, 37, 41, 46, 52, 59, 67, 75};
  for (int k = 0; k < 10; ++k) EXPECT_EQ(lines[want[k]], 31 + k) << k;
  for (int y = 0; y < 31; ++y) EXPECT_EQ(lines[y], y);
  EXPECT_EQ(lines[33], -1);
  EXPECT_EQ(lines[79], -1);
  // Mode 1 mirrors it from the bottom: e = 49, row 49 - k on 49 - T(k).
  CEffectSimpleWipeSudare::AssignRows(1, 1, 2, lines);
  for (int k = 0; k < 8; ++k) EXPECT_EQ(lines[49 - want[k] + 31], 49 - k) << k;
  for (int y = 49; y < 80; ++y) EXPECT_EQ(lines[y], y);
  // Mode 2: b = 49 / 2 = 24 from each edge inward; halves stay apart.
  CEffectSimpleWipeSudare::AssignRows(2, 1, 2, lines);
  EXPECT_EQ(lines[24], 24);
  EXPECT_EQ(lines[23], 23);
  EXPECT_EQ(lines[22], -1);
  EXPECT_EQ(lines[21], 22);
  EXPECT_EQ(lines[56], 56);
  EXPECT_EQ(lines[57], 57);
  EXPECT_EQ(lines[58], -1);
  EXPECT_EQ(lines[59], 58);
  for (int y = 24; y < 40; ++y) EXPECT_EQ(lines[y], y);
  for (int y = 40; y < 56; ++y) EXPECT_EQ(lines[y], y);
}

TEST_F(DistortTest, SudareDrawsItsRowsAndTheReverseRunsBackward) {
  std::vector<int32_t> lines(kH);
  CEffectSimpleWipeSudare::AssignRows(0, 10, 10, lines);
  Draw(42, 10, 10);
  EXPECT_TRUE(ScreenMatches(
      [&](int x, int y) { return lines[y] >= 0 ? OldPx(x, lines[y]) : NewPx(x, y); }));
  // #43 at 0 is #42 at the end with the pictures exchanged.
  Draw(43, 0, 10);
  EXPECT_TRUE(ScreenMatches(
      [&](int x, int y) { return lines[y] >= 0 ? NewPx(x, lines[y]) : OldPx(x, y); }));
  Draw(43, 10, 10);
  EXPECT_TRUE(ScreenMatches(NewPx));
}

TEST_F(DistortTest, SmearDragsAColumn) {
  Draw(22, 5, 10);
  EXPECT_TRUE(ScreenMatches([](int, int y) { return NewPx(0, y); }));
  // 1/4: o = 32, the first 32 pixels take old column 31.
  Draw(22, 1, 4);
  EXPECT_TRUE(ScreenMatches([](int x, int y) { return x < 32 ? OldPx(31, y) : OldPx(x, y); }));
  // 3/4: k = 32, new on the left, new column 32 smeared to the right.
  Draw(22, 3, 4);
  EXPECT_TRUE(ScreenMatches([](int x, int y) { return x < 32 ? NewPx(x, y) : NewPx(32, y); }));
}

TEST(RasterShift, FourPeriodsOverTheHeight) {
  // W 64, H 48 at 1 of 4: a = 0.9 * 64 * 1 / 2 = 28.8; line 0's phase is
  // 10 lines on (cos 5/6 pi... = 0.5), line 2's a whole period (cos 1).
  EXPECT_EQ(CEffectSimpleWipeRaster::LineShift(0, 1, 4, 64, 48), 14);
  EXPECT_EQ(CEffectSimpleWipeRaster::LineShift(2, 1, 4, 64, 48), 29);
  EXPECT_EQ(CEffectSimpleWipeRaster::LineShift(8, 1, 4, 64, 48), -28);
  for (int y = 0; y < 48; ++y) {
    EXPECT_EQ(CEffectSimpleWipeRaster::LineShift(y, 0, 4, 64, 48), 0);
    EXPECT_EQ(CEffectSimpleWipeRaster::LineShift(y, 4, 4, 64, 48), 0);
  }
  // With a maximum of 1 the first step is past the integer midpoint 0 and
  // divides by 0.5: a = 115.2, and shifts stop one pixel short of the width.
  EXPECT_EQ(CEffectSimpleWipeRaster::LineShift(0, 0, 1, 64, 48), 63);
  EXPECT_EQ(CEffectSimpleWipeRaster::LineShift(6, 0, 1, 64, 48), -63);
  EXPECT_EQ(CEffectSimpleWipeRaster::LineShift(2, 1, 2, 64, 48), 58);
}

TEST_F(DistortTest, RasterFillsWithEdgePixelsOrBlack) {
  for (int progress : {1, 3}) {
    for (int number : {26, 27}) {
      Draw(number, progress, 4);
      auto src = progress < 2 ? OldPx : NewPx;
      int x0 = -1, y0 = -1;
      EXPECT_TRUE(ScreenMatches(
          [&](int x, int y) -> uint32_t {
            const int s = CEffectSimpleWipeRaster::LineShift(y, progress, 4, kW, kH);
            const int from = x + s;
            if (from < 0) return number == 27 ? 0 : src(0, y);
            if (from >= kW) return number == 27 ? 0 : src(kW - 1, y);
            return src(from, y);
          },
          &x0, &y0))
          << number << " at " << progress << ": " << x0 << "," << y0;
    }
  }
}

TEST(MozaicBlocks, SizesAlongTheWipe) {
  struct Case {
    int progress, max, want;
  } cases[] = {{0, 10000, 1},     {4999, 10000, 64}, {5000, 10000, 64}, {10000, 10000, 1},
               {2500, 10000, 32}, {0, 20, 1},        {1, 20, 12},       {19, 20, 12},
               {20, 20, 1},       {0, 1, 1},         {1, 1, 1},         {1, 127, 2},
               {127, 127, 1}};
  for (const Case& c : cases)
    EXPECT_EQ(CEffectSimpleWipeMozaic::BlockSize(c.progress, c.max), c.want)
        << c.progress << "/" << c.max;
}

TEST_F(DistortTest, MozaicSamplesEveryBlockAtTwoRandomOffsets) {
  struct Case {
    int progress, max, f;
    bool isNew;
  } cases[] = {{4999, 10000, 64, false}, {5000, 10000, 64, true}, {1, 24, 10, false}};
  for (const Case& c : cases) {
    crt::srand(77);
    const int r1 = crt::rand(), r2 = crt::rand(), r3 = crt::rand();
    const int ox = r1 % (kW % c.f ? kW % c.f : c.f);
    const int oy = r2 % (kH % c.f ? kH % c.f : c.f);
    crt::srand(77);
    Draw(38, c.progress, c.max);
    EXPECT_EQ(crt::rand(), r3) << "two draws per frame";
    auto src = c.isNew ? NewPx : OldPx;
    // With f = 10 the last column is 4 wide and the bottom row 8 high.
    EXPECT_TRUE(ScreenMatches([&](int x, int y) {
      return src(x / c.f * c.f + ox, y / c.f * c.f + oy);
    })) << c.progress
        << "/" << c.max;
  }
  // A plain step draws nothing from the generator.
  crt::srand(5);
  const int first = crt::rand();
  crt::srand(5);
  Draw(38, 0, 10000);
  EXPECT_EQ(crt::rand(), first);
}

TEST_F(DistortTest, TearingCirclePushesTheOldLineApart) {
  // R0 = 41, r = 20 at 1/2; line 24 (the centre) opens 20 pixels each way.
  Draw(8, 1, 2);
  for (int x = 0; x < kW; ++x) {
    const uint32_t want = x < 12 ? OldPx(x, 24) : x < 52 ? NewPx(x - 12, 24) : OldPx(x - 40, 24);
    ASSERT_EQ(At(x, 24), want) << x;
  }
  // Line 4 lies on the circle's edge: q = 0, the old line whole.
  for (int x = 0; x < kW; ++x) ASSERT_EQ(At(x, 4), OldPx(x, 4)) << x;
}

TEST_F(DistortTest, PageUnrollsWithAMirroredBack) {
  // 1/4: k = 12 new rows, then 11 mirrored ones (rows 11 down to 1).
  Draw(41, 1, 4);
  EXPECT_TRUE(ScreenMatches([](int x, int y) {
    if (y < 12) return NewPx(x, y);
    if (y < 23) return NewPx(x, 23 - y);
    return OldPx(x, y);
  }));
  // 3/4: k = 36, the fold is cut at the bottom (12 lines).
  Draw(41, 3, 4);
  EXPECT_TRUE(ScreenMatches([](int x, int y) { return y < 36 ? NewPx(x, y) : NewPx(x, 71 - y); }));
}

}  // namespace
}  // namespace effect_test
