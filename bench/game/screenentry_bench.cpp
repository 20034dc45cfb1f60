// Entering each screen of the sample game (copied from the build tree's
// demo-game) beside decoding the pictures that entry read. Each iteration
// makes a new game and writes its frame once (not timed), enters the
// screen and runs the mode's step and drawing of the frame that follows, as
// the frame loop does after a change of mode (timed: the benchmark's time),
// then decodes each picture file the entry read once more, every file
// counted once, into pictures that hold blocks of their size already
// (timed: "reference_us"), both in CPU time of the thread. "ratio" is the
// median entry over the median decode of the same run; "frame_share" is the
// median entry over the game's frame period (the part of one frame the
// entry takes); "pictures" counts the files the entry decoded and
// "decodes" the decodes it made (more when a file is decoded twice).
//
// The first entry into a screen in a run costs what no repeat does (fresh
// memory, files never read): kFreshRuns new processes of this binary each
// enter the screen once, and "first_ratio" is their median entry over the
// median of the warm entries here (every iteration but the first),
// "first_frame_share" their median entry over the frame period;
// "first_faults" and "faults" count the page faults the first and the warm
// entries took (medians). With
// ZOR_BENCH_TRACE set each iteration's times and file names go to stderr.
#include <benchmark/benchmark.h>

#include <stdio.h>
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <system_error>
#include <tuple>
#include <utility>
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

// Page faults of the process so far (first touches of new memory).
double Faults() {
  rusage use{};
  getrusage(RUSAGE_SELF, &use);
  return static_cast<double>(use.ru_minflt + use.ru_majflt);
}

double Median(std::vector<double> v) {
  std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
  return v[v.size() / 2];
}

// What one entry into a screen took and read.
struct Entry {
  double seconds = 0, decodeSeconds = 0, framePeriod = 0, faults = 0;
  size_t pictures = 0, decodes = 0;
  bool ok = false;
};

// Makes a new game, enters the screen once and, with decode set, times
// decoding each picture file the entry read once more.
Entry EnterOnce(platform::Window* window, int mode, bool decode) {
  Entry out;
  CCommonSystemFile systemFile;
  auto game = std::make_unique<CGame>(window, &systemFile, kW, kH, 32);
  game->Init();
  game->CreateModes();
  out.framePeriod = game->GetFrameTime() * 1e-3;
  // The three heroines the sample's story puts on the circle before it
  // opens it (variables 125 to 127).
  for (int v = 125; v <= 127; ++v) game->SetVar(v, 1);
  // In the game the frame has been drawn many times before a screen is
  // entered (the logos come first); a new game's frame is fresh memory.
  // Writing it once here, untimed and with the zeros it holds, keeps the
  // first touch of its pages out of the entry's time.
  CAllGeo::BoxFill(0, 0, kW, kH, 0, 0, 0);
  CCommonGeneral* screen = game->Modes().GetMode(mode);
  if (!screen) return out;
  std::vector<Load> loads;
  SetPictureLoadObserver(Note, &loads);
  const double faults = Faults();
  const double a = ThreadSeconds();
  game->Modes().SetNextMode(mode);
  game->Modes().ChangeMode();
  // The next frame, as the frame loop runs it: the mode's step, then its
  // drawing (during an enter fade, the fade's first blend).
  screen->GeneralCalcu();
  screen->GeneralPrint();
  benchmark::ClobberMemory();
  const double b = ThreadSeconds();
  out.faults = Faults() - faults;
  SetPictureLoadObserver(nullptr, nullptr);
  out.seconds = b - a;
  out.decodes = loads.size();
  // Each file once, in the order the entry first read it.
  std::vector<Load> files;
  std::set<std::tuple<std::string, std::string, bool, int>> seen;
  for (const Load& l : loads)
    if (seen.insert({l.name, l.folder, l.hasFolder, l.keep256}).second) files.push_back(l);
  out.pictures = files.size();
  if (decode) {
    // The decode alone: each file read again into a picture that already
    // holds a block of its size (read once before, not timed).
    std::vector<std::unique_ptr<CPicture>> decoded;
    auto decodeAll = [&] {
      for (size_t i = 0; i < files.size(); ++i) {
        const Load& l = files[i];
        decoded[i]->ClearName();
        decoded[i]->LoadDWQ(l.name.c_str(), l.keep256, l.hasFolder ? l.folder.c_str() : nullptr);
      }
      benchmark::ClobberMemory();
    };
    for (size_t i = 0; i < files.size(); ++i) decoded.push_back(std::make_unique<CPicture>());
    decodeAll();
    const double c = ThreadSeconds();
    decodeAll();
    out.decodeSeconds = ThreadSeconds() - c;
  }
  if (std::getenv("ZOR_BENCH_TRACE")) {
    std::fprintf(stderr, "mode %d entry %.2f ms decode %.2f ms:", mode, out.seconds * 1e3,
                 out.decodeSeconds * 1e3);
    for (const Load& l : loads) std::fprintf(stderr, " %s", l.name.c_str());
    std::fprintf(stderr, "\n");
  }
  game.reset();
  out.ok = true;
  return out;
}

// Set in a process this benchmark started to time one first entry.
constexpr const char* kFreshEnv = "ZOR_SCREEN_ENTRY_FRESH";
constexpr int kFreshRuns = 5;
constexpr const char* kFreshTag = "fresh_entry_seconds ";

// The first entry into the screen in kFreshRuns new processes of this
// binary: its seconds and page faults; empty when they cannot be run.
std::vector<std::pair<double, double>> FreshEntries(int mode) {
  std::vector<std::pair<double, double>> out;
  std::error_code error;
  // The path of this binary (in the shell popen starts, /proc/self/exe
  // names the shell).
  const std::string self = std::filesystem::read_symlink("/proc/self/exe", error).string();
  if (error) return {};
  for (int run = 0; run < kFreshRuns; ++run) {
    const std::string command = std::string(kFreshEnv) + "=" + std::to_string(mode) +
                                " '" + self + "' --benchmark_filter='^ScreenEntry/mode:" +
                                std::to_string(mode) + "/' 2>/dev/null";
    FILE* child = ::popen(command.c_str(), "r");
    if (!child) return {};
    char line[256];
    double seconds = -1, faults = 0;
    while (std::fgets(line, sizeof line, child))
      if (std::strncmp(line, kFreshTag, std::strlen(kFreshTag)) == 0 &&
          std::sscanf(line + std::strlen(kFreshTag), "%lf %lf", &seconds, &faults) != 2)
        seconds = -1;
    if (::pclose(child) != 0 || seconds < 0) return {};
    out.push_back({seconds, faults});
  }
  return out;
}

void ScreenEntry(benchmark::State& state) {
  const int mode = static_cast<int>(state.range(0));
  const char* fresh = std::getenv(kFreshEnv);
  {
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
    if (fresh) {
      // A process started by FreshEntries: one entry, its time on stdout.
      const Entry e = EnterOnce(window, mode, false);
      if (e.ok) std::printf("%s%.9f %.0f\n", kFreshTag, e.seconds, e.faults);
      std::fflush(stdout);
    } else {
      std::vector<double> entries, decodes, faults;
      Entry last;
      for (auto _ : state) {
        last = EnterOnce(window, mode, true);
        if (!last.ok) {
          state.SkipWithError("the sample has no such screen");
          return;
        }
        entries.push_back(last.seconds);
        decodes.push_back(last.decodeSeconds);
        faults.push_back(last.faults);
        state.SetIterationTime(last.seconds);
      }
      if (entries.empty()) return;
      const double entry = Median(entries), decode = Median(decodes);
      const double warm =
          entries.size() > 1 ? Median({entries.begin() + 1, entries.end()}) : entry;
      state.counters["reference_us"] = decode * 1e6;
      state.counters["ratio"] = decode > 0 ? entry / decode : 0;
      state.counters["frame_share"] = last.framePeriod > 0 ? entry / last.framePeriod : 0;
      state.counters["pictures"] = static_cast<double>(last.pictures);
      state.counters["decodes"] = static_cast<double>(last.decodes);
      const std::vector<std::pair<double, double>> fresh = FreshEntries(mode);
      std::vector<double> first, firstFaults;
      for (const auto& [seconds, count] : fresh) {
        first.push_back(seconds);
        firstFaults.push_back(count);
      }
      if (first.empty()) {
        state.SkipWithError("the first entries in new processes could not be run");
        return;
      }
      state.counters["first_us"] = Median(first) * 1e6;
      state.counters["faults"] =
          faults.size() > 1 ? Median({faults.begin() + 1, faults.end()}) : faults.front();
      state.counters["first_faults"] = Median(firstFaults);
      state.counters["first_ratio"] = warm > 0 ? Median(first) / warm : 0;
      state.counters["first_frame_share"] =
          last.framePeriod > 0 ? Median(first) / last.framePeriod : 0;
    }
  }
  // The process started for one first entry ends here, its folder removed.
  if (fresh) std::_Exit(0);
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
    ->Arg(modenumber::kSelectPlace)
    ->UseManualTime()
    ->Iterations(15);

}  // namespace
