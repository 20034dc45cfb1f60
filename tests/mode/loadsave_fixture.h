// The load and save screens' test ground: a fresh save folder, the game
// made on first use, frames that drive one screen and clicks on its slots.
#pragma once

#include <memory>

#include "mode/loadsave.h"
#include "platform/types.h"
#include "savedata/savedatafile.h"
#include "savedata/savefolder.h"
#include "support/game_folder_test.h"

template <typename GameT>
class LoadSaveFixture : public testsupport::GameFolderTest {
 protected:
  void SetUp() override {
    GameFolderTest::SetUp();
    ResetSaveFolder();
    SetSaveFolder(nullptr, nullptr, 0);
    CreateSaveFolder();
  }
  void TearDown() override {
    ReleaseScreens();
    game_.reset();
    ResetSaveFolder();
    GameFolderTest::TearDown();
  }
  // The screens go before the game.
  virtual void ReleaseScreens() = 0;
  virtual CCommonLoadSave* Screen() const = 0;

  GameT& Game() {
    if (!game_) game_ = std::make_unique<GameT>(*host_);
    return *game_;
  }
  int Frame() {
    CCommonLoadSave* screen = Screen();
    int result = -2;
    Game().RunFrame([&] { return result = screen->Calcu(); }, [&] { screen->Print(); });
    screen->ExitStep();
    return result;
  }
  void Frames(int n) {
    for (int i = 0; i < n; ++i) Frame();
  }
  // The centre of slot i of the page.
  platform::Point Centre(int i) const {
    const CCommonDataFile* slot = Screen()->GetSlot(i);
    return {slot->GetPrintX() + 66, slot->GetPrintY() + 50};
  }
  void Click(int x, int y) {
    host_->InjectMouseMove(x, y);
    host_->InjectButton(0, true);
    host_->InjectButton(0, false);
    Frame();
  }

  std::unique_ptr<GameT> game_;
};
