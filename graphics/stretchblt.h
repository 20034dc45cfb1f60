// Stretch blits: a source rectangle scaled to a destination rectangle of any
// size, mirrored by a negative source width or height. Unlike the unscaled
// blits they clip against the screen themselves, and a destination pixel
// whose source position lies outside the picture is left as it is, so a
// source rectangle reaching past the picture draws only what lies inside.
#pragma once

#include <cstdint>
#include <vector>

namespace stretch {

// Rows a stretch keeps from call to call: the source column of each visible
// destination column, one source row sampled at those columns, and what
// each sampled pixel does to the screen.
struct Scratch {
  std::vector<int32_t> columns;
  std::vector<int32_t> offsets;  // column - base of its group of eight
  std::vector<int32_t> bases;    // per group of eight, -1 when it is not 8 wide
  std::vector<uint32_t> pixels;
  std::vector<uint32_t> actions;
  std::vector<uint32_t> sourceActions;  // per picture column
  void Release();
};

}  // namespace stretch

// Arguments: destination corner, source corner, destination size, source
// size (negative to mirror), the picture (mask may be null), then the
// transparent flag and percent, k = percent * 256 / 100:
//   flag clear: opaque copy (percent ignored);
//   no mask, percent 100: the picture's top-left pixel is the colour key;
//   no mask, other percent: non-key pixels ((src * k) >> 8) + ((dst * (255 - k)) >> 8);
//   mask, percent 100: m = 0 skipped, 255 copied, else weighed by m over 255 - m;
//   mask, other percent: m != 0 weighed by a = (m * k) >> 8 over 255 - a.
class CStretchBlt {
 public:
  virtual ~CStretchBlt() { Release(); }
  void Release() { scratch_.Release(); }
  void Blt(int dstX, int dstY, int srcX, int srcY, int dstW, int dstH, int srcW, int srcH,
           const uint32_t* pixels, const uint8_t* mask, int width, int height, int transparent,
           int percent);

 private:
  stretch::Scratch scratch_;
};

// The same with the signed colour (r, g, b) applied to every source pixel
// first; the colour key is compared with the pixel as stored.
class CStretchAddSubBlt {
 public:
  virtual ~CStretchAddSubBlt() { Release(); }
  void Release() { scratch_.Release(); }
  void Blt(int dstX, int dstY, int srcX, int srcY, int dstW, int dstH, int srcW, int srcH,
           const uint32_t* pixels, const uint8_t* mask, int width, int height, int transparent,
           int percent, int r, int g, int b);

 private:
  stretch::Scratch scratch_;
};

namespace stretch {

// A step or position in 16.16 fixed point: the integer part floor(v) and
// the fraction trunc((v - floor(v)) * 65536).
int64_t Fixed(double v);

// The stretches sample each source row once and draw a row at a time; with
// this off they visit pixel by pixel, the reference the tests compare with.
void AllowFastRows(bool allow);

}  // namespace stretch
