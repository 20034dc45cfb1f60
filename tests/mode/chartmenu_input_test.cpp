// Mode 34's input: the confirmation dialog of a far jump, chart tabs,
// right-drag, the mini-map, drag scroll, the description window's switch,
// floating buttons and short-cuts, sounds and edit mode.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "chartmenu_services.h"
#include "mode/chartmenu.h"
#include "platform/files.h"
#include "graphics/screenbuffer.h"
#include "widget/buttoncode.h"
#include "widget/multistatebutton.h"
#include "widget/radiobuttongroup.h"

namespace chartmenu_test {
namespace {

constexpr uint32_t kDialog = 0x203040, kDialogButton = 0x60A0E0;

class ChartInputTest : public ChartMenuTest {
 protected:
  // The mouse as the window reports it: moves and buttons reach the game
  // at the start of the next frame.
  struct Pointer {
    platform::HeadlessBackend* host;
    void SetPos(int x, int y) const { host->InjectMouseMove(x, y); }
    void SetButton(int button, int down) const { host->InjectButton(button, down != 0); }
  };
  Pointer Mouse() const { return {host_}; }
  // One frame with the menu's calculation step; its result.
  int Frame() {
    int result = -1;
    game_->RunFrame([&] {
      result = menu_->Calcu();
      return -1;
    });
    return result;
  }
  // A click of `button` at (x, y) (press and release before the first
  // frame), then `frames` frames; the results of every frame but -1.
  std::vector<int> ClickAt(int x, int y, int button = 0, int frames = 6) {
    std::vector<int> results;
    Mouse().SetPos(x, y);
    Mouse().SetButton(button, 1);
    Mouse().SetButton(button, 0);
    for (int i = 0; i < frames; ++i)
      if (const int r = Frame(); r != -1) results.push_back(r);
    return results;
  }
  // The dialog at (20, 40); OK at (30, 90) and Cancel at (120, 90), 40 x 20.
  static Pairs DialogKeys() {
    // Nodes 1, 2 and 4 at x 50, 50 and 150 on the screen.
    Pairs keys = {{"slotAreaStartX", "-50"}, {"dialogX", "20"}, {"dialogY", "40"}, {"fileNameDialog", "dlg"}};
    for (const char* b : {"dialogOk", "dialogCancel"}) {
      const std::string k = b;
      keys.insert(keys.end(), {{k + "Filename", "dlgbutton"}, {k + "SizeX", "40"}, {k + "SizeY", "20"},
                               {k + "ClickTime", "0"}, {k + "PrintY", "50"}});
    }
    keys.push_back({"dialogOkPrintX", "10"});
    keys.push_back({"dialogCancelPrintX", "100"});
    return keys;
  }
  // The screen point of node n after scrolling it to the middle.
  platform::Point Show(int n) {
    menu_->SetScrollY(menu_->GetChart(menu_->ChartOf(n))->GetNodePos(n).y - 75);
    int x, y;
    menu_->NodeScreenPos(n, &x, &y);
    return {x, y};
  }
  void SetUp() override {
    ChartMenuTest::SetUp();
    testsupport::WriteDwq(*dir_, "sys/dlg", 160, 80, kDialog);
    testsupport::WriteDwq(*dir_, "sys/dlgbutton", 160, 20, kDialogButton);
  }
};

// A far jump asks first: Cancel leaves everything as it was, OK jumps and
// restores the state saved at the node.
TEST_F(ChartInputTest, FarJumpAsksAndCancelLeavesEverything) {
  CCommonChartMenu& menu = AtNode2(DialogKeys());
  const std::string slot1 = std::string(GetSaveFolder()) + "\\chart1\\slot1.dat";
  std::string before;
  ASSERT_TRUE(platform::ReadWholeFile(slot1, &before));
  const platform::Point p = Show(1);
  EXPECT_TRUE(ClickAt(p.x, p.y, 0, 1).empty());
  ASSERT_TRUE(menu.IsDialogShown());
  EXPECT_FALSE(menu.IsJumpRequested());
  // The whole frame is shown, not only what widgets mark: the dialog's
  // picture among it.
  CScreenBuffer::StartFrame();
  menu.Print();
  EXPECT_EQ(CScreenBuffer::CheckFullRedraw(), 1);
  const uint32_t* s = CScreenBuffer::GetBuffer();
  EXPECT_EQ(s[45 * 200 + 25] & 0xFFFFFF, kDialog);
  EXPECT_EQ(s[95 * 200 + 35] & 0xFFFFFF, kDialogButton);

  // While the dialog stands, a click on a node is no choice.
  const platform::Point next = Show(4);
  EXPECT_TRUE(ClickAt(next.x, next.y).empty());
  EXPECT_TRUE(menu.IsDialogShown());
  EXPECT_FALSE(menu.IsJumpRequested());

  EXPECT_TRUE(ClickAt(130, 95).empty());  // Cancel
  EXPECT_FALSE(menu.IsDialogShown());
  EXPECT_FALSE(menu.IsJumpRequested());
  menu.AtExit();
  EXPECT_EQ(game_->GetVar(kSlotVar), 2);
  EXPECT_EQ(game_->GetVar(kWorkVar), 2);
  EXPECT_EQ(game_->GetVar(5), 66);
  std::string after;
  ASSERT_TRUE(platform::ReadWholeFile(slot1, &after));
  EXPECT_EQ(after, before);

  // Asked again, OK jumps.
  const platform::Point again = Show(1);
  ClickAt(again.x, again.y, 0, 1);
  ASSERT_TRUE(menu.IsDialogShown());
  ClickAt(40, 95);
  EXPECT_TRUE(menu.IsJumpRequested());
  menu.AtExit();
  // Every variable as it was at node 1, the work variable's 0 among them.
  EXPECT_EQ(game_->GetVar(kSlotVar), 1);
  EXPECT_EQ(game_->GetVar(kWorkVar), 0);
  EXPECT_EQ(game_->GetVar(5), 55);

  // The right button is the dialog's cancel as well.
  CCommonChartMenu& other = AtNode2(DialogKeys());
  const platform::Point q = Show(1);
  ClickAt(q.x, q.y, 0, 1);
  ASSERT_TRUE(other.IsDialogShown());
  ClickAt(5, 5, 1);
  EXPECT_FALSE(other.IsDialogShown());
  EXPECT_FALSE(other.IsJumpRequested());
}

// A successor never asks; without "warningPrintFlag" a far jump does not
// either.
TEST_F(ChartInputTest, WhatAsks) {
  const struct {
    const char* warning;
    int node;
    bool asks;
  } cases[] = {{"1", 4, false}, {"1", 1, true}, {"0", 1, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.warning) + " " + std::to_string(c.node));
    Pairs keys = DialogKeys();
    keys.insert(keys.begin(), {"warningPrintFlag", c.warning});
    CCommonChartMenu& menu = AtNode2(keys);
    const platform::Point p = Show(c.node);
    ClickAt(p.x, p.y, 0, 1);
    EXPECT_EQ(menu.IsDialogShown(), c.asks);
    EXPECT_EQ(menu.IsJumpRequested(), !c.asks);
    EXPECT_EQ(menu.GetChosenNode(), c.node);
  }
}

// Right-drag moves a node in memory, kept inside the chart area; with
// "dontRightMove" it does not start.
TEST_F(ChartInputTest, RightDrag) {
  const struct {
    const char* dontMove;
    int toX, toY;
    int x, y;  // the node's chart position afterwards
  } cases[] = {
      {"0", 130, 95, 130, 95},
      {"0", -500, -500, 10, 5},      // half a cell from the top left
      {"0", 900, 9000, 190, 1855},   // from the right and the bottom
      {"1", 130, 95, 100, 100},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.dontMove) + " " + std::to_string(c.toX));
    CCommonChartMenu& menu = AtNode2({{"dontRightMove", c.dontMove}});
    menu.SetScrollY(0);
    Mouse().SetPos(100, 100);
    Mouse().SetButton(1, 1);
    Frame();
    EXPECT_EQ(menu.GetRightDragNode(), c.dontMove[0] == '0' ? 1 : -1);
    Mouse().SetPos(c.toX, c.toY);
    Frame();
    const platform::Point p = menu.GetChart(0)->GetNodePos(1);
    EXPECT_EQ(p.x, c.x);
    EXPECT_EQ(p.y, c.y);
    Mouse().SetButton(1, 0);
    Frame();
    EXPECT_EQ(menu.GetRightDragNode(), -1);
  }
  // The chart file is not written.
  std::string text;
  ASSERT_TRUE(platform::ReadWholeFile("chart\\chart1.xtx", &text));
  EXPECT_EQ(text, kChart);
}

// The mini-map at (150, 0), 40 x 100, its window without caps: clicks
// outside the window centre it there, inside they only take it; dragging
// it scrolls; "autoJumpMiniWindow" 0 never centres.
TEST_F(ChartInputTest, MiniMapClicksAndWindowDrag) {
  const Pairs mini = {{"miniMapBasePrintX", "150"}, {"miniMapBasePrintY", "0"}, {"miniMapPrintY", "0"},
                      {"miniMapSizeX", "40"},       {"miniMapSizeY", "100"},   {"miniMapWindowUpSize", "0"},
                      {"miniMapWindowDownSize", "0"}};
  CCommonChartMenu& menu = AtNode2(mini);
  menu.SetScrollY(0);
  ASSERT_EQ(menu.GetMiniWindowHeight(), 8);  // 100 x 150 / 1860
  Mouse().SetPos(160, 50);
  Mouse().SetButton(0, 1);
  EXPECT_EQ(Frame(), -1);
  EXPECT_EQ(menu.GetMiniMapState(), 1);
  EXPECT_EQ(menu.GetMiniWindowY(), 46);
  EXPECT_EQ(menu.GetScrollY(), 46 * 1860 / 100);
  Mouse().SetPos(160, 60);  // held: the window follows the mouse
  Frame();
  EXPECT_EQ(menu.GetMiniWindowY(), 56);
  EXPECT_EQ(menu.GetScrollY(), 56 * 1860 / 100);
  Mouse().SetPos(160, 900);  // clamped at the bottom
  Frame();
  EXPECT_EQ(menu.GetMiniWindowY(), 92);
  EXPECT_EQ(menu.GetScrollY(), 1710);
  Mouse().SetButton(0, 0);
  Frame();
  EXPECT_EQ(menu.GetMiniMapState(), 0);
  // Inside the window: taken where it is.
  menu.SetScrollY(56 * 1860 / 100);
  const int y = menu.GetMiniWindowY();
  ClickAt(160, y + 2, 0, 1);
  EXPECT_EQ(menu.GetMiniWindowY(), y);
  EXPECT_EQ(menu.GetMiniMapState(), 1);
  Mouse().SetButton(0, 0);
  Frame();

  Pairs keys = mini;
  keys.insert(keys.begin(), {"autoJumpMiniWindow", "0"});
  CCommonChartMenu& fixed = AtNode2(keys);
  fixed.SetScrollY(0);
  ClickAt(160, 50, 0, 1);
  EXPECT_EQ(fixed.GetMiniWindowY(), 0);
  EXPECT_EQ(fixed.GetMiniMapState(), 1);
  // Left of the map: no mini-map, a drag scroll of the chart.
  Mouse().SetButton(0, 0);
  Frame();
  ClickAt(149, 50, 0, 1);
  EXPECT_EQ(fixed.GetMiniMapState(), 2);
}

// Drag scroll with the left button on an empty place of the chart area,
// one pixel per pixel (1) or over the whole chart (3), reversed or not.
TEST_F(ChartInputTest, DragScroll) {
  constexpr uint32_t kCapture = 0xE0C0A0;
  testsupport::WriteDwq(*dir_, "sys/ta_capture", 4, 4, kCapture);
  const struct {
    const char* mode;
    const char* reverse;
    int scroll;  // after dragging 20 pixels up from scroll 500
  } cases[] = {{"1", "0", 520}, {"1", "1", 480}, {"3", "0", 500 + 20 * 1710 / 150},
               {"3", "1", 500 - 20 * 1710 / 150}, {"0", "0", 500}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.mode) + " " + c.reverse);
    CCommonChartMenu& menu = AtNode2({{"mainCaptureOk", c.mode}, {"captureReverse", c.reverse},
                                      {"capturePrintX", "2"}, {"capturePrintY", "3"}});
    menu.SetScrollY(500);
    Mouse().SetPos(50, 100);
    Mouse().SetButton(0, 1);
    Frame();
    EXPECT_EQ(menu.GetMiniMapState(), c.mode[0] == '0' ? 0 : 2);
    Mouse().SetPos(50, 80);
    Frame();
    EXPECT_EQ(menu.GetScrollY(), c.scroll);
    menu.Print();
    if (menu.GetMiniMapState() == 2) {
      // The capture picture at the mouse plus its offset.
      EXPECT_EQ(CScreenBuffer::GetBuffer()[(80 + 3) * 200 + 50 + 2] & 0xFFFFFF, kCapture);
    }
    Mouse().SetButton(0, 0);
    Frame();
    EXPECT_EQ(menu.GetMiniMapState(), 0);
  }
}

// Floating buttons: a decided button 0 opens the system menu, which comes
// back to mode 34; a pressed one keeps the mode. Short-cuts leave for their
// mode, 13 through the system menu's preparation.
TEST_F(ChartInputTest, FloatingButtonsAndShortCuts) {
  const struct {
    int floating, shortCut;
    int result;
    const char* note;
  } cases[] = {
      {MakeButtonCode(buttoncode::kDecided, 0, 0, 0, 0), -1, 13, "PrepareSystemMode 13 34"},
      {MakeButtonCode(buttoncode::kPressed, 0, 0, -1, 0), 13, -1, nullptr},
      {MakeButtonCode(buttoncode::kBusy, 0, 0, -1, 0), 13, -1, nullptr},
      {-1, 13, 13, "PrepareSystemMode 13 34"},
      {-1, 7, 7, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.result);
    CCommonChartMenu& menu = AtNode2({{"fadeOutTime", "0"}});
    game_->scripted_ = true;
    game_->floating_ = c.floating;
    game_->shortCut_ = c.shortCut;
    game_->ClearCalls();
    const platform::Point p = Show(4);
    Mouse().SetPos(p.x, p.y);
    EXPECT_EQ(Frame(), c.result);
    std::vector<std::string> notes;
    for (const std::string& line : game_->Calls())
      if (line.rfind("PrepareSystemMode", 0) == 0) notes.push_back(line);
    EXPECT_EQ(notes.size(), c.note ? 1u : 0u);
    if (c.note && !notes.empty()) {
      EXPECT_EQ(notes[0], c.note);
    }
    EXPECT_FALSE(menu.IsJumpRequested());
    EXPECT_EQ(menu.GetHoveredNode(), -1);  // the pointer step never ran
    game_->scripted_ = false;
  }
}

// Two charts with tabs at the bottom: a tab shows its chart, and back on
// the entry chart the current node stands in the middle again.
TEST_F(ChartInputTest, TabsChangeTheChart) {
  dir_->Write("chart/chart2.xtx", "1800\r\n@1001 1 50 900\r\n");
  Pairs keys = {{"chartListNumber", "2"}, {"savePrintChartFlag", "1"}, {"workVarName2", "shown"}};
  for (int c = 1; c <= 2; ++c)
    for (int v = 1; v <= 2; ++v) {
      const std::string k = "grow" + std::to_string(c) + "Button" + std::to_string(v);
      keys.insert(keys.end(), {{k + "PrintX", std::to_string(20 * (c - 1))}, {k + "PrintY", "140"},
                               {k + "SizeX", "20"}, {k + "SizeY", "10"}, {k + "ClickTime", "0"},
                               {k + "PrintMode", "0"}});
    }
  Menu();
  game_->SetVarNumber("shown", 20);
  CCommonChartMenu& menu = AtNode2(keys);
  menu.Slots().SetSeen(1001, 1);
  menu.Init();
  EXPECT_EQ(menu.GetDisplayedChart(), 0);
  ASSERT_EQ(menu.GetTabs()->GetItem(1)->GetEnable(), 1);
  ClickAt(25, 145);
  EXPECT_EQ(menu.GetDisplayedChart(), 1);
  EXPECT_EQ(game_->GetVar(20), 1);
  menu.SetScrollY(1000);
  ClickAt(5, 145);
  EXPECT_EQ(menu.GetDisplayedChart(), 0);
  EXPECT_EQ(game_->GetVar(20), 0);
  EXPECT_EQ(menu.GetScrollY(), 300 - 75);  // node 2 in the middle
  // The next visit starts on the chart last shown.
  ClickAt(25, 145);
  menu.Init();
  EXPECT_EQ(menu.GetDisplayedChart(), 1);
}

// The description window gives way to the mouse: up when the mouse comes
// within 64 pixels above the lower window, down again when it leaves 64
// pixels below the upper one.
TEST_F(ChartInputTest, DescriptionWindowSwitches) {
  testsupport::WriteDwq(*dir_, "sys/ta_chart_meswin1", 160, 10, 0x808080);
  // Up at y >= 140 - 64 = 76; down at y < 0 + 10 + 64 = 74.
  CCommonChartMenu& menu = AtNode2({{"lowerDescWindowPrintY", "140"}, {"upperDescWindowPrintY", "0"}});
  const struct {
    int y;
    bool upper;
  } steps[] = {{75, false}, {76, true}, {140, true}, {74, true}, {73, false}, {10, false}};
  for (const auto& s : steps) {
    Mouse().SetPos(5, s.y);
    Frame();
    EXPECT_EQ(menu.IsDescUpper(), s.upper) << s.y;
  }
}

// Hover and select sounds, and the wheel.
TEST_F(ChartInputTest, SoundsOnHoverAndChoice) {
  CCommonChartMenu& menu = AtNode2({{"slotAreaStartX", "-50"}, {"overSound", "3"}, {"selectSound", "5"},
                                    {"warningPrintFlag", "0"}});
  game_->ClearSounds();
  const platform::Point p = Show(4);
  Mouse().SetPos(p.x, p.y);
  Frame();
  Frame();  // still on it: no second sound
  EXPECT_EQ(game_->Sounds(), (std::vector<std::string>{"PlaySystemSe 2 0"}));
  ClickAt(p.x, p.y, 0, 1);
  EXPECT_EQ(game_->Sounds().back(), "PlaySystemSe 4 0");
  EXPECT_TRUE(menu.IsJumpRequested());
}

// Edit mode: the middle button writes the displayed chart and shows the
// message for 70 frames only when the file was written; the left button
// moves a node (unclamped); the charts were copied to "chart\bak" first.
TEST_F(ChartInputTest, EditMode) {
  CCommonChartMenu& menu = AtNode2({{"editMode", "2"}});
  const auto backups = platform::ListFolder("chart\\bak");
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_EQ(backups[0].rfind("chart1_", 0), 0u) << backups[0];
  menu.SetScrollY(0);
  Mouse().SetPos(100, 100);
  Mouse().SetButton(0, 1);
  Frame();
  EXPECT_EQ(menu.GetEditDragNode(), 1);
  Mouse().SetPos(-20, 110);
  Frame();
  EXPECT_EQ(menu.GetChart(0)->GetNodePos(1), (platform::Point{-20, 110}));
  menu.Print();  // the moved node's text
  Mouse().SetButton(0, 0);
  Frame();
  EXPECT_EQ(menu.GetEditDragNode(), -1);

  // A write that fails shows no message, leaves the file and says so.
  host_->ClearErrorLines();
  platform::FailWholeFileWrites(1);
  ClickAt(5, 5, 2, 1);
  EXPECT_EQ(menu.GetEditMessageCount(), 0);
  EXPECT_EQ(host_->ErrorLines(),
            std::vector<std::string>{"chart\\chart1.xtx is not saved: it cannot be written"});
  std::string text;
  ASSERT_TRUE(platform::ReadWholeFile("chart\\chart1.xtx", &text));
  EXPECT_EQ(text, kChart);

  ClickAt(5, 5, 2, 1);
  EXPECT_EQ(menu.GetEditMessageCount(), 70);
  ASSERT_TRUE(platform::ReadWholeFile("chart\\chart1.xtx", &text));
  EXPECT_NE(text.find("@1 1 -20 110 2 3 start"), std::string::npos) << text;
  menu.Print();
  for (int i = 0; i < 70; ++i) Frame();
  EXPECT_EQ(menu.GetEditMessageCount(), 0);
}

// A game folder where "chart\bak" cannot be made: no backups, the menu
// works on.
TEST_F(ChartInputTest, EditModeWithoutABackupFolder) {
  dir_->Write("chart/bak", "a file where the folder would be");
  CCommonChartMenu& menu = AtNode2({{"editMode", "2"}});
  EXPECT_EQ(menu.GetChartCount(), 1);
  Mouse().SetPos(5, 5);
  Frame();
  std::string text;
  ASSERT_TRUE(platform::ReadWholeFile("chart\\bak", &text));
  EXPECT_EQ(text, "a file where the folder would be");
  const auto lines = host_->ErrorLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "chart\\bak cannot be made: the charts are not backed up"),
            lines.end());
}

// Each function without arguments: a = 0, b = 1 for "sloton" and 0 for the
// others; none reaches outside the arrays.
TEST_F(ChartInputTest, ScriptFunctionsWithoutArguments) {
  constexpr int kAnswer = 14;
  Menu();
  game_->SetVarNumber("answer", kAnswer);
  CCommonChartMenu& menu = Menu({{"useSlotOnFunction", "1"}, {"useSlotOpenFunction", "1"}});
  game_->SetVar(kSlotVar, 2);
  menu.Slots().SetOpenBit(0, false);
  game_->SetVar(kAnswer, 77);
  for (int type = 0; type < CCommonChartMenu::kFunctionTypes; ++type) menu.Function(type, 0, nullptr);
  EXPECT_TRUE(menu.IsSeen(2));                     // "setroute" 0 on a node of size 1
  EXPECT_EQ(game_->GetVar(kAnswer), 1);            // "checkcompslot": node 2 all seen
  EXPECT_TRUE(menu.Slots().GetOpenBit(0));         // "sloton" 0 with b = 1
  EXPECT_EQ(game_->GetVar(kWorkVar), 0);           // "slotopen" put the work variable back
  EXPECT_TRUE(platform::FileExists(std::string(GetSaveFolder()) + "\\chart1\\slot2.dat"));
}

// "autoNextOn": a node whose one link leads into the next chart records and
// saves that chart's node too, and the next visit shows that chart.
TEST_F(ChartInputTest, AutoNextIntoTheNextChart) {
  dir_->Write("chart/chart1.xtx", "1800\r\n@1 1 100 100 1001\r\n");
  dir_->Write("chart/chart2.xtx", "1800\r\n@1001 1 50 100 1002\r\n@1002 1 50 300\r\n");
  CCommonChartMenu& menu = Menu({{"chartListNumber", "2"}, {"autoNextOn", "1"}});
  game_->SetVar(kSlotVar, 0);
  menu.SetCallArgs(0, nullptr);
  EXPECT_EQ(game_->GetVar(kSlotVar), 1);  // no link out of node 0: the first call
  game_->SetVar(kSlotVar, 1);
  menu.SetCallArgs(0, nullptr);
  EXPECT_EQ(game_->GetVar(kSlotVar), 1001);
  EXPECT_EQ(game_->GetVar(kWorkVar), 1001);
  EXPECT_EQ(menu.Slots().GetFlag(1), 1);
  EXPECT_TRUE(menu.IsSeen(1001));
  const std::string folder = std::string(GetSaveFolder());
  EXPECT_TRUE(platform::FileExists(folder + "\\chart1\\slot1.dat"));
  EXPECT_TRUE(platform::FileExists(folder + "\\chart2\\slot1001.dat"));
  menu.Init();
  EXPECT_EQ(menu.GetDisplayedChart(), 1);
  EXPECT_TRUE(menu.IsNext(1002));
}

// The jump's last steps: the chosen chart's "new" mark is acknowledged in
// its variable, and the skip-film flag is set; leaving without a choice
// does neither.
TEST_F(ChartInputTest, JumpAcknowledgesTheNewMarkAndSetsSkipFilm) {
  constexpr int kNewMarkVar = 15;
  Menu();
  game_->SetVarNumber("newchartflag", kNewMarkVar);
  CCommonChartMenu& menu =
      AtNode2({{"newMarkPrintFlag", "1"}, {"warningPrintFlag", "0"}, {"slotAreaStartX", "-50"}});
  game_->SetVar(kNewMarkVar, 0x4);
  menu.Init();
  ASSERT_EQ(menu.GetNewChartBits(), 1u);
  game_->ClearCalls();
  menu.AtExit();  // no choice
  EXPECT_EQ(game_->GetVar(kNewMarkVar), 0x4);
  const platform::Point p = Show(4);
  ClickAt(p.x, p.y, 0, 1);
  ASSERT_TRUE(menu.IsJumpRequested());
  menu.AtExit();
  EXPECT_EQ(game_->GetVar(kNewMarkVar), 0x5);
  int skips = 0;
  for (const std::string& line : game_->Calls()) skips += line == "SetSkipFilmFlag 1";
  EXPECT_EQ(skips, 1);
}

// A loaded game puts the menu at the node in the slot variable and, with
// "savePrintChartFlag", on the chart last shown; the end of the game leaves
// its trace.
TEST_F(ChartInputTest, ResetGameAndTheEndsTrace) {
  Menu();
  game_->SetVarNumber(testsupport::Sjis("ワークスロット番号２"), 20);
  CCommonChartMenu& menu = Menu({{"chartListNumber", "2"}});
  game_->SetVar(kSlotVar, 1002);
  menu.ResetGame();
  EXPECT_EQ(menu.GetCurrentNode(), 1002);
  EXPECT_EQ(menu.GetDisplayedChart(), 1);
  CCommonChartMenu& kept = Menu({{"chartListNumber", "2"}, {"savePrintChartFlag", "1"}});
  game_->SetVar(20, 0);
  kept.ResetGame();
  EXPECT_EQ(kept.GetDisplayedChart(), 0);

  host_->ClearDebugLines();
  game_->SetVar(kSlotVar, 0);
  kept.ExitGame();
  const auto lines = host_->DebugLines();
  const std::string trace = testsupport::Sjis("\n\nExitGame動作しました\n");
  EXPECT_NE(std::find(lines.begin(), lines.end(), trace), lines.end());
  EXPECT_FALSE(platform::FileExists(std::string(GetSaveFolder()) + "\\chart1\\slot0.dat"));
}

}  // namespace
}  // namespace chartmenu_test
