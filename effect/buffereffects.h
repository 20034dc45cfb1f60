// Buffer and control effects: what a channel shows rather than how it animates.
// #0 CEffectNop shows the channel picture unchanged, #1 CEffectMae leaves a
// channel alone, #2 CEffectPut pastes the saved screen (or a colour, or the
// picture, on its first frame), #66 CEffectBuffer holds a picture without
// drawing it, #73 CEffectGet captures the screen, #75 CEffectOnce draws the
// picture once and during a window of frames, #113 CEffectLupin floods the
// screen with one colour. #105 lives in effectmoviewarp.h. Each names its
// values in its class; their defaults are its start table in buffereffects.cpp.
#pragma once

#include <memory>

#include "effect/effectstart.h"
#include "effect/fadeeffects.h"

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

// Pastes the saved screen; on its first frame, unless kPasteAtOnce, the
// channel picture or (without one) a colour instead.
class CEffectPut : public CTableStartEffect {
 public:
  static constexpr int kNumber = 2;
  static constexpr const char* kClassName = "CEffectPut";
  enum : int { kDuration, kRed, kGreen, kBlue, kPasteAtOnce };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectPut(CEffectManager* manager);
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  void Print(EffectChannel* record, int channel) override;
};

// Keeps its duration and stores no value.
class CEffectBuffer : public CTableStartEffect {
 public:
  static constexpr int kNumber = 66;
  static constexpr const char* kClassName = "CEffectBuffer";
  enum : int { kDuration };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectBuffer(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  int CheckBusy(EffectChannel*, int) override { return 0; }
};

// Owns the saved screen (screen-sized, 32-bit, no mask) and copies the
// screen into it every frame its channel is drawn.
class CEffectGet : public CTableStartEffect {
 public:
  static constexpr int kNumber = 73;
  static constexpr const char* kClassName = "CEffectGet";
  enum : int { kDuration };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectGet(CEffectManager* manager);
  ~CEffectGet() override;
  void Print(EffectChannel* record, int channel) override;

 private:
  std::unique_ptr<CPicture> screen_;
  // The saved screen of a manager made before this one (tests), given back
  // on destruction.
  CPicture* previous_ = nullptr;
};

// The channel picture on the first drawn frame and during a window of
// frames.
class CEffectOnce : public CTableStartEffect {
 public:
  static constexpr int kNumber = 75;
  static constexpr const char* kClassName = "CEffectOnce";
  enum : int { kDuration, kFirstFrame, kFrames };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  explicit CEffectOnce(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int CheckPrintPicture(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  void Restore(EffectChannel* record, int channel) override;

 private:
  static int FlagIndex(int channel) { return channel >= 0 && channel < 16 ? channel : 0; }
  int drawn_[16] = {};
};

// The fill (#54: its values, 9999 frames, no channel picture) at its own
// number.
class CEffectLupin : public CEffectFill {
 public:
  static constexpr int kNumber = 113;
  static constexpr const char* kClassName = "CEffectLupin";
  static const effectstart::StartTable kTable;
  explicit CEffectLupin(CEffectManager* manager);
};
