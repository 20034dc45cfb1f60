#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "effect/charapixels.h"
#include "effect/effectcharatrans.h"
#include "effect/packedpixel.h"
#include "effect_fixture.h"

namespace effect_test {
namespace {

constexpr uint32_t kColour = 0xC86432;  // 200, 100, 50
constexpr uint32_t kOther = 0x2080E0;
constexpr uint32_t kClear = 0x123456;

// 16 x 8 pictures: opaque in columns 0..7 and 14..15, half in 8..11, clear
// in 12..13.
constexpr int kPw = 16, kPh = 8;
uint8_t Alpha(int x, int) { return x < 8 ? 255 : x < 12 ? 128 : x < 14 ? 0 : 255; }

uint32_t Blend256(uint32_t d, uint32_t s, uint32_t k) {
  uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8)
    out |= ((((s >> shift) & 255u) * k + ((d >> shift) & 255u) * (256 - k)) >> 8) << shift;
  return out;
}

class CharaTransTest : public EffectTest {
 protected:
  EffectChannel& Record(int channel) { return *manager_->GetChannel(channel); }
  void Picture(int channel, uint32_t colour = kColour, int w = kPw, int h = kPh) {
    ChannelPicture(
        channel, w, h, [colour](int, int) { return colour; }, Alpha);
  }
  // Starts `number` on `channel` and draws that channel alone at `counter`
  // over kClear.
  void DrawAt(int channel, int number, std::vector<int> values, int counter) {
    ASSERT_EQ(Start(channel, number, values), 1);
    Redraw(channel, counter);
  }
  void Redraw(int channel, int counter) {
    Record(channel).Counter() = counter;
    Clear(kClear);
    manager_->PrintRange(channel, channel, 0, 0);
  }
  int Changed() const {
    int n = 0;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) n += At(x, y) != kClear;
    return n;
  }
  std::vector<uint32_t> Screen() const {
    const uint32_t* s = CScreenBuffer::GetBuffer();
    return {s, s + size_t{kW} * kH};
  }
};

// --- #8 ---

TEST_F(CharaTransTest, TransBlendsTheWholeRectangleOnOpaqueChannelsElseThroughTheMask) {
  for (int channel : {2, 5}) {
    Picture(channel);
    DrawAt(channel, 8, {}, 0);
    EXPECT_EQ(Record(channel).Duration(), 1);
    EXPECT_EQ(Record(channel).Param(1), 50);
    const std::vector<uint32_t> drawn = Screen();
    Clear(kClear);
    CPicture* picture = manager_->GetPicture(channel);
    if (channel == 2)
      picture->TransLucentBlt(0, 0, 0, 0, kPw, kPh, 50);
    else
      picture->TransLucentBlt3(0, 0, 0, 0, kPw, kPh, 50);
    EXPECT_EQ(drawn, Screen()) << channel;
    // The clear columns: blended on the opaque channel, untouched on 5.
    EXPECT_EQ(drawn[12] != kClear, channel == 2);
    EXPECT_EQ(manager_->GetEffect(8)->Finish(&Record(channel), channel), 1);
    EXPECT_EQ(manager_->GetEffect(8)->Finish(&Record(channel), channel), 1);
  }
  // The percent is held to 0..100 when drawn.
  DrawAt(5, 8, {20, -40}, 0);
  EXPECT_EQ(Changed(), 0);
  DrawAt(5, 8, {20, 250}, 0);
  EXPECT_EQ(At(0, 0), kColour);
}

// --- #9 ---

TEST_F(CharaTransTest, CTransDrawsOnlyInsideItsBox) {
  Picture(5);
  // Opacity 100 at the start, the box (4, 2, 4, 3) throughout.
  DrawAt(5, 9, {20, 50, 100, 0, 0, 1, 4, 2, 4, 3}, 0);
  EXPECT_EQ(Changed(), 12);
  EXPECT_EQ(At(4, 2), kColour);
  EXPECT_EQ(At(7, 4), kColour);
  EXPECT_EQ(At(3, 2), kClear);
  EXPECT_EQ(At(8, 2), kClear);
  // Boxes that miss, only touch an edge, or have no width draw nothing.
  for (const std::vector<int>& box : {std::vector<int>{100, 100, 5, 5}, {16, 0, 4, 4},
                                      {0, 8, 16, 4}, {0, 0, 0, 8}}) {
    std::vector<int> values = {20, 50, 100, 0, 0, 1};
    values.insert(values.end(), box.begin(), box.end());
    DrawAt(5, 9, values, 0);
    EXPECT_EQ(Changed(), 0) << box[0] << "," << box[1];
  }
  // The box moves from its start (p10..p13) to its end (p6..p9).
  DrawAt(5, 9, {20, 100, 100, 0, 0, 1, 10, 0, 2, 8, 0, 0, 2, 8}, 10);
  EXPECT_EQ(At(5, 0), kColour);
  EXPECT_EQ(At(4, 0), kClear);
  EXPECT_EQ(At(7, 0), kClear);
}

TEST_F(CharaTransTest, CTransTintsThroughTheMaskWithTheColourOn) {
  Picture(5);
  DrawAt(5, 9, {20, 100, 100, 0, 0, 0, 0, 0, 64, 48, 0, 0, 64, 48, 1, 10, 20, 30}, 0);
  EXPECT_EQ(At(0, 0), 0xD27850u);  // 210, 120, 80
  EXPECT_EQ(At(12, 0), kClear);
  // The colour moves from its start (p18..p20) to its end (p15..p17).
  DrawAt(5, 9, {20, 100, 100, 0, 0, 0, 0, 0, 64, 48, 0, 0, 64, 48, 1, 0, 0, 0, 40, 40, 40}, 10);
  EXPECT_EQ(At(0, 0), 0xDC7846u);  // + 20 each
}

// --- #110 ---

TEST_F(CharaTransTest, GhostIsWholeAtTheStartAndGoneAtTheEnd) {
  Picture(5);
  DrawAt(5, 110, {}, 0);
  EXPECT_EQ(At(0, 0), kColour);
  EXPECT_EQ(At(0, 7), kColour);
  EXPECT_EQ(At(12, 3), kClear);
  // The half mask at level 256: weight 128, each term truncated.
  EXPECT_EQ(At(8, 7), 0x6D4C44u);
  Redraw(5, 20);
  EXPECT_EQ(Changed(), 0);
  // Half way the bottom has faded further than the top.
  Redraw(5, 10);
  EXPECT_NE(At(0, 0), At(0, 7));
}

TEST_F(CharaTransTest, GhostWithEqualLevelsFadesEvenly) {
  Picture(5);
  DrawAt(5, 110, {20, 50, 50, 50, 50}, 5);
  // Level 128 on every row: weight (128 x 255) >> 8 = 127, each term
  // truncated: (200, 100, 50) over (18, 52, 86).
  for (int y = 0; y < kPh; ++y) EXPECT_EQ(At(0, y), 0x6C4B43u) << y;
}

TEST_F(CharaTransTest, GhostLevelsOfHugeValuesDoNotWrap) {
  // A tall picture drawn 60 rows above the screen: its rows 60..107 show,
  // the level falling from 21474836 at row 0 to -21474836 at row 200, so
  // rows up to 99 show whole and the rest not at all ((B - T) x r in 64
  // bits).
  ChannelPicture(
      5, 4, 200, [](int, int) { return kColour; }, [](int, int) { return uint8_t{255}; });
  const int at[4] = {0, -60, 4, 200};
  manager_->SetRect(5, 5, at);
  DrawAt(5, 110, {20, INT_MAX, 0, INT_MIN, 0}, 0);
  EXPECT_EQ(At(0, 0), kColour);
  EXPECT_EQ(At(3, 39), kColour);
  EXPECT_EQ(At(0, 40), kClear);
  EXPECT_EQ(At(3, 47), kClear);
}

TEST_F(CharaTransTest, RowMixersMatchTheirPlainForms) {
  std::vector<uint32_t> pixels(300), screen(300);
  std::vector<uint8_t> mask(300);
  uint32_t seed = 12345;
  auto next = [&] { return seed = seed * 1103515245u + 12345u; };
  for (int i = 0; i < 300; ++i) {
    pixels[i] = next();
    screen[i] = next();
    mask[i] = static_cast<uint8_t>(i < 256 ? i : next() >> 24);
  }
  for (int level : {0, 1, 127, 128, 255, 256}) {
    std::vector<uint32_t> plain = screen, fast = screen;
    CEffectCharaGhost::PrintRowPlain(plain.data(), pixels.data(), mask.data(), 300, level);
    CEffectCharaGhost::PrintRow(fast.data(), pixels.data(), mask.data(), 300, level);
    EXPECT_EQ(plain, fast) << level;
  }
  // #123's mixer: a weight per byte.
  std::vector<uint32_t> weights(300);
  for (int i = 0; i < 300; ++i) weights[i] = i < 256 ? 0x01010101u * i : next();
  std::vector<uint32_t> plain = screen, fast = screen;
  for (int i = 0; i < 300; ++i) plain[i] = packedpixel::MixChannels(plain[i], pixels[i], weights[i]);
  packedpixel::MixChannelsRow(fast.data(), pixels.data(), weights.data(), 299);
  fast[299] = packedpixel::MixChannels(fast[299], pixels[299], weights[299]);
  EXPECT_EQ(plain, fast);
  // #121's and #136's mixer, plain or tinted colours, weights 0..256 (the
  // mask's 0 and 255 among them), odd lengths, in both widths of lanes.
  const charatrans::FlatTint tint(100, 0x123456);
  for (bool wide : {false, true}) {
    if (wide && !blendrows::WideRowsAvailable()) continue;
    blendrows::AllowWideRows(wide);
    for (int n : {0, 1, 7, 31, 300})
      for (uint32_t level : {0u, 1u, 128u, 255u, 256u})
        for (bool tinted : {false, true}) {
          auto colour = [&](int i) { return tinted ? tint(pixels[i]) : pixels[i]; };
          auto weight = [&](int i) { return mask[i] == 0 ? 0u : (level * (mask[i] + 1u)) >> 8; };
          std::vector<uint32_t> a = screen, b = screen;
          charapixels::BlendEachPlain(a.data(), n, colour, weight);
          charapixels::BlendEach(b.data(), n, colour, weight);
          EXPECT_EQ(a, b) << n << " " << level << " " << tinted << " " << wide;
        }
  }
  blendrows::AllowWideRows(true);
}

// --- #123 ---

class MaskAppearTest : public CharaTransTest {
 protected:
  // The gradation on channel 13: grey 17 x column for the first 16
  // columns, then white.
  void SetUp() override {
    CharaTransTest::SetUp();
    Picture(5);
    ChannelPicture(13, kW, kH, [](int x, int) {
      const uint32_t g = x < 16 ? 17u * static_cast<uint32_t>(x) : 255u;
      return g << 16 | g << 8 | g;
    });
  }
};

TEST_F(MaskAppearTest, BrightGradationAppearsFirst) {
  DrawAt(5, 123, {20, 13}, 10);
  // Threshold 0 half way: alpha = the grey.
  EXPECT_EQ(At(0, 0), kClear);
  EXPECT_EQ(At(15, 0), Blend256(kClear, kColour, 254));
  EXPECT_EQ(At(5, 0), Blend256(kClear, kColour, (85 * 255) >> 8));
  EXPECT_EQ(At(12, 0), kClear);  // clear in the picture's own mask
  // Inverted: the dark parts first.
  DrawAt(5, 123, {20, 13, 1, 0, 0, 1}, 10);
  EXPECT_EQ(At(0, 0), Blend256(kClear, kColour, 254));
  EXPECT_EQ(At(15, 0), kClear);
  // The ends: nothing, then the whole picture.
  Redraw(5, 0);
  EXPECT_EQ(Changed(), 0);
  Redraw(5, 20);
  EXPECT_EQ(At(0, 0), Blend256(kClear, kColour, 254));
  EXPECT_EQ(At(15, 0), Blend256(kClear, kColour, 254));
}

TEST_F(MaskAppearTest, ZeroHardnessFadesEvenly) {
  DrawAt(5, 123, {20, 13, 0}, 10);
  // Threshold 128 everywhere: weight (128 x 255) >> 8.
  EXPECT_EQ(At(0, 0), Blend256(kClear, kColour, 127));
  EXPECT_EQ(At(15, 0), At(0, 0));
}

TEST_F(MaskAppearTest, RefusesOneValueAndNeedsAScreenSizedGradation) {
  ASSERT_EQ(Start(5, 9, {}), 1);
  EXPECT_EQ(Start(5, 123, {20}), 0);
  EXPECT_EQ(Start(5, 40, {20}), 0);
  EXPECT_EQ(Record(5).EffectNumber(), 9);
  // Channel 12's picture is smaller than the screen.
  ChannelPicture(12, kW, kH - 1, [](int, int) { return 0xFFFFFFu; });
  DrawAt(5, 123, {20, 12}, 20);
  EXPECT_EQ(Changed(), 0);
  // Finish holds the counter at the end, call after call.
  DrawAt(5, 123, {20, 13}, 25);
  CCommonEffect* effect = manager_->GetEffect(123);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(effect->Finish(&Record(5), 5), 1);
    EXPECT_EQ(Record(5).Counter(), 20);
  }
}

TEST_F(MaskAppearTest, HugeHardnessDoesNotWrap) {
  // S + 256 and p2 x g formed in 64 bits: the end shows the whole picture.
  DrawAt(5, 123, {20, 13, INT_MAX}, 20);
  EXPECT_EQ(At(0, 0), Blend256(kClear, kColour, 254));
  EXPECT_EQ(At(15, 0), Blend256(kClear, kColour, 254));
  Redraw(5, 0);
  EXPECT_EQ(Changed(), 0);
}

TEST_F(MaskAppearTest, FastRowsMatchTheAlphaTable) {
  // Random pixels, grades and masks (0 and 255 among them) on odd lengths;
  // thresholds from the start, middle and end of the appearance.
  uint32_t seed = 99;
  auto next = [&] { return seed = seed * 1103515245u + 12345u; };
  constexpr int kN = 77;
  std::vector<uint32_t> pixels(kN), screen(kN), grade(kN);
  std::vector<uint8_t> mask(kN);
  for (int i = 0; i < kN; ++i) {
    pixels[i] = next();
    screen[i] = next();
    grade[i] = next();
    mask[i] = static_cast<uint8_t>(i % 5 == 0 ? 0 : i % 5 == 1 ? 255 : next() >> 24);
  }
  const int limit = CEffectCharaMaskAppear::kFastHardness;
  for (bool wide : {false, true}) {
    if (wide && !blendrows::WideRowsAvailable()) continue;
    blendrows::AllowWideRows(wide);
    for (int hardness : {0, 1, 4, 255, 1000, -1, -300, limit, -limit})
      for (int64_t f : {0, 1, 50, 99, 100})
        for (bool invert : {false, true})
          for (int n : {0, 1, 7, kN}) {
            const int64_t s = int64_t{hardness} * 256, span = s + 256;
            const int64_t wt = std::max<int64_t>(0, std::min(f * span / 100, span)) - s;
            uint8_t alpha[256];
            CEffectCharaMaskAppear::AlphaTable(wt, hardness, invert, alpha);
            std::vector<uint32_t> a = screen, b = screen;
            CEffectCharaMaskAppear::PrintRowPlain(a.data(), pixels.data(), mask.data(),
                                                  grade.data(), n, alpha);
            CEffectCharaMaskAppear::PrintRow(b.data(), pixels.data(), mask.data(), grade.data(), n,
                                             wt, hardness, invert);
            ASSERT_EQ(a, b) << hardness << " " << f << " " << invert << " " << n << " " << wide;
          }
  }
  blendrows::AllowWideRows(true);
}

// --- #121 ---

class DualMaskTest : public CharaTransTest {
 protected:
  // Channel 13's shape: opaque in rows 0..3, clear below.
  void SetUp() override {
    CharaTransTest::SetUp();
    Picture(5);
    ChannelPicture(
        13, kPw, kPh, [](int, int) { return kOther; },
        [](int, int y) { return static_cast<uint8_t>(y < 4 ? 255 : 0); });
  }
};

TEST_F(DualMaskTest, DrawsOnlyWhereBothMasksAreSet) {
  DrawAt(5, 121, {}, 0);
  EXPECT_EQ(At(0, 0), Blend256(kClear, kColour, 255));
  EXPECT_EQ(At(0, 5), kClear);   // only this picture's mask
  EXPECT_EQ(At(12, 0), kClear);  // only the other's
  // Weight (256 x ((128 x 256) >> 8)) >> 8 at the half mask.
  EXPECT_EQ(At(8, 0), Blend256(kClear, kColour, 128));
  // The other channel drawn 8 to the right: only columns 8.. overlap.
  const int at[4] = {8, 0, kPw, kPh};
  manager_->SetRect(13, 5, at);
  Redraw(5, 0);
  EXPECT_EQ(At(0, 0), kClear);
  EXPECT_EQ(At(14, 0), Blend256(kClear, kColour, 255));
  // A partner channel outside 0..15 draws nothing.
  DrawAt(5, 121, {20, 16}, 0);
  EXPECT_EQ(Changed(), 0);
}

TEST_F(DualMaskTest, TintTurnsFromAFlatColourHeldToBytes) {
  // At the start e = 0: the flat colour (300, -5, 256 held to 255, 0, 255).
  DrawAt(5, 121, {20, 13, 100, 100, 0, 0, 1, 0, 0, 300, -5, 256}, 0);
  EXPECT_EQ(At(0, 0), Blend256(kClear, 0xFF00FF, 255));
  // At the end e = 255: (pixel x 255) >> 8.
  Redraw(5, 20);
  EXPECT_EQ(At(0, 0), Blend256(kClear, 0xC76331, 255));
  // Per channel ((c x e) >> 8) + (255 - e) x tint / 255, never past 255.
  for (int e : {0, 1, 127, 128, 254, 255})
    for (uint32_t pixel : {0xFFFFFFu, 0x000000u, 0x80FF01u})
      for (uint32_t tint : {0xFFFFFFu, 0x01FE7Fu}) {
        uint32_t expected = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
          const uint32_t c = (pixel >> shift) & 255u, t = (tint >> shift) & 255u;
          expected |= (((c * e) >> 8) + (255u - e) * t / 255u) << shift;
        }
        EXPECT_EQ(charatrans::FlatTint(e, tint)(pixel), expected) << e << " " << pixel;
      }
}

TEST_F(DualMaskTest, LevelsBeyondTheIntRangeSaturate) {
  // p2 x 100 formed in 64 bits stays huge: each channel goes to its end.
  DrawAt(5, 121, {20, 13, INT_MAX, INT_MAX}, 0);
  EXPECT_EQ(At(0, 0), 0xFFFF00u);  // 200 > 18, 100 > 52, 50 < 86
  EXPECT_EQ(At(0, 5), kClear);
  // 150 %: weight (384 x 255) >> 8 = 382, each channel held to 0..255.
  DrawAt(5, 121, {20, 13, 150, 150}, 0);
  EXPECT_EQ(At(0, 0), charapixels::Weigh(kClear, kColour, 382));
  EXPECT_EQ(charapixels::Weigh(kClear, kColour, 382), 0xFF7B20u);
}

// --- #40 ---

class ChangeTest : public CharaTransTest {
 protected:
  void SetUp() override {
    CharaTransTest::SetUp();
    Picture(5, kColour);
    Picture(13, kOther);
    ASSERT_EQ(Start(13, 66, {}), 1);
  }
};

TEST_F(ChangeTest, CrossFadesIntoTheOtherPicture) {
  DrawAt(5, 40, {20, 13}, 0);
  EXPECT_EQ(At(0, 0), kColour);
  Redraw(5, 20);
  EXPECT_EQ(At(0, 0), kOther);
  Redraw(5, 10);
  EXPECT_NE(At(0, 0), kColour);
  EXPECT_NE(At(0, 0), kOther);
  int a = 0, b = 0;
  CEffectChange::Weights(Record(5), &a, &b);
  EXPECT_EQ(a, 50);
  EXPECT_EQ(b, 50);
  // Pictures of different sizes draw nothing.
  Picture(13, kOther, kPw, kPh - 1);
  Redraw(5, 10);
  EXPECT_EQ(Changed(), 0);
}

TEST_F(ChangeTest, DefaultsEndHandsThePartnerOverAndKeepsTheNewPicture) {
  ASSERT_EQ(Start(5, 40, {20, 13}), 1);
  for (int i = 0; i < 22; ++i) Frame();
  EXPECT_EQ(Record(13).EffectNumber(), 66);
  EXPECT_EQ(Record(5).EffectNumber(), 40);
  EXPECT_EQ(Record(5).Param(1), 13);
  EXPECT_EQ(At(0, 0), kOther);
  // A second hand-over changes nothing further.
  Record(13).EffectNumber() = 0;
  EXPECT_EQ(manager_->GetEffect(40)->Finish(&Record(5), 5), 1);
  EXPECT_EQ(Record(13).EffectNumber(), 66);
  EXPECT_EQ(Record(5).EffectNumber(), 40);
}

TEST_F(ChangeTest, ReversedCrossFadeEndsOnThisChannel) {
  struct Case {
    std::vector<int> values;
    int number;   // this channel's effect at the end
    int percent;  // its value 1 then
  };
  const Case cases[] = {
      {{20, 13, 100, 100, 100}, 0, 13},
      {{20, 13, 60, 60, 100}, 8, 60},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(Start(13, 0, {}), 1);
    ASSERT_EQ(Start(5, 40, c.values), 1);
    CCommonEffect* effect = manager_->GetEffect(40);
    Record(5).Counter() = 20;
    EXPECT_EQ(effect->Finish(&Record(5), 5), 1);
    EXPECT_EQ(Record(5).EffectNumber(), c.number);
    EXPECT_EQ(Record(5).Param(1), c.percent);
    EXPECT_EQ(Record(13).EffectNumber(), 0);  // the partner keeps its effect
  }
  // The hand-over keeps what the last frame showed: #40's end at 60 % of
  // the old picture is #8 at 60 %, the half mask too (the two blends round
  // apart by at most one step).
  DrawAt(5, 40, {20, 13, 60, 60, 100}, 20);
  const uint32_t last[2] = {At(0, 0), At(8, 0)};
  DrawAt(5, 8, {20, 60}, 0);
  for (int i = 0; i < 2; ++i)
    for (int shift : {0, 8, 16}) {
      const int now = static_cast<int>((At(8 * i, 0) >> shift) & 255u);
      EXPECT_LE(std::abs(now - static_cast<int>((last[i] >> shift) & 255u)), 1) << i << " " << shift;
    }
  EXPECT_NE(last[0], kClear);
}

TEST_F(ChangeTest, BothWeightsLeftHandsNothingOver) {
  // A cross-fade curve that ends between its two ends (timing patterns
  // that do not finish at their target): both pictures still show.
  int found = 0;
  for (int code = 1; code < 15; ++code) {
    ASSERT_EQ(Start(5, 40, {20, 13, 100, 100, code, 6}), 1);
    Record(5).Counter() = 20;
    int a = 0, b = 0;
    CEffectChange::Weights(Record(5), &a, &b);
    if (a == 0 || b == 0) continue;
    ++found;
    EXPECT_EQ(manager_->GetEffect(40)->Finish(&Record(5), 5), 0) << code;
    EXPECT_EQ(Record(5).EffectNumber(), 40);
    EXPECT_EQ(Record(13).EffectNumber(), 66);
  }
  EXPECT_GT(found, 0);
  // No opacity at all: the partner turns into #66, this channel stays.
  ASSERT_EQ(Start(13, 0, {}), 1);
  ASSERT_EQ(Start(5, 40, {20, 13, 0, 0}), 1);
  Record(5).Counter() = 20;
  EXPECT_EQ(manager_->GetEffect(40)->Finish(&Record(5), 5), 1);
  EXPECT_EQ(Record(13).EffectNumber(), 66);
  EXPECT_EQ(Record(5).EffectNumber(), 40);
}

TEST_F(ChangeTest, AValueNamingNoChannelDrawsNothingAndHandsNothingOver) {
  ASSERT_EQ(Start(13, 0, {}), 1);
  for (int value : {60, 16, -2}) {
    DrawAt(5, 40, {20, 13}, 10);
    Record(5).Param(1) = value;
    Redraw(5, 10);
    EXPECT_EQ(Changed(), 0) << value;
    Record(5).Counter() = 20;
    EXPECT_EQ(manager_->GetEffect(40)->Finish(&Record(5), 5), 1);
    EXPECT_EQ(Record(13).EffectNumber(), 0) << value;
    EXPECT_EQ(Record(5).EffectNumber(), 40);
  }
  // -1 names no partner either: nothing drawn.
  DrawAt(5, 40, {20, -1}, 10);
  EXPECT_EQ(Changed(), 0);
}

}  // namespace
}  // namespace effect_test
