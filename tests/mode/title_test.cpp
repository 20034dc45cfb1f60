// Mode 4, the title screen: entry, the menu's decisions, the appear
// animation and the automatic restart.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "mode/nothing.h"
#include "mode/title.h"
#include "widget/menupanel.h"
#include "startup_fixture.h"

namespace startup_test {
namespace {

constexpr uint32_t kBackground = 0x203040, kButton = 0xE0C020;

class TitleTest : public StartupTest {
 protected:
  void SetUp() override {
    StartupTest::SetUp();
    testsupport::WriteDwq(*dir_, "sys/title_bg", 800, 600, kBackground);
    testsupport::WriteDwq(*dir_, "sys/tbutton", 4 * 200, 40, kButton);
  }
  // The list: `columns` buttons in each of `menus` menus, column c at
  // y = 100 + 50 c, and the extra keys.
  void WriteTitle(const Pairs& extra, int columns = 5, int menus = 1) const {
    WriteList("title", MenuPairs("tbutton", extra, columns, menus));
  }
  StartupGame& EnterTitle() {
    StartupGame& game = Game();
    game.EnterMode(CCommonTitle::kModeNumber);
    return game;
  }
  CCommonTitle* Title() const { return game_->Mode<CCommonTitle>(); }
};

TEST_F(TitleTest, EntryClearsTheGameVariablesAndShowsBackgroundAndFiveButtons) {
  WriteTitle({});
  StartupGame& game = Game();
  const int kept[] = {0, 99, 200, 299}, cleared[] = {100, 150, 199, 300, 999};
  for (int n : kept) game.SetVar(n, 7);
  for (int n : cleared) game.SetVar(n, 7);
  game.EnterMode(CCommonTitle::kModeNumber);
  for (int n : kept) EXPECT_EQ(game.GetVar(n), 7) << n;
  for (int n : cleared) EXPECT_EQ(game.GetVar(n), 0) << n;
  EXPECT_TRUE(Called("SetMiniGameAreaMode 4"));
  EXPECT_EQ(Title()->GetMenu()->GetColumns(), 5);
  game.RunFrame();
  EXPECT_EQ(Pixel(10, 10), kBackground);
  for (int c = 0; c < 5; ++c) EXPECT_EQ(Pixel(310, 110 + 50 * c), kButton) << c;
  EXPECT_EQ(Pixel(310, 360), kBackground);
}

TEST_F(TitleTest, NewGameStartsAfterTheExitWithTheReturnVariableUntouched) {
  WriteTitle({});
  StartupGame& game = EnterTitle();
  Press(0);
  EXPECT_EQ(game.newGames, (std::vector<std::pair<int, int>>{{-1, 0}}));
  EXPECT_TRUE(game.ModeRequests().empty());
  // The title takes no second decision from the latched button.
  game.RunFrames(5);
  EXPECT_EQ(game.newGames.size(), 1u);
}

TEST_F(TitleTest, AfterTheNewGameStartsTheTitleNeitherDrawsNorRestarts) {
  WriteTitle({{"autoRestartTime", "20"}});
  StartupGame& game = EnterTitle();
  Press(0);
  ASSERT_EQ(game.newGames.size(), 1u);
  CAllGraphics::FillScreen(1, 2, 3);
  game.RunFrames(30);
  EXPECT_EQ(Pixel(310, 110), 0x010203u) << "the story draws, not the title";
  EXPECT_TRUE(game.ModeRequests().empty());
  // Entered again, it is the title once more.
  game.EnterMode(CCommonTitle::kModeNumber);
  game.RunFrame();
  EXPECT_EQ(Pixel(310, 110), kButton);
}

TEST_F(TitleTest, LoadConfigurationExtrasAndQuit) {
  struct Case {
    int column;
    int request;
    const char* notify;
  };
  const Case cases[] = {{1, 5, "NotifyMode 5 4"}, {2, 12, "NotifyMode 12 4"}, {3, 15, nullptr}, {4, -1, nullptr}};
  for (const Case& c : cases) {
    WriteTitle({});
    game_.reset();
    StartupGame& game = EnterTitle();
    Press(c.column);
    if (c.request > 0) {
      EXPECT_EQ(game.ModeRequests(), (std::vector<int>{c.request})) << c.column;
      if (c.notify) {
        EXPECT_TRUE(Called(c.notify)) << c.column;
      }
    } else {
      game.RunFrames(3);
      EXPECT_EQ(game.closes, 1) << "the close request is posted once";
      EXPECT_TRUE(game.ModeRequests().empty());
    }
    EXPECT_TRUE(game.newGames.empty());
  }
}

TEST_F(TitleTest, WaitAndAppearAnimationAndAClickThatEndsThem) {
  WriteTitle({{"menuStartWaitTime", "30"}, {"menuStartEffectTime", "20"}, {"menuStartEffectType", "1"}});
  StartupGame& game = EnterTitle();
  EXPECT_FALSE(Called("SetMiniGameAreaMode 4"));
  game.RunFrames(29);
  EXPECT_EQ(Title()->GetMenuPhase(), 1);
  EXPECT_EQ(Pixel(310, 110), kBackground);
  game.RunFrames(11);  // 10 of 20 frames of the fade
  EXPECT_EQ(Title()->GetMenuPhase(), 2);
  const uint32_t half = Pixel(310, 110);
  EXPECT_NE(half, kBackground);
  EXPECT_NE(half, kButton);
  game.RunFrames(10);
  EXPECT_EQ(Title()->GetMenuPhase(), 0);
  EXPECT_TRUE(Called("SetMiniGameAreaMode 4"));
  game.RunFrame();
  EXPECT_EQ(Pixel(310, 110), kButton);

  // A click during the wait shows the finished menu at once.
  game_.reset();
  StartupGame& again = EnterTitle();
  again.RunFrames(5);
  Click(10, 10);
  again.RunFrame();
  EXPECT_EQ(Title()->GetMenuPhase(), 0);
  EXPECT_EQ(Pixel(310, 110), kButton);
}

TEST_F(TitleTest, AutomaticRestartDespiteMouseMovement) {
  WriteTitle({{"autoRestartTime", "600"}});
  StartupGame& game = EnterTitle();
  for (int frame = 1; frame < 600; ++frame) {
    if (frame % 7 == 0) MoveTo(frame % 800, frame % 600);
    game.RunFrame();
  }
  EXPECT_TRUE(game.ModeRequests().empty());
  game.RunFrame();
  EXPECT_EQ(game.ModeRequests(), (std::vector<int>{CCommonNothing::kModeNumber}));
}

TEST_F(TitleTest, EndOfTheBackScriptRestartsWhenAsked) {
  WriteTitle({{"backScriptFlag", "1"}, {"backScriptName", "tbg"}, {"scriptEndIsModeEnd", "1"},
              {"restartNextMode", "logo"}});
  StartupGame& game = EnterTitle();
  game.RunFrames(3);
  EXPECT_TRUE(game.ModeRequests().empty());
  EXPECT_TRUE(Called("PrintBackScript"));
  game.SetBackScriptResult(1);
  game.RunFrame();
  EXPECT_EQ(game.ModeRequests(), (std::vector<int>{2}));
}

TEST_F(TitleTest, SixthBasicButtonStartsWithMinusOneOrOpensItsMode) {
  for (const char* special : {"", "34"}) {
    Pairs extra = {{"basicButtonNumber", "6"}, {"extModeNumber", "1"}, {"extModeReturnVarName", "ret"}};
    if (*special) extra.push_back({"basicButtonSpecialMode6", special});
    WriteTitle(extra, 7, 2);
    game_.reset();
    StartupGame& game = Game();
    game.SetVarNumber("ret", 50);
    game.Remake<CCommonTitle>();
    game.EnterMode(CCommonTitle::kModeNumber);
    EXPECT_EQ(Title()->GetReturnVar(), 50);
    Press(5);
    if (*special) {
      EXPECT_EQ(game.ModeRequests(), (std::vector<int>{34}));
      EXPECT_TRUE(Called("NotifyMode 34 4"));
      EXPECT_TRUE(game.newGames.empty());
    } else {
      EXPECT_EQ(game.newGames, (std::vector<std::pair<int, int>>{{50, -1}}));
      EXPECT_EQ(game.GetVar(50), -1);
    }
  }
}

TEST_F(TitleTest, SecondMenuChosenByTheCheckVariableAndItsExtraButton) {
  WriteTitle({{"extModeNumber", "1"}, {"extModeCheckVarName", "chk"}, {"extModeReturnVarName", "ret"}}, 6, 2);
  StartupGame& game = Game();
  game.SetVarNumber("chk", 60);
  game.SetVarNumber("ret", 50);
  game.SetVar(60, 1);
  game.Remake<CCommonTitle>();
  game.EnterMode(CCommonTitle::kModeNumber);
  EXPECT_EQ(Title()->GetShownMenu(), 1);
  game.RunFrame();
  EXPECT_EQ(Pixel(310, 110 + 50 * 5), kButton) << "the extra button shows in the second menu";
  Press(5);
  EXPECT_EQ(game.newGames, (std::vector<std::pair<int, int>>{{50, 1}}));
  EXPECT_EQ(game.GetVar(50), 1);
}

TEST_F(TitleTest, PlayCountRisesOncePerRunHoweverOftenTheTitleIsEntered) {
  WriteTitle({});
  StartupGame& game = Game();
  EXPECT_EQ(game.GetPlayCount(), 0);
  game.EnterMode(CCommonTitle::kModeNumber);
  game.EnterMode(CCommonTitle::kModeNumber);
  EXPECT_EQ(game.GetPlayCount(), 1);
}

TEST_F(TitleTest, MissingListKeepsTheDefaults) {
  StartupGame& game = EnterTitle();
  CMenuButtonSetup* menu = Title()->GetMenuSetup();
  EXPECT_EQ(menu->GetBasicButtonNumber(), 5);
  EXPECT_EQ(menu->GetExtModeNumber(), 0);
  EXPECT_EQ(Title()->GetCheckVar(), -1);
  EXPECT_EQ(Title()->GetReturnVar(), -1);
  game.RunFrames(3);
  EXPECT_TRUE(game.ModeRequests().empty());
}

}  // namespace
}  // namespace startup_test
