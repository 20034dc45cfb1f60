// Where a blit starts: the screen pixel at (x, y) and the picture pixel at
// (x, y). Blitters get coordinates already clipped by their callers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "graphics/screenbuffer.h"

namespace blt {

// The screen pixel at (x, y), or null without a screen.
inline uint32_t* ScreenAt(int x, int y) {
  uint32_t* screen = CScreenBuffer::GetBuffer();
  if (!screen) return nullptr;
  return screen + static_cast<ptrdiff_t>(y) * CScreenBuffer::GetWidth() + x;
}

template <typename T>
const T* SourceAt(const T* data, int width, int x, int y) {
  return data + static_cast<ptrdiff_t>(y) * width + x;
}

}  // namespace blt
