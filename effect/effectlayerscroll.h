// Layers moved, opened or enlarged over the whole screen: #39 scroll and
// #94 pole scroll (a screen-sized picture wrapping around endlessly), #84
// sliding doors onto another channel's picture, #68 cinema bars, #37 zoom
// into a rectangle of the background and #122 the same zoom inside a moving
// half-plane or rectangle with a border. All start from their tables
// (effect/effectstart.h); their running state lives in the record.
#pragma once

#include "effect/effectstart.h"

// p0 duration (20), p1, p2 step x, y in pixels per frame (32, 0), p3 loop
// flag (0). The end loops back to counter 0, or leaves the picture as #0.
class CEffectScroll : public CTableStartEffect {
 public:
  static constexpr int kNumber = 39;
  static constexpr const char* kClassName = "CEffectScroll";
  explicit CEffectScroll(CEffectManager* manager);
  int Finish(EffectChannel* record, int channel) override;
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
};

// p0 stored, p1, p2 steps (32, 0), p3 loop flag (1); runs 9999 frames. Keeps
// its last counter, counter step and offsets x, y at p12..p15.
class CEffectPoleScroll : public CTableStartEffect {
 public:
  static constexpr int kNumber = 94;
  static constexpr const char* kClassName = "CEffectPoleScroll";
  static constexpr int kLast = 12, kStep = 13, kOffsetX = 14, kOffsetY = 15;
  explicit CEffectPoleScroll(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
};

// p0 duration (20), p1 door width (160, at most W/2; below 0 as 0), p2 the
// channel whose picture shows through the opening (13), p3 curve code,
// p4 ramp (0); p5, p6 kept.
class CEffectFusuma : public CTableStartEffect {
 public:
  static constexpr int kNumber = 84;
  static constexpr const char* kClassName = "CEffectFusuma";
  explicit CEffectFusuma(CEffectManager* manager);
  int Finish(EffectChannel*, int) override { return 1; }
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
};

// p0 duration (20), p1 top bar height (100), p2 opening (100), p3..p5 end
// colour (0, = p3, = p4), p6, p7 curve and ramp of the size, p8..p10 start
// colour (= p3..p5), p11, p12 curve and ramp of the colour.
class CEffectCurtain : public CTableStartEffect {
 public:
  static constexpr int kNumber = 68;
  static constexpr const char* kClassName = "CEffectCurtain";
  explicit CEffectCurtain(CEffectManager* manager);
  void Print(EffectChannel* record, int channel) override;
};

// The zoom window of #37 and #122 in screen pixels of the picture.
struct ZoomWindow {
  int left, top, right, bottom;
};

// p0 duration (20), p1..p4 target rectangle (W/4, H/4, W/2, H/2; held on
// the screen), p5 curve, p6 ramp (0), p7 end and p8 start zoom percent
// (100, 0). A screen-sized 32-bit picture scaled to the whole screen.
class CEffectBGZoomIn : public CTableStartEffect {
 public:
  static constexpr int kNumber = 37;
  static constexpr const char* kClassName = "CEffectBGZoomIn";
  explicit CEffectBGZoomIn(CEffectManager* manager);
  int Finish(EffectChannel*, int) override { return 1; }
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }

  // False when nothing is to be drawn this frame.
  static bool Window(const EffectChannel& record, int w, int h, ZoomWindow* out);
  // Screen columns x0..x0 + n - 1 of row y from the window, sampled in 16.16
  // as if the whole row were drawn.
  static void SampleSpan(const uint32_t* pixels, int pitch, const ZoomWindow& window, int w, int h,
                         int y, int x0, int n, uint32_t* screen);
};

// p0..p8 as #37; p9, p10 clip point at the end (p1 + p3/2, p2 + p4/2),
// p11, p12 direction or size at the end (-60, -40), p13 shape (0 half-plane,
// 1 fixed rectangle p9..p12, 2 moving rectangle), p14..p17 the four at the
// start (= p9..p12), p18, p19 curve and ramp of the motion, p20 border width
// (0 none), p21 border percent (100), p22..p24 border colour (255 each),
// p25 start percent (= p21), p26, p27 its curve and ramp, p28..p30 start
// colour (= p22..p24), p31, p32 the colour's curve and ramp (= p26, p27).
// The span list (first column, width per row) lives in the work buffer.
class CEffectClipZoomIn : public CTableStartEffect {
 public:
  static constexpr int kNumber = 122;
  static constexpr const char* kClassName = "CEffectClipZoomIn";
  explicit CEffectClipZoomIn(CEffectManager* manager);
  int Finish(EffectChannel*, int) override { return 1; }
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
};
