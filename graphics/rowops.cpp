#include "graphics/rowops.h"

#include <cstring>

#include "graphics/blendrows.h"

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace rowops {

void BlendConstScalar(uint32_t* row, size_t n, const uint16_t term[4], unsigned keepWeight) {
  for (size_t i = 0; i < n; ++i) row[i] = BlendPixel(row[i], term, keepWeight);
}

void AddSubScalar(uint32_t* row, size_t n, uint32_t add, uint32_t sub) {
  for (size_t i = 0; i < n; ++i) {
    uint32_t p = row[i], out = 0;
    for (int c = 0; c < 4; ++c) {
      uint32_t v = ((p >> (8 * c)) & 0xFF) + ((add >> (8 * c)) & 0xFF);
      if (v > 255) v = 255;
      uint32_t s = (sub >> (8 * c)) & 0xFF;
      v = v > s ? v - s : 0;
      out |= v << (8 * c);
    }
    row[i] = out;
  }
}

void FadeScalar(uint32_t* run, size_t n, int a, const int16_t k[4]) {
  for (size_t i = 0; i < n; ++i) {
    uint32_t p = run[i], out = 0;
    for (int c = 0; c < 4; ++c) {
      int32_t twice = static_cast<int32_t>((p >> (8 * c)) & 0xFF) * 2;
      // High half of the signed product; both factors are non-negative.
      int32_t v = ((a * twice) >> 16) + k[c];
      if (v < 0) v = 0;
      if (v > 255) v = 255;
      out |= static_cast<uint32_t>(v) << (8 * c);
    }
    run[i] = out;
  }
}

void FillScalar(uint32_t* row, size_t n, uint32_t colour) {
  for (size_t i = 0; i < n; ++i) row[i] = colour;
}

void RgbToPixelsScalar(const unsigned char* src, uint32_t* dst, size_t n) {
  for (size_t i = 0; i < n; ++i, src += 3)
    dst[i] = (uint32_t{src[0]} << 16) | (uint32_t{src[1]} << 8) | src[2];
}

namespace {

// RgbToPixels a word at a time: the four bytes from a pixel's first, in
// reverse order, hold its three in their top bytes. The last pixel, whose
// fourth byte lies past the run, takes the plain rule.
void RgbToPixelsWords(const unsigned char* src, uint32_t* dst, size_t n) {
  size_t i = 0;
  for (; i + 1 < n; ++i, src += 3) {
    uint32_t word;
    std::memcpy(&word, src, sizeof word);
    dst[i] = __builtin_bswap32(word) >> 8;
  }
  RgbToPixelsScalar(src, dst + i, n - i);
}

#if defined(__SSE2__)
// Eight pixels a step: each 128-bit half loads the 12 bytes of four pixels
// (and reads 4 beyond them) and one shuffle puts each pixel's bytes in
// place with a zero top byte. Steps run while 28 bytes are left.
__attribute__((target("avx2"))) void RgbToPixelsWide(const unsigned char* src, uint32_t* dst,
                                                     size_t n) {
  const __m256i order = _mm256_setr_epi8(2, 1, 0, -1, 5, 4, 3, -1, 8, 7, 6, -1, 11, 10, 9, -1,
                                         2, 1, 0, -1, 5, 4, 3, -1, 8, 7, 6, -1, 11, 10, 9, -1);
  size_t i = 0;
  for (; i + 10 <= n; i += 8, src += 24) {
    const __m256i bytes = _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src))),
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 12)), 1);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_shuffle_epi8(bytes, order));
  }
  RgbToPixelsWords(src, dst + i, n - i);
}
#endif

}  // namespace

void RgbToPixels(const unsigned char* src, uint32_t* dst, size_t n) {
#if defined(__SSE2__)
  if (blendrows::UseWideRows()) return RgbToPixelsWide(src, dst, n);
#endif
  RgbToPixelsWords(src, dst, n);
}

#if defined(__SSE2__)

namespace {

// Runs from 2 KiB take string stores: the processor fills whole lines
// without reading them first, as memset does from that size.
constexpr size_t kStringFillFrom = 2 * 1024;

// Rows of vector stores: one unaligned store at each end of a row and
// aligned stores between, so no row needs a word-by-word head or tail.
// Rows shorter than one vector are stored word by word.
void FillVectorRows(uint32_t* row, size_t w, size_t h, size_t pitch, uint32_t colour) {
  const __m128i v = _mm_set1_epi32(static_cast<int>(colour));
  for (; h; --h, row += pitch) {
    if (w < 4) {
      for (size_t i = 0; i < w; ++i) row[i] = colour;
      continue;
    }
    uint32_t* const end = row + w;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row), v);
    auto* at = reinterpret_cast<__m128i*>((reinterpret_cast<uintptr_t>(row) + 15) & ~uintptr_t{15});
    auto* const last = reinterpret_cast<__m128i*>(end - 4);
    for (; at + 4 <= last; at += 4) {
      _mm_store_si128(at, v);
      _mm_store_si128(at + 1, v);
      _mm_store_si128(at + 2, v);
      _mm_store_si128(at + 3, v);
    }
    for (; at < last; ++at) _mm_store_si128(at, v);
    _mm_storeu_si128(last, v);
  }
}

// FillVectorRows with 256-bit stores.
__attribute__((target("avx2"))) void FillWideRows(uint32_t* row, size_t w, size_t h, size_t pitch,
                                                  uint32_t colour) {
  if (w < 8) return FillVectorRows(row, w, h, pitch, colour);
  const __m256i v = _mm256_set1_epi32(static_cast<int>(colour));
  for (; h; --h, row += pitch) {
    uint32_t* const end = row + w;
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(row), v);
    auto* at = reinterpret_cast<__m256i*>((reinterpret_cast<uintptr_t>(row) + 31) & ~uintptr_t{31});
    auto* const last = reinterpret_cast<__m256i*>(end - 8);
    for (; at + 4 <= last; at += 4) {
      _mm256_store_si256(at, v);
      _mm256_store_si256(at + 1, v);
      _mm256_store_si256(at + 2, v);
      _mm256_store_si256(at + 3, v);
    }
    for (; at < last; ++at) _mm256_store_si256(at, v);
    _mm256_storeu_si256(last, v);
  }
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
void FillString(uint32_t* row, size_t n, uint32_t colour) {
  if (reinterpret_cast<uintptr_t>(row) & 7) {
    *row++ = colour;
    --n;
  }
  const uint64_t pair = (uint64_t{colour} << 32) | colour;
  size_t words = n / 2;
  asm volatile("rep stosq" : "+D"(row), "+c"(words) : "a"(pair) : "memory");
  if (n & 1) *row = colour;
}
#else
void FillString(uint32_t* row, size_t n, uint32_t colour) { FillVectorRows(row, n, 1, n, colour); }
#endif


// Four 16-bit lanes per pixel, repeated for the two pixels of a half register.
__m128i Lanes(const uint16_t v[4]) {
  return _mm_setr_epi16(static_cast<short>(v[0]), static_cast<short>(v[1]),
                        static_cast<short>(v[2]), static_cast<short>(v[3]),
                        static_cast<short>(v[0]), static_cast<short>(v[1]),
                        static_cast<short>(v[2]), static_cast<short>(v[3]));
}

// The blend on 16-bit lanes without unpacking: the even bytes (blue, red)
// in the low halves of the lanes, the odd bytes (green, top) shifted down
// into them. Products and sums wrap at 16 bits exactly as the rule does.
__m128i BlendConstLanes(__m128i p, __m128i w, __m128i tEven, __m128i tOdd) {
  const __m128i low = _mm_set1_epi16(0x00FF);
  const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF00));
  const __m128i even = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(p, low), w), tEven), 8);
  const __m128i odd = _mm_and_si128(_mm_add_epi16(_mm_mullo_epi16(_mm_srli_epi16(p, 8), w), tOdd), high);
  return _mm_or_si128(even, odd);
}

// BlendConstLanes on eight pixels.
__attribute__((target("avx2"))) __m256i BlendConstEight(__m256i p, __m256i w, __m256i tEven,
                                                        __m256i tOdd) {
  const __m256i low = _mm256_set1_epi16(0x00FF);
  const __m256i high = _mm256_set1_epi16(static_cast<short>(0xFF00));
  const __m256i even =
      _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(p, low), w), tEven), 8);
  const __m256i odd = _mm256_and_si256(
      _mm256_add_epi16(_mm256_mullo_epi16(_mm256_srli_epi16(p, 8), w), tOdd), high);
  return _mm256_or_si256(even, odd);
}

// Rows of at least eight pixels. The last eight are blended from their
// values before the row is touched and stored last, so a row of any length
// needs no pixel-by-pixel tail (each result depends on its own pixel only).
__attribute__((target("avx2"))) void BlendConstWide(uint32_t* row, size_t n, __m128i w4,
                                                    __m128i tEven4, __m128i tOdd4) {
  const __m256i w = _mm256_broadcastsi128_si256(w4);
  const __m256i tEven = _mm256_broadcastsi128_si256(tEven4);
  const __m256i tOdd = _mm256_broadcastsi128_si256(tOdd4);
  auto* last = reinterpret_cast<__m256i*>(row + n - 8);
  const __m256i tail = _mm256_loadu_si256(last);
  for (size_t i = 0; i + 8 <= n; i += 8) {
    __m256i* at = reinterpret_cast<__m256i*>(row + i);
    _mm256_storeu_si256(at, BlendConstEight(_mm256_loadu_si256(at), w, tEven, tOdd));
  }
  _mm256_storeu_si256(last, BlendConstEight(tail, w, tEven, tOdd));
}

}  // namespace

void Fill(uint32_t* row, size_t n, uint32_t colour) { FillRows(row, n, 1, n, colour); }

void FillRows(uint32_t* first, size_t w, size_t h, size_t pitch, uint32_t colour) {
  if (!w || !h) return;
  if (w == pitch) {
    w *= h;
    h = 1;
  }
  const size_t bytes = w * sizeof(uint32_t);
  const uint32_t low = colour & 0xFF;
  if (colour == low * 0x01010101u) {
    for (; h; --h, first += pitch) std::memset(first, static_cast<int>(low), bytes);
    return;
  }
  if (bytes >= kStringFillFrom) {
    for (; h; --h, first += pitch) FillString(first, w, colour);
    return;
  }
  if (blendrows::UseWideRows()) return FillWideRows(first, w, h, pitch, colour);
  FillVectorRows(first, w, h, pitch, colour);
}

void BlendConst(uint32_t* row, size_t n, const uint16_t term[4], unsigned keepWeight) {
  const __m128i w = _mm_set1_epi16(static_cast<short>(keepWeight));
  const uint16_t even[4] = {term[0], term[2], term[0], term[2]};
  const uint16_t odd[4] = {term[1], term[3], term[1], term[3]};
  const __m128i tEven = Lanes(even), tOdd = Lanes(odd);
  if (n >= 8 && blendrows::UseWideRows()) return BlendConstWide(row, n, w, tEven, tOdd);
  if (n < 4) return BlendConstScalar(row, n, term, keepWeight);
  // As the wide rows: the last four blended from their first values.
  auto* last = reinterpret_cast<__m128i*>(row + n - 4);
  const __m128i tail = _mm_loadu_si128(last);
  for (size_t i = 0; i + 4 <= n; i += 4) {
    __m128i* at = reinterpret_cast<__m128i*>(row + i);
    _mm_storeu_si128(at, BlendConstLanes(_mm_loadu_si128(at), w, tEven, tOdd));
  }
  _mm_storeu_si128(last, BlendConstLanes(tail, w, tEven, tOdd));
}

void AddSub(uint32_t* row, size_t n, uint32_t add, uint32_t sub) {
  const __m128i a = _mm_set1_epi32(static_cast<int>(add));
  const __m128i s = _mm_set1_epi32(static_cast<int>(sub));
  size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
    p = _mm_subs_epu8(_mm_adds_epu8(p, a), s);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), p);
  }
  AddSubScalar(row + i, n - i, add, sub);
}

void Fade(uint32_t* run, size_t n, int a, const int16_t k[4]) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i factor = _mm_set1_epi16(static_cast<short>(a));
  const uint16_t ku[4] = {static_cast<uint16_t>(k[0]), static_cast<uint16_t>(k[1]),
                          static_cast<uint16_t>(k[2]), static_cast<uint16_t>(k[3])};
  const __m128i kk = Lanes(ku);
  size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(run + i));
    __m128i lo = _mm_slli_epi16(_mm_unpacklo_epi8(p, zero), 1);
    __m128i hi = _mm_slli_epi16(_mm_unpackhi_epi8(p, zero), 1);
    lo = _mm_add_epi16(_mm_mulhi_epi16(lo, factor), kk);
    hi = _mm_add_epi16(_mm_mulhi_epi16(hi, factor), kk);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(run + i), _mm_packus_epi16(lo, hi));
  }
  FadeScalar(run + i, n - i, a, k);
}

#else

void Fill(uint32_t* row, size_t n, uint32_t colour) { FillRows(row, n, 1, n, colour); }
void FillRows(uint32_t* first, size_t w, size_t h, size_t pitch, uint32_t colour) {
  const uint32_t low = colour & 0xFF;
  for (; h; --h, first += pitch) {
    if (colour == low * 0x01010101u)
      std::memset(first, static_cast<int>(low), w * sizeof(uint32_t));
    else
      FillScalar(first, w, colour);
  }
}
void BlendConst(uint32_t* row, size_t n, const uint16_t term[4], unsigned keepWeight) {
  BlendConstScalar(row, n, term, keepWeight);
}
void AddSub(uint32_t* row, size_t n, uint32_t add, uint32_t sub) { AddSubScalar(row, n, add, sub); }
void Fade(uint32_t* run, size_t n, int a, const int16_t k[4]) { FadeScalar(run, n, a, k); }

#endif

}  // namespace rowops
