// The animation, swarm, rain and plane effects drawing one 800 x 600 frame
// (their step, then their drawing), read against the memcpy of one screen
// that effect_bench.cpp registers in the same binary: #95, #82, #91 and #83
// compute every pixel of the screen or band; #79 reads one frame file (kept
// in the system's cache after the first read); #56 with four layers, #102,
// #19, #63, #98 and sixteen flies (#108) draw small pictures, read against
// the 50 ms frame.
//
// The binary prints each ratio to the memcpy after the runs.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/support/screen_twins.h"
#include "bench/support/game_folder.h"
#include "dwqwriter.h"
#include "effect/animeeffects.h"
#include "effect/effectmanager.h"
#include "effectrunner.h"
#include "graphics/allgraphics.h"
#include "graphics/pictureloader.h"
#include "graphics/screenbuffer.h"
#include "platform/files.h"

namespace {


dwqtool::Picture Pattern(int w, int h, bool alpha) {
  dwqtool::Picture p{w, h, {}, {}};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      p.pixels.push_back(static_cast<uint32_t>(x * 0x010203 + y * 0x030201) & 0xFFFFFF);
      if (alpha) p.alpha.push_back(static_cast<uint8_t>((x * 7 + y * 3) % 5 == 0 ? 0 : 96 + (x ^ y) % 160));
    }
  return p;
}

// A w x h picture on channel 5 (none when w is 0), the effect started there;
// each iteration runs its step and draws channel 5.
void Frame(benchmark::State& state, int number, std::vector<int> values, int w, int h,
           bool alpha = true) {
  benchsupport::GameFolder work(state);
  if (!work.Ok()) return;
  // Masked pictures decode through the picture loader.
  InitPictureLoader(dwq::kDecodeMegabytes);
  {
    CScreenBuffer screen(benchsupport::ScreenW(), benchsupport::ScreenH(), 0);
    CAllGraphics::FillScreen(0x40, 0x80, 0xC0);
    CEffectManager manager;
    if (number == 79) {
      // One frame of animation 1, drawn again each time.
      std::vector<uint8_t> bytes;
      std::string error;
      dwqtool::Picture frame{benchsupport::ScreenW(), benchsupport::ScreenH(), {}, {}};
      for (int i = 0; i < benchsupport::ScreenW() * benchsupport::ScreenH(); ++i) frame.pixels.push_back(static_cast<uint32_t>(i % 200) * 0x010101);
      platform::CreateDirectory("dwq");
      platform::CreateDirectory("dwq/an");
      if (!dwqtool::MakeAnimeFrame(frame, &bytes, &error) ||
          !platform::WriteWholeFile(AnimeFramePath(1, 0), bytes.data(), bytes.size())) {
        state.SkipWithError("cannot write the frame file");
        ReleasePictureLoader();
        return;
      }
    }
    if (w > 0) {
      std::string error;
      if (!effecttool::LoadPictureThroughFile(manager.GetPicture(5), Pattern(w, h, alpha),
                                              work.Path(), &error)) {
        state.SkipWithError(error.c_str());
        ReleasePictureLoader();
        return;
      }
      manager.SetPicture(5, 5);
    }
    manager.StartEffect(5, number, static_cast<int>(values.size()), values.data());
    EffectChannel* record = manager.GetChannel(5);
    CCommonEffect* effect = manager.GetEffect(number);
    for (auto _ : state) {
      effect->Calcu(record, 5);
      if (record->Counter() < record->Duration() - 1) ++record->Counter();
      manager.PrintRange(5, 5, 0, 1);
      benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * benchsupport::ScreenBytes()));
  }
  ReleasePictureLoader();
}

void WaterDrop95(benchmark::State& state) { Frame(state, 95, {0x20, 0x40, 0x60}, 0, 0); }
ZOR_SCREEN_BENCHMARK(WaterDrop95);

// The whole screen as sky: plain, with the horizon tint, through the mask
// with the tint.
void Cloud82(benchmark::State& state) {
  Frame(state, 82,
        {9999, benchsupport::ScreenH(), 30, 50, 200, 100, 500, 100, static_cast<int>(state.range(0)),
         static_cast<int>(state.range(1)), 40, -20, 10},
        256, 256);
}
ZOR_SCREEN_BENCHMARK(Cloud82)->Args({0, 0})->Args({0, 1})->Args({1, 1});

// A screen-wide strip of the screen's height.
void WaterFall91(benchmark::State& state) { Frame(state, 91, {2000, 0, 0, benchsupport::ScreenH(), -1, 100, 20, 2}, benchsupport::ScreenW(), 256); }
ZOR_SCREEN_BENCHMARK(WaterFall91);

void Beach83(benchmark::State& state) { Frame(state, 83, {}, 0, 0); }
ZOR_SCREEN_BENCHMARK(Beach83);

void FullAnime79(benchmark::State& state) { Frame(state, 79, {20, 1, 1000}, 0, 0); }
ZOR_SCREEN_BENCHMARK(FullAnime79)->Unit(benchmark::kMicrosecond);

void Rain56(benchmark::State& state) { Frame(state, 56, {20, 5, 30, 4, 3, 3, 70}, 64, 64); }
ZOR_SCREEN_BENCHMARK(Rain56)->Unit(benchmark::kMicrosecond);

void Rain102(benchmark::State& state) { Frame(state, 102, {}, 64, 64); }
ZOR_SCREEN_BENCHMARK(Rain102)->Unit(benchmark::kMicrosecond);

// Channel 5 shows its own picture translucently (the first channel 5).
void Anime19(benchmark::State& state) { Frame(state, 19, {20, 1, 1, 0, 5, 0, 60}, 256, 256); }
ZOR_SCREEN_BENCHMARK(Anime19)->Unit(benchmark::kMicrosecond);

void KomaAnime63(benchmark::State& state) {
  Frame(state, 63, {20, 64, 64, 1, 600, 400, 0, 0, 2, 8, 100, 30}, 256, 128);
}
ZOR_SCREEN_BENCHMARK(KomaAnime63)->Unit(benchmark::kMicrosecond);

// Blinking all the time: a wait of one count, then the cells.
void MePachi98(benchmark::State& state) { Frame(state, 98, {0, 64, 64, 4, -1, 1, 2, 1, 1, 0}, 256, 64); }
ZOR_SCREEN_BENCHMARK(MePachi98)->Unit(benchmark::kMicrosecond);

void Hae108(benchmark::State& state) { Frame(state, 108, {0, 32, 32, 16, 0, 4, 2, 3, 1000, 0, 3}, 128, 64); }
ZOR_SCREEN_BENCHMARK(Hae108)->Unit(benchmark::kMicrosecond);

}  // namespace
