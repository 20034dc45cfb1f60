#include "widget/anime.h"

#include <algorithm>

#include "graphics/picture.h"

namespace anime {

bool IsBackAndForth(int type) { return type == 3 || type == 4 || type == 7 || type == 8; }
bool IsStopping(int type) { return type == 2 || type == 4 || type == 6 || type == 8; }
bool IsCrossFading(int type) { return type >= 5 && type <= 8; }

int64_t FrameCount(int pattern, int type) {
  const int64_t c = std::max(pattern, 1);
  return IsBackAndForth(type) ? std::max<int64_t>(2 * c - 2, 1) : c;
}

int64_t Length(int pattern, int speed, int type) {
  return FrameCount(pattern, type) * std::max(speed, 1);
}

Frame Calcu(int pattern, int speed, int type, int64_t counter) {
  const int64_t c = std::max(pattern, 1);
  const int64_t d = std::max(speed, 1);
  const int64_t f = FrameCount(pattern, type);
  const int64_t k = std::max<int64_t>(counter, 0);
  int64_t g = k / d;
  int64_t h = g + 1;
  if (IsStopping(type)) {
    // Past the end: the last frame, which for back and forth folds to 0.
    const int64_t last = IsBackAndForth(type) ? f : f - 1;
    if (g >= f) g = last;
    if (h >= f) h = last;
  } else {
    g %= f;
  }
  h %= f;
  auto fold = [&](int64_t i) {
    if (c == 1) return int64_t{0};
    return IsBackAndForth(type) && i >= c ? 2 * c - 2 - i : i;
  };
  Frame frame;
  frame.current = static_cast<int>(fold(g));
  frame.next = static_cast<int>(fold(h));
  frame.percent = IsCrossFading(type) ? static_cast<int>((d - k % d) * 100 / d) : 100;
  return frame;
}

int64_t Add(int64_t counter, int64_t step, int pattern, int speed, int type) {
  const int64_t length = Length(pattern, speed, type);
  int64_t k = counter + step;
  if (IsStopping(type)) return std::clamp<int64_t>(k, 0, length);
  k %= length;
  return k < 0 ? k + length : k;
}

void DrawFrame(CPicture* picture, int x, int y, platform::Point current, platform::Point next, int w,
               int h, int percent, int trans, bool fade) {
  if (!picture) return;
  if (percent <= 0) {
    picture->Blt(x, y, next.x, next.y, w, h, trans);
  } else if (percent >= 100 || !fade || !picture->GetMaskFlag()) {
    picture->Blt(x, y, current.x, current.y, w, h, trans);
  } else {
    picture->ChangeTransLucentBlt(x, y, current.x, current.y, w, h, percent, 100 - percent, picture,
                                  next.x, next.y);
  }
}

}  // namespace anime
