// One frame of two picture puzzles beside a memcpy of the 800 x 600 screen:
// Puzzle9 (picture 0, the nine holes tinted at 80 %, 18 pieces at 50 %) and
// Nurie painting a whole brush and drawing it. A frame lasts 50 ms; the aim
// is under 5 % of it.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "bench/support/memcpy_reference.h"
#include "input/inputstatus.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "minigame/allminigame.h"
#include "minigame/nurie.h"
#include "minigame/puzzle9.h"
#include "setup/random.h"

namespace {

constexpr int kW = 800;
constexpr int kH = 600;
constexpr size_t kBytes = size_t{kW} * kH * 4;

BENCHMARK(benchsupport::Memcpy)->Arg(static_cast<int64_t>(kBytes));

std::unique_ptr<CPicture> Pattern(uint32_t seed) {
  auto p = std::make_unique<CPicture>(kW, kH, 0);
  uint32_t v = seed;
  for (int i = 0; i < kW * kH; ++i) {
    v = v * 1664525u + 1013904223u;
    p->GetPixelBuffer()[i] = v >> 8;
  }
  return p;
}

template <class Game>
struct Benched : Game {
  explicit Benched(CAllMiniGame* holder) : Game(holder) {}
  void UseMouse(CMouseStatus* mouse) { this->mouseStatus_ = mouse; }
};

void Puzzle9Frame(benchmark::State& state) {
  CScreenBuffer screen(kW, kH, 0);
  auto pic0 = Pattern(1), pic1 = Pattern(2);
  CAllMiniGame holder(nullptr, nullptr, 1);
  holder.SetPicture(pic0.get(), 0);
  holder.SetPicture(pic1.get(), 1);
  crt::srand(1);
  Benched<CMiniGamePuzzle9> game(&holder);
  game.Start();
  // Every piece flying wholly on the screen.
  int i = 0;
  for (Puzzle9Board::Piece& p : game.Board().pieces) {
    p.x = 20 + (i % 6) * 120;
    p.y = 20 + (i / 6) * 180;
    ++i;
  }
  for (auto _ : state) {
    CScreenBuffer::ClearDirtyRects();
    game.Print();
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}
BENCHMARK(Puzzle9Frame);

void NurieBrushFrame(benchmark::State& state) {
  CScreenBuffer screen(kW, kH, 0);
  auto pic0 = Pattern(3), pic1 = Pattern(4);
  CPicture canvas(1, 1, 0);
  CAllMiniGame holder(nullptr, nullptr, 1);
  holder.SetPicture(pic0.get(), 0);
  holder.SetPicture(pic1.get(), 1);
  holder.SetScreenPicture(&canvas);
  crt::srand(1);
  Benched<CMiniGameNurie> game(&holder);
  CMouseStatus mouse;
  game.Start();
  game.UseMouse(&mouse);
  game.Calcu();  // the canvas captured
  CScreenBuffer::StartFrame();
  CScreenBuffer::StartFrame();
  mouse.SetPos(kW / 2, kH / 2);
  int frame = 0;
  for (auto _ : state) {
    // Alternate buttons so the canvas keeps changing.
    mouse.SetTrig(0, frame & 1);
    mouse.SetTrig(1, (frame & 1) ^ 1);
    ++frame;
    CScreenBuffer::ClearDirtyRects();
    game.Calcu();
    game.Print();
    benchmark::ClobberMemory();
  }
  if (!game.Painted()) state.SkipWithError("nothing painted");
}
BENCHMARK(NurieBrushFrame);

}  // namespace
