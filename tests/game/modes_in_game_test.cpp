// The modes inside the running game: what the game's mode factory makes of
// its switches, and modes that reach other modes through the game.
#include <gtest/gtest.h>

#include "game_test.h"
#include "mode/selectplace.h"

namespace game_test {
namespace {

TEST_F(GameTest, TheFactoryMakesBothPlaceSelectionsWhenSwitchedOn) {
  WriteList("game", {{"selectplaceIsDefault", "1"}, {"selectplace2IsDefault", "1"}});
  WriteList("SelectPlace", {});
  testsupport::FakeGame game(*host_);
  auto* first = dynamic_cast<CCommonSelectPlace*>(game.GetMode(22));
  auto* second = dynamic_cast<CCommonSelectPlace*>(game.GetMode(35));
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(first->GetModeNumber(), 22);
  EXPECT_EQ(second->GetModeNumber(), 35);
  EXPECT_EQ(first->GetPlaceNumber(), 1);
}

}  // namespace
}  // namespace game_test
