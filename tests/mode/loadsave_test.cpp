// The load/save screen base through a small screen that records its hooks:
// the page grid, hover and selectability on both screens, the blink before
// a slot is acted on, clicks, page modes, back and the load list's exit.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "mode/loadsave_fixture.h"
#include "mode/loadsave.h"
#include "platform/types.h"
#include "savedata/savedatafile.h"
#include "savedata/savefolder.h"
#include "support/dwq_picture.h"
#include "support/fake_services.h"
#include "support/game_folder_test.h"
#include "widget/radiobuttongroup.h"
#include "widget/updownbutton.h"

namespace {

using testsupport::Pairs;

class TestScreen : public CCommonLoadSave {
 public:
  TestScreen(const GameRoles& game, const char* list, int save) : CCommonLoadSave(game, list, save) {}
  int OnSlotDecided(int i) override { return Note("decided " + std::to_string(i)); }
  int OnSlotWithData(int i) override { return Note("data " + std::to_string(i)); }
  int OnEmptySlot(int i) override { return Note("empty " + std::to_string(i)); }
  // -1: the game's own switch.
  int QuickLoadSwitch() override {
    return quickLoad >= 0 ? quickLoad : CCommonLoadSave::QuickLoadSwitch();
  }
  int QuickSaveSwitch() override {
    return quickSave >= 0 ? quickSave : CCommonLoadSave::QuickSaveSwitch();
  }

  // What the screens do when a slot is clicked: it blinks, then is acted on.
  void Choose(int i) {
    chosen_ = i;
    waiting_ = 1;
    blinkCounter_ = 0;
  }
  void SetSelectOk(int load, int save) {
    quickLoadSelectOk_ = load;
    quickSaveSelectOk_ = save;
  }
  int SpecialMode() const { return exitFadeOutSpecialMode_; }
  int SpecialCreatesScreen() const { return exitSpecial_.createScreen; }

  std::vector<std::string> calls;
  int quickLoad = -1, quickSave = -1;

 private:
  int Note(const std::string& text) {
    calls.push_back(text);
    return -1;
  }
};

// Counts the frames that restore the kept game state.
class ReturnGame : public testsupport::FakeServices {
 public:
  using FakeServices::FakeServices;
  void RestoreGameState() override { ++restores; }
  int restores = 0;
};

class LoadSaveTest : public LoadSaveFixture<ReturnGame> {
 protected:
  void ReleaseScreens() override { screen_.reset(); }
  CCommonLoadSave* Screen() const override { return screen_.get(); }
  // Slots holding data, written by the game.
  void SaveSlots(const std::vector<int>& slots) {
    CCommonDataFile file(&Game());
    for (int slot : slots) ASSERT_EQ(file.Save(slot), 0) << slot;
  }
  TestScreen& Make(const char* list, int save, const Pairs& keys = {}) {
    WriteList(list, keys);
    Game();
    screen_ = std::make_unique<TestScreen>(&Game(), list, save);
    return *screen_;
  }
  void Enter() {
    screen_->Enter();
    Game().ClearCalls();
  }
  void Hover(int i) {
    const platform::Point p = Centre(i);
    host_->InjectMouseMove(p.x, p.y);
    Frame();
  }

  std::unique_ptr<TestScreen> screen_;
};

TEST_F(LoadSaveTest, DefaultPageIsTwelveSlotsInAGridOfTenPagesWithArrows) {
  TestScreen& s = Make("save", 1);
  Enter();
  ASSERT_EQ(s.GetSlotCount(), 12);
  EXPECT_EQ(s.GetPageCount(), 10);
  EXPECT_EQ(s.GetPageMode(), 1);
  ASSERT_NE(s.GetUpdownBack(), nullptr);
  const std::vector<platform::Point> corners = {{85, 113}, {251, 113}, {85, 237}, {583, 361}};
  const int index[] = {0, 1, 4, 11};
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(s.GetSlot(index[k])->GetPrintX(), corners[k].x) << k;
    EXPECT_EQ(s.GetSlot(index[k])->GetPrintY(), corners[k].y) << k;
  }
  s.SetPage(1);
  EXPECT_EQ(s.GetSlot(0)->GetPeekedSlot(), 12);
  EXPECT_EQ(s.GetSlot(11)->GetPeekedSlot(), 23);
  // Out-of-range pages are clamped.
  s.SetPage(50);
  EXPECT_EQ(s.GetPage(), 9);
  s.SetPage(-3);
  EXPECT_EQ(s.GetPage(), 0);
}

TEST_F(LoadSaveTest, ThePageIsKeptAcrossEntries) {
  TestScreen& s = Make("save", 1);
  Enter();
  s.SetPage(3);
  Enter();
  EXPECT_EQ(s.GetPage(), 3);
  EXPECT_EQ(s.GetSlot(0)->GetPeekedSlot(), 36);
}

TEST_F(LoadSaveTest, GridAndPageCountsBelowOneCountAsOne) {
  TestScreen& s = Make("save", 1, {{"blockNumberX", "0"}, {"blockNumberY", "-2"}, {"page", "0"}});
  Enter();
  EXPECT_EQ(s.GetSlotCount(), 1);
  EXPECT_EQ(s.GetPageCount(), 1);
  EXPECT_EQ(s.GetPageMode(), 0);
  s.SetPage(5);
  EXPECT_EQ(s.GetPage(), 0);
  Frames(2);
}

TEST_F(LoadSaveTest, HoverAndSelectabilityFollowTheScreenAndTheQuickSlot) {
  SaveSlots({0, 1});  // slot 0 is the quick slot; slot 2 stays empty
  struct Case {
    int save, quick, selectOk, slot, current;
  } const cases[] = {
      {1, 0, 0, 0, 0},  {1, 1, 0, 0, -1}, {1, 1, 1, 0, 0}, {1, 1, 0, 2, 2},
      {0, 0, 0, 0, 0},  {0, 0, 0, 2, -1}, {0, 1, 0, 0, -1}, {0, 1, 1, 0, 0},
      {0, 1, 0, 1, 1},
  };
  for (const Case& c : cases) {
    TestScreen& s = Make(c.save ? "save" : "load", c.save);
    s.quickLoad = s.quickSave = c.quick;
    s.SetSelectOk(c.selectOk, c.selectOk);
    Enter();
    Hover(c.slot);
    EXPECT_EQ(s.GetCurrentSlot(), c.current)
        << "save " << c.save << " quick " << c.quick << " ok " << c.selectOk << " slot " << c.slot;
  }
}

TEST_F(LoadSaveTest, TheQuickSwitchesAreTheGamesSettings) {
  Game().Settings().quickLoadEnable = 1;
  SaveSlots({0});
  TestScreen& load = Make("load", 0);
  Enter();
  Hover(0);
  EXPECT_EQ(load.GetCurrentSlot(), -1);
  TestScreen& save = Make("save", 1);
  Enter();
  Hover(0);
  EXPECT_EQ(save.GetCurrentSlot(), 0);
}

TEST_F(LoadSaveTest, ClicksReachTheHooksByScreenAndSlot) {
  SaveSlots({1});
  struct Case {
    int save, slot;  // -1: outside every slot
    std::vector<std::string> calls;
  } const cases[] = {
      {1, 1, {"data 1"}}, {1, 2, {"empty 2"}}, {0, 1, {"data 1"}},
      {0, 2, {"empty 2"}}, {0, -1, {}},      {1, -1, {}},
  };
  for (const Case& c : cases) {
    TestScreen& s = Make(c.save ? "save" : "load", c.save);
    Enter();
    const platform::Point p = c.slot >= 0 ? Centre(c.slot) : platform::Point{10, 10};
    Click(p.x, p.y);
    EXPECT_EQ(s.calls, c.calls) << "save " << c.save << " slot " << c.slot;
  }
}

TEST_F(LoadSaveTest, AChosenSlotBlinksForTheClickTimeBeforeItIsActedOn) {
  TestScreen& save = Make("save", 1, {{"clickTime", "5"}});
  Enter();
  save.Choose(3);
  Frames(4);
  EXPECT_TRUE(save.calls.empty());
  EXPECT_EQ(save.GetBlinkCounter(), 4);
  Frame();
  EXPECT_EQ(save.calls, (std::vector<std::string>{"decided 3"}));

  TestScreen& load = Make("load", 0);
  Enter();
  load.Choose(2);
  Frames(7);
  EXPECT_EQ(load.GetLoadChosen(), 0);
  Frame();
  EXPECT_EQ(load.GetLoadChosen(), 1);
  EXPECT_TRUE(load.calls.empty());
}

TEST_F(LoadSaveTest, PageModesMakeTheirControls) {
  struct Case {
    Pairs keys;
    int mode;
    bool arrows, tabs;
  } const cases[] = {
      {{{"page", "1"}}, 0, false, false},
      {{}, 1, true, false},
      {{{"pageMode", "2"}, {"page", "4"}}, 2, false, true},
  };
  for (const Case& c : cases) {
    TestScreen& s = Make("save", 1, c.keys);
    Enter();
    EXPECT_EQ(s.GetPageMode(), c.mode);
    EXPECT_EQ(s.GetUpdownBack() != nullptr, c.arrows) << c.mode;
    ASSERT_EQ(s.GetTabs() != nullptr, c.tabs) << c.mode;
    if (c.tabs) {
      EXPECT_EQ(s.GetTabs()->GetCount(), 4);
      s.SetPage(2);
      EXPECT_EQ(s.GetTabs()->GetSelect(), 2);
    }
    if (c.arrows) {
      s.SetPage(4);
      EXPECT_EQ(s.GetUpDownButtons()->GetPage(), 4);
      EXPECT_EQ(s.GetUpDownButtons()->GetPageMax(), 10);
    }
    Frames(2);
  }
}

TEST_F(LoadSaveTest, TheWheelTurnsThePagesOfTheArrows) {
  TestScreen& s = Make("save", 1);
  Enter();
  host_->InjectWheel(-120);
  for (int i = 0; i < 20 && s.GetPage() == 0; ++i) Frame();
  EXPECT_EQ(s.GetPage(), 1);
  EXPECT_EQ(s.GetSlot(0)->GetPeekedSlot(), 12);
  host_->InjectWheel(120);
  for (int i = 0; i < 20 && s.GetPage() == 1; ++i) Frame();
  EXPECT_EQ(s.GetPage(), 0);
}

TEST_F(LoadSaveTest, BackReturnsToTheOpeningModeAndSetsTheReturnFlag) {
  TestScreen& s = Make("save", 1, {{"page", "1"}});
  s.SetParameter(10);
  Enter();
  int result = -1;
  // The back button is a cancel button: the right button presses it.
  host_->InjectButton(1, true);
  host_->InjectButton(1, false);
  for (int i = 0; i < 20 && result == -1; ++i) result = Frame();
  EXPECT_EQ(result, 10);
  // The frame that went back restored the kept state once.
  EXPECT_EQ(Game().restores, 1);
}

TEST_F(LoadSaveTest, TheLoadListPresetsTheSpecialExitToTheTitle) {
  TestScreen& load = Make("load", 0);
  EXPECT_EQ(load.SpecialMode(), modenumber::kTitle);
  EXPECT_EQ(load.SpecialCreatesScreen(), 1);
  TestScreen& save = Make("save", 1);
  EXPECT_EQ(save.SpecialMode(), CCommonGeneral::kNoSpecialMode);
}

}  // namespace
