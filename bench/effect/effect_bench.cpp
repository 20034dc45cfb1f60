// Effects drawing one 800 x 600 frame, each beside a memcpy of the screen's
// bytes, whose ratio the binary prints after the runs. The whirl's (#105)
// per-pixel reference (four library calls a pixel) is measured beside it.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench/support/screen_twins.h"
#include "bench/support/game_folder.h"
#include "bench/support/memcpy_reference.h"
#include "bench/support/picture_loader.h"
#include "effect/effectmanager.h"
#include "effect/effectmoviewarp.h"
#include "effectrunner.h"
#include "graphics/allgraphics.h"
#include "graphics/screenbuffer.h"

namespace {


BENCHMARK(benchsupport::Memcpy)->Arg(1920000);
BENCHMARK(benchsupport::ColdMemcpy)->Arg(1920000)->Arg(8294400);

// A screen, a manager and one effect started on channel 5; `draw` is one
// frame's work.
template <typename Draw>
void WithEffect(benchmark::State& state, int number, std::vector<int> values, Draw draw,
                bool picture = false) {
  benchsupport::GameFolder work(state);
  if (!work.Ok()) return;
  const std::string& folder = work.Path();
  {
    benchsupport::PictureLoaderScope loader;
    CScreenBuffer screen(benchsupport::ScreenW(), benchsupport::ScreenH(), 0);
    CAllGraphics::FillScreen(0x40, 0x80, 0xC0);
    CEffectManager manager;
    if (picture) {
      std::string error;
      dwqtool::Picture p{benchsupport::ScreenW(), benchsupport::ScreenH(), {}, {}};
      for (int y = 0; y < benchsupport::ScreenH(); ++y)
        for (int x = 0; x < benchsupport::ScreenW(); ++x) {
          p.pixels.push_back(static_cast<uint32_t>(x * 0x010203 + y * 0x030201) & 0xFFFFFF);
          p.alpha.push_back(static_cast<uint8_t>(x + y == 0 ? 0 : 128 + (x ^ y) % 128));
        }
      if (!effecttool::LoadPictureThroughFile(manager.GetPicture(5), p, folder, &error)) {
        state.SkipWithError(error.c_str());
        return;
      }
      manager.SetPicture(5, 5);
    }
    manager.StartEffect(5, number, static_cast<int>(values.size()), values.data());
    manager.AddFrame(1);
    for (auto _ : state) {
      draw(manager);
      benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * benchsupport::ScreenBytes()));
  }
}

void PastePut2(benchmark::State& state) {
  WithEffect(state, 2, {20}, [](CEffectManager& m) { m.PrintRange(5, 5, 0, 1); });
}
ZOR_SCREEN_BENCHMARK(PastePut2);

void CaptureGet73(benchmark::State& state) {
  WithEffect(state, 73, {20}, [](CEffectManager& m) { m.PrintRange(5, 5, 0, 1); });
}
ZOR_SCREEN_BENCHMARK(CaptureGet73);

void FloodLupin113(benchmark::State& state) {
  WithEffect(state, 113, {20, 0, 0, 255}, [](CEffectManager& m) { m.PrintRange(5, 5, 0, 1); });
}
ZOR_SCREEN_BENCHMARK(FloodLupin113);

// Mid-way through a 20-frame unwinding twist at 70 % opacity and a zoom
// from 50 to 150 %.
void WhirlMovieWarp105(benchmark::State& state) {
  WithEffect(
      state, 105, {20, 400, 300, 360, 0, 0, 0, 70, 100, 0, 0, 150, 50},
      [](CEffectManager& m) {
        m.GetChannel(5)->Counter() = 10;
        m.PrintRange(5, 5, 0, 1);
      },
      true);
}
ZOR_SCREEN_BENCHMARK(WhirlMovieWarp105)->Unit(benchmark::kMillisecond);

// The same frame computing distance and direction per pixel.
void WhirlMovieWarp105Plain(benchmark::State& state) {
  WithEffect(
      state, 105, {20, 400, 300, 360, 0, 0, 0, 70, 100, 0, 0, 150, 50},
      [](CEffectManager& m) {
        m.GetChannel(5)->Counter() = 10;
        static_cast<CEffectMovieWarp*>(m.GetEffect(105))->PrintPlain(m.GetChannel(5), 5);
      },
      true);
  state.SetLabel("reference");
}
BENCHMARK(WhirlMovieWarp105Plain)->Unit(benchmark::kMillisecond);

// --- Fades, fills, whole-screen treatments, layer moves, geometric fills ---

// Mid-way through a 20-frame fade to black.
void Fadeout11(benchmark::State& state) {
  WithEffect(state, 11, {20, 0, 0, 0}, [](CEffectManager& m) {
    m.GetChannel(5)->Counter() = 10;
    m.PrintRange(5, 5, 0, 1);
  });
}
ZOR_SCREEN_BENCHMARK(Fadeout11);

void Fill54(benchmark::State& state) {
  WithEffect(state, 54, {20, 0, 0, 255}, [](CEffectManager& m) { m.PrintRange(5, 5, 0, 1); });
}
ZOR_SCREEN_BENCHMARK(Fill54);

void GeoPolygon88(benchmark::State& state) {
  WithEffect(state, 88, {0, 0, 255}, [](CEffectManager& m) { m.PrintRange(5, 5, 0, 1); });
}
ZOR_SCREEN_BENCHMARK(GeoPolygon88);

// Half-way: rows 300 to 599 repeat row 299.
void MeltDown32(benchmark::State& state) {
  WithEffect(state, 32, {20}, [](CEffectManager& m) {
    m.GetChannel(5)->Counter() = 10;
    m.PrintRange(5, 5, 0, 1);
  });
}
ZOR_SCREEN_BENCHMARK(MeltDown32);

// 16 x 16 blocks over the whole screen.
void Mozaic43(benchmark::State& state) {
  WithEffect(state, 43, {10000, 16, 16}, [](CEffectManager& m) { m.PrintRange(5, 5, 0, 1); });
}
ZOR_SCREEN_BENCHMARK(Mozaic43);

// A screen-sized picture at 80 % opacity, zoomed from 80 to 120 % with a
// colour shift: the cost of the stretch blit with colour add.
void SpecialMove61ZoomColour(benchmark::State& state) {
  WithEffect(
      state, 61,
      {20, 0, 1, 1, 20, 0, 0, 0, 0, 0, 0, 80, 80, 1, 20, 0, 0, 0, 0,
       1, 20, 0, 0, 120, 120, 80, 80, 1, 20, 0, 0, 40, -20, 10},
      [](CEffectManager& m) {
        m.GetChannel(5)->Counter() = 10;
        m.PrintRange(5, 5, 0, 1);
      },
      true);
}
ZOR_SCREEN_BENCHMARK(SpecialMove61ZoomColour)->Unit(benchmark::kMillisecond);

// Ten scratches drawn every frame, the most the effect keeps.
void OldFilm55(benchmark::State& state) {
  WithEffect(state, 55, {0, 0, 0, 800, 600, 10, 4, 128, 128, 128, 200, 80, 100},
             [](CEffectManager& m) { m.PrintRange(5, 5, 0, 1); });
}
ZOR_SCREEN_BENCHMARK(OldFilm55)->Unit(benchmark::kMicrosecond);

// The default grey disc of radius 100.
void GeoCircle87(benchmark::State& state) {
  WithEffect(state, 87, {}, [](CEffectManager& m) { m.PrintRange(5, 5, 0, 1); });
}
ZOR_SCREEN_BENCHMARK(GeoCircle87)->Unit(benchmark::kMicrosecond);

// The filters and scene effects mid-way through 20 frames. Within 3x of
// memcpy: light, raster, noise, negative, relief, gradation, streak, sepia,
// grey, shake and the sway's screen mode; within 6x: the zoom blend; the
// beams and the flare against the 50 ms frame. Measured (medians, one run,
// memcpy 127 us): light 0.37, raster 0.33, noise 2.4, negative 1.1, relief
// 2.1, gradation 0.45, zoom blend 5.7, streak 1.4 vertical and 3.0
// horizontal, sepia 4.2 and grey 3.2 (the graphics layer's plain loops),
// shake 0.3 and 0.4, sway 0.4; beams 0.06 ms and flare 0.06 ms.
void MidWay(benchmark::State& state, int number, std::vector<int> values, bool picture = false) {
  WithEffect(
      state, number, std::move(values),
      [](CEffectManager& m) {
        m.GetChannel(5)->Counter() = 10;
        m.PrintRange(5, 5, 0, 1);
      },
      picture);
}
ZOR_SCREEN_BENCHMARK_CAPTURE(MidWay, Light20, 20, {20, 64, -32, 100});
ZOR_SCREEN_BENCHMARK_CAPTURE(MidWay, Raster23, 23, {20, 0, 64});
ZOR_SCREEN_BENCHMARK_CAPTURE(MidWay, NoiseSuna29, 29, {20, 1, 100, 0});
ZOR_SCREEN_BENCHMARK_CAPTURE(MidWay, Nega31, 31, {20, 0, 0, 100, 0});
ZOR_SCREEN_BENCHMARK_CAPTURE(MidWay, Releaf33, 33, {20, 0, 100, 0});
ZOR_SCREEN_BENCHMARK_CAPTURE(MidWay, Gradation50, 50, {20});
ZOR_SCREEN_BENCHMARK_CAPTURE(MidWay, ZoomBura74, 74, {20, 400, 300, 150, 100, 50});
ZOR_SCREEN_BENCHMARK_CAPTURE(MidWay, StreakSlashVertical76, 76, {20, 0}, true);
ZOR_SCREEN_BENCHMARK_CAPTURE(MidWay, StreakSlashHorizontal76, 76, {20, 2}, true);
ZOR_SCREEN_BENCHMARK_CAPTURE(MidWay, LayerSepia128, 128, {20});
ZOR_SCREEN_BENCHMARK_CAPTURE(MidWay, LayerGrey129, 129, {20});
ZOR_SCREEN_BENCHMARK_CAPTURE(MidWay, Shake18, 18, {20});
ZOR_SCREEN_BENCHMARK_CAPTURE(MidWay, Shake18UpDown, 18, {20, 1});
ZOR_SCREEN_BENCHMARK_CAPTURE(MidWay, SwayScreenHaikeiYure100, 100, {20, 20, 8, 25, 25, 1, 0});
ZOR_SCREEN_BENCHMARK_CAPTURE(MidWay, BeamsSan15, 15, {20})->Unit(benchmark::kMillisecond);
ZOR_SCREEN_BENCHMARK_CAPTURE(MidWay, FlareTaiyo51, 51, {20, 20})->Unit(benchmark::kMillisecond);

}  // namespace
