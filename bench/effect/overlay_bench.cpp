// The screen overlays and the small moving things drawing one 800 x 600
// frame, read against the memcpy of one screen that effect_bench.cpp
// registers in the same binary: the iris (#28) with a small circle (nearly
// a whole fill), the closing bars (#103) in their three fill modes and the
// shine (#112) over a screen-sized masked picture within 3x of the memcpy;
// the remembered-scene edges (#26), the lamp (#109), 40 fish (#111), 100
// speed lines (#85) and 20 sparkles (#42) a whole frame under 5 % of the
// 50 ms frame.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bench/support/screen_twins.h"
#include "bench/support/channel_frames.h"
#include "bench/support/game_folder.h"
#include "dwqwriter.h"
#include "effect/commoneffect.h"
#include "effect/effectmanager.h"
#include "effectrunner.h"
#include "graphics/allgraphics.h"
#include "graphics/pictureloader.h"
#include "graphics/screenbuffer.h"
#include "tools/common/hostfile.h"

namespace {


enum class Layer { kNone, kOpaque, kSoft };

// One effect on channel 5, with a screen-sized picture (an opaque mask, or
// with kSoft one half transparent everywhere) or none, at `counter`; each
// iteration is the effect's frame: Tick, Calcu, the draw. "sys\\kirakira"
// lies in the game folder.
void Frame(benchmark::State& state, int number, std::vector<int> values, Layer layer,
           int counter = 0) {
  benchsupport::GameFolder work(state);
  if (!work.Ok()) return;
  const std::string& folder = work.Path();
  std::string error;
  InitPictureLoader(dwq::kDecodeMegabytes);
  dwqtool::Picture glow{64, 64, {}, {}};
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      const int d = (x - 32) * (x - 32) + (y - 32) * (y - 32);
      glow.pixels.push_back(static_cast<uint32_t>(d < 1024 ? 255 - d / 4 : 0) * 0x010101u);
    }
  std::vector<uint8_t> bytes;
  std::filesystem::create_directories(folder + "/dwq/sys");
  if (!dwqtool::MakeDwq(glow, {}, &bytes, &error) ||
      !toolsupport::WriteHostFile(folder + "/dwq/sys/kirakira.dwq", bytes.data(), bytes.size())) {
    state.SkipWithError(error.empty() ? "kirakira not written" : error.c_str());
    return;
  }
  {
    CScreenBuffer screen(benchsupport::ScreenW(), benchsupport::ScreenH(), 0);
    CAllGraphics::FillScreen(0x40, 0x80, 0xC0);
    CEffectManager manager;
    manager.Tick();
    if (layer != Layer::kNone &&
        !benchsupport::LoadScreenPicture(state, manager, 5, benchsupport::ScreenW(), benchsupport::ScreenH(), layer == Layer::kSoft, folder))
      return;
    benchsupport::RunChannelFrames(state, manager, number, values, counter, benchsupport::ScreenBytes());
  }
}

void IrisSmallCircle28(benchmark::State& state) {
  Frame(state, 28, {20, 400, 300, 5, 5, 0, 0, 0}, Layer::kNone);
}
ZOR_SCREEN_BENCHMARK(IrisSmallCircle28);

// Bars 100 pixels thick half way to the middle quarter: solid,
// translucent and additive.
void BarsSolid103(benchmark::State& state) {
  Frame(state, 103, {20, 200, 150, 400, 300, 100, 255, 255, 255, 0}, Layer::kNone, 10);
}
ZOR_SCREEN_BENCHMARK(BarsSolid103);

void BarsTranslucent103(benchmark::State& state) {
  Frame(state, 103, {20, 200, 150, 400, 300, 100, 255, 255, 255, 1}, Layer::kNone, 10);
}
ZOR_SCREEN_BENCHMARK(BarsTranslucent103);

void BarsAdditive103(benchmark::State& state) {
  Frame(state, 103, {20, 200, 150, 400, 300, 100, 255, 255, 255, 2}, Layer::kNone, 10);
}
ZOR_SCREEN_BENCHMARK(BarsAdditive103);

// The shine half way down a screen-sized picture, opaque and soft masks,
// and diagonally.
void ShineOpaque112(benchmark::State& state) {
  Frame(state, 112, {20, 0, 64, 25}, Layer::kOpaque, 10);
}
ZOR_SCREEN_BENCHMARK(ShineOpaque112);

void ShineSoft112(benchmark::State& state) { Frame(state, 112, {20, 0, 64, 25}, Layer::kSoft, 10); }
ZOR_SCREEN_BENCHMARK(ShineSoft112);

void ShineDiagonal112(benchmark::State& state) {
  Frame(state, 112, {20, 2, 64, 25}, Layer::kOpaque, 10);
}
ZOR_SCREEN_BENCHMARK(ShineDiagonal112);

void Remember26(benchmark::State& state) { Frame(state, 26, {}, Layer::kNone); }
ZOR_SCREEN_BENCHMARK(Remember26);

// A steady lamp draws the screen-sized picture.
void LampSteady109(benchmark::State& state) { Frame(state, 109, {0, 1, 1000, 0}, Layer::kOpaque); }
ZOR_SCREEN_BENCHMARK(LampSteady109);

void Fish40(benchmark::State& state) {
  Frame(state, 111, {0, 40, 32, 32, 0, 0, benchsupport::ScreenW(), benchsupport::ScreenH(), 4, 2, 3, 1, 3, 100}, Layer::kOpaque);
}
ZOR_SCREEN_BENCHMARK(Fish40);

void SpeedLines100(benchmark::State& state) {
  Frame(state, 85, {20, 100, 200, 3, 30}, Layer::kNone);
}
ZOR_SCREEN_BENCHMARK(SpeedLines100);

void Sparkles20(benchmark::State& state) { Frame(state, 42, {0, 20}, Layer::kNone); }
ZOR_SCREEN_BENCHMARK(Sparkles20);

}  // namespace
