// The strike effects: #86 CEffectZantetsu a sword cut that splits the channel's
// picture along a line and slides the pieces apart along it, and
// #48 CEffectBossDeath a defeated boss trembling row by row and sinking out of
// the bottom of the screen, after which the channel switches itself off. Both
// draw the picture themselves. Each names its values in its class; their
// defaults are its start table in strikeeffects.cpp.
#pragma once

#include <vector>

#include "effect/effectcharafilter.h"

// The cut's angle is held to -90..90 and its point one pixel inside the
// screen when drawn; the pieces that slide are 1 the left, 2 the right, 3
// both apart, others neither. The spare is kept, not used. The split table
// (one cut column per row, for the screen's rows or the picture's when it
// is taller) belongs to the object; a restore starts the cut again.
class CEffectZantetsu : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 86;
  static constexpr const char* kClassName = "CEffectZantetsu";
  enum : int {
    kDuration,
    kAngle,
    kSlide,
    kPointX,
    kPointY,
    kSpare,
    kPieces,
    kSlideCurve,
    kSlideRamp,
    kEndOpacity,
    kStartOpacity,
    kOpacityCurve,
    kOpacityRamp
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectZantetsu(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  void Restore(EffectChannel* record, int channel) override { StartAgain(record, channel); }

  // The split table as the last Print left it.
  const std::vector<int>& Splits() const { return splits_; }
  // Fills rows 0..rows - 1 for angle a (-90..90) through (px, py) on a
  // screen w wide and h high.
  static void MakeSplits(int a, int px, int py, int w, int h, int rows, int* out);

 private:
  void EnsureSplits(int rows);
  std::vector<int> splits_;
};

// Trembles, then sinks after a wait (held below the duration); translucent
// at an opacity when asked. One draw of the random generator per row while
// the tremble is above 0.
class CEffectBossDeath : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 48;
  static constexpr const char* kClassName = "CEffectBossDeath";
  enum : int {
    kDuration,
    kWait,
    kEndTremble,
    kStartTremble,
    kTrembleCurve,
    kTrembleRamp,
    kTranslucent,
    kEndOpacity,
    kStartOpacity,
    kOpacityCurve,
    kOpacityRamp
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectBossDeath(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  // Switches the channel off (later passes reach #0 on the free channel).
  int Finish(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  // Rows the picture has sunk at the record's counter on a screen h high.
  static int Sink(const EffectChannel& record, int h);
};
