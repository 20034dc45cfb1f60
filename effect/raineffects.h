// Tiled picture layers: the channel picture repeated over the screen.
// #56 CEffectRain2 up to four flat layers scrolling at falling speeds that
// wander at random; #102 CEffectRain4 layers at depths streaming toward or away
// from the viewer. Each names its values in its class; their defaults and
// clamps are its start table in raineffects.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "effect/effectmanager.h"
#include "effect/effectstart.h"

// Each layer moves at its share of the one before's speed and walk ranges.
// The layers of each channel live in the object.
class CEffectRain2 : public CTableStartEffect {
 public:
  static constexpr int kNumber = 56;
  static constexpr const char* kClassName = "CEffectRain2";
  static constexpr int kLayers = 4;
  enum : int { kDuration, kSpeedX, kSpeedY, kLayerCount, kWalkX, kWalkY, kShare, kWalkDivisor };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::ParamClamp kClamps[];
  static const effectstart::StartTable kTable;
  // Positions, speeds and walk ranges in 1/100 pixel.
  struct Layer {
    int x = 0, y = 0, speedX = 0, speedY = 0, walkX = 0, walkY = 0;
  };
  explicit CEffectRain2(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel*, int) override { return 1; }
  void Calcu(EffectChannel* record, int channel) override;
  void Print(EffectChannel* record, int channel) override;
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  void Restore(EffectChannel* record, int channel) override { StartAgain(record, channel); }
  const Layer& GetLayer(int channel, int layer) const { return layers_[Slot(channel)][layer]; }

 private:
  static int Slot(int channel) { return channel >= 0 && channel < CEffectManager::kChannels ? channel : 0; }
  static int LayerCount(const EffectChannel& record) {
    return std::clamp(record.Param(kLayerCount), 1, kLayers);
  }
  std::array<std::array<Layer, kLayers>, CEffectManager::kChannels> layers_{};
  std::array<int, CEffectManager::kChannels> scatter_{};
};

// A start holds the far depth to at least 10, the near one to 10..far - 1,
// the vanishing point to the screen and the layers to kMaxLayers (more
// layers than depth steps share depths and are all drawn). Each channel's
// depth lives in the object.
class CEffectRain4 : public CTableStartEffect {
 public:
  static constexpr int kNumber = 102;
  static constexpr const char* kClassName = "CEffectRain4";
  enum : int {
    kDuration,
    kLayerCount,
    kFar,
    kNear,
    kDepthStep,
    kVanishX,
    kVanishY,
    kEndOpacity,
    kFadeDistance
  };
  static const effectstart::ParamDefault kDefaults[];
  static const effectstart::StartTable kTable;
  // Every layer covers the screen with tiles: a frame of more layers than
  // this would stall. No rain uses so many; a start that asks for more is
  // held to it, with a message.
  static constexpr int kMaxLayers = 256;
  explicit CEffectRain4(CEffectManager* manager);
  int SetParam(EffectChannel* record, int count, const int* values, int channel) override;
  int Finish(EffectChannel*, int) override { return 1; }
  // (0, -1): every channel's depth 0; (0, c): channel c's.
  void Init(int a, int b) override;
  void Calcu(EffectChannel* record, int channel) override;
  // Each layer's tiles drawn a screen row at a time; PrintPlain stretches
  // the picture into every tile one by one, the reference Print is held
  // to byte for byte.
  void Print(EffectChannel* record, int channel) override;
  void PrintPlain(EffectChannel* record, int channel);
  int CheckPrintPicture(EffectChannel*, int) override { return 0; }
  void Restore(EffectChannel* record, int channel) override { StartAgain(record, channel); }
  int GetDepth(int channel) const { return depth_[Slot(channel)]; }

  // The stored values held to what a start allows: far, near, layers.
  struct Range {
    int far, nearest, layers;
  };
  static Range RangeOf(const EffectChannel& record);
  // Layer i's depth at `depth`, and its opacity.
  static int LayerDepth(const EffectChannel& record, int depth, int i);
  static int LayerOpacity(const EffectChannel& record, int z);

  // One layer: tiles of tw x th from (x0, y0) on, at an opacity in percent.
  struct Tiles {
    int64_t x0, y0, tw, th;
    int opacity;
  };

 private:
  static int Slot(int channel) { return channel >= 0 && channel < CEffectManager::kChannels ? channel : 0; }
  // Calls draw(tiles) for every layer, far layers first.
  template <typename Draw>
  void EachLayer(EffectChannel* record, int channel, int w, int h, Draw draw);
  void DrawTiles(const CPicture& picture, const Tiles& tiles);
  std::array<int, CEffectManager::kChannels> depth_{};
  // What a layer's rows are drawn with: the picture row and column under
  // each screen row and column (-1 for none), a picture row's weights,
  // screen rows of pixels and weights looked up and the picture row each
  // holds.
  std::vector<int32_t> rows_, columns_, keptRows_;
  std::vector<uint32_t> weights_, rowPixels_, rowWeights_;
};
