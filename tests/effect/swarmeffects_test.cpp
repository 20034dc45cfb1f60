#include "effect/swarmeffects.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "effect_fixture.h"

namespace effect_test {
namespace {

class SwarmTest : public EffectTest {
 protected:
  EffectChannel* Channel(int c) { return manager_->GetChannel(c); }
  int& Sprite(int channel, int i, CEffectSwarm::Field f) {
    return CEffectSwarm::Sprite(Channel(channel), i, f);
  }
  void CalcuOnce(int channel) {
    EffectChannel* record = Channel(channel);
    manager_->GetEffect(record->EffectNumber())->Calcu(record, channel);
  }
};

TEST_F(SwarmTest, DefaultsAndCounts) {
  for (int number : {108, 27}) {
    ASSERT_EQ(Start(5, number, {}), 1);
    EXPECT_EQ(std::vector<int>(Channel(5)->v + 29, Channel(5)->v + 29 + 12),
              (std::vector<int>{20, 32, 32, 1, 0, 1, 1, 1, 30, 0, 10, 100}));
    EXPECT_EQ(Channel(5)->Duration(), 999999);
    EXPECT_EQ(manager_->GetEffect(number)->Finish(Channel(5), 5), 0);
    EXPECT_EQ(manager_->GetEffect(number)->CheckPrintPicture(Channel(5), 5), 0);
    // Twenty sprites are cut to sixteen, no variants become one.
    ASSERT_EQ(Start(5, number, {5, 8, 8, 20, 0, 0}), 1);
    EXPECT_EQ(Channel(5)->Param(3), 16);
    EXPECT_EQ(Channel(5)->Param(5), 1);
    // A record from a save with more sprites or no variants: the sixteen
    // records are stepped and drawn, nothing past them is touched.
    Channel(5)->Param(3) = 40;
    Channel(5)->Param(5) = 0;
    Channel(5)->Param(CEffectSwarm::kRecords + 16 * 8) = 1234;
    ChannelPicture(5, 16, 16, [](int, int) { return 0x808080u; });
    Frame();
    EXPECT_EQ(Channel(5)->Param(CEffectSwarm::kRecords + 16 * 8), 1234);
  }
}

TEST_F(SwarmTest, SpawnDrawsInOrder) {
  const std::vector<int> r = Draws(11, 5);
  // Mean visible 30, hidden 0, placement top.
  ASSERT_EQ(Start(5, 108, {0, 8, 6, 1, 1, 1, 1, 1, 30, 0}), 1);
  const bool hidden = r[0] % 30 >= 30;
  ASSERT_FALSE(hidden);
  EXPECT_EQ(Sprite(5, 0, CEffectSwarm::kVisible), r[1] % 30 + 15);
  EXPECT_EQ(Sprite(5, 0, CEffectSwarm::kHidden), 1);
  EXPECT_EQ(Sprite(5, 0, CEffectSwarm::kX), r[3] % kW);
  EXPECT_EQ(Sprite(5, 0, CEffectSwarm::kY), 3);  // pinned to the top: p2 / 2
}

TEST_F(SwarmTest, JitterDrawsXThenYAndANegativeRangeStandsStill) {
  ASSERT_EQ(Start(5, 108, {0, 8, 8, 1, 0, 1, 1, 1, 1000, 0, 3}), 1);
  Sprite(5, 0, CEffectSwarm::kX) = 20;
  Sprite(5, 0, CEffectSwarm::kY) = 30;
  const std::vector<int> r = Draws(4, 2);
  CalcuOnce(5);
  EXPECT_EQ(Sprite(5, 0, CEffectSwarm::kX), 20 + r[0] % 7 - 3);
  EXPECT_EQ(Sprite(5, 0, CEffectSwarm::kY), 30 + r[1] % 7 - 3);
  Channel(5)->Param(10) = -5;
  const std::vector<int> next = Draws(4, 3);
  CalcuOnce(5);
  EXPECT_EQ(Sprite(5, 0, CEffectSwarm::kX), 20 + r[0] % 7 - 3);
  EXPECT_EQ(crt::rand(), next[2]);  // both draws made
}

TEST_F(SwarmTest, NoHiddenTimeStillHidesOneFrame) {
  ASSERT_EQ(Start(5, 108, {0, 8, 8, 1, 0, 1, 1, 1, 2, 0, 0}), 1);
  int hiddenRun = 0, visits = 0;
  for (int frame = 0; frame < 60; ++frame) {
    CalcuOnce(5);
    if (Sprite(5, 0, CEffectSwarm::kVisible) > 0) {
      if (hiddenRun > 0) {
        EXPECT_EQ(hiddenRun, 1);
        ++visits;
      }
      hiddenRun = 0;
    } else {
      ++hiddenRun;
    }
  }
  EXPECT_GT(visits, 10);
}

TEST_F(SwarmTest, PickEdgeTable) {
  // Single edges and no edge draw nothing.
  const std::vector<std::pair<int, int>> fixed = {{0, 0}, {1, 1}, {2, 2}, {4, 3}, {8, 4}, {16, 0}};
  for (auto [mask, edge] : fixed) {
    const std::vector<int> r = Draws(2, 1);
    EXPECT_EQ(CEffectKe::PickEdge(mask), edge) << mask;
    EXPECT_EQ(crt::rand(), r[0]) << mask;
  }
  // Mixed masks draw one edge among their set bits, in bit order.
  const std::vector<int> r = Draws(2, 3);
  EXPECT_EQ(CEffectKe::PickEdge(5), r[0] % 2 == 0 ? 1 : 3);
  const int edges[3] = {2, 3, 4};
  EXPECT_EQ(CEffectKe::PickEdge(14), edges[r[1] % 3]);
  EXPECT_EQ(CEffectKe::PickEdge(17), 1);
}

TEST_F(SwarmTest, EdgeFliesKeepToTopOrBottomAndHop) {
  ASSERT_EQ(Start(5, 27, {0, 8, 6, 4, 5, 1, 1, 1, 100000, 0, 2, 100}), 1);
  std::set<int> ys;
  int hops = 0;
  std::vector<int> edges(4);
  for (int i = 0; i < 4; ++i) edges[i] = Sprite(5, i, CEffectSwarm::kEdge);
  for (int frame = 0; frame < 4000; ++frame) {
    CalcuOnce(5);
    for (int i = 0; i < 4; ++i) {
      const int y = Sprite(5, i, CEffectSwarm::kY);
      ASSERT_TRUE(y == 3 || y == kH - 3) << y;
      ys.insert(y);
      hops += Sprite(5, i, CEffectSwarm::kEdge) != edges[i];
      edges[i] = Sprite(5, i, CEffectSwarm::kEdge);
    }
  }
  EXPECT_EQ(ys.size(), 2u);
  // About one pick in 100 frames, half of them to the other edge: 80 of
  // 16000 sprite frames.
  EXPECT_GT(hops, 40);
  EXPECT_LT(hops, 140);
}

TEST_F(SwarmTest, PrintDrawsEachVisibleSpriteFromItsCell) {
  // Cells 4 x 4: column = variant, row = frame.
  ChannelPicture(5, 8, 8, [](int x, int y) { return 0x010000u * (1 + x / 4) + 0x000100u * (1 + y / 4); },
                 [](int, int) -> uint8_t { return 255; });
  ASSERT_EQ(Start(5, 108, {0, 4, 4, 2, 0, 2, 2}), 1);
  for (int i = 0; i < 2; ++i) {
    Sprite(5, i, CEffectSwarm::kVisible) = 1;
    Sprite(5, i, CEffectSwarm::kX) = 10 + 20 * i;
    Sprite(5, i, CEffectSwarm::kY) = 10;
    Sprite(5, i, CEffectSwarm::kFrame) = i;
  }
  Sprite(5, 1, CEffectSwarm::kVisible) = 0;
  Clear(0);
  manager_->GetEffect(108)->Print(Channel(5), 5);
  EXPECT_EQ(At(8, 8), 0x010100u);
  EXPECT_EQ(At(11, 11), 0x010100u);
  EXPECT_EQ(At(28, 8), 0u);
  Sprite(5, 1, CEffectSwarm::kVisible) = 3;
  manager_->GetEffect(108)->Print(Channel(5), 5);
  EXPECT_EQ(At(28, 8), 0x020200u);
}

TEST_F(SwarmTest, RestoreStartsFliesAnewAndLetsEdgeFliesResume) {
  ASSERT_EQ(Start(5, 108, {0, 8, 8, 3}), 1);
  ASSERT_EQ(Start(6, 27, {0, 8, 8, 3}), 1);
  const EffectChannel hae = *Channel(5), ke = *Channel(6);
  crt::srand(77);
  manager_->GetEffect(108)->Restore(Channel(5), 5);
  manager_->GetEffect(27)->Restore(Channel(6), 6);
  EXPECT_NE(std::vector<int>(Channel(5)->v, Channel(5)->v + 256), std::vector<int>(hae.v, hae.v + 256));
  EXPECT_EQ(std::vector<int>(Channel(6)->v, Channel(6)->v + 256), std::vector<int>(ke.v, ke.v + 256));
}

}  // namespace
}  // namespace effect_test
