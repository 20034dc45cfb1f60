// The mini-games under random input: the first byte picks a game (one row
// per game in the table below), then a seed, a screen size, the pictures
// (missing, small or whole) and frames of random presses, holds and
// positions, far ones included. After every frame the game's own invariants
// are checked, and a cleared game must not change any more.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "fuzz/support/fuzz_support.h"
#include "game/inputstatus.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "minigame/allminigame.h"
#include "minigame/change.h"
#include "minigame/cross.h"
#include "minigame/nurie.h"
#include "minigame/puzzle9.h"
#include "minigame/slide16.h"
#include "setup/random.h"

namespace {

using fuzzsupport::Check;
using fuzzsupport::Reader;

// A game whose mouse is the fuzzer's.
template <class Game>
struct Fuzzed : Game {
  explicit Fuzzed(CAllMiniGame* holder) : Game(holder) {}
  void UseMouse(CMouseStatus* mouse) { this->mouseStatus_ = mouse; }
};

// A picture of the fuzzer's choice: none, a 1 x 1, a small one or one of
// the screen's size.
std::unique_ptr<CPicture> MakePicture(Reader& in, int screenW, int screenH) {
  const int kind = in.Byte() % 4;
  if (kind == 0) return nullptr;
  const int w = kind == 1 ? 1 : kind == 2 ? 1 + in.Byte() % screenW : screenW;
  const int h = kind == 1 ? 1 : kind == 2 ? 1 + in.Byte() % screenH : screenH;
  auto p = std::make_unique<CPicture>(w, h, 0);
  for (int i = 0; i < w * h; ++i) p->GetPixelBuffer()[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
  return p;
}

// A copy of the game's rules state (0 for a game that never clears).
template <class Game>
auto BoardOf(const Game& game) {
  if constexpr (requires { game.GetBoard(); }) return game.GetBoard();
  else return 0;
}

int Position(Reader& in, int size) {
  const int b = in.Byte();
  if (b == 255) return in.Int();
  return b * (size + 64) / 255 - 32;
}

// Deals game `Game` of `type` on a screen and pictures of the input's
// choice and plays frames until the input ends; `check` runs after each.
template <class Game, class CheckFn>
void Play(Reader& in, CheckFn check) {
  const int w = 1 + in.Byte() % 96, h = 1 + in.Byte() % 72;
  CScreenBuffer screen(w, h, 0);
  crt::srand(in.Byte());
  CAllMiniGame holder(nullptr, 1);
  std::unique_ptr<CPicture> pictures[2] = {MakePicture(in, w, h), MakePicture(in, w, h)};
  for (int k = 0; k < 2; ++k) holder.SetPicture(pictures[k].get(), k);
  CPicture canvas(1, 1, 0);
  holder.SetScreenPicture(in.Byte() % 8 ? &canvas : nullptr);
  Fuzzed<Game> game(&holder);
  CMouseStatus mouse;
  game.Start();
  game.UseMouse(&mouse);
  std::optional<decltype(BoardOf(game))> cleared;
  while (in.More()) {
    const int buttons = in.Byte();
    mouse.SetPos(Position(in, w), Position(in, h));
    for (int b = 0; b < 2; ++b) {
      if (buttons & (1 << b)) mouse.SetButton(b, 1);       // a press: click and hold
      else mouse.SetTrig(b, (buttons >> (b + 2)) & 1);     // held on, or let go
    }
    if (buttons & 0x80) CScreenBuffer::SetFullRedraw(0);
    CScreenBuffer::StartFrame();
    Check(game.Calcu() == -1, "Calcu stays");
    game.Print();
    mouse.Calcu();
    check(game);
    if (cleared) Check(*cleared == BoardOf(game), "no change after the clear");
    else if (game.GetClearFlag()) cleared.emplace(BoardOf(game));
    Check(game.GetGameOverFlag() == 0, "no game over");
  }
}

void DrivePuzzle9(Reader& in) {
  std::array<bool, Puzzle9Board::kPlaces> filled{};
  Play<CMiniGamePuzzle9>(in, [&](const CMiniGamePuzzle9& g) {
    const Puzzle9Board& b = g.GetBoard();
    for (int p = 0; p < Puzzle9Board::kPlaces; ++p) Check(b.filled[p] || !filled[p], "filled places only grow");
    filled = b.filled;
    Check(b.held >= -1 && b.held < Puzzle9Board::kPieces, "held piece");
    if (b.held >= 0) Check(!b.pieces[b.held].active, "the held piece does not fly");
    for (const Puzzle9Board::Piece& p : b.pieces)
      Check(p.target >= -1 && p.target < Puzzle9Board::kPlaces && (p.picture == 0 || p.picture == 1), "piece");
  });
}

void DriveChange(Reader& in) {
  Play<CMiniGameChange>(in, [](const CMiniGameChange& g) {
    const ChangeBoard& b = g.GetBoard();
    int seen[16] = {};
    for (int t : b.cells) {
      Check(t >= -1 && t < 16, "tile");
      if (t >= 0) ++seen[t];
    }
    if (b.held >= 0) ++seen[b.held];
    for (int n : seen) Check(n == 1, "each tile once, counting the held one");
  });
}

void DriveNurie(Reader& in) {
  Play<CMiniGameNurie>(in, [](const CMiniGameNurie& g) {
    if (!g.Painted()) return;
    const NurieBrush::Rect& r = g.GetPainted();
    Check(r.x >= 0 && r.y >= 0 && r.w > 0 && r.h > 0 && r.x + r.w <= CScreenBuffer::GetWidth() &&
              r.y + r.h <= CScreenBuffer::GetHeight(),
          "painted inside the screen");
  });
}

void DriveCross(Reader& in) {
  Play<CMiniGameCross>(in, [](const CMiniGameCross& g) {
    for (int v : g.GetBoard().cells) Check(v == 0 || v == 1, "cells 0 or 1");
  });
}

void DriveSlide16(Reader& in) {
  Play<CMiniGameSlide16>(in, [](const CMiniGameSlide16& g) {
    const Slide16Board& b = g.GetBoard();
    int seen[16] = {};
    for (int t : b.cells) {
      Check(t >= 0 && t < 16, "tile");
      ++seen[t];
    }
    for (int n : seen) Check(n == 1, "a permutation");
    for (int corner : {0, 3, 12, 15}) Check(b.cells[corner] == corner, "corners fixed");
  });
}

struct Row {
  int type;
  void (*drive)(Reader& in);
};

constexpr Row kRows[] = {
    // Picture puzzles.
    {0, &DrivePuzzle9},
    {1, &DriveChange},
    {2, &DriveNurie},
    {3, &DriveCross},
    {4, &DriveSlide16},
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzsupport::InstallQuietHost();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Reader in(data, size);
  const int pick = in.Byte() % (sizeof(kRows) / sizeof(kRows[0]));
  kRows[pick].drive(in);
  return 0;
}
