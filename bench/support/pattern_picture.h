// The busy pixel pattern the benchmarks draw with, and a picture of it made in
// memory with a mask of the caller's choosing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "graphics/picture.h"

namespace benchsupport {

// The colour at (x, y) of the pattern for `seed`.
inline uint32_t PatternPixel(int x, int y, uint32_t seed) {
  return (static_cast<uint32_t>(x * 7 + y * 3) * seed) & 0xFFFFFF;
}

// A mask that is clear, faded and opaque in places, so every masked draw path
// does its full work.
inline uint8_t PatternMask(int x, int y) {
  return static_cast<uint8_t>((x + y) % 5 == 0 ? 0 : 255 - (x & 63));
}

// A w x h picture of the pattern whose mask at (x, y) is mask(x, y, w).
template <typename Mask>
std::unique_ptr<CPicture> MakePatternPicture(int w, int h, uint32_t seed, Mask mask) {
  auto picture = std::make_unique<CPicture>(w, h, 1);
  uint32_t* px = picture->GetPixelBuffer();
  unsigned char* alpha = picture->GetMask();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const size_t i = static_cast<size_t>(y) * w + x;
      px[i] = PatternPixel(x, y, seed);
      alpha[i] = mask(x, y, w);
    }
  return picture;
}

// The pattern with PatternMask.
inline std::unique_ptr<CPicture> MakePatternPicture(int w, int h, uint32_t seed) {
  return MakePatternPicture(w, h, seed, [](int x, int y, int) { return PatternMask(x, y); });
}

}  // namespace benchsupport
