// Effects that compute one value per pixel row: the water reflection
// (#24 CEffectWater) copies rows of the upper screen below its surface line,
// rippling; the breeze (#92 CEffectSoyosoyo) sways a picture row by row; the
// grass plane (#93 CEffectGrassPlane) bends a picture on a perspective plane
// under travelling gusts. The breeze and the grass draw through
// CPicture::RasterBlt with a table in the manager's work buffer. Each names its
// values in its class; their defaults are its start table in roweffects.cpp.
#pragma once

#include <array>
#include <vector>

#include "effect/effectstart.h"

// Runs 99999 frames; the first value and the two after the surface line
// are kept, not used. The ripple's phase is the object's: channels running
// #24 share it.
class CEffectWater : public CTableStartEffect {
 public:
  static constexpr int kNumber = 24;
  static constexpr const char* kClassName = "CEffectWater";
  enum : int { kDuration, kSurface, kSpare1, kSpare2 };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectWater(CEffectManager* manager);
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

// A picture (of its own channel for -1) swaying right and left row by row
// about an anchor row (the top, or the bottom with the anchor flip), a
// ripple added; only drawing mode 2 draws. Calcu writes the ripple's phase.
class CEffectSoyosoyo : public CTableStartEffect {
 public:
  static constexpr int kNumber = 92;
  static constexpr const char* kClassName = "CEffectSoyosoyo";
  enum : int {
    kDuration,
    kPeriod,
    kSwingRight,
    kSwingLeft,
    kOutPercent,
    kDrawMode,
    kLoop,
    kPictureChannel,
    kAnchorFlip,
    kRippleHeight,
    kRippleWavelength,
    kRippleSpeed,
    kRipplePhase
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectSoyosoyo(CEffectManager* manager);
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }

  // The offsets of rows 0..h-1 at the record's counter.
  static void MakeOffsets(const EffectChannel& record, int h, int* offsets);
};

// A picture (of its own channel for -1) bent on a plane between a far and
// a near distance under gusts travelling from far to near (direction 1) or
// from near to far (0). A start holds the band on the screen and the far
// distance beyond the near one. The gusts are the object's: channels
// running #93 share them.
class CEffectGrassPlane : public CTableStartEffect {
 public:
  static constexpr int kNumber = 93;
  static constexpr const char* kClassName = "CEffectGrassPlane";
  static constexpr int kGusts = 20;
  enum : int {
    kDuration,
    kTopLine,
    kBandHeight,
    kFar,
    kNear,
    kDirection,
    kSway,
    kActiveGusts,
    kGustPercent,
    kGustSpeed,
    kGustHalfWidth,
    kPictureChannel
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::ParamClamp kClamps[];
  static const effectstart::StartTable kTable;
  struct Gust {
    int delay, speed, position, amplitude, halfWidth;
  };
  explicit CEffectGrassPlane(CEffectManager* manager);
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
