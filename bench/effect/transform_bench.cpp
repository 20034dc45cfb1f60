// The transform effects drawing one 800 x 600 frame, read against the
// memcpy of one screen that effect_bench.cpp registers in the same binary:
// #36's two-to-one average and nearest-neighbour paths and #67 step a
// source per pixel like the stretch blits; #64, #65 and #101 map, test,
// tint and blend every pixel, so they are read against the 50 ms frame.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "bench/support/screen_twins.h"
#include "bench/support/game_folder.h"
#include "bench/support/picture_loader.h"
#include "effect/effectmanager.h"
#include "effectrunner.h"
#include "graphics/allgraphics.h"
#include "graphics/screenbuffer.h"

namespace {


// Screen-sized pictures on channels 5 (source), 6 (target) and 7 (a mask
// picture whose blue and green bend the pixels smoothly), one effect started
// on channel 5 at `counter`; each iteration draws channel 5 once.
void Frame(benchmark::State& state, int number, std::vector<int> values, int counter) {
  benchsupport::GameFolder work(state);
  if (!work.Ok()) return;
  const std::string& folder = work.Path();
  {
    benchsupport::PictureLoaderScope loader;
    CScreenBuffer screen(benchsupport::ScreenW(), benchsupport::ScreenH(), 0);
    CAllGraphics::FillScreen(0x40, 0x80, 0xC0);
    CEffectManager manager;
    for (int channel : {5, 6, 7}) {
      dwqtool::Picture p{benchsupport::ScreenW(), benchsupport::ScreenH(), {}, {}};
      for (int y = 0; y < benchsupport::ScreenH(); ++y)
        for (int x = 0; x < benchsupport::ScreenW(); ++x) {
          const uint32_t v = static_cast<uint32_t>(x * 0x010203 + y * 0x030201 + channel * 77);
          // Channel 7, the mask, bends smoothly: blue across, green down.
          const uint32_t smooth = static_cast<uint32_t>(x * 255 / benchsupport::ScreenW() + (y * 255 / benchsupport::ScreenH() << 8));
          p.pixels.push_back(channel == 7 ? smooth : v & 0xFFFFFF);
          p.alpha.push_back(static_cast<uint8_t>(x + y == 0 ? 0 : 128 + (x ^ y) % 128));
        }
      std::string error;
      if (!effecttool::LoadPictureThroughFile(manager.GetPicture(channel), p, folder, &error)) {
        state.SkipWithError(error.c_str());
        return;
      }
      manager.SetPicture(channel, channel);
    }
    manager.StartEffect(5, number, static_cast<int>(values.size()), values.data());
    manager.GetChannel(5)->Counter() = counter;
    for (auto _ : state) {
      manager.PrintRange(5, 5, 0, 1);
      benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * benchsupport::ScreenBytes()));
  }
}

// #36 from a half-size rectangle at its start: the two-to-one average.
void StretchAverage36(benchmark::State& state) { Frame(state, 36, {20}, 0); }
ZOR_SCREEN_BENCHMARK(StretchAverage36);

// #36 half way from a 600 x 450 rectangle: nearest neighbour.
void StretchNearest36(benchmark::State& state) { Frame(state, 36, {20, 100, 75, 600, 450}, 10); }
ZOR_SCREEN_BENCHMARK(StretchNearest36);

// #67 half way between two views, every row drawn.
void Pers67(benchmark::State& state) {
  Frame(state, 67, {20, 40, -60, 120, 100, 0, 0, 0, 100, 100}, 10);
}
ZOR_SCREEN_BENCHMARK(Pers67);

// #64 turning 30 degrees at 120 %, 70 % opacity, tinted, in each mode.
void Turn64(benchmark::State& state) {
  Frame(state, 64,
        {20, 30, 30, 0, 0, 120, 120, static_cast<int>(state.range(0)), 70, 70, 0, 0, 0, 0, 0, 0, 1,
         40, -20, 10},
        10);
}
ZOR_SCREEN_BENCHMARK(Turn64)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// #65 at 90 % by 110 %, 70 % opacity, tinted, in each mode.
void StretchBlt65(benchmark::State& state) {
  Frame(state, 65,
        {20, 0, 0, 90, 110, 90, 110, 0, 0, static_cast<int>(state.range(0)), 70, 70, 0, 0, 1, 40,
         -20, 10},
        10);
}
ZOR_SCREEN_BENCHMARK(StretchBlt65)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// #101 half way, the mask bending at full strength.
void MoveMaskWipe101(benchmark::State& state) { Frame(state, 101, {20, 6, 7}, 10); }
ZOR_SCREEN_BENCHMARK(MoveMaskWipe101)->Unit(benchmark::kMillisecond);

// The same with the source picture as the mask: a noise of bends that sends
// neighbouring pixels up to 127 rows apart, so most reads miss the caches.
void MoveMaskWipe101Noise(benchmark::State& state) { Frame(state, 101, {20, 6, 5}, 10); }
ZOR_SCREEN_BENCHMARK(MoveMaskWipe101Noise)->Unit(benchmark::kMillisecond);

}  // namespace
