// The start-up chain inside the game: the first mode fills the screen and
// hands over to the logos, which fade and leave for the title.
#include <gtest/gtest.h>

#include <vector>

#include "mode/logo.h"
#include "mode/nothing.h"
#include "startup_game.h"

namespace startup_test {
namespace {

class ChainInGameTest : public ChainFixture<StartupGame> {};

TEST_F(ChainInGameTest, DefaultChainFillsWhiteThenFadesTwoLogosAndLeavesForTheTitle) {
  WriteLogos();
  StartupGame& game = Game();
  game.EnterMode(CCommonNothing::kModeNumber);
  game.RunFrame();
  EXPECT_EQ(Pixel(400, 300), kWhite);
  EXPECT_EQ(game.ModeRequests(), (std::vector<int>{2}));
  ASSERT_EQ(game.Modes().GetCurrentMode(), CCommonLogo::kModeNumber);

  // Frame k of a logo (from 1): 10 frames fading in from white, 20 frames
  // standing, 10 frames fading out to white.
  struct Step {
    int frame;
    uint32_t fill;
    const char* picture;
    int percent;
  };
  const Step steps[] = {
      {1, kWhite, "sys\\logo1", 10},   {5, kWhite, "sys\\logo1", 50},  {9, kWhite, "sys\\logo1", 90},
      {10, kWhite, "sys\\logo1", 100}, {29, kWhite, "sys\\logo1", 100}, {30, kWhite, "sys\\logo1", 100},
      {31, kWhite, "sys\\logo1", 90},  {39, kWhite, "sys\\logo1", 10},  {40, kWhite, "sys\\logo2", 0},
      {45, kWhite, "sys\\logo2", 50},  {79, kWhite, "sys\\logo2", 10},
  };
  int frame = 0;
  for (const Step& step : steps) {
    while (frame < step.frame) {
      game.RunFrame();
      ++frame;
    }
    const uint32_t seen = Pixel(400, 300);
    EXPECT_EQ(seen, Blended(step.fill, step.picture, step.percent, 400, 300)) << "frame " << frame;
    EXPECT_EQ(game.Modes().GetCurrentMode(), CCommonLogo::kModeNumber) << "frame " << frame;
  }
  game.RunFrame();
  EXPECT_EQ(game.ModeRequests(), (std::vector<int>{2, 4}));
}

}  // namespace
}  // namespace startup_test
