// Layer transforms: the channel picture redrawn in a transformed form
// instead of blitted plainly. #119 follows a quadratic curve, #62 a cubic
// one, #36 shrinks a screen-sized picture into a rectangle that grows back
// to the whole screen, #67 lays the picture on a plane seen in perspective.
// Every Print recomputes its frame from the record's counter.
#pragma once

#include <cstdint>
#include <vector>

#include "effect/commoneffect.h"

// The offset of a curve at the record's progress: points holds x, y pairs,
// three for the quadratic curve, four for the cubic one (other counts give
// (0, 0)). Worked in single precision, rounded by adding 0.5 and truncating.
// Also the path of the turn effect (#64).
void CurveOffset(int counter, int duration, const int* points, int pointCount, int ramp, int code,
                 int* x, int* y);

// p0 duration (1); p1, p2 first point (0, 0); p3, p4 control point
// (200, -200); p5, p6 last point (400, 100); p7 curve code, p8 ramp (0).
class CEffectBSpline2 : public CCommonEffect {
 public:
  static constexpr int kNumber = 119;
  static constexpr const char* kClassName = "CEffectBSpline2";
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  void Print(EffectChannel* record, int channel) override;
};

// p0 duration (1); p1, p2 first point (0, 0); p3, p4 first control point
// (200, -100); p5, p6 second control point (300, -200); p7, p8 last point
// (400, 100); p9 curve code, p10 ramp (0).
class CEffectBezierMove : public CCommonEffect {
 public:
  static constexpr int kNumber = 62;
  static constexpr const char* kClassName = "CEffectBezierMove";
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  void Print(EffectChannel* record, int channel) override;
};

// p0 duration (20); p1, p2 start rectangle's corner (a quarter of the
// screen); p3, p4 its size (what is left between equal margins); p5 curve
// code, p6 ramp (0). The rectangle is held inside the screen, at least one
// pixel in size.
class CEffectStretch : public CCommonEffect {
 public:
  static constexpr int kNumber = 36;
  static constexpr const char* kClassName = "CEffectStretch";
  explicit CEffectStretch(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  // Asks for a full redraw.
  int Finish(EffectChannel*, int) override { return 1; }
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  void Print(EffectChannel* record, int channel) override;

 private:
  // Reductions into the dw x dh rectangle at (l, t).
  void Average2(const uint32_t* src, uint32_t* dst, int dw, int dh) const;
  void AverageN(const uint32_t* src, uint32_t* dst, int dw, int dh, int f) const;
  void Nearest(const uint32_t* src, uint32_t* dst, int dw, int dh);

  // Byte advance of the source column after each destination column.
  std::vector<int32_t> columnSteps_;
};

// p0 duration (20); p1, p2 upper and lower view offset (0, 0), p3 view
// distance (100), p4 zoom percent (100) at the end; p5 mode (0, not used);
// p6..p9 the same four at the start (p1..p4); p10, p11 first and last
// screen row at the end (0, screen height); p12, p13 at the start (p10,
// p11); p14, p15 kept (0).
class CEffectPers : public CCommonEffect {
 public:
  static constexpr int kNumber = 67;
  static constexpr const char* kClassName = "CEffectPers";
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  void Print(EffectChannel* record, int channel) override;
};
