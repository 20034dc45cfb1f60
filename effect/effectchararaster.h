// Pictures bent row by row: #107 CEffectCharaRaster a character swaying in a
// cosine wave, #106 CEffectNoise a character torn by bands of interference,
// #22 CEffectKagerou heat haze over a band of the screen as drawn so far,
// #72 CEffectMeisai an optical camouflage showing the scene shifted sideways
// through the character's shape. #107 and #106 move each row of the channel's
// picture by its screen row's offset (the table in the work buffer); #22 and
// #72 work in place on the screen, reading only pixels not yet written. Each
// names its values in its class; their defaults and clamps are its start table
// in effectchararaster.cpp (effect/effectstart.h), each clamp right after its
// value's default.
#pragma once

#include <cstdint>

#include "effect/effectcharafilter.h"

// What #107 and #106 share: the level curve and the shifted row drawing.
class CShiftedRowEffect : public CCharaFilterEffect {
 public:
  using CCharaFilterEffect::CCharaFilterEffect;
  // One picture row onto a screen row: per pixel k := (level x mask) >> 8;
  // 255 copies, 0 leaves the screen, else Blend256.
  static void ShiftRowPlain(uint32_t* screen, const uint32_t* pixels, const uint8_t* mask, int n,
                            int level);
  static void ShiftRow(uint32_t* screen, const uint32_t* pixels, const uint8_t* mask, int n,
                       int level);

 protected:
  // 256, unless the values `end` or `start` (a level in percent) are not
  // 100: then their curve in 0..256.
  static int RowLevel(const EffectChannel& record, int end, int start, int curve, int ramp);
  // The whole picture at the channel's draw position, row r moved right by
  // offsets[screen row]; rows and spans cut to the screen. Needs a mask.
  static void DrawShifted(const CPicture& picture, int dx, int dy, int level, const int* offsets);
  // The work buffer as one int per screen row, null when it is too small.
  int* OffsetTable() const;
};

// The rows swaying in a cosine wave whose amplitude grows from 0 to its end
// value.
class CEffectCharaRaster : public CShiftedRowEffect {
 public:
  static constexpr int kNumber = 107;
  static constexpr const char* kClassName = "CEffectCharaRaster";
  enum : int {
    kDuration,
    kAmplitude,
    kPhaseSpeed,
    kWaves,
    kAmplitudeCurve,
    kAmplitudeRamp,
    kEndLevel,
    kStartLevel,
    kLevelCurve,
    kLevelRamp
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectCharaRaster(CEffectManager* manager);
  void Print(EffectChannel* record, int channel) override;
};

// Bands of interference tearing the rows, each living some frames and
// drifting. Band j lives at kBandBase + kBandInts j..: life, top (in the
// picture), height, strength (20..100); the record carries them into saves.
class CEffectNoise : public CShiftedRowEffect {
 public:
  static constexpr int kNumber = 106;
  static constexpr const char* kClassName = "CEffectNoise";
  static constexpr int kMaxBands = 16;
  static constexpr int kBandBase = 16;
  static constexpr int kBandInts = 8;
  enum : int {
    kDuration,
    kBands,
    kBandStrength,
    kWavePeriod,
    kBandHeight,
    kHeightSpread,
    kBandLife,
    kDrift,
    kJitter,
    kEndLevel,
    kStartLevel,
    kLevelCurve,
    kLevelRamp
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::ParamClamp kClamps[];
  static const effectstart::StartTable kTable;
  explicit CEffectNoise(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  // Band j made anew over a picture of height `height`: draws life, height,
  // top, strength (none for a spread of 0).
  static void NewBand(EffectChannel* record, int j, int height);

 private:
  // The channel picture's height, or the screen's without a picture.
  int PictureHeight(const EffectChannel& record) const;
};

// Heat haze over a band of rows, three waves summed. The counter cycles
// after the fade-in.
class CEffectKagerou : public CTableStartEffect {
 public:
  static constexpr int kNumber = 22;
  static constexpr const char* kClassName = "CEffectKagerou";
  enum : int {
    kDuration,
    kFirstRow,
    kRows,
    kFadeIn,
    kHeightScale,
    kSpaceScale,
    kSpeedScale,
    kWave1Height,
    kWave1Space,
    kWave1Time,
    kWave2Height,
    kWave2Space,
    kWave2Time,
    kWave3Height,
    kWave3Space,
    kWave3Time
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::ParamClamp kClamps[];
  static const effectstart::StartTable kTable;
  explicit CEffectKagerou(CEffectManager* manager);
  int Finish(EffectChannel*, int) override { return 1; }
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  // Screen row i's offset at the record's counter.
  static int RowOffset(const EffectChannel& record, int i, int screenHeight);
  // A row of w pixels mixed in place with itself shifted by o: per byte
  // (160 x d >> 8) + (96 x s >> 8), walking away from the pixels read.
  static void HazeRowPlain(uint32_t* row, int w, int o);
  static void HazeRow(uint32_t* row, int w, int o);
};

// The scene shifted sideways through the character's shape. The spares are
// kept, not used.
class CEffectMeisai : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 72;
  static constexpr const char* kClassName = "CEffectMeisai";
  enum : int { kDuration, kEndShift, kSpare1, kStartShift, kSpare2, kCurve, kRamp };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectMeisai(CEffectManager* manager);
  void Print(EffectChannel* record, int channel) override;
};
