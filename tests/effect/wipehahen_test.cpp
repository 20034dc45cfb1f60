// The shatter wipe on a 640 x 480 screen (the size its fragment table is
// laid out for): the fragments in place, creeping, flying off, and the
// reversed wipe.
#include "effect/wipehahen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "wipe_fixture.h"

namespace effect_test {
namespace {

constexpr int kBigW = 640, kBigH = 480;

uint32_t BigOld(int x, int y) { return 0x01000000u | static_cast<uint32_t>(y * kBigW + x); }
uint32_t BigNew(int x, int y) { return 0x02000000u | static_cast<uint32_t>(y * kBigW + x); }

class HahenTest : public WipeTest {
 protected:
  void SetUp() override {
    WipeTest::SetUp();
    screen_.reset();
    screen_ = std::make_unique<CScreenBuffer>(kBigW, kBigH, 0);
    table_ = std::make_unique<CAllWipe>();
    old_ = Make(BigOld);
    new_ = Make(BigNew);
  }
  void TearDown() override {
    table_.reset();
    WipeTest::TearDown();
  }
  static std::unique_ptr<CPicture> Make(uint32_t (*f)(int, int)) {
    auto p = std::make_unique<CPicture>(kBigW, kBigH, 0);
    for (int y = 0; y < kBigH; ++y)
      for (int x = 0; x < kBigW; ++x) p->GetPixelBuffer()[y * kBigW + x] = f(x, y);
    return p;
  }
  CEffectSimpleWipeHahen* Wipe(int number) {
    return static_cast<CEffectSimpleWipeHahen*>(table_->GetWipe(number));
  }
  std::vector<uint32_t> Draw(int number, int p, int max, bool swapped = false) {
    table_->Print(number, swapped ? new_.get() : old_.get(), swapped ? old_.get() : new_.get(), p,
                  max, nullptr, nullptr);
    const uint32_t* s = CScreenBuffer::GetBuffer();
    return std::vector<uint32_t>(s, s + kBigW * kBigH);
  }
  static uint32_t Big(int x, int y) { return CScreenBuffer::GetBuffer()[y * kBigW + x]; }

  std::unique_ptr<CAllWipe> table_;
  std::unique_ptr<CPicture> old_, new_;
};

TEST_F(HahenTest, InPlaceTheOldPictureShowsButForThinBorders) {
  Draw(34, 0, 10000);
  int shown = 0;
  for (int y = 0; y < kBigH; ++y) {
    for (int x = 0; x < kBigW; ++x) {
      if (Big(x, y) == BigOld(x, y)) {
        ++shown;
        continue;
      }
      ASSERT_EQ(Big(x, y), BigNew(x, y)) << x << "," << y;
      // The new picture only peeks through along a fragment border: one of
      // the two pixels beside it is old.
      const bool besideOld = (x > 0 && Big(x - 1, y) == BigOld(x - 1, y)) ||
                             (x + 1 < kBigW && Big(x + 1, y) == BigOld(x + 1, y));
      EXPECT_TRUE(besideOld) << x << "," << y;
    }
  }
  EXPECT_GT(shown, kBigW * kBigH * 99 / 100);
}

TEST_F(HahenTest, FragmentsCreepWithTheProgressUnit) {
  CEffectSimpleWipeHahen* wipe = Wipe(34);
  // Fragment 0 (top left corner) flies up and left; centre (55, 70).
  EXPECT_EQ(wipe->Centre(0).x, (0 + 0 + 26 + 123 + 188 + 166 + 90) / 7);
  EXPECT_LT(wipe->Velocity(0).x, 0);
  EXPECT_LT(wipe->Velocity(0).y, 0);
  struct Case {
    int p, max;
    double k;
  } cases[] = {{2000, 10000, 20.0}, {6, 30, 0.06}, {0, 30, 0.0}};
  for (const Case& c : cases) {
    Draw(34, c.p, c.max);
    for (int f = 0; f < CEffectSimpleWipeHahen::kFragments; ++f) {
      EXPECT_NEAR(wipe->Offset(f).x, wipe->Velocity(f).x * c.k, 1e-3) << f;
      EXPECT_NEAR(wipe->Offset(f).y, wipe->Velocity(f).y * c.k, 1e-3) << f;
    }
  }
  // A small step moves fragment 31, drawn last, by its rounded offset.
  Draw(34, 10, 10000);
  const auto v = wipe->Offset(31);
  const int ix = static_cast<int>(v.x + 0.5f), iy = static_cast<int>(v.y + 0.5f);
  ASSERT_NE(ix, 0);
  const auto c = wipe->Centre(31);
  EXPECT_EQ(Big(c.x + ix, c.y + iy), BigOld(c.x, c.y));
}

TEST_F(HahenTest, FragmentsFlyOffByTheEnd) {
  for (int max : {30, 10000}) {
    Draw(34, max, max);
    for (int y = 0; y < kBigH; ++y)
      for (int x = 0; x < kBigW; ++x)
        ASSERT_EQ(Big(x, y), BigNew(x, y)) << max << ": " << x << "," << y;
  }
  // Half way through the flight some of the old picture is still on screen
  // (with M = 10000 the creep alone carries it off by P = 2000).
  Draw(34, 18, 30);
  int oldShown = 0;
  for (int y = 0; y < kBigH; ++y)
    for (int x = 0; x < kBigW; ++x) oldShown += (Big(x, y) >> 24) == 1;
  EXPECT_GT(oldShown, 0);
}

TEST_F(HahenTest, ReversedWipeGathersTheNewPictureBack) {
  for (int max : {30, 10000}) {
    EXPECT_EQ(Draw(35, 0, max), Draw(34, max, max, true)) << max;
    EXPECT_EQ(Draw(35, max, max), Draw(34, 0, max, true)) << max;
    EXPECT_EQ(Draw(35, max / 3, max), Draw(34, max - max / 3, max, true)) << max;
  }
}

}  // namespace
}  // namespace effect_test
