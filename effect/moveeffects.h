// Layer moves. #52 CEffectMove lets the manager carry the channel picture from
// its draw start to its draw end rectangle and, at the end, fixes it there
// under #0. #61 CEffectSpecialMove draws the picture itself with four
// animations, each once or repeating on its own period: an offset along a line,
// an eased line or a curve; an opacity; a zoom about the picture's centre; a
// signed colour shift.
#pragma once

#include "effect/effectstart.h"

// Keeps its duration and stores no value (the rectangles come from
// SetRect).
class CEffectMove : public CTableStartEffect {
 public:
  static constexpr int kNumber = 52;
  static constexpr const char* kClassName = "CEffectMove";
  enum : int { kDuration };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectMove(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel* record, int channel) override;
  int CheckBusy(EffectChannel* record, int channel) override;
};

// The path kind is 0 a line, 1 an eased line, 2 a quadratic curve through
// the start offset. The opacity, zoom and colour take the move's timing
// unless given their own. Print writes the four cycle positions: the move's
// and the opacity's among the values, the zoom's and the colour's after
// them (save format).
class CEffectSpecialMove : public CTableStartEffect {
 public:
  static constexpr int kNumber = 61;
  static constexpr const char* kClassName = "CEffectSpecialMove";
  enum : int {
    kDuration,
    kPathKind,
    kTransparent,
    kMoveRepeats,
    kMovePeriod,
    kMoveCurve,
    kMoveRamp,
    kStartX,
    kStartY,
    kEndX,
    kEndY,
    kEndOpacity,
    kStartOpacity,
    kOpacityRepeats,
    kOpacityPeriod,
    kOpacityCurve,
    kOpacityRamp,
    kMovePosition,
    kOpacityPosition,
    kZoomRepeats,
    kZoomPeriod,
    kZoomCurve,
    kZoomRamp,
    kEndZoomX,
    kEndZoomY,
    kStartZoomX,
    kStartZoomY,
    kColourRepeats,
    kColourPeriod,
    kColourCurve,
    kColourRamp,
    kEndRed,
    kEndGreen,
    kEndBlue,
    kStartRed,
    kStartGreen,
    kStartBlue
  };
  static constexpr int kZoomPosition = 62, kColourPosition = 63;
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectSpecialMove(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  void Print(EffectChannel* record, int channel) override;
};
