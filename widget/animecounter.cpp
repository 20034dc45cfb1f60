#include "widget/animecounter.h"

#include <algorithm>

CAnimeCounter::CAnimeCounter() {
  Set(0, 1, 1);
  SetCount(0);
  Calcu(0);
}

void CAnimeCounter::Set(int type, int patterns, int framesPerPattern) {
  type_ = type;
  patterns_ = patterns;
  framesPerPattern_ = framesPerPattern;
}

void CAnimeCounter::SetCount(int n) {
  count_ = n;
  pattern_ = nextPattern_ = 0;
  percent_ = 100;
}

int CAnimeCounter::Calcu(int n) {
  // At least one pattern of at least one frame; a cycle that would not fit
  // in 32 bits is cut there.
  const int64_t p = std::max(patterns_, 1);
  const int64_t s = std::max(framesPerPattern_, 1);
  const bool backAndForth = type_ == 3 || type_ == 4 || type_ == 7 || type_ == 8;
  const bool once = type_ == 2 || type_ == 4 || type_ == 6 || type_ == 8;
  const int64_t g = backAndForth ? std::max<int64_t>(2 * p - 2, 1) : p;
  const int64_t h = std::min<int64_t>(s * g, INT32_MAX);

  const int64_t a = static_cast<int64_t>(count_) + n;
  int64_t count = once ? std::min(a, h) : a % h;
  if (count < 0) count = once ? 0 : count + h;
  count_ = static_cast<int>(count);

  int64_t m = count / s, o = m + 1;
  if (once) {
    const int64_t hold = backAndForth ? g : g - 1;
    m = std::min(m, hold);
    o = std::min(o, hold);
  }
  o %= g;
  if (backAndForth) {
    if (m >= p) m = 2 * p - 2 - m;
    if (o >= p) o = 2 * p - 2 - o;
  }
  percent_ = type_ < 5 ? 100 : static_cast<int>((s - count % s) * 100 / s);
  pattern_ = static_cast<int>(m);
  nextPattern_ = static_cast<int>(o);
  return a >= h ? 1 : 0;
}
