// Geometric fills over the scene: an ellipse (#87 CEffectGeoCircle blended,
// #115 CEffectGeoCircleAdd added), a ring between two ellipses
// (#89 CEffectGeoTorus blended, #116 CEffectGeoTorusAdd added), a rectangle
// (#114 CEffectGeoBox, and #118 CEffectGeoBoxAdd, which draws the same numbers
// as a blended ellipse) and a whole-screen colour (#88 CEffectGeoPolygon,
// #117 CEffectGeoPolygonAdd). The members of a pair share parameters and code
// and differ in the filler and the number. Every quantity runs from its start
// to its end value over the duration; none of them ends by itself. Each names
// its values in its class; their defaults are its start table in
// geoeffects.cpp.
#pragma once

#include "effect/effectstart.h"

// An ellipse filler (centre x, centre y, radius x, radius y, red, green,
// blue, percent) or the box filler (x, y, width, height, the same four).
using ShapeFiller = int (*)(int, int, int, int, int, int, int, int);
// (outer centre x, y, outer radius x, y, inner centre x, y, inner radius x,
// y, red, green, blue, percent)
using RingFiller = int (*)(int, int, int, int, int, int, int, int, int, int, int, int);

// An ellipse from its start to its end centre, radii, colour and strength,
// each group on its own curve.
class CEffectGeoCircle : public CTableStartEffect {
 public:
  static constexpr int kNumber = 87;
  static constexpr const char* kClassName = "CEffectGeoCircle";
  enum : int {
    kDuration,
    kEndX,
    kEndY,
    kEndRadiusX,
    kEndRadiusY,
    kEndRed,
    kEndGreen,
    kEndBlue,
    kEndStrength,
    kStartX,
    kStartY,
    kCentreCurve,
    kCentreRamp,
    kStartRadiusX,
    kStartRadiusY,
    kRadiusCurve,
    kRadiusRamp,
    kStartRed,
    kStartGreen,
    kStartBlue,
    kColourCurve,
    kColourRamp,
    kStartStrength,
    kStrengthCurve,
    kStrengthRamp
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectGeoCircle(CEffectManager* manager);
  void Print(EffectChannel* record, int channel) override;

 protected:
  CEffectGeoCircle(CEffectManager* manager, const effectstart::StartTable& table,
                   ShapeFiller filler);

 private:
  ShapeFiller filler_;
};

class CEffectGeoCircleAdd : public CEffectGeoCircle {
 public:
  static constexpr int kNumber = 115;
  static constexpr const char* kClassName = "CEffectGeoCircleAdd";
  static const effectstart::StartTable kTable;
  explicit CEffectGeoCircleAdd(CEffectManager* manager);
};

// A ring between an outer and an inner ellipse, each from its start to its
// end centre and radii; colour and strength likewise.
class CEffectGeoTorus : public CTableStartEffect {
 public:
  static constexpr int kNumber = 89;
  static constexpr const char* kClassName = "CEffectGeoTorus";
  enum : int {
    kDuration,
    kEndOuterX,
    kEndOuterY,
    kEndOuterRadiusX,
    kEndOuterRadiusY,
    kEndInnerX,
    kEndInnerY,
    kEndInnerRadiusX,
    kEndInnerRadiusY,
    kEndRed,
    kEndGreen,
    kEndBlue,
    kEndStrength,
    kStartOuterX,
    kStartOuterY,
    kStartInnerX,
    kStartInnerY,
    kCentreCurve,
    kCentreRamp,
    kStartOuterRadiusX,
    kStartOuterRadiusY,
    kStartInnerRadiusX,
    kStartInnerRadiusY,
    kRadiusCurve,
    kRadiusRamp,
    kStartRed,
    kStartGreen,
    kStartBlue,
    kColourCurve,
    kColourRamp,
    kStartStrength,
    kStrengthCurve,
    kStrengthRamp
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectGeoTorus(CEffectManager* manager);
  void Print(EffectChannel* record, int channel) override;

 protected:
  CEffectGeoTorus(CEffectManager* manager, const effectstart::StartTable& table, RingFiller filler);

 private:
  RingFiller filler_;
};

class CEffectGeoTorusAdd : public CEffectGeoTorus {
 public:
  static constexpr int kNumber = 116;
  static constexpr const char* kClassName = "CEffectGeoTorusAdd";
  static const effectstart::StartTable kTable;
  explicit CEffectGeoTorusAdd(CEffectManager* manager);
};

// A rectangle from its start to its end place, size and colour in straight
// steps (no progress curve), drawn only after some frames at the start and
// before some at the end. The values after the last named one are kept,
// not read.
class CEffectGeoBox : public CTableStartEffect {
 public:
  static constexpr int kNumber = 114;
  static constexpr const char* kClassName = "CEffectGeoBox";
  enum : int {
    kDuration,
    kLeadFrames,
    kTailFrames,
    kStartWidth,
    kStartHeight,
    kEndWidth,
    kEndHeight,
    kStartRed,
    kStartGreen,
    kStartBlue,
    kEndRed,
    kEndGreen,
    kEndBlue,
    kStartX,
    kStartY,
    kEndX,
    kEndY
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectGeoBox(CEffectManager* manager);
  void Print(EffectChannel* record, int channel) override;

 protected:
  CEffectGeoBox(CEffectManager* manager, const effectstart::StartTable& table, ShapeFiller filler);

 private:
  ShapeFiller filler_;
};

// #114's numbers as an ellipse: x, y its centre, width, height its radii.
class CEffectGeoBoxAdd : public CEffectGeoBox {
 public:
  static constexpr int kNumber = 118;
  static constexpr const char* kClassName = "CEffectGeoBoxAdd";
  static const effectstart::StartTable kTable;
  explicit CEffectGeoBoxAdd(CEffectManager* manager);
};

// The whole screen one colour; runs 9999 frames whatever is given.
class CEffectGeoPolygon : public CTableStartEffect {
 public:
  static constexpr int kNumber = 88;
  static constexpr const char* kClassName = "CEffectGeoPolygon";
  enum : int { kRed, kGreen, kBlue };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectGeoPolygon(CEffectManager* manager);
  void Print(EffectChannel* record, int channel) override;

 protected:
  using CTableStartEffect::CTableStartEffect;
};

class CEffectGeoPolygonAdd : public CEffectGeoPolygon {
 public:
  static constexpr int kNumber = 117;
  static constexpr const char* kClassName = "CEffectGeoPolygonAdd";
  static const effectstart::StartTable kTable;
  explicit CEffectGeoPolygonAdd(CEffectManager* manager);
};
