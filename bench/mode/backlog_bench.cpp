// The back log's drawing step: the colour background, the title, 15 rows of
// 30 full-width characters with a voice mark on every other row and both
// arrows, the lines already in the rendered-line cache; beside it memcpy of
// the 800 x 600 screen. The log redraws the whole screen every frame; a
// frame lasts 50 ms and the aim is under 5 % of it.
//
// Measured (Release, the 8-core build machine, median of 3, CPU time):
// memcpy of the screen 0.128 ms; the back log's frame 0.142 ms (1.1 x
// memcpy, 0.28 % of a 50 ms frame).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/support/game_folder.h"
#include "bench/support/headless_window.h"
#include "bench/support/memcpy_reference.h"
#include "game/game.h"
#include "game/messagewindowpart.h"
#include "game/modeflowpart.h"
#include "graphics/screenbuffer.h"
#include "mode/backlog.h"
#include "platform/codec.h"

namespace {

constexpr int kW = 800, kH = 600;
constexpr size_t kBytes = size_t{kW} * kH * 4;

BENCHMARK(benchsupport::Memcpy)->Arg(static_cast<int64_t>(kBytes));

// 30 full-width characters, a colour code first on every third line.
std::string Line(int i) {
  const std::string base = platform::Utf8ToCp932(
      "吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。何でも薄暗いじめじめした所"
      "でニャーニャー泣いていた事だけは記憶している。");
  const size_t start = static_cast<size_t>(i % 20) * 2;
  return (i % 3 == 0 ? platform::Utf8ToCp932("#赤") : std::string()) + base.substr(start, 60);
}

void BackLogFrame(benchmark::State& state) {
  benchsupport::GameFolder folder(state);
  if (!folder.Ok()) return;
  std::filesystem::create_directories(folder.Path() + "/init");
  std::ofstream(folder.Path() + "/init/game.xtx") << "vistaCheck,0\r\n";
  std::ofstream(folder.Path() + "/init/BackLog.xtx") << "backColorR,16\r\nbackColorB,48\r\n";
  platform::Window* window = benchsupport::HeadlessWindow(kW, kH);
  CGame game(window, nullptr, kW, kH, 32);
  game.Init();
  game.CreateModes();
  CCommonBackLog* log = static_cast<CCommonBackLog*>(game.Modes().GetBackLog());
  if (!log) {
    state.SkipWithError("no back log");
    return;
  }
  for (int i = 0; i < 60; ++i) {
    if (i % 2 == 0) log->SetVoice(("ka" + std::to_string(i)).c_str());
    game.MessageWindow().AddBackLog(Line(i).c_str(), 255, 255 - i, 200);
  }
  log->Init();
  log->GoOlder(8);  // both arrows
  log->Print();     // the lines go into the cache
  // Without the game's renderer nothing but the background would be drawn.
  const uint32_t* screen = CScreenBuffer::GetBuffer();
  const uint32_t background = 16u << 16 | 48u;
  size_t inked = 0;
  for (size_t i = 0; i < size_t{kW} * kH; ++i) inked += screen[i] != background ? 1 : 0;
  if (inked < 10000) {
    state.SkipWithError("the rows were not drawn");
    return;
  }
  for (auto _ : state) {
    CScreenBuffer::ClearDirtyRects();
    log->Print();
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
  state.counters["frame_percent"] = benchmark::Counter(
      static_cast<double>(state.iterations()) / 2000.0,
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BackLogFrame);

}  // namespace
