#include "graphics/line.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "graphics/boxfill.h"
#include "graphics/rowops.h"
#include "graphics/screenbuffer.h"

namespace {

// The points of a line are visited only where they can be visible: each
// coordinate moves monotonically with the point index, so the visible index
// range is found by bisection. A line thousands of screens long costs no
// more than the part on the screen.
template <typename Coord>
void VisibleRange(int64_t count, Coord coord, int64_t limit, int64_t* first, int64_t* last) {
  if (count <= 0) {
    *first = 0;
    *last = -1;
    return;
  }
  bool rising = coord(count - 1) >= coord(0);
  // inside(i) for 0 <= coord < limit; the predicate "coord below 0" and
  // "coord at or above limit" are each monotone in i.
  auto firstWhere = [&](auto pred) {  // smallest i with pred(i), or count
    int64_t lo = 0, hi = count;
    while (lo < hi) {
      int64_t mid = lo + (hi - lo) / 2;
      if (pred(mid)) hi = mid;
      else lo = mid + 1;
    }
    return lo;
  };
  if (rising) {
    *first = firstWhere([&](int64_t i) { return coord(i) >= 0; });
    *last = firstWhere([&](int64_t i) { return coord(i) >= limit; }) - 1;
  } else {
    *first = firstWhere([&](int64_t i) { return coord(i) < limit; });
    *last = firstWhere([&](int64_t i) { return coord(i) < 0; }) - 1;
  }
}

template <typename XOf, typename YOf, typename Plot>
void VisitPoints(int64_t count, XOf xOf, YOf yOf, Plot plot) {
  const int W = CScreenBuffer::GetWidth(), H = CScreenBuffer::GetHeight();
  if (!CScreenBuffer::GetBuffer()) return;
  int64_t fx, lx, fy, ly;
  VisibleRange(count, xOf, W, &fx, &lx);
  VisibleRange(count, yOf, H, &fy, &ly);
  uint32_t* buffer = CScreenBuffer::GetBuffer();
  for (int64_t i = std::max(fx, fy); i <= std::min(lx, ly); ++i) {
    int64_t x = xOf(i), y = yOf(i);
    if (x >= 0 && x < W && y >= 0 && y < H) plot(buffer + y * W + x);
  }
}

// Division rounding toward minus infinity.
int64_t FloorDiv(__int128 n, int64_t d) {
  __int128 q = n / d;
  if ((n % d != 0) && ((n < 0) != (d < 0))) --q;
  return static_cast<int64_t>(q);
}

// Integer points: x1 + (trunc(d / 2) + dx * i) / d. The quotient is floored
// rather than truncated: the same for lines running right and down, and for
// lines running left or up it keeps the end point and draws the first point
// once, where truncation would repeat the first and never reach the last.
template <typename Plot>
void IntegerLine(int x1, int y1, int x2, int y2, Plot plot) {
  const int64_t dx = int64_t{x2} - x1, dy = int64_t{y2} - y1;
  const int64_t n = std::max(std::llabs(dx), std::llabs(dy)) + 1;
  const int64_t d = n < 2 ? 1 : n - 1;
  // dx * i needs more than 64 bits for lines across the whole int range.
  auto xOf = [=](int64_t i) { return x1 + FloorDiv(d / 2 + static_cast<__int128>(dx) * i, d); };
  auto yOf = [=](int64_t i) { return y1 + FloorDiv(d / 2 + static_cast<__int128>(dy) * i, d); };
  VisitPoints(n, xOf, yOf, plot);
}

struct LineBlend {
  uint16_t term[4];
  unsigned keep;
};
LineBlend LineWeights(int r, int g, int b, int percent) {
  // On 255, not 256: percent 50 gives 127 and a complement of 128.
  percent = std::clamp(percent, 0, 100);
  unsigned w = static_cast<unsigned>(percent * 255 / 100);
  LineBlend out;
  rowops::ColourTerms(geo::ColourWord(r, g, b), w, out.term);
  out.keep = 255 - w;
  return out;
}

// A rounded float coordinate as a 64-bit integer; far-off values stand for
// "off the screen" without overflowing the conversion.
int64_t Round(double v) {
  v += 0.5;
  if (!(v > -1e15)) return INT64_C(-1000000000000000);
  if (!(v < 1e15)) return INT64_C(1000000000000000);
  return static_cast<int64_t>(v);
}

}  // namespace

void CLine::Line(int x1, int y1, int x2, int y2, int r, int g, int b) {
  const uint32_t colour = geo::ColourWord(r, g, b);
  IntegerLine(x1, y1, x2, y2, [&](uint32_t* p) { *p = colour; });
}

void CLine::Line2(int x1, int y1, int x2, int y2, int r, int g, int b) {
  Line(x1, y1, x2, y2, r, g, b);
}

void CLine::TransLine(int x1, int y1, int x2, int y2, int r, int g, int b, int percent) {
  const LineBlend blend = LineWeights(r, g, b, percent);
  IntegerLine(x1, y1, x2, y2,
              [&](uint32_t* p) { *p = rowops::BlendPixel(*p, blend.term, blend.keep) & 0x00FFFFFFu; });
}

void CLine::TransLine2(int x1, int y1, int x2, int y2, int r, int g, int b, int percent) {
  TransLine(x1, y1, x2, y2, r, g, b, percent);
}

void CLine::TransLineF(float x1, float y1, float x2, float y2, int r, int g, int b, int percent) {
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return;
  const float ax = std::fabs(x1 - x2), ay = std::fabs(y1 - y2);
  // Point count trunc(span + 1), kept within the int range the count has.
  const double count = std::max(std::trunc(double{ax} + 1), std::trunc(double{ay} + 1));
  const int64_t n = count > 2147483647.0 ? INT64_C(2147483647) : static_cast<int64_t>(count);
  const float length = std::max(std::max(ax, ay), 1.0f);
  const LineBlend blend = LineWeights(r, g, b, percent);
  auto xOf = [=](int64_t i) {
    float t = static_cast<float>(i) / length;
    return Round(x1 + (x2 - x1) * t);
  };
  auto yOf = [=](int64_t i) {
    float t = static_cast<float>(i) / length;
    return Round(y1 + (y2 - y1) * t);
  };
  VisitPoints(n, xOf, yOf,
              [&](uint32_t* p) { *p = rowops::BlendPixel(*p, blend.term, blend.keep) & 0x00FFFFFFu; });
}
