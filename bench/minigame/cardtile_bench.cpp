// One Pyramid deal frame (background and 28 cards of 96 x 144) and one
// Nikaku hint frame (background, 144 tiles of 40 x 52, the tray and the
// blended boxes over every tile with a partner) beside a memcpy of the
// 800 x 600 screen. A frame lasts 50 ms; the aim is under 5 % of it.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "bench/support/memcpy_reference.h"
#include "bench/support/pattern_picture.h"
#include "input/inputstatus.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "minigame/allminigame.h"
#include "minigame/minigamepyramid.h"
#include "minigame/nikaku.h"
#include "setup/random.h"

namespace {

constexpr int kW = 800;
constexpr int kH = 600;
constexpr size_t kBytes = size_t{kW} * kH * 4;

BENCHMARK(benchsupport::Memcpy)->Arg(static_cast<int64_t>(kBytes));

// A picture of the pattern without a mask (the sheets are colour-keyed).
std::unique_ptr<CPicture> Plain(int w, int h, uint32_t seed) {
  auto p = std::make_unique<CPicture>(w, h, 0);
  uint32_t* px = p->GetPixelBuffer();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) px[static_cast<size_t>(y) * w + x] = benchsupport::PatternPixel(x, y, seed);
  return p;
}

// The screen, a background and picture set `set` of the given cells.
struct Table {
  Table(int set, int columns, int rows, int cw, int ch)
      : background(Plain(kW, kH, 2654435761u)), sheet(Plain(columns * cw, rows * ch, 40503u)) {
    holder.SetPicture(background.get(), 0);
    holder.SetSetPicture(set, sheet.get());
    holder.SetCellSize(set, cw, ch);
    crt::srand(1);
  }
  CScreenBuffer screen{kW, kH, 0};
  std::unique_ptr<CPicture> background, sheet;
  CAllMiniGame holder{nullptr, nullptr, 1};
};

void PyramidDealFrame(benchmark::State& state) {
  Table table(0, 13, 5, 96, 144);
  CMiniGamePyramid game(&table.holder);
  game.Start();
  // The deal's last frame: every card drawn, most still flying.
  for (int i = 0; i < CMiniGamePyramid::kDealLength - 2; ++i) game.Step(-1, -1, false, false);
  for (auto _ : state) {
    CScreenBuffer::ClearDirtyRects();
    game.Print();
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}
BENCHMARK(PyramidDealFrame);

void NikakuHintFrame(benchmark::State& state) {
  Table table(1, 13, 7, 40, 52);
  CMiniGameNikaku game(&table.holder);
  game.Start();
  cardgame::MouseFrame m;
  m.right = true;
  game.Step(m);  // ends the deal
  m.right = false;
  m.middle = true;
  game.Step(m);  // the hint, timer 29
  m.middle = false;
  game.Step(m);
  game.Step(m);  // timer 27: the boxes show
  for (auto _ : state) {
    CScreenBuffer::ClearDirtyRects();
    CScreenBuffer::SetFullRedrawFlag(1);
    game.Print();
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}
BENCHMARK(NikakuHintFrame);

}  // namespace
