// A channel's picture (as a rule a character with a mask plane) drawn
// through a colour filter in place of the plain picture: #124 fade to grey,
// #127 fade to sepia, #131 added or subtracted light, #99 a signed colour,
// #120 colour balance by tone curves, #130 wrapping psychedelic colours and
// #96 scrolling rainbow bands. Each draws the picture itself (the manager
// does not) at the channel's draw request and keeps drawing its end state
// after the duration. They start from their tables (effect/effectstart.h),
// each clamp right after its value's default.
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
  // #124's and #127's mix level: p4 to p3 in percent, as 0..256.
  static int GreyLevel(const EffectChannel& record);
};

// p0 duration (20), p1 curve, p2 ramp (0), p3 end and p4 start grey level
// in percent (100, 0).
class CEffectCharaGrey : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 124;
  static constexpr const char* kClassName = "CEffectCharaGrey";
  explicit CEffectCharaGrey(CEffectManager* manager);
  void Print(EffectChannel* record, int channel) override;
};

// p0..p4 as #124, p5..p7 the tint (107, 74, 43).
class CEffectCharaSepia : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 127;
  static constexpr const char* kClassName = "CEffectCharaSepia";
  explicit CEffectCharaSepia(CEffectManager* manager);
  void Print(EffectChannel* record, int channel) override;
};

// p0 duration (20), p1 end strength in percent (100, -9999..9999; below 0
// subtracts), p2 start strength (= p1, the same range), p3 curve, p4 ramp.
class CEffectCharaAddSub : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 131;
  static constexpr const char* kClassName = "CEffectCharaAddSub";
  explicit CEffectCharaAddSub(CEffectManager* manager);
  void Print(EffectChannel* record, int channel) override;
};

// p0 duration (20), p1..p3 end colour (0, = p1, = p2), p4..p6 start colour
// (= p1..p3), p7 through the mask (1), p8 curve, p9 ramp. Colours are held
// to -255..255.
class CEffectColorAddSub : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 99;
  static constexpr const char* kClassName = "CEffectColorAddSub";
  explicit CEffectColorAddSub(CEffectManager* manager);
  int Finish(EffectChannel*, int) override { return 1; }
  void Print(EffectChannel* record, int channel) override;
};

// p0 duration (20), p1..p3 end levels in 1/256 (0, = p1, = p2), p4..p6
// start levels (= p1..p3), p7 kept (1), p8 curve, p9 ramp, p10..p12 tone
// curves for r, g, b (0), p13 keep brightness (0). Levels are held to
// -256..256 and tone curves to 0..9.
class CEffectColorBalance : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 120;
  static constexpr const char* kClassName = "CEffectColorBalance";
  static constexpr int kCurves = 10;
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

// p0 duration (20), p1 curve, p2 ramp of the multipliers (0), p3..p5 end
// multipliers in percent (200 each), p6..p8 start (= p3..p5), p9..p11 end
// offsets (0), p12..p14 start offsets (= p9..p11), p15, p16 curve and ramp
// of the offsets (= p1, = p2).
class CEffectSaike : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 130;
  static constexpr const char* kClassName = "CEffectSaike";
  explicit CEffectSaike(CEffectManager* manager);
  void Print(EffectChannel* record, int channel) override;
  // One channel value through multiplier m (1/256) and offset a, wrapping.
  static uint32_t Wrap(uint32_t c, int m, int a) {
    const uint32_t v = ((c * (static_cast<uint32_t>(m) & 65535u)) & 65535u) >> 8;
    return (v + (static_cast<uint32_t>(a) & 255u)) & 255u;
  }
};

// p0 duration (20), p1 end level in percent (100), p2 start level (= p1),
// p3 curve, p4 ramp, p5 kept (0), p6 scroll speed in rows per frame (1),
// p7 kept (1), p8 kept. The row colours and the scroll offset belong to the
// object: every channel running #96 moves them on in its Calcu.
class CEffectRainbow : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 96;
  static constexpr const char* kClassName = "CEffectRainbow";
  static constexpr uint32_t kBands[7] = {0xFF0000, 0xFFFF00, 0x00FF00, 0x00FFFF,
                                         0x0000FF, 0xFF00FF, 0xFF0000};
  explicit CEffectRainbow(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  void Init(int a, int b) override;
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  void Restore(EffectChannel* record, int channel) override;

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
