// One frame of the game object at 800 x 600, as the main loop runs it: the
// frame's own work without a mode (nothing changed, nothing uploaded), and
// a frame that presents the whole screen buffer headless. "frame_percent"
// is the share of a 50 ms frame it takes; memcpy of one screen is the
// reference beside it.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "bench/support/game_folder.h"
#include "bench/support/memcpy_reference.h"
#include "game/game.h"
#include "graphics/screenbuffer.h"
#include "platform/system.h"

namespace {

constexpr int kWidth = 800, kHeight = 600;

BENCHMARK(benchsupport::Memcpy)->Arg(kWidth * kHeight * 4);

void GameFrame(benchmark::State& state) {
  const bool whole = state.range(0) != 0;
  benchsupport::GameFolder folder(state);
  if (!folder.Ok()) return;
  // Only what changed is presented (the default presents every frame whole).
  std::filesystem::create_directories(folder.Path() + "/init");
  std::ofstream(folder.Path() + "/init/game.xtx") << "vistaCheck,0\r\n";
  platform::WindowDesc desc;
  desc.clientWidth = kWidth;
  desc.clientHeight = kHeight;
  platform::Window* window = platform::CreateWindow(desc);
  CGame game(window, nullptr, kWidth, kHeight, 32);
  game.Init();
  game.CreateModes();
  game.Frame(50);  // the start message goes
  for (auto _ : state) {
    if (whole) CScreenBuffer::SetFullRedraw(0);
    game.Frame(50);
    benchmark::ClobberMemory();
  }
  // Seconds per frame * 2000 is the share of a 50 ms frame in percent (an
  // inverted rate, so the benchmark library prints it with an "s").
  state.counters["frame_percent"] = benchmark::Counter(
      static_cast<double>(state.iterations()) / 2000.0,
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  if (whole) state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kWidth * kHeight * 4);
}
BENCHMARK(GameFrame)->ArgName("whole")->Arg(0)->Arg(1);

}  // namespace
