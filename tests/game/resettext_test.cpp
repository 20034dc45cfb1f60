#include <gtest/gtest.h>

#include <memory>

#include "game/game.h"
#include "game_test.h"
#include "graphics/screenbuffer.h"
#include "message/fontprint.h"

namespace game_test {
namespace {

class FontGame : public CGame {
 public:
  explicit FontGame(platform::Window* window) : CGame(window, nullptr, 64, 48, 32) {}
  void PlantFont(CFontPrint* font) { font_ = font; }
};

TEST_F(GameTest, ResetTextPositionEmptiesTheLineCacheWhenThereIsARenderer) {
  CScreenBuffer screen(64, 48, 0);
  FontGame game(window_);
  game.ResetTextPosition();  // no renderer yet: nothing happens
  CFontPrint font;
  const char* text = "\x82\xA0";
  font.BeginPrint(16);
  font.RenderLine(MakeLineKey(text, text, 2), text, 255, 255, 255, 0, -1, nullptr, 0, 1, nullptr,
                  nullptr);
  font.EndPrint();
  ASSERT_EQ(font.GetTextLayer()->GetCount(), 1);
  game.PlantFont(&font);
  game.ResetTextPosition();
  EXPECT_EQ(font.GetTextLayer()->GetCount(), 0);
  EXPECT_EQ(font.GetCurrentLine(), -1);
  game.PlantFont(nullptr);
}

}  // namespace
}  // namespace game_test
