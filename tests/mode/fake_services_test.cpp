// The fake of the game's services the mode tests run on: its clock, its
// frame and mode change, its input and its records.
#include "support/fake_services.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/inputstatus.h"
#include "modebase/commongeneral.h"
#include "platform/system.h"
#include "platform/types.h"
#include "support/game_folder_test.h"

namespace {

using testsupport::FakeServices;

// A mode that writes what its drivers did into a shared log and asks for
// the mode it is told to.
class LoggingMode : public CCommonGeneral {
 public:
  LoggingMode(const GameRoles& game, int number, std::vector<std::string>* log)
      : CCommonGeneral(game), log_(log) {
    SetModeNumber(number);
  }
  int Init() override { return Log("init"); }
  int Calcu() override {
    Log("calcu");
    return next;
  }
  int Print() override { return Log("print"); }
  int Leave() override { return Log("leave"); }
  int next = -1;

 private:
  int Log(const char* what) {
    log_->push_back(std::to_string(GetModeNumber()) + " " + what);
    return -1;
  }
  std::vector<std::string>* log_;
};

class FakeServicesTest : public testsupport::GameFolderTest {};

TEST_F(FakeServicesTest, FramesStepTheVirtualClock) {
  FakeServices game(*host_);
  EXPECT_EQ(game.Step(), 50);
  const uint32_t start = platform::GetTicks();
  game.RunFrames(3);
  EXPECT_EQ(platform::GetTicks() - start, 150u);
  game.SetStep(16);
  game.RunFrame();
  EXPECT_EQ(platform::GetTicks() - start, 166u);
  EXPECT_EQ(game.GetMessageWaitTime(), 16);
}

TEST_F(FakeServicesTest, RequestsChangeBetweenTheModesTheTestMade) {
  FakeServices game(*host_);
  std::vector<std::string> log;
  auto* first = static_cast<LoggingMode*>(game.PutMode(4, std::make_unique<LoggingMode>(&game, 4, &log)));
  game.PutMode(12, std::make_unique<LoggingMode>(&game, 12, &log));
  game.EnterMode(4);
  game.RunFrame();
  first->next = 0x10C;
  game.RunFrame();
  EXPECT_EQ(game.GetCurrentMode(), 12);
  // A request the test's function makes, to a mode that was not made.
  game.RunFrame([] { return 30; });
  EXPECT_EQ(game.GetCurrentMode(), 30);
  game.RunFrame([] { return 0; });
  EXPECT_EQ(game.ModeRequests(), (std::vector<int>{0x10C, 30}));
  EXPECT_EQ(log, (std::vector<std::string>{"4 init", "4 calcu", "4 print", "4 calcu", "4 print",
                                           "4 leave", "12 init", "12 calcu", "12 print",
                                           "12 leave"}));
}

TEST_F(FakeServicesTest, InputReachesTheNextFrameOnly) {
  FakeServices game(*host_);
  CMouseStatus* mouse = game.GetMouseStatus();
  host_->InjectMouseMove(120, 80);
  host_->InjectButton(0, true);
  host_->InjectButton(0, false);
  host_->InjectKey(VK_DOWN, true);
  host_->InjectWheel(-120);
  int click = -1, key = -1, code = -1, wheel = 0;
  platform::Point pos;
  game.RunFrame([&] {
    click = mouse->GetClick(0);
    key = game.GetInputStatus()->GetKeyStatus()->CheckKey(VK_DOWN, 1);
    code = game.CheckKeyTrig(31);
    wheel = mouse->GetWheel();
    mouse->GetPos(&pos);
    return -1;
  });
  EXPECT_EQ(click, 1);
  EXPECT_EQ(key, 1);
  EXPECT_EQ(code, 1) << "31 also stands for Down";
  EXPECT_EQ(wheel, -1);
  EXPECT_EQ(pos.x, 120);
  EXPECT_EQ(pos.y, 80);
  game.RunFrame([&] {
    click = mouse->GetClick(0);
    code = game.CheckKeyTrig(31);
    return -1;
  });
  EXPECT_EQ(click, 0);
  EXPECT_EQ(code, 0);
}

TEST_F(FakeServicesTest, RecordsSoundsAndCallsAndKeepsState) {
  FakeServices game(*host_);
  game.SetVarNumber("listenbgmmode", 7);
  game.PlaySystemSeAlt(4);
  game.PlayBgmNumber(2, 0, 0, 100, 200);
  game.SetListenBgmState(3, 5);
  game.NotifyMode(13, 10);
  EXPECT_EQ(game.Sounds(), (std::vector<std::string>{"PlaySystemSe 2 0", "PlayBgmNumber 2 0 0 100 200"}));
  EXPECT_EQ(game.Calls(), (std::vector<std::string>{"PlaySystemSe 2 0", "PlayBgmNumber 2 0 0 100 200",
                                                    "NotifyMode 13 10"}));
  EXPECT_EQ(game.GetBgmNumber(), 2);
  EXPECT_EQ(game.GetVar(7), 3);
  EXPECT_EQ(game.GetSystemSetting(105), 2);
  EXPECT_EQ(game.GetSystemSetting(202), 1);
  game.SetReturnFlag();
  game.AddPlayCount();
  game.AddPlayCount();
  EXPECT_EQ(game.GetPlayCount(), 1) << "counted once a run";
}

}  // namespace
