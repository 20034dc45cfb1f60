// The simple wipe (#59), which draws one numbered wipe of its wipe table
// between two pictures and owns that table, and the mask wipe (#60), which
// blends two pictures through a grey mask picture, bright areas first. Both
// draw the whole screen every frame, also after their end, and never let the
// manager draw the channel picture.
#pragma once

#include <cstdint>
#include <memory>

#include "effect/commoneffect.h"

class CAllWipe;
class CEffectSimpleWipeCommon;

// p0 duration (20), p1 wipe number (0; below 0 becomes 0), p2 the new
// picture's channel (13), p3 curve code (0), p4 curve ramp (0), p5 progress
// at the end in percent (100), p6 at the start (0), p7 nonzero: the new
// picture is the saved screen (0), p8 likewise the old one (0). At least two
// values; progress runs 0..10000.
class CEffectSimpleWipe : public CCommonEffect {
 public:
  static constexpr int kNumber = 59;
  static constexpr const char* kClassName = "CEffectSimpleWipe";
  static constexpr int kMaxProgress = 10000;
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

// p0 duration (20), p1 the new picture's channel (12), p2 the mask's channel
// (13), p3 edge sharpness 0..127 (1; 0 ignores the mask), p4 curve code (0),
// p5 curve ramp (0), p6 nonzero: the old picture is the saved screen (0), p7
// likewise the new one (0), p8 percent at the end (100), p9 at the start
// (0). At least three values.
class CEffectMaskWipe : public CCommonEffect {
 public:
  static constexpr int kNumber = 60;
  static constexpr const char* kClassName = "CEffectMaskWipe";
  static constexpr int kMaxSharpness = 127;
  using CCommonEffect::CCommonEffect;

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
