#include "effect/filtereffects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

#include "effect/calcucurve.h"
#include "effect_fixture.h"

namespace effect_test {
namespace {

// Every byte of every pixel differs from its neighbours'.
uint32_t Mixed(int x, int y) {
  return static_cast<uint32_t>((x * 37 + y * 11) & 0xFF) << 16 |
         static_cast<uint32_t>((x * 5 + y * 71 + 40) & 0xFF) << 8 |
         static_cast<uint32_t>((x * 13 ^ y * 29) & 0xFF);
}
uint32_t Byte(uint32_t p, int c) { return (p >> (8 * c)) & 0xFF; }

class FilterTest : public EffectTest {
 protected:
  int W() const { return CScreenBuffer::GetWidth(); }
  int H() const { return CScreenBuffer::GetHeight(); }
  // A new screen (and manager) of another size.
  void Resize(int w, int h) {
    manager_.reset();
    screen_ = std::make_unique<CScreenBuffer>(w, h, 0);
    manager_ = std::make_unique<CEffectManager>(kExtra);
  }
  void FillMixed() {
    for (int y = 0; y < H(); ++y)
      for (int x = 0; x < W(); ++x) At(x, y) = Mixed(x, y);
  }
  std::vector<uint32_t> Pixels() const {
    const uint32_t* p = CScreenBuffer::GetBuffer();
    return std::vector<uint32_t>(p, p + static_cast<size_t>(W()) * H());
  }
  // Starts `number` on channel 5 and draws its Print alone at `counter`.
  EffectChannel* StartAt(int number, std::vector<int> values) {
    EXPECT_EQ(Start(5, number, std::move(values)), 1);
    return manager_->GetChannel(5);
  }
  void PrintAt(EffectChannel* record, int counter) {
    record->Counter() = counter;
    manager_->GetEffect(record->EffectNumber())->Print(record, 5);
  }
  // Every pixel against a per-pixel rule of the old one.
  template <typename Rule>
  void ExpectEachPixel(const std::vector<uint32_t>& before, Rule rule) {
    for (int y = 0; y < H(); ++y)
      for (int x = 0; x < W(); ++x) {
        const uint32_t old = before[static_cast<size_t>(y) * W() + x];
        ASSERT_EQ(At(x, y), rule(old, x, y)) << x << "," << y;
      }
  }
};

// Each colour byte through f, the top byte 0.
template <typename F>
uint32_t PerByte(uint32_t p, F f) {
  return f(Byte(p, 2), 2) << 16 | f(Byte(p, 1), 1) << 8 | f(Byte(p, 0), 0);
}
uint32_t Saturate(int64_t v) { return static_cast<uint32_t>(std::clamp<int64_t>(v, 0, 255)); }

constexpr int kOurs[] = {20, 23, 29, 31, 33, 50, 74, 76, 128, 129};

TEST_F(FilterTest, DefaultsAndLimits) {
  struct Case {
    int number;
    std::vector<int> given;
    std::vector<int> kept;
  };
  const std::vector<Case> cases = {
      {20, {}, {20, 64, 64, 64, 0, 0}},
      {20, {5, -30}, {5, -30, -30, -30, 0, 0}},
      {23, {}, {60, 0, 31, 0, 0}},  // 64 is beyond W / 2
      {23, {60, 32, 900}, {60, 31, 31, 0, 0}},
      {29, {}, {0, 0, 100, 100, 0, 0, 0, 0, kW, kH}},
      {29, {9, 1, 80}, {9, 1, 80, 80, 0, 0, 0, 0, kW, kH}},
      {29, {9, 1, 80, 5, 0, 0, 70, -3, 200, 100}, {9, 1, 80, 5, 0, 0, 63, 0, 1, kH}},
      {31, {}, {20, 0, 0, 100, 0}},
      {33, {}, {20, 0, 100, 0, 0}},
      {50, {}, {20, 0, 0, 0, 255, 255, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0, kH, 0}},
      {50, {20, 0, 0, 0, 9, 9, 9, 0, 0, 0, 0, 0, 0, 0, 0, 40, 100},
       {20, 0, 0, 0, 9, 9, 9, 0, 0, 0, 0, 0, 0, 0, 0, 40, 8, 0}},
      {74, {}, {20, kW / 2, kH / 2, 105, 105, 20, 20, 0, 0, 0, 0, kW / 2, kH / 2, 0, 0, 0}},
      {74, {20, 0, 900, 150}, {20, 1, kH - 2, 150, 150, 20, 20, 0, 0, 0, 0, 1, kH - 2, 0, 0, 0}},
      {76, {}, {20, 0, 0, 0, 32, 36}},
      {76, {20, 2, 0, 0, 999, 3}, {20, 2, 0, 0, 255, 259}},
      {128, {}, {20, 0, 0, 100, 0, 107, 74, 43}},
      {129, {}, {20, 0, 0, 100, 0}},
  };
  for (const Case& c : cases) {
    manager_->ResetAll();
    EffectChannel* record = StartAt(c.number, c.given);
    const std::vector<int> kept(record->v + 29, record->v + 29 + c.kept.size());
    EXPECT_EQ(kept, c.kept) << c.number;
    EXPECT_EQ(record->Duration(), c.kept[0]);
  }
  // The negative accepts 16 values and keeps 5.
  EffectChannel* record = manager_->GetChannel(5);
  record->Param(5) = -7;
  ASSERT_EQ(Start(5, 31, std::vector<int>(16, 3)), 1);
  EXPECT_EQ(record->Param(4), 3);
  EXPECT_EQ(record->Param(5), -7);
}

TEST_F(FilterTest, EveryFilterBearsRepeatedFinishes) {
  ChannelPicture(0, kW, kH, Mixed);
  for (int number : kOurs) {
    manager_->ResetAll();
    manager_->SetPicture(0, 0);
    ASSERT_EQ(Start(0, 0, {}), 1);
    ASSERT_EQ(Start(4, number, {3}), 1);
    for (int i = 0; i < 6; ++i) Frame();
    EXPECT_EQ(manager_->GetChannel(4)->EffectNumber(), number);
    EXPECT_EQ(manager_->GetChannel(4)->Counter(), 3);
  }
}

TEST_F(FilterTest, LightAddsItsCurvedOffsetsWithSaturation) {
  EffectChannel* record = StartAt(20, {10, 100, -50, 300});
  for (int counter : {0, 5, 10}) {
    FillMixed();
    const auto before = Pixels();
    PrintAt(record, counter);
    const int off[3] = {CalcuCurve(counter, 10, 0, 300, 0, 0), CalcuCurve(counter, 10, 0, -50, 0, 0),
                        CalcuCurve(counter, 10, 0, 100, 0, 0)};
    ExpectEachPixel(before, [&](uint32_t p, int, int) {
      return PerByte(p, [&](uint32_t v, int c) { return Saturate(int64_t{v} + off[c]); });
    });
  }
}

TEST_F(FilterTest, RasterShiftsRowsAlongTheWave) {
  // No amplitude: nothing drawn, at any frame.
  EffectChannel* record = StartAt(23, {20, 0, 0});
  FillMixed();
  const auto before = Pixels();
  for (int counter : {0, 7, 20}) PrintAt(record, counter);
  EXPECT_EQ(Pixels(), before);
  // The defaults: nothing at the start, the full wave at the end, each
  // row shifted and filled with black.
  record = StartAt(23, {});
  PrintAt(record, 0);
  EXPECT_EQ(Pixels(), before);
  PrintAt(record, 60);
  int moved = 0;
  for (int y = 0; y < kH; ++y) {
    // p2 > p1: the phase runs backward from the duration.
    const int t = 60 - 60, amplitude = 31;
    int d = ClampToInt(std::cos(6.28318 / kH * 3.0 * (-y + 10 * t)) * amplitude + 0.5);
    moved += d != 0;
    for (int x = 0; x < kW; ++x) {
      const int from = x - d;
      const uint32_t want = from >= 0 && from < kW ? Mixed(from, y) : 0;
      ASSERT_EQ(At(x, y), want) << x << "," << y;
    }
  }
  EXPECT_GT(moved, kH / 2);
}

TEST_F(FilterTest, NoiseFillsItsTableWithTwoDrawsAWord) {
  crt::srand(77);
  std::vector<int> sequence;
  for (int i = 0; i < 1000; ++i) sequence.push_back(crt::rand());
  crt::srand(77);
  EffectChannel* record = StartAt(29, {});
  auto* noise = static_cast<CEffectSuna*>(manager_->GetEffect(29));
  const auto& table = noise->GetTable();
  const size_t words = (kW / 2) * (kH / 2) / 4;
  ASSERT_EQ(table.size(), words);
  EXPECT_EQ(table[0], static_cast<uint32_t>(sequence[0] | sequence[1] << 16));
  EXPECT_EQ(table[5], static_cast<uint32_t>(sequence[10] | sequence[11] << 16));
  EXPECT_EQ(crt::rand(), sequence[2 * words]);
  EXPECT_EQ(noise->GetPhase(), 0);

  // A frame renews every other word (odd ones first), then draws the
  // blocks at full level: the area's 2 x 2 blocks are the table's greys.
  crt::srand(5);
  const int renewed = kW * kH / 32;
  std::vector<uint32_t> expected = table;
  std::vector<int> draws;
  for (int i = 0; i < 2 * renewed + 1; ++i) draws.push_back(crt::rand());
  for (int i = 0; i < renewed; ++i)
    expected[1 + 2 * i] ^= static_cast<uint32_t>(draws[2 * i] | draws[2 * i + 1] << 16);
  crt::srand(5);
  FillMixed();
  PrintAt(record, 0);
  EXPECT_EQ(noise->GetPhase(), 1);
  EXPECT_EQ(table, expected);
  EXPECT_EQ(crt::rand(), draws[2 * renewed]);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const uint32_t word = table[(y / 2) * (kW / 8) + x / 8] << 1;
      const uint32_t g = (word >> (8 * ((x % 8) / 2))) & 0xFF;
      ASSERT_EQ(At(x, y), g << 16 | g << 8 | g) << x << "," << y;
    }
}

TEST_F(FilterTest, NoiseLevelBlendsAndAreasRoundDown) {
  // p1 set: the level follows the curve from p3 to p2 percent.
  EffectChannel* record = StartAt(29, {10, 1, 100, 0, 0, 0, 9, 3, 20, 7});
  auto* noise = static_cast<CEffectSuna*>(manager_->GetEffect(29));
  FillMixed();
  auto before = Pixels();
  PrintAt(record, 0);  // level 0: renewed, nothing drawn
  EXPECT_EQ(Pixels(), before);
  PrintAt(record, 5);  // level 128, area x 8..23, y 2..7
  const auto& table = noise->GetTable();
  ExpectEachPixel(before, [&](uint32_t p, int x, int y) {
    if (x < 8 || x >= 24 || y < 2 || y >= 8) return p;
    const uint32_t word = table[((y - 2) / 2) * 2 + (x - 8) / 8] << 1;
    const uint32_t g = (word >> (8 * ((x % 8) / 2))) & 0xFF;
    return PerByte(p, [&](uint32_t v, int) { return (v * 128) / 256 + (g * 128) / 256; });
  });
  // p8 = 4 rounds down to an empty area: nothing drawn, no draws made.
  record = StartAt(29, {10, 0, 100, 0, 0, 0, 0, 0, 4});
  before = Pixels();
  crt::srand(3);
  const int next = crt::rand();
  crt::srand(3);
  PrintAt(record, 3);
  EXPECT_EQ(Pixels(), before);
  EXPECT_EQ(crt::rand(), next);
}

TEST_F(FilterTest, NoiseIsSharedRestoredAndHeldToTheScreen) {
  auto* noise = static_cast<CEffectSuna*>(manager_->GetEffect(29));
  ASSERT_EQ(Start(4, 29, {30}), 1);
  ASSERT_EQ(Start(6, 29, {30}), 1);
  // Two channels each turn the one phase.
  Frame();
  EXPECT_EQ(noise->GetPhase(), 0);
  manager_->GetChannel(6)->EffectNumber() = 0;
  Frame();
  EXPECT_EQ(noise->GetPhase(), 1);
  // Restore refills the table from new draws and keeps the counter.
  EffectChannel* record = manager_->GetChannel(4);
  const std::vector<uint32_t> old = noise->GetTable();
  record->Counter() = 12;
  noise->Restore(record, 4);
  EXPECT_EQ(record->Counter(), 12);
  EXPECT_EQ(noise->GetPhase(), 0);
  EXPECT_NE(noise->GetTable(), old);
  // A save whose p0 lies below the counter keeps the counter within it.
  record->Param(0) = 5;
  noise->Restore(record, 4);
  EXPECT_EQ(record->Duration(), 5);
  EXPECT_EQ(record->Counter(), 5);
  // A record from a save with an area beyond the screen draws the screen.
  record->Param(6) = -40;
  record->Param(7) = -40;
  record->Param(8) = 1 << 30;
  record->Param(9) = 1 << 30;
  FillMixed();
  const auto before = Pixels();
  PrintAt(record, 0);
  for (auto [x, y] : {std::pair{0, 0}, std::pair{kW - 1, kH - 1}, std::pair{0, kH - 1}}) {
    const uint32_t p = At(x, y);
    EXPECT_TRUE(Byte(p, 0) == Byte(p, 1) && Byte(p, 1) == Byte(p, 2)) << x << "," << y;
    EXPECT_NE(p, before[static_cast<size_t>(y) * kW + x]);
  }
}

TEST_F(FilterTest, NegativeScalesAroundTheMiddle) {
  const uint32_t black = 0, white = 0xFFFFFF;
  EffectChannel* record = StartAt(31, {10, 0, 0, 50});
  Clear(0x123456);
  PrintAt(record, 10);
  EXPECT_TRUE(ScreenIs(0x808080));
  // At 100 % the curve ends at -253 (it rounds -253.5 toward zero): black
  // becomes 254 and white 2; beyond 100 % the factor reaches -254, black
  // 255 and white 1.
  for (auto [strength, fromBlack, fromWhite] : {std::tuple{100, 0xFEFEFEu, 0x020202u},
                                               std::tuple{101, 0xFFFFFFu, 0x010101u}}) {
    record = StartAt(31, {10, 0, 0, strength});
    At(0, 0) = black;
    At(1, 0) = white;
    PrintAt(record, 10);
    EXPECT_EQ(At(0, 0), fromBlack);
    EXPECT_EQ(At(1, 0), fromWhite);
  }
  // Half way: f = 254 - 254 = 0 at 50 %, so at counter 5 of 0 -> 100 %.
  record = StartAt(31, {10, 0, 0, 80, 10});
  FillMixed();
  const auto before = Pixels();
  PrintAt(record, 5);
  const int f = CalcuCurve(5, 10, 254 - 50, 254 - 406, 0, 0);
  ExpectEachPixel(before, [&](uint32_t p, int, int) {
    return PerByte(p, [&](uint32_t v, int) {
      return Saturate(static_cast<int>(std::floor((static_cast<int>(v) - 128) * f / 256.0)) + 128);
    });
  });
}

// The relief rule on a copy: each pixel against the next in the sequence.
uint32_t Relief(const std::vector<uint32_t>& old, size_t i, int level) {
  return PerByte(old[i], [&](uint32_t v, int c) {
    const int p = static_cast<int>(v), q = static_cast<int>(Byte(old[i + 1], c));
    const int e = static_cast<int>(std::floor((p - q) / 2.0)) + 128;
    return Saturate(e * level / 256 + p * (256 - level) / 256);
  });
}

TEST_F(FilterTest, ReliefEmbossesEveryPixelAgainstTheNext) {
  for (auto [w, h] : {std::pair{kW, kH}, std::pair{37, 5}}) {
    Resize(w, h);
    for (int strength : {0, 100, 35}) {
      EffectChannel* record = StartAt(33, {10, 0, strength, 0});
      FillMixed();
      const auto old = Pixels();
      PrintAt(record, 10);
      const int level = strength * 256 / 100;
      const size_t n = old.size();
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          const size_t i = static_cast<size_t>(y) * w + x;
          uint32_t want;
          if (x == w - 1)
            want = y == h - 1 ? old[i - 1] : Relief(old, i - 1, level);
          else
            want = i + 2 < n ? Relief(old, i, level) : old[i];
          ASSERT_EQ(At(x, y), want) << w << " " << strength << " " << x << "," << y;
        }
    }
  }
}

TEST(FilterRows, ReliefNegativeAndNoiseGiveThePlainLoopsBytes) {
  std::vector<uint32_t> pixels(203);
  uint32_t state = 12345;
  for (uint32_t& p : pixels) {
    state = state * 1103515245 + 12345;
    p = state >> 4;  // top bytes too: the filter writes them as 0
  }
  pixels[7] = 0xFFFFFF;
  pixels[8] = 0;
  for (int level : {0, 1, 77, 128, 255, 256})
    for (size_t n : {size_t{0}, size_t{1}, size_t{3}, size_t{4}, size_t{5}, size_t{202}}) {
      std::vector<uint32_t> plain = pixels, fast = pixels;
      filterrows::ReliefScalar(plain.data(), n, level);
      filterrows::Relief(fast.data(), n, level);
      ASSERT_EQ(plain, fast) << level << " " << n;
    }
  for (int f : {-254, -253, -100, -1, 0, 1, 99, 254})
    for (size_t n : {size_t{3}, size_t{4}, size_t{203}}) {
      std::vector<uint32_t> plain = pixels, fast = pixels;
      filterrows::NegaScalar(plain.data(), n, f);
      filterrows::Nega(fast.data(), n, f);
      ASSERT_EQ(plain, fast) << f << " " << n;
    }
  for (int level : {1, 100, 255, 256}) {
    std::vector<uint32_t> plain = pixels, fast = pixels;
    filterrows::NoiseScalar(plain.data(), pixels.data() + 50, 25, level);
    filterrows::Noise(fast.data(), pixels.data() + 50, 25, level);
    ASSERT_EQ(plain, fast) << level;
  }
}

TEST_F(FilterTest, GradationAddsARampToItsBand) {
  // A band of 0 rows draws nothing.
  EffectChannel* record = StartAt(50, {10, 0, 0, 0, 255, 255, 255, 0, 0, 0, 0, 0, 0, 0, 0, 5, 0});
  FillMixed();
  auto before = Pixels();
  PrintAt(record, 10);
  EXPECT_EQ(Pixels(), before);
  // Rows 10..29 at the end: red from 0 down to -200, blue from 40 to 255.
  record = StartAt(50, {10, 0, 0, 40, -200, 0, 255, 0, 0, 0, 0, 0, 0, 0, 0, 10, 20});
  PrintAt(record, 10);
  const int red = CalcuCurve(10, 10, 0, -200, 0, 0);  // -199: the curve rounds toward zero
  ExpectEachPixel(before, [&](uint32_t p, int, int y) {
    if (y < 10 || y >= 30) return p;
    const int j = y - 10;
    const int off[3] = {40 + (255 - 40) * j / 20, 0, red * j / 20};
    return PerByte(p, [&](uint32_t v, int c) { return Saturate(int64_t{v} + off[c]); });
  });
}

TEST_F(FilterTest, ZoomBlendLeavesTheScreenAtOpacityZeroOrNoZoom) {
  FillMixed();
  const auto before = Pixels();
  EffectChannel* record = StartAt(74, {10, 30, 20, 200, 200, 0});
  PrintAt(record, 5);
  EXPECT_EQ(Pixels(), before);
  record = StartAt(74, {10, 30, 20, 100, 100, 100});
  PrintAt(record, 5);
  EXPECT_EQ(Pixels(), before);
}

TEST_F(FilterTest, ZoomBlendMagnifiesAroundAMovingCentre) {
  auto* bura = static_cast<CEffectBura*>(manager_->GetEffect(74));
  EffectChannel* record = StartAt(74, {10, 40, 30, 200, 200, 100, 100, 0, 0, 0, 0, 10, 6});
  FillMixed();
  const auto before = Pixels();
  PrintAt(record, 5);
  EXPECT_EQ(bura->GetCenterX(), 25);
  EXPECT_EQ(bura->GetCenterY(), 18);
  // At 200 % and full opacity the corner shows the point half-way to the
  // centre; the centre keeps its own pixel.
  EXPECT_EQ(At(0, 0), before[9 * kW + 12]);
  EXPECT_EQ(At(kW - 1, kH - 1), before[33 * kW + 44]);
  EXPECT_EQ(At(25, 18), before[18 * kW + 25]);
  for (int counter : {10, 40}) {
    PrintAt(record, counter);
    EXPECT_EQ(bura->GetCenterX(), 40);
    EXPECT_EQ(bura->GetCenterY(), 30);
  }
  // A start centre beyond the screen (the start values are not limited) is
  // held inside it.
  record->Param(11) = -5000;
  record->Param(12) = 1 << 30;
  PrintAt(record, 0);
  EXPECT_EQ(bura->GetCenterX(), 1);
  EXPECT_EQ(bura->GetCenterY(), kH - 2);
}

TEST_F(FilterTest, ZoomBlendMixesAtItsOpacity) {
  // 200 % around (32, 24) at 25 %: corners take the points half-way in.
  EffectChannel* record = StartAt(74, {10, 32, 24, 200, 200, 25});
  FillMixed();
  const auto before = Pixels();
  PrintAt(record, 5);
  auto blend = [](uint32_t source, uint32_t screen) {
    return PerByte(source, [&](uint32_t v, int c) { return (64 * v + 192 * Byte(screen, c)) / 256; });
  };
  EXPECT_EQ(At(0, 0), blend(before[12 * kW + 16], before[0]));
  EXPECT_EQ(At(kW - 1, 0), blend(before[12 * kW + 48], before[kW - 1]));
  EXPECT_EQ(At(0, kH - 1), blend(before[36 * kW + 16], before[static_cast<size_t>(kH - 1) * kW]));
}

// A picture whose rows (or columns) each hold one grey level.
uint32_t RowGrey(int, int y) { return static_cast<uint32_t>(y * 5 % 256) * 0x010101u; }
uint32_t ColumnGrey(int x, int) { return static_cast<uint32_t>(x * 3 % 256) * 0x010101u; }

TEST_F(FilterTest, StreakDrawsPlainlyAtProgressZeroAndNeedsACoveringPicture) {
  ChannelPicture(5, kW + 10, kH + 6, Mixed);
  ASSERT_EQ(Start(5, 76, {10}), 1);
  int rect[4] = {-4, -3, kW + 10, kH + 6};
  manager_->SetRect(5, 5, rect);
  Clear(0);
  PrintAt(manager_->GetChannel(5), 0);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) ASSERT_EQ(At(x, y), Mixed(x + 4, y + 3));
  // A picture that leaves part of the screen uncovered draws nothing.
  rect[0] = 1;
  manager_->SetRect(5, 5, rect);
  Clear(0);
  PrintAt(manager_->GetChannel(5), 10);
  EXPECT_TRUE(ScreenIs(0));
  ChannelPicture(5, kW - 1, kH, Mixed);
  ASSERT_EQ(Start(5, 76, {10}), 1);
  PrintAt(manager_->GetChannel(5), 10);
  EXPECT_TRUE(ScreenIs(0));
  EXPECT_EQ(manager_->GetEffect(76)->CheckPrintPicture(manager_->GetChannel(5), 5), 0);
}

TEST_F(FilterTest, StreakStretchesAndBlursAlongItsDirection) {
  struct Case {
    int direction;
    int length;
  };
  for (const Case c : {Case{0, 8}, Case{1, 8}, Case{2, 8}, Case{3, 5}}) {
    const bool vertical = c.direction < 2;
    ChannelPicture(5, kW, kH, vertical ? RowGrey : ColumnGrey);
    ASSERT_EQ(Start(5, 76, {10, c.direction, 0, 0, c.length, c.length + 10}), 1);
    PrintAt(manager_->GetChannel(5), 10);
    const int lines = vertical ? kH : kW;
    const int span = lines - (c.length + 10), n = c.length;
    const int start = c.direction % 2 == 0 ? span : 0;
    const int end = c.direction % 2 == 0 ? lines - n : lines - span - n;
    const uint32_t m = std::min(65536 / n, 32767);
    for (int k = 0; k < lines; ++k) {
      const int from = start + (end - start) * std::max(k - 1, 0) / lines;
      uint32_t sum = 0;
      for (int i = 0; i < n; ++i)
        sum += (vertical ? RowGrey(0, from + i) : ColumnGrey(from + i, 0)) & 0xFF;
      const uint32_t g = std::min<uint32_t>((sum / 2) * m / 65536 * 2, 255);
      ASSERT_EQ(vertical ? At(7, k) : At(k, 7), g * 0x010101u) << c.direction << " " << k;
    }
  }
}

TEST_F(FilterTest, StreakGivesThePlainLoopsBytes) {
  auto* slash = static_cast<CEffectSlash*>(manager_->GetEffect(76));
  for (auto [w, h] : {std::pair{kW, kH}, std::pair{37, 29}}) {
    Resize(w, h);
    slash = static_cast<CEffectSlash*>(manager_->GetEffect(76));
    ChannelPicture(5, w + 3, h + 2, Mixed);
    for (int direction = 0; direction < 4; ++direction)
      for (int counter : {3, 7, 10, -1}) {
        ASSERT_EQ(Start(5, 76, {10, direction, 0, 0, 9, 13}), 1);
        EffectChannel* record = manager_->GetChannel(5);
        // A record from a save with a margin below the blur: the windows
        // run backward.
        if (counter < 0) {
          record->Param(5) = -40;
          counter = 6;
        }
        record->DrawRect()[0] = -2;
        record->DrawRect()[1] = -1;
        record->Counter() = counter;
        FillMixed();
        slash->PrintPlain(record, 5);
        const auto plain = Pixels();
        FillMixed();
        slash->Print(record, 5);
        ASSERT_EQ(Pixels(), plain) << w << " " << direction << " " << counter;
      }
  }
}

TEST_F(FilterTest, StreakLongerThanASmallScreenAveragesIt) {
  Resize(33, 33);
  ChannelPicture(5, 33, 33, RowGrey);
  ASSERT_EQ(Start(5, 76, {10, 0, 0, 0, 255}), 1);
  PrintAt(manager_->GetChannel(5), 10);
  uint32_t sum = 0;
  for (int y = 0; y < 33; ++y) sum += RowGrey(0, y) & 0xFF;
  const uint32_t g = (sum / 2) * (65536 / 33) / 65536 * 2;
  for (int y = 0; y < 33; ++y) EXPECT_EQ(At(3, y), g * 0x010101u) << y;
}

TEST_F(FilterTest, SepiaAndGreyMixAtTheirLevel) {
  EffectChannel* record = StartAt(128, {10});
  Clear(0xFFFFFF);
  PrintAt(record, 0);
  EXPECT_TRUE(ScreenIs(0xFFFFFF));
  PrintAt(record, 10);
  const uint32_t grey = GreyLevel(0xFFFFFF);
  EXPECT_TRUE(ScreenIs(((107 * grey) >> 8) << 16 | ((74 * grey) >> 8) << 8 | ((43 * grey) >> 8)));
  record = StartAt(129, {10, 0, 0, 50});
  Clear(0x00FF00);
  PrintAt(record, 10);
  const uint32_t y = GreyLevel(0x00FF00);
  const uint32_t g = (y * 128 + 255 * 128) >> 8, rb = (y * 128) >> 8;
  EXPECT_TRUE(ScreenIs(rb << 16 | g << 8 | rb));
  EXPECT_EQ(manager_->GetEffect(129)->Finish(record, 5), 0);
}

// Widths that are not multiples of 8 and odd heights: every pixel is
// filtered, the last ones of each row and of the frame included.
TEST_F(FilterTest, OddScreensAreFilteredToTheLastPixel) {
  struct Case {
    int number;
    std::vector<int> values;
    uint32_t from, to;
  };
  const std::vector<Case> cases = {
      {20, {1, 10}, 0x101010, 0x1A1A1A},
      {31, {1, 0, 0, 100}, 0x101010, 0xEEEEEE},
      {50, {1, 30, 30, 30, 30, 30, 30}, 0x101010, 0x2E2E2E},
      {129, {1}, 0x0000FF, 0x1C1C1C},
  };
  for (auto [w, h] : {std::pair{37, 5}, std::pair{33, 33}, std::pair{41, 7}}) {
    Resize(w, h);
    for (const Case& c : cases) {
      EffectChannel* record = StartAt(c.number, c.values);
      std::fill_n(CScreenBuffer::GetBuffer(), static_cast<size_t>(w) * h, c.from);
      PrintAt(record, 1);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) ASSERT_EQ(At(x, y), c.to) << c.number << " " << w << " " << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace effect_test
