// The picture puzzles Slide16, Cross and Change: rules solved headless with a
// seed, their sounds and clears, and the pixels of a few frames; the held
// pieces of Change and Puzzle9 under a far pointer.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include "input/inputstatus.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "minigame/allminigame.h"
#include "minigame/change.h"
#include "minigame/cross.h"
#include "minigame/minigamegolf.h"
#include "minigame/minigamemonte.h"
#include "minigame/minigamepyramid.h"
#include "minigame/puzzle9.h"
#include "minigame/puzzlecommon.h"
#include "minigame/slide16.h"
#include "puzzle_fixture.h"
#include "setup/random.h"

namespace {

using namespace puzzle_test;

TEST(Slide16Rules, EachMoveUndoneByItsOppositeAndCornersStay) {
  // Opposite: the same line from the other end.
  const int opposite[8] = {2, 3, 0, 1, 6, 7, 4, 5};
  for (int k = 0; k < 8; ++k) {
    Slide16Board b;
    b.Reset();
    b.Apply(k);
    EXPECT_FALSE(b.Solved()) << k;
    for (int corner : {0, 3, 12, 15}) EXPECT_EQ(b.cells[corner], corner) << k;
    b.Apply(opposite[k]);
    EXPECT_TRUE(b.Solved()) << k;
  }
  // Move 0 (column 1 downwards): the handle takes the far end's tile.
  Slide16Board b;
  b.Reset();
  b.Apply(0);
  EXPECT_EQ(b.cells[1], 13);
  EXPECT_EQ(b.cells[5], 1);
  EXPECT_EQ(b.cells[9], 5);
  EXPECT_EQ(b.cells[13], 9);
}

TEST_F(PuzzleTest, Slide16DealIsSeededAndSolvedByUndoingIt) {
  crt::srand(7);
  int draws[13];
  for (int& d : draws) d = crt::rand() % 8;
  crt::srand(7);
  Driven<CMiniGameSlide16> game(&holder_);
  game.Begin();
  Slide16Board expect;
  expect.Reset();
  for (int d : draws) expect.Apply(d);
  EXPECT_EQ(game.GetBoard().cells, expect.cells);
  const int opposite[8] = {2, 3, 0, 1, 6, 7, 4, 5};
  const int cw = kW / 4, ch = kH / 4;
  // Corner and middle cells: only the click sound.
  for (auto [x, y] : {std::pair{0, 0}, {cw * 3 + 1, ch * 3 + 1}, {cw + 2, ch + 2}, {cw * 2, ch * 2}}) {
    EXPECT_EQ(game.Click(x, y), CAllMiniGame::kClick);
    EXPECT_EQ(game.GetBoard().cells, expect.cells);
    EXPECT_EQ(game.GetLastMove(), -1);
  }
  // Outside the screen: nothing at all.
  EXPECT_EQ(game.Click(-5, -5), CAllMiniGame::kClick);  // request kept from before
  for (int i = 12; i >= 0; --i) {
    const Slide16Board::Move& m = Slide16Board::kMoveTable[opposite[draws[i]]];
    const int sound = game.Click(m.col * cw + 1, m.row * ch + 1);
    EXPECT_EQ(game.GetClearFlag(), i == 0 ? 1 : 0) << i;
    if (game.GetClearFlag()) {
      EXPECT_EQ(sound, CAllMiniGame::kClear);
    }
  }
  ASSERT_EQ(game.GetClearFlag(), 1);
  // No input after the clear.
  const auto cleared = game.GetBoard().cells;
  game.Click(cw + 1, 1);
  EXPECT_EQ(game.GetBoard().cells, cleared);
  // The clear shows picture 0 whole.
  game.Print();
  EXPECT_EQ(Screen(5, 7), (7u << 8) | 5u);
  EXPECT_EQ(Screen(kW - 1, kH - 1), (uint32_t(kH - 1) << 8) | uint32_t(kW - 1));
}

TEST_F(PuzzleTest, Slide16FullRedrawDrawsEveryTileFromItsPlace) {
  Driven<CMiniGameSlide16> game(&holder_);
  game.Begin();
  CScreenBuffer::SetFullRedraw(0);
  game.Print();
  const int cw = kW / 4, ch = kH / 4;
  for (int i = 0; i < 16; ++i) {
    const int t = game.GetBoard().cells[i];
    const int x = i % 4 * cw + 1, y = i / 4 * ch + 2;
    const uint32_t want = (uint32_t(t / 4 * ch + 2) << 8) | uint32_t(t % 4 * cw + 1);
    EXPECT_EQ(Screen(x, y), want) << i;
  }
}

TEST(CrossRules, FlipsAtEdgesAndCorners) {
  struct Case {
    int col, row, flipped;
  };
  for (const Case& c : {Case{0, 0, 3}, Case{7, 7, 3}, Case{3, 0, 4}, Case{0, 4, 4}, Case{3, 3, 5}}) {
    CrossBoard b;
    b.Reset();
    b.Flip(c.col, c.row);
    int n = 0;
    for (int v : b.cells) n += v;
    EXPECT_EQ(n, c.flipped) << c.col << "," << c.row;
    EXPECT_EQ(b.cells[c.row * 8 + c.col], 1);
    b.Flip(c.col, c.row);
    EXPECT_TRUE(b.AllEqual(0));
  }
}

TEST_F(PuzzleTest, CrossDealsTwelveSeededFlipsColumnFirst) {
  crt::srand(7);
  CrossBoard expect;
  expect.Reset();
  for (int i = 0; i < 12; ++i) {
    const int col = crt::rand() % 8;
    expect.Flip(col, crt::rand() % 8);
  }
  crt::srand(7);
  Driven<CMiniGameCross> game(&holder_);
  game.Begin();
  EXPECT_EQ(game.GetBoard().cells, expect.cells);
}

TEST_F(PuzzleTest, CrossClearsOnAllOnesAndShowsPictureOne) {
  Driven<CMiniGameCross> game(&holder_);
  game.Begin();
  const int cw = kW / 8, ch = kH / 8;
  // All ones but the cross around (2, 2).
  game.Board().cells.fill(1);
  game.Board().Flip(2, 2);
  // Beside the board (negative): click sound, no change.
  EXPECT_EQ(game.Click(-1, 3), CAllMiniGame::kClick);
  EXPECT_EQ(game.GetClearFlag(), 0);
  EXPECT_EQ(game.Click(2 * cw + 1, 2 * ch + 1), CAllMiniGame::kClear);
  EXPECT_EQ(game.GetClearFlag(), 1);
  EXPECT_TRUE(game.GetBoard().AllEqual(1));
  game.Click(0, 0);
  EXPECT_TRUE(game.GetBoard().AllEqual(1));
  game.Print();
  EXPECT_EQ(Screen(9, 4), (1u << 16) | (4u << 8) | 9u);
  EXPECT_EQ(Screen(kW - 1, 0), (1u << 16) | uint32_t(kW - 1));
}

TEST_F(PuzzleTest, CrossRedrawsTheClickedNeighbourhood) {
  Driven<CMiniGameCross> game(&holder_);
  game.Begin();
  game.Board().Reset();
  CScreenBuffer::SetFullRedraw(0);
  game.Print();
  CScreenBuffer::StartFrame();
  const int cw = kW / 8, ch = kH / 8;
  EXPECT_EQ(game.Click(3 * cw, 3 * ch), CAllMiniGame::kClick);
  game.Print();
  // The flipped centre and a neighbour show picture 1, a diagonal stays 0.
  EXPECT_EQ(Screen(3 * cw, 3 * ch) >> 16, 1u);
  EXPECT_EQ(Screen(4 * cw, 3 * ch) >> 16, 1u);
  EXPECT_EQ(Screen(4 * cw, 4 * ch) >> 16, 0u);
  EXPECT_EQ(Screen(0, 0) >> 16, 0u);
}

TEST_F(PuzzleTest, MissingPicturesDrawNothingWhileRulesRun) {
  holder_.SetPicture(nullptr, 0);
  holder_.SetPicture(nullptr, 1);
  Driven<CMiniGameSlide16> slide(&holder_);
  Driven<CMiniGameCross> cross(&holder_);
  slide.Begin();
  cross.Begin();
  for (int i = 0; i < 40; ++i) {
    slide.Click(i * 7 % 200 - 50, i * 13 % 150 - 40);
    cross.Click(i * 7 % 200 - 50, i * 13 % 150 - 40);
    CScreenBuffer::SetFullRedraw(0);
    slide.Print();
    cross.Print();
  }
}

TEST_F(PuzzleTest, ChangeSwapsWithTheHeldTileAndClearsOnlyWithNothingHeld) {
  crt::srand(7);
  std::array<int, 16> expect;
  for (int i = 0; i < 16; ++i) expect[i] = i;
  for (int i = 0; i < 16; ++i) {
    const int col = crt::rand() % 4;
    std::swap(expect[i], expect[crt::rand() % 4 * 4 + col]);
  }
  crt::srand(7);
  Driven<CMiniGameChange> game(&holder_);
  game.Begin();
  EXPECT_EQ(game.GetBoard().cells, expect);
  const int cw = kW / 4, ch = kH / 4;
  auto at = [&](int cell) { return std::pair{cell % 4 * cw + 1, cell / 4 * ch + 1}; };
  // Solve by selection: pick up the tile of cell i's place, drop it there.
  for (int i = 0; i < 16; ++i) {
    const auto& cells = game.GetBoard().cells;
    if (cells[i] == i) continue;
    int from = 0;
    while (cells[from] != i) ++from;
    auto [fx, fy] = at(from);
    EXPECT_EQ(game.Click(fx, fy), CAllMiniGame::kClick);
    auto [tx, ty] = at(i);
    const int sound = game.Click(tx, ty);  // tile i placed, cell i's tile now held
    EXPECT_EQ(sound, CAllMiniGame::kGood);
    EXPECT_EQ(game.GetBoard().cells[i], i);
    EXPECT_EQ(game.GetClearFlag(), 0);
    const int heldCell = from;
    auto [hx, hy] = at(heldCell);
    game.Click(hx, hy);  // drop the held tile into the empty cell
    EXPECT_EQ(game.GetBoard().held, -1);
    if (game.GetClearFlag()) break;
  }
  EXPECT_EQ(game.GetClearFlag(), 1);
  EXPECT_EQ(game.GetBoard().held, -1);
  const auto cleared = game.GetBoard().cells;
  game.Click(1, 1);
  EXPECT_EQ(game.GetBoard().cells, cleared);
}

TEST_F(PuzzleTest, ChangeDrawsTheEmptyCellFilledAndTheTilesFromTheirPlaces) {
  Driven<CMiniGameChange> game(&holder_);
  game.Begin();
  game.Click(kW - 1, kH - 1);  // cell 15 picked up
  game.mouse.SetPos(-100, -100);  // the held tile drawn off screen
  game.Print();
  EXPECT_EQ(Screen(kW - 2, kH - 2), 0x004080u);
  const int t = game.GetBoard().cells[0];
  EXPECT_EQ(Screen(1, 1), (uint32_t(t / 4 * (kH / 4) + 1) << 8) | uint32_t(t % 4 * (kW / 4) + 1));
}

// The held tile of Change and the held piece of Puzzle9 follow the pointer:
// one far off the screen, up to the ends of int, draws the frame of one
// just off it.
TEST_F(PuzzleTest, AHeldPieceFollowsAFarPointerOffTheScreen) {
  constexpr int kMin = std::numeric_limits<int>::min(), kMax = std::numeric_limits<int>::max();
  const std::pair<int, int> far[] = {{kMin, kMin}, {kMax, kMax}, {kMin, kMax}, {kMax, kMin}};
  auto frame = [&](auto& game, int x, int y) {
    game.Hold(x, y);  // a frame's step without a click
    game.Print();
    return std::vector<uint32_t>(CScreenBuffer::GetBuffer(), CScreenBuffer::GetBuffer() + kW * kH);
  };
  auto follow = [&](auto& game, const char* name) {
    const std::vector<uint32_t> off = frame(game, -100, -100);
    for (auto [x, y] : far) EXPECT_EQ(frame(game, x, y), off) << name << " " << x << "," << y;
  };
  Driven<CMiniGameChange> change(&holder_);
  change.Begin();
  change.Click(kW - 1, kH - 1);
  ASSERT_GE(change.GetBoard().held, 0);  // the tile of cell 15
  follow(change, "Change");

  Driven<CMiniGamePuzzle9> puzzle9(&holder_);
  puzzle9.Begin();
  for (Puzzle9Board::Piece& p : puzzle9.Board().pieces) p.x = -16, p.y = -12, p.vx = p.vy = 0;
  puzzle9.Board().pieces[4].x = puzzle9.Board().pieces[4].y = 0;
  puzzle9.Click(1, 1);
  ASSERT_EQ(puzzle9.GetBoard().held, 4);
  follow(puzzle9, "Puzzle9");
}

// The card and tile games read the pointer kept in range as the puzzles do:
// clicks far off the screen, up to the ends of int, reach the rules at
// +-puzzle::kFar and touch nothing.
TEST_F(PuzzleTest, CardAndTileGamesTakeAFarPointer) {
  constexpr int kMin = std::numeric_limits<int>::min(), kMax = std::numeric_limits<int>::max();
  constexpr int kFar = puzzle::kFar;
  auto play = [&](auto& game, const char* name) {
    game.Begin();
    for (int i = 0; i < 40; ++i) game.Click(-5, -5);  // past the deal
    ASSERT_EQ(game.GetState(), game.kIdle) << name;  // a click reaches the hit test
    const auto before = game.GetBoard();
    const struct {
      int x, y;
      platform::Point read;
    } clicks[] = {{kMax, kMax, {kFar, kFar}},
                  {kMin, kMin, {-kFar, -kFar}},
                  {kMax, kMin, {kFar, -kFar}},
                  {kMin, kMax, {-kFar, kFar}},
                  {12, -34, {12, -34}}};
    for (const auto& c : clicks) {
      game.Click(c.x, c.y);
      const platform::Point read = game.GetPointer();
      EXPECT_EQ(read.x, c.read.x) << name << " " << c.x << "," << c.y;
      EXPECT_EQ(read.y, c.read.y) << name << " " << c.x << "," << c.y;
      game.Print();
    }
    EXPECT_TRUE(game.GetBoard() == before) << name;
  };
  Driven<CMiniGameGolf> golf(&holder_);
  play(golf, "Golf");
  Driven<CMiniGamePyramid> pyramid(&holder_);
  play(pyramid, "Pyramid");
  Driven<CMiniGameMonte> monte(&holder_);
  play(monte, "Monte");
}

TEST(PuzzleFactory, MakesCrossAndSlide16) {
  CAllMiniGame holder(nullptr, nullptr, 4);
  EXPECT_EQ(holder.CreateGame(3), 1);
  EXPECT_EQ(holder.CreateGame(4), 1);
  EXPECT_NE(dynamic_cast<CMiniGameCross*>(holder.GetGame(0)), nullptr);
  EXPECT_NE(dynamic_cast<CMiniGameSlide16*>(holder.GetGame(1)), nullptr);
  EXPECT_EQ(holder.CreateGame(1), 1);
  EXPECT_NE(dynamic_cast<CMiniGameChange*>(holder.GetGame(2)), nullptr);
}

}  // namespace
