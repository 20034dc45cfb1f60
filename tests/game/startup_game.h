// The start-up tests' game inside the game's tests: the test double with the
// game's own modes 1, 2, 3, 4 and 32 (mode/startup_test_base.h has the test
// ground).
#pragma once

#include "mode/startup_test_base.h"
#include "modebase/commongeneral.h"
#include "support/fake_game.h"

namespace startup_test {

class StartupGame : public StartRecording<testsupport::FakeGame> {
 public:
  // The double with the game's own start-up modes, made from the lists the
  // test wrote.
  explicit StartupGame(platform::HeadlessBackend& host) : StartRecording(host) {
    for (int n : kStartupModes) {
      modeDisable_[n] = 0;
      CreateMode(n);
    }
  }
  static constexpr int kStartupModes[] = {1, 2, 3, 4, 32};

  // Makes mode n current and enters it, as the mode change does.
  void EnterMode(int n) {
    SetCurrentMode(n);
    if (CCommonGeneral* mode = GetMode(n)) mode->Enter();
  }
  // Makes the game's mode T again (after the test named its variables).
  template <typename T>
  T* Remake() {
    return RemakeMode<T>(T::kModeNumber);
  }
  template <typename T>
  T* Mode() const {
    return dynamic_cast<T*>(GetMode(T::kModeNumber));
  }
};

class StartupTest : public StartupFixture<StartupGame> {};

}  // namespace startup_test
