// The system menu (mode 13) inside the game: its added options become the
// game's short-cut rows, and the game's scene-mode word reaches the menu.
#include <gtest/gtest.h>

#include "game/floatingpart.h"
#include "game/modeflowpart.h"
#include "mode/systemmenu.h"
#include "startup_game.h"

namespace startup_test {
namespace {

TEST_F(StartupTest, SystemMenusAddedOptionsBecomeTheGamesShortCutRowsAndSceneModeReachesTheMenu) {
  WriteList("SystemMenu", MenuPairs("opt",
                                     {{"optionNumber", "11"},
                                      {"expOptionMode10", "15"},
                                      {"menu1button10AccelKey1", "E"},
                                      {"expOptionCommand11", "5"},
                                      {"menu1button11AccelKey1", "Q"}},
                                     11, 1));
  StartupGame& game = Game();
  game.Remake<CCommonSystemMenu>();
  game.PrepareModeTables();
  ASSERT_EQ(game.Floating().GetShortCutRowCount(), 2);
  EXPECT_EQ(game.Floating().GetShortCutRow(0)->key, 'E');
  EXPECT_EQ(game.Floating().GetShortCutRow(0)->target, 15);
  EXPECT_EQ(game.Floating().GetShortCutRow(1)->key, 'Q');
  EXPECT_EQ(game.Floating().GetShortCutRow(1)->action, 5);
  EXPECT_EQ(game.Floating().GetShortCutRow(1)->target, 0);

  game.Modes().SetSystemMenuSceneMode(1);
  game.EnterMode(CCommonSystemMenu::kModeNumber);
  EXPECT_EQ(game.Mode<CCommonSystemMenu>()->GetSceneMode(), 1);
  game.Modes().SetSystemMenuSceneMode(0);
  EXPECT_EQ(game.Mode<CCommonSystemMenu>()->GetSceneMode(), 0);
}

}  // namespace
}  // namespace startup_test
