// The mini-game mode's test ground over either double (the fake of the
// services here, the game's test double in tests/game), with mode 40 made
// over the stand-in game (tests/minigame/standin_game.h), a picture list of
// seen pictures and small pictures made by the picture tool's library. The
// double remakes mode 40 (Remake) and names the game a visit plays
// (SetNumber).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "minigame/standin_game.h"
#include "mode/minigamemode.h"
#include "savedata/cglist.h"
#include "savedata/systemfile.h"
#include "setup/random.h"
#include "support/dwq_picture.h"
#include "support/game_folder_test.h"

namespace minigame_mode_test {

using Pairs = testsupport::Pairs;

template <typename GameT>
class MiniGameFixture : public testsupport::GameFolderTest {
 protected:
  void SetUp() override {
    GameFolderTest::SetUp();
    minigame_test::ResetControl();
    crt::srand(7);
  }
  void TearDown() override {
    game_.reset();
    SetCGListCount(0);
    GameFolderTest::TearDown();
  }
  // Picture list 1 (character 0) with `entries`.
  void WriteCGs(const std::string& entries) const {
    dir_->Write("spt/cglist01.xtx", entries);
    SetCGListCount(1);
  }
  void Picture(const std::string& rel, int w, int h, uint32_t colour) const {
    testsupport::WriteDwq(*dir_, rel, w, h, colour);
  }
  GameT& Game() {
    if (!game_) game_ = std::make_unique<GameT>(*host_);
    return *game_;
  }
  CCommonMiniGame* Make(const Pairs& pairs) {
    WriteList("miniGame", pairs);
    mode_ = Game().Remake();
    return mode_;
  }
  // Enters mode 40 for game `number`, called from mode `from`.
  void Visit(int number, int from = 4) {
    Game().SetNumber(number);
    mode_->SetParameter(from);
    mode_->Init();
  }
  int Frame() {
    int result = -1;
    Game().RunFrame([&] { return result = mode_->Calcu(); }, [&] { mode_->Print(); });
    return result;
  }
  void Click(int x, int y) const {
    host_->InjectMouseMove(x, y);
    host_->InjectButton(0, true);
    host_->InjectButton(0, false);
  }
  static uint32_t Pixel(int x, int y) { return CScreenBuffer::GetBuffer()[y * CScreenBuffer::GetWidth() + x]; }
  std::vector<std::string>& Log() const { return minigame_test::Control().log; }
  int Count(const std::string& call) const {
    return static_cast<int>(std::count(Log().begin(), Log().end(), call));
  }

  std::unique_ptr<GameT> game_;
  CCommonMiniGame* mode_ = nullptr;
};

}  // namespace minigame_mode_test
