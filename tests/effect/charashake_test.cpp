#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "effect/charashake.h"
#include "graphics/blendrows.h"
#include "effect_fixture.h"
#include "setup/random.h"

namespace effect_test {
namespace {

class CharaShakeTest : public EffectTest {
 protected:
  EffectChannel& Record() { return *manager_->GetChannel(5); }
  CPicture& Picture() { return *manager_->GetPicture(5); }
  // A w x h picture on channel 5 at (x, y): varied colours, a mask with
  // clear, soft and opaque parts.
  void Character(int w, int h, int x = 0, int y = 0) {
    ChannelPicture(
        5, w, h, [](int px, int py) { return uint32_t(px * 37 + py * 11) * 0x010307u & 0xFFFFFFu; },
        [](int px, int py) {
          const int k = (px * 7 + py * 3) % 9;
          return uint8_t(k < 2 ? 0 : k < 5 ? 255 : k * 28);
        });
    const int rect[4] = {x, y, w, h};
    for (int kind : {2, 3, 5}) manager_->SetRect(5, kind, rect);
  }
  void Draw(int counter, uint32_t under = 0x204060) {
    Record().Counter() = counter;
    Clear(under);
    manager_->PrintRange(5, 5, 0, 0);
  }
  static std::vector<uint32_t> Screen() {
    std::vector<uint32_t> s;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) s.push_back(At(x, y));
    return s;
  }
};

// --- #132 ---

TEST_F(CharaShakeTest, ASwingTakesFiveDrawsInOrder) {
  Character(8, 8);
  const std::vector<int> d = Draws(5, 11);
  ASSERT_EQ(Start(5, 132, {20, 4, 6, 8, 50, 50}), 1);
  const EffectChannel& r = Record();
  const int tx = (400 - d[0] % 200) / 100, ty = (600 - d[1] % 300) / 100;
  EXPECT_EQ(r.Param(24), d[3] % 100 >= 50 ? tx : -tx);
  EXPECT_EQ(r.Param(25), d[4] % 100 >= 50 ? ty : -ty);
  EXPECT_EQ(r.Param(21), (800 - d[2] % 400) / 100);
  EXPECT_EQ(r.Param(20), 0);
  EXPECT_EQ(r.Param(22), 0);
  // The next swing starts where this one aimed, after its length.
  const int length = r.Param(21), target = r.Param(24);
  for (int i = 0; i <= length; ++i) manager_->GetEffect(132)->Calcu(&Record(), 5);
  EXPECT_EQ(r.Param(20), 0);
  EXPECT_EQ(r.Param(22), target);
  EXPECT_EQ(crt::rand(), d[10]);
}

TEST_F(CharaShakeTest, NoShakeWidthDrawsThePictureStill) {
  Character(8, 8, 10, 10);
  Clear(0x204060);
  Picture().Put(10, 10, 1);
  const std::vector<uint32_t> still = Screen();
  ASSERT_EQ(Start(5, 132, {20, 0, 0, 3}), 1);
  for (int i = 0; i < 12; ++i) {
    manager_->GetEffect(132)->Calcu(&Record(), 5);
    Draw(i);
    EXPECT_EQ(Screen(), still) << i;
  }
  // Huge values and any swing state stay in range.
  ASSERT_EQ(Start(5, 132, {20, INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, 0, 0}), 1);
  for (int i = 20; i < 26; ++i) Record().Param(i) = i % 2 ? INT_MAX : INT_MIN;
  manager_->GetEffect(132)->Calcu(&Record(), 5);
  Draw(3);
}

// --- #90 ---

TEST_F(CharaShakeTest, FlashCyclesPictureAndSilhouetteUntilTheEnd) {
  Character(8, 8, 4, 4);
  Clear(0x204060);
  Picture().ShapeBlt(4, 4, 0, 0, 8, 8, 10, 20, 30);
  const std::vector<uint32_t> shape = Screen();
  Clear(0x204060);
  Picture().Blt(4, 4, 0, 0, 8, 8, 1);
  const std::vector<uint32_t> plain = Screen();
  ASSERT_EQ(Start(5, 90, {20, 10 + 256, 20, 30, 3, 2}), 1);
  for (int counter = 0; counter <= 22; ++counter) {
    const bool silhouette = counter < 20 && counter % 5 >= 3;
    Draw(counter);
    EXPECT_EQ(CEffectCharaFlash::Silhouette(Record()), silhouette) << counter;
    EXPECT_EQ(Screen(), silhouette ? shape : plain) << counter;
  }
  ASSERT_EQ(Start(5, 90, {20, 0, 0, 0, INT_MAX, INT_MAX}), 1);
  Draw(5);
  EXPECT_EQ(Screen(), plain);
}

// --- #125 ---

// The blur as a plain sum over each window, for the picture on channel 5.
std::vector<uint32_t> BlurReference(const CPicture& p, int x0, int y0, int bx, int by, bool extend,
                                    const std::vector<uint32_t>& under, int w, int h) {
  std::vector<uint32_t> out = under;
  int dx = 0, dy = 0, bl = 0, bt = 0, bw = p.GetWidth(), bh = p.GetHeight();
  if (!p.ClipToBox(&dx, &dy, &bl, &bt, &bw, &bh)) return out;
  const int br = bl + bw, bb = bt + bh;
  const uint32_t f = std::min(65536 / (bx * by), 32767);
  for (int Y = std::max(0, y0 + bt - by / 2); Y < std::min(h, y0 + bb + by - by / 2); ++Y)
    for (int X = std::max(0, x0 + bl - bx / 2); X < std::min(w, x0 + br + bx - bx / 2); ++X) {
      uint32_t s[4] = {};
      for (int r = Y - y0 - by / 2; r < Y - y0 - by / 2 + by; ++r) {
        int row = r;
        if (row < bt) continue;
        if (row >= bb) {
          if (!extend) continue;
          row = bb - 1;
        }
        for (int c = X - x0 - bx / 2; c < X - x0 - bx / 2 + bx; ++c) {
          if (c < bl || c >= br) continue;
          const size_t i = size_t(row) * p.GetWidth() + c;
          const uint32_t m = p.GetMask()[i], px = p.GetPixelBuffer()[i];
          s[0] += (px & 255) * m, s[1] += (px >> 8 & 255) * m, s[2] += (px >> 16 & 255) * m;
          s[3] += m;
        }
      }
      if (s[3] == 0) continue;
      const uint32_t a = 2 * (((s[3] >> 1) * f) >> 16);
      uint32_t& o = out[size_t(Y) * w + X];
      uint32_t v = 0;
      for (int c = 0; c < 3; ++c) {
        const uint32_t c16 = (s[c] >> 16) * f + 2 * ((((s[c] & 65535) >> 1) * f) >> 16);
        v |= std::min<uint32_t>((c16 + (o >> (8 * c) & 255) * (254 - a)) >> 8, 255) << (8 * c);
      }
      o = v;
    }
  return out;
}

TEST_F(CharaShakeTest, BlurMatchesPlainWindowSums) {
  const struct {
    int w, h, x, y;
    std::vector<int> values;
    int bx, by;
  } kCases[] = {
      {20, 16, 10, 8, {20, 8, 8}, 8, 8},
      {20, 16, 10, 8, {20, 5, 3, 100, 100, 0, 0, 0, 1}, 5, 3},
      {20, 16, 10, 8, {20, 8, 6, 100, 100, 0, 0, 1, 1}, 7, 5},     // odd sizes only
      {20, 16, 10, 8, {20, 32, 32}, 32, 8},                        // cut to 256 / 32
      {90, 70, -13, -9, {20, 16, 16}, 16, 16},                     // larger than the screen
      {30, 20, 50, 40, {20, 256, 1, 100, 100, 0, 0, 0, 1}, 256, 1},  // mostly off the screen
      {1, 1, 3, 3, {20, 4, 4}, 4, 4},
  };
  for (const auto& c : kCases) {
    Character(c.w, c.h, c.x, c.y);
    ASSERT_EQ(Start(5, 125, c.values), 1);
    int bx = 0, by = 0;
    CEffectCharaBokashi::BlurSize(Record(), &bx, &by);
    EXPECT_EQ(bx, c.bx);
    EXPECT_EQ(by, c.by);
    if (c.values.size() == 3 && c.values[1] == 32) {
      EXPECT_EQ(Record().Param(2), 8);
    }
    Clear(0x204060);
    const std::vector<uint32_t> expected = BlurReference(
        Picture(), c.x, c.y, bx, by, Record().Param(8) != 0, Screen(), kW, kH);
    Draw(20);
    EXPECT_EQ(Screen(), expected) << c.w << "x" << c.h << " at " << c.x << "," << c.y;
  }
}

TEST_F(CharaShakeTest, BlurRowsMatchThePlainLoop) {
  // Column sums of by random rows (masks 0 and 255 among them), rows of
  // lengths across the pieces' edges, in both widths of lanes.
  uint32_t seed = 5;
  auto next = [&] { return seed = seed * 1103515245u + 12345u; };
  const struct {
    int bx, by;
  } kSizes[] = {{2, 1}, {3, 5}, {16, 16}, {256, 1}, {1, 256}};
  for (bool wide : {false, true}) {
    if (wide && !blendrows::WideRowsAvailable()) continue;
    blendrows::AllowWideRows(wide);
    for (const auto& size : kSizes)
      for (int n : {1, 63, 64, 65, 200}) {
        const int slots = n + size.bx - 1;
        std::vector<uint32_t> planes(size_t(slots) * 4, 0), pixels(slots);
        std::vector<uint8_t> mask(slots);
        const CEffectCharaBokashi::ColumnSums sums{planes.data(), planes.data() + slots,
                                                   planes.data() + 2 * slots,
                                                   planes.data() + 3 * slots};
        for (int row = 0; row < size.by; ++row) {
          for (int i = 0; i < slots; ++i) {
            pixels[i] = next();
            const uint32_t r = next() >> 8;
            mask[i] = static_cast<uint8_t>(r % 3 == 0 ? 0 : r % 3 == 1 ? 255 : r >> 8);
          }
          CEffectCharaBokashi::MoveColumns(sums, slots, pixels.data(), mask.data(), nullptr,
                                           nullptr);
        }
        const uint32_t f = static_cast<uint32_t>(std::min(65536 / (size.bx * size.by), 32767));
        std::vector<uint32_t> a(n), b;
        for (auto& v : a) v = next();
        b = a;
        CEffectCharaBokashi::BlurRowPlain(sums, n, size.bx, f, a.data());
        CEffectCharaBokashi::BlurRow(sums, n, size.bx, f, b.data());
        ASSERT_EQ(a, b) << size.bx << "x" << size.by << " n " << n << (wide ? " wide" : "");
      }
  }
  blendrows::AllowWideRows(true);
}

TEST_F(CharaShakeTest, NoStrengthDrawsThePicturePlainly) {
  Character(12, 10, 5, 5);
  Clear(0x204060);
  Picture().Blt(5, 5, 0, 0, 12, 10, 1);
  const std::vector<uint32_t> plain = Screen();
  ASSERT_EQ(Start(5, 125, {20, 8, 8, 0, 0}), 1);
  Draw(10);
  EXPECT_EQ(Screen(), plain);
  // Halfway from 0 to 100 % the size is half.
  ASSERT_EQ(Start(5, 125, {20, 8, 8, 100, 0}), 1);
  Record().Counter() = 10;
  int bx = 0, by = 0;
  CEffectCharaBokashi::BlurSize(Record(), &bx, &by);
  EXPECT_EQ(bx, 4);
  EXPECT_EQ(by, 4);
  // Without a mask only the plain size draws.
  ChannelPicture(5, 12, 10, [](int, int) { return 0xFFFFFFu; });
  ASSERT_EQ(Start(5, 125, {20, 8, 8}), 1);
  Draw(20);
  EXPECT_TRUE(ScreenIs(0x204060));
}

}  // namespace
}  // namespace effect_test
