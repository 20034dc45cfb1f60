// The distortion and shatter wipes drawing one 800 x 600 step beside memcpy
// of one screen (the shatter, which draws the screen twice, beside memcpy
// of two), and a whole frame of the ripple (#69).
//
// Recorded (release build, median of 3, CPU time over memcpy's 127 us of
// one screen): tearing circle 1.19, smear 0.80, raster wave 0.94, mosaic
// 0.36 (64-pixel blocks) and 0.41 (13), page 0.62, blind 1.02; the shatter
// 1.01 of memcpy of two screens (266 us); the ripple 1.88 ms a frame,
// 14.7 x memcpy, 3.8 % of a 50 ms frame.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

#include "bench/support/screen_twins.h"
#include "bench/support/memcpy_reference.h"
#include "effect/allwipe.h"
#include "effect/commoneffect.h"
#include "effect/effectmanager.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "platform/headless/headless.h"

namespace {


BENCHMARK(benchsupport::Memcpy)->Arg(1920000)->Arg(2 * 1920000);
BENCHMARK(benchsupport::ColdMemcpy)->Arg(1920000)->Arg(8294400);

std::unique_ptr<CPicture> Pattern(uint32_t salt) {
  auto p = std::make_unique<CPicture>(benchsupport::ScreenW(), benchsupport::ScreenH(), 0);
  uint32_t* px = p->GetPixelBuffer();
  for (int y = 0; y < benchsupport::ScreenH(); ++y)
    for (int x = 0; x < benchsupport::ScreenW(); ++x)
      px[y * benchsupport::ScreenW() + x] = (static_cast<uint32_t>(x * 0x010203 + y * 0x030201) ^ salt) & 0xFFFFFF;
  return p;
}

// One step of wipe `number` at progress / 10000.
void DistortWipe(benchmark::State& state) {
  const int number = static_cast<int>(state.range(0));
  const int progress = static_cast<int>(state.range(1));
  platform::InstallHeadless().SetBoxEcho(false);
  CScreenBuffer screen(benchsupport::ScreenW(), benchsupport::ScreenH(), 0);
  CAllWipe table;
  auto from = Pattern(0x123456), to = Pattern(0x654321);
  for (auto _ : state) {
    table.Print(number, from.get(), to.get(), progress, 10000, nullptr, nullptr);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * benchsupport::ScreenBytes()));
}
// Tearing circle, smear, raster wave, mosaic (64 and 13 pixel blocks),
// page and blind half way; the shatter early, its fragments creeping over
// the whole screen.
ZOR_SCREEN_BENCHMARK(DistortWipe)
    ->Args({8, 5000})
    ->Args({22, 2500})
    ->Args({26, 2500})
    ->Args({38, 4999})
    ->Args({38, 1000})
    ->Args({41, 5000})
    ->Args({42, 5000})
    ->Args({34, 100});

// One frame of the ripple half way through, channel 4's picture fading
// into channel 0's: two samples per pixel through the displacement map.
void Ripple69(benchmark::State& state) {
  platform::InstallHeadless().SetBoxEcho(false);
  CScreenBuffer screen(benchsupport::ScreenW(), benchsupport::ScreenH(), 0);
  CEffectManager manager;
  for (int c : {0, 4}) {
    CPicture* p = manager.GetPicture(c);
    if (!p->Resize(benchsupport::ScreenW(), benchsupport::ScreenH())) {
      state.SkipWithError("no pictures");
      return;
    }
    auto pattern = Pattern(c * 0x10101);
    std::copy_n(pattern->GetPixelBuffer(), benchsupport::ScreenBytes() / 4, p->GetPixelBuffer());
    manager.SetPicture(c, c);
  }
  const int values[] = {40, 0, 400, 300, 20, 30, 10, 8, 50, 100, 0, 0, 400};
  manager.StartEffect(4, 69, 13, values);
  EffectChannel* record = manager.GetChannel(4);
  record->Counter() = 20;
  CCommonEffect* ripple = manager.GetEffect(69);
  for (auto _ : state) {
    ripple->Print(record, 4);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * benchsupport::ScreenBytes()));
}
ZOR_SCREEN_BENCHMARK(Ripple69)->Unit(benchmark::kMicrosecond);

}  // namespace
