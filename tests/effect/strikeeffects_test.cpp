#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

#include "effect/strikeeffects.h"
#include "effect_fixture.h"
#include "setup/random.h"

namespace effect_test {
namespace {

class StrikeTest : public EffectTest {
 protected:
  EffectChannel& Record() { return *manager_->GetChannel(5); }
  // A w x h opaque picture of one colour on channel 5 at (x, y).
  void Picture(int w, int h, int x = 0, int y = 0) {
    ChannelPicture(
        5, w, h, [](int, int) { return 0xFFFFFFu; }, [](int, int) { return uint8_t{255}; });
    const int rect[4] = {x, y, w, h};
    for (int kind : {2, 3, 5}) manager_->SetRect(5, kind, rect);
  }
  void DrawAt(int counter) {
    Record().Counter() = counter;
    manager_->Calcu();
    Record().Counter() = counter;
    Clear(0);
    manager_->PrintRange(5, 5, 0, 0);
  }
  static bool Lit(int x, int y) { return At(x, y) != 0; }
};

// --- #86 ---

TEST_F(StrikeTest, BothPiecesSlideApartAlongTheCut) {
  Picture(40, 20);
  // A vertical cut at x 20; the left piece slides 10 down, the right one
  // trunc(-10 + 0.5) = 9 up.
  ASSERT_EQ(Start(5, 86, {20, 0, 10, 20, 24, 2, 3, 0, 0, 100, 100}), 1);
  DrawAt(20);
  EXPECT_FALSE(Lit(5, 9));
  EXPECT_TRUE(Lit(5, 10));
  EXPECT_TRUE(Lit(19, 29));
  EXPECT_FALSE(Lit(19, 30));
  EXPECT_TRUE(Lit(20, 0));
  EXPECT_TRUE(Lit(39, 10));
  EXPECT_FALSE(Lit(20, 11));
  // Halfway the slide is 5 down and 4 up; with value 6 = 0 nothing moves.
  DrawAt(10);
  EXPECT_TRUE(Lit(5, 5));
  EXPECT_FALSE(Lit(5, 4));
  EXPECT_TRUE(Lit(25, 15));
  EXPECT_FALSE(Lit(25, 16));
  ASSERT_EQ(Start(5, 86, {20, 0, 10, 20, 24, 2, 0, 0, 0, 100, 100}), 1);
  DrawAt(20);
  EXPECT_TRUE(Lit(0, 0) && Lit(39, 19) && Lit(19, 0) && Lit(20, 19));
  EXPECT_FALSE(Lit(40, 0) || Lit(0, 20));
}

TEST_F(StrikeTest, ARightAngleCutMakesTheUpperPartTheLeftPiece) {
  Picture(40, 20, 10, 0);
  // 90 degrees: the slide runs to the left (trunc(-5 + 0.5) = -4); only the
  // upper part moves.
  ASSERT_EQ(Start(5, 86, {20, 90, 5, 30, 10, 2, 1, 0, 0, 100, 100}), 1);
  DrawAt(20);
  EXPECT_TRUE(Lit(6, 9));
  EXPECT_FALSE(Lit(5, 9));
  EXPECT_FALSE(Lit(6, 10));
  EXPECT_FALSE(Lit(46, 9));
  EXPECT_TRUE(Lit(47, 10));
  std::vector<int> rows(48);
  CEffectZantetsu::MakeSplits(90, 30, 10, kW, kH, 48, rows.data());
  EXPECT_EQ(rows[9], kW);
  EXPECT_EQ(rows[10], 0);
  CEffectZantetsu::MakeSplits(-90, 30, 10, kW, kH, 48, rows.data());
  EXPECT_EQ(rows[9], 0);
  EXPECT_EQ(rows[10], kW);
}

TEST_F(StrikeTest, APictureTallerThanTheScreenHasASplitForEveryRow) {
  Picture(20, 3 * kH);
  ASSERT_EQ(Start(5, 86, {20, 30, 10, 30, 20}), 1);
  DrawAt(20);
  const auto* effect = static_cast<const CEffectZantetsu*>(manager_->GetEffect(86));
  ASSERT_GE(effect->Splits().size(), size_t{3 * kH});
  const double k = -std::tan(30 / 360.0 * 6.28318);
  for (int r : {0, kH - 1, kH, 2 * kH + 7, 3 * kH - 1})
    EXPECT_EQ(effect->Splits()[r],
              std::clamp(30 + static_cast<int>(std::trunc(k * (r - 20) + 0.5)), 0, kW))
        << r;
}

TEST_F(StrikeTest, ARestoredCutStartsAgainAndHugeValuesStayInRange) {
  Picture(20, 20);
  ASSERT_EQ(Start(5, 86, {20, 45, 30}), 1);
  Record().Counter() = 12;
  manager_->RestoreEffects();
  EXPECT_EQ(Record().Counter(), 0);
  EXPECT_EQ(Record().Param(2), 30);
  EXPECT_EQ(Record().Param(3), kW / 2);
  ASSERT_EQ(Start(5, 86, {1, INT_MAX, INT_MAX, INT_MIN, INT_MAX, 0, 3, 0, 0, INT_MAX, INT_MIN}), 1);
  DrawAt(1);
  ASSERT_EQ(Start(5, 86, {1, -89, INT_MIN, INT_MAX, INT_MIN, 0, 3}), 1);
  DrawAt(1);
}

// --- #48 ---

TEST_F(StrikeTest, TheBossTremblesThenSinksAndSwitchesItsChannelOff) {
  Picture(10, 48, 20, 0);
  ASSERT_EQ(Start(5, 48, {20, 10, 3, 3}), 1);
  EXPECT_EQ(CEffectBossDeath::Sink(Record(), kH), 0);
  Record().Counter() = 10;
  EXPECT_EQ(CEffectBossDeath::Sink(Record(), kH), 0);
  Record().Counter() = 11;
  EXPECT_EQ(CEffectBossDeath::Sink(Record(), kH), kH / 10);
  Record().Counter() = 15;
  EXPECT_EQ(CEffectBossDeath::Sink(Record(), kH), kH / 2);
  // One draw per row on the screen, each row moved by rand % 6 - 3.
  const std::vector<int> draws = Draws(77, 40);
  DrawAt(12);
  const int s = 2 * kH / 10;
  for (int i = 0; i < kH - s; ++i) {
    const int x = 20 + draws[i] % 6 - 3;
    EXPECT_TRUE(Lit(x, s + i)) << i;
    EXPECT_FALSE(Lit(x - 1, s + i)) << i;
  }
  EXPECT_FALSE(Lit(20, s - 1));
  EXPECT_EQ(crt::rand(), draws[kH - s]);
  // At the end nothing is drawn and the channel switches off, every time.
  DrawAt(20);
  EXPECT_TRUE(ScreenIs(0));
  for (int i = 0; i < 3; ++i) {
    manager_->FinishEffects();
    EXPECT_EQ(Record().Active(), 0);
    EXPECT_EQ(Record().EffectNumber(), 0);
    EXPECT_EQ(Record().Opaque(), CEffectManager::IsOpaqueChannel(5));
  }
}

TEST_F(StrikeTest, TheWaitIsCutBelowTheDuration) {
  const struct {
    std::vector<int> values;
    int wait;
  } kCases[] = {{{20, 25}, 19}, {{20, 20}, 19}, {{20, 5}, 5}, {{INT_MIN, 5}, INT_MIN},
                {{0}, -1}};
  for (const auto& c : kCases) {
    ASSERT_EQ(Start(5, 48, c.values), 1);
    EXPECT_EQ(Record().Param(1), c.wait);
  }
  // A tremble of INT_MAX and a picture shorter than the screen.
  Picture(10, 5, 20, 0);
  ASSERT_EQ(Start(5, 48, {20, 0, INT_MAX, INT_MAX, 0, 0, 1, 50}), 1);
  const std::vector<int> draws = Draws(3, kH + 1);
  DrawAt(0);
  EXPECT_EQ(crt::rand(), draws[kH]);
}

}  // namespace
}  // namespace effect_test
