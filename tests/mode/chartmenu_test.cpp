// Mode 34, the flow-chart menu: its model (predicates, root flags, open
// charts, completion), its entry and counters, the slot files through the
// fake of the services, and its drawing on small pictures.
#include "mode/chartmenu.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "chartmenu_services.h"
#include "input/inputstatus.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "graphics/systempicture.h"
#include "platform/files.h"
#include "savedata/chartfile.h"
#include "savedata/savefolder.h"
#include "support/dwq_picture.h"
#include "widget/multistatebutton.h"
#include "widget/radiobuttongroup.h"

namespace chartmenu_test {
namespace {

TEST_F(ChartMenuTest, PredicatesRootsAndLooks) {
  CCommonChartMenu& menu = Menu();
  menu.Slots().SetSeen(1, 1);
  menu.Slots().SetSeen(3, 1);
  menu.Slots().SetSeen(4, 0xFF);
  game_->SetVar(kSlotVar, 1);
  game_->SetVar(kLabelVar, 0);
  menu.Init();
  CChartFile* chart = menu.GetChart(0);
  ASSERT_NE(chart, nullptr);
  EXPECT_EQ(chart->GetNodeFlag(1), 1);
  for (int n : {2, 3, 4}) EXPECT_EQ(chart->GetNodeFlag(n), 0) << n;
  EXPECT_EQ(chart->GetNodeState(3), kLabelVar);

  const struct {
    int node;
    bool open, seen, next, allSeen;
    CCommonChartMenu::Look look;
  } cases[] = {
      {1, true, true, false, true, CCommonChartMenu::kLookCurrent},
      {2, true, false, true, false, CCommonChartMenu::kLookCell},
      // The label's variable holds 0: closed although its open bit is set.
      {3, false, true, false, false, CCommonChartMenu::kLookGrey},
      // Nine sub-items count as eight: all seen.
      {4, true, true, false, true, CCommonChartMenu::kLookCell},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.node);
    EXPECT_EQ(menu.IsOpen(c.node), c.open);
    EXPECT_EQ(menu.IsSeen(c.node), c.seen);
    EXPECT_EQ(menu.IsNext(c.node), c.next);
    EXPECT_EQ(menu.IsAllSeen(c.node), c.allSeen);
    int zoom, opacity;
    EXPECT_EQ(menu.ButtonLook(c.node, &zoom, &opacity), c.look);
  }
  // Once the variable is set the node opens; a cleared open bit closes it.
  game_->SetVar(kLabelVar, 1);
  EXPECT_TRUE(menu.IsSelectable(3));
  menu.Slots().SetOpenBit(3, false);
  EXPECT_FALSE(menu.IsSelectable(3));

  // Zooms and opacities of the hovered and pulsing looks.
  int zoom, opacity;
  menu.SetHoveredNode(2);
  menu.ButtonLook(2, &zoom, &opacity);
  EXPECT_EQ(zoom, 140);
  EXPECT_EQ(opacity, 80);
  menu.SetHoveredNode(1);
  menu.ButtonLook(1, &zoom, &opacity);
  EXPECT_EQ(zoom, 120);
  EXPECT_EQ(opacity, 100);
  menu.SetHoveredNode(-1);
  menu.ButtonLook(2, &zoom, &opacity);
  EXPECT_EQ(zoom, 100);  // pulse at its start
  for (int i = 0; i < 20; ++i) menu.Calcu();
  menu.ButtonLook(2, &zoom, &opacity);
  EXPECT_EQ(zoom, 140);  // pulse at its peak, half a period on
}

TEST_F(ChartMenuTest, CompletionAndPercent) {
  const struct {
    int64_t a, b;
    int percent;
  } cases[] = {{1, 1000, 1}, {999, 1000, 99}, {1000, 1000, 100}, {0, 1000, 0}, {0, 0, 0}, {3, 4, 75}};
  for (const auto& c : cases) EXPECT_EQ(CCommonChartMenu::Percent(c.a, c.b), c.percent);

  CCommonChartMenu& menu = Menu();
  menu.Slots().SetSeen(2, 1);
  menu.Slots().SetSeen(3, 0x05);   // two of three
  menu.Slots().SetSeen(4, 0xFFF);  // bits beyond the size do not count
  menu.UpdateCompletion();
  // Sizes 1 + 1 + 3 + 8 = 13; seen 1 + 2 + 8 = 11.
  EXPECT_EQ(menu.GetSeenCount(0), 11);
  EXPECT_EQ(menu.GetChartPercent(0), 84);
  EXPECT_EQ(menu.GetTotalPercent(), 84);
}

TEST_F(ChartMenuTest, ChartsWithoutNodesAndOpenCharts) {
  // Three charts, one always open; charts 2 and 3 have no file.
  CCommonChartMenu& menu = Menu({{"chartListNumber", "3"}, {"basicChartNumber", "1"},
                                 {"chartOpenVar", "open"}});
  game_->SetVar(kOpenVar, 0x2);
  EXPECT_TRUE(menu.IsChartOpen(0));
  EXPECT_FALSE(menu.IsChartOpen(1));
  EXPECT_TRUE(menu.IsChartOpen(2));
  menu.UpdateCompletion();
  EXPECT_EQ(menu.GetChartPercent(1), 0);

  // Tabs exist for open charts and take a click where there is a choice.
  game_->SetVar(kSlotVar, 1);
  menu.Init();
  ASSERT_NE(menu.GetTabs(), nullptr);
  ASSERT_EQ(menu.GetTabs()->GetCount(), 3);
  EXPECT_EQ(menu.GetTabs()->GetItem(0)->GetExist(), 1);
  EXPECT_EQ(menu.GetTabs()->GetItem(0)->GetEnable(), 1);
  EXPECT_EQ(menu.GetTabs()->GetItem(1)->GetExist(), 0);
  EXPECT_EQ(menu.GetTabs()->GetItem(2)->GetExist(), 1);
  EXPECT_EQ(menu.GetTabs()->GetItem(2)->GetEnable(), 0);  // no nodes at all
  EXPECT_EQ(menu.GetTabs()->GetSelect(), 0);

  EXPECT_EQ(menu.GetNewChartBits(), 0u);  // no "new" marks unless asked for

  // "new" marks: on charts with a choice whose bit is not acknowledged.
  game_->SetVarNumber("newchartflag", kWorkVar + 5);
  CCommonChartMenu& marked = Menu({{"newMarkPrintFlag", "1"}});
  game_->SetVar(kWorkVar + 5, 0);
  marked.Init();
  EXPECT_EQ(marked.GetNewChartBits(), 1u);
  marked.Print();
  game_->SetVar(kWorkVar + 5, 1);
  marked.Init();
  EXPECT_EQ(marked.GetNewChartBits(), 0u);

  // Without the variable every chart is open.
  CCommonChartMenu& plain = Menu({{"chartListNumber", "3"}, {"basicChartNumber", "1"},
                                  {"chartOpenVar", "nosuchvar"}});
  EXPECT_TRUE(plain.IsChartOpen(1));
  // One chart without the key: open.
  EXPECT_TRUE(Menu().IsChartOpen(0));
}

TEST_F(ChartMenuTest, ImpossibleSettingsKeepSafeValues) {
  CCommonChartMenu& menu = Menu({{"chartListNumber", "0"}, {"chartBlockSize", "-3"},
                                 {"buttonMultiCount", "0"}, {"lineColorCount", "1"},
                                 {"miniMapSizeY", "0"}, {"miniWindowTime", "0"},
                                 {"miniButtonTime", "0"}});
  EXPECT_EQ(menu.GetChartCount(), 1);
  EXPECT_EQ(menu.GetBlockSize(), 1000);
  // A slot variable outside the nodes: no current node, chart 0.
  game_->SetVar(kSlotVar, 5000);
  menu.Init();
  EXPECT_EQ(menu.GetCurrentNode(), -1);
  EXPECT_EQ(menu.GetEntryChart(), 0);
  menu.SaveChartSlot(1);
  EXPECT_TRUE(platform::ListFolder(std::string(GetSaveFolder()) + "\\chart1").empty());
  for (int i = 0; i < 5; ++i) {
    menu.Calcu();
    menu.Print();
  }
  menu.ChangeChart(7);
  EXPECT_EQ(menu.GetDisplayedChart(), 0);
}

// Defaults computed from values at the ends of the 32-bit range wrap around
// (the sanitizer build stops on an overflow).
TEST_F(ChartMenuTest, ExtremeSettingsReadWithoutOverflow) {
  CCommonChartMenu& menu = Menu({{"slotAreaStartX", "-2147483648"}, {"slotAreaStartY", "-2147483647"},
                                 {"backPicNumberCommon", "2147483647"}, {"descFontSize", "2147483647"},
                                 {"miniMapSizeX1", "-2147483648"}, {"miniMapWindowSizeX", "8"},
                                 {"miniMapWindowUpSize", "-2147483648"}});
  menu.Init();
  menu.Calcu();
  menu.Print();
}

TEST_F(ChartMenuTest, SlotFilesThroughTheMenu) {
  CCommonChartMenu& menu = Menu();
  game_->SetVar(kSlotVar, 3);
  game_->SetVar(5, 55);
  menu.Slots().SetFlag(1, 2);
  menu.SaveChartSlot(1);
  const std::string path = std::string(GetSaveFolder()) + "\\chart1\\slot3.dat";
  ASSERT_TRUE(platform::FileExists(path));
  game_->SetVar(5, 0);
  menu.Slots().SetFlag(1, 0);
  menu.LoadChartSlot(3);
  EXPECT_EQ(game_->GetVar(5), 55);
  EXPECT_EQ(menu.Slots().GetFlag(1), 2);

  // The extension chunk as the save slots carry it; the seen and passed
  // files are written when the menu goes.
  menu.Slots().SetSeen(2, 1);
  menu.Release();
  std::string seen;
  ASSERT_TRUE(platform::ReadWholeFile(std::string(GetSaveFolder()) + "\\mita.dat", &seen));
  EXPECT_EQ(seen.size(), 1000u);
  EXPECT_EQ(seen[2], 1);
}

TEST_F(ChartMenuTest, LinkColours) {
  CCommonChartMenu& menu = Menu();
  game_->SetVar(kSlotVar, 2);
  game_->SetVar(kLabelVar, 1);
  menu.Slots().SetFlag(1, 2);  // link 1 of node 1 (to 3) taken last
  menu.Init();
  // Passed bits come from the side file.
  const std::string passed = std::string(1, '\0') + std::string(1, '\x01') + std::string(998, '\0');
  platform::WriteWholeFile(std::string(GetSaveFolder()) + "\\tsuka.dat", passed.data(), passed.size());
  menu.Slots().LoadPassedBits();
  EXPECT_EQ(menu.LinkColor(1, 0), 2);  // passed
  EXPECT_EQ(menu.LinkColor(1, 1), 1);  // taken last
  EXPECT_EQ(menu.LinkColor(3, 0), 3);  // any other
  EXPECT_EQ(menu.LinkColor(2, 0), 4);  // current to next
  menu.SetHoveredNode(4);
  EXPECT_EQ(menu.LinkColor(2, 0), 5);
}

TEST_F(ChartMenuTest, ParallaxAndVisibility) {
  // A chart of at least 1800 + 60 on a screen of 150 with two back
  // pictures: the lower one shows at the bottom of the chart.
  constexpr uint32_t kLowerBack = 0x203010;
  testsupport::WriteDwq(*dir_, "sys/chart_back1_2", 200, 150, kLowerBack);
  CCommonChartMenu& menu = Menu({{"debugDontPrintButton", "1"}});
  game_->SetVar(kSlotVar, 1);
  menu.Init();
  EXPECT_EQ(menu.GetChartHeight(), 1860);
  menu.SetScrollY(5000);
  EXPECT_EQ(menu.GetScrollY(), 1710);
  EXPECT_EQ(menu.GetMiniWindowY(), 180 * 1710 / 1860);
  EXPECT_EQ(menu.GetMiniWindowHeight(), 180 * 150 / 1860);
  const uint32_t* s = CScreenBuffer::GetBuffer();
  menu.Print();
  EXPECT_EQ(s[5 * 200 + 190] & 0xFFFFFF, kLowerBack);
  menu.SetScrollY(-5);
  EXPECT_EQ(menu.GetScrollY(), 0);
  menu.Print();
  EXPECT_EQ(s[5 * 200 + 190] & 0xFFFFFF, kBack);
  // A back 1.5 screens high takes two pictures but moves only its own
  // height: at the chart's end the lower picture starts half a screen down.
  CCommonChartMenu& half = Menu({{"debugDontPrintButton", "1"}, {"backPicSizeY1", "225"}});
  half.Init();
  half.SetScrollY(5000);
  half.Print();
  EXPECT_EQ(s[5 * 200 + 190] & 0xFFFFFF, kBack);
  EXPECT_EQ(s[80 * 200 + 190] & 0xFFFFFF, kLowerBack);
  // One back picture: no parallax at any scroll.
  CCommonChartMenu& flat = Menu({{"debugDontPrintButton", "1"}, {"backPicNumber1", "1"}});
  flat.Init();
  flat.SetScrollY(1000);
  flat.Print();
  EXPECT_EQ(s[5 * 200 + 190] & 0xFFFFFF, kBack);

  int x, y;
  flat.SetScrollY(0);
  flat.NodeScreenPos(4, &x, &y);
  EXPECT_EQ(x, 200);
  EXPECT_EQ(y, 500);
  const struct {
    int x, y;
    bool visible;
  } cases[] = {{-20, 0, true}, {-21, 0, false}, {199, 0, true}, {200, 0, false},
               {0, -20, true}, {0, -21, false}, {0, 159, true}, {0, 160, false}};
  for (const auto& c : cases) EXPECT_EQ(flat.IsButtonVisible(c.x, c.y), c.visible) << c.x << "," << c.y;
}

// The back pictures and the centre picture of the displayed chart are the
// pictures of effect channels 0..3 and "centerPicLayer": the menu loads
// them there and draws what those pictures hold. With the back script
// providing them it loads nothing and draws the channels as they are. The
// tabs draw from work pictures 2, 3, ... of the pool.
TEST_F(ChartMenuTest, PicturesComeFromTheEffectChannels) {
  constexpr uint32_t kRepainted = 0x0A0B0C, kCentre = 0x336699, kScripted = 0x445566;
  auto repaint = [](CPicture* picture, uint32_t colour) {
    ASSERT_NE(picture, nullptr);
    std::fill_n(picture->GetPixelBuffer(), picture->GetWidth() * picture->GetHeight(), colour);
  };
  Pairs keys = {{"debugDontPrintButton", "1"}, {"grow1Button1Filename", "ta_chart_tab1"},
                {"grow1Button2Filename", "ta_chart_tab1"}};
  testsupport::WriteDwq(*dir_, "sys/ta_chart_tab1", 20, 10, 0x111111);
  CCommonChartMenu& menu = Menu(keys);
  const uint32_t* s = CScreenBuffer::GetBuffer();
  game_->SetVar(kSlotVar, 1);
  menu.Init();
  EXPECT_STREQ(game_->GetEffectPicture(0)->GetName(), "sys\\chart_back1_1");
  EXPECT_STREQ(game_->GetEffectPicture(1)->GetName(), "sys\\chart_back1_2");
  repaint(game_->GetEffectPicture(0), kRepainted);
  menu.Print();
  EXPECT_EQ(s[5 * 200 + 190] & 0xFFFFFF, kRepainted);
  ASSERT_NE(menu.GetTabs(), nullptr);
  EXPECT_EQ(menu.GetTabs()->GetPicture(0, 0), CPicturePool::GetPicture(2));
  EXPECT_STREQ(CPicturePool::GetPicture(2)->GetName(), "sys\\ta_chart_tab1");

  // The centre picture (fully masked here) covers the back.
  testsupport::WriteDwq(*dir_, "sys/ta_chart_center1", 200, 150, kCentre);
  keys.push_back({"centerPicLayer", "7"});
  CCommonChartMenu& centred = Menu(keys);
  centred.Init();
  EXPECT_STREQ(game_->GetEffectPicture(7)->GetName(), "sys\\ta_chart_center1");
  repaint(game_->GetEffectPicture(7), kRepainted + 1);
  centred.Print();
  EXPECT_EQ(s[5 * 200 + 190] & 0xFFFFFF, kRepainted + 1);

  // The back script's pictures: nothing loaded over them.
  game_->SetEffectPicture(0, std::make_unique<CPicture>(200, 150, 0));
  game_->SetEffectPicture(7, std::make_unique<CPicture>());
  repaint(game_->GetEffectPicture(0), kScripted);
  CCommonChartMenu& scripted =
      Menu({{"backScriptFlag", "1"}, {"picLoadBackScript", "1"}, {"debugDontPrintButton", "1"}});
  scripted.Init();
  EXPECT_STREQ(game_->GetEffectPicture(0)->GetName(), "");
  EXPECT_STREQ(game_->GetEffectPicture(5)->GetName(), "");
  scripted.Print();
  EXPECT_EQ(s[5 * 200 + 190] & 0xFFFFFF, kScripted);
}

TEST_F(ChartMenuTest, DrawnFrame) {
  CCommonChartMenu& menu = Menu({{"eraseButtonBack", "1"}});
  game_->SetVar(kSlotVar, 1);
  menu.Slots().SetSeen(1, 1);
  menu.Init();
  menu.SetScrollY(0);
  menu.Print();
  const uint32_t* s = CScreenBuffer::GetBuffer();
  const int w = CScreenBuffer::GetWidth();
  auto at = [&](int x, int y) { return s[y * w + x] & 0xFFFFFF; };
  // Node 1 (current) at (100, 100): its cell; far from everything: back.
  EXPECT_EQ(at(95, 100), kCell);
  EXPECT_EQ(at(190, 10), kBack);
  // The link from node 1 to node 2 runs down x = 100 below the button.
  EXPECT_NE(at(100, 130), kBack);
}

TEST_F(ChartMenuTest, DescriptionColumns) {
  CCommonChartMenu& menu = Menu();
  EXPECT_EQ(menu.DescColumn(2), 1);  // unseen, with '!' texts
  EXPECT_EQ(menu.DescColumn(3), 0);  // unseen, without
  menu.Slots().SetSeen(2, 1);
  EXPECT_EQ(menu.DescColumn(2), 0);  // seen
  // The window and its texts draw without a description window picture.
  game_->SetVar(kSlotVar, 1);
  menu.Init();
  menu.SetDescNode(2);
  menu.Print();
  menu.SetDescNode(4000);  // outside every chart: no texts
  menu.Print();
}

TEST_F(ChartMenuTest, SubItemMarks) {
  constexpr uint32_t kMark = 0xF0F0F0;
  testsupport::WriteDwq(*dir_, "sys/ta_compmark", 4, 4, kMark);
  // Node 3 (three sub-items, the first and third seen) at (100, 50).
  CCommonChartMenu& menu = Menu({{"slotAreaStartX", "-200"}, {"compPrintX", "0"},
                                 {"compPrintY", "0"}, {"compNextX", "5"}, {"eraseButtonBack", "0"}});
  game_->SetVar(kSlotVar, 4);
  game_->SetVar(kLabelVar, 1);
  menu.Slots().SetSeen(3, 0x05);
  menu.Init();
  menu.SetScrollY(250);
  menu.Print();
  const uint32_t* s = CScreenBuffer::GetBuffer();
  auto at = [&](int x, int y) { return s[y * 200 + x] & 0xFFFFFF; };
  EXPECT_EQ(at(91, 46), kMark);
  EXPECT_NE(at(96, 46), kMark);  // the unseen second item, faint
  EXPECT_NE(at(96, 46), kCell);
  EXPECT_EQ(at(101, 46), kMark);
  EXPECT_EQ(at(106, 46), kCell);  // no fourth mark
}


// The story's arrival: the first call of a new game, then a branch.
TEST_F(ChartMenuTest, ArrivalRecordsBranchAndWritesSlotFile) {
  CCommonChartMenu& menu = Menu();
  game_->SetVar(kSlotVar, 0);
  menu.SetCallArgs(0, nullptr);
  EXPECT_EQ(game_->GetVar(kSlotVar), 1);
  EXPECT_EQ(game_->GetVar(kWorkVar), 0);
  EXPECT_TRUE(menu.IsSeen(1));
  const std::string folder = std::string(GetSaveFolder()) + "\\chart1\\";
  EXPECT_TRUE(platform::FileExists(folder + "slot1.dat"));

  game_->SetVar(kWorkVar, 1);
  game_->SetVar(kSlotVar, 3);
  menu.SetCallArgs(0, nullptr);
  EXPECT_EQ(menu.Slots().GetFlag(1), 2);  // link 1 of node 1
  EXPECT_FALSE(menu.IsSeen(3));           // three sub-items: marked by "setroute"
  EXPECT_EQ(game_->GetVar(kWorkVar), 3);
  EXPECT_TRUE(platform::FileExists(folder + "slot3.dat"));

  // The game's end records the branch and keeps the title as return.
  game_->SetVar(kSlotVar, 4);
  menu.ExitGame();
  EXPECT_EQ(menu.Slots().GetFlag(3), 1);
  EXPECT_EQ(game_->GetVar(kWorkVar), 4);
  EXPECT_TRUE(platform::FileExists(folder + "slot4.dat"));
  // A new game clears the branches but not the open bits.
  menu.NewGame();
  EXPECT_EQ(menu.Slots().GetFlag(1), 0);
  EXPECT_TRUE(menu.Slots().GetOpenBit(2));
}

TEST_F(ChartMenuTest, ScriptFunctions) {
  constexpr int kAnswer = 14;
  Menu();
  game_->SetVarNumber("answer", kAnswer);
  CCommonChartMenu& menu = Menu({{"useSlotOnFunction", "1"}});
  game_->SetVar(kSlotVar, 3);
  game_->SetVar(kLabelVar, 1);
  // A node of three sub-items is all seen only after items 1, 2 and 3.
  for (int item : {1, 2, 3}) {
    EXPECT_FALSE(menu.IsAllSeen(3)) << item;
    menu.Function(2, 0, nullptr);
    EXPECT_EQ(game_->GetVar(kAnswer), 0);
    menu.Function(0, 1, &item);
  }
  EXPECT_TRUE(menu.IsAllSeen(3));
  menu.Function(2, 0, nullptr);
  EXPECT_EQ(game_->GetVar(kAnswer), 1);

  // Items 1..8 set their bit even past the node's size: the node counts as
  // reached, but no sub-item of it as seen. Others change nothing.
  menu.Slots().SetSeen(3, 0);
  const struct {
    int item, seen;
  } items[] = {{0, 0}, {9, 0}, {-1, 0}, {5, 0x10}, {8, 0x90}};
  for (const auto& c : items) {
    int item = c.item;
    menu.Function(0, 1, &item);
    EXPECT_EQ(menu.Slots().GetSeen(3), c.seen) << c.item;
  }
  EXPECT_TRUE(menu.IsSelectable(3));
  EXPECT_FALSE(menu.IsAllSeen(3));
  EXPECT_EQ(menu.GetSeenCount(0), 0);

  // "sloton": one argument opens, a second 0 closes.
  int args[2] = {2, 0};
  menu.Function(4, 2, args);
  EXPECT_FALSE(menu.Slots().GetOpenBit(2));
  menu.Function(4, 1, args);
  EXPECT_TRUE(menu.Slots().GetOpenBit(2));

  // "getchartpercent": total, chart 1, and charts outside the table.
  menu.Function(1, 0, nullptr);
  EXPECT_EQ(game_->GetVar(kAnswer), menu.GetTotalPercent());
  for (int bad : {-2, menu.GetChartCount() + 1}) {
    game_->SetVar(kAnswer, 77);
    menu.Function(1, 1, &bad);
    EXPECT_EQ(game_->GetVar(kAnswer), 77) << bad;
  }
  // "openchart" not above the basic chart number changes nothing.
  int chart = 0;
  game_->SetVar(kOpenVar, 0);
  menu.Function(3, 1, &chart);
  EXPECT_EQ(game_->GetVar(kOpenVar), 0);
}

// Node numbers from scripts and variables never reach outside the arrays.
TEST_F(ChartMenuTest, NodesOutsideTheRangeChangeNothing) {
  CCommonChartMenu& menu = Menu({{"useSlotOnFunction", "1"}, {"useSlotOpenFunction", "1"}});
  const int count = menu.GetChartCount() * menu.GetBlockSize();
  for (int bad : {-1, count, count + 5, -2147483647 - 1, 2147483647}) {
    SCOPED_TRACE(bad);
    menu.MarkNodeSeen(bad, 1);
    menu.SetNodeOpen(bad, 0);
    menu.RecordBranch(bad, 2);
    menu.RecordBranch(1, bad);
    int args[2] = {bad, 0};
    for (int type = 0; type < 6; ++type) menu.Function(type, 2, args);
    game_->SetVar(kSlotVar, bad);
    game_->SetVar(kWorkVar, bad);
    menu.SetCallArgs(0, nullptr);
    menu.ExitGame();
    menu.Init();
    menu.Calcu();
  }
  EXPECT_EQ(menu.Slots().GetFlag(1), 0);
}

// A successor goes on without a slot file; a far jump restores the state
// saved at the node.
TEST_F(ChartMenuTest, ChoosingSuccessorAndFarJump) {
  CCommonChartMenu& menu = Menu({{"warningPrintFlag", "0"}});
  game_->SetVar(kSlotVar, 0);
  game_->SetVar(5, 55);
  menu.SetCallArgs(0, nullptr);  // node 1 reached, its file holds 55
  game_->SetVar(5, 66);
  menu.Init();
  EXPECT_EQ(Click(*game_, menu, 4), -1);  // neither next nor reached
  EXPECT_FALSE(menu.IsJumpRequested());
  Click(*game_, menu, 2);
  ASSERT_TRUE(menu.IsJumpRequested());
  menu.AtExit();
  EXPECT_EQ(game_->GetVar(kSlotVar), 2);
  EXPECT_EQ(game_->GetVar(kWorkVar), 1);
  EXPECT_EQ(game_->GetVar(5), 66);  // no slot file read

  // Reached node 2, then back to node 1: the state of node 1 returns.
  menu.SetCallArgs(0, nullptr);
  menu.Init();
  Click(*game_, menu, 1);
  ASSERT_TRUE(menu.IsJumpRequested());
  menu.AtExit();
  EXPECT_EQ(game_->GetVar(kSlotVar), 1);
  EXPECT_EQ(game_->GetVar(5), 55);
  EXPECT_FALSE(menu.IsJumpRequested());
  menu.AtExit();  // nothing without a request
  EXPECT_EQ(game_->GetVar(kSlotVar), 1);
}

// The wheel scrolls by "scrollSpeed"; with "allClickOk" 0 a reached node
// that is no successor cannot be chosen.
TEST_F(ChartMenuTest, WheelAndAllClickOff) {
  CCommonChartMenu& menu = Menu({{"allClickOk", "0"}, {"scrollSpeed", "7"}});
  game_->SetVar(kSlotVar, 0);
  menu.SetCallArgs(0, nullptr);
  game_->SetVar(kWorkVar, 1);
  game_->SetVar(kSlotVar, 2);
  menu.SetCallArgs(0, nullptr);
  menu.Init();
  menu.SetScrollY(100);
  game_->GetMouseStatus()->SetWheel(-1);
  menu.Calcu();
  EXPECT_EQ(menu.GetScrollY(), 107);
  game_->GetMouseStatus()->SetWheel(0);
  Click(*game_, menu, 1);
  EXPECT_FALSE(menu.IsJumpRequested());
  EXPECT_EQ(menu.GetHoveredNode(), -1);
}

}  // namespace
}  // namespace chartmenu_test
