#include <gtest/gtest.h>

#include <memory>

#include "game/game.h"
#include "game/textpart.h"
#include "game_test.h"
#include "graphics/screenbuffer.h"
#include "message/fontprint.h"

namespace game_test {
namespace {

TEST_F(GameTest, ResetTextPositionEmptiesTheLineCacheWhenThereIsARenderer) {
  CScreenBuffer screen(64, 48, 0);
  CGame game(window_, nullptr, 64, 48, 32);
  game.Text().ResetTextPosition();  // no renderer yet: nothing happens
  // The text part's renderer alone, without the rest of the game.
  game.Text().Init();
  CFontPrint* font = game.Text().GetFont();
  ASSERT_NE(font, nullptr);
  const char* text = "\x82\xA0";
  font->BeginPrint(16);
  font->RenderLine(MakeLineKey(text, text, 2), text, 255, 255, 255, 0, -1, nullptr, 0, 1, nullptr,
                   nullptr);
  font->EndPrint();
  ASSERT_EQ(font->GetTextLayer()->GetCount(), 1);
  game.Text().ResetTextPosition();
  EXPECT_EQ(font->GetTextLayer()->GetCount(), 0);
  EXPECT_EQ(font->GetCurrentLine(), -1);
}

}  // namespace
}  // namespace game_test
