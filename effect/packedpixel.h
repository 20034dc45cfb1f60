// The per-byte pixel rules of the transform effects, worked on a whole
// 32-bit pixel at once: in the processor's vector lanes where it has SSE2,
// otherwise (the ...Words forms) with the even and the odd bytes each in
// their own 16-bit lanes of a word, so no lane overflows into the next.
// Every form gives the same bytes as the per-channel rules of
// graphics/blendrows.h (tests/effect hold them to it).
#pragma once

#include <cstdint>

#include "graphics/packedwords.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace packedpixel {

// The word rules shared with the blits.
using packedwords::kEven;
using packedwords::SaturatingAdd;
using packedwords::SaturatingSub;
inline uint32_t TintWords(uint32_t x, uint32_t add, uint32_t sub) {
  return packedwords::Tint(x, add, sub);
}

// ((s * ws) >> shift) + ((d * wd) >> shift) per byte, for weights whose
// products stay below 65536 and whose sum never passes 255.
template <int kShift>
inline uint32_t WeighWords(uint32_t d, uint32_t s, uint32_t wd, uint32_t ws) {
  return packedwords::ApartBy<kShift>(d, s, ws, wd);
}

#if defined(__SSE2__)
// The same with the processor's byte and 16-bit lanes.
inline uint32_t Tint(uint32_t x, uint32_t add, uint32_t sub) {
  const __m128i up = _mm_adds_epu8(_mm_cvtsi32_si128(static_cast<int>(x)),
                                   _mm_cvtsi32_si128(static_cast<int>(add)));
  return static_cast<uint32_t>(
      _mm_cvtsi128_si32(_mm_subs_epu8(up, _mm_cvtsi32_si128(static_cast<int>(sub)))));
}
template <int kShift>
inline uint32_t Weigh(uint32_t d, uint32_t s, uint32_t wd, uint32_t ws) {
  // Lanes 0-3 the source bytes, 4-7 the screen's.
  const __m128i both = _mm_unpacklo_epi8(
      _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(s)), _mm_cvtsi32_si128(static_cast<int>(d))),
      _mm_setzero_si128());
  const __m128i w = _mm_set_epi16(static_cast<int16_t>(wd), static_cast<int16_t>(wd),
                                  static_cast<int16_t>(wd), static_cast<int16_t>(wd),
                                  static_cast<int16_t>(ws), static_cast<int16_t>(ws),
                                  static_cast<int16_t>(ws), static_cast<int16_t>(ws));
  const __m128i terms = _mm_srli_epi16(_mm_mullo_epi16(both, w), kShift);
  const __m128i sum = _mm_add_epi16(terms, _mm_srli_si128(terms, 8));
  return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(sum, sum)));
}
#else
inline uint32_t Tint(uint32_t x, uint32_t add, uint32_t sub) { return TintWords(x, add, sub); }
template <int kShift>
inline uint32_t Weigh(uint32_t d, uint32_t s, uint32_t wd, uint32_t ws) {
  return WeighWords<kShift>(d, s, wd, ws);
}
#endif

// blendrows::BlendApart256 and BlendApart255 for a in 0..255 (0..256 for
// the first).
inline uint32_t BlendApart256(uint32_t d, uint32_t s, int a) {
  return Weigh<8>(d, s, 256u - static_cast<uint32_t>(a), static_cast<uint32_t>(a));
}
inline uint32_t BlendApart255(uint32_t d, uint32_t s, int a) {
  return Weigh<8>(d, s, 255u - static_cast<uint32_t>(a), static_cast<uint32_t>(a));
}

// blendrows::Blend256, (s * k + d * (256 - k)) >> 8 per byte for k in
// 0..256: each byte pair in its own 16-bit lane, whose sum stays below
// 65536.
inline uint32_t Blend256(uint32_t d, uint32_t s, uint32_t k) {
  return packedwords::Summed(d, s, k, 256 - k);
}

// A row of n pixels: d[i] := Blend256 (kApart false) or BlendApart256
// (kApart true) of d[i] and s[i] with the weight k[i] (0..256), four pixels
// at a time in the processor's lanes where it has SSE2.
template <bool kApart>
inline uint32_t Mix(uint32_t d, uint32_t s, uint32_t k) {
  return kApart ? WeighWords<8>(d, s, 256 - k, k) : Blend256(d, s, k);
}
#if defined(__SSE2__)
// The lanes of d[i], s[i] and k[i] four pixels at a time: weights(kv, &lo,
// &hi) spreads four weight words into 16-bit lanes for the low and the high
// two pixels, then each byte becomes (s x k + d x (256 - k)) >> 8 (kApart
// false) or (s x k) >> 8 + (d x (256 - k)) >> 8. Returns the pixels done.
template <bool kApart, typename Weights>
inline int MixLanes(uint32_t* d, const uint32_t* s, const uint32_t* k, int n, Weights weights) {
  const __m128i zero = _mm_setzero_si128(), full = _mm_set1_epi16(256);
  auto half = [&](__m128i sp, __m128i dp, __m128i kw) {
    const __m128i a = _mm_mullo_epi16(sp, kw);
    const __m128i b = _mm_mullo_epi16(dp, _mm_sub_epi16(full, kw));
    return kApart ? _mm_add_epi16(_mm_srli_epi16(a, 8), _mm_srli_epi16(b, 8))
                  : _mm_srli_epi16(_mm_add_epi16(a, b), 8);
  };
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    __m128i klo, khi;
    weights(_mm_loadu_si128(reinterpret_cast<const __m128i*>(k + i)), &klo, &khi);
    const __m128i lo = half(_mm_unpacklo_epi8(sv, zero), _mm_unpacklo_epi8(dv, zero), klo);
    const __m128i hi = half(_mm_unpackhi_epi8(sv, zero), _mm_unpackhi_epi8(dv, zero), khi);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_packus_epi16(lo, hi));
  }
  return i;
}
#endif

template <bool kApart>
inline void MixRow(uint32_t* d, const uint32_t* s, const uint32_t* k, int n) {
  int i = 0;
#if defined(__SSE2__)
  i = MixLanes<kApart>(d, s, k, n, [](__m128i kv, __m128i* lo, __m128i* hi) {
    // Weights k0 k0 k0 k0 k1 ... in 16-bit lanes.
    const __m128i k16 = _mm_packs_epi32(kv, kv);
    const __m128i pairs = _mm_unpacklo_epi16(k16, k16);
    *lo = _mm_unpacklo_epi32(pairs, pairs);
    *hi = _mm_unpackhi_epi32(pairs, pairs);
  });
#endif
  for (; i < n; ++i) d[i] = Mix<kApart>(d[i], s[i], k[i]);
}

// Each byte of d mixed with s's by its own weight, the matching byte of kw
// (0..255): ((256 - k) x d + k x s) >> 8 per byte; then a row of them.
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
  i = MixLanes<false>(d, s, kw, n, [](__m128i kv, __m128i* lo, __m128i* hi) {
    *lo = _mm_unpacklo_epi8(kv, _mm_setzero_si128());
    *hi = _mm_unpackhi_epi8(kv, _mm_setzero_si128());
  });
#endif
  for (; i < n; ++i) d[i] = MixChannels(d[i], s[i], kw[i]);
}

}  // namespace packedpixel
