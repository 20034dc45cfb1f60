// The shatter wipe on a 640 x 480 screen (the size its fragment table is
// laid out for) and on 800 x 600: the pictures whole at both ends, the
// fragments creeping, flying off, and the reversed wipe.
#include "effect/wipehahen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "wipe_fixture.h"

namespace effect_test {
namespace {

// The screen size of the test running.
int bigW = 640, bigH = 480;

uint32_t BigOld(int x, int y) { return 0x01000000u | static_cast<uint32_t>(y * bigW + x); }
uint32_t BigNew(int x, int y) { return 0x02000000u | static_cast<uint32_t>(y * bigW + x); }

class HahenTest : public WipeTest {
 protected:
  void SetUp() override {
    WipeTest::SetUp();
    Resize(640, 480);
  }
  // The screen, the wipe table (whose fragments fit the screen it is made
  // on) and both pictures at w x h.
  void Resize(int w, int h) {
    bigW = w;
    bigH = h;
    table_.reset();
    screen_.reset();
    screen_ = std::make_unique<CScreenBuffer>(bigW, bigH, 0);
    table_ = std::make_unique<CAllWipe>();
    old_ = Make(BigOld);
    new_ = Make(BigNew);
  }
  // The pixels of the old picture still on screen.
  static int OldShown() {
    int shown = 0;
    for (int y = 0; y < bigH; ++y)
      for (int x = 0; x < bigW; ++x) shown += (Big(x, y) >> 24) == 1;
    return shown;
  }
  void TearDown() override {
    table_.reset();
    WipeTest::TearDown();
  }
  static std::unique_ptr<CPicture> Make(uint32_t (*f)(int, int)) {
    auto p = std::make_unique<CPicture>(bigW, bigH, 0);
    for (int y = 0; y < bigH; ++y)
      for (int x = 0; x < bigW; ++x) p->GetPixelBuffer()[y * bigW + x] = f(x, y);
    return p;
  }
  CEffectSimpleWipeHahen* Wipe(int number) {
    return static_cast<CEffectSimpleWipeHahen*>(table_->GetWipe(number));
  }
  std::vector<uint32_t> Draw(int number, int p, int max, bool swapped = false) {
    table_->Print(number, swapped ? new_.get() : old_.get(), swapped ? old_.get() : new_.get(), p,
                  max, nullptr, nullptr);
    const uint32_t* s = CScreenBuffer::GetBuffer();
    return std::vector<uint32_t>(s, s + bigW * bigH);
  }
  static uint32_t Big(int x, int y) { return CScreenBuffer::GetBuffer()[y * bigW + x]; }

  std::unique_ptr<CAllWipe> table_;
  std::unique_ptr<CPicture> old_, new_;
};

// The first step is the old picture and the last the new one, whatever the
// progress unit, both ways round.
TEST_F(HahenTest, StartsOnTheOldPictureAndEndsOnTheNew) {
  for (int size : {640, 800}) {
    Resize(size, size * 3 / 4);
    for (int max : {1, 30, 10000}) {
      for (int number : {34, 35}) {
        Draw(number, 0, max);
        ASSERT_EQ(OldShown(), bigW * bigH) << size << " " << number << " " << max;
        Draw(number, max, max);
        ASSERT_EQ(OldShown(), 0) << size << " " << number << " " << max;
        for (int y = 0; y < bigH; ++y)
          for (int x = 0; x < bigW; ++x) {
            ASSERT_EQ(Big(x, y), BigNew(x, y)) << x << "," << y;
          }
      }
    }
  }
}

TEST_F(HahenTest, FragmentsCreepOnlyWhileHeld) {
  CEffectSimpleWipeHahen* wipe = Wipe(34);
  // Fragment 0 (top left corner) flies up and left; centre (55, 70).
  EXPECT_EQ(wipe->Centre(0).x, (0 + 0 + 26 + 123 + 188 + 166 + 90) / 7);
  EXPECT_LT(wipe->Velocity(0).x, 0);
  EXPECT_LT(wipe->Velocity(0).y, 0);
  // Up to 100 steps the creep is a hundredth of the velocity per step; a
  // finer unit creeps as far as 100 steps do.
  struct Case {
    int p, max;
    double k;
  } cases[] = {{6, 30, 0.06}, {1, 30, 0.01}, {20, 100, 0.2}, {2000, 10000, 0.2}, {1000, 10000, 0.1}};
  for (const Case& c : cases) {
    Draw(34, c.p, c.max);
    for (int f = 0; f < CEffectSimpleWipeHahen::kFragments; ++f) {
      EXPECT_NEAR(wipe->Offset(f).x, wipe->Velocity(f).x * c.k, 1e-3) << f;
      EXPECT_NEAR(wipe->Offset(f).y, wipe->Velocity(f).y * c.k, 1e-3) << f;
    }
  }
  // A creeping fragment (31, drawn last) moves by its rounded offset.
  Draw(34, 2000, 10000);
  const auto v = wipe->Offset(31);
  const int ix = static_cast<int>(v.x + 0.5f), iy = static_cast<int>(v.y + 0.5f);
  ASSERT_NE(ix, 0);
  const auto c = wipe->Centre(31);
  EXPECT_EQ(Big(c.x + ix, c.y + iy), BigOld(c.x, c.y));
}

// Half way through the flight some of the old picture is still on screen,
// in the simple-wipe effect's unit too, on both screens.
TEST_F(HahenTest, FragmentsFlyDuringTheWholeFlight) {
  for (int size : {640, 800}) {
    Resize(size, size * 3 / 4);
    for (int max : {30, 10000}) {
      Draw(34, max * 3 / 5, max);
      EXPECT_GT(OldShown(), 0) << size << " " << max;
    }
  }
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
