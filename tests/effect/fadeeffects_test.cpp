#include "effect/fadeeffects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstdint>
#include <vector>

#include "effect_fixture.h"
#include "graphics/allgraphics.h"
#include "setup/random.h"

namespace effect_test {
namespace {

// Each pixel names its own coordinates (screens up to 4096 x 4096).
uint32_t Coordinates(int x, int y) {
  return static_cast<uint32_t>(x) << 12 | static_cast<uint32_t>(y);
}

class FadeEffectTest : public EffectTest {
 protected:
  // A screen of another size, with a manager made for it.
  void Resize(int w, int h) {
    manager_.reset();
    screen_ = std::make_unique<CScreenBuffer>(w, h, 0);
    manager_ = std::make_unique<CEffectManager>(kExtra);
  }
  static void FillCoordinates() {
    for (int y = 0; y < CScreenBuffer::GetHeight(); ++y)
      for (int x = 0; x < CScreenBuffer::GetWidth(); ++x) At(x, y) = Coordinates(x, y);
  }
  std::vector<uint32_t> Screen() const {
    const uint32_t* p = CScreenBuffer::GetBuffer();
    return {p, p + size_t{static_cast<size_t>(CScreenBuffer::GetWidth())} *
                       CScreenBuffer::GetHeight()};
  }
  // A gradient picture shown opaque on channel 0 under everything.
  void Backdrop() {
    ChannelPicture(0, kW, kH, [](int x, int y) { return static_cast<uint32_t>(x * 4 << 16 | y * 5 << 8 | 200); });
  }
  // What channel 0 alone draws, treated by `filter`.
  template <typename Filter>
  std::vector<uint32_t> BackdropThrough(Filter filter) {
    std::array<EffectChannel, 15> kept{};
    for (int c = 1; c < 16; ++c) kept[c - 1] = *manager_->GetChannel(c);
    for (int c = 1; c < 16; ++c) manager_->GetChannel(c)->Active() = 0;
    manager_->Print(0, 0);
    filter();
    for (int c = 1; c < 16; ++c) *manager_->GetChannel(c) = kept[c - 1];
    return Screen();
  }
  EffectChannel& Record(int channel) { return *manager_->GetChannel(channel); }
};

// How many values the generator gave since it was seeded with `seed`.
int DrawsSince(uint32_t seed) {
  int next[4];
  for (int& v : next) v = crt::rand();
  crt::srand(seed);
  std::vector<int> seen;
  for (int n = 0; n < 100000; ++n) {
    seen.push_back(crt::rand());
    if (seen.size() >= 4 && std::equal(next, next + 4, seen.end() - 4))
      return static_cast<int>(seen.size()) - 4;
  }
  return -1;
}

// --- #10, #11, #17 ---

TEST_F(FadeEffectTest, FadeoutHalvesTowardBlackThenLeavesABlackFill) {
  Backdrop();
  ASSERT_EQ(Start(5, 11, {10, 0, 0, 0}), 1);
  for (int i = 0; i < 5; ++i) Frame();
  Frame();  // drawn at counter 5 of 10
  const std::vector<uint32_t> half = Screen();
  EXPECT_EQ(half, BackdropThrough([] { CAllGraphics::Fade(50, 0, 0, 0, 50); }));
  EXPECT_NEAR(static_cast<int>(half[0] & 0xFF), 100, 1);
  for (int i = 0; i < 4; ++i) Frame();
  EXPECT_EQ(Record(5).EffectNumber(), 54);
  for (int i = 0; i < 3; ++i) {
    Frame();
    EXPECT_TRUE(ScreenIs(0));
    EXPECT_EQ(Record(5).EffectNumber(), 54);
  }
}

TEST_F(FadeEffectTest, FadeinFromWhiteFreesAChannelWithoutPicture) {
  Backdrop();
  ASSERT_EQ(Start(14, 10, {10, 255}), 1);
  EXPECT_EQ(std::vector<int>(Record(14).v + 29, Record(14).v + 35),
            (std::vector<int>{10, 255, 255, 255, 0, 0}));
  Record(14).Opaque() = 0;
  Frame();
  EXPECT_EQ(Screen(), BackdropThrough([] { CAllGraphics::Fade(0, 255, 255, 255, 100); }));
  EXPECT_GE(At(0, 0) & 0xFF, 0xFEu);
  for (int i = 0; i < 4; ++i) Frame();
  Frame();  // counter 5
  EXPECT_EQ(Screen(), BackdropThrough([] { CAllGraphics::Fade(50, 255, 255, 255, 50); }));
  for (int i = 0; i < 4; ++i) Frame();
  EXPECT_EQ(Record(14).Active(), 0);
  EXPECT_EQ(Record(14).EffectNumber(), 0);
  EXPECT_EQ(Record(14).Opaque(), 1);  // set again from the channel number
  const std::vector<uint32_t> plain = BackdropThrough([] {});
  Frame();
  EXPECT_EQ(Screen(), plain);
  // With a picture the channel stays, showing it under the no-op effect.
  ChannelPicture(6, 4, 4, [](int, int) { return 0x123456u; }, [](int, int) { return uint8_t{255}; });
  ASSERT_EQ(Start(6, 10, {2}), 1);
  for (int i = 0; i < 4; ++i) Frame();
  EXPECT_EQ(Record(6).Active(), 1);
  EXPECT_EQ(Record(6).EffectNumber(), 0);
  EXPECT_EQ(At(0, 0), 0x123456u);
}

TEST_F(FadeEffectTest, FlashBlinksThenHoldsItsColourAsAFill) {
  Backdrop();
  const std::vector<uint32_t> plain = BackdropThrough([] {});
  ASSERT_EQ(Start(5, 17, {9, 1, 2, 255, 0, 0}), 1);
  for (int frame = 0; frame < 9; ++frame) {
    Frame();
    if (frame % 3 == 0)
      EXPECT_TRUE(ScreenIs(0xFF0000)) << frame;
    else
      EXPECT_EQ(Screen(), plain) << frame;
  }
  EXPECT_EQ(Record(5).EffectNumber(), 54);
  EXPECT_EQ(std::vector<int>(Record(5).v + 30, Record(5).v + 33), (std::vector<int>{255, 0, 0}));
  for (int i = 0; i < 3; ++i) {
    Frame();
    EXPECT_TRUE(ScreenIs(0xFF0000));
  }
  // Defaults: one frame on, one off, white.
  ASSERT_EQ(Start(5, 17, {}), 1);
  EXPECT_EQ(std::vector<int>(Record(5).v + 29, Record(5).v + 35),
            (std::vector<int>{20, 1, 1, 255, 255, 255}));
}

// A period past the int range blinks as its sum says.
TEST_F(FadeEffectTest, FlashPeriodSumDoesNotOverflow) {
  ASSERT_EQ(Start(5, 17, {20, 5, INT32_MAX, 0, 0, 255}), 1);
  Record(5).Counter() = 7;
  Clear(0x777777);
  manager_->PrintRange(5, 5, 0, 0);
  EXPECT_TRUE(ScreenIs(0x777777));  // 7 mod (2^31 + 4) is past the 5 frames on
  Record(5).Counter() = 4;
  manager_->PrintRange(5, 5, 0, 0);
  EXPECT_TRUE(ScreenIs(0x0000FF));
  ASSERT_EQ(Start(5, 17, {20, INT32_MIN, INT32_MIN, 0, 0, 255}), 1);
  Clear(0x777777);
  manager_->PrintRange(5, 5, 0, 0);
  EXPECT_TRUE(ScreenIs(0x777777));  // period 1, never on
}

// --- #32 ---

TEST_F(FadeEffectTest, MeltDownSmearsRowsBelowTheCurve) {
  Resize(32, 600);
  ASSERT_EQ(Start(5, 32, {10}), 1);
  CCommonEffect* melt = manager_->GetEffect(32);
  FillCoordinates();
  melt->Print(&Record(5), 5);  // counter 0: nothing moves
  for (int y = 0; y < 600; ++y) ASSERT_EQ(At(3, y), Coordinates(3, y));
  Record(5).Counter() = 5;
  melt->Print(&Record(5), 5);
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 32; ++x) ASSERT_EQ(At(x, y), Coordinates(x, y < 300 ? y : 299)) << y;
  FillCoordinates();
  Record(5).Counter() = 10;
  melt->Print(&Record(5), 5);
  for (int y = 0; y < 600; ++y) ASSERT_EQ(At(31, y), Coordinates(31, 0));
  EXPECT_EQ(melt->Finish(&Record(5), 5), 1);
  EXPECT_EQ(melt->Finish(&Record(5), 5), 1);
}

// --- #43 ---

TEST_F(FadeEffectTest, MozaicFillsWholeBlocksFromInsideThemselves) {
  Resize(800, 600);
  ASSERT_EQ(Start(5, 43, {100, 16, 16}), 1);
  EXPECT_EQ(std::vector<int>(Record(5).v + 29, Record(5).v + 36),
            (std::vector<int>{100, 16, 16, 0, 0, 800, 600}));
  FillCoordinates();
  crt::srand(77);
  manager_->GetEffect(43)->Print(&Record(5), 5);
  EXPECT_EQ(DrawsSince(77), 101);
  for (int by = 0; by < 37; ++by)
    for (int bx = 0; bx < 50; ++bx) {
      const uint32_t c = At(bx * 16, by * 16);
      const int sx = static_cast<int>(c >> 12), sy = static_cast<int>(c & 0xFFF);
      ASSERT_TRUE(sx >= bx * 16 && sx < bx * 16 + 16 && sy >= by * 16 && sy < by * 16 + 16);
      for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) ASSERT_EQ(At(bx * 16 + x, by * 16 + y), c);
    }
  for (int y = 592; y < 600; ++y)
    for (int x = 0; x < 800; x += 7) ASSERT_EQ(At(x, y), Coordinates(x, y));
}

TEST_F(FadeEffectTest, MozaicRectangleOnlyWhenAllSevenValuesAreGiven) {
  struct Case {
    std::vector<int> values;
    int draws;
    bool sharp;  // pixels (40, 30) and (41, 31), in one block, untouched
  };
  const Case cases[] = {
      {{100, 1, 1}, 0, true},                        // single pixels: nothing
      {{100, 8, 8, 10, 10, 50}, 101, false},         // six values: whole screen
      {{100, 8, 8, 10, 10, 20, 9}, 101, true},       // the rectangle only
      {{100, 8, 8, 60, 10, 20, 20}, 0, true},        // clamped to under a block
      {{100, 8, 8, -5, -5, 20, 20}, 101, true},      // clamped to (0, 0, 15, 15)
      {{100, 8, 8, 0, 0, INT32_MAX, INT32_MAX}, 101, false},
      {{100, INT32_MIN, 3, 0, 0, 64, 48}, 101, false},
      {{100, INT32_MAX, 8, 0, 0, 64, 48}, 0, true},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(Start(5, 43, c.values), 1);
    FillCoordinates();
    crt::srand(5);
    manager_->GetEffect(43)->Print(&Record(5), 5);
    EXPECT_EQ(DrawsSince(5), c.draws) << c.values[1] << " " << c.values.size();
    EXPECT_EQ(At(41, 31) == Coordinates(41, 31) && At(40, 30) == Coordinates(40, 30), c.sharp)
        << c.values.size();
  }
  // (-5, -5, 20, 20) is clamped to (0, 0) .. (15, 15): one whole 8 x 8 block.
  ASSERT_EQ(Start(5, 43, {100, 8, 8, -5, -5, 20, 20}), 1);
  FillCoordinates();
  manager_->GetEffect(43)->Print(&Record(5), 5);
  EXPECT_EQ(At(0, 0), At(7, 7));
  EXPECT_EQ(At(8, 0), Coordinates(8, 0));
  EXPECT_EQ(At(0, 8), Coordinates(0, 8));
}

// --- #54 ---

TEST_F(FadeEffectTest, FillTakesTheLowByteOfEachValueAndHidesItsPicture) {
  ChannelPicture(0, 4, 4, [](int, int) { return 0x123456u; });
  ASSERT_EQ(Start(0, 54, {3, -1, 300}), 1);
  EXPECT_EQ(Record(0).Duration(), 9999);
  EXPECT_EQ(std::vector<int>(Record(0).v + 29, Record(0).v + 33), (std::vector<int>{3, -1, 300, 300}));
  Frame();
  EXPECT_TRUE(ScreenIs(0xFF2C2C));
  EXPECT_EQ(manager_->GetEffect(54)->Finish(&Record(0), 0), 0);
  EXPECT_EQ(manager_->GetEffect(54)->CheckBusy(&Record(0), 0), 1);
}

// --- #55 ---

TEST_F(FadeEffectTest, OldFilmClampsItsValuesAndDrawsSixValuesPerLineReset) {
  crt::srand(9);
  ASSERT_EQ(Start(5, 55, {0, 0, 0, 0, 0, 20, 9}), 1);
  EXPECT_EQ(DrawsSince(9), 60);
  EffectChannel& r = Record(5);
  EXPECT_EQ(r.Duration(), 9999);
  // p3 and p4 given as 0 stay 0; p5 at most 10; p6 into 1..4.
  EXPECT_EQ(std::vector<int>(r.v + 29, r.v + 42),
            (std::vector<int>{0, 0, 0, 0, 0, 10, 4, 128, 128, 128, 200, 80, 30}));
  ASSERT_EQ(Start(5, 55, {}), 1);
  EXPECT_EQ(std::vector<int>(r.v + 29, r.v + 42),
            (std::vector<int>{0, 0, 0, kW, kH, 3, 1, 128, 128, 128, 200, 80, 30}));
  ASSERT_EQ(Start(5, 55, {0, 100, 100, 500, 500, 2, 3}), 1);
  EXPECT_EQ(std::vector<int>(r.v + 30, r.v + 36), (std::vector<int>{kW - 3, kH - 3, 3, 3, 2, 3}));
  for (int i = 0; i < 2; ++i) {
    const int32_t* line = r.v + 45 + 4 * i;
    EXPECT_GE(line[0], (kW - 3) * 256);
    EXPECT_LT(line[0], (kW - 3 + 1) * 256);
    EXPECT_GE(std::abs(line[1]), 128);
    EXPECT_LT(std::abs(line[1]), 1152);
    EXPECT_GE(line[2], 10);
    EXPECT_LT(line[2], 30);
    EXPECT_GE(line[3], 40);  // 200 +- (r mod 160)
    EXPECT_LE(line[3], 359);
  }
}

TEST_F(FadeEffectTest, OldFilmDrawsScratchesOfItsWidthAndResetsDeadLines) {
  // One line, always drawn, white, 4 pixels wide, from row 10 down 20 rows.
  ASSERT_EQ(Start(5, 55, {0, 0, 10, kW, 20, 1, 9, 255, 255, 255, 200, 80, 100}), 1);
  EffectChannel& r = Record(5);
  CCommonEffect* film = manager_->GetEffect(55);
  Clear(0);
  crt::srand(3);
  film->Print(&r, 5);
  EXPECT_EQ(DrawsSince(3), 1);  // only the chance to be drawn
  const int x = r.v[45] / 256;
  for (int dx = -1; dx <= 4; ++dx) {
    if (x + dx >= 0 && x + dx < kW) {
      EXPECT_EQ(At(x + dx, 15), dx >= 0 && dx < 4 ? 0xFFFFFFu : 0u) << dx;
    }
  }
  EXPECT_EQ(At(x, 9), 0u);
  EXPECT_EQ(At(x, 29), 0xFFFFFFu);
  EXPECT_EQ(At(x, 30), 0u);
  // A line at the end of its life is reset (6 draws) before it moves; a
  // countdown at its end draws 3 more.
  r.v[45 + 3] = 1;
  crt::srand(3);
  film->Print(&r, 5);
  EXPECT_EQ(DrawsSince(3), 7);
  r.v[45 + 2] = 1;
  crt::srand(3);
  film->Print(&r, 5);
  EXPECT_EQ(DrawsSince(3), 4);
  EXPECT_EQ(film->GetEndFlag(), 1);
  EXPECT_EQ(film->Finish(&r, 5), 0);
}

// The order of the draws: at a reset countdown, life (amount, then side),
// position, speed, sign; at a speed change countdown, speed, sign.
TEST_F(FadeEffectTest, OldFilmDrawsInItsOrder) {
  auto draws = [](uint32_t seed, int n) {
    crt::srand(seed);
    std::vector<int> d;
    for (int i = 0; i < n; ++i) d.push_back(crt::rand());
    return d;
  };
  crt::srand(11);
  ASSERT_EQ(Start(5, 55, {0, 2, 0, 40, kH, 1, 3, 255, 255, 255, 200, 80, 0}), 1);
  const std::vector<int> d = draws(11, 6);
  const int32_t* line = Record(5).v + 45;
  EXPECT_EQ(line[2], d[0] % 20 + 10);
  EXPECT_EQ(line[3], d[2] % 100 >= 50 ? 200 + d[1] % 160 : 200 - d[1] % 160);
  EXPECT_EQ(line[0], (2 + d[3] % 38) * 256);
  EXPECT_EQ(line[1], (d[4] % 1024 + 128) * (d[5] % 100 < 50 ? -1 : 1));
  // A speed change: the line then moves by its new speed (kept inside the
  // area: lo = 2 x 256, hi = (2 + 40 - 3 + 1) x 256).
  Record(5).v[45 + 2] = 1;
  Record(5).v[45 + 3] = 50;
  Record(5).v[45] = 20 * 256;
  crt::srand(12);
  manager_->GetEffect(55)->Print(&Record(5), 5);
  const std::vector<int> e = draws(12, 4);
  EXPECT_EQ(DrawsSince(12), 4);
  const int speed = (e[1] % 1024 + 128) * (e[2] % 100 < 50 ? -1 : 1);
  EXPECT_EQ(line[2], e[0] % 20 + 10);
  EXPECT_EQ(std::abs(line[1]), std::abs(speed));
  EXPECT_EQ(line[0], std::clamp(20 * 256 + speed, 2 * 256, 40 * 256 - 1));
  EXPECT_EQ(line[3], 49);
}

// A saved record may hold any line count and width: the lines stay within
// the ten SetParam allows, inside the record.
TEST_F(FadeEffectTest, OldFilmFromASaveKeepsToTenLines) {
  ASSERT_EQ(Start(5, 55, {}), 1);
  EffectChannel& r = Record(5);
  r.Param(5) = 1000;
  r.Param(6) = 1000;
  for (int i = 85; i < 253; ++i) r.v[i] = 12345;
  crt::srand(1);
  manager_->GetEffect(55)->Print(&r, 5);
  EXPECT_EQ(DrawsSince(1), 10 + 6 * 7);  // lines 3..9 were never set: reset
  for (int i = 85; i < 253; ++i) ASSERT_EQ(r.v[i], 12345) << i;
  for (int i = 0; i < 10; ++i) {
    EXPECT_GE(r.v[45 + 4 * i], 0);
    EXPECT_LT(r.v[45 + 4 * i], (kW - 4 + 1) * 256);  // width held to 4
  }
  r.Param(5) = -3;
  crt::srand(1);
  manager_->GetEffect(55)->Print(&r, 5);
  EXPECT_EQ(DrawsSince(1), 0);
}

}  // namespace
}  // namespace effect_test
