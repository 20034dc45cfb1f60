#include "effect/wipecommon.h"

#include <algorithm>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "effect/allwipe.h"
#include "graphics/blendrows.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"

namespace {

int ClampRun(int64_t run, int room) {
  return static_cast<int>(std::clamp<int64_t>(run, 0, std::max(room, 0)));
}

}  // namespace

// --- CEffectSimpleWipeCommon ---

CEffectSimpleWipeCommon::CEffectSimpleWipeCommon(CAllWipe* owner) : owner_(owner) {}

int CEffectSimpleWipeCommon::SetPicture(CPicture* oldPicture, CPicture* newPicture, int progress,
                                        int max, const int* oldOffset, const int* newOffset) {
  prepared_ = 0;
  old_ = Window{};
  new_ = Window{};
  old_.picture = oldPicture;
  new_.picture = newPicture;
  if (oldOffset) {
    old_.x = oldOffset[0];
    old_.y = oldOffset[1];
  }
  if (newOffset) {
    new_.x = newOffset[0];
    new_.y = newOffset[1];
  }
  max_ = std::max(max, 1);
  progress_ = std::clamp(progress, 0, max_);
  screenW_ = CScreenBuffer::GetWidth();
  screenH_ = CScreenBuffer::GetHeight();
  if (!oldPicture || !newPicture || !CScreenBuffer::GetBuffer() || screenW_ <= 0 || screenH_ <= 0)
    return 0;
  for (Window* w : {&old_, &new_}) {
    CPicture* p = w->picture;
    const int is256 = p->Get256Flag();
    if ((is256 && !accept256_) || !p->GetBuffer()) return 0;
    w->width = p->GetWidth();
    w->height = p->GetHeight();
    w->x = std::max(std::min(w->x, w->width - screenW_), 0);
    w->y = std::max(std::min(w->y, w->height - screenH_), 0);
    if (w->width < w->x + screenW_ || w->height < w->y + screenH_) return 0;
    w->bytes = is256 ? 1 : 4;
    w->pitch = w->width * w->bytes;
    w->first = p->GetBuffer() +
               (static_cast<size_t>(w->y) * w->width + static_cast<size_t>(w->x)) * w->bytes;
  }
  prepared_ = 1;
  return 1;
}

void CEffectSimpleWipeCommon::SwapPicture() { std::swap(old_, new_); }

uint32_t* CEffectSimpleWipeCommon::ScreenRow(int y) {
  return CScreenBuffer::GetBuffer() + static_cast<size_t>(y) * CScreenBuffer::GetWidth();
}

void CEffectSimpleWipeCommon::CopyRun(const Window& from, int x, int y, int n) {
  if (n > 0) std::memcpy(ScreenRow(y) + x, Row(from, y) + x, static_cast<size_t>(n) * 4);
}

// --- CEffectSimpleWipeShape ---

int WipeAlphaStep(int blendWidth) { return blendWidth > 0 ? 256 / blendWidth : 64; }

CEffectSimpleWipeShape::CEffectSimpleWipeShape(CAllWipe* owner) : CEffectSimpleWipeCommon(owner) {}

int CEffectSimpleWipeShape::EntriesPerLine() const {
  if (soft_) return 4;
  if (runs_ <= 1) return 1;
  if (runs_ == 2) return 2;
  return runs_ <= 4 ? 4 : 6;
}

int32_t* CEffectSimpleWipeShape::Spans() const {
  // Eight entries per line at most; a screen taller than the one the table
  // was made for gets no span list.
  if (!owner_ || owner_->GetSpanBufferInts() < int64_t{screenH_} * 8) return nullptr;
  return owner_->GetSpanBuffer();
}

void CEffectSimpleWipeShape::Print(CPicture* oldPicture, CPicture* newPicture, int progress,
                                   int max, const int* oldOffset, const int* newOffset) {
  if (!SetPicture(oldPicture, newPicture, progress, max, oldOffset, newOffset) || !Spans()) return;
  if (reverse_) {
    SwapPicture();
    progress_ = std::max(max_ - progress_, 0);
  }
  CalcuSpan(progress_, max_);
  if (soft_)
    BltSpanSoft();
  else
    BltSpanMulti();
}

void CEffectSimpleWipeShape::CalcuSpan(int, int) {
  if (int32_t* spans = Spans(); spans && runs_ != 0)
    std::fill_n(spans, static_cast<size_t>(screenH_) * EntriesPerLine(), 0);
}

void CEffectSimpleWipeShape::BoundaryEntries(int32_t* line, int64_t l) const {
  const int w = screenW_;
  if (!soft_) {
    line[0] = ClampRun(l, w);
    return;
  }
  const int64_t e = std::clamp<int64_t>(l + blendWidth_, 0, w);
  const int n = ClampRun(l, w);
  line[0] = n;
  line[1] = static_cast<int>(std::max<int64_t>(e - n, 0));
  line[2] =
      l >= 0 ? 256
             : static_cast<int>(std::clamp<int64_t>(256 + l * WipeAlphaStep(blendWidth_), 0, 256));
  line[3] = static_cast<int>(std::max<int64_t>(w - e, 0));
}

void CEffectSimpleWipeShape::BltSpan1() {
  const int32_t* spans = Spans();
  if (!spans || !Prepared32()) return;
  for (int y = 0; y < screenH_; ++y) {
    const int k = ClampRun(spans[y], screenW_);
    CopyRun(new_, 0, y, k);
    CopyRun(old_, k, y, screenW_ - k);
  }
}

void CEffectSimpleWipeShape::BltSpanMulti() {
  const int entries = EntriesPerLine();
  if (entries == 1) {
    BltSpan1();
    return;
  }
  const int32_t* spans = Spans();
  if (!spans || !Prepared32()) return;
  for (int y = 0; y < screenH_; ++y) {
    const int32_t* line = spans + static_cast<size_t>(y) * entries;
    int x = 0;
    for (int i = 0; i < entries; ++i) {
      const int n = ClampRun(line[i], screenW_ - x);
      CopyRun(i % 2 ? new_ : old_, x, y, n);
      x += n;
    }
  }
}

void CEffectSimpleWipeShape::BltSpanSoft() {
  const int32_t* spans = Spans();
  if (!spans || !Prepared32()) return;
  const int step = WipeAlphaStep(blendWidth_);
  for (int y = 0; y < screenH_; ++y) {
    const int32_t* line = spans + static_cast<size_t>(y) * 4;
    int x = 0;
    const int newRun = ClampRun(line[0], screenW_);
    CopyRun(new_, 0, y, newRun);
    x += newRun;
    const int blendRun = ClampRun(line[1], screenW_ - x);
    wipespan::BlendRun(ScreenRow(y) + x, NewRow(y) + x, OldRow(y) + x, blendRun,
                       std::clamp(line[2], 0, 256), step);
    x += blendRun;
    CopyRun(old_, x, y, ClampRun(line[3], screenW_ - x));
  }
}

namespace wipespan {

namespace {

// The weights of one pixel; the old one stops at 256 on runs longer than
// a shape makes (where the sum of the two would pass 256).
struct Weights {
  int n, o, step;
  void Next() {
    n = std::max(n - step, 0);
    o = std::min(o + step, 256);
  }
};

uint32_t BlendPixel(uint32_t n, uint32_t o, const Weights& w) {
  return blendrows::PerChannel([&](int c) {
    return blendrows::Saturate(((blendrows::Channel(n, c) * w.n) >> 8) +
                               ((blendrows::Channel(o, c) * w.o) >> 8));
  });
}

}  // namespace

void BlendRunPlain(uint32_t* dst, const uint32_t* newRow, const uint32_t* oldRow, int n, int a,
                   int step) {
  Weights w{a, 256 - a, step};
  for (int i = 0; i < n; ++i, w.Next()) dst[i] = BlendPixel(newRow[i], oldRow[i], w);
}

void BlendRun(uint32_t* dst, const uint32_t* newRow, const uint32_t* oldRow, int n, int a,
              int step) {
  Weights w{a, 256 - a, step};
  int i = 0;
#if defined(__SSE2__)
  // Four pixels at a time in 16-bit lanes: products stay at or below
  // 65280 and each half sum at or below 510, which packing saturates.
  const __m128i zero = _mm_setzero_si128();
  for (; i + 4 <= n; i += 4) {
    int16_t wn[4], wo[4];
    for (int k = 0; k < 4; ++k, w.Next()) {
      wn[k] = static_cast<int16_t>(w.n);
      wo[k] = static_cast<int16_t>(w.o);
    }
    auto half = [&](__m128i nv, __m128i ov, int k) {
      const __m128i kn =
          _mm_set_epi16(wn[k + 1], wn[k + 1], wn[k + 1], wn[k + 1], wn[k], wn[k], wn[k], wn[k]);
      const __m128i ko =
          _mm_set_epi16(wo[k + 1], wo[k + 1], wo[k + 1], wo[k + 1], wo[k], wo[k], wo[k], wo[k]);
      return _mm_add_epi16(_mm_srli_epi16(_mm_mullo_epi16(nv, kn), 8),
                           _mm_srli_epi16(_mm_mullo_epi16(ov, ko), 8));
    };
    const __m128i nv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(newRow + i));
    const __m128i ov = _mm_loadu_si128(reinterpret_cast<const __m128i*>(oldRow + i));
    const __m128i lo = half(_mm_unpacklo_epi8(nv, zero), _mm_unpacklo_epi8(ov, zero), 0);
    const __m128i hi = half(_mm_unpackhi_epi8(nv, zero), _mm_unpackhi_epi8(ov, zero), 2);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(lo, hi));
  }
#endif
  for (; i < n; ++i, w.Next()) dst[i] = BlendPixel(newRow[i], oldRow[i], w);
}

}  // namespace wipespan
