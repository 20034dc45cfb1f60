// Effects that compute one value per pixel row: the water reflection (#24)
// copies rows of the upper screen below its surface line, rippling; the
// breeze (#92) sways a picture row by row; the grass plane (#93) bends a
// picture on a perspective plane under travelling gusts. The breeze and the
// grass draw through CPicture::RasterBlt with a table in the manager's work
// buffer.
#pragma once

#include <array>
#include <vector>

#include "effect/commoneffect.h"

// p0 stored (20), the channel runs 99999 frames; p1 surface line (screen
// height / 2, 0..height - 1); p2 (100), p3 (0) stored. The ripple's phase
// is the object's: channels running #24 share it.
class CEffectWater : public CCommonEffect {
 public:
  static constexpr int kNumber = 24;
  static constexpr const char* kClassName = "CEffectWater";
  static constexpr int kParams = 4;
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel*, int) override { return 1; }
  void Print(EffectChannel* record, int channel) override;
  void Restore(EffectChannel* record, int channel) override;

  int GetPhase() const { return phase_; }
  // The source row of every screen row from `surface` on, at the phase.
  static void MakeLineTable(int surface, int height, int phase, int* table);

 private:
  std::vector<int> lines_;
  int phase_ = 0;
};

// p0 duration (20); p1 period (20); p2 swing right (10), p3 swing left
// (10); p4 percent of the period swinging out (50); p5 drawing mode (2,
// the only one that draws); p6 loops (1); p7 picture channel (-1: own);
// p8 the bottom row is the anchor (0: the top); p9 ripple amplitude (0),
// p10 ripple wavelength in rows (1), p11 ripple speed (1), p12 ripple
// phase (0, written by Calcu).
class CEffectSoyosoyo : public CCommonEffect {
 public:
  static constexpr int kNumber = 92;
  static constexpr const char* kClassName = "CEffectSoyosoyo";
  static constexpr int kParams = 13;
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }

  // The offsets of rows 0..h-1 at the record's counter.
  static void MakeOffsets(const EffectChannel& record, int h, int* offsets);
};

// p0 duration (20); p1 top line (screen height / 2, 0..height - 1); p2 band
// height (height / 2, 1..height - p1); p3 far distance (500), p4 near
// distance (100; the far one is raised above it); p5 gusts travel from far
// to near (0: near to far); p6 base sway (100); p7 active gusts (5,
// 0..20); p8 gust strength, percent (100); p9 gust speed (50); p10 gust
// half width (20); p11 picture channel (-1: own). The gusts are the
// object's: channels running #93 share them.
class CEffectGrassPlane : public CCommonEffect {
 public:
  static constexpr int kNumber = 93;
  static constexpr const char* kClassName = "CEffectGrassPlane";
  static constexpr int kParams = 12;
  static constexpr int kGusts = 20;
  struct Gust {
    int delay, speed, position, amplitude, halfWidth;
  };
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  void Restore(EffectChannel* record, int channel) override;

  const Gust& GetGust(int i) const { return gusts_[i]; }
  // The offset of every screen line (rounded) at the record's counter.
  void MakeOffsets(const EffectChannel& record, int* offsets);

 private:
  void Spawn(const EffectChannel& record, Gust* g, bool initial);
  double Row(double z) const;
  double Distance(double row) const;

  std::array<Gust, kGusts> gusts_{};
  std::vector<double> lines_;
  double near_ = 100, far_ = 500, band_ = 1, d_ = 1;
};
