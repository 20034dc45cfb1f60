#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "effect/calcucurve.h"
#include "effect/effectbokashi.h"
#include "effect_fixture.h"

namespace effect_test {
namespace {

constexpr uint32_t kBack = 0x204060;

uint32_t Noise(int x, int y) {
  const uint32_t v = static_cast<uint32_t>(x * 7919 + y * 104729 + x * y * 31);
  return (v * 2654435761u) >> 8 & 0xFFFFFF;
}

class BokashiTest : public EffectTest {
 protected:
  EffectChannel& Record(int channel) { return *manager_->GetChannel(channel); }
  void PrintAt(int channel, int counter) {
    Record(channel).Counter() = counter;
    manager_->GetEffect(Record(channel).EffectNumber())->Print(&Record(channel), channel);
  }
  void CalcuAt(int channel) {
    manager_->GetEffect(Record(channel).EffectNumber())->Calcu(&Record(channel), channel);
  }
  std::vector<uint32_t> Screen() const {
    return {CScreenBuffer::GetBuffer(), CScreenBuffer::GetBuffer() + kW * kH};
  }
};

TEST_F(BokashiTest, KernelFromStrength) {
  struct Case {
    std::vector<int> values;
    int counter, kw, kh;
  };
  const Case cases[] = {
      {{20, 8, 8, 50, 50}, 0, 4, 4},
      {{20, 8, 8, 50, 50, 0, 0, 1}, 0, 3, 3},
      {{20, 20, 20}, 20, 20, 12},
      {{20, 8, 8, 100, 0}, 0, 1, 1},
      {{20, 8, 8, 100, 0}, 10, 4, 4},
      {{20, 1, 1}, 20, 1, 1},
      {{20, 300, -4, 200, -9, 0, -3}, 20, 256, 1},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(Start(2, 126, c.values), 1);
    Record(2).Counter() = c.counter;
    const BlurKernel k = CEffectBGBokashi::Kernel(Record(2));
    EXPECT_EQ(k.w, c.kw) << c.values[1] << "," << c.values[2];
    EXPECT_EQ(k.h, c.kh) << c.values[1] << "," << c.values[2];
  }
  ASSERT_EQ(Start(2, 77, {20, 20, 20}), 1);
  EXPECT_EQ(Record(2).Param(2), 12);
  EXPECT_EQ(Record(2).Param(6), 0);
}

// The blur inside the box, pixel by pixel: the reference for the running
// sums.
std::vector<uint32_t> BoxBlur(const std::vector<uint32_t>& screen, int w, int h,
                              const std::vector<uint32_t>& picture, int pw, int bx0, int by0,
                              int bx1, int by1, int dx, int dy, int kw, int kh) {
  std::vector<uint32_t> out = screen;
  auto recip = [](int n) { return n == 0 ? 0 : n == 1 ? 32767 : 32768 / n; };
  for (int v = std::max(0, by0 - kh / 2); v < std::min(h, by1 + kh - kh / 2); ++v)
    for (int u = std::max(0, bx0 - kw / 2); u < std::min(w, bx1 + kw - kw / 2); ++u) {
      int sum[3] = {0, 0, 0}, n = 0;
      for (int y = v - kh / 2; y < v + kh - kh / 2; ++y)
        for (int x = u - kw / 2; x < u + kw - kw / 2; ++x) {
          if (x < bx0 || x >= bx1 || y < by0 || y >= by1) continue;
          const uint32_t p = picture[static_cast<size_t>(y - dy) * pw + (x - dx)];
          for (int c = 0; c < 3; ++c) sum[c] += p >> (8 * c) & 0xFF;
          ++n;
        }
      if (n == 0) continue;
      uint32_t px = 0;
      for (int c = 0; c < 3; ++c)
        px |= static_cast<uint32_t>(std::clamp(((sum[c] >> 1) * recip(n)) >> 14, 0, 255)) << (8 * c);
      out[static_cast<size_t>(v) * w + u] = px;
    }
  return out;
}

TEST_F(BokashiTest, BoxBlurStaysWithinHalfAKernelOfTheFigure) {
  // A 20 x 16 picture whose figure (mask above 0) is the 6 x 5 block at (7, 6).
  const int pw = 20, ph = 16;
  ChannelPicture(4, pw, ph, Noise,
                 [](int x, int y) { return uint8_t(x >= 7 && x < 13 && y >= 6 && y < 11 ? 255 : 0); });
  std::vector<uint32_t> picture;
  for (int y = 0; y < ph; ++y)
    for (int x = 0; x < pw; ++x) picture.push_back(Noise(x, y));
  // The opaque box the picture keeps (a little wider than the figure).
  int bx = 0, by = 0, bsx = 0, bsy = 0, bw = pw, bh = ph;
  ASSERT_EQ(manager_->GetPicture(4)->ClipToBox(&bx, &by, &bsx, &bsy, &bw, &bh), 1);
  ASSERT_LT(bw, pw);
  struct Case {
    int dx, dy, kw, kh;
  };
  const Case cases[] = {{20, 10, 5, 3}, {20, 10, 4, 4}, {-9, -8, 7, 9}, {50, 38, 16, 16},
                        {3, 2, 1, 16}, {10, 12, 40, 6}};
  for (const Case& c : cases) {
    ASSERT_EQ(Start(4, 126, {20, c.kw, c.kh}), 1);
    Record(4).DrawRect()[0] = c.dx;
    Record(4).DrawRect()[1] = c.dy;
    Clear(kBack);
    const std::vector<uint32_t> before = Screen();
    PrintAt(4, 20);
    const std::vector<uint32_t> want =
        BoxBlur(before, kW, kH, picture, pw, c.dx + bx, c.dy + by, c.dx + bx + bw, c.dy + by + bh,
                c.dx, c.dy, c.kw, c.kh);
    EXPECT_EQ(Screen(), want) << c.dx << "," << c.dy << " " << c.kw << "x" << c.kh;
  }
  // Kernel 1 x 1: the picture's box, opaque, at the draw position.
  ASSERT_EQ(Start(4, 126, {20, 1, 1}), 1);
  Record(4).DrawRect()[0] = Record(4).DrawRect()[1] = 0;
  Clear(kBack);
  PrintAt(4, 20);
  EXPECT_EQ(At(8, 7), Noise(8, 7));
}

// The whole-screen blur, pixel by pixel.
std::vector<uint32_t> ScreenBlur(const std::vector<uint32_t>& picture, int pw, int ox, int oy,
                                 int w, int h, int kw, int kh) {
  std::vector<uint32_t> out(static_cast<size_t>(w) * h);
  const int d = std::min(65536 / (kw * kh), 32767);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int mx = (w - kw + 1) * x / w, my = (h - kh + 1) * y / h;
      int sum[3] = {0, 0, 0};
      for (int j = 0; j < kh; ++j)
        for (int i = 0; i < kw; ++i) {
          const uint32_t p = picture[static_cast<size_t>(oy + my + j) * pw + ox + mx + i];
          for (int c = 0; c < 3; ++c) sum[c] += p >> (8 * c) & 0xFF;
        }
      uint32_t px = 0;
      for (int c = 0; c < 3; ++c)
        px |= static_cast<uint32_t>(std::clamp((((sum[c] >> 1) * d) >> 16) << 1, 0, 255)) << (8 * c);
      out[static_cast<size_t>(y) * w + x] = px;
    }
  return out;
}

TEST_F(BokashiTest, ScreenBlurMeansEveryWindow) {
  const int pw = kW + 6, ph = kH + 4;
  ChannelPicture(5, pw, ph, Noise);
  std::vector<uint32_t> picture;
  for (int y = 0; y < ph; ++y)
    for (int x = 0; x < pw; ++x) picture.push_back(Noise(x, y));
  struct Case {
    int dx, dy, kw, kh;
  };
  const Case cases[] = {{0, 0, 8, 8}, {-3, -2, 5, 7}, {-6, -4, 16, 16}, {0, 0, 256, 1},
                        {0, 0, 1, 200}, {-1, 0, 2, 1}};
  for (const Case& c : cases) {
    ASSERT_EQ(Start(5, 77, {20, c.kw, c.kh}), 1);
    Record(5).DrawRect()[0] = c.dx;
    Record(5).DrawRect()[1] = c.dy;
    Clear(kBack);
    PrintAt(5, 20);
    const BlurKernel k = CEffectBGBokashi::Kernel(Record(5));
    EXPECT_EQ(Screen(), ScreenBlur(picture, pw, -c.dx, -c.dy, kW, kH, std::min(k.w, kW),
                                   std::min(k.h, kH)))
        << c.dx << "," << c.dy << " " << c.kw << "x" << c.kh;
  }
}

TEST_F(BokashiTest, ScreenBlurNeedsTheScreenCovered) {
  ChannelPicture(5, kW, kH, Noise);
  // Draw rectangles that leave part of the screen, and one whose picture
  // ends before the screen's right edge.
  const std::vector<std::vector<int>> rects = {{1, 0, kW, kH}, {0, 0, kW - 1, kH}, {0, 1, kW, kH},
                                               {-2, 0, kW + 2, kH}};
  for (const std::vector<int>& r : rects) {
    ASSERT_EQ(Start(5, 77, {20, 4, 4}), 1);
    std::copy(r.begin(), r.end(), Record(5).DrawRect());
    Clear(kBack);
    PrintAt(5, 20);
    EXPECT_TRUE(ScreenIs(kBack)) << r[0] << "," << r[1] << " " << r[2] << "x" << r[3];
  }
}

TEST_F(BokashiTest, LightThroughTheLeaves) {
  // The layer (channel 6): mask 255 left, 128 right; the pattern (channel 2):
  // mask 255 on the top rows, 64 below, 0 in the bottom rows.
  ChannelPicture(6, 8, 8, [](int, int) { return 0x000000u; },
                 [](int x, int) { return uint8_t(x < 4 ? 255 : 128); });
  ChannelPicture(2, 8, 8, [](int, int) { return 0x000000u; },
                 [](int, int y) { return uint8_t(y < 3 ? 255 : y < 6 ? 64 : 0); });
  ASSERT_EQ(Start(6, 78, {20, 2, 100, 0, -100}), 1);
  Clear(0x505050);
  PrintAt(6, 20);
  // Add red 100, subtract blue 100 (as the curve gives them), by the weight.
  const int red = CalcuCurve(20, 20, 100, 100, 0, 0), blue = -CalcuCurve(20, 20, -100, -100, 0, 0);
  auto lit = [&](int weight) {
    return static_cast<uint32_t>(std::clamp(0x50 + (red * weight >> 8), 0, 255)) << 16 | 0x5000u |
           static_cast<uint32_t>(std::clamp(0x50 - (blue * weight >> 8), 0, 255));
  };
  EXPECT_EQ(At(0, 0), lit(256));
  EXPECT_EQ(At(5, 0), lit(128));  // the layer's
  EXPECT_EQ(At(0, 4), lit(64));   // the pattern's
  EXPECT_EQ(At(5, 4), lit(32));   // 64 x 128 >> 8
  EXPECT_EQ(At(0, 7), 0x505050u);   // pattern 0
  EXPECT_EQ(At(9, 0), 0x505050u);   // outside both
  // Huge colours saturate at any weight, as small ones do at their own.
  ASSERT_EQ(Start(6, 78, {20, 2, INT_MAX, 0, INT_MIN}), 1);
  Clear(0x505050);
  PrintAt(6, 20);
  EXPECT_EQ(At(5, 4), 0xFF5000u);
  EXPECT_EQ(At(0, 7), 0x505050u);
  // Without a mask nothing is drawn.
  ChannelPicture(2, 8, 8, [](int, int) { return 0x000000u; });
  Clear(0x505050);
  PrintAt(6, 20);
  EXPECT_TRUE(ScreenIs(0x505050));
}

TEST_F(BokashiTest, LightRowsGiveThePlainLoopsBytes) {
  std::vector<uint8_t> pattern(67), layer(67);
  std::vector<uint32_t> pixels(67);
  for (size_t i = 0; i < pattern.size(); ++i) {
    // Every mask corner (0, 1, 254, 255) and values between.
    static constexpr uint8_t kEdges[] = {0, 1, 128, 254, 255};
    pattern[i] = i < 25 ? kEdges[i % 5] : static_cast<uint8_t>(Noise(static_cast<int>(i), 1));
    layer[i] = i < 25 ? kEdges[i / 5] : static_cast<uint8_t>(Noise(static_cast<int>(i), 2));
    pixels[i] = Noise(static_cast<int>(i), 3) | (i % 2 ? 0xFF000000u : 0u);
  }
  const int colours[][6] = {{100, 0, 0, 0, 100, 0},     {65535, 65535, 0, 0, 0, 65535},
                            {1, 255, 256, 0, 0, 0},     {0, 0, 0, 1, 255, 256},
                            {300, 0, 40000, 0, 20, 0}};
  for (const auto& c : colours)
    for (int n : {67, 4, 3, 0}) {
      std::vector<uint32_t> fast = pixels, plain = pixels;
      CEffectKomorebi::LightRow(fast.data(), pattern.data(), layer.data(), n, c, c + 3);
      CEffectKomorebi::LightRowPlain(plain.data(), pattern.data(), layer.data(), n, c, c + 3);
      EXPECT_EQ(fast, plain) << c[0] << "," << c[1] << "," << c[2] << " n " << n;
    }
}

TEST_F(BokashiTest, MistStartAndBrush) {
  const int sizes[][2] = {{5, 8}, {8, 8}, {20, 20}, {64, 64}, {65, 128}, {70, 128}, {INT_MIN, 8}};
  for (const auto& s : sizes) EXPECT_EQ(CEffectBathWindow::BrushSize(s[0]), s[1]) << s[0];
  ASSERT_EQ(Start(7, 97, {5, 70, 0, 99, -4, kH + 3, 0, 0}), 1);
  EXPECT_EQ(Record(7).Duration(), 9999);
  EXPECT_EQ(std::vector<int>(Record(7).v + 30, Record(7).v + 37),
            (std::vector<int>{128, 1, 32, 0, kH - 1, 1, 1}));
  auto& mist = *static_cast<CEffectBathWindow*>(manager_->GetEffect(97));
  for (int m = 0; m < 4; ++m)
    for (int j = 0; j < 32; ++j)
      for (int k = 0; k < 32; ++k) EXPECT_GE(mist.DropMap(m, j, k), 1);
  EXPECT_EQ(mist.WipeMap(0, 0, 0), 0);  // the corner, 90 from the centre
  EXPECT_GE(mist.WipeMap(0, 64, 64), 20);
}

TEST_F(BokashiTest, ARestingOrOutsidePointerWipesNothing) {
  ChannelPicture(8, kW, kH, [](int, int) { return 0xFFFFFFu; }, [](int, int) { return uint8_t{255}; });
  ASSERT_EQ(Start(8, 97, {0, 20, 1, 0}), 1);  // no drops
  CPicture* picture = manager_->GetPicture(8);
  auto mask = [&] {
    return std::vector<uint8_t>(picture->GetMask(), picture->GetMask() + kW * kH);
  };
  const std::vector<uint8_t> full = mask();
  manager_->SetMousePos(20, 20);
  CalcuAt(8);
  const std::vector<uint8_t> wiped = mask();
  EXPECT_NE(wiped, full);
  EXPECT_LT(wiped[20 * kW + 20], 255);
  EXPECT_EQ(wiped[20 * kW + 40], 255);  // beyond the brush
  for (int frame = 0; frame < 5; ++frame) CalcuAt(8);
  EXPECT_EQ(mask(), wiped);
  for (const auto& p : {std::pair{-1, 5}, std::pair{kW, 5}, std::pair{5, kH}, std::pair{-1, -1}}) {
    manager_->SetMousePos(p.first, p.second);
    CalcuAt(8);
    EXPECT_EQ(mask(), wiped);
  }
  // Moved again: wipes.
  manager_->SetMousePos(40, 30);
  CalcuAt(8);
  EXPECT_NE(mask(), wiped);
  EXPECT_EQ(Record(8).Counter(), 0);
  // Drops mist it again, only ever raising the mask.
  const std::vector<uint8_t> dry = mask();
  Record(8).Param(3) = 32;
  CalcuAt(8);
  const std::vector<uint8_t> misted = mask();
  EXPECT_NE(misted, dry);
  for (size_t i = 0; i < misted.size(); ++i) ASSERT_GE(misted[i], dry[i]);
  // The region is drawn through the mask.
  // (Where the drops fell depends on the random sequence, so the test looks
  // for a pixel the mist left clear.)
  Clear(0);
  PrintAt(8, 0);
  EXPECT_EQ(At(0, 0), 0xFFFFFFu);
  const auto clear = std::find_if(misted.begin(), misted.end(), [](uint8_t m) { return m < 255; });
  ASSERT_NE(clear, misted.end());
  const int at = static_cast<int>(clear - misted.begin());
  EXPECT_NE(At(at % kW, at / kW), 0xFFFFFFu);
}

// A frame's draws: each drop's column and row, then the first drop's map
// (drawn with no drops too), then the wipe's map when the pointer moved.
TEST_F(BokashiTest, MistDrawsInOrder) {
  ChannelPicture(8, kW, kH, [](int, int) { return 0xFFFFFFu; }, [](int, int) { return uint8_t{255}; });
  struct Case {
    int drops, moved, draws;
  };
  for (const Case& c : {Case{0, 0, 1}, Case{2, 0, 5}, Case{0, 1, 2}, Case{3, 1, 8}}) {
    ASSERT_EQ(Start(8, 97, {0, 20, 1, c.drops}), 1);
    manager_->SetMousePos(10, 10);
    CalcuAt(8);
    if (c.moved) manager_->SetMousePos(30, 20);
    const std::vector<int> draws = Draws(5, c.draws + 1);
    CalcuAt(8);
    EXPECT_EQ(crt::rand(), draws.back()) << c.drops << " drops, moved " << c.moved;
  }
}

}  // namespace
}  // namespace effect_test
