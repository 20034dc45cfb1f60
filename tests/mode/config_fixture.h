// The configuration screen's test ground over either double (the fake of
// the services here, the game's test double in tests/game): the list with
// its bars and switches, the game made over it and mode 12 remade and
// entered, and clicks carried out by frames. The double derives from the
// start-up tests' StartupGame of its kind (mode/startup_fixture.h or
// game/startup_game.h), which the test includes first.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "mode/config.h"
#include "support/dwq_picture.h"
#include "support/game_folder_test.h"

namespace config_test {

// The configuration's double over a StartupGame.
template <typename Base>
class ConfigGameOf : public Base {
 public:
  using Base::Base;
  CCommonConfig* Remake() { return Base::template Remake<CCommonConfig>(); }
  // Entered as the title opens it.
  void Enter(int returnMode = 4) {
    this->template Mode<CCommonConfig>()->SetParameter(returnMode);
    this->EnterMode(CCommonConfig::kModeNumber);
  }
};

template <typename GameT>
class ConfigFixture : public testsupport::GameFolderTest {
 protected:
  void TearDown() override {
    game_.reset();
    GameFolderTest::TearDown();
  }
  // The list, the game and its remade mode; bars of 200 x 20 at y = 100 +
  // 40 k from x = 100, switches 40 x 20 at x = 40.
  CCommonConfig* Make(const testsupport::Pairs& extra) {
    testsupport::Pairs pairs = {{"volumeSizeX", "200"}, {"volumeSizeY", "20"}};
    for (int k = 0; k < config::kBarKinds; ++k) {
      const std::string name = config::kBarNames[k];
      pairs.push_back({name + "VolumePrintX", "100"});
      pairs.push_back({name + "VolumePrintY", std::to_string(100 + 40 * k)});
      if (k >= 1 && k <= 5) {
        pairs.push_back({name + "Button1SizeX", "40"});
        pairs.push_back({name + "Button1SizeY", "20"});
        pairs.push_back({name + "Button1ClickTime", "0"});
        pairs.push_back({name + "Button1Filename", "sw"});
        pairs.push_back({name + "ButtonPrintX", "40"});
      }
    }
    pairs.insert(pairs.end(), extra.begin(), extra.end());
    WriteList("Config", pairs);
    testsupport::WriteDwq(*dir_, "sys/ta_opt_bar", 200, 20, 0xE0C020);
    // Buttons are hit where their pictures are.
    testsupport::WriteDwq(*dir_, "sys/sw", 4 * 40, 20, 0x30A030);
    game_ = std::make_unique<GameT>(*host_);
    for (int id = 200; id <= 204; ++id) game_->SetSystemSetting(id, 1);
    for (int id = 100; id <= 104; ++id) game_->SetSystemSetting(id, 90);
    return game_->Remake();
  }
  CCommonConfig* Mode() const {
    return dynamic_cast<CCommonConfig*>(game_->GetMode(CCommonConfig::kModeNumber));
  }
  void Click(int x, int y) const {
    host_->InjectMouseMove(x, y);
    host_->InjectButton(0, true);
    host_->InjectButton(0, false);
  }
  // A click at (x, y) and the frames that carry it out.
  void ClickAndRun(int x, int y, int frames = 2) {
    Click(x, y);
    for (int i = 0; i < frames; ++i) game_->RunFrame();
    host_->InjectMouseMove(790, 590);
    game_->RunFrame();
  }
  int Setting(int id) const { return game_->GetSystemSetting(id); }
  bool Called(const std::string& call) const {
    const auto& calls = game_->Calls();
    return std::find(calls.begin(), calls.end(), call) != calls.end();
  }
  std::unique_ptr<GameT> game_;
};

}  // namespace config_test
