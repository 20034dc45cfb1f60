// CDaikei: an opaque trapezoid between a top row span and a bottom row span.
#pragma once

#include <cstdint>

class CDaikei {
 public:
  CDaikei();
  virtual ~CDaikei() = default;
  // The top row y1 spans x1 .. x1 + w1, the bottom row y2 spans x2 .. x2 + w2.
  virtual void Fill(int x1, int y1, int w1, int x2, int y2, int w2, int r, int g, int b);

 private:
  int32_t* spans_;
};
