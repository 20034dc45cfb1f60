// Monte: neighbours, pairs and their sounds, closing the gaps with the refill
// in the same frame, and whole seeded games.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "minigame/allminigame.h"
#include "minigame/minigamemonte.h"
#include "setup/random.h"

namespace {

TEST(MonteRules, NeighboursIncludeDiagonalsButNotTwoApart) {
  struct Case {
    int a, b;
    bool neighbours;
  };
  const Case cases[] = {
      {0, 1, true},  {0, 6, true},  {0, 7, true},   {7, 0, true},  {8, 1, true},
      {0, 2, false}, {0, 12, false}, {0, 14, false}, {5, 6, false}, {6, 11, false}, {3, 3, false},
  };
  for (const Case& c : cases) EXPECT_EQ(CMiniGameMonte::Neighbours(c.a, c.b), c.neighbours) << c.a << " " << c.b;
}

class MonteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    crt::srand(5);
    ASSERT_EQ(holder_.CreateGame(5), 1);
    monte_ = static_cast<CMiniGameMonte*>(holder_.GetGame(0));
    monte_->Start();
  }
  void Click(int index, bool right = false) {
    int x = 0, y = 0;
    monte_->Position(index, &x, &y);
    monte_->Step(x + 1, y + 1, !right, right);
  }
  void Idle(int frames) {
    for (int i = 0; i < frames; ++i) monte_->Step(-5, -5, false, false);
  }
  void ExpectAllCards() {
    CMiniGameMonte::Board& b = monte_->GetBoard();
    std::vector<int> seen = b.stock;
    for (int c : b.cell)
      if (c >= 0) seen.push_back(c);
    std::sort(seen.begin(), seen.end());
    ASSERT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end());
    for (int c : seen) ASSERT_TRUE(c >= 0 && c < 52);
  }
  CAllMiniGame holder_{nullptr, nullptr, 2};
  CMiniGameMonte* monte_ = nullptr;
};

TEST_F(MonteTest, DiagonalPairIsRemovedTwoApartIsRefused) {
  Idle(CMiniGameMonte::kDealLength);
  ASSERT_EQ(monte_->GetState(), CMiniGameMonte::kIdle);
  CMiniGameMonte::Board& b = monte_->GetBoard();
  for (int i = 0; i < 24; ++i) b.cell[i] = i % 2 == 0 ? 51 - i : i;  // distinct, no pair with cell 0
  b.cell[0] = 2;        // three of suit 0
  b.cell[7] = 15;       // three of suit 1, diagonal to cell 0
  b.cell[2] = 28;       // three of suit 2, two cells from 0
  Click(0);
  EXPECT_EQ(monte_->GetSelected(), 0);
  Click(2);
  EXPECT_EQ(holder_.GetSoundRequest(), CAllMiniGame::kBad);
  EXPECT_EQ(monte_->GetSelected(), 0);
  EXPECT_EQ(monte_->GetState(), CMiniGameMonte::kIdle);
  Click(7);
  EXPECT_EQ(holder_.GetSoundRequest(), CAllMiniGame::kGood);
  EXPECT_EQ(monte_->GetState(), CMiniGameMonte::kRemove);
  Idle(CMiniGameMonte::kRemoveLength);
  EXPECT_EQ(b.cell[0], -1);
  EXPECT_EQ(b.cell[7], -1);
  EXPECT_EQ(monte_->GetState(), CMiniGameMonte::kIdle);
  // A right click drops a selection.
  Click(3);
  EXPECT_EQ(monte_->GetSelected(), 3);
  Click(3, true);
  EXPECT_EQ(monte_->GetSelected(), -1);
}

TEST_F(MonteTest, ClosingTheGapsStartsTheRefillInTheSameFrame) {
  Idle(CMiniGameMonte::kDealLength);
  CMiniGameMonte::Board& b = monte_->GetBoard();
  std::vector<int> kept;
  b.cell[1] = b.cell[10] = -1;  // two gaps; the stock still holds 28
  for (int c : b.cell)
    if (c >= 0) kept.push_back(c);
  std::vector<int> stock = b.stock;
  Click(CMiniGameMonte::kStock);
  EXPECT_EQ(monte_->GetState(), CMiniGameMonte::kClose);
  Idle(CMiniGameMonte::kCloseLength);
  // Closed in order, then refilled from the stock's top in the same frame.
  EXPECT_EQ(monte_->GetState(), CMiniGameMonte::kRefill);
  EXPECT_EQ(monte_->GetAnim().counter, 1);
  for (size_t i = 0; i < kept.size(); ++i) EXPECT_EQ(b.cell[i], kept[i]) << i;
  EXPECT_EQ(b.cell[22], stock[stock.size() - 1]);
  EXPECT_EQ(b.cell[23], stock[stock.size() - 2]);
  EXPECT_EQ(b.stock.size(), stock.size() - 2);
  Idle(2 + 15 - 1);
  EXPECT_EQ(monte_->GetState(), CMiniGameMonte::kIdle);
  ExpectAllCards();
}

TEST_F(MonteTest, SeededGamesPlayToAnEnd) {
  for (unsigned seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
    crt::srand(seed);
    monte_->Start();
    for (int frame = 0; frame < 20000 && !monte_->GetClearFlag() && !monte_->GetGameOverFlag(); ++frame) {
      ExpectAllCards();
      if (monte_->GetState() != CMiniGameMonte::kIdle) {
        Idle(1);
        continue;
      }
      CMiniGameMonte::Board& b = monte_->GetBoard();
      int pa = -1, pb = -1;
      for (int a = 0; a < 24 && pa < 0; ++a)
        for (int c = a + 1; c < 24; ++c)
          if (b.cell[a] >= 0 && b.cell[c] >= 0 && CMiniGameMonte::Neighbours(a, c) && b.cell[a] % 13 == b.cell[c] % 13) {
            pa = a;
            pb = c;
            break;
          }
      if (pa >= 0) {
        if (monte_->GetSelected() != pa) Click(pa);
        else Click(pb);
      } else {
        Click(CMiniGameMonte::kStock);
      }
    }
    EXPECT_TRUE(monte_->GetClearFlag() || monte_->GetGameOverFlag()) << seed;
    for (int x : {-100, 0, 300, 5000}) monte_->Step(x, -x, true, true);
    EXPECT_EQ(monte_->GetState() == CMiniGameMonte::kIdle || monte_->GetClearFlag() || monte_->GetGameOverFlag(), true);
  }
}

TEST_F(MonteTest, PrintWithoutPicturesKeepsPlaying) {
  for (int frame = 0; frame < 80; ++frame) {
    monte_->Step(frame * 13 % 900 - 50, frame * 7 % 700 - 50, frame % 5 == 0, frame % 11 == 0);
    EXPECT_EQ(monte_->Print(), -1);
    ExpectAllCards();
  }
}

}  // namespace
