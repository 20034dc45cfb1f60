// The fixed-point path, step by step, and how each step rounds:
// - dequantisation: coefficient times quantisation value, exact, held to
//   16 bits;
// - transform: the accurate eight-point factorisation (Loeffler, Ligtenberg
//   and Moschytz) with its twelve multipliers rounded to 13 fraction bits,
//   first down the columns, then along the rows. Inside a pass every
//   product and sum is exact in 32 bits (a broken body's values wrap there,
//   the same in every version);
// - between the passes: the sums rounded to nearest (halves up) to two
//   fraction bits and held to 16 bits;
// - after the second pass: rounded to nearest (halves up) to whole
//   samples, level-shifted by 128 and held to 0..255;
// - colour: (Cb - 128) and (Cr - 128) times four, multiplied by 16-bit
//   constants, each product's high half rounded to nearest, green's two
//   products summed before their one rounding; Y plus those, held to 0..255.
// Everything is integer arithmetic, so every machine gives the same bytes;
// the SSE2 and AVX2 entries do the same steps (the transform's sums
// gathered per input, the dequantisation in its loads) and tests hold them
// to the plain loops. The float path's SIMD entries do the plain loops'
// float operations in the same order, so they give the same bits too.
#include "graphics/jpegkernels.h"

#include <cmath>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <immintrin.h>

#include "graphics/blendrows.h"

// The 256-bit forms, taken after the run-time check (blendrows::UseWideRows).
#define ZOR_WIDE __attribute__((target("avx2")))
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

// --- Floating-point path ---

namespace {

// The multipliers of the pass, for kFloatK: sqrt2, and those of the odd
// part's rotation.
constexpr float kFloatK[4] = {1.4142135f, 1.847759f, 1.0823922f, -2.613126f};

// The scaled fast factorisation on eight values i[0..7]; the plain loop runs
// it on floats, the SIMD entries on vectors of lanes with the same
// operations. k: kFloatK as values of the type.
template <typename V>
__attribute__((always_inline)) inline void FloatPass(const V* i, V* out, const V* k) {
  // Even part.
  const V t10 = i[0] + i[4];
  const V t11 = i[0] - i[4];
  const V t13 = i[2] + i[6];
  const V t12 = (i[2] - i[6]) * k[0] - t13;
  const V e0 = t10 + t13, e3 = t10 - t13, e1 = t11 + t12, e2 = t11 - t12;
  // Odd part.
  const V z13 = i[5] + i[3], z10 = i[5] - i[3], z11 = i[1] + i[7], z12 = i[1] - i[7];
  const V o7 = z11 + z13;
  const V o11 = (z11 - z13) * k[0];
  const V z5 = (z10 + z12) * k[1];
  const V o10 = k[2] * z12 - z5;
  const V o12 = k[3] * z10 + z5;
  const V o6 = o12 - o7;
  const V o5 = o11 - o6;
  const V o4 = o10 + o5;
  out[0] = e0 + o7;
  out[7] = e0 - o7;
  out[1] = e1 + o6;
  out[6] = e1 - o6;
  out[2] = e2 + o5;
  out[5] = e2 - o5;
  out[4] = e3 + o4;
  out[3] = e3 - o4;
}

// The pass over eight values spaced `step` apart.
inline void FloatPassAt(const float* in, float* out, int step) {
  float i[8], o[8];
  for (int k = 0; k < 8; ++k) i[k] = in[k * step];
  FloatPass(i, o, kFloatK);
  for (int k = 0; k < 8; ++k) out[k * step] = o[k];
}

inline float Hold(float v, float lo, float hi) { return v < lo ? lo : (v > hi ? hi : v); }

inline uint32_t ToByte(float v) {
  // Truncation toward zero after adding one half; the input is held to a
  // range that cannot overflow the conversion.
  const int i = static_cast<int>(v + 0.5f);
  return static_cast<uint32_t>(i < 0 ? 0 : (i > 255 ? 255 : i));
}

}  // namespace

void FloatIdctScalar(const int32_t* coef, const uint16_t* quant, const float* scale, float* out) {
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
  for (int r = 0; r < 8; ++r) FloatPassAt(work + r * 8, rows + r * 8, 1);
  for (int c = 0; c < 8; ++c) FloatPassAt(rows + c, out + c, 8);
}

void FloatSamplesScalar(const float* in, uint8_t* samples, size_t stride) {
  // Samples are whole numbers in 0..255, as the JPEG model has them: a
  // transform overshooting the range at a hard edge is held to it before
  // the colours are mixed.
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      samples[y * stride + x] = static_cast<uint8_t>(Hold(in[y * 8 + x] + 128.5f, 0.0f, 255.0f));
}

void FloatColourScalar(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint32_t* out,
                       size_t n, int chromaStep) {
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

#if defined(__SSE2__)
namespace {

// An 8 x 8 block of floats: r[row][half], four lanes per half.
struct FloatBlock {
  __m128 r[8][2];
};

inline void Transpose(FloatBlock* b) {
  for (int a = 0; a < 2; ++a)
    for (int h = 0; h < 2; ++h) {
      __m128 w0 = b->r[4 * a][h], w1 = b->r[4 * a + 1][h], w2 = b->r[4 * a + 2][h],
             w3 = b->r[4 * a + 3][h];
      _MM_TRANSPOSE4_PS(w0, w1, w2, w3);
      b->r[4 * a][h] = w0;
      b->r[4 * a + 1][h] = w1;
      b->r[4 * a + 2][h] = w2;
      b->r[4 * a + 3][h] = w3;
    }
  // The two off-diagonal 4 x 4 blocks change places.
  for (int k = 0; k < 4; ++k) std::swap(b->r[k][1], b->r[4 + k][0]);
}

// The pass with register k as input k, every lane its own line.
inline void FloatPassV(FloatBlock* b) {
  const __m128 k[4] = {_mm_set1_ps(kFloatK[0]), _mm_set1_ps(kFloatK[1]), _mm_set1_ps(kFloatK[2]),
                       _mm_set1_ps(kFloatK[3])};
  for (int h = 0; h < 2; ++h) {
    __m128 i[8], o[8];
    for (int n = 0; n < 8; ++n) i[n] = b->r[n][h];
    FloatPass(i, o, k);
    for (int n = 0; n < 8; ++n) b->r[n][h] = o[n];
  }
}

// Eight samples widened to 16 bits: eight in a row, or (step 2) four, each
// twice.
inline __m128i Samples8(const uint8_t* c, int step) {
  if (step == 1)
    return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(c)),
                             _mm_setzero_si128());
  int32_t four;
  std::memcpy(&four, c, 4);
  const __m128i v = _mm_cvtsi32_si128(four);
  return _mm_unpacklo_epi8(_mm_unpacklo_epi8(v, v), _mm_setzero_si128());
}

// Four pixels of bytes B, G, R, 0 from the three colour values, each plus
// one half, truncated and held to 0..255.
inline __m128i FloatPixels(__m128 red, __m128 green, __m128 blue) {
  const __m128 half = _mm_set1_ps(0.5f);
  const __m128i r = _mm_cvttps_epi32(_mm_add_ps(red, half));
  const __m128i g = _mm_cvttps_epi32(_mm_add_ps(green, half));
  const __m128i b = _mm_cvttps_epi32(_mm_add_ps(blue, half));
  // Lanes of 16 bits: (b, g) and (r, 0), then saturated to bytes.
  const __m128i bg = _mm_packs_epi32(b, g);            // b0..b3 g0..g3
  const __m128i r0 = _mm_packs_epi32(r, _mm_setzero_si128());  // r0..r3 0..
  const __m128i bytes = _mm_packus_epi16(bg, r0);      // b0..b3 g0..g3 r0..r3 0..
  const __m128i bgLo = _mm_unpacklo_epi8(bytes, _mm_srli_si128(bytes, 4));  // b0 g0 b1 g1 ..
  const __m128i r0Lo = _mm_unpacklo_epi8(_mm_srli_si128(bytes, 8), _mm_setzero_si128());
  return _mm_unpacklo_epi16(bgLo, r0Lo);
}

ZOR_WIDE void Transpose8(__m256* r) {
  __m256 t[8], u[8];
  for (int k = 0; k < 8; k += 2) {
    t[k] = _mm256_unpacklo_ps(r[k], r[k + 1]);
    t[k + 1] = _mm256_unpackhi_ps(r[k], r[k + 1]);
  }
  for (int k = 0; k < 8; k += 4) {
    u[k] = _mm256_shuffle_ps(t[k], t[k + 2], 0x44);
    u[k + 1] = _mm256_shuffle_ps(t[k], t[k + 2], 0xEE);
    u[k + 2] = _mm256_shuffle_ps(t[k + 1], t[k + 3], 0x44);
    u[k + 3] = _mm256_shuffle_ps(t[k + 1], t[k + 3], 0xEE);
  }
  for (int k = 0; k < 4; ++k) {
    r[k] = _mm256_permute2f128_ps(u[k], u[k + 4], 0x20);
    r[k + 4] = _mm256_permute2f128_ps(u[k], u[k + 4], 0x31);
  }
}

ZOR_WIDE void FloatIdctWide(const int32_t* coef, const uint16_t* quant, const float* scale,
                            float* out) {
  __m256 r[8];
  __m256i any = _mm256_setzero_si256();
  for (int k = 0; k < 8; ++k) {
    const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(coef + k * 8));
    const __m256i q =
        _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(quant + k * 8)));
    r[k] = _mm256_mul_ps(_mm256_mul_ps(_mm256_cvtepi32_ps(c), _mm256_loadu_ps(scale + k * 8)),
                         _mm256_cvtepi32_ps(q));
    any = _mm256_or_si256(
        any, k ? c : _mm256_and_si256(c, _mm256_setr_epi32(0, -1, -1, -1, -1, -1, -1, -1)));
  }
  if (_mm256_testz_si256(any, any)) {
    // Both passes leave a lone DC value unchanged.
    const __m256 dc = _mm256_broadcastss_ps(_mm256_castps256_ps128(r[0]));
    for (int k = 0; k < 8; ++k) _mm256_storeu_ps(out + k * 8, dc);
    return;
  }
  const __m256 k[4] = {_mm256_set1_ps(kFloatK[0]), _mm256_set1_ps(kFloatK[1]),
                       _mm256_set1_ps(kFloatK[2]), _mm256_set1_ps(kFloatK[3])};
  __m256 o[8];
  Transpose8(r);
  FloatPass(r, o, k);  // along the rows: register n is column n
  Transpose8(o);
  FloatPass(o, r, k);  // down the columns: register n is row n
  for (int k = 0; k < 8; ++k) _mm256_storeu_ps(out + k * 8, r[k]);
}

ZOR_WIDE void FloatSamplesWide(const float* in, uint8_t* samples, size_t stride) {
  const __m256 shift = _mm256_set1_ps(128.5f), lo = _mm256_setzero_ps(),
               hi = _mm256_set1_ps(255.0f);
  __m256i held[8];
  for (int k = 0; k < 8; ++k)
    held[k] = _mm256_cvttps_epi32(
        _mm256_min_ps(_mm256_max_ps(_mm256_add_ps(_mm256_loadu_ps(in + k * 8), shift), lo), hi));
  // Per 128-bit lane the packs interleave rows by four samples; the
  // permutation puts each row's eight together again.
  const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
  for (int k = 0; k < 8; k += 4) {
    const __m256i bytes = _mm256_permutevar8x32_epi32(
        _mm256_packus_epi16(_mm256_packs_epi32(held[k], held[k + 1]),
                            _mm256_packs_epi32(held[k + 2], held[k + 3])),
        order);
    const __m128i low = _mm256_castsi256_si128(bytes), high = _mm256_extracti128_si256(bytes, 1);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(samples + k * stride), low);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(samples + (k + 1) * stride),
                     _mm_srli_si128(low, 8));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(samples + (k + 2) * stride), high);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(samples + (k + 3) * stride),
                     _mm_srli_si128(high, 8));
  }
}

// Eight samples widened to 32 bits: eight in a row, or (step 2) four, each
// twice.
ZOR_WIDE __m256i Samples32(const uint8_t* c, int step) {
  if (step == 1)
    return _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(c)));
  int32_t four;
  std::memcpy(&four, c, 4);
  return _mm256_permutevar8x32_epi32(_mm256_cvtepu8_epi32(_mm_cvtsi32_si128(four)),
                                     _mm256_setr_epi32(0, 0, 1, 1, 2, 2, 3, 3));
}

ZOR_WIDE size_t FloatColourWide(const uint8_t* y, const uint8_t* cb, const uint8_t* cr,
                                uint32_t* out, size_t n, int chromaStep) {
  const __m256 centre = _mm256_set1_ps(128.0f), half = _mm256_set1_ps(0.5f);
  const __m256 kR = _mm256_set1_ps(1.402f), kGb = _mm256_set1_ps(0.344f),
               kGr = _mm256_set1_ps(0.714f), kB = _mm256_set1_ps(1.772f);
  // Bytes B0..B3 G0..G3 R0..R3 0000 of each lane to pixels.
  const __m256i pixels = _mm256_broadcastsi128_si256(
      _mm_setr_epi8(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15));
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    const size_t c = chromaStep == 2 ? i / 2 : i;
    const __m256 l = _mm256_cvtepi32_ps(Samples32(y + i, 1));
    const __m256 b = _mm256_sub_ps(_mm256_cvtepi32_ps(Samples32(cb + c, chromaStep)), centre);
    const __m256 r = _mm256_sub_ps(_mm256_cvtepi32_ps(Samples32(cr + c, chromaStep)), centre);
    const __m256 red = _mm256_add_ps(l, _mm256_mul_ps(kR, r));
    const __m256 green =
        _mm256_sub_ps(_mm256_sub_ps(l, _mm256_mul_ps(kGb, b)), _mm256_mul_ps(kGr, r));
    const __m256 blue = _mm256_add_ps(l, _mm256_mul_ps(kB, b));
    const __m256i r8 = _mm256_cvttps_epi32(_mm256_add_ps(red, half));
    const __m256i g8 = _mm256_cvttps_epi32(_mm256_add_ps(green, half));
    const __m256i b8 = _mm256_cvttps_epi32(_mm256_add_ps(blue, half));
    const __m256i bytes = _mm256_packus_epi16(_mm256_packs_epi32(b8, g8),
                                              _mm256_packs_epi32(r8, _mm256_setzero_si256()));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_shuffle_epi8(bytes, pixels));
  }
  return i;
}

}  // namespace
#endif

void FloatIdct(const int32_t* coef, const uint16_t* quant, const float* scale, float* out) {
#if defined(__SSE2__)
  if (blendrows::UseWideRows()) return FloatIdctWide(coef, quant, scale, out);
  FloatBlock b;
  __m128i any = _mm_setzero_si128();
  for (int r = 0; r < 8; ++r)
    for (int h = 0; h < 2; ++h) {
      const int n = r * 8 + h * 4;
      const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(coef + n));
      const __m128i q = _mm_unpacklo_epi16(
          _mm_loadl_epi64(reinterpret_cast<const __m128i*>(quant + n)), _mm_setzero_si128());
      b.r[r][h] = _mm_mul_ps(_mm_mul_ps(_mm_cvtepi32_ps(c), _mm_loadu_ps(scale + n)),
                             _mm_cvtepi32_ps(q));
      any = _mm_or_si128(any, n ? c : _mm_and_si128(c, _mm_setr_epi32(0, -1, -1, -1)));
    }
  if (_mm_movemask_epi8(_mm_cmpeq_epi32(any, _mm_setzero_si128())) == 0xFFFF) {
    // Both passes leave a lone DC value unchanged.
    const __m128 dc = _mm_shuffle_ps(b.r[0][0], b.r[0][0], 0);
    for (int n = 0; n < 64; n += 4) _mm_storeu_ps(out + n, dc);
    return;
  }
  Transpose(&b);
  FloatPassV(&b);  // along the rows: register k is column k
  Transpose(&b);
  FloatPassV(&b);  // down the columns: register k is row k
  for (int r = 0; r < 8; ++r)
    for (int h = 0; h < 2; ++h) _mm_storeu_ps(out + r * 8 + h * 4, b.r[r][h]);
#else
  FloatIdctScalar(coef, quant, scale, out);
#endif
}

void FloatSamples(const float* in, uint8_t* samples, size_t stride) {
#if defined(__SSE2__)
  if (blendrows::UseWideRows()) return FloatSamplesWide(in, samples, stride);
  const __m128 shift = _mm_set1_ps(128.5f), lo = _mm_setzero_ps(), hi = _mm_set1_ps(255.0f);
  auto held = [&](const float* at) {
    return _mm_cvttps_epi32(_mm_min_ps(_mm_max_ps(_mm_add_ps(_mm_loadu_ps(at), shift), lo), hi));
  };
  for (int y = 0; y < 8; y += 2) {
    const __m128i a = _mm_packs_epi32(held(in + y * 8), held(in + y * 8 + 4));
    const __m128i b = _mm_packs_epi32(held(in + y * 8 + 8), held(in + y * 8 + 12));
    const __m128i bytes = _mm_packus_epi16(a, b);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(samples + y * stride), bytes);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(samples + (y + 1) * stride),
                     _mm_srli_si128(bytes, 8));
  }
#else
  FloatSamplesScalar(in, samples, stride);
#endif
}

void FloatColour(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint32_t* out, size_t n,
                 int chromaStep) {
  size_t i = 0;
#if defined(__SSE2__)
  if (blendrows::UseWideRows()) i = FloatColourWide(y, cb, cr, out, n, chromaStep);
  const __m128i zero = _mm_setzero_si128();
  const __m128 centre = _mm_set1_ps(128.0f);
  const __m128 kR = _mm_set1_ps(1.402f), kGb = _mm_set1_ps(0.344f), kGr = _mm_set1_ps(0.714f),
               kB = _mm_set1_ps(1.772f);
  for (; i + 8 <= n; i += 8) {
    const size_t c = chromaStep == 2 ? i / 2 : i;
    const __m128i l16 = Samples8(y + i, 1);
    const __m128i b16 = Samples8(cb + c, chromaStep), r16 = Samples8(cr + c, chromaStep);
    for (int half = 0; half < 2; ++half) {
      auto floats = [&](__m128i v16) {
        return _mm_cvtepi32_ps(half ? _mm_unpackhi_epi16(v16, zero) : _mm_unpacklo_epi16(v16, zero));
      };
      const __m128 l = floats(l16);
      const __m128 b = _mm_sub_ps(floats(b16), centre);
      const __m128 r = _mm_sub_ps(floats(r16), centre);
      const __m128 red = _mm_add_ps(l, _mm_mul_ps(kR, r));
      const __m128 green = _mm_sub_ps(_mm_sub_ps(l, _mm_mul_ps(kGb, b)), _mm_mul_ps(kGr, r));
      const __m128 blue = _mm_add_ps(l, _mm_mul_ps(kB, b));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 4 * half),
                       FloatPixels(red, green, blue));
    }
  }
#endif
  if (i < n) {
    const size_t c = chromaStep == 2 ? i / 2 : i;
    FloatColourScalar(y + i, cb + c, cr + c, out + i, n - i, chromaStep);
  }
}

// --- Fixed-point path ---

namespace {

// Multipliers of the transform, round(x * 2^13) with c_k = cos(k pi / 16).
constexpr int kBits = 13;
constexpr int32_t k0298 = 2446;   // sqrt2 (c3 + c5 - c1 - c7)
constexpr int32_t k0390 = 3196;   // sqrt2 (c3 - c5)
constexpr int32_t k0541 = 4433;   // sqrt2 c6
constexpr int32_t k0765 = 6270;   // sqrt2 (c2 - c6)
constexpr int32_t k0899 = 7373;   // sqrt2 (c3 - c7)
constexpr int32_t k1175 = 9633;   // sqrt2 c3
constexpr int32_t k1501 = 12299;  // sqrt2 (c1 + c3 - c5 - c7)
constexpr int32_t k1847 = 15137;  // sqrt2 (c2 + c6)
constexpr int32_t k1961 = 16069;  // sqrt2 (c3 + c5)
constexpr int32_t k2053 = 16819;  // sqrt2 (c1 + c3 - c5 + c7)
constexpr int32_t k2562 = 20995;  // sqrt2 (c1 + c3)
constexpr int32_t k3072 = 25172;  // sqrt2 (c1 + c3 + c5 - c7)

// Between the passes the values keep two fraction bits; the second pass
// also drops the factor 8 of the two unnormalised passes.
constexpr int kShift1 = kBits - 2;
constexpr int kShift2 = kBits + 2 + 3;
constexpr int32_t kBias1 = 1 << (kShift1 - 1);
// Rounding and the level shift in one addition.
constexpr int32_t kBias2 = (1 << (kShift2 - 1)) + (128 << kShift2);

inline uint32_t Mul(uint32_t v, int32_t k) { return v * static_cast<uint32_t>(k); }

// One eight-point pass over values spaced `step` apart: the outputs scaled
// by 2^13, before rounding.
inline void FixedPass(const int16_t* in, int step, uint32_t* out) {
  auto at = [&](int k) { return static_cast<uint32_t>(int32_t{in[k * step]}); };
  // Even part: inputs 0 and 4 at full weight, 2 and 6 rotated.
  const uint32_t z1 = Mul(at(2) + at(6), k0541);
  const uint32_t even2 = z1 - Mul(at(6), k1847);
  const uint32_t even3 = z1 + Mul(at(2), k0765);
  const uint32_t even0 = (at(0) + at(4)) << kBits;
  const uint32_t even1 = (at(0) - at(4)) << kBits;
  const uint32_t t10 = even0 + even3, t13 = even0 - even3;
  const uint32_t t11 = even1 + even2, t12 = even1 - even2;
  // Odd part.
  const uint32_t i1 = at(1), i3 = at(3), i5 = at(5), i7 = at(7);
  const uint32_t z5 = Mul(i7 + i5 + i3 + i1, k1175);
  const uint32_t za = Mul(i7 + i1, -k0899);
  const uint32_t zb = Mul(i5 + i3, -k2562);
  const uint32_t zc = Mul(i7 + i3, -k1961) + z5;
  const uint32_t zd = Mul(i5 + i1, -k0390) + z5;
  const uint32_t o0 = Mul(i7, k0298) + za + zc;
  const uint32_t o1 = Mul(i5, k2053) + zb + zd;
  const uint32_t o2 = Mul(i3, k3072) + zb + zc;
  const uint32_t o3 = Mul(i1, k1501) + za + zd;
  out[0] = t10 + o3;
  out[7] = t10 - o3;
  out[1] = t11 + o2;
  out[6] = t11 - o2;
  out[2] = t12 + o1;
  out[5] = t12 - o1;
  out[3] = t13 + o0;
  out[4] = t13 - o0;
}

inline int32_t Descale(uint32_t sum, int32_t bias, int shift) {
  return static_cast<int32_t>(sum + static_cast<uint32_t>(bias)) >> shift;
}

inline int16_t Hold16(int32_t v) {
  return static_cast<int16_t>(v < -32768 ? -32768 : (v > 32767 ? 32767 : v));
}

inline uint8_t Saturate(int v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

// A block whose only coefficient is the DC one: what both passes give for
// it, one value for every sample.
inline uint8_t DcSample(int16_t dc) {
  const int16_t pass1 = Hold16(int32_t{dc} * 4);
  return Saturate(((pass1 + 16) >> 5) + 128);
}

}  // namespace

void FixedIdctScalar(const int16_t* in, uint8_t* out) {
  int16_t columns[64];
  uint32_t sums[8];
  // Down the columns first, then along the rows.
  for (int c = 0; c < 8; ++c) {
    FixedPass(in + c, 8, sums);
    for (int k = 0; k < 8; ++k) columns[k * 8 + c] = Hold16(Descale(sums[k], kBias1, kShift1));
  }
  for (int r = 0; r < 8; ++r) {
    FixedPass(columns + r * 8, 1, sums);
    for (int k = 0; k < 8; ++k) out[r * 8 + k] = Saturate(Descale(sums[k], kBias2, kShift2));
  }
}

#if defined(__SSE2__)
namespace {

struct Block8 {
  __m128i r[8];
};

// Multipliers for _mm_madd_epi16 on interleaved pairs (a, b): a * ka + b * kb
// in each 32-bit lane.
constexpr int32_t PairBits(int32_t ka, int32_t kb) {
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint16_t>(ka)) |
                              static_cast<uint32_t>(static_cast<uint16_t>(kb)) << 16);
}

// The multipliers of a pass's sums for _mm_madd_epi16 on the inputs
// interleaved in the pairs (0, 4) and (2, 6) for the even part, and (7, 1)
// and (5, 3) for the odd part. Each sum is the scalar pass's with its
// products gathered per input; the wrap at 32 bits makes the grouping give
// the same bits.
constexpr int32_t kEvenPairs[4] = {
    PairBits(1 << kBits, 1 << kBits),    // even0, on (0, 4)
    PairBits(1 << kBits, -(1 << kBits)), // even1, on (0, 4)
    PairBits(k0541, k0541 - k1847),      // even2, on (2, 6)
    PairBits(k0541 + k0765, k0541),      // even3, on (2, 6)
};
constexpr int32_t kOddPairs[4][2] = {
    // o0 .. o3: on (7, 1), on (5, 3).
    {PairBits(k0298 - k0899 - k1961 + k1175, k1175 - k0899), PairBits(k1175, k1175 - k1961)},
    {PairBits(k1175, k1175 - k0390), PairBits(k2053 - k2562 - k0390 + k1175, k1175 - k2562)},
    {PairBits(k1175 - k1961, k1175), PairBits(k1175 - k2562, k3072 - k2562 - k1961 + k1175)},
    {PairBits(k1175 - k0899, k1501 - k0899 - k0390 + k1175), PairBits(k1175 - k0390, k1175)},
};

// 32-bit lanes that wrap, for the sums' additions in either width.
using Sums128 = uint32_t __attribute__((vector_size(16)));
using Sums256 = uint32_t __attribute__((vector_size(32)));

// The eight sums from the even part e[0..3] and the odd part o[0..3].
template <typename V>
__attribute__((always_inline)) inline void CombineSums(const V* e, const V* o, V* s) {
  const V t10 = e[0] + e[3], t13 = e[0] - e[3];
  const V t11 = e[1] + e[2], t12 = e[1] - e[2];
  s[0] = t10 + o[3];
  s[7] = t10 - o[3];
  s[1] = t11 + o[2];
  s[6] = t11 - o[2];
  s[2] = t12 + o[1];
  s[5] = t12 - o[1];
  s[3] = t13 + o[0];
  s[4] = t13 - o[0];
}

// The eight sums of a pass for four lanes.
inline void FixedSums(__m128i p04, __m128i p26, __m128i p71, __m128i p53, __m128i* s) {
  Sums128 e[4], o[4], sums[8];
  for (int j = 0; j < 4; ++j) {
    e[j] = (Sums128)_mm_madd_epi16(j < 2 ? p04 : p26, _mm_set1_epi32(kEvenPairs[j]));
    o[j] = (Sums128)_mm_add_epi32(_mm_madd_epi16(p71, _mm_set1_epi32(kOddPairs[j][0])),
                                  _mm_madd_epi16(p53, _mm_set1_epi32(kOddPairs[j][1])));
  }
  CombineSums(e, o, sums);
  for (int k = 0; k < 8; ++k) s[k] = (__m128i)sums[k];
}

// One pass over eight lanes; r[k] holds input k of every lane and then
// output k, rounded by kShift with kBias and held to 16 bits.
template <int kShift, int32_t kBias>
inline void FixedPassV(Block8* b) {
  __m128i* r = b->r;
  __m128i lo[8], hi[8];
  FixedSums(_mm_unpacklo_epi16(r[0], r[4]), _mm_unpacklo_epi16(r[2], r[6]),
            _mm_unpacklo_epi16(r[7], r[1]), _mm_unpacklo_epi16(r[5], r[3]), lo);
  FixedSums(_mm_unpackhi_epi16(r[0], r[4]), _mm_unpackhi_epi16(r[2], r[6]),
            _mm_unpackhi_epi16(r[7], r[1]), _mm_unpackhi_epi16(r[5], r[3]), hi);
  const __m128i bias = _mm_set1_epi32(kBias);
  for (int k = 0; k < 8; ++k)
    r[k] = _mm_packs_epi32(_mm_srai_epi32(_mm_add_epi32(lo[k], bias), kShift),
                           _mm_srai_epi32(_mm_add_epi32(hi[k], bias), kShift));
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

// The same for two blocks at once, one in each 128-bit lane of the 256-bit
// registers: every step works within a lane, so each block's results are
// those of the 128-bit form.
ZOR_WIDE inline void FixedSumsWide(__m256i p04, __m256i p26, __m256i p71, __m256i p53, __m256i* s) {
  Sums256 e[4], o[4], sums[8];
  for (int j = 0; j < 4; ++j) {
    e[j] = (Sums256)_mm256_madd_epi16(j < 2 ? p04 : p26, _mm256_set1_epi32(kEvenPairs[j]));
    o[j] = (Sums256)_mm256_add_epi32(_mm256_madd_epi16(p71, _mm256_set1_epi32(kOddPairs[j][0])),
                                     _mm256_madd_epi16(p53, _mm256_set1_epi32(kOddPairs[j][1])));
  }
  CombineSums(e, o, sums);
  for (int k = 0; k < 8; ++k) s[k] = (__m256i)sums[k];
}

template <int kShift, int32_t kBias>
ZOR_WIDE inline void FixedPassWide(__m256i* r) {
  __m256i lo[8], hi[8];
  FixedSumsWide(_mm256_unpacklo_epi16(r[0], r[4]), _mm256_unpacklo_epi16(r[2], r[6]),
                _mm256_unpacklo_epi16(r[7], r[1]), _mm256_unpacklo_epi16(r[5], r[3]), lo);
  FixedSumsWide(_mm256_unpackhi_epi16(r[0], r[4]), _mm256_unpackhi_epi16(r[2], r[6]),
                _mm256_unpackhi_epi16(r[7], r[1]), _mm256_unpackhi_epi16(r[5], r[3]), hi);
  const __m256i bias = _mm256_set1_epi32(kBias);
  for (int k = 0; k < 8; ++k)
    r[k] = _mm256_packs_epi32(_mm256_srai_epi32(_mm256_add_epi32(lo[k], bias), kShift),
                              _mm256_srai_epi32(_mm256_add_epi32(hi[k], bias), kShift));
}

ZOR_WIDE inline void TransposeWide(__m256i* r) {
  __m256i a[8], b[8];
  for (int k = 0; k < 8; k += 2) {
    a[k] = _mm256_unpacklo_epi16(r[k], r[k + 1]);
    a[k + 1] = _mm256_unpackhi_epi16(r[k], r[k + 1]);
  }
  for (int k = 0; k < 8; k += 4) {
    b[k] = _mm256_unpacklo_epi32(a[k], a[k + 2]);
    b[k + 1] = _mm256_unpackhi_epi32(a[k], a[k + 2]);
    b[k + 2] = _mm256_unpacklo_epi32(a[k + 1], a[k + 3]);
    b[k + 3] = _mm256_unpackhi_epi32(a[k + 1], a[k + 3]);
  }
  for (int k = 0; k < 4; ++k) {
    r[2 * k] = _mm256_unpacklo_epi64(b[k], b[k + 4]);
    r[2 * k + 1] = _mm256_unpackhi_epi64(b[k], b[k + 4]);
  }
}

ZOR_WIDE inline __m256i Both(const void* a, const void* b) {
  return _mm256_inserti128_si256(
      _mm256_castsi128_si256(_mm_loadu_si128(static_cast<const __m128i*>(a))),
      _mm_loadu_si128(static_cast<const __m128i*>(b)), 1);
}

ZOR_WIDE void FixedIdctPairWide(const FixedBlock& x, const FixedBlock& y) {
  // Dequantisation as in FixedIdct.
  __m256i q[8], r[8];
  __m256i top = _mm256_setzero_si256();
  for (int k = 0; k < 8; ++k) {
    q[k] = Both(x.quant + k * 8, y.quant + k * 8);
    top = _mm256_or_si256(top, q[k]);
  }
  q[0] = _mm256_blend_epi16(q[0], _mm256_set1_epi16(1), 1);
  const bool wide = (_mm256_movemask_epi8(top) & 0xAAAAAAAA) != 0;
  for (int k = 0; k < 8; ++k) {
    const __m256i c = Both(x.coef + k * 8, y.coef + k * 8);
    const __m256i lo = _mm256_mullo_epi16(c, q[k]);
    const __m256i hi = wide ? _mm256_sub_epi16(_mm256_mulhi_epu16(c, q[k]),
                                               _mm256_and_si256(_mm256_srai_epi16(c, 15), q[k]))
                            : _mm256_mulhi_epi16(c, q[k]);
    r[k] = _mm256_packs_epi32(_mm256_unpacklo_epi16(lo, hi), _mm256_unpackhi_epi16(lo, hi));
  }
  // When both blocks have only a DC coefficient; a lone one goes through
  // the transform, which gives it the same samples.
  __m256i ac = _mm256_blend_epi16(r[0], _mm256_setzero_si256(), 1);
  for (int k = 1; k < 8; ++k) ac = _mm256_or_si256(ac, r[k]);
  if (_mm256_testz_si256(ac, ac)) {
    for (const FixedBlock* b : {&x, &y}) {
      const __m128i dc = _mm_set1_epi8(static_cast<char>(DcSample(b->coef[0])));
      for (int k = 0; k < 8; ++k)
        _mm_storel_epi64(reinterpret_cast<__m128i*>(b->out + k * b->stride), dc);
    }
    return;
  }
  FixedPassWide<kShift1, kBias1>(r);  // down the columns: register k is row k
  TransposeWide(r);
  FixedPassWide<kShift2, kBias2>(r);  // along the rows
  TransposeWide(r);
  for (int k = 0; k < 8; k += 2) {
    const __m256i bytes = _mm256_packus_epi16(r[k], r[k + 1]);
    const __m128i bx = _mm256_castsi256_si128(bytes), by = _mm256_extracti128_si256(bytes, 1);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(x.out + k * x.stride), bx);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(x.out + (k + 1) * x.stride), _mm_srli_si128(bx, 8));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(y.out + k * y.stride), by);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(y.out + (k + 1) * y.stride), _mm_srli_si128(by, 8));
  }
}

}  // namespace
#endif

void FixedIdct(const int16_t* coef, const uint16_t* quant, uint8_t* out, size_t stride) {
#if defined(__SSE2__)
  Block8 b;
  // Dequantisation: the 32-bit product of coefficient and quantisation
  // value, held to 16 bits by the pack. The DC coefficient is multiplied by
  // 1. Values above 32767 (only 16-bit tables have them) are unsigned: the
  // unsigned high half less the value where the coefficient is negative.
  __m128i q[8];
  __m128i top = _mm_setzero_si128();
  for (int k = 0; k < 8; ++k) {
    q[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(quant + k * 8));
    top = _mm_or_si128(top, q[k]);
  }
  q[0] = _mm_insert_epi16(q[0], 1, 0);
  const bool wide = (_mm_movemask_epi8(top) & 0xAAAA) != 0;
  for (int k = 0; k < 8; ++k) {
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(coef + k * 8));
    const __m128i lo = _mm_mullo_epi16(c, q[k]);
    const __m128i hi =
        wide ? _mm_sub_epi16(_mm_mulhi_epu16(c, q[k]), _mm_and_si128(_mm_srai_epi16(c, 15), q[k]))
             : _mm_mulhi_epi16(c, q[k]);
    b.r[k] = _mm_packs_epi32(_mm_unpacklo_epi16(lo, hi), _mm_unpackhi_epi16(lo, hi));
  }
  // Blocks with only a DC coefficient are common and need no transform.
  __m128i ac = _mm_and_si128(b.r[0], _mm_setr_epi16(0, -1, -1, -1, -1, -1, -1, -1));
  for (int k = 1; k < 8; ++k) ac = _mm_or_si128(ac, b.r[k]);
  if (_mm_movemask_epi8(_mm_cmpeq_epi8(ac, _mm_setzero_si128())) == 0xFFFF) {
    const __m128i dc = _mm_set1_epi8(static_cast<char>(DcSample(coef[0])));
    for (int k = 0; k < 8; ++k) _mm_storel_epi64(reinterpret_cast<__m128i*>(out + k * stride), dc);
    return;
  }
  FixedPassV<kShift1, kBias1>(&b);  // down the columns: register k is row k
  Transpose(&b);
  FixedPassV<kShift2, kBias2>(&b);  // along the rows
  Transpose(&b);
  for (int k = 0; k < 8; k += 2) {
    const __m128i bytes = _mm_packus_epi16(b.r[k], b.r[k + 1]);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + k * stride), bytes);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + (k + 1) * stride), _mm_srli_si128(bytes, 8));
  }
#else
  int16_t in[64];
  in[0] = coef[0];
  bool onlyDc = true;
  for (int n = 1; n < 64; ++n) {
    in[n] = FixedDequantise(coef[n], quant[n]);
    onlyDc = onlyDc && in[n] == 0;
  }
  uint8_t samples[64];
  if (onlyDc)
    std::memset(samples, DcSample(in[0]), 64);
  else
    FixedIdctScalar(in, samples);
  for (int y = 0; y < 8; ++y) std::memcpy(out + y * stride, samples + y * 8, 8);
#endif
}

void FixedIdctBlocks(const FixedBlock* blocks, int count) {
  int b = 0;
#if defined(__SSE2__)
  if (blendrows::UseWideRows())
    for (; b + 2 <= count; b += 2) FixedIdctPairWide(blocks[b], blocks[b + 1]);
#endif
  for (; b < count; ++b) FixedIdct(blocks[b].coef, blocks[b].quant, blocks[b].out, blocks[b].stride);
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

#if defined(__SSE2__)
namespace {

// Sixteen samples widened to 16 bits: sixteen in a row, or (step 2) eight,
// each twice.
ZOR_WIDE __m256i Samples16(const uint8_t* c, int step) {
  if (step == 1) return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(c)));
  const __m128i eight = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(c));
  return _mm256_cvtepu8_epi16(_mm_unpacklo_epi8(eight, eight));
}

// The high half of a * k, rounded: the low half's top bit is the carry of
// adding 0x8000.
ZOR_WIDE __m256i MulRoundWide(__m256i a, __m256i k) {
  return _mm256_add_epi16(_mm256_mulhi_epi16(a, k), _mm256_srli_epi16(_mm256_mullo_epi16(a, k), 15));
}

// FixedColour sixteen pixels at a time; the pixels done.
ZOR_WIDE size_t FixedColourWide(const uint8_t* y, const uint8_t* cb, const uint8_t* cr,
                                uint32_t* out, size_t n, int chromaStep) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i centre = _mm256_set1_epi16(128);
  const __m256i kR = _mm256_set1_epi16(kCrR), kB = _mm256_set1_epi16(kCbB);
  const __m256i kG = _mm256_set1_epi32(static_cast<int32_t>(
      static_cast<uint32_t>(static_cast<uint16_t>(kCrG)) << 16 | static_cast<uint16_t>(kCbG)));
  const __m256i half = _mm256_set1_epi32(0x8000);
  size_t i = 0;
  for (; i + 16 <= n; i += 16) {
    const size_t c = chromaStep == 2 ? i / 2 : i;
    const __m256i l = Samples16(y + i, 1);
    const __m256i b = _mm256_slli_epi16(_mm256_sub_epi16(Samples16(cb + c, chromaStep), centre), 2);
    const __m256i r = _mm256_slli_epi16(_mm256_sub_epi16(Samples16(cr + c, chromaStep), centre), 2);
    const __m256i red = _mm256_add_epi16(l, MulRoundWide(r, kR));
    const __m256i blue = _mm256_add_epi16(l, MulRoundWide(b, kB));
    // Green sums both products before its one rounding; the unpacks and
    // the pack work within each 128-bit lane, so the order holds.
    const __m256i gLo = _mm256_srai_epi32(
        _mm256_add_epi32(_mm256_madd_epi16(_mm256_unpacklo_epi16(b, r), kG), half), 16);
    const __m256i gHi = _mm256_srai_epi32(
        _mm256_add_epi32(_mm256_madd_epi16(_mm256_unpackhi_epi16(b, r), kG), half), 16);
    const __m256i green = _mm256_add_epi16(l, _mm256_packs_epi32(gLo, gHi));
    // Bytes B, G, R, 0 per pixel: pixels 0-3 and 8-11 in lo, 4-7 and 12-15
    // in hi.
    const __m256i bg =
        _mm256_unpacklo_epi8(_mm256_packus_epi16(blue, zero), _mm256_packus_epi16(green, zero));
    const __m256i r0 = _mm256_unpacklo_epi8(_mm256_packus_epi16(red, zero), zero);
    const __m256i lo = _mm256_unpacklo_epi16(bg, r0), hi = _mm256_unpackhi_epi16(bg, r0);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_permute2x128_si256(lo, hi, 0x20));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i + 8),
                        _mm256_permute2x128_si256(lo, hi, 0x31));
  }
  return i;
}

}  // namespace
#endif

void FixedColour(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint32_t* out, size_t n,
                 int chromaStep) {
  size_t i = 0;
#if defined(__SSE2__)
  if (blendrows::UseWideRows()) i = FixedColourWide(y, cb, cr, out, n, chromaStep);
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
    const size_t c = chromaStep == 2 ? i / 2 : i;
    const __m128i l = Samples8(y + i, 1);
    const __m128i b = _mm_slli_epi16(_mm_sub_epi16(Samples8(cb + c, chromaStep), centre), 2);
    const __m128i r = _mm_slli_epi16(_mm_sub_epi16(Samples8(cr + c, chromaStep), centre), 2);
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

#if defined(__SSE2__)
#undef ZOR_WIDE
#endif
