// Layer moves. #52 lets the manager carry the channel picture from its draw
// start to its draw end rectangle and, at the end, fixes it there under #0.
// #61 draws the picture itself with four animations, each once or repeating
// on its own period: an offset along a line, an eased line or a curve; an
// opacity; a zoom about the picture's centre; a signed colour shift.
#pragma once

#include "effect/commoneffect.h"

// p0 duration (20); keeps no values (the rectangles come from SetRect).
class CEffectMove : public CCommonEffect {
 public:
  static constexpr int kNumber = 52;
  static constexpr const char* kClassName = "CEffectMove";
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel* record, int channel) override;
  int CheckBusy(EffectChannel* record, int channel) override;
};

// p0 duration (20); p1 path kind (0 line, 1 eased line, 2 quadratic curve);
// p2 transparent (1); p3 the move repeats (1); p4 move period (p0); p5, p6
// move curve code and ramp (0); p7, p8 start offset, the control point of
// the curve (0); p9, p10 end offset (0); p11 end opacity (100), p12 start
// opacity (p11); p13..p16 the opacity's repeat, period, code and ramp (p3..
// p6); p17, p18 written: move and opacity cycle positions; p19..p22 the
// zoom's repeat, period, code, ramp (p3..p6); p23, p24 end zoom percent
// (100), p25, p26 start zoom (p23, p24); p27..p30 the colour's repeat,
// period, code, ramp (p3..p6); p31..p33 end colour shift (0), p34..p36
// start colour shift (p31..p33). The zoom and colour cycle positions are
// written at p62, p63.
class CEffectSpecialMove : public CCommonEffect {
 public:
  static constexpr int kNumber = 61;
  static constexpr const char* kClassName = "CEffectSpecialMove";
  static constexpr int kParams = 37;
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  void Print(EffectChannel* record, int channel) override;
};
