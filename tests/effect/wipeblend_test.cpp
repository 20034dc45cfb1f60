// The blend and strip wipes: their ends, their steps between, the random
// lines, and the row kernels against their plain loops.
#include "effect/wipeblend.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

#include "setup/random.h"
#include "wipe_fixture.h"

namespace effect_test {
namespace {

// Per byte of four: f (byte of a, byte of b).
template <typename F>
uint32_t Bytes(uint32_t a, uint32_t b, F f) {
  uint32_t out = 0;
  for (int s = 0; s < 32; s += 8)
    out |= static_cast<uint32_t>(f(a >> s & 0xFF, b >> s & 0xFF)) << s;
  return out;
}

class BlendStripTest : public WipeStepTest {};

// The multiplicative wipe with a maximum of 1 ended on the
// product of the pictures (its midpoint); every kind ends on the new one.
TEST_F(BlendStripTest, EveryKindStartsOldAndEndsNew) {
  for (int number : {0, 1, 2, 3, 4, 5, 39, 40, 60}) {
    for (int max : {1, 2, 10, 10000}) {
      Draw(number, 0, max);
      EXPECT_TRUE(ScreenMatches(OldPx)) << number << " at 0 of " << max;
      Draw(number, max, max);
      EXPECT_TRUE(ScreenMatches(NewPx)) << number << " at the end of " << max;
    }
  }
}

TEST_F(BlendStripTest, PicturesThatCannotBeDrawnLeaveTheScreen) {
  CPicture* small = Load(3, NewPx, kW, kH - 1);
  for (int number : {0, 1, 2, 3, 4, 5, 39, 40, 60}) {
    Table()->Print(number, old_, small, 1, 2, nullptr, nullptr);
    Table()->Print(number, small, new_, 1, 2, nullptr, nullptr);
    Table()->Print(number, old_, nullptr, 1, 2, nullptr, nullptr);
    EXPECT_TRUE(ScreenIs(kGrey)) << number;
  }
}

TEST_F(BlendStripTest, CrossFadeBlendsAndFadesInOverTheScreenWithoutAnOldPicture) {
  Draw(0, 3, 10);
  EXPECT_TRUE(ScreenMatches([](int x, int y) {
    return Bytes(OldPx(x, y), NewPx(x, y), [](int o, int n) { return (o * 179 + n * 76) >> 8; });
  }));
  Clear(0x204060);
  Table()->Print(0, nullptr, new_, 5, 10, nullptr, nullptr);
  EXPECT_TRUE(ScreenMatches([](int x, int y) {
    return Bytes(0x204060, NewPx(x, y), [](int s, int n) { return (s * 128 + n * 128) >> 8; });
  }));
}

TEST_F(BlendStripTest, CurtainOpensBlockByBlock) {
  // o = 1: one block in transition, 2 new and 14 old columns in each half.
  Draw(1, 1, 18);
  EXPECT_TRUE(
      ScreenMatches([](int x, int y) { return x < 32 && x % 16 < 2 ? NewPx(x, y) : OldPx(x, y); }));
  // o = 16: the first block new, the second 15 new and 1 old per half.
  Draw(1, 16, 18);
  EXPECT_TRUE(ScreenMatches(
      [](int x, int y) { return x < 32 || x % 16 < 15 ? NewPx(x, y) : OldPx(x, y); }));
  // Lines: 2 new, 14 old, 2 new, 14 old, then old.
  Draw(2, 1, 18);
  EXPECT_TRUE(
      ScreenMatches([](int x, int y) { return y < 32 && y % 16 < 2 ? NewPx(x, y) : OldPx(x, y); }));
}

TEST_F(BlendStripTest, ZebraFillsEvenLinesFromBelowAndOddLinesFromAbove) {
  Draw(3, 6, 24);  // 24 pairs, 6 of each kind new
  EXPECT_TRUE(ScreenMatches([](int x, int y) {
    const int k = y / 2;
    return (y % 2 == 0 ? k >= 18 : k < 6) ? NewPx(x, y) : OldPx(x, y);
  }));
}

TEST_F(BlendStripTest, SlidesMoveADiagonalEdge) {
  // R = 5 * (64 + 48) / 10 = 56.
  Draw(4, 5, 10);
  EXPECT_TRUE(ScreenMatches([](int x, int y) {
    const int k = std::clamp(56 - y, 0, kW);
    return x < k ? OldPx(x, y) : NewPx(x - k, y);
  }));
  Draw(5, 5, 10);
  EXPECT_TRUE(ScreenMatches([](int x, int y) {
    const int k = std::clamp(56 - y, 0, kW);
    return x < k ? OldPx(kW - k + x, y) : NewPx(x - k, y);
  }));
}

TEST_F(BlendStripTest, RandomStripDrawsOneValuePerLinePerFrame) {
  crt::srand(9);
  std::vector<bool> isNew;
  for (int y = 0; y < kH; ++y) isNew.push_back(crt::rand() % 10 < 4);
  crt::srand(9);
  Draw(39, 4, 10);
  EXPECT_TRUE(ScreenMatches([&](int x, int y) { return isNew[y] ? NewPx(x, y) : OldPx(x, y); }));
  const int next = crt::rand();
  crt::srand(9);
  for (int y = 0; y < kH; ++y) crt::rand();
  EXPECT_EQ(crt::rand(), next);
}

TEST_F(BlendStripTest, AddBrightensThenSettlesOnTheNewPicture) {
  // Before the midpoint: old + new weighted by p / h.
  Draw(40, 2, 10);
  EXPECT_TRUE(ScreenMatches([](int x, int y) {
    return Bytes(OldPx(x, y), NewPx(x, y),
                 [](int o, int n) { return std::min(255, o + ((n * 102) >> 8)); });
  }));
  // After it: the new picture with the old one fading out of it.
  Draw(40, 8, 10);
  EXPECT_TRUE(ScreenMatches([](int x, int y) {
    return Bytes(OldPx(x, y), NewPx(x, y),
                 [](int o, int n) { return std::min(255, n + ((o * 102) >> 8)); });
  }));
  CPicture* white = Load(3, [](int, int) { return 0xFFFFFFu; });
  CPicture* black = Load(4, [](int, int) { return 0u; });
  Table()->Print(40, white, white, 5, 10, nullptr, nullptr);
  EXPECT_TRUE(ScreenIs(0xFFFFFF));
  // A black new picture shows the old one up to the midpoint, then fades.
  for (int p = 0; p <= 5; ++p) {
    Table()->Print(40, old_, black, p, 10, nullptr, nullptr);
    EXPECT_TRUE(ScreenMatches(OldPx)) << p;
  }
  Table()->Print(40, old_, black, 8, 10, nullptr, nullptr);
  EXPECT_TRUE(ScreenMatches([](int x, int y) {
    return Bytes(OldPx(x, y), 0, [](int o, int) { return (o * 102) >> 8; });
  }));
}

TEST_F(BlendStripTest, MultiShowsTheProductAtTheMidpoint) {
  Draw(60, 5, 10);
  EXPECT_TRUE(ScreenMatches([](int x, int y) {
    return Bytes(OldPx(x, y), NewPx(x, y), [](int o, int n) { return (o * n) >> 8; });
  }));
  Draw(60, 7, 10);  // c = 3 * 256 / 5 = 153 on the new picture
  EXPECT_TRUE(ScreenMatches([](int x, int y) {
    return Bytes(NewPx(x, y), OldPx(x, y),
                 [](int b, int o) { return ((256 - 153) * b + 153 * ((b * o) >> 8)) >> 8; });
  }));
  // A white new picture gives back the old one, within the formula's
  // rounding of one level.
  CPicture* white = Load(3, [](int, int) { return 0xFFFFFFu; });
  Table()->Print(60, old_, white, 5, 10, nullptr, nullptr);
  EXPECT_TRUE(ScreenMatches([](int x, int y) {
    return Bytes(OldPx(x, y), 0, [](int o, int) { return o ? o - 1 : 0; });
  }));
}

// The additive wipe drew pixels in pairs and left the last
// column of an odd-width screen undrawn; every pixel is drawn.
TEST_F(BlendStripTest, AddDrawsEveryColumnOfAnOddWidth) {
  manager_.reset();
  screen_ = std::make_unique<CScreenBuffer>(kW - 1, kH - 1, 0);
  manager_ = std::make_unique<CEffectManager>(kExtra);
  old_ = OldPicture();
  new_ = NewPicture();
  std::fill_n(CScreenBuffer::GetBuffer(), size_t{kW - 1} * (kH - 1), kGrey);
  Draw(40, 10, 10);
  EXPECT_TRUE(ScreenMatches(NewPx));
}

TEST(WipeRows, FastRowsGiveThePlainBytes) {
  std::mt19937 rng(3);
  constexpr int kN = 37;
  std::vector<uint32_t> a(kN), b(kN), m(kN), want(kN), got(kN);
  for (int round = 0; round < 20; ++round) {
    for (int i = 0; i < kN; ++i) {
      a[i] = rng();
      b[i] = rng();
      m[i] = round % 4 ? rng() : 0xFFFFFFFFu * (i & 1);
    }
    for (int k = 0; k <= 256; ++k) {
      wipeblend::AddRowPlain(want.data(), a.data(), b.data(), kN, k);
      wipeblend::AddRow(got.data(), a.data(), b.data(), kN, k);
      ASSERT_EQ(got, want) << "add " << k;
      wipeblend::MultiRowPlain(want.data(), a.data(), b.data(), kN, k);
      wipeblend::MultiRow(got.data(), a.data(), b.data(), kN, k);
      ASSERT_EQ(got, want) << "multi " << k;
    }
    for (int step : {0, 1, 2, 3, 4, 64, 300})
      for (int start : {0, 1, 100, 255, 256}) {
        wipespan::BlendRunPlain(want.data(), a.data(), b.data(), kN, start, step);
        wipespan::BlendRun(got.data(), a.data(), b.data(), kN, start, step);
        ASSERT_EQ(got, want) << "soft edge " << start << " " << step;
      }
    for (int s : {0, 1, 2, 9, 64, 127}) {
      for (int o = -256 * s; o <= 256; o += std::max(1, s * 3)) {
        maskwipe::RowPlain(want.data(), a.data(), b.data(), m.data(), kN, s, o);
        maskwipe::Row(got.data(), a.data(), b.data(), m.data(), kN, s, o);
        ASSERT_EQ(got, want) << "mask " << s << " " << o;
      }
    }
  }
}

}  // namespace
}  // namespace effect_test
