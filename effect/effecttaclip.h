// #136 CEffectTaClip: the channel's picture shown only on one side of a moving
// line or inside a moving rectangle, at a level, optionally tinted from a flat
// colour into the picture, with a border along the line or around the
// rectangle. The shape becomes one span per screen row (in the manager's work
// buffer) before any pixel is touched.
#pragma once

#include "effect/effectcharafilter.h"

// The line is a point and a direction, the rectangle (rectangle mode) a
// corner and a size; both move from their start to their end. The tint is
// #121's (charatrans::FlatTint), its colour held to 0..255; a border of a
// width (0 none) runs along the line or around the rectangle. Its values
// are named in the class; their defaults are its start table in
// effecttaclip.cpp.
class CEffectTaClip : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 136;
  static constexpr const char* kClassName = "CEffectTaClip";
  enum : int {
    kDuration,
    kEndX,
    kEndY,
    kEndDx,
    kEndDy,
    kRectangle,
    kEndLevel,
    kStartLevel,
    kLevelCurve,
    kLevelRamp,
    kTinted,
    kTintRamp,
    kTintCurve,
    kRed,
    kGreen,
    kBlue,
    kBorderWidth,
    kEndBorderPercent,
    kEndBorderRed,
    kEndBorderGreen,
    kEndBorderBlue,
    kStartBorderPercent,
    kPercentCurve,
    kPercentRamp,
    kStartBorderRed,
    kStartBorderGreen,
    kStartBorderBlue,
    kColourCurve,
    kColourRamp,
    kStartX,
    kStartY,
    kStartDx,
    kStartDy,
    kMoveCurve,
    kMoveRamp
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectTaClip(CEffectManager* manager);
  int Finish(EffectChannel*, int) override { return 1; }
  void Print(EffectChannel* record, int channel) override;
};
