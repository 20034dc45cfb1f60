#include "effect/clipshape.h"

#include <algorithm>
#include <cstdlib>

#include "effect/calcucurve.h"
#include "graphics/allgeo.h"

namespace clipshape {

void SetSpan(Span* spans, int w, int64_t y, int64_t a, int64_t b) {
  a = std::max<int64_t>(a, 0);
  b = std::min<int64_t>(b, w - 1);
  if (a > b) return;
  spans[y] = {static_cast<int32_t>(a), static_cast<int32_t>(b - a + 1)};
}

int64_t SlopeFirst(const ClipState& s, int y) {
  const float slope = static_cast<float>(s.dx) / static_cast<float>(s.dy);
  const float c = s.dy < 0 ? 0.0f : -1.0f;
  const float t = static_cast<float>(y - s.cy) * slope + c + 0.5f;
  return int64_t{ClampToInt(t)} + s.cx;
}

int64_t ProductFirst(const ClipState& s, int y) {
  const float c = s.dy < 0 ? 0.0f : -1.0f;
  const float t =
      static_cast<float>(y - s.cy) * static_cast<float>(s.dx) / static_cast<float>(s.dy) + c + 0.5f;
  return int64_t{ClampToInt(t)} + s.cx;
}

void HalfPlaneSpans(const ClipState& s, int w, int h, Span* spans, RowBoundary boundary) {
  if (s.dy == 0) {
    // Rows up to or from cy, cut to the screen.
    const int64_t first = s.dx < 1 ? 0 : std::max<int64_t>(s.cy, 0);
    const int64_t last = s.dx < 1 ? std::min<int64_t>(s.cy, h - 1) : h - 1;
    for (int64_t y = first; y <= last; ++y) SetSpan(spans, w, y, 0, w - 1);
    return;
  }
  if (s.dx == 0) {
    for (int y = 0; y < h; ++y)
      s.dy < 0 ? SetSpan(spans, w, y, s.cx, w - 1) : SetSpan(spans, w, y, 0, s.cx);
    return;
  }
  for (int y = 0; y < h; ++y) {
    const int64_t x = boundary(s, y);
    if (s.dy < 0 && x < w) SetSpan(spans, w, y, x, w - 1);
    if (s.dy > 0 && x >= 0) SetSpan(spans, w, y, 0, x);
  }
}

namespace {

// A translucent box cut to the screen first, so huge borders stay in range.
void ScreenBox(int64_t x, int64_t y, int64_t bw, int64_t bh, const int* rgb, int percent, int w,
               int h) {
  const int64_t x0 = std::max<int64_t>(x, 0), y0 = std::max<int64_t>(y, 0);
  const int64_t x1 = std::min<int64_t>(x + bw, w), y1 = std::min<int64_t>(y + bh, h);
  if (x0 >= x1 || y0 >= y1) return;
  CAllGeo::TransBoxFill(static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1 - x0),
                        static_cast<int>(y1 - y0), rgb[0], rgb[1], rgb[2], percent);
}

}  // namespace

void RectangleBorder(int64_t x, int64_t y, int64_t width, int64_t height, int64_t b, const int* rgb,
                     int percent, int w, int h) {
  const int64_t x0 = std::min(x, x + width), x1 = std::max(x, x + width);
  const int64_t y0 = std::min(y, y + height), y1 = std::max(y, y + height);
  const int64_t k = b / 2;
  ScreenBox(x0 - k, y0 - k, x1 - x0 + b, b, rgb, percent, w, h);
  // The bottom box starts below the top one.
  const int64_t bottomTop = std::max(y1 - k, y0 - k + b);
  ScreenBox(x0 - k, bottomTop, x1 - x0 + b, b - (bottomTop - (y1 - k)), rgb, percent, w, h);
  const int64_t sideTop = y0 - k + b, side = bottomTop - sideTop;
  if (side <= 0) return;
  ScreenBox(x0 - k, sideTop, b, side, rgb, percent, w, h);
  if (x1 - k >= x0 - k + b) ScreenBox(x1 - k, sideTop, b, side, rgb, percent, w, h);
}

// b lines along the half-plane's edge, offset i - b/2 across it; only the
// lines that can reach the screen are drawn, and their ends reach at most
// 2 (W + H) beyond it (the same lines for any border up to that width).
void HalfPlaneBorder(const ClipState& s, int64_t b, const int* rgb, int percent, int w, int h) {
  const int64_t reach = std::min<int64_t>(b, 2 * (int64_t{w} + h));
  const bool flat = std::llabs(s.dy) < std::llabs(s.dx);
  const double slope = flat ? double(float(s.dy) / float(s.dx)) : double(float(s.dx) / float(s.dy));
  // The edge's two ends along the main axis and across it.
  const double a0 = -double(reach), a1 = double(flat ? w : h) + reach;
  const double c0 = double(flat ? s.cy : s.cx), m0 = double(flat ? s.cx : s.cy);
  const double across0 = c0 + slope * (a0 - m0), across1 = c0 + slope * (a1 - m0);
  const double limit = flat ? h : w;
  // Offsets whose line touches 0..limit across the screen.
  const double lo = -std::max(across0, across1) - 1, hi = limit - std::min(across0, across1) + 1;
  const int64_t first = std::max<int64_t>(0, int64_t(std::clamp(lo + double(b / 2), -1.0, 4e18)));
  const int64_t last =
      std::min<int64_t>(b - 1, int64_t(std::clamp(hi + double(b / 2), -1.0, 4e18)));
  for (int64_t i = first; i <= last; ++i) {
    const float off = float(i - b / 2);
    const float e0 = float(across0) + off, e1 = float(across1) + off;
    if (flat)
      CAllGeo::LineF(float(a0), e0, float(a1), e1, rgb[0], rgb[1], rgb[2], percent);
    else
      CAllGeo::LineF(e0, float(a0), e1, float(a1), rgb[0], rgb[1], rgb[2], percent);
  }
}

}  // namespace clipshape
