#include "app_test.h"
#include "game/framepart.h"
#include "game/game.h"
#include "platform/system.h"

namespace app_test {
namespace {

class GameTest : public AppTest {};

// The game paces by "frameTime", presents its screen buffer (whole, as
// "vistaCheck" asks by default) and leaves window messages to the host.
TEST_F(GameTest, TheGamePacesByItsSettingAndPresentsItsScreenBuffer) {
  platform::WindowDesc desc;
  platform::Window* window = platform::CreateWindow(desc);
  ASSERT_NE(window, nullptr);
  {
    CGame game(window, nullptr, 800, 600, 32);
    game.Init();
    EXPECT_EQ(game.GetFrameTime(), 50);
  }
  WriteList("game", {{"frameTime", "33"}});
  CGame game(window, nullptr, 800, 600, 32);
  game.Init();
  EXPECT_EQ(game.GetFrameTime(), 33);
  EXPECT_EQ(game.Frames().GetDefaultFrameTime(), 33);
  EXPECT_EQ(game.CheckReady(), 1);

  const long long before = host_->GetWindow()->PresentCount();
  EXPECT_EQ(game.Frame(33), 0);
  EXPECT_EQ(host_->GetWindow()->PresentCount(), before + 1);
  ASSERT_EQ(host_->GetWindow()->LastRects().size(), 1u);
  EXPECT_EQ(host_->GetWindow()->LastRects()[0], (platform::Rect{0, 0, 800, 600}));

  EXPECT_EQ(game.WindowProc(window, WM_CLOSE, 0, 0), 0);
  EXPECT_FALSE(window->IsVisible());
}

}  // namespace
}  // namespace app_test
