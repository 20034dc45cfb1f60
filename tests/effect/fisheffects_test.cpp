// Fish (#111), speed lines (#85) and sparkles (#42).
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

#include "effect/fisheffects.h"
#include "screen_fixture.h"
#include "support/dwq_picture.h"

namespace effect_test {
namespace {

uint8_t Opaque(int, int) { return 255; }
// Cell (x / 8, y / 8) of a sheet of 8 x 8 cells: its own colour.
uint32_t Cell(int x, int y) {
  return 0x100000u * static_cast<uint32_t>(x / 8 + 1) | static_cast<uint32_t>(y / 8 + 1);
}

class SmallThingsTest : public ScreenEffectTest {
 protected:
  std::vector<int> FishAt(int channel, int i) {
    const int32_t* f = CEffectFish::Fish(&Record(channel), i);
    return {f[0], f[1], f[2], f[3]};
  }
  CEffectSpeedLine* Lines() { return static_cast<CEffectSpeedLine*>(manager_->GetEffect(85)); }
  CEffectKira* Kira() { return static_cast<CEffectKira*>(manager_->GetEffect(42)); }
};

// --- #111 ---

TEST_F(SmallThingsTest, FishStartInTheDrawOrder) {
  const std::vector<int> r = Draws(9, 8);
  ASSERT_EQ(Start(5, 111, {0, 2, 8, 8, 4, 4, 40, 30, 1, 1, 1, 1, 3, 0}), 1);
  EXPECT_EQ(Record(5).Duration(), 999999);
  for (int i = 0; i < 2; ++i) {
    const int* d = &r[4 * i];
    const int speed = 1 + d[2] % 3;
    EXPECT_EQ(FishAt(5, i), (std::vector<int>{4 + d[0] % 32, 4 + d[1] % 22,
                                              d[3] % 100 < 50 ? -speed : speed, 0}))
        << i;
  }
  // A fish wider than its area starts at its left; at most 40 fish; the
  // greatest speed at least the least.
  crt::srand(9);
  ASSERT_EQ(Start(5, 111, {0, 100, 32, 8, 4, 4, 10, 30, 1, 1, 1, 5, 2}), 1);
  EXPECT_EQ(Record(5).Param(1), 40);
  EXPECT_EQ(Record(5).Param(12), 5);
  EXPECT_EQ(FishAt(5, 0)[0], 4);
  EXPECT_EQ(std::abs(FishAt(5, 0)[2]), 5);
}

TEST_F(SmallThingsTest, FishTurnAtTheAreaEdgesAndByChance) {
  ASSERT_EQ(Start(5, 111, {0, 2, 8, 8, 0, 0, 40, 30, 1, 3, 1, 1, 1, 0}), 1);
  int32_t* a = CEffectFish::Fish(&Record(5), 0);
  int32_t* b = CEffectFish::Fish(&Record(5), 1);
  a[0] = 31, a[2] = 3, a[3] = 2;
  b[0] = 1, b[2] = -3;
  manager_->GetEffect(111)->Calcu(&Record(5), 5);
  EXPECT_EQ(FishAt(5, 0), (std::vector<int>{32, a[1], -3, 0}));
  EXPECT_EQ(FishAt(5, 1)[0], 0);
  EXPECT_EQ(FishAt(5, 1)[2], 3);
  // Chance 10,000: every fish turns each frame, moving up or down by at
  // most 2 within the area.
  ASSERT_EQ(Start(5, 111, {0, 1, 8, 8, 0, 10, 40, 9, 1, 3, 1, 1, 2, 10000}), 1);
  a = CEffectFish::Fish(&Record(5), 0);
  a[0] = 10, a[1] = 10, a[3] = 2;
  const std::vector<int> r = Draws(4, 4);
  manager_->GetEffect(111)->Calcu(&Record(5), 5);
  const int speed = 1 + r[1] % 2;
  const int v = r[2] % 100 < 50 ? -speed : speed;
  // The area's rows 10..11 hold the fish's top row.
  EXPECT_EQ(FishAt(5, 0), (std::vector<int>{10 + v, std::clamp(10 + r[3] % 5 - 2, 10, 11), v, 1}));
}

TEST_F(SmallThingsTest, FishDrawTheirCellsAndTolerateAnyRecord) {
  ChannelPicture(5, 32, 16, Cell, Opaque);
  ASSERT_EQ(Start(5, 111, {0, 2, 8, 8, 0, 0, 64, 48, 2, 2, 1, 1, 1, 0}), 1);
  int32_t* a = CEffectFish::Fish(&Record(5), 0);
  int32_t* b = CEffectFish::Fish(&Record(5), 1);
  a[0] = 0, a[1] = 0, a[2] = -1, a[3] = 0;
  b[0] = 20, b[1] = 10, b[2] = 2, b[3] = 1;
  DrawAt(5, 0);
  EXPECT_EQ(At(1, 1), Cell(0, 0));
  // Fish 1: kind 1 facing right (column 3), animation frame 1 (row 1).
  EXPECT_EQ(At(21, 11), Cell(24, 8));
  EXPECT_EQ(At(30, 11), kClear);
  // Frames per step 0 in a record counts as 1; a count beyond 40 as 40;
  // values at the ends of the int range stay in 64 bits.
  Record(5).Param(10) = 0;
  Record(5).Param(1) = 1000;
  Record(5).Param(16 + 4 * 40) = 1234;
  DrawAt(5, 0);
  EXPECT_EQ(At(21, 11), Cell(24, 8));
  manager_->GetEffect(111)->Calcu(&Record(5), 5);
  EXPECT_EQ(Record(5).Param(16 + 4 * 40), 1234);
  for (int v : {INT_MAX, INT_MIN}) {
    ASSERT_EQ(Start(5, 111, {0, 3, v, v, v, v, v, v, v, v, v, v, v, v}), 1);
    for (int i = 0; i < 3; ++i) Frame();
  }
}

// --- #85 ---

TEST_F(SmallThingsTest, SpeedLineClamps) {
  struct Case {
    std::vector<int> given;
    std::vector<int> stored;
  };
  const Case cases[] = {
      {{20, 500, 50}, {20, 100, 81, 3, 30, 255, 3, 3, 0, 0, kW, kH}},
      {{20, -3, 200, 3, 30, 255, 3, 3, -4, 47, 1000, 1}, {20, 0, 200, 3, 30, 255, 3, 3, 0, 45, kW, 3}},
      {{20, 10, 100, 3, 30, 0, 0, 0, 2, 1, 10, 1}, {20, 10, 100, 3, 30, 0, 0, 0, 2, 1, 10, 3}},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(Start(5, 85, c.given), 1);
    EXPECT_EQ(Params(5, 12), c.stored);
  }
  EXPECT_EQ(manager_->GetEffect(85)->CheckBusy(&Record(5), 5), 1);
  // A count from a save beyond the 100 lines draws and moves 100.
  Record(5).Param(1) = 1000;
  Frame();
  EXPECT_EQ(CEffectSpeedLine::Count(Record(5)), 100);
}

TEST_F(SmallThingsTest, SpeedLinesScatterAndReenterInTheDrawOrder) {
  const std::vector<int> r = Draws(21, 10);
  ASSERT_EQ(Start(5, 85, {20, 1, 100, 3, 30, 255, 3, 3, 0, 0, 64, 48}), 1);
  const CEffectSpeedLine::Line& line = Lines()->GetLines()[0];
  EXPECT_EQ(line.y, r[0] % 46);
  EXPECT_EQ(line.x, r[1] % 264 - 100);
  EXPECT_EQ(line.vx, 30 + r[2] % 14 - 7);
  EXPECT_EQ(line.length, 100 + r[3] % 50);
  EXPECT_EQ(line.thick, r[4] % 2);
  // Past the area's right edge it comes back in from the left.
  Lines()->LineForTest(0).x = 60;
  Lines()->LineForTest(0).vx = 10;
  manager_->GetEffect(85)->Calcu(&Record(5), 5);
  EXPECT_EQ(line.x, -200 + r[6] % 101);
  EXPECT_EQ(line.y, r[5] % 46);
  // Moving left it must pass 125 % of its length beyond the left edge;
  // lengths at the top of the range stay in 64 bits.
  ASSERT_EQ(Start(5, 85, {20, 1, 100, 3, -30, 255, 3, 3, 0, 0, 64, 48}), 1);
  Lines()->LineForTest(0) = {-110, 5, -10, 0, 100, 3, 0};
  manager_->GetEffect(85)->Calcu(&Record(5), 5);
  EXPECT_EQ(line.x, -120);
  manager_->GetEffect(85)->Calcu(&Record(5), 5);
  // Re-entering from the right edge.
  EXPECT_GE(line.x, 64);
  EXPECT_LE(line.x, 164);
  Lines()->LineForTest(0) = {INT_MIN, 5, -10, 0, INT_MAX, 3, 0};
  manager_->GetEffect(85)->Calcu(&Record(5), 5);
  // Both channels share one table.
  ASSERT_EQ(Start(9, 85, {}), 1);
  EXPECT_EQ(&Lines()->GetLines()[0], &line);
}

TEST_F(SmallThingsTest, SpeedLineRowsAndFades) {
  ASSERT_EQ(Start(5, 85, {20, 1, 100, 3, 30, 255, 3, 3, 0, 0, 64, 48}), 1);
  struct Case {
    CEffectSpeedLine::Line line;
    int x, y;
    uint32_t pixel;
  };
  const Case cases[] = {
      // Thin, 10 columns cut on the left: solid to x + 35, then the fade
      // from 255 falling by 4.
      {{-10, 10, 0, 0, 100, 3, 0}, 25, 11, 0xFF0303},
      {{-10, 10, 0, 0, 100, 3, 0}, 26, 11, 0xFE0202},
      {{-10, 10, 0, 0, 100, 3, 0}, 27, 11, 0xFB0303},
      {{-10, 10, 0, 0, 100, 3, 0}, 5, 10, kClear},
      {{-10, 10, 0, 0, 100, 3, 0}, 5, 12, kClear},
      // A fade cut 60 columns on the left starts at 255 - 240.
      {{-96, 10, 0, 0, 100, 3, 0}, 0, 11, 0x4A3C3C},
      {{-96, 10, 0, 0, 100, 3, 0}, 4, 11, kClear},
      // Thick: the row above ends 16 columns earlier, the row below fades
      // from there over its solid end.
      {{0, 10, 0, 0, 100, 3, 1}, 19, 10, 0xFF0303},
      {{0, 10, 0, 0, 100, 3, 1}, 20, 10, 0xFE0202},
      {{0, 10, 0, 0, 100, 3, 1}, 20, 12, 0xFE0202},
      {{0, 10, 0, 0, 100, 3, 1}, 21, 12, 0xFE0202},
      {{0, 10, 0, 0, 100, 3, 1}, 21, 10, 0xFB0303},
      // Rows off the screen are left out.
      {{0, 46, 0, 0, 100, 3, 1}, 5, 47, 0xFF0303},
  };
  for (const Case& c : cases) {
    Lines()->LineForTest(0) = c.line;
    DrawAt(5, 0);
    EXPECT_EQ(At(c.x, c.y), c.pixel) << c.line.x << " " << c.x << "," << c.y;
  }
  // Only the area's columns are drawn; colours are held to bytes.
  ASSERT_EQ(Start(5, 85, {20, 1, 100, 3, 30, 300, -3, 3, 20, 0, 10, 48}), 1);
  Lines()->LineForTest(0) = {0, 10, 0, 0, 100, 3, 0};
  DrawAt(5, 0);
  EXPECT_EQ(At(19, 11), kClear);
  EXPECT_EQ(At(20, 11), 0xFF0003u);
  EXPECT_EQ(At(29, 11), 0xFF0003u);
  EXPECT_EQ(At(30, 11), kClear);
}

// --- #42 ---

TEST_F(SmallThingsTest, SparkleLevelsAndArea) {
  EXPECT_EQ(CEffectKira::Level(4, 5), 255);
  EXPECT_EQ(CEffectKira::Level(3, 5), 75 * 255 / 100);
  EXPECT_EQ(CEffectKira::Level(5, 5), 0);
  EXPECT_EQ(CEffectKira::Level(0, 5), 0);
  EXPECT_EQ(CEffectKira::Level(12, 12), 0);
  EXPECT_EQ(CEffectKira::Level(10, 12), 2 * 100 / 4 * 255 / 100);
  ASSERT_EQ(Start(5, 42, {0, 20, 10}), 1);
  EXPECT_EQ(Record(5).Duration(), 99999);
  EXPECT_EQ(Params(5, 3)[2], 32);
  ASSERT_EQ(Start(5, 42, {0, 50, 10, 10, 1000, 0}), 1);
  // On a screen lower than 64 rows the top of 32..H - 32 holds.
  EXPECT_EQ(Params(5, 6), (std::vector<int>{0, 20, 32, 16, 1, 1}));
  Screen(200, 150);
  ASSERT_EQ(Start(5, 42, {}), 1);
  EXPECT_EQ(Params(5, 6), (std::vector<int>{0, 20, 32, 32, 135, 85}));
}

TEST_F(SmallThingsTest, SparklesStartEachWithItsAge) {
  Screen(200, 150);
  const std::vector<int> r = Draws(17, 8);
  ASSERT_EQ(Start(5, 42, {0, 3}), 1);
  for (int i = 0; i < 2; ++i) {
    const int* d = &r[4 * i];
    const CEffectKira::Sparkle& s = Kira()->GetSparkle(i);
    const int life = d[0] % 8 + 5;
    EXPECT_EQ(s.life, life);
    EXPECT_EQ(s.x, std::max(32 + d[1] % 135 - 32, 32));
    EXPECT_EQ(s.y, std::max(32 + d[2] % 85 - 32, 32));
    EXPECT_EQ(s.age, d[3] % life);
  }
  // The sparkles are the object's: a start on another channel makes them
  // anew for both.
  const CEffectKira::Sparkle before = Kira()->GetSparkle(0);
  crt::srand(99);
  ASSERT_EQ(Start(9, 42, {0, 3}), 1);
  EXPECT_NE(std::vector<int>({before.life, before.x, before.y, before.age}),
            std::vector<int>({Kira()->GetSparkle(0).life, Kira()->GetSparkle(0).x,
                              Kira()->GetSparkle(0).y, Kira()->GetSparkle(0).age}));
  // A count from a save is held to 20 again.
  Record(5).Param(1) = 1000;
  manager_->RestoreEffects();
  EXPECT_EQ(Record(5).Param(1), 20);
}

TEST_F(SmallThingsTest, SparklesGlowFromTheirPicture) {
  Screen(200, 150);
  ASSERT_EQ(Start(5, 42, {0, 1}), 1);
  EXPECT_EQ(Kira()->IsLoaded(), 0);
  Kira()->SparkleForTest(0) = {3, 5, 100, 100};
  DrawAt(5, 0);
  EXPECT_EQ(At(100, 100), kClear);
  testsupport::WriteDwq(*dir_, "sys/kirakira", 64, 64, 0x000064);
  for (auto [w, h] : {std::pair{200, 150}, {33, 33}}) {
    Screen(w, h);
    ASSERT_EQ(Kira()->IsLoaded(), 1);
    ASSERT_EQ(Start(5, 42, {0, 1}), 1);
    const int c = w == 200 ? 100 : 32;
    Kira()->SparkleForTest(0) = {3, 5, c, c};
    DrawAt(5, 0);
    // Age 4 of 5 is the peak: the full intensity (100) is added.
    EXPECT_EQ(Kira()->GetSparkle(0).age, 4);
    EXPECT_EQ(At(c, c), 0xA4A4A4u);
    // The 64 x 64 spot, clipped to a small screen.
    EXPECT_EQ(At(std::max(c - 32, 0), std::max(c - 32, 0)), 0xA4A4A4u);
    if (w == 200) {
      EXPECT_EQ(At(c - 33, c), kClear);
      EXPECT_EQ(At(c + 32, c), kClear);
    }
    // Age 5 ends its life: a new sparkle at age 0 shows nothing.
    DrawAt(5, 0);
    EXPECT_EQ(Kira()->GetSparkle(0).age, 0);
    EXPECT_EQ(At(c, c), kClear);
  }
}

}  // namespace
}  // namespace effect_test
