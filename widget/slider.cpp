#include "widget/slider.h"

#include <algorithm>
#include <climits>

#include "input/inputstatus.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "platform/types.h"

namespace {

int Saturate(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

}  // namespace

CCommonSlider::CCommonSlider(CPicture* bar, int max, int x, int y, int width, int height, int srcX,
                             int srcY, int transFlag, CPicture* back, int spare)
    : bar_(bar),
      back_(back),
      max_(max > 0 ? max : 1),
      x_(x),
      y_(y),
      width_(width),
      height_(height),
      srcX_(srcX),
      srcY_(srcY),
      transFlag_(transFlag),
      spare_(spare) {}

CCommonSlider::~CCommonSlider() = default;

void CCommonSlider::SetKnob(CPicture* knob, int offsetX, int offsetY, int knobWidth, int knobHeight,
                            int knobFlag) {
  knob_ = knob;
  knobOffsetX_ = offsetX;
  knobOffsetY_ = offsetY;
  knobWidth_ = knobWidth;
  knobHeight_ = knobHeight;
  knobFlag_ = knobFlag;
}

void CCommonSlider::SetValue(int value) {
  value_ = value;
  previous_ = -1;
  dragging_ = 0;
}

int CCommonSlider::ValueAt(int x) const {
  // A bar narrower than one pixel counts as one.
  const int64_t width = std::max(width_, 1);
  const int64_t a = std::clamp<int64_t>(int64_t{x} - x_, 0, width);
  return static_cast<int>(std::clamp<int64_t>((a * max_ + width / 2) / width, 0, max_));
}

int CCommonSlider::CheckHit(int x, int y) const {
  int64_t top = y_, bottom = int64_t{y_} + height_;
  if (knobFlag_) {
    top = std::min(top, int64_t{y_} + knobOffsetY_);
    bottom = std::max(bottom, int64_t{y_} + knobOffsetY_ + knobHeight_);
  }
  const int64_t rx = int64_t{x} - x_;
  return rx >= 0 && rx <= width_ && y >= top && y <= bottom;
}

int CCommonSlider::Calcu(const CMouseStatus* mouse) {
  if (!mouse) return -1;
  previous_ = value_;
  platform::Point at;
  mouse->GetPos(&at);
  if (dragging_) {
    value_ = ValueAt(at.x);
    if (!mouse->GetTrig(0)) dragging_ = 0;
    return value_;
  }
  if (mouse->GetClick(0) && CheckHit(at.x, at.y)) {
    value_ = ValueAt(at.x);
    dragging_ = 1;
    return value_;
  }
  return -1;
}

void CCommonSlider::KnobRect(int v, int64_t* rect) const {
  rect[0] = int64_t{x_} + knobOffsetX_ + int64_t{width_} * v / max_;
  rect[1] = int64_t{y_} + knobOffsetY_;
  rect[2] = knobWidth_;
  rect[3] = knobHeight_;
}

void CCommonSlider::Restore(const int64_t* rect) const {
  const int x = Saturate(rect[0]), y = Saturate(rect[1]);
  const int w = Saturate(rect[2]), h = Saturate(rect[3]);
  back_->Blt(x, y, x, y, w, h, 0);
  CScreenBuffer::AddDirtyRect(x, y, w, h);
}

void CCommonSlider::Print(int force, int mode) {
  const bool full = CScreenBuffer::CheckFullRedraw() != 0;
  const bool changed = previous_ != value_;
  if (!full && !changed && !force) return;
  int64_t rect[4] = {x_, y_, width_, height_};
  if (back_) {
    Restore(rect);
    if (knobFlag_) {
      if (previous_ != -1) {
        KnobRect(previous_, rect);
        Restore(rect);
      }
      KnobRect(value_, rect);
      Restore(rect);
    }
  }
  const int filled = Saturate(int64_t{width_} * value_ / max_);
  if (bar_ && filled > 0) {
    if (mode == 1) {
      if (transFlag_)
        bar_->TransLucentBlt3(x_, y_, srcX_, srcY_, filled, height_, 50);
      else
        bar_->TransLucentBlt0(x_, y_, srcX_, srcY_, filled, height_, 50);
    } else {
      bar_->Blt(x_, y_, srcX_, srcY_, filled, height_, transFlag_);
    }
  }
  if (knobFlag_ && knob_) {
    KnobRect(value_, rect);
    knob_->Blt(Saturate(rect[0]), Saturate(rect[1]), 0, 0, knobWidth_, knobHeight_, 1);
  }
}
