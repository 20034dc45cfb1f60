// The flow-chart menu's test fixture: a small chart of four nodes on a
// 200 x 150 screen, its pictures, the chart variables named in the double,
// and a click on a node as one calculation step. The double is the fake of
// the services for the mode's own tests and the game's test double where
// the menu runs inside the game (tests/game); each remakes mode 34.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "input/inputstatus.h"
#include "mode/chartmenu.h"
#include "savedata/chartfile.h"
#include "savedata/savefolder.h"
#include "support/dwq_picture.h"
#include "support/game_folder_test.h"
#include "support/text.h"

namespace chartmenu_test {

using testsupport::Pairs;

constexpr int kSlotVar = 10, kWorkVar = 11, kLabelVar = 12, kOpenVar = 13;
constexpr uint32_t kBack = 0x102030, kCell = 0xC08040, kNotLook = 0x405060;

// Node 1 leads to 2 and 3; both join in 4. Node 3 has three sub-items and
// the label "cond"; node 4 nine (more than the seen bits hold).
const char kChart[] =
    "1200\r\n"
    "@1 1 100 100 2 3 start\r\n"
    "@2 1 100 300 4 left !hidden\r\n"
    "@3 3 300 300 4 $cond right\r\n"
    "@4 9 200 500\r\n";

template <typename GameT>
class ChartMenuFixture : public testsupport::GameFolderTest {
 protected:
  void SetUp() override {
    GameFolderTest::SetUp();
    WriteList("game", {{"selectchartIsDefault", "1"}});
    dir_->Write("chart/chart1.xtx", kChart);
    // Atlas of 2 x 2 cells of 20 x 10, a not-seen button, a back.
    testsupport::WriteDwq(*dir_, "sys/ta_chart_button1_1", 40, 20, kCell);
    testsupport::WriteDwq(*dir_, "sys/ta_chart_button1_2", 40, 20, kCell);
    testsupport::WriteDwq(*dir_, "sys/ta_chart_button0", 8, 8, kNotLook);
    testsupport::WriteDwq(*dir_, "sys/chart_back1_1", 200, 150, kBack);
    testsupport::WriteDwq(*dir_, "sys/chart_back1_2", 200, 150, kBack);
  }
  void TearDown() override {
    game_.reset();
    CChartFile::SetChartDescMax(CChartFile::kDefaultDescMax);
    ResetSaveFolder();
    GameFolderTest::TearDown();
  }
  CCommonChartMenu& Menu(const Pairs& extra = {}) {
    // The test's own keys first: the first of a key wins.
    Pairs pairs = extra;
    pairs.insert(pairs.end(), {{"slotSizeX", "20"}, {"slotSizeY", "10"}, {"slotAreaStartX", "0"}});
    WriteList("selectchart", pairs);
    if (!game_) {
      game_ = std::make_unique<GameT>(*host_, 200, 150);
      game_->SetVarNumber(testsupport::Sjis("チャートスロット番号"), kSlotVar);
      game_->SetVarNumber(testsupport::Sjis("ワークスロット番号"), kWorkVar);
      game_->SetVarNumber("cond", kLabelVar);
      game_->SetVarNumber("open", kOpenVar);
      CreateSaveFolder();
    }
    menu_ = game_->Remake();
    return *menu_;
  }
  // Node 1 reached (variable 5 holding 55 then), then node 2 (66): node 1 is
  // a far jump from node 2.
  CCommonChartMenu& AtNode2(const Pairs& keys = {}) {
    CCommonChartMenu& menu = Menu(keys);
    game_->SetVar(kSlotVar, 0);
    game_->SetVar(5, 55);
    menu.SetCallArgs(0, nullptr);
    game_->SetVar(kWorkVar, 1);
    game_->SetVar(kSlotVar, 2);
    game_->SetVar(5, 66);
    menu.SetCallArgs(0, nullptr);
    menu.Init();
    return menu;
  }
  std::unique_ptr<GameT> game_;
  CCommonChartMenu* menu_ = nullptr;
};

template <typename GameT>
int Click(GameT& game, CCommonChartMenu& menu, int node) {
  menu.SetScrollY(menu.GetChart(0)->GetNodePos(node).y - 75);
  int x, y;
  menu.NodeScreenPos(node, &x, &y);
  CMouseStatus* mouse = game.GetMouseStatus();
  mouse->SetPos(x, y);
  mouse->SetButton(0, 1);
  const int result = menu.Calcu();
  mouse->SetButton(0, 0);
  mouse->Calcu();
  return result;
}

}  // namespace chartmenu_test
