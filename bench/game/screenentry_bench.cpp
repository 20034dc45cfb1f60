// Entering each screen of the sample game (copied from the build tree's
// demo-game) beside decoding the pictures that entry read. Each iteration
// makes a new game and writes its frame once (not timed), enters the
// screen and runs the mode's step and drawing of the frame that follows, as
// the frame loop does after a change of mode (timed: the benchmark's time),
// then decodes the same picture files again into pictures that hold blocks
// of their size already (timed: "reference_us"), both in CPU time of the
// thread. "ratio" is the median entry over the median decode of the same
// run; "frame_share" is the median entry over the game's frame period (the
// part of one frame the entry takes); "pictures" counts the files the entry
// decoded. With ZOR_BENCH_TRACE set each iteration's times and file names
// go to stderr.
#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "bench/support/game_folder.h"
#include "bench/support/headless_window.h"
#include "game/game.h"
#include "game/modeflowpart.h"
#include "graphics/allgeo.h"
#include "graphics/loadobserver.h"
#include "graphics/picture.h"
#include "modebase/commongeneral.h"
#include "modebase/modenumbers.h"
#include "savedata/systemfile.h"

namespace {

constexpr int kW = 800, kH = 600;

struct Load {
  std::string name, folder;
  bool hasFolder = false;
  int keep256 = 0;
};

void Note(void* data, const char* name, const char* folder, int keep256) {
  auto* loads = static_cast<std::vector<Load>*>(data);
  loads->push_back({name, folder ? folder : "", folder != nullptr, keep256});
}

// CPU seconds of the calling thread: a machine busy with other work slows
// the wall clock of both sides unevenly, not the work they do.
double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double Median(std::vector<double> v) {
  std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
  return v[v.size() / 2];
}

void ScreenEntry(benchmark::State& state) {
  const int mode = static_cast<int>(state.range(0));
  benchsupport::GameFolder folder(state);
  if (!folder.Ok()) return;
  std::error_code error;
  std::filesystem::copy(ZOR_DEMO_GAME, folder.Path(), std::filesystem::copy_options::recursive,
                        error);
  if (error) {
    state.SkipWithError("no sample game (build the target demo)");
    return;
  }
  platform::Window* window = benchsupport::HeadlessWindow(kW, kH);
  std::vector<double> entries, decodes;
  size_t pictures = 0;
  double framePeriod = 0;
  for (auto _ : state) {
    CCommonSystemFile systemFile;
    auto game = std::make_unique<CGame>(window, &systemFile, kW, kH, 32);
    game->Init();
    game->CreateModes();
    framePeriod = game->GetFrameTime() * 1e-3;
    // The three heroines the sample's story puts on the circle before it
    // opens it (variables 125 to 127).
    for (int v = 125; v <= 127; ++v) game->SetVar(v, 1);
    // In the game the frame has been drawn many times before a screen is
    // entered (the logos come first); a new game's frame is fresh memory.
    // Writing it once here, untimed and with the zeros it holds, keeps the
    // first touch of its pages out of the entry's time.
    CAllGeo::BoxFill(0, 0, kW, kH, 0, 0, 0);
    CCommonGeneral* screen = game->Modes().GetMode(mode);
    if (!screen) {
      state.SkipWithError("the sample has no such screen");
      return;
    }
    std::vector<Load> loads;
    SetPictureLoadObserver(Note, &loads);
    const double a = ThreadSeconds();
    game->Modes().SetNextMode(mode);
    game->Modes().ChangeMode();
    // The next frame, as the frame loop runs it: the mode's step, then its
    // drawing (during an enter fade, the fade's first blend).
    screen->GeneralCalcu();
    screen->GeneralPrint();
    benchmark::ClobberMemory();
    const double b = ThreadSeconds();
    SetPictureLoadObserver(nullptr, nullptr);
    // The decode alone: each file read again into a picture that already
    // holds a block of its size (read once before, not timed).
    std::vector<std::unique_ptr<CPicture>> decoded;
    auto decodeAll = [&] {
      for (size_t i = 0; i < loads.size(); ++i) {
        const Load& l = loads[i];
        decoded[i]->ClearName();
        decoded[i]->LoadDWQ(l.name.c_str(), l.keep256, l.hasFolder ? l.folder.c_str() : nullptr);
      }
      benchmark::ClobberMemory();
    };
    for (size_t i = 0; i < loads.size(); ++i) decoded.push_back(std::make_unique<CPicture>());
    decodeAll();
    const double b2 = ThreadSeconds();
    decodeAll();
    const double c = ThreadSeconds();
    entries.push_back(b - a);
    decodes.push_back(c - b2);
    state.SetIterationTime(entries.back());
    pictures = loads.size();
    if (std::getenv("ZOR_BENCH_TRACE")) {
      std::fprintf(stderr, "mode %d entry %.2f ms decode %.2f ms:", mode, entries.back() * 1e3,
                   decodes.back() * 1e3);
      for (const Load& l : loads) std::fprintf(stderr, " %s", l.name.c_str());
      std::fprintf(stderr, "\n");
    }
    game.reset();
  }
  if (entries.empty()) return;
  const double entry = Median(entries), decode = Median(decodes);
  state.counters["reference_us"] = decode * 1e6;
  state.counters["ratio"] = decode > 0 ? entry / decode : 0;
  state.counters["frame_share"] = framePeriod > 0 ? entry / framePeriod : 0;
  state.counters["pictures"] = static_cast<double>(pictures);
}
BENCHMARK(ScreenEntry)
    ->ArgName("mode")
    ->Arg(modenumber::kTitle)
    ->Arg(modenumber::kSelectHeroin)
    ->Arg(modenumber::kSelectChart)
    ->Arg(modenumber::kSelectCG)
    ->Arg(modenumber::kSave)
    ->Arg(modenumber::kLoad)
    ->Arg(modenumber::kConfig)
    ->UseManualTime()
    ->Iterations(15);

}  // namespace
