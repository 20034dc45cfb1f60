// Rectangle fillers: opaque, blended at a percentage, and a signed colour
// added with saturation. Each clips to the screen first.
#pragma once

#include <cstdint>

class CBoxFill {
 public:
  virtual ~CBoxFill() = default;
  virtual void Fill(int x, int y, int w, int h, int r, int g, int b);
};

class CTransBoxFill {
 public:
  virtual ~CTransBoxFill() = default;
  virtual void Fill(int x, int y, int w, int h, int r, int g, int b, int percent);
};

class CAddBoxFill {
 public:
  virtual ~CAddBoxFill() = default;
  virtual void Fill(int x, int y, int w, int h, int r, int g, int b, int percent);
};

namespace geo {

// The opaque colour word (r << 16) | (g << 8) | b.
inline uint32_t ColourWord(int r, int g, int b) {
  return (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) |
         static_cast<uint32_t>(b);
}

// A signed colour (each part -255..255) scaled by percent and split into the
// byte-wise add and subtract words.
struct AddSubWords {
  uint32_t add = 0, sub = 0;
};
AddSubWords ScaleSignedColour(int r, int g, int b, int percent);

}  // namespace geo
