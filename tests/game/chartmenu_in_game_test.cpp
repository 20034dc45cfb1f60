// The flow-chart menu (mode 34) inside the game: its extension chunk in a
// saved game, and script functions through the game's function table.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "chart_game.h"
#include "mode/chartmenu_fixture.h"
#include "savedata/savedatafile.h"

namespace chartmenu_test {
namespace {

class ChartInGameTest : public ChartMenuFixture<charttest::ChartGame> {};

// A game saved after a branch and loaded again shows the branch taken and
// the nodes opened: the extension chunk of mode 34 travels in the slot.
TEST_F(ChartInGameTest, SavedGameCarriesTheBranches) {
  WriteList("game", {{"selectchartIsDefault", "1"}, {"autoExtDataMode1", "selectchart"}});
  CCommonChartMenu& menu = AtNode2({{"useSlotOnFunction", "1"}});
  int args[2] = {4, 0};
  menu.Function(4, 2, args);  // node 4 closed
  ASSERT_EQ(menu.Slots().GetFlag(1), 1);
  CCommonDataFile slot(game_->Roles());
  ASSERT_EQ(slot.Save(1), 0);

  menu.NewGame();
  menu.Function(4, 1, args);
  EXPECT_EQ(menu.Slots().GetFlag(1), 0);
  ASSERT_GE(slot.Load(1), 0);
  EXPECT_EQ(menu.Slots().GetFlag(1), 1);
  EXPECT_FALSE(menu.Slots().GetOpenBit(4));
  EXPECT_EQ(menu.LinkColor(1, 0), 1);
}

// Script calls reach the functions their use keys registered, and each
// leaves its trace; a function switched off is refused by the game's table.
TEST_F(ChartInGameTest, ScriptFunctionsThroughTheGame) {
  dir_->Write("spt/function.xtx", "setroute,0\r\ngetchartpercent,0\r\nsloton,0\r\n");
  const std::string trace = testsupport::Sjis("\n\nFunction動作しました\n\n");
  const struct {
    const char* setRoute;
    const char* slotOn;
  } cases[] = {{"1", "0"}, {"0", "1"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.setRoute);
    game_.reset();
    CCommonChartMenu& menu = Menu({{"useSetRouteFunction", c.setRoute}, {"useSlotOnFunction", c.slotOn}});
    game_->SetVar(kSlotVar, 3);
    menu.Slots().SetSeen(3, 0);  // the seen bits last across games
    host_->ClearDebugLines();
    const int item[1] = {2};
    game_->SystemFunction(0, 1, item);
    EXPECT_EQ(menu.Slots().GetSeen(3), c.setRoute[0] == '1' ? 2 : 0);
    const int close[2] = {2, 0};
    game_->SystemFunction(2, 2, close);
    EXPECT_EQ(menu.Slots().GetOpenBit(2), c.slotOn[0] == '0');
    const auto lines = host_->DebugLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), trace), lines.end());
  }
}

}  // namespace
}  // namespace chartmenu_test
