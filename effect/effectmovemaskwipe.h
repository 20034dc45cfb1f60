// #101 CEffectMoveMaskWipe, the moving mask wipe: two screen-sized pictures
// cross-fade while a third, the mask, pushes every sample sideways by its blue
// byte and up or down by its green byte. The push rises from nothing to its
// full strength halfway and settles again, so the old scene melts into the new
// one. Its values are named in the class; their defaults are its start table in
// effectmovemaskwipe.cpp.
#pragma once

#include <cstdint>
#include <vector>

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
  // A row at a time: the bent positions, the samples of both pictures,
  // then the mix in one packed-word loop. PrintPlain works pixel by pixel,
  // the reference Print is held to byte for byte.
  void Print(EffectChannel* record, int channel) override;
  void PrintPlain(EffectChannel* record, int channel);

  // One frame's progress: 0 the source, 512 the target.
  static int Progress(const EffectChannel& record);

 private:
  void Draw(EffectChannel* record, int channel, bool plain);
  // One row's bent columns and rows, then the samples of each picture.
  std::vector<int32_t> columns_, rows_;
  std::vector<uint32_t> sources_, targets_;
};
