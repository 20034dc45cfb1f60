#include "graphics/jpegkernels.h"

#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace jpegkernels {

const uint8_t kZigZag[64] = {
    0,  1,  8,  16, 9,  2,  3,  10,  //
    17, 24, 32, 25, 18, 11, 4,  5,   //
    12, 19, 26, 33, 40, 48, 41, 34,  //
    27, 20, 13, 6,  7,  14, 21, 28,  //
    35, 42, 49, 56, 57, 50, 43, 36,  //
    29, 22, 15, 23, 30, 37, 44, 51,  //
    58, 59, 52, 45, 38, 31, 39, 46,  //
    53, 60, 61, 54, 47, 55, 62, 63,  //
};

double ScaleFactor(int k) {
  if (k == 0) return 1.0;
  return std::sqrt(2.0) * std::cos(k * 3.14159265358979323846 / 16.0);
}

// round(16384 c(u) c(v)); written out so the table needs no start-up.
const int16_t kPrescale[64] = {
    16384, 22725, 21407, 19266, 16384, 12873, 8867,  4520,  //
    22725, 31521, 29692, 26722, 22725, 17855, 12299, 6270,  //
    21407, 29692, 27969, 25172, 21407, 16819, 11585, 5906,  //
    19266, 26722, 25172, 22654, 19266, 15137, 10426, 5315,  //
    16384, 22725, 21407, 19266, 16384, 12873, 8867,  4520,  //
    12873, 17855, 16819, 15137, 12873, 10114, 6967,  3552,  //
    8867,  12299, 11585, 10426, 8867,  6967,  4799,  2446,  //
    4520,  6270,  5906,  5315,  4520,  3552,  2446,  1247,  //
};

// --- Floating-point path ---

namespace {

// The scaled fast factorisation on eight values spaced `step` apart.
inline void FloatPass(const float* in, float* out, int step) {
  const float i0 = in[0], i1 = in[step], i2 = in[2 * step], i3 = in[3 * step];
  const float i4 = in[4 * step], i5 = in[5 * step], i6 = in[6 * step], i7 = in[7 * step];
  // Even part.
  const float t10 = i0 + i4;
  const float t11 = i0 - i4;
  const float t13 = i2 + i6;
  const float t12 = (i2 - i6) * 1.4142135f - t13;
  const float e0 = t10 + t13, e3 = t10 - t13, e1 = t11 + t12, e2 = t11 - t12;
  // Odd part.
  const float z13 = i5 + i3, z10 = i5 - i3, z11 = i1 + i7, z12 = i1 - i7;
  const float o7 = z11 + z13;
  const float o11 = (z11 - z13) * 1.4142135f;
  const float z5 = (z10 + z12) * 1.847759f;
  const float o10 = 1.0823922f * z12 - z5;
  const float o12 = -2.613126f * z10 + z5;
  const float o6 = o12 - o7;
  const float o5 = o11 - o6;
  const float o4 = o10 + o5;
  out[0] = e0 + o7;
  out[7 * step] = e0 - o7;
  out[1 * step] = e1 + o6;
  out[6 * step] = e1 - o6;
  out[2 * step] = e2 + o5;
  out[5 * step] = e2 - o5;
  out[4 * step] = e3 + o4;
  out[3 * step] = e3 - o4;
}

inline float Hold(float v, float lo, float hi) { return v < lo ? lo : (v > hi ? hi : v); }

inline uint32_t ToByte(float v) {
  // Truncation toward zero after adding one half; the input is held to a
  // range that cannot overflow the conversion.
  const int i = static_cast<int>(v + 0.5f);
  return static_cast<uint32_t>(i < 0 ? 0 : (i > 255 ? 255 : i));
}

}  // namespace

void FloatIdct(const int32_t* coef, const uint16_t* quant, const float* scale, float* out) {
  float work[64];
  bool onlyDc = true;
  for (int n = 0; n < 64; ++n) {
    work[n] = static_cast<float>(coef[n]) * scale[n] * static_cast<float>(quant[n]);
    if (n && coef[n]) onlyDc = false;
  }
  if (onlyDc) {
    // Both passes leave a lone DC value unchanged.
    for (int n = 0; n < 64; ++n) out[n] = work[0];
    return;
  }
  float rows[64];
  for (int r = 0; r < 8; ++r) FloatPass(work + r * 8, rows + r * 8, 1);
  for (int c = 0; c < 8; ++c) FloatPass(rows + c, out + c, 8);
}

void FloatSamples(const float* in, uint8_t* samples) {
  // Samples are whole numbers in 0..255, as the JPEG model has them: a
  // transform overshooting the range at a hard edge is held to it before
  // the colours are mixed.
  for (int n = 0; n < 64; ++n)
    samples[n] = static_cast<uint8_t>(Hold(in[n] + 128.5f, 0.0f, 255.0f));
}

void FloatColour(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint32_t* out, size_t n,
                 int chromaStep) {
  for (size_t i = 0; i < n; ++i) {
    const size_t c = chromaStep == 2 ? i >> 1 : i;
    const float l = y[i];
    const float b = static_cast<float>(cb[c]) - 128.0f;
    const float r = static_cast<float>(cr[c]) - 128.0f;
    const float red = l + 1.402f * r;
    const float green = l - 0.344f * b - 0.714f * r;
    const float blue = l + 1.772f * b;
    out[i] = ToByte(red) << 16 | ToByte(green) << 8 | ToByte(blue);
  }
}

// --- 16-bit path ---
//
// Rounding, step by step (every value is a 16-bit lane, every sum wraps):
// - prescale: coefficient times quantisation value first, then times 16
//   and the prescale; the high half rounded to nearest, then halved
//   (rounding toward minus infinity);
// - transform: each constant multiplication keeps the plain high half of
//   its product (toward minus infinity), as a 16-bit high-half multiply
//   does; measured against an exact transform this is no worse than
//   rounding each product;
// - result: ((r + 8) >> 4) + 128, rounded to nearest, held to 0..255;
// - colour: each product rounded to nearest, green's two products summed
//   before their one rounding (plain high halves would pull every colour
//   down by half a step on average).
// The SIMD entries follow the same steps lane by lane and give the same
// bytes as the plain loops.

namespace {

inline int16_t Wrap(int32_t v) { return static_cast<int16_t>(v); }
inline int16_t Add(int16_t a, int16_t b) { return Wrap(int32_t{a} + b); }
inline int16_t Sub(int16_t a, int16_t b) { return Wrap(int32_t{a} - b); }
// (x << shift) times k, high half.
inline int16_t MulHigh(int16_t x, int shift, int16_t k) {
  const int16_t shifted = Wrap(static_cast<int32_t>(static_cast<uint32_t>(x) << shift));
  return Wrap((int32_t{shifted} * k) >> 16);
}

constexpr int16_t kSqrt2 = 23170;   // 1.4142135, after a shift of 2
constexpr int16_t kC1847 = 30274;   // 1.847759, after a shift of 2
constexpr int16_t kC2613 = -21407;  // -2.613126, after a shift of 3
constexpr int16_t kC1082 = 17734;   // 1.0823922, after a shift of 2

inline void FixedPass(const int16_t* in, int16_t* out, int step) {
  const int16_t i0 = in[0], i1 = in[step], i2 = in[2 * step], i3 = in[3 * step];
  const int16_t i4 = in[4 * step], i5 = in[5 * step], i6 = in[6 * step], i7 = in[7 * step];
  const int16_t t10 = Add(i0, i4);
  const int16_t t11 = Sub(i0, i4);
  const int16_t t13 = Add(i2, i6);
  const int16_t t12 = Sub(MulHigh(Sub(i2, i6), 2, kSqrt2), t13);
  const int16_t e0 = Add(t10, t13), e3 = Sub(t10, t13), e1 = Add(t11, t12), e2 = Sub(t11, t12);
  const int16_t z13 = Add(i5, i3), z10 = Sub(i5, i3), z11 = Add(i1, i7), z12 = Sub(i1, i7);
  const int16_t o7 = Add(z11, z13);
  const int16_t o11 = MulHigh(Sub(z11, z13), 2, kSqrt2);
  const int16_t z5 = MulHigh(Add(z10, z12), 2, kC1847);
  const int16_t o10 = Sub(MulHigh(z12, 2, kC1082), z5);
  const int16_t o12 = Add(MulHigh(z10, 3, kC2613), z5);
  const int16_t o6 = Sub(o12, o7);
  const int16_t o5 = Sub(o11, o6);
  const int16_t o4 = Add(o10, o5);
  out[0] = Add(e0, o7);
  out[7 * step] = Sub(e0, o7);
  out[1 * step] = Add(e1, o6);
  out[6 * step] = Sub(e1, o6);
  out[2 * step] = Add(e2, o5);
  out[5 * step] = Sub(e2, o5);
  out[4 * step] = Add(e3, o4);
  out[3 * step] = Sub(e3, o4);
}

inline uint8_t Descale(int16_t r) {
  const int16_t v = Add(static_cast<int16_t>(Add(r, 8) >> 4), 128);
  return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

inline uint8_t Saturate(int v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

inline bool OnlyDc(const int16_t* in) {
  for (int n = 1; n < 64; ++n)
    if (in[n]) return false;
  return true;
}

}  // namespace

void FixedIdctScalar(const int16_t* in, uint8_t* out) {
  int16_t columns[64], rows[64];
  // First pass down the columns (the lanes), then along the rows.
  for (int c = 0; c < 8; ++c) FixedPass(in + c, columns + c, 8);
  for (int r = 0; r < 8; ++r) FixedPass(columns + r * 8, rows + r * 8, 1);
  for (int n = 0; n < 64; ++n) out[n] = Descale(rows[n]);
}

#if defined(__SSE2__)
namespace {

struct Block8 {
  __m128i r[8];
};

inline __m128i MulHighV(__m128i x, int shift, int16_t k) {
  return _mm_mulhi_epi16(_mm_slli_epi16(x, shift), _mm_set1_epi16(k));
}

// One pass over eight lanes; r[k] holds input k of every lane.
inline void FixedPassV(Block8* b) {
  __m128i* r = b->r;
  const __m128i t10 = _mm_add_epi16(r[0], r[4]);
  const __m128i t11 = _mm_sub_epi16(r[0], r[4]);
  const __m128i t13 = _mm_add_epi16(r[2], r[6]);
  const __m128i t12 = _mm_sub_epi16(MulHighV(_mm_sub_epi16(r[2], r[6]), 2, kSqrt2), t13);
  const __m128i e0 = _mm_add_epi16(t10, t13), e3 = _mm_sub_epi16(t10, t13);
  const __m128i e1 = _mm_add_epi16(t11, t12), e2 = _mm_sub_epi16(t11, t12);
  const __m128i z13 = _mm_add_epi16(r[5], r[3]), z10 = _mm_sub_epi16(r[5], r[3]);
  const __m128i z11 = _mm_add_epi16(r[1], r[7]), z12 = _mm_sub_epi16(r[1], r[7]);
  const __m128i o7 = _mm_add_epi16(z11, z13);
  const __m128i o11 = MulHighV(_mm_sub_epi16(z11, z13), 2, kSqrt2);
  const __m128i z5 = MulHighV(_mm_add_epi16(z10, z12), 2, kC1847);
  const __m128i o10 = _mm_sub_epi16(MulHighV(z12, 2, kC1082), z5);
  const __m128i o12 = _mm_add_epi16(MulHighV(z10, 3, kC2613), z5);
  const __m128i o6 = _mm_sub_epi16(o12, o7);
  const __m128i o5 = _mm_sub_epi16(o11, o6);
  const __m128i o4 = _mm_add_epi16(o10, o5);
  r[0] = _mm_add_epi16(e0, o7);
  r[7] = _mm_sub_epi16(e0, o7);
  r[1] = _mm_add_epi16(e1, o6);
  r[6] = _mm_sub_epi16(e1, o6);
  r[2] = _mm_add_epi16(e2, o5);
  r[5] = _mm_sub_epi16(e2, o5);
  r[4] = _mm_add_epi16(e3, o4);
  r[3] = _mm_sub_epi16(e3, o4);
}

inline void Transpose(Block8* b) {
  __m128i* r = b->r;
  const __m128i a0 = _mm_unpacklo_epi16(r[0], r[1]), a1 = _mm_unpackhi_epi16(r[0], r[1]);
  const __m128i a2 = _mm_unpacklo_epi16(r[2], r[3]), a3 = _mm_unpackhi_epi16(r[2], r[3]);
  const __m128i a4 = _mm_unpacklo_epi16(r[4], r[5]), a5 = _mm_unpackhi_epi16(r[4], r[5]);
  const __m128i a6 = _mm_unpacklo_epi16(r[6], r[7]), a7 = _mm_unpackhi_epi16(r[6], r[7]);
  const __m128i b0 = _mm_unpacklo_epi32(a0, a2), b1 = _mm_unpackhi_epi32(a0, a2);
  const __m128i b2 = _mm_unpacklo_epi32(a1, a3), b3 = _mm_unpackhi_epi32(a1, a3);
  const __m128i b4 = _mm_unpacklo_epi32(a4, a6), b5 = _mm_unpackhi_epi32(a4, a6);
  const __m128i b6 = _mm_unpacklo_epi32(a5, a7), b7 = _mm_unpackhi_epi32(a5, a7);
  r[0] = _mm_unpacklo_epi64(b0, b4);
  r[1] = _mm_unpackhi_epi64(b0, b4);
  r[2] = _mm_unpacklo_epi64(b1, b5);
  r[3] = _mm_unpackhi_epi64(b1, b5);
  r[4] = _mm_unpacklo_epi64(b2, b6);
  r[5] = _mm_unpackhi_epi64(b2, b6);
  r[6] = _mm_unpacklo_epi64(b3, b7);
  r[7] = _mm_unpackhi_epi64(b3, b7);
}

}  // namespace
#endif

void FixedIdct(const int16_t* in, uint8_t* out) {
  if (OnlyDc(in)) {
    // Both passes leave a lone DC value unchanged.
    const uint8_t v = Descale(in[0]);
    for (int n = 0; n < 64; ++n) out[n] = v;
    return;
  }
#if defined(__SSE2__)
  Block8 b;
  for (int k = 0; k < 8; ++k)
    b.r[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + k * 8));
  FixedPassV(&b);  // down the columns: register k is row k
  Transpose(&b);
  FixedPassV(&b);  // along the rows
  Transpose(&b);
  const __m128i eight = _mm_set1_epi16(8), centre = _mm_set1_epi16(128);
  for (int k = 0; k < 8; k += 2) {
    const __m128i lo = _mm_add_epi16(_mm_srai_epi16(_mm_add_epi16(b.r[k], eight), 4), centre);
    const __m128i hi = _mm_add_epi16(_mm_srai_epi16(_mm_add_epi16(b.r[k + 1], eight), 4), centre);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k * 8), _mm_packus_epi16(lo, hi));
  }
#else
  FixedIdctScalar(in, out);
#endif
}

namespace {
constexpr int16_t kCrR = 22970;   // 1.402
constexpr int16_t kCbG = -5637;   // -0.344
constexpr int16_t kCrG = -11699;  // -0.714
constexpr int16_t kCbB = 29032;   // 1.772
}  // namespace

void FixedColourScalar(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint32_t* out,
                       size_t n, int chromaStep) {
  for (size_t i = 0; i < n; ++i) {
    const size_t c = chromaStep == 2 ? i >> 1 : i;
    const int32_t b4 = (int32_t{cb[c]} - 128) * 4;
    const int32_t r4 = (int32_t{cr[c]} - 128) * 4;
    const int l = y[i];
    const int red = l + ((r4 * kCrR + 0x8000) >> 16);
    const int green = l + ((b4 * kCbG + r4 * kCrG + 0x8000) >> 16);
    const int blue = l + ((b4 * kCbB + 0x8000) >> 16);
    out[i] = uint32_t{Saturate(red)} << 16 | uint32_t{Saturate(green)} << 8 | Saturate(blue);
  }
}

void FixedColour(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint32_t* out, size_t n,
                 int chromaStep) {
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i centre = _mm_set1_epi16(128);
  const __m128i kR = _mm_set1_epi16(kCrR), kB = _mm_set1_epi16(kCbB);
  const __m128i kG = _mm_set1_epi32(static_cast<int32_t>(
      static_cast<uint32_t>(static_cast<uint16_t>(kCrG)) << 16 | static_cast<uint16_t>(kCbG)));
  const __m128i half = _mm_set1_epi32(0x8000);
  // The high half of a * k, rounded: the low half's top bit is the carry
  // of adding 0x8000.
  auto mulRound = [](__m128i a, __m128i k) {
    return _mm_add_epi16(_mm_mulhi_epi16(a, k), _mm_srli_epi16(_mm_mullo_epi16(a, k), 15));
  };
  for (; i + 8 <= n; i += 8) {
    const __m128i l =
        _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(y + i)), zero);
    __m128i b, r;
    if (chromaStep == 2) {
      int32_t b4, r4;
      std::memcpy(&b4, cb + i / 2, 4);
      std::memcpy(&r4, cr + i / 2, 4);
      const __m128i b8 = _mm_cvtsi32_si128(b4), r8 = _mm_cvtsi32_si128(r4);
      b = _mm_unpacklo_epi8(_mm_unpacklo_epi8(b8, b8), zero);
      r = _mm_unpacklo_epi8(_mm_unpacklo_epi8(r8, r8), zero);
    } else {
      b = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(cb + i)), zero);
      r = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(cr + i)), zero);
    }
    b = _mm_slli_epi16(_mm_sub_epi16(b, centre), 2);
    r = _mm_slli_epi16(_mm_sub_epi16(r, centre), 2);
    const __m128i red = _mm_add_epi16(l, mulRound(r, kR));
    const __m128i blue = _mm_add_epi16(l, mulRound(b, kB));
    // Green sums both products before its one rounding.
    const __m128i gLo =
        _mm_srai_epi32(_mm_add_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(b, r), kG), half), 16);
    const __m128i gHi =
        _mm_srai_epi32(_mm_add_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(b, r), kG), half), 16);
    const __m128i green = _mm_add_epi16(l, _mm_packs_epi32(gLo, gHi));
    // Bytes B, G, R, 0 per pixel.
    const __m128i r8 = _mm_packus_epi16(red, zero);
    const __m128i g8 = _mm_packus_epi16(green, zero);
    const __m128i b8 = _mm_packus_epi16(blue, zero);
    const __m128i bg = _mm_unpacklo_epi8(b8, g8);
    const __m128i r0 = _mm_unpacklo_epi8(r8, zero);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi16(bg, r0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 4), _mm_unpackhi_epi16(bg, r0));
  }
#endif
  if (i < n) {
    const size_t c = chromaStep == 2 ? i / 2 : i;
    FixedColourScalar(y + i, cb + c, cr + c, out + i, n - i, chromaStep);
  }
}

}  // namespace jpegkernels
