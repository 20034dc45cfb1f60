#include "minigame/nurie.h"

#include <algorithm>
#include <cmath>

#include "input/inputstatus.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "minigame/puzzlecommon.h"
#include "setup/random.h"

void NurieBrush::Make() {
  for (int r = 0; r < kSize; ++r) {
    for (int c = 0; c < kSize; ++c) {
      const int d2 = (r - 32) * (r - 32) + (c - 32) * (c - 32);
      const int a = static_cast<int>(std::sqrt(1.5 * d2));
      strength[r * kSize + c] = a < 48 ? static_cast<uint8_t>(50 - a + crt::rand() % 5) : 0;
    }
  }
}

NurieBrush::Rect NurieBrush::Paint(uint32_t* canvas, int canvasW, int canvasH, const uint32_t* source,
                                   int sourceW, int sourceH, int screenW, int screenH, int cx,
                                   int cy) const {
  Rect r;
  if (!canvas || !source) return r;
  // Far-off positions are clamped first so the sums below cannot overflow.
  const int left = std::clamp(cx, -kSize, screenW + kSize) - kSize / 2;
  const int top = std::clamp(cy, -kSize, screenH + kSize) - kSize / 2;
  const int right = std::min({left + kSize, screenW, canvasW, sourceW});
  const int bottom = std::min({top + kSize, screenH, canvasH, sourceH});
  const int x0 = std::max(left, 0), y0 = std::max(top, 0);
  if (x0 >= right || y0 >= bottom) return r;
  for (int y = y0; y < bottom; ++y) {
    const uint8_t* b = &strength[(y - top) * kSize];
    uint32_t* dst = canvas + static_cast<size_t>(y) * canvasW;
    const uint32_t* src = source + static_cast<size_t>(y) * sourceW;
    for (int x = x0; x < right; ++x) {
      const uint32_t s = b[x - left];
      if (s == 0) continue;
      uint32_t out = 0;
      for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t sc = (src[x] >> shift) & 0xFF, dc = (dst[x] >> shift) & 0xFF;
        out |= ((sc * s + dc * (256 - s)) / 256) << shift;
      }
      dst[x] = out;
    }
  }
  r = {x0, y0, right - x0, bottom - y0};
  return r;
}

CMiniGameNurie::CMiniGameNurie(CAllMiniGame* holder) : CMiniGameBase(holder) { brush_.Make(); }

CMiniGameNurie::~CMiniGameNurie() { Release(); }

int CMiniGameNurie::Init() {
  started_ = false;
  painted_ = false;
  lastX_ = lastY_ = -1;
  CScreenBuffer::SetFullRedraw(0);
  return -1;
}

namespace {

// The 32-bit pixels of a picture, null for a missing, empty or 8-bit one.
uint32_t* Pixels(const CPicture* picture) {
  if (!picture || !picture->GetBuffer() || picture->Get256Flag()) return nullptr;
  return picture->GetPixelBuffer();
}

}  // namespace

int CMiniGameNurie::Calcu() {
  CPicture* canvas = screenPicture_;
  if (!started_) {
    // The canvas becomes picture 1 as the screen shows it.
    started_ = true;
    if (picture_[1]) picture_[1]->Put(0, 0, 0);
    if (canvas) canvas->GetScreen();
  }
  painted_ = false;
  if (!mouseStatus_) return -1;
  CPicture* source = nullptr;
  if (mouseStatus_->GetClick(0) || mouseStatus_->GetTrig(0)) source = picture_[0];
  else if (mouseStatus_->GetClick(1) || mouseStatus_->GetTrig(1)) source = picture_[1];
  else return -1;
  const platform::Point m = puzzle::MousePos(mouseStatus_);
  lastX_ = m.x;
  lastY_ = m.y;
  const uint32_t* src = Pixels(source);
  uint32_t* dst = Pixels(canvas);
  if (!src || !dst) return -1;
  paintedRect_ = brush_.Paint(dst, canvas->GetWidth(), canvas->GetHeight(), src, source->GetWidth(),
                              source->GetHeight(), CScreenBuffer::GetWidth(),
                              CScreenBuffer::GetHeight(), m.x, m.y);
  painted_ = paintedRect_.w > 0;
  return -1;
}

int CMiniGameNurie::Print() {
  if (CScreenBuffer::CheckFullRedraw()) {
    puzzle::CopyCell(screenPicture_, 0, 0, 0, 0, CScreenBuffer::GetWidth(), CScreenBuffer::GetHeight());
  } else if (painted_) {
    const NurieBrush::Rect& r = paintedRect_;
    puzzle::CopyCell(screenPicture_, r.x, r.y, r.x, r.y, r.w, r.h);
  }
  return -1;
}
