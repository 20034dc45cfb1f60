// The geometry fillers against their worked values.
#include <climits>
#include <cmath>
#include <set>
#include <utility>

#include "graphics/allgeo.h"
#include "graphics/daikei.h"
#include "graphics/gradationbox.h"
#include "screen_fixture.h"

namespace graphics_test {
namespace {

using GeoTest = ScreenTest;

TEST_F(GeoTest, BoxFillsAreClippedAndExact) {
  Clear(0x00101010);
  CAllGeo::BoxFill(-3, -2, 6, 5, 0x12, 0x34, 0x56);
  EXPECT_EQ(At(0, 0), 0x00123456u);
  EXPECT_EQ(At(2, 2), 0x00123456u);
  EXPECT_EQ(At(3, 0), 0x00101010u);
  EXPECT_EQ(At(0, 3), 0x00101010u);
  EXPECT_EQ(CountChanged(0x00101010), 9);

  CAllGeo::BoxFill(kW - 2, kH - 1, 100, 100, 1, 1, 1);
  EXPECT_EQ(CountChanged(0x00101010), 11);
  CAllGeo::BoxFill(5, 5, 0, 5, 1, 1, 1);
  CAllGeo::BoxFill(kW, 5, 5, 5, 1, 1, 1);
  EXPECT_EQ(CountChanged(0x00101010), 11);
}

TEST_F(GeoTest, TranslucentBoxWeights) {
  struct Case {
    int percent;
    uint32_t dst;
    int r, g, b;
    uint32_t expected;
  } cases[] = {
      // k = percent * 256 / 100, screen weight 256 - k.
      {50, 0x00000000, 255, 100, 2, 0x007F3201},    // k 128: (c * 128) >> 8
      {50, 0x00FFFFFF, 0, 0, 0, 0x007F7F7F},
      {100, 0x00ABCDEF, 1, 2, 3, 0x00010203},       // k 256: exactly the colour
      {150, 0x00ABCDEF, 1, 2, 3, 0x00010203},       // clamped to 100
      {0, 0x00ABCDEF, 1, 2, 3, 0x00ABCDEF},
      {-20, 0x00ABCDEF, 1, 2, 3, 0x00ABCDEF},
      {99, 0x00000000, 255, 255, 255, 0x00FCFCFC},  // k 253
      {1, 0x00000000, 255, 255, 255, 0x00010101},   // k 2
  };
  for (const Case& c : cases) {
    At(4, 4) = c.dst;
    CAllGeo::TransBoxFill(4, 4, 1, 1, c.r, c.g, c.b, c.percent);
    EXPECT_EQ(At(4, 4), c.expected) << "percent " << c.percent;
  }
}

TEST_F(GeoTest, AddedBoxSaturatesPerChannel) {
  struct Case {
    int r, g, b, percent;
    uint32_t dst, expected;
  } cases[] = {
      {-255, 0, 0, 100, 0x00FF8040, 0x00008040},   // all red removed
      {100, 100, 100, 100, 0x00F01020, 0x00FF7484},
      {-30, -30, -30, 100, 0x00F01020, 0x00D20002},  // floored at 0
      {100, -99, 0, 50, 0x00101010, 0x00420010},     // 50 and -49 (toward zero)
      {255, 255, 255, 0, 0x00123456, 0x00123456},
      // Beyond one byte a part saturates instead of spilling into the next
      // channel or the top byte.
      {255, 0, 0, 200, 0x00000000, 0x00FF0000},
      {0, -255, 0, 300, 0x00FFFFFF, 0x00FF00FF},
      {INT_MAX, 0, 0, INT_MAX, 0x00000000, 0x00FF0000},
  };
  for (const Case& c : cases) {
    At(7, 3) = c.dst;
    CAllGeo::AddBoxFill(7, 3, 1, 1, c.r, c.g, c.b, c.percent);
    EXPECT_EQ(At(7, 3), c.expected) << c.r << "," << c.g << "," << c.b << " at " << c.percent;
  }
}

TEST_F(GeoTest, CircleRows) {
  CAllGeo::AddCircleFill(30, 20, 10, 10, 50, 0, 0, 100);
  EXPECT_EQ(RowRun(20, 0), std::make_pair(20, 21));  // half 10 at the centre row
  EXPECT_EQ(RowRun(10, 0), std::make_pair(30, 1));   // trunc(0 + 0.5) = 0
  EXPECT_EQ(RowRun(30, 0), std::make_pair(30, 1));
  EXPECT_EQ(RowRun(9, 0).second, 0);
  EXPECT_EQ(RowRun(31, 0).second, 0);
  // Row 14: t = -0.6, half = trunc(0.8 * 10 + 0.5) = 8.
  EXPECT_EQ(RowRun(14, 0), std::make_pair(22, 17));
  EXPECT_EQ(At(30, 20), 0x00320000u);
}

TEST_F(GeoTest, CircleCutByTheScreen) {
  // Centre above the screen: only the rows that fall inside are drawn.
  CAllGeo::AddCircleFill(5, -6, 10, 10, 0, 0, 9, 100);
  EXPECT_EQ(RowRun(0, 0), std::make_pair(0, 14));   // t = 0.6: half 8, cut at 0
  EXPECT_EQ(RowRun(4, 0), std::make_pair(5, 1));
  EXPECT_EQ(RowRun(5, 0).second, 0);
  EXPECT_EQ(CountChanged(0), 14 + 13 + 12 + 9 + 1);
  Clear(0);
  CAllGeo::AddCircleFill(10, 10, 0, 5, 50, 50, 50, 100);
  CAllGeo::TransCircleFill(10, 10, 5, 0, 50, 50, 50, 100);
  CAllGeo::AddCircleFill(-1000, 10, 5, 5, 50, 50, 50, 100);
  CAllGeo::TransCircleFill(INT_MAX, INT_MAX, INT_MAX, INT_MAX, 50, 50, 50, 50);
  // A radius below 1 (the divisor of the row position) draws nothing.
  CAllGeo::AddTorusFill(10, 10, 5, 5, 10, 10, 0, 2, 50, 50, 50, 100);
  CAllGeo::TransTorusFill(10, 10, 5, 5, 10, 10, 2, -1, 50, 50, 50, 100);
  CAllGeo::AddTorusFill(10, 10, 5, 0, 10, 10, 2, 2, 50, 50, 50, 100);
  EXPECT_EQ(CountChanged(0), 0);
}

TEST_F(GeoTest, TranslucentCircleWeightsAreTruncatedSeparately) {
  // Percent 30: colour weight 76, screen weight 179 (sum 255).
  Clear(0x00FFFFFF);
  CAllGeo::TransCircleFill(10, 10, 2, 2, 255, 0, 0, 30);
  EXPECT_EQ(At(10, 10), 0x00FEB2B2u);
  Clear(0x00FFFFFF);
  CAllGeo::TransCircleFill(10, 10, 2, 2, 255, 0, 0, 100);
  EXPECT_EQ(At(10, 10), 0x00FF0000u);
  // Beyond 0..100 the weights would go negative: clamped as for boxes.
  Clear(0x00FFFFFF);
  CAllGeo::TransCircleFill(10, 10, 2, 2, 255, 0, 0, 150);
  CAllGeo::TransTorusFill(30, 10, 4, 4, 30, 10, 1, 1, 255, 0, 0, 250);
  CAllGeo::Line(40, 40, 45, 40, 255, 0, 0, 300);
  EXPECT_EQ(At(10, 10), 0x00FF0000u);
  EXPECT_EQ(At(27, 10), 0x00FF0000u);
  EXPECT_EQ(At(42, 40), 0x00FE0000u);  // lines blend on 255
  CAllGeo::TransCircleFill(50, 10, 2, 2, 255, 0, 0, -40);
  EXPECT_EQ(At(50, 10), 0x00FFFFFFu);
}

TEST_F(GeoTest, RingRows) {
  CAllGeo::AddTorusFill(30, 20, 10, 10, 30, 20, 4, 4, 0, 40, 0, 100);
  // Centre row: outer 20..40 less inner 26..34.
  EXPECT_EQ(At(20, 20), 0x00002800u);
  EXPECT_EQ(At(25, 20), 0x00002800u);
  EXPECT_EQ(At(26, 20), 0u);
  EXPECT_EQ(At(34, 20), 0u);
  EXPECT_EQ(At(35, 20), 0x00002800u);
  EXPECT_EQ(At(40, 20), 0x00002800u);
  EXPECT_EQ(RowRun(10, 0), std::make_pair(30, 1));  // outside the inner rows
  Clear(0);
  // An inner ellipse wider than the outer one leaves its rows empty.
  CAllGeo::TransTorusFill(30, 20, 5, 5, 30, 20, 10, 2, 255, 255, 255, 100);
  for (int y = 19; y <= 21; ++y) EXPECT_EQ(RowRun(y, 0).second, 0) << y;
  // Rows 15..25 of the outer ellipse hold 1, 7, 9, 11, 11, 11, ... pixels;
  // rows 18 and 22 lose the inner ellipse's tip, rows 19..21 everything.
  EXPECT_EQ(At(30, 18), 0u);
  EXPECT_EQ(CountChanged(0), 2 * (1 + 7 + 9 + 10));
}

TEST_F(GeoTest, RingWithTheInnerEllipseBesideTheOuterStaysInsideIt) {
  // An inner ellipse wholly to the right or to the left takes nothing away,
  // and the ring draws nothing outside its outer ellipse.
  CAllGeo::AddCircleFill(10, 20, 5, 5, 0, 0, 40, 100);
  const int outer = CountChanged(0);
  for (int innerX : {40, -20}) {
    Clear(0);
    CAllGeo::AddTorusFill(10, 20, 5, 5, innerX, 20, 3, 3, 0, 0, 40, 100);
    EXPECT_EQ(RowRun(20, 0), std::make_pair(5, 11)) << innerX;
    EXPECT_EQ(CountChanged(0), outer) << innerX;
  }
}

TEST_F(GeoTest, Trapezoid) {
  CDaikei* daikei = CAllGeo::GetDaikei();
  ASSERT_NE(daikei, nullptr);
  // Top row 5 spans 10..14, bottom row 9 spans 0..20; edges step over 5 rows.
  daikei->Fill(10, 5, 4, 0, 9, 20, 9, 9, 9);
  EXPECT_EQ(RowRun(5, 0), std::make_pair(10, 5));
  EXPECT_EQ(RowRun(6, 0), std::make_pair(8, 8));    // 15
  EXPECT_EQ(RowRun(7, 0), std::make_pair(6, 11));   // 16
  EXPECT_EQ(RowRun(9, 0), std::make_pair(2, 17));   // left 10 - 8, right 14 + 24/5
  EXPECT_EQ(At(10, 5), 0x00090909u);
  EXPECT_EQ(CountChanged(0), 5 + 8 + 11 + 14 + 17);

  // Cut at the top: the visible row is the one the whole shape has there.
  Clear(0);
  daikei->Fill(10, -4, 4, 0, 0, 20, 9, 9, 9);
  EXPECT_EQ(RowRun(0, 0), std::make_pair(2, 17));
  EXPECT_EQ(CountChanged(0), 17);

  Clear(0);
  daikei->Fill(10, 5, -1, 0, 9, 20, 9, 9, 9);
  daikei->Fill(10, 9, 4, 0, 5, 20, 9, 9, 9);
  daikei->Fill(10, kH, 4, 0, kH + 3, 20, 9, 9, 9);
  daikei->Fill(-100, 0, 10, -100, 3, 10, 9, 9, 9);
  EXPECT_EQ(CountChanged(0), 0);
  // Edges across the whole int range still interpolate without overflow.
  daikei->Fill(INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MAX, 0, 9, 9, 9);
  daikei->Fill(INT_MIN, -2, INT_MAX, INT_MAX, kH, INT_MAX, 9, 9, 9);
  EXPECT_EQ(RowRun(0, 0).second, kW);
}

TEST_F(GeoTest, GradientRows) {
  CTransGradationBoxV* gradient = CAllGeo::GetTransGradationBoxV();
  ASSERT_NE(gradient, nullptr);
  // Height 2 from black to white: c = 0, then 255 * 1 / 2 = 127.
  gradient->Fill2(2, 2, 3, 2, 0, 0, 0, 255, 255, 255);
  EXPECT_EQ(At(2, 2), 0u);
  EXPECT_EQ(At(4, 3), 0x007F7F7Fu);
  EXPECT_EQ(CountChanged(0), 3);

  // Signed colours add with saturation; the top byte becomes 0.
  Clear(0xAA808080);
  gradient->Fill2(0, 0, 1, 4, -200, 0, 100, 200, 0, 200);
  EXPECT_EQ(At(0, 0), 0x000080E4u);  // red 128 - 200 -> 0, blue 128 + 100
  EXPECT_EQ(At(0, 1), 0x001C80FDu);  // red 128 - 100, blue 128 + 125
  EXPECT_EQ(At(1, 0), 0xAA808080u);
}

TEST_F(GeoTest, GradientCornersSwapColoursWhenUpsideDown) {
  CTransGradationBoxV* gradient = CAllGeo::GetTransGradationBoxV();
  gradient->Fill(5, 14, 7, 10, 40, 40, 40, 0, 0, 0);  // y2 < y1: colour 2 on top
  EXPECT_EQ(At(5, 10), 0u);
  EXPECT_EQ(At(6, 12), 0x00141414u);  // 40 * 2 / 4
  EXPECT_EQ(At(6, 13), 0x001E1E1Eu);  // 40 * 3 / 4
  EXPECT_EQ(At(7, 10), 0u) << "x2 itself is outside (w = 2)";
  Clear(0);
  gradient->Fill2(kW, 0, 5, 5, 9, 9, 9, 9, 9, 9);
  gradient->Fill2(0, 0, 0, 5, 9, 9, 9, 9, 9, 9);
  gradient->Fill2(0, 0, 5, 0, 9, 9, 9, 9, 9, 9);  // height 0 (the divisor)
  gradient->Fill(3, 3, 9, 3, 9, 9, 9, 9, 9, 9);
  gradient->Fill(INT_MIN, 0, INT_MAX, 5, 9, 9, 9, 9, 9, 9);
  EXPECT_EQ(CountChanged(0), 0);
  // Colours and heights at the int limits: the arithmetic stays defined
  // and only the rectangle's column is touched.
  gradient->Fill2(0, -2147483000, 1, INT_MAX, INT_MIN, 0, 0, INT_MAX, 0, 0);
  for (int y = 0; y < kH; ++y) EXPECT_EQ(At(1, y), 0u);
}

TEST_F(GeoTest, LineBlends) {
  Clear(0);
  CAllGeo::Line(1, 1, 1, 1, 0x11, 0x22, 0x33, 100);  // one point
  EXPECT_EQ(At(1, 1), 0x00112233u);
  EXPECT_EQ(CountChanged(0), 1);
  // Percent 50: weight 127, complement 128.
  Clear(0x00646464);
  CAllGeo::Line(3, 3, 3, 3, 255, 0, 0, 50);
  EXPECT_EQ(At(3, 3), 0x00B03232u);  // (255 * 127 + 100 * 128) >> 8, (100 * 128) >> 8
  CAllGeo::Line(4, 4, 4, 4, 255, 0, 0, 0);
  CAllGeo::Line(4, 4, 4, 4, 255, 0, 0, -5);
  EXPECT_EQ(At(4, 4), 0x00646464u);
  // Fractional ends blend on 255 even at 100 percent.
  Clear(0);
  CAllGeo::LineF(0.4f, 0.4f, 3.6f, 0.4f, 255, 255, 255, 100);
  EXPECT_EQ(RowRun(0, 0), std::make_pair(0, 4));
  EXPECT_EQ(At(3, 0), 0x00FEFEFEu);
  CAllGeo::LineF(9.2f, 9.7f, 9.2f, 9.7f, 255, 255, 255, 100);  // length 0: one point
  EXPECT_EQ(At(9, 10), 0x00FEFEFEu);
  Clear(0);
  CAllGeo::LineF(0.4f, 0.4f, 3.6f, 0.4f, 255, 255, 255, 100);
  CAllGeo::LineF(0, 5, 10, 5, 255, 255, 255, 0);
  CAllGeo::LineF(NAN, 5, 10, 5, 255, 255, 255, 50);
  CAllGeo::LineF(-1e30f, 6, 1e30f, 6, 255, 255, 255, 50);
  EXPECT_EQ(CountChanged(0), 4);
}

TEST_F(GeoTest, LinePointsRunBothWays) {
  using Points = std::set<std::pair<int, int>>;
  auto draw = [](int x1, int y1, int x2, int y2) {
    Clear(0);
    // At 50 percent a point drawn twice would show a second blend.
    CAllGeo::Line(x1, y1, x2, y2, 255, 255, 255, 50);
    Points points;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x)
        if (At(x, y)) {
          EXPECT_EQ(At(x, y), 0x007E7E7Eu) << x << "," << y;
          points.insert({x, y});
        }
    return points;
  };
  EXPECT_EQ(draw(0, 0, 4, 2), (Points{{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}));
  EXPECT_EQ(draw(4, 2, 0, 0), (Points{{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}));
  EXPECT_EQ(draw(10, 0, 10, 5).size(), 6u);
  EXPECT_EQ(draw(10, 5, 10, 0).size(), 6u);
  // Clipped: only the visible points, however long the line.
  EXPECT_EQ(draw(-5, 1, 3, 1).size(), 4u);
  EXPECT_EQ(draw(INT_MIN, 10, INT_MAX, 10).size(), static_cast<size_t>(kW));
  EXPECT_EQ(draw(INT_MIN, INT_MIN, INT_MAX, INT_MAX).size(), static_cast<size_t>(kH));
}

}  // namespace
}  // namespace graphics_test
