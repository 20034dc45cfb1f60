// The frame services of the game object: the mode stack, the dirty
// rectangles, the presentation, wait counts, the layer mask, the message
// window without its window, the codec answer and the small words.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "effect/alleffect.h"
#include "modebase/commongeneral.h"
#include "game/frameskip.h"
#include "game/game.h"
#include "game_test.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "platform/types.h"
#include "savedata/systemfile.h"

namespace game_test {
namespace {

class EmptyMode : public CCommonGeneral {
 public:
  EmptyMode(CGameCallBack* game, int number) : CCommonGeneral(game) { SetModeNumber(number); }
  int Calcu() override { return -1; }
  int Print() override { return -1; }
  int Init() override { return 1; }
};

class FrameGame : public CGame {
 public:
  FrameGame(platform::Window* window, CCommonSystemFile* systemFile)
      : CGame(window, systemFile, 800, 600, 32) {}
  ~FrameGame() override {
    if (ownEffect_ && effect_ == ownEffect_.get()) effect_ = nullptr;
  }
  using CGameCallBack::CreateMode;
  CCommonGeneral* MakeMode(int n) override { return n == 27 ? new EmptyMode(this, n) : nullptr; }

  void SetLevel(int level) { modeLevel_ = level; }
  int RectCount() const { return updateRectCount_; }
  std::vector<int> Rect(int i) const {
    return {updateRects_[0][i], updateRects_[1][i], updateRects_[2][i], updateRects_[3][i]};
  }
  CFrameSkip* Skip() const { return frameSkip_; }
  GameSettings& Settings() { return settings_; }
  void SetMovieList(CNameList* list) { movieList_ = list; }
  // The game's effect holder, or one of the test's while the game has none.
  CAllEffect* Effect() {
    if (!effect_) {
      ownEffect_ = std::make_unique<CAllEffect>();
      effect_ = ownEffect_.get();
    }
    return effect_;
  }

 private:
  std::unique_ptr<CAllEffect> ownEffect_;
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
    game_->SetCurrentMode(1);
    const int before = game_->GetLastMainMode();
    game_->SetCurrentMode(c.mode);
    EXPECT_EQ(game_->GetCurrentMode(), c.mode);
    EXPECT_EQ(game_->GetLastMainMode(), c.story ? c.mode : before) << c.mode;
  }

  // A raised level keeps its own current mode and request; the story modes
  // are not remembered there.
  game_->SetCurrentMode(10);
  game_->SetNextMode(-1);
  game_->SetLevel(1);
  game_->SetCurrentMode(22);
  game_->SetNextMode(7);
  EXPECT_EQ(game_->GetCurrentMode(), 22);
  EXPECT_EQ(game_->GetNextMode(), 7);
  EXPECT_EQ(game_->GetModeAtLevel(0), 10);
  EXPECT_EQ(game_->GetModeAtLevel(1), 22);
  EXPECT_EQ(game_->GetLastMainMode(), 10);
  for (int level : {-1, 16, 1 << 20}) EXPECT_EQ(game_->GetModeAtLevel(level), 0) << level;
  game_->SetLevel(0);
  EXPECT_EQ(game_->GetCurrentMode(), 10);
  EXPECT_EQ(game_->GetNextMode(), -1);
}

TEST_F(FrameServicesTest, AtMostOneHundredRectanglesWithAnAreaAreKept) {
  game_->AddUpdateRect({10, 20, 10, 40});   // no width
  game_->AddUpdateRect({10, 20, 30, 20});   // no height
  game_->AddUpdateRect({10, 20, 5, 40});    // turned round
  EXPECT_EQ(game_->RectCount(), 0);
  for (int i = 0; i < 101; ++i) game_->AddUpdateRect({i, 2 * i, i + 3, 2 * i + 4});
  ASSERT_EQ(game_->RectCount(), 100);
  EXPECT_EQ(game_->Rect(0), (std::vector<int>{0, 0, 3, 4}));
  EXPECT_EQ(game_->Rect(99), (std::vector<int>{99, 198, 3, 4}));
}

TEST_F(FrameServicesTest, TheScreenIsPresentedAtOnceUnlessBlocked) {
  const long long before = host_->GetWindow()->PresentCount();
  game_->UpdateScreenNow();
  EXPECT_EQ(host_->GetWindow()->PresentCount(), before + 1);
  game_->SetScreenUpdateBlocked(1);
  game_->UpdateScreenNow();
  EXPECT_EQ(host_->GetWindow()->PresentCount(), before + 1);
  game_->SetScreenUpdateBlocked(0);
  // A frame presents once, through the same path.
  game_->Frame(50);
  EXPECT_EQ(host_->GetWindow()->PresentCount(), before + 2);

  game_->RestoreSurfaces(0);
  EXPECT_EQ(game_->GetSurfaceRestoreFlag(), 0);
  game_->RestoreSurfaces(1);
  EXPECT_EQ(game_->GetSurfaceRestoreFlag(), 1);
}

TEST_F(FrameServicesTest, WaitCountsComeFromTheFrameSkipController) {
  CFrameSkip* skip = game_->Skip();
  ASSERT_NE(skip, nullptr);
  // On time nothing is owed yet; the frames owed rise with the lag, at most
  // "maxSkipFrame" (2) a frame.
  EXPECT_EQ(game_->CalcuWaitCount(0), 0);
  EXPECT_EQ(game_->CalcuWaitCount(5), 0);
  for (int i = 0; i < 3; ++i) skip->Advance(600);
  ASSERT_EQ(skip->GetSkipCount(), 2);
  const int lag = skip->GetLag();
  EXPECT_EQ(game_->ConvertWaitCount(5), 2);
  EXPECT_EQ(skip->GetLag(), lag);
  EXPECT_EQ(game_->CalcuWaitCount(5), 2);
  EXPECT_EQ(skip->GetLag(), lag - 2 * 50);
  EXPECT_EQ(game_->CalcuWaitCount(1), 1);
  EXPECT_EQ(skip->GetLag(), lag - 3 * 50);
  EXPECT_EQ(game_->CalcuWaitCount(0), 2);
  // A negative count starts again from nothing owed.
  EXPECT_EQ(game_->CalcuWaitCount(-1), -1);
  EXPECT_EQ(skip->GetLag(), 0);
  EXPECT_EQ(game_->CalcuWaitCount(0), 0);
}

TEST_F(FrameServicesTest, TheLayerMaskIsKept) {
  game_->SetLayerDisableMask(0x8005);
  EXPECT_EQ(game_->GetLayerDisableMask(), 0x8005);
  game_->SwitchEffectLayer(15, 1);
  game_->SwitchEffectLayer(1, 0);
  EXPECT_EQ(game_->GetLayerDisableMask(), 0x0007);
  game_->SetLayerDisableMask(0);
  EXPECT_EQ(game_->GetLayerDisableMask(), 0);
  game_->CalcuEffect();  // nothing to step without the effect holder
}

TEST_F(FrameServicesTest, AHiddenLayerIsNotDrawn) {
  CEffectManager* manager = game_->Effect()->GetManager();
  uint32_t* screen = CScreenBuffer::GetBuffer();
  ASSERT_NE(screen, nullptr);
  const size_t pixels = static_cast<size_t>(CScreenBuffer::GetWidth()) * CScreenBuffer::GetHeight();
  // Channel 0 shows a red picture of the screen's size.
  std::fill_n(screen, pixels, 0xFF0000u);
  ASSERT_EQ(manager->GetPicture(0)->GetScreen(), 1);
  manager->SetPicture(0, 0);
  const int values[1] = {20};
  ASSERT_EQ(manager->StartEffect(0, 0, 1, values), 1);
  game_->CalcuEffect();

  struct Case {
    int mask;
    uint32_t seen;
  } cases[] = {{1, 0x123456u}, {0, 0xFF0000u}, {0x8001, 0x123456u}, {0x8000, 0xFF0000u}};
  for (const Case& c : cases) {
    std::fill_n(screen, pixels, 0x123456u);
    game_->SetLayerDisableMask(c.mask);
    manager->Print(0, 1);
    EXPECT_EQ(screen[0], c.seen) << c.mask;
  }
  // "layer" and the layer-off variables take the same way.
  game_->SwitchEffectLayer(0, 0);
  std::fill_n(screen, pixels, 0x123456u);
  manager->Print(0, 1);
  EXPECT_EQ(screen[0], 0x123456u);
}

TEST_F(FrameServicesTest, WithoutAMessageWindowNothingIsDrawnOrHit) {
  game_.reset();
  WriteList("game", {{"noMessageWindowFlag", "1"}});
  game_ = std::make_unique<FrameGame>(window_, &systemFile_);
  game_->Init();
  ASSERT_EQ(game_->GetMessageWindow(), nullptr);
  game_->SetMessageWindowOn(1);
  EXPECT_EQ(game_->PrintMessageWindow(1, 1, nullptr), 0);
  EXPECT_EQ(game_->PrintMessageWindowIfShown(1, 1, nullptr), 0);
  EXPECT_EQ(game_->CheckMessageWindow(1, 1, platform::Point{}), 0);
  EXPECT_EQ(game_->CheckMessageWindowHit(0, 0), 0);
  EXPECT_EQ(game_->GetConfigHelperValue(), 1);
  // The design numbers are kept: the configuration's in the system data.
  game_->SetWindowNumberConfig(2);
  game_->SetCursorNumberConfig(3);
  game_->SetMouseNumberConfig(4);
  game_->SetWindowNumberScript(5);
  game_->SetCursorNumberScript(6);
  game_->SetMouseNumberScript(7);
  EXPECT_EQ(systemFile_.GetSystemData(1920), 2);
  EXPECT_EQ(systemFile_.GetSystemData(1924), 3);
  EXPECT_EQ(systemFile_.GetSystemData(1928), 4);
  EXPECT_EQ(game_->GetWindowNumberConfig(), 2);
  EXPECT_EQ(game_->GetWindowNumberScript(), 5);
  EXPECT_EQ(game_->GetCursorNumberScript(), 6);
  EXPECT_EQ(game_->GetMouseNumberScript(), 7);
}

TEST_F(FrameServicesTest, TheCodecIsAskedOnce) {
  game_->CreateMode(27);
  EXPECT_EQ(game_->CheckMovieCodec(), 0);
  game_->SetCodecCheckState(3);
  EXPECT_EQ(game_->CheckMovieCodec(), 3);
  EXPECT_EQ(game_->CheckMovieCodec(), 3);
  game_->SetCodecChoice(1);
  EXPECT_EQ(game_->GetCodecChoice(), 1);
  EXPECT_EQ(game_->IsMovieOff(), 0);
  game_->SetMovieOff();
  EXPECT_EQ(game_->IsMovieOff(), 1);
}

TEST_F(FrameServicesTest, MessageWordsAndSwitches) {
  game_->SetPendingSwitch(1);
  game_->ApplyPendingSwitch();
  EXPECT_EQ(game_->GetAutoModeFlag(), 1);
  game_->ApplyPendingSwitch();  // nothing pending any more
  EXPECT_EQ(game_->GetAutoModeFlag(), 1);
  game_->SetPendingSwitch(7);
  game_->ApplyPendingSwitch();
  EXPECT_EQ(game_->GetAutoModeFlag(), 1);

  // Shift skip: with "shiftSkipMessageOnly" it starts only in mode 10.
  game_->Settings().shiftSkipMessageOnly = 1;
  game_->SetCurrentMode(4);
  game_->ToggleShiftSkip();
  EXPECT_EQ(game_->GetShiftSkipState(), 0);
  game_->SetCurrentMode(10);
  game_->ToggleShiftSkip();
  EXPECT_EQ(game_->GetShiftSkipState(), 1);
  game_->SetCurrentMode(4);
  game_->ToggleShiftSkip();
  EXPECT_EQ(game_->GetShiftSkipState(), 0);

  EXPECT_EQ(game_->SetMessageParam(1, 9), -1);
  EXPECT_EQ(game_->GetNoVoiceIsDefaultWait(), 9);
  EXPECT_EQ(game_->SetMessageParam(2, 4), -1);
  EXPECT_EQ(game_->GetNoVoiceIsDefaultWait(), 9);
  game_->SetMessageWindowMode(3);
  EXPECT_EQ(game_->GetMessageSpeed(), 3);
  game_->SetStoredOption(1);
  EXPECT_EQ(game_->GetMessageSkipFlag(), 1);
  game_->SetMessageModeFlag(1);
  EXPECT_EQ(game_->GetMessageModeFlag(), 1);
}

TEST_F(FrameServicesTest, ThePlayCountRisesOncePerRunAndStopsAtItsCap) {
  systemFile_.SetSystemData(208, 4);
  game_->AddPlayCount();
  game_->AddPlayCount();
  EXPECT_EQ(game_->GetPlayCount(), 5);
  game_->ClearPlayCount();
  EXPECT_EQ(game_->GetPlayCount(), 0);

  FrameGame second(window_, &systemFile_);
  systemFile_.SetSystemData(208, 0x7FFFFFFE);
  second.AddPlayCount();
  EXPECT_EQ(second.GetPlayCount(), 0x7FFFFFFE);
}

TEST_F(FrameServicesTest, MovieNamesAreTheKeysOfTheList) {
  EXPECT_EQ(game_->GetMovieListName(1), nullptr);
  CNameList list;
  for (const char* token : {"op.wmv", "1", "ed.wmv", "0", "last.wmv"}) list.Add(token, true);
  game_->SetMovieList(&list);
  EXPECT_STREQ(game_->GetMovieListName(1), "op.wmv");
  EXPECT_STREQ(game_->GetMovieListName(3), "last.wmv");
  for (int n : {0, -1, 4, 5, 1 << 30}) EXPECT_EQ(game_->GetMovieListName(n), nullptr) << n;
  game_->SetMovieList(nullptr);
}

}  // namespace
}  // namespace game_test
