// Many small drifting things: #70 petals and #104 leaves cut from the
// channel's picture (a sheet of equal cells), #71 fireflies drawn as glow
// spots. Petal and firefly records live in the object and are shared by
// every channel running them (petals: 300 records per channel; fireflies:
// one table of 600 told apart by the first-record value).
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "effect/effectstart.h"

// p0 duration (20), p1 count (100; 1..300, p1 + p13 <= 300), p2, p3 cell
// size (100), p4 draw switch (-1 draws nothing), p5 kinds (1), p6, p7
// emission centre (600, 300), p8 spread (100), p9, p10 velocity in pixels
// per frame (-100, 10), p11 respawn, p12 keep, p13 reserve (0..299), p14,
// p15 end and start opacity (100), p16 swing percent (100), p17 swing period
// base (50), p18 turning frames (1), p19 reverse allowed (1), p20, p21
// curve and ramp of the opacity, p22 frames per turning step (1).
class CEffectHanabira : public CTableStartEffect {
 public:
  static constexpr int kNumber = 70;
  static constexpr const char* kClassName = "CEffectHanabira";
  static constexpr int kPerChannel = 300;
  static constexpr int kRecords = 16 * kPerChannel;

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
  // p5, p6..p11, p17..p19, p22 and the cell size into the settings.
  void TakeSettings(const EffectChannel& record);
  void MovePetal(Petal* petal);

  std::unique_ptr<Petal[]> petals_;
  Settings settings_;
};

// p0 duration (20), p1 count (100), p2..p5 emission area (W, H - 180, 100,
// 100; size at least 1), p6, p7 velocity (100, 100), p8..p10 glow colour
// (255 each; negative darkens), p11 respawn, p12 keep, p13 first record
// (0; 0..599, count cut to 600 - first), p14 end brightness (100), p15
// period base (15, at least 1), p16 swing angle (-1 = across the motion),
// p17 swing amplitude (20).
class CEffectHotaru : public CTableStartEffect {
 public:
  static constexpr int kNumber = 71;
  static constexpr const char* kClassName = "CEffectHotaru";
  static constexpr int kRecords = 600;

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

// p0 (the duration is always 999999), p1, p2 leaf size (32), p3 kinds (1),
// p4 turning frames (1; 1..360), p5 count (100), p6 spacing divisor (3; at
// least 1), p7 radial speed (7), p8 angular speed in degrees per frame (15),
// p9, p10 start and end radius (0, 1000), p11 delay (0), p12, p13 centre
// (W/2, H/2).
class CEffectKonoha : public CTableStartEffect {
 public:
  static constexpr int kNumber = 104;
  static constexpr const char* kClassName = "CEffectKonoha";
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
