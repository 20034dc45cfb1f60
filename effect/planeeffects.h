// Sky, shore and waterfall planes: effects that compute the screen line by
// line. #82 clouds in perspective, #83 waves on a shore, #91 a waterfall
// that speeds up, #95 one colour over the screen.
#pragma once

#include <array>
#include <cstdint>

#include "effect/commoneffect.h"

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

// p0 duration (9999; the counter never reaches it); p1 band lines (200,
// 1..screen height); p2, p3 scroll per drawn frame in 1/100 texel (0, 50);
// p4 eye height (200, at least 1); p5 near distance (100, at least 1); p6
// far distance (500, above p5); p7 texture scale (100, at least 1); p8 use
// the picture's mask; p9 horizon tint; p10..p12 its red, green, blue
// (signed); p13 first tinted line (0..p1 - 1). The scroll is shared by
// every channel running the effect.
class CEffectCloud : public CCommonEffect {
 public:
  static constexpr int kNumber = 82;
  static constexpr const char* kClassName = "CEffectCloud";
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel*, int) override { return 1; }
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  int64_t GetScrollX() const { return scrollX_; }
  int64_t GetScrollY() const { return scrollY_; }

 private:
  int64_t scrollX_ = 0, scrollY_ = 0;
};

// p0 duration (20); p1 tint strength, percent (20); p2..p4 the tint's red,
// green, blue (128, 192, 255); p5 top line (0); p6 lines (the screen
// height); p7, p8 tide phase steps (30, 43, at least 1); p9, p10 tide
// amplitudes (300, 250); p11, p12 wave scales, percent (100, 100); p13
// shore x at the bottom (700); p14 perspective at the top, percent (100, at
// least 1). The phases are shared by every channel running the effect.
class CEffectBeach : public CCommonEffect {
 public:
  static constexpr int kNumber = 83;
  static constexpr const char* kClassName = "CEffectBeach";
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

// p0 duration (20); p1, p2 place (0, 0); p3 strip height (24); p4 picture
// channel (-1 own); p5 speed at the top, 1/100 pixel per count (100); p6
// acceleration, 1/100 pixel per count squared (20); p7 mode (2, the only
// one that draws, through the picture's mask).
class CEffectWaterFall : public CCommonEffect {
 public:
  static constexpr int kNumber = 91;
  static constexpr const char* kClassName = "CEffectWaterFall";
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
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

// p0..p2 red, green, blue (0, = red, = green; each value's low byte); the
// channel runs 9999 counts.
class CEffectWaterDrop : public CCommonEffect {
 public:
  static constexpr int kNumber = 95;
  static constexpr const char* kClassName = "CEffectWaterDrop";
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  void Print(EffectChannel* record, int) override {
    FillScreenBytes(record->Param(0), record->Param(1), record->Param(2));
  }
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  int CheckBusy(EffectChannel*, int) override { return 0; }
};
