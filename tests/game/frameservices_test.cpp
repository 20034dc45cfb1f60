// The frame services of the game object: the mode stack, the dirty
// rectangles, the presentation, wait counts, the layer mask, the message
// window without its window, the codec answer and the small words.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "effect/alleffect.h"
#include "game/floatingpart.h"
#include "game/framepart.h"
#include "game/frameskip.h"
#include "game/game.h"
#include "game/messagewindowpart.h"
#include "game/modeflowpart.h"
#include "game/screenpart.h"
#include "game/soundpart.h"
#include "game_test.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "modebase/commongeneral.h"
#include "platform/types.h"
#include "savedata/systemfile.h"

namespace game_test {
namespace {

class EmptyMode : public CCommonGeneral {
 public:
  EmptyMode(const GameRoles& roles, int number) : CCommonGeneral(roles) { SetModeNumber(number); }
  int Calcu() override { return -1; }
  int Print() override { return -1; }
  int Init() override { return 1; }
};

class FrameGame : public CGame {
 public:
  FrameGame(platform::Window* window, CCommonSystemFile* systemFile)
      : CGame(window, systemFile, 800, 600, 32) {}
  std::unique_ptr<CCommonGeneral> MakeMode(int n) override {
    return n == 27 ? std::make_unique<EmptyMode>(Roles(), n) : nullptr;
  }

  CFrameSkip* Skip() const { return Frames().GetFrameSkip(); }
};

class FrameServicesTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    game_ = std::make_unique<FrameGame>(window_, &systemFile_);
    game_->Init();
    host_->ClearBoxes();
  }
  void TearDown() override {
    game_.reset();
    GameTest::TearDown();
  }

  CCommonSystemFile systemFile_;
  std::unique_ptr<FrameGame> game_;
};

TEST_F(FrameServicesTest, TheLastMainModeFollowsTheStoryModesAtLevelZeroOnly) {
  struct Case {
    int mode;
    bool story;
  } cases[] = {{9, true},  {10, true},  {22, true},  {31, true},  {35, true},  {39, true},
               {50, true}, {99, true},  {12, false}, {4, false},  {34, false}, {40, false},
               {49, false}, {100, false}, {0, false}, {-1, false}};
  for (const Case& c : cases) {
    game_->Modes().SetCurrentMode(1);
    const int before = game_->Modes().GetLastMainMode();
    game_->Modes().SetCurrentMode(c.mode);
    EXPECT_EQ(game_->Modes().GetCurrentMode(), c.mode);
    EXPECT_EQ(game_->Modes().GetLastMainMode(), c.story ? c.mode : before) << c.mode;
  }

  // A raised level keeps its own current mode and request; the story modes
  // are not remembered there.
  CModeFlowPart& modes = game_->Modes();
  modes.SetCurrentMode(10);
  modes.SetNextMode(-1);
  modes.SetModeLevel(1);
  modes.SetCurrentMode(22);
  modes.SetNextMode(7);
  EXPECT_EQ(modes.GetCurrentMode(), 22);
  EXPECT_EQ(modes.GetNextMode(), 7);
  EXPECT_EQ(modes.GetModeAtLevel(0), 10);
  EXPECT_EQ(modes.GetModeAtLevel(1), 22);
  EXPECT_EQ(modes.GetLastMainMode(), 10);
  for (int level : {-1, 16, 1 << 20}) EXPECT_EQ(modes.GetModeAtLevel(level), 0) << level;
  modes.SetModeLevel(0);
  EXPECT_EQ(modes.GetCurrentMode(), 10);
  EXPECT_EQ(modes.GetNextMode(), -1);
}

// The rectangles kept (left, top, width, height) as the frame hands them to
// the screen buffer.
std::vector<std::vector<int>> FlushedRects(CScreenPart& screen) {
  CScreenBuffer::ClearDirtyRects();
  screen.FlushUpdateRects();
  std::vector<std::vector<int>> rects;
  for (int i = 0; i < CScreenBuffer::GetDirtyRectCount(); ++i) {
    int x = 0, y = 0, w = 0, h = 0;
    CScreenBuffer::GetDirtyRect(i, &x, &y, &w, &h);
    rects.push_back({x, y, w, h});
  }
  return rects;
}

TEST_F(FrameServicesTest, AtMostOneHundredRectanglesWithAnAreaAreKept) {
  CScreenPart& screen = game_->Screen();
  screen.AddUpdateRect({10, 20, 10, 40});   // no width
  screen.AddUpdateRect({10, 20, 30, 20});   // no height
  screen.AddUpdateRect({10, 20, 5, 40});    // turned round
  EXPECT_TRUE(FlushedRects(screen).empty());
  for (int i = 0; i < 101; ++i) screen.AddUpdateRect({i, 2 * i, i + 3, 2 * i + 4});
  const std::vector<std::vector<int>> rects = FlushedRects(screen);
  ASSERT_EQ(rects.size(), 100u);
  EXPECT_EQ(rects[0], (std::vector<int>{0, 0, 3, 4}));
  EXPECT_EQ(rects[99], (std::vector<int>{99, 198, 3, 4}));
  // The flush empties the list.
  EXPECT_TRUE(FlushedRects(screen).empty());
}

TEST_F(FrameServicesTest, TheScreenIsPresentedAtOnceUnlessBlocked) {
  const long long before = host_->GetWindow()->PresentCount();
  game_->Screen().UpdateScreenNow();
  EXPECT_EQ(host_->GetWindow()->PresentCount(), before + 1);
  game_->Screen().SetScreenUpdateBlocked(1);
  game_->Screen().UpdateScreenNow();
  EXPECT_EQ(host_->GetWindow()->PresentCount(), before + 1);
  game_->Screen().SetScreenUpdateBlocked(0);
  // A frame presents once, through the same path.
  game_->Frame(50);
  EXPECT_EQ(host_->GetWindow()->PresentCount(), before + 2);

  game_->Screen().RestoreSurfaces(0);
  EXPECT_EQ(game_->Screen().GetSurfaceRestoreFlag(), 0);
  game_->Screen().RestoreSurfaces(1);
  EXPECT_EQ(game_->Screen().GetSurfaceRestoreFlag(), 1);
}

TEST_F(FrameServicesTest, WaitCountsComeFromTheFrameSkipController) {
  CFrameSkip* skip = game_->Skip();
  ASSERT_NE(skip, nullptr);
  // On time nothing is owed yet; the frames owed rise with the lag, at most
  // "maxSkipFrame" (2) a frame.
  EXPECT_EQ(game_->Frames().CalcuWaitCount(0), 0);
  EXPECT_EQ(game_->Frames().CalcuWaitCount(5), 0);
  for (int i = 0; i < 3; ++i) skip->Advance(600);
  ASSERT_EQ(skip->GetSkipCount(), 2);
  const int lag = skip->GetLag();
  EXPECT_EQ(game_->Frames().ConvertWaitCount(5), 2);
  EXPECT_EQ(skip->GetLag(), lag);
  EXPECT_EQ(game_->Frames().CalcuWaitCount(5), 2);
  EXPECT_EQ(skip->GetLag(), lag - 2 * 50);
  EXPECT_EQ(game_->Frames().CalcuWaitCount(1), 1);
  EXPECT_EQ(skip->GetLag(), lag - 3 * 50);
  EXPECT_EQ(game_->Frames().CalcuWaitCount(0), 2);
  // A negative count starts again from nothing owed.
  EXPECT_EQ(game_->Frames().CalcuWaitCount(-1), -1);
  EXPECT_EQ(skip->GetLag(), 0);
  EXPECT_EQ(game_->Frames().CalcuWaitCount(0), 0);
}

TEST_F(FrameServicesTest, TheLayerMaskIsKept) {
  game_->Screen().SetLayerDisableMask(0x8005);
  EXPECT_EQ(game_->Screen().GetLayerDisableMask(), 0x8005);
  game_->Screen().SwitchEffectLayer(15, 1);
  game_->Screen().SwitchEffectLayer(1, 0);
  EXPECT_EQ(game_->Screen().GetLayerDisableMask(), 0x0007);
  game_->Screen().SetLayerDisableMask(0);
  EXPECT_EQ(game_->Screen().GetLayerDisableMask(), 0);
  game_->Screen().CalcuEffect();  // nothing to step without the effect holder
}

TEST_F(FrameServicesTest, AHiddenLayerIsNotDrawn) {
  ASSERT_NE(game_->Screen().GetEffect(), nullptr);
  CEffectManager* manager = game_->Screen().GetEffect()->GetManager();
  uint32_t* screen = CScreenBuffer::GetBuffer();
  ASSERT_NE(screen, nullptr);
  const size_t pixels = static_cast<size_t>(CScreenBuffer::GetWidth()) * CScreenBuffer::GetHeight();
  // Channel 0 shows a red picture of the screen's size.
  std::fill_n(screen, pixels, 0xFF0000u);
  ASSERT_EQ(manager->GetPicture(0)->GetScreen(), 1);
  manager->SetPicture(0, 0);
  const int values[1] = {20};
  ASSERT_EQ(manager->StartEffect(0, 0, 1, values), 1);
  game_->Screen().CalcuEffect();

  struct Case {
    int mask;
    uint32_t seen;
  } cases[] = {{1, 0x123456u}, {0, 0xFF0000u}, {0x8001, 0x123456u}, {0x8000, 0xFF0000u}};
  for (const Case& c : cases) {
    std::fill_n(screen, pixels, 0x123456u);
    game_->Screen().SetLayerDisableMask(c.mask);
    manager->Print(0, 1);
    EXPECT_EQ(screen[0], c.seen) << c.mask;
  }
  // "layer" and the layer-off variables take the same way.
  game_->Screen().SwitchEffectLayer(0, 0);
  std::fill_n(screen, pixels, 0x123456u);
  manager->Print(0, 1);
  EXPECT_EQ(screen[0], 0x123456u);
}

TEST_F(FrameServicesTest, WithoutAMessageWindowNothingIsDrawnOrHit) {
  game_.reset();
  WriteList("game", {{"noMessageWindowFlag", "1"}});
  game_ = std::make_unique<FrameGame>(window_, &systemFile_);
  game_->Init();
  ASSERT_EQ(game_->MessageWindow().GetMessageWindow(), nullptr);
  game_->MessageWindow().SetMessageWindowOn(1);
  EXPECT_EQ(game_->MessageWindow().PrintMessageWindow(1, 1, nullptr), 0);
  EXPECT_EQ(game_->MessageWindow().PrintMessageWindowIfShown(1, 1, nullptr), 0);
  EXPECT_EQ(game_->MessageWindow().CheckMessageWindow(1, 1, platform::Point{}), 0);
  EXPECT_EQ(game_->MessageWindow().CheckMessageWindowHit(0, 0), 0);
  EXPECT_EQ(game_->MessageWindow().GetConfigHelperValue(), 1);
  // The design numbers are kept: the configuration's in the system data.
  game_->MessageWindow().SetWindowNumberConfig(2);
  game_->Floating().SetCursorNumberConfig(3);
  game_->Floating().SetMouseNumberConfig(4);
  game_->MessageWindow().SetWindowNumberScript(5);
  game_->Floating().SetCursorNumberScript(6);
  game_->Floating().SetMouseNumberScript(7);
  EXPECT_EQ(systemFile_.GetSystemData(1920), 2);
  EXPECT_EQ(systemFile_.GetSystemData(1924), 3);
  EXPECT_EQ(systemFile_.GetSystemData(1928), 4);
  EXPECT_EQ(game_->MessageWindow().GetWindowNumberConfig(), 2);
  EXPECT_EQ(game_->MessageWindow().GetWindowNumberScript(), 5);
  EXPECT_EQ(game_->Floating().GetCursorNumberScript(), 6);
  EXPECT_EQ(game_->Floating().GetMouseNumberScript(), 7);
}

TEST_F(FrameServicesTest, TheCodecIsAskedOnce) {
  game_->Modes().CreateMode(27);
  EXPECT_EQ(game_->Sound().CheckMovieCodec(), 0);
  game_->Sound().SetCodecCheckState(3);
  EXPECT_EQ(game_->Sound().CheckMovieCodec(), 3);
  EXPECT_EQ(game_->Sound().CheckMovieCodec(), 3);
  game_->Sound().SetCodecChoice(1);
  EXPECT_EQ(game_->Sound().GetCodecChoice(), 1);
  EXPECT_EQ(game_->Sound().IsMovieOff(), 0);
  game_->Sound().SetMovieOff();
  EXPECT_EQ(game_->Sound().IsMovieOff(), 1);
}

TEST_F(FrameServicesTest, MessageWordsAndSwitches) {
  game_->MessageWindow().SetPendingSwitch(1);
  game_->MessageWindow().ApplyPendingSwitch();
  EXPECT_EQ(game_->MessageWindow().GetAutoModeFlag(), 1);
  game_->MessageWindow().ApplyPendingSwitch();  // nothing pending any more
  EXPECT_EQ(game_->MessageWindow().GetAutoModeFlag(), 1);
  game_->MessageWindow().SetPendingSwitch(7);
  game_->MessageWindow().ApplyPendingSwitch();
  EXPECT_EQ(game_->MessageWindow().GetAutoModeFlag(), 1);

  // Shift skip: with "shiftSkipMessageOnly" it starts only in mode 10.
  game_->MessageWindow().GetSettings().shiftSkipMessageOnly = 1;
  game_->Modes().SetCurrentMode(4);
  game_->MessageWindow().ToggleShiftSkip();
  EXPECT_EQ(game_->MessageWindow().GetShiftSkipState(), 0);
  game_->Modes().SetCurrentMode(10);
  game_->MessageWindow().ToggleShiftSkip();
  EXPECT_EQ(game_->MessageWindow().GetShiftSkipState(), 1);
  game_->Modes().SetCurrentMode(4);
  game_->MessageWindow().ToggleShiftSkip();
  EXPECT_EQ(game_->MessageWindow().GetShiftSkipState(), 0);

  EXPECT_EQ(game_->MessageWindow().SetMessageParam(1, 9), -1);
  EXPECT_EQ(game_->MessageWindow().GetNoVoiceIsDefaultWait(), 9);
  EXPECT_EQ(game_->MessageWindow().SetMessageParam(2, 4), -1);
  EXPECT_EQ(game_->MessageWindow().GetNoVoiceIsDefaultWait(), 9);
  game_->MessageWindow().SetMessageWindowMode(3);
  EXPECT_EQ(game_->MessageWindow().GetMessageSpeed(), 3);
  game_->MessageWindow().SetStoredOption(1);
  EXPECT_EQ(game_->MessageWindow().GetMessageSkipFlag(), 1);
  game_->MessageWindow().SetMessageModeFlag(1);
  EXPECT_EQ(game_->MessageWindow().GetMessageModeFlag(), 1);
}

TEST_F(FrameServicesTest, ThePlayCountRisesOncePerRunAndStopsAtItsCap) {
  systemFile_.SetSystemData(208, 4);
  game_->Modes().AddPlayCount();
  game_->Modes().AddPlayCount();
  EXPECT_EQ(game_->Modes().GetPlayCount(), 5);
  game_->Modes().ClearPlayCount();
  EXPECT_EQ(game_->Modes().GetPlayCount(), 0);

  FrameGame second(window_, &systemFile_);
  systemFile_.SetSystemData(208, 0x7FFFFFFE);
  second.Modes().AddPlayCount();
  EXPECT_EQ(second.Modes().GetPlayCount(), 0x7FFFFFFE);
}

TEST_F(FrameServicesTest, MovieNamesAreTheKeysOfTheList) {
  EXPECT_EQ(game_->Sound().GetMovieListName(1), nullptr);
  game_.reset();
  dir_->Write("spt/movielist.xtx", "op.wmv,1\r\ned.wmv,0\r\nlast.wmv\r\n");
  game_ = std::make_unique<FrameGame>(window_, &systemFile_);
  game_->Init();
  EXPECT_STREQ(game_->Sound().GetMovieListName(1), "op.wmv");
  EXPECT_STREQ(game_->Sound().GetMovieListName(3), "last.wmv");
  for (int n : {0, -1, 4, 5, 1 << 30}) EXPECT_EQ(game_->Sound().GetMovieListName(n), nullptr) << n;
}

}  // namespace
}  // namespace game_test
