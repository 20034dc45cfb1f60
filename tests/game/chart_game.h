// The test double with the game's mode 34 made again on demand: the double
// answers only the variable names a test gives it, so a test names the
// chart's variables first and then remakes the menu.
#pragma once

#include "mode/chartmenu.h"
#include "support/fake_game.h"

namespace charttest {

class ChartGame : public testsupport::FakeGame {
 public:
  using FakeGame::FakeGame;
  CCommonChartMenu* Remake() { return RemakeMode<CCommonChartMenu>(CCommonChartMenu::kModeNumber); }
};

}  // namespace charttest
