// What the sample game's end-to-end tests share: a hash of the screen as
// it stands and the count of colour channels of two sample lists that lie
// further apart than a tolerance.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "graphics/screenbuffer.h"

namespace demotest {

// FNV-1a over the screen's pixels.
inline uint64_t HashScreen() {
  uint64_t h = 1469598103934665603ull;
  const uint32_t* p = CScreenBuffer::GetBuffer();
  const int n = CScreenBuffer::GetWidth() * CScreenBuffer::GetHeight();
  for (int i = 0; i < n; ++i) h = (h ^ p[i]) * 1099511628211ull;
  return h;
}

// Channels (R, G, B of each 0xRRGGBB sample) off by more than tolerance;
// the lists must be of one length.
inline int ChannelsOff(const std::vector<uint32_t>& expected, const std::vector<uint32_t>& got,
                       int tolerance) {
  int off = 0;
  for (size_t i = 0; i < expected.size() && i < got.size(); ++i)
    for (int shift : {0, 8, 16}) {
      const int a = (expected[i] >> shift) & 0xFF, b = (got[i] >> shift) & 0xFF;
      if (std::abs(a - b) > tolerance) ++off;
    }
  return off;
}

}  // namespace demotest
