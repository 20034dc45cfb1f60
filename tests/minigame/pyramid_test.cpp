// Pyramid: free cells and pairs of 13, the king taken alone, draws and the
// one turn-over, the used-up stock, seeded games to an end and the pixels of
// the deal and the used-up mark on a stand-in sheet.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "cardsheet.h"
#include "graphics/screenbuffer.h"
#include "minigame/allminigame.h"
#include "minigame/minigamepyramid.h"
#include "setup/random.h"

namespace {

using P = CMiniGamePyramid;
using namespace minigame_test;

class PyramidTest : public ::testing::Test {
 protected:
  void SetUp() override {
    crt::srand(21);
    ASSERT_EQ(holder_.CreateGame(6), 1);
    game_ = static_cast<P*>(holder_.GetGame(0));
    game_->Start();
  }
  void Click(int index, bool right = false) {
    int x = 0, y = 0;
    game_->Position(index, &x, &y);
    game_->Step(x + 1, y + 1, !right, right);
  }
  void Idle(int frames) {
    for (int i = 0; i < frames; ++i) game_->Step(-5, -5, false, false);
  }
  // An idle board with only the given cells filled and the given stock and waste.
  P::Board& Empty() {
    Idle(P::kDealLength);
    P::Board& b = game_->GetBoard();
    std::fill(std::begin(b.cell), std::end(b.cell), -1);
    b.stock.clear();
    b.waste.clear();
    return b;
  }
  void ExpectAllCards() {
    P::Board& b = game_->GetBoard();
    std::vector<int> seen = b.stock;
    seen.insert(seen.end(), b.waste.begin(), b.waste.end());
    for (int c : b.cell)
      if (c >= 0) seen.push_back(c);
    if (game_->GetDrawnCard() >= 0) seen.push_back(game_->GetDrawnCard());
    std::sort(seen.begin(), seen.end());
    ASSERT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end());
    for (int c : seen) ASSERT_TRUE(c >= 0 && c < 52);
  }
  CAllMiniGame holder_{nullptr, nullptr, 2};
  P* game_ = nullptr;
};

TEST_F(PyramidTest, RowsAndFreeCells) {
  const int rows[][2] = {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {5, 2}, {6, 3}, {20, 5}, {21, 6}, {27, 6}};
  for (auto [cell, row] : rows) EXPECT_EQ(P::Row(cell), row) << cell;
  P::Board& b = Empty();
  b.cell[4] = 0;  // row 2, above cells 7 and 8
  b.cell[8] = 1;
  b.cell[22] = 2;
  EXPECT_FALSE(game_->Free(4));
  EXPECT_TRUE(game_->Free(8));  // cells 12 and 13 below are empty
  EXPECT_TRUE(game_->Free(22));  // bottom row
  b.cell[8] = -1;
  EXPECT_TRUE(game_->Free(4));
}

TEST_F(PyramidTest, DealPutsTheTopTwentyEightCardsInOrder) {
  crt::srand(21);
  std::vector<int> deck = cardgame::Shuffle(52);
  P::Board& b = game_->GetBoard();
  EXPECT_EQ(game_->GetState(), P::kDeal);
  EXPECT_EQ(b.cell[0], deck[51]);
  EXPECT_EQ(b.cell[27], deck[24]);
  EXPECT_EQ(b.stock.size(), 24u);
  EXPECT_TRUE(b.waste.empty());
  ExpectAllCards();
}

TEST_F(PyramidTest, PairsOfThirteenAndKingsAlone) {
  struct Case {
    int first, second;  // cards in cells 21 and 22 (bottom row)
    bool removed;
    int sound;
  };
  const Case cases[] = {
      {0, 11, true, CAllMiniGame::kGood},    // ace and queen
      {4, 13 + 7, true, CAllMiniGame::kGood},  // five and eight of another suit
      {5, 7, false, CAllMiniGame::kBad},      // six and eight
      {5, 6, true, CAllMiniGame::kGood},      // six and seven
      {2, 2 + 13, false, CAllMiniGame::kBad},
  };
  for (const Case& c : cases) {
    game_->Start();
    P::Board& b = Empty();
    b.cell[21] = c.first;
    b.cell[22] = c.second;
    b.cell[0] = 40;  // keeps the game from clearing
    b.stock = {30};
    Click(2 + 21);
    EXPECT_EQ(game_->GetSelected(), 2 + 21);
    EXPECT_EQ(holder_.GetSoundRequest(), CAllMiniGame::kClick);
    Click(2 + 22);
    EXPECT_EQ(holder_.GetSoundRequest(), c.sound) << c.first << "+" << c.second;
    Idle(P::kRemoveLength);
    EXPECT_EQ(b.cell[21] < 0 && b.cell[22] < 0, c.removed);
    if (!c.removed) {
      EXPECT_EQ(game_->GetSelected(), 2 + 21);
    }
  }
  // A right click drops the selection; clicking the selection does too.
  P::Board& b = Empty();
  b.cell[21] = 1;
  b.stock = {30};
  Click(2 + 21);
  game_->Step(0, 0, false, true);
  EXPECT_EQ(game_->GetSelected(), -1);
  Click(2 + 21);
  Click(2 + 21);
  EXPECT_EQ(game_->GetSelected(), -1);
  EXPECT_EQ(holder_.GetSoundRequest(), CAllMiniGame::kClick);
}

TEST_F(PyramidTest, TheLastPairClearsWithItsSound) {
  P::Board& b = Empty();
  b.cell[0] = 12;  // a king at the apex, free once the row below is empty
  b.cell[1] = 3;
  b.cell[2] = 8 + 13;  // four and nine: 13
  b.stock = {30};
  Click(2 + 1);
  Click(2 + 2);
  Idle(P::kRemoveLength);
  EXPECT_EQ(game_->GetClearFlag(), 0);
  Click(2 + 0);
  Idle(P::kRemoveLength);
  EXPECT_EQ(game_->GetClearFlag(), 1);
  EXPECT_EQ(holder_.GetSoundRequest(), CAllMiniGame::kClear);
  EXPECT_EQ(b.stock.size(), 1u);  // the stock does not matter
}

TEST_F(PyramidTest, AKingOnTheWasteGoesInOneClick) {
  P::Board& b = Empty();
  b.cell[0] = 3;
  b.waste = {5, 12 + 26};  // a king on top of a six
  b.stock = {7};
  Click(P::kWaste);
  EXPECT_EQ(game_->GetState(), P::kRemove);
  EXPECT_EQ(holder_.GetSoundRequest(), CAllMiniGame::kGood);
  Idle(P::kRemoveLength);
  EXPECT_EQ(b.waste, std::vector<int>{5});
  EXPECT_EQ(game_->GetState(), P::kIdle);
}

TEST_F(PyramidTest, DrawsTurnOverOnceThenTheStockIsUsedUp) {
  P::Board& b = Empty();
  b.cell[0] = 3;  // covered by nothing: free, but no pair
  b.stock = {10, 20, 30};
  for (int draw = 0; draw < 3; ++draw) {
    Click(P::kStock);
    EXPECT_EQ(holder_.GetSoundRequest(), CAllMiniGame::kClick);
    Idle(P::kDrawLength);
  }
  EXPECT_EQ(b.waste, (std::vector<int>{30, 20, 10}));
  // Turn-over: waste count + 10 frames, then the first card drawn is on top.
  Click(P::kStock);
  EXPECT_EQ(game_->GetState(), P::kTurnOver);
  EXPECT_EQ(game_->GetAnim().length, 13);
  Idle(13);
  EXPECT_EQ(b.stock, (std::vector<int>{10, 20, 30}));
  EXPECT_TRUE(b.waste.empty());
  EXPECT_EQ(b.turnOvers, 0);
  for (int draw = 0; draw < 3; ++draw) {
    Click(P::kStock);
    Idle(P::kDrawLength);
  }
  // Three draws left nothing to pair: game over with its sound.
  EXPECT_EQ(game_->GetGameOverFlag(), 1);
  EXPECT_EQ(holder_.GetSoundRequest(), CAllMiniGame::kGameOver);
}

TEST_F(PyramidTest, EmptyStockWithEmptyWasteIsSilentAndUsedUpStockTakesNoHover) {
  P::Board& b = Empty();
  b.cell[21] = 0;
  b.cell[22] = 11;
  Click(P::kStock);
  EXPECT_EQ(holder_.GetSoundRequest(), -1);
  EXPECT_EQ(game_->GetState(), P::kIdle);
  EXPECT_EQ(game_->GetHover(), -1);
  // The turn-over used: even a waste does not make the stock a hover.
  b.waste = {7};
  b.turnOvers = 0;
  Click(P::kStock);
  EXPECT_EQ(game_->GetHover(), -1);
  EXPECT_EQ(game_->GetState(), P::kIdle);
}

TEST_F(PyramidTest, SeededGamesPlayToAnEnd) {
  for (unsigned seed : {1u, 2u, 3u, 4u}) {
    crt::srand(seed);
    game_->Start();
    for (int frame = 0; frame < 20000 && !game_->GetClearFlag() && !game_->GetGameOverFlag(); ++frame) {
      if (game_->GetState() != P::kIdle) {
        Idle(1);
        continue;
      }
      // Take a king or a pair when one is free, else the stock.
      std::vector<int> free;
      if (!game_->GetBoard().waste.empty()) free.push_back(P::kWaste);
      for (int i = 0; i < P::kCells; ++i)
        if (game_->GetBoard().cell[i] >= 0 && game_->Free(i)) free.push_back(2 + i);
      int a = -1, b = -1;
      for (int x : free)
        for (int y : free)
          if (a < 0 && ((x == y && cardgame::Rank(game_->CardAt(x)) == 12) ||
                        (x != y && cardgame::Rank(game_->CardAt(x)) + cardgame::Rank(game_->CardAt(y)) == 11))) {
            a = x;
            b = y;
          }
      if (a < 0) {
        Click(P::kStock);
      } else {
        Click(a);
        if (b != a) Click(b);
      }
      ExpectAllCards();
    }
    EXPECT_TRUE(game_->GetClearFlag() || game_->GetGameOverFlag()) << seed;
    P::Board before = game_->GetBoard();
    for (int x : {-100, 0, 120, 5000}) game_->Step(x, -x, true, true);
    EXPECT_EQ(game_->GetBoard().stock, before.stock);
    EXPECT_EQ(game_->GetBoard().waste, before.waste);
    EXPECT_TRUE(std::equal(std::begin(before.cell), std::end(before.cell), std::begin(game_->GetBoard().cell)));
  }
}

class PyramidPixels : public PyramidTest {
 protected:
  void SetUp() override {
    holder_.SetSetPicture(0, sheet_.get());
    holder_.SetCellSize(0, kCw, kCh);
    holder_.SetPicture(background_.get(), 0);
    PyramidTest::SetUp();
  }
  uint32_t Screen(int x, int y) const { return CScreenBuffer::GetBuffer()[y * 800 + x]; }
  static constexpr int kCw = 40, kCh = 60;
  CScreenBuffer screen_{800, 600, 0};
  std::unique_ptr<CPicture> sheet_ = CardSheet(kCw, kCh);
  std::unique_ptr<CPicture> background_ = std::make_unique<CPicture>(800, 600, 0);
};

TEST_F(PyramidPixels, DealFliesCardsFromTheStockAndTheUsedUpMarkShows) {
  game_->Step(0, 0, false, false);  // counter 1: cell 0 one step out, cell 1 on the stock
  game_->Print();
  int sx = 0, sy = 0;
  game_->Position(P::kStock, &sx, &sy);
  EXPECT_EQ(Screen(sx + 1, sy + 1), CardTag(game_->GetBoard().cell[1]));
  int x = 0, y = 0;
  game_->Position(2, &x, &y);
  int n = P::kDealLength - P::kCells;
  int cx = sx + (x - sx) / n, cy = sy + (y - sy) / n;
  EXPECT_EQ(Screen(cx + kCw - 1, cy + kCh - 1), CardTag(game_->GetBoard().cell[0]));
  EXPECT_EQ(Screen(x + kCw - 1, y + 1), 0u);  // cell 0's place still empty

  P::Board& b = Empty();
  b.cell[21] = 0;
  b.turnOvers = 0;
  CScreenBuffer::SetFullRedrawFlag(1);
  game_->Print();
  EXPECT_EQ(Screen(sx + 1, sy + 1), CardTag(cardgame::kEmpty));
  EXPECT_EQ(Screen(sx + kCw / 2, sy + kCh / 2), CardTag(cardgame::kUsedUp));
  game_->Position(2 + 21, &x, &y);
  EXPECT_EQ(Screen(x + 1, y + 1), CardTag(0));
}

}  // namespace

namespace {

// A background smaller than the screen (the no-CG picture) leaves no trails:
// the rest of the screen is cleared on a full redraw.
TEST(CardBackground, ASmallBackgroundClearsTheRestOfTheScreen) {
  CScreenBuffer screen(800, 600, 0);
  CAllMiniGame holder(nullptr, nullptr, 1);
  CPicture small(10, 10, 0);
  std::fill(small.GetPixelBuffer(), small.GetPixelBuffer() + 100, 0x123456u);
  holder.SetPicture(&small, 0);
  crt::srand(1);
  CMiniGamePyramid game(&holder);
  game.Start();
  std::fill(CScreenBuffer::GetBuffer(), CScreenBuffer::GetBuffer() + 800 * 600, 0xFFFFFFu);
  game.Print();  // the deal's first frame: full redraw, no sheet
  EXPECT_EQ(CScreenBuffer::GetBuffer()[5 * 800 + 5], 0x123456u);
  EXPECT_EQ(CScreenBuffer::GetBuffer()[300 * 800 + 400], 0u);
}

}  // namespace
