// How much of a channel's picture (as a rule a character with a mask plane)
// shows, pixel by pixel: #8 fixed translucency, #9 animated translucency in
// an optional clip box and tint, #110 a vertical fade that dissolves the
// character from the feet up, #123 appearance through a screen-sized
// gradation picture on another channel, #121 only where the picture
// overlaps another channel's shape, #40 a cross-fade into another
// channel's picture of the same size (a change of expression) that hands
// the channels over at its end. Each draws the picture itself and keeps
// drawing its end state after the duration. They start from their tables
// (effect/effectstart.h), each clamp right after its value's default.
#pragma once

#include <cstdint>

#include "effect/effectcharafilter.h"

namespace charatrans {

// A picture pixel turning from a flat colour into itself: per channel
// ((pixel x e) >> 8) + (255 - e) x tint / 255, e in 0..255 (0 the flat
// colour), tint 0x00RRGGBB. The result never passes 255. The colour's
// part is the same for every pixel, so it is worked out once.
class FlatTint {
 public:
  FlatTint(int e, uint32_t tint) : e_(static_cast<uint32_t>(e)) {
    const uint32_t k = 255u - e_;
    for (int shift = 0; shift <= 16; shift += 8) add_ |= (k * ((tint >> shift) & 255u) / 255u) << shift;
  }
  uint32_t operator()(uint32_t pixel) const {
    constexpr uint32_t kEven = 0x00FF00FF;
    const uint32_t even = (((pixel & kEven) * e_) >> 8) & kEven;
    const uint32_t odd = (((pixel >> 8) & 0xFFu) * e_) & 0xFF00u;
    return (even | odd) + add_;
  }

 private:
  uint32_t e_;
  uint32_t add_ = 0;
};

}  // namespace charatrans

// p0 kept (20; the duration is always 1), p1 opacity in percent (50, held
// to 0..100 when drawn). Opaque channels blend the whole rectangle, the
// others through the mask.
class CEffectTrans : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 8;
  static constexpr const char* kClassName = "CEffectTrans";
  explicit CEffectTrans(CEffectManager* manager);
  int Finish(EffectChannel*, int) override { return 1; }
  void Print(EffectChannel* record, int channel) override;
};

// p0 duration (20), p1 end and p2 start opacity in percent (50, 100), p3
// curve, p4 ramp; p5 clip box on (0), p6..p9 end box (0, 0, W, H),
// p10..p13 start box (= p6..p9); p14 colour on (0), p15..p17 end colour (0,
// = p15, = p16), p18..p20 start colour (= p15..p17), p21 colour curve, p22
// colour ramp.
class CEffectCTrans : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 9;
  static constexpr const char* kClassName = "CEffectCTrans";
  explicit CEffectCTrans(CEffectManager* manager);
  int Finish(EffectChannel*, int) override { return 1; }
  void Print(EffectChannel* record, int channel) override;
  // The request cut to the box [x, x + w) x [y, y + h), the source moving
  // with the left and top edges; false when nothing is left.
  static bool CutToBox(Request* q, int x, int y, int w, int h);
};

// p0 duration (20), p1 top level at the start and p2 at the end (percent,
// 200, 0), p3 bottom level at the start and p4 at the end (100, -100), p5
// curve, p6 ramp, p7..p15 kept. The picture's rows fade between the two
// levels (their table in the work buffer).
class CEffectCharaGhost : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 110;
  static constexpr const char* kClassName = "CEffectCharaGhost";
  explicit CEffectCharaGhost(CEffectManager* manager);
  void Print(EffectChannel* record, int channel) override;
  // Per pixel of a row: weight (level x mask) >> 8, the whole pixel at
  // level 256 and mask 255, mixed as BlendApart256.
  static void PrintRowPlain(uint32_t* screen, const uint32_t* pixels, const uint8_t* mask, int n,
                            int level);
  static void PrintRow(uint32_t* screen, const uint32_t* pixels, const uint8_t* mask, int n,
                       int level);
};

// p0 duration (20), p1 channel of the gradation picture (13), p2 edge
// hardness (1), p3 curve, p4 ramp, p5 darker first (0), p6 end and p7
// start progress in percent (100, 0). Refuses fewer than two values.
class CEffectCharaMaskAppear : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 123;
  static constexpr const char* kClassName = "CEffectCharaMaskAppear";
  explicit CEffectCharaMaskAppear(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  // Each gradation value's alpha (0..255) for the threshold wt and the
  // hardness: clamp(wt + hardness x g, 0, 255), g inverted when asked.
  static void AlphaTable(int64_t wt, int hardness, bool invert, uint8_t* alpha);
  // A row of the screen: each channel c mixes the picture in by the weight
  // (alpha of the gradation's channel c x mask) >> 8, the top byte kept.
  // The plain form reads the alpha table; the fast one works the alpha out
  // per channel in 32 bits, for |hardness| <= kFastHardness only.
  static constexpr int kFastHardness = 1 << 20;
  static void PrintRowPlain(uint32_t* screen, const uint32_t* pixels, const uint8_t* mask,
                            const uint32_t* grade, int n, const uint8_t* alpha);
  static void PrintRow(uint32_t* screen, const uint32_t* pixels, const uint8_t* mask,
                       const uint32_t* grade, int n, int64_t wt, int hardness, bool invert);
};

// p0 duration (20), p1 other channel (13), p2 end and p3 start level in
// percent (100, = p2), p4 curve, p5 ramp; p6 tint on (0), p7 tint curve, p8
// tint ramp, p9..p11 tint colour (255 each, held to 0..255).
class CEffectDualMask : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 121;
  static constexpr const char* kClassName = "CEffectDualMask";
  explicit CEffectDualMask(CEffectManager* manager);
  void Print(EffectChannel* record, int channel) override;
};

// p0 duration (20), p1 channel of the new picture (13; -1 none), p2 end and
// p3 start overall opacity in percent (100, = p2), p4 cross-fade curve, p5
// its ramp, p6 opacity curve, p7 its ramp. Refuses fewer than two values.
// At its end it hands the channels over (Finish).
class CEffectChange : public CCharaFilterEffect {
 public:
  static constexpr int kNumber = 40;
  static constexpr const char* kClassName = "CEffectChange";
  explicit CEffectChange(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  // At the end: both weights 0 turn the partner into #66; only the old
  // picture's weight a left turns this channel into #0 (a = 100) or #8 at
  // a percent; only the new one's left turns the partner into #66 and this
  // channel keeps drawing the end of the cross-fade. Both left: nothing.
  int Finish(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  // The old picture's and the new picture's weights (0..100) at the
  // record's counter.
  static void Weights(const EffectChannel& record, int* a, int* b);
};
