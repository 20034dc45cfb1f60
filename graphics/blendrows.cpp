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

// The three weighed terms of 16-bit channel lanes holding 4 x each byte,
// summed.
ZOR_WIDE __m256i FadeMixWide(__m256i x4, __m256i y4, __m256i d4, __m256i wA, __m256i wB,
                             __m256i wS) {
  __m256i acc = _mm256_mulhi_epi16(x4, wA);
  acc = _mm256_add_epi16(acc, _mm256_mulhi_epi16(y4, wB));
  return _mm256_add_epi16(acc, _mm256_mulhi_epi16(d4, wS));
}

// Each pixel's cross-fade weight (see the 128-bit row) in a 32-bit lane,
// from eight mask bytes: (k * m) >> 2 (the product fits the lane's low
// 16 bits), or k * 64 where m is 255.
ZOR_WIDE __m256i FadeWeightsWide(uint64_t m8, __m256i vk, __m256i kFull) {
  const __m256i v = _mm256_cvtepu8_epi32(_mm_cvtsi64_si128(static_cast<long long>(m8)));
  return _mm256_blendv_epi8(_mm256_srli_epi32(_mm256_mullo_epi16(v, vk), 2), kFull,
                            _mm256_cmpeq_epi32(v, _mm256_set1_epi32(255)));
}

// The low 16 bits of each pixel's 32-bit lane over its four channel lanes,
// in the order the byte unpacking leaves the pixels: pixels 0, 1, 4, 5 in
// *low and 2, 3, 6, 7 in *high.
ZOR_WIDE void SpreadWeightsWide(__m256i w, __m256i* low, __m256i* high) {
  const __m256i pair = _mm256_blend_epi16(w, _mm256_slli_epi32(w, 16), 0xAA);
  *low = _mm256_unpacklo_epi32(pair, pair);
  *high = _mm256_unpackhi_epi32(pair, pair);
}

// Byte lanes unpacked into 16-bit channel lanes times 4 (the low pixels
// and the high ones).
ZOR_WIDE __m256i Low4(__m256i x) {
  return _mm256_slli_epi16(_mm256_unpacklo_epi8(x, _mm256_setzero_si256()), 2);
}
ZOR_WIDE __m256i High4(__m256i x) {
  return _mm256_slli_epi16(_mm256_unpackhi_epi8(x, _mm256_setzero_si256()), 2);
}

// Byte lanes unpacked into the high halves of 16-bit lanes: x << 8.
ZOR_WIDE __m256i LowUp(__m256i x) { return _mm256_unpacklo_epi8(_mm256_setzero_si256(), x); }
ZOR_WIDE __m256i HighUp(__m256i x) { return _mm256_unpackhi_epi8(_mm256_setzero_si256(), x); }

// A row's group of eight pixels from i on, or of the `left` < 8 pixels
// still to do (lanes: the ones among eight that are), read and written
// only there; the spare lanes' mask bytes are 0.
struct Group {
  size_t left;
  __m256i lanes;
};
ZOR_WIDE Group GroupAt(size_t i, size_t n) {
  const size_t left = n - i;
  if (left >= 8) return {8, _mm256_set1_epi32(-1)};
  return {left, _mm256_cmpgt_epi32(_mm256_set1_epi32(static_cast<int>(left)),
                                   _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7))};
}
ZOR_WIDE __m256i LoadGroup(const uint32_t* p, const Group& g) {
  return g.left == 8 ? LoadWide(p) : _mm256_maskload_epi32(reinterpret_cast<const int*>(p), g.lanes);
}
ZOR_WIDE void StoreGroup(uint32_t* p, __m256i v, const Group& g) {
  if (g.left == 8)
    StoreWide(p, v);
  else
    _mm256_maskstore_epi32(reinterpret_cast<int*>(p), g.lanes, v);
}
inline uint64_t MaskGroup(const uint8_t* m, size_t left) {
  uint64_t m8 = 0;
  if (left == 8) {
    std::memcpy(&m8, m, 8);
  } else {
    for (size_t k = 0; k < left; ++k) m8 |= uint64_t{m[k]} << (8 * k);
  }
  return m8;
}

// Where every weight is a multiple of 64 (both masks 255), x's term
// (x * 4 * k * 64) >> 16 is (x * k) >> 8: the high half of the unsigned
// product (x << 8) * k, k in 0..256. The screen's weight 64 * (256 - kA -
// kB) takes the same form while it is not negative; its term is 0 where it
// is 0, as the rule leaves the screen out.
ZOR_WIDE __m256i WholeTerm(__m256i up, __m256i k) { return _mm256_mulhi_epu16(up, k); }

// The cross-fade of eight pixels at a time, as the 128-bit row below, the
// last group partly where the row ends inside it. Both masks 0 need no case of their
// own: the screen's weight is then the whole, (d * 4 * 16384) >> 16 = d.
ZOR_WIDE void CrossFadeRowWide(uint32_t* dst, const uint32_t* a, const uint32_t* b,
                                 const uint8_t* maskA, const uint8_t* maskB, size_t n, int kA,
                                 int kB) {
  const __m256i vkA = _mm256_set1_epi32(kA), vkB = _mm256_set1_epi32(kB);
  const __m256i fullA = _mm256_set1_epi32(kA * 64), fullB = _mm256_set1_epi32(kB * 64);
  const __m256i whole = _mm256_set1_epi32(16384);
  const __m256i fullS16 = _mm256_set1_epi16(static_cast<short>(16384 - 64 * (kA + kB)));
  const __m256i fullA16 = _mm256_set1_epi16(static_cast<short>(kA * 64));
  const __m256i fullB16 = _mm256_set1_epi16(static_cast<short>(kB * 64));
  const __m256i upA = _mm256_set1_epi16(static_cast<short>(kA));
  const __m256i upB = _mm256_set1_epi16(static_cast<short>(kB));
  const int kS = 256 - kA - kB;
  const __m256i upS = _mm256_set1_epi16(static_cast<short>(kS < 0 ? 0 : kS));
  for (size_t i = 0; i < n; i += 8) {
    const Group group = GroupAt(i, n);
    const uint64_t m8A = MaskGroup(maskA + i, group.left);
    const uint64_t m8B = MaskGroup(maskB + i, group.left);
    if ((m8A | m8B) == 0) continue;
    const __m256i x = LoadGroup(a + i, group), y = LoadGroup(b + i, group);
    const __m256i d = LoadGroup(dst + i, group);
    if ((m8A & m8B) == ~uint64_t{0}) {
      if (kS >= 0) {
        const __m256i xl = LowUp(x), yl = LowUp(y), dl = LowUp(d);
        const __m256i xh = HighUp(x), yh = HighUp(y), dh = HighUp(d);
        const __m256i lo = _mm256_add_epi16(
            _mm256_add_epi16(WholeTerm(xl, upA), WholeTerm(yl, upB)), WholeTerm(dl, upS));
        const __m256i hi = _mm256_add_epi16(
            _mm256_add_epi16(WholeTerm(xh, upA), WholeTerm(yh, upB)), WholeTerm(dh, upS));
        StoreGroup(dst + i, _mm256_packus_epi16(lo, hi), group);
      } else {
        StoreGroup(dst + i,
                   _mm256_packus_epi16(
                       FadeMixWide(Low4(x), Low4(y), Low4(d), fullA16, fullB16, fullS16),
                       FadeMixWide(High4(x), High4(y), High4(d), fullA16, fullB16, fullS16)),
                   group);
      }
      continue;
    }
    const __m256i wA = FadeWeightsWide(m8A, vkA, fullA);
    const __m256i wB = FadeWeightsWide(m8B, vkB, fullB);
    // The sum's low 16 bits, 16384 less, read as a signed 16-bit weight.
    const __m256i wS = _mm256_sub_epi32(whole, _mm256_add_epi32(wA, wB));
    __m256i wAl, wAh, wBl, wBh, wSl, wSh;
    SpreadWeightsWide(wA, &wAl, &wAh);
    SpreadWeightsWide(wB, &wBl, &wBh);
    SpreadWeightsWide(wS, &wSl, &wSh);
    StoreGroup(dst + i,
               _mm256_packus_epi16(FadeMixWide(Low4(x), Low4(y), Low4(d), wAl, wBl, wSl),
                                   FadeMixWide(High4(x), High4(y), High4(d), wAh, wBh, wSh)),
               group);
  }
}

// The cross-fade where the other picture weighs 0 (its weight, and so its
// pixels and mask, never count): the screen and one picture, eight pixels
// at a time, the last group partly.
ZOR_WIDE void CrossFadeOneRowWide(uint32_t* dst, const uint32_t* a, const uint8_t* maskA,
                                    size_t n, int kA) {
  const __m256i vkA = _mm256_set1_epi32(kA), fullA = _mm256_set1_epi32(kA * 64);
  const __m256i whole = _mm256_set1_epi32(16384);
  const __m256i upA = _mm256_set1_epi16(static_cast<short>(kA));
  const __m256i upS = _mm256_set1_epi16(static_cast<short>(256 - kA));
  for (size_t i = 0; i < n; i += 8) {
    const Group group = GroupAt(i, n);
    const uint64_t m8A = MaskGroup(maskA + i, group.left);
    if (m8A == 0) continue;
    const __m256i x = LoadGroup(a + i, group), d = LoadGroup(dst + i, group);
    if (m8A == ~uint64_t{0}) {
      const __m256i lo = _mm256_add_epi16(WholeTerm(LowUp(x), upA), WholeTerm(LowUp(d), upS));
      const __m256i hi = _mm256_add_epi16(WholeTerm(HighUp(x), upA), WholeTerm(HighUp(d), upS));
      StoreGroup(dst + i, _mm256_packus_epi16(lo, hi), group);
      continue;
    }
    const __m256i wA = FadeWeightsWide(m8A, vkA, fullA);
    __m256i wAl, wAh, wSl, wSh;
    SpreadWeightsWide(wA, &wAl, &wAh);
    SpreadWeightsWide(_mm256_sub_epi32(whole, wA), &wSl, &wSh);
    const __m256i lo = _mm256_add_epi16(_mm256_mulhi_epi16(Low4(x), wAl),
                                        _mm256_mulhi_epi16(Low4(d), wSl));
    const __m256i hi = _mm256_add_epi16(_mm256_mulhi_epi16(High4(x), wAh),
                                        _mm256_mulhi_epi16(High4(d), wSh));
    StoreGroup(dst + i, _mm256_packus_epi16(lo, hi), group);
  }
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
  // A picture weighing 0 adds nothing and takes nothing of the screen.
  if (Wide()) {
    if (kB == 0) return CrossFadeOneRowWide(dst, a, maskA, n, kA);
    if (kA == 0) return CrossFadeOneRowWide(dst, b, maskB, n, kB);
    return CrossFadeRowWide(dst, a, b, maskA, maskB, n, kA, kB);
  }
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
  size_t i = 0;
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
