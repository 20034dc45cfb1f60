// The extras menu's mini-game check area through the game object: a click
// on the area starts mode 40, whose exit button leads back to the extras
// menu.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "game/modeflowpart.h"
#include "mode/minigamemode.h"
#include "mode/omake.h"
#include "startup_game.h"

namespace startup_test {
namespace {

// The double with the game's own mini-game services: the area check, the
// check mode, the area drawing and the mode notices (recorded as well), and
// its own system pictures.
class AreaGame : public StartupGame {
 public:
  explicit AreaGame(platform::HeadlessBackend& host)
      : StartupGame(host, [this](GameParts& p) {
          p.screen = std::make_unique<testsupport::GamePicturesScreen>(p, *this);
          p.modes = std::make_unique<MiniGameFlow>(p, *this);
        }) {}

 private:
  class MiniGameFlow : public testsupport::RecordingModeFlow {
   public:
    using RecordingModeFlow::RecordingModeFlow;
    int CheckMiniGameStart(int value) override { return CModeFlowPart::CheckMiniGameStart(value); }
    // Recorded, then carried out.
    void NotifyMode(int mode, int value) override {
      RecordingModeFlow::NotifyMode(mode, value);
      CModeFlowPart::NotifyMode(mode, value);
    }
  };
};

class OmakeMiniGameTest : public StartupTest {
 protected:
  void SetUp() override {
    StartupTest::SetUp();
    testsupport::WriteDwq(*dir_, "sys/obutton", 4 * 200, 40, 0xC0E020);
    testsupport::WriteDwq(*dir_, "sys/mgexit", 4 * 64, 24, 0x2080C0);
    // Extras menu: four buttons and the check areas on.
    WriteList("omake", MenuPairs("obutton", {{"miniGameFlag", "1"}}, 4, 1));
    // One empty game entry whose area (100 x 60 at (680, 520)) belongs to
    // the extras menu; the exit button at (720, 560).
    WriteList("miniGame", {{"addMiniGame", "1"},
                           {"miniGameCheckMode1", "omake"},
                           {"miniGameCheckX1", "680"},
                           {"miniGameCheckY1", "520"},
                           {"miniGameCheckSizeX1", "100"},
                           {"miniGameCheckSizeY1", "60"},
                           {"exitFilename", "mgexit"},
                           {"exitSizeX", "64"},
                           {"exitSizeY", "24"},
                           {"exitClickTime", "0"},
                           {"exitPrintX", "720"},
                           {"exitPrintY", "560"}});
    game_ = std::make_unique<AreaGame>(*host_);
  }
  // Frames until the game has made `requests` mode changes (at most 40).
  void RunToRequest(size_t requests) {
    for (int i = 0; i < 40 && game_->ModeRequests().size() < requests; ++i) game_->RunFrame();
  }
};

TEST_F(OmakeMiniGameTest, TheAreaStartsTheMiniGameAndItsExitReturnsToTheExtrasMenu) {
  StartupGame& game = *game_;
  ASSERT_NE(game.Mode<CCommonMiniGame>(), nullptr);
  game.EnterMode(CCommonOmake::kModeNumber);
  game.RunFrame();
  EXPECT_EQ(game.Mode<CCommonMiniGame>()->GetCheckMode(), CCommonOmake::kModeNumber);

  // A click beside the area starts nothing; one inside starts game 0.
  Click(670, 530);
  for (int i = 0; i < 5; ++i) game.RunFrame();
  EXPECT_TRUE(game.ModeRequests().empty());
  Click(700, 540);
  RunToRequest(1);
  ASSERT_EQ(game.ModeRequests(), (std::vector<int>{CCommonMiniGame::kModeNumber}));
  EXPECT_TRUE(Called("NotifyMode 40 15"));
  EXPECT_EQ(game.Modes().GetCurrentMode(), CCommonMiniGame::kModeNumber);
  EXPECT_EQ(game.Modes().GetMiniGameResult(), 0) << "the first entry";
  EXPECT_EQ(game.Mode<CCommonMiniGame>()->GetCheckMode(), -1) << "no area is checked inside the mode";

  // The exit button of the empty entry returns to the extras menu, whose
  // area is checked again.
  for (int i = 0; i < 15; ++i) game.RunFrame();
  Click(740, 570);
  RunToRequest(2);
  EXPECT_EQ(game.ModeRequests(),
            (std::vector<int>{CCommonMiniGame::kModeNumber, CCommonOmake::kModeNumber}));
  EXPECT_EQ(game.Modes().GetCurrentMode(), CCommonOmake::kModeNumber);
  game.RunFrame();
  EXPECT_EQ(game.Mode<CCommonMiniGame>()->GetCheckMode(), CCommonOmake::kModeNumber);
}

}  // namespace
}  // namespace startup_test
