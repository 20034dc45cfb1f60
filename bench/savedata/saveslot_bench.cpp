// The save thumbnail from an 800 x 600 screen on its three paths, and a
// whole save of a plain slot, beside a memcpy of the screen.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "bench/support/game_folder.h"
#include "bench/support/headless_window.h"
#include "bench/support/memcpy_reference.h"
#include "modebase/commongeneral.h"
#include "game/game.h"
#include "game/savepart.h"
#include "savedata/minicgmaker.h"
#include "savedata/savedatafile.h"
#include "savedata/savefolder.h"
#include "savedata/systemfile.h"

namespace {

constexpr int kW = 800;
constexpr int kH = 600;
constexpr size_t kScreenBytes = size_t{kW} * kH * 4;

BENCHMARK(benchsupport::Memcpy)->Arg(kScreenBytes);

std::vector<uint32_t> Screen() {
  std::vector<uint32_t> screen(size_t{kW} * kH);
  uint32_t seed = 1;
  for (uint32_t& p : screen) p = (seed = seed * 1103515245u + 12345u) & 0x00FFFFFF;
  return screen;
}

template <typename Make>
void Thumbnail(benchmark::State& state, Make make) {
  const std::vector<uint32_t> screen = Screen();
  std::vector<uint32_t> out(132 * 100);
  CMiniCGMaker maker;  // 800 x 600 -> 132 x 100, blocks of 6
  for (auto _ : state) {
    make(maker, screen.data(), out.data());
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kScreenBytes));
}

void MiniCGFast(benchmark::State& state) {
  Thumbnail(state, [](const CMiniCGMaker& m, const uint32_t* s, uint32_t* o) { m.MakeFast(s, o); });
}
BENCHMARK(MiniCGFast);

void MiniCGFastPlain(benchmark::State& state) {
  Thumbnail(state,
            [](const CMiniCGMaker& m, const uint32_t* s, uint32_t* o) { m.MakeFastPlain(s, o); });
}
BENCHMARK(MiniCGFastPlain);

void MiniCGGeneral(benchmark::State& state) {
  Thumbnail(state,
            [](const CMiniCGMaker& m, const uint32_t* s, uint32_t* o) { m.MakeGeneral(s, o); });
}
BENCHMARK(MiniCGGeneral);

class PlainGame : public CGame {
 public:
  PlainGame(platform::Window* window, CCommonSystemFile* systemFile)
      : CGame(window, systemFile, kW, kH, 32) {}
  std::unique_ptr<CCommonGeneral> MakeMode(int) override { return nullptr; }
};

// Save of a plain slot (101,120 bytes) to a file, the whole-file writer
// included.
void SavePlainSlot(benchmark::State& state) {
  benchsupport::GameFolder folder(state);
  if (!folder.Ok()) return;
  ResetSaveFolder();
  SetSaveFolder(nullptr, nullptr, 0);
  CreateSaveFolder();
  CCommonSystemFile systemFile;
  PlainGame game(benchsupport::HeadlessWindow(kW, kH), &systemFile);
  game.Init();
  game.Saves().MakeMiniCG();
  CCommonDataFile slot(game.Roles());
  for (auto _ : state) {
    if (slot.Save(1) != 0) {
      state.SkipWithError("save failed");
      break;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * 101120));
}
BENCHMARK(SavePlainSlot);

}  // namespace
