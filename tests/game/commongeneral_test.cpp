// The mode base class on the test double: the drivers, the fades, key
// movement, button results, the settings loaders and the mode-name table.
#include "modebase/commongeneral.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/inputpart.h"
#include "game/modeflowpart.h"
#include "game/screenpart.h"
#include "game/scriptpart.h"
#include "game/soundpart.h"
#include "input/inputstatus.h"
#include "modebase/modenames.h"
#include "game_test.h"
#include "graphics/allgraphics.h"
#include "graphics/blendrows.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "graphics/systempicture.h"
#include "platform/types.h"
#include "support/dwq_picture.h"
#include "support/fake_game.h"
#include "widget/animepart.h"
#include "widget/backbutton.h"
#include "widget/buttoncode.h"
#include "widget/commonbutton.h"
#include "widget/updownbutton.h"

namespace game_test {
namespace {

using Calls = std::vector<std::string>;

// A mode that notes its steps in the game's call trace.
class TestMode : public CCommonGeneral {
 public:
  TestMode(testsupport::FakeGame* game, int number, const char* list = nullptr)
      : CCommonGeneral(game->Roles()), fake_(game) {
    SetModeNumber(number);
    if (list) LoadSetupFile(list, 64);
  }

  int Calcu() override {
    fake_->Note("Calcu");
    ++calcus;
    return calcuResult ? calcuResult() : -1;
  }
  int Print() override {
    fake_->Note("Print");
    // The mode's picture: one colour over the whole screen.
    std::fill_n(CScreenBuffer::GetBuffer(), CScreenBuffer::GetWidth() * CScreenBuffer::GetHeight(),
                printColor);
    return -1;
  }
  int Init() override {
    fake_->Note("Init");
    return 7;
  }
  void BeforeInit() override { fake_->Note("BeforeInit"); }
  void AfterInit() override { fake_->Note("AfterInit"); }
  void BeforeExit() override { fake_->Note("BeforeExit"); }
  void AtExit() override { fake_->Note("AtExit"); }
  int Leave() override {
    fake_->Note("Leave");
    return -1;
  }
  CCommonBackButton* BackButton() const { return backButton_; }
  int HitTestItem(int, int) override { return hitItem; }
  void MoveMouseToItem(int item) override { fake_->Note("MoveMouseToItem " + std::to_string(item)); }
  int KeyMoveItem(int combined, int leftRight, int upDown) override {
    fake_->Note("KeyMoveItem " + std::to_string(combined) + " " + std::to_string(leftRight) + " " +
                std::to_string(upDown));
    return keyMoveResult;
  }

  // One frame of the game: this mode is current.
  void Frame(testsupport::FakeGame& game) {
    game.RunFrame([this] { return GeneralCalcu(); },
                  [this] {
                    GeneralPrint();
                    ExitStep();
                  });
  }

  const ExitFade& Normal() const { return exitNormal_; }
  const ExitFade& Special() const { return exitSpecial_; }
  int SpecialMode() const { return exitFadeOutSpecialMode_; }
  int EnterCountdown() const { return enterFadeCountdown_; }
  void SetMiniGameCheck(int flag) { miniGameCheckFlag_ = flag; }
  CPicture* From() const { return fadeFromPicture_; }
  CPicture* To() const { return fadeToPicture_; }

  std::function<int()> calcuResult;
  uint32_t printColor = 0x102030;
  int calcus = 0;
  int hitItem = -1;
  int keyMoveResult = -1;

 private:
  testsupport::FakeGame* fake_;
};

class CommonGeneralTest : public FakeGameTest {
 protected:
  // The calls recorded since the last look, without the given operations.
  Calls Take(const std::vector<std::string>& skip = {}) {
    Calls out;
    for (const std::string& c : game_->Calls()) {
      const std::string op = c.substr(0, c.find(' '));
      if (std::find(skip.begin(), skip.end(), op) == skip.end()) out.push_back(c);
    }
    game_->ClearCalls();
    return out;
  }
  static int Count(const Calls& calls, const std::string& text) {
    return static_cast<int>(std::count(calls.begin(), calls.end(), text));
  }
  static uint32_t Pixel(const CPicture* p) { return p->GetPixelBuffer()[0]; }
  static uint32_t ScreenPixel() { return CScreenBuffer::GetBuffer()[0]; }
};

// --- Mode names ---

TEST(ModeNames, NumbersAndNames) {
  const struct {
    const char* name;
    int number;
  } numbers[] = {{"TITLE", 4},  {"title", 4},        {"12", 12},       {"", 0},
                 {"unknown", 0}, {nullptr, 0},       {"selectplace2", 35}, {"CardSystem", 45},
                 {" 7", 7},      {"-1", -1}};
  for (const auto& c : numbers)
    EXPECT_EQ(modenames::GetModeNumber(c.name), c.number) << (c.name ? c.name : "(null)");
  const struct {
    int number;
    const char* name;
  } names[] = {{4, "title"}, {40, "minigame"}, {19, ""}, {0, ""}, {100, ""}, {150, ""}, {-1, ""}};
  for (const auto& c : names) EXPECT_STREQ(modenames::GetModeName(c.number), c.name) << c.number;
  EXPECT_STREQ(modenames::GetQuickButtonName(2), "config");
  EXPECT_STREQ(modenames::GetQuickButtonName(4), "");
}

// --- Drivers ---

TEST_F(CommonGeneralTest, EnterRunsItsSequenceInOrder) {
  WriteList("m", {{"backScriptFlag", "1"}, {"backScriptName", "bs01"}, {"enterFadeInType", "2"},
                  {"enterFadeInTime", "5"}, {"bgmNumber", "3"}, {"bgmLoop", "1"},
                  {"bgmVolume", "80"}, {"bgmFadeInTime", "30"}});
  TestMode mode(game_.get(), 12, "m");
  mode.LoadBackScriptSetup();
  mode.LoadFadeSetup();
  mode.LoadBgmSetup();
  game_->ClearCalls();
  EXPECT_EQ(mode.Enter(), 7);
  EXPECT_EQ(Take(), (Calls{"OnModeEnter 12", "BeforeInit", "SetBackScriptMode 1",
                           "LoadBackScript bs01", "SetMiniGameAreaMode -1", "Init", "AfterInit",
                           "Print", "PlayBgmNumber 2 1 80 30 -1"}));
  EXPECT_EQ(mode.EnterCountdown(), 5);
  EXPECT_EQ(game_->Scripts().GetBackScriptMode(), 1);

  // Without a back script the game's back-script mode is switched off.
  TestMode plain(game_.get(), 13);
  plain.Enter();
  EXPECT_EQ(Take(), (Calls{"OnModeEnter 13", "BeforeInit", "SetBackScriptMode 0",
                           "SetMiniGameAreaMode -1", "Init", "AfterInit"}));
}

TEST_F(CommonGeneralTest, EnterFadeDrawsItsFramesAndAClickEndsIt) {
  WriteList("m", {{"enterFadeInType", "3"}, {"enterFadeInTime", "10"}});
  TestMode mode(game_.get(), 12, "m");
  mode.LoadFadeSetup();
  mode.Enter();
  game_->ClearCalls();
  for (int frame = 1; frame <= 10; ++frame) {
    mode.Frame(*game_);
    EXPECT_EQ(mode.GetFadePhase(), 1) << frame;
    EXPECT_EQ(Take(), (Calls{"PrintWipeType " + std::to_string(frame) + " 10 2"})) << frame;
  }
  mode.Frame(*game_);
  EXPECT_EQ(mode.calcus, 1);
  EXPECT_EQ(Take(), (Calls{"Calcu", "Print"}));

  // A right click in the fourth fade frame ends the fade in that frame.
  mode.Enter();
  mode.calcus = 0;
  for (int frame = 1; frame <= 3; ++frame) mode.Frame(*game_);
  host_->InjectButton(1, true);
  host_->InjectButton(1, false);
  game_->ClearCalls();
  mode.Frame(*game_);
  EXPECT_EQ(Take(), (Calls{"PrintWipeType 10 10 2"}));
  mode.Frame(*game_);
  EXPECT_EQ(mode.calcus, 1);
}

TEST_F(CommonGeneralTest, EnterCrossFadeBlendsFromTheColourToTheModesPicture) {
  WriteList("m", {{"enterFadeInType", "-1"}, {"enterFadeInTime", "4"},
                  {"enterFadeInColorR", "255"}, {"enterFadeInColorG", "255"},
                  {"enterFadeInColorB", "255"}});
  TestMode mode(game_.get(), 12, "m");
  mode.LoadFadeSetup();
  mode.printColor = 0x000000;
  // The colour comes from the settings, not from buffer picture 0: a
  // picture of another colour put there after the entry does not change
  // the fade.
  mode.Enter();
  EXPECT_EQ(Pixel(mode.To()), 0x000000u);
  // Buffer picture 0 holds the colour, the frame a load puts.
  EXPECT_EQ(Pixel(mode.From()), 0xFFFFFFu);
  CCommonGeneral::FillPictureColor(mode.From(), 0x12, 0x34, 0x56);
  std::vector<uint32_t> seen;
  for (int frame = 1; frame <= 4; ++frame) {
    mode.Frame(*game_);
    seen.push_back(ScreenPixel());
  }
  // The first frame is a quarter of the way: the colour at 75 %.
  const uint32_t first = (255u * static_cast<uint32_t>(blendrows::Weight(75)) >> 8) * 0x010101u;
  EXPECT_EQ(seen[0], first);
  // Lighter to darker, ending on the mode's own picture.
  for (size_t i = 1; i < seen.size(); ++i) EXPECT_LT(seen[i] & 0xFF, seen[i - 1] & 0xFF) << i;
  EXPECT_EQ(seen.back(), 0x000000u);
  EXPECT_EQ(Pixel(mode.From()), 0x123456u);
}

// A load captures the load screen into buffer picture 0, re-enters the
// loaded mode and puts buffer picture 0 on the screen. With a colour enter
// fade that frame is the colour the fade starts from, not the load screen.
TEST_F(CommonGeneralTest, TheFrameALoadPutsIsTheColourTheEnterFadeStartsFrom) {
  WriteList("m", {{"enterFadeInType", "-1"}, {"enterFadeInTime", "4"},
                  {"enterFadeInColorR", "0"}, {"enterFadeInColorG", "0"},
                  {"enterFadeInColorB", "0"}});
  auto owned = std::make_unique<TestMode>(game_.get(), 12, "m");
  TestMode& mode = *owned;
  mode.LoadFadeSetup();
  mode.printColor = 0xFFFFFF;
  game_->Modes().PutMode(12, std::move(owned));
  game_->Modes().SetCurrentMode(12);
  // The load screen as its exit capture keeps it.
  CAllGraphics::FillScreen(0x30, 0x60, 0x90);
  mode.From()->GetScreen();
  game_->Modes().RestartFromLoad();
  mode.From()->Put(0, 0, 0);
  EXPECT_EQ(ScreenPixel(), 0x000000u);
  // The fade's first frame, the game driving its current mode, goes on
  // from there.
  game_->RunFrame();
  EXPECT_EQ(ScreenPixel(), (255u * static_cast<uint32_t>(blendrows::Weight(25)) >> 8) * 0x010101u);
}

TEST_F(CommonGeneralTest, ExitWipeRunsTimeMinusOneStepsThenReturnsTheTarget) {
  WriteList("m", {{"exitFadeOutType", "3"}, {"exitFadeOutTime", "5"}});
  TestMode mode(game_.get(), 10, "m");
  mode.LoadFadeSetup();
  mode.Enter();
  // A mode the game does not make, so the frame enters nothing.
  mode.calcuResult = [&mode] { return mode.ExitToMode(14); };
  game_->ClearCalls();
  mode.Frame(*game_);
  EXPECT_EQ(Take(), (Calls{"Calcu", "OnModeHook 14", "RestoreFloatingLayers", "Print"}));
  mode.calcuResult = nullptr;
  for (int step = 1; step <= 4; ++step) {
    mode.Frame(*game_);
    EXPECT_EQ(Take(), (Calls{"PrintWipeType " + std::to_string(step) + " 4 2"})) << step;
    EXPECT_TRUE(game_->ModeRequests().empty());
  }
  // The countdown ends: the target in this frame, the leave hooks once.
  mode.Frame(*game_);
  EXPECT_EQ(Take(),
            (Calls{"PrintWipeType 4 4 2", "SetBackScriptMode 0", "BeforeExit", "AtExit"}));
  EXPECT_EQ(game_->ModeRequests(), (std::vector<int>{14}));
  EXPECT_EQ(mode.calcus, 1);
  mode.Frame(*game_);
  EXPECT_EQ(Take(), (Calls{"Calcu", "Print"}));
}

TEST_F(CommonGeneralTest, ExitWithoutFadeCapturesTheScreenAndReturnsAtOnce) {
  TestMode mode(game_.get(), 10);
  mode.LoadFadeSetup();  // no list: type 0, "createExitScreenFlag" 1
  mode.Enter();
  std::fill_n(CScreenBuffer::GetBuffer(), 4, 0xABCDEFu);
  game_->ClearCalls();
  EXPECT_EQ(mode.ExitToMode(12), 12);
  EXPECT_EQ(Take(), (Calls{"OnModeHook 12", "RestoreFloatingLayers"}));
  EXPECT_EQ(Pixel(mode.From()), 0xABCDEFu);
  EXPECT_EQ(mode.ExitStep(), 0);
  EXPECT_EQ(mode.ExitStep(), -1);
  EXPECT_EQ(Take(), (Calls{"SetBackScriptMode 0", "BeforeExit", "AtExit"}));

  // -1 ends the mode with no next mode; the leave hooks still run.
  WriteList("nocapture", {{"createExitScreenFlag", "0"}});
  TestMode other(game_.get(), 9, "nocapture");
  other.LoadFadeSetup();
  EXPECT_EQ(other.ExitToMode(-1), -1);
  EXPECT_EQ(other.ExitStep(), 0);
  EXPECT_EQ(Take(), (Calls{"OnModeHook -1", "SetBackScriptMode 0", "BeforeExit", "AtExit"}));
}

TEST_F(CommonGeneralTest, SpecialExitOnlyForItsTarget) {
  const struct {
    const char* special;
    int target;
    const char* firstWipe;  // the first exit frame's wipe
  } cases[] = {
      {"title", 4, "PrintWipeType 1 2 1"},   // special: type 2, time 3
      {"title", 12, "PrintWipeType 1 5 0"},  // normal: type 1, time 6
      {"4", 4, "PrintWipeType 1 2 1"},
      {"-1", -1, "PrintWipeType 1 5 0"},  // below 0 never selects the special fade
      {"nomode", 0, "PrintWipeType 1 5 0"},
  };
  for (const auto& c : cases) {
    WriteList("m", {{"exitFadeOutType", "1"}, {"exitFadeOutTime", "6"},
                    {"exitFadeOutSpecialMode", c.special}, {"exitFadeOutTypeSpecial", "2"},
                    {"exitFadeOutTimeSpecial", "3"}});
    TestMode mode(game_.get(), 10, "m");
    mode.LoadFadeSetup();
    EXPECT_EQ(mode.ExitToMode(c.target), -1) << c.special;
    game_->ClearCalls();
    mode.Frame(*game_);
    EXPECT_EQ(Take(), (Calls{c.firstWipe})) << c.special << " " << c.target;
  }
}

TEST_F(CommonGeneralTest, MiniGameCheckLeavesForTheMiniGameAndDrawsItsButtons) {
  TestMode mode(game_.get(), 4);
  mode.SetMiniGameCheck(1);
  mode.Enter();
  game_->ClearCalls();
  mode.Frame(*game_);
  EXPECT_EQ(Take({"RestoreFloatingLayers", "OnModeHook", "SetBackScriptMode"}),
            (Calls{"CheckMiniGameStart 4", "Calcu", "Print", "PrintMiniGameButtons"}));
  EXPECT_EQ(mode.CheckMiniGame(), 0);
  game_->SetMiniGameStart(1);
  EXPECT_EQ(mode.CheckMiniGame(), 1);
  game_->ClearCalls();
  mode.Frame(*game_);
  EXPECT_EQ(Take({"RestoreFloatingLayers", "OnModeHook", "SetBackScriptMode"}),
            (Calls{"CheckMiniGameStart 4", "NotifyMode 40 4", "Print", "PrintMiniGameButtons",
                   "BeforeExit", "AtExit", "OnModeEnter 40", "SetMiniGameAreaMode -1"}));
  EXPECT_EQ(game_->ModeRequests(), (std::vector<int>{40}));
}

TEST_F(CommonGeneralTest, VoicesAndBackScriptRunInTheCalculation) {
  WriteList("m", {{"enterExitVoiceFlag", "1"}, {"enterVoiceFileName", "hello"},
                  {"enterVoiceWaitTime", "2"}, {"backScriptFlag", "1"},
                  {"backScriptName", "bs"}, {"backScriptLoopFlag", "0"}});
  TestMode mode(game_.get(), 15, "m");
  mode.LoadEnterExitVoiceSetup();
  mode.LoadBackScriptSetup();
  mode.Enter();
  game_->ClearCalls();
  mode.Frame(*game_);
  EXPECT_EQ(Take(), (Calls{"CalcuBackScript 0", "Calcu", "Print"}));
  EXPECT_EQ(mode.IsBackScriptEnded(), 0);
  game_->SetBackScriptResult(1);
  mode.Frame(*game_);
  EXPECT_EQ(Take(), (Calls{"PlaySystemVoiceFile hello 1 0", "CalcuBackScript 0", "Calcu", "Print"}));
  EXPECT_EQ(mode.IsBackScriptEnded(), 1);
}

TEST_F(CommonGeneralTest, CompanionDriversSkipOnlyWhileFading) {
  WriteList("m", {{"enterFadeInType", "1"}, {"enterFadeInTime", "3"}});
  TestMode mode(game_.get(), 7, "m");
  mode.LoadFadeSetup();
  mode.Enter();
  mode.Frame(*game_);
  game_->ClearCalls();
  EXPECT_EQ(mode.CalcuUnlessFading(0), -1);
  EXPECT_EQ(mode.PrintUnlessFading(0), -1);
  EXPECT_TRUE(Take().empty());
  EXPECT_EQ(mode.CalcuUnlessFading(1), -1);
  EXPECT_EQ(mode.PrintUnlessFading(1), -1);
  EXPECT_EQ(mode.CallInit(), 7);
  EXPECT_EQ(mode.CallLeave(), -1);
  EXPECT_EQ(Take(), (Calls{"Calcu", "Print", "Init", "Leave"}));
  for (int i = 0; i < 3; ++i) mode.Frame(*game_);
  game_->ClearCalls();
  mode.CalcuUnlessFading(0);
  mode.PrintUnlessFading(0);
  EXPECT_EQ(Take(), (Calls{"Calcu", "Print"}));
}

TEST_F(CommonGeneralTest, PrintBackScreenBothWays) {
  WriteList("bs", {{"backScriptFlag", "1"}});
  TestMode scripted(game_.get(), 10, "bs");
  scripted.LoadBackScriptSetup();
  CScreenBuffer::StartFrame();
  CScreenBuffer::StartFrame();  // a frame that is not presented whole
  ASSERT_EQ(CScreenBuffer::CheckFullRedraw(), 0);
  game_->ClearCalls();
  scripted.PrintBackScreen();
  EXPECT_EQ(Take(), (Calls{"PrintBackScript"}));
  EXPECT_EQ(CScreenBuffer::CheckFullRedraw(), 1);

  TestMode plain(game_.get(), 12);
  CPicture* back = game_->Screen().GetScreenPicture();
  CCommonGeneral::FillPictureColor(back, 1, 2, 3);
  CScreenBuffer::StartFrame();
  CScreenBuffer::StartFrame();
  CScreenBuffer::GetBuffer()[0] = 0;
  plain.PrintBackScreen();  // drawn only on a frame presented whole
  EXPECT_EQ(ScreenPixel(), 0u);
  CScreenBuffer::SetFullRedraw(0);
  plain.PrintBackScreen();
  EXPECT_EQ(ScreenPixel(), 0x010203u);
  EXPECT_TRUE(Take().empty());
}

// --- Key movement ---

TEST_F(CommonGeneralTest, KeyMovementCombinesOrSplitsTheKeys) {
  const struct {
    const char* tateYoko;
    const char* expected;
  } cases[] = {{"0", "KeyMoveItem 1 0 0"}, {"1", "KeyMoveItem 0 1 -1"}};
  for (const auto& c : cases) {
    WriteList("m", {{"keyMoveTateYoko", c.tateYoko}});
    TestMode mode(game_.get(), 12, "m");
    mode.LoadKeyMoveSetup(0, 1, 1);
    mode.Enter();
    mode.hitItem = 3;
    mode.keyMoveResult = 0;
    host_->InjectKey(VK_UP, true);
    host_->InjectKey(VK_RIGHT, true);
    game_->ClearCalls();
    mode.Frame(*game_);
    // The mouse goes to the item current before this frame's hit test.
    EXPECT_EQ(Take(), (Calls{c.expected, "MoveMouseToItem -1", "Calcu", "Print"})) << c.tateYoko;
    EXPECT_EQ(mode.IsKeyMoved(), 1);
    EXPECT_EQ(mode.GetCurrentItem(), 3);
  }
  // No key, or the move disabled: nothing is asked.
  TestMode off(game_.get(), 12);
  off.LoadKeyMoveSetup(0, 0, 0);
  host_->InjectKey(VK_DOWN, true);
  game_->ClearCalls();
  off.Frame(*game_);
  EXPECT_EQ(Take(), (Calls{"Calcu", "Print"}));
}

// --- Button results ---

TEST_F(CommonGeneralTest, ButtonResultsPlayTheirSoundAndAnswerTheButton) {
  auto code = [](uint32_t kind, int sound, int volumeType, int button) {
    uint32_t c = kind << 24 | static_cast<uint32_t>(volumeType) << 21;
    if (sound) c |= 0x8000 | static_cast<uint32_t>(sound) << 8;
    if (button >= 0) c |= 0x80 | static_cast<uint32_t>(button);
    return static_cast<int>(c);
  };
  const struct {
    int code;
    int result;
    const char* sound;  // null: none
  } cases[] = {
      {-1, -1, nullptr},
      {code(0xF0, 3, 2, -1), -1, "PlaySystemSe 2 2"},  // decided, no button number
      {code(0xF0, 0, 0, 5), 5, nullptr},
      {code(0xF0, 1, 0, 0), 0, "PlaySystemSe 0 0"},
      {code(0xF8, 4, 1, 5), -1, "PlaySystemSe 3 1"},
  };
  TestMode mode(game_.get(), 12);
  for (const auto& c : cases) {
    for (int slot = 0; slot < 3; ++slot) {
      const int r = slot == 0   ? mode.CheckButtonResult(c.code)
                    : slot == 1 ? mode.CheckButtonResult2(c.code)
                                : mode.CheckButtonResult3(c.code);
      EXPECT_EQ(r, c.result) << std::hex << c.code;
      EXPECT_EQ(game_->Sounds(), c.sound ? Calls{c.sound} : Calls{}) << std::hex << c.code;
      game_->ClearSounds();
    }
  }
}

TEST_F(CommonGeneralTest, PlayButtonSoundByKind) {
  ButtonSounds button;
  button.click = 1;
  button.bad = 2;
  button.enter = 3;
  button.exit = 4;
  button.volumeType = 5;
  ButtonSounds waiting = button;
  waiting.enterWait = waiting.exitWait = 2;
  const struct {
    const ButtonSounds* button;
    uint32_t code;
    const char* sound;
  } cases[] = {
      {&button, 0xF8000000, "PlaySystemSe 0 5"},  {&button, 0xFA000000, "PlaySystemSe 1 5"},
      {&button, 0xFB000000, "PlaySystemSe 2 5"},  {&button, 0xFC000000, "PlaySystemSe 3 5"},
      {&waiting, 0xFB000000, nullptr},            {&waiting, 0xFC000000, nullptr},
      {&button, 0xFD000007, "PlaySystemSe 6 5"},  {&button, 0xFD000000, nullptr},
      {&button, 0xF0000085, nullptr},             {&button, 0xFFFFFFFF, nullptr},
  };
  TestMode mode(game_.get(), 12);
  for (const auto& c : cases) {
    mode.PlayButtonSound(*c.button, static_cast<int>(c.code));
    EXPECT_EQ(game_->Sounds(), c.sound ? Calls{c.sound} : Calls{}) << std::hex << c.code;
    game_->ClearSounds();
  }
}

// --- Settings loaders ---

TEST_F(CommonGeneralTest, LoaderEdgeCases) {
  const struct {
    const char* what;
    Pairs list;
    int mode;
    std::function<void(TestMode&, testsupport::FakeGame&)> check;
  } cases[] = {
      {"colour fade without colour keys goes to black",
       {{"exitFadeOutType", "-1"}},
       10,
       [](TestMode& m, testsupport::FakeGame&) {
         CCommonGeneral::FillPictureColor(m.To(), 255, 255, 255);
         m.ExitToMode(12);
         EXPECT_EQ(Pixel(m.To()), 0u);
       }},
      {"a wipe fills the exit screen unless told otherwise",
       {{"exitFadeOutType", "2"}},
       10,
       [](TestMode& m, testsupport::FakeGame&) { EXPECT_EQ(m.Normal().fillScreen, 1); }},
      {"the fill flag can be switched off",
       {{"exitFadeOutType", "2"}, {"fillExitScreenFlag", "0"}},
       10,
       [](TestMode& m, testsupport::FakeGame&) { EXPECT_EQ(m.Normal().fillScreen, 0); }},
      {"a special mode by name",
       {{"exitFadeOutSpecialMode", "title"}, {"exitFadeOutTypeSpecial", "1"}},
       10,
       [](TestMode& m, testsupport::FakeGame&) {
         EXPECT_EQ(m.SpecialMode(), 4);
         EXPECT_EQ(m.Special().createScreen, 1);
       }},
      {"a special mode below 0 stays off",
       {{"exitFadeOutSpecialMode", "-1"}, {"exitFadeOutTypeSpecial", "1"}},
       10,
       [](TestMode& m, testsupport::FakeGame&) {
         EXPECT_EQ(m.SpecialMode(), CCommonGeneral::kNoSpecialMode);
         EXPECT_EQ(m.Special().type, 0);
       }},
      {"a quick button disabled in the table",
       {{"disableQuickconfigButton", "1"}},
       10,
       [](TestMode& m, testsupport::FakeGame&) {
         m.LoadQuickButtonSetup();
         EXPECT_EQ(m.IsQuickButtonDisabled(12, 0, 0), 1);
         EXPECT_EQ(m.IsQuickButtonDisabled(12, 1, 0), 0);
         EXPECT_EQ(m.IsQuickButtonDisabled(6, 0, 0), 0);
       }},
      {"the music playing is not started again",
       {{"bgmNumber", "3"}},
       10,
       [](TestMode& m, testsupport::FakeGame& g) {
         g.Sound().PlayBgmNumber(2, 0, 0, 0, -1);
         g.ClearSounds();
         m.Enter();
         EXPECT_TRUE(g.Sounds().empty());
       }},
      {"the music is started again when asked",
       {{"bgmNumber", "3"}, {"bgmRestartFlag", "1"}},
       10,
       [](TestMode& m, testsupport::FakeGame& g) {
         g.Sound().PlayBgmNumber(2, 0, 0, 0, -1);
         g.ClearSounds();
         m.Enter();
         EXPECT_EQ(g.Sounds(), (Calls{"StopBgm -1", "PlayBgmNumber 2 0 0 0 -1"}));
       }},
      {"animation layers make the message mode redraw everything",
       {{"animeLayerNumber", "2"}},
       10,
       [](TestMode& m, testsupport::FakeGame&) { EXPECT_EQ(m.GetMustAllPrintFlag(), 1); }},
      {"other modes keep their own drawing",
       {{"animeLayerNumber", "2"}},
       12,
       [](TestMode& m, testsupport::FakeGame&) { EXPECT_EQ(m.GetMustAllPrintFlag(), 0); }},
      {"the date layer finds its variables",
       {{"gameDateLayerPrintFlag", "1"}},
       12,
       [](TestMode&, testsupport::FakeGame& g) {
         EXPECT_EQ(Count(g.Calls(), "GetVarNumber year") + Count(g.Calls(), "GetVarNumber date"), 2);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteList("m", c.list);
    game_->Sound().StopBgm(-1);
    game_->ClearCalls();
    TestMode mode(game_.get(), c.mode, "m");
    mode.LoadFadeSetup();
    mode.LoadMustAllPrintFlag();
    mode.LoadBgmSetup();
    mode.LoadAnimeLayerSetup();
    mode.LoadGameDateLayerSetup();
    c.check(mode, *game_);
  }
}

TEST_F(CommonGeneralTest, GameDateLayerDrawsTheDateOfTheVariables) {
  // "sys\\ta_font": glyph g is a 16 x 16 cell of colour (g + 1) << 8.
  dwqtool::Picture font{256, 16, {}, {}};
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 256; ++x) font.pixels.push_back(static_cast<uint32_t>((x / 16 + 1) << 8));
  testsupport::WriteDwq(*dir_, "sys/ta_font", font);
  WriteList("m", {{"gameDateLayerPrintFlag", "1"}, {"mustAllPrintFlag", "1"}});
  // Literal variable numbers read as their value: 2011, 2/7 (a Monday).
  game_->SetVarNumber("year", 0x8000 | 2011);
  game_->SetVarNumber("date", 0x8000 | 207);
  TestMode mode(game_.get(), 12, "m");
  mode.LoadMustAllPrintFlag();
  mode.LoadGameDateLayerSetup();
  mode.UpdateGameDateLayer();
  std::vector<int> glyphs;
  for (int place = 0; place < 8; ++place)
    glyphs.push_back(static_cast<int>((CScreenBuffer::GetBuffer()[place * 16 + 1] >> 8) & 0xFF) - 1);
  // 02 / 07, Monday, then the glyphs 10 and 11.
  EXPECT_EQ(glyphs, (std::vector<int>{0, 2, 11, 0, 7, 1, 10, 11}));
}

TEST_F(CommonGeneralTest, MissingListKeepsTheDefaults) {
  TestMode mode(game_.get(), 12, "absent");
  mode.LoadFadeSetup();
  mode.LoadBgmSetup();
  mode.LoadKeyMoveSetup(1, 0, 1);
  mode.LoadQuickButtonSetup();
  EXPECT_EQ(mode.GetSetupList() != nullptr, true);
  EXPECT_EQ(mode.Normal().type, 0);
  EXPECT_EQ(mode.Normal().createScreen, 1);
  EXPECT_EQ(mode.SpecialMode(), CCommonGeneral::kNoSpecialMode);
  EXPECT_EQ(mode.IsQuickButtonDisabled(12, 0, 0), 0);
  int value = 5;
  EXPECT_EQ(mode.GetSetupInt(&value, "anything"), 0);
  EXPECT_EQ(value, 5);
  EXPECT_EQ(mode.GetSetupMode("anything", &value), 0);
  game_->ClearSounds();
  mode.Enter();
  EXPECT_TRUE(game_->Sounds().empty());
}

// --- Settings out of range: fade times, the exit in use, quick-button
// rows, colour components ---

TEST_F(CommonGeneralTest, ExitFadeWithoutTimeLeavesAtOnce) {
  for (const char* time : {"0", "-5"}) {
    WriteList("m", {{"exitFadeOutType", "2"}, {"exitFadeOutTime", time}});
    TestMode mode(game_.get(), 10, "m");
    mode.LoadFadeSetup();
    EXPECT_EQ(mode.ExitToMode(12), 12) << time;
    EXPECT_EQ(mode.ExitStep(), 0) << time;
  }
  // A huge time fades without overflow; a click ends it.
  WriteList("m", {{"exitFadeOutType", "-1"}, {"exitFadeOutTime", "2147483647"},
                  {"enterFadeInType", "1"}, {"enterFadeInTime", "-3"}});
  TestMode mode(game_.get(), 10, "m");
  mode.LoadFadeSetup();
  mode.Enter();
  mode.Frame(*game_);
  EXPECT_EQ(mode.calcus, 1);  // a negative enter time runs no fade
  mode.calcuResult = [&mode] { return mode.ExitToMode(12); };
  mode.Frame(*game_);
  mode.calcuResult = nullptr;
  mode.Frame(*game_);
  EXPECT_EQ(mode.GetFadePhase(), 2);
  host_->InjectButton(0, true);
  mode.Frame(*game_);
  EXPECT_EQ(game_->ModeRequests(), (std::vector<int>{12}));
}

TEST_F(CommonGeneralTest, ExitScreenTakesTheColourOfTheExitInUse) {
  WriteList("m", {{"exitFadeOutType", "-1"}, {"exitFadeOutColorR", "16"},
                  {"exitFadeOutSpecialMode", "config"}, {"exitFadeOutTypeSpecial", "-1"},
                  {"exitFadeOutColorSpecialB", "32"}, {"fillExitScreenFlagSpecial", "1"}});
  TestMode mode(game_.get(), 10, "m");
  mode.LoadFadeSetup();
  mode.ExitToMode(12);  // the special exit
  EXPECT_EQ(Pixel(mode.To()), 0x000020u);
  CCommonGeneral::FillPictureColor(mode.To(), 0, 0, 0);
  mode.FillExitScreen();
  EXPECT_EQ(Pixel(mode.To()), 0x000020u);
  mode.ExitToMode(4);  // the normal one
  EXPECT_EQ(Pixel(mode.To()), 0x100000u);
}

TEST_F(CommonGeneralTest, QuickButtonTableOutsideItsRange) {
  WriteList("m", {{"disableQuicksaveButton", "1"}});
  TestMode mode(game_.get(), 10, "m");
  EXPECT_EQ(mode.IsQuickButtonDisabled(6, 0, 0), 0);  // no table yet
  mode.LoadQuickButtonSetup();
  EXPECT_EQ(mode.IsQuickButtonDisabled(6, 0, 0), 1);
  for (int m : {-1, 256, 100000, INT32_MIN}) EXPECT_EQ(mode.IsQuickButtonDisabled(m, 0, 0), 0) << m;
}

TEST_F(CommonGeneralTest, ColourComponentsAreHeldToAByte) {
  WriteList("m", {{"exitFadeOutType", "1"}, {"exitFadeOutColorR", "300"},
                  {"exitFadeOutColorG", "-5"}, {"exitFadeOutColorB", "16"}});
  TestMode mode(game_.get(), 10, "m");
  mode.LoadFadeSetup();
  mode.ExitToMode(12);
  EXPECT_EQ(Pixel(mode.To()), 0xFF0010u);
}

// Type 0 makes the mode's own back button over its list, or over the game's
// list with "useCommonBackSetup" (the mode's position keys winning); it
// draws into work picture 0 of the pool, answers the right button as a
// cancel button and takes its position from the loader. Type 1 has no
// shared button yet, other types none.
TEST_F(CommonGeneralTest, BackButtonOverTheModesOrTheGamesList) {
  CPicturePool pool;
  WriteList("own", {{"backPrintX", "30"}, {"backPrintY", "40"}, {"backSizeX", "24"}});
  TestMode own(game_.get(), 12, "own");
  own.LoadBackButtonSetup();
  own.SetBackButtonPos();
  ASSERT_NE(own.BackButton(), nullptr);
  EXPECT_EQ(own.BackButton()->IsCancelButton(), 1);
  EXPECT_EQ(own.BackButton()->GetPicture(), CPicturePool::GetPicture(0));
  EXPECT_EQ(own.BackButton()->GetPrintX(), 30);
  EXPECT_EQ(own.BackButton()->GetPrintY(), 40);
  EXPECT_EQ(own.BackButton()->GetSizeX(), 24);

  WriteList("game", {{"backPrintX", "5"}, {"backPrintY", "6"}, {"backSizeX", "48"}});
  game_->LoadSetupFile("game", 64);
  WriteList("common", {{"useCommonBackSetup", "1"}, {"backPrintY", "70"}});
  TestMode common(game_.get(), 13, "common");
  common.LoadBackButtonSetup();
  common.SetBackButtonPos();
  ASSERT_NE(common.BackButton(), nullptr);
  EXPECT_EQ(common.BackButton()->GetSizeX(), 48);
  EXPECT_EQ(common.BackButton()->GetPrintX(), 5);
  EXPECT_EQ(common.BackButton()->GetPrintY(), 70);

  for (const char* type : {"1", "2"}) {
    WriteList("other", {{"backButtonType", type}});
    TestMode other(game_.get(), 14, "other");
    other.LoadBackButtonSetup();
    EXPECT_EQ(other.BackButton(), nullptr) << type;
  }
}

// Type 0 makes the mode's own pair over its list (pool pictures 1 and 2,
// the screen picture behind) or over the game's list with
// "useCommonUpDownSetup" (the mode's positions winning); the combined
// control joins it with the back button and turns its pages.
TEST_F(CommonGeneralTest, UpDownPairAndCombinedControl) {
  CPicturePool pool;
  WriteList("own", {{"upPrintX", "30"}, {"upPrintY", "40"}, {"downPrintX", "50"},
                    {"downPrintY", "60"}, {"upSizeX", "24"}, {"backPrintX", "7"}});
  TestMode own(game_.get(), 5, "own");
  own.LoadBackButtonSetup();
  own.LoadUpDownButtonSetup();
  own.CreateUpdownBack();
  own.SetUpDownButtonPos();
  CUpDownButton* pair = own.GetUpDownButtons();
  ASSERT_NE(pair, nullptr);
  EXPECT_EQ(pair->GetPicture(0), CPicturePool::GetPicture(1));
  EXPECT_EQ(pair->GetPicture(1), CPicturePool::GetPicture(2));
  EXPECT_EQ(pair->GetButton(0)->GetBackPicture(), game_->Screen().GetScreenPicture());
  EXPECT_EQ(pair->GetButton(0)->GetPrintXY(), (platform::Point{30, 40}));
  EXPECT_EQ(pair->GetButton(1)->GetPrintXY(), (platform::Point{50, 60}));
  EXPECT_EQ(pair->GetButton(1)->GetSizeX(), 24) << "down inherits from up";
  // Without file-name keys the buttons reload "UpFileName" and "DownFileName".
  testsupport::WriteDwq(*dir_, "sys/ta_upButton", 8, 4, 0x123456);
  testsupport::WriteDwq(*dir_, "sys/ta_downButton", 6, 4, 0x654321);
  own.ReloadUpDownButtonPicture();
  EXPECT_EQ(CPicturePool::GetPicture(1)->GetWidth(), 8);
  EXPECT_EQ(CPicturePool::GetPicture(2)->GetWidth(), 6);
  CCommonUpdownBack* control = own.GetUpdownBack();
  ASSERT_NE(control, nullptr);
  control->SetPageMax(3);
  control->Init();
  game_->Input().GetMouseStatus()->SetPos(500, 500);
  game_->Input().GetMouseStatus()->SetWheel(-1);
  EXPECT_EQ(control->Calcu(game_->Input().GetInputStatus()),
            MakeButtonCode(buttoncode::kPressed, 0, -1, 1, -1));

  WriteList("game", {{"upPrintX", "5"}, {"upPrintY", "6"}, {"upFileName", "ta_commonUp"}});
  game_->LoadSetupFile("game", 64);
  WriteList("common", {{"useCommonUpDownSetup", "1"}, {"upPrintY", "70"}, {"backScriptFlag", "1"}});
  TestMode common(game_.get(), 6, "common");
  common.LoadBackScriptSetup();
  common.LoadUpDownButtonSetup();
  common.SetUpDownButtonPos();
  ASSERT_NE(common.GetUpDownButtons(), nullptr);
  EXPECT_EQ(common.GetUpDownButtons()->GetButton(0)->GetPrintXY(), (platform::Point{5, 70}));
  EXPECT_EQ(common.GetUpDownButtons()->GetButton(0)->GetBackPicture(), nullptr)
      << "a back script draws behind";
  EXPECT_STREQ(common.GetUpDownButtons()->GetFilename(0), "ta_commonUp");

  for (const char* type : {"1", "2"}) {
    WriteList("other", {{"updownButtonType", type}, {"backButtonType", type}});
    TestMode other(game_.get(), 14, "other");
    other.LoadBackButtonSetup();
    other.LoadUpDownButtonSetup();
    other.CreateUpdownBack();
    other.SetUpDownButtonPos();
    other.ReloadUpDownButtonPicture();
    EXPECT_EQ(other.GetUpDownButtons(), nullptr) << type;
    ASSERT_NE(other.GetUpdownBack(), nullptr);
    EXPECT_EQ(other.GetUpdownBack()->Calcu(game_->Input().GetInputStatus()), buttoncode::kNothing);
  }
}

// Each layer binds the variable it names (none for a name starting with
// '@'), takes the system picture of its file name and is drawn with its
// variable's value, 1 without a variable.
TEST_F(CommonGeneralTest, AnimationLayersDrawTheirVariables) {
  // "cells": four 4 x 4 frames in a row, frame i of colour 0x100 * (i + 1).
  dwqtool::Picture cells{16, 4, {}, {}};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 16; ++x) cells.pixels.push_back(static_cast<uint32_t>((x / 4 + 1) << 8));
  testsupport::WriteDwq(*dir_, "sys/cells", cells);
  CPicture picture;
  ASSERT_EQ(picture.LoadDWQ("sys\\cells"), 1);
  WriteList("m", {{"animeLayerNumber", "2"}, {"animeLayer1VarName", "count"},
                  {"animeLayer1Pattern", "2"}, {"animeLayer1SizeX", "4"}, {"animeLayer1SizeY", "4"},
                  {"filenameanimeLayer1", "cells"}, {"animeLayer2VarName", "@free"},
                  {"animeLayer2SizeX", "4"}, {"animeLayer2SizeY", "4"}, {"animeLayer2PrintX", "8"},
                  {"animeLayerFirst", "0"}});
  game_->SetVarNumber("count", 0x8000 | 2);
  game_->ClearCalls();
  TestMode mode(game_.get(), 12, "m");
  mode.LoadAnimeLayerSetup();
  ASSERT_EQ(mode.GetAnimeLayerCount(), 2);
  const Calls calls = Take();
  EXPECT_EQ(Count(calls, "LoadSystemPicture cells 0"), 1);
  EXPECT_EQ(Count(calls, "GetVarNumber count"), 1);
  EXPECT_EQ(Count(calls, "GetVarNumber @free"), 0);
  EXPECT_EQ(mode.GetAnimeLayer(0)->GetVarNumber(), 0x8000 | 2);
  EXPECT_EQ(mode.GetAnimeLayer(1)->GetVarNumber(), -1);
  EXPECT_EQ(mode.GetAnimeLayer(0)->GetRestoreFlag(), 1);
  EXPECT_EQ(mode.GetAnimeLayer(2), nullptr);
  for (int i = 0; i < 2; ++i) mode.GetAnimeLayer(i)->SetPicture(&picture);
  mode.UpdateAnimeLayers();
  uint32_t* screen = CScreenBuffer::GetBuffer();
  EXPECT_EQ(screen[1], 0x300u) << "value 2 plays the second block: frame 2";
  EXPECT_EQ(screen[9], 0x100u) << "no variable: value 1";
  mode.UpdateAnimeLayers();
  EXPECT_EQ(screen[1], 0x400u);

  // In the message mode the layers have no background.
  TestMode message(game_.get(), 10, "m");
  message.LoadAnimeLayerSetup();
  EXPECT_EQ(message.GetMustAllPrintFlag(), 1);
  EXPECT_EQ(message.GetAnimeLayer(0)->GetRestoreFlag(), 0);

  WriteList("huge", {{"animeLayerNumber", "2000000000"}});
  TestMode huge(game_.get(), 12, "huge");
  huge.LoadAnimeLayerSetup();
  EXPECT_EQ(huge.GetAnimeLayerCount(), CCommonGeneral::kMaxAnimeLayers);
}

}  // namespace
}  // namespace game_test
