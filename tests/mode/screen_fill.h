// The mode tests' screen: filled with a pattern no draw repeats by chance,
// and copied for comparison.
#pragma once

#include <cstdint>
#include <vector>

#include "graphics/screenbuffer.h"

namespace screentest {

using Screen = std::vector<uint32_t>;

inline void FillScreen() {
  uint32_t* s = CScreenBuffer::GetBuffer();
  const int n = CScreenBuffer::GetWidth() * CScreenBuffer::GetHeight();
  for (int i = 0; i < n; ++i) s[i] = static_cast<uint32_t>(i) * 2246822519u & 0xFFFFFFu;
}

inline Screen Snapshot() {
  const uint32_t* s = CScreenBuffer::GetBuffer();
  return Screen(s, s + CScreenBuffer::GetWidth() * CScreenBuffer::GetHeight());
}

}  // namespace screentest
