// Shapes, light and flicker drawn over the screen or a layer: #28 CEffectCircle
// an iris closing a coloured circle, #103 CEffectTarget1 four bars closing in
// from the edges onto a target, #26 CEffectRemember the wavy whitened side
// edges of a remembered scene, #109 CEffectOldLamp a flickering lamp that
// switches its channel's picture on and off and #112 CEffectCharaMetal a
// metallic shine sweeping across a character. Each names its values in its
// class; their defaults and clamps are its start table in overlayeffects.cpp
// (effect/effectstart.h).
#pragma once

#include <cstdint>
#include <vector>

#include "effect/effectstart.h"

// The screen outside a circle filled with a colour, the radius going from
// its start to its end. Closed to radius 1 or less it hands the channel to
// the #54 fill of its colour; opened to the full radius it leaves a plain
// layer (no picture: the channel is switched off).
class CEffectCircle : public CTableStartEffect {
 public:
  static constexpr int kNumber = 28;
  static constexpr const char* kClassName = "CEffectCircle";
  enum : int { kDuration, kCentreX, kCentreY, kEndRadius, kStartRadius, kRed, kGreen, kBlue };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectCircle(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  int GetOption2() override { return 1; }

  // trunc (sqrt (W W + (H H) / 4)) and the same rounded: the start default
  // and the radius at which the iris counts as fully open.
  static int StartRadius(int w, int h);
  static int OpenRadius(int w, int h);
  // The radius drawn at this frame (at least 1).
  static int Radius(const EffectChannel& record);
};

// Four bars closing in from the screen's edges onto a target rectangle,
// solid, translucent or additive by kFillMode.
class CEffectTarget1 : public CTableStartEffect {
 public:
  static constexpr int kNumber = 103;
  static constexpr const char* kClassName = "CEffectTarget1";
  enum : int {
    kDuration,
    kTargetX,
    kTargetY,
    kTargetWidth,
    kTargetHeight,
    kThickness,
    kRed,
    kGreen,
    kBlue,
    kFillMode,
    kCurve,
    kRamp,
    kStartPercent,
    kTranslucency
  };
  enum : int { kSolid = 0, kTranslucent = 1 };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::ParamClamp kClamps[];
  static const effectstart::StartTable kTable;
  explicit CEffectTarget1(CEffectManager* manager);
  void Print(EffectChannel* record, int channel) override;
};

// No values; runs 99999 frames and stores nothing. The frame count and the
// edge tables (one left and one right column per screen row) belong to the
// object.
class CEffectRemember : public CCommonEffect {
 public:
  static constexpr int kNumber = 26;
  static constexpr const char* kClassName = "CEffectRemember";
  explicit CEffectRemember(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel*, int) override { return 1; }
  void Print(EffectChannel* record, int channel) override;
  void Restore(EffectChannel* record, int channel) override;

  int GetFrameCount() const { return frames_; }
  void SetFrameCount(int n) { frames_ = n; }
  const std::vector<int>& LeftEdges() const { return left_; }
  const std::vector<int>& RightEdges() const { return right_; }
  // The first half of a draw at frame t: the left and right edge tables for
  // a w x h screen (two waves a side, rounded over the top and bottom 100
  // rows).
  void MakeEdges(int t, int w, int h);
  // The second half, on a screen of w x h: every row whitened from its
  // edges outward to both sides.
  void Whiten(uint32_t* screen, int w, int h) const;

 private:
  int frames_ = 0;
  std::vector<int> left_, right_;
};

// A lamp flickering, steady or dark in phases of varied length; runs
// 999999 frames. The lamp state (0 flickering, 1 steady, 2 dark; any other
// value flickers) and its timer follow the values (save format).
class CEffectOldLamp : public CTableStartEffect {
 public:
  static constexpr int kNumber = 109;
  static constexpr const char* kClassName = "CEffectOldLamp";
  enum : int {
    kDuration,
    kFlickerFrames,
    kSteadyFrames,
    kDarkFrames,
    kOnFrames,
    kOffFrames,
    kFlipChance
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  static constexpr int kState = 16, kTimer = 17;
  enum : int { kFlickering = 0, kSteady = 1, kDark = 2 };
  explicit CEffectOldLamp(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
};

// A band of colour sweeping down the rows (direction 0), across the
// columns (1) or diagonally (2, 3; others as 0). Draws the channel's masked
// 32-bit picture with the band added; its colour table lives in the work
// buffer.
class CEffectCharaMetal : public CTableStartEffect {
 public:
  static constexpr int kNumber = 112;
  static constexpr const char* kClassName = "CEffectCharaMetal";
  enum : int {
    kDuration,
    kDirection,
    kBandWidth,
    kSoftPercent,
    kCurve,
    kRamp,
    kRed,
    kGreen,
    kBlue
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectCharaMetal(CEffectManager* manager);
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }

  // The band width held so that the W + H + band entries that can be read
  // fit in a table of `capacity` colours (and not below 0).
  static int BandWidth(int band, int w, int h, int capacity);
  // The colour table of a frame: table[0 .. W + H + band - 1] cleared and
  // the band written at `start` (pos - band + the draw offset of the
  // direction).
  static void MakeTable(uint32_t* table, int entries, int64_t start, int band, int softPercent,
                        int r, int g, int b);
  // One row of the picture drawn: screen[i] from picture[i] plus
  // colour[i * step] through mask[i]. The plain loop, and the one the
  // effect runs (the same bytes).
  static void ShineRowPlain(uint32_t* screen, const uint32_t* picture, const uint8_t* mask,
                            const uint32_t* colour, int step, int n);
  static void ShineRow(uint32_t* screen, const uint32_t* picture, const uint8_t* mask,
                       const uint32_t* colour, int step, int n);
};
