// The test double with the game's mode 34 made again on demand: the double
// answers only the variable names a test gives it, so a test names the
// chart's variables first and then remakes the menu. A test may script the
// floating buttons and short-cut keys (scripted_), and the system-mode
// preparation and skip-film flag are recorded as notes.
#pragma once

#include <string>

#include "mode/chartmenu.h"
#include "support/fake_game.h"

namespace charttest {

class ChartGame : public testsupport::FakeGame {
 public:
  using FakeGame::FakeGame;
  CCommonChartMenu* Remake() {
    delete modeTable_[CCommonChartMenu::kModeNumber];
    auto* mode = new CCommonChartMenu(this);
    modeTable_[CCommonChartMenu::kModeNumber] = mode;
    return mode;
  }
  int CheckFloatingButtons() override { return scripted_ ? floating_ : FakeGame::CheckFloatingButtons(); }
  int CheckShortCut(int mode) override { return scripted_ ? shortCut_ : FakeGame::CheckShortCut(mode); }
  int PrepareSystemMode(int target, int caller) override {
    if (!scripted_) return FakeGame::PrepareSystemMode(target, caller);
    Note("PrepareSystemMode " + std::to_string(target) + " " + std::to_string(caller));
    return target;
  }
  void SetSkipFilmFlag(int value) override {
    Note("SetSkipFilmFlag " + std::to_string(value));
    FakeGame::SetSkipFilmFlag(value);
  }

  bool scripted_ = false;
  int floating_ = -1;
  int shortCut_ = -1;
};

}  // namespace charttest
