// The iris (#28), the closing bars (#103), the remembered-scene edges (#26),
// the lamp (#109) and the metallic shine (#112).
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

#include "effect/fadeeffects.h"
#include "effect/overlayeffects.h"
#include "screen_fixture.h"

namespace effect_test {
namespace {

uint32_t Black(int, int) { return 0; }
uint32_t Grey(int, int) { return 0x102030; }
uint8_t Opaque(int, int) { return 255; }

class OverlayTest : public ScreenEffectTest {};

// --- #28 ---

TEST_F(OverlayTest, IrisDefaultsAndCircle) {
  ASSERT_EQ(Start(5, 28, {}), 1);
  // trunc (sqrt (64 x 64 + 48 x 48 / 4)) = trunc (68.35).
  EXPECT_EQ(Params(5, 8), (std::vector<int>{20, 32, 24, 60, 68, 0, 0, 0}));
  ASSERT_EQ(Start(5, 28, {10, 32, 24, 10, 10, 255, 0}), 1);
  EXPECT_EQ(Params(5, 8), (std::vector<int>{10, 32, 24, 10, 10, 255, 0, 0}));
  DrawAt(5, 3);
  struct Probe {
    int x, y;
    bool filled;
  };
  // Row 24: columns 0..22 and 42..63; row 15 (i = -9): m = trunc (sqrt (19)
  // + 0.5) = 4; rows 0..14 and 34.. whole.
  const Probe probes[] = {{22, 24, true},  {23, 24, false}, {41, 24, false}, {42, 24, true},
                          {28, 15, true},  {29, 15, false}, {35, 15, false}, {36, 15, true},
                          {32, 14, true},  {32, 33, false}, {32, 34, true},  {32, 24, false}};
  for (const Probe& p : probes)
    EXPECT_EQ(At(p.x, p.y), p.filled ? 0xFF0000u : kClear) << p.x << "," << p.y;
}

TEST_F(OverlayTest, IrisRadiusStepsInSixtyFourBits) {
  EffectChannel record;
  record.Duration() = 2;
  record.Counter() = 1;
  record.Param(4) = -100;
  record.Param(3) = INT_MAX;
  EXPECT_EQ(CEffectCircle::Radius(record), -100 + (int64_t{INT_MAX} + 100 + 1) / 2);
  record.Param(4) = 10;
  record.Param(3) = -50;
  EXPECT_EQ(CEffectCircle::Radius(record), 1);
  record.Duration() = 0;
  record.Param(3) = 7;
  EXPECT_EQ(CEffectCircle::Radius(record), 7);
  // A huge circle covers the screen; one far away leaves it all coloured.
  ASSERT_EQ(Start(5, 28, {4, 32, 24, INT_MAX, INT_MAX, 255}), 1);
  DrawAt(5, 2);
  EXPECT_TRUE(ScreenIs(kClear));
  ASSERT_EQ(Start(5, 28, {4, INT_MIN, INT_MAX, 5, 5, 255}), 1);
  DrawAt(5, 2);
  EXPECT_TRUE(ScreenIs(0xFFFFFF));
}

TEST_F(OverlayTest, ClosedIrisBecomesAFillInItsColour) {
  struct Case {
    std::vector<int> colour;
    std::vector<int> fill;
    uint32_t pixel;
  };
  // Colours beyond a byte are held to it, never spilling into the next.
  const Case cases[] = {{{10, 20, 30}, {10, 20, 30}, 0x0A141E},
                        {{300, -5, 256}, {255, 0, 255}, 0xFF00FF}};
  for (const Case& c : cases) {
    manager_->ResetAll();
    ASSERT_EQ(Start(5, 28, {4, 32, 24, 1, 68, c.colour[0], c.colour[1], c.colour[2]}), 1);
    for (int i = 0; i < 4; ++i) Frame();
    EXPECT_EQ(Record(5).EffectNumber(), CEffectFill::kNumber);
    EXPECT_EQ(Record(5).Active(), 1);
    EXPECT_EQ(Params(5, 4)[1], c.fill[0]);
    EXPECT_EQ(Params(5, 4)[2], c.fill[1]);
    EXPECT_EQ(Params(5, 4)[3], c.fill[2]);
    // The frames after the close are the colour everywhere.
    for (int i = 0; i < 2; ++i) {
      Frame();
      EXPECT_TRUE(ScreenIs(c.pixel));
      EXPECT_EQ(Record(5).EffectNumber(), CEffectFill::kNumber);
    }
  }
}

TEST_F(OverlayTest, OpenedIrisLeavesAPlainLayerOrSwitchesOff) {
  // The full radius is trunc (68.35 + 0.5) = 68.
  ASSERT_EQ(Start(5, 28, {3, 32, 24, 68, 1}), 1);
  ChannelPicture(6, 8, 8, Grey, Opaque);
  ASSERT_EQ(Start(6, 28, {3, 32, 24, 68, 1}), 1);
  ASSERT_EQ(Start(7, 28, {3, 32, 24, 67, 1}), 1);
  for (int i = 0; i < 5; ++i) Frame();
  EXPECT_EQ(Record(5).Active(), 0);
  EXPECT_EQ(Record(6).Active(), 1);
  EXPECT_EQ(Record(6).EffectNumber(), 0);
  EXPECT_EQ(Record(7).Active(), 1);
  EXPECT_EQ(Record(7).EffectNumber(), 28);
  EXPECT_EQ(manager_->GetEffect(28)->GetOption2(), 1);
}

// --- #103 ---

TEST_F(OverlayTest, BarsCloseFromTheEdgesOntoTheTarget) {
  struct Case {
    int startPercent, counter;
    int left, right, top, bottom;
  };
  // Target (10, 8, 20, 16), thickness 2: the edges at progress 0, the
  // target at 100 % (the start progress 100 from the first frame).
  const Case cases[] = {{0, 0, 0, 62, 0, 46}, {100, 0, 10, 28, 8, 22}, {0, 20, 10, 28, 8, 22},
                        {50, 0, 5, 45, 4, 34}};
  for (const Case& c : cases) {
    ASSERT_EQ(Start(5, 103, {20, 10, 8, 20, 16, 2, 255, 0, 0, 0, 0, 0, c.startPercent}), 1);
    DrawAt(5, c.counter);
    for (int x = 0; x < kW; ++x) {
      const bool bar = (x >= c.left && x < c.left + 2) || (x >= c.right && x < c.right + 2);
      EXPECT_EQ(At(x, c.top + 3 < c.bottom ? c.top + 3 : 30) == 0xFF0000u, bar)
          << c.startPercent << " column " << x;
    }
    for (int y = 0; y < kH; ++y) {
      const bool bar = (y >= c.top && y < c.top + 2) || (y >= c.bottom && y < c.bottom + 2);
      EXPECT_EQ(At(c.left + 3, y) == 0xFF0000u, bar) << c.startPercent << " row " << y;
    }
  }
}

TEST_F(OverlayTest, BarClampsAndFillModes) {
  ASSERT_EQ(Start(5, 103, {20, -5, 100, INT_MAX, 0, 0}), 1);
  EXPECT_EQ(Params(5, 6), (std::vector<int>{20, 0, 47, 64, 1, 1}));
  ASSERT_EQ(Start(5, 103, {20, 0, 0, 1, 1, 1000}), 1);
  EXPECT_EQ(Params(5, 6)[5], kH);
  struct Mode {
    int mode;
    std::vector<int> colour;
    int percent;
    uint32_t pixel;
  };
  // Solid and translucent colours held to 0..255, additive ones to
  // -255..255 (over 0x404040).
  const Mode modes[] = {{0, {256, 0, 3}, 50, 0xFF0003},
                        {1, {300, -5, 64}, 100, 0xFF0040},
                        {1, {0, 0, 0}, 50, 0x202020},
                        {2, {300, -300, 16}, 50, 0xFF0050}};
  for (const Mode& m : modes) {
    ASSERT_EQ(Start(5, 103, {20, 10, 8, 20, 16, 1, m.colour[0], m.colour[1], m.colour[2], m.mode,
                             0, 0, 0, m.percent}),
              1);
    DrawAt(5, 0);
    EXPECT_EQ(At(0, 20), m.pixel) << m.mode;
    EXPECT_EQ(At(5, 20), kClear);
  }
  // Start progress x 100 and target x progress beyond 32 bits: the bars
  // lie far off the screen.
  for (int v : {INT_MAX, INT_MIN}) {
    ASSERT_EQ(Start(5, 103, {20, 10, 8, 20, 16, 1, 255, 0, 0, 0, 0, 0, v}), 1);
    DrawAt(5, 0);
    Record(5).Param(1) = v;
    Record(5).Param(3) = v;
    Record(5).Param(5) = v;
    DrawAt(5, 0);
  }
}

// --- #26 ---

TEST_F(OverlayTest, RememberStoresNothingAndSharesItsCount) {
  for (int i = 0; i < 4; ++i) Record(5).Param(i) = 77;
  ASSERT_EQ(Start(5, 26, {5, 6, 7}), 1);
  EXPECT_EQ(Record(5).Duration(), 99999);
  EXPECT_EQ(Params(5, 4), (std::vector<int>{77, 77, 77, 77}));
  auto* remember = static_cast<CEffectRemember*>(manager_->GetEffect(26));
  ASSERT_EQ(Start(9, 26, {}), 1);
  Frame();
  Frame();
  EXPECT_EQ(remember->GetFrameCount(), 4);
  remember->SetFrameCount(100000000);
  Frame();
  EXPECT_EQ(remember->GetFrameCount(), 1);
  Record(5).Counter() = 50;
  manager_->RestoreEffects();
  EXPECT_EQ(Record(5).Counter(), 0);
  EXPECT_EQ(Record(5).EffectNumber(), 26);
  EXPECT_EQ(manager_->GetEffect(26)->Finish(&Record(5), 5), 1);
}

// Row y as the whitening leaves a screen of `before` (top byte set): pair
// j gains 4 per pair from the left edge's pair down (that pair may lie
// beyond a narrow row) and from the right edge's pair up, saturating;
// whitened pixels lose the top byte.
void ExpectWhitenedRow(const CEffectRemember& remember, int w, int y, uint32_t before) {
  const int pairs = (w + 1) / 2;
  const int64_t from = int64_t{remember.LeftEdges()[y]} + 64;
  const int64_t to = int64_t{remember.RightEdges()[y]} - 64;
  const int64_t first = from >= 0 ? std::min<int64_t>(from / 2, pairs - 1) : -1;
  const int64_t last = to >= 0 && to < w ? to / 2 : INT_MAX;
  for (int x = 0; x < w; ++x) {
    const int64_t pair = x / 2;
    if (pair > first && pair < last) {
      ASSERT_EQ(EffectTest::At(x, y), before) << x << "," << y;
      continue;
    }
    int64_t add = 0;
    if (pair <= first) add += 4 * (from / 2 - pair);
    if (pair >= last) add += 4 * (pair - last);
    const auto v = static_cast<uint32_t>(std::min<int64_t>((before & 255) + add, 255));
    ASSERT_EQ(EffectTest::At(x, y), v * 0x010101u) << x << "," << y;
  }
}

TEST_F(OverlayTest, RememberWhitensPairsTowardBothSides) {
  Screen(800, 600);
  auto* remember = static_cast<CEffectRemember*>(manager_->GetEffect(26));
  uint32_t* screen = CScreenBuffer::GetBuffer();
  std::fill_n(screen, 800 * 600, 0xFF404040u);
  remember->MakeEdges(123, 800, 600);
  remember->Whiten(screen, 800, 600);
  for (int y : {0, 99, 300, 550, 599}) {
    // About 64 pixels in from each side: a ramp of some 64 pairs.
    EXPECT_GT(remember->LeftEdges()[y] + 64, 0);
    EXPECT_LT(remember->RightEdges()[y] - 64, 800);
    ExpectWhitenedRow(*remember, 800, y, 0xFF404040u);
  }
  // The rounded top pulls the edges in: at row 0 by 0.4 of row 100's span.
  EXPECT_GT(remember->LeftEdges()[0], remember->LeftEdges()[100] + 100);
  EXPECT_LT(remember->RightEdges()[0], remember->RightEdges()[100] - 100);
}

TEST_F(OverlayTest, RememberOnSmallAndOddScreensStaysInside) {
  for (auto [w, h] : {std::pair{33, 33}, {64, 48}, {801, 101}, {5, 1}}) {
    Screen(w, h);
    ASSERT_EQ(Start(5, 26, {}), 1);
    for (int i = 0; i < 3; ++i) Frame();
    auto* remember = static_cast<CEffectRemember*>(manager_->GetEffect(26));
    ASSERT_EQ(remember->LeftEdges().size(), static_cast<size_t>(h));
    std::fill_n(CScreenBuffer::GetBuffer(), static_cast<size_t>(w) * h, 0x10101u);
    remember->Whiten(CScreenBuffer::GetBuffer(), w, h);
    for (int y = 0; y < h; ++y) ExpectWhitenedRow(*remember, w, y, 0x10101u);
  }
}

// --- #109 ---

TEST_F(OverlayTest, LampStatesDrawInTheirOrder) {
  ASSERT_EQ(Start(5, 109, {0, 20, 0, 40}), 1);
  EXPECT_EQ(Record(5).Duration(), 999999);
  EXPECT_EQ(Params(5, 18), (std::vector<int>{0, 20, 0, 40, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                             0, 0}));
  auto* lamp = manager_->GetEffect(109);
  const std::vector<int> r = Draws(11, 4);
  // Flickering ends at once: steady 0, so dark, for 40 + r mod 40 - 20.
  lamp->Calcu(&Record(5), 5);
  EXPECT_EQ(Record(5).Param(CEffectOldLamp::kState), CEffectOldLamp::kDark);
  const int dark = 40 + r[1] % 40 - 20;
  EXPECT_EQ(Record(5).Param(CEffectOldLamp::kTimer), dark);
  for (int i = 0; i <= dark; ++i) lamp->Calcu(&Record(5), 5);
  EXPECT_EQ(Record(5).Param(CEffectOldLamp::kState), CEffectOldLamp::kFlickering);
  EXPECT_EQ(Record(5).Param(CEffectOldLamp::kTimer), 20 + r[2] % 20 - 10);
  // A steady length of 0 never lights it for good.
  for (int i = 0; i < 3000; ++i) {
    lamp->Calcu(&Record(5), 5);
    ASSERT_NE(Record(5).Param(CEffectOldLamp::kState), CEffectOldLamp::kSteady);
  }
  // Steady and dark lengths whose sum passes 32 bits.
  ASSERT_EQ(Start(5, 109, {0, 5, INT_MAX, INT_MAX}), 1);
  for (int i = 0; i < 3; ++i) lamp->Calcu(&Record(5), 5);
  EXPECT_GE(Record(5).Param(CEffectOldLamp::kTimer), 1);
  // With no dark length it goes steady.
  ASSERT_EQ(Start(5, 109, {0, 5, 10, 0}), 1);
  lamp->Calcu(&Record(5), 5);
  EXPECT_EQ(Record(5).Param(CEffectOldLamp::kState), CEffectOldLamp::kSteady);
}

TEST_F(OverlayTest, LampDrawsThePictureWhenLit) {
  ChannelPicture(5, 4, 4, Grey, Opaque);
  auto* lamp = manager_->GetEffect(109);
  struct Case {
    int state, timer, on, off, chance;
    bool lit;
    int draws;
  };
  const Case cases[] = {{CEffectOldLamp::kDark, 0, 1, 1, 100, false, 0},
                        {CEffectOldLamp::kSteady, 0, 1, 1, 100, true, 0},
                        {CEffectOldLamp::kFlickering, 4, 2, 3, 0, false, 0},
                        {CEffectOldLamp::kFlickering, 6, 2, 3, 0, true, 0},
                        {7, 6, 2, 3, 0, true, 0},
                        {CEffectOldLamp::kFlickering, 6, 2, 3, 100, false, 1},
                        {CEffectOldLamp::kFlickering, INT_MIN, INT_MAX, INT_MAX, 0, true, 0}};
  for (const Case& c : cases) {
    ASSERT_EQ(Start(5, 109, {0, 20, 0, 40, c.on, c.off, c.chance}), 1);
    Record(5).Param(CEffectOldLamp::kState) = c.state;
    Record(5).Param(CEffectOldLamp::kTimer) = c.timer;
    crt::srand(3);
    DrawAt(5, 0);
    EXPECT_EQ(At(1, 1) == 0x102030u, c.lit) << c.state << " " << c.timer;
    const int next = crt::rand();
    EXPECT_EQ(next, Draws(3, c.draws + 1).back()) << c.state << " " << c.timer;
  }
  EXPECT_EQ(lamp->CheckPrintPicture(&Record(5), 5), 0);
  // A timer at the bottom of the range runs out without wrapping.
  Record(5).Param(CEffectOldLamp::kTimer) = INT_MIN;
  lamp->Calcu(&Record(5), 5);
  EXPECT_GE(Record(5).Param(CEffectOldLamp::kTimer), 1);
}

// --- #112 ---

TEST_F(OverlayTest, ShineRampsOverItsSoftEdges) {
  // Direction 1, band 64, soft 25 %: 16 pixels of ramp each side.
  ChannelPicture(5, 64, 4, Black, Opaque);
  ASSERT_EQ(Start(5, 112, {1, 1, 64, 25}), 1);
  // At the end the band lies over the picture's 64 columns (pos 64).
  DrawAt(5, 1);
  const int expected[][2] = {{0, 0}, {1, 15}, {8, 127}, {15, 239}, {16, 255},
                             {47, 255}, {48, 255}, {56, 127}, {63, 15}};
  for (const auto& [x, v] : expected)
    EXPECT_EQ(At(x, 2), static_cast<uint32_t>(v) * 0x010101u) << x;
  EXPECT_EQ(At(0, 4), kClear);
  // At the start the band lies left of the picture.
  DrawAt(5, 0);
  EXPECT_EQ(At(0, 0), 0u);
}

TEST_F(OverlayTest, ShineBlendsThroughTheMaskAndNeedsOne) {
  ChannelPicture(5, 8, 8, Grey, [](int x, int) { return static_cast<uint8_t>(x == 0 ? 0 : 128); });
  // Half way down (pos 36 of 72) the band covers the picture's rows.
  ASSERT_EQ(Start(5, 112, {2, 0, 64, 0, 0, 0, 16, 0, 0}), 1);
  DrawAt(5, 1);
  EXPECT_EQ(At(0, 0), kClear);
  // v = 0x102030 + 0x100000; (v 128 >> 8) + (0x40 128 >> 8) per byte.
  EXPECT_EQ(At(3, 3), 0x303038u);
  // No mask, 8-bit or no picture: nothing at all.
  ChannelPicture(6, 8, 8, Grey);
  ASSERT_EQ(Start(6, 112, {1}), 1);
  DrawAt(6, 1);
  EXPECT_TRUE(ScreenIs(kClear));
  ASSERT_EQ(Start(7, 112, {1}), 1);
  DrawAt(7, 1);
  EXPECT_TRUE(ScreenIs(kClear));
  // Nor does the manager draw the picture.
  manager_->ResetAll();
  ChannelPicture(6, 8, 8, Grey);
  ASSERT_EQ(Start(6, 112, {1}), 1);
  Frame();
  EXPECT_TRUE(ScreenIs(0));
}

TEST_F(OverlayTest, ShineColoursAreHeldToBytes) {
  std::vector<uint32_t> table(20, 7);
  CEffectCharaMetal::MakeTable(table.data(), 12, 2, 8, 0, 300, -5, 16);
  EXPECT_EQ(table, (std::vector<uint32_t>{0, 0, 0xFF0010, 0xFF0010, 0xFF0010, 0xFF0010, 0xFF0010,
                                          0xFF0010, 0xFF0010, 0xFF0010, 0, 0, 7, 7, 7, 7, 7, 7,
                                          7, 7}));
  // Entries outside the table are skipped.
  CEffectCharaMetal::MakeTable(table.data(), 12, -6, 8, 50, 255, 255, 255);
  EXPECT_EQ(table[0], 0x7F7F7Fu);
  EXPECT_EQ(table[1], 0x3F3F3Fu);
  EXPECT_EQ(table[2], 0u);
  EXPECT_EQ(table[12], 7u);
}

TEST_F(OverlayTest, ShineBandIsHeldToTheWorkBuffer) {
  const int capacity = manager_->GetWorkBufferSize() / 4;
  EXPECT_EQ(CEffectCharaMetal::BandWidth(INT_MAX, kW, kH, capacity), capacity - kW - kH);
  EXPECT_EQ(CEffectCharaMetal::BandWidth(-5, kW, kH, capacity), 0);
  EXPECT_EQ(CEffectCharaMetal::BandWidth(64, kW, kH, capacity), 64);
  ChannelPicture(5, kW, kH, Grey, Opaque);
  for (int direction : {0, 1, 2, 3, 7})
    for (int band : {INT_MAX, INT_MIN, 0, 1}) {
      ASSERT_EQ(Start(5, 112, {4, direction, band, INT_MAX, 0, 0, INT_MAX, INT_MIN, 5}), 1);
      for (int counter : {0, 2, 4}) DrawAt(5, counter);
    }
  // Directions beyond 0..3 draw as 0.
  ASSERT_EQ(Start(5, 112, {4, 0, 20}), 1);
  DrawAt(5, 2);
  const std::vector<uint32_t> down(CScreenBuffer::GetBuffer(), CScreenBuffer::GetBuffer() + kW * kH);
  ASSERT_EQ(Start(5, 112, {4, 9, 20}), 1);
  DrawAt(5, 2);
  EXPECT_EQ(std::vector<uint32_t>(CScreenBuffer::GetBuffer(), CScreenBuffer::GetBuffer() + kW * kH),
            down);
}

TEST_F(OverlayTest, ShineRowGivesThePlainLoopsBytes) {
  crt::srand(5);
  const int n = 37;
  std::vector<uint32_t> picture(n), colour(n), screen(n);
  std::vector<uint8_t> mask(n);
  for (int round = 0; round < 50; ++round) {
    for (int i = 0; i < n; ++i) {
      picture[i] = static_cast<uint32_t>(crt::rand()) << 9 ^ static_cast<uint32_t>(crt::rand());
      picture[i] &= 0xFFFFFF;
      colour[i] = (static_cast<uint32_t>(crt::rand()) << 9 ^ static_cast<uint32_t>(crt::rand())) &
                  0xFFFFFF;
      screen[i] = (static_cast<uint32_t>(crt::rand()) << 9 ^ static_cast<uint32_t>(crt::rand())) &
                  0xFFFFFF;
      // Every other round whole groups of four of one kind.
      const int k = round % 2 ? crt::rand() % 4 : (i / 4) % 3;
      mask[i] = static_cast<uint8_t>(k == 0 ? 0 : k == 1 ? 255 : crt::rand() % 256);
    }
    for (int step : {0, 1}) {
      std::vector<uint32_t> plain = screen, fast = screen;
      CEffectCharaMetal::ShineRowPlain(plain.data(), picture.data(), mask.data(), colour.data(),
                                       step, n);
      CEffectCharaMetal::ShineRow(fast.data(), picture.data(), mask.data(), colour.data(), step, n);
      ASSERT_EQ(fast, plain) << round << " " << step;
    }
  }
}

}  // namespace
}  // namespace effect_test
