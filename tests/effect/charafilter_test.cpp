#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <vector>

#include "effect/effectcharafilter.h"
#include "effect_fixture.h"
#include "graphics/screenbuffer.h"

namespace effect_test {
namespace {

constexpr uint32_t kColour = 0xC86432;  // 200, 100, 50
// Its grey: (29 * 50 + 150 * 100) >> 8 + (76 * 200) >> 8 = 64 + 59.
constexpr uint32_t kGrey = 123;
constexpr uint32_t kClear = 0x123456;

uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r << 16 | g << 8 | b; }

// A 16 x 8 picture of one colour: opaque in columns 0..7 and 14..15, half
// in 8..11, clear in 12..13 (inside its opaque box).
constexpr int kPw = 16, kPh = 8;
uint8_t Alpha(int x, int) { return x < 8 ? 255 : x < 12 ? 128 : x < 14 ? 0 : 255; }

class CharaFilterTest : public EffectTest {
 protected:
  EffectChannel& Record(int channel) { return *manager_->GetChannel(channel); }
  void Picture(uint32_t colour = kColour, bool masked = true) {
    if (masked)
      ChannelPicture(
          5, kPw, kPh, [colour](int, int) { return colour; }, Alpha);
    else
      ChannelPicture(5, kPw, kPh, [colour](int, int) { return colour; });
  }
  // Starts effect `number` on channel 5 and draws its frame at `counter`
  // over `under`, through the manager (which must not draw the picture).
  void DrawAt(int number, std::vector<int> values, int counter, uint32_t under = kClear) {
    ASSERT_EQ(Start(5, number, values), 1);
    Redraw(counter, under);
  }
  void Redraw(int counter, uint32_t under = kClear) {
    Record(5).Counter() = counter;
    Clear(under);
    manager_->PrintRange(5, 5, 0, 0);
  }
  int Changed(uint32_t under = kClear) const {
    int n = 0;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) n += At(x, y) != under;
    return n;
  }
};

// --- #124, #127 ---

TEST_F(CharaFilterTest, GreyFadesInAndBackThroughTheMask) {
  Picture();
  DrawAt(124, {}, 0);
  EXPECT_EQ(At(0, 0), kColour);
  EXPECT_EQ(At(12, 0), kClear);
  Redraw(20);
  // The grey blit writes the grey into the top byte too.
  EXPECT_EQ(At(0, 0) & 0xFFFFFF, Rgb(kGrey, kGrey, kGrey));
  EXPECT_EQ(At(12, 0), kClear);
  EXPECT_NE(At(8, 0), kClear);
  // Values 3 and 4 swapped: from grey back to colour.
  DrawAt(124, {20, 0, 0, 0, 100}, 0);
  EXPECT_EQ(At(0, 0) & 0xFFFFFF, Rgb(kGrey, kGrey, kGrey));
  Redraw(20);
  EXPECT_EQ(At(0, 0), kColour);
  // Levels beyond 100 % stay pure grey; no picture draws nothing.
  DrawAt(124, {20, 0, 0, 300, 300}, 5);
  EXPECT_EQ(At(0, 0) & 0xFFFFFF, Rgb(kGrey, kGrey, kGrey));
  Record(5).PictureNumber() = -1;
  Redraw(5);
  EXPECT_EQ(Changed(), 0);
}

TEST_F(CharaFilterTest, SepiaTintsTheGrey) {
  Picture();
  DrawAt(127, {}, 20);
  EXPECT_EQ(At(0, 0), Rgb(107 * kGrey >> 8, 74 * kGrey >> 8, 43 * kGrey >> 8));
  DrawAt(127, {20, 0, 0, 100, 0, 255, 0, 128}, 20);
  EXPECT_EQ(At(0, 0), Rgb(kGrey * 255 >> 8, 0, 128 * kGrey >> 8));
}

// The rows give the picture's level and add-subtract blits' bytes: noise
// pictures with a mask of every value or none, over a noise screen, at
// levels through each effect's range, clipped at every edge of the screen.
TEST_F(CharaFilterTest, FilterRowsMatchThePictureBlits) {
  auto noise = [](int x, int y) { return effect_test::NoisePixel(x, y); };
  struct Case {
    int number;
    std::vector<int> values;
  };
  const Case cases[] = {
      {124, {20, 0, 0, 100, 0}},           {124, {20, 0, 0, 300, -50}},
      {127, {20, 0, 0, 100, 0, 107, 74, 43}}, {127, {20, 0, 0, 80, 20, 300, -1, 255}},
      {131, {20, 100, -100}},              {131, {20, 60, -60}},
      {131, {20, 9999, -9999}},
  };
  const int positions[][2] = {{0, 0}, {-7, -3}, {kW - 20, kH - 10}, {30, -12}};
  for (bool masked : {true, false}) {
    ChannelPicture(
        5, 37, 23, [&](int x, int y) { return noise(x, y); },
        masked ? std::function<uint8_t(int, int)>([&](int x, int y) {
          return static_cast<uint8_t>(noise(y, x) >> 24);
        })
               : std::function<uint8_t(int, int)>());
    for (const Case& c : cases) {
      ASSERT_EQ(Start(5, c.number, c.values), 1);
      CCommonEffect* effect = manager_->GetEffect(c.number);
      for (const auto& at : positions)
        for (int counter : {0, 7, 20}) {
          Record(5).Counter() = counter;
          Record(5).DrawRect()[0] = at[0];
          Record(5).DrawRect()[1] = at[1];
          auto under = [&] {
            for (int y = 0; y < kH; ++y)
              for (int x = 0; x < kW; ++x) At(x, y) = noise(x + 5, y + 9);
          };
          under();
          effect->Print(&Record(5), 5);
          const std::vector<uint32_t> rows(CScreenBuffer::GetBuffer(),
                                           CScreenBuffer::GetBuffer() + kW * kH);
          under();
          if (c.number == 124) static_cast<CEffectCharaGrey*>(effect)->PrintPlain(&Record(5), 5);
          if (c.number == 127) static_cast<CEffectCharaSepia*>(effect)->PrintPlain(&Record(5), 5);
          if (c.number == 131) static_cast<CEffectCharaAddSub*>(effect)->PrintPlain(&Record(5), 5);
          const std::vector<uint32_t> plain(CScreenBuffer::GetBuffer(),
                                            CScreenBuffer::GetBuffer() + kW * kH);
          ASSERT_EQ(rows, plain) << c.number << " masked " << masked << " at " << at[0] << ","
                                 << at[1] << " counter " << counter;
        }
    }
  }
}

// --- #131 ---

TEST_F(CharaFilterTest, AddSubLightsOrDarkensAndStrengthZeroDrawsNothing) {
  Picture(0x102030);
  DrawAt(131, {20, 0}, 10);
  EXPECT_EQ(Changed(), 0);
  // The screen plus (minus) the picture, weighed by the mask (255 of 256).
  DrawAt(131, {20, 100}, 10);
  EXPECT_EQ(At(0, 0), Rgb(0x22 * 255 >> 8, 0x54 * 255 >> 8, 0x86 * 255 >> 8));
  // The curve gives -99 for -100 (it adds 0.5 and truncates): k = -253.
  DrawAt(131, {20, -100}, 10);
  EXPECT_EQ(At(0, 0), Rgb(3 * 255 >> 8, 21 * 255 >> 8, 39 * 255 >> 8));
  EXPECT_EQ(At(12, 0), kClear);
}

TEST_F(CharaFilterTest, StartClampsEachValueRightAfterItsDefault) {
  ASSERT_EQ(Start(5, 131, {20, 20000}), 1);
  EXPECT_EQ(Record(5).Param(1), 9999);
  EXPECT_EQ(Record(5).Param(2), 9999);  // the default copies the clamped value
  ASSERT_EQ(Start(5, 131, {20, 5, INT_MIN}), 1);
  EXPECT_EQ(Record(5).Param(2), -9999);
  ASSERT_EQ(Start(5, 120, {}), 1);
  EXPECT_EQ(std::vector<int>(Record(5).v + 29, Record(5).v + 43),
            (std::vector<int>{20, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0}));
  ASSERT_EQ(Start(5, 130, {20, 3, 4, 150}), 1);
  EXPECT_EQ(std::vector<int>(Record(5).v + 29, Record(5).v + 46),
            (std::vector<int>{20, 3, 4, 150, 200, 200, 150, 200, 200, 0, 0, 0, 0, 0, 0, 3, 4}));
  ASSERT_EQ(Start(5, 99, {20, 7}), 1);
  EXPECT_EQ(std::vector<int>(Record(5).v + 29, Record(5).v + 39),
            (std::vector<int>{20, 7, 7, 7, 7, 7, 7, 1, 0, 0}));
}

// --- #99 ---

TEST_F(CharaFilterTest, ColorAddThroughTheMaskOrOpaque) {
  Picture(0x102030);
  DrawAt(99, {20, 16, 300, -300}, 20);
  // Colours held to -255..255: green saturates without reaching red, blue
  // empties without borrowing from green.
  EXPECT_EQ(At(0, 0), 0x20FF00u);
  EXPECT_EQ(At(12, 0), kClear);
  // Value 7 = 0: the whole rectangle, mask ignored.
  DrawAt(99, {20, 16, 16, 16, 16, 16, 16, 0}, 3);
  for (int x = 0; x < kPw; ++x) EXPECT_EQ(At(x, 0), 0x203040u) << x;
  EXPECT_EQ(Changed(), kPw * kPh);
}

// --- #120 ---

TEST_F(CharaFilterTest, ColorBalanceDefaultsLeaveThePicture) {
  Picture();
  // Exactly over white and over the picture's own colour; within one step
  // elsewhere (the screen keeps weight 256 - m).
  for (uint32_t under : {0xFFFFFFu, kColour, 0u}) {
    DrawAt(120, {}, 20, under);
    for (int c = 0; c < 24; c += 8) {
      const int got = int(At(0, 0) >> c & 255), want = int(kColour >> c & 255);
      if (under == 0)
        EXPECT_LE(std::abs(got - want), 1);
      else
        EXPECT_EQ(got, want) << std::hex << under;
    }
    EXPECT_EQ(At(12, 0), under);
  }
}

TEST_F(CharaFilterTest, ColorBalanceCurvesAndHeldValues) {
  Picture(0x808080);
  // The inverted curve at full level: a grey i gains 255 - i, so white.
  DrawAt(120, {20, 256, 256, 256, 256, 256, 256, 1, 0, 0, 1, 1, 1}, 20, 0xFFFFFF);
  EXPECT_EQ(At(0, 0), 0xFFFFFFu);
  // Negative levels subtract: curve 0 (255) at -256 turns it black.
  DrawAt(120, {20, -256, -256, -256, -256, -256, -256, 1, 0, 0, 0, 0, 0}, 20, 0);
  EXPECT_EQ(At(0, 0), 0u);
  // Levels beyond 256 held: only red saturates, nothing spills.
  DrawAt(120, {20, 100000, 0, 0, 100000, 0, 0, 1, 0, 0, 0, 0, 0}, 20, 0xFFFFFF);
  EXPECT_EQ(At(0, 0), 0xFF8080u);
  // Curve numbers outside 0..9 held: 99 as 9, -5 as 0.
  DrawAt(120, {20, 256, 0, 0, 256, 0, 0, 1, 0, 0, 99, 0, 0}, 20, 0xFFFFFF);
  const uint32_t nine = At(0, 0);
  DrawAt(120, {20, 256, 0, 0, 256, 0, 0, 1, 0, 0, 9, 0, 0}, 20, 0xFFFFFF);
  EXPECT_EQ(At(0, 0), nine);
  DrawAt(120, {20, 256, 0, 0, 256, 0, 0, 1, 0, 0, -5, 0, 0}, 20, 0xFFFFFF);
  EXPECT_EQ(At(0, 0), 0xFF8080u);
  // Keep brightness: red gains 64, less a third of its luma share (42
  // left); green and blue lose theirs (10 and 55).
  DrawAt(120, {20, 128, 0, 0, 128, 0, 0, 1, 0, 0, 3, 0, 0, 1}, 20, 0xFFFFFF);
  EXPECT_EQ(At(0, 0), Rgb(128 + 42, 128 - 10, 128 - 55));
  // No mask plane: nothing.
  Picture(0x808080, false);
  DrawAt(120, {20, 256}, 20);
  EXPECT_EQ(Changed(), 0);
}

// --- #130 ---

TEST_F(CharaFilterTest, SaikeWrapsItsProducts) {
  Picture(Rgb(128, 255, 0));
  DrawAt(130, {}, 20);
  EXPECT_EQ(At(0, 0), Rgb(0, 254, 0));
  // Offsets wrap too: 254 + 10 is 8.
  DrawAt(130, {20, 0, 0, 200, 200, 200, 200, 200, 200, 10, 10, 10}, 20);
  EXPECT_EQ(At(0, 0), Rgb(10, 8, 10));
  // Half a mask: (v (m + 1) + screen (255 - m)) >> 8.
  DrawAt(130, {}, 20, 0xFFFFFF);
  EXPECT_EQ(At(8, 0), Rgb(255 * 127 >> 8, (254 * 129 + 255 * 127) >> 8, 255 * 127 >> 8));
  EXPECT_EQ(At(12, 0), 0xFFFFFFu);
  // Huge percents: products in 64 bits, no fault.
  DrawAt(130, {20, 0, 0, INT_MAX, INT_MIN, 1, INT_MAX, INT_MIN, 1, INT_MAX}, 10);
  Picture(Rgb(128, 255, 0), false);
  DrawAt(130, {}, 20);
  EXPECT_EQ(Changed(), 0);
}

// --- #96 ---

TEST_F(CharaFilterTest, RainbowRowsScrollAndWrap) {
  Picture();
  ASSERT_EQ(Start(5, 96, {}), 1);
  auto* rainbow = static_cast<CEffectRainbow*>(manager_->GetEffect(96));
  manager_->Calcu();
  // Bands of (48 + 5) / 6 = 8 rows, moved down by one.
  EXPECT_EQ(rainbow->Offset(), 1);
  EXPECT_EQ(rainbow->RowColour(1), 0xFF0000u);
  EXPECT_EQ(rainbow->RowColour(5), 0xFF7F00u);
  EXPECT_EQ(rainbow->RowColour(9), 0xFFFF00u);
  // Row 0 is the last row of the magenta-to-red band: blue 255 - 1785 / 8.
  EXPECT_EQ(rainbow->RowColour(0), 0xFF0020u);
  // A negative speed scrolls upward; the offset keeps its sign.
  ASSERT_EQ(Start(5, 96, {20, 100, 100, 0, 0, 0, -1}), 1);
  manager_->Calcu();
  EXPECT_EQ(rainbow->Offset(), -1);
  EXPECT_EQ(rainbow->RowColour(7), 0xFFFF00u);
  EXPECT_EQ(rainbow->RowColour(kH - 1), 0xFF0000u);
  // The offset wraps at H.
  ASSERT_EQ(Start(5, 96, {20, 100, 100, 0, 0, 0, kH - 1}), 1);
  manager_->Calcu();
  manager_->Calcu();
  EXPECT_EQ(rainbow->Offset(), kH - 2);
  ASSERT_EQ(Start(5, 96, {20, 100, 100, 0, 0, 0, INT_MIN}), 1);
  manager_->Calcu();
  EXPECT_EQ(rainbow->Offset(), -static_cast<int>(-int64_t{INT_MIN} % kH));
}

TEST_F(CharaFilterTest, RainbowOffsetMovesOncePerRunningChannel) {
  Picture();
  ASSERT_EQ(Start(5, 96, {20, 100, 100, 0, 0, 0, 2}), 1);
  ASSERT_EQ(Start(7, 96, {20, 100, 100, 0, 0, 0, 3}), 1);
  auto* rainbow = static_cast<CEffectRainbow*>(manager_->GetEffect(96));
  manager_->Calcu();
  EXPECT_EQ(rainbow->Offset(), 5);
  // At the full level the opaque rows take the row colours.
  Redraw(20);
  for (int y = 0; y < kPh; ++y) EXPECT_EQ(At(0, y), rainbow->RowColour(y)) << y;
  EXPECT_EQ(At(12, 0), kClear);
  // Restore starts again: counter and offset 0, the values kept.
  Record(5).Counter() = 9;
  rainbow->Restore(&Record(5), 5);
  EXPECT_EQ(Record(5).Counter(), 0);
  EXPECT_EQ(Record(5).Param(6), 2);
  EXPECT_EQ(rainbow->Offset(), 0);
  // At level 0 the picture is drawn plainly.
  DrawAt(96, {20, 0}, 5);
  EXPECT_EQ(At(0, 0), kColour);
}

// --- All seven ---

TEST_F(CharaFilterTest, FinishBearsRepeatedCallsAndTheEndStateStays) {
  Picture();
  const int numbers[] = {124, 127, 131, 99, 120, 130, 96};
  for (int number : numbers) {
    ASSERT_EQ(Start(5, number, {2}), 1);
    const int finish = number == 99 || number == 120 ? 1 : 0;
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(manager_->GetEffect(number)->Finish(&Record(5), 5), finish) << number;
    for (int i = 0; i < 5; ++i) Frame();
    EXPECT_EQ(Record(5).EffectNumber(), number);
    EXPECT_EQ(Record(5).Active(), 1);
    EXPECT_EQ(manager_->GetEffect(number)->CheckPrintPicture(&Record(5), 5), 0);
  }
}

}  // namespace
}  // namespace effect_test
