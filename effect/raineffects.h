// Tiled picture layers: the channel picture repeated over the screen.
// #56 up to four flat layers scrolling at falling speeds that wander at
// random; #102 layers at depths streaming toward or away from the viewer.
#pragma once

#include <array>

#include "effect/commoneffect.h"
#include "effect/effectmanager.h"

// p0 duration (20); p1, p2 speed in pixels per count (5, 30); p3 layers (2,
// 1..4); p4, p5 random-walk ranges (3, 0); p6 each layer's share of the one
// before, percent (50); p7 random-walk chance divisor (100, at least 1).
// The layers of each channel live in the object.
class CEffectRain2 : public CCommonEffect {
 public:
  static constexpr int kNumber = 56;
  static constexpr const char* kClassName = "CEffectRain2";
  static constexpr int kLayers = 4;
  // Positions, speeds and walk ranges in 1/100 pixel.
  struct Layer {
    int x = 0, y = 0, speedX = 0, speedY = 0, walkX = 0, walkY = 0;
  };
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel*, int) override { return 1; }
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  void Restore(EffectChannel* record, int channel) override;
  const Layer& GetLayer(int channel, int layer) const { return layers_[Slot(channel)][layer]; }

 private:
  static int Slot(int channel) { return channel >= 0 && channel < CEffectManager::kChannels ? channel : 0; }
  static int LayerCount(const EffectChannel& record) { return std::clamp(record.Param(3), 1, kLayers); }
  std::array<std::array<Layer, kLayers>, CEffectManager::kChannels> layers_{};
  std::array<int, CEffectManager::kChannels> scatter_{};
};

// p0 duration (20); p1 layers (2, held to the depth range and 256); p2 far depth
// (500, at least 10); p3 near depth (20, 10..p2 - 1); p4 depth change per
// count (-20); p5, p6 vanishing point (the screen's centre, on the
// screen); p7 opacity at the ends of the range, percent (0); p8 fade
// distance (60). Each channel's depth lives in the object.
class CEffectRain4 : public CCommonEffect {
 public:
  static constexpr int kNumber = 102;
  static constexpr const char* kClassName = "CEffectRain4";
  // More layers than depth steps would repeat depths; past a few hundred a
  // frame would stall on the tiles alone.
  static constexpr int kMaxLayers = 256;
  using CCommonEffect::CCommonEffect;
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel*, int) override { return 1; }
  // (0, -1): every channel's depth 0; (0, c): channel c's.
  void Init(int a, int b) override;
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  void Restore(EffectChannel* record, int channel) override;
  int GetDepth(int channel) const { return depth_[Slot(channel)]; }

  // The stored values held to what a start allows: far, near, layers.
  struct Range {
    int far, nearest, layers;
  };
  static Range RangeOf(const EffectChannel& record);
  // Layer i's depth at `depth`, and its opacity.
  static int LayerDepth(const EffectChannel& record, int depth, int i);
  static int LayerOpacity(const EffectChannel& record, int z);

 private:
  static int Slot(int channel) { return channel >= 0 && channel < CEffectManager::kChannels ? channel : 0; }
  std::array<int, CEffectManager::kChannels> depth_{};
};
