#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

#include "effect/effectchararaster.h"
#include "effect_fixture.h"

namespace effect_test {
namespace {

constexpr uint32_t kClear = 0x123456;

// 16 x 8 pictures whose pixels name their coordinates, opaque but for the
// clear columns 12..13.
constexpr int kPw = 16, kPh = 8;
uint32_t Named(int x, int y) { return 0x400000u | static_cast<uint32_t>(x) << 8 | static_cast<uint32_t>(y); }
uint8_t Alpha(int x, int) { return x == 12 || x == 13 ? 0 : 255; }

// A screen whose pixels name their coordinates too.
uint32_t Ground(int x, int y) { return 0x010101u * static_cast<uint32_t>(x) + (static_cast<uint32_t>(y) << 16); }

uint32_t Next(uint32_t* seed) { return *seed = *seed * 1103515245u + 12345u; }

class CharaRasterTest : public EffectTest {
 protected:
  EffectChannel& Record(int channel) { return *manager_->GetChannel(channel); }
  void Picture(int h = kPh) { ChannelPicture(5, kPw, h, Named, Alpha); }
  void DrawAt(int number, std::vector<int> values, int counter) {
    ASSERT_EQ(Start(5, number, values), 1);
    Redraw(counter);
  }
  void Redraw(int counter) {
    Record(5).Counter() = counter;
    Clear(kClear);
    manager_->PrintRange(5, 5, 0, 0);
  }
  void FillGround() {
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) At(x, y) = Ground(x, y);
  }
  // The screen row's first column that shows picture column 0 (-1 none).
  int RowShift(int y) const {
    for (int x = 0; x < kW; ++x)
      if (At(x, y) == Named(0, y)) return x;
    return -1;
  }
  // Screen row y shows the picture's row y moved right by `shift`.
  bool ShowsShifted(int y, int shift) const {
    return shift >= 0 ? RowShift(y) == shift : At(0, y) == Named(-shift, y);
  }
  int Changed() const {
    int n = 0;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) n += At(x, y) != kClear;
    return n;
  }
};

// --- The fast rows against their plain forms ---

TEST_F(CharaRasterTest, RowsMatchTheirPlainForms) {
  constexpr int n = 301;
  std::vector<uint32_t> pixels(n), screen(n);
  std::vector<uint8_t> mask(n);
  uint32_t seed = 99;
  for (int i = 0; i < n; ++i) {
    pixels[i] = Next(&seed);
    screen[i] = Next(&seed);
    mask[i] = static_cast<uint8_t>(i < 256 ? i : Next(&seed) >> 24);
  }
  for (int level : {0, 1, 128, 255, 256}) {
    std::vector<uint32_t> plain = screen, fast = screen;
    CShiftedRowEffect::ShiftRowPlain(plain.data(), pixels.data(), mask.data(), n, level);
    CShiftedRowEffect::ShiftRow(fast.data(), pixels.data(), mask.data(), n, level);
    EXPECT_EQ(plain, fast) << level;
  }
  for (int o : {0, 1, 2, 3, 4, 5, 7, -1, -2, -3, -4, -5, -9, n - 1, n, -n + 1, -n, INT_MAX, INT_MIN}) {
    for (int w : {n, 3}) {
      std::vector<uint32_t> plain = screen, fast = screen;
      CEffectKagerou::HazeRowPlain(plain.data(), w, o);
      CEffectKagerou::HazeRow(fast.data(), w, o);
      EXPECT_EQ(plain, fast) << o << " " << w;
    }
  }
}

// --- #107 ---

TEST_F(CharaRasterTest, RasterStartsUnshiftedThenSwaysInACosineWave) {
  Picture();
  DrawAt(107, {}, 0);
  for (int y = 0; y < kPh; ++y) EXPECT_EQ(RowShift(y), 0) << y;
  EXPECT_EQ(At(12, 0), kClear);
  // Half way: amplitude 16, phase (counter x 10 + row) x 18.84954 / 48.
  Redraw(10);
  for (int y = 0; y < kPh; ++y) {
    const int expected = static_cast<int>(std::cos((100.0 + y) * (18.84954 / kH)) * 16 + 0.5);
    EXPECT_TRUE(ShowsShifted(y, expected)) << y << " " << expected;
  }
}

TEST_F(CharaRasterTest, HugeAmplitudesStayOnTheScreenEdge) {
  Picture();
  // The amplitude x 100 formed in 64 bits; offsets held to 1 - W .. W - 2.
  DrawAt(107, {20, INT_MAX, 0}, 20);
  EXPECT_EQ(RowShift(0), kW - 2);
  EXPECT_EQ(At(kW - 1, 0), Named(1, 0));
  // Far left: the row lies wholly off the screen.
  DrawAt(107, {20, INT_MIN, 0}, 20);
  for (int x = 0; x < kW; ++x) EXPECT_EQ(At(x, 0), kClear) << x;
}

// --- #106 ---

TEST_F(CharaRasterTest, NoiseBandsDrawTheirNumbersInOrder) {
  Picture();
  // Two bands: life, height, top, strength each (the height held to the
  // picture's 8 rows, so the top is 0 % 1).
  const std::vector<int> d = Draws(7, 9);
  ASSERT_EQ(Start(5, 106, {}), 1);
  const EffectChannel& r = Record(5);
  for (int j = 0; j < 2; ++j) {
    const int* band = &r.v[EffectChannel::kParamBase + 16 + 8 * j];
    EXPECT_EQ(band[0], d[4 * j] % 20 + 50 - 10) << j;
    EXPECT_EQ(band[1], 0) << j;
    EXPECT_EQ(band[2], 8) << j;
    EXPECT_EQ(band[3], d[4 * j + 3] % 60 + 20) << j;
  }
  EXPECT_EQ(crt::rand(), d[8]);
}

TEST_F(CharaRasterTest, NoiseCalcuAndPrintDrawInTheirOrder) {
  Picture();
  // One band of 8 rows without spread: the start draws life, top and
  // strength.
  const std::vector<int> d = Draws(11, 12);
  ASSERT_EQ(Start(5, 106, {20, 1, 32, 2, 8, 0, 50}), 1);
  size_t next = 3;
  EXPECT_EQ(Record(5).Param(16 + 2), 8);
  // Calcu: the strength's step, and a jump for 2 in 100.
  manager_->GetEffect(106)->Calcu(&Record(5), 5);
  next += 2;
  if (d[4] % 100 < 2) ++next;
  // Print: one draw every 2 rows of the band (period 2).
  Redraw(5);
  next += 4;
  EXPECT_EQ(crt::rand(), d[next]);
}

TEST_F(CharaRasterTest, NoiseWithoutBandsOnlyJitters) {
  Picture();
  // No bands, no jitter: no draws, the picture plain.
  const std::vector<int> d = Draws(3, 200);
  DrawAt(106, {20, 0}, 5);
  EXPECT_EQ(crt::rand(), d[0]);
  for (int y = 0; y < kPh; ++y) EXPECT_EQ(RowShift(y), 0) << y;
  // Jitter of 1/100 .. 100/100 pixel: a draw per screen row, a sign when
  // the row moves.
  crt::srand(3);
  DrawAt(106, {20, 0, 32, 2, 40, 50, 50, 0, 100}, 5);
  size_t next = 0;
  std::vector<int> shifts;
  for (int y = 0; y < kH; ++y) {
    const int f = (d[next++] % 100 + 50) / 100;
    shifts.push_back(f > 0 ? (d[next++] % 2 == 1 ? f : -f) : 0);
  }
  EXPECT_EQ(crt::rand(), d[next]);
  for (int y = 0; y < kPh; ++y) {
    EXPECT_TRUE(ShowsShifted(y, shifts[y])) << y << " " << shifts[y];
  }
}

TEST_F(CharaRasterTest, NoiseWalksAtMostSixteenBands) {
  Picture();
  ASSERT_EQ(Start(5, 106, {20, 40}), 1);
  EXPECT_EQ(Record(5).Param(1), 16);
  // A record from a save with 17 bands: the 17th is never touched.
  EffectChannel& r = Record(5);
  r.Param(1) = 17;
  for (int k = 0; k < 8; ++k) r.Param(16 + 8 * 16 + k) = 1000 + k;
  for (int i = 0; i < 3; ++i) {
    manager_->GetEffect(106)->Calcu(&r, 5);
    Redraw(5);
  }
  for (int k = 0; k < 8; ++k) EXPECT_EQ(r.Param(16 + 8 * 16 + k), 1000 + k);
}

TEST_F(CharaRasterTest, NoiseBandsOfHugeStrengthPushTheirRowsOff) {
  Picture();
  ASSERT_EQ(Start(5, 106, {20, 1, INT_MAX, 2, 8, 0, 50}), 1);
  EffectChannel& r = Record(5);
  r.Param(16 + 1) = 0;  // top
  Redraw(5);
  // Row 0 (no envelope) and row 1 (no saw) stay; row 2 moves far right.
  EXPECT_EQ(RowShift(0), 0);
  EXPECT_EQ(RowShift(1), 0);
  EXPECT_EQ(At(0, 2), kClear);
  // A height from a save far beyond the picture walks only its rows.
  r.Param(16 + 2) = INT_MAX;
  Redraw(5);
  EXPECT_EQ(RowShift(0), 0);
}

// --- #22 ---

TEST_F(CharaRasterTest, HazeWithoutValuesBendsTheWholeScreen) {
  ASSERT_EQ(Start(5, 22, {}), 1);
  const EffectChannel& r = Record(5);
  EXPECT_EQ(r.Duration(), 9999);
  EXPECT_EQ(r.Param(1), 0);
  EXPECT_EQ(r.Param(2), kH);
  FillGround();
  manager_->GetEffect(22)->Print(&Record(5), 5);
  for (int y = 0; y < kH; ++y) {
    const int o = CEffectKagerou::RowOffset(r, y, kH);
    std::vector<uint32_t> row(kW);
    for (int x = 0; x < kW; ++x) row[x] = Ground(x, y);
    CEffectKagerou::HazeRowPlain(row.data(), kW, o);
    for (int x = 0; x < kW; ++x) ASSERT_EQ(At(x, y), row[x]) << x << "," << y;
  }
  // Row 0: the three waves add up to 9 + 4 + 6.
  EXPECT_EQ(CEffectKagerou::RowOffset(r, 0, kH), 19);
  EXPECT_NE(At(kW / 2, 0), Ground(kW / 2, 0));
  EXPECT_EQ(manager_->GetEffect(22)->Finish(&Record(5), 5), 1);
  EXPECT_EQ(manager_->GetEffect(22)->Finish(&Record(5), 5), 1);
}

TEST_F(CharaRasterTest, HazeRowsFadesInAndCycles) {
  // Rows 40.. cut so the band ends at the screen's bottom.
  ASSERT_EQ(Start(5, 22, {9999, 40, 100, 10}), 1);
  EffectChannel& r = Record(5);
  EXPECT_EQ(r.Param(2), kH - 40);
  FillGround();
  manager_->GetEffect(22)->Print(&r, 5);
  for (int x = 0; x < kW; ++x) EXPECT_EQ(At(x, 39), Ground(x, 39));
  // At counter 0 the fade-in holds every offset at 0.
  for (int y = 40; y < kH; ++y) EXPECT_EQ(CEffectKagerou::RowOffset(r, y, kH), 0);
  // The counter cycles in 9000 frames after the fade-in.
  r.Counter() = 10 + 9000 + 7;
  manager_->GetEffect(22)->Calcu(&r, 5);
  EXPECT_EQ(r.Counter(), 17);
  // Rows from a record beyond the screen are cut to it.
  r.Param(1) = -5;
  r.Param(2) = INT_MAX;
  FillGround();
  manager_->GetEffect(22)->Print(&r, 5);
  EXPECT_NE(At(kW / 2, 0), Ground(kW / 2, 0));
}

// --- #72 ---

TEST_F(CharaRasterTest, CamouflageShowsTheSceneShiftedThroughTheShape) {
  Picture();
  ASSERT_EQ(Start(5, 72, {20, 3}), 1);
  FillGround();
  manager_->GetEffect(72)->Print(&Record(5), 5);
  EXPECT_EQ(At(0, 0), Ground(3, 0));
  EXPECT_EQ(At(11, 0), Ground(14, 0));  // read before column 14 was written
  EXPECT_EQ(At(12, 0), Ground(12, 0));  // clear in the shape
  EXPECT_EQ(At(13, 7), Ground(13, 7));
  // The last `shift` columns of the box stay.
  EXPECT_EQ(At(14, 0), Ground(14, 0));
  EXPECT_EQ(At(0, 8), Ground(0, 8));
  // A shift of 0 or of the box's width leaves the screen.
  for (int shift : {0, kPw, -4}) {
    ASSERT_EQ(Start(5, 72, {20, shift}), 1);
    FillGround();
    manager_->GetEffect(72)->Print(&Record(5), 5);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) ASSERT_EQ(At(x, y), Ground(x, y)) << shift;
  }
}

}  // namespace
}  // namespace effect_test
