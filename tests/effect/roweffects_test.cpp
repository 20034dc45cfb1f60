// The water reflection (#24), the breeze (#92) and the grass plane (#93).
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "effect/roweffects.h"
#include "effect_fixture.h"

namespace effect_test {
namespace {

uint32_t RowColour(int, int y) { return 0x010203u * static_cast<uint32_t>(y + 1); }
uint32_t Red(int, int) { return 0xFF0000u; }
uint8_t Opaque(int, int) { return 255; }

class RowTest : public EffectTest {
 protected:
  // A record of #92 started with `values` (counter set afterwards).
  EffectChannel Soyosoyo(std::vector<int> values, int counter) {
    EXPECT_EQ(Start(5, 92, values), 1);
    EffectChannel record = *manager_->GetChannel(5);
    record.Counter() = counter;
    return record;
  }
  CEffectGrassPlane* Grass() { return static_cast<CEffectGrassPlane*>(manager_->GetEffect(93)); }
};

TEST_F(RowTest, WaterCopiesUpperRowsBelowTheSurfaceAndSharesItsPhase) {
  ChannelPicture(0, kW, kH, RowColour);
  ASSERT_EQ(Start(0, 0, {}), 1);
  ASSERT_EQ(Start(5, 24, {20, 0}), 1);
  EXPECT_EQ(manager_->GetChannel(5)->Duration(), 99999);
  Frame();
  // Surface at line 0: every line shows row 0.
  for (int y = 0; y < kH; ++y) EXPECT_EQ(At(3, y), RowColour(0, 0)) << y;

  ASSERT_EQ(Start(5, 24, {20, 30}), 1);
  ASSERT_EQ(Start(6, 24, {20, 9999}), 1);
  EXPECT_EQ(manager_->GetChannel(6)->Param(1), kH - 1);
  const int phase = static_cast<CEffectWater*>(manager_->GetEffect(24))->GetPhase();
  Frame();
  EXPECT_EQ(static_cast<CEffectWater*>(manager_->GetEffect(24))->GetPhase(), phase + 2);
  for (int y = 0; y < 30; ++y) EXPECT_EQ(At(0, y), RowColour(0, y));
  int table[kH];
  for (int phaseAt : {0, 1, 333, 1000000}) {
    CEffectWater::MakeLineTable(30, kH, phaseAt, table);
    for (int y = 30; y < kH; ++y) {
      EXPECT_GE(table[y], 0);
      EXPECT_LE(table[y], 29);
    }
  }
  EXPECT_EQ(manager_->GetEffect(24)->Finish(manager_->GetChannel(5), 5), 1);
}

TEST_F(RowTest, BreezeSwingsOutThenBackWithTheAnchorAsAsked) {
  int offsets[40];
  // Counter 0 lies in the first half: the swing starts at -p3 (-10 + 0.5
  // truncated).
  CEffectSoyosoyo::MakeOffsets(Soyosoyo({20}, 0), 40, offsets);
  EXPECT_EQ(offsets[0], -9);
  // p4 = 0: the whole period swings back from p2.
  CEffectSoyosoyo::MakeOffsets(Soyosoyo({20, 20, 10, 10, 0}, 0), 40, offsets);
  EXPECT_EQ(offsets[0], 10);
  CEffectSoyosoyo::MakeOffsets(Soyosoyo({20, 20, 10, 10, 0}, 10), 40, offsets);
  EXPECT_EQ(offsets[0], 0);
  // Without p8 the top row swings fully, the bottom barely.
  CEffectSoyosoyo::MakeOffsets(Soyosoyo({20, 20, 40, 40, 0}, 0), 40, offsets);
  EXPECT_EQ(offsets[0], 40);
  EXPECT_LE(std::abs(offsets[39]), 1);
  // p8 = 1: the top row holds still and the bottom sways.
  CEffectSoyosoyo::MakeOffsets(Soyosoyo({20, 20, 40, 40, 0, 2, 1, -1, 1}, 0), 40, offsets);
  EXPECT_EQ(offsets[0], 0);
  EXPECT_GE(offsets[39], 38);
}

TEST_F(RowTest, BreezeRippleNeedsAWavelength) {
  int plain[40], rippled[40], none[40];
  CEffectSoyosoyo::MakeOffsets(Soyosoyo({20, 20, 0, 0, 50, 2, 1, -1, 0, 0, 1}, 0), 40, plain);
  CEffectSoyosoyo::MakeOffsets(Soyosoyo({20, 20, 0, 0, 50, 2, 1, -1, 0, 5, 8}, 0), 40, rippled);
  EXPECT_EQ(rippled[0], 5);
  EXPECT_EQ(rippled[4], -3);  // -5 at a weight of 1 - sin(pi / 20)
  for (int wave : {0, -3}) {
    EffectChannel record = Soyosoyo({20, 20, 0, 0, 50, 2, 1, -1, 0, 5, wave, 3, 7}, 0);
    CEffectSoyosoyo::MakeOffsets(record, 40, none);
    EXPECT_EQ(std::vector<int>(none, none + 40), std::vector<int>(plain, plain + 40));
    manager_->GetEffect(92)->Calcu(&record, 5);
    EXPECT_EQ(record.Param(12), 0);
  }
  EffectChannel record = Soyosoyo({20, 20, 0, 0, 50, 2, 1, -1, 0, 5, 8, INT_MAX, INT_MAX}, 45);
  manager_->GetEffect(92)->Calcu(&record, 5);
  EXPECT_EQ(record.Param(12), static_cast<int>((int64_t{INT_MAX} * 2) % 8));
  EXPECT_EQ(record.Counter(), 5);  // looping on the period
}

TEST_F(RowTest, BreezeDrawsThePictureRowsShifted) {
  ChannelPicture(5, 4, 4, Red, Opaque);
  const int rect[4] = {20, 10, 4, 4};
  for (int kind = 0; kind < 6; ++kind) manager_->SetRect(5, kind, rect);
  ASSERT_EQ(Start(5, 92, {20}), 1);
  Frame();
  EXPECT_EQ(At(11, 10), 0xFF0000u);  // row 0 moved by -9
  EXPECT_EQ(At(14, 10), 0xFF0000u);
  EXPECT_EQ(At(15, 10), 0u);
  EXPECT_EQ(manager_->GetEffect(92)->Finish(manager_->GetChannel(5), 5), 0);
  // Only mode 2 draws.
  Clear(0);
  ASSERT_EQ(Start(5, 92, {20, 20, 10, 10, 50, 1}), 1);
  Frame();
  EXPECT_TRUE(ScreenIs(0));
}

TEST_F(RowTest, GrassSpawnsGustsInTheDrawOrder) {
  crt::srand(4);
  ASSERT_EQ(Start(5, 93, {}), 1);
  crt::srand(4);
  const int delay = crt::rand() % 50;
  (void)delay;
  const int amplitude = 100 * 100 / 100 * (crt::rand() % 100 + 50) / 100;
  const int speed = std::max(50 * (crt::rand() % 60 + 70) / 100, 1);
  const int half = std::max(20 * (crt::rand() % 40 + 80) / 100, 1);
  const int position = 100 + crt::rand() % 400;
  const auto& g = Grass()->GetGust(0);
  EXPECT_EQ(g.delay, 0);
  EXPECT_EQ(g.amplitude, amplitude);
  EXPECT_EQ(g.speed, speed);
  EXPECT_EQ(g.halfWidth, half);
  EXPECT_EQ(g.position, position);
  const EffectChannel& record = *manager_->GetChannel(5);
  EXPECT_EQ(record.Param(1), kH / 2);
  EXPECT_EQ(record.Param(2), kH / 2);
  ASSERT_EQ(Start(5, 93, {20, 40, 30, 100, 200}), 1);
  EXPECT_EQ(record.Param(2), kH - 40);
  EXPECT_EQ(record.Param(3), 201);
}

TEST_F(RowTest, GrassWithoutActiveGustsShowsTheBaseSwayOnly) {
  crt::srand(2);
  ASSERT_EQ(Start(5, 93, {20, 0, kH, 500, 100, 0, 100, 0}), 1);
  const int position = Grass()->GetGust(0).position;
  int base[kH], gusty[kH];
  Grass()->MakeOffsets(*manager_->GetChannel(5), base);
  manager_->GetEffect(93)->Calcu(manager_->GetChannel(5), 5);
  EXPECT_EQ(Grass()->GetGust(0).position, position);  // kept, not moved
  manager_->GetChannel(5)->Param(7) = 20;
  Grass()->MakeOffsets(*manager_->GetChannel(5), gusty);
  EXPECT_NE(std::vector<int>(base, base + kH), std::vector<int>(gusty, gusty + kH));
  manager_->GetEffect(93)->Calcu(manager_->GetChannel(5), 5);
  EXPECT_NE(Grass()->GetGust(0).position, position);
  // A record from a save moves at most every gust.
  manager_->GetChannel(5)->Param(7) = INT_MAX;
  manager_->GetEffect(93)->Calcu(manager_->GetChannel(5), 5);
  Grass()->MakeOffsets(*manager_->GetChannel(5), gusty);
  // The far rows sway least.
  EXPECT_LE(std::abs(base[0]), std::abs(base[kH - 1]) + 1);
}

TEST_F(RowTest, GrassWithANearDistanceOfZeroHoldsStill) {
  ChannelPicture(5, kW, kH, RowColour);
  ASSERT_EQ(Start(5, 93, {20, 0, kH, 500, 0, 0, 100, 20}), 1);
  int offsets[kH];
  Grass()->MakeOffsets(*manager_->GetChannel(5), offsets);
  for (int v : offsets) EXPECT_EQ(v, 0);
  Frame();
  EXPECT_EQ(At(5, 7), RowColour(5, 7));
}

TEST_F(RowTest, GrassDrawsAtMostTheScreenHeightOfRows) {
  // A picture twice the screen's height, drawn a screen above it: its lower
  // half would need table lines the screen does not have.
  ChannelPicture(5, kW, 2 * kH, RowColour);
  const int rect[4] = {0, -kH, kW, 2 * kH};
  for (int kind = 0; kind < 6; ++kind) manager_->SetRect(5, kind, rect);
  ASSERT_EQ(Start(5, 93, {}), 1);
  Frame();
  EXPECT_TRUE(ScreenIs(0));
  EXPECT_EQ(manager_->GetEffect(93)->CheckPrintPicture(manager_->GetChannel(5), 5), 0);
}

}  // namespace
}  // namespace effect_test
