// The start-up tests' game inside the game's tests: the test double with the
// game's own modes 1, 2, 3, 4 and 32 (mode/startup_test_base.h has the test
// ground).
#pragma once

#include <functional>

#include "game/gameparts.h"
#include "game/modeflowpart.h"
#include "game/variablepart.h"
#include "mode/startup_test_base.h"
#include "modebase/commongeneral.h"
#include "support/fake_game.h"

namespace startup_test {

class StartupGame : public testsupport::FakeGame {
 public:
  // The double with the game's own start-up modes, made from the lists the
  // test wrote.
  explicit StartupGame(platform::HeadlessBackend& host) : StartupGame(host, {}) {}
  static constexpr int kStartupModes[] = {1, 2, 3, 4, 32};

  // Makes mode n current and enters it, as the mode change does.
  void EnterMode(int n) {
    Modes().SetCurrentMode(n);
    if (CCommonGeneral* mode = Modes().GetMode(n)) mode->Enter();
  }
  // Makes the game's mode T again (after the test named its variables).
  template <typename T>
  T* Remake() {
    return RemakeMode<T>(T::kModeNumber);
  }
  template <typename T>
  T* Mode() const {
    return dynamic_cast<T*>(Modes().GetMode(T::kModeNumber));
  }

  // What the fixtures shared with the modes' own tests ask the double by
  // these names (mode/config_fixture.h).
  CCommonGeneral* GetMode(int n) const { return Modes().GetMode(n); }
  int GetSystemSetting(int id) { return Vars().GetSystemSetting(id); }
  void SetSystemSetting(int id, int value) { Vars().SetSystemSetting(id, value); }

 protected:
  // For a double over this one: `install` replaces parts of the game before
  // Init (testsupport::FakeGame's installing constructor).
  StartupGame(platform::HeadlessBackend& host, const std::function<void(GameParts&)>& install)
      : FakeGame(host, 800, 600, install) {
    for (int n : kStartupModes) {
      Modes().SetModeDisabled(n, 0);
      Modes().CreateMode(n);
    }
  }
};

class StartupTest : public StartupFixture<StartupGame> {};

}  // namespace startup_test
