#include "effect/wipeblend.h"

#include <algorithm>
#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "effect/allwipe.h"
#include "graphics/blendrows.h"
#include "graphics/picture.h"
#include "platform/system.h"
#include "setup/random.h"

namespace wipeblend {

using blendrows::Channel;
using blendrows::PerChannel;

uint32_t AddPixel(uint32_t base, uint32_t other, int a) {
  return PerChannel([&](int c) {
    return std::min<uint32_t>(255, Channel(base, c) + ((Channel(other, c) * a) >> 8));
  });
}

uint32_t MultiPixel(uint32_t base, uint32_t other, int c) {
  return PerChannel([&](int s) {
    const uint32_t b = Channel(base, s);
    return ((256 - c) * b + c * ((b * Channel(other, s)) >> 8)) >> 8;
  });
}

void AddRowPlain(uint32_t* dst, const uint32_t* base, const uint32_t* other, int n, int a) {
  for (int i = 0; i < n; ++i) dst[i] = AddPixel(base[i], other[i], a);
}

void MultiRowPlain(uint32_t* dst, const uint32_t* base, const uint32_t* other, int n, int c) {
  for (int i = 0; i < n; ++i) dst[i] = MultiPixel(base[i], other[i], c);
}

#if defined(__SSE2__)
namespace {

// Four pixels at a time as two halves of eight 16-bit lanes. Every product
// and sum stays below 65536, so the lane arithmetic is exact.
template <typename Lanes>
void RowSse2(uint32_t* dst, const uint32_t* base, const uint32_t* other, int n, Lanes lanes,
             uint32_t (*pixel)(uint32_t, uint32_t, int), int k) {
  const __m128i zero = _mm_setzero_si128();
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + i));
    const __m128i o = _mm_loadu_si128(reinterpret_cast<const __m128i*>(other + i));
    const __m128i lo = lanes(_mm_unpacklo_epi8(b, zero), _mm_unpacklo_epi8(o, zero));
    const __m128i hi = lanes(_mm_unpackhi_epi8(b, zero), _mm_unpackhi_epi8(o, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(lo, hi));
  }
  for (; i < n; ++i) dst[i] = pixel(base[i], other[i], k);
}

}  // namespace

void AddRow(uint32_t* dst, const uint32_t* base, const uint32_t* other, int n, int a) {
  const __m128i weight = _mm_set1_epi16(static_cast<int16_t>(a));
  RowSse2(
      dst, base, other, n,
      [&](__m128i b, __m128i o) {
        // packus saturates base + added at 255 per byte.
        return _mm_add_epi16(b, _mm_srli_epi16(_mm_mullo_epi16(o, weight), 8));
      },
      AddPixel, a);
}

void MultiRow(uint32_t* dst, const uint32_t* base, const uint32_t* other, int n, int c) {
  const __m128i kc = _mm_set1_epi16(static_cast<int16_t>(c));
  const __m128i kb = _mm_set1_epi16(static_cast<int16_t>(256 - c));
  RowSse2(
      dst, base, other, n,
      [&](__m128i b, __m128i o) {
        const __m128i product = _mm_srli_epi16(_mm_mullo_epi16(b, o), 8);
        return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(b, kb), _mm_mullo_epi16(product, kc)),
                              8);
      },
      MultiPixel, c);
}
#else
void AddRow(uint32_t* dst, const uint32_t* base, const uint32_t* other, int n, int a) {
  AddRowPlain(dst, base, other, n, a);
}
void MultiRow(uint32_t* dst, const uint32_t* base, const uint32_t* other, int n, int c) {
  MultiRowPlain(dst, base, other, n, c);
}
#endif

}  // namespace wipeblend

namespace {

// A step of `range` scaled by p / m (m >= 1), in 64 bits.
int64_t Scaled(int64_t range, int p, int m) { return range * p / m; }

}  // namespace

void CBlendStripWipe::BlendLines(RowKernel row, int64_t weight) {
  const int k = static_cast<int>(std::clamp<int64_t>(weight, 0, 256));
  for (int y = 0; y < screenH_; ++y) row(ScreenRow(y), OldRow(y), NewRow(y), screenW_, k);
}

// --- #0 cross-fade ---

void CEffectSimpleWipeOverrap::Print(CPicture* oldPicture, CPicture* newPicture, int progress,
                                     int max, const int* oldOffset, const int* newOffset) {
  // Without an old picture the new one is checked against itself.
  if (!SetPicture(oldPicture ? oldPicture : newPicture, newPicture, progress, max, oldOffset,
                  newOffset))
    return;
  const int percent = static_cast<int>(Scaled(100, progress_, max_));
  if (oldPicture) {
    const int oldPos[2] = {old_.x, old_.y};
    const int newPos[2] = {new_.x, new_.y};
    oldPicture->OverrapBlt2(newPicture, percent, oldPos, newPos);
  } else {
    newPicture->OverrapBlt(percent, newOffset);
  }
}

// --- #40 additive ---

void CEffectSimpleWipeAdd::Print(CPicture* oldPicture, CPicture* newPicture, int progress, int max,
                                 const int* oldOffset, const int* newOffset) {
  if (!SetPicture(oldPicture, newPicture, progress, max, oldOffset, newOffset)) return;
  const int h = std::max(max_ / 2, 1);
  int64_t a;
  if (progress_ < h) {
    a = Scaled(256, progress_, h);
  } else {
    // The new picture becomes the base and the old one fades out of it.
    SwapPicture();
    a = Scaled(256, max_ - progress_, std::max(max_ - h, 1));
  }
  BlendLines(wipeblend::AddRow, a);
}

// --- #60 multiplicative ---

void CEffectSimpleWipeMulti::Print(CPicture* oldPicture, CPicture* newPicture, int progress,
                                   int max, const int* oldOffset, const int* newOffset) {
  if (!SetPicture(oldPicture, newPicture, progress, max, oldOffset, newOffset)) return;
  const int h = std::max(max_ / 2, 1);
  int64_t c;
  // With a maximum of 1 the midpoint is the last step; the last step shows
  // the new picture.
  if (progress_ <= h && progress_ < max_) {
    c = Scaled(256, progress_, h);
  } else {
    SwapPicture();
    c = Scaled(256, max_ - progress_, h);
  }
  BlendLines(wipeblend::MultiRow, c);
}

// --- #1 vertical slats ---

void CEffectSimpleWipeCurtain::Print(CPicture* oldPicture, CPicture* newPicture, int progress,
                                     int max, const int* oldOffset, const int* newOffset) {
  if (!SetPicture(oldPicture, newPicture, progress, max, oldOffset, newOffset)) return;
  const int m = screenW_ / 32;
  const int o = static_cast<int>(Scaled(m + 16, progress_, max_));
  const int u = std::min(std::max(o - 15, 0), m);
  const int v = std::max(m - o, 0);
  int c = m - u - v;
  if (c < 0) {
    platform::DebugOutput("Error in Curtain()");
    c = 0;
  }
  const int w = o >= 15 ? 15 : o + 1;
  // The runs of every line: {from the new picture, length}.
  struct Run {
    bool isNew;
    int n;
  };
  std::array<Run, 2 + 4 * 16> runs{};
  int count = 0;
  runs[count++] = {true, u * 32};
  for (int k = 0; k < std::min(c, 16); ++k)
    for (int half = 0; half < 2; ++half) {
      runs[count++] = {true, w - k};
      runs[count++] = {false, 16 - w + k};
    }
  runs[count++] = {false, v * 32};
  for (int y = 0; y < screenH_; ++y) {
    int x = 0;
    for (int i = 0; i < count; ++i) {
      const int n = std::clamp(runs[i].n, 0, screenW_ - x);
      CopyRun(runs[i].isNew ? new_ : old_, x, y, n);
      x += n;
    }
  }
}

// --- #2 horizontal slats ---

void CEffectSimpleWipeCurtain2::Print(CPicture* oldPicture, CPicture* newPicture, int progress,
                                      int max, const int* oldOffset, const int* newOffset) {
  if (!SetPicture(oldPicture, newPicture, progress, max, oldOffset, newOffset)) return;
  const int n = (screenH_ + 31) / 32;
  const int o = static_cast<int>(Scaled(n + 16, progress_, max_));
  const int u = std::min(std::max(o - 15, 0), n);
  const int v = std::max(n - o, 0);
  const int c = std::max(n - u - v, 0);
  const int w = o >= 15 ? 15 : o + 1;
  int y = 0;
  auto lines = [&](const Window& from, int count) {
    for (int i = 0; i < count && y < screenH_; ++i) CopyLine(from, y++);
  };
  lines(new_, u * 32);
  for (int j = 0; j < c; ++j)
    for (int half = 0; half < 2; ++half) {
      lines(new_, w - j);
      lines(old_, 16 - w + j);
    }
  lines(old_, v * 32);
}

// --- #3 interleaved lines ---

void CEffectSimpleWipeZebra::Print(CPicture* oldPicture, CPicture* newPicture, int progress,
                                   int max, const int* oldOffset, const int* newOffset) {
  if (!SetPicture(oldPicture, newPicture, progress, max, oldOffset, newOffset)) return;
  const int pairs = screenH_ / 2;
  const int t = static_cast<int>(Scaled(pairs, progress_, max_));
  for (int k = 0; k < pairs; ++k) {
    CopyLine(k >= pairs - t ? new_ : old_, 2 * k);
    CopyLine(k < t ? new_ : old_, 2 * k + 1);
  }
}

// --- #39 random lines ---

void CEffectSimpleWipeRandomStrip::Print(CPicture* oldPicture, CPicture* newPicture, int progress,
                                         int max, const int* oldOffset, const int* newOffset) {
  if (!SetPicture(oldPicture, newPicture, progress, max, oldOffset, newOffset)) return;
  if (!owner_ || owner_->GetSpanBufferInts() < screenH_) return;
  int32_t* lines = owner_->GetSpanBuffer();
  for (int y = 0; y < screenH_; ++y) lines[y] = crt::rand() % max_ < progress_ ? 1 : 0;
  for (int y = 0; y < screenH_; ++y) CopyLine(lines[y] ? new_ : old_, y);
}

// --- #4 and #5 diagonal slides ---

namespace {

// The old picture's share of line y: the diagonal edge R - y within 0..W.
int SlideEdge(int64_t r, int y, int w) {
  return static_cast<int>(std::clamp<int64_t>(r - y, 0, w));
}

}  // namespace

void CEffectSimpleWipeSlide1::Print(CPicture* oldPicture, CPicture* newPicture, int progress,
                                    int max, const int* oldOffset, const int* newOffset) {
  if (!SetPicture(oldPicture, newPicture, progress, max, oldOffset, newOffset)) return;
  const int64_t r = Scaled(int64_t{screenW_} + screenH_, max_ - progress_, max_);
  for (int y = 0; y < screenH_; ++y) {
    const int k = SlideEdge(r, y, screenW_);
    CopyRun(old_, 0, y, k);
    std::memcpy(ScreenRow(y) + k, NewRow(y), static_cast<size_t>(screenW_ - k) * 4);
  }
}

void CEffectSimpleWipeSlide2::Print(CPicture* oldPicture, CPicture* newPicture, int progress,
                                    int max, const int* oldOffset, const int* newOffset) {
  if (!SetPicture(oldPicture, newPicture, progress, max, oldOffset, newOffset)) return;
  const int64_t r = Scaled(int64_t{screenW_} + screenH_, max_ - progress_, max_);
  for (int y = 0; y < screenH_; ++y) {
    const int k = SlideEdge(r, y, screenW_);
    std::memcpy(ScreenRow(y), OldRow(y) + (screenW_ - k), static_cast<size_t>(k) * 4);
    std::memcpy(ScreenRow(y) + k, NewRow(y), static_cast<size_t>(screenW_ - k) * 4);
  }
}
