// Rotation and scaling: the channel picture drawn through an affine mapping
// with tint and masking. #64 turns and zooms it about a centre of its own,
// optionally along a curve, fading its opacity; #65 scales it in x and y
// about an anchor. Every screen pixel they touch is mapped back into the
// picture by two 16.16 accumulators; pixels whose source lies outside the
// picture keep their value.
#pragma once

#include "effect/commoneffect.h"

// p0 duration (20); p1 end angle in degrees (0), p2 start angle (p1);
// p3, p4 rotation centre offset from the picture's centre (0, 0); p5 end
// zoom percent (100), p6 start zoom (p5); p7 draw mode (0 opaque, 1 colour
// key, 2 mask with opacity); p8 end opacity percent (100), p9 start (p8);
// p10..p15 curve code and ramp of angle, zoom and opacity (0); p16 tint
// switch (0); p17..p19 end tint (0, p17, p18), p20..p22 start tint (p17..
// p19); p23, p24 tint curve and ramp; p25 path kind (2 quadratic, 3 cubic,
// other none); p26..p33 the path's points ((0, 0), (200, -100),
// (300, -200), (400, 100)); p34, p35 path curve code and ramp.
class CEffectTurn : public CCommonEffect {
 public:
  static constexpr int kNumber = 64;
  static constexpr const char* kClassName = "CEffectTurn";
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  void Print(EffectChannel* record, int channel) override;
};

// p0 duration (20); p1, p2 anchor offset from the picture's centre (0, 0);
// p3, p4 end scale percent x, y (100, 100), p5, p6 start (p3, p4); p7, p8
// scale curve code and ramp; p9 draw mode (0 opaque, 1 colour key, 2 mask);
// p10 end opacity percent (100), p11 start (p10); p12, p13 its curve and
// ramp; p14 tint switch; p15..p17 end tint (0, p15, p16), p18..p20 start
// tint (p15..p17); p21, p22 tint curve and ramp; p23, p24 kept (0).
class CEffectStretchBlt : public CCommonEffect {
 public:
  static constexpr int kNumber = 65;
  static constexpr const char* kClassName = "CEffectStretchBlt";
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  void Print(EffectChannel* record, int channel) override;
};
