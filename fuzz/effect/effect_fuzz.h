// What both effect fuzz targets share: a small screen, an effect manager
// whose channel pictures are of every awkward kind (none, 8-bit, unmasked,
// smaller and larger than the screen), and frames run in the game's order.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "effect/effecthahen.h"
#include "effect/effectmanager.h"
#include "effectrunner.h"
#include "fuzz/support/fuzz_support.h"
#include "graphics/pictureloader.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "platform/files.h"

namespace effectfuzz {

constexpr int kW = 48;
constexpr int kH = 32;

struct World {
  platform::HeadlessBackend* host = nullptr;
  std::unique_ptr<CScreenBuffer> screen;
  std::unique_ptr<CEffectManager> manager;
};

inline dwqtool::Picture Pattern(int w, int h, bool alpha) {
  dwqtool::Picture p{w, h, {}, {}};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      p.pixels.push_back(static_cast<uint32_t>((x * 37 + y * 11) & 0xFF) << 16 |
                         static_cast<uint32_t>(y * 5 & 0xFF) << 8 | 0x40);
      if (alpha) p.alpha.push_back(static_cast<uint8_t>((x + y) % 5 == 0 ? 0 : x * 50 + y));
    }
  return p;
}

// Channel picture i: none for i % 5 == 0, then 8-bit, unmasked screen-sized,
// masked smaller, masked larger than the screen (of width x height); channel
// 10 holds one masked pixel and channel 15 a masked picture twice the
// standard screen's width and height (made again on every change of screen
// size, so it stays small enough to load quickly).
inline void LoadPictures(World* w, int width, int height) {
  const std::string folder = platform::GameFolder();
  for (int i = 0; i < CEffectManager::kChannels; ++i) {
    std::string error;
    CPicture* target = w->manager->GetPicture(i);
    bool ok = true;
    switch (i % 5) {
      case 1: {
        dwqtool::Picture p = Pattern(10, 7, false);
        for (uint32_t& px : p.pixels) px &= 0xF00040;
        ok = effecttool::LoadPictureThroughFile(target, p, folder, &error, true);
        fuzzsupport::Check(!ok || target->Get256Flag(), "an 8-bit picture");
        break;
      }
      case 2:
        ok = effecttool::LoadPictureThroughFile(target, Pattern(width, height, false), folder, &error);
        break;
      case 3:
        ok = effecttool::LoadPictureThroughFile(target, Pattern(20, 9, true), folder, &error);
        break;
      case 4:
        ok = effecttool::LoadPictureThroughFile(target, Pattern(width + 30, height + 17, true),
                                                folder, &error);
        break;
      default:
        if (i == 10)
          ok = effecttool::LoadPictureThroughFile(target, Pattern(1, 1, true), folder, &error);
        if (i == 15)
          ok = effecttool::LoadPictureThroughFile(target, Pattern(2 * kW, 2 * kH, true),
                                                  folder, &error);
        break;
    }
    fuzzsupport::Check(ok, "fuzz pictures load");
  }
}

inline World& GetWorld() {
  static World* world = [] {
    auto* w = new World;
    w->host = &fuzzsupport::EnterGameFolder("dwq");
    InitPictureLoader(dwq::kDecodeMegabytes);
    w->screen = std::make_unique<CScreenBuffer>(kW, kH, 0);
    w->manager = std::make_unique<CEffectManager>();
    LoadPictures(w, kW, kH);
    return w;
  }();
  return *world;
}

// The world on a screen of another size: screen, manager and pictures are
// made anew whenever the size changes (effects read it when they are made).
inline World& GetWorld(int width, int height) {
  World& world = GetWorld();
  if (CScreenBuffer::GetWidth() != width || CScreenBuffer::GetHeight() != height) {
    world.manager.reset();
    world.screen.reset();
    world.screen = std::make_unique<CScreenBuffer>(width, height, 0);
    world.manager = std::make_unique<CEffectManager>();
    LoadPictures(&world, width, height);
  }
  return world;
}

// What grows over a long run without bound: the boxes and debug lines the
// host keeps, the shatter effect's mesh cache (one mesh per key ever seen).
inline void ForgetGrowth(World& world) {
  world.host->ClearBoxes();
  world.host->ClearDebugLines();
  if (auto* hahen = static_cast<CEffectHahen*>(world.manager->GetEffect(CEffectHahen::kNumber)))
    if (hahen->GetMeshCount() > 64) hahen->ForgetMeshes();
}

// Frames in the game's order, then the other per-frame entries.
inline void RunFrames(CEffectManager& m, int frames, int step) {
  for (int i = 0; i < frames; ++i) effecttool::GameFrame(m, i & 1, step);
  m.PrintRange(-3, 40, 0, 0);
  m.CalcuMove();
  m.EndMove();
  m.FinishEffects();
  m.PutScreen();
}

// A little-endian int from the input, 0 past its end.
inline int32_t TakeInt(const uint8_t*& data, size_t& size) {
  uint8_t b[4] = {};
  const size_t n = size < 4 ? size : 4;
  std::memcpy(b, data, n);
  data += n;
  size -= n;
  return static_cast<int32_t>(b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24);
}

inline uint8_t TakeByte(const uint8_t*& data, size_t& size) {
  if (size == 0) return 0;
  --size;
  return *data++;
}

}  // namespace effectfuzz
