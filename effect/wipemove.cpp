#include "effect/wipemove.h"

#include <algorithm>
#include <limits>

#include "effect/allwipe.h"
#include "effect/wipeshape.h"
#include "graphics/picture.h"

namespace {

int ToInt(int64_t v) {
  return static_cast<int>(std::clamp<int64_t>(v, std::numeric_limits<int>::min(),
                                              std::numeric_limits<int>::max()));
}

// A step of `range` scaled by p / m (m >= 1), in 64 bits.
int64_t Scaled(int64_t range, int64_t p, int64_t m) { return range * p / m; }

}  // namespace

void CMovePictureWipe::Blt(const Window& from, int64_t x, int64_t y, int64_t sx, int64_t sy,
                           int64_t w, int64_t h) {
  if (w <= 0 || h <= 0 || !from.picture) return;
  from.picture->Blt(ToInt(x), ToInt(y), ToInt(sx + from.x), ToInt(sy + from.y), ToInt(w),
                    ToInt(h), 0);
}

void CMovePictureWipe::PlayReversed() {
  if (!reverse_) return;
  SwapPicture();
  progress_ = std::max(max_ - progress_, 0);
}

// --- #10-#17 move ---

CEffectSimpleWipeMove::CEffectSimpleWipeMove(CAllWipe* owner, const WipeArgs& args)
    : CMovePictureWipe(owner), direction_(args.arg1) {
  accept256_ = 1;
  SetReverseFlag(args.reverse);
}

void CEffectSimpleWipeMove::Print(CPicture* oldPicture, CPicture* newPicture, int progress,
                                  int max, const int* oldOffset, const int* newOffset) {
  if (!SetPicture(oldPicture, newPicture, progress, max, oldOffset, newOffset)) return;
  PlayReversed();
  const int64_t w = screenW_, h = screenH_, o = max_ - progress_;
  const int64_t t = Scaled(h, o, max_), v = Scaled(w, o, max_);
  // The old picture stays in place; only its uncovered part is drawn.
  switch (direction_) {
    case 0:
      Blt(old_, 0, h - t, 0, h - t, w, t);
      Blt(new_, 0, -t, 0, 0, w, h);
      break;
    case 1:
      Blt(old_, 0, 0, 0, 0, v, h);
      Blt(new_, v, 0, 0, 0, w, h);
      break;
    case 2:
      Blt(old_, 0, 0, 0, 0, w, t);
      Blt(new_, 0, t, 0, 0, w, h);
      break;
    case 3:
      Blt(old_, w - v, 0, w - v, 0, v, h);
      Blt(new_, -v, 0, 0, 0, w, h);
      break;
    default:
      break;
  }
}

// --- #18-#21 doors ---

CEffectSimpleWipeDoor::CEffectSimpleWipeDoor(CAllWipe* owner, const WipeArgs& args)
    : CMovePictureWipe(owner), mode_(args.arg1) {
  accept256_ = 1;
  SetReverseFlag(args.reverse);
}

void CEffectSimpleWipeDoor::Print(CPicture* oldPicture, CPicture* newPicture, int progress,
                                  int max, const int* oldOffset, const int* newOffset) {
  if (!SetPicture(oldPicture, newPicture, progress, max, oldOffset, newOffset)) return;
  PlayReversed();
  const int64_t w = screenW_, h = screenH_, open = max_ - progress_;
  if (mode_ == 1) {
    const int64_t c = Scaled(w / 2, open, max_);
    Blt(old_, w / 2 - c, 0, w / 2 - c, 0, 2 * c, h);
    Blt(new_, -c, 0, 0, 0, w / 2, h);
    Blt(new_, w / 2 + c, 0, w / 2, 0, w - w / 2, h);
  } else if (mode_ == 0) {
    const int64_t f = Scaled(h / 2, open, max_);
    Blt(old_, 0, h / 2 - f, 0, h / 2 - f, w, 2 * f);
    Blt(new_, 0, -f, 0, 0, w, h / 2);
    Blt(new_, 0, h / 2 + f, 0, h / 2, w, h - h / 2);
  }
}

// --- #61-#64 push ---

CEffectSimpleWipeTokoroten::CEffectSimpleWipeTokoroten(CAllWipe* owner, const WipeArgs& args)
    : CMovePictureWipe(owner), direction_(args.arg1) {
  accept256_ = 1;
}

void CEffectSimpleWipeTokoroten::Print(CPicture* oldPicture, CPicture* newPicture, int progress,
                                       int max, const int* oldOffset, const int* newOffset) {
  static constexpr int kDirections[4][2] = {{0, 1}, {-1, 0}, {0, -1}, {1, 0}};
  if (direction_ < 0 || direction_ > 3) return;
  if (!SetPicture(oldPicture, newPicture, progress, max, oldOffset, newOffset)) return;
  const int64_t w = screenW_, h = screenH_;
  const int64_t ex = kDirections[direction_][0], ey = kDirections[direction_][1];
  const int64_t m = Scaled(w * ex, progress_, max_), n = Scaled(h * ey, progress_, max_);
  Blt(old_, m, n, 0, 0, w, h);
  Blt(new_, m - w * ex, n - h * ey, 0, 0, w, h);
}

// --- #23, #73 fall ---

CEffectSimpleWipeGrav::CEffectSimpleWipeGrav(CAllWipe* owner, const WipeArgs& args)
    : CMovePictureWipe(owner), mode_(args.arg1) {
  accept256_ = 1;
}

int CEffectSimpleWipeGrav::Gap(int p, int m, int h0) {
  // The fall takes 9/17 of the time, the bounces 6/17 and 2/17.
  const int64_t f = std::max<int64_t>(int64_t{m} * 9 / 17, 1);
  const int64_t g = std::max<int64_t>(int64_t{m} * 6 / 17, 1);
  const double height = h0;
  double h = 0;
  if (p < f) {
    const double r = static_cast<double>(p) / static_cast<double>(f);
    h = (1 - r * r) * height;
  } else {
    const double l = 2 * height / (static_cast<double>(f) * static_cast<double>(f));
    const double v = static_cast<double>(f) * l / 3;  // a third of the impact speed
    if (p < f + g) {
      const double s = static_cast<double>(p - f);
      h = v * s - l * s * s / 2;
    } else if (p < m && m - f - g >= 0) {
      const double s = static_cast<double>(p - f - g);
      h = v / 3 * s - l * s * s / 2;
    }
  }
  return static_cast<int>(std::clamp<int64_t>(wipeshape::RoundHalfUp(h), 0, h0));
}

void CEffectSimpleWipeGrav::Print(CPicture* oldPicture, CPicture* newPicture, int progress,
                                  int max, const int* oldOffset, const int* newOffset) {
  if (!SetPicture(oldPicture, newPicture, progress, max, oldOffset, newOffset)) return;
  const int64_t w = screenW_, h0 = screenH_, h = Gap(progress_, max_, screenH_);
  if (mode_ == 0) {
    Blt(old_, 0, h0 - h, 0, h0 - h, w, h);
    Blt(new_, 0, -h, 0, 0, w, h0);
  } else if (mode_ == 1) {
    Blt(old_, 0, h0 - h, 0, 0, w, h0);
    Blt(new_, 0, 0, 0, 0, w, h0 - h);
  }
}

// --- #69-#72, #74-#77 slot reels ---

CEffectSimpleWipeSlot::CEffectSimpleWipeSlot(CAllWipe* owner, const WipeArgs& args)
    : CMovePictureWipe(owner), strips_(args.arg1), rows_(args.arg2) {
  accept256_ = 1;
}

int64_t CEffectSimpleWipeSlot::Position(int i, int n, int64_t s, int p, int m) {
  static constexpr int64_t kSpeed[5] = {2, 3, 5, 4, 1};
  if (s <= 0) return 0;
  int64_t d = int64_t{m} - 1 + i - n;
  if (d <= 0) d = 1;
  const int64_t e = std::clamp<int64_t>(d - p, 0, d);
  // E^2 (2c + 1) S passes 64 bits for maxima near the int range: the
  // product is taken in 128 bits.
  const __int128 travel = static_cast<__int128>(e) * e * (2 * kSpeed[i % 5] + 1) * s;
  int64_t t = static_cast<int64_t>(travel / (static_cast<__int128>(d) * d) % (2 * s));
  if (i % 2) t = (2 * s - t) % (2 * s);
  return (s + t) % (2 * s);
}

void CEffectSimpleWipeSlot::Print(CPicture* oldPicture, CPicture* newPicture, int progress,
                                  int max, const int* oldOffset, const int* newOffset) {
  if (!SetPicture(oldPicture, newPicture, progress, max, oldOffset, newOffset)) return;
  const int64_t w = screenW_, h = screenH_;
  if (progress_ >= max_ - 1) {
    Blt(new_, 0, 0, 0, 0, w, h);
    return;
  }
  const int n = std::clamp(strips_, 1, 5);
  const int64_t s = rows_ ? w : h;                  // the length of the motion
  const int64_t across = (rows_ ? h : w) / n;       // a strip's breadth
  for (int i = 0; i < n; ++i) {
    const int64_t from = i * across;
    const int64_t breadth = i == n - 1 ? (rows_ ? h : w) - from : across;
    const int64_t u = Position(i, n, s, progress_, max_);
    const Window* pictures[4] = {&old_, &new_, &old_, &new_};
    for (int k = 0; k < 4; ++k) {
      const int64_t at = u + (k - 2) * s;
      if (rows_)
        Blt(*pictures[k], at, from, 0, from, w, breadth);
      else
        Blt(*pictures[k], from, at, from, 0, breadth, h);
    }
  }
}

// --- #84-#87 box from the centre ---

CEffectSimpleWipeCenter::CEffectSimpleWipeCenter(CAllWipe* owner, const WipeArgs& args)
    : CMovePictureWipe(owner), mode_(args.arg1) {
  SetReverseFlag(args.reverse);
}

void CEffectSimpleWipeCenter::Print(CPicture* oldPicture, CPicture* newPicture, int progress,
                                    int max, const int* oldOffset, const int* newOffset) {
  if (!SetPicture(oldPicture, newPicture, progress, max, oldOffset, newOffset)) return;
  PlayReversed();
  const int64_t w = screenW_, h = screenH_, p = progress_;
  if (p <= 0) {
    Blt(old_, 0, 0, 0, 0, w, h);
    return;
  }
  if (p >= max_) {
    Blt(new_, 0, 0, 0, 0, w, h);
    return;
  }
  const int64_t bh = Scaled(h, p, max_), bw = Scaled(w, p, max_) / 2;
  const int64_t left = std::max<int64_t>(w / 2 - bw, 0), right = std::min<int64_t>(w / 2 + bw, w);
  const int64_t top = std::max<int64_t>(h / 2 - bh / 2, 0);
  const int64_t bottom = std::min<int64_t>(h / 2 + bh / 2, h);
  if (mode_ == 1) {
    Blt(old_, 0, 0, 0, 0, w, h);
  } else {
    // The old picture only around the box.
    Blt(old_, 0, 0, 0, 0, w, top);
    Blt(old_, 0, bottom, 0, bottom, w, h - bottom);
    Blt(old_, 0, top, 0, top, left, bottom - top);
    Blt(old_, right, top, right, top, w - right, bottom - top);
  }
  if (right > left && bottom > top)
    new_.picture->StretchBlt(ToInt(left), ToInt(top), ToInt(right - left), ToInt(bottom - top),
                             new_.x, new_.y, screenW_, screenH_,
                             mode_ == 1 ? ToInt(Scaled(100, p, max_)) : 100, mode_ == 1 ? 1 : 0);
}

// --- #80-#83 zoom ---

CEffectSimpleWipeZoom::CEffectSimpleWipeZoom(CAllWipe* owner, const WipeArgs& args)
    : CMovePictureWipe(owner), zoom_(std::max(args.arg1, 1)) {}

void CEffectSimpleWipeZoom::Print(CPicture* oldPicture, CPicture* newPicture, int progress,
                                  int max, const int* oldOffset, const int* newOffset) {
  if (!SetPicture(oldPicture, newPicture, progress, max, oldOffset, newOffset) || !Prepared32())
    return;
  const int64_t w = screenW_, h = screenH_, z = zoom_;
  const int64_t half = std::max(max_ / 2, 1);
  int64_t p = progress_;
  // The first half zooms into the old picture, the second out of the new.
  if (p >= half) {
    SwapPicture();
    p = std::min<int64_t>(max_ - p, half);
  }
  const int64_t left = std::max<int64_t>(Scaled(w / 2 - w / z / 2, p, half), 0);
  const int64_t top = std::max<int64_t>(Scaled(h / 2 - h / z / 2, p, half), 0);
  const int64_t right = std::min<int64_t>(w + Scaled(w / 2 + w / z / 2 - w, p, half), w);
  const int64_t bottom = std::min<int64_t>(h + Scaled(h / 2 + h / z / 2 - h, p, half), h);
  if (right <= left || bottom <= top) return;
  // Nearest neighbour in 16.16: the source moves on by the carry of
  // fraction + step after each pixel and each line.
  const uint64_t sx = static_cast<uint64_t>(right - left) * 65536 / static_cast<uint64_t>(w);
  const uint64_t sy = static_cast<uint64_t>(bottom - top) * 65536 / static_cast<uint64_t>(h);
  columns_.resize(static_cast<size_t>(w));
  uint64_t fraction = 0;
  int64_t column = left;
  for (int64_t x = 0; x < w; ++x) {
    columns_[static_cast<size_t>(x)] = static_cast<int32_t>(column);
    fraction += sx;
    column += static_cast<int64_t>(fraction >> 16);
    fraction &= 0xFFFF;
  }
  fraction = 0;
  int64_t row = top;
  for (int y = 0; y < screenH_; ++y) {
    const uint32_t* src = OldRow(static_cast<int>(row));
    uint32_t* dst = ScreenRow(y);
    for (int64_t x = 0; x < w; ++x) dst[x] = src[columns_[static_cast<size_t>(x)]];
    fraction += sy;
    row += static_cast<int64_t>(fraction >> 16);
    fraction &= 0xFFFF;
  }
}
