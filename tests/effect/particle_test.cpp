#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

#include "effect/effectparticle.h"
#include "effect_fixture.h"

namespace effect_test {
namespace {

constexpr uint32_t kRed = 0xFF0000;

class DriftingParticleTest : public EffectTest {
 protected:
  EffectChannel& Record(int channel) { return *manager_->GetChannel(channel); }
  CEffectHanabira& Petals() { return *static_cast<CEffectHanabira*>(manager_->GetEffect(70)); }
  CEffectHotaru& Fireflies() { return *static_cast<CEffectHotaru*>(manager_->GetEffect(71)); }
  CEffectKonoha& Leaves() { return *static_cast<CEffectKonoha*>(manager_->GetEffect(104)); }
  void PrintAt(int channel, int counter) {
    Record(channel).Counter() = counter;
    manager_->GetEffect(Record(channel).EffectNumber())->Print(&Record(channel), channel);
  }
  int Changed(uint32_t clear) const {
    int n = 0;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) n += At(x, y) != clear;
    return n;
  }
  static std::vector<int> Petal(const CEffectHanabira::Petal& p) {
    return {p.counter, p.reverse, static_cast<int>(p.x), static_cast<int>(p.y),
            static_cast<int>(p.vx), static_cast<int>(p.vy), p.phase, p.period};
  }
  static std::vector<int> Firefly(const CEffectHotaru::Firefly& f) {
    return {static_cast<int>(f.x), static_cast<int>(f.y), static_cast<int>(f.vx),
            static_cast<int>(f.vy), f.phase, f.period};
  }
};

// --- #70 ---

TEST_F(DriftingParticleTest, PetalCountsHoldToTheChannelsRecords) {
  struct Case {
    int count, reserve, want;
  };
  const Case cases[] = {{300, 0, 300}, {299, 0, 299}, {350, 0, 300}, {0, 0, 1},
                        {-5, 0, 1},    {300, 10, 290}, {5, 400, 1}};
  for (const Case& c : cases) {
    ASSERT_EQ(Start(2, 70, {20, c.count, 100, 100, 0, 1, 600, 300, 100, -100, 10, 0, 0, c.reserve}),
              1);
    EXPECT_EQ(Record(2).Param(1), c.want) << c.count << " reserve " << c.reserve;
  }
}

TEST_F(DriftingParticleTest, PetalStartDrawsInOrderAndKeepLeavesThem) {
  crt::srand(77);
  ASSERT_EQ(Start(1, 70, {20, 2, 10, 10, 0, 2, 30, 40, 8, -3, 2, 0, 0, 0, 100, 100, 100, 12, 3, 1,
                          0, 0, 2}),
            1);
  // Record 300 replayed by hand: counter, x, y, velocities, period, phase,
  // reverse.
  crt::srand(77);
  const int counter = crt::rand() % (2 * 3 * 2);
  const int x = (crt::rand() % 16 + 30 - 4) * 100, y = (crt::rand() % 16 + 40 - 4) * 100;
  const int vx = -300 + crt::rand() % 150 - 75, vy = 200 + crt::rand() % 100 - 50;
  const int period = crt::rand() % 12 + 6 + 2;
  const int phase = crt::rand() % period;
  const int reverse = crt::rand() % 100 < 50 ? 1 : 0;
  EXPECT_EQ(Petal(Petals().GetPetal(300)),
            (std::vector<int>{counter, reverse, x, y, vx, vy, phase, period}));
  // Another channel's records are not touched.
  const std::vector<int> other = Petal(Petals().GetPetal(600));
  const std::vector<int> before = Petal(Petals().GetPetal(301));
  ASSERT_EQ(Start(1, 70, {20, 2, 10, 10, 0, 2, 0, 0, 8, -3, 2, 0, 1}), 1);  // keep
  EXPECT_EQ(Petal(Petals().GetPetal(301)), before);
  EXPECT_EQ(Petal(Petals().GetPetal(600)), other);
  // Restore runs the start again: without keep the petals are drawn anew.
  ASSERT_EQ(Start(1, 70, {20, 2, 10, 10, 0, 2, 30, 40, 8, -3, 2, 0, 0, 0, 100, 100, 100, 12, 3, 1,
                          0, 0, 2}),
            1);
  crt::srand(77);
  Petals().Restore(&Record(1), 1);
  EXPECT_EQ(Petal(Petals().GetPetal(300)),
            (std::vector<int>{counter, reverse, x, y, vx, vy, phase, period}));
}

TEST_F(DriftingParticleTest, PetalCellOfTheMostNegativeSizeStarts) {
  // The bounds halve the cell size before turning its sign.
  ASSERT_EQ(Start(0, 70, {20, 4, INT_MIN, INT_MIN}), 1);
  Frame();
  EXPECT_EQ(Record(0).EffectNumber(), 70);
  // Kinds, turning frames and frames a step all huge: a petal's first
  // counter still comes from one draw, in 64 bits.
  std::vector<int> huge = {20, 4, 10, 10, 0, INT_MAX, 30, 20, 0, 0, 0, 0, 0, 0, 100, 100, 100, 0,
                           INT_MAX, 1, 0, 0, INT_MAX};
  ASSERT_EQ(Start(0, 70, huge), 1);
  Frame();
  EXPECT_GE(Petals().GetPetal(0).counter, 0);
}

TEST_F(DriftingParticleTest, PetalSpreadZeroAndSmallPeriodBase) {
  // Spread 0 (and below) puts every petal at the centre; a period base of
  // -4 or less still gives periods of at least 1.
  for (int spread : {0, -7}) {
    ASSERT_EQ(Start(0, 70, {20, 300, 10, 10, 0, 1, 30, 20, spread, INT_MAX, INT_MIN, 0, 0, 0, 100,
                            100, 100, -40}),
              1);
    for (int k = 0; k < 300; ++k) {
      const CEffectHanabira::Petal& p = Petals().GetPetal(k);
      EXPECT_EQ(p.x, 3000);
      EXPECT_EQ(p.y, 2000);
      EXPECT_GE(p.period, 1);
      // Velocities of huge script values stay whole (64 bits).
      EXPECT_GT(p.vx, int64_t{INT_MAX});
      EXPECT_LT(p.vy, int64_t{INT_MIN});
    }
  }
}

TEST_F(DriftingParticleTest, PetalsDrawCentredUntilTheDuration) {
  ChannelPicture(4, 4, 4, [](int, int) { return kRed; }, [](int, int) { return uint8_t{255}; });
  // One still petal at (30, 20): spread 0, no velocity, no swing.
  ASSERT_EQ(Start(4, 70, {20, 1, 4, 4, 0, 1, 30, 20, 0, 0, 0, 0, 0, 0, 100, 100, 0}), 1);
  Clear(0);
  PrintAt(4, 3);
  EXPECT_EQ(Changed(0), 16);
  EXPECT_EQ(At(28, 18), kRed);
  EXPECT_EQ(At(31, 21), kRed);
  // At the duration nothing moves or draws; a draw switch of -1 draws nothing.
  Clear(0);
  PrintAt(4, 20);
  EXPECT_EQ(Changed(0), 0);
  Record(4).Param(4) = -1;
  PrintAt(4, 3);
  EXPECT_EQ(Changed(0), 0);
  // A cell larger than the picture draws nothing.
  Record(4).Param(4) = 0;
  Record(4).Param(2) = 8;
  PrintAt(4, 3);
  EXPECT_EQ(Changed(0), 0);
}

TEST_F(DriftingParticleTest, PetalLeavingTheBoundsEndsAndRespawns) {
  ChannelPicture(4, 4, 4, [](int, int) { return kRed; }, [](int, int) { return uint8_t{255}; });
  // Moving right 10 (7.5 .. 12.5) pixels a frame from x 60: past W + 2.
  ASSERT_EQ(Start(4, 70, {20, 1, 4, 4, 0, 1, 60, 20, 0, 10, 0, 0, 0, 0, 100, 100, 0}), 1);
  PrintAt(4, 0);
  EXPECT_EQ(Petals().GetPetal(1200).counter, -1);
  PrintAt(4, 1);
  EXPECT_EQ(Petals().GetPetal(1200).counter, -1);
  // With respawn (and no velocity now) it comes back at the centre.
  Record(4).Param(9) = 0;
  Record(4).Param(11) = 1;
  PrintAt(4, 2);
  EXPECT_EQ(Petals().GetPetal(1200).counter, 0);
  EXPECT_EQ(Petals().GetPetal(1200).x, 6000);
}

// --- #71 ---

TEST_F(DriftingParticleTest, FireflyRecordsHoldToTheTable) {
  struct Case {
    int first, count, wantFirst, wantCount;
  };
  // Records 500..599 are drawn anew from the area, the others not.
  ASSERT_EQ(Start(3, 71, {20, 100, 0, 0, 1, 1, 0, 0, 255, 255, 255, 0, 0, 590}), 1);
  EXPECT_EQ(Fireflies().GetFirefly(500).x, 0);
  EXPECT_EQ(Fireflies().GetFirefly(599).y, 0);
  EXPECT_NE(Fireflies().GetFirefly(499).x, 0);
  const Case cases[] = {{590, 100, 500, 100}, {0, 700, 0, 600}, {-5, 10, 0, 10},
                        {599, 1, 599, 1},     {700, 0, 599, 0}, {INT_MAX, INT_MAX, 0, 600}};
  for (const Case& c : cases) {
    ASSERT_EQ(Start(3, 71, {20, c.count, 0, 0, 1, 1, 0, 0, 255, 255, 255, 0, 0, c.first}), 1);
    EXPECT_EQ(Record(3).Param(13), c.wantFirst) << c.first << "," << c.count;
    EXPECT_EQ(Record(3).Param(1), c.wantCount) << c.first << "," << c.count;
  }
}

TEST_F(DriftingParticleTest, FireflyGlowsAndKeepsGlowingAfterTheDuration) {
  // One still firefly at (20, 20): no velocity, no swing.
  auto start = [&](int colour, int endPercent) {
    ASSERT_EQ(Start(6, 71, {20, 1, 20, 20, 1, 1, 0, 0, colour, colour, colour, 0, 0, 0, endPercent,
                            15, -1, 0}),
              1);
  };
  start(255, 50);
  Clear(0);
  PrintAt(6, 0);
  // (20, 20) is offset (1, 1) of the spot: e = 2 x 2 = 4; its corner e = 196.
  EXPECT_EQ(At(20, 20), 0xFBFBFBu);
  EXPECT_EQ(At(16, 16), 0x3B3B3Bu);
  EXPECT_EQ(Changed(0), 64);
  // At the duration (where the manager holds the counter): the end
  // brightness, 50 %, frame after frame.
  Clear(0);
  PrintAt(6, 20);
  Clear(0);
  PrintAt(6, 20);
  EXPECT_EQ(At(20, 20), 0x7D7D7Du);
  // A negative colour darkens.
  start(-255, 100);
  Clear(0xFFFFFF);
  PrintAt(6, 0);
  EXPECT_EQ(At(20, 20), 0x040404u);
  // With keep, the record goes on where it was.
  const std::vector<int> before = Firefly(Fireflies().GetFirefly(0));
  ASSERT_EQ(Start(6, 71, {20, 1, 40, 40, 1, 1, 0, 0, 255, 255, 255, 0, 1}), 1);
  EXPECT_EQ(Firefly(Fireflies().GetFirefly(0)), before);
}

TEST_F(DriftingParticleTest, FireflyLeavingTheScreenEnds) {
  // Moving right 7.5 .. 12.5 pixels a frame from x 58 on a 64-pixel screen.
  ASSERT_EQ(Start(6, 71, {20, 1, 58, 20, 1, 1, 10, 0, 255, 255, 255, 0, 0, 0, 100, 15, -1, 0}), 1);
  PrintAt(6, 0);
  EXPECT_EQ(Fireflies().GetFirefly(0).period, 0);
  Record(6).Param(6) = 0;
  Record(6).Param(11) = 1;  // respawn
  PrintAt(6, 1);
  EXPECT_GT(Fireflies().GetFirefly(0).period, 0);
}

// --- #104 ---

TEST_F(DriftingParticleTest, LeafTableAndHeldValues) {
  EXPECT_EQ(Leaves().Cos(0), 256);
  EXPECT_EQ(Leaves().Sin(90), 256);
  EXPECT_EQ(Leaves().Cos(60), 128);
  EXPECT_EQ(Leaves().Sin(60), 222);
  EXPECT_EQ(Leaves().Cos(180), -255);  // -256 + 0.5, truncated
  ASSERT_EQ(Start(2, 104, {0, 4, 4, 1, 0, 10, 0}), 1);
  EXPECT_EQ(Record(2).Duration(), 999999);
  EXPECT_EQ(Record(2).Param(4), 1);
  EXPECT_EQ(Record(2).Param(6), 1);
  ASSERT_EQ(Start(2, 104, {0, 4, 4, 1, 400}), 1);
  EXPECT_EQ(Record(2).Param(4), 360);
  // Past 10,000 frames the counter goes back to the delay.
  ASSERT_EQ(Start(2, 104, {0, 4, 4, 1, 1, 10, 3, 7, 15, 0, 1000, 37}), 1);
  Record(2).Counter() = 10001;
  Leaves().Calcu(&Record(2), 2);
  EXPECT_EQ(Record(2).Counter(), 37);
}

TEST_F(DriftingParticleTest, LeafOfNegativeAgeIsSkippedWhileThePhaseSteps) {
  ChannelPicture(5, 4, 4, [](int, int) { return kRed; }, [](int, int) { return uint8_t{255}; });
  // Two leaves, delay 1: leaf 0 is not born yet; leaf 1 has age 0, phase
  // offset 240 (two steps of 120), angle 180 + 240 = 60 degrees, radius 10.
  ASSERT_EQ(Start(5, 104, {0, 4, 4, 1, 1, 2, 3, 7, 15, 10, 1000, 1, 30, 20}), 1);
  Clear(0);
  PrintAt(5, 0);
  EXPECT_EQ(Changed(0), 16);
  EXPECT_EQ(At(30 + 5 - 2, 20 + 8 - 2), kRed);
  EXPECT_EQ(At(30 + 5 + 1, 20 + 8 + 1), kRed);
}

TEST_F(DriftingParticleTest, LeafLargerThanThePictureDrawsNothing) {
  ChannelPicture(5, 4, 4, [](int, int) { return kRed; }, [](int, int) { return uint8_t{255}; });
  struct Case {
    int width, height, changed;
  };
  for (const Case& c : {Case{4, 4, 16}, Case{5, 4, 0}, Case{4, 5, 0}}) {
    // One leaf at the centre (30, 20), radius 0.
    ASSERT_EQ(Start(5, 104, {0, c.width, c.height, 1, 1, 1, 3, 0, 0, 0, 0, 0, 30, 20}), 1);
    Clear(0);
    PrintAt(5, 0);
    EXPECT_EQ(Changed(0), c.changed) << c.width << "x" << c.height;
  }
}

TEST_F(DriftingParticleTest, LeafAnglesStayInTheTable) {
  ChannelPicture(5, 8, 8, [](int, int) { return kRed; }, [](int, int) { return uint8_t{255}; });
  const std::vector<std::vector<int>> cases = {
      {0, 4, 4, 2, 3, 50, 0, -7, -15, 500, 10, 0, 30, 20},
      {0, 4, 4, 2, 360, 50, -3, INT_MAX, INT_MIN, INT_MIN, INT_MAX, INT_MIN, 30, 20},
      {0, 4, 4, 2, 2, 50, 7, INT_MIN, INT_MAX, 0, 0, -5, INT_MAX, INT_MIN},
  };
  for (const std::vector<int>& c : cases) {
    ASSERT_EQ(Start(5, 104, c), 1);
    for (int counter : {0, 9, 10000, INT_MAX}) PrintAt(5, counter);
  }
}

}  // namespace
}  // namespace effect_test
