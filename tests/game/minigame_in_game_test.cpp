// The mini-game mode (40) inside the game: the game's start check over the
// mode's check areas and area buttons, and the number of the game started.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "game/modeflowpart.h"
#include "mode/minigame_fixture.h"
#include "support/fake_game.h"
#include "widget/buttongroup.h"
#include "widget/commonbutton.h"

namespace minigame_mode_test {
namespace {

// The game with mode 40 made again over the stand-in game, and its own
// system pictures.
class MiniGameGame : public testsupport::FakeGame {
 public:
  explicit MiniGameGame(platform::HeadlessBackend& host)
      : FakeGame(host, 800, 600, [this](GameParts& p) {
          p.screen = std::make_unique<testsupport::GamePicturesScreen>(p, *this);
        }) {}
  CCommonMiniGame* Remake() {
    return RemakeMode<CCommonMiniGame>(CCommonMiniGame::kModeNumber, minigame_test::StandInTypes());
  }
};

class MiniGameInGameTest : public MiniGameFixture<MiniGameGame> {};

TEST_F(MiniGameInGameTest, RectanglesStartWithALeftClickThroughTheGame) {
  Make({{"addMiniGame", "2"}, {"miniGameCheckMode1", "4"}, {"miniGameCheckX1", "0"}});
  MiniGameGame& game = Game();
  game.Modes().CModeFlowPart::SetMiniGameAreaMode(4);
  EXPECT_EQ(mode_->GetCheckMode(), 4);
  auto start = [&] {
    int r = 0;
    game.RunFrame([&] {
      r = game.Modes().CModeFlowPart::CheckMiniGameStart(4);
      return -1;
    });
    return r;
  };
  host_->InjectMouseMove(20, 5);
  EXPECT_EQ(start(), 0) << "no click";
  Click(20, 5);
  EXPECT_EQ(start(), 1);
  EXPECT_EQ(game.Modes().GetMiniGameResult(), 1);
  Click(300, 300);
  EXPECT_EQ(start(), 0);
  game.Modes().CModeFlowPart::SetMiniGameAreaMode(-1);
  Click(20, 5);
  EXPECT_EQ(start(), 0) << "no check mode";
}

TEST_F(MiniGameInGameTest, AreaButtonsStartTheirGameWithTheirSound) {
  Picture("sys/mgbutton", 4 * 50, 30, 0xC08040);
  Make({{"addMiniGame", "2"}, {"areaButtonMode", "1"}, {"miniGameCheckMode1", "4"},
        {"minigameButton1Filename", "mgbutton"}, {"minigameButton1SizeX", "50"},
        {"minigameButton1SizeY", "30"}, {"minigameButton1ClickTime", "0"}, {"minigameButton1ClickSound", "3"},
        {"minigameButton1PrintX", "0"}, {"minigameButton1PrintY", "0"}, {"minigameButton2PrintX", "100"},
        {"minigameButton2PrintY", "0"}});
  MiniGameGame& game = Game();
  game.Modes().CModeFlowPart::SetMiniGameAreaMode(4);
  CCommonButtonGroup* group = mode_->GetAreaButtons();
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->GetButton(0)->GetExist(), 1);
  EXPECT_EQ(group->GetPicture(0)->GetWidth(), 200) << "the picture is loaded";
  game.Modes().CModeFlowPart::SetMiniGameAreaMode(15);
  EXPECT_EQ(group->GetButton(0)->GetExist(), 0) << "another mode's area";
  game.Modes().CModeFlowPart::SetMiniGameAreaMode(4);
  game.ClearCalls();
  int started = 0;
  host_->InjectMouseMove(110, 10);
  game.RunFrame();
  Click(110, 10);
  for (int i = 0; i < 4 && !started; ++i)
    game.RunFrame([&] {
      started = game.Modes().CModeFlowPart::CheckMiniGameStart(4);
      return -1;
    });
  EXPECT_EQ(started, 1);
  EXPECT_EQ(game.Modes().GetMiniGameResult(), 1);
  const auto& calls = game.Calls();
  EXPECT_NE(std::find(calls.begin(), calls.end(), "PlaySystemSe 2 0"), calls.end());
}

}  // namespace
}  // namespace minigame_mode_test
