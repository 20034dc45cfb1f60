// #136: the channel's picture shown only on one side of a moving line or
// inside a moving rectangle, at a level, optionally tinted from a flat
// colour into the picture, with a border along the line or around the
// rectangle. The shape becomes one span per screen row (in the manager's
// work buffer) before any pixel is touched.
#pragma once

#include "effect/effectcharafilter.h"

// p0 duration (20); p1, p2 the line's point or the rectangle's corner at the
// end (400, 300); p3, p4 the direction or size at the end (-60, -40); p5
// rectangle mode (0); p6, p7 level at the end and start in percent (100,
// = p6), p8, p9 its curve and ramp; p10 tint (0), p11, p12 its ramp and
// curve, p13..p15 the tint colour (255 each, held to 0..255; the tint is
// #121's, charatrans::FlatTint); p16 border width (0 none), p17
// border percent at the end (100), p18..p20 its colour at the end (255
// each), p21 percent at the start (= p17), p22, p23 its curve and ramp,
// p24..p26 colour at the start (= p18..p20), p27, p28 the colour's curve and
// ramp; p29..p32 p1..p4 at the start (= p1..p4), p33, p34 the motion's curve
// and ramp.
class CEffectTaClip : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 136;
  static constexpr const char* kClassName = "CEffectTaClip";
  explicit CEffectTaClip(CEffectManager* manager);
  int Finish(EffectChannel*, int) override { return 1; }
  void Print(EffectChannel* record, int channel) override;
};
