// CLine: one-pixel lines, opaque or blended, with integer or fractional end
// points. Points outside the screen are skipped.
#pragma once

class CLine {
 public:
  virtual ~CLine() = default;
  virtual void Line(int x1, int y1, int x2, int y2, int r, int g, int b);
  virtual void Line2(int x1, int y1, int x2, int y2, int r, int g, int b);
  // Blends with weight (percent * 255) / 100 and its complement to 255.
  virtual void TransLine(int x1, int y1, int x2, int y2, int r, int g, int b, int percent);
  virtual void TransLine2(int x1, int y1, int x2, int y2, int r, int g, int b, int percent);
  virtual void TransLineF(float x1, float y1, float x2, float y2, int r, int g, int b,
                          int percent);
};
