// Pictures bent row by row: #107 a character swaying in a cosine wave,
// #106 a character torn by bands of interference, #22 heat haze over a band
// of the screen as drawn so far, #72 an optical camouflage showing the scene
// shifted sideways through the character's shape. #107 and #106 move each
// row of the channel's picture by its screen row's offset (the table in the
// work buffer); #22 and #72 work in place on the screen, reading only
// pixels not yet written. They start from their tables
// (effect/effectstart.h), each clamp right after its value's default.
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
  // 256, unless the end (p[end]) or start (p[end + 1]) level in percent is
  // not 100: then their curve (ramp p[end + 3], code p[end + 2]) in 0..256.
  static int RowLevel(const EffectChannel& record, int end);
  // The whole picture at the channel's draw position, row r moved right by
  // offsets[screen row]; rows and spans cut to the screen. Needs a mask.
  static void DrawShifted(const CPicture& picture, int dx, int dy, int level, const int* offsets);
  // The work buffer as one int per screen row, null when it is too small.
  int* OffsetTable() const;
};

// p0 duration (20), p1 amplitude at the end in pixels (32, from 0), p2 phase
// speed (10), p3 waves in percent of three per screen height (100), p4
// amplitude curve, p5 its ramp, p6 end and p7 start level in percent (100,
// = p6), p8 level curve, p9 its ramp.
class CEffectCharaRaster : public CShiftedRowEffect {
 public:
  static constexpr int kNumber = 107;
  static constexpr const char* kClassName = "CEffectCharaRaster";
  explicit CEffectCharaRaster(CEffectManager* manager);
  void Print(EffectChannel* record, int channel) override;
};

// p0 duration (20), p1 bands (2, at most 16), p2 band strength in percent
// (32), p3 wave period in rows (2), p4 band height (40), p5 its spread in
// percent (50), p6 band life in frames (50), p7 drift in rows per frame
// (0), p8 row jitter in 1/100 pixel (0), p9 end and p10 start level in
// percent (100, = p9), p11 level curve, p12 its ramp. Band j lives at
// p[16 + 8j]..: life, top (in the picture), height, strength (20..100);
// the record carries them into saves.
class CEffectNoise : public CShiftedRowEffect {
 public:
  static constexpr int kNumber = 106;
  static constexpr const char* kClassName = "CEffectNoise";
  static constexpr int kMaxBands = 16;
  static constexpr int kBandBase = 16;
  static constexpr int kBandInts = 8;
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

// p0 duration (9999), p1 first row (0, held to 0..H - 1), p2 rows (H, held
// to 0..H and then to H - p1), p3 fade-in frames (0), p4..p6 amplitude,
// spatial and speed scales in percent (100), p7..p9, p10..p12, p13..p15 the
// three waves' amplitude, spatial and temporal frequency (9, 7, 11; 4, 17,
// -23; 6, 2, -5). The counter cycles after the fade-in.
class CEffectKagerou : public CTableStartEffect {
 public:
  static constexpr int kNumber = 22;
  static constexpr const char* kClassName = "CEffectKagerou";
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

// p0 duration (20), p1 shift at the end in pixels (10), p2 kept (5), p3
// shift at the start (= p1), p4 kept (= p2), p5 curve, p6 ramp.
class CEffectMeisai : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 72;
  static constexpr const char* kClassName = "CEffectMeisai";
  explicit CEffectMeisai(CEffectManager* manager);
  void Print(EffectChannel* record, int channel) override;
};
