#include "graphics/bltrows.h"

#include <cstring>

#include "graphics/blendrows.h"
#include "graphics/lanes.h"
#include "graphics/packedwords.h"

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace bltrows {

void KeyedScalar(uint32_t* dst, const uint32_t* src, size_t n, uint32_t key) {
  for (size_t i = 0; i < n; ++i)
    if (src[i] != key) dst[i] = src[i];
}

void MaskScalar(uint32_t* dst, const uint32_t* src, const uint8_t* mask, size_t n) {
  for (size_t i = 0; i < n; ++i) dst[i] = MaskPixel(dst[i], src[i], mask[i]);
}

void MaskLevelScalar(uint32_t* dst, const uint32_t* src, const uint8_t* mask, size_t n) {
  for (size_t i = 0; i < n; ++i) dst[i] = MaskLevelPixel(dst[i], src[i], mask[i]);
}

#if defined(__SSE2__)

namespace {

using lanes::Load;
using lanes::Select;
using lanes::Store;

}  // namespace

void Keyed(uint32_t* dst, const uint32_t* src, size_t n, uint32_t key) {
  const __m128i k = _mm_set1_epi32(static_cast<int>(key));
  size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    __m128i s = Load(src + i);
    __m128i isKey = _mm_cmpeq_epi32(s, k);
    // Whole groups of key pixels are common (transparent margins): skip them.
    if (_mm_movemask_epi8(isKey) == 0xFFFF) continue;
    Store(dst + i, Select(isKey, Load(dst + i), s));
  }
  KeyedScalar(dst + i, src + i, n - i, key);
}

namespace {

// Four mask bytes as the 16-bit lanes of their pixels: each pixel's two
// lanes hold its mask value.
__m128i MaskLanes(const uint8_t* m) {
  uint32_t m4;
  std::memcpy(&m4, m, 4);
  const __m128i v = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(m4)), _mm_setzero_si128());
  return _mm_unpacklo_epi16(v, v);
}

// The mask rule on four pixels: each product fits 16 bits (255 * 255,
// 255 * 256); m = 0 gives dst by itself, m = 255 is selected.
__m128i MaskLanesBlend(__m128i s, __m128i d, __m128i m) {
  const __m128i c = _mm_sub_epi16(_mm_set1_epi16(256), m);
  const __m128i full = _mm_cmpeq_epi16(m, _mm_set1_epi16(255));
  return Select(full, s, lanes::SumOfShiftedProducts(s, d, m, c));
}

#define ZOR_WIDE __attribute__((target("avx2")))

// Eight pixels of the mask rule, as MaskLanesBlend.
ZOR_WIDE void MaskEightWide(uint32_t* dst, const uint32_t* src, const uint8_t* mask) {
  const __m256i m32 = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(mask)));
  const __m256i m = _mm256_or_si256(m32, _mm256_slli_epi32(m32, 16));
  const __m256i c = _mm256_sub_epi16(_mm256_set1_epi16(256), m);
  const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src));
  const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst));
  const __m256i full = _mm256_cmpeq_epi16(m, _mm256_set1_epi16(255));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst),
                      _mm256_blendv_epi8(lanes::SumOfShiftedProductsWide(s, d, m, c), s, full));
}

// Whole groups of sixteen pixels; returns how many pixels were done.
ZOR_WIDE size_t MaskRowWide(uint32_t* dst, const uint32_t* src, const uint8_t* mask, size_t n) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i ones = _mm_set1_epi8(-1);
  size_t i = 0;
  for (; i + 16 <= n; i += 16) {
    const __m128i m = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mask + i));
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(m, zero)) == 0xFFFF) continue;
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(m, ones)) == 0xFFFF) {
      auto* d = reinterpret_cast<__m256i*>(dst + i);
      auto* s = reinterpret_cast<const __m256i*>(src + i);
      _mm256_storeu_si256(d, _mm256_loadu_si256(s));
      _mm256_storeu_si256(d + 1, _mm256_loadu_si256(s + 1));
      continue;
    }
    MaskEightWide(dst + i, src + i, mask + i);
    MaskEightWide(dst + i + 8, src + i + 8, mask + i + 8);
  }
  return i;
}

#undef ZOR_WIDE

}  // namespace

namespace {

// Groups of four pixels from i on through `blend` (source, screen, mask
// lanes); returns where the groups end.
template <class Blend>
size_t MaskGroups(uint32_t* dst, const uint32_t* src, const uint8_t* mask, size_t i, size_t n,
                  Blend blend) {
  for (; i + 4 <= n; i += 4) {
    uint32_t m4;
    std::memcpy(&m4, mask + i, 4);
    // Runs of transparent or opaque pixels are common: skip or copy them.
    if (m4 == 0) continue;
    const __m128i s = Load(src + i);
    if (m4 == 0xFFFFFFFFu) {
      Store(dst + i, s);
      continue;
    }
    Store(dst + i, blend(s, Load(dst + i), MaskLanes(mask + i)));
  }
  return i;
}

// The level rule on four pixels: m = 0 and m = 255 are selected.
__m128i MaskLevelLanesBlend(__m128i s, __m128i d, __m128i m) {
  const __m128i c = _mm_sub_epi16(_mm_set1_epi16(255), m);
  const __m128i full = _mm_cmpeq_epi16(m, _mm_set1_epi16(255));
  const __m128i none = _mm_cmpeq_epi16(m, _mm_setzero_si128());
  return Select(none, d, Select(full, s, lanes::SumOfShiftedProducts(s, d, m, c)));
}

}  // namespace

void Mask(uint32_t* dst, const uint32_t* src, const uint8_t* mask, size_t n) {
  size_t i = blendrows::UseWideRows() ? MaskRowWide(dst, src, mask, n) : 0;
  i = MaskGroups(dst, src, mask, i, n, MaskLanesBlend);
  MaskScalar(dst + i, src + i, mask + i, n - i);
}

void MaskLevel(uint32_t* dst, const uint32_t* src, const uint8_t* mask, size_t n) {
  const size_t i = MaskGroups(dst, src, mask, 0, n, MaskLevelLanesBlend);
  MaskLevelScalar(dst + i, src + i, mask + i, n - i);
}

#else

void MaskLevel(uint32_t* dst, const uint32_t* src, const uint8_t* mask, size_t n) {
  MaskLevelScalar(dst, src, mask, n);
}
void Keyed(uint32_t* dst, const uint32_t* src, size_t n, uint32_t key) {
  KeyedScalar(dst, src, n, key);
}
void Mask(uint32_t* dst, const uint32_t* src, const uint8_t* mask, size_t n) {
  MaskScalar(dst, src, mask, n);
}

#endif

void MaskScaledScalar(uint32_t* dst, const uint32_t* src, const uint8_t* mask, size_t n, int k) {
  for (size_t i = 0; i < n; ++i)
    dst[i] = MaskPixel(dst[i], src[i], (mask[i] * static_cast<uint32_t>(k)) >> 8);
}

void MaskScaled(uint32_t* dst, const uint32_t* src, const uint8_t* mask, size_t n, int k) {
  if (k < 0 || k > 256) return MaskScaledScalar(dst, src, mask, n, k);
  const uint32_t kw = static_cast<uint32_t>(k);
  packedwords::Run([=] {
    for (size_t i = 0; i < n; ++i) {
      // 255 copies: the source weighs the whole 256.
      const uint32_t a = (mask[i] * kw) >> 8;
      dst[i] = packedwords::Apart(dst[i], src[i], a == 255 ? 256 : a, a == 255 ? 0 : 256 - a);
    }
  });
}

}  // namespace bltrows
