// The start-up and title tests' game, and that of the screens entered the
// same way: the fake of the services with the start-up modes 1, 2, 3, 4 and
// 32 made (mode/startup_test_base.h has the test ground).
#pragma once

#include "mode/codecerror.h"
#include "mode/logo.h"
#include "mode/nothing.h"
#include "mode/opening.h"
#include "mode/title.h"
#include "startup_test_base.h"
#include "support/fake_services.h"

namespace startup_test {

class StartupGame : public StartRecording<testsupport::FakeServices> {
 public:
  // The fake with the start-up modes, made from the lists the test wrote.
  explicit StartupGame(platform::HeadlessBackend& host) : StartRecording(host) {
    MakeMode<CCommonNothing>();
    MakeMode<CCommonLogo>();
    MakeMode<CCommonOpening>();
    MakeMode<CCommonTitle>();
    MakeMode<CCommonCodecError>();
  }
  // Makes mode T again (after the test named its variables).
  template <typename T>
  T* Remake() {
    return MakeMode<T>();
  }
};

class StartupTest : public StartupFixture<StartupGame> {};

}  // namespace startup_test
