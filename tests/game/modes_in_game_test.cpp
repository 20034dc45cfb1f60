// The modes inside the running game: what the game's mode factory makes of
// its switches, and modes that reach other modes through the game.
#include <gtest/gtest.h>

#include "game_test.h"
#include "mode/backlog.h"
#include "mode/selectplace.h"

namespace game_test {
namespace {

TEST_F(GameTest, TheFactoryMakesBothPlaceSelectionsWhenSwitchedOn) {
  WriteList("game", {{"selectplaceIsDefault", "1"}, {"selectplace2IsDefault", "1"}});
  WriteList("SelectPlace", {});
  testsupport::FakeGame game(*host_);
  auto* first = dynamic_cast<CCommonSelectPlace*>(game.GetMode(22));
  auto* second = dynamic_cast<CCommonSelectPlace*>(game.GetMode(35));
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(first->GetModeNumber(), 22);
  EXPECT_EQ(second->GetModeNumber(), 35);
  EXPECT_EQ(first->GetPlaceNumber(), 1);
}

TEST_F(GameTest, TheGameForwardsBackLogLinesColoursAndClearing) {
  WriteList("BackLog", {});
  testsupport::FakeGame game(*host_);
  auto* log = static_cast<CCommonBackLog*>(game.GetBackLog());
  ASSERT_NE(log, nullptr);
  game.AddBackLog("one", 10, 20, 30);
  game.AddBackLog("two", 40, 50, 60);
  game.AddBackLog(nullptr, 1, 1, 1);
  EXPECT_EQ(log->GetReadableCount(), 4);
  EXPECT_STREQ(log->GetText(3), "two");
  EXPECT_EQ(log->GetColor(3), 0x28323Cu);
  // (lines back, r, g, b): the picked choice of the choice mode.
  game.SetBackLogColor(2, 255, 128, 0);
  EXPECT_EQ(log->GetColor(2), 0xFF8000u);
  EXPECT_EQ(log->GetColor(3), 0x28323Cu);
  game.ClearBackLog();
  EXPECT_EQ(log->GetReadableCount(), 2);
  EXPECT_EQ(log->GetWriteIndex(), 2);
}

}  // namespace
}  // namespace game_test
