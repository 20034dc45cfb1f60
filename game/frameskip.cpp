#include "game/frameskip.h"

#include <climits>
#include <cstdint>

namespace {

int Saturate(int64_t v) {
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

}  // namespace

CFrameSkip::CFrameSkip() { Reset(); }

void CFrameSkip::Advance(int elapsed) {
  touched_ = 0;
  lag_ = Saturate(static_cast<int64_t>(lag_) + elapsed);
  if (lag_ < period_) {
    skip_ = 0;
    return;
  }
  const int64_t step = static_cast<int64_t>(adjust_) * period_;
  if (skip_ * step < lag_) ++skip_;
  if (skip_ > 1 && lag_ < (skip_ - 1) * step) --skip_;
  if (skip_ > maxSkip_) skip_ = maxSkip_;
}

void CFrameSkip::Consume(int frames) {
  const int64_t lag = static_cast<int64_t>(lag_) - static_cast<int64_t>(frames) * period_;
  lag_ = Saturate(lag < -static_cast<int64_t>(period_) ? -static_cast<int64_t>(period_) : lag);
  touched_ = 1;
}

void CFrameSkip::Reset() {
  lag_ = 0;
  skip_ = 0;
  touched_ = 1;
}

void CFrameSkip::Close() {
  if (!touched_) Reset();
}

int CFrameSkip::GetSkipCount(int value) const {
  return value < 0 || value >= skip_ ? skip_ : value;
}
