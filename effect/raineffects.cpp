#include "effect/raineffects.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "graphics/blendrows.h"
#include "graphics/packedwords.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "graphics/stretchblt.h"
#include "platform/system.h"
#include "setup/random.h"

using namespace effectstart;

namespace {

constexpr ClampTiming kAfter = ClampTiming::kAfterDefaults;

// v held to [lo, hi]; lo wins when the two cross.
int64_t Between(int64_t v, int64_t lo, int64_t hi) { return std::max(std::min(v, hi), lo); }

}  // namespace

// --- #56 flat rain ---

// Speeds and walk ranges in pixels per count, each layer's share of the
// one before's in percent.
constexpr ParamDefault CEffectRain2::kDefaults[] = {
    Value(kDuration, 20), Value(kSpeedX, 5), Value(kSpeedY, 30), Value(kLayerCount, 2),
    Value(kWalkX, 3),     Value(kWalkY, 0),  Value(kShare, 50),  Value(kWalkDivisor, 100),
};
constexpr ParamClamp CEffectRain2::kClamps[] = {Range(kLayerCount, 1, kLayers),
                                                Range(kWalkDivisor, 1, INT32_MAX)};

constexpr StartTable CEffectRain2::kTable{kNumber, 8, -1, kAfter, kDefaults, kClamps};

CEffectRain2::CEffectRain2(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

int CEffectRain2::SetParam(EffectChannel* record, int count, const int* values, int channel) {
  CTableStartEffect::SetParam(record, count, values, channel);
  const EffectChannel& r = *record;
  std::array<Layer, kLayers>& layers = layers_[Slot(channel)];
  layers[0] = {0,
               0,
               Clamp32(int64_t{r.Param(kSpeedX)} * 100),
               Clamp32(int64_t{r.Param(kSpeedY)} * 100),
               Clamp32(int64_t{r.Param(kWalkX)} * 100),
               Clamp32(int64_t{r.Param(kWalkY)} * 100)};
  for (int k = 1; k < kLayers; ++k) {
    const Layer& before = layers[k - 1];
    auto share = [&](int v) { return Clamp32(int64_t{v} * r.Param(kShare) / 100); };
    layers[k] = {0, 0, share(before.speedX), share(before.speedY), share(before.walkX),
                 share(before.walkY)};
  }
  scatter_[Slot(channel)] = 1;
  return 1;
}

void CEffectRain2::Calcu(EffectChannel* record, int channel) {
  CPicture* picture = RecordPicture(*record);
  if (!picture || picture->GetWidth() < 1 || picture->GetHeight() < 1) return;
  const int w = picture->GetWidth(), h = picture->GetHeight();
  const int n = LayerCount(*record);
  std::array<Layer, kLayers>& layers = layers_[Slot(channel)];
  if (scatter_[Slot(channel)] != 0) {
    for (int k = 0; k < n; ++k) {
      layers[k].x = Clamp32(int64_t{crt::rand() % w} * 100);
      layers[k].y = Clamp32(int64_t{crt::rand() % h} * 100);
    }
    scatter_[Slot(channel)] = 0;
  }
  const int64_t divisor = std::max(record->Param(kWalkDivisor), 1);
  // One wandering speed: a step within the range now and then, held
  // around the script's speed.
  auto walk = [&](int* speed, int range, int base, int spread) {
    if (range <= 0 || crt::rand() % divisor != 0) return false;
    int64_t d = crt::rand() % range;
    if (crt::rand() % 100 < 50) d = -d;
    *speed = Clamp32(Between(int64_t{*speed} + d, (int64_t{base} - spread) * 100,
                             (int64_t{base} + spread) * 100));
    return true;
  };
  const int64_t lw = int64_t{std::min(CScreenBuffer::GetWidth(), w)} * 100;
  const int64_t lh = int64_t{std::min(CScreenBuffer::GetHeight(), h)} * 100;
  for (int k = 0; k < n; ++k) {
    Layer& layer = layers[k];
    walk(&layer.speedX, layer.walkX, record->Param(kSpeedX), record->Param(kWalkX));
    if (walk(&layer.speedY, layer.walkY, record->Param(kSpeedY), record->Param(kWalkY)))
      layer.speedY = std::max(layer.speedY, 100);
    // A layer leaving by a whole tile comes back by one tile, on every side.
    if (lw > 0) layer.x = static_cast<int>((int64_t{layer.x} + layer.speedX) % lw);
    if (lh > 0) layer.y = static_cast<int>((int64_t{layer.y} + layer.speedY) % lh);
  }
}

void CEffectRain2::Print(EffectChannel* record, int channel) {
  CPicture* picture = RecordPicture(*record);
  if (!picture || picture->GetWidth() < 1 || picture->GetHeight() < 1) return;
  const int w = picture->GetWidth(), h = picture->GetHeight();
  const int sw = CScreenBuffer::GetWidth(), sh = CScreenBuffer::GetHeight();
  const std::array<Layer, kLayers>& layers = layers_[Slot(channel)];
  for (int k = LayerCount(*record) - 1; k >= 0; --k) {
    const int ox = layers[k].x / 100, oy = layers[k].y / 100;
    const int left = ox > 0 ? -1 : 0, top = oy > 0 ? -1 : 0;
    const int right = std::max((sw - ox - 1) / w, 0), bottom = std::max((sh - oy - 1) / h, 0);
    for (int i = top; i <= bottom; ++i)
      for (int j = left; j <= right; ++j) picture->Blt(ox + j * w, oy + i * h, 0, 0, w, h, 1);
  }
}

// --- #102 rain in depth ---

// Depths and their step per count; the vanishing point on the screen; the
// opacity at the ends of the range in percent and the fade distance.
constexpr ParamDefault CEffectRain4::kDefaults[] = {
    Value(kDuration, 20),
    Value(kLayerCount, 2),
    Value(kFar, 500),
    Value(kNear, 20),
    Value(kDepthStep, -20),
    Value(kVanishX, Width(1, 2)),
    Value(kVanishY, Height(1, 2)),
    Value(kEndOpacity, 0),
    Value(kFadeDistance, 60),
};

constexpr StartTable CEffectRain4::kTable{kNumber, 9, -1, kAfter, kDefaults};

CEffectRain4::CEffectRain4(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

int CEffectRain4::SetParam(EffectChannel* record, int count, const int* values, int channel) {
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  int p[kMaxParams];
  MakeParams(Table(), count, values, w, h, p);
  p[kVanishX] = std::clamp(p[kVanishX], 0, std::max(w - 1, 0));
  p[kVanishY] = std::clamp(p[kVanishY], 0, std::max(h - 1, 0));
  if (p[kLayerCount] > kMaxLayers) {
    const std::string line = "effect " + std::to_string(kNumber) + " on channel " +
                             std::to_string(channel) + ": " + std::to_string(p[kLayerCount]) +
                             " layers asked for, " + std::to_string(kMaxLayers) + " drawn";
    platform::ErrorOutput(line.c_str());
  }
  StartRecord(record, kNumber, p[kDuration], p, Table().max);
  const Range range = RangeOf(*record);
  record->Param(kLayerCount) = range.layers;
  record->Param(kFar) = range.far;
  record->Param(kNear) = range.nearest;
  depth_[Slot(channel)] = 0;
  return 1;
}

CEffectRain4::Range CEffectRain4::RangeOf(const EffectChannel& record) {
  Range r;
  r.far = std::max(record.Param(kFar), 10);
  r.nearest = std::min(std::max(record.Param(kNear), 10), r.far - 1);
  r.layers = std::clamp(record.Param(kLayerCount), 0, kMaxLayers);
  return r;
}

void CEffectRain4::Init(int, int b) {
  if (b == -1)
    depth_.fill(0);
  else if (b >= 0 && b < CEffectManager::kChannels)
    depth_[b] = 0;
}

void CEffectRain4::Calcu(EffectChannel* record, int channel) {
  const Range r = RangeOf(*record);
  const int step = record->Param(kDepthStep);
  int& depth = depth_[Slot(channel)];
  depth = Clamp32(int64_t{depth} + step);
  if (step < 0) {
    if (depth < r.nearest) depth = r.far;
  } else if (depth > r.far) {
    depth = r.nearest;
  }
}

int CEffectRain4::LayerDepth(const EffectChannel& record, int depth, int i) {
  const Range r = RangeOf(record);
  const int64_t range = r.far - r.nearest;
  int64_t z = depth + range * i / std::max(r.layers, 1);
  if (z > r.far) z = (z - r.nearest) % range + r.nearest;
  return Clamp32(z);
}

int CEffectRain4::LayerOpacity(const EffectChannel& record, int z) {
  const Range r = RangeOf(record);
  const int64_t fade = record.Param(kFadeDistance), ends = record.Param(kEndOpacity);
  int64_t opacity = 100;
  if (fade > 0) {
    if (int64_t{z} - r.nearest < fade)
      opacity = (100 - ends) * (int64_t{z} - r.nearest) / fade + ends;
    else if (int64_t{r.far} - z < fade)
      opacity = (100 - ends) * (int64_t{r.far} - z) / fade + ends;
  }
  return static_cast<int>(std::clamp<int64_t>(opacity, 1, 100));
}

template <typename Draw>
void CEffectRain4::EachLayer(EffectChannel* record, int channel, int w, int h, Draw draw) {
  const Range r = RangeOf(*record);
  if (r.layers < 1) return;
  const int sw = CScreenBuffer::GetWidth(), sh = CScreenBuffer::GetHeight();
  const int depth = depth_[Slot(channel)];
  std::vector<int> z(static_cast<size_t>(r.layers));
  for (int i = 0; i < r.layers; ++i) z[i] = LayerDepth(*record, depth, i);
  // Far layers first: from the deepest layer in the direction of travel.
  const bool rising = record->Param(kDepthStep) >= 0;
  const int first = static_cast<int>(
      (rising ? std::min_element(z.begin(), z.end()) : std::max_element(z.begin(), z.end())) -
      z.begin());
  const int64_t vx = std::clamp(record->Param(kVanishX), 0, std::max(sw - 1, 0));
  const int64_t vy = std::clamp(record->Param(kVanishY), 0, std::max(sh - 1, 0));
  for (int k = 0; k < r.layers; ++k) {
    const int i = ((rising ? first + k : first - k) % r.layers + r.layers) % r.layers;
    const int64_t depthOf = z[i] == 0 ? 1 : z[i];
    const int opacity = LayerOpacity(*record, static_cast<int>(depthOf));
    const int64_t tw = int64_t{w} * 100 / depthOf, th = int64_t{h} * 100 / depthOf;
    if (tw < 1 || th < 1) continue;
    int64_t x0 = vx - tw / 2, y0 = vy - th / 2;
    if (x0 > 0) x0 -= (x0 + tw - 1) / tw * tw;
    if (y0 > 0) y0 -= (y0 + th - 1) / th * th;
    draw(Tiles{x0, y0, tw, th, opacity});
  }
}

void CEffectRain4::PrintPlain(EffectChannel* record, int channel) {
  CPicture* picture = RecordPicture(*record);
  if (!picture || picture->GetWidth() < 1 || picture->GetHeight() < 1) return;
  const int w = picture->GetWidth(), h = picture->GetHeight();
  const int sw = CScreenBuffer::GetWidth(), sh = CScreenBuffer::GetHeight();
  EachLayer(record, channel, w, h, [&](const Tiles& t) {
    for (int64_t y = t.y0; y < sh; y += t.th)
      for (int64_t x = t.x0; x < sw; x += t.tw)
        picture->StretchBlt(static_cast<int>(x), static_cast<int>(y), Clamp32(t.tw), Clamp32(t.th),
                            0, 0, w, h, t.opacity, 1);
  });
}

void CEffectRain4::Print(EffectChannel* record, int channel) {
  CPicture* picture = RecordPicture(*record);
  if (!picture || picture->GetWidth() < 1 || picture->GetHeight() < 1) return;
  // The stretch draws nothing from pictures it cannot read.
  if (!picture->IsLoaded() || !picture->GetPixelBuffer() || picture->Get256Flag()) return;
  if (!CScreenBuffer::GetBuffer()) return;
  EachLayer(record, channel, picture->GetWidth(), picture->GetHeight(),
            [&](const Tiles& t) { DrawTiles(*picture, t); });
}

namespace {

// The picture index under each screen position along one axis of a
// layer's tiles (tiles of `size` pixels every `advance` from `origin`,
// each showing `source` picture pixels), -1 where none: every tile walks
// its own 16.16 position from its first pixel on the screen, as a stretch
// of the picture into that tile does.
void TileSamples(int64_t origin, int64_t advance, int size, int source, int screen,
                 std::vector<int32_t>* out) {
  out->assign(static_cast<size_t>(std::max(screen, 0)), -1);
  const double step = static_cast<double>(source) / size;
  const uint64_t fixedStep = static_cast<uint64_t>(stretch::Fixed(step));
  for (int64_t d = origin; d < screen; d += advance) {
    const int64_t a = std::max<int64_t>(d, 0), b = std::min<int64_t>(d + size, screen);
    uint64_t at = static_cast<uint64_t>(stretch::Fixed(static_cast<double>(a - d) * step));
    for (int64_t p = a; p < b; ++p, at += fixedStep) {
      const int64_t v = static_cast<int64_t>(at) >> 16;
      (*out)[static_cast<size_t>(p)] = v >= 0 && v < source ? static_cast<int32_t>(v) : -1;
    }
  }
}

// A pixel's weight: kKeep leaves the screen, kCopy takes the picture,
// 0..255 is blendrows::BlendApart255's weight.
constexpr uint32_t kKeep = 0xFFFFFFFFu;
constexpr uint32_t kCopy = 256;

}  // namespace

// The stretch's transparent rules per picture pixel (the mask, or the
// top-left pixel as the colour key), looked up for each screen column of a
// picture row once, then one packed-word loop over each screen row. Every
// band of tiles shows the same picture rows, so the looked-up rows are kept
// for the layer while they fit kKeptRowPixels.
void CEffectRain4::DrawTiles(const CPicture& picture, const Tiles& t) {
  const int w = picture.GetWidth(), h = picture.GetHeight();
  const int sw = CScreenBuffer::GetWidth(), sh = CScreenBuffer::GetHeight();
  if (sw < 1 || sh < 1) return;
  const uint32_t* pixels = picture.GetPixelBuffer();
  const uint8_t* mask = picture.GetMaskFlag() ? picture.GetMask() : nullptr;
  TileSamples(t.x0, t.tw, Clamp32(t.tw), w, sw, &columns_);
  TileSamples(t.y0, t.th, Clamp32(t.th), h, sh, &rows_);
  const uint32_t k = static_cast<uint32_t>(blendrows::Weight(t.opacity));
  const uint32_t key = pixels[0];
  // Picture column w stands for "no column": it keeps the screen.
  weights_.resize(static_cast<size_t>(w) + 1);
  weights_[static_cast<size_t>(w)] = kKeep;
  for (int32_t& c : columns_)
    if (c < 0) c = w;
  constexpr int64_t kKeptRowPixels = int64_t{1} << 20;
  const bool keepAll = int64_t{h} * sw <= kKeptRowPixels;
  const size_t slots = keepAll ? static_cast<size_t>(h) : 1;
  rowPixels_.resize(slots * static_cast<size_t>(sw));
  rowWeights_.resize(slots * static_cast<size_t>(sw));
  keptRows_.assign(slots, -1);
  uint32_t* screen = CScreenBuffer::GetBuffer();
  for (int y = 0; y < sh; ++y) {
    const int32_t sy = rows_[static_cast<size_t>(y)];
    if (sy < 0) continue;
    const size_t slot = keepAll ? static_cast<size_t>(sy) : 0;
    uint32_t* rowPixels = rowPixels_.data() + slot * sw;
    uint32_t* rowWeights = rowWeights_.data() + slot * sw;
    if (keptRows_[slot] != sy) {
      const uint32_t* src = pixels + static_cast<size_t>(sy) * w;
      const uint8_t* m = mask ? mask + static_cast<size_t>(sy) * w : nullptr;
      for (int x = 0; x < w; ++x) {
        uint32_t a;
        if (m && t.opacity == 100)
          a = m[x] == 0 ? kKeep : m[x] == 255 ? kCopy : m[x];
        else if (m)
          a = m[x] == 0 ? kKeep : (m[x] * k) >> 8;
        else
          a = src[x] == key ? kKeep : t.opacity == 100 ? kCopy : k;
        weights_[static_cast<size_t>(x)] = a;
      }
      const int32_t* columns = columns_.data();
      const uint32_t* weights = weights_.data();
      for (int x = 0; x < sw; ++x) {
        const int32_t c = columns[x];
        rowWeights[x] = weights[c];
        rowPixels[x] = src[c < w ? c : 0];
      }
      keptRows_[slot] = sy;
    }
    uint32_t* out = screen + static_cast<size_t>(y) * sw;
    packedwords::Run([=] {
      for (int x = 0; x < sw; ++x) {
        const uint32_t a = rowWeights[x], d = out[x], s = rowPixels[x];
        const uint32_t blended = packedwords::Apart(d, s, a & 0xFF, 255 - (a & 0xFF));
        out[x] = a == kKeep ? d : a == kCopy ? s : blended;
      }
    });
  }
}
