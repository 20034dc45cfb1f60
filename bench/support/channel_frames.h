// One effect on channel 5 over an 800 x 600 screen, the way the layer
// benchmarks run it: a screen-sized gradient picture with an opaque or a
// soft mask, and iterations that are the effect's frames at one counter.
// Needs the effect runner (zor_effectrunner).
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "effect/commoneffect.h"
#include "effect/effectmanager.h"
#include "effectrunner.h"

namespace benchsupport {

// A screen-sized picture on channel `channel` loaded through a picture file
// in `folder`: a gradient, its mask 255 (or with `soft` 100..199)
// everywhere but the top-left pixel. False (the benchmark skipped) when it
// does not load.
inline bool LoadScreenPicture(benchmark::State& state, CEffectManager& manager, int channel,
                              int w, int h, bool soft, const std::string& folder) {
  dwqtool::Picture p{w, h, {}, {}};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      p.pixels.push_back(static_cast<uint32_t>(x * 0x010203 + y * 0x030201) & 0xFFFFFF);
      p.alpha.push_back(static_cast<uint8_t>(x + y == 0 ? 0 : soft ? 100 + (x ^ y) % 100 : 255));
    }
  std::string error;
  if (!effecttool::LoadPictureThroughFile(manager.GetPicture(channel), p, folder, &error)) {
    state.SkipWithError(error.c_str());
    return false;
  }
  manager.SetPicture(channel, channel);
  return true;
}

// Starts the effect on channel 5 at `counter`; each iteration is its frame:
// Tick, Calcu (the counter held), the draw of channel 5. Counts one screen
// of bytes per frame.
inline void RunChannelFrames(benchmark::State& state, CEffectManager& manager, int number,
                             std::vector<int> values, int counter, int64_t screenBytes) {
  manager.StartEffect(5, number, static_cast<int>(values.size()), values.data());
  manager.GetChannel(5)->Counter() = counter;
  for (auto _ : state) {
    manager.Tick();
    manager.GetEffect(number)->Calcu(manager.GetChannel(5), 5);
    manager.GetChannel(5)->Counter() = counter;
    manager.PrintRange(5, 5, 0, 1);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * screenBytes);
}

}  // namespace benchsupport
