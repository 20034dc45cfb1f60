// The mini-game holder and base: the factory, the sound request, the picture
// sets, a visit's calls and the release order.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "graphics/picture.h"
#include "standin_game.h"

namespace minigame_test {
namespace {

using Log = std::vector<std::string>;

class AllMiniGameTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetControl(); }
  CAllMiniGame holder_{nullptr, nullptr, 4, StandInTypes()};
};

TEST_F(AllMiniGameTest, CreateGameAppendsOnlyGamesItCanMake) {
  struct Case {
    int type, result, count;
  };
  // Type 0 has a line, type 3 none; 10 and -1 lie outside the types.
  const Case cases[] = {{10, 0, 0}, {-1, 0, 0}, {3, 0, 0}, {0, 1, 1}, {0, 1, 2}};
  for (const Case& c : cases) {
    EXPECT_EQ(holder_.CreateGame(c.type), c.result) << c.type;
    EXPECT_EQ(holder_.GetCount(), c.count) << c.type;
  }
  EXPECT_EQ(holder_.AddEmptyGame(), 1);
  EXPECT_EQ(holder_.CreateGame(0), 1);
  EXPECT_EQ(holder_.GetCount(), 4);
  // Full.
  EXPECT_EQ(holder_.CreateGame(0), 0);
  EXPECT_EQ(holder_.AddEmptyGame(), 0);
  EXPECT_EQ(holder_.GetCount(), 4);
  EXPECT_EQ(Control().made, 3);
  EXPECT_EQ(holder_.GetGame(2), nullptr);
  EXPECT_NE(holder_.GetGame(3), nullptr);
  // The engine's own table makes type 0 (Puzzle9) but nothing above 9.
  CAllMiniGame plain(nullptr, nullptr, 32);
  EXPECT_EQ(plain.CreateGame(0), 1);
  EXPECT_EQ(plain.CreateGame(10), 0);
  EXPECT_EQ(plain.GetCount(), 1);
}

TEST_F(AllMiniGameTest, WithoutACurrentGameNothingRuns) {
  holder_.CreateGame(0);
  holder_.AddEmptyGame();
  for (int current : {-1, 1, 2, 7}) {
    holder_.SetCurrentGame(current);
    Control().clear = 1;
    EXPECT_EQ(holder_.StartGame(), -1) << current;
    EXPECT_EQ(holder_.Calcu(), -1) << current;
    EXPECT_EQ(holder_.Print(), -1) << current;
    EXPECT_EQ(holder_.IsCleared(), 0) << current;
    EXPECT_EQ(holder_.IsGameOver(), 0) << current;
  }
  EXPECT_TRUE(Control().log.empty());
}

TEST_F(AllMiniGameTest, AVisitHandsOverThePicturesAndDealsAfresh) {
  CPicture p0(4, 4, 0), p1(4, 4, 0), p2(4, 4, 0), screen(8, 8, 0), work(8, 8, 0);
  holder_.CreateGame(0);
  holder_.CreateGame(0);
  CPicture* pictures[] = {&p0, &p1, &p2};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(holder_.SetPicture(pictures[i], i), 1);
  EXPECT_EQ(holder_.SetPicture(&p0, 3), 0);
  EXPECT_EQ(holder_.GetPicture(5), &p0);
  EXPECT_EQ(holder_.GetPicture(-1), &p0);
  holder_.SetScreenPicture(&screen);
  holder_.SetWorkPicture(&work);
  holder_.SetCurrentGame(1);
  EXPECT_EQ(holder_.StartGame(), -1);
  auto* game = static_cast<StandInGame*>(holder_.GetGame(1));
  EXPECT_EQ(game->Picture(2), &p2);
  EXPECT_EQ(game->Screen(), &screen);
  EXPECT_EQ(game->Work(), &work);
  Control().clear = Control().gameOver = 1;
  holder_.Calcu();
  EXPECT_EQ(holder_.IsCleared(), 1);
  EXPECT_EQ(holder_.IsGameOver(), 1);
  holder_.Print();
  // The flags stay until the next start.
  Control().clear = Control().gameOver = 0;
  holder_.Calcu();
  EXPECT_EQ(holder_.IsCleared(), 1);
  holder_.StartGame();
  EXPECT_EQ(holder_.IsCleared(), 0);
  EXPECT_EQ(holder_.IsGameOver(), 0);
  EXPECT_EQ(Control().log, (Log{"Init 1", "Calcu 1", "Print 1", "Calcu 1", "Init 1"}));
}

TEST_F(AllMiniGameTest, TheLastSoundRequestOfAFrameWinsAndEachFrameStartsWithNone) {
  holder_.CreateGame(0);
  holder_.SetCurrentGame(0);
  EXPECT_EQ(holder_.GetSoundRequest(), -1);
  Control().sounds = {CAllMiniGame::kGood, CAllMiniGame::kClear};
  holder_.Calcu();
  EXPECT_EQ(holder_.GetSoundRequest(), CAllMiniGame::kClear);
  Control().sounds = {};
  holder_.Calcu();
  EXPECT_EQ(holder_.GetSoundRequest(), -1);
  Control().sounds = {CAllMiniGame::kGameOver};
  holder_.Calcu();
  holder_.StartGame();
  EXPECT_EQ(holder_.GetSoundRequest(), -1);
}

TEST_F(AllMiniGameTest, PictureSetsHaveTheirDefaultsAndBoundedTables) {
  EXPECT_EQ(holder_.GetPictureSetCount(), 7);
  EXPECT_EQ(holder_.GetSoundCount(), 6);
  const char* sets[] = {"trump", "mahjong", "panel", "number", "arrow", "shogi", "go"};
  for (int i = 0; i < 7; ++i) EXPECT_STREQ(CAllMiniGame::GetPictureSetName(i), sets[i]);
  EXPECT_STREQ(CAllMiniGame::GetPictureSetName(15), "");
  EXPECT_EQ(CAllMiniGame::GetPictureSetName(16), nullptr);
  EXPECT_EQ(CAllMiniGame::GetPictureSetName(-1), nullptr);
  const char* sounds[] = {"click", "good", "bad", "start", "clear", "gameover"};
  for (int i = 0; i < 6; ++i) EXPECT_STREQ(CAllMiniGame::GetSoundName(i), sounds[i]);
  EXPECT_EQ(CAllMiniGame::GetSoundName(16), nullptr);

  struct Size {
    int index, w, h;
  };
  for (const Size& s : {Size{0, 96, 144}, Size{1, 16, 16}, Size{6, 16, 16}, Size{7, 16, 16}, Size{20, 16, 16},
                        Size{-1, 16, 16}}) {
    int w = 0, h = 0;
    holder_.GetCellSize(s.index, &w, &h);
    EXPECT_EQ(w, s.w) << s.index;
    EXPECT_EQ(h, s.h) << s.index;
  }
  holder_.SetCellSize(20, 5, 5);
  holder_.SetCellSize(3, 24, 30);
  int w = 0, h = 0;
  holder_.GetCellSize(3, &w, &h);
  EXPECT_EQ(w * 100 + h, 2430);
  holder_.SetSetFlag(16, 1);
  holder_.SetSetFlag(-1, 1);
  holder_.SetSetFlag(0, 1);
  EXPECT_EQ(holder_.GetSetFlag(0), 1);
  EXPECT_EQ(holder_.GetSetFlag(16), 0);
  CPicture sheet(4, 4, 0);
  holder_.SetSetPicture(16, &sheet);
  holder_.SetSetPicture(2, &sheet);
  EXPECT_EQ(holder_.GetSetPicture(16), nullptr);
  EXPECT_EQ(holder_.GetSetPicture(2), &sheet);
}

TEST_F(AllMiniGameTest, ReleaseRunsEachGamesReleaseThenDeletesItInOrder) {
  {
    CAllMiniGame holder(nullptr, nullptr, 32, StandInTypes());
    holder.CreateGame(0);
    holder.AddEmptyGame();
    holder.CreateGame(0);
  }
  EXPECT_EQ(Control().log,
            (Log{"Release 0", "Release 0", "Delete 0", "Release 1", "Release 1", "Delete 1"}));
}

}  // namespace
}  // namespace minigame_test
