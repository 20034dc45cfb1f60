// Many small drifting things: #70 CEffectHanabira petals and #104 CEffectKonoha
// leaves cut from the channel's picture (a sheet of equal cells),
// #71 CEffectHotaru fireflies drawn as glow spots. Petal and firefly records
// live in the object and are shared by every channel running them (petals: 300
// records per channel; fireflies: one table of 600 told apart by the
// first-record value). Each names its values in its class; their defaults and
// clamps are its start table in effectparticle.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "effect/effectstart.h"

// Petals cut from the cells of the channel's picture, emitted around a
// centre, swinging and turning as they drift. The draw switch -1 draws
// nothing; the keep flag leaves the object's petals and settings as they
// are.
class CEffectHanabira : public CTableStartEffect {
 public:
  static constexpr int kNumber = 70;
  static constexpr const char* kClassName = "CEffectHanabira";
  static constexpr int kPerChannel = 300;
  static constexpr int kRecords = 16 * kPerChannel;
  enum : int {
    kDuration,
    kCount,
    kCellWidth,
    kCellHeight,
    kDrawSwitch,
    kKinds,
    kCentreX,
    kCentreY,
    kSpread,
    kVelocityX,
    kVelocityY,
    kRespawn,
    kKeep,
    kReserve,
    kEndOpacity,
    kStartOpacity,
    kSwingPercent,
    kPeriodBase,
    kTurnFrames,
    kReverseAllowed,
    kOpacityCurve,
    kOpacityRamp,
    kFramesPerStep
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::ParamClamp kClamps[];
  static const effectstart::StartTable kTable;

  struct Petal {
    int counter = -1;  // -1: no petal
    int reverse = 0;
    int64_t x = 0, y = 0;    // hundredths of a pixel
    int64_t vx = 0, vy = 0;  // hundredths of a pixel per frame
    int phase = 0, period = 1;
  };
  // The settings the object takes from the running channel.
  struct Settings {
    int centreX = 600, centreY = 300, spread = 100, velX = -100, velY = 10, respawn = 0;
    int kinds = 1, cellW = 0, cellH = 0;
    int left = 0, top = 0, right = 0, bottom = 0;
    int periodBase = 0, turnFrames = 1, framesPerStep = 1, reverseAllowed = 0;
    double ampX = 0, ampY = 0;
  };

  explicit CEffectHanabira(CEffectManager* manager);
  ~CEffectHanabira() override;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel*, int) override { return 0; }
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  void Restore(EffectChannel* record, int channel) override;

  const Petal& GetPetal(int k) const { return petals_[k]; }
  const Settings& GetSettings() const { return settings_; }
  // Draws record k anew from the settings (the random draws in order).
  void InitPetal(int k);

 private:
  void ReleaseTable();
  // The values the settings take from the running channel.
  void TakeSettings(const EffectChannel& record);
  void MovePetal(Petal* petal);

  std::unique_ptr<Petal[]> petals_;
  Settings settings_;
};

// Fireflies drawn as glow spots (a negative colour darkens) drifting from
// an emission area, swinging at an angle (-1 across the motion). A start
// holds the first record and the count to the table; the keep flag leaves
// the object's fireflies and settings as they are.
class CEffectHotaru : public CTableStartEffect {
 public:
  static constexpr int kNumber = 71;
  static constexpr const char* kClassName = "CEffectHotaru";
  static constexpr int kRecords = 600;
  enum : int {
    kDuration,
    kCount,
    kAreaX,
    kAreaY,
    kAreaWidth,
    kAreaHeight,
    kVelocityX,
    kVelocityY,
    kRed,
    kGreen,
    kBlue,
    kRespawn,
    kKeep,
    kFirstRecord,
    kEndBrightness,
    kPeriodBase,
    kSwingAngle,
    kSwingAmplitude
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::ParamClamp kClamps[];
  static const effectstart::StartTable kTable;

  struct Firefly {
    int64_t x = 0, y = 0;    // 1/256 pixel
    int64_t vx = 0, vy = 0;  // 1/256 pixel per frame
    int phase = 0, period = 0;  // period 0: no firefly
  };
  struct Settings {
    int areaX = 600, areaY = 300, areaW = 100, areaH = 100, velX = -100, velY = 10;
    int respawn = 0, periodBase = 15, angle = -1, amplitude = 0;
    double dirX = 0.2, dirY = 0;
  };

  explicit CEffectHotaru(CEffectManager* manager);
  ~CEffectHotaru() override;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel*, int) override { return 0; }
  void Print(EffectChannel* record, int channel) override;
  void Restore(EffectChannel* record, int channel) override;

  const Firefly& GetFirefly(int k) const { return fireflies_[k]; }
  const Settings& GetSettings() const { return settings_; }
  void InitFirefly(int k);
  // First record and count as a start leaves them: first 0..599, the
  // count at most 600 - first.
  static void HoldRecords(int* first, int* count);

 private:
  void ReleaseTable();
  void TakeSettings(const EffectChannel& record);
  void MakeGlow(const EffectChannel& record);

  std::unique_ptr<Firefly[]> fireflies_;
  Settings settings_;
  // Per pixel of the 8 x 8 spot: add and subtract for b, g, r.
  std::array<std::array<uint8_t, 6>, 64> glow_{};
};

// Leaves cut from the channel's picture circling out from a centre; runs
// 999999 frames.
class CEffectKonoha : public CTableStartEffect {
 public:
  static constexpr int kNumber = 104;
  static constexpr const char* kClassName = "CEffectKonoha";
  enum : int {
    kDuration,
    kLeafWidth,
    kLeafHeight,
    kKinds,
    kTurnFrames,
    kCount,
    kSpacing,
    kRadialSpeed,
    kAngularSpeed,
    kStartRadius,
    kEndRadius,
    kDelay,
    kCentreX,
    kCentreY
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::ParamClamp kClamps[];
  static const effectstart::StartTable kTable;
  // Leaves looked at per frame, at most.
  static constexpr int kMaxLeaves = 100000;

  explicit CEffectKonoha(CEffectManager* manager);
  int Finish(EffectChannel*, int) override { return 0; }
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }

  // Cosine and sine of i degrees times 256, rounded by adding 0.5.
  int Cos(int i) const { return table_[i][0]; }
  int Sin(int i) const { return table_[i][1]; }

 private:
  std::array<std::array<int, 2>, 360> table_{};
};
