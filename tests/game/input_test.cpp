// The input state as the game's window handler writes it and the frame
// updates it, seen from a mode's calculation step.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/inputpart.h"
#include "game/variablepart.h"
#include "input/inputstatus.h"
#include "game_test.h"
#include "platform/types.h"
#include "script/gamevars.h"
#include "support/fake_game.h"

namespace game_test {
namespace {

// What a calculation step saw of the mouse.
struct Seen {
  int click[3], trig[3], prev[3], any, wheel;
  platform::Point pos;
};

class InputTest : public FakeGameTest {
 protected:
  // Runs one frame and returns what its calculation step saw.
  Seen Frame() {
    Seen s{};
    game_->RunFrame([&] {
      CMouseStatus* m = game_->Input().GetInputStatus()->GetMouseStatus();
      for (int b = 0; b < 3; ++b) {
        s.click[b] = m->GetClick(b);
        s.trig[b] = m->GetTrig(b);
        s.prev[b] = m->GetPrevTrig(b);
      }
      s.any = m->GetAnyClick();
      s.wheel = m->GetWheel();
      m->GetPos(&s.pos);
      return -1;
    });
    return s;
  }
  // The key codes whose trigger a calculation step saw.
  std::vector<int> Keys(const std::vector<int>& codes) {
    std::vector<int> hit;
    game_->RunFrame([&] {
      for (int c : codes)
        if (game_->Input().CheckKeyTrig(c)) hit.push_back(c);
      return -1;
    });
    return hit;
  }
};

TEST_F(InputTest, AClickBetweenTwoFramesIsSeenByExactlyOneStep) {
  host_->InjectMouseMove(120, 80);
  host_->InjectButton(0, true);
  host_->InjectButton(0, false);
  Seen first = Frame();
  EXPECT_EQ(first.click[0], 1);
  EXPECT_EQ(first.any, 1);
  EXPECT_EQ(first.pos, (platform::Point{120, 80}));
  Seen second = Frame();
  EXPECT_EQ(second.click[0], 0);
  EXPECT_EQ(second.any, 0);
  EXPECT_EQ(second.trig[0], 0);
}

TEST_F(InputTest, HeldIsNotClicked) {
  host_->InjectButton(1, true);
  struct Expect {
    int click, trig;
  };
  const std::vector<Expect> expected = {{1, 1}, {0, 1}, {0, 1}};
  for (size_t i = 0; i < expected.size(); ++i) {
    Seen s = Frame();
    EXPECT_EQ(s.click[1], expected[i].click) << "frame " << i;
    EXPECT_EQ(s.trig[1], expected[i].trig) << "frame " << i;
  }
  host_->InjectButton(1, false);
  Seen released = Frame();
  EXPECT_EQ(released.trig[1], 0);
  EXPECT_EQ(released.prev[1], 1);
  EXPECT_EQ(released.click[1], 0);
  EXPECT_EQ(Frame().prev[1], 0);
}

TEST_F(InputTest, AReleaseOutsideTheWindowIsCaughtAtTheNextUpdate) {
  host_->InjectButton(0, true);
  EXPECT_EQ(Frame().trig[0], 1);
  host_->ReleaseButtonSilently(0);
  EXPECT_EQ(Frame().trig[0], 1);  // the step before the update still sees it
  EXPECT_EQ(Frame().trig[0], 0);
}

TEST_F(InputTest, AButtonHeldWhenThePointerComesInIsHeldNotClicked) {
  platform::PostMessage(window_, WM_MOUSEMOVE, MK_LBUTTON | MK_MBUTTON, MakeLParam(5, 6));
  Seen s = Frame();
  EXPECT_EQ(s.trig[0], 1);
  EXPECT_EQ(s.trig[2], 1);
  EXPECT_EQ(s.click[0], 0);
  EXPECT_EQ(s.click[2], 0);
  // A move without the bit lets a held button go.
  host_->InjectButton(0, true);
  Frame();
  platform::PostMessage(window_, WM_MOUSEMOVE, 0, MakeLParam(7, 8));
  host_->ReleaseButtonSilently(0);
  s = Frame();
  EXPECT_EQ(s.trig[0], 0);
  EXPECT_EQ(s.pos, (platform::Point{7, 8}));
}

TEST_F(InputTest, TheMiddleButtonIsNoAnyClick) {
  host_->InjectButton(2, true);
  Seen s = Frame();
  EXPECT_EQ(s.click[2], 1);
  EXPECT_EQ(s.trig[2], 1);
  EXPECT_EQ(s.any, 0);
  host_->InjectButton(2, false);
  host_->InjectButton(1, true);
  EXPECT_EQ(Frame().any, 1);
}

TEST_F(InputTest, WheelTurnsAndTheArrowKeysScroll) {
  struct Case {
    const char* name;
    std::function<void()> act;
    int wheel;
  };
  const std::vector<Case> cases = {
      {"nothing", [] {}, 0},
      {"one notch up", [&] { host_->InjectWheel(120); }, 1},
      {"two notches down", [&] { host_->InjectWheel(-240); }, -1},
      {"a small turn up", [&] { host_->InjectWheel(1); }, 1},
      {"Up arrow", [&] { host_->InjectKey(VK_UP, true); }, 1},
      {"Down arrow", [&] { host_->InjectKey(VK_DOWN, true); }, -1},
      {"numeric 8", [&] { host_->InjectKey(104, true); }, 1},
      {"numeric 2", [&] { host_->InjectKey(98, true); }, -1},
      {"the last turn wins", [&] {
         host_->InjectWheel(-120);
         host_->InjectWheel(120);
       }, 1},
  };
  for (const Case& c : cases) {
    c.act();
    EXPECT_EQ(Frame().wheel, c.wheel) << c.name;
    EXPECT_EQ(Frame().wheel, 0) << c.name << ", one frame later";
  }
}

TEST_F(InputTest, KeyTriggersWithTheirAliases) {
  const std::vector<int> codes = {13, 26, 27, 28, 29, 30, 31, 32, 33, 34, 37, 38, 39, 40, 65};
  struct Case {
    const char* name;
    std::vector<int> keys;  // virtual keys pressed
    std::vector<int> seen;
  };
  const std::vector<Case> cases = {
      {"Left", {VK_LEFT}, {28, 37}},
      {"Right", {VK_RIGHT}, {29, 39}},
      {"Up", {VK_UP}, {30, 38}},
      {"Down", {VK_DOWN}, {31, 40}},
      {"Page Down", {VK_NEXT}, {26, 34}},
      {"Page Up", {VK_PRIOR}, {27, 33}},
      {"Insert records Page Up", {VK_INSERT}, {27, 33}},
      {"Delete records Page Down", {VK_DELETE}, {26, 34}},
      {"numeric 4 records Left", {100}, {28, 37}},
      {"numeric 6 records Right", {102}, {29, 39}},
      {"Return and Space test themselves", {VK_RETURN, VK_SPACE}, {13, 32}},
      {"a letter", {65}, {65}},
      {"key code 28 itself", {28}, {28}},
      {"nothing", {}, {}},
  };
  for (const Case& c : cases) {
    for (int vk : c.keys) host_->InjectKey(vk, true);
    EXPECT_EQ(Keys(codes), c.seen) << c.name;
    EXPECT_TRUE(Keys(codes).empty()) << c.name << ", one frame later";
    for (int vk : c.keys) host_->InjectKey(vk, false);
  }
  for (int code : {-1, 256, 300, 1 << 20}) EXPECT_EQ(game_->Input().CheckKeyTrig(code), 0) << code;
  // Codes beyond 255 in a key message reach nothing.
  platform::PostMessage(window_, WM_KEYDOWN, 256 + 65, 0);
  EXPECT_TRUE(Keys(codes).empty());
}

TEST_F(InputTest, AHeldKeyTriggersOnlyInFramesWithARepeat) {
  host_->InjectKey(65, true);
  EXPECT_EQ(Keys({65}), std::vector<int>{65});
  EXPECT_TRUE(Keys({65}).empty());
  host_->InjectKey(65, true);  // auto-repeat
  EXPECT_EQ(Keys({65}), std::vector<int>{65});
  bool down = true;
  game_->RunFrame([&] {
    down = game_->Input().GetKeyStatus()->CheckKey(65, 0);
    return -1;
  });
  EXPECT_FALSE(down);
}

TEST_F(InputTest, ShiftAndCtrlFollowTheirRelease) {
  host_->InjectKey(VK_SHIFT, true);
  host_->InjectKey(VK_SHIFT, false);
  host_->InjectKey(VK_CONTROL, true);
  int shiftDown = -1, shiftPressed = -1, ctrlDown = -1;
  game_->RunFrame([&] {
    shiftDown = game_->Input().GetKeyStatus()->CheckKey(VK_SHIFT, 0);
    shiftPressed = game_->Input().GetKeyStatus()->CheckKey(VK_SHIFT, 1);
    ctrlDown = game_->Input().GetKeyStatus()->CheckKey(VK_CONTROL, 0);
    return -1;
  });
  EXPECT_EQ(shiftDown, 0);
  EXPECT_EQ(shiftPressed, 1);
  EXPECT_EQ(ctrlDown, 1);
}

// The script's system variables read the same state.
TEST_F(GameTest, ScriptVariablesReadTheInputState) {
  testsupport::FakeGame game(*host_);
  const std::vector<std::pair<SystemVar, int>> numbers = {
      {SystemVar::kMouseX, 10}, {SystemVar::kMouseY, 11}, {SystemVar::kTrig1, 12},
      {SystemVar::kClick1, 13}, {SystemVar::kClick3, 14}, {SystemVar::kWheel, 15},
      {SystemVar::kMode, 16}};
  for (const auto& [which, n] : numbers) game.Vars().GetVariables()->SetSystemVarNumber(which, n);
  host_->InjectMouseMove(33, 44);
  host_->InjectButton(0, true);
  host_->InjectWheel(-120);
  std::vector<int> values;
  game.RunFrame([&] {
    for (const auto& [which, n] : numbers) values.push_back(game.GetSystemVar(n));
    return -1;
  });
  EXPECT_EQ(values, (std::vector<int>{33, 44, 1, 1, 0, -1, 1}));
}

}  // namespace
}  // namespace game_test
