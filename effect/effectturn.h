// Rotation and scaling: the channel picture drawn through an affine mapping
// with tint and masking. #64 CEffectTurn turns and zooms it about a centre of
// its own, optionally along a curve, fading its opacity; #65 CEffectStretchBlt
// scales it in x and y about an anchor. Every screen pixel they touch is mapped
// back into the picture by two 16.16 accumulators; pixels whose source lies
// outside the picture keep their value. Each names its values in its class;
// their defaults are its start table in effectturn.cpp.
#pragma once

#include "effect/effectstart.h"

// The draw mode is 0 opaque, 1 colour key, 2 mask with opacity; the path
// kind 2 a quadratic, 3 a cubic curve through the path's points (x, y
// pairs), others none.
class CEffectTurn : public CTableStartEffect {
 public:
  static constexpr int kNumber = 64;
  static constexpr const char* kClassName = "CEffectTurn";
  enum : int {
    kDuration,
    kEndAngle,
    kStartAngle,
    kCentreX,
    kCentreY,
    kEndZoom,
    kStartZoom,
    kDrawMode,
    kEndOpacity,
    kStartOpacity,
    kAngleCurve,
    kAngleRamp,
    kZoomCurve,
    kZoomRamp,
    kOpacityCurve,
    kOpacityRamp,
    kTinted,
    kEndRed,
    kEndGreen,
    kEndBlue,
    kStartRed,
    kStartGreen,
    kStartBlue,
    kTintCurve,
    kTintRamp,
    kPathKind,
    kPathFirstX,
    kPathFirstY,
    kPathControl1X,
    kPathControl1Y,
    kPathControl2X,
    kPathControl2Y,
    kPathLastX,
    kPathLastY,
    kPathCurve,
    kPathRamp
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectTurn(CEffectManager* manager);
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  void Print(EffectChannel* record, int channel) override;
};

// The draw mode is 0 opaque, 1 colour key, 2 mask. The two values after
// the last named one are kept, not read.
class CEffectStretchBlt : public CTableStartEffect {
 public:
  static constexpr int kNumber = 65;
  static constexpr const char* kClassName = "CEffectStretchBlt";
  enum : int {
    kDuration,
    kAnchorX,
    kAnchorY,
    kEndScaleX,
    kEndScaleY,
    kStartScaleX,
    kStartScaleY,
    kScaleCurve,
    kScaleRamp,
    kDrawMode,
    kEndOpacity,
    kStartOpacity,
    kOpacityCurve,
    kOpacityRamp,
    kTinted,
    kEndRed,
    kEndGreen,
    kEndBlue,
    kStartRed,
    kStartGreen,
    kStartBlue,
    kTintCurve,
    kTintRamp
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectStretchBlt(CEffectManager* manager);
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  void Print(EffectChannel* record, int channel) override;
};

namespace effectturn {

// Both effects draw their masked modes a row at a time; with this off they
// go pixel by pixel, the reference the tests compare with.
void AllowRows(bool allow);

}  // namespace effectturn
