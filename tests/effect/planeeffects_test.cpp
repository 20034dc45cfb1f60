#include "effect/planeeffects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "effect_fixture.h"

namespace effect_test {
namespace {

class PlaneTest : public EffectTest {
 protected:
  EffectChannel* Channel(int c) { return manager_->GetChannel(c); }
  void CalcuOnce(int channel) {
    EffectChannel* record = Channel(channel);
    manager_->GetEffect(record->EffectNumber())->Calcu(record, channel);
  }
  void PrintAt(int channel, int counter) {
    EffectChannel* record = Channel(channel);
    record->Counter() = counter;
    manager_->GetEffect(record->EffectNumber())->Print(record, channel);
  }
  CEffectCloud* Cloud() { return static_cast<CEffectCloud*>(manager_->GetEffect(82)); }
  static int Red(uint32_t p) { return static_cast<int>(p >> 16 & 0xFF); }
  static int Green(uint32_t p) { return static_cast<int>(p >> 8 & 0xFF); }
  static int Blue(uint32_t p) { return static_cast<int>(p & 0xFF); }
};

TEST_F(PlaneTest, DefaultsAndClamps) {
  struct Case {
    int number;
    std::vector<int> given, kept;
    int duration;
  };
  const std::vector<Case> cases = {
      {82, {}, {9999, 200 > kH ? kH : 200, 0, 50, 200, 100, 500, 100, 0, 0, 0, 0, 0, 0}, 9999},
      {82, {5, 0, 1, 1, 0, 0, 0, 0, 0, 0, 9, 0, 0, 99}, {5, 1, 1, 1, 1, 1, 2, 1, 0, 0, 9, 0, 0, 0}, 5},
      {82, {5, 10, 1, 1, 1, 50, 50, 1, 0, 0, 9}, {5, 10, 1, 1, 1, 50, 51, 1, 0, 0, 9, 9, 9, 0}, 5},
      {83, {}, {20, 20, 128, 192, 255, 0, kH, 30, 43, 300, 250, 100, 100, 700, 100}, 20},
      {83, {5, 1, 2, 3, 4, 99, 999, 0, -4, 1, 1, 1, 1, 1, 0},
       {5, 1, 2, 3, 4, kH - 1, kH, 1, 1, 1, 1, 1, 1, 1, 1}, 5},
      {91, {}, {20, 0, 0, 24, -1, 100, 20, 2}, 20},
      {95, {}, {0, 0, 0}, 9999},
      {95, {7}, {7, 7, 7}, 9999},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(Start(5, c.number, c.given), 1);
    EXPECT_EQ(std::vector<int>(Channel(5)->v + 29, Channel(5)->v + 29 + c.kept.size()), c.kept)
        << c.number;
    EXPECT_EQ(Channel(5)->Duration(), c.duration) << c.number;
    const int finish = c.number == 82 || c.number == 83 ? 1 : 0;
    EXPECT_EQ(manager_->GetEffect(c.number)->Finish(Channel(5), 5), finish);
    EXPECT_EQ(manager_->GetEffect(c.number)->Finish(Channel(5), 5), finish);
  }
}

TEST_F(PlaneTest, TintAndMaskRowsMatchTheirPlainForms) {
  uint32_t seed = 9;
  auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
  // Every byte value under every tint value in one colour at a time, in
  // rows of odd lengths so that the tails are taken too.
  for (int colour = 0; colour < 3; ++colour)
    for (int add = 0; add < 256; add += 3)
      for (int sub = 0; sub < 256; sub += 5) {
        int adds[3] = {7, 250, 0}, subs[3] = {0, 9, 255};
        adds[colour] = add;
        subs[colour] = sub;
        std::vector<uint32_t> row(259);
        for (uint32_t v = 0; v < row.size(); ++v) row[v] = (next() & 0xFF00FFFFu) ^ ((v & 0xFF) << (8 * colour));
        std::vector<uint32_t> plain = row;
        for (uint32_t& p : plain) p = planepixel::TintPlain(p, adds, subs);
        planepixel::TintRow(row.data(), row.size(), adds, subs);
        ASSERT_EQ(row, plain) << colour << " " << add << " " << sub;
      }
  // Masks of 0, 255 and between at every brightness, for both totals.
  for (uint32_t total : {255u, 256u})
    for (uint32_t a = 0; a <= 256; ++a) {
      std::vector<uint32_t> src(67), out(67);
      std::vector<uint8_t> mask(67);
      for (size_t k = 0; k < src.size(); ++k) {
        src[k] = next();
        out[k] = next();
        const uint32_t r = next() >> 24;
        mask[k] = static_cast<uint8_t>(r < 40 ? 0 : (r < 80 ? 255 : r));
      }
      std::vector<uint32_t> plain = out;
      planepixel::MaskedMixRowPlain(plain.data(), src.data(), mask.data(), src.size(), a, total);
      planepixel::MaskedMixRow(out.data(), src.data(), mask.data(), src.size(), a, total);
      ASSERT_EQ(out, plain) << total << " " << a;
    }
}

// --- #82 ---

TEST_F(PlaneTest, CloudScrollsLeftAndStaysInsideTheTexture) {
  ChannelPicture(5, 32, 16, [](int x, int y) { return static_cast<uint32_t>(x << 16 | y << 8); });
  ASSERT_EQ(Start(5, 82, {9999, 20, -30, 0, 200, 100, 500, 100}), 1);
  for (int frame = 1; frame <= 200; ++frame) {
    PrintAt(5, 1);
    EXPECT_EQ(Channel(5)->Counter(), 0);
    const int64_t expected = ((-30LL * frame) % 3200 + 3200) % 3200;
    ASSERT_EQ(Cloud()->GetScrollX(), expected) << frame;
  }
  // No counter, no scroll.
  const int64_t x = Cloud()->GetScrollX();
  PrintAt(5, 0);
  EXPECT_EQ(Cloud()->GetScrollX(), x);
  // Line 0 (depth p5, a step of one texel): column W/2 shows texel
  // scroll / 100 + W/2, its neighbours the next texels.
  const int centre = static_cast<int>((x / 100 + kW / 2) % 32);
  EXPECT_EQ(Red(At(kW / 2, 0)), centre);
  EXPECT_EQ(Red(At(kW / 2 + 1, 0)), (centre + 1) % 32);
  // The last line lies at the far distance: five texels a pixel.
  EXPECT_EQ(Red(At(kW / 2, 19)), centre);
  EXPECT_EQ(Red(At(kW / 2 + 1, 19)), (centre + 5) % 32);
}

TEST_F(PlaneTest, CloudHorizonTint) {
  ChannelPicture(5, 16, 16, [](int, int) { return 0x808080u; });
  const int n = 20, first = 4;
  ASSERT_EQ(Start(5, 82, {9999, n, 0, 0, 200, 100, 500, 100, 0, 1, 60, -20, 0, first}), 1);
  PrintAt(5, 0);
  const int lines = n - first;
  for (int i = 0; i < n; ++i) {
    const int k = std::max(i - first, 0);
    const int add = i < first ? 0 : (60 * k + lines / 2) / lines;
    const int sub = i < first ? 0 : (20 * k + lines / 2) / lines;
    EXPECT_EQ(Red(At(3, i)), 0x80 + add) << i;
    EXPECT_EQ(Green(At(3, i)), 0x80 - sub) << i;
    EXPECT_EQ(Blue(At(3, i)), 0x80) << i;
  }
  // Lines below the band keep the screen.
  Clear(0x123456);
  PrintAt(5, 0);
  EXPECT_EQ(At(0, n), 0x123456u);
}

TEST_F(PlaneTest, CloudMaskBlendsAndSavedDivisorsAreHeld) {
  ChannelPicture(5, 16, 16, [](int, int) { return 0xFF0000u; },
                 [](int x, int) -> uint8_t { return x < 4 ? 0 : (x < 8 ? 128 : 255); });
  ASSERT_EQ(Start(5, 82, {9999, 1, 0, 0, 200, 100, 500, 100, 1}), 1);
  Clear(0x0000FF);
  PrintAt(5, 0);
  std::vector<int> seen(3, 0);
  for (int x = 0; x < kW; ++x) {
    const uint32_t p = At(x, 0);
    seen[p == 0x0000FF ? 0 : (p == 0xFF0000 ? 2 : 1)]++;
    if (p != 0x0000FF && p != 0xFF0000) {
      EXPECT_EQ(p, 0x7F007Fu) << x;
    }
  }
  EXPECT_GT(seen[0], 0);
  EXPECT_GT(seen[1], 0);
  EXPECT_GT(seen[2], 0);
  // Eye height, distances and scale of 0 or less from a save: no 0 / 0, no
  // read before the texture.
  for (int i : {4, 5, 6, 7}) Channel(5)->Param(i) = i == 4 ? -50 : 0;
  Channel(5)->Param(1) = 1 << 30;
  PrintAt(5, 1);
}

TEST_F(PlaneTest, SkyScrollAndShorePhasesAreSharedByTheirChannels) {
  ChannelPicture(5, 32, 16, [](int x, int y) { return static_cast<uint32_t>(x << 16 | y << 8); });
  ChannelPicture(6, 32, 16, [](int x, int y) { return static_cast<uint32_t>(x << 16 | y << 8); });
  ASSERT_EQ(Start(5, 82, {9999, 20, 100, 0}), 1);
  ASSERT_EQ(Start(6, 82, {9999, 20, 100, 0}), 1);
  PrintAt(5, 1);
  PrintAt(6, 1);
  EXPECT_EQ(Cloud()->GetScrollX(), 200);
  // A new start sets the one scroll back.
  ASSERT_EQ(Start(7, 82, {}), 1);
  EXPECT_EQ(Cloud()->GetScrollX(), 0);
  auto* beach = static_cast<CEffectBeach*>(manager_->GetEffect(83));
  const int before = beach->GetTidePhases()[0];
  ASSERT_EQ(Start(5, 83, {20, 20, 128, 192, 255, 0, kH, 5}), 1);
  ASSERT_EQ(Start(6, 83, {20, 20, 128, 192, 255, 0, kH, 7}), 1);
  CalcuOnce(5);
  CalcuOnce(6);
  EXPECT_EQ(beach->GetTidePhases()[0], (before + 12) & 0x7FF);
}

// --- #83 ---

TEST_F(PlaneTest, BeachDrawsItsPhasesAtConstructionAndSteps) {
  const std::vector<int> r = Draws(21, 8);
  CEffectBeach beach(manager_.get());
  for (int i = 0; i < 6; ++i) EXPECT_EQ(beach.GetWavePhases()[i], r[i] & 0x1FFF);
  for (int i = 0; i < 2; ++i) EXPECT_EQ(beach.GetTidePhases()[i], r[6 + i] & 0x7FF);
  EffectChannel record;
  int values[9] = {20, 20, 128, 192, 255, 0, kH, 2000, 43};
  ASSERT_EQ(beach.SetParam(&record, 9, values, 3), 1);
  beach.Calcu(&record, 3);
  EXPECT_EQ(beach.GetWavePhases()[0], ((r[0] & 0x1FFF) + 8130) & 0x1FFF);
  EXPECT_EQ(beach.GetWavePhases()[5], ((r[5] & 0x1FFF) + 8102) & 0x1FFF);
  EXPECT_EQ(beach.GetTidePhases()[0], ((r[6] & 0x7FF) + 2000) & 0x7FF);
  EXPECT_EQ(beach.GetTidePhases()[1], ((r[7] & 0x7FF) + 43) & 0x7FF);
}

TEST_F(PlaneTest, BeachShoreBendsTowardTheCentreOnlyWithPerspective) {
  auto* beach = static_cast<CEffectBeach*>(manager_->GetEffect(83));
  ASSERT_EQ(Start(5, 83, {20, 20, 128, 192, 255, 0, kH, 30, 43, 0, 0, 0, 0, 50, 100}), 1);
  for (int f = 0; f < kH; ++f) {
    const CEffectBeach::Spans s = beach->LineSpans(*Channel(5), f);
    EXPECT_EQ(s.xe, 50) << f;
    EXPECT_EQ(s.x1, 50) << f;  // no tide, no waves: empty spans
  }
  Channel(5)->Param(14) = 20;
  const int top = beach->LineSpans(*Channel(5), 0).xe, bottom = beach->LineSpans(*Channel(5), kH - 1).xe;
  EXPECT_EQ(top, static_cast<int>(32 + (50 - 32) * 0.2));
  EXPECT_LT(top, bottom);
  EXPECT_LE(bottom, 50);
}

TEST_F(PlaneTest, BeachTintsItsTwoSpans) {
  auto* beach = static_cast<CEffectBeach*>(manager_->GetEffect(83));
  ASSERT_EQ(Start(5, 83, {20, 50, 255, 0, 100, 0, kH, 30, 43, 300, 250, 100, 100, 60, 100}), 1);
  Clear(0x808080);
  PrintAt(5, 0);
  for (int f = 0; f < kH; f += 7) {
    const CEffectBeach::Spans s = beach->LineSpans(*Channel(5), f);
    ASSERT_LE(s.x1, s.x2);
    // Strength 50 on span A, 75 on span B.
    auto tinted = [](int colour, int strength, int c) {
      return std::clamp(((colour * strength / 100) * 128 + c * ((100 - strength) * 128 / 100)) >> 7, 0, 255);
    };
    const uint32_t a = static_cast<uint32_t>(tinted(255, 50, 128) << 16 | tinted(0, 50, 128) << 8 |
                                             tinted(100, 50, 128));
    const uint32_t b = static_cast<uint32_t>(tinted(255, 75, 128) << 16 | tinted(0, 75, 128) << 8 |
                                             tinted(100, 75, 128));
    if (s.x1 < s.x2 && s.x1 < kW) {
      EXPECT_EQ(At(s.x1, f), a) << f;
    }
    if (s.x2 < std::min(s.xe, kW)) {
      EXPECT_EQ(At(s.x2, f), b) << f;
    }
    // Waves may carry span A past the shore line.
    if (std::max(s.x2, s.xe) < kW) {
      EXPECT_EQ(At(std::max(s.x2, s.xe), f), 0x808080u) << f;
    }
  }
}

// --- #91 ---

TEST_F(PlaneTest, WaterfallLines) {
  int a = 0, row = 0;
  // Speed 1, acceleration 0.2: line 0 at full brightness, row 0.
  ASSERT_TRUE(CEffectWaterFall::Line(100, 20, 0, 16, 0, &a, &row));
  EXPECT_EQ(a, 256);
  EXPECT_EQ(row, 0);
  ASSERT_TRUE(CEffectWaterFall::Line(100, 20, 0, 16, 10, &a, &row));
  const double s = std::sqrt(1 + 2 * 0.2 * 10), t = (s - 1) / 0.2;
  EXPECT_EQ(a, static_cast<int>(1 / s * 256 + 0.5));
  EXPECT_EQ(row, static_cast<int>(t + 0.5) % 16);
  // The counter moves the rows up; negative rows wrap.
  ASSERT_TRUE(CEffectWaterFall::Line(100, 20, 3, 16, 0, &a, &row));
  EXPECT_EQ(row, 14);  // trunc (-3 + 0.5) = -2
  // Without acceleration: line / speed, full brightness; neither: nothing.
  ASSERT_TRUE(CEffectWaterFall::Line(200, 0, 0, 16, 6, &a, &row));
  EXPECT_EQ(a, 256);
  EXPECT_EQ(row, 6);
  EXPECT_FALSE(CEffectWaterFall::Line(0, 0, 0, 16, 6, &a, &row));
  // No start speed: the first line is full, the others dark.
  ASSERT_TRUE(CEffectWaterFall::Line(0, 20, 0, 16, 0, &a, &row));
  EXPECT_EQ(a, 256);
  ASSERT_TRUE(CEffectWaterFall::Line(0, 20, 0, 16, 4, &a, &row));
  EXPECT_EQ(a, 0);
  // A falling speed that turns back: lines past the turn are not drawn.
  EXPECT_FALSE(CEffectWaterFall::Line(100, -20, 0, 16, 40, &a, &row));
  EXPECT_TRUE(CEffectWaterFall::Line(INT32_MAX, INT32_MAX, INT32_MAX, 16, 40, &a, &row));
}

TEST_F(PlaneTest, WaterfallDrawsThroughTheMaskOnlyAndClipsEverySide) {
  // Columns carry their number in red, rows in green.
  auto pixel = [](int x, int y) { return static_cast<uint32_t>((x + 1) << 16 | (y + 1) << 8); };
  ChannelPicture(5, 8, 16, pixel);
  ASSERT_EQ(Start(5, 91, {20, 4, 4, 6, -1, 100, 0}), 1);
  Clear(0);
  PrintAt(5, 0);
  EXPECT_TRUE(ScreenIs(0));  // no mask: nothing
  ChannelPicture(6, 8, 16, pixel, [](int, int) -> uint8_t { return 255; });
  ASSERT_EQ(Start(6, 91, {20, 4, 4, 6, -1, 100, 0}), 1);
  PrintAt(6, 0);
  // Steady water at full brightness: the picture's rows as they are.
  EXPECT_EQ(At(4, 4), pixel(0, 0));
  EXPECT_EQ(At(11, 9), pixel(7, 5));
  EXPECT_EQ(At(4, 10), 0u);
  // Off the left and top: columns and lines shift by the cut.
  Clear(0);
  Channel(6)->Param(1) = -3;
  Channel(6)->Param(2) = -2;
  PrintAt(6, 0);
  EXPECT_EQ(At(0, 0), pixel(3, 2));
  EXPECT_EQ(At(4, 3), pixel(7, 5));
  EXPECT_EQ(At(5, 0), 0u);
  EXPECT_EQ(At(0, 4), 0u);
  // Another mode draws nothing.
  Channel(6)->Param(7) = 1;
  Clear(0);
  PrintAt(6, 0);
  EXPECT_TRUE(ScreenIs(0));
}

TEST_F(PlaneTest, WaterfallCalcuKeepsTheScrollInsideOnePicture) {
  ChannelPicture(5, 8, 16, [](int, int) { return 1u; });
  ASSERT_EQ(Start(5, 91, {2000, 0, 0, 6, -1, 100, 50}), 1);
  Channel(5)->Counter() = 40;  // 20 pixels: 4 into the next picture
  CalcuOnce(5);
  EXPECT_EQ(Channel(5)->Counter(), 8);
}

// --- #95 ---

TEST_F(PlaneTest, WaterDropFillsWithEachValuesLowByte) {
  ASSERT_EQ(Start(5, 95, {256 + 0x12, -1, 0x334}), 1);
  EXPECT_EQ(manager_->GetEffect(95)->CheckBusy(Channel(5), 5), 0);
  Clear(0);
  Frame();
  EXPECT_TRUE(ScreenIs(0x12FF34u));
}

}  // namespace
}  // namespace effect_test
