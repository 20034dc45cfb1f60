// A fresh game folder with the headless host for each test of a game
// object or its modes.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/system.h"
#include "setup/namelist.h"
#include "support/temp_dir.h"
#include "support/text.h"

namespace testsupport {

using Pairs = std::vector<std::pair<std::string, std::string>>;

class GameFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_ = &platform::InstallHeadless();
    host_->SetBoxEcho(false);
    dir_ = std::make_unique<TempDir>();
    CNameList::ResetInit2Check();
    platform::WindowDesc desc;
    window_ = platform::CreateWindow(desc);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override { dir_.reset(); }

  // A settings list "init\\<name>.xtx" from UTF-8 keys and values.
  void WriteList(const std::string& name, const Pairs& pairs) const {
    std::string text;
    for (const auto& [key, value] : pairs) text += Sjis(key) + "," + Sjis(value) + "\r\n";
    dir_->Write("init/" + name + ".xtx", text);
  }

  platform::HeadlessBackend* host_ = nullptr;
  std::unique_ptr<TempDir> dir_;
  platform::Window* window_ = nullptr;
};

}  // namespace testsupport
