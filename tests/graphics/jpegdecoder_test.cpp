// The JPEG decoder: its transform and colour kernels, agreement with libjpeg
// on both paths over sampling kinds, restart intervals and odd sizes,
// tables kept between pictures, the "jpegMMX" setting, picture files of
// types '5' and '7', and bodies that are broken, cut short or random.
#include "graphics/jpegdecoder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "graphics/blendrows.h"
#include "graphics/dwqformat.h"
#include "graphics/jpegkernels.h"
#include "jpeg_oracle.h"
#include "picture_fixture.h"

namespace graphics_test {
namespace {

using dwqtool::JpegSampling;

// --- Pictures to encode ---

enum class Content { kSmooth, kHard, kNoise };

// Smooth: gradients and waves, like a painted background. Hard: black
// outlines on saturated fills and white specks, which make the transform
// overshoot the sample range. Noise: every pixel random.
dwqtool::Picture Scene(Content content, int w, int h, unsigned seed = 1) {
  dwqtool::Picture p{w, h, {}, {}};
  std::mt19937 random(seed);
  static const uint32_t kFills[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00,
                                    0xFF00FF, 0x00FFFF, 0xFFFFFF, 0x202020};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint32_t px = 0;
      switch (content) {
        case Content::kSmooth: {
          const int r = 128 + static_cast<int>(90 * std::sin(x / 7.0 + y / 11.0));
          const int g = 120 + static_cast<int>(80 * std::cos(x / 5.0 - y / 9.0));
          const int b = (x * 3 + y * 2) % 200 + 28;
          px = static_cast<uint32_t>(r << 16 | g << 8 | b);
          break;
        }
        case Content::kHard:
          px = kFills[((x + 3) / 11 + (y + 5) / 7 * 3) % 8];
          if (x % 10 == 4 || y % 9 == 2) px = 0;
          if ((x * 7 + y * 13) % 31 == 0) px = 0xFFFFFF;
          break;
        case Content::kNoise:
          px = random() & 0xFFFFFF;
          break;
      }
      p.pixels.push_back(px);
    }
  return p;
}

std::vector<uint8_t> Encode(const dwqtool::Picture& p, JpegSampling sampling, int quality = 90,
                            int restart = 0, bool tables = true) {
  dwqtool::Options options;
  options.jpegSampling = sampling;
  options.jpegQuality = quality;
  options.jpegRestart = restart;
  options.jpegTables = tables;
  std::vector<uint8_t> out;
  std::string error;
  EXPECT_TRUE(dwqtool::EncodeJpeg(p, options, &out, &error)) << error;
  return out;
}

const char* Name(JpegSampling s) {
  return s == JpegSampling::k444 ? "444" : s == JpegSampling::k422 ? "422" : "420";
}

std::string Describe(int w, int h, JpegSampling sampling, Content content, int restart,
                     int quality) {
  return std::to_string(w) + "x" + std::to_string(h) + " " + Name(sampling) + " content " +
         std::to_string(static_cast<int>(content)) + " restart " + std::to_string(restart) +
         " quality " + std::to_string(quality);
}

// The engine's decode on the chosen path.
int EngineDecode(CJpegDecoder& decoder, const std::vector<uint8_t>& jpeg, bool floatPath,
                 Decoded* out) {
  CJpegDecoder::SetNoMmx(floatPath);
  CPicture picture;
  const int ok = decoder.Decode(jpeg.data(), jpeg.size(), &picture);
  CJpegDecoder::SetNoMmx(0);
  out->width = picture.GetWidth();
  out->height = picture.GetHeight();
  const uint32_t* px = picture.GetPixelBuffer();
  out->pixels.assign(px, px ? px + static_cast<size_t>(out->width) * out->height : px);
  return ok;
}

// --- Kernels ---

TEST(JpegTransforms, MatchTheDefinition) {
  // The float path within 0.02 of the exact transform; the fixed-point
  // path's samples within 1 of the exact ones rounded and held to 0..255,
  // on sparse blocks, dense ones and blocks that overshoot the range.
  const double pi = 3.14159265358979323846;
  double basis[8][8];  // C(u)/2 cos((2x + 1) u pi / 16)
  for (int u = 0; u < 8; ++u)
    for (int x = 0; x < 8; ++x)
      basis[u][x] = (u ? 0.5 : 0.5 / std::sqrt(2.0)) * std::cos((2 * x + 1) * u * pi / 16);
  float scale[64];
  for (int u = 0; u < 8; ++u)
    for (int v = 0; v < 8; ++v)
      scale[u * 8 + v] =
          static_cast<float>(jpegkernels::ScaleFactor(u) * jpegkernels::ScaleFactor(v) / 8.0);
  std::mt19937 random(3);
  int fixedOff = 0;
  for (int round = 0; round < 600; ++round) {
    int32_t coef[64] = {};
    uint16_t quant[64];
    const int density = 1 + round % 4, reach = round % 3 == 0 ? 8 : 50;
    for (int n = 0; n < 64; ++n) {
      quant[n] = static_cast<uint16_t>(1 + random() % 20);
      if (random() % density == 0 || n == 0)
        coef[n] = static_cast<int32_t>(random() % (2 * reach + 1)) - reach;
    }
    float out[64];
    int16_t dequantised[64];
    uint8_t samples[64];
    jpegkernels::FloatIdct(coef, quant, scale, out);
    for (int n = 0; n < 64; ++n) dequantised[n] = jpegkernels::FixedDequantise(coef[n], quant[n]);
    jpegkernels::FixedIdctScalar(dequantised, samples);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) {
        double sum = 0;
        for (int u = 0; u < 8; ++u)
          for (int v = 0; v < 8; ++v)
            sum += coef[u * 8 + v] * quant[u * 8 + v] * basis[u][y] * basis[v][x];
        ASSERT_NEAR(out[y * 8 + x], sum, 0.02) << "round " << round << " at " << x << "," << y;
        const double exact = std::clamp(std::floor(sum + 128.5), 0.0, 255.0);
        ASSERT_NEAR(samples[y * 8 + x], exact, 1) << "round " << round << " at " << x << "," << y;
        fixedOff += samples[y * 8 + x] != exact;
      }
  }
  // Off by one only where the exact value is close to a half (a rounding
  // that leaned one way would miss far more often).
  EXPECT_LT(fixedOff, 600 * 64 / 20);
}

// The SIMD entries with the 256-bit forms, where the processor has them,
// and without.
class JpegKernels : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { blendrows::AllowWideRows(GetParam()); }
  void TearDown() override { blendrows::AllowWideRows(true); }
};
INSTANTIATE_TEST_SUITE_P(Rows, JpegKernels, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "wide" : "narrow"; });

TEST_P(JpegKernels, SimdEntriesGiveTheReferenceBytes) {
  std::mt19937 random(5);
  const int16_t extremes[] = {-32768, 32767, -32767, 0};
  float scale[64];
  for (int u = 0; u < 8; ++u)
    for (int v = 0; v < 8; ++v)
      scale[u * 8 + v] =
          static_cast<float>(jpegkernels::ScaleFactor(u) * jpegkernels::ScaleFactor(v) / 8.0);
  // Every block with its expected samples, for the batches below.
  std::vector<std::array<int16_t, 64>> coefs;
  std::vector<std::array<uint16_t, 64>> quants;
  std::vector<std::array<uint8_t, 64>> expected;
  for (int round = 0; round < 4000; ++round) {
    int16_t coef[64] = {};
    uint16_t quant[64];
    // Sparse realistic blocks, dense ones, full-range values that overflow
    // inside the passes, the largest values only, and lone DC values (the
    // shortcut) across the whole range; quantisation from 1, through 0 and
    // the 16-bit tables' largest values.
    const int kind = round % 5;
    for (int n = 0; n < 64; ++n) {
      const int qKind = (round / 5) % 4;
      quant[n] = static_cast<uint16_t>(qKind == 0   ? 1
                                       : qKind == 1 ? random() % 64
                                       : qKind == 2 ? random()
                                                    : 65535 - random() % 3);
      if ((kind == 0 && random() % 4) || (kind == 4 && n)) continue;
      if (kind == 2 || kind == 4)
        coef[n] = static_cast<int16_t>(random());
      else if (kind == 3)
        coef[n] = extremes[random() % 4];
      else
        coef[n] = static_cast<int16_t>(static_cast<int>(random() % 4001) - 2000);
    }
    if (kind == 4 && round < 20) coef[0] = extremes[round % 4];
    // The fixed-point entry dequantises all but the DC coefficient, and
    // writes rows a stride apart.
    int16_t dequantised[64];
    dequantised[0] = coef[0];
    for (int n = 1; n < 64; ++n) dequantised[n] = jpegkernels::FixedDequantise(coef[n], quant[n]);
    const size_t stride = 8 + round % 13;
    std::vector<uint8_t> fast(8 * stride, 0xA5), plain(8 * stride, 0xA5);
    uint8_t block[64];
    jpegkernels::FixedIdct(coef, quant, fast.data(), stride);
    jpegkernels::FixedIdctScalar(dequantised, block);
    for (int y = 0; y < 8; ++y) std::memcpy(plain.data() + y * stride, block + y * 8, 8);
    ASSERT_EQ(fast, plain) << "round " << round;
    coefs.push_back(std::to_array(coef));
    quants.push_back(std::to_array(quant));
    expected.push_back(std::to_array(block));

    // The float entries: the same floats, bit for bit, and the same samples.
    int32_t wide[64];
    for (int n = 0; n < 64; ++n)
      wide[n] = kind == 2 && n % 7 == 0 ? static_cast<int32_t>(random()) : coef[n];
    float fastOut[64], plainOut[64];
    jpegkernels::FloatIdct(wide, quant, scale, fastOut);
    jpegkernels::FloatIdctScalar(wide, quant, scale, plainOut);
    ASSERT_EQ(std::memcmp(fastOut, plainOut, sizeof fastOut), 0) << "round " << round;
    jpegkernels::FloatSamples(plainOut, fast.data(), stride);
    jpegkernels::FloatSamplesScalar(plainOut, plain.data(), stride);
    ASSERT_EQ(fast, plain) << "round " << round;
  }
  // The same blocks in batches of 1 to 6 (an MCU's), which the 256-bit form
  // takes two at a time: all of them, where DC-only blocks meet full ones
  // and 16-bit tables, then the DC-only ones (every fifth) among themselves.
  std::vector<size_t> order(coefs.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  for (size_t i = 4; i < coefs.size(); i += 5) order.push_back(i);
  for (size_t first = 0, count = 1; first < order.size(); first += count, count = count % 6 + 1) {
    const size_t n = std::min(count, order.size() - first);
    std::vector<uint8_t> out(n * 64);
    std::vector<jpegkernels::FixedBlock> blocks;
    for (size_t b = 0; b < n; ++b) {
      const size_t at = order[first + b];
      blocks.push_back({coefs[at].data(), quants[at].data(), &out[b * 64], 8});
    }
    jpegkernels::FixedIdctBlocks(blocks.data(), static_cast<int>(n));
    for (size_t b = 0; b < n; ++b)
      ASSERT_EQ(std::memcmp(&out[b * 64], expected[order[first + b]].data(), 64), 0)
          << "block " << order[first + b] << " in a batch of " << n;
  }
  // Colours: every (Y, Cb, Cr) triple whose values step by 5 from 0 to 255
  // (the extremes included), then random ones, over lengths that leave
  // every remainder of the SIMD widths.
  std::vector<uint8_t> y, cb, cr;
  for (int l = 0; l <= 255; l += 5)
    for (int b = 0; b <= 255; b += 5)
      for (int r = 0; r <= 255; r += 5) {
        y.push_back(static_cast<uint8_t>(l));
        cb.push_back(static_cast<uint8_t>(b));
        cr.push_back(static_cast<uint8_t>(r));
      }
  for (int i = 0; i < 4000; ++i) {
    y.push_back(static_cast<uint8_t>(random()));
    cb.push_back(static_cast<uint8_t>(random()));
    cr.push_back(static_cast<uint8_t>(random()));
  }
  std::vector<uint32_t> fast(y.size()), plain(y.size());
  auto check = [&](size_t chroma, size_t n, int step) {
    jpegkernels::FixedColour(&y[0], &cb[chroma], &cr[chroma], fast.data(), n, step);
    jpegkernels::FixedColourScalar(&y[0], &cb[chroma], &cr[chroma], plain.data(), n, step);
    ASSERT_EQ(std::memcmp(fast.data(), plain.data(), n * 4), 0) << "step " << step << " n " << n;
    jpegkernels::FloatColour(&y[0], &cb[chroma], &cr[chroma], fast.data(), n, step);
    jpegkernels::FloatColourScalar(&y[0], &cb[chroma], &cr[chroma], plain.data(), n, step);
    ASSERT_EQ(std::memcmp(fast.data(), plain.data(), n * 4), 0)
        << "float, step " << step << " n " << n;
  };
  for (int step : {1, 2})
    for (size_t n = 1; n <= 40; ++n) check(0, n, step);
  check(0, y.size(), 1);
  // Step 2 reads half as many chroma samples: twice, to meet them all.
  check(0, y.size(), 2);
  check(y.size() / 2, y.size(), 2);
}

// --- Whole pictures against libjpeg ---

class JpegDecoderTest : public PictureTest {
 protected:
  void SetUp() override {
    PictureTest::SetUp();
    ASSERT_EQ(decoder_.CreateWorkArea(), 1);
  }
  void TearDown() override {
    CJpegDecoder::SetNoMmx(0);
    PictureTest::TearDown();
  }
  CJpegDecoder decoder_;
};

// Differences of every channel of every pixel, counted by size (0..9, 9
// for anything larger).
struct Differences {
  int64_t count[10] = {};
  int64_t total = 0;
  void Add(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i)
      for (int shift = 0; shift < 24; shift += 8) {
        const int d = std::abs(static_cast<int>((a[i] >> shift) & 0xFF) -
                               static_cast<int>((b[i] >> shift) & 0xFF));
        ++count[std::min(d, 9)];
        ++total;
      }
  }
  void Add(const Differences& other) {
    for (int d = 0; d < 10; ++d) count[d] += other.count[d];
    total += other.total;
  }
  int Max() const {
    for (int d = 9; d > 0; --d)
      if (count[d]) return d;
    return 0;
  }
  double Beyond(int d) const {
    int64_t n = 0;
    for (int k = d + 1; k < 10; ++k) n += count[k];
    return static_cast<double>(n) / static_cast<double>(total);
  }
};

TEST_F(JpegDecoderTest, BothPathsAgreeWithLibjpeg) {
  // Both decoders round the transform to whole samples and then mix the
  // colours, so where one rounds a chroma sample the other way the colours
  // differ by up to 1.772 steps (2 after rounding): libjpeg's own float and
  // integer transforms differ by 3 here and there. The float path is held
  // to libjpeg's float transform, the fixed-point path to libjpeg's
  // accurate integer one: within 2 on every value, and within 1 on all but
  // a few in 10,000 (two float transforms whose steps differ can round a
  // sample near a half either way).
  struct Size {
    int w, h;
  } sizes[] = {{64, 48}, {17, 9}, {33, 21}, {1, 1}, {8, 8}, {15, 16}, {100, 75}};
  Differences floatPath, fixedPath;
  int round = 0;
  for (const Size& size : sizes)
    for (JpegSampling sampling : {JpegSampling::k444, JpegSampling::k422, JpegSampling::k420})
      for (Content content : {Content::kSmooth, Content::kHard, Content::kNoise}) {
        // Every content meets every restart interval across the sizes.
        const int restart = (round + round / 3) % 3 == 0 ? 0 : (round + round / 3) % 3 == 1 ? 1 : 3;
        const int quality = round % 2 ? 95 : 75;
        ++round;
        const std::vector<uint8_t> jpeg =
            Encode(Scene(content, size.w, size.h, round), sampling, quality, restart);
        const std::string what = Describe(size.w, size.h, sampling, content, restart, quality);
        Decoded floatOracle, fixedOracle, floatEngine, fixedEngine;
        ASSERT_TRUE(LibjpegDecode(jpeg, JDCT_FLOAT, &floatOracle)) << what;
        ASSERT_TRUE(LibjpegDecode(jpeg, JDCT_ISLOW, &fixedOracle)) << what;
        ASSERT_EQ(EngineDecode(decoder_, jpeg, true, &floatEngine), 1) << what;
        ASSERT_EQ(EngineDecode(decoder_, jpeg, false, &fixedEngine), 1) << what;
        ASSERT_EQ(floatEngine.width, size.w) << what;
        ASSERT_EQ(floatEngine.height, size.h) << what;
        ASSERT_EQ(fixedEngine.width, size.w) << what;
        ASSERT_EQ(fixedEngine.height, size.h) << what;
        Differences floatOne, fixedOne;
        floatOne.Add(floatEngine.pixels, floatOracle.pixels);
        fixedOne.Add(fixedEngine.pixels, fixedOracle.pixels);
        EXPECT_LE(floatOne.Max(), 2) << what;
        EXPECT_LE(fixedOne.Max(), 2) << what;
        floatPath.Add(floatOne);
        fixedPath.Add(fixedOne);
      }
  EXPECT_LT(floatPath.Beyond(1), 1e-4);
  EXPECT_LT(fixedPath.Beyond(1), 1e-4);
  RecordProperty("float_beyond_1", std::to_string(floatPath.Beyond(1)));
  RecordProperty("fixed_beyond_1", std::to_string(fixedPath.Beyond(1)));
}

// The picture the plain loops make from libjpeg's coefficients: every
// block dequantised and transformed, chroma replicated, colours mixed.
Decoded PlainLoopsPicture(const Coefficients& c, bool floatPath) {
  float scale[64];
  for (int u = 0; u < 8; ++u)
    for (int v = 0; v < 8; ++v)
      scale[u * 8 + v] =
          static_cast<float>(jpegkernels::ScaleFactor(u) * jpegkernels::ScaleFactor(v) / 8.0);
  std::vector<uint8_t> samples[3];
  size_t stride[3];
  for (int i = 0; i < 3; ++i) {
    const Coefficients::Plane& plane = c.planes[i];
    stride[i] = static_cast<size_t>(plane.wide) * 8;
    samples[i].resize(stride[i] * plane.high * 8);
    for (int by = 0; by < plane.high; ++by)
      for (int bx = 0; bx < plane.wide; ++bx) {
        const int32_t* coef = &plane.coef[(static_cast<size_t>(by) * plane.wide + bx) * 64];
        uint8_t* out = samples[i].data() + by * 8 * stride[i] + bx * 8;
        if (floatPath) {
          float transformed[64];
          jpegkernels::FloatIdctScalar(coef, plane.quant, scale, transformed);
          jpegkernels::FloatSamplesScalar(transformed, out, stride[i]);
        } else {
          int16_t dequantised[64];
          uint8_t block[64];
          for (int n = 0; n < 64; ++n)
            dequantised[n] = jpegkernels::FixedDequantise(coef[n], plane.quant[n]);
          jpegkernels::FixedIdctScalar(dequantised, block);
          for (int y = 0; y < 8; ++y) std::memcpy(out + y * stride[i], block + y * 8, 8);
        }
      }
  }
  Decoded d{c.width, c.height, std::vector<uint32_t>(static_cast<size_t>(c.width) * c.height)};
  for (int y = 0; y < c.height; ++y) {
    const size_t chroma = static_cast<size_t>(y / c.v);
    (floatPath ? jpegkernels::FloatColourScalar : jpegkernels::FixedColourScalar)(
        samples[0].data() + y * stride[0], samples[1].data() + chroma * stride[1],
        samples[2].data() + chroma * stride[2], d.pixels.data() + static_cast<size_t>(y) * c.width,
        static_cast<size_t>(c.width), c.h);
  }
  return d;
}

TEST_F(JpegDecoderTest, PicturesAreThePlainLoopsBytes) {
  // Both paths give exactly the bytes of the plain loops run over the
  // coefficients libjpeg's entropy decoder reads: random pictures of odd
  // sizes and 1-pixel rows at every sampling, with restart intervals, and
  // qualities from coarse to near-lossless (long codes, many stuffed bytes).
  struct Size {
    int w, h;
  } sizes[] = {{1, 1}, {1, 19}, {23, 1}, {9, 33}, {33, 9}, {61, 47}, {130, 3}, {16, 16}};
  const int qualities[] = {100, 97, 85, 50, 10};
  const int restarts[] = {0, 1, 2, 7};
  int round = 0;
  for (const Size& size : sizes)
    for (JpegSampling sampling : {JpegSampling::k444, JpegSampling::k422, JpegSampling::k420})
      for (Content content : {Content::kSmooth, Content::kHard, Content::kNoise}) {
        const int quality = qualities[round % 5], restart = restarts[round / 5 % 4];
        ++round;
        const std::vector<uint8_t> jpeg =
            Encode(Scene(content, size.w, size.h, round), sampling, quality, restart);
        const std::string what = Describe(size.w, size.h, sampling, content, restart, quality);
        Coefficients coefficients;
        ASSERT_TRUE(LibjpegCoefficients(jpeg, &coefficients)) << what;
        for (bool floatPath : {false, true}) {
          const Decoded plain = PlainLoopsPicture(coefficients, floatPath);
          for (bool wide : {false, true}) {
            blendrows::AllowWideRows(wide);
            Decoded engine;
            ASSERT_EQ(EngineDecode(decoder_, jpeg, floatPath, &engine), 1) << what;
            ASSERT_EQ(engine.width, plain.width) << what;
            ASSERT_EQ(engine.height, plain.height) << what;
            ASSERT_EQ(engine.pixels, plain.pixels)
                << what << (floatPath ? " float" : " fixed") << (wide ? " wide" : " narrow");
          }
          blendrows::AllowWideRows(true);
        }
      }
}

TEST_F(JpegDecoderTest, OddSizeWritesOnlyThePicturesPixels) {
  // 17 x 9 at 4:2:0 is 2 x 1 MCUs of 16 x 16; only 17 x 9 pixels are the
  // picture's. The block behind them is marked and must stay so.
  const std::vector<uint8_t> jpeg = Encode(Scene(Content::kSmooth, 17, 9), JpegSampling::k420);
  CPicture picture(40, 40, 0);
  uint32_t* px = picture.GetPixelBuffer();
  std::fill(px, px + 40 * 40, 0xDEADBEEFu);
  for (bool floatPath : {false, true}) {
    CJpegDecoder::SetNoMmx(floatPath);
    ASSERT_EQ(decoder_.Decode(jpeg.data(), jpeg.size(), &picture), 1);
    ASSERT_EQ(picture.GetPixelBuffer(), px) << "the block was kept";
    EXPECT_EQ(picture.GetWidth(), 17);
    EXPECT_EQ(picture.GetHeight(), 9);
    for (int i = 0; i < 40 * 40; ++i) ASSERT_EQ(px[i] == 0xDEADBEEFu, i >= 17 * 9) << "pixel " << i;
  }
}

TEST_F(JpegDecoderTest, RestartMarkersAndStuffedBytes) {
  // Noise at high quality codes many 0xFF data bytes, stuffed as FF 00.
  const dwqtool::Picture noise = Scene(Content::kNoise, 48, 32);
  const std::vector<uint8_t> jpeg = Encode(noise, JpegSampling::k420, 98, 1);
  int stuffed = 0, restarts = 0;
  for (size_t i = 0; i + 1 < jpeg.size(); ++i) {
    stuffed += jpeg[i] == 0xFF && jpeg[i + 1] == 0x00;
    restarts += jpeg[i] == 0xFF && jpeg[i + 1] >= 0xD0 && jpeg[i + 1] <= 0xD7;
  }
  ASSERT_GT(stuffed, 10);
  ASSERT_EQ(restarts, 3 * 2 - 1);  // one before every MCU but the first
  Decoded oracle, engine;
  ASSERT_TRUE(LibjpegDecode(jpeg, JDCT_FLOAT, &oracle));
  ASSERT_EQ(EngineDecode(decoder_, jpeg, true, &engine), 1);
  EXPECT_LE(MaxChannelDifference(engine.pixels, oracle.pixels), 2);
  ASSERT_EQ(EngineDecode(decoder_, jpeg, false, &engine), 1);

  // A restart marker that is not one (here an end marker) fails the scan.
  std::vector<uint8_t> broken = jpeg;
  for (size_t i = broken.size() - 3; i > 0; --i)
    if (broken[i] == 0xFF && broken[i + 1] == 0xD0) {
      broken[i + 1] = 0xD9;
      break;
    }
  EXPECT_EQ(EngineDecode(decoder_, broken, false, &engine), 0);
  EXPECT_STREQ(decoder_.GetError(), "a restart marker is missing");
}

TEST_F(JpegDecoderTest, TablesCarryOverToAPictureWithoutThem) {
  const dwqtool::Picture a = Scene(Content::kSmooth, 24, 16, 1);
  const dwqtool::Picture b = Scene(Content::kHard, 40, 24, 2);
  const std::vector<uint8_t> first = Encode(a, JpegSampling::k420, 80);
  const std::vector<uint8_t> second = Encode(b, JpegSampling::k420, 80, 0, /*tables=*/false);
  const std::vector<uint8_t> secondWhole = Encode(b, JpegSampling::k420, 80);
  auto has = [](const std::vector<uint8_t>& j, uint8_t code) {
    for (size_t i = 0; i + 1 < j.size(); ++i)
      if (j[i] == 0xFF && j[i + 1] == code) return true;
    return false;
  };
  ASSERT_FALSE(has(second, 0xDB));
  ASSERT_FALSE(has(second, 0xC4));

  // A fresh decoder has no tables to lend. With the first picture's, the
  // second decodes as it does with its own tables.
  Decoded engine, whole, oracle;
  EXPECT_EQ(EngineDecode(decoder_, second, false, &engine), 0);
  ASSERT_EQ(EngineDecode(decoder_, secondWhole, false, &whole), 1);
  ASSERT_TRUE(LibjpegDecode(secondWhole, JDCT_FLOAT, &oracle));
  for (bool floatPath : {false, true}) {
    ASSERT_EQ(EngineDecode(decoder_, first, floatPath, &engine), 1);
    ASSERT_EQ(EngineDecode(decoder_, second, floatPath, &engine), 1);
    EXPECT_EQ(engine.width, 40);
    if (floatPath) {
      EXPECT_LE(MaxChannelDifference(engine.pixels, oracle.pixels), 2);
    } else {
      EXPECT_EQ(engine.pixels, whole.pixels);
    }
  }

  // The same through the loader: two picture files in a row.
  dwqtool::Options options;
  options.body = dwqtool::BodyType::kJpeg;
  WriteDwq("first", dwqtool::AssembleFile(options, 24, 16, first, {}));
  WriteDwq("second", dwqtool::AssembleFile(options, 40, 24, second, {}));
  ResetPictureLoader();
  ASSERT_EQ(InitPictureLoader(dwq::kDecodeMegabytes), 1);
  CPicture picture;
  EXPECT_EQ(picture.LoadDWQ("second"), 0);
  ASSERT_EQ(picture.LoadDWQ("first"), 1);
  ASSERT_EQ(picture.LoadDWQ("second"), 1);
  const uint32_t* px = picture.GetPixelBuffer();
  EXPECT_EQ(std::vector<uint32_t>(px, px + 40 * 24), whole.pixels);
}

// Segment offsets in a stream from libjpeg: the position of the first
// marker `code` before the scan data.
size_t Segment(const std::vector<uint8_t>& j, uint8_t code) {
  size_t pos = 2;
  while (pos + 4 <= j.size()) {
    if (j[pos + 1] == code) return pos;
    if (j[pos + 1] == 0xDA) break;
    pos += 2 + (j[pos + 2] << 8 | j[pos + 3]);
  }
  ADD_FAILURE() << "no marker " << std::hex << int{code};
  return 0;
}

std::vector<uint8_t> WithoutSegments(const std::vector<uint8_t>& j, uint8_t code) {
  std::vector<uint8_t> out(j.begin(), j.begin() + 2);
  size_t pos = 2;
  while (pos + 4 <= j.size() && j[pos + 1] != 0xDA) {
    const size_t next = pos + 2 + (j[pos + 2] << 8 | j[pos + 3]);
    if (j[pos + 1] != code) out.insert(out.end(), j.begin() + pos, j.begin() + next);
    pos = next;
  }
  out.insert(out.end(), j.begin() + pos, j.end());
  return out;
}

TEST_F(JpegDecoderTest, ScanUsesTheTablesItNames) {
  // Swap the two table sets: every DHT table changes its number and the scan
  // names the swapped ones. The coded data is unchanged, so the picture is.
  const std::vector<uint8_t> jpeg = Encode(Scene(Content::kSmooth, 32, 32), JpegSampling::k420);
  std::vector<uint8_t> swapped = jpeg;
  for (size_t pos = 2; swapped[pos + 1] != 0xDA;) {
    const size_t length = swapped[pos + 2] << 8 | swapped[pos + 3];
    if (swapped[pos + 1] == 0xC4) {
      for (size_t t = pos + 4; t < pos + 2 + length;) {
        swapped[t] ^= 1;
        size_t count = 0;
        for (int i = 1; i <= 16; ++i) count += swapped[t + i];
        t += 17 + count;
      }
    }
    pos += 2 + length;
  }
  const size_t sos = Segment(jpeg, 0xDA);
  for (int i = 0; i < 3; ++i) swapped[sos + 6 + 2 * i] ^= 0x11;
  Decoded plain, engine;
  ASSERT_EQ(EngineDecode(decoder_, jpeg, false, &plain), 1);
  ASSERT_EQ(EngineDecode(decoder_, swapped, false, &engine), 1);
  EXPECT_EQ(engine.pixels, plain.pixels);
}

TEST_F(JpegDecoderTest, BrokenBodiesFail) {
  const std::vector<uint8_t> good = Encode(Scene(Content::kSmooth, 32, 24), JpegSampling::k420);
  const std::vector<uint8_t> restart =
      Encode(Scene(Content::kSmooth, 32, 24), JpegSampling::k420, 90, 2);
  const size_t sof = Segment(good, 0xC0), dht = Segment(good, 0xC4), dqt = Segment(good, 0xDB);
  const size_t sos = Segment(good, 0xDA), app = Segment(good, 0xE0);
  const size_t dri = Segment(restart, 0xDD);
  auto with = [](std::vector<uint8_t> j, std::initializer_list<std::pair<size_t, uint8_t>> bytes) {
    for (auto [at, value] : bytes) j[at] = value;
    return j;
  };
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"empty", {}},
      {"start and end only", {0xFF, 0xD8, 0xFF, 0xD9}},
      {"segment longer than the body", with(good, {{app + 2, 0xFF}, {app + 3, 0xFF}})},
      {"segment length 1", with(good, {{app + 2, 0}, {app + 3, 1}})},
      {"12-bit samples", with(good, {{sof + 4, 12}})},
      {"no height", with(good, {{sof + 5, 0}, {sof + 6, 0}})},
      {"no width", with(good, {{sof + 7, 0}, {sof + 8, 0}})},
      {"one component", with(good, {{sof + 9, 1}})},
      {"frame length off", with(good, {{sof + 3, 18}})},
      {"luminance sampled 3", with(good, {{sof + 11, 0x32}})},
      {"luminance sampled 0", with(good, {{sof + 11, 0x20}})},
      {"chroma sampled 2", with(good, {{sof + 14, 0x21}})},
      {"quantisation table 4", with(good, {{sof + 12, 4}})},
      {"progressive frame", with(good, {{sof + 1, 0xC2}})},
      {"arithmetic frame", with(good, {{sof + 1, 0xC9}})},
      {"scan before a frame", with(good, {{sof + 1, 0xE5}})},
      {"Huffman class 2", with(good, {{dht + 4, 0x20}})},
      {"Huffman table 2", with(good, {{dht + 4, 0x02}})},
      {"Huffman lengths overfull",
       with(good, {{dht + 5, static_cast<uint8_t>(good[dht + 5] + 2)},
                   {dht + 7, static_cast<uint8_t>(good[dht + 7] - 2)}})},
      {"Huffman symbols past the segment", with(good, {{dht + 20, 200}})},
      {"quantisation precision 2", with(good, {{dqt + 4, 0x20}})},
      {"quantisation table 4 defined", with(good, {{dqt + 4, 0x04}})},
      {"quantisation table cut", with(good, {{dqt + 3, 40}})},
      {"restart segment of 3", with(restart, {{dri + 3, 5}})},
      {"scan of one component", with(good, {{sos + 4, 1}})},
      {"scan table 2", with(good, {{sos + 6, 0x22}})},
      {"scan component unknown", with(good, {{sos + 5, 9}})},
      {"scan not sequential", with(good, {{sos + 12, 5}})},
      {"frame far larger than the body", with(good, {{sof + 5, 0xFF}, {sof + 7, 0xFF}})},
      {"no quantisation tables", WithoutSegments(good, 0xDB)},
  };
  for (const Case& c : cases) {
    CJpegDecoder fresh;
    ASSERT_EQ(fresh.CreateWorkArea(), 1);
    CPicture picture;
    EXPECT_EQ(fresh.Decode(c.bytes.data(), c.bytes.size(), &picture), 0) << c.what;
    EXPECT_NE(fresh.GetError(), nullptr) << c.what;
  }
  CJpegDecoder fresh;
  CPicture picture;
  EXPECT_EQ(fresh.Decode(good.data(), good.size(), &picture), 0) << "no work area";
  ASSERT_EQ(fresh.CreateWorkArea(), 1);
  EXPECT_EQ(fresh.Decode(good.data(), good.size(), nullptr), 0);
  EXPECT_EQ(fresh.Decode(good.data(), good.size(), &picture), 1);

  // Tables persist between pictures, a frame does not: after a good picture
  // the same decoder still refuses a scan that comes before any frame.
  const std::vector<uint8_t> noFrame = with(good, {{sof + 1, 0xE5}});
  EXPECT_EQ(fresh.Decode(noFrame.data(), noFrame.size(), &picture), 0);
  EXPECT_STREQ(fresh.GetError(), "the scan comes before a frame header");
}

// A libjpeg stream of p stored in the given colour space: RGB writes an
// Adobe marker with transform 0 and names its components 'R', 'G', 'B'.
std::vector<uint8_t> EncodeAs(const dwqtool::Picture& p, J_COLOR_SPACE space) {
  jpeg_compress_struct c;
  jpeg_error_mgr errors;
  c.err = jpeg_std_error(&errors);
  jpeg_create_compress(&c);
  unsigned char* memory = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &memory, &size);
  const int channels = space == JCS_CMYK ? 4 : 3;
  c.image_width = static_cast<JDIMENSION>(p.width);
  c.image_height = static_cast<JDIMENSION>(p.height);
  c.input_components = channels;
  c.in_color_space = space == JCS_CMYK ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_colorspace(&c, space);
  jpeg_start_compress(&c, TRUE);
  std::vector<uint8_t> row(static_cast<size_t>(p.width) * channels);
  while (c.next_scanline < c.image_height) {
    for (int x = 0; x < p.width; ++x) {
      const uint32_t px = p.pixels[static_cast<size_t>(c.next_scanline) * p.width + x];
      // CMYK takes the colour's bytes as C, M, Y and no black.
      for (int k = 0; k < channels; ++k)
        row[x * channels + k] = k < 3 ? static_cast<uint8_t>(px >> (16 - 8 * k)) : 0;
    }
    JSAMPROW rows = row.data();
    jpeg_write_scanlines(&c, &rows, 1);
  }
  jpeg_finish_compress(&c);
  std::vector<uint8_t> out(memory, memory + size);
  std::free(memory);
  jpeg_destroy_compress(&c);
  return out;
}

// Only YCbCr is decoded. An RGB body is refused whether the Adobe marker or
// the component names say so, grey and CMYK bodies by their own reasons,
// through the loader too (with the reason on stderr).
TEST_F(JpegDecoderTest, RgbGreyAndCmykBodiesAreRefusedWithTheirReason) {
  const dwqtool::Picture scene = Scene(Content::kSmooth, 16, 16);
  const std::vector<uint8_t> rgb = EncodeAs(scene, JCS_RGB);
  const size_t adobe = Segment(rgb, 0xEE), sof = Segment(rgb, 0xC0), sos = Segment(rgb, 0xDA);
  ASSERT_EQ(std::string(rgb.begin() + adobe + 4, rgb.begin() + adobe + 9), "Adobe");
  ASSERT_EQ(rgb[adobe + 15], 0);  // the transform
  ASSERT_EQ(std::string({char(rgb[sof + 10]), char(rgb[sof + 13]), char(rgb[sof + 16])}), "RGB");
  // The same body with components 1, 2, 3 (the frame's and the scan's) and
  // then also with transform 1: only the marker says RGB, then nothing does.
  std::vector<uint8_t> numbered = rgb;
  for (int i = 0; i < 3; ++i) numbered[sof + 10 + 3 * i] = numbered[sos + 5 + 2 * i] = uint8_t(i + 1);
  std::vector<uint8_t> ycc = numbered;
  ycc[adobe + 15] = 1;
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    const char* why;  // null: decoded
  } cases[] = {
      {"RGB as libjpeg writes it", rgb, "the colours are stored as RGB (components 'R', 'G', 'B')"},
      {"Adobe transform 0", numbered, "the colours are stored as RGB (Adobe transform 0)"},
      {"Adobe transform 1", ycc, nullptr},
      {"grey", EncodeAs(scene, JCS_GRAYSCALE), "the picture is grey (one component)"},
      {"CMYK", EncodeAs(scene, JCS_CMYK), "the picture has four components (CMYK)"},
  };
  for (const Case& c : cases) {
    Decoded engine;
    EXPECT_EQ(EngineDecode(decoder_, c.bytes, false, &engine), c.why ? 0 : 1) << c.what;
    if (c.why) {
      EXPECT_STREQ(decoder_.GetError(), c.why) << c.what;
    }
  }
  // An earlier body's marker does not carry over to the next one.
  Decoded engine;
  ASSERT_EQ(EngineDecode(decoder_, numbered, false, &engine), 0);
  EXPECT_EQ(EngineDecode(decoder_, Encode(scene, JpegSampling::k444), false, &engine), 1);

  dwqtool::Options options;
  options.body = dwqtool::BodyType::kJpeg;
  WriteDwq("rgb", dwqtool::AssembleFile(options, 16, 16, numbered, {}));
  SetLoadDwqErrorFlag(1);
  CPicture picture;
  EXPECT_EQ(picture.LoadDWQ("rgb"), 0);
  EXPECT_EQ(host_->ErrorLines(),
            std::vector<std::string>{
                "LOAD DWQ ERROR(Bad File) rgb: the colours are stored as RGB (Adobe transform 0)"});
  ASSERT_EQ(host_->Boxes().size(), 1u);
  EXPECT_EQ(host_->Boxes()[0].text, "LOAD DWQ ERROR(Bad File)\nrgb\nmode=0");
}

// An 8 x 8 picture at 4:4:4 written by hand: flat quantisation, one DC code
// ('0' for dcSymbol) and two AC codes ('0' for acSymbol, '1' end of block)
// that every component uses, then the given scan bytes.
std::vector<uint8_t> HandMade(uint8_t dcSymbol, uint8_t acSymbol, std::vector<uint8_t> scan) {
  std::vector<uint8_t> j = {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x43, 0x00};
  j.insert(j.end(), 64, 1);
  j.insert(j.end(), {0xFF, 0xC0, 0x00, 0x11, 0x08, 0x00, 0x08, 0x00, 0x08, 0x03, 0x01, 0x11, 0x00,
                     0x02, 0x11, 0x00, 0x03, 0x11, 0x00});
  j.insert(j.end(), {0xFF, 0xC4, 0x00, 0x27, 0x00, 1});
  j.insert(j.end(), 15, 0);
  j.insert(j.end(), {dcSymbol, 0x10, 2});
  j.insert(j.end(), 15, 0);
  j.insert(j.end(), {acSymbol, 0x00});
  j.insert(j.end(),
           {0xFF, 0xDA, 0x00, 0x0C, 0x03, 0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x00, 0x3F, 0x00});
  j.insert(j.end(), scan.begin(), scan.end());
  j.insert(j.end(), {0xFF, 0xD9});
  return j;
}

TEST_F(JpegDecoderTest, CodedValuesStayInsideTheBlock) {
  CPicture picture;
  // Three runs of 15 zeros and a value each (k = 16, 32, 48), then the
  // end of block; Cb and Cr: DC 0 and end of block. Bits 0 01 01 01 1 |
  // 01 01 (1111 padding).
  const std::vector<uint8_t> fits = HandMade(0x00, 0xF1, {0x2B, 0x5F});
  EXPECT_EQ(decoder_.Decode(fits.data(), fits.size(), &picture), 1) << decoder_.GetError();
  // A fourth run would place a value at 64, past the block's end.
  const std::vector<uint8_t> past = HandMade(0x00, 0xF1, {0x2A, 0xFF, 0x00, 0xFF, 0x00});
  EXPECT_EQ(decoder_.Decode(past.data(), past.size(), &picture), 0);
  EXPECT_STREQ(decoder_.GetError(), "the scan's data is broken");
  // A DC difference of 12 bits is beyond 8-bit samples.
  const std::vector<uint8_t> wide = HandMade(0x0C, 0xF1, {0x00, 0x00, 0x00, 0x00});
  EXPECT_EQ(decoder_.Decode(wide.data(), wide.size(), &picture), 0);
  EXPECT_STREQ(decoder_.GetError(), "the scan's data is broken");
}

TEST_F(JpegDecoderTest, CutAndDamagedBodiesFailCleanly) {
  const std::vector<uint8_t> good =
      Encode(Scene(Content::kHard, 40, 40), JpegSampling::k420, 90, 3);
  CJpegDecoder::SetNoMmx(0);
  // Cut anywhere before the last MCU row's data: the scan runs out.
  for (size_t n = 0; n < good.size() * 8 / 10; n += 3) {
    CPicture picture;
    ASSERT_EQ(decoder_.Decode(good.data(), n, &picture), 0) << n;
  }
  std::mt19937 random(17);
  for (int round = 0; round < 300; ++round) {
    std::vector<uint8_t> bytes = good;
    if (round % 3 == 0) bytes.resize(random() % bytes.size());
    for (int k = 0; k < 1 + round % 5; ++k)
      if (!bytes.empty())
        bytes[random() % bytes.size()] ^= static_cast<uint8_t>(1u << (random() % 8));
    if (round % 7 == 0)
      for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
    CJpegDecoder::SetNoMmx(round % 2);
    CPicture picture;
    if (decoder_.Decode(bytes.data(), bytes.size(), &picture)) {
      // Whatever decodes fills a picture of its frame's size.
      EXPECT_GT(picture.GetWidth() * picture.GetHeight(), 0);
      EXPECT_NE(picture.GetPixelBuffer(), nullptr);
    }
  }
}

// --- Picture files and the path setting ---

TEST_F(JpegDecoderTest, PictureFilesOfTypesFiveAndSeven) {
  const dwqtool::Picture source = Scene(Content::kSmooth, 21, 13);
  std::vector<uint8_t> alpha;
  for (int y = 0; y < 13; ++y)
    for (int x = 0; x < 21; ++x) alpha.push_back(x >= 4 && x < 15 && y >= 2 ? 200 : 0);
  dwqtool::Picture withAlpha = source;
  withAlpha.alpha = alpha;
  // The loader hands the body to the decoder as it is.
  Decoded direct;
  ASSERT_EQ(EngineDecode(decoder_, Encode(source, JpegSampling::k420), false, &direct), 1);

  struct Case {
    bool mask, box;
    std::vector<int> drawn;  // the box an opaque Put shows
  } cases[] = {
      {false, true, {0, 0, 21, 13}},  // type '5': no mask, box flag ignored
      {true, false, {3, 1, 17, 13}},  // type '7': box from the mask
      {true, true, {4, 2, 15, 13}},   // type '7': the header box
  };
  for (const Case& c : cases) {
    dwqtool::Options options;
    options.body = dwqtool::BodyType::kJpeg;
    options.mask = c.mask;
    options.headerBox = c.box;
    WritePicture("jpeg", withAlpha, options);
    CPicture picture;
    ASSERT_EQ(picture.LoadDWQ("jpeg"), 1);
    ASSERT_EQ(picture.GetWidth(), 21);
    const uint32_t* px = picture.GetPixelBuffer();
    EXPECT_EQ(std::vector<uint32_t>(px, px + 21 * 13), direct.pixels);
    EXPECT_EQ(picture.GetMaskFlag(), c.mask ? 1 : 0);
    if (c.mask) {
      EXPECT_EQ(std::vector<uint8_t>(picture.GetMask(), picture.GetMask() + 21 * 13), alpha);
    }
    Clear(0x00ABCDEF);
    picture.Put(0, 0, 0);
    EXPECT_EQ(DrawnRect(0x00ABCDEF), c.drawn) << c.mask << c.box;
  }

  // A broken body fails the load with the bad-file box and keeps no name.
  const std::vector<uint8_t> whole = Encode(source, JpegSampling::k420);
  dwqtool::Options options;
  options.body = dwqtool::BodyType::kJpeg;
  const std::vector<uint8_t> file = dwqtool::AssembleFile(
      options, 21, 13, std::vector<uint8_t>(whole.begin(), whole.begin() + whole.size() / 2), {});
  WriteDwq("broken", file);
  SetLoadDwqErrorFlag(1);
  host_->ClearBoxes();
  CPicture picture;
  EXPECT_EQ(picture.LoadDWQ("broken"), 0);
  EXPECT_EQ(picture.IsLoaded(), 0);
  EXPECT_STREQ(picture.GetName(), "");
  ASSERT_EQ(host_->Boxes().size(), 1u);
  EXPECT_EQ(host_->Boxes()[0].text, "LOAD DWQ ERROR(Bad File)\nbroken\nmode=0");
}

TEST_F(JpegDecoderTest, BodySizesAreCheckedBeforeThePictureChanges) {
  const std::vector<uint8_t> jpeg = Encode(Scene(Content::kSmooth, 16, 16), JpegSampling::k420);
  dwqtool::Options options;
  options.body = dwqtool::BodyType::kJpeg;
  const std::vector<uint8_t> good = dwqtool::AssembleFile(options, 16, 16, jpeg, {});
  auto withBody = [&](int32_t bodySize, size_t extra) {
    std::vector<uint8_t> f = good;
    for (int i = 0; i < 4; ++i)
      f[dwq::kBodySize + i] = static_cast<uint8_t>(static_cast<uint32_t>(bodySize) >> (8 * i));
    f.resize(f.size() + extra, 0);
    return f;
  };
  auto withSize = [&](int32_t w, int32_t h) {
    std::vector<uint8_t> f = good;
    for (int i = 0; i < 4; ++i) {
      f[dwq::kWidth + i] = static_cast<uint8_t>(static_cast<uint32_t>(w) >> (8 * i));
      f[dwq::kHeight + i] = static_cast<uint8_t>(static_cast<uint32_t>(h) >> (8 * i));
    }
    return f;
  };
  const int decodeSize = GetPictureDecodeBufferSize();
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"body past the file", withBody(static_cast<int32_t>(jpeg.size()) + 1, 0)},
      {"no body", withBody(0, 0)},
      {"negative body", withBody(-4, 0)},
      {"body past the decode buffer", withBody(decodeSize + 1, static_cast<size_t>(decodeSize))},
      {"header far larger than the body", withSize(20000, 20000)},
  };
  SetLoadDwqErrorFlag(1);
  WriteDwq("good", good);
  for (const Case& c : cases) {
    WriteDwq("bad", c.bytes);
    CPicture picture;
    ASSERT_EQ(picture.LoadDWQ("good"), 1);
    host_->ClearBoxes();
    EXPECT_EQ(picture.LoadDWQ("bad"), 0) << c.what;
    ASSERT_EQ(host_->Boxes().size(), 1u) << c.what;
    // Refused before anything changed: the previous picture stays.
    EXPECT_STREQ(picture.GetName(), "good") << c.what;
    EXPECT_EQ(picture.IsLoaded(), 1) << c.what;
    EXPECT_EQ(picture.GetWidth(), 16) << c.what;
  }
}

TEST_F(JpegDecoderTest, JpegMmxSettingChoosesThePath) {
  const dwqtool::Picture source = Scene(Content::kHard, 30, 20);
  const std::vector<uint8_t> jpeg = Encode(source, JpegSampling::k422);
  Decoded floatEngine, fixedEngine;
  ASSERT_EQ(EngineDecode(decoder_, jpeg, true, &floatEngine), 1);
  ASSERT_EQ(EngineDecode(decoder_, jpeg, false, &fixedEngine), 1);
  ASSERT_NE(floatEngine.pixels, fixedEngine.pixels);
  dwqtool::Options options;
  options.body = dwqtool::BodyType::kJpeg;
  WriteDwq("cg", dwqtool::AssembleFile(options, 30, 20, jpeg, {}));

  struct Case {
    const char* list;  // null: no settings list
    bool floatPath;
  } cases[] = {{nullptr, false}, {"jpegMMX 0\n", true}, {"frameTime,16\njpegMMX,1\n", false}};
  for (const Case& c : cases) {
    if (c.list) dir_.Write("init/game.xtx", c.list);
    host_->ClearBoxes();
    ResetPictureLoader();
    ASSERT_EQ(InitPictureLoader(dwq::kDecodeMegabytes), 1);
    EXPECT_TRUE(host_->Boxes().empty());
    EXPECT_EQ(CJpegDecoder::GetNoMmx(), c.floatPath ? 1 : 0);
    CPicture picture;
    ASSERT_EQ(picture.LoadDWQ("cg"), 1);
    const uint32_t* px = picture.GetPixelBuffer();
    EXPECT_EQ(std::vector<uint32_t>(px, px + 30 * 20),
              c.floatPath ? floatEngine.pixels : fixedEngine.pixels)
        << (c.list ? c.list : "no list");
  }
}

}  // namespace
}  // namespace graphics_test
