// The clip shapes that #122 and #136 share: a half-plane or a rectangle
// reduced to one span (first column, width) per screen row, and the border
// drawn along the half-plane's edge (parallel lines) or around the
// rectangle (translucent boxes that never cover a pixel twice). Every sum
// is formed in 64 bits and cut to the screen before it becomes an int.
#pragma once

#include <cstdint>

namespace clipshape {

struct Span {
  int32_t first, width;
};

// A clip point and direction (or corner and size).
struct ClipState {
  int64_t cx, cy, dx, dy;
};

// Columns a..b (inclusive) of row y, cut to the screen; nothing when empty.
void SetSpan(Span* spans, int w, int64_t y, int64_t a, int64_t b);

// The boundary column of row y for a line that is neither flat nor upright.
using RowBoundary = int64_t (*)(const ClipState& s, int y);
// (y - cy) x (dx / dy), the slope formed first (#122).
int64_t SlopeFirst(const ClipState& s, int y);
// (y - cy) x dx / dy, the product formed first (#136).
int64_t ProductFirst(const ClipState& s, int y);

// The half-plane to the right of the direction (dx, dy) through (cx, cy):
// the spans of rows 0..h - 1 (the others are left as they are).
void HalfPlaneSpans(const ClipState& s, int w, int h, Span* spans, RowBoundary boundary);

// The border of width b around the rectangle (x, y, width, height),
// normalised to non-negative sizes; percent and rgb as CAllGeo takes them.
void RectangleBorder(int64_t x, int64_t y, int64_t width, int64_t height, int64_t b, const int* rgb,
                     int percent, int w, int h);

// b lines one pixel apart centred on the half-plane's edge.
void HalfPlaneBorder(const ClipState& s, int64_t b, const int* rgb, int percent, int w, int h);

}  // namespace clipshape
