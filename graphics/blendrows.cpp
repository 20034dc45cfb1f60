#include "graphics/blendrows.h"

#include <cstring>

#include "graphics/lanes.h"
#include "graphics/packedwords.h"

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace blendrows {

void TransLucentScalar(uint32_t* dst, const uint32_t* src, size_t n, int k) {
  for (size_t i = 0; i < n; ++i) dst[i] = Blend256(dst[i], src[i], k);
}

void AddScalar(uint32_t* dst, const uint32_t* src, size_t n) {
  for (size_t i = 0; i < n; ++i)
    dst[i] = PerChannel([&](int c) { return Saturate(Channel(dst[i], c) + Channel(src[i], c)); });
}

void Overrap2Scalar(uint32_t* dst, const uint32_t* a, const uint32_t* b, size_t n, int kA, int kB) {
  for (size_t i = 0; i < n; ++i)
    dst[i] = PerChannel([&](int c) {
      const uint32_t sum = Channel(a[i], c) * static_cast<uint32_t>(kA) +
                           Channel(b[i], c) * static_cast<uint32_t>(kB);
      return (sum & 0xFFFF) >> 8;
    });
}

void OverrapScalar(uint32_t* dst, const uint32_t* p, size_t n, int kS, int kP) {
  for (size_t i = 0; i < n; ++i)
    dst[i] = PerChannel([&](int c) {
      return Saturate((int64_t{Channel(dst[i], c)} * kS + int64_t{Channel(p[i], c)} * kP) >> 8);
    });
}

void CrossFadeScalar(uint32_t* dst, const uint32_t* a, const uint32_t* b, const uint8_t* maskA,
                     const uint8_t* maskB, size_t n, int kA, int kB) {
  for (size_t i = 0; i < n; ++i)
    dst[i] = CrossFadePixel(dst[i], a[i], b[i], maskA[i], maskB[i], kA, kB);
}

#if defined(__SSE2__)

namespace {

using lanes::Load;
using lanes::Select;
using lanes::Store;

// Four mask bytes, each spread over the four bytes of its pixel.
__m128i SpreadMask(const uint8_t* m) {
  const uint32_t m4 = static_cast<uint32_t>(m[0]) | (static_cast<uint32_t>(m[1]) << 8) |
                      (static_cast<uint32_t>(m[2]) << 16) | (static_cast<uint32_t>(m[3]) << 24);
  __m128i v = _mm_cvtsi32_si128(static_cast<int>(m4));
  v = _mm_unpacklo_epi8(v, v);
  return _mm_unpacklo_epi16(v, v);
}

// Per byte ((x * kx + y * ky) mod 65536) >> 8, the products and the sum on
// 16-bit lanes: the even bytes in the low halves of the lanes, the odd
// bytes shifted down into them, so no unpacking is needed. With bytes of at
// most 255 and weights of at most 256 each product fits 16 bits unsigned.
__m128i MixBytes(__m128i x, __m128i y, __m128i kx, __m128i ky) {
  const __m128i low = _mm_set1_epi16(0x00FF);
  const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF00));
  const __m128i even = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(x, low), kx),
                                                    _mm_mullo_epi16(_mm_and_si128(y, low), ky)),
                                      8);
  const __m128i odd = _mm_and_si128(_mm_add_epi16(_mm_mullo_epi16(_mm_srli_epi16(x, 8), kx),
                                                  _mm_mullo_epi16(_mm_srli_epi16(y, 8), ky)),
                                    high);
  return _mm_or_si128(even, odd);
}

// 256-bit forms of MixBytes and the add, for processors with AVX2; each
// row function does whole groups of eight pixels and says how many.
#define ZOR_WIDE __attribute__((target("avx2")))

ZOR_WIDE __m256i LoadWide(const uint32_t* p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
ZOR_WIDE void StoreWide(uint32_t* p, __m256i v) {
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

ZOR_WIDE __m256i MixBytesWide(__m256i x, __m256i y, __m256i kx, __m256i ky) {
  const __m256i low = _mm256_set1_epi16(0x00FF);
  const __m256i high = _mm256_set1_epi16(static_cast<short>(0xFF00));
  const __m256i even =
      _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(x, low), kx),
                                         _mm256_mullo_epi16(_mm256_and_si256(y, low), ky)),
                        8);
  const __m256i odd =
      _mm256_and_si256(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_srli_epi16(x, 8), kx),
                                        _mm256_mullo_epi16(_mm256_srli_epi16(y, 8), ky)),
                       high);
  return _mm256_or_si256(even, odd);
}

// dst = MixBytes(first, second) where first and second are the two inputs
// in the order the rule weighs them.
ZOR_WIDE size_t MixRowWide(uint32_t* dst, const uint32_t* first, const uint32_t* second, size_t n,
                           int kFirst, int kSecond) {
  const __m256i k1 = _mm256_set1_epi16(static_cast<short>(kFirst));
  const __m256i k2 = _mm256_set1_epi16(static_cast<short>(kSecond));
  size_t i = 0;
  for (; i + 8 <= n; i += 8)
    StoreWide(dst + i, MixBytesWide(LoadWide(first + i), LoadWide(second + i), k1, k2));
  return i;
}

ZOR_WIDE size_t AddRowWide(uint32_t* dst, const uint32_t* src, size_t n) {
  size_t i = 0;
  for (; i + 8 <= n; i += 8)
    StoreWide(dst + i, _mm256_adds_epu8(LoadWide(dst + i), LoadWide(src + i)));
  return i;
}

// Eight mask bytes, each spread over the four bytes of its pixel.
ZOR_WIDE __m256i SpreadMaskWide(const uint8_t* m) {
  const __m256i v = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(m)));
  const __m256i twice = _mm256_or_si256(v, _mm256_slli_epi32(v, 8));
  return _mm256_or_si256(twice, _mm256_slli_epi32(twice, 16));
}

// The cross-fade weight of each 16-bit mask lane (see the 128-bit row).
ZOR_WIDE __m256i FadeWeightWide(__m256i m, __m256i vk, __m256i kFull) {
  return _mm256_blendv_epi8(_mm256_srli_epi16(_mm256_mullo_epi16(m, vk), 2), kFull,
                            _mm256_cmpeq_epi16(m, _mm256_set1_epi16(255)));
}

// The three weighed terms of 16-bit channel lanes, summed.
ZOR_WIDE __m256i FadeMixWide(__m256i x, __m256i y, __m256i d, __m256i wA, __m256i wB,
                             __m256i wS) {
  __m256i acc = _mm256_mulhi_epi16(_mm256_slli_epi16(x, 2), wA);
  acc = _mm256_add_epi16(acc, _mm256_mulhi_epi16(_mm256_slli_epi16(y, 2), wB));
  return _mm256_add_epi16(acc, _mm256_mulhi_epi16(_mm256_slli_epi16(d, 2), wS));
}

// Half the channel lanes of eight pixels with their own mask weights.
ZOR_WIDE __m256i FadeHalfWide(__m256i x, __m256i y, __m256i d, __m256i mA, __m256i mB,
                              __m256i vkA, __m256i vkB, __m256i fullA, __m256i fullB) {
  const __m256i wA = FadeWeightWide(mA, vkA, fullA), wB = FadeWeightWide(mB, vkB, fullB);
  const __m256i wS = _mm256_sub_epi16(_mm256_set1_epi16(16384), _mm256_add_epi16(wA, wB));
  return FadeMixWide(x, y, d, wA, wB, wS);
}

// The cross-fade of eight pixels at a time, as the 128-bit row below; runs
// where both masks are 255 take the two whole weights without computing
// them. Returns how many pixels were done.
ZOR_WIDE size_t CrossFadeRowWide(uint32_t* dst, const uint32_t* a, const uint32_t* b,
                                 const uint8_t* maskA, const uint8_t* maskB, size_t n, int kA,
                                 int kB) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i vkA = _mm256_set1_epi16(static_cast<short>(kA));
  const __m256i vkB = _mm256_set1_epi16(static_cast<short>(kB));
  const __m256i fullA = _mm256_set1_epi16(static_cast<short>(kA * 64));
  const __m256i fullB = _mm256_set1_epi16(static_cast<short>(kB * 64));
  const __m256i fullS =
      _mm256_sub_epi16(_mm256_set1_epi16(16384), _mm256_add_epi16(fullA, fullB));
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t m8A, m8B;
    std::memcpy(&m8A, maskA + i, 8);
    std::memcpy(&m8B, maskB + i, 8);
    if ((m8A | m8B) == 0) continue;
    const __m256i x = LoadWide(a + i), y = LoadWide(b + i), d = LoadWide(dst + i);
    const __m256i xl = _mm256_unpacklo_epi8(x, zero), xh = _mm256_unpackhi_epi8(x, zero);
    const __m256i yl = _mm256_unpacklo_epi8(y, zero), yh = _mm256_unpackhi_epi8(y, zero);
    const __m256i dl = _mm256_unpacklo_epi8(d, zero), dh = _mm256_unpackhi_epi8(d, zero);
    if ((m8A & m8B) == ~uint64_t{0}) {
      StoreWide(dst + i, _mm256_packus_epi16(FadeMixWide(xl, yl, dl, fullA, fullB, fullS),
                                             FadeMixWide(xh, yh, dh, fullA, fullB, fullS)));
      continue;
    }
    const __m256i mbA = SpreadMaskWide(maskA + i), mbB = SpreadMaskWide(maskB + i);
    const __m256i none = _mm256_cmpeq_epi32(_mm256_or_si256(mbA, mbB), zero);
    const __m256i lo = FadeHalfWide(xl, yl, dl, _mm256_unpacklo_epi8(mbA, zero),
                                    _mm256_unpacklo_epi8(mbB, zero), vkA, vkB, fullA, fullB);
    const __m256i hi = FadeHalfWide(xh, yh, dh, _mm256_unpackhi_epi8(mbA, zero),
                                    _mm256_unpackhi_epi8(mbB, zero), vkA, vkB, fullA, fullB);
    StoreWide(dst + i, _mm256_blendv_epi8(_mm256_packus_epi16(lo, hi), d, none));
  }
  return i;
}

#undef ZOR_WIDE

bool g_wideAllowed = true;

bool CpuHasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

bool Wide() { return g_wideAllowed && CpuHasAvx2(); }

}  // namespace

bool WideRowsAvailable() { return CpuHasAvx2(); }
void AllowWideRows(bool allow) { g_wideAllowed = allow; }
bool UseWideRows() { return Wide(); }

void TransLucent(uint32_t* dst, const uint32_t* src, size_t n, int k) {
  if (k < 0 || k > 256) return TransLucentScalar(dst, src, n, k);
  const __m128i vk = _mm_set1_epi16(static_cast<short>(k));
  const __m128i vkc = _mm_set1_epi16(static_cast<short>(256 - k));
  // The weights sum to 256, so no sum passes 65280.
  size_t i = Wide() ? MixRowWide(dst, src, dst, n, k, 256 - k) : 0;
  for (; i + 4 <= n; i += 4) Store(dst + i, MixBytes(Load(src + i), Load(dst + i), vk, vkc));
  TransLucentScalar(dst + i, src + i, n - i, k);
}

void Add(uint32_t* dst, const uint32_t* src, size_t n) {
  size_t i = Wide() ? AddRowWide(dst, src, n) : 0;
  for (; i + 4 <= n; i += 4) Store(dst + i, _mm_adds_epu8(Load(dst + i), Load(src + i)));
  AddScalar(dst + i, src + i, n - i);
}

void Overrap2(uint32_t* dst, const uint32_t* a, const uint32_t* b, size_t n, int kA, int kB) {
  if (kA < 0 || kA > 256 || kB < 0 || kB > 256) return Overrap2Scalar(dst, a, b, n, kA, kB);
  const __m128i va = _mm_set1_epi16(static_cast<short>(kA));
  const __m128i vb = _mm_set1_epi16(static_cast<short>(kB));
  // The 16-bit sums wrap exactly as the rule keeps them in 16 bits.
  size_t i = Wide() ? MixRowWide(dst, a, b, n, kA, kB) : 0;
  for (; i + 4 <= n; i += 4) Store(dst + i, MixBytes(Load(a + i), Load(b + i), va, vb));
  Overrap2Scalar(dst + i, a + i, b + i, n - i, kA, kB);
}

void Overrap(uint32_t* dst, const uint32_t* p, size_t n, int kS, int kP) {
  // Weights summing above 256 saturate in the rule but would wrap here.
  if (kS < 0 || kP < 0 || kS + kP > 256) return OverrapScalar(dst, p, n, kS, kP);
  const __m128i vs = _mm_set1_epi16(static_cast<short>(kS));
  const __m128i vp = _mm_set1_epi16(static_cast<short>(kP));
  size_t i = Wide() ? MixRowWide(dst, dst, p, n, kS, kP) : 0;
  for (; i + 4 <= n; i += 4) Store(dst + i, MixBytes(Load(dst + i), Load(p + i), vs, vp));
  OverrapScalar(dst + i, p + i, n - i, kS, kP);
}

void CrossFade(uint32_t* dst, const uint32_t* a, const uint32_t* b, const uint8_t* maskA,
               const uint8_t* maskB, size_t n, int kA, int kB) {
  if (kA < 0 || kA > 256 || kB < 0 || kB > 256)
    return CrossFadeScalar(dst, a, b, maskA, maskB, n, kA, kB);
  const __m128i zero = _mm_setzero_si128();
  const __m128i full = _mm_set1_epi16(255);
  const __m128i whole = _mm_set1_epi16(16384);
  const __m128i vkA = _mm_set1_epi16(static_cast<short>(kA));
  const __m128i vkB = _mm_set1_epi16(static_cast<short>(kB));
  const __m128i fullA = _mm_set1_epi16(static_cast<short>(kA * 64));
  const __m128i fullB = _mm_set1_epi16(static_cast<short>(kB * 64));
  // Weights per 16-bit lane: k * 64 for 255, else (k * m) >> 2 (k * m fits
  // 16 bits unsigned).
  auto weight = [&](__m128i m, __m128i vk, __m128i kFull) {
    return Select(_mm_cmpeq_epi16(m, full), kFull, _mm_srli_epi16(_mm_mullo_epi16(m, vk), 2));
  };
  // Two pixels: the high halves of the signed products, summed; the screen
  // weight is 0 exactly when the two weights make the whole.
  auto mix = [&](__m128i x, __m128i y, __m128i d, __m128i wA, __m128i wB, __m128i wS) {
    __m128i acc = _mm_mulhi_epi16(_mm_slli_epi16(x, 2), wA);
    acc = _mm_add_epi16(acc, _mm_mulhi_epi16(_mm_slli_epi16(y, 2), wB));
    return _mm_add_epi16(acc, _mm_mulhi_epi16(_mm_slli_epi16(d, 2), wS));
  };
  auto half = [&](__m128i x, __m128i y, __m128i d, __m128i mA, __m128i mB) {
    const __m128i wA = weight(mA, vkA, fullA), wB = weight(mB, vkB, fullB);
    return mix(x, y, d, wA, wB, _mm_sub_epi16(whole, _mm_add_epi16(wA, wB)));
  };
  const __m128i fullS = _mm_sub_epi16(whole, _mm_add_epi16(fullA, fullB));
  size_t i = Wide() ? CrossFadeRowWide(dst, a, b, maskA, maskB, n, kA, kB) : 0;
  for (; i + 4 <= n; i += 4) {
    uint32_t m4A, m4B;
    std::memcpy(&m4A, maskA + i, 4);
    std::memcpy(&m4B, maskB + i, 4);
    if ((m4A | m4B) == 0) continue;
    if ((m4A & m4B) == 0xFFFFFFFFu) {
      // Both masks 255: the whole weights, nothing to select.
      const __m128i x = Load(a + i), y = Load(b + i), d = Load(dst + i);
      const __m128i lo = mix(_mm_unpacklo_epi8(x, zero), _mm_unpacklo_epi8(y, zero),
                             _mm_unpacklo_epi8(d, zero), fullA, fullB, fullS);
      const __m128i hi = mix(_mm_unpackhi_epi8(x, zero), _mm_unpackhi_epi8(y, zero),
                             _mm_unpackhi_epi8(d, zero), fullA, fullB, fullS);
      Store(dst + i, _mm_packus_epi16(lo, hi));
      continue;
    }
    const __m128i mbA = SpreadMask(maskA + i), mbB = SpreadMask(maskB + i);
    const __m128i none = _mm_cmpeq_epi32(_mm_or_si128(mbA, mbB), zero);
    if (_mm_movemask_epi8(none) == 0xFFFF) continue;
    const __m128i x = Load(a + i), y = Load(b + i), d = Load(dst + i);
    const __m128i lo =
        half(_mm_unpacklo_epi8(x, zero), _mm_unpacklo_epi8(y, zero), _mm_unpacklo_epi8(d, zero),
             _mm_unpacklo_epi8(mbA, zero), _mm_unpacklo_epi8(mbB, zero));
    const __m128i hi =
        half(_mm_unpackhi_epi8(x, zero), _mm_unpackhi_epi8(y, zero), _mm_unpackhi_epi8(d, zero),
             _mm_unpackhi_epi8(mbA, zero), _mm_unpackhi_epi8(mbB, zero));
    Store(dst + i, Select(none, d, _mm_packus_epi16(lo, hi)));
  }
  CrossFadeScalar(dst + i, a + i, b + i, maskA + i, maskB + i, n - i, kA, kB);
}

#else

bool WideRowsAvailable() { return false; }
void AllowWideRows(bool) {}
bool UseWideRows() { return false; }

void TransLucent(uint32_t* dst, const uint32_t* src, size_t n, int k) {
  TransLucentScalar(dst, src, n, k);
}
void Add(uint32_t* dst, const uint32_t* src, size_t n) { AddScalar(dst, src, n); }
void Overrap2(uint32_t* dst, const uint32_t* a, const uint32_t* b, size_t n, int kA, int kB) {
  Overrap2Scalar(dst, a, b, n, kA, kB);
}
void Overrap(uint32_t* dst, const uint32_t* p, size_t n, int kS, int kP) {
  OverrapScalar(dst, p, n, kS, kP);
}
void CrossFade(uint32_t* dst, const uint32_t* a, const uint32_t* b, const uint8_t* maskA,
               const uint8_t* maskB, size_t n, int kA, int kB) {
  CrossFadeScalar(dst, a, b, maskA, maskB, n, kA, kB);
}

#endif

// --- Rows of per-pixel weights, in packed words (see packedwords.h) ---

void TransMaskScalar(uint32_t* dst, const uint32_t* src, const uint8_t* mask, size_t n, int k) {
  for (size_t i = 0; i < n; ++i) {
    const int v = mask[i];
    if (v == 0) continue;
    dst[i] = v == 255 ? Blend256(dst[i], src[i], k) : Blend255(dst[i], src[i], (v * k) >> 8);
  }
}

void TransMask(uint32_t* dst, const uint32_t* src, const uint8_t* mask, size_t n, int k) {
  if (k < 0 || k > 256) return TransMaskScalar(dst, src, mask, n, k);
  const uint32_t kw = static_cast<uint32_t>(k);
  packedwords::Run([=] {
    for (size_t i = 0; i < n; ++i) {
      // 255 weighs k against 256 - k, the others a against 255 - a; 0 gives
      // the screen its whole weight.
      const uint32_t m = mask[i], a = (m * kw) >> 8;
      const uint32_t ws = m == 255 ? kw : a;
      const uint32_t wd = m == 255 ? 256 - kw : m == 0 ? 256 : 255 - a;
      dst[i] = packedwords::Summed(dst[i], src[i], ws, wd);
    }
  });
}

void TintMaskScalar(uint32_t* dst, const uint32_t* src, const uint8_t* mask, size_t n, int k,
                    const SignedColour& colour) {
  for (size_t i = 0; i < n; ++i) {
    int64_t v = mask[i];
    if (v == 0) continue;
    if (k != 256) v = (v * k) >> 8;
    const uint32_t c = colour.Apply(src[i]);
    dst[i] = v == 255 ? c : Blend255(dst[i], c, static_cast<int>(v));
  }
}

void TintMask(uint32_t* dst, const uint32_t* src, const uint8_t* mask, size_t n, int k,
              const SignedColour& colour) {
  if (k < 0 || k > 256) return TintMaskScalar(dst, src, mask, n, k, colour);
  // (m * 256) >> 8 is m, so k = 256 needs no case of its own.
  const uint32_t kw = static_cast<uint32_t>(k), add = colour.add, sub = colour.sub;
  packedwords::Run([=] {
    for (size_t i = 0; i < n; ++i) {
      // Only a mask of 0 keeps the screen whole; one scaled to 0 dims it.
      const uint32_t m = mask[i], v = (m * kw) >> 8;
      const uint32_t ws = v == 255 ? 256 : v;
      const uint32_t wd = v == 255 ? 0 : m == 0 ? 256 : 255 - v;
      dst[i] = packedwords::Summed(dst[i], packedwords::Tint(src[i], add, sub), ws, wd);
    }
  });
}

void TintScalar(uint32_t* dst, const uint32_t* src, size_t n, int k, const SignedColour& colour,
                const uint32_t* key) {
  for (size_t i = 0; i < n; ++i) {
    if (key && src[i] == *key) continue;
    const uint32_t c = colour.Apply(src[i]);
    dst[i] = k == 256 ? c : Blend256(dst[i], c, k);
  }
}

void Tint(uint32_t* dst, const uint32_t* src, size_t n, int k, const SignedColour& colour,
          const uint32_t* key) {
  if (k < 0 || k > 256) return TintScalar(dst, src, n, k, colour, key);
  const uint32_t kw = static_cast<uint32_t>(k), add = colour.add, sub = colour.sub;
  const bool keyed = key != nullptr;
  const uint32_t keyValue = keyed ? *key : 0;
  packedwords::Run([=] {
    for (size_t i = 0; i < n; ++i) {
      const bool keep = keyed && src[i] == keyValue;
      dst[i] = packedwords::Summed(dst[i], packedwords::Tint(src[i], add, sub), keep ? 0 : kw,
                                   keep ? 256 : 256 - kw);
    }
  });
}

}  // namespace blendrows
