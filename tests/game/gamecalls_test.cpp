// The script's calls into the game: registration of system calls and
// functions, the built-ins, labels, names, the day of the week, the option
// values, the flags and state words, and the computed variables.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tools/asm/assembler.h"
#include "modebase/commongeneral.h"
#include "game/floatingpart.h"
#include "game/game.h"
#include "game/messagewindowpart.h"
#include "game/modeflowpart.h"
#include "game/savepart.h"
#include "game/screenpart.h"
#include "game/scriptpart.h"
#include "game/variablepart.h"
#include "message/textstate.h"
#include "game_test.h"
#include "savedata/inttablefile.h"
#include "savedata/systemfile.h"
#include "script/gamevars.h"
#include "script/script.h"
#include "support/text.h"

namespace game_test {
namespace {

using Log = std::vector<std::string>;
using testsupport::Sjis;

// A mode that notes the calls it receives as "<number> <call>".
class CallMode : public CCommonGeneral {
 public:
  CallMode(const GameRoles& game, int number, Log* log) : CCommonGeneral(game), log_(log) {
    SetModeNumber(number);
  }
  int Calcu() override { return -1; }
  int Print() override { return -1; }
  int Init() override { return 1; }
  void SetCallArgs(int count, const int* values) override {
    std::string line = std::to_string(GetModeNumber()) + " SetCallArgs";
    for (int i = 0; i < count; ++i) line += testsupport::Numbered(" ", values[i]);
    log_->push_back(line);
  }
  int Function(int type, int count, const int* args) override {
    log_->push_back(std::to_string(GetModeNumber()) + " Function " + std::to_string(type) + " " +
                    std::to_string(count) + " " + std::to_string(count > 0 ? args[0] : -1));
    return 100 + GetModeNumber();
  }

 private:
  Log* log_;
};

// The system file's save is only noted.
class NotingSaves : public CSavePart {
 public:
  NotingSaves(GameParts& parts, Log* log) : CSavePart(LinksOf<CSavePart>(parts)), log_(log) {}
  void SaveSystemFile() override { log_->push_back("SaveSystemFile"); }

 private:
  Log* log_;
};

// The floating layers' drawing is only noted.
class NotingFloating : public CFloatingPart {
 public:
  NotingFloating(GameParts& parts, Log* log) : CFloatingPart(LinksOf<CFloatingPart>(parts)), log_(log) {}
  void PrintFloatingLayers() override { log_->push_back("PrintFloatingLayers"); }

 private:
  Log* log_;
};

// The title's game with call-recording modes for `classes`.
class CallGame : public CGame {
 public:
  CallGame(platform::Window* window, CCommonSystemFile* systemFile, std::set<int> classes = {})
      : CGame(window, systemFile, 800, 600, 32), classes_(std::move(classes)) {
    Parts().saves = std::make_unique<NotingSaves>(Parts(), &log);
    Parts().floating = std::make_unique<NotingFloating>(Parts(), &log);
  }
  // The destroy step while the log stands.
  ~CallGame() override { ReleaseAll(); }

  std::unique_ptr<CCommonGeneral> MakeMode(int n) override {
    return classes_.count(n) ? std::make_unique<CallMode>(Roles(), n, &log) : nullptr;
  }
  void OnSystemCall(int key, int count, const int*) override {
    log.push_back("OnSystemCall " + std::to_string(key) + " " + std::to_string(count));
  }
  int OnSystemFunction(int number, int, const int*) override {
    log.push_back("OnSystemFunction " + std::to_string(number));
    return -7;
  }

  CIntTableFile* ResultTable() const { return Saves().GetResultTable(); }
  CScript* Script(int i) const { return Scripts().GetScript(i); }
  // The five skip words: two counters, then three flags.
  std::vector<int> SkipFilmWords() const {
    std::vector<int> words;
    for (int i = 0; i < 5; ++i) words.push_back(MessageWindow().GetSkipFilmWord(i));
    return words;
  }
  // A film skip started: the counters 0 and 1, the flags raised. The
  // clearing checks look at the four words this changes.
  void SetSkipFilmWords() {
    MessageWindow().StartFilmSkip();
    EXPECT_EQ(SkipFilmWords(), (std::vector<int>{0, 1, 1, 1, 1}));
  }
  void DisableMode(int n) { Modes().SetModeDisabled(n, 1); }
  // Gives the result built-ins and "savesystemfile" one number.
  void ShareFunctionNumber(int number) {
    CScriptPart::FunctionRows rows = Scripts().GetFunctionRows();
    rows.setResult = rows.getResult = rows.saveSystemFile = number;
    Scripts().SetFunctionRows(rows);
  }

  Log log;

 private:
  std::set<int> classes_;
};

std::string Inverted(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = static_cast<char>(~c);
  return out;
}

class GameCallsTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    ResetTextState();
    // Variable n is token n of the inverted name list.
    std::vector<std::string> names(400);
    for (size_t i = 0; i < names.size(); ++i) names[i] = testsupport::Numbered("v", static_cast<long long>(i));
    for (const auto& [n, name] : kNamed) names[static_cast<size_t>(n)] = name;
    std::string text;
    for (const std::string& n : names) text += n + "\r\n";
    dir_->Write("spt/var.fxf", Inverted(text));
    dir_->Write("spt/command.xtx", "place,0\r\nchart,1\r\nfight,2\r\nselectplace,3\r\n");
    dir_->Write("spt/function.xtx",
                "stopf5,0\r\nsavesystemfile,0\r\nlayer,0\r\nnotice,0\r\nsetresult,0\r\n"
                "getresult,0\r\nZukanOn,0\r\nappearcard,0\r\n");
  }
  void TearDown() override {
    ResetTextState();
    GameTest::TearDown();
  }

  // `without` leaves keys of the list below out.
  std::unique_ptr<CallGame> Make(std::set<int> classes, const Pairs& game = {},
                                 const std::set<std::string>& without = {}) {
    // The extra modes the tests call are switched on.
    Pairs list = {{"selectplaceIsDefault", "1"},
                  {"selectchartIsDefault", "1"},
                  {"selectzukanIsDefault", "1"},
                  {"cardsystemIsDefault", "1"},
                  {"resultFlag", "1"},
                  {"getResultVarName", "got"},
                  {"noticeFlag", "1"},
                  {"layerOffVar2", "light"},
                  {"expModeCheckByVarNumber", "2"},
                  {"expModeCheckByVarMode1", "config"},
                  {"expModeCheckByVarName1", "enabler"},
                  {"expModeCheckByVarMode2", "13"},
                  {"expModeCheckByVarName2", "nosuchvar"}};
    std::erase_if(list, [&](const auto& pair) { return without.count(pair.first) != 0; });
    list.insert(list.end(), game.begin(), game.end());
    WriteList("game", list);
    auto g = std::make_unique<CallGame>(window_, &systemFile_, std::move(classes));
    g->Init();
    for (int n = 1; n < CGameCallBack::kModeCount; ++n) g->Modes().CreateMode(n);
    host_->ClearBoxes();
    return g;
  }

  static constexpr std::pair<int, const char*> kNamed[] = {
      {10, "year"},      {11, "date"},      {12, "week"},      {13, "holiday"},
      {14, "cgpercent"}, {15, "scenepercent"}, {16, "expmode1"}, {17, "expcheck2"},
      {300, "got"},      {301, "listenbgmmode"}, {302, "listenbgmnumber"},
      {303, "enabler"},  {304, "light"},
  };

  CCommonSystemFile systemFile_;
};

// --- Registration and system calls ---

TEST_F(GameCallsTest, SystemCallsReachTheFirstRegisteredModeThatExists) {
  auto game = Make({22, 34});
  // "chart" is token 2 of the command list: command 1. One command for two
  // modes keeps both rows; the first whose mode exists is called.
  EXPECT_EQ(game->Scripts().RegistSystemCall(14, "chart"), 1);  // no mode 14
  EXPECT_EQ(game->Scripts().RegistSystemCall(34, "chart"), 1);
  EXPECT_EQ(game->Scripts().RegistSystemCall(22, "chart"), 1);
  // The command list is searched case-sensitively, over every token; a
  // name it does not hold is named on stderr with the list.
  testing::internal::CaptureStderr();
  EXPECT_EQ(game->Scripts().RegistSystemCall(22, "Chart"), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "spt\\command.xtx: mode 22 asks for the call \"Chart\", which the list does not name; "
            "scripts cannot call it\n");
  EXPECT_EQ(game->Scripts().RegistSystemCall(22, "2"), 1);  // the token "2" (index 5): command 2
  EXPECT_EQ(game->Scripts().RegistSystemCall(22, nullptr), 0);
  EXPECT_EQ(game->Scripts().RegistSystemCall(30, "place"), 0);  // a disabled extra mode
  EXPECT_EQ(game->Scripts().RegistSystemCall(-1, "place"), 0);
  EXPECT_EQ(game->Scripts().RegistSystemCall(100, "place"), 0);

  game->SetSkipFilmWords();
  const int args[3] = {5, 6, 7};
  game->SystemCall(1, 3, args);
  EXPECT_EQ(game->log, (Log{"PrintFloatingLayers", "34 SetCallArgs 5 6"}));
  EXPECT_EQ(game->Modes().GetNextMode(), 34);
  EXPECT_EQ(game->SkipFilmWords(), (std::vector<int>{0, 0, 0, 0, 0}));

  // One argument: b is 0. A call nobody registered goes to the hook.
  game->log.clear();
  game->SystemCall(2, 1, args);
  game->SystemCall(0, 0, nullptr);
  EXPECT_EQ(game->log, (Log{"PrintFloatingLayers", "22 SetCallArgs 5 0", "OnSystemCall 0 0"}));
}

TEST_F(GameCallsTest, ACommandListWithoutCallsIsTold) {
  // Extra modes the list does not name are reached from the menus only:
  // nothing on stderr for them; a list holding no call at all is told.
  for (const char* list : {"place,0\r\n", ""}) {
    dir_->Write("spt/command.xtx", list);
    testing::internal::CaptureStderr();
    auto game = Make({22});
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.find("does not name the mode"), std::string::npos) << err;
    EXPECT_EQ(err.find("spt\\command.xtx holds no calls; scripts cannot call any mode\n") != std::string::npos,
              *list == '\0')
        << err;
  }
}

TEST_F(GameCallsTest, AnExtraModeLeftOnIsCalledByItsName) {
  auto game = Make({22});
  const int args[2] = {1, 2};
  game->SystemCall(3, 2, args);
  EXPECT_EQ(game->log, (Log{"PrintFloatingLayers", "22 SetCallArgs 1 2"}));
  EXPECT_EQ(game->Modes().GetNextMode(), 22);
}

TEST_F(GameCallsTest, RegistrationIsRefusedAtFiftyRows) {
  auto game = Make({24});
  // Row 0 is "selectplace", registered at initialisation.
  for (int i = 1; i < CScriptPart::kTableRows; ++i)
    ASSERT_EQ(game->Scripts().RegistSystemCall(24, "place"), 1) << i;
  for (int i = 0; i < CScriptPart::kTableRows; ++i)
    ASSERT_EQ(game->Scripts().RegistSystemFunction(24, "zukanon", i), 1) << i;
  EXPECT_EQ(game->Scripts().RegistSystemCall(24, "place"), 0);
  EXPECT_EQ(game->Scripts().RegistSystemFunction(24, "zukanon", 50), 0);
  // The 50 rows all answer; the 51st never came in.
  const int arg = 9;
  game->SystemFunction(6, 1, &arg);
  EXPECT_EQ(game->log.size(), 50u);
  EXPECT_EQ(game->log.back(), "24 Function 49 1 9");
}

TEST_F(GameCallsTest, FunctionsAreRegisteredByTheFirstColumnWithoutRegardToCase) {
  auto game = Make({24, 45});
  EXPECT_EQ(game->Scripts().RegistSystemFunction(24, "zukanon", 3), 1);
  EXPECT_EQ(game->Scripts().RegistSystemFunction(45, "APPEARCARD", 4), 1);
  EXPECT_EQ(game->Scripts().RegistSystemFunction(45, "0", 4), 0);  // the second column is no name
  EXPECT_EQ(game->Scripts().RegistSystemFunction(45, "missing", 4), 0);
  EXPECT_EQ(game->Scripts().RegistSystemFunction(45, nullptr, 4), 0);
  game->DisableMode(45);
  EXPECT_EQ(game->Scripts().RegistSystemFunction(45, "appearcard", 5), 0);

  const int args[2] = {8, 9};
  EXPECT_EQ(game->SystemFunction(7, 2, args), 145);
  EXPECT_EQ(game->SystemFunction(6, 2, args), 124);
  EXPECT_EQ(game->SystemFunction(99, 2, args), -7);
  EXPECT_EQ(game->log, (Log{"45 Function 4 2 8", "24 Function 3 2 8", "OnSystemFunction 99"}));
}

TEST_F(GameCallsTest, BuiltInFunctionsComeFirst) {
  auto game = Make({24});
  // A mode registering a built-in's name is never reached: the built-in
  // answers.
  ASSERT_EQ(game->Scripts().RegistSystemFunction(24, "savesystemfile", 0), 1);
  game->SetSkipFilmWords();
  game->SystemFunction(0, 0, nullptr);  // stopf5
  EXPECT_EQ(game->SkipFilmWords(), (std::vector<int>{0, 0, 0, 0, 0}));
  game->SystemFunction(1, 0, nullptr);  // savesystemfile
  game->SystemFunction(3, 1, nullptr);  // notice without its object: nothing
  EXPECT_EQ(game->log, (Log{"SaveSystemFile"}));
}

// With results on, "getresult" is the built-in whether or not a variable
// takes its answer: without one it does nothing and answers 0, and neither
// a mode registered under the name nor the title's hook is reached.
TEST_F(GameCallsTest, GetResultWithoutItsVariableIsStillTheBuiltIn) {
  auto game = Make({24}, {}, {"getResultVarName"});
  ASSERT_EQ(game->Scripts().RegistSystemFunction(24, "getresult", 3), 1);
  const int row[1] = {9};
  EXPECT_EQ(game->SystemFunction(5, 1, row), 0);
  EXPECT_EQ(game->log, Log{});
}

TEST_F(GameCallsTest, BuiltInsSharingANumberAreAppliedInTheirOrder) {
  auto game = Make({24});
  ASSERT_EQ(game->Scripts().RegistSystemFunction(24, "zukanon", 0), 1);
  game->ShareFunctionNumber(6);
  // "savesystemfile", then "setresult" sets row 9, then "getresult" sees it.
  const int row[1] = {9};
  game->SystemFunction(6, 1, row);
  EXPECT_EQ(game->log, (Log{"SaveSystemFile"}));
  EXPECT_EQ(game->ResultTable()->GetValue(9, 0), 1);
  EXPECT_EQ(game->GetVar(300), 1);
}

TEST_F(GameCallsTest, LayerSwitchesItsBitAndIgnoresLayersOutsideTheTable) {
  auto game = Make({});
  const int off[2] = {3, 0};
  game->SystemFunction(2, 2, off);
  EXPECT_EQ(game->Screen().GetLayerDisableMask(), 1 << 3);
  const int on[1] = {3};  // one argument: on
  game->SystemFunction(2, 1, on);
  EXPECT_EQ(game->Screen().GetLayerDisableMask(), 0);
  game->SystemFunction(2, 0, nullptr);  // no argument: nothing
  for (int layer : {-1, 16, 1 << 30}) {
    const int args[2] = {layer, 0};
    game->SystemFunction(2, 2, args);
    EXPECT_EQ(game->Screen().GetLayerDisableMask(), 0) << layer;
  }
  // A layer-off variable switches its layer the same way.
  game->SetVar(304, 1);
  EXPECT_EQ(game->Screen().GetLayerDisableMask(), 1 << 2);
  game->SetVar(304, 0);
  EXPECT_EQ(game->Screen().GetLayerDisableMask(), 0);
}

TEST_F(GameCallsTest, ResultsAreSetOnceAndReadAgainstAThreshold) {
  auto game = Make({});
  CIntTableFile* table = game->ResultTable();
  ASSERT_NE(table, nullptr);
  const int setFive[2] = {5, 3};
  game->SystemFunction(4, 2, setFive);
  EXPECT_EQ(table->GetValue(5, 0), 3);
  // A row already set stays as it is.
  const int again[2] = {5, 8};
  game->SystemFunction(4, 2, again);
  EXPECT_EQ(table->GetValue(5, 0), 3);
  const int defaultValue[1] = {6};
  game->SystemFunction(4, 1, defaultValue);
  EXPECT_EQ(table->GetValue(6, 0), 1);
  for (int row : {-1, 1024, 1 << 30}) {
    const int args[2] = {row, 4};
    game->SystemFunction(4, 2, args);
    game->SystemFunction(5, 2, args);
  }

  struct Case {
    int row, threshold, count, expected;
  } cases[] = {{5, 3, 2, 1}, {5, 4, 2, 0}, {6, 0, 1, 1}, {7, 0, 1, 0}, {-1, 0, 2, 1}};
  for (const Case& c : cases) {
    game->SetVar(300, 9);
    const int args[2] = {c.row, c.threshold};
    game->SystemFunction(5, c.count, args);
    EXPECT_EQ(game->GetVar(300), c.expected) << c.row << " " << c.threshold;
  }
}

TEST_F(GameCallsTest, CallParametersKeepAtMost256Values) {
  auto game = Make({});
  std::vector<int> values(300);
  for (int i = 0; i < 300; ++i) values[static_cast<size_t>(i)] = i + 1;
  game->Scripts().SetCallParam(300, values.data());
  EXPECT_EQ(game->Scripts().GetCallParamCount(), 256);
  EXPECT_EQ(game->Scripts().GetCallParam(255), 256);
  EXPECT_EQ(game->Scripts().GetCallParam(256), 0);
}

TEST_F(GameCallsTest, ScriptLabelsMoveTheRunningScript) {
  const zasm::Assembly sys = zasm::Assemble("first:\n  wait 1\nsecond:\n  wait 2\n");
  ASSERT_TRUE(sys.ok()) << sys.ErrorText();
  dir_->Write("spt/sys.spt", sys.FileBytes());
  auto game = Make({});
  ASSERT_NE(game->Script(0), nullptr);
  EXPECT_EQ(game->Modes().CallScriptLabel(1), 0);
  EXPECT_EQ(game->Script(0)->GetPC(), sys.LabelWord("second"));
  EXPECT_EQ(game->Modes().CallScriptLabel(2), -1);
  EXPECT_EQ(game->Modes().CallScriptLabel(-1), -1);
  EXPECT_EQ(game->Script(0)->GetPC(), sys.LabelWord("second"));
}

// --- Names ---

TEST_F(GameCallsTest, NamesAreCopiedWholeCharactersWithinFifteenBytes) {
  // Until names are set the buffers hold the placeholders.
  EXPECT_EQ(std::string(GetTextState().familyName), Sjis("《◆姓》"));
  EXPECT_EQ(std::string(GetTextState().givenName), Sjis("《◆名》"));
  auto game = Make({});

  game->Vars().SetNames(Sjis("山田").c_str(), Sjis("花子").c_str());
  game->Vars().SetNames(nullptr, "x");
  EXPECT_EQ(std::string(game->Vars().GetFamilyName()), Sjis("山田"));
  EXPECT_STREQ(game->Vars().GetGivenName(), "x");
  EXPECT_EQ(std::string(GetTextState().familyName), Sjis("山田"));
  EXPECT_STREQ(GetTextState().givenName, "x");

  struct Case {
    const char* given;  // UTF-8
    const char* kept;
  } cases[] = {
      {"ab一二三四五六七", "ab一二三四五六"},  // the 7th kanji would end at byte 16
      {"a一二三四五六七", "a一二三四五六七"},   // exactly 15 bytes
      {"abcdefghijklmnopqrstuvwxyz", "abcdefghijklmno"},
  };
  for (const Case& c : cases) {
    game->Vars().SetNames(nullptr, Sjis(c.given).c_str());
    EXPECT_EQ(std::string(game->Vars().GetGivenName()), Sjis(c.kept)) << c.given;
    EXPECT_EQ(std::string(GetTextState().givenName), Sjis(c.kept)) << c.given;
  }
}

TEST_F(GameCallsTest, DefaultNamesComeFromTheList) {
  auto game = Make({}, {{"seiInitData", "佐藤"}});
  EXPECT_EQ(std::string(game->Vars().GetDefaultName(0)), Sjis("佐藤"));
  for (int which : {1, 2, -1})
    EXPECT_EQ(std::string(game->Vars().GetDefaultName(which)), Sjis("エラー名"));
}

TEST_F(GameCallsTest, SavingNamesKeepsVariablesAndNamesInTheSystemData) {
  auto game = Make({});
  game->SetVar(200, 11);
  game->SetVar(299, 22);
  SetTextNames("fam", nullptr);
  SetTextNames(nullptr, "giv");
  game->Vars().SaveNames();
  EXPECT_EQ(systemFile_.GetBlockWord(CCommonSystemFile::kSystemVar, 32), 11);
  EXPECT_EQ(systemFile_.GetBlockWord(CCommonSystemFile::kSystemVar, 32 + 4 * 99), 22);
  EXPECT_STREQ(systemFile_.GetFamilyName(), "fam");
  EXPECT_STREQ(systemFile_.GetGivenName(), "giv");
}

TEST_F(GameCallsTest, PlaceholdersAreNeverKeptAsNames) {
  auto game = Make({});
  // No name set: the text shows the placeholders, the system data keeps no
  // name, whether the names are saved at close or set from a slot that
  // holds the placeholders.
  game->Vars().SaveNames();
  EXPECT_STREQ(systemFile_.GetFamilyName(), "");
  EXPECT_STREQ(systemFile_.GetGivenName(), "");
  game->Vars().SetNames(Sjis("《◆姓》").c_str(), Sjis("《◆名》").c_str());
  EXPECT_EQ(std::string(GetTextState().familyName), Sjis("《◆姓》"));
  EXPECT_STREQ(systemFile_.GetFamilyName(), "");
  EXPECT_STREQ(systemFile_.GetGivenName(), "");
  EXPECT_STREQ(game->Vars().GetFamilyName(), "");
  // A system file that holds a placeholder as its name holds no name.
  systemFile_.SetGivenName(Sjis("《◆名》").c_str());
  EXPECT_STREQ(game->Vars().GetGivenName(), "");
}

// --- Day of the week ---

TEST_F(GameCallsTest, WeekDaysFollowTheYearVariable) {
  auto game = Make({});
  struct Case {
    int year, monthDay, expected;
  } cases[] = {
      {2011, 207, 1},   // 7 February 2011 was a Monday
      {2000, 101, 6},   // 1 January 2000 was a Saturday
      {2024, 229, 4},   // 29 February 2024, a Thursday
      {2026, 1209, 3},  // 9 December 2026, a Wednesday
  };
  for (const Case& c : cases) {
    game->SetVar(10, c.year);
    EXPECT_EQ(game->Vars().GetWeekDay(c.monthDay), c.expected) << c.year << " " << c.monthDay;
  }
  // Whatever a script puts in, the day is one of the seven.
  for (int year : {-1, -2011, 0, 2147483647, -2147483647 - 1}) {
    for (int monthDay : {-1, -1231, 0, 1399, 2147483647, -2147483647 - 1}) {
      game->SetVar(10, year);
      const int day = game->Vars().GetWeekDay(monthDay);
      EXPECT_TRUE(day >= 0 && day <= 6) << year << " " << monthDay << " " << day;
    }
  }
}

TEST_F(GameCallsTest, WithoutAYearVariableTheYearIs2000) {
  dir_->Write("spt/var.fxf", Inverted("a\r\nb\r\n"));
  WriteList("game", {});
  CallGame game(window_, &systemFile_);
  game.Init();
  EXPECT_EQ(game.Vars().GetWeekDay(101), 6);
}

// --- Options and flags ---

TEST_F(GameCallsTest, OptionsAnswerByIdFromTheSystemData) {
  auto game = Make({});
  // Each word holds its own offset, so the answer names the word read.
  for (int offset = 32; offset < 2048; offset += 4) systemFile_.SetSystemData(offset, offset);
  struct Case {
    int id, volumeChannel, voiceChannel, expected;
  } cases[] = {
      {2, 0, 1, 140},    {4, 0, 1, 84},     {6, 0, 1, 164},    {100, 0, 1, 176},
      {101, 0, 1, 184},  {102, 0, 1, 180},  {105, 0, 1, 136},  {106, 0, 1, 1932},
      {107, 0, 1, 220},  {200, 0, 1, 192},  {201, 0, 1, 200},  {202, 0, 1, 196},
      // The fourth volume and switch by "movieVolumeNotUse".
      {103, 0, 1, 188},  {103, 1, 1, 176},  {103, 2, 1, 184},  {103, 3, 1, 180},
      {103, 4, 1, 188},  {203, 0, 1, 204},  {203, 1, 1, 192},  {203, 2, 1, 200},
      {203, 3, 1, 196},
      // The fifth by "soundVoiceVolumeNotUse".
      {104, 0, 0, 212},  {104, 0, 1, 180},  {104, 0, 2, 184},  {204, 0, 0, 216},
      {204, 0, 1, 196},  {204, 0, 5, 196},
      // The expansion tables, 16 entries each.
      {300, 0, 1, 1792}, {315, 0, 1, 1852}, {400, 0, 1, 1856}, {415, 0, 1, 1916},
      {316, 0, 1, 0},    {416, 0, 1, 0},    {0, 0, 1, 0},      {1, 0, 1, 0},
      {299, 0, 1, 0},    {572, 0, 1, 0},    {-1, 0, 1, 0},     {1 << 30, 0, 1, 0},
  };
  for (const Case& c : cases) {
    game->Vars().GetSettings().movieVolumeNotUse = c.volumeChannel;
    game->Vars().GetSettings().soundVoiceVolumeNotUse = c.voiceChannel;
    EXPECT_EQ(game->Vars().GetSystemSetting(c.id), c.expected)
        << c.id << " " << c.volumeChannel << " " << c.voiceChannel;
  }
  // 500..571 are the five-bit items.
  systemFile_.SetFiveBitValue(10, 20);
  EXPECT_EQ(game->Vars().GetSystemSetting(510), -12);
  systemFile_.SetSystemData(140, 0);
  EXPECT_EQ(game->Vars().IsSystemSettingOn(), 0);
  systemFile_.SetSystemData(140, 5);
  EXPECT_EQ(game->Vars().IsSystemSettingOn(), 1);
}

TEST_F(GameCallsTest, FlagsOfTheSystemDataAreBounded) {
  auto game = Make({});
  EXPECT_EQ(game->Vars().CheckFrameSkipOff(), 0);
  systemFile_.SetSystemData(152, 1);
  EXPECT_EQ(game->Vars().CheckFrameSkipOff(), 1);

  systemFile_.SetVoiceFlag(0);
  systemFile_.SetVoiceFlag(255);
  for (const auto& [n, expected] : std::vector<std::pair<int, int>>{
           {0, 1}, {1, 0}, {255, 1}, {256, 0}, {-1, 0}, {1 << 30, 0}})
    EXPECT_EQ(game->Vars().CheckSystemFlag(n), expected) << n;

  // -1 stands for the script of the running level.
  game->Scripts().SetScriptNumber(0, 4);
  game->MessageWindow().SetMessageReadFlag(7, -1);
  EXPECT_EQ(systemFile_.GetMesFlag(4, 7), 1);
  EXPECT_EQ(game->MessageWindow().CheckMessageReadFlag(7, 4), 1);
  EXPECT_EQ(game->MessageWindow().CheckMessageReadFlag(7, -1), 1);
  EXPECT_EQ(game->MessageWindow().CheckMessageReadFlag(8, -1), 0);
  game->MessageWindow().SetMessageReadFlag(7, 1 << 30);
  EXPECT_EQ(game->MessageWindow().CheckMessageReadFlag(-5, -5), 0);
}

TEST_F(GameCallsTest, EnableTableModeFlagsAndListenWords) {
  auto game = Make({});
  // Mode 12 ("config") is enabled by its variable; 13 names no variable.
  EXPECT_EQ(game->Vars().CheckEnableVar(12), 0);
  game->SetVar(303, 4);
  EXPECT_EQ(game->Vars().CheckEnableVar(12), 4);
  for (int n : {13, 0, 255, -1, 256, 1 << 30}) EXPECT_EQ(game->Vars().CheckEnableVar(n), 1) << n;

  game->Vars().SetModeFlag(10, 1);
  game->Vars().SetModeFlag(256, 1);
  game->Vars().SetModeFlag(-1, 1);
  EXPECT_EQ(game->Vars().GetModeFlag(10), 1);
  EXPECT_EQ(game->Vars().GetModeFlag(9), 0);
  EXPECT_EQ(game->Vars().GetModeFlag(256), 0);
  EXPECT_EQ(game->Vars().GetModeFlag(-1), 0);

  game->Vars().SetListenBgmState(2, 17);
  EXPECT_EQ(game->GetVar(301), 2);
  EXPECT_EQ(game->GetVar(302), 17);
}

// --- Computed variables that need the game ---

TEST_F(GameCallsTest, ComputedVariablesAnswerThroughTheGame) {
  auto game = Make({});
  game->SetVar(10, 2011);
  game->SetVar(11, 207);  // Monday
  EXPECT_EQ(game->GetSystemVar(12), 1);
  EXPECT_EQ(game->GetSystemVar(13), 0);  // no holiday list: a weekday is no holiday
  game->SetVar(11, 205);                 // Saturday
  EXPECT_EQ(game->GetSystemVar(12), 6);
  EXPECT_EQ(game->GetSystemVar(13), 1);
  game->SetVar(11, 206);  // Sunday
  EXPECT_EQ(game->GetSystemVar(13), 1);
  // Nothing seen.
  EXPECT_EQ(game->GetSystemVar(14), 0);
  EXPECT_EQ(game->GetSystemVar(15), 0);
  systemFile_.SetSystemData(1792, 3);       // option 300: expmode1
  systemFile_.SetSystemData(1856 + 4, 5);   // option 401: expcheck2
  EXPECT_EQ(game->GetSystemVar(16), 3);
  EXPECT_EQ(game->GetSystemVar(17), 5);
}

TEST_F(GameCallsTest, HolidaysFromTheListWithUseSaijistu) {
  dir_->Write("mok/saijitsu.xtx", "2011 2 7\n2011 2 11\n");
  auto game = Make({}, {{"useSaijistu", "1"}});
  EXPECT_EQ(game->Vars().CheckHoliday(2011, 2, 11), 1);
  EXPECT_EQ(game->Vars().CheckHoliday(2011, 2, 10), 0);
  game->SetVar(10, 2011);
  game->SetVar(11, 207);  // a Monday in the list
  EXPECT_EQ(game->GetSystemVar(13), 1);
  game->SetVar(11, 208);
  EXPECT_EQ(game->GetSystemVar(13), 0);
  // Without "useSaijistu" the file is not read.
  auto plain = Make({});
  EXPECT_EQ(plain->Vars().CheckHoliday(2011, 2, 11), 0);
}

}  // namespace
}  // namespace game_test
