#include "game/gamecallback.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/floatingpart.h"
#include "game/framepart.h"
#include "game/frameskip.h"
#include "game/game.h"
#include "game/gamelists.h"
#include "game/inputpart.h"
#include "game/keyflagtable.h"
#include "game/messagewindowpart.h"
#include "game/modeflowpart.h"
#include "game/savepart.h"
#include "game/screenpart.h"
#include "game/scriptpart.h"
#include "game/soundpart.h"
#include "game/textpart.h"
#include "game/variablepart.h"
#include "game/debugpart.h"
#include "input/inputstatus.h"
#include "graphics/pictureloader.h"
#include "game_test.h"
#include "platform/system.h"
#include "savedata/savechunk.h"
#include "savedata/systemfile.h"
#include "setup/namelist.h"

namespace game_test {
namespace {

// Opens what the tests read back.
class OpenGame : public CGame {
 public:
  explicit OpenGame(platform::Window* window, CCommonSystemFile* systemFile = nullptr)
      : CGame(window, systemFile, 800, 600, 32) {}

  CFrameSkip* FrameSkip() const { return Frames().GetFrameSkip(); }
  int DebugFlag() const { return Debug().GetDebugFlag(); }
};

TEST_F(GameTest, AFreshGameObjectHasTheDefaults) {
  OpenGame game(window_);
  struct Case {
    const char* name;
    long long value, expected;
  };
  const std::vector<Case> words = {
      {"return mode", game.Modes().GetReturnMode(), 10},
      {"mode level", game.Modes().GetModeLevel(), 0},
      {"current mode", game.Modes().GetCurrentMode(), 1},
      {"pending request", game.Modes().GetNextMode(), -1},
      {"surface-restore flag", game.Screen().GetSurfaceRestoreFlag(), 1},
      {"voice wait time", game.Sound().GetVoiceWaitTime(), 7000},
      {"voice flag", game.Sound().GetVoiceFlag(), 0},
      {"frame time", game.GetFrameTime(), 50},
      {"configured frame time", game.Frames().GetDefaultFrameTime(), 50},
      {"version", game.Saves().GetVersion(), 0},
      {"music entries", game.Sound().GetBgmCount(), 0},
      {"ext-data value", game.Saves().GetExtDataValue(), 0},
      {"shift skip", game.MessageWindow().GetShiftSkipState(), 0},
      {"message mode flag", game.MessageWindow().GetMessageModeFlag(), 0},
      {"back-script mode", game.Scripts().GetBackScriptMode(), 0},
      {"boss-coming flag", game.Screen().GetBossComingFlag(), 0},
      {"initialised", game.IsInitialised(), 0},
  };
  for (const Case& c : words) EXPECT_EQ(c.value, c.expected) << c.name;

  const std::vector<std::pair<const char*, const void*>> owned = {
      {"screen picture", game.Screen().GetScreenPicture()},
      {"work picture", game.Screen().GetWorkPicture()},
      {"buffer picture 0", game.Screen().GetBufferPicture(0)},
      {"buffer picture 1", game.Screen().GetBufferPicture(1)},
      {"mouse status", game.Input().GetMouseStatus()},
      {"input status", game.Input().GetInputStatus()},
      {"key status", game.Input().GetKeyStatus()},
      {"font", game.Text().GetFont()},
      {"text buffer", game.Text().GetTextBuffer()},
      {"pixel buffer", game.Screen().GetPixelBuffer()},
      {"sound device", game.Sound().GetSoundDevice()},
      {"movie player", game.Sound().GetMoviePlayer()},
      {"music player", game.Sound().GetBgmPlayer()},
      {"save-slot layout", game.Saves().GetSaveSlotLayout()},
      {"common back setup", game.Modes().GetCommonBackSetup()},
      {"common up/down setup", game.Modes().GetCommonUpDownSetup()},
      {"character names", game.Lists().GetCharaNameList()},
      {"project list", game.Lists().GetProjectList()},
      {"keyed flag table", game.Modes().GetKeyFlagTable()},
      {"scene data", game.Saves().GetSceneDataFile()},
      {"scene list", game.Saves().GetSceneList()},
      {"picture list", game.Saves().GetCGList()},
      {"system picture", game.Screen().LoadSystemPicture("x", 0)},
  };
  for (const auto& [name, p] : owned) EXPECT_EQ(p, nullptr) << name;
  for (int n = 0; n < CGameCallBack::kModeCount; ++n)
    ASSERT_EQ(game.Modes().GetMode(n), nullptr) << n;
  EXPECT_EQ(game.Modes().GetMode(-1), nullptr);
  EXPECT_EQ(game.Modes().GetMode(100), nullptr);
  EXPECT_EQ(game.Screen().GetBufferPicture(2), nullptr);
  EXPECT_STREQ(game.Saves().GetSaveHeaderName(), "SAVEDATA");
  EXPECT_EQ(game.Screen().GetWindowHandle(), window_);
}

TEST_F(GameTest, DestroyingBeforeInitialisationReleasesNothing) {
  // What the game is given and does not own (the window, the system file)
  // outlives it; a destroy step that ran would have paused 300 ms after
  // letting the sound players go.
  CCommonSystemFile systemFile;
  systemFile.SetSystemData(208, 3);
  const uint32_t before = platform::GetTicks();
  {
    OpenGame game(window_, &systemFile);
    EXPECT_EQ(game.Modes().GetPlayCount(), 3);
  }
  EXPECT_EQ(platform::GetTicks(), before);
  EXPECT_EQ(systemFile.GetSystemData(208), 3);
  systemFile.SetSystemData(208, 4);
  EXPECT_EQ(systemFile.GetSystemData(208), 4);
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
  ASSERT_NE(game.Input().GetMouseStatus(), nullptr);
  ASSERT_NE(game.Input().GetInputStatus(), nullptr);
  ASSERT_NE(game.Input().GetKeyStatus(), nullptr);
  EXPECT_EQ(game.Input().GetInputStatus()->GetMouseStatus(), game.Input().GetMouseStatus());
  EXPECT_EQ(game.Input().GetInputStatus()->GetKeyStatus(), game.Input().GetKeyStatus());
  ASSERT_NE(game.Modes().GetKeyFlagTable(), nullptr);
  EXPECT_EQ(game.Modes().GetKeyFlagTable()->GetModeWord(), 1);
  EXPECT_EQ(game.Saves().GetExtDataValue(), 1);
  EXPECT_EQ(game.Saves().GetVersion(), 66051);
  EXPECT_EQ(game.GetFrameTime(), 40);
  ASSERT_NE(game.FrameSkip(), nullptr);
  EXPECT_EQ(game.FrameSkip()->GetPeriod(), 40);
  EXPECT_EQ(game.FrameSkip()->GetMaxSkip(), 1);  // 0 is taken as 1
  EXPECT_EQ(game.FrameSkip()->GetAdjust(), 7);
  // A second call makes nothing twice.
  CMouseStatus* mouse = game.Input().GetMouseStatus();
  game.Init();
  EXPECT_EQ(game.Input().GetMouseStatus(), mouse);
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
    EXPECT_EQ(game.Saves().SetVersion(c.high, c.middle, c.low), c.expected);
    EXPECT_EQ(game.Saves().GetVersion(), c.expected);
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
    EXPECT_EQ(game.Sound().GetBgmFileName(0), nullptr);  // no list yet
    game.Init();
    EXPECT_EQ(game.Sound().GetBgmCount(), c.count);
    EXPECT_EQ(text(game.Sound().GetBgmFileName(c.n)), text(c.file));
    EXPECT_EQ(text(game.Sound().GetBgmTitle(c.n)), text(c.title));
    EXPECT_EQ(game.Sound().GetBgmFileName(-1), nullptr);
    EXPECT_EQ(game.Sound().GetBgmTitle(2000000000), nullptr);
  }
}

TEST_F(GameTest, ResetFrameTimeGoesBackToTheConfiguredPeriod) {
  WriteList("game", {{"frameTime", "40"}});
  OpenGame game(window_);
  game.Init();
  game.Frames().SetFrameTime(33);
  EXPECT_EQ(game.GetFrameTime(), 33);
  EXPECT_EQ(game.FrameSkip()->GetPeriod(), 33);
  EXPECT_EQ(game.Frames().GetDefaultFrameTime(), 40);
  game.Frames().ResetFrameTime();
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
  EXPECT_EQ(game.Scripts().GetCallParamCount(), 256);
  EXPECT_EQ(game.Scripts().GetCallParam(255), 256);
  EXPECT_EQ(game.Scripts().GetCallParam(256), 0);

  EXPECT_EQ(game.OnSystemFunction(23, 2, values.data()), 23);
  EXPECT_EQ(game.GetSystemFunctionNumber(), 23);
  EXPECT_EQ(game.Scripts().GetCallParamCount(), 2);
  game.Scripts().SetCallParam(-5, values.data());
  EXPECT_EQ(game.Scripts().GetCallParamCount(), 0);
  game.Scripts().SetCallParam(3, nullptr);
  EXPECT_EQ(game.Scripts().GetCallParamCount(), 0);
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

// Records which leaf a one-line service passes to: the option reads, the
// screen switches and the system sounds are the parts' operations.
struct Routes {
  int fullScreen = 0;
  int skipOption = 0;
  std::vector<std::string> calls;
};

class RoutingVariables : public CVariablePart {
 public:
  RoutingVariables(GameParts& parts, Routes& routes) : CVariablePart(LinksOf<CVariablePart>(parts)), routes_(routes) {}
  int GetSystemSetting(int id) override {
    routes_.calls.push_back("GetSystemSetting " + std::to_string(id));
    return id == 4 ? routes_.fullScreen : id == 2 ? routes_.skipOption : 0;
  }

 private:
  Routes& routes_;
};

class RoutingScreen : public CScreenPart {
 public:
  RoutingScreen(GameParts& parts, Routes& routes) : CScreenPart(LinksOf<CScreenPart>(parts)), routes_(routes) {}
  void ToFullScreenMode(int quiet) override {
    routes_.calls.push_back("ToFullScreenMode " + std::to_string(quiet));
  }
  void ToWindowMode(int quiet) override {
    routes_.calls.push_back("ToWindowMode " + std::to_string(quiet));
  }

 private:
  Routes& routes_;
};

class RoutingSound : public CSoundPart {
 public:
  RoutingSound(GameParts& parts, Routes& routes) : CSoundPart(LinksOf<CSoundPart>(parts)), routes_(routes) {}
  void PlaySystemSe(int n, int asVoice) override {
    routes_.calls.push_back("PlaySystemSe " + std::to_string(n) + " " + std::to_string(asVoice));
  }

 private:
  Routes& routes_;
};

class RoutingGame : public CGameCallBack {
 public:
  explicit RoutingGame(platform::Window* window) : CGameCallBack(window, nullptr, 800, 600, 32) {
    GameParts& p = Parts();
    p.vars = std::make_unique<RoutingVariables>(p, routes);
    p.screen = std::make_unique<RoutingScreen>(p, routes);
    p.sound = std::make_unique<RoutingSound>(p, routes);
  }
  ~RoutingGame() override { ReleaseAll(); }
  void OnScreenChangeBegin() override { routes.calls.push_back("OnScreenChangeBegin"); }
  void OnScreenChangeEnd() override { routes.calls.push_back("OnScreenChangeEnd"); }
  Routes routes;
};

TEST_F(GameTest, OneLineServicesPassToTheirLeaves) {
  RoutingGame game(window_);
  game.Screen().ToggleScreenMode(1);
  game.routes.fullScreen = 1;
  game.Screen().ToggleScreenMode(0);
  game.Sound().PlaySystemSeAlt(4);
  game.Sound().PlaySystemSeAlt(3);
  EXPECT_EQ(game.Vars().IsSystemSettingOn(), 0);
  game.routes.skipOption = 5;
  EXPECT_EQ(game.Vars().IsSystemSettingOn(), 1);
  game.Vars().GetFirstSystemSetting(9);
  game.CallScreenChangeBegin();
  game.CallScreenChangeEnd();
  EXPECT_EQ(game.routes.calls, (std::vector<std::string>{
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
  game.Saves().PutSaveData(savechunk::kGameStatus, chunk.data(), chunk.size());
  game.Saves().GetSaveData(savechunk::kGameStatus, chunk.data(), chunk.size());
  game.Saves().PutExtSaveData(chunk.data(), chunk.size(), 0);
  EXPECT_EQ(chunk, std::vector<uint8_t>(64, 0xAB));
  struct Case {
    const char* name;
    int value, expected;
  };
  for (const Case& c : std::vector<Case>{
           {"CallScriptLabel", game.Modes().CallScriptLabel(3), -1},
           {"CheckShortCut", game.Floating().CheckShortCut(10), -1},
           {"CheckFloatingButtons", game.Floating().CheckFloatingButtons(), -1},
           {"CheckSceneButton", game.Floating().CheckSceneButton(), -1},
           {"CheckSkipFilmButton", game.Floating().CheckSkipFilmButton(), 0},
           {"StartNewGame", game.Modes().StartNewGame(0, 0, -1, 0), -1},
           {"GetAutoSaveType", game.GetAutoSaveType(5), -1},
           {"QueryCommonBackSetup", game.QueryCommonBackSetup(), -1},
           {"QueryCommonUpDownSetup", game.QueryCommonUpDownSetup(), -1},
           {"GetExtSaveDataSize", game.Saves().GetExtSaveDataSize(0), 0},
           {"GetExtSaveDataCount", game.Saves().GetExtSaveDataCount(), 0},
           {"PrepareSystemMode", game.Modes().PrepareSystemMode(12, 10), 12},
           {"SpareCheck", game.SpareCheck(), 0},
           {"SpareCheckTrue", game.SpareCheckTrue(), 1},
           {"SpareCheckTrueB", game.SpareCheckTrueB(), 1},
           {"CheckReady", game.CheckReady(), 1},
           {"FrameOnMainThread", game.FrameOnMainThread(50), 0},
           {"GetCharaVoiceFlag", game.Sound().GetCharaVoiceFlag(3), 1},
           {"CheckVoiceOff", game.Sound().CheckVoiceOff("ab0001"), 0},
       }) {
    EXPECT_EQ(c.value, c.expected) << c.name;
  }
  EXPECT_EQ(game.GetStatusExtra(), nullptr);
  EXPECT_STREQ(game.Vars().GetFamilyName(), "");
  // The one box: the new game cannot start without the system script.
  ASSERT_EQ(host_->Boxes().size(), 1u);
  EXPECT_TRUE(host_->Boxes()[0].text.starts_with("spt\\sys.spt: the game cannot start"));
}

}  // namespace
}  // namespace game_test
