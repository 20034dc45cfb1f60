// Layer transforms: the channel picture redrawn in a transformed form instead
// of blitted plainly. #119 CEffectBSpline2 follows a quadratic curve,
// #62 CEffectBezierMove a cubic one, #36 CEffectStretch shrinks a screen-sized
// picture into a rectangle that grows back to the whole screen, #67 CEffectPers
// lays the picture on a plane seen in perspective. Every Print recomputes its
// frame from the record's counter. Each names its values in its class; their
// defaults are its start table in effectlayertransform.cpp.
#pragma once

#include <cstdint>
#include <vector>

#include "effect/effectstart.h"

// The offset of a curve at the record's progress: points holds x, y pairs,
// three for the quadratic curve, four for the cubic one (other counts give
// (0, 0)). Worked in single precision, rounded by adding 0.5 and truncating.
// Also the path of the turn effect (#64).
void CurveOffset(int counter, int duration, const int* points, int pointCount, int ramp, int code,
                 int* x, int* y);

// The picture along a quadratic curve through three points (x, y pairs).
class CEffectBSpline2 : public CTableStartEffect {
 public:
  static constexpr int kNumber = 119;
  static constexpr const char* kClassName = "CEffectBSpline2";
  enum : int { kDuration, kFirstX, kFirstY, kControlX, kControlY, kLastX, kLastY, kCurve, kRamp };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectBSpline2(CEffectManager* manager);
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  void Print(EffectChannel* record, int channel) override;
};

// The picture along a cubic curve through four points (x, y pairs).
class CEffectBezierMove : public CTableStartEffect {
 public:
  static constexpr int kNumber = 62;
  static constexpr const char* kClassName = "CEffectBezierMove";
  enum : int {
    kDuration,
    kFirstX,
    kFirstY,
    kControl1X,
    kControl1Y,
    kControl2X,
    kControl2Y,
    kLastX,
    kLastY,
    kCurve,
    kRamp
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectBezierMove(CEffectManager* manager);
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  void Print(EffectChannel* record, int channel) override;
};

// A screen-sized picture shrunk into a rectangle that grows to the whole
// screen. The start rectangle is held inside the screen, at least one pixel
// in size.
class CEffectStretch : public CTableStartEffect {
 public:
  static constexpr int kNumber = 36;
  static constexpr const char* kClassName = "CEffectStretch";
  enum : int { kDuration, kLeft, kTop, kWidth, kHeight, kCurve, kRamp };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
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

// The picture on a plane seen in perspective, the view and the rows drawn
// going from their start to their end values in straight steps.
class CEffectPers : public CTableStartEffect {
 public:
  static constexpr int kNumber = 67;
  static constexpr const char* kClassName = "CEffectPers";
  enum : int {
    kDuration,
    kEndUpper,
    kEndLower,
    kEndDistance,
    kEndZoom,
    kMode,
    kStartUpper,
    kStartLower,
    kStartDistance,
    kStartZoom,
    kEndFirstRow,
    kEndLastRow,
    kStartFirstRow,
    kStartLastRow
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectPers(CEffectManager* manager);
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  void Print(EffectChannel* record, int channel) override;
};
