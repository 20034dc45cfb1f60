// The simple wipe (#59 CEffectSimpleWipe), which draws one numbered wipe of its
// wipe table between two pictures and owns that table, and the mask wipe
// (#60 CEffectMaskWipe), which blends two pictures through a grey mask picture,
// bright areas first. Both draw the whole screen every frame, also after their
// end, and never let the manager draw the channel picture.
#pragma once

#include <cstdint>
#include <memory>

#include "effect/effectstart.h"

class CAllWipe;
class CEffectSimpleWipeCommon;

// The old picture is the channel's, the new one another channel's (or the
// saved screen in place of either). Refuses a start without the wipe
// number; progress runs 0..kMaxProgress. Its values are named in the class;
// their defaults are its start table in effectwipe.cpp.
class CEffectSimpleWipe : public CTableStartEffect {
 public:
  static constexpr int kNumber = 59;
  static constexpr const char* kClassName = "CEffectSimpleWipe";
  static constexpr int kMaxProgress = 10000;
  enum : int {
    kDuration,
    kWipeNumber,
    kNewChannel,
    kCurve,
    kRamp,
    kEndPercent,
    kStartPercent,
    kSavedNew,
    kSavedOld
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::ParamClamp kClamps[];
  static const effectstart::StartTable kTable;
  // Makes the wipe table and hands it to the manager's transition step.
  explicit CEffectSimpleWipe(CEffectManager* manager);
  ~CEffectSimpleWipe() override;

  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel*, int) override { return 1; }
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }

  CEffectSimpleWipeCommon* GetWipe(int n) const;
  CAllWipe* GetTable() const { return table_.get(); }
  void Release();

 private:
  std::unique_ptr<CAllWipe> table_;
};

// The old picture is the channel's, the new one and the mask other
// channels' (or the saved screen in place of either picture); sharpness 0
// ignores the mask. Refuses a start without the mask's channel.
class CEffectMaskWipe : public CTableStartEffect {
 public:
  static constexpr int kNumber = 60;
  static constexpr const char* kClassName = "CEffectMaskWipe";
  static constexpr int kMaxSharpness = 127;
  enum : int {
    kDuration,
    kNewChannel,
    kMaskChannel,
    kSharpness,
    kCurve,
    kRamp,
    kSavedOld,
    kSavedNew,
    kEndPercent,
    kStartPercent
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::ParamClamp kClamps[];
  static const effectstart::StartTable kTable;
  explicit CEffectMaskWipe(CEffectManager* manager);

  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
};

namespace maskwipe {

// One pixel: per byte, a := clamp(mask * s + o, 0, 255) and
// out := (old * (256 - a) + new * a) >> 8. s in 0..127, o in -256 s..256.
uint32_t Pixel(uint32_t oldPixel, uint32_t newPixel, uint32_t mask, int s, int o);
// A row by the plain loop, and the entry the effect calls (SSE2), which
// gives the same bytes.
void RowPlain(uint32_t* dst, const uint32_t* oldRow, const uint32_t* newRow, const uint32_t* mask,
              int n, int s, int o);
void Row(uint32_t* dst, const uint32_t* oldRow, const uint32_t* newRow, const uint32_t* mask, int n,
         int s, int o);

}  // namespace maskwipe
