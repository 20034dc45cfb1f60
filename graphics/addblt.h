// Adding blits: the saturated add of a picture, and the add or subtract of a
// scaled picture weighed by its mask. No clipping; nothing is drawn when w or
// h is 0 or less.
#pragma once

#include <cstdint>

// Every pixel becomes min(255, src + dst) per byte.
class CAddBlt {
 public:
  virtual ~CAddBlt() { Release(); }
  void Release() {}
  void Blt(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint32_t* pixels, int width,
           int height);
};

// level is a signed percentage (0 draws nothing): t = min(255, (src * |k|)
// >> 8) is added to the screen (k > 0) or subtracted from it (k < 0) with
// saturation, and the result d' is weighed by the mask value m:
// ((d' * m) >> 8) + ((dst * (256 - m)) >> 8); m = 0 is skipped. A picture
// without a mask counts as opaque everywhere (m = 255).
class CAddSubBlt {
 public:
  virtual ~CAddSubBlt() { Release(); }
  void Release() {}
  void Blt(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint32_t* pixels,
           const uint8_t* mask, int width, int height, int level);
};
