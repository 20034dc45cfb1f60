// Geometric fills over the scene: an ellipse (#87 blended, #115 added), a
// ring between two ellipses (#89 blended, #116 added), a rectangle (#114,
// and #118, which draws the same numbers as a blended ellipse) and a
// whole-screen colour (#88, #117). The members of a pair share parameters
// and code and differ in the filler and the number. Every quantity runs from
// its start to its end value over the duration; none of them ends by itself.
#pragma once

#include "effect/commoneffect.h"

// An ellipse filler (centre x, centre y, radius x, radius y, red, green,
// blue, percent) or the box filler (x, y, width, height, the same four).
using ShapeFiller = int (*)(int, int, int, int, int, int, int, int);
// (outer centre x, y, outer radius x, y, inner centre x, y, inner radius x,
// y, red, green, blue, percent)
using RingFiller = int (*)(int, int, int, int, int, int, int, int, int, int, int, int);

// p0 duration (20); p1, p2 end centre (half the screen); p3, p4 end radii
// (100, 100); p5..p7 end colour (128 each); p8 end strength (100); p9, p10
// start centre (p1, p2); p11, p12 centre curve code and ramp; p13, p14 start
// radii (p3, p4); p15, p16 their code and ramp; p17..p19 start colour
// (p5..p7); p20, p21 its code and ramp; p22 start strength (p8); p23, p24
// its code and ramp.
class CEffectGeoCircle : public CCommonEffect {
 public:
  static constexpr int kNumber = 87;
  static constexpr const char* kClassName = "CEffectGeoCircle";
  explicit CEffectGeoCircle(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  void Print(EffectChannel* record, int channel) override;

 protected:
  CEffectGeoCircle(CEffectManager* manager, int number, ShapeFiller filler);

 private:
  int number_;
  ShapeFiller filler_;
};

class CEffectGeoCircleAdd : public CEffectGeoCircle {
 public:
  static constexpr int kNumber = 115;
  static constexpr const char* kClassName = "CEffectGeoCircleAdd";
  explicit CEffectGeoCircleAdd(CEffectManager* manager);
};

// p0 duration (20); p1, p2 end outer centre, p5, p6 end inner centre (half
// the screen); p3, p4 end outer radii (100), p7, p8 end inner radii (50);
// p9..p11 end colour (128); p12 end strength (100); p13, p14 start outer
// centre, p15, p16 start inner centre, p17, p18 centre code and ramp; p19,
// p20 start outer radii, p21, p22 start inner radii, p23, p24 radius code
// and ramp; p25..p27 start colour, p28, p29 its code and ramp; p30 start
// strength, p31, p32 its code and ramp. Start values default to the ends.
class CEffectGeoTorus : public CCommonEffect {
 public:
  static constexpr int kNumber = 89;
  static constexpr const char* kClassName = "CEffectGeoTorus";
  explicit CEffectGeoTorus(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  void Print(EffectChannel* record, int channel) override;

 protected:
  CEffectGeoTorus(CEffectManager* manager, int number, RingFiller filler);

 private:
  int number_;
  RingFiller filler_;
};

class CEffectGeoTorusAdd : public CEffectGeoTorus {
 public:
  static constexpr int kNumber = 116;
  static constexpr const char* kClassName = "CEffectGeoTorusAdd";
  explicit CEffectGeoTorusAdd(CEffectManager* manager);
};

// p0 duration (20); p1, p2 frames without drawing at the start and at the
// end (0, 0); p3, p4 start size (100, 100), p5, p6 end size (p3, p4); p7..p9
// start colour (128 each), p10..p12 end colour (p7..p9); p13, p14 start x, y
// (half the screen), p15, p16 end x, y (p13, p14); p17..p23 kept (0).
// Straight steps, no progress curve.
class CEffectGeoBox : public CCommonEffect {
 public:
  static constexpr int kNumber = 114;
  static constexpr const char* kClassName = "CEffectGeoBox";
  explicit CEffectGeoBox(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  void Print(EffectChannel* record, int channel) override;

 protected:
  CEffectGeoBox(CEffectManager* manager, int number, ShapeFiller filler);

 private:
  int number_;
  ShapeFiller filler_;
};

// #114's numbers as an ellipse: x, y its centre, width, height its radii.
class CEffectGeoBoxAdd : public CEffectGeoBox {
 public:
  static constexpr int kNumber = 118;
  static constexpr const char* kClassName = "CEffectGeoBoxAdd";
  explicit CEffectGeoBoxAdd(CEffectManager* manager);
};

// p0 red (0), p1 green (p0), p2 blue (p1); runs 9999 frames whatever is
// given.
class CEffectGeoPolygon : public CCommonEffect {
 public:
  static constexpr int kNumber = 88;
  static constexpr const char* kClassName = "CEffectGeoPolygon";
  explicit CEffectGeoPolygon(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  void Print(EffectChannel* record, int channel) override;

 protected:
  CEffectGeoPolygon(CEffectManager* manager, int number);

 private:
  int number_;
};

class CEffectGeoPolygonAdd : public CEffectGeoPolygon {
 public:
  static constexpr int kNumber = 117;
  static constexpr const char* kClassName = "CEffectGeoPolygonAdd";
  explicit CEffectGeoPolygonAdd(CEffectManager* manager);
};
