// Full-screen filter effects: each changes what the screen already holds when
// its channel is drawn, so it acts on everything drawn before it in that frame.
// #20 CEffectLight light, #23 CEffectRaster raster, #29 CEffectSuna noise,
// #31 CEffectNega negative, #33 CEffectReleaf relief, #50 CEffectGradation
// gradation, #74 CEffectBura zoom blend, #76 CEffectSlash streak,
// #128 CEffectLayerSepia sepia, #129 CEffectLayerGrey grey. Their strength
// follows the progress curve on the channel's counter.
//
// Pixel rules are integer rules on each colour byte (floors of products, shifts
// by 8 or 16, saturation to 0..255); the top byte is written as 0. Every pixel
// a rule covers is filtered, whatever the screen's width. Each names its values
// in its class; their defaults and clamps are its start table in
// filtereffects.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "effect/effectstart.h"

// Adds offsets growing to the end offsets to every pixel.
class CEffectLight : public CTableStartEffect {
 public:
  static constexpr int kNumber = 20;
  static constexpr const char* kClassName = "CEffectLight";
  enum : int { kDuration, kRed, kGreen, kBlue, kCurve, kRamp };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectLight(CEffectManager* manager);
  int Finish(EffectChannel*, int) override { return 1; }
  void Print(EffectChannel* record, int channel) override;
};

// Every row shifts along a cosine wave of three periods over the height
// that moves 10 rows a frame, its amplitude in pixels.
class CEffectRaster : public CTableStartEffect {
 public:
  static constexpr int kNumber = 23;
  static constexpr const char* kClassName = "CEffectRaster";
  enum : int { kDuration, kStartAmplitude, kEndAmplitude, kCurve, kRamp };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::ParamClamp kClamps[];
  static const effectstart::StartTable kTable;
  explicit CEffectRaster(CEffectManager* manager);
  int Finish(EffectChannel*, int) override { return 1; }
  void Print(EffectChannel* record, int channel) override;
};

// Grey noise in blocks of 2 x 2 pixels over an area drawn rounded to 8 x 2
// pixels, at full level unless the level switch is set. The noise comes
// from a table of random words that the object owns: every channel running
// it shares the table and renews half of it a frame.
class CEffectSuna : public CTableStartEffect {
 public:
  static constexpr int kNumber = 29;
  static constexpr const char* kClassName = "CEffectSuna";
  enum : int {
    kDuration,
    kLevelSwitch,
    kEndLevel,
    kStartLevel,
    kCurve,
    kRamp,
    kX,
    kY,
    kWidth,
    kHeight
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectSuna(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel*, int) override { return 1; }
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  // Refills the table and keeps the counter.
  void Restore(EffectChannel* record, int channel) override;

  int GetPhase() const { return phase_; }
  const std::vector<uint32_t>& GetTable() const { return table_; }

 private:
  // Made for the screen's size; a new size makes a new table.
  void FillTable();

  int phase_ = 0;
  std::vector<uint32_t> table_;
  int tableW_ = 0, tableH_ = 0;
};

// What the negative, sepia and grey filters share: a strength in percent
// going from its start to its end value.
class CStrengthFilterEffect : public CTableStartEffect {
 public:
  enum : int { kDuration, kCurve, kRamp, kEndStrength, kStartStrength };
  static const effectstart::ParamDefault kDefaults[];
  using CTableStartEffect::CTableStartEffect;
};

// Scales every colour byte around 128: strength 0 % unchanged, 50 % flat
// grey, 100 % the negative.
class CEffectNega : public CStrengthFilterEffect {
 public:
  static constexpr int kNumber = 31;
  static constexpr const char* kClassName = "CEffectNega";
  static const effectstart::StartTable kTable;
  explicit CEffectNega(CEffectManager* manager);
  int Finish(EffectChannel*, int) override { return 1; }
  void Print(EffectChannel* record, int channel) override;
};

// The relief rule on a run: each of p[0..n-1] against the pixel after it
// (p[n] is read, not written), all read before they change. The plain loop
// is the reference; Relief may use SSE2 and gives the same bytes.
namespace filterrows {
void ReliefScalar(uint32_t* p, size_t n, int level);
void Relief(uint32_t* p, size_t n, int level);
// The negative's rule with factor f (-254..254) on n pixels.
void NegaScalar(uint32_t* p, size_t n, int f);
void Nega(uint32_t* p, size_t n, int f);
// One row of a noise band: 8 pixels per word of greys at level 1..256.
void NoiseScalar(uint32_t* row, const uint32_t* words, size_t n, int level);
void Noise(uint32_t* row, const uint32_t* words, size_t n, int level);
}  // namespace filterrows

// Embosses every pixel against the next one.
class CEffectReleaf : public CTableStartEffect {
 public:
  static constexpr int kNumber = 33;
  static constexpr const char* kClassName = "CEffectReleaf";
  enum : int { kDuration, kCurve, kEndStrength, kStartStrength, kRamp };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectReleaf(CEffectManager* manager);
  int Finish(EffectChannel*, int) override { return 1; }
  void Print(EffectChannel* record, int channel) override;
};

// Adds a vertical colour gradient, from the top row's offsets to the bottom
// row's, to a band of rows. The value after the last named one is kept, not
// read.
class CEffectGradation : public CTableStartEffect {
 public:
  static constexpr int kNumber = 50;
  static constexpr const char* kClassName = "CEffectGradation";
  enum : int {
    kDuration,
    kEndTopRed,
    kEndTopGreen,
    kEndTopBlue,
    kEndBottomRed,
    kEndBottomGreen,
    kEndBottomBlue,
    kCurve,
    kRamp,
    kStartTopRed,
    kStartTopGreen,
    kStartTopBlue,
    kStartBottomRed,
    kStartBottomGreen,
    kStartBottomBlue,
    kFirstRow,
    kRows
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectGradation(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel*, int) override { return 1; }
  void Print(EffectChannel* record, int channel) override;
};

// Blends the screen with a copy of itself magnified around a centre that
// moves from its start to its end. The values after the last named one are
// kept, not read.
class CEffectBura : public CTableStartEffect {
 public:
  static constexpr int kNumber = 74;
  static constexpr const char* kClassName = "CEffectBura";
  enum : int {
    kDuration,
    kEndX,
    kEndY,
    kEndZoom,
    kStartZoom,
    kEndOpacity,
    kStartOpacity,
    kZoomCurve,
    kZoomRamp,
    kOpacityCurve,
    kOpacityRamp,
    kStartX,
    kStartY
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::ParamClamp kClamps[];
  static const effectstart::StartTable kTable;
  explicit CEffectBura(CEffectManager* manager);
  void Print(EffectChannel* record, int channel) override;

  // The centre of the last Print, shared by every channel running it.
  int GetCenterX() const { return cx_; }
  int GetCenterY() const { return cy_; }

 private:
  // One quadrant, from its corner inward: `dx` columns and `dy` rows
  // (signed: the direction), the source from (sx, sy) toward the centre.
  void DrawQuadrant(int x0, int y0, double sx, double sy, int dx, int dy, int opacity);

  int cx_ = 0, cy_ = 0;
};

// Draws the channel's screen-covering picture stretched along one axis
// (direction 0, 1 vertical; 2, 3 horizontal) with a box blur growing with
// progress to its length.
class CEffectSlash : public CTableStartEffect {
 public:
  static constexpr int kNumber = 76;
  static constexpr const char* kClassName = "CEffectSlash";
  enum : int { kDuration, kDirection, kCurve, kRamp, kLength, kMargin };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::ParamClamp kClamps[];
  static const effectstart::StartTable kTable;
  explicit CEffectSlash(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel*, int) override { return 1; }
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  // Print may use SSE2; PrintPlain is the plain loop it is held to.
  void Print(EffectChannel* record, int channel) override { Draw(record, channel, false); }
  void PrintPlain(EffectChannel* record, int channel) { Draw(record, channel, true); }

 private:
  void Draw(EffectChannel* record, int channel, bool plain);
  // The screen from the visible part of the picture (`source` at screen
  // pixel (0, 0)): destination line k averages the n lines from first[k].
  // Plain sums every window anew; the others slide their windows.
  void Plain(const uint32_t* source, int pitch, const int32_t* first, int n, uint32_t m,
             bool vertical);
  void Vertical(const uint32_t* source, int pitch, const int32_t* first, int n, uint32_t m);
  void Horizontal(const uint32_t* source, int pitch, const int32_t* first, int n, uint32_t m);

  // Running sums per screen column and byte for the vertical directions,
  // per window for the horizontal ones, with the windows' averages. Grown
  // only when the screen grows.
  std::vector<uint16_t> sums_;
  std::vector<uint32_t> averages_;
};

// The screen mixed with its grey tinted by a sepia colour, the strength
// the mix level.
class CEffectLayerSepia : public CStrengthFilterEffect {
 public:
  static constexpr int kNumber = 128;
  static constexpr const char* kClassName = "CEffectLayerSepia";
  enum : int { kRed = kStartStrength + 1, kGreen, kBlue };
  static const effectstart::ParamDefault kTintDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectLayerSepia(CEffectManager* manager);
  void Print(EffectChannel* record, int channel) override;
};

// The screen mixed with its grey.
class CEffectLayerGrey : public CStrengthFilterEffect {
 public:
  static constexpr int kNumber = 129;
  static constexpr const char* kClassName = "CEffectLayerGrey";
  static const effectstart::StartTable kTable;
  explicit CEffectLayerGrey(CEffectManager* manager);
  void Print(EffectChannel* record, int channel) override;
};
