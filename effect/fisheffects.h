// Small moving things drawn over the screen: #111 CEffectFish fish cut from a
// sheet of equal cells swimming to and fro (each channel's fish in its record),
// #85 CEffectSpeedLine horizontal speed lines and #42 CEffectKira sparkles
// flaring and fading (the lines and the sparkles belong to the object, shared
// by every channel running them). Each names its values in its class; their
// defaults and clamps are its start table in fisheffects.cpp
// (effect/effectstart.h).
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "effect/effectstart.h"

class CPicture;

// Runs 999999 frames. Fish i is x, y, velocity x and animation counter at
// kFishBase + 4i (save format). The sheet (the channel's picture) holds per
// kind a left- and a right-facing column of cells, one row per animation
// frame.
class CEffectFish : public CTableStartEffect {
 public:
  static constexpr int kNumber = 111;
  static constexpr const char* kClassName = "CEffectFish";
  static constexpr int kMaxFish = 40;
  static constexpr int kFishBase = 16;
  enum : int {
    kDuration,
    kCount,
    kFishWidth,
    kFishHeight,
    kAreaX,
    kAreaY,
    kAreaWidth,
    kAreaHeight,
    kKinds,
    kFrames,
    kFramesPerStep,
    kLeastSpeed,
    kGreatestSpeed,
    kTurnChance
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::ParamClamp kClamps[];
  static const effectstart::StartTable kTable;
  explicit CEffectFish(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }

  // Fish i's four ints (x, y, velocity x, animation counter).
  static int32_t* Fish(EffectChannel* record, int i) {
    return &record->Param(kFishBase + 4 * i);
  }
  // The count held to 0..40 (records from saves hold anything).
  static int Count(const EffectChannel& record);
};

// Horizontal lines racing across an area of at least three rows (a start
// lowers one, moving it up by 2 where it can). The 100 lines are the
// object's, made at the first start.
class CEffectSpeedLine : public CTableStartEffect {
 public:
  static constexpr int kNumber = 85;
  static constexpr const char* kClassName = "CEffectSpeedLine";
  static constexpr int kLines = 100;
  enum : int {
    kDuration,
    kCount,
    kLength,
    kWidth,
    kSpeed,
    kRed,
    kGreen,
    kBlue,
    kAreaX,
    kAreaY,
    kAreaWidth,
    kAreaHeight
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::ParamClamp kClamps[];
  static const effectstart::StartTable kTable;
  struct Line {
    int x, y, vx, zero, length, width, thick;
  };
  explicit CEffectSpeedLine(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  int CheckBusy(EffectChannel*, int) override { return 1; }
  // Every line scattered anywhere in the area.
  void Restore(EffectChannel* record, int channel) override;

  // Null until the first start (or restore).
  const Line* GetLines() const { return lines_ ? lines_->data() : nullptr; }
  Line& LineForTest(int i) { return Lines()[i]; }
  // Line i set up anew from the record's values: anywhere in the area, or
  // entering it from the side it moves away from.
  void InitLine(const EffectChannel& record, int i, bool anywhere);
  static int Count(const EffectChannel& record);

 private:
  Line* Lines();

  std::unique_ptr<std::array<Line, kLines>> lines_;
};

// Runs 99999 frames, the area kept 32 pixels inside the screen's edges.
// The 20 sparkles and the 64 x 64 glow from "sys\\kirakira" (loaded quietly
// when the object is made; without it nothing is drawn) are the object's.
class CEffectKira : public CTableStartEffect {
 public:
  static constexpr int kNumber = 42;
  static constexpr const char* kClassName = "CEffectKira";
  enum : int { kDuration, kCount, kAreaX, kAreaY, kAreaWidth, kAreaHeight };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::ParamClamp kClamps[];
  static const effectstart::StartTable kTable;
  static constexpr int kSparkles = 20;
  static constexpr int kSpot = 64;
  struct Sparkle {
    int age, life, x, y;
  };
  explicit CEffectKira(CEffectManager* manager);
  ~CEffectKira() override;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel*, int) override { return 1; }
  void Print(EffectChannel* record, int channel) override;
  void Restore(EffectChannel* record, int channel) override { StartAgain(record, channel); }

  int IsLoaded() const { return loaded_; }
  const Sparkle& GetSparkle(int i) const { return sparkles_[i]; }
  Sparkle& SparkleForTest(int i) { return sparkles_[i]; }
  // The brightness of a sparkle as a level 0..255.
  static int Level(int age, int life);
  // Sparkle i set up anew in the record's area.
  void InitSparkle(const EffectChannel& record, int i);

 private:
  std::unique_ptr<CPicture> picture_;
  int loaded_ = 0;
  bool toldMissing_ = false;
  std::array<uint8_t, kSpot * kSpot> intensity_{};
  std::array<Sparkle, kSparkles> sparkles_{};
};
