// The flow-chart menu's tests on the fake of the services: mode 34 made
// again over it on demand.
#pragma once

#include "chartmenu_fixture.h"
#include "chartmenu_scripted.h"
#include "mode/chartmenu.h"
#include "support/fake_services.h"

namespace chartmenu_test {

class ChartServices : public ScriptedChartGame<testsupport::FakeServices> {
 public:
  using ScriptedChartGame::ScriptedChartGame;
  CCommonChartMenu* Remake() { return MakeMode<CCommonChartMenu>(); }
};

class ChartMenuTest : public ChartMenuFixture<ChartServices> {};

}  // namespace chartmenu_test
