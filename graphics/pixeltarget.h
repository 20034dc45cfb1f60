// The plain pixel target the body decoders (JPEG, PNG) write into, so they
// need to know nothing of pictures: 0x00RRGGBB words, pitch in pixels.
#pragma once

#include <cstdint>

struct PixelTarget {
  uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int pitch = 0;
};

// Hands a decoder a target of the size its frame declares.
class CPixelTargetOwner {
 public:
  // A 32-bit target of width x height; false when there can be none (the
  // owner holds 8-bit indices, or memory ran out).
  virtual bool MakePixelTarget(int width, int height, PixelTarget* target) = 0;

 protected:
  ~CPixelTargetOwner() = default;
};
