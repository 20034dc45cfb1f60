// Mode 15, the extras menu: its rows, the appear animation and where each
// button leads.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "mode/omake.h"
#include "savedata/cglist.h"
#include "startup_fixture.h"
#include "widget/menupanel.h"

namespace startup_test {
namespace {

constexpr uint32_t kBackground = 0x102030, kButton = 0xC0E020;

class OmakeTest : public StartupTest {
 protected:
  void SetUp() override {
    StartupTest::SetUp();
    testsupport::WriteDwq(*dir_, "sys/title_bg2", 800, 600, kBackground);
    testsupport::WriteDwq(*dir_, "sys/obutton", 4 * 200, 40, kButton);
  }
  // `columns` buttons per row in `menus` rows, column c at y = 100 + 50 c.
  void WriteOmake(const Pairs& extra, int columns = 4, int menus = 1) const {
    WriteList("omake", MenuPairs("obutton", extra, columns, menus));
  }
  // The game with the variables named, the menu remade and entered.
  StartupGame& Enter() {
    StartupGame& game = Game();
    game.SetVarNumber("chk", 60);
    game.SetVarNumber("ret", 50);
    game.Remake<CCommonOmake>();
    game.EnterMode(CCommonOmake::kModeNumber);
    return game;
  }
  CCommonOmake* Omake() const { return game_->Mode<CCommonOmake>(); }
};

TEST_F(OmakeTest, UsableInTheFirstFrameWithoutAnimation) {
  WriteOmake({});
  StartupGame& game = Enter();
  EXPECT_TRUE(Called("SetMiniGameAreaMode 15"));
  EXPECT_EQ(Omake()->GetPhase(), 0);
  game.RunFrame();
  EXPECT_EQ(Pixel(10, 10), kBackground);
  for (int c = 0; c < 4; ++c) EXPECT_EQ(Pixel(310, 110 + 50 * c), kButton) << c;
}

TEST_F(OmakeTest, ButtonsLeadToTheirModes) {
  struct Case {
    Pairs extra;
    int column;
    int request;
    const char* notify;
  };
  const Case cases[] = {
      {{}, 0, CCommonOmake::kCGCharaMode, nullptr},
      {{}, 1, CCommonOmake::kSceneCharaMode, nullptr},
      {{}, 2, CCommonOmake::kMusicMode, nullptr},
      {{}, 3, CCommonOmake::kTitleMode, nullptr},
      // The gallery must know it returns here.
      {{{"autoCGCharaFlag", "1"}}, 0, CCommonOmake::kCGMode, "NotifyMode 17 15"},
      {{{"autoSceneCharaFlag", "1"}}, 1, CCommonOmake::kSceneMode, "NotifyMode 18 15"},
  };
  for (const Case& c : cases) {
    WriteOmake(c.extra);
    game_.reset();
    StartupGame& game = Game();
    game.GetCGList()->SetCurrentChara(3);
    Enter();
    Press(c.column);
    EXPECT_EQ(game.ModeRequests(), (std::vector<int>{c.request})) << c.column;
    if (c.notify) {
      EXPECT_TRUE(Called(c.notify)) << c.column;
      if (c.request == CCommonOmake::kCGMode) {
        EXPECT_EQ(game.GetCGList()->GetCurrentChara(), 0);
      }
    }
  }
}

TEST_F(OmakeTest, RightClickIsTheCancelColumn) {
  WriteOmake({});
  StartupGame& game = Enter();
  game.RunFrame();
  host_->InjectButton(1, true);
  host_->InjectButton(1, false);
  for (int i = 0; i < 4 && game.ModeRequests().empty(); ++i) game.RunFrame();
  EXPECT_EQ(game.ModeRequests(), (std::vector<int>{CCommonOmake::kTitleMode}));
}

TEST_F(OmakeTest, WaitAndAppearAndAClickDuringTheWait) {
  WriteOmake({{"menuStartWaitTime", "20"}, {"menuStartEffectTime", "10"}, {"menuStartEffectType", "1"}});
  StartupGame& game = Enter();
  EXPECT_FALSE(Called("SetMiniGameAreaMode 15"));
  game.RunFrames(19);
  EXPECT_EQ(Omake()->GetPhase(), 1);
  EXPECT_EQ(Pixel(310, 110), kBackground);
  game.RunFrames(6);
  EXPECT_EQ(Omake()->GetPhase(), 2);
  EXPECT_NE(Pixel(310, 110), kBackground);
  EXPECT_NE(Pixel(310, 110), kButton);
  game.RunFrames(5);
  EXPECT_EQ(Omake()->GetPhase(), 0);
  EXPECT_TRUE(Called("SetMiniGameAreaMode 15"));

  game.EnterMode(CCommonOmake::kModeNumber);
  game.RunFrames(3);
  Click(10, 10);
  game.RunFrame();
  EXPECT_EQ(Omake()->GetPhase(), 0);
  game.RunFrame();
  EXPECT_EQ(Pixel(310, 110), kButton);
}

TEST_F(OmakeTest, HiddenPicturesButtonInTheRowChosenByTheVariable) {
  WriteOmake({{"cgModeExistFlag", "0"}, {"extModeNumber", "2"}, {"extModeCheckVarName", "chk"}}, 4, 3);
  StartupGame& game = Game();
  game.SetVar(60, 2);
  Enter();
  EXPECT_EQ(Omake()->GetCurrentMenu(), 2);
  game.RunFrame();
  EXPECT_EQ(Pixel(310, 110), kBackground);
  EXPECT_EQ(Pixel(310, 160), kButton);
  // A check variable beyond the rows shows the last one.
  game.SetVar(60, 99);
  game.EnterMode(CCommonOmake::kModeNumber);
  EXPECT_EQ(Omake()->GetCurrentMenu(), 2);
  game.SetVar(60, -5);
  game.EnterMode(CCommonOmake::kModeNumber);
  EXPECT_EQ(Omake()->GetCurrentMenu(), 0);
}

TEST_F(OmakeTest, FurtherButtonsStartNewGamesWithTheirOwnValuesOrOpenTheirModes) {
  // Basic button 4 without a special mode: 3 - 4; ext button 0: 0 + 1;
  // basic button 5 with its special mode 34.
  WriteOmake({{"basicButtonNumber", "6"},
              {"extModeNumber", "1"},
              {"extButtonNumber", "1"},
              {"extModeCheckVarName", "chk"},
              {"extModeReturnVarName", "ret"},
              {"basicButtonSpecialMode6", "34"}},
             7, 2);
  struct Case {
    int column;
    int request;
    int value;
  };
  for (const Case& c : {Case{4, -1, -1}, Case{6, -1, 1}, Case{5, 34, 0}}) {
    game_.reset();
    StartupGame& game = Game();
    game.SetVar(60, 1);
    Enter();
    ASSERT_EQ(Omake()->GetReturnVar(), 50);
    Press(c.column);
    if (c.request > 0) {
      EXPECT_EQ(game.ModeRequests(), (std::vector<int>{c.request})) << c.column;
      EXPECT_TRUE(game.newGames.empty());
    } else {
      EXPECT_EQ(game.newGames, (std::vector<std::pair<int, int>>{{50, c.value}})) << c.column;
      EXPECT_EQ(game.GetVar(50), c.value);
      EXPECT_TRUE(game.ModeRequests().empty());
    }
  }
}

TEST_F(OmakeTest, MissingListKeepsTheDefaults) {
  StartupGame& game = Enter();
  EXPECT_EQ(Omake()->GetCheckVar(), -1);
  EXPECT_EQ(Omake()->GetReturnVar(), -1);
  EXPECT_EQ(Omake()->GetPanel()->GetColumns(), 4);
  game.RunFrames(3);
  EXPECT_TRUE(game.ModeRequests().empty());
}

}  // namespace
}  // namespace startup_test
