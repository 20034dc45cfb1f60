// CTransGradationBoxV: adds a vertical gradient of signed colours to the
// screen, row by row.
#pragma once

#include <cstdint>

class CTransGradationBoxV {
 public:
  CTransGradationBoxV();
  virtual ~CTransGradationBoxV() = default;
  // Two corners; colour 1 belongs to the corner with the smaller y.
  virtual void Fill(int x1, int y1, int x2, int y2, int r1, int g1, int b1, int r2, int g2,
                    int b2);
  // A rectangle with its top and bottom colours (each part -255..255).
  virtual void Fill2(int x, int y, int w, int h, int rTop, int gTop, int bTop, int rBottom,
                     int gBottom, int bBottom);

 private:
  int32_t* spans_;
};
