// Ellipse and elliptic-ring fillers, blended or with a signed colour added.
// They lay out one row at a time in the screen buffer's span table, then
// draw the rows.
#pragma once

#include <cstdint>

class CTransCircleFill {
 public:
  CTransCircleFill();
  virtual ~CTransCircleFill() = default;
  virtual void Fill(int cx, int cy, int rx, int ry, int r, int g, int b, int percent);

 private:
  int32_t* spans_;
};

class CAddCircleFill {
 public:
  CAddCircleFill();
  virtual ~CAddCircleFill() = default;
  virtual void Fill(int cx, int cy, int rx, int ry, int r, int g, int b, int percent);

 private:
  int32_t* spans_;
};

class CTransTorusFill {
 public:
  CTransTorusFill();
  virtual ~CTransTorusFill() = default;
  virtual void Fill(int cx, int cy, int rx, int ry, int icx, int icy, int irx, int iry, int r,
                    int g, int b, int percent);

 private:
  int32_t* spans_;
};

class CAddTorusFill {
 public:
  CAddTorusFill();
  virtual ~CAddTorusFill() = default;
  virtual void Fill(int cx, int cy, int rx, int ry, int icx, int icy, int irx, int iry, int r,
                    int g, int b, int percent);

 private:
  int32_t* spans_;
};
