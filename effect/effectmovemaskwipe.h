// #101, the moving mask wipe: two screen-sized pictures cross-fade while a
// third, the mask, pushes every sample sideways by its blue byte and up or
// down by its green byte. The push rises from nothing to its full strength
// halfway and settles again, so the old scene melts into the new one. Its
// values are named in the class; their defaults are its start table in
// effectmovemaskwipe.cpp.
#pragma once

#include "effect/effectstart.h"

class CEffectMoveMaskWipe : public CTableStartEffect {
 public:
  static constexpr int kNumber = 101;
  static constexpr const char* kClassName = "CEffectMoveMaskWipe";
  enum : int {
    kDuration,
    kTargetChannel,
    kMaskChannel,
    kCurve,
    kRamp,
    kSavedSource,
    kSavedTarget,
    kHardSwitch,
    kEndPercent,
    kStartPercent
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectMoveMaskWipe(CEffectManager* manager);
  // Refuses fewer than three values: the first three have no defaults.
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  // Ends at the duration and asks for a full redraw.
  int Finish(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  void Print(EffectChannel* record, int channel) override;

  // One frame's progress: 0 the source, 512 the target.
  static int Progress(const EffectChannel& record);
};
