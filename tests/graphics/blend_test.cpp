// The blend and colour blits on worked values: percent weights truncate,
// the mask blends use 255 - weight as the complement, add and subtract
// saturate per byte, the cross-fade weighs in 1/16384 with a screen weight
// that goes negative when the pictures weigh more than the whole, and the
// two-picture blend keeps its sum in 16 bits. The SSE2 rows give the same
// bytes as the plain ones.
#include <random>
#include <vector>

#include "graphics/allpicture.h"
#include "graphics/blendrows.h"
#include "graphics/coloraddblt.h"
#include "screen_fixture.h"

namespace graphics_test {
namespace {

using BlendTest = ScreenTest;

uint32_t Grey(uint32_t v) { return v * 0x010101u; }

TEST_F(BlendTest, TransLucentWeighsByTruncatedPercent) {
  struct Case {
    uint32_t src, dst;
    int percent;
    uint32_t expected;
  } cases[] = {
      {0x00FFFFFF, 0x00000000, 50, 0x007F7F7F},  // (255 * 128) >> 8, not 128
      {0x00000000, 0x00FFFFFF, 50, 0x007F7F7F},  {0x00804020, 0x00204080, 50, 0x00504050},
      {0x00ABCDEF, 0x00123456, 0, 0x00123456},    // screen rewritten unchanged
      {0x00ABCDEF, 0x00123456, 100, 0x00ABCDEF},  // k = 256 copies
      {0x00FFFFFF, 0x00000000, 99, Grey(252)},    // k = 253
      {0x00FFFFFF, 0x00000000, 1, Grey(1)},       // k = 2
      {0xFF000000, 0x00000000, 50, 0x7F000000},   // the top byte blends too
  };
  for (const Case& c : cases) {
    At(1, 1) = c.dst;
    CAllPicture::TransLucentBlt(1, 1, 0, 0, 1, 1, &c.src, 1, 1, c.percent);
    EXPECT_EQ(At(1, 1), c.expected)
        << std::hex << c.src << " over " << c.dst << " " << std::dec << c.percent;
    At(1, 1) = c.dst;
    CAllPicture::TransLucentBlt0(1, 1, 0, 0, 1, 1, &c.src, 1, 1, c.percent);
    EXPECT_EQ(At(1, 1), c.expected) << "TransLucentBlt0 " << c.percent;
  }
}

TEST_F(BlendTest, TransLucentThroughMaskUsesComplement255) {
  struct Case {
    uint32_t src, dst;
    uint8_t m;
    int percent;
    uint32_t expected;
  } cases[] = {
      {0x00FFFFFF, 0x00FFFFFF, 128, 100, Grey(254)},  // a = 128 over 127
      {0x00FFFFFF, 0x00000000, 255, 50, Grey(127)},   // 255: k over 256 - k
      {0x00FFFFFF, 0x00000000, 200, 50, Grey(99)},    // a = (200 * 128) >> 8 = 100
      {0x00FFFFFF, 0x00123456, 0, 100, 0x00123456},   // skipped
      {0x00FFFFFF, 0x00123456, 255, 0, 0x00123456},   // percent 0 draws nothing
      {0x00FFFFFF, 0x00123456, 255, -5, 0x00123456},
  };
  for (const Case& c : cases) {
    At(2, 2) = c.dst;
    CAllPicture::TransLucentBlt3(2, 2, 0, 0, 1, 1, &c.src, &c.m, 1, 1, c.percent);
    EXPECT_EQ(At(2, 2), c.expected) << "m " << int{c.m} << " percent " << c.percent;
  }
}

TEST_F(BlendTest, AddSaturatesEveryByteOfOddAndEvenRows) {
  // Three pixels a row: the pair and the odd one left over.
  const uint32_t src[6] = {0x00F01020, 0x80000001, 0x00010101, 0x00FFFFFF, 0x00000000, 0x00102030};
  const uint32_t dst = 0x90203040;
  Clear(dst);
  CAllPicture::AddBlt(4, 5, 0, 0, 3, 2, src, 3, 2);
  EXPECT_EQ(At(4, 5), 0x90FF4060u);
  EXPECT_EQ(At(5, 5), 0xFF203041u);
  EXPECT_EQ(At(6, 5), 0x90213141u);
  EXPECT_EQ(At(4, 6), 0x90FFFFFFu);
  EXPECT_EQ(At(5, 6), dst);
  EXPECT_EQ(At(6, 6), 0x90305070u);
  EXPECT_EQ(CountChanged(dst), 5);
}

TEST_F(BlendTest, AddSubMovesTheScreenByTheScaledPictureThroughTheMask) {
  struct Case {
    uint32_t src, dst;
    uint8_t m;
    int level;
    uint32_t expected;
  } cases[] = {
      {Grey(50), Grey(200), 255, -100, Grey(149)},  // ((150 * 255) >> 8) + ((200 * 1) >> 8)
      {Grey(50), Grey(200), 255, 100, Grey(249)},
      {Grey(50), Grey(200), 128, 100, Grey(225)},  // 125 + 100
      {Grey(200), Grey(200), 255, 50, Grey(254)},  // t = 100, 300 saturates
      {Grey(255), Grey(100), 255, -50, Grey(0)},   // t = 127, below 0 saturates
      {Grey(50), Grey(200), 0, 100, Grey(200)},    // m = 0 skipped
      {Grey(50), Grey(200), 255, 0, Grey(200)},    // level 0 draws nothing
  };
  for (const Case& c : cases) {
    At(3, 3) = c.dst;
    CAllPicture::AddSubBlt(3, 3, 0, 0, 1, 1, &c.src, &c.m, 1, 1, c.level);
    EXPECT_EQ(At(3, 3), c.expected) << "m " << int{c.m} << " level " << c.level;
  }
  // Without a mask every pixel counts as opaque instead of reading nothing.
  const uint32_t src = Grey(50);
  At(3, 3) = Grey(200);
  CAllPicture::AddSubBlt(3, 3, 0, 0, 1, 1, &src, nullptr, 1, 1, -100);
  EXPECT_EQ(At(3, 3), Grey(149));
}

TEST_F(BlendTest, ShapeKeysOnTheMaskValueAtTheRectangleStart) {
  const uint8_t mask[4] = {255, 0, 0, 255};
  Clear(7);
  CAllPicture::ShapeBlt(0, 0, 0, 0, 4, 1, mask, 4, 1, 0x12, 0x34, 0x56);
  EXPECT_EQ(At(0, 0), 7u);
  EXPECT_EQ(At(1, 0), 0x00123456u);
  EXPECT_EQ(At(2, 0), 0x00123456u);
  EXPECT_EQ(At(3, 0), 7u);
  // Starting on a transparent value paints the opaque part instead.
  Clear(7);
  CAllPicture::ShapeBlt(0, 0, 1, 0, 3, 1, mask, 4, 1, 0x12, 0x34, 0x56);
  EXPECT_EQ(At(0, 0), 7u);
  EXPECT_EQ(At(1, 0), 7u);
  EXPECT_EQ(At(2, 0), 0x00123456u);
}

TEST_F(BlendTest, ColorAddAppliesTheSignedColourThenBlends) {
  const uint8_t none = 0;
  struct Case {
    const char* what;
    uint32_t src, dst;
    const uint8_t* mask;
    int transparent, r, g, b, percent;
    uint32_t expected;
  } cases[] = {
      {"minus 255 removes red", 0x00FF8040, 0, nullptr, 0, -255, 0, 0, 100, 0x00008040},
      {"add and subtract saturate", 0x00F01010, 0, nullptr, 0, 32, 16, -32, 100, 0x00FF2000},
      {"percent blends", Grey(200), Grey(100), nullptr, 0, 0, 0, 0, 50, Grey(150)},
      {"flag clear ignores the mask", Grey(60), Grey(100), &none, 0, 0, 0, 0, 100, Grey(60)},
  };
  for (const Case& c : cases) {
    At(0, 0) = c.dst;
    CAllPicture::ColorAddBlt(0, 0, 0, 0, 1, 1, &c.src, c.mask, 1, 1, c.transparent, c.r, c.g, c.b,
                             c.percent);
    EXPECT_EQ(At(0, 0), c.expected) << c.what;
  }

  // Masked: m scaled by k unless k = 256; 255 writes c, else c * m over
  // 255 - m. A mask scaled to 0 still dims the screen by 255/256.
  struct Masked {
    uint8_t m;
    int percent;
    uint32_t expected;
  } masked[] = {
      {255, 100, Grey(60)},
      {128, 100, Grey((60 * 128 + 200 * 127) >> 8)},
      {255, 50, Grey((60 * 127 + 200 * 128) >> 8)},
      {1, 50, Grey((200 * 255) >> 8)},
      {0, 100, Grey(200)},
  };
  for (const Masked& c : masked) {
    const uint32_t src = Grey(50);
    At(0, 0) = Grey(200);
    CAllPicture::ColorAddBlt(0, 0, 0, 0, 1, 1, &src, &c.m, 1, 1, 1, 10, 10, 10, c.percent);
    EXPECT_EQ(At(0, 0), c.expected) << "m " << int{c.m} << " percent " << c.percent;
  }

  // Keyed: pixels equal to pixels[0] as stored are skipped.
  const uint32_t keyed[3] = {0x00FF00FF, 0x00FF00FF, 0x00101010};
  Clear(Grey(9));
  CAllPicture::ColorAddBlt(0, 0, 0, 0, 3, 1, keyed, nullptr, 3, 1, 1, 0, 0, 16, 100);
  EXPECT_EQ(At(0, 0), Grey(9));
  EXPECT_EQ(At(1, 0), Grey(9));
  EXPECT_EQ(At(2, 0), 0x00101020u);
}

TEST_F(BlendTest, CrossFadeWeighsBothMasksAndWrapsTheScreenWeight) {
  struct Case {
    uint32_t a, b, dst;
    uint8_t mA, mB;
    int percentA, percentB;
    uint32_t expected;
  } cases[] = {
      // kA = 77, kB = 179: 4928 + 11456 = 16384, the screen adds nothing.
      {Grey(200), Grey(100), Grey(50), 255, 255, 30, 70, Grey(60 + 69)},
      // wA = (256 * 128) >> 2 = 8192: the screen keeps the other half.
      {Grey(200), Grey(0), Grey(100), 128, 0, 100, 0, Grey(100 + 50)},
      // Both 100 %: wA + wB = 32768, the screen weighs -16384 and is taken away.
      {Grey(100), Grey(100), Grey(50), 255, 255, 100, 100, Grey(150)},
      {Grey(100), Grey(100), Grey(250), 255, 255, 100, 100, Grey(0)},
      {Grey(200), Grey(200), Grey(0), 255, 255, 100, 100, Grey(255)},
      // Percentages above 100 are held to a weight of 256.
      {Grey(100), Grey(100), Grey(50), 255, 255, 150, 100, Grey(150)},
      // Both masks 0 keep the screen.
      {Grey(10), Grey(20), Grey(30), 0, 0, 50, 50, Grey(30)},
  };
  for (const Case& c : cases) {
    At(5, 6) = c.dst;
    CAllPicture::ChangeTransLucentBlt(5, 6, 1, 1, &c.a, &c.b, &c.mA, &c.mB, 1, 1, 1, 1, c.percentA,
                                      c.percentB);
    EXPECT_EQ(At(5, 6), c.expected) << "masks " << int{c.mA} << "," << int{c.mB} << " percents "
                                    << c.percentA << "," << c.percentB;
  }
}

TEST_F(BlendTest, FullScreenBlendsNeedPicturesCoveringTheScreen) {
  // 66 x 50 pictures shown from (2, 1): screen (0, 0) is picture (2, 1).
  const int w = kW + 2, h = kH + 2;
  std::vector<uint32_t> a(static_cast<size_t>(w) * h, Grey(200));
  std::vector<uint32_t> b(a.size(), Grey(100));
  a[1 * w + 2] = Grey(10);
  Clear(Grey(100));
  CAllPicture::OverrapBlt2(2, 1, a.data(), w, h, 0, 0, b.data(), w, h, 70, 30);
  EXPECT_EQ(At(1, 1), Grey(169));  // (200 * 179 + 100 * 76) >> 8
  EXPECT_EQ(At(0, 0), Grey((10 * 179 + 100 * 76) >> 8));
  EXPECT_EQ(CountChanged(Grey(169)), 1);
  // The sum is kept in 16 bits: 200 * 256 + 100 * 256 wraps to 11264.
  CAllPicture::OverrapBlt2(0, 0, a.data(), w, h, 0, 0, b.data(), w, h, 100, 100);
  EXPECT_EQ(At(5, 5), Grey(44));

  // One picture over the screen; weights summing above 256 saturate.
  Clear(Grey(100));
  CAllPicture::OverrapBlt(0, 0, a.data(), w, h, 50, 50);
  EXPECT_EQ(At(3, 3), Grey(150));
  CAllPicture::OverrapBlt(0, 0, a.data(), w, h, 100, 100);
  EXPECT_EQ(At(3, 3), Grey(255));

  // Too narrow, too low, or an offset pushing the screen area outside.
  struct Bad {
    int x, y, width, height;
  } bad[] = {{0, 0, kW - 1, kH}, {0, 0, kW, kH - 1}, {3, 0, w, h}, {0, 3, w, h}, {-1, 0, w, h}};
  for (const Bad& c : bad) {
    Clear(7);
    CAllPicture::OverrapBlt(c.x, c.y, a.data(), c.width, c.height, 0, 100);
    CAllPicture::OverrapBlt2(c.x, c.y, a.data(), c.width, c.height, 0, 0, b.data(), w, h, 50, 50);
    CAllPicture::OverrapBlt2(0, 0, b.data(), w, h, c.x, c.y, a.data(), c.width, c.height, 50, 50);
    EXPECT_EQ(CountChanged(7), 0) << c.x << "," << c.y << " " << c.width << "x" << c.height;
  }
}

TEST_F(BlendTest, BrightnessTransferScalesByLuma) {
  CYUVChangeBlt yuv;
  EXPECT_EQ(yuv.Reciprocal(0), 32767);
  EXPECT_EQ(yuv.Reciprocal(1), 32767);
  EXPECT_EQ(yuv.Reciprocal(2), 16383);
  EXPECT_EQ(yuv.Reciprocal(255), 128);
  EXPECT_EQ(CYUVChangeBlt::Luma(0x00FFFFFF), 255);
  EXPECT_EQ(CYUVChangeBlt::Luma(0x00FF0000), 76);  // (9798 * 255) >> 15

  // Screen grey 100 takes the source's luma 200: q = (200 * 327) >> 8 = 255,
  // each channel (255 * 100) >> 7 = 199.
  struct Case {
    uint32_t src, dst;
    const uint8_t* mask;
    int swap, level;
    uint32_t expected;
  } cases[] = {
      {Grey(200), Grey(100), nullptr, 0, 255, Grey(199)},
      {Grey(200), Grey(100), nullptr, 0, 128, Grey((199 + 99) >> 1)},
      {Grey(200), Grey(100), nullptr, 0, 383, Grey((199 + 198) >> 1)},  // toward the source
      {Grey(200), Grey(100), nullptr, 1, 255, Grey(98)},                // source scaled to luma 100
      {Grey(200), Grey(100), nullptr, 0, 0, Grey(100)},
      {0x00FFFFFF, 0x00000000, nullptr, 0, 255, 0},  // black stays black
  };
  for (const Case& c : cases) {
    At(0, 0) = c.dst;
    CAllPicture::YUVChangeBlt(0, 0, 0, 0, 1, 1, &c.src, c.mask, 1, 1, c.swap, c.level);
    EXPECT_EQ(At(0, 0), c.expected) << "swap " << c.swap << " level " << c.level;
  }
  // With a mask the mask value is the weight and the level is not used.
  const uint32_t src = Grey(200);
  const uint8_t m = 128;
  At(0, 0) = Grey(100);
  CAllPicture::YUVChangeBlt(0, 0, 0, 0, 1, 1, &src, &m, 1, 1, 0, 255);
  EXPECT_EQ(At(0, 0), Grey(149));
}

TEST(BlendRows, FastRowsGiveTheSameBytesAsThePlainLoops) {
  std::mt19937 random(7);
  auto pixel = [&] {
    // Many extremes, so the saturating and wrapping ends are hit.
    static const uint32_t extremes[] = {0, 0xFFFFFFFF, 0x00FFFFFF, 0xFF000000, 0x00FF00FF};
    return random() % 4 == 0 ? extremes[random() % 5] : static_cast<uint32_t>(random());
  };
  auto maskByte = [&] {
    const uint32_t r = random() % 4;
    return static_cast<uint8_t>(r == 0 ? 0 : r == 1 ? 255 : random());
  };
  const int weights[] = {0, 1, 2, 127, 128, 129, 253, 255, 256};
  // The 128-bit rows, then the 256-bit ones where the processor has them.
  for (bool wide : {false, true}) {
    if (wide && !blendrows::WideRowsAvailable()) continue;
    blendrows::AllowWideRows(wide);
    for (size_t n = 0; n < 40; ++n) {
      std::vector<uint32_t> a(n), b(n), d(n);
      std::vector<uint8_t> mA(n), mB(n);
      for (size_t i = 0; i < n; ++i) {
        a[i] = pixel();
        b[i] = pixel();
        d[i] = pixel();
        mA[i] = maskByte();
        mB[i] = maskByte();
        // Some rows with a run where both masks are 255 or both 0.
        if (n % 3 != 0 && i >= 13 && i < 33) mA[i] = mB[i] = n % 3 == 1 ? 255 : 0;
      }
      auto same = [&](auto plain, auto fast, const char* what) {
        std::vector<uint32_t> x = d, y = d;
        plain(x.data());
        fast(y.data());
        ASSERT_EQ(x, y) << what << " n " << n << (wide ? " wide" : "");
      };
      same([&](uint32_t* o) { blendrows::AddScalar(o, a.data(), n); },
           [&](uint32_t* o) { blendrows::Add(o, a.data(), n); }, "add");
      for (int k : weights)
        for (int l : weights) {
          same([&](uint32_t* o) { blendrows::TransLucentScalar(o, a.data(), n, k); },
               [&](uint32_t* o) { blendrows::TransLucent(o, a.data(), n, k); }, "translucent");
          same([&](uint32_t* o) { blendrows::Overrap2Scalar(o, a.data(), b.data(), n, k, l); },
               [&](uint32_t* o) { blendrows::Overrap2(o, a.data(), b.data(), n, k, l); },
               "overrap2");
          same([&](uint32_t* o) { blendrows::OverrapScalar(o, a.data(), n, k, l); },
               [&](uint32_t* o) { blendrows::Overrap(o, a.data(), n, k, l); }, "overrap");
          same(
              [&](uint32_t* o) {
                blendrows::CrossFadeScalar(o, a.data(), b.data(), mA.data(), mB.data(), n, k, l);
              },
              [&](uint32_t* o) {
                blendrows::CrossFade(o, a.data(), b.data(), mA.data(), mB.data(), n, k, l);
              },
              "cross-fade");
        }
      // The masked and tinted rows, weights beyond 0..256 by the plain loops.
      const blendrows::SignedColour colours[] = {
          {0, 0, 0}, {40, -20, 10}, {255, -255, 128}, {-255, 255, -1}};
      const uint32_t key = n > 0 ? a[n / 2] : 0;
      for (int k : {0, 1, 2, 127, 128, 129, 254, 255, 256, -3, 300}) {
        same([&](uint32_t* o) { blendrows::TransMaskScalar(o, a.data(), mA.data(), n, k); },
             [&](uint32_t* o) { blendrows::TransMask(o, a.data(), mA.data(), n, k); },
             "translucent through the mask");
        for (const auto& c : colours) {
          same([&](uint32_t* o) { blendrows::TintMaskScalar(o, a.data(), mA.data(), n, k, c); },
               [&](uint32_t* o) { blendrows::TintMask(o, a.data(), mA.data(), n, k, c); },
               "tinted through the mask");
          for (const uint32_t* keyed : {static_cast<const uint32_t*>(nullptr), &key})
            same([&](uint32_t* o) { blendrows::TintScalar(o, a.data(), n, k, c, keyed); },
                 [&](uint32_t* o) { blendrows::Tint(o, a.data(), n, k, c, keyed); }, "tinted");
        }
      }
    }
  }
  blendrows::AllowWideRows(true);
}

TEST_F(BlendTest, EntriesDrawNothingForEmptyRectanglesOrWithoutTheirBlitter) {
  const uint32_t src[4] = {0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF};
  const uint8_t mask[4] = {255, 255, 255, 255};
  auto drawAll = [&](int w, int h) {
    CAllPicture::TransLucentBlt(0, 0, 0, 0, w, h, src, 2, 2, 50);
    CAllPicture::TransLucentBlt3(0, 0, 0, 0, w, h, src, mask, 2, 2, 50);
    CAllPicture::AddBlt(0, 0, 0, 0, w, h, src, 2, 2);
    CAllPicture::AddSubBlt(0, 0, 0, 0, w, h, src, mask, 2, 2, 50);
    CAllPicture::ShapeBlt(0, 0, 0, 0, w, h, mask, 2, 2, 1, 2, 3);
    CAllPicture::ColorAddBlt(0, 0, 0, 0, w, h, src, mask, 2, 2, 1, 0, 0, 0, 100);
    CAllPicture::YUVChangeBlt(0, 0, 0, 0, w, h, src, mask, 2, 2, 0, 255);
    CAllPicture::ChangeTransLucentBlt(0, 0, w, h, src, src, mask, mask, 2, 2, 2, 2, 50, 50);
  };
  Clear(7);
  drawAll(0, 2);
  drawAll(2, -1);
  EXPECT_EQ(CountChanged(7), 0);
  // A second owner's release empties the process-wide slots: every entry
  // is then a no-op although the screen is still there.
  { CAllPicture other; }
  drawAll(2, 2);
  EXPECT_EQ(CountChanged(7), 0);
}

}  // namespace
}  // namespace graphics_test
