// Golf and the card helpers: the sheet lookups, the playable rule, the deal,
// the animation click, whole seeded games and the ends with their sounds.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "minigame/allminigame.h"
#include "minigame/cardgame.h"
#include "minigame/minigamegolf.h"
#include "setup/random.h"

namespace {

using cardgame::SheetCell;

TEST(CardSheet, WideAndNarrowCells) {
  struct Case {
    int card;
    bool narrow;
    int column, row;
  };
  const Case cases[] = {
      {0, false, 0, 0},   {12, false, 12, 0}, {13, false, 0, 1},  {51, false, 12, 3},
      {52, false, 0, 4},  {53, false, 1, 4},  {54, false, 2, 4},  {58, false, 6, 4},
      {9, true, 9, 0},    {10, true, 0, 4},   {25, true, 5, 4},   {36, true, 6, 4},
      {48, true, 9, 3},   {49, true, 0, 5},   {51, true, 2, 5},   {54, true, 5, 5},
      {58, true, 9, 5},   {35, true, 9, 2},
  };
  for (const Case& c : cases) {
    int column = -1, row = -1;
    ASSERT_TRUE(SheetCell(c.card, c.narrow, &column, &row)) << c.card;
    EXPECT_EQ(column, c.column) << c.card << " narrow " << c.narrow;
    EXPECT_EQ(row, c.row) << c.card << " narrow " << c.narrow;
  }
  int column = 0, row = 0;
  EXPECT_FALSE(SheetCell(-1, false, &column, &row));
  EXPECT_FALSE(SheetCell(59, true, &column, &row));
}

TEST(CardShuffle, IsAPermutationAndRepeatsForASeed) {
  crt::srand(3);
  std::vector<int> a = cardgame::Shuffle(54);
  crt::srand(3);
  std::vector<int> b = cardgame::Shuffle(54);
  EXPECT_EQ(a, b);
  std::vector<int> sorted = a;
  std::sort(sorted.begin(), sorted.end());
  for (int i = 0; i < 54; ++i) EXPECT_EQ(sorted[i], i);
  crt::srand(4);
  EXPECT_NE(cardgame::Shuffle(54), a);
}

TEST(GolfRules, PlayableCards) {
  struct Case {
    int card, top;
    bool playable;
  };
  const Case cases[] = {
      {0, 12, true},    // ace on king
      {12, 0, true},    // king on ace
      {13 + 4, 5, true},  // five on six of another suit
      {6, 5, true},     // seven on six
      {5, 5, false},    // same rank
      {7, 5, false},    // two apart
      {52, 5, true},    {53, 40, true},  // jokers go anywhere
      {30, 52, true},   {11, 53, true},  // a joker takes any card
      {-1, 5, false},
  };
  for (const Case& c : cases) EXPECT_EQ(CMiniGameGolf::Playable(c.card, c.top), c.playable) << c.card << " on " << c.top;
}

class GolfTest : public ::testing::Test {
 protected:
  void SetUp() override {
    crt::srand(11);
    ASSERT_EQ(holder_.CreateGame(7), 1);
    golf_ = static_cast<CMiniGameGolf*>(holder_.GetGame(0));
    golf_->Start();
  }
  void Click(int index) {
    int x = 0, y = 0;
    golf_->Position(index, &x, &y);
    golf_->Step(x + 1, y + 1, true, false);
  }
  void Idle(int frames) {
    for (int i = 0; i < frames; ++i) golf_->Step(-5, -5, false, false);
  }
  // Every card in exactly one place.
  void ExpectAllCards() {
    CMiniGameGolf::Board& b = golf_->GetBoard();
    std::vector<int> seen = b.stock;
    seen.insert(seen.end(), b.foundation.begin(), b.foundation.end());
    for (int j = 0; j < 7; ++j)
      for (int k = 0; k < b.height[j]; ++k) seen.push_back(b.column[j][k]);
    if (golf_->GetDrawnCard() >= 0) seen.push_back(golf_->GetDrawnCard());
    std::sort(seen.begin(), seen.end());
    ASSERT_EQ(seen.size(), 54u);
    for (int i = 0; i < 54; ++i) ASSERT_EQ(seen[i], i);
  }
  CAllMiniGame holder_{nullptr, nullptr, 2};
  CMiniGameGolf* golf_ = nullptr;
};

TEST_F(GolfTest, DealsFoundationAndSevenColumnsOfFive) {
  CMiniGameGolf::Board& b = golf_->GetBoard();
  EXPECT_EQ(golf_->GetState(), CMiniGameGolf::kDeal);
  EXPECT_EQ(b.stock.size(), 18u);
  EXPECT_EQ(b.foundation.size(), 1u);
  for (int h : b.height) EXPECT_EQ(h, 5);
  ExpectAllCards();
  // The shuffle's top card is the foundation, the next ones fill column 0.
  crt::srand(11);
  std::vector<int> deck = cardgame::Shuffle(54);
  EXPECT_EQ(b.foundation[0], deck[53]);
  EXPECT_EQ(b.column[0][0], deck[52]);
  EXPECT_EQ(b.column[6][4], deck[18]);
}

TEST_F(GolfTest, AClickEndsAnAnimationOnlyFromItsSecondFrame) {
  // First frame: the click only advances the counter.
  golf_->Step(0, 0, true, false);
  EXPECT_EQ(golf_->GetState(), CMiniGameGolf::kDeal);
  EXPECT_EQ(golf_->GetAnim().counter, 1);
  // Second frame: a right click ends the deal at once.
  golf_->Step(0, 0, false, true);
  EXPECT_EQ(golf_->GetState(), CMiniGameGolf::kIdle);
  // Without clicks a draw takes its full length.
  Click(CMiniGameGolf::kStock);
  EXPECT_EQ(golf_->GetState(), CMiniGameGolf::kDraw);
  EXPECT_EQ(holder_.GetSoundRequest(), CAllMiniGame::kClick);
  Idle(CMiniGameGolf::kDrawLength - 1);
  EXPECT_EQ(golf_->GetState(), CMiniGameGolf::kDraw);
  Idle(1);
  EXPECT_EQ(golf_->GetState(), CMiniGameGolf::kIdle);
  EXPECT_EQ(golf_->GetBoard().stock.size(), 17u);
  ExpectAllCards();
}

TEST_F(GolfTest, OnlyPlayableLastCardsMoveAndTheEndsSoundOnce) {
  Idle(CMiniGameGolf::kDealLength);
  CMiniGameGolf::Board& b = golf_->GetBoard();
  // Build a small end game: one card left in column 0 and 1, stock empty.
  for (int j = 0; j < 7; ++j) b.height[j] = 0;
  b.stock.clear();
  b.foundation = {12};  // king of suit 0
  b.column[0][0] = 13;  // ace of suit 1: plays on the king
  b.column[0][1] = 5;   // six: not on the king
  b.height[0] = 2;
  // A covered or unplayable card is not a hit.
  EXPECT_EQ(golf_->HitTest(0, 0), -1);
  Click(2 + 1);  // the six, last card of column 0
  EXPECT_EQ(golf_->GetState(), CMiniGameGolf::kIdle);
  b.height[0] = 1;  // now the ace is last
  Click(2);
  EXPECT_EQ(golf_->GetState(), CMiniGameGolf::kMove);
  Idle(CMiniGameGolf::kMoveLength);
  EXPECT_EQ(golf_->GetClearFlag(), 1);
  EXPECT_EQ(holder_.GetSoundRequest(), CAllMiniGame::kClear);
  EXPECT_EQ(golf_->FoundationCard(), 13);
  // After the clear no move is accepted.
  b.height[0] = 1;
  b.column[0][0] = 1;
  Click(2);
  Idle(CMiniGameGolf::kMoveLength);
  EXPECT_EQ(b.height[0], 1);
  EXPECT_EQ(golf_->FoundationCard(), 13);

  // Game over: the last stock card leaves nothing playable.
  golf_->Start();
  Idle(CMiniGameGolf::kDealLength);
  for (int j = 0; j < 7; ++j) b.height[j] = 0;
  b.foundation = {0};
  b.stock = {20};  // eight of suit 1
  b.column[3][0] = 4;  // five: not on an eight
  b.height[3] = 1;
  Click(CMiniGameGolf::kStock);
  Idle(CMiniGameGolf::kDrawLength);
  EXPECT_EQ(golf_->FoundationCard(), 20);
  EXPECT_EQ(golf_->GetGameOverFlag(), 1);
  EXPECT_EQ(holder_.GetSoundRequest(), CAllMiniGame::kGameOver);
}

TEST_F(GolfTest, SeededGamesPlayToAnEndWithEveryCardAccountedFor) {
  for (unsigned seed : {1u, 2u, 3u, 4u, 5u}) {
    crt::srand(seed);
    golf_->Start();
    for (int frame = 0; frame < 5000 && !golf_->GetClearFlag() && !golf_->GetGameOverFlag(); ++frame) {
      CMiniGameGolf::Board& b = golf_->GetBoard();
      int target = CMiniGameGolf::kStock;
      for (int j = 0; j < 7; ++j)
        if (b.height[j] > 0 && CMiniGameGolf::Playable(b.column[j][b.height[j] - 1], golf_->FoundationCard()))
          target = 2 + j * 5 + b.height[j] - 1;
      if (golf_->GetState() == CMiniGameGolf::kIdle) Click(target);
      else Idle(1);
      ExpectAllCards();
    }
    EXPECT_TRUE(golf_->GetClearFlag() || golf_->GetGameOverFlag()) << seed;
    // Clicks anywhere, even outside the window, after the end change nothing.
    CMiniGameGolf::Board before = golf_->GetBoard();
    for (int x : {-100, 0, 300, 5000}) golf_->Step(x, -x, true, true);
    EXPECT_EQ(golf_->GetBoard().stock, before.stock);
    EXPECT_EQ(golf_->GetBoard().foundation, before.foundation);
  }
}

TEST_F(GolfTest, PrintWithoutPicturesDrawsNothingAndKeepsPlaying) {
  for (int frame = 0; frame < 60; ++frame) {
    golf_->Step(400, 300, frame % 7 == 0, false);
    EXPECT_EQ(golf_->Print(), -1);
  }
  ExpectAllCards();
}

}  // namespace
