#include "effect/sceneeffects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <tuple>
#include <vector>

#include "effect_fixture.h"

namespace effect_test {
namespace {

// Every column and row its own colour.
uint32_t Mixed(int x, int y) {
  return static_cast<uint32_t>(x * 3 + 1) << 16 | static_cast<uint32_t>(y * 5 + 2) << 8 | 0x40;
}

class SceneTest : public EffectTest {
 protected:
  void FillMixed() {
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) At(x, y) = Mixed(x, y);
  }
  std::vector<uint32_t> Pixels() const {
    const uint32_t* p = CScreenBuffer::GetBuffer();
    return std::vector<uint32_t>(p, p + size_t{kW} * kH);
  }
  EffectChannel* Channel(int c) { return manager_->GetChannel(c); }
  void PrintAt(int channel, int counter) {
    EffectChannel* record = Channel(channel);
    record->Counter() = counter;
    manager_->GetEffect(record->EffectNumber())->Print(record, channel);
  }
};

TEST_F(SceneTest, DefaultsAndRepeatedFinishes) {
  struct Case {
    int number;
    std::vector<int> given, kept;
  };
  const std::vector<Case> cases = {
      {15, {}, {15, 0, 0}},
      {18, {}, {20, 0, 0}},
      {51, {}, {20, 10, 120, kH - 40, -100, -100, kW - 200, kH * 3 / 4, kW / 2, kH / 2, 2}},
      {51, {20, 99}, {20, 20}},
      {51, {20, -3}, {20, 1}},
      {100, {}, {20, 20, 0, 25, 25, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      // p14 and p15 are not taken from the start: they follow p6.
      {100, std::vector<int>(16, 7), {7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7}},
      {100, {5, 1, 2, 3, 4, 5, 60}, {5, 1, 2, 3, 4, 5, 60, 0, 0, 0, 0, 0, 0, 0, 60, 60}},
  };
  for (const Case& c : cases) {
    manager_->ResetAll();
    ASSERT_EQ(Start(5, c.number, c.given), 1);
    const std::vector<int> kept(Channel(5)->v + 29, Channel(5)->v + 29 + c.kept.size());
    EXPECT_EQ(kept, c.kept) << c.number;
  }
  ChannelPicture(4, kW, kH, Mixed);
  for (int number : {15, 51}) {
    ASSERT_EQ(Start(4, number, {3}), 1);
    for (int i = 0; i < 6; ++i) Frame();
    EXPECT_EQ(Channel(4)->EffectNumber(), number);
    EXPECT_EQ(Channel(4)->Counter(), 3);
  }
}

// --- #15 ---

TEST_F(SceneTest, BeamsDrawOneTimerEachAtTheStart) {
  const std::vector<int> draws = Draws(9, 6);
  ASSERT_EQ(Start(5, 15, {}), 1);
  const auto& beams = static_cast<CEffectSan*>(manager_->GetEffect(15))->GetBeams();
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(beams[i].timer, draws[i] % 40 + 20);
    EXPECT_EQ(beams[i].lit, 1);
    EXPECT_EQ(beams[i].position, int64_t{(i - 2) * 96} * 256);
    EXPECT_EQ(beams[i].step, i * 128 + 96);
  }
  EXPECT_EQ(crt::rand(), draws[5]);
  // From the right edge, slanting left.
  ASSERT_EQ(Start(5, 15, {15, 1}), 1);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(beams[i].position, int64_t{kW - (i - 2) * 96} * 256);
    EXPECT_EQ(beams[i].step, -(i * 128 + 96));
  }
}

TEST_F(SceneTest, BeamsBrightenTheTopAndBlink) {
  // At the end of the duration the middle beam adds 129 at row 0, column
  // 24: 65536 + (24 * 256) * 5 / 7 - 86016 + 24 * 2048, over 256.
  for (int duration : {15, 100000}) {
    ASSERT_EQ(Start(5, 15, {duration}), 1);
    Clear(0);
    PrintAt(5, duration);
    EXPECT_EQ(At(24, 0), 0x818181u) << duration;
    EXPECT_EQ(At(0, kH - 1), 0u);
    EXPECT_EQ(At(kW - 1, kH / 2), 0u);
  }
  // A timer running out turns the beam dark for 1 or 2 frames, one draw;
  // lighting again draws its next 60..219 frames.
  auto* san = static_cast<CEffectSan*>(manager_->GetEffect(15));
  const_cast<CEffectSan::Beam&>(san->GetBeams()[2]).timer = 1;
  std::vector<int> draws = Draws(4, 2);
  Clear(0);
  PrintAt(5, 15);
  EXPECT_EQ(san->GetBeams()[2].lit, 0);
  EXPECT_EQ(san->GetBeams()[2].timer, draws[0] % 2 + 1);
  EXPECT_EQ(At(24, 0), 0u);
  EXPECT_EQ(crt::rand(), draws[1]);
  const_cast<CEffectSan::Beam&>(san->GetBeams()[2]).timer = 1;
  draws = Draws(6, 1);
  PrintAt(5, 15);
  EXPECT_EQ(san->GetBeams()[2].lit, 1);
  EXPECT_EQ(san->GetBeams()[2].timer, draws[0] % 160 + 60);
}

// --- #18 ---

TEST_F(SceneTest, ShakeOffsetsRunThroughTheTable) {
  ASSERT_EQ(Start(5, 18, {20}), 1);
  const int offsets[] = {-16, 12, 16, -12, -16};
  for (int counter = 0; counter < 5; ++counter) {
    FillMixed();
    PrintAt(5, counter);
    const int s = offsets[counter];
    for (int x = 0; x < kW; ++x) {
      // s > 0: the content moves left; the uncovered strip keeps its pixels.
      const int from = s > 0 ? (x < kW - s ? x + s : x) : (x >= -s ? x + s : x);
      ASSERT_EQ(At(x, 7), Mixed(from, 7)) << counter << " " << x;
    }
  }
  ASSERT_EQ(Start(5, 18, {20, 1}), 1);
  FillMixed();
  PrintAt(5, 0);  // -16: down by 16
  EXPECT_EQ(At(3, 16), Mixed(3, 0));
  EXPECT_EQ(At(3, kH - 1), Mixed(3, kH - 17));
  EXPECT_EQ(At(3, 15), Mixed(3, 15));
}

TEST_F(SceneTest, ShakeEndsOnceOrRunsOn) {
  ChannelPicture(5, kW, kH, Mixed);
  ASSERT_EQ(Start(5, 18, {4}), 1);
  for (int i = 0; i < 4; ++i) Frame();
  EXPECT_EQ(Channel(5)->EffectNumber(), 0);
  EXPECT_EQ(Channel(5)->Active(), 1);
  Frame();
  EXPECT_EQ(At(5, 5), Mixed(5, 5));  // the picture in its own place

  ASSERT_EQ(Start(5, 18, {4, 0, 1}), 1);
  for (int i = 0; i < 30; ++i) Frame();
  EXPECT_EQ(Channel(5)->EffectNumber(), 18);
  EXPECT_LT(Channel(5)->Counter(), 4);

  // Without a picture the channel ends; a duration of 0 moves nothing.
  manager_->SetPicture(5, -1);
  ASSERT_EQ(Start(7, 18, {0}), 1);
  FillMixed();
  const auto before = Pixels();
  PrintAt(7, 0);
  EXPECT_EQ(Pixels(), before);
  Frame();
  EXPECT_EQ(Channel(7)->Active(), 0);
}

// --- #51 ---

TEST_F(SceneTest, FlareDrawsItsElementsInOrder) {
  // One element: no ring draw allowed (p10 0): position, radius, radius
  // again for the last element, three colours, the timer.
  std::vector<int> d = Draws(11, 8);
  ASSERT_EQ(Start(5, 51, {20, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}), 1);
  const auto& e = static_cast<CEffectTaiyo*>(manager_->GetEffect(51))->GetElements();
  EXPECT_EQ(e[0].position, 150 + d[0] % 150);
  EXPECT_EQ(e[0].radius, d[2] % 12 + 12);
  EXPECT_EQ(std::vector<int>({e[0].r, e[0].g, e[0].b}),
            std::vector<int>({d[3] % 64 + 24, d[4] % 64 + 24, d[5] % 64 + 24}));
  EXPECT_EQ(e[0].ring, 0);
  EXPECT_EQ(e[0].timer, d[6] % 30 + 20);
  EXPECT_EQ(crt::rand(), d[7]);

  // Three elements with a ring allowed: the first is a ring whatever the
  // draw says (i = p1 - 3), the others are rings only by the draw.
  for (uint32_t seed = 1; seed < 20; ++seed) {
    crt::srand(seed);
    ASSERT_EQ(Start(5, 51, {20, 3, 0, 0, 0, 0, 0, 0, 0, 0, 1}), 1);
    EXPECT_EQ(e[0].ring, 1);
    EXPECT_GE(e[0].radius, 72);
    EXPECT_GE(e[0].inner, 3);
    EXPECT_EQ(e[1].ring + e[2].ring, 0);
  }
  // No rings allowed: 6 draws an element and one more for the last.
  d = Draws(3, 20 * 6 + 2);
  ASSERT_EQ(Start(5, 51, {20, 20, 0, 0, 0, 0, 0, 0, 0, 0, 0}), 1);
  EXPECT_EQ(crt::rand(), d[20 * 6 + 1]);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(e[i].ring, 0);
}

TEST_F(SceneTest, FlareAddsDiscsAndRingsAndBlinks) {
  // The whole line at (30, 24): every element is centred there.
  ASSERT_EQ(Start(5, 51, {20, 3, 30, 24, 30, 24, 30, 24, 30, 24, 1}), 1);
  auto* flare = static_cast<CEffectTaiyo*>(manager_->GetEffect(51));
  auto& e = const_cast<std::array<CEffectTaiyo::Element, 20>&>(flare->GetElements());
  // Only the last element (a disc of radius 12..23) is drawn.
  e[0].timer = 1;
  e[1].timer = 1;
  const std::vector<int> d = Draws(8, 3);
  Clear(0x101010);
  PrintAt(5, 3);
  EXPECT_EQ(e[0].timer, d[0] % 60 + 30);
  EXPECT_EQ(e[1].timer, d[1] % 60 + 30);
  EXPECT_EQ(crt::rand(), d[2]);
  const int r = e[2].radius;
  ASSERT_TRUE(r >= 12 && r < 24) << r;
  const uint32_t lit = 0x101010 + (static_cast<uint32_t>(e[2].r) << 16 | e[2].g << 8 | e[2].b);
  EXPECT_EQ(At(30, 24), lit);
  EXPECT_EQ(At(30 - r, 24), lit);
  EXPECT_EQ(At(30 + r, 24), lit);
  EXPECT_EQ(At(30 + r + 1, 24), 0x101010u);
  EXPECT_EQ(At(30, 24 - r), lit);
  EXPECT_EQ(At(30, 24 - r - 1), 0x101010u);

  // A ring of radius 10 round a hole of 4: on the centre row the parts end
  // before x - 4 and before x + 10; rows beyond the hole are whole.
  e[0] = {0, 10, 4, 1, 2, 3, 50, 1};
  e[1].timer = 1;
  e[2].timer = 1;
  Clear(0x101010);
  PrintAt(5, 3);
  const uint32_t ring = 0x111213;
  for (auto [x, y, want] : {std::tuple{20, 24, ring}, {25, 24, ring}, {26, 24, 0x101010u},
                            {30, 24, 0x101010u}, {34, 24, ring}, {39, 24, ring},
                            {40, 24, 0x101010u}, {21, 19, ring}, {30, 19, ring},
                            {39, 19, ring}, {40, 19, 0x101010u}, {30, 13, 0x101010u}})
    EXPECT_EQ(At(x, y), want) << x << "," << y;
}

TEST_F(SceneTest, FlareRecordsAreHeldAndRestoreRedraws) {
  ASSERT_EQ(Start(5, 51, {20}), 1);
  // A record from a save with more elements than there are draws only 20.
  Channel(5)->Param(1) = 1 << 30;
  PrintAt(5, 3);
  Channel(5)->Param(1) = -8;
  PrintAt(5, 3);
  // Restore starts again with the stored values and new elements.
  Channel(5)->Param(1) = 4;
  const std::vector<int> d = Draws(21, 1);
  Channel(5)->Counter() = 9;
  manager_->GetEffect(51)->Restore(Channel(5), 5);
  EXPECT_EQ(Channel(5)->Counter(), 0);
  const auto& e = static_cast<CEffectTaiyo*>(manager_->GetEffect(51))->GetElements();
  EXPECT_EQ(e[0].position, 150 / 4 + d[0] % (150 / 4));
}

TEST_F(SceneTest, TwoChannelsShareTheBeamsAndTheFlare) {
  // Each channel's frame counts the one set of timers down.
  ASSERT_EQ(Start(4, 15, {30}), 1);
  ASSERT_EQ(Start(6, 15, {30}), 1);  // the second start draws them anew
  const auto& beams = static_cast<CEffectSan*>(manager_->GetEffect(15))->GetBeams();
  const int beam = beams[0].timer;
  ASSERT_EQ(Start(5, 51, {30}), 1);
  ASSERT_EQ(Start(7, 51, {30, 4}), 1);
  const auto& flare = static_cast<CEffectTaiyo*>(manager_->GetEffect(51))->GetElements();
  const int element = flare[0].timer;
  Frame();
  EXPECT_EQ(beams[0].timer, beam - 2);
  EXPECT_EQ(flare[0].timer, element - 2);
}

// --- #100 ---

TEST_F(SceneTest, SwayOffsetsFollowTheTriangleWave) {
  auto offsets = [&](std::vector<int> values, int counter) {
    Start(5, 100, std::move(values));
    Channel(5)->Counter() = counter;
    int64_t ox = 0, oy = 0;
    CEffectHaikeiYure::Offsets(*Channel(5), &ox, &oy);
    return std::pair{ox, oy};
  };
  for (int counter : {0, 3, 17}) {
    EXPECT_EQ(offsets({20, 20, 8, 0, 0, 0, 25}, counter), (std::pair<int64_t, int64_t>{0, 0}));
    EXPECT_EQ(offsets({20, 20, 8, 0, 0, 0, 0}, counter), (std::pair<int64_t, int64_t>{20, 8}));
  }
  // p3 25: +a, 0, -a, 0, +a ...
  for (auto [counter, x] : {std::pair{0, 20}, {1, 0}, {2, -20}, {3, 0}, {4, 20}})
    EXPECT_EQ(offsets({20, 20, 0, 25}, counter).first, x) << counter;
  // The strength curve scales the amplitude.
  EXPECT_EQ(offsets({20, 20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, 10).first, 10);
  // Calcu turns the phase counters.
  Start(5, 100, {20, 20, 0, 30, 45, 0, 80});
  manager_->GetEffect(100)->Calcu(Channel(5), 5);
  EXPECT_EQ(Channel(5)->Param(14), 10);
  EXPECT_EQ(Channel(5)->Param(15), 25);
}

TEST_F(SceneTest, SwayDrawsThePictureAndRefillsTheStrips) {
  ChannelPicture(5, kW, kH, Mixed);
  // Offset (+20, -8): the picture moved, the left strip its own pixels,
  // the bottom strip its own pixels.
  ASSERT_EQ(Start(5, 100, {20, 20, -8, 0, 0, 0, 0}), 1);
  EXPECT_EQ(manager_->GetEffect(100)->CheckPrintPicture(Channel(5), 5), 0);
  Clear(0);
  PrintAt(5, 0);
  EXPECT_EQ(At(25, 10), Mixed(5, 18));
  EXPECT_EQ(At(5, 10), Mixed(5, 10));
  EXPECT_EQ(At(30, kH - 2), Mixed(30, kH - 2));
  // With a fill colour the strips take it.
  ASSERT_EQ(Start(5, 100, {20, 20, -8, 0, 0, 0, 0, 1, 255, 0, 0}), 1);
  Clear(0);
  PrintAt(5, 0);
  EXPECT_EQ(At(25, 10), Mixed(5, 18));
  EXPECT_EQ(At(5, 10), 0xFF0000u);
  EXPECT_EQ(At(30, kH - 2), 0xFF0000u);
  // Mode 0 without a picture draws nothing; finishing ends the channel.
  manager_->SetPicture(6, -1);
  ASSERT_EQ(Start(6, 100, {2}), 1);
  Clear(0x123456);
  PrintAt(6, 0);
  EXPECT_TRUE(ScreenIs(0x123456));
  EXPECT_EQ(manager_->GetEffect(100)->Finish(Channel(6), 6), 1);
  EXPECT_EQ(Channel(6)->Active(), 0);
  EXPECT_EQ(manager_->GetEffect(100)->Finish(Channel(5), 5), 1);
  EXPECT_EQ(Channel(5)->Active(), 1);
  EXPECT_EQ(Channel(5)->EffectNumber(), 0);
}

TEST_F(SceneTest, SwayMovesTheScreenInModeOne) {
  // An offset of the screen's width moves nothing.
  ASSERT_EQ(Start(5, 100, {20, kW, 0, 0, 0, 1, 0}), 1);
  EXPECT_EQ(manager_->GetEffect(100)->CheckPrintPicture(Channel(5), 5), 1);
  FillMixed();
  PrintAt(5, 0);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) ASSERT_EQ(At(x, y), Mixed(x, y));
  // (+6, +4): the content moves right and down; the strips keep theirs.
  ASSERT_EQ(Start(5, 100, {20, 6, 4, 0, 0, 1, 0}), 1);
  PrintAt(5, 0);
  EXPECT_EQ(At(10, 10), Mixed(4, 6));
  EXPECT_EQ(At(kW - 1, kH - 1), Mixed(kW - 7, kH - 5));
  EXPECT_EQ(At(2, 20), Mixed(2, 20));
  EXPECT_EQ(At(20, 1), Mixed(20, 1));
  // (-6, -4): left and up.
  ASSERT_EQ(Start(5, 100, {20, 6, 4, 0, 0, 1, 50}), 1);
  FillMixed();
  PrintAt(5, 0);
  EXPECT_EQ(At(0, 0), Mixed(6, 4));
  EXPECT_EQ(At(kW - 1, 5), Mixed(kW - 1, 5));
}

}  // namespace
}  // namespace effect_test
