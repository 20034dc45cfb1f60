#include "graphics/bltrows.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace bltrows {

void KeyedScalar(uint32_t* dst, const uint32_t* src, size_t n, uint32_t key) {
  for (size_t i = 0; i < n; ++i)
    if (src[i] != key) dst[i] = src[i];
}

void MaskScalar(uint32_t* dst, const uint32_t* src, const uint8_t* mask, size_t n) {
  for (size_t i = 0; i < n; ++i) dst[i] = MaskPixel(dst[i], src[i], mask[i]);
}

#if defined(__SSE2__)

namespace {

__m128i Load(const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
void Store(uint32_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// dst where sel is all ones, else keep.
__m128i Select(__m128i sel, __m128i a, __m128i b) {
  return _mm_or_si128(_mm_and_si128(sel, a), _mm_andnot_si128(sel, b));
}

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

void Mask(uint32_t* dst, const uint32_t* src, const uint8_t* mask, size_t n) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i full = _mm_set1_epi16(256);
  size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    uint32_t m4 = static_cast<uint32_t>(mask[i]) | (static_cast<uint32_t>(mask[i + 1]) << 8) |
                  (static_cast<uint32_t>(mask[i + 2]) << 16) |
                  (static_cast<uint32_t>(mask[i + 3]) << 24);
    if (m4 == 0) continue;
    __m128i s = Load(src + i);
    if (m4 == 0xFFFFFFFFu) {
      Store(dst + i, s);
      continue;
    }
    __m128i d = Load(dst + i);
    // Each mask byte spread over the four bytes of its pixel, then to 16 bits.
    __m128i mb = _mm_cvtsi32_si128(static_cast<int>(m4));
    mb = _mm_unpacklo_epi8(mb, mb);
    mb = _mm_unpacklo_epi16(mb, mb);
    __m128i mLo = _mm_unpacklo_epi8(mb, zero);
    __m128i mHi = _mm_unpackhi_epi8(mb, zero);
    __m128i sLo = _mm_unpacklo_epi8(s, zero), sHi = _mm_unpackhi_epi8(s, zero);
    __m128i dLo = _mm_unpacklo_epi8(d, zero), dHi = _mm_unpackhi_epi8(d, zero);
    // Both products fit 16 bits unsigned: 255 * 255 and 255 * 256 at most.
    __m128i lo = _mm_add_epi16(_mm_srli_epi16(_mm_mullo_epi16(sLo, mLo), 8),
                               _mm_srli_epi16(_mm_mullo_epi16(dLo, _mm_sub_epi16(full, mLo)), 8));
    __m128i hi = _mm_add_epi16(_mm_srli_epi16(_mm_mullo_epi16(sHi, mHi), 8),
                               _mm_srli_epi16(_mm_mullo_epi16(dHi, _mm_sub_epi16(full, mHi)), 8));
    __m128i out = _mm_packus_epi16(lo, hi);
    // m = 0 keeps the screen and m = 255 copies: the formula gives neither.
    __m128i isZero = _mm_cmpeq_epi32(mb, zero);
    __m128i isFull = _mm_cmpeq_epi32(mb, _mm_set1_epi32(-1));
    out = Select(isFull, s, out);
    out = Select(isZero, d, out);
    Store(dst + i, out);
  }
  MaskScalar(dst + i, src + i, mask + i, n - i);
}

#else

void Keyed(uint32_t* dst, const uint32_t* src, size_t n, uint32_t key) {
  KeyedScalar(dst, src, n, key);
}
void Mask(uint32_t* dst, const uint32_t* src, const uint8_t* mask, size_t n) {
  MaskScalar(dst, src, mask, n);
}

#endif

}  // namespace bltrows
