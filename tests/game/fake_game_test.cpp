// The test double the mode, widget and message tests build on.
#include "support/fake_game.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/modeflowpart.h"
#include "game/screenpart.h"
#include "game/soundpart.h"
#include "game_test.h"
#include "platform/system.h"

namespace game_test {
namespace {

TEST_F(GameTest, FakeGameStepsTheVirtualClockByItsFramePeriod) {
  WriteList("game", {{"frameTime", "40"}});
  testsupport::FakeGame game(*host_);
  EXPECT_EQ(game.Step(), 40);
  const uint32_t start = platform::GetTicks();
  game.RunFrames(3);
  EXPECT_EQ(platform::GetTicks() - start, 120u);
  game.SetStep(16);
  game.RunFrame();
  EXPECT_EQ(platform::GetTicks() - start, 136u);
}

TEST_F(GameTest, FakeGameRecordsModeRequests) {
  testsupport::FakeGame game(*host_);
  const std::vector<int> results = {-1, 12, 0, 0x10C, -1, 10};
  for (int r : results) game.RunFrame([r] { return r; });
  EXPECT_EQ(game.ModeRequests(), (std::vector<int>{12, 0x10C, 10}));
  EXPECT_EQ(game.Modes().GetCurrentMode(), 10);
  EXPECT_EQ(game.Modes().GetLastMainMode(), 10);
  // The title's hook before drawing answers the current mode.
  EXPECT_EQ(game.OnAfterPrint(), 10);
  game.RunFrame([] { return 0x10C; });
  EXPECT_EQ(game.Modes().GetCurrentMode(), 12);
  EXPECT_EQ(game.Modes().GetLastMainMode(), 10);  // a system mode is no main mode
}

TEST_F(GameTest, FakeGameRecordsSounds) {
  testsupport::FakeGame game(*host_);
  game.Sound().PlaySystemSe(3, 1);
  game.Sound().PlaySystemSeAlt(4);
  game.Sound().PlaySeFile("click", -30);
  game.Sound().PlaySystemVoiceFile("hello", 1, 0);
  game.Sound().PlayVoice("ab0001");
  game.Sound().PlayNote(7);
  game.Sound().PlayBgm("bgm01", -1, -9999, -1, -1);
  game.Sound().PlayBgmNumber(2, 0, 0, 100, 200);
  game.Sound().StopBgm(-1);
  EXPECT_EQ(game.Sounds(),
            (std::vector<std::string>{"PlaySystemSe 3 1", "PlaySystemSe 2 0", "PlaySeFile click -30",
                                      "PlaySystemVoiceFile hello 1 0", "PlayVoice ab0001",
                                      "PlayNote 7", "PlayBgm bgm01 -1 -9999 -1 -1",
                                      "PlayBgmNumber 2 0 0 100 200", "StopBgm -1"}));
  game.ClearSounds();
  EXPECT_TRUE(game.Sounds().empty());
}

TEST_F(GameTest, FakeGameShowsTheHostsBoxesAndClosesItsWindow) {
  testsupport::FakeGame game(*host_);
  host_->ClearBoxes();
  platform::MessageBox(game.Screen().GetWindowHandle(), "text", "caption", MB_OK);
  ASSERT_EQ(game.Boxes().size(), 1u);
  EXPECT_EQ(game.Boxes()[0].caption, "caption");

  EXPECT_TRUE(game.Screen().GetWindowHandle()->IsVisible());
  game.Modes().CloseGame();
  game.RunFrame();
  EXPECT_FALSE(game.Screen().GetWindowHandle()->IsVisible());
}

}  // namespace
}  // namespace game_test
