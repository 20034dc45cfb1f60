// A channel's picture (as a rule a character with a mask plane) drawn through a
// colour filter in place of the plain picture: #124 CEffectCharaGrey fade to
// grey, #127 CEffectCharaSepia fade to sepia, #131 CEffectCharaAddSub added or
// subtracted light, #99 CEffectColorAddSub a signed colour,
// #120 CEffectColorBalance colour balance by tone curves, #130 CEffectSaike
// wrapping psychedelic colours and #96 CEffectRainbow scrolling rainbow bands.
// Each draws the picture itself (the manager does not) at the channel's draw
// request and keeps drawing its end state after the duration. Each names its
// values in its class; their defaults and clamps are its start table in
// effectcharafilter.cpp (effect/effectstart.h), each clamp right after its
// value's default.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "effect/effectstart.h"

class CPicture;

// What the filters share: the draw request and the picture.
class CCharaFilterEffect : public CTableStartEffect {
 public:
  using CTableStartEffect::CTableStartEffect;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }

  // (draw x, draw y, source x, source y, draw w, draw h).
  struct Request {
    int dstX, dstY, srcX, srcY, w, h;
  };

 protected:
  static Request DrawRequest(const EffectChannel& record);
  // The record's picture when it has 32-bit pixels, else null.
  CPicture* Picture32(const EffectChannel& record) const;
  // As Picture32, also needing a usable mask plane.
  CPicture* MaskedPicture(const EffectChannel& record) const;
  // The progress curve on the record's counter and duration.
  static int Curve(const EffectChannel& record, int from, int to, int ramp, int code);
  // A percent curve (values a, b as percents) in 1/256: curve(a * 256,
  // b * 256) / 100.
  static int Level256(const EffectChannel& record, int from, int to, int ramp, int code);
  // Values first..first + 2 as one 0x00RRGGBB colour, each held to 0..255.
  static uint32_t ByteColour(const EffectChannel& record, int first);
};

// The picture faded to its grey, the level in percent.
class CEffectCharaGrey : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 124;
  static constexpr const char* kClassName = "CEffectCharaGrey";
  enum : int { kDuration, kCurve, kRamp, kEndLevel, kStartLevel };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectCharaGrey(CEffectManager* manager);
  void Print(EffectChannel* record, int channel) override;
  // Print's rows are packed-word loops; PrintPlain draws through the
  // picture's blit, the reference they are held to byte for byte.
  void PrintPlain(EffectChannel* record, int channel);

 protected:
  CEffectCharaGrey(CEffectManager* manager, const effectstart::StartTable& table)
      : CCharaFilterEffect(manager, table) {}
  // The mix level of the frame as 0..256.
  static int GreyLevel(const EffectChannel& record);
};

// The picture faded to its grey tinted by a sepia colour: #124's values,
// then the tint.
class CEffectCharaSepia : public CEffectCharaGrey {
 public:
  static constexpr int kNumber = 127;
  static constexpr const char* kClassName = "CEffectCharaSepia";
  enum : int { kRed = kStartLevel + 1, kGreen, kBlue };
  static const effectstart::ParamDefault kTintDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectCharaSepia(CEffectManager* manager);
  void Print(EffectChannel* record, int channel) override;
  // Print's rows are packed-word loops; PrintPlain draws through the
  // picture's blit, the reference they are held to byte for byte.
  void PrintPlain(EffectChannel* record, int channel);
};

// Light added to (a strength below 0: taken from) the picture, the strength
// in percent.
class CEffectCharaAddSub : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 131;
  static constexpr const char* kClassName = "CEffectCharaAddSub";
  enum : int { kDuration, kEndStrength, kStartStrength, kCurve, kRamp };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::ParamClamp kClamps[];
  static const effectstart::StartTable kTable;
  explicit CEffectCharaAddSub(CEffectManager* manager);
  void Print(EffectChannel* record, int channel) override;
  // Print's rows are packed-word loops; PrintPlain draws through the
  // picture's blit, the reference they are held to byte for byte.
  void PrintPlain(EffectChannel* record, int channel);

 private:
  static int AddSubStrength(const EffectChannel& r);
};

// A signed colour added to the picture, through its mask unless told not
// to. Colours are held to -255..255.
class CEffectColorAddSub : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 99;
  static constexpr const char* kClassName = "CEffectColorAddSub";
  enum : int {
    kDuration,
    kEndRed,
    kEndGreen,
    kEndBlue,
    kStartRed,
    kStartGreen,
    kStartBlue,
    kThroughMask,
    kCurve,
    kRamp
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectColorAddSub(CEffectManager* manager);
  int Finish(EffectChannel*, int) override { return 1; }
  void Print(EffectChannel* record, int channel) override;
};

// Colour levels in 1/256 through tone curves, one for each of red, green
// and blue. Levels are held to -256..256 and tone curves to 0..9. The value
// after the start levels is kept, not used.
class CEffectColorBalance : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 120;
  static constexpr const char* kClassName = "CEffectColorBalance";
  static constexpr int kCurves = 10;
  enum : int {
    kDuration,
    kEndRed,
    kEndGreen,
    kEndBlue,
    kStartRed,
    kStartGreen,
    kStartBlue,
    kSpare,
    kCurve,
    kRamp,
    kRedCurve,
    kGreenCurve,
    kBlueCurve,
    kKeepBrightness
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectColorBalance(CEffectManager* manager);
  int Finish(EffectChannel*, int) override { return 1; }
  void Print(EffectChannel* record, int channel) override;

  // Tone curve n (0..9) at brightness i.
  int ToneCurve(int n, int i) const { return curves_[n][i]; }
  // The add and subtract words of each brightness for levels r, g, b and
  // curves cr, cg, cb.
  void MakeTables(const int* levels, const int* curves, bool keepBrightness, uint32_t* add,
                  uint32_t* sub) const;

 private:
  std::array<std::array<int, 256>, kCurves> curves_{};
};

// Each colour byte multiplied (in percent) and offset, wrapping around.
class CEffectSaike : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 130;
  static constexpr const char* kClassName = "CEffectSaike";
  enum : int {
    kDuration,
    kCurve,
    kRamp,
    kEndRedTimes,
    kEndGreenTimes,
    kEndBlueTimes,
    kStartRedTimes,
    kStartGreenTimes,
    kStartBlueTimes,
    kEndRedPlus,
    kEndGreenPlus,
    kEndBluePlus,
    kStartRedPlus,
    kStartGreenPlus,
    kStartBluePlus,
    kPlusCurve,
    kPlusRamp
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectSaike(CEffectManager* manager);
  void Print(EffectChannel* record, int channel) override;
  // One channel value through multiplier m (1/256) and offset a, wrapping.
  static uint32_t Wrap(uint32_t c, int m, int a) {
    const uint32_t v = ((c * (static_cast<uint32_t>(m) & 65535u)) & 65535u) >> 8;
    return (v + (static_cast<uint32_t>(a) & 255u)) & 255u;
  }
};

// Rainbow rows over the picture at a level in percent, scrolling some rows
// a frame. The spares are kept, not used. The row colours and the scroll
// offset belong to the object: every channel running #96 moves them on in
// its Calcu.
class CEffectRainbow : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 96;
  static constexpr const char* kClassName = "CEffectRainbow";
  enum : int { kDuration, kEndLevel, kStartLevel, kCurve, kRamp, kSpare1, kScrollSpeed, kSpare2 };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  static constexpr uint32_t kBands[7] = {0xFF0000, 0xFFFF00, 0x00FF00, 0x00FFFF,
                                         0x0000FF, 0xFF00FF, 0xFF0000};
  explicit CEffectRainbow(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  void Init(int a, int b) override;
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  void Restore(EffectChannel* record, int channel) override { StartAgain(record, channel); }

  int Offset() const { return offset_; }
  // The colour of screen row y (0 for rows beyond the table).
  uint32_t RowColour(int y) const {
    return y >= 0 && y < static_cast<int>(rows_.size()) ? rows_[y] : 0;
  }

 private:
  void BuildRows(int h);

  std::vector<uint32_t> rows_;
  int offset_ = 0;
};
