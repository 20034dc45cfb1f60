#include "graphics/gradationbox.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "graphics/screenbuffer.h"

CTransGradationBoxV::CTransGradationBoxV() : spans_(CScreenBuffer::GetSpanTable()) {}

void CTransGradationBoxV::Fill(int x1, int y1, int x2, int y2, int r1, int g1, int b1, int r2,
                               int g2, int b2) {
  int64_t x = std::min(x1, x2), y = std::min(y1, y2);
  int64_t w = std::abs(int64_t{x2} - x1), h = std::abs(int64_t{y2} - y1);
  // Corners far apart give no visible rectangle the int arguments could hold.
  if (w > 0x7FFFFFFF || h > 0x7FFFFFFF) return;
  if (y2 >= y1) {
    Fill2(static_cast<int>(x), static_cast<int>(y), static_cast<int>(w), static_cast<int>(h), r1,
          g1, b1, r2, g2, b2);
  } else {
    Fill2(static_cast<int>(x), static_cast<int>(y), static_cast<int>(w), static_cast<int>(h), r2,
          g2, b2, r1, g1, b1);
  }
}

void CTransGradationBoxV::Fill2(int x, int y, int w, int h, int rTop, int gTop, int bTop,
                                int rBottom, int gBottom, int bBottom) {
  const int W = CScreenBuffer::GetWidth();
  const int H = CScreenBuffer::GetHeight();
  if (!spans_ || w <= 0 || h <= 0 || x >= W || int64_t{x} + w < 0 || y >= H ||
      int64_t{y} + h < 0)
    return;
  const int y0 = y;
  int cx = x, cy = y, cw = w, ch = h;
  if (!CScreenBuffer::ClipRect(&cx, &cy, &cw, &ch)) return;

  // One record of four 16-bit lanes (B, G, R, top) per visible row.
  const int top[3] = {bTop, gTop, rTop};
  const int bottom[3] = {bBottom, gBottom, rBottom};
  constexpr int kWords = CScreenBuffer::kSpanWords;
  for (int row = cy; row < cy + ch; ++row) {
    int64_t u = int64_t{row} - y0;
    int16_t lanes[4] = {0, 0, 0, 0};
    for (int c = 0; c < 3; ++c) {
      int64_t v = top[c] + static_cast<int64_t>(
                               (static_cast<__int128>(int64_t{bottom[c]} - top[c]) * u) / h);
      lanes[c] = static_cast<int16_t>(static_cast<uint16_t>(v));
    }
    std::memcpy(spans_ + row * kWords, lanes, sizeof(lanes));
  }

  uint32_t* line = CScreenBuffer::GetBuffer() + static_cast<size_t>(cy) * W + cx;
  for (int row = cy; row < cy + ch; ++row, line += W) {
    int16_t lanes[4];
    std::memcpy(lanes, spans_ + row * kWords, sizeof(lanes));
    for (int i = 0; i < cw; ++i) {
      uint32_t p = line[i], out = 0;
      for (int c = 0; c < 3; ++c) {
        // In 16-bit lanes: dst + c + 256, less 256 with unsigned saturation,
        // then packed to a byte with signed saturation.
        uint16_t s = static_cast<uint16_t>(((p >> (8 * c)) & 0xFF) + static_cast<uint16_t>(lanes[c]) + 256);
        s = s > 256 ? static_cast<uint16_t>(s - 256) : 0;
        int16_t signedLane = static_cast<int16_t>(s);
        uint32_t v = signedLane < 0 ? 0 : std::min<uint32_t>(static_cast<uint32_t>(signedLane), 255);
        out |= v << (8 * c);
      }
      line[i] = out;
    }
  }
}
