#include "effect/wipecommon.h"

#include <algorithm>
#include <cstring>
#include <utility>

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
    const int bytes = is256 ? 1 : 4;
    w->pitch = w->width * bytes;
    w->first = p->GetBuffer() +
               (static_cast<size_t>(w->y) * w->width + static_cast<size_t>(w->x)) * bytes;
  }
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
  if (!owner_ || owner_->GetSpanBufferInts() < screenH_ * 8) return nullptr;
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
  line[2] = l >= 0 ? 256
                   : static_cast<int>(std::clamp<int64_t>(256 + l * WipeAlphaStep(blendWidth_), 0, 256));
  line[3] = static_cast<int>(std::max<int64_t>(w - e, 0));
}

void CEffectSimpleWipeShape::BltSpan1() {
  const int32_t* spans = Spans();
  if (!spans) return;
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
  if (!spans) return;
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
  if (!spans) return;
  const int step = WipeAlphaStep(blendWidth_);
  for (int y = 0; y < screenH_; ++y) {
    const int32_t* line = spans + static_cast<size_t>(y) * 4;
    int x = 0;
    const int newRun = ClampRun(line[0], screenW_);
    CopyRun(new_, 0, y, newRun);
    x += newRun;
    const int blendRun = ClampRun(line[1], screenW_ - x);
    int newWeight = std::clamp(line[2], 0, 256);
    int oldWeight = 256 - newWeight;
    uint32_t* dst = ScreenRow(y) + x;
    const uint32_t* n = NewRow(y) + x;
    const uint32_t* o = OldRow(y) + x;
    for (int i = 0; i < blendRun; ++i) {
      dst[i] = blendrows::PerChannel([&](int c) {
        return blendrows::Saturate(((blendrows::Channel(n[i], c) * newWeight) >> 8) +
                                   ((blendrows::Channel(o[i], c) * oldWeight) >> 8));
      });
      newWeight = std::max(newWeight - step, 0);
      // The weights keep their sum of 256 on every run a shape can make;
      // the old one stops at 256 on longer ones.
      oldWeight = std::min(oldWeight + step, 256);
    }
    x += blendRun;
    CopyRun(old_, x, y, ClampRun(line[3], screenW_ - x));
  }
}
