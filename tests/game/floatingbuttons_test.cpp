// The floating buttons, quick save and load and the short-cut keys on the
// test double: the real buttons made from small settings lists (each
// triggered by its accelerator key), and stand-ins of the load, save,
// configuration and system-menu modes that note what the game asks of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "modebase/commongeneral.h"
#include "input/inputstatus.h"
#include "modebase/minigamehost.h"
#include "modebase/moderoles.h"
#include "modebase/quickloadsave.h"
#include "game/floatingpart.h"
#include "game/inputpart.h"
#include "game/messagewindowpart.h"
#include "game/savepart.h"
#include "game/variablepart.h"
#include "game_test.h"
#include "platform/types.h"
#include "widget/buttoncode.h"
#include "widget/commonbutton.h"
#include "widget/floatinglayertable.h"
#include "widget/notice.h"
#include "widget/sceneoptionbutton.h"

namespace game_test {
namespace {

using Log = std::vector<std::string>;

// A mode that does nothing but answer its quick-button table (read from
// the settings list "standin" when asked).
class StandInMode : public CCommonGeneral {
 public:
  StandInMode(testsupport::FakeGame* game, int number, bool readQuickTable = false)
      : CCommonGeneral(game->Roles()), game_(game) {
    SetModeNumber(number);
    if (readQuickTable) {
      LoadSetupFile("standin", 16);
      LoadQuickButtonSetup();
    }
  }
  int Calcu() override { return -1; }
  int Print() override { return -1; }
  int Init() override { return -1; }

 protected:
  testsupport::FakeGame* game_;
};

class LoadStandIn : public StandInMode, public CQuickLoadMode {
 public:
  LoadStandIn(testsupport::FakeGame* game) : StandInMode(game, 5) {}
  void RegisterRoles(ModeRoles* roles) override { roles->quickLoad = this; }
  int HasQuickLoadData() override { return data; }
  int QuickLoad() override {
    game_->Note("QuickLoad");
    return loads;
  }
  int data = 1, loads = 1;
};

class SaveStandIn : public StandInMode, public CQuickSaveMode {
 public:
  SaveStandIn(testsupport::FakeGame* game) : StandInMode(game, 6) {}
  void RegisterRoles(ModeRoles* roles) override { roles->quickSave = this; }
  int QuickSave() override {
    game_->Note("QuickSave");
    return 1;
  }
};

class MiniGameStandIn : public StandInMode, public CMiniGameHost {
 public:
  MiniGameStandIn(testsupport::FakeGame* game) : StandInMode(game, 40) {}
  void RegisterRoles(ModeRoles* roles) override { roles->miniGameHost = this; }
  int IsMiniGameRunning() override { return running; }
  int GetMiniGameButtonCode() override { return code; }
  int CheckMiniGameValue(int value) override { return value == 3 ? 7 : -1; }
  int running = 0;
  int32_t code = -1;
};

class FloatGame : public testsupport::FakeGame {
 public:
  using FakeGame::FakeGame;
  template <class T>
  T* Install(T* mode) {
    // The game deletes its modes.
    Modes().PutMode(mode->GetModeNumber(), std::unique_ptr<CCommonGeneral>(mode));
    return mode;
  }
  void Remove(int n) { Modes().PutMode(n, nullptr); }
  void SetOffFlag(int flag) { Floating().SetFloatingButtonOffFlag(flag); }
  // The enable table's row of mode n (the variable that switches it, 0
  // none): initialisation fills it from settings whose variable names the
  // double answers with -1.
  void SetEnableVar(int n, int var) { Vars().SetEnableVar(n, var); }
  // Save comment line `line` as the game keeps it.
  const char* Comment(int line) const { return Saves().GetSaveComment(line); }
};

// Accelerator keys of the buttons (option, skip film, quick save, quick
// load, quick config, quick back log).
constexpr int kOptionKey = '1', kSkipKey = '2', kSaveKey = '3', kLoadKey = '4', kConfigKey = '5',
              kBacklogKey = '6';

class FloatingButtonsTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    WriteList("game", {{"quickSaveEnable", "1"},
                       {"quickLoadEnable", "1"},
                       {"quickSavePrint", "1"},
                       {"quickLoadPrint", "1"},
                       {"noticeFlag", "1"},
                       {"skipFilmButtonCreateFlag", "1"},
                       {"quickSaveButtonCreateFlag", "1"},
                       {"quickLoadButtonCreateFlag", "1"},
                       {"quickConfigButtonCreateFlag", "1"},
                       {"quickBacklogButtonCreateFlag", "1"},
                       {"quickSaveSound", "2"},
                       {"quickLoadSound", "3"},
                       {"quickLoadErrorSound", "4"},
                       {"shortCutLoadSound", "5"},
                       {"shortCutSaveSound", "6"},
                       {"shortCutConfigSound", "7"},
                       {"shortCutSystemMenuSound", "8"},
                       {"quickSaveKey", "Q"},
                       {"quickLoadKey", "W"}});
    WriteList("notice", {{"noticeNumber", "3"}, {"bufferMax", "4"}});
    ResetButtons();
  }
  void ResetButtons() {
    for (int i = 0; i < 6; ++i) SetButton(i, 0);
  }
  void TearDown() override {
    game_.reset();
    GameTest::TearDown();
  }

  // Button i of the table below, triggered by its key, decided after
  // clickTime frames, 10 x 10 at (20 i, 0).
  void SetButton(int i, int clickTime, Pairs more = {}) {
    static const char* const names[] = {"optionButton",    "skipFilmButton",    "quickSaveButton",
                                        "quickLoadButton", "quickConfigButton", "quickBacklogButton"};
    static const int keys[] = {kOptionKey, kSkipKey, kSaveKey, kLoadKey, kConfigKey, kBacklogKey};
    const std::string n = names[i];
    Pairs pairs = {{n + "AccelKey1", std::to_string(keys[i])},
                   {n + "ClickTime", std::to_string(clickTime)},
                   {n + "SizeX", "10"},
                   {n + "SizeY", "10"},
                   {n + "PrintX", std::to_string(20 * i)}};
    pairs.insert(pairs.end(), more.begin(), more.end());
    WriteList(n, pairs);
  }

  // The game with stand-ins of modes 5, 6, 10, 12 and 13, in mode 10.
  void Make() {
    game_ = std::make_unique<FloatGame>(*host_);
    game_->Install(new StandInMode(game_.get(), 10));
    load_ = game_->Install(new LoadStandIn(game_.get()));
    game_->Install(new SaveStandIn(game_.get()));
    game_->Install(new StandInMode(game_.get(), 12));
    game_->Install(new StandInMode(game_.get(), 13));
    game_->Modes().SetCurrentMode(10);
    game_->ClearCalls();
  }

  // Presses the keys (down and up) and runs one frame whose calculation
  // step is `step`; its answer.
  int Frame(const std::vector<int>& keys, const std::function<int()>& step) {
    for (int key : keys) {
      host_->InjectKey(key, true);
      host_->InjectKey(key, false);
    }
    int answer = -2;
    game_->RunFrame([&] {
      answer = step();
      return -1;
    });
    return answer;
  }
  int Poll(const std::vector<int>& keys) {
    return Frame(keys, [&] { return game_->Floating().CheckFloatingButtons(); });
  }
  int ShortCut(const std::vector<int>& keys, int mode = 10) {
    return Frame(keys, [&] { return game_->Floating().CheckShortCut(mode); });
  }

  // The calls of interest: sounds, notified modes and the stand-ins' notes.
  Log Calls() const {
    Log out;
    for (const std::string& c : game_->Calls())
      if (c.rfind("PlaySystemSe", 0) == 0 || c.rfind("NotifyMode", 0) == 0 || c.rfind("Quick", 0) == 0)
        out.push_back(c);
    return out;
  }
  int NoticeHead() const {
    CNotice* notice = game_->Floating().GetNotice();
    return notice ? notice->GetHead() : -2;
  }

  std::unique_ptr<FloatGame> game_;
  LoadStandIn* load_ = nullptr;
};

TEST_F(FloatingButtonsTest, CheckFloatingButtonsFollowsItsResultRules) {
  const int32_t busy = static_cast<int32_t>(0xF9000000u);
  struct Case {
    const char* name;
    std::function<void()> prepare;  // before the game is made
    std::vector<int> keys;
    int hasData;
    int32_t kind;  // of the result (-1 nothing)
    int number;    // of the result (-1 none)
    Log calls;
    bool optionReset;  // the option button was reset (hidden)
  };
  const std::vector<Case> cases = {
      {"quick save", {}, {kSaveKey}, 1, -1, -1, {"QuickSave"}, false},
      {"quick load with data", {}, {kLoadKey}, 1, -1, -1, {"QuickLoad"}, false},
      {"quick load without data", {}, {kLoadKey}, 0, -1, -1, {"PlaySystemSe 3 0"}, false},
      {"save before load in one call", {}, {kSaveKey, kLoadKey}, 1, -1, -1, {"QuickSave"}, false},
      {"option after a quick action", {}, {kSaveKey, kOptionKey}, 1, buttoncode::kDecided, 0,
       {"QuickSave"}, true},
      {"option alone", {}, {kOptionKey}, 1, buttoncode::kDecided, 0, {}, false},
      {"config decided as 1", {}, {kConfigKey}, 1, buttoncode::kDecided, 1, {}, false},
      {"back log decided as 2", {}, {kBacklogKey}, 1, buttoncode::kDecided, 2, {}, false},
      {"config before back log", {}, {kBacklogKey, kConfigKey}, 1, buttoncode::kDecided, 1, {}, false},
      {"option pressed", [&] { SetButton(0, 3); }, {kOptionKey}, 1, buttoncode::kPressed, -1, {}, false},
      {"quick save pressed: busy", [&] { SetButton(2, 3); }, {kSaveKey}, 1, busy, -1, {}, false},
      {"back log pressed: busy", [&] { SetButton(5, 3); }, {kBacklogKey}, 1, busy, -1, {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetButtons();
    if (c.prepare) c.prepare();
    Make();
    load_->data = c.hasData;
    const int32_t code = Poll(c.keys);
    if (c.kind == -1) {
      EXPECT_EQ(code, -1);
    } else {
      EXPECT_EQ(GetButtonCodeKind(code), c.kind);
      EXPECT_EQ(GetButtonCodeNumber(code), c.number);
    }
    if (c.kind == busy) {
      EXPECT_EQ(code, busy) << "no sound, value or number";
    }
    EXPECT_EQ(Calls(), c.calls);
    // A reset button answers nothing on the next frame; one still decided
    // answers its decided code again.
    CSceneOptionButton* optionButton = game_->Floating().GetFloatingButton(CFloatingPart::kOptionButton);
    const int32_t option = optionButton->Calcu(game_->Input().GetInputStatus());
    if (c.optionReset) {
      EXPECT_EQ(option, -1);
    }
  }
}

TEST_F(FloatingButtonsTest, QuickActionsSetStateNoticesAndHideTheirButton) {
  Make();
  game_->Modes().SetCurrentMode(10);
  Poll({kSaveKey});
  EXPECT_EQ(game_->Modes().GetReturnMode(), 10);
  EXPECT_EQ(NoticeHead(), 1) << "saveNoticeNumber 2";
  // Hidden: the decided click is taken once.
  game_->ClearCalls();
  Poll({});
  EXPECT_EQ(Calls(), Log{});
  Make();
  Poll({kLoadKey});
  EXPECT_EQ(NoticeHead(), 0) << "loadNoticeNumber 1";
  // A refused quick load shows no notice.
  Make();
  load_->loads = 0;
  Poll({kLoadKey});
  EXPECT_EQ(Calls(), Log{"QuickLoad"});
  EXPECT_EQ(game_->Floating().GetNotice()->GetQueueLength(), 0);
}

TEST_F(FloatingButtonsTest, OffFlagAndMessageModeLimitWhatIsPolled) {
  Make();
  game_->SetOffFlag(1);
  EXPECT_EQ(Poll({kSaveKey, kOptionKey, kConfigKey}), -1);
  EXPECT_EQ(Calls(), Log{});
  Make();
  game_->MessageWindow().SetMessageModeFlag(1);
  const int32_t code = Poll({kSaveKey, kLoadKey, kConfigKey});
  EXPECT_EQ(Calls(), Log{}) << "no quick save or load in message mode";
  EXPECT_EQ(GetButtonCodeNumber(code), 1) << "the config button still counts";
}

// Kinds 5, 6, 12 and 7 by the current mode's quick-button table; the
// message-mode flag leaves out the quick save and load buttons.
TEST_F(FloatingButtonsTest, ShowFollowsTheFlagsAndTheModesPermissions) {
  const int option = 4, save = 14, load = 15, config = 16, backlog = 18;
  struct Case {
    const char* name;
    Pairs table;
    int offFlag, messageMode;
    std::vector<int> shown;
  };
  const std::vector<Case> cases = {
      {"all", {}, 0, 0, {option, save, load, config, backlog}},
      {"off flag", {}, 1, 0, {}},
      {"message mode", {}, 0, 1, {option, config, backlog}},
      {"save and load disabled", {{"disableQuicksaveButton", "1"}, {"disableQuickloadButton", "1"}}, 0, 0,
       {option, config, backlog}},
      {"config and back log disabled", {{"disableQuickconfigButton", "1"}, {"disableQuickbacklogButton", "1"}},
       0, 0, {option, save, load}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteList("standin", c.table);
    Make();
    game_->Install(new StandInMode(game_.get(), 50, true));
    game_->Modes().SetCurrentMode(50);
    game_->SetOffFlag(c.offFlag);
    game_->MessageWindow().SetMessageModeFlag(c.messageMode);
    game_->Floating().ShowFloatingButtons();
    std::vector<int> shown;
    for (int slot : {option, save, load, config, backlog})
      if (game_->Floating().GetFloatingLayerTable()->IsSaved(slot)) shown.push_back(slot);
    EXPECT_EQ(shown, c.shown);
    // Polling follows the same permissions.
    game_->ClearCalls();
    Poll({kSaveKey});
    EXPECT_EQ(Calls().size(), std::count(c.shown.begin(), c.shown.end(), save) ? 1u : 0u);
  }
}

// A request made while the mode draws is shown at the end of that frame;
// the next frame takes the buttons off again unless asked once more.
TEST_F(FloatingButtonsTest, TheFrameShowsWhatTheModeRequested) {
  Make();
  game_->Floating().SetSkipFilmButtonEnable(1);
  game_->RunFrame([] { return -1; },
                  [&] {
                    game_->Floating().RequestFloatingButtons();
                    game_->Floating().RequestSkipFilmButton();
                  });
  EXPECT_EQ(game_->Floating().GetFloatingLayerTable()->IsSaved(4), 1);
  EXPECT_EQ(game_->Floating().GetFloatingLayerTable()->IsSaved(12), 1);
  game_->RunFrame();
  EXPECT_EQ(game_->Floating().GetFloatingLayerTable()->IsSaved(4), 0);
  EXPECT_EQ(game_->Floating().GetFloatingLayerTable()->IsSaved(12), 0);
  // Without the enable word the skip-film button is not asked for.
  game_->Floating().SetSkipFilmButtonEnable(0);
  game_->RunFrame([] { return -1; }, [&] { game_->Floating().RequestSkipFilmButton(); });
  EXPECT_EQ(game_->Floating().GetFloatingLayerTable()->IsSaved(12), 0);
}

TEST_F(FloatingButtonsTest, SceneAndSkipFilmButtonsShowByTheMessageModeFlag) {
  WriteList("game", {{"sceneButtonMode", "1"}, {"skipFilmButtonCreateFlag", "1"}});
  WriteList("sceneButton", {{"sceneButtonSizeX", "8"}, {"sceneButtonSizeY", "8"}});
  for (int messageMode : {0, 1}) {
    Make();
    game_->MessageWindow().SetMessageModeFlag(messageMode);
    game_->Floating().ShowSceneButton();
    game_->Floating().ShowSkipFilmButton();
    EXPECT_EQ(game_->Floating().GetFloatingLayerTable()->IsSaved(8), messageMode);
    EXPECT_EQ(game_->Floating().GetFloatingLayerTable()->IsSaved(12), 1 - messageMode);
  }
}

TEST_F(FloatingButtonsTest, UpdateQuickLoadButtonFollowsTheData) {
  Make();
  CCommonButton* button = game_->Floating().GetFloatingButton(CFloatingPart::kQuickLoadButton)->GetButton();
  load_->data = 0;
  game_->Floating().HideFloatingButtons();
  EXPECT_EQ(button->GetEnable(), 0);
  EXPECT_EQ(game_->Floating().CheckQuickLoadData(), 0);
  // Disabled, it blocks a click: busy, and nothing loads.
  EXPECT_EQ(Poll({kLoadKey}), static_cast<int32_t>(0xF9000000u));
  EXPECT_EQ(Calls(), Log{});
  load_->data = 1;
  game_->Floating().UpdateQuickLoadButton();
  EXPECT_EQ(button->GetEnable(), 1);
  EXPECT_EQ(game_->Floating().CheckQuickLoadData(), 1);
}

TEST_F(FloatingButtonsTest, QuickLoadSaveAnswersAndKeepsTheComments) {
  Make();
  game_->Saves().SetSaveComment("comment", 0);
  EXPECT_EQ(game_->Floating().QuickLoadSave(6), -1);
  EXPECT_STREQ(game_->Comment(0), "comment") << "restored after the save";
  EXPECT_EQ(game_->Floating().QuickLoadSave(5), 0);
  load_->loads = 0;
  EXPECT_EQ(game_->Floating().QuickLoadSave(5), -1);
  EXPECT_EQ(game_->Floating().QuickLoadSave(3), -1);
  EXPECT_EQ(Calls(), (Log{"QuickSave", "QuickLoad", "QuickLoad"}));
  // Missing modes or switches: nothing asked.
  WriteList("game", {});
  Make();
  game_->ClearCalls();
  EXPECT_EQ(game_->Floating().QuickLoadSave(5), -1);
  EXPECT_EQ(game_->Floating().QuickLoadSave(6), -1);
  EXPECT_EQ(game_->Floating().CheckQuickLoadData(), 0);
  EXPECT_EQ(Calls(), Log{});
}

// A stand-in save that reads the comment while it saves.
class CommentSaveStandIn : public StandInMode, public CQuickSaveMode {
 public:
  CommentSaveStandIn(FloatGame* game) : StandInMode(game, 6), float_(game) {}
  void RegisterRoles(ModeRoles* roles) override { roles->quickSave = this; }
  int QuickSave() override {
    seen = float_->Comment(0)[0];
    return 1;
  }
  FloatGame* float_;
  char seen = '?';
};

TEST_F(FloatingButtonsTest, QuickSaveCarriesTheCommentOnlyWithItsFlag) {
  for (int flag : {0, 1}) {
    WriteList("game", {{"quickSaveEnable", "1"}, {"quickSaveCommentFlag", std::to_string(flag)}});
    game_ = std::make_unique<FloatGame>(*host_);
    auto* save = game_->Install(new CommentSaveStandIn(game_.get()));
    game_->Saves().SetSaveComment("x", 0);
    game_->Floating().QuickLoadSave(6);
    EXPECT_EQ(save->seen, flag ? 'x' : '\0');
    EXPECT_STREQ(game_->Comment(0), "x");
  }
}

TEST_F(FloatingButtonsTest, CheckShortCutFollowsItsRules) {
  struct Case {
    const char* name;
    std::function<void()> prepare;  // after the game is made
    std::vector<int> keys;
    int result;
    Log calls;
  };
  const std::vector<Case> cases = {
      {"L", {}, {'L'}, 5, {"PlaySystemSe 4 0", "NotifyMode 5 10"}},
      {"S", {}, {'S'}, 6, {"PlaySystemSe 5 0", "NotifyMode 6 10"}},
      {"C", {}, {'C'}, 12, {"PlaySystemSe 6 0", "NotifyMode 12 10"}},
      {"L in message mode, then C", [&] { game_->MessageWindow().SetMessageModeFlag(1); }, {'L', 'C'}, 12,
       {"PlaySystemSe 6 0", "NotifyMode 12 10"}},
      {"S in message mode", [&] { game_->MessageWindow().SetMessageModeFlag(1); }, {'S'}, -1, {}},
      {"L without a load mode", [&] { game_->Remove(5); }, {'L'}, -1, {}},
      {"row opening its mode", [&] { game_->Floating().SetShortCutRows({{'K', 31, 6, 9}}); }, {'K'}, 31,
       {"PlaySystemSe 8 0", "NotifyMode 31 10"}},
      {"row whose mode is disabled falls to its action",
       [&] {
         game_->Floating().SetShortCutRows({{'K', 31, 6, 9}});
         game_->SetEnableVar(31, 100);
       },
       {'K'}, -1, {"PlaySystemSe 8 0", "QuickSave"}},
      {"row quick load without data",
       [&] {
         game_->Floating().SetShortCutRows({{'K', 0, 5, 9}});
         load_->data = 0;
       },
       {'K'}, -1, {"PlaySystemSe 3 0"}},
      {"row quick load", [&] { game_->Floating().SetShortCutRows({{'K', 0, 5, 9}}); }, {'K'}, -1,
       {"PlaySystemSe 8 0", "QuickLoad"}},
      {"rows without key, target or action pass on",
       [&] { game_->Floating().SetShortCutRows({{0, 31, 6, 9}, {'K', 0, 0, 9}, {'K', 0, 6, 10}}); },
       {'K'}, -1, {"PlaySystemSe 9 0", "QuickSave"}},
      // Codes, modes and sounds outside their ranges fire nothing.
      {"rows out of range",
       [&] { game_->Floating().SetShortCutRows({{999, 31, 6, 9}, {'K', 500, 0, 9}, {'K', 0, 7, -3}}); },
       {'K'}, -1, {}},
      {"quick save key", {}, {'Q'}, -1, {"PlaySystemSe 1 0", "QuickSave"}},
      {"quick load key", {}, {'W'}, -1, {"QuickLoad", "PlaySystemSe 2 0"}},
      {"quick load key refused", [&] { load_->loads = 0; }, {'W'}, -1, {"QuickLoad", "PlaySystemSe 3 0"}},
      // The key's own quirk: the load sound, not the error sound.
      {"quick load key without data", [&] { load_->data = 0; }, {'W'}, -1, {"PlaySystemSe 2 0"}},
      {"M", {}, {'M'}, 13,
       {"PlaySystemSe 7 0", "NotifyMode 6 10", "NotifyMode 5 10", "NotifyMode 12 10", "NotifyMode 13 10"}},
      {"O in message mode", [&] { game_->MessageWindow().SetMessageModeFlag(1); }, {'O'}, 13,
       {"PlaySystemSe 7 0", "NotifyMode 6 10", "NotifyMode 5 10", "NotifyMode 12 10", "NotifyMode 13 10"}},
      {"M without a system menu", [&] { game_->Remove(13); }, {'M'}, -1, {}},
      {"nothing", {}, {}, -1, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Make();
    if (c.prepare) c.prepare();
    game_->ClearCalls();
    EXPECT_EQ(ShortCut(c.keys), c.result);
    EXPECT_EQ(Calls(), c.calls);
  }
  // S keeps the mode to return to.
  Make();
  ShortCut({'S'}, 9);
  EXPECT_EQ(game_->Modes().GetReturnMode(), 9);
}

TEST_F(FloatingButtonsTest, TheOptionMouseButtonOpensTheSystemMenu) {
  Make();
  host_->InjectButton(2, true);
  EXPECT_EQ(ShortCut({}), 13);
  host_->InjectButton(2, false);
  host_->InjectButton(0, true);
  EXPECT_EQ(ShortCut({}), -1) << "only the configured button";
}

// With "quickLoadDelay" the keys only mark the load; the frame runs it and
// plays the load or the error sound.
TEST_F(FloatingButtonsTest, DelayedQuickLoadRunsInTheFrame) {
  WriteList("game", {{"quickLoadEnable", "1"}, {"quickLoadDelay", "1"}, {"quickLoadKey", "W"},
                     {"quickLoadSound", "3"}, {"quickLoadErrorSound", "4"}});
  for (int loads : {1, 0}) {
    Make();
    load_->loads = loads;
    EXPECT_EQ(ShortCut({'W'}), -1);
    EXPECT_EQ(Calls(), (Log{"QuickLoad", loads ? "PlaySystemSe 2 0" : "PlaySystemSe 3 0"}))
        << "marked in the step, run after it in the same frame";
    EXPECT_EQ(game_->Floating().GetQuickLoadDelayFlag(), 0);
  }
  // The system menu's entry sets the mark the same way.
  Make();
  EXPECT_EQ(game_->Floating().GetQuickLoadDelay(), 1);
  game_->Floating().SetQuickLoadDelayFlag(0);
  EXPECT_EQ(game_->Floating().GetQuickLoadDelayFlag(), 1);
  game_->RunFrame();
  EXPECT_EQ(Calls(), (Log{"QuickLoad", "PlaySystemSe 2 0"}));
}

TEST_F(FloatingButtonsTest, SkipFilmStartsOnlyOnADecidedClickInTheMessageMode) {
  struct Case {
    const char* name;
    int clickTime, mode, messageMode, enable;
    int result;
    bool started;
  };
  const Case cases[] = {
      {"decided in mode 10", 0, 10, 0, 1, 1, true},
      {"pressed is ignored", 2, 10, 0, 1, 0, false},
      {"not enabled", 0, 10, 0, 0, 0, false},
      {"in message mode", 0, 10, 1, 1, 1, false},
      {"in another mode", 0, 9, 0, 1, 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetButton(1, c.clickTime);
    Make();
    game_->Modes().SetCurrentMode(c.mode);
    game_->MessageWindow().SetMessageModeFlag(c.messageMode);
    game_->Floating().SetSkipFilmButtonEnable(c.enable);
    // The frame's script step takes the started flag: read it in the step.
    int flag = -1;
    EXPECT_EQ(Frame({kSkipKey},
                    [&] {
                      const int r = game_->Floating().CheckSkipFilmButton();
                      flag = game_->MessageWindow().GetSkipFilmFlag();
                      return r;
                    }),
              c.result);
    std::vector<int> words;
    for (int i = 0; i < 5; ++i) words.push_back(game_->MessageWindow().GetSkipFilmWord(i));
    EXPECT_EQ(words, c.started ? (std::vector<int>{0, 1, 1, 1, 1}) : std::vector<int>(5, 0));
    EXPECT_EQ(flag, c.started ? 1 : 0);
    EXPECT_EQ(game_->Floating().GetSkipFilmButtonEnable(), c.started ? 0 : c.enable);
    // A taken click resets the button: with the enable word back, a frame
    // without a press starts nothing.
    game_->Floating().SetSkipFilmButtonEnable(c.enable);
    EXPECT_EQ(Frame({}, [&] { return game_->Floating().CheckSkipFilmButton(); }), 0);
  }
}

TEST_F(FloatingButtonsTest, MiniGameStartAsksTheMiniGameMode) {
  Make();
  EXPECT_EQ(game_->Modes().CModeFlowPart::CheckMiniGameStart(3), 0) << "no mode 40";
  auto* host = game_->Install(new MiniGameStandIn(game_.get()));
  EXPECT_EQ(Frame({}, [&] { return game_->Modes().CModeFlowPart::CheckMiniGameStart(3); }), 0) << "no click";
  host_->InjectButton(0, true);
  EXPECT_EQ(Frame({}, [&] { return game_->Modes().CModeFlowPart::CheckMiniGameStart(2); }), 0) << "no game";
  host_->InjectButton(0, false);
  host_->InjectButton(0, true);
  EXPECT_EQ(Frame({}, [&] { return game_->Modes().CModeFlowPart::CheckMiniGameStart(3); }), 1);
  EXPECT_EQ(game_->Modes().GetMiniGameResult(), 7);
  // With area buttons the buttons answer: the sound plays, a decided
  // button's number is the game's (game 0 starts too); the answer is 1.
  host->running = 1;
  host->code = MakeButtonCode(buttoncode::kDecided, 3, -1, 0, -1);
  game_->ClearCalls();
  EXPECT_EQ(game_->Modes().CModeFlowPart::CheckMiniGameStart(3), 1);
  EXPECT_EQ(game_->Modes().GetMiniGameResult(), 0);
  EXPECT_EQ(Calls(), Log{"PlaySystemSe 2 0"});
  // A hover carries the number too but starts nothing.
  host->code = MakeButtonCode(buttoncode::kEntered, -1, -1, 2, -1);
  EXPECT_EQ(game_->Modes().CModeFlowPart::CheckMiniGameStart(3), 0);
  EXPECT_EQ(game_->Modes().GetMiniGameResult(), 0);
}

TEST_F(FloatingButtonsTest, OptionButtonOffFlagsAreBoundedAndClearedByAQuickLoad) {
  Make();
  game_->Floating().SetOptionButtonOff(3, 1);
  game_->Floating().SetOptionButtonOff(16, 1);
  game_->Floating().SetOptionButtonOff(-1, 1);
  EXPECT_EQ(game_->Floating().GetOptionButtonOff(3), 1);
  EXPECT_EQ(game_->Floating().GetOptionButtonOff(16), 0);
  game_->Floating().QuickLoadSave(5);
  EXPECT_EQ(game_->Floating().GetOptionButtonOff(3), 0);
}

}  // namespace
}  // namespace game_test
