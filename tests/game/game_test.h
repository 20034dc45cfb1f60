// A fresh game folder with the headless host for each game test.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/system.h"
#include "setup/namelist.h"
#include "support/fake_game.h"
#include "support/temp_dir.h"
#include "support/text.h"

namespace game_test {

using Pairs = std::vector<std::pair<std::string, std::string>>;

class GameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_ = &platform::InstallHeadless();
    host_->SetBoxEcho(false);
    dir_ = std::make_unique<testsupport::TempDir>();
    CNameList::ResetInit2Check();
    platform::WindowDesc desc;
    window_ = platform::CreateWindow(desc);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override { dir_.reset(); }

  // A settings list "init\\<name>.xtx" from UTF-8 keys and values.
  void WriteList(const std::string& name, const Pairs& pairs) const {
    std::string text;
    for (const auto& [key, value] : pairs)
      text += testsupport::Sjis(key) + "," + testsupport::Sjis(value) + "\r\n";
    dir_->Write("init/" + name + ".xtx", text);
  }

  platform::HeadlessBackend* host_ = nullptr;
  std::unique_ptr<testsupport::TempDir> dir_;
  platform::Window* window_ = nullptr;
};

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
