#include "effect/effectlayertransform.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "effect_fixture.h"

namespace effect_test {
namespace {

// Each pixel names its own coordinates; no pixel is the clear colour.
uint32_t Coordinates(int x, int y) { return static_cast<uint32_t>(x) << 8 | static_cast<uint32_t>(y); }
constexpr uint32_t kClear = 0xABCDEF;
uint8_t Opaque(int, int) { return 255; }

// Pixels that differ from the clear colour.
int Changed() {
  int n = 0;
  for (int y = 0; y < CScreenBuffer::GetHeight(); ++y)
    for (int x = 0; x < CScreenBuffer::GetWidth(); ++x) n += EffectTest::At(x, y) != kClear;
  return n;
}

void SetDraw(CEffectManager& m, int channel, int x, int y) {
  const int at[4] = {x, y, 4, 4};
  for (int kind : {2, 3, 5}) m.SetRect(channel, kind, at);
}

// --- #119, #62 ---

TEST_F(EffectTest, CurvesWithoutValuesLastOneFrameAtTheDrawPosition) {
  for (int number : {119, 62}) {
    ChannelPicture(5, 4, 4, [](int, int) { return 0xFF0000u; }, Opaque);
    SetDraw(*manager_, 5, 10, 12);
    ASSERT_EQ(Start(5, number, {}), 1);
    EXPECT_EQ(manager_->GetChannel(5)->Duration(), 1) << number;
    Clear(kClear);
    manager_->PrintRange(5, 5, 0, 1);
    EXPECT_EQ(At(10, 12), 0xFF0000u) << number;
    EXPECT_EQ(At(13, 15), 0xFF0000u) << number;
    EXPECT_EQ(Changed(), 16) << number;
  }
}

TEST_F(EffectTest, CurveOffsetsRoundHalfUpThenTruncateTowardZero) {
  // The default cubic at half way: (237.5, -100) becomes (238, -99).
  const int cubic[8] = {0, 0, 200, -100, 300, -200, 400, 100};
  int x = 0, y = 0;
  CurveOffset(5, 10, cubic, 4, 0, 0, &x, &y);
  EXPECT_EQ(x, 238);
  EXPECT_EQ(y, -99);
  CurveOffset(10, 10, cubic, 4, 0, 0, &x, &y);
  EXPECT_EQ(x, 400);
  EXPECT_EQ(y, 100);
  CurveOffset(5, 10, cubic, 2, 0, 0, &x, &y);
  EXPECT_EQ(x, 0);

  // Drawn: (23.75, -10) -> (24, -9) for the cubic, (20, -7.5) -> (20, -7) for
  // the quadratic, both from the draw position (5, 20).
  struct Case {
    int number;
    std::vector<int> values;
    int x, y;
  };
  const Case cases[] = {{62, {10, 0, 0, 20, -10, 30, -20, 40, 10}, 29, 11},
                        {119, {10, 0, 0, 20, -20, 40, 10}, 25, 13}};
  for (const Case& c : cases) {
    ChannelPicture(5, 2, 2, [](int, int) { return 0x00FF00u; }, Opaque);
    SetDraw(*manager_, 5, 5, 20);
    ASSERT_EQ(Start(5, c.number, c.values), 1);
    manager_->GetChannel(5)->Counter() = 5;
    Clear(kClear);
    manager_->PrintRange(5, 5, 0, 1);
    EXPECT_EQ(At(c.x, c.y), 0x00FF00u) << c.number;
    EXPECT_EQ(At(c.x + 1, c.y + 1), 0x00FF00u) << c.number;
    EXPECT_EQ(Changed(), 4) << c.number;
  }
}

TEST_F(EffectTest, CurvesDrawOpaqueOnlyOnTheOpaqueChannels) {
  for (int channel : {2, 6}) {
    ChannelPicture(channel, 4, 4, [](int, int) { return 0x0000FFu; }, [](int x, int y) {
      return static_cast<uint8_t>(x + y == 0 ? 0 : 255);
    });
    ASSERT_EQ(Start(channel, 119, {}), 1);
    Clear(kClear);
    manager_->PrintRange(channel, channel, 0, 1);
    EXPECT_EQ(At(0, 0), channel == 2 ? 0x0000FFu : kClear) << channel;
  }
}

// --- #36 ---

class StretchTest : public EffectTest {
 protected:
  void Picture() { ChannelPicture(5, kW, kH, Coordinates); }
  void DrawAt(std::vector<int> values, int counter) {
    ASSERT_EQ(Start(5, 36, values), 1);
    manager_->GetChannel(5)->Counter() = counter;
    Clear(kClear);
    manager_->PrintRange(5, 5, 0, 1);
  }
};

TEST_F(StretchTest, HalfSizeStartAveragesTwoByTwo) {
  Picture();
  DrawAt({10}, 0);  // a quarter of the screen each side: half its size
  EXPECT_EQ(Changed(), (kW / 2) * (kH / 2));
  // Columns 2i and 2i + 1 average to 2i; so do the rows.
  for (int j = 0; j < kH / 2; ++j)
    for (int i = 0; i < kW / 2; ++i)
      ASSERT_EQ(At(kW / 4 + i, kH / 4 + j), Coordinates(2 * i, 2 * j)) << i << "," << j;
  // A quarter: 4 x 4 blocks, (4i + 1.5) truncated.
  DrawAt({10, 0, 0, kW / 4, kH / 4}, 0);
  EXPECT_EQ(Changed(), (kW / 4) * (kH / 4));
  EXPECT_EQ(At(3, 5), Coordinates(13, 21));
}

TEST_F(StretchTest, GrowsFromTheStartRectangleToTheWholeScreen) {
  Picture();
  DrawAt({10, 8, 6, 40, 30}, 10);  // curve value 256: a plain copy
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) ASSERT_EQ(At(x, y), Coordinates(x, y)) << x << "," << y;
  DrawAt({10, 8, 6, 40, 30}, 0);  // curve value 0: exactly the start rectangle
  EXPECT_EQ(Changed(), 40 * 30);
  EXPECT_EQ(At(8, 6), Coordinates(0, 0));
  EXPECT_EQ(At(47, 35), Coordinates(39 * kW / 40, 29 * (kH * 256 / 30) / 256));
  EXPECT_EQ(At(7, 6), kClear);
  EXPECT_EQ(At(48, 35), kClear);
  // Half way the rectangle has grown half the distance to each edge.
  DrawAt({10, 8, 6, 40, 30}, 5);
  EXPECT_EQ(Changed(), (56 - 4) * (42 - 3));
  EXPECT_NE(At(4, 3), kClear);
  EXPECT_EQ(At(3, 3), kClear);
}

TEST_F(StretchTest, StartRectangleIsHeldInsideTheScreen) {
  const EffectChannel& record = *manager_->GetChannel(5);
  struct Case {
    std::vector<int> values;
    std::vector<int> stored;
  };
  const Case cases[] = {
      {{10, 60, 40, 100, 100}, {60, 40, 4, 8}},
      {{10, -5, 100, 0, -3}, {0, kH - 1, 1, 1}},
      {{10, INT_MIN, INT_MIN}, {0, 0, kW, kH}},
      {{10, INT_MAX, INT_MAX}, {kW - 1, kH - 1, 1, 1}},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(Start(5, 36, c.values), 1);
    EXPECT_EQ(std::vector<int>(record.v + 30, record.v + 34), c.stored) << c.values[1];
  }
}

TEST_F(StretchTest, OnlyScreenSizedTrueColourPicturesAreDrawn) {
  ChannelPicture(5, kW - 1, kH, Coordinates);
  DrawAt({10}, 0);
  EXPECT_EQ(Changed(), 0);
  DrawAt({10}, 10);
  EXPECT_EQ(Changed(), 0);
  std::string error;
  dwqtool::Picture grey{kW, kH, std::vector<uint32_t>(size_t{kW} * kH, 0x404040), {}};
  ASSERT_TRUE(effecttool::LoadPictureThroughFile(manager_->GetPicture(5), grey, dir_->path(),
                                                 &error, true));
  ASSERT_TRUE(manager_->GetPicture(5)->Get256Flag());
  DrawAt({10}, 10);
  EXPECT_EQ(Changed(), 0);
  // Finish asks for a full redraw, as often as it is called.
  EXPECT_EQ(manager_->GetEffect(36)->Finish(manager_->GetChannel(5), 5), 1);
  EXPECT_EQ(manager_->GetEffect(36)->Finish(manager_->GetChannel(5), 5), 1);
}

// --- #67 ---

class PersTest : public EffectTest {
 protected:
  static constexpr int kPw = 20, kPh = 10;
  void DrawAt(std::vector<int> values, int counter = 0) {
    ChannelPicture(5, kPw, kPh, Coordinates);
    ASSERT_EQ(Start(5, 67, values), 1);
    manager_->GetChannel(5)->Counter() = counter;
    Clear(kClear);
    manager_->PrintRange(5, 5, 0, 1);
  }
};

TEST_F(PersTest, DefaultsCopyThePictureCentredAcross) {
  DrawAt({});
  EXPECT_EQ(Changed(), kPw * kPh);
  const int left = kW / 2 - kPw / 2;
  for (int y = 0; y < kPh; ++y)
    for (int x = 0; x < kPw; ++x) ASSERT_EQ(At(left + x, y), Coordinates(x, y)) << x << "," << y;
  const std::vector<int> stored(manager_->GetChannel(5)->v + 29, manager_->GetChannel(5)->v + 45);
  EXPECT_EQ(stored, (std::vector<int>{20, 0, 0, 100, 100, 0, 0, 0, 100, 100, 0, kH, 0, kH, 0, 0}));
}

TEST_F(PersTest, DoubleZoomRepeatsEverySourcePixel) {
  DrawAt({10, 0, 0, 100, 200});
  // Rows 0, 1, 1, 2, 2, 3 ...; columns from the centre, each twice.
  const int left = kW / 2 - kPw;
  EXPECT_EQ(At(left, 0), Coordinates(0, 0));
  EXPECT_EQ(At(left + 1, 1), Coordinates(0, 1));
  EXPECT_EQ(At(left + 2, 2), Coordinates(1, 1));
  EXPECT_EQ(At(left + 3, 3), Coordinates(1, 2));
  EXPECT_EQ(At(left + 39, 4), Coordinates(19, 2));
  EXPECT_EQ(At(left - 1, 4), kClear);
  EXPECT_EQ(At(left + 40, 4), kClear);
  EXPECT_EQ(Changed(), 2 * kPw * (2 * kPh - 1));
}

TEST_F(PersTest, RowsAndAnimationFollowTheCounter) {
  // Rows 10..19 at the end, 0..48 at the start: half way 5..34.
  DrawAt({10, 0, 0, 100, 100, 0, 0, 0, 100, 100, 10, 19, 0, kH}, 5);
  for (int y = 0; y < kH; ++y) {
    const bool row = At(kW / 2, y) != kClear;
    EXPECT_EQ(row, y >= 5 && y < 5 + kPh) << y;
  }
  // Rows outside the screen are cut; a range without rows draws nothing.
  DrawAt({10, 0, 0, 100, 100, 0, 0, 0, 100, 100, -50, 3});
  EXPECT_EQ(Changed(), 4 * kPw);
  DrawAt({10, 0, 0, 100, 100, 0, 0, 0, 100, 100, 30, 20});
  EXPECT_EQ(Changed(), 0);
}

TEST_F(PersTest, LargeViewOffsetsDoNotOverflowTheDistance) {
  // X = Y = Z = 50000: X * X + Z * Z does not fit 32 bits; the view is the
  // plain one seen at 45 degrees, so row 5 shows source row 5 at the centre.
  DrawAt({10, 50000, 50000, 50000, 100, 0, 50000, 50000, 50000, 100});
  EXPECT_EQ(At(kW / 2, 5), Coordinates(kPw / 2, 5));
  EXPECT_GT(Changed(), kPw * kPh / 2);
}

TEST_F(PersTest, RowsWithoutAPositiveStepAreNotDrawn) {
  // From behind (Z < 0) with the view turning through the side: the rows
  // in the middle of the turn have negative steps.
  DrawAt({10, 10, -10, -100, 100, 0, 10, -10, -100, 100});
  for (int x = 0; x < kW; ++x) ASSERT_EQ(At(x, 20), kClear) << x;
  EXPECT_NE(At(kW / 2, 0), kClear);
  // Z = 0 counts as 1 and a zoom below 1 as 1: a wide, sparse view.
  DrawAt({10, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_GT(Changed(), 0);
  // 8-bit indices are not pixels to copy: nothing.
  std::string error;
  dwqtool::Picture grey{kPw, kPh, std::vector<uint32_t>(size_t{kPw} * kPh, 0x404040), {}};
  ASSERT_TRUE(effecttool::LoadPictureThroughFile(manager_->GetPicture(5), grey, dir_->path(),
                                                 &error, true));
  Clear(kClear);
  manager_->PrintRange(5, 5, 0, 1);
  EXPECT_EQ(Changed(), 0);
  // No picture number: nothing.
  ChannelPicture(5, kPw, kPh, Coordinates);
  ASSERT_EQ(Start(5, 67, {}), 1);
  manager_->GetChannel(5)->PictureNumber() = -1;
  Clear(kClear);
  manager_->PrintRange(5, 5, 0, 1);
  EXPECT_EQ(Changed(), 0);
}

}  // namespace
}  // namespace effect_test
