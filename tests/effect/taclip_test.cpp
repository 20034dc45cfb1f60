#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "effect/effecttaclip.h"
#include "effect_fixture.h"

namespace effect_test {
namespace {

class TaClipTest : public EffectTest {
 protected:
  EffectChannel& Record() { return *manager_->GetChannel(5); }
  // A screen-sized opaque picture of one colour on channel 5.
  void Picture(uint32_t colour = 0xFFFFFF) {
    ChannelPicture(
        5, kW, kH, [colour](int, int) { return colour; }, [](int, int) { return uint8_t{255}; });
  }
  void DrawAt(std::vector<int> values, int counter = 0, uint32_t under = 0) {
    ASSERT_EQ(Start(5, 136, values), 1);
    Record().Counter() = counter;
    Clear(under);
    manager_->PrintRange(5, 5, 0, 0);
  }
  static bool Lit(int x, int y) { return At(x, y) != 0; }
  // The screen pixels that changed from black and how many kinds they show.
  static int Changed(std::vector<uint32_t>* colours = nullptr) {
    int n = 0;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x)
        if (At(x, y) != 0) {
          ++n;
          if (colours && std::find(colours->begin(), colours->end(), At(x, y)) == colours->end())
            colours->push_back(At(x, y));
        }
    return n;
  }
};

TEST_F(TaClipTest, TheDefaultsShowTheRightOfTheLineThroughTheirPoint) {
  Picture();
  DrawAt({});
  // x = 400 + trunc((j - 300) * -60 / -40 + 0.5): row 0 whole, row 47 from 21.
  EXPECT_TRUE(Lit(0, 0));
  EXPECT_TRUE(Lit(kW - 1, 0));
  EXPECT_FALSE(Lit(20, 47));
  EXPECT_TRUE(Lit(21, 47));
  EXPECT_EQ(At(21, 47), 0xFEFEFEu);  // level 255 through the mask
  EXPECT_EQ(manager_->GetEffect(136)->Finish(&Record(), 5), 1);
}

TEST_F(TaClipTest, TheFourAxisDirections) {
  Picture();
  const struct {
    int dx, dy;
    int litX, litY, darkX, darkY;
  } kCases[] = {
      {1, 0, 5, 10, 5, 9},     // rows 10 and below
      {-1, 0, 5, 10, 5, 11},   // rows 0..10
      {0, 1, 20, 5, 21, 5},    // columns 0..20
      {0, -1, 20, 5, 19, 5},   // columns 20 and right
  };
  for (const auto& c : kCases) {
    DrawAt({20, 20, 10, c.dx, c.dy});
    EXPECT_TRUE(Lit(c.litX, c.litY)) << c.dx << "," << c.dy;
    EXPECT_FALSE(Lit(c.darkX, c.darkY)) << c.dx << "," << c.dy;
  }
}

TEST_F(TaClipTest, RectanglesOfEitherSignAndTheirBorders) {
  Picture();
  const struct {
    std::vector<int> values;
    int x0, y0, x1, y1;  // the lit rectangle, inclusive
  } kCases[] = {
      {{20, 20, 10, 5, 4, 1}, 20, 10, 24, 13},
      {{20, 20, 10, -5, -4, 1}, 15, 7, 19, 10},
      {{20, -3, -3, 5, 5, 1}, 0, 0, 1, 1},
  };
  for (const auto& c : kCases) {
    DrawAt(c.values);
    EXPECT_EQ(Changed(), (c.x1 - c.x0 + 1) * (c.y1 - c.y0 + 1));
    EXPECT_TRUE(Lit(c.x0, c.y0) && Lit(c.x1, c.y1));
  }
  // No size or wholly off the screen: nothing, not even the border.
  for (std::vector<int> v : {std::vector<int>{20, 20, 10, 0, 4, 1}, {20, 100, 10, 5, 4, 1},
                             {20, -20, -20, 5, 5, 1}}) {
    v.resize(17);
    v[16] = 3;
    DrawAt(v);
    EXPECT_EQ(Changed(), 0);
  }
  // Borders at half opacity over a level-0 picture: one colour throughout,
  // so no pixel is covered twice.
  const struct {
    int x, y, w, h, border, pixels;
  } kBorders[] = {
      {20, 10, 10, 8, 1, 11 + 11 + 7 + 7},
      {20, 10, 2, 20, 4, 24 + 24 + 64},  // narrower than the border: no right bar
      {20, 10, 20, 2, 4, 96 + 48},       // lower than the border: no side bars
  };
  for (const auto& b : kBorders) {
    const std::vector<int> v = {20, b.x, b.y, b.w, b.h, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, b.border, 50, 200, 100, 40};
    DrawAt(v);
    std::vector<uint32_t> colours;
    EXPECT_EQ(Changed(&colours), b.pixels) << b.w << "x" << b.h;
    EXPECT_EQ(colours.size(), 1u);
  }
}

TEST_F(TaClipTest, TintLevelAndSaturation) {
  Picture(0x10F010);
  // The tint at its start is the flat colour.
  DrawAt({20, 0, 0, 1, 0, 0, 100, 100, 0, 0, 1, 0, 0, 255, 0, 100}, 0);
  EXPECT_EQ(At(5, 5), 0xFE0063u);
  // 300 %: each channel saturates by itself.
  DrawAt({20, 0, 0, 1, 0, 0, 300}, 0, 0xF010F0);
  EXPECT_EQ(At(5, 5), 0x00FF00u);
  // Tint colours are held to bytes.
  DrawAt({20, 0, 0, 1, 0, 0, 100, 100, 0, 0, 1, 0, 0, -5, 999, 128}, 0);
  EXPECT_EQ(At(5, 5), 0x00FE7Fu);
  // Huge geometry, levels and borders stay in range; a line border draws.
  DrawAt({20, INT_MAX, INT_MIN, INT_MAX, INT_MIN, 0, INT_MAX, INT_MIN, 0, 0, 1, 0, 0, 0, 0, 0,
          INT_MAX},
         10);
  DrawAt({20, INT_MIN, INT_MAX, INT_MIN, INT_MAX, 1, 100, 100, 0, 0, 0, 0, 0, 0, 0, 0, INT_MAX},
         10);
  DrawAt({20, 30, 20, 3, -2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 100, 255, 0, 0});
  EXPECT_GT(Changed(), 0);
}

TEST_F(TaClipTest, APictureWithoutAMaskDrawsNothing) {
  ChannelPicture(5, kW, kH, [](int, int) { return 0xFFFFFFu; });
  DrawAt({20, 0, 0, 1, 0, 0, 100, 100, 0, 0, 0, 0, 0, 0, 0, 0, 2});
  EXPECT_EQ(Changed(), 0);
}

}  // namespace
}  // namespace effect_test
