// The menu grid: counts, cell flags and setups per menu, overrides, the
// latch, the appear animations and hostile counts.
#include "widget/menupanel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "widget/buttoncode.h"
#include "widget/commonbutton.h"
#include "widget/commonbuttonsetup.h"
#include "widget_fixture.h"

namespace widget_test {
namespace {

constexpr uint32_t kScreen = 0x00101010u;

class MenuTest : public WidgetTest {
 protected:
  using Pairs = std::initializer_list<std::pair<const char*, const char*>>;
  void Make(Pairs pairs, int defaultBasic = 0) {
    list_ = List(pairs);
    setup_ = std::make_unique<CMenuButtonSetup>(list_.get(), defaultBasic);
    panel_ = std::make_unique<CMenuButtonPanel>(setup_.get(), nullptr);
  }
  // Which columns of menu m exist after SetMenu (m) and Init.
  std::vector<int> Shown(int m) {
    panel_->SetMenu(m);
    panel_->Init();
    std::vector<int> out;
    for (int c = 0; c < panel_->GetColumns(); ++c) out.push_back(panel_->GetButton(c, m)->GetExist());
    return out;
  }
  int32_t Step() {
    const int32_t code = panel_->Calcu(&input_, 5);
    NextFrame();
    return code;
  }
  // Every button of the grid draws an opaque 16 x 40 picture.
  void GivePictures() {
    picture_ = Load("btn", Pixels(64, 40, [](int, int) { return 0x00C0C0C0u; },
                                  [](int, int) { return uint8_t{255}; }),
                    true);
    for (int c = 0; c < panel_->GetColumns(); ++c) panel_->SetPicture(c, picture_, -1);
    Clear(kScreen);
    CScreenBuffer::ClearDirtyRects();
  }

  std::unique_ptr<CNameList> list_;
  std::unique_ptr<CMenuButtonSetup> setup_;
  std::unique_ptr<CMenuButtonPanel> panel_;
  CPicture* picture_ = nullptr;
};

TEST_F(MenuTest, FourBasicButtonsStackDownwards) {
  Make({{"basicButtonNumber", "4"}});
  EXPECT_EQ(setup_->GetMenus(), 1);
  ASSERT_EQ(panel_->GetColumns(), 4);
  EXPECT_EQ(Shown(0), (std::vector<int>{1, 1, 1, 1}));
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(std::string(setup_->GetSetup(c, 0)->GetName()), "menu1button" + std::to_string(c + 1));
    EXPECT_EQ(panel_->GetButton(c, 0)->GetPrintXY(), (platform::Point{0, 16 * c}));
    EXPECT_EQ(panel_->GetButton(c, 0)->GetEnable(), 1);
    EXPECT_EQ(setup_->GetBasicButtonSpecialMode(c), -1);
  }
  EXPECT_EQ(setup_->GetExtButtonSpecialMode(0), 0) << "no extension modes";
  EXPECT_EQ(panel_->GetMenuCount(), 1);
  // The default count comes from the screen.
  Make({}, 3);
  EXPECT_EQ(panel_->GetColumns(), 3);
}

TEST_F(MenuTest, ExtensionColumnShowsFromMenuTwo) {
  Make({{"basicButtonNumber", "4"}, {"extModeNumber", "1"}, {"extButtonNumber", "1"},
        {"extButtonSpecialMode1", "22"}, {"extModeCheckVarName", "check"}});
  EXPECT_EQ(setup_->GetMenus(), 2);
  EXPECT_EQ(Shown(0), (std::vector<int>{1, 1, 1, 1, 0}));
  EXPECT_EQ(Shown(1), (std::vector<int>{1, 1, 1, 1, 1}));
  EXPECT_EQ(setup_->GetExtButtonSpecialMode(0), 22);
  EXPECT_STREQ(panel_->GetExtModeCheckVarName(), "check");
  EXPECT_EQ(panel_->GetExtModeReturnVarName(), nullptr);
  panel_->SetMenu(7);
  EXPECT_EQ(panel_->GetMenu(), 1);
  panel_->SetMenu(-2);
  EXPECT_EQ(panel_->GetMenu(), 0);
}

TEST_F(MenuTest, CellFlagsInheritFromTheMenuBefore) {
  Make({{"basicButtonNumber", "2"}, {"extModeNumber", "2"},
        {"menu1Button2EnableFlag", "0"}, {"menu2Button1ExistFlag", "0"},
        {"menu2Button3EnableFlag", "0"}});
  struct Case {
    int column, menu, exist, enable;
  } cases[] = {
      {0, 0, 1, 1}, {1, 0, 1, 0}, {2, 0, 0, 0},
      {0, 1, 0, 0}, {1, 1, 1, 0}, {2, 1, 1, 0},
      {0, 2, 0, 0},  // hidden as in menu 2
      {1, 2, 1, 0},  // a basic column keeps the enable flag before it
      {2, 2, 1, 1},  // an extension column is enabled where it exists
      {3, 0, 0, 0}, {0, 3, 0, 0}, {-1, 0, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(setup_->GetExist(c.column, c.menu), c.exist) << c.column << " " << c.menu;
    EXPECT_EQ(setup_->GetEnable(c.column, c.menu), c.enable) << c.column << " " << c.menu;
  }
}

TEST_F(MenuTest, CellSetupsInheritPerMenu) {
  Make({{"basicButtonNumber", "2"}, {"extModeNumber", "2"}, {"menu1button1PrintX", "10"},
        {"menuNextX", "5"}, {"menuNextY", "20"}, {"menu1button1Filename", "ta_menu"},
        {"menu2button2PrintY", "99"}, {"menu2button1Filename", "ta_second"}});
  const struct {
    int column, menu;
    platform::Point at;
    const char* file;
  } cases[] = {
      {0, 0, {10, 0}, "ta_menu"},   {1, 0, {15, 20}, "ta_menu"},  {0, 1, {10, 0}, "ta_second"},
      {1, 1, {15, 99}, "ta_menu"},  {1, 2, {15, 99}, "ta_menu"},  {2, 2, {20, 40}, "ta_menu"},
  };
  EXPECT_EQ(panel_->GetColumns(), 3) << "one extension column by default";
  EXPECT_EQ(panel_->GetButton(3, 0), nullptr);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.column) + " " + std::to_string(c.menu));
    EXPECT_EQ(panel_->GetButton(c.column, c.menu)->GetPrintXY(), c.at);
    EXPECT_STREQ(panel_->GetFilename(c.column, c.menu), c.file);
  }
}

TEST_F(MenuTest, OverridesHideButCannotShow) {
  Make({{"basicButtonNumber", "3"}, {"extModeNumber", "1"}, {"menu2Button2ExistFlag", "0"}});
  panel_->SetExist(0, 0, -1);
  panel_->SetExist(1, 1, -1);
  panel_->SetExist(9, 0, -1);  // ignored
  EXPECT_EQ(Shown(0), (std::vector<int>{0, 1, 1, 0}));
  EXPECT_EQ(Shown(1), (std::vector<int>{0, 0, 1, 1}));
  panel_->SetEnable(2, 0, 1);
  Shown(1);
  EXPECT_EQ(panel_->GetButton(2, 1)->GetEnable(), 0);
  Shown(0);
  EXPECT_EQ(panel_->GetButton(2, 0)->GetEnable(), 1) << "only menu 2";
}

TEST_F(MenuTest, LatchUntilInit) {
  Make({{"basicButtonNumber", "3"}, {"menu1button1SizeX", "10"}, {"menu1button1SizeY", "10"},
        {"menu1button1PrintMode", "0"}, {"menu1button1ClickTime", "2"}});
  panel_->Init();
  MoveTo(60, 40);
  MoveTo(5, 15);
  Click();
  EXPECT_EQ(Step(), MakeButtonCode(buttoncode::kPressed, 0, -1, -1, -1)) << "no number yet";
  MoveTo(5, 25);
  Click();
  EXPECT_EQ(Step(), MakeButtonCode(buttoncode::kBusy, 0, -1, -1, -1));
  EXPECT_EQ(Step(), MakeButtonCode(buttoncode::kDecided, 0, -1, 1, -1));
  EXPECT_EQ(Step(), MakeButtonCode(buttoncode::kDecided, 0, -1, 1, -1));
  panel_->Init();
  Click();
  EXPECT_EQ(Step(), MakeButtonCode(buttoncode::kPressed, 0, -1, -1, -1));
  panel_->SetPanelEnable(0);
  EXPECT_EQ(Step(), buttoncode::kNothing);
}

TEST_F(MenuTest, AdjustFlagResetsAnimationsOnEnterAndLeave) {
  for (const char* flag : {"0", "1"}) {
    Make({{"basicButtonNumber", "2"}, {"menu1button1PrintMode", "0"}, {"menu1button1AnimePattern1", "4"},
          {"menuAnimeAdjustFlag", flag}});
    GivePictures();
    panel_->Init();
    MoveTo(60, 47);
    Step();
    for (int i = 0; i < 3; ++i) panel_->Print();
    ASSERT_EQ(panel_->GetButton(1, 0)->GetAnimeCounter(0), 3);
    MoveTo(2, 2);
    EXPECT_EQ(GetButtonCodeKind(Step()), buttoncode::kEntered);
    EXPECT_EQ(panel_->GetButton(1, 0)->GetAnimeCounter(0), *flag == '1' ? 0 : 3) << flag;
  }
}

TEST_F(MenuTest, FadingZoomFromNothingToFullSize) {
  Make({{"basicButtonNumber", "2"}, {"menu1button1SizeY", "40"}, {"menuNextX", "16"},
        {"menuNextY", "0"}, {"menu1button1PrintX", "4"}});
  GivePictures();
  panel_->Init();
  panel_->PrintAnime(0, 10, 7, 0, 0);
  EXPECT_EQ(CountChanged(kScreen), 0);
  panel_->PrintAnime(10, 10, 7, 0, 0);
  EXPECT_EQ(RowRun(5, kScreen), (std::pair<int, int>{4, 32}));
  EXPECT_EQ(At(4, 5), 0x00C0C0C0u);
  EXPECT_EQ(DrawnRect(kScreen), (std::vector<int>{4, 0, 36, 40}));
  // A time maximum of 0 counts as 1; unknown types draw nothing.
  Clear(kScreen);
  for (int type : {-3, 24, 100}) panel_->PrintAnime(5, 0, type, 0, 0);
  EXPECT_EQ(CountChanged(kScreen), 0);
  panel_->PrintAnime(5, 0, 7, 0, 0);
  EXPECT_EQ(DrawnRect(kScreen), (std::vector<int>{4, 0, 36, 40}));
}

TEST_F(MenuTest, WipeStaggersTheColumns) {
  Make({{"basicButtonNumber", "3"}, {"menu1button1SizeY", "40"}, {"menuNextX", "16"},
        {"menuNextY", "0"}});
  GivePictures();
  panel_->Init();
  // The stagger is 10000 / 7 = 1428: column 3 starts at 28.56 percent.
  auto rows = [&](int column) {
    int n = 0;
    for (int y = 0; y < 40; ++y) n += At(column * 16 + 8, y) != kScreen;
    return n;
  };
  panel_->PrintAnime(2855, 10000, 12, 0, 0);  // wipe 0, from the top
  EXPECT_EQ(rows(2), 0);
  Clear(kScreen);
  panel_->PrintWipeAnime(3000, 10000, 0);
  EXPECT_EQ(rows(2), 1);
  Clear(kScreen);
  panel_->PrintWipeAnime(5000, 10000, 0);
  EXPECT_EQ((std::vector<int>{rows(0), rows(1), rows(2)}), (std::vector<int>{35, 25, 15}));
  Clear(kScreen);
  panel_->PrintWipeAnime(8572, 10000, 0);
  EXPECT_EQ((std::vector<int>{rows(0), rows(1), rows(2)}), (std::vector<int>{40, 40, 40}));
}

// Types 2 and 4 turn the offset per column: two columns fly in from
// opposite sides; the turn moves with time.
TEST_F(MenuTest, FlyInFromTurnedDirections) {
  Make({{"basicButtonNumber", "2"}, {"menuNextX", "0"}, {"menuNextY", "0"},
        {"menu1button1PrintX", "24"}, {"menu1button1PrintY", "16"}});
  GivePictures();
  panel_->Init();
  panel_->PrintAnime(0, 10, 2, 20, 0);
  EXPECT_EQ(DirtyRects(), (std::vector<std::array<int, 4>>{{44, 16, 16, 16}, {5, 16, 16, 16}}));
  CScreenBuffer::ClearDirtyRects();
  panel_->PrintAnime(5, 10, 4, 20, 0);
  EXPECT_EQ(DirtyRects(), (std::vector<std::array<int, 4>>{{15, 16, 16, 16}, {34, 16, 16, 16}}));
  CScreenBuffer::ClearDirtyRects();
  panel_->PrintAnime(5, 10, 0, 0, 20);  // type 0 slides, all from one side
  EXPECT_EQ(DirtyRects(), (std::vector<std::array<int, 4>>{{24, 26, 16, 16}})) << "one place";
  // A turn of 6.28318 puts the second column at x + 17 (18 with a full 2 pi).
  CScreenBuffer::ClearDirtyRects();
  panel_->PrintAnime(2, 10, 4, 10, 27);
  EXPECT_EQ(DirtyRects(), (std::vector<std::array<int, 4>>{{7, 30, 16, 16}, {41, 3, 16, 16}}));
}

// Counts of any value: no negative or huge tables, and queries outside
// the grid answer nothing.
TEST_F(MenuTest, HostileCounts) {
  const struct {
    Pairs pairs;
    int columns, menus;
  } cases[] = {
      {{{"basicButtonNumber", "-4"}}, 0, 1},
      {{{"basicButtonNumber", "2"}, {"extModeNumber", "-1"}}, 2, 1},
      {{{"basicButtonNumber", "2"}, {"extModeNumber", "1"}, {"extButtonNumber", "-9"}}, 2, 2},
      {{{"basicButtonNumber", "2147483647"}}, 0, 1},
      {{{"basicButtonNumber", "129"}}, 0, 1},
      {{{"basicButtonNumber", "128"}}, 128, 1},
      {{{"basicButtonNumber", "4"}, {"extModeNumber", "2147483647"}}, 0, 1},
      {{{"basicButtonNumber", "100"}, {"extModeNumber", "1"}, {"extButtonNumber", "2147483647"}}, 0, 1},
  };
  for (const auto& c : cases) {
    Make(c.pairs);
    EXPECT_EQ(panel_->GetColumns(), c.columns);
    EXPECT_EQ(setup_->GetMenus(), c.menus);
    panel_->Init();
    panel_->Calcu(&input_);
    panel_->PrintAnime(3, 10, 13, 5, 5);
    panel_->PrintAnime(3, 10, 3, 5, 5);
    EXPECT_EQ(panel_->GetButton(c.columns, 0), nullptr);
    EXPECT_EQ(panel_->GetButton(0, c.menus), nullptr);
    EXPECT_EQ(panel_->GetButton(-1, 0), nullptr);
    EXPECT_EQ(setup_->GetBasicButtonSpecialMode(c.columns), 0);
    EXPECT_EQ(panel_->GetPicture(-1, 0), nullptr);
  }
}

}  // namespace
}  // namespace widget_test
