// The strike effects: #86 a sword cut that splits the channel's picture
// along a line and slides the pieces apart along it, and #48 a defeated
// boss trembling row by row and sinking out of the bottom of the screen,
// after which the channel switches itself off. Both draw the picture
// themselves and start from their tables, each clamp right after its
// value's default.
#pragma once

#include <vector>

#include "effect/effectcharafilter.h"

// p0 duration (20), p1 cut angle in degrees (0; -90..90 when drawn), p2
// slide at the end in pixels (100), p3, p4 a point on the cut (W / 2, H / 2;
// held one pixel inside the screen when drawn), p5 kept (2), p6 which piece
// slides (1 left, 2 right, 3 both apart, others neither), p7, p8 slide
// curve and ramp (0), p9, p10 opacity at the end and start in percent (100,
// 0), p11, p12 its curve and ramp (0). The split table (one cut column per
// row, for the screen's rows or the picture's when it is taller) belongs to
// the object; a restore starts the cut again.
class CEffectZantetsu : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 86;
  static constexpr const char* kClassName = "CEffectZantetsu";
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

// p0 duration (20), p1 frames before the sinking (0, at most p0 - 1), p2,
// p3 tremble width at the end and start (8, = p2), p4, p5 its curve and
// ramp (0), p6 translucent (0), p7, p8 opacity at the end and start in
// percent (50, = p7), p9, p10 its curve and ramp (0). One draw of the
// random generator per row while the tremble is above 0.
class CEffectBossDeath : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 48;
  static constexpr const char* kClassName = "CEffectBossDeath";
  explicit CEffectBossDeath(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  // Switches the channel off (later passes reach #0 on the free channel).
  int Finish(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  // Rows the picture has sunk at the record's counter on a screen h high.
  static int Sink(const EffectChannel& record, int h);
};
