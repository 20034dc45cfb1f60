// The scene gallery (mode 18) inside the game: a replay it starts puts the
// game in message mode, so the system menu the story opens during the
// replay comes up in scene mode.
#include <gtest/gtest.h>

#include <memory>

#include "game/modeflowpart.h"
#include "game/savepart.h"
#include "mode/scene_lists.h"
#include "mode/selectscene.h"
#include "mode/systemmenu.h"
#include "savedata/systemfile.h"
#include "startup_game.h"

namespace startup_test {
namespace {

// The game whose scene replays start.
class ReplayGame : public StartupGame {
 public:
  explicit ReplayGame(platform::HeadlessBackend& host)
      : StartupGame(host, [this](GameParts& p) { p.modes = std::make_unique<Replays>(p, *this); }) {}

 private:
  class Replays : public testsupport::RecordingModeFlow {
   public:
    using RecordingModeFlow::RecordingModeFlow;
    int StartSceneScript() override { return 1; }
  };
};

class GalleryInGameTest : public StartupTest {
 protected:
  ReplayGame& Replay() {
    if (!game_) game_ = std::make_unique<ReplayGame>(*host_);
    return static_cast<ReplayGame&>(*game_);
  }
};

TEST_F(GalleryInGameTest, DuringAReplayTheSystemMenuOpensInSceneMode) {
  WriteList("SelectScene", {});
  dir_->Write("spt/scene.dat", SceneTable({1}));
  dir_->Write("mok/sceneVoice.xtx", "[a]\r\n@p0 v0\r\n");
  ReplayGame& game = Replay();
  game.Saves().GetSystemFile()->SetFilmFlag(10, 0);
  game.Remake<CCommonSelectScene>();
  game.EnterMode(CCommonSelectScene::kModeNumber);
  game.RunFrame();
  CCommonSystemMenu* menu = game.Remake<CCommonSystemMenu>();
  // Scene 0 in the default layout's first cell.
  MoveTo(105, 133);
  game.RunFrame();
  Click(105, 133);
  RunUntilRequests(1, 12);
  game.RunFrames(3);
  // The story (mode 10) opens the menu while the scene runs.
  game.Modes().PrepareSystemMode(CCommonSystemMenu::kModeNumber, 10);
  game.EnterMode(CCommonSystemMenu::kModeNumber);
  EXPECT_EQ(menu->GetSceneMode(), 1);
}

}  // namespace
}  // namespace startup_test
