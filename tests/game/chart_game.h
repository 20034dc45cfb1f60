// The test double with the game's mode 34 made again on demand: the double
// answers only the variable names a test gives it, so a test names the
// chart's variables first and then remakes the menu. A test may script the
// floating buttons and short-cut keys (mode/chartmenu_scripted.h).
#pragma once

#include "mode/chartmenu.h"
#include "mode/chartmenu_scripted.h"
#include "support/fake_game.h"

namespace charttest {

class ChartGame : public chartmenu_test::ScriptedChartGame<testsupport::FakeGame> {
 public:
  using ScriptedChartGame::ScriptedChartGame;
  CCommonChartMenu* Remake() { return RemakeMode<CCommonChartMenu>(CCommonChartMenu::kModeNumber); }
};

}  // namespace charttest
