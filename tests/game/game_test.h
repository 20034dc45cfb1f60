// The game tests' folder and host (support/game_folder_test.h), and the
// fixture with the test double made in it.
#pragma once

#include <memory>

#include "support/fake_game.h"
#include "support/game_folder_test.h"

namespace game_test {

using Pairs = testsupport::Pairs;
class GameTest : public testsupport::GameFolderTest {};

// A game test with the test double made in the fresh folder.
class FakeGameTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    game_ = std::make_unique<testsupport::FakeGame>(*host_);
  }
  void TearDown() override {
    game_.reset();
    GameTest::TearDown();
  }

  std::unique_ptr<testsupport::FakeGame> game_;
};

}  // namespace game_test
