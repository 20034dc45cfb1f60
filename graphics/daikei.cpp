#include "graphics/daikei.h"

#include <algorithm>

#include "graphics/boxfill.h"
#include "graphics/screenbuffer.h"

CDaikei::CDaikei() : spans_(CScreenBuffer::GetSpanTable()) {}

void CDaikei::Fill(int x1, int y1, int w1, int x2, int y2, int w2, int r, int g, int b) {
  const int W = CScreenBuffer::GetWidth();
  const int H = CScreenBuffer::GetHeight();
  if (!spans_ || w1 < 0 || w2 < 0 || y2 < y1 || y1 >= H || y2 < 0) return;
  const int64_t top = std::max(y1, 0);
  const int64_t bottom = std::min(y2, H - 1);
  const int64_t visible = bottom - top + 1;
  // Edges are interpolated over the whole height, so a shape cut at the
  // screen's top or bottom keeps the slope it has when seen whole.
  const int64_t rows = int64_t{y2} - y1 + 1;
  const int64_t right1 = int64_t{x1} + w1, right2 = int64_t{x2} + w2;
  constexpr int kWords = CScreenBuffer::kSpanWords;
  for (int64_t i = 0; i < visible; ++i) {
    int64_t k = (top - y1) + i;
    // Widths and offsets near the int limits need more than 64 bits here.
    int64_t left = x1 + static_cast<int64_t>((static_cast<__int128>(int64_t{x2} - x1) * k) / rows);
    int64_t right = right1 + static_cast<int64_t>((static_cast<__int128>(right2 - right1) * k) / rows);
    int32_t* span = spans_ + (top + i) * kWords;
    span[0] = 0;
    if (left < W && right >= 0) {
      left = std::max<int64_t>(left, 0);
      right = std::min<int64_t>(right, W - 1);
      if (right >= left) {
        span[0] = static_cast<int32_t>(right - left + 1);
        span[1] = static_cast<int32_t>(left);
      }
    }
  }
  const uint32_t colour = geo::ColourWord(r, g, b);
  uint32_t* row = CScreenBuffer::GetBuffer() + static_cast<size_t>(top) * W;
  for (int64_t i = 0; i < visible; ++i, row += W) {
    const int32_t* span = spans_ + (top + i) * kWords;
    if (span[0] > 0) std::fill(row + span[1], row + span[1] + span[0], colour);
  }
}
