// Full-screen filter effects: each changes what the screen already holds
// when its channel is drawn, so it acts on everything drawn before it in
// that frame. #20 light, #23 raster, #29 noise, #31 negative, #33 relief,
// #50 gradation, #74 zoom blend, #76 streak, #128 sepia, #129 grey. Their
// strength follows the progress curve on the channel's counter.
//
// Pixel rules are integer rules on each colour byte (floors of products,
// shifts by 8 or 16, saturation to 0..255); the top byte is written as 0.
// Every pixel a rule covers is filtered, whatever the screen's width.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "effect/commoneffect.h"

// p0 duration (20); p1, p2, p3 red, green, blue offset at the end (64, p1,
// p2); p4 curve code, p5 ramp. Adds the offsets to every pixel.
class CEffectLight : public CCommonEffect {
 public:
  static constexpr int kNumber = 20;
  static constexpr const char* kClassName = "CEffectLight";
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel*, int) override { return 1; }
  void Print(EffectChannel* record, int channel) override;
};

// p0 duration (60); p1, p2 amplitude at the start and end in pixels (0, 64;
// below W / 2); p3 curve code, p4 ramp. Every row shifts along a cosine
// wave of three periods over the height that moves 10 rows a frame.
class CEffectRaster : public CCommonEffect {
 public:
  static constexpr int kNumber = 23;
  static constexpr const char* kClassName = "CEffectRaster";
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel*, int) override { return 1; }
  void Print(EffectChannel* record, int channel) override;
};

// p0 duration (0); p1 level switch (0: full level always); p2, p3 level at
// the end and start in percent (100, p2); p4 curve code, p5 ramp; p6..p9
// the area (0, 0, W, H), drawn rounded to 8 x 2 pixels. Grey noise in
// blocks of 2 x 2 pixels from a table of random words that the object owns:
// every channel running it shares the table and renews half of it a frame.
class CEffectSuna : public CCommonEffect {
 public:
  static constexpr int kNumber = 29;
  static constexpr const char* kClassName = "CEffectSuna";
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

// p0 duration (20); p1 curve code, p2 ramp; p3, p4 strength at the end and
// start in percent (100, 0); values 5..15 accepted and not kept. Scales
// every colour byte around 128: 0 % unchanged, 50 % flat grey, 100 % the
// negative.
class CEffectNega : public CCommonEffect {
 public:
  static constexpr int kNumber = 31;
  static constexpr const char* kClassName = "CEffectNega";
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
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

// p0 duration (20); p1 curve code; p2, p3 strength at the end and start in
// percent (100, 0); p4 ramp. Embosses every pixel against the next one.
class CEffectReleaf : public CCommonEffect {
 public:
  static constexpr int kNumber = 33;
  static constexpr const char* kClassName = "CEffectReleaf";
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel*, int) override { return 1; }
  void Print(EffectChannel* record, int channel) override;
};

// p0 duration (20); p1..p3 top and p4..p6 bottom offsets at the end (0 and
// 255 each); p7 curve code, p8 ramp; p9..p11 top and p12..p14 bottom offsets
// at the start (0); p15 first row (0), p16 rows (H); p17 kept. Adds a
// vertical colour gradient to the band.
class CEffectGradation : public CCommonEffect {
 public:
  static constexpr int kNumber = 50;
  static constexpr const char* kClassName = "CEffectGradation";
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel*, int) override { return 1; }
  void Print(EffectChannel* record, int channel) override;
};

// p0 duration (20); p1, p2 centre at the end (the screen's centre, kept
// 1 pixel inside); p3, p4 magnification at the end and start in percent
// (105, p3); p5, p6 opacity at the end and start (20, p5); p7, p8 curve and
// ramp of the magnification, p9, p10 of the opacity; p11, p12 centre at the
// start (p1, p2); p13..p15 kept. Blends the screen with a copy of itself
// magnified around a centre that moves from the start to the end.
class CEffectBura : public CCommonEffect {
 public:
  static constexpr int kNumber = 74;
  static constexpr const char* kClassName = "CEffectBura";
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
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

// p0 duration (20); p1 direction (0, 1 vertical; 2, 3 horizontal); p2 curve
// code, p3 ramp; p4 blur length at full progress (32, 1..255); p5 margin
// (p4 + 4, at least that). Draws the channel's screen-covering picture
// stretched along one axis with a box blur growing with progress.
class CEffectSlash : public CCommonEffect {
 public:
  static constexpr int kNumber = 76;
  static constexpr const char* kClassName = "CEffectSlash";
  using CCommonEffect::CCommonEffect;
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

// p0 duration (20); p1 curve code, p2 ramp; p3, p4 level at the end and
// start in percent (100, 0); sepia: p5..p7 the tint (107, 74, 43).
class CEffectLayerSepia : public CCommonEffect {
 public:
  static constexpr int kNumber = 128;
  static constexpr const char* kClassName = "CEffectLayerSepia";
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  void Print(EffectChannel* record, int channel) override;
};

class CEffectLayerGrey : public CCommonEffect {
 public:
  static constexpr int kNumber = 129;
  static constexpr const char* kClassName = "CEffectLayerGrey";
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  void Print(EffectChannel* record, int channel) override;
};
