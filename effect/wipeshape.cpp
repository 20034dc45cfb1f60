#include "effect/wipeshape.h"

#include <algorithm>
#include <cmath>

#include "effect/allwipe.h"

namespace {

// Degrees to radians, as the shapes have always turned them.
constexpr double kDegree = 0.017453277777777776;

}  // namespace

namespace wipeshape {

int64_t RoundHalfUp(double v) {
  constexpr double kLimit = 1099511627776.0;  // 2^40
  if (!(v > -kLimit)) return -(int64_t{1} << 40);
  if (!(v < kLimit)) return int64_t{1} << 40;
  return static_cast<int64_t>(v + 0.5);
}

void IntervalRuns(int32_t* line, int entries, int width, Interval* intervals, int n) {
  int kept = 0;
  for (int i = 0; i < n; ++i) {
    Interval v{std::max<int64_t>(intervals[i].a, 0), std::min<int64_t>(intervals[i].b, width - 1)};
    if (v.a <= v.b) intervals[kept++] = v;
  }
  std::sort(intervals, intervals + kept, [](const Interval& l, const Interval& r) {
    return l.a < r.a;
  });
  // Merge what touches or overlaps; what the line has no room for joins
  // the last interval it keeps.
  const int room = (entries - 1) / 2;  // old, new, ..., old
  int merged = 0;
  for (int i = 0; i < kept; ++i) {
    if (merged > 0 && (intervals[i].a <= intervals[merged - 1].b + 1 || merged == room)) {
      intervals[merged - 1].b = std::max(intervals[merged - 1].b, intervals[i].b);
    } else {
      intervals[merged++] = intervals[i];
    }
  }
  std::fill_n(line, entries, 0);
  int64_t x = 0;
  int e = 0;
  for (int i = 0; i < merged; ++i) {
    line[e++] = static_cast<int32_t>(intervals[i].a - x);
    line[e++] = static_cast<int32_t>(intervals[i].b - intervals[i].a + 1);
    x = intervals[i].b + 1;
  }
  if (e < entries) line[e] = static_cast<int32_t>(width - x);
}

}  // namespace wipeshape

using wipeshape::Interval;
using wipeshape::IntervalRuns;
using wipeshape::RoundHalfUp;

namespace {

// Every line of a six-run shape old, then zeros.
void ClearSixRuns(int32_t* spans, int w, int h) {
  for (int y = 0; y < h; ++y) {
    std::fill_n(spans + static_cast<size_t>(y) * 6, 6, 0);
    spans[static_cast<size_t>(y) * 6] = w;
  }
}

// Lines from..to (inclusive, clipped to the screen) of a six-run shape,
// each from the intervals that `make (y, intervals)` gives (it returns how
// many).
template <typename Make>
void Band(int32_t* spans, int w, int h, int64_t from, int64_t to, Make make) {
  for (int64_t y = std::max<int64_t>(from, 0); y <= std::min<int64_t>(to, h - 1); ++y) {
    Interval intervals[2];
    const int n = make(y, intervals);
    IntervalRuns(spans + static_cast<size_t>(y) * 6, 6, w, intervals, n);
  }
}

}  // namespace

// --- #6, #7 circle ---

CEffectSimpleWipeCircle::CEffectSimpleWipeCircle(CAllWipe* owner, const WipeArgs& args)
    : CEffectSimpleWipeShape(owner) {
  SetRunCount(4);
  SetReverseFlag(args.reverse);
}

void CEffectSimpleWipeCircle::CalcuSpan(int progress, int max) {
  int32_t* spans = Spans();
  if (!spans) return;
  const int64_t cx = screenW_ / 2, cy = screenH_ / 2;
  const int64_t r0 = static_cast<int64_t>(std::sqrt(static_cast<double>(cx * cx + cy * cy))) + 1;
  const int64_t r = int64_t{progress} * r0 / std::max(max, 1);
  for (int y = 0; y < screenH_; ++y) {
    int32_t* line = spans + static_cast<size_t>(y) * 4;
    const int64_t q = r * r - (y - cy) * (y - cy);
    const int64_t h = q > 0 ? RoundHalfUp(std::sqrt(static_cast<double>(q))) : -1;
    // With an odd width the last column stays as it was while the circle
    // is narrower than the screen.
    if (h < 0) {
      line[0] = screenW_, line[1] = 0, line[2] = 0, line[3] = 0;
    } else if (h < cx) {
      line[0] = static_cast<int32_t>(cx - h), line[1] = static_cast<int32_t>(2 * h);
      line[2] = static_cast<int32_t>(cx - h), line[3] = 0;
    } else {
      line[0] = 0, line[1] = screenW_, line[2] = 0, line[3] = 0;
    }
  }
}

// --- #9 clock ---

CEffectSimpleWipeClock::CEffectSimpleWipeClock(CAllWipe* owner, const WipeArgs&)
    : CEffectSimpleWipeShape(owner) {
  SetRunCount(4);
}

void CEffectSimpleWipeClock::CalcuSpan(int progress, int max) {
  int32_t* spans = Spans();
  if (!spans) return;
  const int w = screenW_, cx = screenW_ / 2, cy = screenH_ / 2;
  const int64_t p = progress, m = std::max(max, 1);
  const int64_t quarter = m / 4, half = m / 2, three = 3 * m / 4;
  double t = 0;
  if (p == quarter)
    t = cx + 1;
  else if (p == three)
    t = -(cx + 1);
  else
    t = std::tan(6.28318 * static_cast<double>(p) / static_cast<double>(m));
  for (int y = 0; y < screenH_; ++y) {
    int32_t* line = spans + static_cast<size_t>(y) * 4;
    auto runs = [&](int a, int b, int c, int d) {
      line[0] = a, line[1] = b, line[2] = c, line[3] = d;
    };
    if (p <= 0) {
      runs(w, 0, 0, 0);
      continue;
    }
    if (p >= m) {
      runs(0, w, 0, 0);
      continue;
    }
    // The hand's distance from the centre column on this line, limited to
    // the half-width before it becomes an int: near a quarter turn the
    // slope times the distance leaves the int range.
    double reach = std::abs(static_cast<double>(y - cy) * t);
    if (!(reach < cx)) reach = cx;
    const int h = std::min(static_cast<int>(RoundHalfUp(reach)), cx);
    const bool below = y > cy;
    if (p <= quarter)
      below ? runs(w, 0, 0, 0) : runs(cx, h, std::max(cx - h, 0), 0);
    else if (p <= half)
      below ? runs(cx + h, std::max(cx - h, 0), 0, 0) : runs(cx, cx, 0, 0);
    else if (p <= three)
      below ? runs(cx - h, std::min(cx + h, w), 0, 0) : runs(cx, cx, 0, 0);
    else
      below ? runs(0, w, 0, 0) : runs(0, std::max(cx - h, 0), h, cx);
  }
}

// --- #28, #29 star ---

CEffectSimpleWipeStar::CEffectSimpleWipeStar(CAllWipe* owner, const WipeArgs& args)
    : CEffectSimpleWipeShape(owner) {
  SetRunCount(6);
  SetReverseFlag(args.reverse);
}

void CEffectSimpleWipeStar::CalcuSpan(int progress, int max) {
  int32_t* spans = Spans();
  if (!spans) return;
  const int w = screenW_, h = screenH_;
  const int64_t cx = w / 2, cy = h / 2;
  ClearSixRuns(spans, w, h);
  const double outer = progress * (w * 1.8) / std::max(max, 1);
  const double inner = outer * (3 - std::sqrt(5.0)) / 2;
  if (!(outer > 0)) return;
  const double s18 = std::sin(0.314159), c18 = std::cos(0.314159);
  const double s36 = std::sin(0.628318), c36 = std::cos(0.628318);
  const int64_t top = RoundHalfUp(-outer);
  const int64_t arm = RoundHalfUp(-outer * s18);
  const int64_t armX = static_cast<int64_t>(-outer * c18);
  const int64_t notchX = RoundHalfUp(-inner * s36);
  const int64_t sideX = RoundHalfUp(-inner * c18);
  const int64_t sideY = RoundHalfUp(inner * s18);
  const int64_t bottom = RoundHalfUp(inner);
  const int64_t footX = RoundHalfUp(-outer * s36);
  const int64_t footY = RoundHalfUp(outer * c36);

  // The point: from the top down to the height of the arms.
  const int64_t u = std::max<int64_t>(arm - top - 1, 1);
  Band(spans, w, h, cy + top, cy + arm - 1, [&](int64_t y, Interval* out) {
    const int64_t d = notchX * (y - cy - top) / u;
    out[0] = {cx + d, cx - d};
    return 1;
  });
  // The arms: from their points in to the side corners.
  const int64_t v = std::max<int64_t>(sideY - arm - 1, 1);
  Band(spans, w, h, cy + arm, cy + sideY - 1, [&](int64_t y, Interval* out) {
    const int64_t d = armX + (sideX - armX) * (y - cy - arm) / v;
    out[0] = {cx + d, cx - d};
    return 1;
  });
  // The waist: from the side corners out toward the feet.
  const int64_t waist = std::max<int64_t>(footY - sideY, 1);
  Band(spans, w, h, cy + sideY, cy + bottom - 1, [&](int64_t y, Interval* out) {
    const int64_t d = sideX + (footX - sideX) * (y - cy - sideY) / waist;
    out[0] = {cx + d, cx - d};
    return 1;
  });
  // The legs: two intervals that part below the lowest inner corner.
  const int64_t leg = std::max<int64_t>(footY - sideY - 1, 1);
  const int64_t z = std::max<int64_t>(footY - bottom - 1, 1);
  Band(spans, w, h, cy + bottom, cy + footY - 1, [&](int64_t y, Interval* out) {
    const int64_t outside = sideX + (footX - sideX) * (y - cy - sideY) / leg;
    const int64_t inside = footX * (y - cy - bottom) / z;
    out[0] = {cx + outside, cx + inside};
    out[1] = {cx - inside, cx - outside};
    return 2;
  });
}

// --- #32, #33, #78, #79 turning star ---

CEffectSimpleWipeTurnStar::CEffectSimpleWipeTurnStar(CAllWipe* owner, const WipeArgs& args)
    : CEffectSimpleWipeShape(owner), turn_(args.arg1) {
  SetRunCount(6);
  SetReverseFlag(args.reverse);
}

void CEffectSimpleWipeTurnStar::CalcuSpan(int progress, int max) {
  int32_t* spans = Spans();
  if (!spans) return;
  const int w = screenW_, h = screenH_;
  const int64_t cx = w / 2, cy = h / 2;
  ClearSixRuns(spans, w, h);
  const int64_t p = progress, m = std::max(max, 1);
  const double outer = w * 1.8 * static_cast<double>(p) / static_cast<double>(m);
  const double inner = outer * (3 - std::sqrt(5.0)) / 2;
  if (!(outer > 0)) return;
  const int64_t theta = (turn_ ? p * 216 / m : p * 720 / m) % 72;
  // The ten corners in turn, outer and inner.
  int64_t vx[10], vy[10];
  for (int k = 0; k < 10; ++k) {
    const int64_t angle = (theta + 72 * (k / 2) + (k % 2 ? 234 : 198)) % 360;
    const double radius = k % 2 ? inner : outer;
    vx[k] = RoundHalfUp(cx + std::cos(angle * kDegree) * radius);
    vy[k] = RoundHalfUp(cy + std::sin(angle * kDegree) * radius);
  }
  // Each line's crossings with the ten edges, each edge from its upper end
  // and counted on lines y0 <= y < y1 so that a corner where the outline
  // goes on downward counts once; sorted, they pair up into intervals.
  for (int y = 0; y < h; ++y) {
    int64_t crossings[10];
    int n = 0;
    for (int k = 0; k < 10; ++k) {
      int64_t x0 = vx[k], y0 = vy[k], x1 = vx[(k + 1) % 10], y1 = vy[(k + 1) % 10];
      if (y0 > y1) std::swap(x0, x1), std::swap(y0, y1);
      if (y < y0 || y >= y1) continue;
      // Kept in order as they come (at most ten).
      const int64_t x = x0 + (x1 - x0) * (y - y0) / std::max<int64_t>(y1 - y0, 1);
      int at = n++;
      for (; at > 0 && crossings[at - 1] > x; --at) crossings[at] = crossings[at - 1];
      crossings[at] = x;
    }
    if (n == 0) continue;
    Interval intervals[5];
    int count = 0;
    for (int i = 0; i < n; i += 2)
      intervals[count++] = {crossings[i], i + 1 < n ? crossings[i + 1] - 1 : int64_t{w} - 1};
    IntervalRuns(spans + static_cast<size_t>(y) * 6, 6, w, intervals, count);
  }
}

// --- #30, #31 heart ---

CEffectSimpleWipeHeart::CEffectSimpleWipeHeart(CAllWipe* owner, const WipeArgs& args)
    : CEffectSimpleWipeShape(owner) {
  SetRunCount(6);
  SetReverseFlag(args.reverse);
}

void CEffectSimpleWipeHeart::CalcuSpan(int progress, int max) {
  int32_t* spans = Spans();
  if (!spans) return;
  const int w = screenW_, h = screenH_;
  const int64_t cx = w / 2, cy = h / 2;
  ClearSixRuns(spans, w, h);
  const double r = progress * (w * 0.6) / std::max(max, 1);
  // A heart of size 0 draws nothing (its inclusive intervals would mark
  // the centre).
  if (!(r > 0)) return;
  const double half = r * std::sqrt(2.0) / 2;
  const int64_t yc = cy + RoundHalfUp(-half);
  const int64_t top = cy + RoundHalfUp(-r - half);
  const int64_t a = RoundHalfUp(2 * r);
  const int64_t f = RoundHalfUp(-r - half);
  const double left = cx - r, right = cx + r;
  // The two lobes down to their centres' line.
  Band(spans, w, h, top, yc, [&](int64_t y, Interval* out) {
    const double d = static_cast<double>(yc - y);
    const double j = std::sqrt(std::max(r * r - d * d, 0.0));
    out[0] = {RoundHalfUp(left - j), RoundHalfUp(left + j)};
    out[1] = {RoundHalfUp(right - j), RoundHalfUp(right + j)};
    return 2;
  });
  // Below the lobes' centres the two lobes are one.
  Band(spans, w, h, yc + 1, cy, [&](int64_t y, Interval* out) {
    const double d = static_cast<double>(y - yc - 1);
    const double j = std::sqrt(std::max(r * r - d * d, 0.0));
    out[0] = {RoundHalfUp(left - j), RoundHalfUp(right + j)};
    return 1;
  });
  // The point: the half-width shrinks from -f to 0.
  const int64_t d = std::max<int64_t>(a - 1, 1);
  Band(spans, w, h, cy + 1, cy + a, [&](int64_t y, Interval* out) {
    const int64_t shrink = f * (y - cy - 1) / d;
    out[0] = {cx + f - shrink, cx - f + shrink};
    return 1;
  });
}

// --- #94, #95 two arrowheads ---

CEffectSimpleWipeWTogari::CEffectSimpleWipeWTogari(CAllWipe* owner, const WipeArgs& args)
    : CEffectSimpleWipeShape(owner) {
  SetRunCount(4);
  SetReverseFlag(args.reverse);
}

void CEffectSimpleWipeWTogari::CalcuSpan(int progress, int max) {
  int32_t* spans = Spans();
  if (!spans) return;
  const int64_t w = screenW_, h = screenH_;
  const int64_t a = int64_t{progress} * (h / 2 + w / 2) / std::max(max, 1);
  for (int64_t y = 0; y < h; ++y) {
    int32_t* line = spans + y * 4;
    const int64_t e = y < h / 2 ? y : h - y;
    const int64_t f = e + a - h / 2;
    const int64_t g = w + h / 2 - e - a;
    if (f < g) {
      const int64_t left = std::clamp<int64_t>(f, 0, w), right = std::clamp<int64_t>(g, left, w);
      line[0] = 0;
      line[1] = static_cast<int32_t>(left);
      line[2] = static_cast<int32_t>(right - left);
      line[3] = static_cast<int32_t>(w - right);
    } else {
      line[0] = 0, line[1] = static_cast<int32_t>(w), line[2] = 0, line[3] = 0;
    }
  }
}

// --- #88-#93 one arrowhead ---

CEffectSimpleWipeTogari::CEffectSimpleWipeTogari(CAllWipe* owner, const WipeArgs& args)
    : CEffectSimpleWipeShape(owner) {
  SetReverseFlag(args.reverse);
  SetSoftEdge(args.softEdge, args.blendWidth);
}

void CEffectSimpleWipeTogari::CalcuSpan(int progress, int max) {
  int32_t* spans = Spans();
  if (!spans) return;
  const int64_t w = screenW_, h = screenH_, bw = soft_ ? blendWidth_ : 0;
  const int64_t head = int64_t{progress} * (w + 2 * (h / 2) + bw) / std::max(max, 1);
  const int entries = EntriesPerLine();
  for (int64_t y = 0; y < h; ++y) {
    const int64_t t = y < h / 2 ? 2 * y : 2 * (h - y);
    // Reversed, the point turns the other way.
    const int64_t l = head - bw + (reverse_ ? -t : t - 2 * (h / 2));
    BoundaryEntries(spans + y * entries, l);
  }
}

// --- #65-#68 diagonal ---

CEffectSimpleWipeNaname::CEffectSimpleWipeNaname(CAllWipe* owner, const WipeArgs& args)
    : CEffectSimpleWipeShape(owner), direction_(args.arg1) {
  SetReverseFlag(args.arg1 / 2);
  SetSoftEdge(args.softEdge, args.blendWidth);
}

void CEffectSimpleWipeNaname::CalcuSpan(int progress, int max) {
  int32_t* spans = Spans();
  if (!spans) return;
  const int64_t w = screenW_, h = screenH_, bw = blendWidth_;
  const int64_t front = int64_t{progress} * (w + bw + h) / std::max(max, 1);
  const bool fromTop = direction_ == 0 || direction_ == 3;
  const int entries = EntriesPerLine();
  for (int64_t y = 0; y < h; ++y)
    BoundaryEntries(spans + y * entries, fromTop ? front - bw - y : y + front - h - bw);
}

// --- #24, #25, #48-#53 torn edge ---

CEffectSimpleWipeGaza::CEffectSimpleWipeGaza(CAllWipe* owner, const WipeArgs& args)
    : CEffectSimpleWipeShape(owner) {
  SetReverseFlag(args.reverse);
  SetSoftEdge(args.softEdge, args.blendWidth);
}

void CEffectSimpleWipeGaza::CalcuSpan(int progress, int max) {
  int32_t* spans = Spans();
  if (!spans || !owner_) return;
  const int32_t* random = owner_->GetRandomTable();
  // The table holds two values for each line of the screen it was made
  // for; a taller screen reuses them from the top.
  const int64_t lines = owner_->GetRandomTableInts() / 2;
  if (!random || lines <= 0) return;
  const int64_t w = screenW_;
  const int entries = EntriesPerLine();
  for (int64_t y = 0; y < screenH_; ++y) {
    const int64_t r0 = random[2 * (y % lines)], r1 = random[2 * (y % lines) + 1];
    const int64_t start = w * r0 / -32768 - (soft_ ? blendWidth_ : 0);
    const int64_t end = w + w * r1 / 65536;
    const int64_t l = start + int64_t{progress} * (end - start) / std::max(max, 1);
    BoundaryEntries(spans + y * entries, l);
  }
}

// --- #36, #37, #54-#59 beach ---

CEffectSimpleWipeBeach::CEffectSimpleWipeBeach(CAllWipe* owner, const WipeArgs& args)
    : CEffectSimpleWipeShape(owner) {
  SetReverseFlag(args.reverse);
  SetSoftEdge(args.softEdge, args.blendWidth);
}

void CEffectSimpleWipeBeach::CalcuSpan(int progress, int max) {
  int32_t* spans = Spans();
  if (!spans) return;
  struct Wave {
    int percent, phase, lineFactor, speed;
  };
  static constexpr Wave kWaves[] = {{8, 0, 2, 35}, {5, 70, 3, 53}, {2, 250, 7, 21}};
  const int64_t w = screenW_, p = progress, m = std::max(max, 1);
  double amplitude[3];
  for (int q = 0; q < 3; ++q)
    amplitude[q] = static_cast<double>(w * kWaves[q].percent / 100) *
                   (std::sin(static_cast<double>(p * kWaves[q].speed % 360) * kDegree) + 1.5) / 2.5;
  const int64_t base = p * w * 13 / (m * 10) - w * 3 / 20;
  const int entries = EntriesPerLine();
  for (int64_t y = 0; y < screenH_; ++y) {
    double x = static_cast<double>(base);
    for (int q = 0; q < 3; ++q) {
      const int64_t angle = (p * 17 + kWaves[q].phase + kWaves[q].lineFactor * y) % 360;
      x += std::sin(static_cast<double>(angle) * kDegree) * amplitude[q] * 0.5;
    }
    BoundaryEntries(spans + y * entries, RoundHalfUp(x));
  }
}
