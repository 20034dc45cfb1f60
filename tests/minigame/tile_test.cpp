// Nikaku and Kushi: the atlas, the deal's guaranteed pair, the path search
// and its order, removals with and without a fall, hints, Kushi's lines,
// closing and drops, seeded games to an end and a few frames' pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <vector>

#include "cardsheet.h"
#include "graphics/screenbuffer.h"
#include "minigame/allminigame.h"
#include "minigame/kushi.h"
#include "minigame/nikaku.h"
#include "setup/random.h"

namespace {

using M = CMiniGameMahjongCommon;
using cardgame::MouseFrame;

int C(int col, int row) { return M::Cell(col, row); }
// Tile number of instance `n` (0..3) of `kind`.
int T(int kind, int n = 0) { return kind * 4 + n + 1; }

template <class Game>
class TileTest : public ::testing::Test {
 public:
  void SetUp() override {
    crt::srand(9);
    holder_.SetCellSize(1, 10, 10);
    game_ = std::make_unique<Game>(&holder_);
    game_->Start();
  }
  void Frame(int x, int y, bool left = false, bool right = false, bool middle = false) {
    MouseFrame m;
    m.x = x;
    m.y = y;
    m.left = left;
    m.right = right;
    m.middle = middle;
    game_->Step(m);
  }
  void ClickCell(int cell) { Frame((cell % 20) * 10 + 5, (cell / 20) * 10 + 5, true); }
  void Idle(int frames) {
    for (int i = 0; i < frames; ++i) Frame(-1, -1);
  }
  // An idle board holding only `tiles` (cell, tile).
  int* Board(std::initializer_list<std::pair<int, int>> tiles) {
    Frame(0, 0);
    Frame(0, 0, true);
    EXPECT_EQ(game_->GetState(), M::kIdle);
    int* b = game_->GetBoard();
    std::fill(b, b + M::kCells, 0);
    for (auto [cell, tile] : tiles) b[cell] = tile;
    return b;
  }
  void ExpectDistinctTiles() {
    int* b = game_->GetBoard();
    std::set<int> seen;
    for (int c = 0; c < M::kCells; ++c) {
      if (b[c] <= 0) continue;
      ASSERT_LE(b[c], 144);
      ASSERT_TRUE(seen.insert(b[c]).second) << b[c];
      int col = c % 20, row = c / 20;
      bool dropping = game_->GetState() == CMiniGameKushi::kDrop && row == 0;
      if (!dropping) {
        ASSERT_TRUE(col >= 1 && col <= 18 && row >= 1 && row <= 8) << c;
      }
    }
  }
  CAllMiniGame holder_{nullptr, nullptr, 2};
  std::unique_ptr<Game> game_;
};

using NikakuTest = TileTest<CMiniGameNikaku>;
using KushiTest = TileTest<CMiniGameKushi>;

TEST(TileAtlas, SuitsHonoursFlowersAndMarks) {
  CAllMiniGame holder(nullptr, nullptr, 1);
  CMiniGameNikaku game(&holder);
  struct Case {
    int entry, column, row;
  };
  const Case cases[] = {
      {0, 0, 0},     {3, 0, 0},          // kind 0
      {8, 2, 0},     {11, 0, 5},         // number index 2: the fourth instance in row 5
      {16, 4, 0},    {19, 1, 5},         // number index 4
      {9 * 4 + 11, 2, 5}, {4 * 11 + 3, 2, 5}, // suit 1, index 2, fourth instance: column 2
      {4 * 13 + 3, 3, 5},                // suit 1, index 4
      {4 * 26, 8, 2},                    // suit 2, index 8
      {4 * 27, 0, 3},  {4 * 33 + 2, 6, 3}, // honours
      {136, 0, 4},   {143, 7, 4},        // flowers and seasons
      {M::kMarkRemoved, 0, 6}, {M::kMarkHint, 8, 6}, {200, 8, 6},
  };
  for (const Case& c : cases) {
    int column = -1, row = -1;
    game.AtlasCell(c.entry, &column, &row);
    EXPECT_EQ(column, c.column) << c.entry;
    EXPECT_EQ(row, c.row) << c.entry;
  }
}

// A game whose only pair is the one the deal makes at its pair cell.
template <class Game>
struct OnlyDealtPair : Game {
  using Game::Game;
  bool Match(int a, int b) override {
    int pair[2] = {M::Cell(1, 1), Game::kPairCell};
    bool cells = (a == pair[0] && b == pair[1]) || (a == pair[1] && b == pair[0]);
    return cells && M::Kind(this->board_[a]) == M::Kind(this->board_[b]);
  }
};

template <class Game>
void ExpectDealtPair() {
  CAllMiniGame holder(nullptr, nullptr, 1);
  OnlyDealtPair<Game> game(&holder);
  for (unsigned seed : {1u, 2u, 3u}) {
    crt::srand(seed);
    game.Start();
    int* b = game.GetBoard();
    EXPECT_EQ(M::Kind(b[M::Cell(1, 1)]), M::Kind(b[Game::kPairCell])) << seed;
    std::vector<int> tiles(b, b + M::kCells);
    std::sort(tiles.begin(), tiles.end());
    EXPECT_EQ(std::count(tiles.begin(), tiles.end(), 0), M::kCells - 144);
    for (int i = 0; i < 144; ++i) EXPECT_EQ(tiles[M::kCells - 144 + i], i + 1);
    EXPECT_TRUE(game.AnyPair());
    EXPECT_EQ(game.GetHintsLeft(), 6);
  }
}

TEST(TileDeal, MakesAPairWhenTheShuffleGivesNone) {
  ExpectDealtPair<CMiniGameNikaku>();
  ExpectDealtPair<CMiniGameKushi>();
}

TEST_F(NikakuTest, DealShowsTilesInNumberOrderAndAClickEndsIt) {
  EXPECT_EQ(game_->GetState(), M::kDeal);
  Idle(144);
  EXPECT_EQ(game_->GetDealCounter(), 144);
  EXPECT_EQ(game_->GetState(), M::kDeal);
  Idle(1);
  EXPECT_EQ(game_->GetState(), M::kIdle);
  game_->Start();
  Frame(0, 0, false, true);
  EXPECT_EQ(game_->GetState(), M::kIdle);
}

TEST_F(NikakuTest, PathTypesInSearchOrder) {
  struct Case {
    std::vector<std::pair<int, int>> blocks;  // other tiles (kind 20)
    int a, b;
    bool match;
    int type, corner0, corner1;
  };
  const Case cases[] = {
      {{}, C(2, 2), C(3, 2), true, 0, -1, -1},                          // neighbours
      {{}, C(2, 2), C(2, 7), true, 0, -1, -1},                          // clear column
      {{}, C(2, 2), C(5, 4), true, 1, C(2, 4), -1},                     // first corner: column of a, row of b
      {{{C(2, 4), 0}}, C(2, 2), C(5, 4), true, 1, C(5, 2), -1},
      {{{C(2, 4), 0}, {C(5, 2), 0}}, C(2, 2), C(5, 4), true, 2, C(3, 2), C(3, 4)},
      // Round the outside: same edge row with tiles between, through row 0.
      {{{C(4, 1), 0}, {C(5, 1), 0}, {C(6, 1), 0}, {C(7, 1), 0}}, C(3, 1), C(8, 1), true, 2, C(3, 0), C(8, 0)},
      // Closed in on every side: no path.
      {{{C(4, 4), 0}, {C(6, 4), 0}, {C(5, 3), 0}, {C(5, 5), 0}}, C(5, 4), C(12, 6), false, 0, -1, -1},
  };
  int n = 0;
  for (const Case& c : cases) {
    int* b = Board({{c.a, T(3, 0)}, {c.b, T(3, 1)}});
    int k = 0;
    for (auto [cell, unused] : c.blocks) b[cell] = T(20, k++ % 4);
    EXPECT_EQ(game_->Match(c.a, c.b), c.match) << "case " << n;
    if (c.match) {
      EXPECT_EQ(game_->GetPathType(), c.type) << "case " << n;
      EXPECT_EQ(game_->GetCorner(0), c.corner0) << "case " << n;
      EXPECT_EQ(game_->GetCorner(1), c.corner1) << "case " << n;
    }
    ++n;
  }
  int* b = Board({{C(2, 2), T(3, 0)}, {C(3, 2), T(4, 0)}});
  EXPECT_FALSE(game_->Match(C(2, 2), C(3, 2)));  // different kinds
  b[C(3, 2)] = -1;
  EXPECT_FALSE(game_->Match(C(2, 2), C(3, 2)));  // a removed mark is no tile
}

TEST_F(NikakuTest, HonoursLeaveMarksFlowersWaitAndFall) {
  // Honours (kind 27): two marks, idle at once, nothing falls.
  int* b = Board({{C(3, 3), T(27, 0)}, {C(4, 3), T(27, 1)}, {C(3, 2), T(5, 0)}, {C(10, 2), T(5, 1)}});
  ClickCell(C(3, 3));
  EXPECT_EQ(holder_.GetSoundRequest(), CAllMiniGame::kClick);
  ClickCell(C(4, 3));
  EXPECT_EQ(holder_.GetSoundRequest(), CAllMiniGame::kGood);
  EXPECT_EQ(game_->GetState(), CMiniGameNikaku::kConnect);
  Idle(CMiniGameNikaku::kLegFrames);  // one leg of path type 0
  EXPECT_EQ(game_->GetState(), M::kIdle);
  EXPECT_EQ(b[C(3, 3)], -1);
  EXPECT_EQ(b[C(4, 3)], -1);
  EXPECT_EQ(b[C(3, 2)], T(5, 0));

  // Flowers (kind 34): the wait, then an accelerating fall.
  b = Board({{C(3, 8), T(34, 0)}, {C(4, 8), T(34, 1)}, {C(3, 5), T(5, 0)}, {C(10, 2), T(5, 1)}});
  ClickCell(C(3, 8));
  ClickCell(C(4, 8));
  Frame(0, 0);
  Frame(0, 0, true);  // a click ends the line at once
  EXPECT_EQ(game_->GetState(), CMiniGameNikaku::kWait);
  EXPECT_EQ(game_->GetWait(), CMiniGameNikaku::kWaitLength);
  Idle(CMiniGameNikaku::kWaitLength);
  EXPECT_EQ(game_->GetState(), M::kFall);
  EXPECT_EQ(b[C(3, 8)], 0);
  EXPECT_EQ(game_->GetFall(C(3, 5)), 3);  // rows 6, 7, 8 below are empty
  EXPECT_EQ(game_->GetFall(C(10, 2)), 6);
  const int offsets[] = {1, 3, 6, 10, 15, 21, 28};
  for (int o : offsets) {
    Idle(1);
    EXPECT_EQ(game_->GetOffset(C(3, 5)), o);
  }
  Idle(1);  // 30 = 3 rows of 10 pixels: this tile is down; the other still falls
  EXPECT_EQ(game_->GetOffset(C(3, 5)), 30);
  EXPECT_EQ(game_->GetOffset(C(10, 2)), 36);
  Idle(3);
  EXPECT_EQ(game_->GetState(), M::kIdle);
  EXPECT_EQ(b[C(3, 8)], T(5, 0));
  EXPECT_EQ(b[C(10, 8)], T(5, 1));
  EXPECT_EQ(b[C(3, 5)], 0);
}

TEST_F(NikakuTest, SelectionRulesAndTheLastPairClears) {
  int* b = Board({{C(2, 2), T(7, 0)}, {C(9, 5), T(8, 0)}, {C(2, 3), T(7, 1)}});
  ClickCell(C(2, 2));
  holder_.Calcu();  // the holder clears last frame's request
  ClickCell(C(9, 5));  // no match: the selection stays, silently
  EXPECT_EQ(game_->GetSelected(), C(2, 2));
  EXPECT_EQ(holder_.GetSoundRequest(), -1);
  Frame(0, 0, false, true);  // right click deselects
  EXPECT_EQ(game_->GetSelected(), -1);
  ClickCell(C(2, 2));
  ClickCell(C(2, 2));  // the selected cell again deselects
  EXPECT_EQ(game_->GetSelected(), -1);
  ClickCell(C(2, 2));
  ClickCell(C(2, 3));
  Idle(10);
  // Kind 8 is alone: no pair is left, game over with its sound.
  EXPECT_EQ(game_->GetGameOverFlag(), 1);
  EXPECT_EQ(holder_.GetSoundRequest(), CAllMiniGame::kGameOver);
  b[C(9, 5)] = 0;
  game_->Start();
  b = Board({{C(2, 2), T(7, 0)}, {C(2, 3), T(7, 1)}});
  ClickCell(C(2, 2));
  ClickCell(C(2, 3));
  Idle(10);
  EXPECT_EQ(game_->GetClearFlag(), 1);
  EXPECT_EQ(holder_.GetSoundRequest(), CAllMiniGame::kClear);
}

TEST_F(NikakuTest, HintFlagsTimerAndTheEmptyTray) {
  int* b = Board({{C(2, 2), T(7, 0)}, {C(2, 3), T(7, 1)}, {C(9, 5), T(8, 0)}, {C(15, 5), T(9, 0)}});
  (void)b;
  ClickCell(C(9, 5));
  Frame(0, 0, false, false, true);  // middle click
  EXPECT_EQ(game_->GetState(), M::kHint);
  EXPECT_EQ(game_->GetSelected(), -1);
  EXPECT_EQ(game_->GetHintsLeft(), 5);
  EXPECT_EQ(game_->GetHintTimer(), 29);
  const int* flags = game_->GetHintFlags();
  EXPECT_EQ(std::count(flags, flags + M::kCells, 1), 2);
  EXPECT_TRUE(flags[C(2, 2)] && flags[C(2, 3)]);
  Idle(40);
  EXPECT_EQ(game_->GetHintTimer(), 0);
  EXPECT_EQ(game_->GetState(), M::kHint);
  Frame(0, 0, false, true);
  EXPECT_EQ(game_->GetState(), M::kIdle);
  // The tray: a left click on it spends a hint too; with none left nothing happens.
  int tx = 0, ty = 0;
  game_->TrayPosition(&tx, &ty);
  for (int left = 5; left > 0; --left) {
    Frame(tx + 10 * (left - 1) + 1, ty + 1, true);
    ASSERT_EQ(game_->GetState(), M::kHint);
    Frame(0, 0, true);
  }
  EXPECT_EQ(game_->GetHintsLeft(), 0);
  Frame(tx + 1, ty + 1, true);
  Frame(0, 0, false, false, true);
  EXPECT_EQ(game_->GetState(), M::kIdle);
}

TEST_F(KushiTest, LinesDiagonalsAndGaps) {
  struct Case {
    int a, b;
    std::vector<int> fillers;
    bool match;
  };
  const Case cases[] = {
      {C(3, 3), C(4, 4), {}, true},             // diagonal neighbours, nothing around
      {C(4, 4), C(3, 5), {}, true},
      {C(3, 3), C(5, 5), {C(4, 4)}, false},     // two apart on the diagonal
      {C(3, 3), C(3, 4), {}, true},             // neighbours in a column
      {C(3, 3), C(6, 3), {C(4, 3), C(5, 3)}, true},
      {C(3, 3), C(6, 3), {C(4, 3)}, false},     // a gap in the row
      {C(3, 3), C(3, 3), {}, false},
  };
  for (const Case& c : cases) {
    int* b = Board({{c.a, T(11, 0)}, {c.b, T(11, 1)}});
    int k = 0;
    for (int f : c.fillers) b[f] = T(30, k++);
    EXPECT_EQ(game_->Match(c.a, c.b), c.match) << c.a << " " << c.b;
  }
}

TEST_F(KushiTest, AFullRowLineGoesIntoTheReserveAndTheRestFalls) {
  // Row 8 full: kind 1 at both ends, sixteen tiles between; kind 2 above.
  int* b = Board({});
  for (int col = 1; col <= 18; ++col) b[C(col, 8)] = T(10 + (col - 1) / 4, (col - 1) % 4);
  b[C(1, 8)] = T(1, 0);
  b[C(18, 8)] = T(1, 1);
  b[C(2, 8)] = T(1, 2);  // keeps kind 1's count even
  b[C(17, 8)] = T(1, 3);
  b[C(5, 7)] = T(2, 0);
  b[C(6, 6)] = T(2, 1);
  ClickCell(C(1, 8));
  ClickCell(C(18, 8));
  EXPECT_EQ(holder_.GetSoundRequest(), CAllMiniGame::kGood);
  EXPECT_EQ(game_->GetState(), CMiniGameKushi::kRemove);
  EXPECT_EQ(game_->GetReserve().size(), 17u);
  EXPECT_EQ(game_->GetReserve().front(), T(1, 0));
  for (int col = 1; col <= 18; ++col) EXPECT_TRUE(game_->Marked(C(col, 8)));
  Idle(CMiniGameKushi::kWaitLength);
  EXPECT_EQ(game_->GetState(), M::kFall);
  for (int i = 0; i < 30 && game_->GetState() == M::kFall; ++i) Idle(1);
  // The two tiles land in row 8, close to the left and match diagonally? no:
  // they are in one row, neighbours after closing.
  for (int i = 0; i < 30 && game_->GetState() == CMiniGameKushi::kClose; ++i) Idle(1);
  EXPECT_EQ(b[C(1, 8)], T(2, 0));
  EXPECT_EQ(b[C(2, 8)], T(2, 1));
  EXPECT_EQ(game_->GetState(), M::kIdle);
  ExpectDistinctTiles();
}

TEST_F(KushiTest, LonePartnersDropFromTheReserveWrappingRoundTheColumns) {
  // Kind 4 has one tile left, in column 1; columns 2..18 are full, so any
  // start column wraps round to column 1, the only one open at rows 0 and 1.
  int* b = Board({{C(1, 8), T(4, 0)}});
  int tile = 1;
  for (int col = 2; col <= 18; ++col)
    for (int row = 1; row <= 8; ++row) {
      while (M::Kind(tile) == 4) ++tile;
      b[C(col, row)] = tile++;
    }
  game_->SetReserve({T(9, 0), T(4, 1), T(4, 2)});
  game_->DropCheck();
  EXPECT_EQ(game_->GetState(), CMiniGameKushi::kDrop);
  EXPECT_EQ(b[C(1, 0)], T(4, 1));
  EXPECT_EQ(game_->GetReserve(), (std::vector<int>{T(9, 0), T(4, 2)}));
  for (int i = 0; i < 40 && game_->GetState() == CMiniGameKushi::kDrop; ++i) Idle(1);
  EXPECT_EQ(b[C(1, 7)], T(4, 1));
  EXPECT_EQ(b[C(1, 0)], 0);
  EXPECT_EQ(game_->GetState(), M::kIdle);
  ExpectDistinctTiles();
}

TEST_F(KushiTest, ATileWithNoOpenColumnWaitsForTheNextDrop) {
  // Row 1 taken in every column: the partner of the lone four finds no
  // column and waits while the row falls; the next drop places it.
  int* b = Board({});
  for (int col = 1; col <= 16; ++col) b[C(col, 1)] = col;  // kinds 0..3, four each
  b[C(17, 1)] = T(4, 0);
  b[C(18, 1)] = T(5, 0);
  game_->SetReserve({T(4, 1)});
  game_->DropCheck();
  EXPECT_EQ(game_->GetDropList(), std::vector<int>{T(4, 1)});
  EXPECT_EQ(game_->GetState(), CMiniGameKushi::kDrop);
  for (int i = 0; i < 60 && game_->GetState() != M::kIdle; ++i) Idle(1);
  EXPECT_EQ(game_->GetState(), M::kIdle);
  EXPECT_TRUE(game_->GetDropList().empty());
  EXPECT_EQ(std::count(b, b + M::kCells, T(4, 1)), 1);
  ExpectDistinctTiles();
}

template <class Game>
void PlaySeeded(TileTest<Game>& t, unsigned seed) {
  crt::srand(seed);
  t.game_->Start();
  for (int frame = 0; frame < 20000 && !t.game_->GetClearFlag() && !t.game_->GetGameOverFlag(); ++frame) {
    if (t.game_->GetState() != M::kIdle) {
      t.Idle(1);
    } else {
      int a = -1, b = -1;
      int* board = t.game_->GetBoard();
      for (int i = 0; i < M::kCells && a < 0; ++i)
        for (int j = i + 1; j < M::kCells && a < 0; ++j)
          if (board[i] > 0 && board[j] > 0 && t.game_->Match(i, j)) {
            a = i;
            b = j;
          }
      ASSERT_GE(a, 0);
      t.ClickCell(a);
      t.ClickCell(b);
    }
    t.ExpectDistinctTiles();
  }
  EXPECT_TRUE(t.game_->GetClearFlag() || t.game_->GetGameOverFlag()) << seed;
  std::vector<int> before(t.game_->GetBoard(), t.game_->GetBoard() + M::kCells);
  for (int x : {-100, 0, 55, 5000}) t.Frame(x, -x, true, true, true);
  EXPECT_TRUE(std::equal(before.begin(), before.end(), t.game_->GetBoard()));
}

TEST_F(NikakuTest, SeededGamesPlayToAnEnd) {
  for (unsigned seed : {1u, 2u}) PlaySeeded(*this, seed);
}

TEST_F(KushiTest, SeededGamesPlayToAnEnd) {
  for (unsigned seed : {1u, 2u}) PlaySeeded(*this, seed);
}

TEST(TileSize, ACellSizeOfZeroStillPlays) {
  CAllMiniGame holder(nullptr, nullptr, 1);
  holder.SetCellSize(1, 0, 0);
  crt::srand(3);
  CMiniGameKushi game(&holder);
  game.Start();
  for (int i = 0; i < 200; ++i) {
    MouseFrame m;
    m.x = i * 7 % 50 - 5;
    m.y = i * 3 % 20 - 2;
    m.left = i % 3 == 0;
    m.middle = i % 50 == 0;
    game.Step(m);
    game.Print();
  }
  int w = 0, h = 0;
  game.GetTileSize(&w, &h);
  EXPECT_EQ(w, 1);
  EXPECT_EQ(h, 1);
}

// Pixels on a stand-in tile sheet of tagged 10 x 10 cells.
class TilePixels : public NikakuTest {
 protected:
  void SetUp() override {
    holder_.SetSetPicture(1, sheet_.get());
    holder_.SetPicture(background_.get(), 0);
    NikakuTest::SetUp();
  }
  uint32_t Screen(int x, int y) const { return CScreenBuffer::GetBuffer()[y * 800 + x]; }
  CScreenBuffer screen_{800, 600, 0};
  std::unique_ptr<CPicture> sheet_ = minigame_test::TagSheet(13, 7, 10, 10);
  std::unique_ptr<CPicture> background_ = std::make_unique<CPicture>(800, 600, 0);
};

TEST_F(TilePixels, TilesMarksTrayAndHintBoxes) {
  int* b = Board({{C(2, 2), T(7, 0)}, {C(2, 3), T(7, 1)}, {C(9, 5), T(28, 0)}});
  b[C(4, 4)] = -1;
  CScreenBuffer::SetFullRedrawFlag(1);
  game_->Print();
  using minigame_test::CellTag;
  EXPECT_EQ(Screen(25, 25), CellTag(7, 0));   // kind 7: column 7, row 0
  EXPECT_EQ(Screen(95, 55), CellTag(1, 3));   // honour 28: row 3, column 1
  EXPECT_EQ(Screen(45, 45), CellTag(0, 6));   // the removed mark
  int tx = 0, ty = 0;
  game_->TrayPosition(&tx, &ty);
  EXPECT_EQ(Screen(tx + 5 * 10 + 5, ty + 5), CellTag(8, 6));  // six hint icons
  EXPECT_EQ(Screen(tx + 6 * 10 + 5, ty + 5), 0u);
  // Hint: the flagged tiles get the blended box (shown while the timer % 5
  // is below 3), the lone honour does not.
  Frame(0, 0, false, false, true);
  Idle(2);
  CScreenBuffer::SetFullRedrawFlag(1);
  game_->Print();
  EXPECT_NE(Screen(25, 25), CellTag(7, 0));
  EXPECT_EQ(Screen(95, 55), CellTag(1, 3));
  EXPECT_EQ(Screen(tx + 4 * 10 + 5, ty + 5), CellTag(8, 6));
  EXPECT_EQ(Screen(tx + 5 * 10 + 5, ty + 5), 0u);
}

}  // namespace
