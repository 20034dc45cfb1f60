#include "graphics/stretchblt.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "graphics/blendrows.h"
#include "graphics/screenbuffer.h"

namespace stretch {

int64_t Fixed(double v) {
  // Only absurd sizes come near this; it keeps the conversion defined.
  constexpr double kLimit = 70368744177664.0;  // 2^46
  if (!(v > -kLimit)) v = -kLimit;
  if (v > kLimit) v = kLimit;
  const double whole = std::floor(v);
  return static_cast<int64_t>(whole) * 65536 + static_cast<int64_t>((v - whole) * 65536.0);
}

}  // namespace stretch

namespace {

struct Plain {
  uint32_t Apply(uint32_t s) const { return s; }
};

// The visible part of the destination and where its first pixel samples.
struct Walk {
  int x0, y0, cols, rows;
  uint64_t startX, startY, stepX, stepY;  // 16.16, wrapping on absurd sizes
};

bool Plan(int dstX, int dstY, int srcX, int srcY, int dstW, int dstH, int srcW, int srcH,
          Walk* walk) {
  const int64_t sw = CScreenBuffer::GetWidth(), sh = CScreenBuffer::GetHeight();
  const int64_t x0 = std::max<int64_t>(dstX, 0), y0 = std::max<int64_t>(dstY, 0);
  const int64_t x1 = std::min<int64_t>(int64_t{dstX} + dstW, sw);
  const int64_t y1 = std::min<int64_t>(int64_t{dstY} + dstH, sh);
  if (x1 <= x0 || y1 <= y0) return false;
  // Steps use the unclipped destination size; the skipped columns and rows
  // move the start.
  const double stepX = static_cast<double>(srcW) / dstW;
  const double stepY = static_cast<double>(srcH) / dstH;
  walk->x0 = static_cast<int>(x0);
  walk->y0 = static_cast<int>(y0);
  walk->cols = static_cast<int>(x1 - x0);
  walk->rows = static_cast<int>(y1 - y0);
  walk->stepX = static_cast<uint64_t>(stretch::Fixed(stepX));
  walk->stepY = static_cast<uint64_t>(stretch::Fixed(stepY));
  walk->startX = static_cast<uint64_t>(int64_t{srcX} * 65536) +
                 static_cast<uint64_t>(stretch::Fixed(static_cast<double>(x0 - dstX) * stepX));
  walk->startY = static_cast<uint64_t>(int64_t{srcY} * 65536) +
                 static_cast<uint64_t>(stretch::Fixed(static_cast<double>(y0 - dstY) * stepY));
  return true;
}

inline int64_t Whole(uint64_t fixed) { return static_cast<int64_t>(fixed) >> 16; }

// Visits every destination pixel whose source lies inside the picture:
// op(dst, src, mask row or null, column).
template <typename Op>
void Run(const Walk& walk, const uint32_t* pixels, const uint8_t* mask, int width, int height,
         Op op) {
  const int pitch = CScreenBuffer::GetWidth();
  uint32_t* row = CScreenBuffer::GetBuffer() + static_cast<ptrdiff_t>(walk.y0) * pitch + walk.x0;
  uint64_t y = walk.startY;
  for (int j = 0; j < walk.rows; ++j, row += pitch, y += walk.stepY) {
    const int64_t sy = Whole(y);
    if (sy < 0 || sy >= height) continue;
    const uint32_t* src = pixels + sy * width;
    const uint8_t* m = mask ? mask + sy * width : nullptr;
    uint64_t x = walk.startX;
    for (int i = 0; i < walk.cols; ++i, x += walk.stepX) {
      const int64_t sx = Whole(x);
      if (sx < 0 || sx >= width) continue;
      op(row[i], src[sx], m ? m[sx] : 0);
    }
  }
}

template <typename Colour>
void Stretch(int dstX, int dstY, int srcX, int srcY, int dstW, int dstH, int srcW, int srcH,
             const uint32_t* pixels, const uint8_t* mask, int width, int height, int transparent,
             int percent, const Colour& colour) {
  using blendrows::BlendApart255;
  if (width <= 0 || height <= 0 || srcW == 0 || srcH == 0 || !pixels || dstW <= 0 || dstH <= 0)
    return;
  if (!CScreenBuffer::GetBuffer()) return;
  Walk walk;
  if (!Plan(dstX, dstY, srcX, srcY, dstW, dstH, srcW, srcH, &walk)) return;
  const int k = blendrows::Weight(percent);
  const uint32_t key = pixels[0];
  auto run = [&](auto op) { Run(walk, pixels, mask, width, height, op); };
  if (!transparent) {
    run([&](uint32_t& d, uint32_t s, int) { d = colour.Apply(s); });
  } else if (!mask && percent == 100) {
    run([&](uint32_t& d, uint32_t s, int) {
      if (s != key) d = colour.Apply(s);
    });
  } else if (!mask) {
    run([&](uint32_t& d, uint32_t s, int) {
      if (s != key) d = BlendApart255(d, colour.Apply(s), k);
    });
  } else if (percent == 100) {
    run([&](uint32_t& d, uint32_t s, int m) {
      if (m == 0) return;
      d = m == 255 ? colour.Apply(s) : BlendApart255(d, colour.Apply(s), m);
    });
  } else {
    run([&](uint32_t& d, uint32_t s, int m) {
      if (m != 0) d = BlendApart255(d, colour.Apply(s), (m * k) >> 8);
    });
  }
}

}  // namespace

void CStretchBlt::Blt(int dstX, int dstY, int srcX, int srcY, int dstW, int dstH, int srcW,
                      int srcH, const uint32_t* pixels, const uint8_t* mask, int width, int height,
                      int transparent, int percent) {
  Stretch(dstX, dstY, srcX, srcY, dstW, dstH, srcW, srcH, pixels, mask, width, height, transparent,
          percent, Plain{});
}

void CStretchAddSubBlt::Blt(int dstX, int dstY, int srcX, int srcY, int dstW, int dstH, int srcW,
                            int srcH, const uint32_t* pixels, const uint8_t* mask, int width,
                            int height, int transparent, int percent, int r, int g, int b) {
  Stretch(dstX, dstY, srcX, srcY, dstW, dstH, srcW, srcH, pixels, mask, width, height, transparent,
          percent, blendrows::SignedColour(r, g, b));
}
