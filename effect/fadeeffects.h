// Fades, fills and whole-screen treatments: each works on what the pass has
// drawn so far (the channel picture included). #10 fades in from a colour,
// #11 fades out to one, #17 flashes one; these three end by turning their
// channel into #0 or #54, which keep the end state on screen. #32 melts the
// screen downward, #43 pixelates a rectangle, #54 fills the screen, #55
// lays old-film scratches over an area.
#pragma once

#include "effect/commoneffect.h"

// What the two fades share: p0 duration (20), p1 red (0), p2 green (p1),
// p3 blue (p2), p4 curve code (0), p5 ramp (0), and their progress 0..100.
class CEffectFadeCommon : public CCommonEffect {
 public:
  using CCommonEffect::CCommonEffect;

 protected:
  static int StartFade(EffectChannel* record, int number, int count, const int* values);
  static int Progress(const EffectChannel& record);
};

// Ends as #0; a channel without picture is freed.
class CEffectFadein : public CEffectFadeCommon {
 public:
  static constexpr int kNumber = 10;
  static constexpr const char* kClassName = "CEffectFadein";
  using CEffectFadeCommon::CEffectFadeCommon;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
};

// Ends as a #54 fill of its colour.
class CEffectFadeout : public CEffectFadeCommon {
 public:
  static constexpr int kNumber = 11;
  static constexpr const char* kClassName = "CEffectFadeout";
  using CEffectFadeCommon::CEffectFadeCommon;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
};

// p0 duration (20), p1 frames on (1), p2 frames off (p1), p3 red (255),
// p4 green (p3), p5 blue (p4). Ends as a #54 fill of the flash colour.
class CEffectFlash : public CCommonEffect {
 public:
  static constexpr int kNumber = 17;
  static constexpr const char* kClassName = "CEffectFlash";
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
};

// p0 duration (20), p1 curve code (0), p2 ramp (0). Rests on its last frame
// asking for whole frames.
class CEffectMeltDown : public CCommonEffect {
 public:
  static constexpr int kNumber = 32;
  static constexpr const char* kClassName = "CEffectMeltDown";
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel*, int) override { return 1; }
  void Print(EffectChannel* record, int channel) override;
};

// p0 duration (10000), p1, p2 block width and height (16, 16), p3..p6 the
// rectangle x, y, width, height: the whole screen unless all seven values
// are given. Draws 101 fresh sample offsets every frame it pixelates.
class CEffectMozaic : public CCommonEffect {
 public:
  static constexpr int kNumber = 43;
  static constexpr const char* kClassName = "CEffectMozaic";
  static constexpr int kOffsets = 101;
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel*, int) override { return 1; }
  void Print(EffectChannel* record, int channel) override;
};

// p0 (20, kept), p1 red (0), p2 green (p1), p3 blue (p2); runs 9999 frames
// and draws no channel picture.
class CEffectFill : public CCommonEffect {
 public:
  static constexpr int kNumber = 54;
  static constexpr const char* kClassName = "CEffectFill";
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  void Print(EffectChannel* record, int channel) override;
};

// Scratches wandering over an area: p1, p2 its x, y (0, 0), p3, p4 its width
// and height (the screen's), p5 lines (3, at most 10), p6 scratch width
// (1, 1..4), p7..p9 colour (128 each), p10 life in frames (200), p11 its
// variation in percent (80), p12 chance in percent of being drawn in a
// frame (30). Line i keeps position (1/256 pixel), velocity, frames until
// the velocity changes and frames of life at ints kLineBase + 4i.
class CEffectOldFilm : public CCommonEffect {
 public:
  static constexpr int kNumber = 55;
  static constexpr const char* kClassName = "CEffectOldFilm";
  static constexpr int kMaxLines = 10;
  static constexpr int kMaxWidth = 4;
  static constexpr int kLineBase = 45;
  explicit CEffectOldFilm(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  void Print(EffectChannel* record, int channel) override;

 private:
  static void ResetLine(EffectChannel* record, int line, int width);
};
