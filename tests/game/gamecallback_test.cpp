#include "game/gamecallback.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/frameskip.h"
#include "game/game.h"
#include "input/inputstatus.h"
#include "graphics/pictureloader.h"
#include "game_test.h"
#include "setup/namelist.h"

namespace game_test {
namespace {

// Opens the protected state the tests plant or read.
class OpenGame : public CGame {
 public:
  explicit OpenGame(platform::Window* window) : CGame(window, nullptr, 800, 600, 32) {}

  void PlantOwnedObjects(CKeyFlagTable* table, CMouseStatus* mouse, CMyKeyStatus* keys,
                         CInputStatus* input, CNameList* bgm, CFrameSkip* skip) {
    keyFlagTable_ = table;
    mouseStatus_ = mouse;
    keyStatus_ = keys;
    inputStatus_ = input;
    bgmList_ = bgm;
    frameSkip_ = skip;
  }
  CFrameSkip* FrameSkip() const { return frameSkip_; }
  int DebugFlag() const { return GetDebugFlag(); }
};

TEST_F(GameTest, AFreshGameObjectHasTheDefaults) {
  OpenGame game(window_);
  struct Case {
    const char* name;
    long long value, expected;
  };
  const std::vector<Case> words = {
      {"return mode", game.GetReturnMode(), 10},
      {"mode level", game.GetModeLevel(), 0},
      {"current mode", game.GetCurrentMode(), 1},
      {"pending request", game.GetNextMode(), -1},
      {"surface-restore flag", game.GetSurfaceRestoreFlag(), 1},
      {"voice wait time", game.GetVoiceWaitTime(), 7000},
      {"voice flag", game.GetVoiceFlag(), 0},
      {"frame time", game.GetFrameTime(), 50},
      {"configured frame time", game.GetDefaultFrameTime(), 50},
      {"version", game.GetVersion(), 0},
      {"music entries", game.GetBgmCount(), 0},
      {"ext-data value", game.GetExtDataValue(), 0},
      {"shift skip", game.GetShiftSkipState(), 0},
      {"message mode flag", game.GetMessageModeFlag(), 0},
      {"back-script mode", game.GetBackScriptMode(), 0},
      {"boss-coming flag", game.GetBossComingFlag(), 0},
      {"initialised", game.IsInitialised(), 0},
  };
  for (const Case& c : words) EXPECT_EQ(c.value, c.expected) << c.name;

  const std::vector<std::pair<const char*, const void*>> owned = {
      {"screen picture", game.GetScreenPicture()},
      {"work picture", game.GetWorkPicture()},
      {"buffer picture 0", game.GetBufferPicture(0)},
      {"buffer picture 1", game.GetBufferPicture(1)},
      {"mouse status", game.GetMouseStatus()},
      {"input status", game.GetInputStatus()},
      {"key status", game.GetKeyStatus()},
      {"font", game.GetFont()},
      {"text buffer", game.GetTextBuffer()},
      {"pixel buffer", game.GetPixelBuffer()},
      {"sound device", game.GetSoundDevice()},
      {"movie player", game.GetMoviePlayer()},
      {"music player", game.GetBgmPlayer()},
      {"save-slot layout", game.GetSaveSlotLayout()},
      {"common back setup", game.GetCommonBackSetup()},
      {"common up/down setup", game.GetCommonUpDownSetup()},
      {"character names", game.GetCharaNameList()},
      {"project list", game.GetProjectList()},
      {"keyed flag table", game.GetKeyFlagTable()},
      {"scene data", game.GetSceneDataFile()},
      {"scene list", game.GetSceneList()},
      {"picture list", game.GetCGList()},
      {"system picture", game.LoadSystemPicture("x", 0)},
  };
  for (const auto& [name, p] : owned) EXPECT_EQ(p, nullptr) << name;
  for (int n = 0; n < CGameCallBack::kModeCount; ++n) ASSERT_EQ(game.GetMode(n), nullptr) << n;
  EXPECT_EQ(game.GetMode(-1), nullptr);
  EXPECT_EQ(game.GetMode(100), nullptr);
  EXPECT_EQ(game.GetBufferPicture(2), nullptr);
  EXPECT_STREQ(game.GetSaveHeaderName(), "SAVEDATA");
  EXPECT_EQ(game.GetWindowHandle(), window_);
}

TEST_F(GameTest, DestroyingBeforeInitialisationReleasesNothing) {
  // Objects the game does not own: a destroy step that deleted them would
  // free them twice.
  CKeyFlagTable table(0);
  CMouseStatus mouse;
  CMyKeyStatus keys;
  CInputStatus input;
  CNameList bgm;
  CFrameSkip skip;
  {
    OpenGame game(window_);
    game.PlantOwnedObjects(&table, &mouse, &keys, &input, &bgm, &skip);
  }
  EXPECT_EQ(table.Insert(1, 2, 0, -1), 1);
  mouse.SetButton(0, 1);
  EXPECT_EQ(mouse.GetClick(0), 1);
  EXPECT_TRUE(host_->Boxes().empty());
  EXPECT_TRUE(window_->IsVisible());
}

TEST_F(GameTest, InitialisationMakesTheInputStateAndTheTables) {
  WriteList("game", {{"useExtClass", "1"},
                     {"highVersion", "1"},
                     {"middleVersion", "2"},
                     {"lowVersion", "3"},
                     {"frameTime", "40"},
                     {"maxSkipFrame", "0"},
                     {"skipAdjustFrame", "7"}});
  OpenGame game(window_);
  game.Init();
  EXPECT_EQ(game.IsInitialised(), 1);
  ASSERT_NE(game.GetMouseStatus(), nullptr);
  ASSERT_NE(game.GetInputStatus(), nullptr);
  ASSERT_NE(game.GetKeyStatus(), nullptr);
  EXPECT_EQ(game.GetInputStatus()->GetMouseStatus(), game.GetMouseStatus());
  EXPECT_EQ(game.GetInputStatus()->GetKeyStatus(), game.GetKeyStatus());
  ASSERT_NE(game.GetKeyFlagTable(), nullptr);
  EXPECT_EQ(game.GetKeyFlagTable()->GetModeWord(), 1);
  EXPECT_EQ(game.GetExtDataValue(), 1);
  EXPECT_EQ(game.GetVersion(), 66051);
  EXPECT_EQ(game.GetFrameTime(), 40);
  ASSERT_NE(game.FrameSkip(), nullptr);
  EXPECT_EQ(game.FrameSkip()->GetPeriod(), 40);
  EXPECT_EQ(game.FrameSkip()->GetMaxSkip(), 1);  // 0 is taken as 1
  EXPECT_EQ(game.FrameSkip()->GetAdjust(), 7);
  // A second call makes nothing twice.
  CMouseStatus* mouse = game.GetMouseStatus();
  game.Init();
  EXPECT_EQ(game.GetMouseStatus(), mouse);
}

TEST_F(GameTest, TheGameObjectStartsAndStopsThePictureLoader) {
  ReleasePictureLoader();
  {
    OpenGame game(window_);
    EXPECT_EQ(GetPictureDecodeBufferSize(), 0);
    game.Init();
    EXPECT_GT(GetPictureDecodeBufferSize(), 0);
  }
  EXPECT_EQ(GetPictureDecodeBufferSize(), 0);
}

TEST_F(GameTest, VersionWord) {
  OpenGame game(window_);
  struct Case {
    int high, middle, low, expected;
  };
  for (const Case& c : std::vector<Case>{{1, 2, 3, 66051},
                                         {0, 0, 0, 0},
                                         {0, 1, 0, 256},
                                         {255, 255, 255, 0xFFFFFF},
                                         {0x8000, 0, 1, static_cast<int>(0x80000001u)}}) {
    EXPECT_EQ(game.SetVersion(c.high, c.middle, c.low), c.expected);
    EXPECT_EQ(game.GetVersion(), c.expected);
  }
}

TEST_F(GameTest, MusicListCountsWholePairs) {
  struct Case {
    const char* tokens;
    int count;
    int n;  // the entry looked at
    const char* file;
    const char* title;
  };
  const std::vector<Case> cases = {
      {"", 0, 0, nullptr, nullptr},
      {"a01", 0, 0, "a01", nullptr},
      {"a01 One a02 Two a03 Three", 3, 2, "a03", "Three"},
      {"a01 One a02 Two a03 Three", 3, 3, nullptr, nullptr},
      {"a01 One a02 Two a03 Three a04", 3, 3, "a04", nullptr},
  };
  auto text = [](const char* s) { return std::string(s ? s : "(null)"); };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.tokens) + " / entry " + std::to_string(c.n));
    dir_->Write("spt/bgmlist.xtx", c.tokens);
    OpenGame game(window_);
    EXPECT_EQ(game.GetBgmFileName(0), nullptr);  // no list yet
    game.Init();
    EXPECT_EQ(game.GetBgmCount(), c.count);
    EXPECT_EQ(text(game.GetBgmFileName(c.n)), text(c.file));
    EXPECT_EQ(text(game.GetBgmTitle(c.n)), text(c.title));
    EXPECT_EQ(game.GetBgmFileName(-1), nullptr);
    EXPECT_EQ(game.GetBgmTitle(2000000000), nullptr);
  }
}

TEST_F(GameTest, ResetFrameTimeGoesBackToTheConfiguredPeriod) {
  WriteList("game", {{"frameTime", "40"}});
  OpenGame game(window_);
  game.Init();
  game.SetFrameTime(33);
  EXPECT_EQ(game.GetFrameTime(), 33);
  EXPECT_EQ(game.FrameSkip()->GetPeriod(), 33);
  EXPECT_EQ(game.GetDefaultFrameTime(), 40);
  game.ResetFrameTime();
  EXPECT_EQ(game.GetFrameTime(), 40);
  EXPECT_EQ(game.FrameSkip()->GetPeriod(), 40);
}

TEST_F(GameTest, VariablesBeforeAndAfterInitialisation) {
  OpenGame game(window_);
  game.SetVar(5, 9);
  EXPECT_EQ(game.GetVar(5), 0);
  EXPECT_EQ(game.GetVar(0x8000 | 1234), 1234);
  game.Init();
  game.SetVar(5, 9);
  EXPECT_EQ(game.GetVar(5), 9);
  EXPECT_EQ(game.GetSystemVar(5), 9);
  EXPECT_EQ(game.GetVar(0x8000 | 1234), 1234);
  EXPECT_EQ(game.GetVar(1000), 0);
}

TEST_F(GameTest, TheTitlesScriptCallHooksKeepWhatTheyGet) {
  OpenGame game(window_);
  std::vector<int> values(300);
  for (int i = 0; i < 300; ++i) values[static_cast<size_t>(i)] = i + 1;
  game.OnSystemCall(17, 300, values.data());
  EXPECT_EQ(game.GetSystemCallKey(), 17);
  EXPECT_EQ(game.GetCallParamCount(), 256);
  EXPECT_EQ(game.GetCallParam(255), 256);
  EXPECT_EQ(game.GetCallParam(256), 0);

  EXPECT_EQ(game.OnSystemFunction(23, 2, values.data()), 23);
  EXPECT_EQ(game.GetSystemFunctionNumber(), 23);
  EXPECT_EQ(game.GetCallParamCount(), 2);
  game.SetCallParam(-5, values.data());
  EXPECT_EQ(game.GetCallParamCount(), 0);
  game.SetCallParam(3, nullptr);
  EXPECT_EQ(game.GetCallParamCount(), 0);
}

TEST_F(GameTest, DebugSwitchFiles) {
  struct Case {
    const char* file;
    int base, title;
  };
  for (const Case& c : std::vector<Case>{{nullptr, 0, 0},
                                         {"debug.txt", 1, 0},
                                         {"debug666.txt", 0, 1}}) {
    SCOPED_TRACE(c.file ? c.file : "no file");
    dir_ = std::make_unique<testsupport::TempDir>();
    if (c.file) dir_->Write(c.file, "");
    CGameCallBack base(window_, nullptr, 800, 600, 32);
    OpenGame title(window_);
    EXPECT_EQ(base.IsDebugMode(), c.base);
    EXPECT_EQ(title.IsDebugMode(), c.title);
    title.Init();
    title.CreateModes();
    EXPECT_EQ(title.DebugFlag(), c.title);
  }
}

// Records which leaf a one-line service passes to.
class RoutingGame : public CGameCallBack {
 public:
  explicit RoutingGame(platform::Window* window) : CGameCallBack(window, nullptr, 800, 600, 32) {}
  int GetSystemSetting(int id) override {
    calls.push_back("GetSystemSetting " + std::to_string(id));
    return id == 4 ? fullScreen : id == 2 ? skipOption : 0;
  }
  void ToFullScreenMode(int quiet) override {
    calls.push_back("ToFullScreenMode " + std::to_string(quiet));
  }
  void ToWindowMode(int quiet) override { calls.push_back("ToWindowMode " + std::to_string(quiet)); }
  void PlaySystemSe(int n, int asVoice) override {
    calls.push_back("PlaySystemSe " + std::to_string(n) + " " + std::to_string(asVoice));
  }
  void OnScreenChangeBegin() override { calls.push_back("OnScreenChangeBegin"); }
  void OnScreenChangeEnd() override { calls.push_back("OnScreenChangeEnd"); }
  int fullScreen = 0;
  int skipOption = 0;
  std::vector<std::string> calls;
};

TEST_F(GameTest, OneLineServicesPassToTheirLeaves) {
  RoutingGame game(window_);
  game.ToggleScreenMode(1);
  game.fullScreen = 1;
  game.ToggleScreenMode(0);
  game.PlaySystemSeAlt(4);
  game.PlaySystemSeAlt(3);
  EXPECT_EQ(game.IsSystemSettingOn(), 0);
  game.skipOption = 5;
  EXPECT_EQ(game.IsSystemSettingOn(), 1);
  game.GetFirstSystemSetting(9);
  game.CallScreenChangeBegin();
  game.CallScreenChangeEnd();
  EXPECT_EQ(game.calls, (std::vector<std::string>{
                            "GetSystemSetting 4", "ToFullScreenMode 1", "GetSystemSetting 4",
                            "ToWindowMode 0", "PlaySystemSe 2 0", "PlaySystemSe 3 0",
                            "GetSystemSetting 2", "GetSystemSetting 2", "GetSystemSetting 0",
                            "OnScreenChangeBegin", "OnScreenChangeEnd"}));
}

TEST_F(GameTest, ServicesWithoutTheirObjectsAnswerNothing) {
  CGame game(window_, nullptr, 800, 600, 32);
  game.Init();
  host_->ClearBoxes();
  std::vector<uint8_t> chunk(64, 0xAB);
  game.PutSaveData(2, chunk.data(), chunk.size());
  game.GetSaveData(2, chunk.data(), chunk.size());
  game.PutExtSaveData(chunk.data(), chunk.size(), 0);
  EXPECT_EQ(chunk, std::vector<uint8_t>(64, 0xAB));
  struct Case {
    const char* name;
    int value, expected;
  };
  for (const Case& c : std::vector<Case>{
           {"CallScriptLabel", game.CallScriptLabel(3), -1},
           {"CheckShortCut", game.CheckShortCut(10), -1},
           {"CheckFloatingButtons", game.CheckFloatingButtons(), -1},
           {"CheckSceneButton", game.CheckSceneButton(), -1},
           {"CheckSkipFilmButton", game.CheckSkipFilmButton(), 0},
           {"StartNewGame", game.StartNewGame(0, 0, -1, 0), -1},
           {"GetAutoSaveType", game.GetAutoSaveType(5), -1},
           {"QueryCommonBackSetup", game.QueryCommonBackSetup(), -1},
           {"QueryCommonUpDownSetup", game.QueryCommonUpDownSetup(), -1},
           {"GetExtSaveDataSize", game.GetExtSaveDataSize(0), 0},
           {"GetExtSaveDataCount", game.GetExtSaveDataCount(), 0},
           {"PrepareSystemMode", game.PrepareSystemMode(12, 10), 12},
           {"SpareCheck", game.SpareCheck(), 0},
           {"SpareCheckTrue", game.SpareCheckTrue(), 1},
           {"SpareCheckTrueB", game.SpareCheckTrueB(), 1},
           {"CheckReady", game.CheckReady(), 1},
           {"FrameOnMainThread", game.FrameOnMainThread(50), 0},
           {"GetCharaVoiceFlag", game.GetCharaVoiceFlag(3), 1},
           {"CheckVoiceOff", game.CheckVoiceOff("ab0001"), 0},
       }) {
    EXPECT_EQ(c.value, c.expected) << c.name;
  }
  EXPECT_EQ(game.GetStatusExtra(), nullptr);
  EXPECT_STREQ(game.GetFamilyName(), "");
  // The one box: the new game cannot start without the system script.
  ASSERT_EQ(host_->Boxes().size(), 1u);
  EXPECT_TRUE(host_->Boxes()[0].text.starts_with("spt\\sys.spt: the game cannot start"));
}

}  // namespace
}  // namespace game_test
