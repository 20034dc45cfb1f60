// Row mixers of the character effects: a row is worked in pieces of at
// most kPiece pixels; fill(x0, n, s, k) gives each pixel's colour s and
// weight k, and the piece is then mixed into the screen row.
#pragma once

#include <algorithm>
#include <cstdint>

#include "effect/packedpixel.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace charapixels {

constexpr int kPiece = 64;

// Weights 0..256: Blend256 (kApart false) or BlendApart256 (kApart true).
template <bool kApart, typename Fill>
void MixPieces(uint32_t* row, int n, Fill fill) {
  uint32_t s[kPiece], k[kPiece];
  for (int x = 0; x < n; x += kPiece) {
    const int count = std::min(kPiece, n - x);
    fill(x, count, s, k);
    packedpixel::MixRow<kApart>(row + x, s, k, count);
  }
}

// (k x s + (256 - k) x d) >> 8 per byte for any weight k (|k| <= 65536),
// held to 0..255: the plain form, also for weights beyond 0..256.
inline uint32_t Weigh(uint32_t d, uint32_t s, int k) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const int64_t v = (int64_t{k} * ((s >> shift) & 255u) +
                       int64_t{256 - k} * ((d >> shift) & 255u)) >> 8;
    out |= static_cast<uint32_t>(std::clamp<int64_t>(v, 0, 255)) << shift;
  }
  return out;
}

template <typename Fill>
void WeighPieces(uint32_t* row, int n, Fill fill) {
  uint32_t s[kPiece];
  int32_t k[kPiece];
  for (int x = 0; x < n; x += kPiece) {
    const int count = std::min(kPiece, n - x);
    fill(x, count, s, k);
    for (int i = 0; i < count; ++i) row[x + i] = Weigh(row[x + i], s[i], k[i]);
  }
}

// Each byte of d mixed with s's by its own weight, the matching byte of kw
// (0..255): ((256 - k) x d + k x s) >> 8 per byte. The plain form, then a
// row four pixels at a time in the processor's lanes where it has SSE2.
inline uint32_t MixChannels(uint32_t d, uint32_t s, uint32_t kw) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const uint32_t k = (kw >> shift) & 255u;
    out |= (((256u - k) * ((d >> shift) & 255u) + k * ((s >> shift) & 255u)) >> 8) << shift;
  }
  return out;
}

inline void MixChannelsRow(uint32_t* d, const uint32_t* s, const uint32_t* kw, int n) {
  int i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128(), full = _mm_set1_epi16(256);
  // Every sum stays below 65536, so the 16-bit lanes hold it unsigned.
  auto half = [&](__m128i dp, __m128i sp, __m128i k) {
    return _mm_srli_epi16(
        _mm_add_epi16(_mm_mullo_epi16(dp, _mm_sub_epi16(full, k)), _mm_mullo_epi16(sp, k)), 8);
  };
  for (; i + 4 <= n; i += 4) {
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i kv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kw + i));
    const __m128i lo = half(_mm_unpacklo_epi8(dv, zero), _mm_unpacklo_epi8(sv, zero),
                            _mm_unpacklo_epi8(kv, zero));
    const __m128i hi = half(_mm_unpackhi_epi8(dv, zero), _mm_unpackhi_epi8(sv, zero),
                            _mm_unpackhi_epi8(kv, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_packus_epi16(lo, hi));
  }
#endif
  for (; i < n; ++i) d[i] = MixChannels(d[i], s[i], kw[i]);
}

template <typename Fill>
void MixChannelPieces(uint32_t* row, int n, Fill fill) {
  uint32_t s[kPiece], k[kPiece];
  for (int x = 0; x < n; x += kPiece) {
    const int count = std::min(kPiece, n - x);
    fill(x, count, s, k);
    MixChannelsRow(row + x, s, k, count);
  }
}

}  // namespace charapixels
