#include "graphics/circlefill.h"

#include <algorithm>
#include <cmath>

#include "graphics/boxfill.h"
#include "graphics/rowops.h"
#include "graphics/screenbuffer.h"

namespace {

constexpr int kWords = CScreenBuffer::kSpanWords;

// Half the span of an ellipse row, rounded: trunc(sqrt(1 - t^2) * rx + 0.5).
int64_t HalfWidth(int64_t row, int cy, int rx, int ry) {
  double t = static_cast<double>(row - cy) / ry;
  double u = 1.0 - t * t;
  if (u < 0) u = 0;
  return static_cast<int64_t>(std::sqrt(u) * rx + 0.5);
}

// The rows an ellipse covers on the screen; false when none.
bool EllipseRows(int cy, int ry, int64_t* first, int64_t* last) {
  *first = std::max<int64_t>(0, int64_t{cy} - ry);
  *last = std::min<int64_t>(int64_t{cy} + ry, CScreenBuffer::GetHeight() - 1);
  return *first <= *last;
}

void ClearSpans(int32_t* spans, int perRow) {
  const int h = CScreenBuffer::GetHeight();
  for (int j = 0; j < h; ++j)
    for (int s = 0; s < perRow; ++s) spans[j * kWords + 2 * s] = 0;
}

// Span s of a row: pixel count, then first column.
void SetSpan(int32_t* spans, int64_t row, int s, int64_t left, int64_t right) {
  spans[row * kWords + 2 * s] = static_cast<int32_t>(right - left + 1);
  spans[row * kWords + 2 * s + 1] = static_cast<int32_t>(left);
}

// One row span of an ellipse, cut to the screen; false when it is empty.
bool EllipseSpan(int64_t row, int cx, int cy, int rx, int ry, int64_t* left, int64_t* right) {
  int64_t half = HalfWidth(row, cy, rx, ry);
  *left = std::max<int64_t>(0, cx - half);
  *right = std::min<int64_t>(cx + half, CScreenBuffer::GetWidth() - 1);
  return *right >= *left;
}

void LayOutEllipse(int32_t* spans, int cx, int cy, int rx, int ry) {
  ClearSpans(spans, 1);
  int64_t first, last;
  if (!EllipseRows(cy, ry, &first, &last)) return;
  for (int64_t j = first; j <= last; ++j) {
    int64_t left, right;
    if (EllipseSpan(j, cx, cy, rx, ry, &left, &right)) SetSpan(spans, j, 0, left, right);
  }
}

void LayOutRing(int32_t* spans, int cx, int cy, int rx, int ry, int icx, int icy, int irx,
                int iry) {
  ClearSpans(spans, 2);
  int64_t first, last, innerFirst, innerLast;
  if (!EllipseRows(cy, ry, &first, &last)) return;
  bool inner = EllipseRows(icy, iry, &innerFirst, &innerLast);
  const int64_t w = CScreenBuffer::GetWidth();
  for (int64_t j = first; j <= last; ++j) {
    int64_t left, right;
    if (!EllipseSpan(j, cx, cy, rx, ry, &left, &right)) continue;
    if (!inner || j < innerFirst || j > innerLast) {
      SetSpan(spans, j, 0, left, right);
      continue;
    }
    int64_t ihalf = HalfWidth(j, icy, irx, iry);
    // The pieces stay inside the outer span even where the inner ellipse
    // lies beside it rather than within it.
    int64_t leftEnd = std::min({icx - ihalf - 1, w - 1, right});
    int64_t rightStart = std::max({icx + ihalf + 1, int64_t{0}, left});
    int s = 0;
    if (leftEnd >= left) SetSpan(spans, j, s++, left, leftEnd);
    if (right >= rightStart) SetSpan(spans, j, s, rightStart, right);
  }
}

template <typename DrawRun>
void DrawSpans(const int32_t* spans, int perRow, DrawRun draw) {
  const int h = CScreenBuffer::GetHeight();
  const int pitch = CScreenBuffer::GetWidth();
  uint32_t* buffer = CScreenBuffer::GetBuffer();
  for (int j = 0; j < h; ++j) {
    for (int s = 0; s < perRow; ++s) {
      int32_t count = spans[j * kWords + 2 * s];
      if (count <= 0) continue;
      draw(buffer + static_cast<size_t>(j) * pitch + spans[j * kWords + 2 * s + 1],
           static_cast<size_t>(count));
    }
  }
}

// Colour and screen weights truncated separately, so they may sum to 255.
struct Weights {
  uint16_t term[4];
  unsigned keep;
};
Weights CircleWeights(int r, int g, int b, int percent) {
  percent = std::clamp(percent, 0, 100);
  Weights w;
  rowops::ColourTerms(geo::ColourWord(r, g, b), static_cast<unsigned>(percent * 256 / 100), w.term);
  w.keep = static_cast<unsigned>((100 - percent) * 256 / 100);
  return w;
}

}  // namespace

CTransCircleFill::CTransCircleFill() : spans_(CScreenBuffer::GetSpanTable()) {}

void CTransCircleFill::Fill(int cx, int cy, int rx, int ry, int r, int g, int b, int percent) {
  if (rx < 1 || ry < 1 || !spans_) return;
  LayOutEllipse(spans_, cx, cy, rx, ry);
  const Weights w = CircleWeights(r, g, b, percent);
  DrawSpans(spans_, 1, [&](uint32_t* run, size_t n) { rowops::BlendConst(run, n, w.term, w.keep); });
}

CAddCircleFill::CAddCircleFill() : spans_(CScreenBuffer::GetSpanTable()) {}

void CAddCircleFill::Fill(int cx, int cy, int rx, int ry, int r, int g, int b, int percent) {
  if (rx < 1 || ry < 1 || !spans_) return;
  LayOutEllipse(spans_, cx, cy, rx, ry);
  const geo::AddSubWords words = geo::ScaleSignedColour(r, g, b, percent);
  DrawSpans(spans_, 1, [&](uint32_t* run, size_t n) { rowops::AddSub(run, n, words.add, words.sub); });
}

CTransTorusFill::CTransTorusFill() : spans_(CScreenBuffer::GetSpanTable()) {}

void CTransTorusFill::Fill(int cx, int cy, int rx, int ry, int icx, int icy, int irx, int iry,
                           int r, int g, int b, int percent) {
  if (rx < 1 || ry < 1 || irx < 1 || iry < 1 || !spans_) return;
  LayOutRing(spans_, cx, cy, rx, ry, icx, icy, irx, iry);
  const Weights w = CircleWeights(r, g, b, percent);
  DrawSpans(spans_, 2, [&](uint32_t* run, size_t n) { rowops::BlendConst(run, n, w.term, w.keep); });
}

CAddTorusFill::CAddTorusFill() : spans_(CScreenBuffer::GetSpanTable()) {}

void CAddTorusFill::Fill(int cx, int cy, int rx, int ry, int icx, int icy, int irx, int iry,
                         int r, int g, int b, int percent) {
  if (rx < 1 || ry < 1 || irx < 1 || iry < 1 || !spans_) return;
  LayOutRing(spans_, cx, cy, rx, ry, icx, icy, irx, iry);
  const geo::AddSubWords words = geo::ScaleSignedColour(r, g, b, percent);
  DrawSpans(spans_, 2, [&](uint32_t* run, size_t n) { rowops::AddSub(run, n, words.add, words.sub); });
}
