// Mode 13, the system menu: its options and where each leads, the enable
// rules by opening mode and scene mode, the exit dialog, the appear
// animation and the default keys.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/allgraphics.h"
#include "mode/systemmenu.h"
#include "setup/random.h"
#include "startup_fixture.h"
#include "widget/commonbutton.h"
#include "widget/menupanel.h"

namespace startup_test {
namespace {

constexpr int kOptions = 9;

// The menu with the return flag as its leave left it.
class RecordingMenu : public CCommonSystemMenu {
 public:
  using CCommonSystemMenu::CCommonSystemMenu;
  void AtExit() override {
    CCommonSystemMenu::AtExit();
    returnFlag = static_cast<testsupport::FakeServices*>(game_.modeFlow)->GetReturnFlag();
  }
  int returnFlag = -1;
};

class SystemMenuTest : public StartupTest {
 protected:
  void SetUp() override {
    StartupTest::SetUp();
    testsupport::WriteDwq(*dir_, "sys/opt", 4 * 200, 40, 0xC0E020);
    testsupport::WriteDwq(*dir_, "sys/dlg", 4 * 100, 30, 0x2040C0);
  }
  // Nine options at (300, 100 + 50 c) without the appear animation unless
  // the extra keys ask; the dialog's buttons at (100, 0) and (300, 0) from
  // the dialog's origin (0, 500).
  void Write(const Pairs& extra, int options = kOptions) const {
    // The first of two equal keys counts: the test's keys go first.
    Pairs pairs = extra;
    pairs.insert(pairs.end(), {{"menuPrintType", "0"}, {"dialogX", "0"}, {"dialogY", "500"}});
    for (const char* b : {"dialogOk", "dialogCancel"}) {
      const std::string k = b;
      pairs.insert(pairs.end(), {{k + "Filename", "dlg"}, {k + "SizeX", "100"}, {k + "SizeY", "30"},
                                 {k + "ClickTime", "0"}, {k + "PrintY", "0"}});
    }
    pairs.push_back({"dialogOkPrintX", "100"});
    pairs.push_back({"dialogCancelPrintX", "300"});
    WriteList("SystemMenu", MenuPairs("opt", pairs, options, 1));
  }
  // The menu remade, opened from `opening` and entered; `frames` frames
  // run (enough for the options' own appear progress by default).
  CCommonSystemMenu* Open(int opening = 10, int scene = 0, int frames = 20) {
    StartupGame& game = Game();
    auto* menu = game.Remake<RecordingMenu>();
    menu->SetParameter(opening);
    menu->SetSceneMode(scene);
    game.EnterMode(CCommonSystemMenu::kModeNumber);
    game.RunFrames(frames);
    return menu;
  }
  int Enabled(int option) const {
    CCommonButton* b = game_->Mode<CCommonSystemMenu>()->GetPanel()->GetButton(option, 0);
    return b ? b->GetEnable() : -1;
  }
  // Clicks (x, y) and runs frames until a mode request.
  void ClickAt(int x, int y) {
    MoveTo(x, y);
    Game().RunFrame();
    Click(x, y);
    for (int i = 0; i < 4 && Game().ModeRequests().empty(); ++i) Game().RunFrame();
  }
};

TEST(SystemMenuRules, OptionCountStepAndDefaultKeys) {
  EXPECT_EQ(systemmenu::ClampOptionNumber(0), 1);
  EXPECT_EQ(systemmenu::ClampOptionNumber(9), 9);
  EXPECT_EQ(systemmenu::ClampOptionNumber(400), 20);
  // A time above 10000 frames still moves (and never divides by 0).
  EXPECT_EQ(systemmenu::AppearStep(20000, 1), 1);
  EXPECT_EQ(systemmenu::AppearStep(20, 1), 500);
  EXPECT_EQ(systemmenu::AppearStep(20, 0), 10000);
  EXPECT_EQ(systemmenu::AppearStep(0, 3), 10000);
  struct Case {
    int slots[3];
    int key;
    bool added;
    int after[3];
  };
  const Case cases[] = {
      {{-1, -1, -1}, 'S', true, {'S', -1, -1}},
      {{'X', 0, -1}, 'S', true, {'X', 'S', -1}},
      {{'X', 'S', 0}, 'S', false, {'X', 'S', 0}},
      {{'X', 'Y', 'Z'}, 'S', false, {'X', 'Y', 'Z'}},
  };
  for (const Case& c : cases) {
    int slots[3] = {c.slots[0], c.slots[1], c.slots[2]};
    EXPECT_EQ(systemmenu::AddDefaultKey(slots, c.key), c.added);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(slots[i], c.after[i]);
  }
}

TEST_F(SystemMenuTest, BuiltInOptionsAndAddedOnesFromTen) {
  Write({});
  CCommonSystemMenu* menu = Open();
  EXPECT_EQ(menu->GetOptionNumber(), 9);
  EXPECT_EQ(menu->GetPanel()->GetColumns(), 9);
  EXPECT_EQ(menu->GetOptionMode(9), 0);

  Write({{"optionNumber", "11"}, {"expOptionMode10", "15"}, {"expOptionCommand11", "6"}, {"expOptionMode9", "22"}},
        11);
  menu = Open();
  EXPECT_EQ(menu->GetOptionMode(9), 15);
  EXPECT_EQ(menu->GetOptionMode(8), 0);
  EXPECT_EQ(menu->GetOptionCommand(10), 6);
  // More options than the tables hold are held to 20.
  Write({{"optionNumber", "40"}}, 20);
  EXPECT_EQ(Open()->GetOptionNumber(), 20);
}

TEST_F(SystemMenuTest, DefaultKeysGoToFreeSlots) {
  Write({{"menu1button1AccelKey1", "Q"}, {"menu1button2AccelKey1", "L"}, {"menu1button3AccelKey1", "X"},
         {"menu1button3AccelKey2", "Y"}, {"menu1button3AccelKey3", "Z"}});
  CCommonSystemMenu* menu = Open();
  CMenuButtonPanel* panel = menu->GetPanel();
  EXPECT_EQ(panel->GetButton(0, 0)->GetAccelKey(0), 'Q');
  EXPECT_EQ(panel->GetButton(0, 0)->GetAccelKey(1), 'S');
  EXPECT_EQ(panel->GetButton(1, 0)->GetAccelKey(1), 0);  // 'L' already there
  EXPECT_EQ(panel->GetButton(2, 0)->GetAccelKey(2), 'Z');  // no free slot
  EXPECT_EQ(menu->GetOptionAccelKey(3), 32);
  EXPECT_EQ(menu->GetOptionAccelKey(7), 0);
  EXPECT_EQ(menu->GetOptionAccelKey(30), -1);

  Write({{"setDefaultShortCutFlag", "0"}});
  EXPECT_EQ(Open()->GetOptionAccelKey(0), 0);
}

TEST_F(SystemMenuTest, HideSkipAutoOnlyFromTheMessageAndChoiceScreens) {
  Write({});
  for (int opening : {10, 9, 4}) {
    Open(opening);
    const int expected = opening == 4 ? 0 : 1;
    for (int option : {3, 4, 6}) EXPECT_EQ(Enabled(option), expected) << opening << " " << option;
    EXPECT_EQ(Enabled(0), 1);
    EXPECT_EQ(Enabled(8), 1);
  }
}

TEST_F(SystemMenuTest, OptionsLeadToTheirModes) {
  struct Case {
    int option;
    int request;
    const char* notify;
    int returnFlag;  // -1: the mode is left without its leave step
  };
  const Case cases[] = {
      {0, 6, "NotifyMode 6 10", 0}, {1, 5, "NotifyMode 5 10", 0}, {2, 12, "NotifyMode 12 10", 0},
      {5, 7, "NotifyMode 7 10", -1}, {7, 10, nullptr, 1},          {3, 10, nullptr, 1},
      {4, 10, nullptr, 1},          {6, 10, nullptr, 1},
  };
  Write({});
  for (const Case& c : cases) {
    game_.reset();
    StartupGame& game = Game();
    game.SetModeFlag(10, 1);
    Open(10);
    Press(c.option);
    EXPECT_EQ(game.ModeRequests(), (std::vector<int>{c.request})) << c.option;
    if (c.notify) {
      EXPECT_TRUE(Called(c.notify)) << c.option;
    }
    // The story resumes where it was: the mode's leave set the return
    // flag, which the frame takes.
    EXPECT_EQ(game.Mode<RecordingMenu>()->returnFlag, c.returnFlag) << c.option;
    if (c.option == 4) {
      EXPECT_EQ(game.GetShiftSkipState(), 1);
    }
    if (c.option == 6) {
      EXPECT_EQ(game.GetSystemSetting(6), 1);
    }
  }
}

TEST_F(SystemMenuTest, ExitDialogCancelReturnsToTheStoryOkGoesToTheTitle) {
  Write({});
  CCommonSystemMenu* menu = Open();
  Press(CCommonSystemMenu::kExitOption);
  EXPECT_TRUE(menu->IsDialogOpen());
  EXPECT_TRUE(Game().ModeRequests().empty());
  ClickAt(310, 510);  // cancel
  EXPECT_EQ(Game().ModeRequests(), (std::vector<int>{10}));
  EXPECT_EQ(Game().Mode<RecordingMenu>()->returnFlag, 1);

  game_.reset();
  Write({});
  menu = Open();
  Press(CCommonSystemMenu::kExitOption);
  ClickAt(110, 510);  // ok
  EXPECT_EQ(Game().ModeRequests(), (std::vector<int>{4}));
  EXPECT_EQ(Game().Mode<RecordingMenu>()->returnFlag, 0);
}

TEST_F(SystemMenuTest, SceneModeLeavesForTheGalleryWithoutDialog) {
  Write({{"optionNumber", "10"}, {"expOptionMode10", "15"}}, 10);
  CCommonSystemMenu* menu = Open(10, 1);
  EXPECT_EQ(menu->GetSceneMode(), 1);
  for (int option : {0, 1, 9}) EXPECT_EQ(Enabled(option), 0) << option;
  Press(CCommonSystemMenu::kExitOption);
  EXPECT_FALSE(menu->IsDialogOpen());
  EXPECT_EQ(Game().ModeRequests(), (std::vector<int>{18}));
  // The request was consumed: the next entry is the story's menu.
  Game().EnterMode(CCommonSystemMenu::kModeNumber);
  EXPECT_EQ(menu->GetSceneMode(), 0);
}

TEST_F(SystemMenuTest, AppearAnimationEndsOrARightClickFinishesIt) {
  Write({{"menuPrintType", "1"}, {"menuPrintTime", "20"}});
  CCommonSystemMenu* menu = Open(10, 0, 1);
  EXPECT_FALSE(menu->IsShown());
  Game().RunFrames(5);
  EXPECT_FALSE(menu->IsShown());
  host_->InjectButton(1, true);
  host_->InjectButton(1, false);
  Game().RunFrame();
  EXPECT_TRUE(menu->IsShown());
  EXPECT_TRUE(Game().ModeRequests().empty());

  menu = Open(10, 0, 1);
  Game().RunFrames(40);
  EXPECT_TRUE(menu->IsShown());

  // Once the wipe is drawn whole (20 frames) the first click picks its
  // option, whatever the options' drawn delays and speeds.
  for (unsigned seed : {1u, 7u, 1234u}) {
    game_.reset();
    crt::srand(seed);
    menu = Open(10, 0, 20);
    EXPECT_TRUE(menu->IsShown()) << seed;
    Press(2);
    EXPECT_EQ(Game().ModeRequests(), (std::vector<int>{12})) << seed;
  }
}

// What the menu lies over: the game's screen as it was, through the
// filters, or the background picture of type 1 (drawn before the screen is
// kept, so the menu's back shows it and not the story under it).
TEST_F(SystemMenuTest, TheMenuLiesOverTheFilteredScreenOrItsBackground) {
  testsupport::WriteDwq(*dir_, "sys/sysbg", 800, 600, 0x405060);
  const struct {
    const char* what;
    Pairs keys;
    uint32_t expected;
  } cases[] = {
      {"the game's screen", {}, 0x123456},
      {"negated", {{"backScreenEffectNega", "1"}}, 0xEDCBA9},
      {"multiplied", {{"backScreenEffectMulti", "1"}, {"backScreenMultiR", "50"}, {"backScreenMultiG", "100"},
                      {"backScreenMultiB", "0"}}, 0x093400},
      {"the background picture", {{"backScreenType", "1"}, {"backScreenFileName", "sysbg"}}, 0x405060},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    game_.reset();
    Write(c.keys);
    Game();
    CAllGraphics::FillScreen(0x12, 0x34, 0x56);
    Open();
    EXPECT_EQ(Pixel(10, 10) & 0xFFFFFF, c.expected);
    EXPECT_EQ(Pixel(790, 590) & 0xFFFFFF, c.expected);
  }
}

TEST_F(SystemMenuTest, DelaysAndSpeedsFollowTheSharedGenerator) {
  Write({{"menuPrintType", "1"}, {"menuPrintTime", "20"}});
  StartupGame& game = Game();
  auto* menu = game.Remake<CCommonSystemMenu>();
  menu->SetParameter(10);
  crt::srand(1234);
  game.EnterMode(CCommonSystemMenu::kModeNumber);
  crt::srand(1234);
  for (int i = 0; i < kOptions; ++i) {
    const int delay = 20 * i / kOptions + crt::rand() % 3;
    const int speed = crt::rand() % 1800 + 900;
    EXPECT_EQ(menu->GetDelay(i), delay) << i;
    EXPECT_EQ(menu->GetSpeed(i), speed) << i;
  }
}

}  // namespace
}  // namespace startup_test
