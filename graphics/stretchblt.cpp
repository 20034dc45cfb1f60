#include "graphics/stretchblt.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

#include "graphics/blendrows.h"
#include "graphics/lanes.h"
#include "graphics/rowops.h"
#include "graphics/screenbuffer.h"

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace stretch {

int64_t Fixed(double v) {
  // Only absurd sizes come near this; it keeps the conversion defined.
  constexpr double kLimit = 70368744177664.0;  // 2^46
  if (!(v > -kLimit)) v = -kLimit;
  if (v > kLimit) v = kLimit;
  const double whole = std::floor(v);
  return static_cast<int64_t>(whole) * 65536 + static_cast<int64_t>((v - whole) * 65536.0);
}

namespace {
bool g_fastRows = true;
}  // namespace

void AllowFastRows(bool allow) { g_fastRows = allow; }

void Scratch::Release() {
  *this = Scratch{};
}

}  // namespace stretch

namespace {

struct Plain {
  uint32_t Apply(uint32_t s) const { return s; }
  void ApplyRow(uint32_t*, size_t) const {}
};

// The signed colour, also over a sampled row (the same per-byte rule).
struct Coloured : blendrows::SignedColour {
  using SignedColour::SignedColour;
  void ApplyRow(uint32_t* row, size_t n) const { rowops::AddSub(row, n, add, sub); }
};

// The visible part of the destination and where its first pixel samples.
struct Walk {
  int x0, y0, cols, rows;
  uint64_t startX, startY, stepX, stepY;  // 16.16, wrapping on absurd sizes
};

bool Plan(int dstX, int dstY, int srcX, int srcY, int dstW, int dstH, int srcW, int srcH,
          Walk* walk) {
  const int64_t sw = CScreenBuffer::GetWidth(), sh = CScreenBuffer::GetHeight();
  const int64_t x0 = std::max<int64_t>(dstX, 0), y0 = std::max<int64_t>(dstY, 0);
  const int64_t x1 = std::min<int64_t>(int64_t{dstX} + dstW, sw);
  const int64_t y1 = std::min<int64_t>(int64_t{dstY} + dstH, sh);
  if (x1 <= x0 || y1 <= y0) return false;
  // Steps use the unclipped destination size; the skipped columns and rows
  // move the start.
  const double stepX = static_cast<double>(srcW) / dstW;
  const double stepY = static_cast<double>(srcH) / dstH;
  walk->x0 = static_cast<int>(x0);
  walk->y0 = static_cast<int>(y0);
  walk->cols = static_cast<int>(x1 - x0);
  walk->rows = static_cast<int>(y1 - y0);
  walk->stepX = static_cast<uint64_t>(stretch::Fixed(stepX));
  walk->stepY = static_cast<uint64_t>(stretch::Fixed(stepY));
  walk->startX = static_cast<uint64_t>(int64_t{srcX} * 65536) +
                 static_cast<uint64_t>(stretch::Fixed(static_cast<double>(x0 - dstX) * stepX));
  walk->startY = static_cast<uint64_t>(int64_t{srcY} * 65536) +
                 static_cast<uint64_t>(stretch::Fixed(static_cast<double>(y0 - dstY) * stepY));
  return true;
}

inline int64_t Whole(uint64_t fixed) { return static_cast<int64_t>(fixed) >> 16; }

// Visits every destination pixel whose source lies inside the picture:
// op(dst, src, mask row or null, column).
template <typename Op>
void Run(const Walk& walk, const uint32_t* pixels, const uint8_t* mask, int width, int height,
         Op op) {
  const int pitch = CScreenBuffer::GetWidth();
  uint32_t* row = CScreenBuffer::GetBuffer() + static_cast<ptrdiff_t>(walk.y0) * pitch + walk.x0;
  uint64_t y = walk.startY;
  for (int j = 0; j < walk.rows; ++j, row += pitch, y += walk.stepY) {
    const int64_t sy = Whole(y);
    if (sy < 0 || sy >= height) continue;
    const uint32_t* src = pixels + sy * width;
    const uint8_t* m = mask ? mask + sy * width : nullptr;
    uint64_t x = walk.startX;
    for (int i = 0; i < walk.cols; ++i, x += walk.stepX) {
      const int64_t sx = Whole(x);
      if (sx < 0 || sx >= width) continue;
      op(row[i], src[sx], m ? m[sx] : 0);
    }
  }
}


// --- Rows: each source row sampled once, then drawn a row at a time ---

// What a sampled pixel does to the screen: keep it, take the source, or
// BlendApart255 with a weight a in 0..255, held as a | a << 16 so that each
// 16-bit lane of the pixel carries it.
constexpr uint32_t kKeep = 0xFFFFFFFFu;
constexpr uint32_t kCopy = 0x01000100u;
inline uint32_t BlendAction(uint32_t a) { return a | (a << 16); }

void ActionsScalar(uint32_t* dst, const uint32_t* src, const uint32_t* act, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    if (act[i] == kKeep) continue;
    dst[i] = act[i] == kCopy ? src[i] : blendrows::BlendApart255(dst[i], src[i], act[i] & 0xFFFF);
  }
}

// Samples row at the visible columns (scalar).
void SampleScalar(uint32_t* out, const uint32_t* row, const int32_t* columns, size_t n) {
  for (size_t i = 0; i < n; ++i) out[i] = row[columns[i]];
}

#if defined(__SSE2__)

__m128i Select(__m128i sel, __m128i a, __m128i b) {
  return _mm_or_si128(_mm_and_si128(sel, a), _mm_andnot_si128(sel, b));
}

#define ZOR_WIDE __attribute__((target("avx2")))

ZOR_WIDE size_t ActionsWide(uint32_t* dst, const uint32_t* src, const uint32_t* act, size_t n) {
  const __m256i keep = _mm256_set1_epi32(-1);
  const __m256i copy = _mm256_set1_epi32(static_cast<int>(kCopy));
  const __m256i all = _mm256_set1_epi16(255);
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(act + i));
    const __m256i isKeep = _mm256_cmpeq_epi32(a, keep);
    if (_mm256_movemask_epi8(isKeep) == -1) continue;
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
    auto* to = reinterpret_cast<__m256i*>(dst + i);
    const __m256i isCopy = _mm256_cmpeq_epi32(a, copy);
    if (_mm256_movemask_epi8(isCopy) == -1) {
      _mm256_storeu_si256(to, s);
      continue;
    }
    const __m256i d = _mm256_loadu_si256(to);
    // With a at most 255 each product fits 16 bits and the sum 255.
    const __m256i blend = lanes::SumOfShiftedProductsWide(s, d, a, _mm256_sub_epi16(all, a));
    const __m256i out = _mm256_blendv_epi8(blend, s, isCopy);
    _mm256_storeu_si256(to, _mm256_blendv_epi8(out, d, isKeep));
  }
  return i;
}

// Groups of eight columns within eight neighbouring source pixels are one
// load and one permute; the others are sampled one by one.
ZOR_WIDE void SampleWide(uint32_t* out, const uint32_t* row, const stretch::Scratch& scratch,
                         size_t n) {
  size_t i = 0;
  for (size_t g = 0; i + 8 <= n; i += 8, ++g) {
    const int32_t base = scratch.bases[g];
    if (base < 0) {
      SampleScalar(out + i, row, scratch.columns.data() + i, 8);
      continue;
    }
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + base));
    const __m256i at =
        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(scratch.offsets.data() + i));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_permutevar8x32_epi32(v, at));
  }
  SampleScalar(out + i, row, scratch.columns.data() + i, n - i);
}

#undef ZOR_WIDE

void Actions(uint32_t* dst, const uint32_t* src, const uint32_t* act, size_t n) {
  size_t i = blendrows::UseWideRows() ? ActionsWide(dst, src, act, n) : 0;
  const __m128i keep = _mm_set1_epi32(-1);
  const __m128i copy = _mm_set1_epi32(static_cast<int>(kCopy));
  const __m128i all = _mm_set1_epi16(255);
  for (; i + 4 <= n; i += 4) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(act + i));
    const __m128i isKeep = _mm_cmpeq_epi32(a, keep);
    if (_mm_movemask_epi8(isKeep) == 0xFFFF) continue;
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    auto* to = reinterpret_cast<__m128i*>(dst + i);
    const __m128i isCopy = _mm_cmpeq_epi32(a, copy);
    if (_mm_movemask_epi8(isCopy) == 0xFFFF) {
      _mm_storeu_si128(to, s);
      continue;
    }
    const __m128i d = _mm_loadu_si128(to);
    const __m128i blend = lanes::SumOfShiftedProducts(s, d, a, _mm_sub_epi16(all, a));
    _mm_storeu_si128(to, Select(isKeep, d, Select(isCopy, s, blend)));
  }
  ActionsScalar(dst + i, src + i, act + i, n - i);
}

void Sample(uint32_t* out, const uint32_t* row, const stretch::Scratch& scratch, size_t n) {
  if (blendrows::UseWideRows()) return SampleWide(out, row, scratch, n);
  SampleScalar(out, row, scratch.columns.data(), n);
}

#else

void Actions(uint32_t* dst, const uint32_t* src, const uint32_t* act, size_t n) {
  ActionsScalar(dst, src, act, n);
}
void Sample(uint32_t* out, const uint32_t* row, const stretch::Scratch& scratch, size_t n) {
  SampleScalar(out, row, scratch.columns.data(), n);
}

#endif

// The source columns of the visible destination columns, walked once.
// False when the columns inside the picture are not one run (only absurd
// steps that wrap do that); the pixel walk then draws.
bool PlanColumns(const Walk& walk, int width, stretch::Scratch* scratch, int* first, int* count,
                 int* lo, int* hi) {
  std::vector<int32_t>& columns = scratch->columns;
  columns.clear();
  int begin = -1, end = -1;
  int64_t minCol = width, maxCol = -1;
  uint64_t x = walk.startX;
  for (int i = 0; i < walk.cols; ++i, x += walk.stepX) {
    const int64_t sx = Whole(x);
    if (sx < 0 || sx >= width) continue;
    if (begin < 0) begin = i;
    else if (end != i) return false;
    end = i + 1;
    columns.push_back(static_cast<int32_t>(sx));
    minCol = std::min(minCol, sx);
    maxCol = std::max(maxCol, sx);
  }
  if (begin < 0) return false;
  *first = begin;
  *count = end - begin;
  *lo = static_cast<int>(minCol);
  *hi = static_cast<int>(maxCol);
  // Groups of eight reaching at most eight source pixels: a base such that
  // base .. base + 7 lies inside the row.
  const size_t n = columns.size();
  scratch->offsets.assign(n, 0);
  scratch->bases.assign(n / 8, -1);
  for (size_t g = 0; g < n / 8; ++g) {
    const auto [mn, mx] = std::minmax_element(columns.begin() + 8 * g, columns.begin() + 8 * g + 8);
    if (width < 8 || *mx - *mn > 7) continue;
    const int32_t base = std::min(*mn, width - 8);
    scratch->bases[g] = base;
    for (size_t i = 8 * g; i < 8 * g + 8; ++i) scratch->offsets[i] = columns[i] - base;
  }
  return true;
}

// The actions of picture columns lo .. hi of one row.
template <typename Act>
void FillActions(uint32_t* out, const uint32_t* row, const uint8_t* m, int lo, int hi, Act act) {
  for (int x = lo; x <= hi; ++x) out[x] = act(row[x], m ? m[x] : 0);
}

template <typename Colour>
bool StretchRows(const Walk& walk, const uint32_t* pixels, const uint8_t* mask, int width,
                 int height, int transparent, int percent, const Colour& colour,
                 stretch::Scratch* scratch) {
  // Weights outside 0..255 (percentages beyond the contract) saturate in
  // the rule; the pixel walk draws them.
  const int k = blendrows::Weight(percent);
  if (transparent && percent != 100 && (k < 0 || k > 255)) return false;
  int first, count, lo, hi;
  if (!PlanColumns(walk, width, scratch, &first, &count, &lo, &hi)) return false;
  const size_t n = static_cast<size_t>(count);
  scratch->pixels.resize(n);
  scratch->actions.resize(n);
  scratch->sourceActions.resize(static_cast<size_t>(width));
  uint32_t* sampled = scratch->pixels.data();
  uint32_t* actions = scratch->actions.data();
  uint32_t* sourceActions = scratch->sourceActions.data();
  const uint32_t key = pixels[0];
  const uint32_t weight = BlendAction(static_cast<uint32_t>(k));
  auto actionsOf = [&](const uint32_t* row, const uint8_t* m) {
    if (!mask && percent == 100)
      FillActions(sourceActions, row, m, lo, hi,
                  [&](uint32_t s, int) { return s != key ? kCopy : kKeep; });
    else if (!mask)
      FillActions(sourceActions, row, m, lo, hi,
                  [&](uint32_t s, int) { return s != key ? weight : kKeep; });
    else if (percent == 100)
      FillActions(sourceActions, row, m, lo, hi, [](uint32_t, int v) {
        return v == 0 ? kKeep : v == 255 ? kCopy : BlendAction(static_cast<uint32_t>(v));
      });
    else
      FillActions(sourceActions, row, m, lo, hi, [&](uint32_t, int v) {
        return v == 0 ? kKeep : BlendAction(static_cast<uint32_t>((v * k) >> 8));
      });
    Sample(actions, sourceActions, *scratch, n);
  };

  const int pitch = CScreenBuffer::GetWidth();
  uint32_t* row =
      CScreenBuffer::GetBuffer() + static_cast<ptrdiff_t>(walk.y0) * pitch + walk.x0 + first;
  uint64_t y = walk.startY;
  int64_t sampledRow = -1;
  for (int j = 0; j < walk.rows; ++j, row += pitch, y += walk.stepY) {
    const int64_t sy = Whole(y);
    if (sy < 0 || sy >= height) continue;
    if (sy != sampledRow) {
      const uint32_t* src = pixels + sy * width;
      Sample(sampled, src, *scratch, n);
      colour.ApplyRow(sampled, n);
      if (transparent) actionsOf(src, mask ? mask + sy * width : nullptr);
      sampledRow = sy;
    }
    if (!transparent)
      std::memcpy(row, sampled, n * sizeof(uint32_t));
    else
      Actions(row, sampled, actions, n);
  }
  return true;
}

template <typename Colour>
void Stretch(int dstX, int dstY, int srcX, int srcY, int dstW, int dstH, int srcW, int srcH,
             const uint32_t* pixels, const uint8_t* mask, int width, int height, int transparent,
             int percent, const Colour& colour, stretch::Scratch* scratch) {
  using blendrows::BlendApart255;
  if (width <= 0 || height <= 0 || srcW == 0 || srcH == 0 || !pixels || dstW <= 0 || dstH <= 0)
    return;
  if (!CScreenBuffer::GetBuffer()) return;
  Walk walk;
  if (!Plan(dstX, dstY, srcX, srcY, dstW, dstH, srcW, srcH, &walk)) return;
  if (stretch::g_fastRows && StretchRows(walk, pixels, mask, width, height, transparent, percent, colour,
                                scratch))
    return;
  const int k = blendrows::Weight(percent);
  const uint32_t key = pixels[0];
  auto run = [&](auto op) { Run(walk, pixels, mask, width, height, op); };
  if (!transparent) {
    run([&](uint32_t& d, uint32_t s, int) { d = colour.Apply(s); });
  } else if (!mask && percent == 100) {
    run([&](uint32_t& d, uint32_t s, int) {
      if (s != key) d = colour.Apply(s);
    });
  } else if (!mask) {
    run([&](uint32_t& d, uint32_t s, int) {
      if (s != key) d = BlendApart255(d, colour.Apply(s), k);
    });
  } else if (percent == 100) {
    run([&](uint32_t& d, uint32_t s, int m) {
      if (m == 0) return;
      d = m == 255 ? colour.Apply(s) : BlendApart255(d, colour.Apply(s), m);
    });
  } else {
    run([&](uint32_t& d, uint32_t s, int m) {
      if (m != 0) d = BlendApart255(d, colour.Apply(s), (m * k) >> 8);
    });
  }
}

}  // namespace

void CStretchBlt::Blt(int dstX, int dstY, int srcX, int srcY, int dstW, int dstH, int srcW,
                      int srcH, const uint32_t* pixels, const uint8_t* mask, int width, int height,
                      int transparent, int percent) {
  Stretch(dstX, dstY, srcX, srcY, dstW, dstH, srcW, srcH, pixels, mask, width, height, transparent,
          percent, Plain{}, &scratch_);
}

void CStretchAddSubBlt::Blt(int dstX, int dstY, int srcX, int srcY, int dstW, int dstH, int srcW,
                            int srcH, const uint32_t* pixels, const uint8_t* mask, int width,
                            int height, int transparent, int percent, int r, int g, int b) {
  Stretch(dstX, dstY, srcX, srcY, dstW, dstH, srcW, srcH, pixels, mask, width, height, transparent,
          percent, Coloured(r, g, b), &scratch_);
}
