// The frame driver's order of steps and its guards, and the game window's
// messages and keys, seen through a game that notes every hook and service
// the frame and the window handler call.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/debugpart.h"
#include "game/floatingpart.h"
#include "game/framepart.h"
#include "game/frameskip.h"
#include "game/game.h"
#include "game/gameparts.h"
#include "game/inputpart.h"
#include "game/messagewindowpart.h"
#include "game/modeflowpart.h"
#include "game/savepart.h"
#include "game/screenpart.h"
#include "game/scriptpart.h"
#include "game/soundpart.h"
#include "game/variablepart.h"
#include "game_test.h"
#include "graphics/screenbuffer.h"
#include "input/inputstatus.h"
#include "modebase/commongeneral.h"
#include "platform/sync.h"
#include "platform/system.h"
#include "savedata/systemfile.h"

namespace game_test {
namespace {

using Log = std::vector<std::string>;

// A mode that notes its steps in the game's calls as "<number> <step>".
class NotingMode : public CCommonGeneral {
 public:
  NotingMode(const GameRoles& roles, testsupport::CallLog* log, int number)
      : CCommonGeneral(roles), log_(log) {
    SetModeNumber(number);
  }
  int Calcu() override {
    log_->Note(std::to_string(GetModeNumber()) + " Calcu");
    if (calcu) calcu();
    return result;
  }
  int Print() override {
    log_->Note(std::to_string(GetModeNumber()) + " Print");
    return -1;
  }
  int Init() override { return 1; }
  int Leave() override {
    log_->Note(std::to_string(GetModeNumber()) + " Leave");
    return -1;
  }

  int result = -1;
  std::function<void()> calcu;

 private:
  testsupport::CallLog* log_;
};

// What the tracing parts share: whether the frame's steps are noted and the
// full-screen option the screen switches keep.
struct FrameTrace {
  void Step(const std::string& text) {
    if (on) log->Note(text);
  }
  testsupport::CallLog* log = nullptr;  // the double's
  bool on = false;
  int fullScreenOption = 0;
};

// The parts whose steps the frame and the window handler call, each noting
// them. The parts the double records (screen, scripts, floating layers,
// variables) go on recording the same calls here.
class TracingInput : public CInputPart {
 public:
  TracingInput(GameParts& parts, FrameTrace& trace) : CInputPart(LinksOf<CInputPart>(parts)), trace_(trace) {}
  void UpdateMouse() override {
    trace_.Step("UpdateMouse");
    CInputPart::UpdateMouse();
  }
  void ClearKeyStatus() override {
    trace_.Step("ClearKeyStatus");
    CInputPart::ClearKeyStatus();
  }

 private:
  FrameTrace& trace_;
};

class TracingFrame : public CFramePart {
 public:
  TracingFrame(GameParts& parts, FrameTrace& trace) : CFramePart(LinksOf<CFramePart>(parts)), trace_(trace) {}
  void CalcuFrameSkip(int elapsed) override {
    trace_.Step("CalcuFrameSkip " + std::to_string(elapsed));
  }

 private:
  FrameTrace& trace_;
};

class TracingScreen : public testsupport::RecordingScreen {
 public:
  TracingScreen(GameParts& parts, FrameTrace& trace)
      : RecordingScreen(parts, *trace.log), parts_(parts), trace_(trace) {}
  void FlushUpdateRects() override { trace_.Step("FlushUpdateRects"); }
  void PrintScreen() override { trace_.Step("PrintScreen"); }
  void FlipScreen() override {
    trace_.Step("FlipScreen");
    CScreenPart::FlipScreen();
  }
  void PrintBossComing() override { trace_.Step("PrintBossComing"); }
  // The screen switches note their calls and, as the switches do, make the
  // window handler ignore the wheel for two frames.
  void ToWindowMode(int quiet) override { Switch("ToWindowMode", quiet, 0); }
  void ToFullScreenMode(int quiet) override { Switch("ToFullScreenMode", quiet, 1); }
  void AddUpdateRect(const platform::Rect& r) override {
    trace_.log->Note("AddUpdateRect " + std::to_string(r.left) + " " + std::to_string(r.top) + " " +
                     std::to_string(r.right) + " " + std::to_string(r.bottom));
  }

 private:
  void Switch(const char* name, int quiet, int option) {
    trace_.log->Note(std::string(name) + " " + std::to_string(quiet));
    trace_.fullScreenOption = option;
    parts_.input->PauseWheel(2);
  }
  GameParts& parts_;
  FrameTrace& trace_;
};

class TracingFloating : public testsupport::RecordingFloating {
 public:
  TracingFloating(GameParts& parts, FrameTrace& trace, const bool& frameStep)
      : RecordingFloating(parts, *trace.log, frameStep), trace_(trace) {}
  void RestoreFloatingLayers() override {
    trace_.Step("RestoreFloatingLayers");
    RecordingFloating::RestoreFloatingLayers();
  }
  void ResetFloatingLayers() override { trace_.Step("ResetFloatingLayers"); }
  void ShowSceneButton() override { trace_.Step("ShowSceneButton"); }
  void ShowFloatingButtons() override { trace_.Step("ShowFloatingButtons"); }
  void ShowSkipFilmButton() override { trace_.Step("ShowSkipFilmButton"); }

 private:
  FrameTrace& trace_;
};

class TracingDebug : public CDebugPart {
 public:
  TracingDebug(GameParts& parts, FrameTrace& trace) : CDebugPart(LinksOf<CDebugPart>(parts)), trace_(trace) {}
  void PrintDebugParam() override { trace_.Step("PrintDebugParam"); }
  void PrintDebugParamBack() override { trace_.Step("PrintDebugParamBack"); }

 private:
  FrameTrace& trace_;
};

class TracingSaves : public CSavePart {
 public:
  TracingSaves(GameParts& parts, FrameTrace& trace) : CSavePart(LinksOf<CSavePart>(parts)), trace_(trace) {}
  void RestoreGameState() override { trace_.Step("RestoreGameState"); }

 private:
  FrameTrace& trace_;
};

class TracingScripts : public testsupport::RecordingScripts {
 public:
  TracingScripts(GameParts& parts, FrameTrace& trace)
      : RecordingScripts(parts, *trace.log), trace_(trace) {}
  int CallControlScript(int start) override {
    trace_.Step("CallControlScript " + std::to_string(start));
    return 0;
  }

 private:
  FrameTrace& trace_;
};

// Only the full-screen option is on (while the switches made it so).
class TracingVariables : public testsupport::RecordingVariables {
 public:
  TracingVariables(GameParts& parts, FrameTrace& trace)
      : RecordingVariables(parts, *trace.log), trace_(trace) {}
  int GetSystemSetting(int id) override { return id == 4 ? trace_.fullScreenOption : 0; }

 private:
  FrameTrace& trace_;
};

class TracingMessageWindow : public CMessageWindowPart {
 public:
  TracingMessageWindow(GameParts& parts, FrameTrace& trace)
      : CMessageWindowPart(LinksOf<CMessageWindowPart>(parts)), trace_(trace) {}
  void SetMessageReadFlag(int message, int script) override {
    trace_.log->Note("SetMessageReadFlag " + std::to_string(message) + " " + std::to_string(script));
  }

 private:
  FrameTrace& trace_;
};

// The trace, made before the double whose parts note into it.
struct TraceHolder {
  FrameTrace trace;
};

// The test double with every frame hook and frame step noted in order.
class TraceGame : private TraceHolder, public testsupport::FakeGame {
 public:
  explicit TraceGame(platform::HeadlessBackend& host)
      : FakeGame(host, 800, 600, [this](GameParts& p) {
          FrameTrace& trace = static_cast<TraceHolder&>(*this).trace;
          trace.log = static_cast<testsupport::CallLog*>(this);
          p.input = std::make_unique<TracingInput>(p, trace);
          p.frame = std::make_unique<TracingFrame>(p, trace);
          p.screen = std::make_unique<TracingScreen>(p, trace);
          p.floating = std::make_unique<TracingFloating>(p, trace, FrameLayerStep());
          p.debug = std::make_unique<TracingDebug>(p, trace);
          p.saves = std::make_unique<TracingSaves>(p, trace);
          p.scripts = std::make_unique<TracingScripts>(p, trace);
          p.vars = std::make_unique<TracingVariables>(p, trace);
          p.messageWindow = std::make_unique<TracingMessageWindow>(p, trace);
        }) {}

  NotingMode* AddMode(int n) {
    auto mode = std::make_unique<NotingMode>(Roles(), this, n);
    NotingMode* made = mode.get();
    Modes().PutMode(n, std::move(mode));
    return made;
  }
  void Trace(bool on) { trace.on = on; }
  Log TakeCalls() {
    Log out = Calls();
    ClearCalls();
    return out;
  }

  // State the tests set or read.
  void SetFullScreenOption(int option) { trace.fullScreenOption = option; }
  void SetRestorePending() { Modes().SetReturnFlag(); }
  void SetDebug() { Debug().SetDebugFlags(1); }
  void EnableSkipFilmButton() { Floating().SetSkipFilmButtonEnable(1); }
  platform::Event* GameEvent() { return Handshake().GetEvent(CThreadHandshake::kGameEvent); }
  int BackLogCountdown() const { return Input().GetBackLogCountdown(); }
  CFrameSkip* FrameSkip() const { return Frames().GetFrameSkip(); }
  int SkipFilmStarted() const { return MessageWindow().GetSkipFilmFlag(); }
  void SetMessageKey(int key) { MessageWindow().Words().messageKey = key; }
  void WindowPosition(int* x, int* y) const { Screen().GetWindowPosition(x, y); }

  // Noted hooks.
  void OnFrameStart(int elapsed) override { trace.Step("OnFrameStart " + std::to_string(elapsed)); }
  void OnBeforeCalcu() override {
    trace.Step("OnBeforeCalcu");
    FakeGame::OnBeforeCalcu();
  }
  void OnAfterCalcu() override { trace.Step("OnAfterCalcu"); }
  void OnAfterCalcuLate() override { trace.Step("OnAfterCalcuLate"); }
  void OnBeforeInput() override {
    trace.Step("OnBeforeInput");
    FakeGame::OnBeforeInput();
  }
  void OnBeforePrint() override {
    trace.Step("OnBeforePrint");
    FakeGame::OnBeforePrint();
  }
  int OnAfterPrint() override {
    trace.Step("OnAfterPrint");
    return FakeGame::OnAfterPrint();
  }
  void OnAfterPrintLate() override { trace.Step("OnAfterPrintLate"); }
  void OnBeforeFloatingButtons() override { trace.Step("OnBeforeFloatingButtons"); }
  void OnBeforePrintScreen() override { trace.Step("OnBeforePrintScreen"); }
  void OnBeforeFlipScreen() override { trace.Step("OnBeforeFlipScreen"); }
  void OnAfterFlipScreen() override { trace.Step("OnAfterFlipScreen"); }
  void OnBeforeChangeMode() override {
    trace.Step("OnBeforeChangeMode");
    FakeGame::OnBeforeChangeMode();
  }
  void OnAfterChangeMode() override { trace.Step("OnAfterChangeMode"); }
  void OnFrameEnd() override { trace.Step("OnFrameEnd"); }
  void OnWindowProc() override { Note("OnWindowProc"); }
  void OnWindowProcArg(int arg) override { Note("OnWindowProcArg " + std::to_string(arg)); }
};

class FrameDriverTest : public GameTest {
 protected:
  // A game in a fresh folder with the list "game" made of `list`.
  void MakeGame(const Pairs& list = {}) {
    game_.reset();
    dir_ = std::make_unique<testsupport::TempDir>();
    WriteList("game", list);
    // Each game starts on a whole second of the virtual clock (the pauses
    // of the previous game's destroy step moved it), so a clock jump
    // crosses a known number of seconds.
    host_->SetTicks(0);
    game_ = std::make_unique<TraceGame>(*host_);
    game_->ClearCalls();
  }
  void TearDown() override {
    game_.reset();
    GameTest::TearDown();
  }
  platform::HeadlessWindow* Window() const { return host_->GetWindow(); }

  std::unique_ptr<TraceGame> game_;
};

// --- The frame ---

TEST_F(FrameDriverTest, OneFrameRunsEveryStepInItsOrderWithTheModeChangeLast) {
  MakeGame();
  NotingMode* mode = game_->AddMode(1);
  game_->AddMode(12);
  mode->result = 12;
  mode->calcu = [&] {
    game_->Floating().RequestSceneButton();
    game_->Floating().RequestFloatingButtons();
    game_->Floating().RequestSkipFilmButton();
  };
  game_->EnableSkipFilmButton();
  game_->SetDebug();
  game_->Screen().SetBossComingFlag(1);
  game_->SetRestorePending();
  game_->Trace(true);
  game_->RunFrame();
  const Log expected = {
      "OnFrameStart 50", "CalcuFrameSkip 50", "UpdateMouse", "FlushUpdateRects",
      "OnBeforeCalcu", "1 Calcu", "OnAfterCalcu", "OnAfterCalcuLate", "OnBeforeInput",
      "ClearKeyStatus", "RestoreFloatingLayers", "OnBeforePrint", "1 Print", "OnAfterPrint",
      "OnAfterPrintLate", "OnBeforeFloatingButtons", "ShowSceneButton", "ShowFloatingButtons",
      "ShowSkipFilmButton", "PrintBossComing", "PrintDebugParamBack", "OnBeforePrintScreen",
      "PrintScreen", "OnBeforeFlipScreen", "FlipScreen", "OnAfterFlipScreen", "RestoreGameState",
      "CallControlScript -1", "OnBeforeChangeMode", "1 Leave"};
  // The mode change enters mode 12 (its enter sequence's calls), then the
  // frame ends.
  const Log tail = {"OnAfterChangeMode", "PrintDebugParam", "OnFrameEnd"};
  const Log calls = game_->TakeCalls();
  ASSERT_GE(calls.size(), expected.size() + tail.size());
  EXPECT_EQ(Log(calls.begin(), calls.begin() + static_cast<long>(expected.size())), expected);
  EXPECT_EQ(Log(calls.end() - static_cast<long>(tail.size()), calls.end()), tail);
  EXPECT_EQ(game_->Modes().GetCurrentMode(), 12);

  // The new mode is first calculated in the next frame; the requests, the
  // restore and the mode change were this frame's only.
  game_->RunFrame();
  const Log next = game_->TakeCalls();
  EXPECT_NE(std::find(next.begin(), next.end(), "12 Calcu"), next.end());
  for (const char* gone : {"ShowSceneButton", "RestoreGameState", "OnBeforeChangeMode"})
    EXPECT_EQ(std::find(next.begin(), next.end(), gone), next.end()) << gone;
}

TEST_F(FrameDriverTest, FramesWithoutAModeOfTheMovieModeOrWithALayerFlash) {
  struct Case {
    const char* name;
    Pairs list;
    int mode;
    bool fullRedraw;
    std::vector<std::string> present, absent;
  };
  const std::vector<Case> cases = {
      {"no mode object", {}, 150, false, {"PrintScreen", "FlipScreen"}, {}},
      {"the movie mode's frames present like any other", {}, 27, false,
       {"OnBeforePrintScreen", "PrintScreen", "FlipScreen"}, {}},
      {"a whole frame with the layer flash", {{"floatingLayerFlashFlag", "1"}}, 150, true,
       {"ResetFloatingLayers"}, {"RestoreFloatingLayers"}},
      {"a whole frame without it", {}, 150, true, {"RestoreFloatingLayers"},
       {"ResetFloatingLayers"}},
      {"a frame of changes with it", {{"floatingLayerFlashFlag", "1"}}, 150, false,
       {"RestoreFloatingLayers"}, {"ResetFloatingLayers"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MakeGame(c.list);
    game_->Modes().SetCurrentMode(c.mode);
    game_->RunFrame();  // the first frame is whole anyway
    if (c.fullRedraw) CScreenBuffer::SetFullRedraw(0);
    const long long presents = Window()->PresentCount();
    game_->Trace(true);
    game_->ClearCalls();
    game_->RunFrame();
    const Log calls = game_->TakeCalls();
    for (const std::string& s : c.present)
      EXPECT_NE(std::find(calls.begin(), calls.end(), s), calls.end()) << s;
    for (const std::string& s : c.absent)
      EXPECT_EQ(std::find(calls.begin(), calls.end(), s), calls.end()) << s;
    EXPECT_EQ(Window()->PresentCount(), presents + 1);
  }
}

TEST_F(FrameDriverTest, AStopRequestDrawsNothingAndDoesNotWait) {
  MakeGame();
  game_->AddMode(1);
  game_->RequestStop();
  const long long presents = Window()->PresentCount();
  const uint32_t before = platform::GetTicks();
  game_->Trace(true);
  EXPECT_EQ(game_->Frame(50), 0);
  EXPECT_EQ(platform::GetTicks(), before);  // no wait on the virtual clock
  EXPECT_TRUE(game_->TakeCalls().empty());
  EXPECT_EQ(Window()->PresentCount(), presents);
  ASSERT_NE(game_->GameEvent(), nullptr);
  EXPECT_TRUE(game_->GameEvent()->Wait(0));
}

TEST_F(FrameDriverTest, AClockJumpBlocksTheBackLogAndDropsTheWheel) {
  struct Case {
    const char* name;
    Pairs list;
    uint32_t jump;
    int blocked;  // the count-down the jump frame leaves
  };
  const std::vector<Case> cases = {
      {"a jump of 3 s", {}, 3000, 100},
      {"a jump of 2 s", {}, 2000, 0},
      {"the guard off", {{"backLogDisableCheckFlag", "0"}}, 3000, 0},
      {"a shorter block", {{"backLogDisableTime", "7"}}, 5000, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MakeGame(c.list);
    game_->RunFrames(3);
    host_->InjectWheel(120);
    host_->AdvanceClock(c.jump);
    int wheel = -5;
    game_->RunFrame([&] {
      wheel = game_->Input().GetMouseStatus()->GetWheel();
      return -1;
    });
    EXPECT_EQ(game_->BackLogCountdown(), c.blocked);
    EXPECT_EQ(wheel, c.blocked ? 0 : 1);
  }

  // A wheel turn counts again only once the count-down has run out: the
  // jump frame and the following 100 frames ignore it.
  MakeGame();
  game_->RunFrames(3);
  host_->AdvanceClock(3000);
  game_->RunFrame();
  std::vector<int> seen;
  for (int i = 1; i <= 101; ++i) {
    host_->InjectWheel(-120);
    game_->RunFrame([&] {
      seen.push_back(game_->Input().GetMouseStatus()->GetWheel());
      return -1;
    });
  }
  EXPECT_EQ(std::count(seen.begin(), seen.end(), 0), 100);
  EXPECT_EQ(seen.back(), -1);
}

TEST_F(FrameDriverTest, ARequestOfTheTextModeKeepsTheLagAndOthersForgetIt) {
  for (int request : {10, 12, 4}) {
    SCOPED_TRACE(request);
    MakeGame();
    NotingMode* mode = game_->AddMode(1);
    // A wait that consumed nothing keeps the controller touched.
    mode->calcu = [&] { game_->FrameSkip()->Consume(0); };
    game_->SetStep(170);
    game_->RunFrame();
    ASSERT_EQ(game_->FrameSkip()->GetLag(), 170);
    mode->result = request;
    game_->RunFrame();
    EXPECT_EQ(game_->FrameSkip()->GetLag(), request == 10 ? 340 : 0);
  }
}

TEST_F(FrameDriverTest, AFullScreenThatLostTheGamesSizeFallsBackAfterFiveFrames) {
  struct Case {
    const char* name;
    Pairs list;
    int option;
    int displayWidth;  // the window's size while full screen
    int fallBackFrame;  // 0: none in 10 frames
  };
  const std::vector<Case> cases = {
      {"the display left the game's size", {{"adjustFullScreenLost", "1"}}, 1, 1024, 6},
      {"a healthy full screen", {{"adjustFullScreenLost", "1"}}, 1, 800, 0},
      {"supervision off", {}, 1, 1024, 0},
      {"a window", {{"adjustFullScreenLost", "1"}}, 0, 1024, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MakeGame(c.list);
    game_->SetFullScreenOption(c.option);
    Window()->SetFullScreen(true);
    Window()->Move(0, 0, c.displayWidth, 600);
    int fellBack = 0;
    for (int frame = 1; frame <= 10 && !fellBack; ++frame) {
      game_->RunFrame();
      for (const std::string& call : game_->TakeCalls())
        if (call == "ToWindowMode 0") fellBack = frame;
    }
    EXPECT_EQ(fellBack, c.fallBackFrame);
  }
}

TEST_F(FrameDriverTest, TheStartMessageGoesAfterTheFirstPresentedFrame) {
  MakeGame();
  ASSERT_EQ(Window()->Overlay().size(), 1u);
  game_->RunFrame();
  EXPECT_TRUE(Window()->Overlay().empty());
  EXPECT_EQ(Window()->PresentCount(), 2);  // the start message and the frame
  EXPECT_GT(CGameCallBack::GetProcessFrameCount(), 0);
}

// --- The window's messages and keys ---

struct Message {
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
};

Message Key(int vk) { return {WM_KEYDOWN, static_cast<uintptr_t>(vk), 0}; }
Message KeyUp(int vk) { return {WM_KEYUP, static_cast<uintptr_t>(vk), 0}; }
// An auto-repeat of a held key.
Message Repeat(int vk) { return {WM_KEYDOWN, static_cast<uintptr_t>(vk), KEY_REPEAT_LPARAM}; }

TEST_F(FrameDriverTest, TheWindowsMessagesAndKeys) {
  // Each row: a fresh game with the list "game", a set-up, the messages
  // handed to the window handler, then a check. "closed" rows look for the
  // music stop of WM_CLOSE and the window gone.
  struct Row {
    const char* name;
    Pairs list;
    std::function<void(TraceGame&)> setup;
    std::vector<Message> messages;
    std::function<void(TraceGame&)> check;
  };
  const auto closed = [&](bool expected) {
    return [this, expected](TraceGame& g) {
      const Log& sounds = g.Sounds();
      EXPECT_EQ(std::find(sounds.begin(), sounds.end(), "StopBgm -1") != sounds.end(), expected);
      EXPECT_EQ(Window()->IsVisible(), !expected);
    };
  };
  const auto mode = [](int n) { return [n](TraceGame& g) { g.Modes().SetCurrentMode(n); }; };
  const auto calls = [](Log expected) {
    return [expected](TraceGame& g) {
      Log seen;
      for (const std::string& c : g.Calls())
        if (c.rfind("Play", 0) != 0) seen.push_back(c);
      EXPECT_EQ(seen, expected);
    };
  };
  const auto skip = [](int f4, int f5, int started, Log noted) {
    return [=](TraceGame& g) {
      EXPECT_EQ(g.MessageWindow().GetSkipKind(0), f4);
      EXPECT_EQ(g.MessageWindow().GetSkipKind(1), f5);
      EXPECT_EQ(g.SkipFilmStarted(), started);
      EXPECT_EQ(g.Calls(), noted);
    };
  };
  const auto shiftSkip = [](int expected) {
    return [expected](TraceGame& g) { EXPECT_EQ(g.MessageWindow().GetShiftSkipState(), expected); };
  };
  const auto position = [](int x, int y) {
    return [x, y](TraceGame& g) {
      int sx = -1, sy = -1;
      g.WindowPosition(&sx, &sy);
      int saved[2] = {-1, -1};
      g.Saves().GetSystemFile()->GetPosition(saved);
      EXPECT_EQ(sx, x);
      EXPECT_EQ(sy, y);
      EXPECT_EQ(saved[0], x);
      EXPECT_EQ(saved[1], y);
    };
  };
  const auto none = [](TraceGame&) {};
  const Message move = {WM_MOVE, 0, MakeLParam(120, 45)};

  const std::vector<Row> rows = {
      {"Esc closes", {}, none, {Key(VK_ESCAPE)}, closed(true)},
      {"Esc during name input", {}, mode(29), {Key(VK_ESCAPE)}, closed(false)},
      {"Esc with its off flag", {{"escKeyExitOffFlag", "1"}}, none, {Key(VK_ESCAPE)},
       closed(false)},
      {"F9 closes", {}, none, {Key(VK_F9)}, closed(true)},
      {"F9 during name input", {}, mode(29), {Key(VK_F9)}, closed(false)},
      {"F9 with its off flag", {{"f9KeyExitOffFlag", "1"}}, none, {Key(VK_F9)}, closed(false)},
      {"F9's off flag leaves Esc", {{"f9KeyExitOffFlag", "1"}}, none, {Key(VK_ESCAPE)},
       closed(true)},
      {"F12 to full screen", {}, none, {Key(VK_F12)}, calls({"ToFullScreenMode 1"})},
      {"Alt+Enter to full screen and back", {}, none,
       {{WM_SYSKEYDOWN, VK_RETURN, 0}, {WM_SYSKEYDOWN, VK_RETURN, 0}},
       calls({"ToFullScreenMode 1", "ToWindowMode 1"})},
      {"F12 from full screen", {}, [](TraceGame& g) { g.SetFullScreenOption(1); }, {Key(VK_F12)},
       calls({"ToWindowMode 1"})},
      {"other system keys and a plain Enter switch nothing", {}, none,
       {{WM_SYSKEYDOWN, 'X', 0}, {WM_SYSKEYDOWN, VK_RETURN + 256, 0}, Key(VK_RETURN)},
       calls({})},
      {"a maximised window goes full screen", {}, none, {{WM_SIZE, SIZE_MAXIMIZED, 0}},
       calls({"ToFullScreenMode 1"})},
      {"F4 in the text mode", {}, mode(10), {Key(VK_F4)},
       skip(1, 0, 1, {"SetMessageReadFlag 7 -1"})},
      {"F5 in the text mode", {}, mode(10), {Key(VK_F5)},
       skip(0, 1, 1, {"SetMessageReadFlag 7 -1"})},
      {"F4 outside the text mode", {}, mode(12), {Key(VK_F4)}, skip(0, 0, 0, {})},
      {"F4 with the message-mode flag", {},
       [](TraceGame& g) {
         g.Modes().SetCurrentMode(10);
         g.MessageWindow().SetMessageModeFlag(1);
       },
       {Key(VK_F4)}, skip(0, 0, 0, {})},
      {"F5 switched off", {{"F5Ok", "0"}}, mode(10), {Key(VK_F5)}, skip(0, 0, 0, {})},
      {"F4 and F5 leave the script's automatic mode and its locks", {},
       [](TraceGame& g) {
         g.Modes().SetCurrentMode(10);
         g.MessageWindow().SetProhibitWords(2, 0, 1);
       },
       {Key(VK_F4), Key(VK_F5)},
       [](TraceGame& g) {
         CMessageWindowPart& story = g.MessageWindow();
         EXPECT_EQ(g.SkipFilmStarted(), 1);
         EXPECT_EQ(story.GetAutoMessageCheckFlag(), 2);
         EXPECT_EQ(story.GetMessageSwitch(), 0);
         EXPECT_EQ(story.GetCannotSkipFlag(), 1);
       }},
      {"Shift switches the skip on; its release leaves it", {}, none, {Key(VK_SHIFT), KeyUp(VK_SHIFT)},
       shiftSkip(1)},
      {"Shift pressed twice", {}, none, {Key(VK_SHIFT), KeyUp(VK_SHIFT), Key(VK_SHIFT)},
       shiftSkip(0)},
      {"a held Shift's repeats switch nothing more", {}, none,
       {Key(VK_SHIFT), Repeat(VK_SHIFT), Repeat(VK_SHIFT), Repeat(VK_SHIFT)}, shiftSkip(1)},
      {"held F12, Alt+Enter and numeric minus switch once", {}, none,
       {Key(VK_F12), Repeat(VK_F12), {WM_SYSKEYDOWN, VK_RETURN, 0},
        {WM_SYSKEYDOWN, VK_RETURN, KEY_REPEAT_LPARAM}, Key(VK_SUBTRACT), Repeat(VK_SUBTRACT)},
       calls({"ToFullScreenMode 1", "ToWindowMode 1", "OnWindowProc"})},
      {"Shift outside the text mode with shiftSkipMessageOnly", {{"shiftSkipMessageOnly", "1"}},
       mode(12), {Key(VK_SHIFT)}, shiftSkip(0)},
      {"Shift in the text mode with shiftSkipMessageOnly", {{"shiftSkipMessageOnly", "1"}},
       mode(10), {Key(VK_SHIFT)}, shiftSkip(1)},
      {"Ctrl skips while held, even with shiftSkipMessageOnly", {{"shiftSkipMessageOnly", "1"}},
       mode(12), {Key(VK_CONTROL)}, shiftSkip(1)},
      {"Ctrl's release ends the skip", {}, none, {Key(VK_CONTROL), KeyUp(VK_CONTROL)},
       shiftSkip(0)},
      {"numeric minus: the boss comes in any mode", {}, mode(12), {Key(VK_SUBTRACT)},
       [](TraceGame& g) {
         EXPECT_EQ(g.Screen().GetBossComingFlag(), 1);
         EXPECT_EQ(g.Calls(), Log{"OnWindowProc"});
       }},
      {"numeric minus twice: the boss goes", {}, none, {Key(VK_SUBTRACT), Key(VK_SUBTRACT)},
       [](TraceGame& g) { EXPECT_EQ(g.Screen().GetBossComingFlag(), 0); }},
      {"the arrow keys and their numeric twins reach the hook", {}, none,
       {Key(VK_UP), Key(VK_DOWN), Key(VK_LEFT), Key(VK_RIGHT), Key(VK_NUMPAD0 + 8),
        Key(VK_NUMPAD0 + 2), Key(VK_NUMPAD0 + 4), Key(VK_NUMPAD0 + 6), Key('A')},
       calls({"OnWindowProcArg 0", "OnWindowProcArg 1", "OnWindowProcArg 2", "OnWindowProcArg 3",
              "OnWindowProcArg 0", "OnWindowProcArg 1", "OnWindowProcArg 2",
              "OnWindowProcArg 3"})},
      {"a move is remembered", {}, none, {move}, position(120, 45)},
      {"a move while maximised is not", {},
       [this](TraceGame&) { Window()->SetZoomState(true, false); }, {move}, position(0, 0)},
      {"nor while minimised", {}, [this](TraceGame&) { Window()->SetZoomState(false, true); },
       {move}, position(0, 0)},
      {"nor in full screen", {}, [](TraceGame& g) { g.SetFullScreenOption(1); }, {move},
       position(0, 0)},
      {"nor while the window is full screen", {},
       [this](TraceGame&) { Window()->SetFullScreen(true); }, {move}, position(0, 0)},
      {"a paint draws the whole screen again", {}, none, {{WM_PAINT, 0, 0}},
       calls({"AddUpdateRect 0 0 800 600"})},
      {"the movie mode paints itself", {}, mode(27), {{WM_PAINT, 0, 0}}, calls({})},
      {"the system cursor is hidden", {}, none, {{WM_SETCURSOR, 0, 0}},
       [this](TraceGame&) { EXPECT_FALSE(Window()->SystemCursorShown()); }},
      {"key codes past 255 name no key", {}, mode(10),
       {Key(VK_ESCAPE + 256), Key(VK_F4 + 256), Key(VK_SUBTRACT + 0x10000), KeyUp(VK_SHIFT + 256)},
       [this](TraceGame& g) {
         EXPECT_TRUE(Window()->IsVisible());
         EXPECT_EQ(g.MessageWindow().GetSkipKind(0), 0);
         EXPECT_EQ(g.Screen().GetBossComingFlag(), 0);
       }},
      {"the worker driver's start starts nothing", {}, none, {{WM_USER + 555, 0, 0}}, calls({})},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    MakeGame(row.list);
    game_->SetMessageKey(7);
    row.setup(*game_);
    game_->ClearCalls();
    game_->ClearSounds();
    for (const Message& m : row.messages)
      game_->WindowProc(game_->Screen().GetWindowHandle(), m.message, m.wParam, m.lParam);
    game_->Pump();  // what the handler posted (WM_CLOSE)
    row.check(*game_);
  }
}

TEST_F(FrameDriverTest, APointerOverTheWindowHidesTheSystemCursorAndAMovieShowsItByItsOption) {
  // The system data's word of the movie cursor option.
  constexpr int kMovieCursorWord = 172;
  struct Row {
    const char* name;
    int mode;
    int option;
    bool shown;
  } rows[] = {
      {"the title", 1, 0, false},
      {"the story, the option on", 10, 1, false},
      {"a movie", 27, 0, false},
      {"a movie, the option on", 27, 1, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    MakeGame();
    game_->Modes().SetCurrentMode(row.mode);
    game_->Saves().GetSystemFile()->SetSystemData(kMovieCursorWord, row.option);
    Window()->ShowSystemCursor(!row.shown);
    host_->InjectMouseMove(400, 300);
    game_->Pump();
    EXPECT_EQ(Window()->SystemCursorShown(), row.shown);
    // Off the client area the window is not asked: the cursor stays.
    Window()->ShowSystemCursor(!row.shown);
    host_->InjectMouseMove(-5, 700);
    game_->Pump();
    EXPECT_EQ(Window()->SystemCursorShown(), !row.shown);
  }
}

TEST_F(FrameDriverTest, ThePointerIsHiddenBeforeTheGameTakesItsMove) {
  // The host's messages for a pointer that comes over the window, handed to
  // the game one at a time: the cursor question comes first, so the system
  // cursor is already hidden when the game's pointer moves there.
  MakeGame();
  game_->Modes().SetCurrentMode(1);
  Window()->ShowSystemCursor(true);
  host_->InjectMouseMove(400, 300);
  struct Seen {
    uint32_t message;
    bool cursorShown;
    int x, y;
  };
  std::vector<Seen> seen;
  platform::Message m;
  while (platform::PeekMessage(&m, true)) {
    game_->WindowProc(m.window ? m.window : game_->Screen().GetWindowHandle(), m.message, m.wParam,
                      m.lParam);
    platform::Point pos;
    game_->Input().GetMouseStatus()->GetPos(&pos);
    seen.push_back({m.message, Window()->SystemCursorShown(), pos.x, pos.y});
  }
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].message, WM_SETCURSOR);
  EXPECT_FALSE(seen[0].cursorShown);
  EXPECT_NE(std::make_pair(seen[0].x, seen[0].y), std::make_pair(400, 300));
  EXPECT_EQ(seen[1].message, WM_MOUSEMOVE);
  EXPECT_EQ(std::make_pair(seen[1].x, seen[1].y), std::make_pair(400, 300));
}

TEST_F(FrameDriverTest, TheMciNotificationIsAnsweredWithoutTheHost) {
  MakeGame();
  EXPECT_EQ(game_->WindowProc(game_->Screen().GetWindowHandle(), MM_MCINOTIFY, 0, 0), 1);
  EXPECT_EQ(game_->WindowProc(game_->Screen().GetWindowHandle(), WM_USER + 555, 1, 2), 0);
}

TEST_F(FrameDriverTest, TheWheelWaitsTwoFramesAfterAScreenSwitch) {
  MakeGame();
  host_->InjectKey(VK_F12, true);
  std::vector<int> seen;
  for (int i = 0; i < 4; ++i) {
    host_->InjectWheel(120);
    game_->RunFrame([&] {
      seen.push_back(game_->Input().GetMouseStatus()->GetWheel());
      return -1;
    });
  }
  // The switch came before frame 1: turns before frames 1 and 2 fall in
  // the two frames after it.
  EXPECT_EQ(seen, (std::vector<int>{0, 0, 1, 1}));
}

TEST_F(FrameDriverTest, WildPointerAndWheelValuesStayInTheirRange) {
  MakeGame();
  const std::vector<Message> wild = {
      {WM_MOUSEMOVE, ~uintptr_t{0}, MakeLParam(-32768, 32767)},
      {WM_MOUSEWHEEL, static_cast<uintptr_t>(0x80000000u), 0},
      {WM_MOVE, 0, MakeLParam(-32768, -32768)},
      {WM_LBUTTONDOWN, 0, -1},
  };
  for (const Message& m : wild)
    game_->WindowProc(game_->Screen().GetWindowHandle(), m.message, m.wParam, m.lParam);
  platform::Point pos;
  int wheel = 0;
  game_->RunFrame([&] {
    game_->Input().GetMouseStatus()->GetPos(&pos);
    wheel = game_->Input().GetMouseStatus()->GetWheel();
    return -1;
  });
  EXPECT_EQ(pos, (platform::Point{-32768, 32767}));
  EXPECT_EQ(wheel, -1);
  int saved[2] = {0, 0};
  game_->Saves().GetSystemFile()->GetPosition(saved);
  EXPECT_EQ(saved[0], -32768);
}

}  // namespace
}  // namespace game_test
