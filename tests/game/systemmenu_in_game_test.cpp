// The system menu (mode 13) inside the game: its added options become the
// game's short-cut rows, the game's scene-mode word reaches the menu, and a
// menu over a back script filters the screen it captured behind itself.
#include <gtest/gtest.h>

#include <memory>

#include "effect/effectmanager.h"
#include "game/floatingpart.h"
#include "game/modeflowpart.h"
#include "mode/systemmenu.h"
#include "startup_game.h"

namespace startup_test {
namespace {

TEST_F(StartupTest, SystemMenusAddedOptionsBecomeTheGamesShortCutRowsAndSceneModeReachesTheMenu) {
  WriteList("SystemMenu", MenuPairs("opt",
                                     {{"optionNumber", "11"},
                                      {"expOptionMode10", "15"},
                                      {"menu1button10AccelKey1", "E"},
                                      {"expOptionCommand11", "5"},
                                      {"menu1button11AccelKey1", "Q"}},
                                     11, 1));
  StartupGame& game = Game();
  game.Remake<CCommonSystemMenu>();
  game.PrepareModeTables();
  ASSERT_EQ(game.Floating().GetShortCutRowCount(), 2);
  EXPECT_EQ(game.Floating().GetShortCutRow(0)->key, 'E');
  EXPECT_EQ(game.Floating().GetShortCutRow(0)->target, 15);
  EXPECT_EQ(game.Floating().GetShortCutRow(1)->key, 'Q');
  EXPECT_EQ(game.Floating().GetShortCutRow(1)->action, 5);
  EXPECT_EQ(game.Floating().GetShortCutRow(1)->target, 0);

  game.Modes().SetSystemMenuSceneMode(1);
  game.EnterMode(CCommonSystemMenu::kModeNumber);
  EXPECT_EQ(game.Mode<CCommonSystemMenu>()->GetSceneMode(), 1);
  game.Modes().SetSystemMenuSceneMode(0);
  EXPECT_EQ(game.Mode<CCommonSystemMenu>()->GetSceneMode(), 0);
}

// The double whose back script draws in its first step: loading it fills
// the screen, as a script that shows its first picture at once does.
class DrawingBackScriptGame : public StartupGame {
 public:
  static constexpr uint32_t kDrawn = 0x405060;
  explicit DrawingBackScriptGame(platform::HeadlessBackend& host)
      : StartupGame(host, [this](GameParts& p) { p.scripts = std::make_unique<Scripts>(p, *this); }) {}

 private:
  class Scripts : public testsupport::RecordingScripts {
   public:
    using RecordingScripts::RecordingScripts;
    int LoadBackScript(const char* name) override {
      RecordingScripts::LoadBackScript(name);
      CAllGraphics::FillScreen(kDrawn >> 16, kDrawn >> 8 & 0xFF, kDrawn & 0xFF);
      return 1;
    }
  };
};

class SystemMenuOverScriptTest : public StartupFixture<DrawingBackScriptGame> {};

// Over a back script with "screenToGetPutFlag", entering captures the game's
// screen; the filter then works on that capture, put back first, not on
// what the menu's own back script drew meanwhile, and the filtered screen is
// what the saved screen holds for the script to show.
TEST_F(SystemMenuOverScriptTest, TheFilterWorksOnTheScreenCapturedBehindTheMenu) {
  WriteList("SystemMenu", MenuPairs("opt",
                                     {{"backScriptFlag", "1"},
                                      {"backScriptName", "menuback"},
                                      {"screenToGetPutFlag", "1"},
                                      {"backScreenEffectNega", "1"}},
                                     9, 1));
  DrawingBackScriptGame& game = Game();
  game.Remake<CCommonSystemMenu>();
  CAllGraphics::FillScreen(0x10, 0x20, 0x30);
  game.Modes().SetCurrentMode(CCommonSystemMenu::kModeNumber);
  game.Modes().GetMode(CCommonSystemMenu::kModeNumber)->Enter();
  const CPicture* saved = CEffectManager::GetSavedScreen();
  ASSERT_NE(saved, nullptr);
  const auto* pixels = reinterpret_cast<const uint32_t*>(saved->GetBuffer());
  ASSERT_NE(pixels, nullptr);
  const int w = saved->GetWidth();
  for (const int i : {0, w * 300 + 400, w * saved->GetHeight() - 1})
    EXPECT_EQ(pixels[i] & 0xFFFFFF, 0xEFDFCFu) << "pixel " << i;
  EXPECT_EQ(Pixel(400, 300) & 0xFFFFFF, 0xEFDFCFu);
}

}  // namespace
}  // namespace startup_test
