// Buffer and control effects: what a channel shows rather than how it
// animates. #0 shows the channel picture unchanged, #1 leaves a channel
// alone, #2 pastes the saved screen (or a colour, or the picture, on its
// first frame), #66 holds a picture without drawing it, #73 captures the
// screen, #75 draws the picture once and during a window of frames, #113
// floods the screen with one colour. #105 lives in effectmoviewarp.h.
#pragma once

#include <memory>

#include "effect/commoneffect.h"

class CEffectNop : public CCommonEffect {
 public:
  static constexpr int kNumber = 0;
  static constexpr const char* kClassName = "CEffectNop";
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int CheckBusy(EffectChannel*, int) override { return 0; }
};

class CEffectMae : public CCommonEffect {
 public:
  static constexpr int kNumber = 1;
  static constexpr const char* kClassName = "CEffectMae";
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel*, int, const int*, int) override { return 1; }
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  int CheckBusy(EffectChannel*, int) override { return 0; }
};

// p0 duration (20), p1 red (0), p2 green (p1), p3 blue (p2), p4 paste the
// saved screen from the first frame on (0).
class CEffectPut : public CCommonEffect {
 public:
  static constexpr int kNumber = 2;
  static constexpr const char* kClassName = "CEffectPut";
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  void Print(EffectChannel* record, int channel) override;
};

class CEffectBuffer : public CCommonEffect {
 public:
  static constexpr int kNumber = 66;
  static constexpr const char* kClassName = "CEffectBuffer";
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  int CheckBusy(EffectChannel*, int) override { return 0; }
};

// Owns the saved screen (screen-sized, 32-bit, no mask) and copies the
// screen into it every frame its channel is drawn.
class CEffectGet : public CCommonEffect {
 public:
  static constexpr int kNumber = 73;
  static constexpr const char* kClassName = "CEffectGet";
  explicit CEffectGet(CEffectManager* manager);
  ~CEffectGet() override;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  void Print(EffectChannel* record, int channel) override;

 private:
  std::unique_ptr<CPicture> screen_;
  // The saved screen of a manager made before this one (tests), given back
  // on destruction.
  CPicture* previous_ = nullptr;
};

// p0 duration (20), p1 first frame of the window (0), p2 its length (1).
class CEffectOnce : public CCommonEffect {
 public:
  static constexpr int kNumber = 75;
  static constexpr const char* kClassName = "CEffectOnce";
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int CheckPrintPicture(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  void Restore(EffectChannel* record, int channel) override;

 private:
  static int FlagIndex(int channel) { return channel >= 0 && channel < 16 ? channel : 0; }
  int drawn_[16] = {};
};

// p0 (20, kept), p1 red (0), p2 green (p1), p3 blue (p2); runs 9999 frames.
class CEffectLupin : public CCommonEffect {
 public:
  static constexpr int kNumber = 113;
  static constexpr const char* kClassName = "CEffectLupin";
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  void Print(EffectChannel* record, int channel) override;
};
