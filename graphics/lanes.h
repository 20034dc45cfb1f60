// Byte rules on 16-bit lanes without unpacking, shared by the row kernels:
// the even bytes of a vector (blue, red) are worked in the low halves of
// the lanes, the odd bytes (green, top) in the high halves. Included only
// where SSE2 is there; the 256-bit forms need a processor with AVX2 and are
// called only after the run-time check.
#pragma once

#if defined(__SSE2__)
#include <immintrin.h>

#include <cstdint>

namespace lanes {

inline __m128i Load(const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void Store(uint32_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// a where sel is all ones, else b.
inline __m128i Select(__m128i sel, __m128i a, __m128i b) {
  return _mm_or_si128(_mm_and_si128(sel, a), _mm_andnot_si128(sel, b));
}

// Per byte ((x * a) >> 8) + ((y * c) >> 8), each product shifted on its
// own; a and c are 16-bit lanes (the same for both lanes of a pixel) with
// every product within 16 bits and the two terms summing to at most 255.
inline __m128i SumOfShiftedProducts(__m128i x, __m128i y, __m128i a, __m128i c) {
  const __m128i low = _mm_set1_epi16(0x00FF);
  const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF00));
  const __m128i even =
      _mm_add_epi16(_mm_srli_epi16(_mm_mullo_epi16(_mm_and_si128(x, low), a), 8),
                    _mm_srli_epi16(_mm_mullo_epi16(_mm_and_si128(y, low), c), 8));
  const __m128i odd =
      _mm_add_epi16(_mm_and_si128(_mm_mullo_epi16(_mm_srli_epi16(x, 8), a), high),
                    _mm_and_si128(_mm_mullo_epi16(_mm_srli_epi16(y, 8), c), high));
  return _mm_or_si128(even, odd);
}

__attribute__((target("avx2"))) inline __m256i SumOfShiftedProductsWide(__m256i x, __m256i y,
                                                                         __m256i a, __m256i c) {
  const __m256i low = _mm256_set1_epi16(0x00FF);
  const __m256i high = _mm256_set1_epi16(static_cast<short>(0xFF00));
  const __m256i even =
      _mm256_add_epi16(_mm256_srli_epi16(_mm256_mullo_epi16(_mm256_and_si256(x, low), a), 8),
                       _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_and_si256(y, low), c), 8));
  const __m256i odd =
      _mm256_add_epi16(_mm256_and_si256(_mm256_mullo_epi16(_mm256_srli_epi16(x, 8), a), high),
                       _mm256_and_si256(_mm256_mullo_epi16(_mm256_srli_epi16(y, 8), c), high));
  return _mm256_or_si256(even, odd);
}

}  // namespace lanes

#endif
