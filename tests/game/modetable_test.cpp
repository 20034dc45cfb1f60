// The mode table and mode switching of the game object: the factory, the
// class switches, requests, companion modes, the restart after a load and
// the first mode of a run.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "modebase/commongeneral.h"
#include "game/game.h"
#include "game/keyflagtable.h"
#include "game/messagewindowpart.h"
#include "game/modeflowpart.h"
#include "game/scriptpart.h"
#include "modebase/modenames.h"
#include "mode/backlog.h"
#include "mode/printmessage.h"
#include "mode/selectmessage.h"
#include "game_test.h"

namespace game_test {
namespace {

using Log = std::vector<std::string>;

// A mode that notes its steps as "<number> <step>".
class RecordingMode : public CCommonGeneral {
 public:
  RecordingMode(const GameRoles& roles, int number, Log* log) : CCommonGeneral(roles), log_(log) {
    SetModeNumber(number);
  }
  int Calcu() override { return Note("Calcu", calcuResult); }
  int Print() override { return Note("Print", -1); }
  int Init() override { return Note("Init", 1); }
  int Leave() override { return Note("Leave", -1); }
  void ResetGame() override {
    Note("ResetGame", 0);
    if (onResetGame) onResetGame();
  }
  void SetParameter(int value) override { Note("SetParameter " + std::to_string(value), 0); }

  int calcuResult = -1;
  std::function<void()> onResetGame;

 private:
  int Note(const std::string& step, int result) {
    log_->push_back(std::to_string(GetModeNumber()) + " " + step);
    return result;
  }
  Log* log_;
};

// The title's game whose factory makes recording modes for `classes`.
class ModeGame : public CGame {
 public:
  ModeGame(platform::Window* window, std::set<int> classes)
      : CGame(window, nullptr, 800, 600, 32), classes_(std::move(classes)) {}
  // The destroy step while the log still stands.
  ~ModeGame() override { ReleaseAll(); }

  std::unique_ptr<CCommonGeneral> MakeMode(int n) override {
    return classes_.count(n) ? std::make_unique<RecordingMode>(Roles(), n, &log) : nullptr;
  }
  void OnResetGame() override { log.push_back("OnResetGame"); }
  RecordingMode* Mode(int n) const { return static_cast<RecordingMode*>(Modes().GetMode(n)); }
  // A request carried out as the frame does it.
  void Request(int request) {
    Modes().SetNextMode(request);
    Modes().ChangeMode();
  }
  Log Take() {
    Log out;
    out.swap(log);
    return out;
  }

  Log log;

 private:
  std::set<int> classes_;
};

const std::set<int> kClasses = {1, 4, 7, 9, 10, 12, 13, 27};

TEST_F(GameTest, TheFactoryCreatesEachNumberOnce) {
  WriteList("game", {{"printmovieIsDefault", "1"}});
  ModeGame game(window_, kClasses);
  game.Init();
  EXPECT_EQ(game.Modes().CreateMode(27), 1);
  CCommonGeneral* movie = game.Modes().GetMode(27);
  ASSERT_NE(movie, nullptr);
  EXPECT_EQ(game.Modes().CreateMode(27), 0);  // the slot is filled
  EXPECT_EQ(game.Modes().GetMode(27), movie);
  EXPECT_EQ(game.Modes().CreateMode(14), 0);  // no class
  EXPECT_EQ(game.Modes().GetMode(14), nullptr);
  for (int n : {-1, 100, 255}) EXPECT_EQ(game.Modes().CreateMode(n), 0) << n;
  // The real factory by default: the modes with a class, and nothing for a
  // number without one.
  CGame plain(window_, nullptr, 800, 600, 32);
  plain.Init();
  plain.CreateModes();
  const std::set<int> made = {1, 2, 3, 4, CCommonBackLog::kModeNumber, CCommonSelectMessage::kModeNumber, CCommonPrintMessage::kModeNumber, 32, 12, 15, 16, 17, 18, 20, 23, 27, 40, 5, 6, 13, 8};
  for (int n = 0; n < CGameCallBack::kModeCount; ++n)
    EXPECT_EQ(plain.Modes().GetMode(n) != nullptr, made.count(n) == 1) << n;
  EXPECT_EQ(static_cast<CCommonBackLog*>(plain.Modes().GetBackLog()), plain.Modes().GetMode(7));
}

TEST_F(GameTest, ClassSwitchesAndExtraModes) {
  struct Case {
    const char* name;
    Pairs list;
    std::vector<int> created, missing;
  };
  const std::vector<Case> cases = {
      {"no list: the extra modes are off", {}, {1, 4, 7, 9, 10, 12, 13}, {27, 22, 35, 45}},
      {"printmessage switched off", {{"printmessageClassDisable", "1"}}, {9, 12}, {10}},
      {"an extra mode that is on by default",
       {{"printmovieIsDefault", "1"}},
       {27},
       {22}},
      {"the class switch wins over the default",
       {{"printmovieIsDefault", "1"}, {"printmovieClassDisable", "1"}},
       {},
       {27}},
      {"a class switch of 0 enables an extra mode", {{"printmovieClassDisable", "0"}}, {27}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dir_ = std::make_unique<testsupport::TempDir>();
    WriteList("game", c.list);
    ModeGame game(window_, {1, 4, 7, 9, 10, 12, 13, 22, 27, 35, 45});
    game.Init();
    game.CreateModes();
    for (int n : c.created) EXPECT_NE(game.Modes().GetMode(n), nullptr) << n;
    for (int n : c.missing) EXPECT_EQ(game.Modes().GetMode(n), nullptr) << n;
  }
}

TEST_F(GameTest, ARequestLeavesOneModeAndEntersTheNext) {
  ModeGame game(window_, kClasses);
  game.Init();
  game.CreateModes();
  EXPECT_EQ(game.Modes().GetCurrentMode(), 1);
  EXPECT_EQ(game.Take(), (Log{"1 Init"}));  // the first mode of the run

  // Flags above the low byte are the caller's: 0x10C enters mode 12.
  game.Request(0x10C);
  EXPECT_EQ(game.Modes().GetCurrentMode(), 12);
  EXPECT_EQ(game.Take(), (Log{"1 Leave", "12 Init"}));

  // A number without a mode object becomes current and nothing runs; so
  // does a low byte past the table (100..255).
  for (int request : {14, 0x1C8, 0xFF}) {
    SCOPED_TRACE(request);
    game.Request(request);
    EXPECT_EQ(game.Modes().GetCurrentMode(), request & 0xFF);
    game.Frame(50);
  }
  EXPECT_EQ(game.Take(), (Log{"12 Leave"}));

  // The frame runs the current mode's steps and carries out what its
  // calculation asks for at the end.
  game.Request(4);
  game.Take();
  game.Mode(4)->calcuResult = 12;
  game.Frame(50);
  EXPECT_EQ(game.Modes().GetCurrentMode(), 12);
  EXPECT_EQ(game.Take(), (Log{"4 Calcu", "4 Print", "4 Leave", "12 Init"}));

  // A mode's parameter passes through the game.
  game.Modes().NotifyMode(7, 5);
  game.Modes().NotifyMode(14, 5);
  game.Modes().NotifyMode(300, 5);
  EXPECT_EQ(game.Take(), (Log{"7 SetParameter 5"}));

  EXPECT_EQ(modenames::GetModeNumber("TITLE"), 4);
  EXPECT_EQ(modenames::GetModeNumber("12"), 12);
  EXPECT_STREQ(modenames::GetModeName(150), "");
}

TEST_F(GameTest, CompanionModesFollowTheKeyedFlagTable) {
  ModeGame game(window_, kClasses);
  game.Init();
  game.CreateModes();
  CKeyFlagTable* table = game.Modes().GetKeyFlagTable();
  ASSERT_NE(table, nullptr);
  // Row 10 lists the back log (7) for its calculation; a key that names no
  // mode slot (150, from a saved table) is skipped.
  std::vector<uint8_t> saved(CKeyFlagTable::kBytes, 0);
  const auto put = [&](int row, int i, uint32_t entry) {
    for (int b = 0; b < 4; ++b)
      saved[static_cast<size_t>(4 * (row * CKeyFlagTable::kEntries + i) + b)] =
          static_cast<uint8_t>(entry >> (8 * b));
  };
  put(10, 0, 150 << 8 | 6);
  put(10, 1, 7 << 8 | 2);
  put(13, 0, 9 << 8 | 4);
  ASSERT_EQ(table->LoadBytes(saved.data(), saved.size()), 1);
  game.Take();
  game.Request(10);
  EXPECT_EQ(game.Take(), (Log{"1 Leave", "10 Init", "7 Init"}));
  game.Frame(50);
  EXPECT_EQ(game.Take(), (Log{"10 Calcu", "7 Calcu", "10 Print"}));

  // From 10 to 12, whose row does not list 7: 7 is left before 12 enters.
  game.Request(12);
  EXPECT_EQ(game.Take(), (Log{"10 Leave", "7 Leave", "12 Init"}));

  // A companion both rows list is left alone; one only the new row lists is
  // prepared; drawing companions draw after the current mode.
  ASSERT_EQ(table->Insert(12, 9, 4, -1), 1);
  game.Request(13);
  EXPECT_EQ(game.Take(), (Log{"12 Leave", "13 Init"}));
  game.Frame(50);
  EXPECT_EQ(game.Take(), (Log{"13 Calcu", "13 Print", "9 Print"}));

  // The services by hand: what only 4 lists is released before what only
  // 10 lists is loaded.
  ASSERT_EQ(table->Insert(4, 1, 2, -1), 1);
  ASSERT_EQ(table->Insert(4, 7, 2, -1), 1);
  ASSERT_EQ(table->Insert(10, 13, 2, -1), 1);
  game.Modes().ChangeModeResources(4, 10);
  EXPECT_EQ(game.Take(), (Log{"1 Leave", "13 Init"}));
  game.Modes().ChangeModeResources(-1, 200);
  game.Modes().LeaveMode(4);
  game.Modes().LeaveMode(99);
  EXPECT_EQ(game.Take(), (Log{"4 Leave"}));
}

TEST_F(GameTest, RestartFromLoadReentersTheCurrentMode) {
  WriteList("game", {{"useExtClass", "1"}});
  ModeGame game(window_, kClasses);
  game.Init();
  game.CreateModes();
  game.Modes().GetKeyFlagTable()->Insert(12, 7, 2, -1);
  game.Request(12);
  game.Take();
  game.MessageWindow().SetMessageModeFlag(3);
  game.Scripts().SetBackScriptMode(1);
  // The save held the automatic message mode and both locks; the current
  // mode's restart already sees them cleared.
  CMessageWindowPart& story = game.MessageWindow();
  story.SetProhibitWords(3, 1, 1);
  std::vector<int> seen;
  game.Mode(12)->onResetGame = [&] {
    seen = {story.GetAutoMessageCheckFlag(), story.GetMessageSwitch(), story.GetCannotSkipFlag()};
  };
  game.Modes().RestartFromLoad();
  EXPECT_EQ(seen, (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(game.MessageWindow().GetMessageModeFlag(), 0);
  EXPECT_EQ(game.Scripts().GetBackScriptMode(), 0);
  // The keyed flag table's mode word asks for the companions.
  EXPECT_EQ(game.Take(), (Log{"12 ResetGame", "12 Init", "7 Init", "OnResetGame"}));

  // Without the mode word, and in a mode without an object, only the hook.
  WriteList("game", {});
  ModeGame other(window_, kClasses);
  other.Init();
  other.CreateModes();
  other.Modes().GetKeyFlagTable()->Insert(1, 7, 2, -1);
  other.Take();
  other.Modes().RestartFromLoad();
  EXPECT_EQ(other.Take(), (Log{"1 ResetGame", "1 Init", "OnResetGame"}));
  other.Request(30);
  other.Take();
  other.Modes().RestartFromLoad();
  EXPECT_EQ(other.Take(), (Log{"OnResetGame"}));
}

}  // namespace
}  // namespace game_test
