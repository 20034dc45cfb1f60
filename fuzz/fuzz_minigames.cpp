// The mini-games under random input: the first byte picks a game (one row
// per game in the table below), then a seed, a screen size, the pictures and
// sheets (missing, small or whole, with odd cell sizes) and frames of random
// presses, holds and positions, far ones included. After every frame the
// game's own invariants are checked, and a game that ended (cleared or game
// over) must not change any more.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <type_traits>
#include <vector>

#include "fuzz/support/fuzz_support.h"
#include "input/inputstatus.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "minigame/allminigame.h"
#include "minigame/change.h"
#include "minigame/cross.h"
#include "minigame/kushi.h"
#include "minigame/minigamegolf.h"
#include "minigame/minigamemonte.h"
#include "minigame/minigamepyramid.h"
#include "minigame/nikaku.h"
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
  if constexpr (std::is_base_of_v<CMiniGameMahjongCommon, Game>) {
    std::array<int, CMiniGameMahjongCommon::kCells> cells{};
    std::copy_n(game.GetCells(), cells.size(), cells.begin());
    return cells;
  } else if constexpr (requires { game.GetBoard(); }) {
    return game.GetBoard();
  } else {
    return 0;
  }
}

int Position(Reader& in, int size) {
  const int b = in.Byte();
  if (b == 255) return in.Int();
  return b * (size + 64) / 255 - 32;
}

// Deals game `Game` on a screen, pictures and sheets of the input's choice
// and plays frames until the input ends; `check` runs after each.
template <class Game, class CheckFn>
void Play(Reader& in, CheckFn check) {
  const int w = in.Byte() % 4 == 0 ? 800 : 1 + in.Byte() % 96;
  const int h = w == 800 ? 600 : 1 + in.Byte() % 72;
  CScreenBuffer screen(w, h, 0);
  crt::srand(in.Byte());
  CAllMiniGame holder(nullptr, nullptr, 1);
  std::unique_ptr<CPicture> pictures[2] = {MakePicture(in, w, h), MakePicture(in, w, h)};
  for (int k = 0; k < 2; ++k) holder.SetPicture(pictures[k].get(), k);
  // The card and tile sheets with cell sizes from 0 up.
  std::unique_ptr<CPicture> sheets[2] = {MakePicture(in, w, h), MakePicture(in, w, h)};
  for (int set = 0; set < 2; ++set) {
    holder.SetSetPicture(set, sheets[set].get());
    if (in.Byte() & 1) holder.SetCellSize(set, in.Byte() % 40, in.Byte() % 40);
  }
  holder.SetSetFlag(0, in.Byte() & 1);
  CPicture canvas(1, 1, 0);
  holder.SetScreenPicture(in.Byte() % 8 ? &canvas : nullptr);
  Fuzzed<Game> game(&holder);
  CMouseStatus mouse;
  game.Start();
  game.UseMouse(&mouse);
  std::optional<decltype(BoardOf(game))> ended;
  while (in.More()) {
    const int buttons = in.Byte();
    mouse.SetPos(Position(in, w), Position(in, h));
    for (int b = 0; b < 3; ++b) {
      if (buttons & (1 << b)) mouse.SetButton(b, 1);      // a press: click and hold
      else mouse.SetTrig(b, (buttons >> (b + 3)) & 1);    // held on, or let go
    }
    if (buttons & 0x80) CScreenBuffer::SetFullRedraw(0);
    CScreenBuffer::StartFrame();
    Check(game.Calcu() == -1, "Calcu stays");
    game.Print();
    mouse.Calcu();
    check(game);
    if (ended) Check(*ended == BoardOf(game), "no change after the end");
    else if (game.GetClearFlag() || game.GetGameOverFlag()) ended.emplace(BoardOf(game));
  }
}

// Each card of 0..n-1 in exactly one place.
void CheckCards(std::vector<int> cards, int n) {
  std::sort(cards.begin(), cards.end());
  Check(static_cast<int>(cards.size()) == n, "every card placed");
  for (int i = 0; i < n; ++i) Check(cards[i] == i, "each card once");
}

void DriveMonte(Reader& in) {
  Play<CMiniGameMonte>(in, [](const CMiniGameMonte& g) {
    const CMiniGameMonte::Board& b = g.GetBoard();
    std::vector<int> cards = b.stock;
    for (int c : b.cell)
      if (c >= 0) cards.push_back(c);
    // Removed pairs leave the game: what is left is distinct and in range.
    std::sort(cards.begin(), cards.end());
    Check(std::adjacent_find(cards.begin(), cards.end()) == cards.end(), "each card once");
    for (int c : cards) Check(c >= 0 && c < 52, "a card");
    Check(g.GetState() >= 0 && g.GetState() <= 4, "state");
  });
}

void DrivePyramid(Reader& in) {
  Play<CMiniGamePyramid>(in, [](const CMiniGamePyramid& g) {
    const CMiniGamePyramid::Board& b = g.GetBoard();
    std::vector<int> cards = b.stock;
    cards.insert(cards.end(), b.waste.begin(), b.waste.end());
    for (int c : b.cell)
      if (c >= 0) cards.push_back(c);
    if (g.GetDrawnCard() >= 0) cards.push_back(g.GetDrawnCard());
    std::sort(cards.begin(), cards.end());
    Check(std::adjacent_find(cards.begin(), cards.end()) == cards.end(), "each card once");
    for (int c : cards) Check(c >= 0 && c < 52, "a card");
    Check(b.turnOvers == 0 || b.turnOvers == 1, "one turn-over");
    Check(g.GetState() >= 0 && g.GetState() <= 4, "state");
  });
}

void DriveGolf(Reader& in) {
  Play<CMiniGameGolf>(in, [](const CMiniGameGolf& g) {
    const CMiniGameGolf::Board& b = g.GetBoard();
    std::vector<int> cards = b.stock;
    cards.insert(cards.end(), b.foundation.begin(), b.foundation.end());
    for (int j = 0; j < CMiniGameGolf::kColumns; ++j) {
      Check(b.height[j] >= 0 && b.height[j] <= CMiniGameGolf::kPlaces, "height");
      for (int k = 0; k < b.height[j]; ++k) cards.push_back(b.column[j][k]);
    }
    if (g.GetDrawnCard() >= 0) cards.push_back(g.GetDrawnCard());
    CheckCards(cards, CMiniGameGolf::kCards);
    Check(g.GetState() >= 0 && g.GetState() <= 3, "state");
  });
}

// Tiles are only removed or moved (Kushi's reserve and drop list count as
// held): the tiles held never gain one, and none is held twice.
template <class Game>
void DriveTiles(Reader& in, std::initializer_list<int> states) {
  std::vector<int> held;
  Play<Game>(in, [&](const Game& g) {
    std::vector<int> now;
    const int* cells = g.GetCells();
    for (int c = 0; c < CMiniGameMahjongCommon::kCells; ++c)
      if (cells[c] > 0) now.push_back(cells[c]);
    if constexpr (std::is_same_v<Game, CMiniGameKushi>) {
      now.insert(now.end(), g.GetReserve().begin(), g.GetReserve().end());
      now.insert(now.end(), g.GetDropList().begin(), g.GetDropList().end());
    }
    std::sort(now.begin(), now.end());
    now.erase(std::unique(now.begin(), now.end()), now.end());
    for (int t : now) Check(t >= 1 && t <= CMiniGameMahjongCommon::kTiles, "a tile");
    if (!held.empty()) Check(std::includes(held.begin(), held.end(), now.begin(), now.end()), "no tile appears");
    held = now;
    Check(std::find(states.begin(), states.end(), g.GetState()) != states.end(), "state");
    Check(g.GetHintsLeft() >= 0 && g.GetHintsLeft() <= CMiniGameMahjongCommon::kHints, "hints");
  });
}

void DriveNikaku(Reader& in) { DriveTiles<CMiniGameNikaku>(in, {0, 1, 2, 3, 4, 5}); }
void DriveKushi(Reader& in) { DriveTiles<CMiniGameKushi>(in, {0, 1, 3, 4, 5, 6, 7}); }

// The puzzles have no game over.
template <class Game, class CheckFn>
void PlayPuzzle(Reader& in, CheckFn check) {
  Play<Game>(in, [&](Game& g) {
    check(g);
    Check(g.GetGameOverFlag() == 0, "no game over");
  });
}

void DrivePuzzle9(Reader& in) {
  std::array<bool, Puzzle9Board::kPlaces> filled{};
  PlayPuzzle<CMiniGamePuzzle9>(in, [&](const CMiniGamePuzzle9& g) {
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
  PlayPuzzle<CMiniGameChange>(in, [](const CMiniGameChange& g) {
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
  PlayPuzzle<CMiniGameNurie>(in, [](const CMiniGameNurie& g) {
    if (!g.Painted()) return;
    const NurieBrush::Rect& r = g.GetPainted();
    Check(r.x >= 0 && r.y >= 0 && r.w > 0 && r.h > 0 && r.x + r.w <= CScreenBuffer::GetWidth() &&
              r.y + r.h <= CScreenBuffer::GetHeight(),
          "painted inside the screen");
  });
}

void DriveCross(Reader& in) {
  PlayPuzzle<CMiniGameCross>(in, [](const CMiniGameCross& g) {
    for (int v : g.GetBoard().cells) Check(v == 0 || v == 1, "cells 0 or 1");
  });
}

void DriveSlide16(Reader& in) {
  PlayPuzzle<CMiniGameSlide16>(in, [](const CMiniGameSlide16& g) {
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
    // Card and tile games.
    {5, &DriveMonte},
    {6, &DrivePyramid},
    {7, &DriveGolf},
    {8, &DriveNikaku},
    {9, &DriveKushi},
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
