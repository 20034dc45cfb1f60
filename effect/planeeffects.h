// Sky, shore and waterfall planes: effects that compute the screen line by
// line. #82 CEffectCloud clouds in perspective, #83 CEffectBeach waves on a
// shore, #91 CEffectWaterFall a waterfall that speeds up, #95 CEffectWaterDrop
// one colour over the screen. Each names its values in its class; their
// defaults and clamps are its start table in planeeffects.cpp.
#pragma once

#include <array>
#include <cstdint>

#include "effect/effectstart.h"

// The per-byte rules of the planes: plain per-colour forms, and row forms
// a test holds to them byte for byte.
namespace planepixel {

// Each colour byte plus add[c], held to 255, then minus sub[c], held to 0
// (blue, green, red; each 0..255). The top byte becomes 0.
uint32_t TintPlain(uint32_t pixel, const int* add, const int* sub);
// Per colour byte (a x wa + b x wb) >> 8, held to 255.
uint32_t MixPlain(uint32_t a, uint32_t wa, uint32_t b, uint32_t wb);

// Row forms, SSE2 where the machine has it: the tint over a row in place;
// and a picture row over the screen through its mask: mask 0 keeps the
// screen, 255 mixes at brightness a (0..256) against 256 - a, others at
// am = a x m >> 8 against total - am (total 255 or 256).
void TintRow(uint32_t* row, size_t n, const int* add, const int* sub);
void MaskedMixRow(uint32_t* out, const uint32_t* src, const uint8_t* mask, size_t n, uint32_t a,
                  uint32_t total);
// The same, pixel by pixel through the plain forms: what the rows are held to.
void MaskedMixRowPlain(uint32_t* out, const uint32_t* src, const uint8_t* mask, size_t n, uint32_t a,
                       uint32_t total);

}  // namespace planepixel

// A picture scrolled over a band of lines in perspective, from the eye
// height between a near and a far distance, tinted (a signed colour)
// toward the horizon from a first tinted line. A start holds the band on
// the screen, the far distance beyond the near one and the first tinted
// line in the band. The counter never reaches the duration. The scroll is
// shared by every channel running the effect.
class CEffectCloud : public CTableStartEffect {
 public:
  static constexpr int kNumber = 82;
  static constexpr const char* kClassName = "CEffectCloud";
  enum : int {
    kDuration,
    kBandLines,
    kScrollX,
    kScrollY,
    kEyeHeight,
    kNear,
    kFar,
    kTextureScale,
    kUseMask,
    kHorizonTint,
    kRed,
    kGreen,
    kBlue,
    kFirstTinted
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::ParamClamp kClamps[];
  static const effectstart::StartTable kTable;
  explicit CEffectCloud(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel*, int) override { return 1; }
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  int64_t GetScrollX() const { return scrollX_; }
  int64_t GetScrollY() const { return scrollY_; }

 private:
  int64_t scrollX_ = 0, scrollY_ = 0;
};

// Waves tinting the lines of a shore, the tides and waves moving on their
// phases, seen in perspective. A start holds the lines on the screen. The
// phases are shared by every channel running the effect.
class CEffectBeach : public CTableStartEffect {
 public:
  static constexpr int kNumber = 83;
  static constexpr const char* kClassName = "CEffectBeach";
  enum : int {
    kDuration,
    kStrength,
    kRed,
    kGreen,
    kBlue,
    kTopLine,
    kLines,
    kTideStep1,
    kTideStep2,
    kTideHeight1,
    kTideHeight2,
    kWaveScale1,
    kWaveScale2,
    kShoreX,
    kTopPerspective
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::ParamClamp kClamps[];
  static const effectstart::StartTable kTable;
  // Draws the six wave phases, then the two tide phases.
  explicit CEffectBeach(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel*, int) override { return 1; }
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;

  // The spans of screen line `line` (f lines below the top): [x1, x2) and
  // [x2, xe), before cutting at the screen.
  struct Spans {
    int x1, x2, xe;
  };
  Spans LineSpans(const EffectChannel& record, int f) const;
  const std::array<int, 6>& GetWavePhases() const { return waves_; }
  const std::array<int, 2>& GetTidePhases() const { return tides_; }

 private:
  std::array<int, 6> waves_{};
  std::array<int, 2> tides_{};
};

// A strip of a picture (of its own channel for -1) falling faster and
// faster; only mode 2 draws, through the picture's mask.
class CEffectWaterFall : public CTableStartEffect {
 public:
  static constexpr int kNumber = 91;
  static constexpr const char* kClassName = "CEffectWaterFall";
  enum : int { kDuration, kX, kY, kStripHeight, kPictureChannel, kSpeed, kAcceleration, kMode };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectWaterFall(CEffectManager* manager);
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }

  // Strip line n: its brightness 0..256 and its source row, or false when
  // the line is not drawn.
  static bool Line(int speed, int acceleration, int counter, int height, int n, int* brightness,
                   int* row);

 private:
  CPicture* Source(const EffectChannel& record, int channel) const;
};

// The screen one colour (each value's low byte); the channel runs 9999
// counts.
class CEffectWaterDrop : public CTableStartEffect {
 public:
  static constexpr int kNumber = 95;
  static constexpr const char* kClassName = "CEffectWaterDrop";
  enum : int { kRed, kGreen, kBlue };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectWaterDrop(CEffectManager* manager);
  void Print(EffectChannel* record, int) override {
    FillScreenBytes(record->Param(kRed), record->Param(kGreen), record->Param(kBlue));
  }
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  int CheckBusy(EffectChannel*, int) override { return 0; }
};
