#include "effect/raineffects.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <vector>

#include "effect_fixture.h"
#include "graphics/blendrows.h"
#include "graphics/screenbuffer.h"

namespace effect_test {
namespace {

class RainTest : public EffectTest {
 protected:
  EffectChannel* Channel(int c) { return manager_->GetChannel(c); }
  CEffectRain2* Rain2() { return static_cast<CEffectRain2*>(manager_->GetEffect(56)); }
  CEffectRain4* Rain4() { return static_cast<CEffectRain4*>(manager_->GetEffect(102)); }
  void CalcuOnce(int channel) {
    EffectChannel* record = Channel(channel);
    manager_->GetEffect(record->EffectNumber())->Calcu(record, channel);
  }
  void PrintOnce(int channel) {
    EffectChannel* record = Channel(channel);
    manager_->GetEffect(record->EffectNumber())->Print(record, channel);
  }
};

TEST_F(RainTest, DefaultsAndClamps) {
  ASSERT_EQ(Start(5, 56, {}), 1);
  EXPECT_EQ(std::vector<int>(Channel(5)->v + 29, Channel(5)->v + 37),
            (std::vector<int>{20, 5, 30, 2, 3, 0, 50, 100}));
  ASSERT_EQ(Start(5, 56, {20, 5, 30, 9, 3, 0, 50, 0}), 1);
  EXPECT_EQ(Channel(5)->Param(3), 4);
  EXPECT_EQ(Channel(5)->Param(7), 1);
  ASSERT_EQ(Start(5, 102, {}), 1);
  EXPECT_EQ(std::vector<int>(Channel(5)->v + 29, Channel(5)->v + 38),
            (std::vector<int>{20, 2, 500, 20, -20, kW / 2, kH / 2, 0, 60}));
  // Near at or beyond far: one less than far. Layers that share a depth
  // are kept; only a count no rain reaches is held, with a message.
  host_->ClearErrorLines();
  ASSERT_EQ(Start(5, 102, {20, 3, 30, 40, 0, -9, 999}), 1);
  EXPECT_EQ(std::vector<int>(Channel(5)->v + 30, Channel(5)->v + 36),
            (std::vector<int>{3, 30, 29, 0, 0, kH - 1}));
  EXPECT_TRUE(host_->ErrorLines().empty());
  ASSERT_EQ(Start(5, 102, {20, 1000, INT_MAX, 10}), 1);
  EXPECT_EQ(Channel(5)->Param(1), CEffectRain4::kMaxLayers);
  ASSERT_EQ(host_->ErrorLines().size(), 1u);
  EXPECT_EQ(host_->ErrorLines()[0], "effect 102 on channel 5: 1000 layers asked for, 256 drawn");
  ASSERT_EQ(Start(5, 102, {20, 2, 5, 3}), 1);
  // Far at least 10, near at least 10 and then below far.
  EXPECT_EQ(std::vector<int>(Channel(5)->v + 30, Channel(5)->v + 33), (std::vector<int>{2, 10, 9}));
  for (int number : {56, 102}) EXPECT_EQ(manager_->GetEffect(number)->Finish(Channel(5), 5), 1);
}

TEST_F(RainTest, FlatRainScattersThenOnlyMovingLayersMove) {
  ChannelPicture(5, 16, 8, [](int, int) { return 0x8080FFu; });
  // Four layers (9 asked), each layer 0 % of the one before; no walks.
  ASSERT_EQ(Start(5, 56, {20, 2, 3, 9, 0, 0, 0}), 1);
  const std::vector<int> r = Draws(8, 8);
  CalcuOnce(5);
  EXPECT_EQ(Rain2()->GetLayer(5, 0).x, (r[0] % 16 * 100 + 200) % 1600);
  EXPECT_EQ(Rain2()->GetLayer(5, 0).y, (r[1] % 8 * 100 + 300) % 800);
  for (int k = 1; k < 4; ++k) {
    EXPECT_EQ(Rain2()->GetLayer(5, k).x, r[2 * k] % 16 * 100) << k;
    EXPECT_EQ(Rain2()->GetLayer(5, k).y, r[2 * k + 1] % 8 * 100) << k;
  }
  // Scatter happens once.
  const int x = Rain2()->GetLayer(5, 1).x;
  CalcuOnce(5);
  EXPECT_EQ(Rain2()->GetLayer(5, 1).x, x);
}

TEST_F(RainTest, FlatRainLeavingLeftOrUpComesBackByOneTileAndCoversTheScreen) {
  ChannelPicture(5, 16, 8, [](int x, int y) { return 0x010000u * (x + 1) + 0x000100u * (y + 1); },
                 [](int, int) -> uint8_t { return 255; });
  ASSERT_EQ(Start(5, 56, {20, -7, -3, 1, 0, 0}), 1);
  for (int frame = 0; frame < 50; ++frame) {
    CalcuOnce(5);
    const CEffectRain2::Layer& layer = Rain2()->GetLayer(5, 0);
    ASSERT_GT(layer.x, -1600);
    ASSERT_LT(layer.x, 1600);
    ASSERT_GT(layer.y, -800);
    ASSERT_LT(layer.y, 800);
    Clear(0);
    PrintOnce(5);
    ASSERT_FALSE(ScreenIs(0));
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) ASSERT_NE(At(x, y), 0u) << frame << " " << x << "," << y;
  }
}

TEST_F(RainTest, RandomWalkDrawsAndHoldsTheSpeed) {
  ChannelPicture(5, 16, 8, [](int, int) { return 0x8080FFu; });
  ASSERT_EQ(Start(5, 56, {20, 5, 30, 1, 3, 0, 50, 1}), 1);
  CalcuOnce(5);  // scatter
  for (int frame = 0; frame < 200; ++frame) {
    CalcuOnce(5);
    const int speed = Rain2()->GetLayer(5, 0).speedX;
    ASSERT_GE(speed, 200);
    ASSERT_LE(speed, 800);
  }
}

TEST_F(RainTest, DepthRainMovesWrapsAndFades) {
  ChannelPicture(5, 16, 16, [](int, int) { return 0x4080C0u; });
  ASSERT_EQ(Start(5, 102, {20, 2, 100, 20, -30}), 1);
  EXPECT_EQ(Rain4()->GetDepth(5), 0);
  CalcuOnce(5);  // -30 is below the near depth: to the far one
  EXPECT_EQ(Rain4()->GetDepth(5), 100);
  CalcuOnce(5);
  EXPECT_EQ(Rain4()->GetDepth(5), 70);
  // Layer 1 half the range further, wrapped into it.
  EXPECT_EQ(CEffectRain4::LayerDepth(*Channel(5), 70, 1), (110 - 20) % 80 + 20);
  // Fading near both ends, p7 at the ends; p7 = 100 never fades.
  EXPECT_EQ(CEffectRain4::LayerOpacity(*Channel(5), 20), 1);
  EXPECT_EQ(CEffectRain4::LayerOpacity(*Channel(5), 50), 50);
  EXPECT_EQ(CEffectRain4::LayerOpacity(*Channel(5), 95), 8);
  Channel(5)->Param(7) = 100;
  for (int z : {20, 50, 95}) EXPECT_EQ(CEffectRain4::LayerOpacity(*Channel(5), z), 100);
  // p4 = 0: the layers stand still.
  ASSERT_EQ(Start(5, 102, {20, 2, 100, 20, 0}), 1);
  for (int i = 0; i < 5; ++i) CalcuOnce(5);
  EXPECT_EQ(Rain4()->GetDepth(5), 0);
  // Init with -1 sets every channel's depth back.
  ASSERT_EQ(Start(6, 102, {20, 2, 100, 20, 7}), 1);
  CalcuOnce(6);
  EXPECT_EQ(Rain4()->GetDepth(6), 7);
  Rain4()->Init(0, -1);
  EXPECT_EQ(Rain4()->GetDepth(6), 0);
}

TEST_F(RainTest, DepthRainTilesTheScreenAroundTheVanishingPoint) {
  ChannelPicture(5, 8, 8, [](int, int) { return 0x4080C0u; }, [](int, int) -> uint8_t { return 255; });
  // One layer at depth 50: tiles of 16 x 16, no fading.
  ASSERT_EQ(Start(5, 102, {20, 1, 100, 20, 0, 20, 20, 100}), 1);
  Channel(5)->Param(4) = 50;
  CalcuOnce(5);
  Clear(0);
  PrintOnce(5);
  EXPECT_TRUE(ScreenIs(0x4080C0u));
  // Records from a save with a count beyond the range draw a bounded number
  // of layers.
  Channel(5)->Param(1) = 1 << 30;
  Channel(5)->Param(2) = 0;
  Channel(5)->Param(3) = 0;
  Clear(0);
  PrintOnce(5);
}

// The row drawing gives the bytes of stretching the picture into each tile:
// masked pictures at full and partial opacity, a colour-keyed one, tiles
// clipped on every side, vanishing points at the edges, both row widths.
TEST_F(RainTest, DepthRainRowsMatchTileStretches) {
  struct Case {
    int w, h;
    bool masked;
    std::vector<int> values;
  };
  const Case cases[] = {
      {8, 8, true, {20, 3, 100, 20, 7, 10, 40, 20, 30}},
      {5, 7, true, {20, 2, 500, 20, -20, 32, 24, 0, 60}},
      {9, 4, false, {20, 2, 90, 11, 13, 63, 0, 30, 40}},
      {6, 6, false, {20, 1, 60, 50, 3, 0, 47, 100, 0}},
      {40, 30, true, {20, 4, 300, 10, -9, 20, 20, 10, 100}},
  };
  for (bool wide : {false, true}) {
    blendrows::AllowWideRows(wide && blendrows::WideRowsAvailable());
    for (const Case& c : cases) {
      ChannelPicture(
          5, c.w, c.h, [](int x, int y) { return static_cast<uint32_t>(x * 0x3A1F07 + y * 0x0B52C9) & 0xFFFFFF; },
          c.masked ? std::function<uint8_t(int, int)>(
                         [](int x, int y) { return static_cast<uint8_t>((x * 97 + y * 41) % 5 == 0 ? 0 : (x * 53 + y * 29) % 7 == 0 ? 255 : x * 31 + y * 17); })
                   : std::function<uint8_t(int, int)>());
      ASSERT_EQ(Start(5, 102, c.values), 1);
      for (int frame = 0; frame < 12; ++frame) {
        CalcuOnce(5);
        auto background = [](int x, int y) { return static_cast<uint32_t>(x * 0x010305 ^ y * 0x070201); };
        for (int y = 0; y < kH; ++y)
          for (int x = 0; x < kW; ++x) At(x, y) = background(x, y);
        PrintOnce(5);
        const std::vector<uint32_t> rows(CScreenBuffer::GetBuffer(), CScreenBuffer::GetBuffer() + kW * kH);
        for (int y = 0; y < kH; ++y)
          for (int x = 0; x < kW; ++x) At(x, y) = background(x, y);
        Rain4()->PrintPlain(Channel(5), 5);
        const std::vector<uint32_t> plain(CScreenBuffer::GetBuffer(), CScreenBuffer::GetBuffer() + kW * kH);
        ASSERT_EQ(rows, plain) << c.w << "x" << c.h << " frame " << frame << " wide " << wide;
      }
    }
  }
  blendrows::AllowWideRows(true);
}

}  // namespace
}  // namespace effect_test
