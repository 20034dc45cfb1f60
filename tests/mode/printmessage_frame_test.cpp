// The print-message mode frame by frame on the fake of the services (50 ms
// frames): typing, clicks, skip, auto mode, the hidden window, the back
// log, the waits, the message cursor, cut-in groups and the demonstration
// run.
#include <algorithm>
#include <string>
#include <vector>

#include "graphics/screenbuffer.h"
#include "message/cutin.h"
#include "mode/printmessage_fixture.h"

namespace printmessage_test {
namespace {

constexpr int kWindow = CCommonPrintMessage::kCodeWindow;
constexpr int kFull = CCommonPrintMessage::kCodeFull;
constexpr int kContinue = CCommonPrintMessage::kCodeContinue;

TEST_F(PrintMessageTest, TypingFollowsTheSpeedAndCarriesTheRemainder) {
  CCommonPrintMessage& mode = Enter(0);  // 20 characters per second
  // Entering starts the looped sounds a load left waiting.
  EXPECT_EQ(std::count(Game().Calls().begin(), Game().Calls().end(), "PlayPendingSounds"), 1);
  Set(kWindow, "Alice\r\nabcdefgh");
  for (int frame = 1; frame <= 3; ++frame) {
    Run();
    EXPECT_EQ(mode.GetTyped(1), frame) << frame;
  }
  EXPECT_EQ(mode.IsTyping(), 1);

  // Uneven steps: 30 ms gives 0.6 of a cell, 40 ms 0.8 more, 30 ms the rest.
  Game().SetStep(30);
  Run();
  EXPECT_EQ(mode.GetTyped(1), 3);
  EXPECT_EQ(mode.GetTypingRemainder(), 600);
  Game().SetStep(40);
  Run();
  EXPECT_EQ(mode.GetTyped(1), 4);
  EXPECT_EQ(mode.GetTypingRemainder(), 400);
  Game().SetStep(30);
  Run();
  EXPECT_EQ(mode.GetTyped(1), 5);
  EXPECT_EQ(mode.GetTypingRemainder(), 0);

  // The fastest speed shows the whole page in the first frame.
  Enter(4);
  Set(kWindow, "Alice\r\nabcdefgh\r\nijkl");
  Game().SetStep(50);
  Run();
  EXPECT_EQ(mode.GetTyped(1), 8);
  EXPECT_EQ(mode.GetTyped(2), 4);
  EXPECT_EQ(mode.IsTyping(), 0);
}

TEST_F(PrintMessageTest, AClickCompletesThePageAndTheNextTurnsIt) {
  CCommonPrintMessage& mode = Enter(0);
  Set(kWindow, "Alice\r\nabcdefgh");
  Run();
  Click();
  EXPECT_EQ(mode.IsTyping(), 0);
  EXPECT_EQ(mode.GetTyped(1), 8);
  EXPECT_EQ(Game().released, 0);
  Run();
  EXPECT_EQ(Game().released, 0);
  Click();
  EXPECT_EQ(Game().released, 1);
  // Return turns a page as a click does.
  Set(kWindow, "Alice\r\nx");
  Enter(4);
  Run();
  Key(VK_RETURN);
  EXPECT_EQ(Game().released, 2);
}

TEST_F(PrintMessageTest, SkipPassesThePageItStartsOnThenOnlyReadPages) {
  CCommonPrintMessage& mode = Enter(0);
  ASSERT_EQ(Game().IsSystemSettingOn(), 0);
  // A complete unread page is passed in the frame skipping starts.
  Set(kWindow, "Alice\r\nab", 0x00010001);
  Enter(4);
  Run();
  ASSERT_EQ(mode.IsTyping(), 0);
  Game().SetShiftSkipState(1);
  Run();
  EXPECT_EQ(Game().released, 1);
  // The next unread page types on and waits.
  Enter(0);
  Game().SetShiftSkipState(1);
  Set(kWindow, "Alice\r\nabcdefgh", 0x00010002);
  Run();
  Run();
  EXPECT_EQ(mode.GetTyped(1), 2);
  EXPECT_EQ(FramesToRelease(20), -1);
  EXPECT_EQ(mode.IsTyping(), 0);
  // A read page is completed and passed at once.
  Game().SetMessageReadFlag(3, -1);
  Set(kWindow, "Alice\r\nabcdefgh", 0x00010003);
  Run();
  EXPECT_EQ(Game().released, 2);
  EXPECT_EQ(mode.GetCellsThisFrame(), 10000);
  EXPECT_EQ(mode.IsTyping(), 0);
  // A page without a number counts as read.
  Set(kWindow, "Alice\r\nabcdefgh", 0x0001FFFF);
  Run();
  EXPECT_EQ(Game().released, 3);
}

TEST_F(PrintMessageTest, TheWheelOpensTheBackLogOnACompletePage) {
  WriteList("PrintMessage", {{"backlogSound", "5"}});
  CCommonPrintMessage& mode = Enter(0);
  Set(kWindow, "Alice\r\nabcdefgh");
  Game().SetSystemSetting(6, 1);
  // While typing the wheel only stops auto mode.
  EXPECT_EQ(Wheel(120), -1);
  EXPECT_EQ(Game().GetSystemSetting(6), 0);
  EXPECT_EQ(mode.IsTyping(), 1);
  Click();
  Game().ClearCalls();
  EXPECT_EQ(Wheel(120), 7);
  const auto& calls = Game().Calls();
  EXPECT_NE(std::find(calls.begin(), calls.end(), "KeepGameState"), calls.end());
  EXPECT_NE(std::find(calls.begin(), calls.end(), "PlaySystemSe 4 0"), calls.end());
  EXPECT_NE(std::find(calls.begin(), calls.end(), "NotifyMode 7 10"), calls.end());
}

TEST_F(PrintMessageTest, SpaceHidesTheWindowAndAClickShowsItWithoutTurning) {
  CCommonPrintMessage& mode = Enter(4);
  Set(kWindow, "Alice\r\nab");
  Run();
  Key(VK_SPACE);
  EXPECT_EQ(mode.IsWindowHidden(), 1);
  Click();
  EXPECT_EQ(mode.IsWindowHidden(), 0);
  EXPECT_EQ(Game().released, 0);
  // The right button ("windowOffMouseButton" 1) hides it too.
  Click(1);
  EXPECT_EQ(mode.IsWindowHidden(), 1);
  Click();
  EXPECT_EQ(Game().released, 0);
  Click();
  EXPECT_EQ(Game().released, 1);
  // While the script's auto word is set the window cannot be hidden.
  Set(kWindow, "Alice\r\nab");
  Game().storedOption = 1;
  Game().SetSystemSetting(6, 0);
  Run();
  Key(VK_SPACE);
  EXPECT_EQ(mode.IsWindowHidden(), 0);
}

TEST_F(PrintMessageTest, AutoModeTurnsAVoicedPageAfterTheVoiceAndItsPause) {
  WriteList("PrintMessage", {{"voiceLastWait", "500"}});
  Enter(0);
  Game().voiceFlag = 1;
  Game().voiceTime = 3000;
  Game().SetSystemSetting(6, 1);
  // Typing ends after 4 frames; the page turns 3.5 s after it was set.
  Set(kWindow, "Alice\r\nabcd");
  EXPECT_EQ(FramesToRelease(100), 70);
  EXPECT_EQ(Game().GetSystemSetting(6), 1);
}

// Auto mode switched on while the voice of a page still speaks waits for
// the voice and its pause.
TEST_F(PrintMessageTest, AutoModeSwitchedOnDuringAVoiceWaitsForIt) {
  WriteList("PrintMessage", {{"voiceLastWait", "500"}});
  Enter(0);
  Game().voiceFlag = 1;
  Game().voiceTime = 3000;
  Set(kWindow, "Alice\r\nabcd");
  for (int i = 0; i < 10; ++i) Run();
  EXPECT_EQ(Game().released, 0);
  Key('A');
  EXPECT_EQ(Game().GetSystemSetting(6), 1);
  EXPECT_EQ(FramesToRelease(100), 59);  // 3.5 s after the page was set
  // Once the voice and its pause are over, auto mode turns the page at once.
  Set(kWindow, "Alice\r\nabcd");
  Game().SetSystemSetting(6, 0);
  for (int i = 0; i < 80; ++i) Run();
  EXPECT_EQ(Game().released, 1);
  Key('A');
  EXPECT_EQ(FramesToRelease(5), 1);
}

// A voiceless page is read while it types: auto mode turns it on the frame
// after it is complete, with auto mode on from the start or switched on
// after a page was read.
TEST_F(PrintMessageTest, AutoModeTurnsAVoicelessPageOnceItIsComplete) {
  WriteList("PrintMessage", {{"noVoiceLastWait", "1000"}});
  CCommonPrintMessage& mode = Enter(0);
  Game().SetSystemSetting(6, 1);
  Set(kWindow, "Alice\r\nabcdefghij");
  int frames = 0;
  while (mode.IsTyping() && frames < 50) {
    Run();
    ++frames;
  }
  EXPECT_EQ(frames, 10);
  EXPECT_EQ(mode.GetAutoCountdown(), 1);
  EXPECT_EQ(FramesToRelease(100), 1);
  Set(kWindow, "Alice\r\nabcd");
  Game().SetSystemSetting(6, 0);
  for (int i = 0; i < 10; ++i) Run();
  EXPECT_EQ(Game().released, 1);
  Key('A');
  EXPECT_EQ(FramesToRelease(5), 1);
}

TEST_F(PrintMessageTest, TheAKeyStartsAutoModeAndInputStopsIt) {
  const std::vector<std::pair<const char*, std::function<int(PrintMessageTest*)>>> stops = {
      {"left click", [](PrintMessageTest* t) { return t->Click(0); }},
      {"right button", [](PrintMessageTest* t) { return t->Click(1); }},
      {"wheel up", [](PrintMessageTest* t) { return t->Wheel(120); }},
  };
  for (const auto& [name, stop] : stops) {
    SCOPED_TRACE(name);
    CCommonPrintMessage& mode = Enter(4);
    Set(kWindow, "Alice\r\nab");
    Run();
    Key('A');
    EXPECT_EQ(Game().GetSystemSetting(6), 1);
    EXPECT_EQ(mode.IsTyping(), 0);
    stop(this);
    EXPECT_EQ(Game().GetSystemSetting(6), 0);
  }
}

TEST_F(PrintMessageTest, TheMessageCursorStandsByItsPageKind) {
  CCommonPrintMessage& mode = Enter(4);
  Set(kWindow, "Alice\r\nabc");
  Run();
  EXPECT_EQ(Game().cursor.back(), "kind 0");
  Game().cursor.clear();
  // Full screen: behind the last character (24 + 1) * 3 + 100, two lines
  // down at 30 a line.
  Set(kFull, "one\r\ntwo\r\nabc");
  Run();
  ASSERT_FALSE(Game().cursor.empty());
  EXPECT_EQ(Game().cursor.back(), "175,160 2");
  EXPECT_EQ(mode.CheckContinue(), 1);
}

TEST_F(PrintMessageTest, WaitsEndByFramesClickOrSkip) {
  CCommonPrintMessage& mode = Enter(4);
  mode.SetWaitTime(5);
  EXPECT_EQ(FramesToRelease(10), 5);
  mode.SetWaitTime(50);
  Run();
  Click();
  EXPECT_EQ(Game().released, 2);
  mode.SetWaitTime(50);
  Game().SetShiftSkipState(1);
  Run();
  EXPECT_EQ(Game().released, 3);
  Game().SetShiftSkipState(0);

  Game().ClearCalls();
  mode.SetScreenWait(3, 4);
  EXPECT_EQ(FramesToRelease(10), 4);
  EXPECT_TRUE(mode.IsScreenWaitDone());
  mode.SetScreenWait(3, 40);
  Run();
  Click();
  EXPECT_EQ(mode.GetScreenWaitCounter(), 40);
  EXPECT_EQ(Game().released, 5);
  // A text after a wait continues as a window page.
  Set(kContinue, "x");
  EXPECT_EQ(mode.GetMessageCode(), kWindow);
}

TEST_F(PrintMessageTest, ADemonstrationEndsToTheTitleOnAHeldButton) {
  Enter(4);
  Set(kWindow, "Alice\r\nab");
  Game().SetStartFlag(1);
  EXPECT_EQ(Run(), -1);
  host_->InjectButton(1, true);
  EXPECT_EQ(Run(), 4);
  host_->InjectButton(1, false);
  EXPECT_EQ(Game().released, 0);
}

TEST_F(PrintMessageTest, FloatingButtonsAndShortcutsLeaveForTheirModes) {
  CCommonPrintMessage& mode = Enter(4);
  Set(kWindow, "Alice\r\nab");
  Run();
  ASSERT_EQ(mode.IsTyping(), 0);
  Game().shortCut = 6;
  EXPECT_EQ(Run(), 6);
  Game().shortCut = -1;
  // A hover code is ignored.
  Game().floatingAnswer = static_cast<int>(0xF8000000u);
  EXPECT_EQ(Run(), -1);
  // Decided buttons, as in the choice mode: 0 the system menu, 1 the
  // configuration, 2 the back log.
  const struct {
    int button, mode;
  } cases[] = {{0, 13}, {1, 12}, {2, 7}};
  for (const auto& c : cases) {
    Enter(4);
    Set(kWindow, "Alice\r\nab");
    Run();
    Game().floatingAnswer = static_cast<int>(0xF0000080u) | c.button;
    EXPECT_EQ(Run(), c.mode) << c.button;
    Game().floatingAnswer = -1;
  }
}

// A continued full-screen page past 64 lines types every new line and
// ends its typing by itself.
TEST_F(PrintMessageTest, ALongContinuedFullScreenPageKeepsTyping) {
  WriteList("PrintMessage", {{"fullMessageNumber", "64"}});
  CCommonPrintMessage& mode = Enter(4);
  Set(kFull, "0");
  for (int i = 1; i < 100; ++i) {
    Run();
    ASSERT_EQ(mode.IsTyping(), 0) << i;
    Set(kContinue, "line" + std::to_string(i));
    EXPECT_EQ(mode.IsTyping(), 1);
  }
  Run();
  EXPECT_EQ(mode.IsTyping(), 0);
  EXPECT_EQ(mode.GetLineCount(), 64);
}

// A cut-in group stands at its box whatever line it starts on, and
// a one-line group right after another gets its own box.
TEST_F(PrintMessageTest, CutinGroupsStandAtTheirBoxes) {
  // Row 1: text at (100, 100), 100 down a line, a box of kind 1 with a
  // margin of 10, colour (255, 0, 255) at 100 percent.
  dir_->Write("spt/cutinChara.xtx",
              "h,h,h,h,h,h,h,h,h,h,h,h,h,h,h,h\r\n"
              "one,t1,100,100,0,100,1,10,10,255,0,255,100,0,0,0\r\n"
              "two,t2,400,100,0,100,1,10,10,0,255,0,100,0,0,0\r\n");
  // The game uses cut-ins ("useCutinFlag"): mode 10 made again.
  Game().Settings().useCutinFlag = 1;
  Game().MakeMode<CCommonPrintMessage>();
  CCommonPrintMessage& mode = Enter(4);
  ASSERT_NE(mode.GetCutinChara(), nullptr);
  ASSERT_EQ(mode.GetCutinChara()->GetTextPos(1).y, 100);
  mode.SetCutinNumber(1);
  Set(kWindow, "first");
  Set(kContinue, "a\r\nb", 0x00010002, 1);
  ASSERT_EQ(mode.GetCutinMark(1, 1), 2);
  ASSERT_EQ(mode.GetCutinMark(2, 1), 1);
  Run();
  Run();
  const uint32_t* screen = CScreenBuffer::GetBuffer();
  const int w = CScreenBuffer::GetWidth();
  // The box's corner: the text position less the margin.
  EXPECT_EQ(screen[90 * w + 90] & 0xFFFFFF, 0xFF00FFu);
  // The group's second line is one step below its first, not two.
  auto ink = [&](int top) {
    for (int y = top; y < top + 40; ++y)
      for (int x = 100; x < 160; ++x)
        if ((screen[y * w + x] & 0xFFFFFF) == 0xFFFFFFu) return true;
    return false;
  };
  EXPECT_TRUE(ink(200));
  EXPECT_FALSE(ink(300));

  // Two one-line groups in a row: the second has its box too.
  Set(kWindow, "c", 0x00010003, 1);
  Set(kContinue, "d", 0x00010004, 2);
  ASSERT_EQ(mode.GetCutinMark(0, 1), 1);
  ASSERT_EQ(mode.GetCutinMark(1, 0), 2);
  ASSERT_EQ(mode.GetCutinMark(1, 1), 1);
  Run();
  EXPECT_EQ(screen[90 * w + 90] & 0xFFFFFF, 0xFF00FFu);
  EXPECT_EQ(screen[90 * w + 390] & 0xFFFFFF, 0x00FF00u);
}

}  // namespace
}  // namespace printmessage_test
