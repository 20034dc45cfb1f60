// How much of a channel's picture (as a rule a character with a mask plane)
// shows, pixel by pixel: #8 CEffectTrans fixed translucency, #9 CEffectCTrans
// animated translucency in an optional clip box and tint,
// #110 CEffectCharaGhost a vertical fade that dissolves the character from the
// feet up, #123 CEffectCharaMaskAppear appearance through a screen-sized
// gradation picture on another channel, #121 CEffectDualMask only where the
// picture overlaps another channel's shape, #40 CEffectChange a cross-fade into
// another channel's picture of the same size (a change of expression) that
// hands the channels over at its end. Each draws the picture itself and keeps
// drawing its end state after the duration. Each names its values in its class;
// their defaults are its start table in effectcharatrans.cpp
// (effect/effectstart.h).
#pragma once

#include <cstdint>

#include "effect/effectcharafilter.h"

namespace charatrans {

// A picture pixel turning from a flat colour into itself: per channel
// ((pixel x e) >> 8) + (255 - e) x tint / 255, e in 0..255 (0 the flat
// colour), tint 0x00RRGGBB. The result never passes 255. The colour's
// part is the same for every pixel, so it is worked out once.
class FlatTint {
 public:
  FlatTint(int e, uint32_t tint) : e_(static_cast<uint32_t>(e)) {
    const uint32_t k = 255u - e_;
    for (int shift = 0; shift <= 16; shift += 8) add_ |= (k * ((tint >> shift) & 255u) / 255u) << shift;
  }
  uint32_t operator()(uint32_t pixel) const {
    constexpr uint32_t kEven = 0x00FF00FF;
    const uint32_t even = (((pixel & kEven) * e_) >> 8) & kEven;
    const uint32_t odd = (((pixel >> 8) & 0xFFu) * e_) & 0xFF00u;
    return (even | odd) + add_;
  }

 private:
  uint32_t e_;
  uint32_t add_ = 0;
};

}  // namespace charatrans

// The picture at an opacity in percent (held to 0..100 when drawn); the
// first value is kept, the duration always 1. Opaque channels blend the
// whole rectangle, the others through the mask.
class CEffectTrans : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 8;
  static constexpr const char* kClassName = "CEffectTrans";
  enum : int { kDuration, kOpacity };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectTrans(CEffectManager* manager);
  int Finish(EffectChannel*, int) override { return 1; }
  void Print(EffectChannel* record, int channel) override;
};

// The picture at an opacity in percent, cut to a moving clip box when it is
// on and tinted by a signed colour when that is on.
class CEffectCTrans : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 9;
  static constexpr const char* kClassName = "CEffectCTrans";
  enum : int {
    kDuration,
    kEndOpacity,
    kStartOpacity,
    kCurve,
    kRamp,
    kClipBox,
    kEndBoxX,
    kEndBoxY,
    kEndBoxWidth,
    kEndBoxHeight,
    kStartBoxX,
    kStartBoxY,
    kStartBoxWidth,
    kStartBoxHeight,
    kTinted,
    kEndRed,
    kEndGreen,
    kEndBlue,
    kStartRed,
    kStartGreen,
    kStartBlue,
    kTintCurve,
    kTintRamp
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectCTrans(CEffectManager* manager);
  int Finish(EffectChannel*, int) override { return 1; }
  void Print(EffectChannel* record, int channel) override;
  // The request cut to the box [x, x + w) x [y, y + h), the source moving
  // with the left and top edges; false when nothing is left.
  static bool CutToBox(Request* q, int x, int y, int w, int h);
};

// The picture's rows fade between a level at the top and one at the bottom
// (in percent; their table in the work buffer). The values after the last
// named one are kept, not read.
class CEffectCharaGhost : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 110;
  static constexpr const char* kClassName = "CEffectCharaGhost";
  enum : int { kDuration, kStartTop, kEndTop, kStartBottom, kEndBottom, kCurve, kRamp };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectCharaGhost(CEffectManager* manager);
  void Print(EffectChannel* record, int channel) override;
  // Per pixel of a row: weight (level x mask) >> 8, the whole pixel at
  // level 256 and mask 255, mixed as BlendApart256.
  static void PrintRowPlain(uint32_t* screen, const uint32_t* pixels, const uint8_t* mask, int n,
                            int level);
  static void PrintRow(uint32_t* screen, const uint32_t* pixels, const uint8_t* mask, int n,
                       int level);
};

// The picture appearing through another channel's gradation picture,
// brighter parts first (darker first when asked). Refuses a start without
// the gradation's channel.
class CEffectCharaMaskAppear : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 123;
  static constexpr const char* kClassName = "CEffectCharaMaskAppear";
  enum : int {
    kDuration,
    kGradeChannel,
    kHardness,
    kCurve,
    kRamp,
    kDarkerFirst,
    kEndPercent,
    kStartPercent
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectCharaMaskAppear(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  // Each gradation value's alpha (0..255) for the threshold wt and the
  // hardness: clamp(wt + hardness x g, 0, 255), g inverted when asked.
  static void AlphaTable(int64_t wt, int hardness, bool invert, uint8_t* alpha);
  // A row of the screen: each channel c mixes the picture in by the weight
  // (alpha of the gradation's channel c x mask) >> 8, the top byte kept.
  // The plain form reads the alpha table; the fast one works the alpha out
  // per channel in 32 bits, for |hardness| <= kFastHardness only.
  static constexpr int kFastHardness = 1 << 20;
  static void PrintRowPlain(uint32_t* screen, const uint32_t* pixels, const uint8_t* mask,
                            const uint32_t* grade, int n, const uint8_t* alpha);
  static void PrintRow(uint32_t* screen, const uint32_t* pixels, const uint8_t* mask,
                       const uint32_t* grade, int n, int64_t wt, int hardness, bool invert);
};

// The picture only where another channel's shape lies, at a level in
// percent, turning from a flat colour (held to 0..255) into itself when
// the tint is on.
class CEffectDualMask : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 121;
  static constexpr const char* kClassName = "CEffectDualMask";
  enum : int {
    kDuration,
    kOtherChannel,
    kEndLevel,
    kStartLevel,
    kCurve,
    kRamp,
    kTinted,
    kTintCurve,
    kTintRamp,
    kRed,
    kGreen,
    kBlue
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectDualMask(CEffectManager* manager);
  void Print(EffectChannel* record, int channel) override;
};

// A cross-fade into the picture of another channel (-1 none) at an overall
// opacity in percent. Refuses a start without the new picture's channel.
// At its end it hands the channels over (Finish).
class CEffectChange : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 40;
  static constexpr const char* kClassName = "CEffectChange";
  enum : int {
    kDuration,
    kNewChannel,
    kEndOpacity,
    kStartOpacity,
    kFadeCurve,
    kFadeRamp,
    kOpacityCurve,
    kOpacityRamp
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectChange(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  // At the end: both weights 0 turn the partner into #66; only the old
  // picture's weight a left turns this channel into #0 (a = 100) or #8 at
  // a percent; only the new one's left turns the partner into #66 and this
  // channel keeps drawing the end of the cross-fade. Both left: nothing.
  int Finish(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  // The old picture's and the new picture's weights (0..100) at the
  // record's counter.
  static void Weights(const EffectChannel& record, int* a, int* b);
};
