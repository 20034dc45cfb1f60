// Fades, fills and whole-screen treatments: each works on what the pass has
// drawn so far (the channel picture included). #10 CEffectFadein fades in from
// a colour, #11 CEffectFadeout fades out to one, #17 CEffectFlash flashes one;
// these three end by turning their channel into #0 or #54, which keep the end
// state on screen. #32 CEffectMeltDown melts the screen downward,
// #43 CEffectMozaic pixelates a rectangle, #54 CEffectFill fills the screen,
// #55 CEffectOldFilm lays old-film scratches over an area. Each names its
// values in its class; their defaults and clamps are its start table in
// fadeeffects.cpp.
#pragma once

#include "effect/effectstart.h"

// What the two fades share: their values (the colour faded from or to) and
// their progress 0..100.
class CEffectFadeCommon : public CTableStartEffect {
 public:
  enum : int { kDuration, kRed, kGreen, kBlue, kCurve, kRamp };
  static const effectstart::ParamDefault kDefaults[];
  using CTableStartEffect::CTableStartEffect;

 protected:
  static int Progress(const EffectChannel& record);
};

// Ends as #0; a channel without picture is freed.
class CEffectFadein : public CEffectFadeCommon {
 public:
  static constexpr int kNumber = 10;
  static constexpr const char* kClassName = "CEffectFadein";
  static const effectstart::StartTable kTable;
  explicit CEffectFadein(CEffectManager* manager);
  int Finish(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
};

// Ends as a #54 fill of its colour.
class CEffectFadeout : public CEffectFadeCommon {
 public:
  static constexpr int kNumber = 11;
  static constexpr const char* kClassName = "CEffectFadeout";
  static const effectstart::StartTable kTable;
  explicit CEffectFadeout(CEffectManager* manager);
  int Finish(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
};

// Blinks a colour, some frames on and some off. Ends as a #54 fill of the
// flash colour.
class CEffectFlash : public CTableStartEffect {
 public:
  static constexpr int kNumber = 17;
  static constexpr const char* kClassName = "CEffectFlash";
  enum : int { kDuration, kOnFrames, kOffFrames, kRed, kGreen, kBlue };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectFlash(CEffectManager* manager);
  int Finish(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
};

// Rests on its last frame asking for whole frames.
class CEffectMeltDown : public CTableStartEffect {
 public:
  static constexpr int kNumber = 32;
  static constexpr const char* kClassName = "CEffectMeltDown";
  enum : int { kDuration, kCurve, kRamp };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectMeltDown(CEffectManager* manager);
  int Finish(EffectChannel*, int) override { return 1; }
  void Print(EffectChannel* record, int channel) override;
};

// Pixelates a rectangle, the whole screen unless all seven values are
// given. Draws 101 fresh sample offsets every frame it pixelates.
class CEffectMozaic : public CTableStartEffect {
 public:
  static constexpr int kNumber = 43;
  static constexpr const char* kClassName = "CEffectMozaic";
  static constexpr int kOffsets = 101;
  enum : int { kDuration, kBlockWidth, kBlockHeight, kX, kY, kWidth, kHeight };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectMozaic(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel*, int) override { return 1; }
  void Print(EffectChannel* record, int channel) override;
};

// Runs 9999 frames and draws no channel picture. The fades, the flash and
// the iris end by handing their channel to it with their colour at kRed,
// kGreen, kBlue. The rows are here, not in the .cpp, because #113
// (buffereffects.h) starts from them too.
class CEffectFill : public CTableStartEffect {
 public:
  static constexpr int kNumber = 54;
  static constexpr const char* kClassName = "CEffectFill";
  enum : int { kDuration, kRed, kGreen, kBlue };
  // The first value is kept, not used.
  static constexpr effectstart::ParamDefault kDefaults[] = {
      effectstart::Value(kDuration, 20), effectstart::Value(kRed, 0),
      effectstart::Same(kGreen, kRed), effectstart::Same(kBlue, kGreen)};
  static const effectstart::StartTable kTable;
  explicit CEffectFill(CEffectManager* manager);
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  void Print(EffectChannel* record, int channel) override;

 protected:
  // The fill at another number (#113).
  CEffectFill(CEffectManager* manager, const effectstart::StartTable& table)
      : CTableStartEffect(manager, table) {}
};

// Scratches wandering over an area; runs 9999 frames. Line i keeps
// position (1/256 pixel), velocity, frames until the velocity changes and
// frames of life at ints kLineBase + 4i.
class CEffectOldFilm : public CTableStartEffect {
 public:
  static constexpr int kNumber = 55;
  static constexpr const char* kClassName = "CEffectOldFilm";
  static constexpr int kMaxLines = 10;
  static constexpr int kMaxWidth = 4;
  static constexpr int kLineBase = 45;
  enum : int {
    kUnused,
    kX,
    kY,
    kWidth,
    kHeight,
    kLines,
    kScratchWidth,
    kRed,
    kGreen,
    kBlue,
    kLife,
    kLifeVariation,
    kDrawChance
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::ParamClamp kClamps[];
  static const effectstart::StartTable kTable;
  explicit CEffectOldFilm(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  void Print(EffectChannel* record, int channel) override;

 private:
  static void ResetLine(EffectChannel* record, int line, int width);
};
