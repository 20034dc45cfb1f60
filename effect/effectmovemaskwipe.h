// #101, the moving mask wipe: two screen-sized pictures cross-fade while a
// third, the mask, pushes every sample sideways by its blue byte and up or
// down by its green byte. The push rises from nothing to its full strength
// halfway and settles again, so the old scene melts into the new one.
//
// p0 duration, p1 the channel whose picture is the target, p2 the mask's
// channel (-1 none): all three must be given. p3 curve code, p4 ramp (0);
// p5 the source is the saved screen instead of this channel's picture (0);
// p6 the target is the saved screen (0); p7 a hard switch instead of the
// cross-fade (0); p8 end progress percent (100), p9 start (0).
#pragma once

#include "effect/commoneffect.h"

class CEffectMoveMaskWipe : public CCommonEffect {
 public:
  static constexpr int kNumber = 101;
  static constexpr const char* kClassName = "CEffectMoveMaskWipe";
  using CCommonEffect::CCommonEffect;
  // Refuses fewer than three values.
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  // Ends at the duration and asks for a full redraw.
  int Finish(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  void Print(EffectChannel* record, int channel) override;

  // One frame's progress: 0 the source, 512 the target.
  static int Progress(const EffectChannel& record);
};
