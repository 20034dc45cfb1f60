// The game object's initialisation: the settings list "game", the data
// lists, the names of the system variables and functions, and the start
// message.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "effect/alleffect.h"
#include "effect/effectchannel.h"
#include "effect/effectmanager.h"
#include "game/floatingpart.h"
#include "game/framepart.h"
#include "game/game.h"
#include "game/gamelists.h"
#include "game/modeflowpart.h"
#include "game/savepart.h"
#include "game/screenpart.h"
#include "game/scriptpart.h"
#include "game/soundpart.h"
#include "game/textpart.h"
#include "game/variablepart.h"
#include "graphics/picture.h"
#include "message/rendersettings.h"
#include "game_test.h"
#include "graphics/screenbuffer.h"
#include "savedata/systemfile.h"
#include "script/gamevars.h"
#include "script/script.h"
#include "sound/movieplayer.h"
#include "platform/backend.h"
#include "widget/textinputbox.h"
#include "setup/namelist.h"
#include "support/text.h"

namespace game_test {
namespace {

// Opens what the tests read back.
class InitGame : public CGame {
 public:
  InitGame(platform::Window* window, int width = 800, int height = 600,
           CCommonSystemFile* systemFile = nullptr)
      : CGame(window, systemFile, width, height, 32) {}
  CScript* Script(int i) const { return Scripts().GetScript(i); }
  CGameVariables* GameVars() const { return Vars().GetVariables(); }
  CMoviePlayer* MoviePlayer() const { return Sound().GetMoviePlayer(); }
};

std::string Inverted(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = static_cast<char>(~c);
  return out;
}

std::vector<std::string> Captions(const std::vector<platform::BoxRecord>& boxes) {
  std::vector<std::string> out;
  for (const auto& b : boxes) out.push_back(b.caption + ": " + b.text);
  return out;
}

TEST_F(GameTest, AnEmptyGameFolderStartsOnTheDefaultsAfterItsBoxes) {
  InitGame game(window_);
  game.Init();
  game.CreateModes();
  EXPECT_EQ(game.GetFrameTime(), 50);
  EXPECT_EQ(game.Frames().GetDefaultFrameTime(), 50);
  const std::vector<std::string> boxes = Captions(host_->Boxes());
  auto shown = [&](const std::string& line) {
    return std::find(boxes.begin(), boxes.end(), line) != boxes.end();
  };
  for (const char* line : {"file not found: init\\game.xtx", "file not found: spt\\var.fxf",
                           "file not found: spt\\project.xtx"})
    EXPECT_TRUE(shown(line)) << line;
  // The names the game looks for: one box for the first, a line on stderr
  // for each.
  EXPECT_EQ(std::count_if(boxes.begin(), boxes.end(),
                          [](const std::string& b) { return b.starts_with("var not found"); }),
            1);
  const std::vector<std::string> lines = host_->ErrorLines();
  for (const char* line : {"var not found: spt\\var.fxf: systemyear",
                           "var not found: spt\\var.fxf: expcheck5",
                           "var not found: spt\\var.fxf: year"})
    EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
  // A missing system script goes to the script's error ring, not to a box.
  ASSERT_NE(game.Script(0), nullptr);
  EXPECT_FALSE(game.Script(0)->IsLoaded());
  EXPECT_GT(game.Script(0)->GetErrorCount(), 0);

  // Every owned object the game can make here exists.
  const std::vector<std::pair<const char*, const void*>> owned = {
      {"screen picture", game.Screen().GetScreenPicture()},
      {"work picture", game.Screen().GetWorkPicture()},
      {"buffer picture 0", game.Screen().GetBufferPicture(0)},
      {"buffer picture 1", game.Screen().GetBufferPicture(1)},
      {"pixel buffer", game.Screen().GetPixelBuffer()},
      {"sound device", game.Sound().GetSoundDevice()},
      {"music player", game.Sound().GetBgmPlayer()},
      {"scene data", game.Saves().GetSceneDataFile()},
      {"scene list", game.Saves().GetSceneList()},
      {"picture list", game.Saves().GetCGList()},
      {"picture voices", game.Saves().GetCGVoiceList()},
      {"scene voices", game.Saves().GetSceneVoiceList()},
      {"keyed flag table", game.Modes().GetKeyFlagTable()},
      {"ext data names", game.Saves().GetExtDataNameTable()},
      {"character names", game.Lists().GetCharaNameList()},
      {"project list", game.Lists().GetProjectList()},
  };
  for (const auto& [name, p] : owned) EXPECT_NE(p, nullptr) << name;

  // The start message: a white frame with its text, until the first frame.
  platform::HeadlessWindow* shown_window = host_->GetWindow();
  ASSERT_EQ(shown_window->Overlay().size(), 1u);
  EXPECT_EQ(shown_window->Overlay()[0].text, "Initializing..");
  EXPECT_EQ(shown_window->PixelAt(400, 300), 0xFFFFFFu);
  game.Frame(50);
  EXPECT_TRUE(shown_window->Overlay().empty());
  // The first mode's default fill.
  EXPECT_EQ(shown_window->PixelAt(400, 300), 0xFFFFFFu);
}

TEST_F(GameTest, SettingsOfTheGameList) {
  struct Case {
    const char* name;
    Pairs list;
    std::function<int(InitGame&)> read;
    int expected;
    Pairs miniGame = {{"miniGameCheckNumber", "7"}};
  };
  const auto maxSkipFrame = [](InitGame& g) { return g.Frames().GetSettings().maxSkipFrame; };
  const auto dataFileDontCreate = [](InitGame& g) {
    return g.Saves().GetSettings().dataFileDontCreate;
  };
  auto floating = [](int CFloatingPart::Settings::*field) {
    return [field](InitGame& g) { return g.Floating().GetSettings().*field; };
  };
  auto capacity = [](int i) {
    return [i](InitGame& g) { return g.Script(i) ? g.Script(i)->GetCapacity() : -1; };
  };
  const std::vector<Case> cases = {
      {"frameTime 33", {{"frameTime", "33"}}, [](InitGame& g) { return g.GetFrameTime(); }, 33},
      {"an impossible frameTime keeps 50",
       {{"frameTime", "0"}},
       [](InitGame& g) { return g.Frames().GetDefaultFrameTime(); },
       50},
      {"maxSkipFrame 0 is taken as 1", {{"maxSkipFrame", "0"}}, maxSkipFrame, 1},
      {"quickSaveKey S gives 83",
       {{"quickSaveEnable", "1"}, {"quickSaveKey", "S"}},
       floating(&CFloatingPart::Settings::quickSaveKey),
       83},
      {"a numeric key reads as it is",
       {{"quickLoadEnable", "1"}, {"quickLoadKey", "120"}},
       floating(&CFloatingPart::Settings::quickLoadKey),
       120},
      {"quick keys need quick save or load",
       {{"quickSaveKey", "S"}},
       floating(&CFloatingPart::Settings::quickSaveKey),
       0},
      {"quickLoadEnable follows quickSaveEnable",
       {{"quickSaveEnable", "1"}},
       floating(&CFloatingPart::Settings::quickLoadEnable),
       1},
      {"quickLoadErrorSound follows quickLoadSound",
       {{"quickSaveSound", "4"}, {"quickLoadSound", "6"}},
       floating(&CFloatingPart::Settings::quickLoadErrorSound),
       6},
      {"save and load off: no save-slot layout",
       {{"saveClassDisable", "1"}, {"loadClassDisable", "1"}},
       dataFileDontCreate,
       1},
      {"only save off", {{"saveClassDisable", "1"}}, dataFileDontCreate, 0},
      {"dataFileDontCreate said",
       {{"saveClassDisable", "1"}, {"loadClassDisable", "1"}, {"dataFileDontCreate", "0"}},
       dataFileDontCreate,
       0},
      {"script capacity", {{"execScriptSize", "100"}}, capacity(1), 100},
      {"a negative capacity keeps the default", {{"subScriptSize", "-5"}}, capacity(2), 2048},
      {"a huge capacity keeps the default", {{"controlScriptSize", "2000000000"}}, capacity(0), 64},
      {"no scripts", {{"noScriptFlag", "1"}}, capacity(0), -1},
      {"short-cut sounds follow the system menu's",
       {{"shortCutSystemMenuSound", "5"}, {"shortCutLoadSound", "3"}},
       floating(&CFloatingPart::Settings::shortCutConfigSound),
       5},
      {"the mini-game list", {}, [](InitGame& g) { return g.Modes().GetMiniGameCheckNumber(); }, 7},
      {"no mini-game list without the mini-game mode",
       {{"minigameClassDisable", "1"}},
       [](InitGame& g) { return g.Modes().GetMiniGameCheckNumber(); },
       0},
      // As the mini-game mode holds it: at most its 32 games.
      {"the mini-game list's games are bounded as the mode's",
       {},
       [](InitGame& g) { return g.Modes().GetMiniGameCheckNumber(); },
       32,
       {{"addMiniGame", "50"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dir_ = std::make_unique<testsupport::TempDir>();
    WriteList("game", c.list);
    WriteList("miniGame", c.miniGame);
    InitGame game(window_);
    game.Init();
    EXPECT_EQ(c.read(game), c.expected);
  }
}

TEST_F(GameTest, VistaCheckPresentsEveryFrameWhole) {
  for (int on : {1, 0}) {
    SCOPED_TRACE(on);
    dir_ = std::make_unique<testsupport::TempDir>();
    // Without the start-up chain, whose modes redraw the screen whole.
    WriteList("game", {{"vistaCheck", std::to_string(on)}, {"startMessageFlag", "0"},
                       {"nothingClassDisable", "1"}});
    InitGame game(window_);
    game.Init();
    game.CreateModes();
    EXPECT_TRUE(host_->GetWindow()->Overlay().empty());
    for (int i = 0; i < 4; ++i) game.Frame(50);
    CScreenBuffer::StartFrame();
    EXPECT_EQ(CScreenBuffer::CheckFullRedraw(), on);
  }
}

TEST_F(GameTest, ThumbnailSize) {
  struct Case {
    int width, height;
    Pairs list;
    int w, h;
  };
  const std::vector<Case> cases = {
      {800, 600, {}, 132, 100},
      {1024, 768, {}, 168, 128},
      {1024, 768, {{"miniCGSizeX", "200"}, {"miniCGSizeY", "150"}}, 200, 150},
      {800, 600, {{"miniCGReduce", "4"}}, 200, 150},
      {800, 600, {{"miniCGReduce", "0"}}, 0, 0},
      // Larger than the screen cannot be taken from it.
      {800, 600, {{"miniCGSizeX", "5000"}, {"miniCGSizeY", "-3"}}, 132, 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    dir_ = std::make_unique<testsupport::TempDir>();
    WriteList("game", c.list);
    InitGame game(window_, c.width, c.height);
    game.Init();
    int w = -1, h = -1;
    game.Saves().GetMiniCGSize(&w, &h);
    EXPECT_EQ(w, c.w);
    EXPECT_EQ(h, c.h);
  }
}

TEST_F(GameTest, NamesOfVariablesAndFunctionsAreResolved) {
  // Variable n is token n of the inverted list.
  std::vector<std::string> names(1000);
  for (int i = 0; i < 1000; ++i) names[static_cast<size_t>(i)] = testsupport::Numbered("v", i);
  const std::vector<std::pair<int, std::string>> named = {
      {900, "systemyear"}, {901, "mousex"}, {902, "date"}, {903, "year"},
      {904, "expmode1"},   {905, "rnd"},    {906, "light"}, {907, "doors"}};
  for (const auto& [n, name] : named) names[static_cast<size_t>(n)] = name;
  std::string text;
  for (const std::string& n : names) text += n + "\r\n";
  dir_->Write("spt/var.fxf", Inverted(text));
  dir_->Write("spt/function.xtx", "setscene,1\r\nADJUSTDATE,2\r\nlayer,3\r\n");
  WriteList("game", {{"layerOffVar3", "light"},
                     {"optionOffVarFlag", "1"},
                     {"optionOffVarName", "light"},
                     {"renameLayerVar", "doors"},
                     {"renameTagNumber", "2"},
                     {"renameTag1", std::string(70, 'x')},
                     {"renameTag2", "door"}});
  CCommonSystemFile systemFile;
  systemFile.SetBlockWord(CCommonSystemFile::kSystemVar, CCommonSystemFile::kHeaderSize + 4 * 5, 77);
  InitGame game(window_, 800, 600, &systemFile);
  game.Init();
  host_->ClearBoxes();

  EXPECT_EQ(game.Vars().GetVarNumber("year"), 903);
  EXPECT_EQ(game.Vars().GetDateVar(), 902);
  EXPECT_EQ(game.GameVars()->GetSystemVarNumber(SystemVar::kSystemYear), 900);
  EXPECT_EQ(game.GameVars()->GetSystemVarNumber(SystemVar::kMouseX), 901);
  EXPECT_EQ(game.GameVars()->GetSystemVarNumber(SystemVar::kExpMode1), 904);
  EXPECT_EQ(game.GameVars()->GetSystemVarNumber(SystemVar::kRnd), 905);
  EXPECT_EQ(game.GameVars()->GetLayerOfVar(906), 3);
  EXPECT_EQ(game.Vars().GetRenameLayerVar(), 907);
  EXPECT_EQ(game.Vars().GetOptionOffVar(), 906);
  const std::vector<std::vector<char>>& renameTags = game.Vars().GetRenameTags();
  ASSERT_EQ(renameTags.size(), 2u);
  EXPECT_EQ(std::string(renameTags[0].data()), std::string(62, 'x'));
  EXPECT_STREQ(renameTags[1].data(), "door");
  // The option-off variable is 1 while the option is off.
  game.Vars().SetOptionOffVar(0);
  EXPECT_EQ(game.GetVar(906), 1);
  game.Vars().SetOptionOffVar(1);
  EXPECT_EQ(game.GetVar(906), 0);
  // Variables 200..299 come back from the system file.
  EXPECT_EQ(game.GetVar(205), 77);
  EXPECT_EQ(game.Scripts().GetAdjustDateFunction(), 1);
  EXPECT_EQ(game.Scripts().GetFunctionRows().layer, 2);
  // The script function in the "layer" row switches an effect layer off.
  const int layerArgs[2] = {3, 0};
  EXPECT_EQ(game.SystemFunction(2, 2, layerArgs), 0);
  EXPECT_EQ(game.Screen().GetLayerDisableMask(), 1 << 3);
  game.Screen().SetLayerDisableMask(0);

  // "adjustdate" writes the date back and answers its value; any other
  // function answers its number.
  game.SetVar(902, 1225);
  const int args[1] = {0};
  EXPECT_EQ(game.OnSystemFunction(1, 1, args), 1225);
  EXPECT_EQ(game.OnSystemFunction(2, 1, args), 2);

  // The list lacks names the game looked for at start, which showed the
  // table's one box: later misses go to stderr.
  EXPECT_EQ(game.Vars().GetVarNumber("nothing"), -1);
  EXPECT_TRUE(host_->Boxes().empty());
  EXPECT_EQ(host_->ErrorLines().back(), "var not found: spt\\var.fxf: nothing");
}

// A variable list that is there but damaged (here stored without its byte
// inversion) holds none of the names the game looks for: one box names the
// file and the first name, stderr every name.
TEST_F(GameTest, ADamagedVariableListShowsOneBox) {
  dir_->Write("spt/var.fxf", "systemyear\r\nmousex\r\ndate\r\nyear\r\nrnd\r\n");
  InitGame game(window_);
  game.Init();
  std::vector<platform::BoxRecord> boxes;
  for (const platform::BoxRecord& b : host_->Boxes())
    if (b.caption == "var not found") boxes.push_back(b);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "spt\\var.fxf: systemyear");
  const std::vector<std::string> lines = host_->ErrorLines();
  EXPECT_GT(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& l) {
                            return l.starts_with("var not found: spt\\var.fxf: ");
                          }),
            3);
}

// Each movie of the movie list is on unless its "<name>IsDefault" is 0; a
// game without the list has no movies and no box about it.
TEST_F(GameTest, MovieEntriesAreSwitchedByTheirIsDefaultKeys) {
  {
    InitGame game(window_);
    game.Init();
    EXPECT_EQ(game.Lists().IsMovieListEntryEnabled(1), 0);
    for (const auto& box : host_->Boxes()) EXPECT_EQ(box.text.find("movielist"), std::string::npos);
  }
  host_->ClearBoxes();
  dir_->Write("spt/movielist.xtx", "op.wmv,1\r\ned.wmv,2\r\nextra.wmv,3\r\nlast.wmv\r\n");
  WriteList("game", {{"ed.wmvIsDefault", "0"}, {"extra.wmvIsDefault", "1"}});
  InitGame game(window_);
  game.Init();
  host_->ClearBoxes();
  EXPECT_STREQ(game.Lists().GetMovieListName(2), "ed.wmv");
  const int expected[] = {0, 1, 0, 1, 1, 0};  // entries 0..5; 4 has no value
  for (int n = 0; n <= 5; ++n) EXPECT_EQ(game.Lists().IsMovieListEntryEnabled(n), expected[n]) << n;
}

TEST_F(GameTest, TheWindowPositionIsPulledIntoTheDesktop) {
  platform::DesktopInfo desk;
  desk.virtualX = -100;
  desk.virtualY = 0;
  desk.virtualWidth = 1920;
  desk.virtualHeight = 1080;
  host_->SetDesktop(desk);
  struct Case {
    int x, y;
    Pairs list;
    int ex, ey;
  };
  const std::vector<Case> cases = {
      {10, 20, {}, 10, 20},
      {1500, 900, {}, 1020, 480},   // past the right and bottom edges
      {-500, -40, {}, -100, 0},     // before the left and top edges
      {1020, 480, {}, 1020, 480},   // touching the edges
      {1500, 900, {{"windowAdjustFlag", "0"}}, 1500, 900},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
    dir_ = std::make_unique<testsupport::TempDir>();
    WriteList("game", c.list);
    CCommonSystemFile systemFile;
    systemFile.SetPosition(c.x, c.y);
    InitGame game(window_, 800, 600, &systemFile);
    game.Init();
    int pos[2] = {};
    systemFile.GetPosition(pos);
    EXPECT_EQ(pos[0], c.ex);
    EXPECT_EQ(pos[1], c.ey);
  }
}

TEST_F(GameTest, TheMoviePlayerIsMadeWithTheMovieCursorOptionTheWindowFollows) {
  for (int option : {0, 1}) {
    SCOPED_TRACE(option);
    dir_ = std::make_unique<testsupport::TempDir>();
    WriteList("game", {});
    CCommonSystemFile systemFile;
    systemFile.SetSystemData(CCommonSystemFile::kMovieCursorOffset, option);
    InitGame game(window_, 800, 600, &systemFile);
    game.Init();
    ASSERT_NE(game.MoviePlayer(), nullptr);
    EXPECT_EQ(game.MoviePlayer()->GetUseVmr9(), option);
  }
}

TEST_F(GameTest, ExtensionSaveDataTables) {
  WriteList("game", {{"autoExtDataMode1", "title"},
                     {"autoExtDataMode2", "12"},
                     {"autoExtDataMode3", "nosuchmode"},
                     {"autoExtDataMode5", "config"},  // after the first missing key
                     {"autoExtDataSub1", "FACE"},
                     {"autoExtDataSub2", "none"},
                     {"saveHeaderName", "MYDATA"},
                     {"extSaveDataNumber", "3"},
                     {"extSaveDataSize0", "64"},
                     {"extSaveDataSize1", "-1"},
                     {"extSaveDataSize2", "2000000000"}});
  InitGame game(window_);
  game.Init();
  host_->ClearBoxes();
  CSavePart& saves = game.Saves();
  // The rows: modes 4 and 12, one sub-entry ("FACE"; "none" names no
  // entry), then the title's three sizes.
  ASSERT_EQ(saves.GetExtSaveDataCount(), 6);
  saves.SetAutoSaveDataByMode(4, 10);
  saves.SetAutoSaveDataByMode(12, 20);
  saves.SetAutoSaveDataBySubMode(0, 30);
  EXPECT_TRUE(host_->Boxes().empty());
  // No row for a mode past the first missing key: a box tells so.
  saves.SetAutoSaveDataByMode(5, 40);
  EXPECT_EQ(host_->Boxes().size(), 1u);
  std::vector<int> sizes;
  for (int i = 0; i < saves.GetExtSaveDataCount(); ++i)
    sizes.push_back(saves.GetExtSaveDataSize(i));
  // Sizes a chunk cannot have are 0.
  EXPECT_EQ(sizes, (std::vector<int>{10, 20, 30, 64, 0, 0}));
  EXPECT_STREQ(saves.GetSaveHeaderName(), "MYDATA");
}

// The effect holder, the glyph renderer and the surface converter are made
// by Init; the effect channels' pictures take their sizes from the list; a
// restart after a load resets a channel record that cannot be used.
TEST_F(GameTest, InitMakesTheEffectsTheGlyphRendererAndTheChannelPictures) {
  WriteList("game", {{"pictureBufferInitSizeFlag", "1"},
                     {"pictureBufferSizeX2", "64"},
                     {"pictureBufferSizeY2", "32"},
                     {"pictureBufferSizeX3", "64"},
                     {"fontWeight", "400"},
                     {"startMessageFlag", "0"}});
  InitGame game(window_);
  game.Init();
  CAllEffect* effects = game.Screen().GetEffect();
  ASSERT_NE(effects, nullptr);
  ASSERT_NE(effects->GetManager(), nullptr);
  EXPECT_NE(game.Text().GetFont(), nullptr);
  EXPECT_NE(game.Screen().GetSurfaceConverter(), nullptr);
  EXPECT_EQ(GetRenderSettings().fontWeight, 400);
  CEffectManager* manager = effects->GetManager();
  EXPECT_EQ(manager->GetPicture(1)->GetWidth(), 64);
  EXPECT_EQ(manager->GetPicture(1)->GetHeight(), 32);
  // Only one of the two sizes: the picture keeps its own.
  EXPECT_NE(manager->GetPicture(2)->GetWidth(), 64);

  EffectChannel* record = effects->GetChannel(3);
  ASSERT_NE(record, nullptr);
  record->Active() = 1;
  record->EffectNumber() = 999;
  game.Modes().RestartFromLoad();
  EXPECT_EQ(game.Screen().GetEffect()->GetChannel(3)->Active(), 0);
}

TEST_F(GameTest, TheTextInputBoxTakesTheWindowsCharacters) {
  struct Case {
    const char* open;
    const char* close;
    bool onAfterCloseIme;
  } cases[] = {{"1", "1", false}, {"1", "0", true}, {"0", "1", false}};
  for (const Case& c : cases) {
    WriteList("game", {{"imeAutoOpenFlag", c.open}, {"imeAutoCloseFlag", c.close}});
    InitGame game(window_);
    game.Init();
    CTextInputBox* box = game.Text().GetTextInputBox();
    ASSERT_NE(box, nullptr);
    game.WindowProc(window_, WM_CHAR, 'a', 0);  // not started: ignored
    box->Start();
    EXPECT_TRUE(window_->IsTextInputOn());
    for (uintptr_t b : {uintptr_t{'a'}, uintptr_t{0x182}, uintptr_t{0xA0}})
      game.WindowProc(window_, WM_CHAR, b, 0);  // the low byte counts
    EXPECT_STREQ(box->GetText(), "\x82\x81\x82\xA0");
    // The close flag governs closing the input method; the end of the entry
    // ends text input.
    box->CloseIme();
    EXPECT_EQ(window_->IsTextInputOn(), c.onAfterCloseIme) << c.open << c.close;
    box->Stop();
    EXPECT_FALSE(window_->IsTextInputOn()) << c.open << c.close;
  }
}


TEST_F(GameTest, EveryKeyTheGameListHoldsIsAskedFor) {
  // A key that nothing asks for is named to the author as misspelt; every
  // key the start reads is asked even where this host gives it no effect.
  // ("renameTagNumber" is asked only when "renameLayerVar" names a variable.)
  const char* const keys[] = {
      "errorLogFlag", "startupLoadErrorPrintFlag", "debugMusicNumberPrintFlag", "dontCreateGUID",
      "dwqPackLevel", "notUseDirectDraw", "jpegMMX", "vistaCheck", "saveClassDisable",
      "loadClassDisable", "dataFileDontCreate", "companyName", "gameName", "facePrintMode",
      "saveHeaderName", "extSaveDataNumber", "seVoiceDontStopFlag", "skipToScriptVoiceStopFlag",
      "varControlLoadDWQErrorPrint", "shiftSkipMessageOnly", "autoMessageCheckKillShift",
      "cannotSkipCheckKillShift", "quickSaveEnable", "quickLoadEnable", "quickSavePrint",
      "quickLoadPrint", "quickLoadDelay", "quickLoadGetScreen", "quickSaveKey",
      "quickSaveCommentFlag", "quickLoadKey", "quickSaveSound", "quickLoadSound",
      "quickLoadErrorSound", "useCutinFlag", "directXVolumeFlag", "directXVolume", "frameTime",
      "startMessageFlag", "startMessage", "loadVoiceErrorPrintFlag", "loadSeErrorPrintFlag",
      "backScriptSetCGOkFlag", "modalCannotCloseFlag", "miniCGReduce", "miniCGSizeX", "miniCGSizeY",
      "f9KeyExitOffFlag", "escKeyExitOffFlag", "F4OK", "F5Ok", "optionStartMouseButton",
      "movieVolumeNotUse", "soundVoiceVolumeNotUse", "noWaitVSync", "adjustFullScreenLost",
      "backLogDisableTime", "backLogDisableCheckTime", "backLogDisableCheckFlag",
      "charaVoiceVolumeDelta", "maxSkipFrame", "skipAdjustFrame", "mustSetVoiceFlag",
      "mustSetMusicFlag", "mustSetCGFlag", "mustSetFilmFlag", "mustSetMessageFlag",
      "offLayerDontSetCG", "enableButtonVoiceCharaVolume", "useExtClass", "highVersion",
      "middleVersion", "lowVersion", "windowAdjustFlag", "noSceneListFlag", "noScriptFlag",
      "controlScriptSize", "execScriptSize", "subScriptSize", "subSubScriptSize", "varInitFlag",
      "windowOffMouseButton", "useSaijistu", "renameLayerVar", "noBGMFlag", "noSystemSeFlag",
      "maxSkipFrameBackScript", "specialNumberForSaveSetFlag", "specialNumberForSaveVarName",
      "optionOffVarFlag", "optionOffVarName", "floatingLayerFlashFlag", "expModeButtonIsMouse",
      "expModeButtonIsMessageCursor", "defaultMusicFadeInTime", "defaultMusicFadeOutTime",
      "soundChannel", "samplingRate", "samplingBit", "primaryFormatSetFlag", "sound3DFlag",
      "systemSoundLoadNumber", "defaultFont", "rubiFlag", "rubiPercent", "rubiDeltaY", "rubiSukima",
      "rubiColorR", "rubiColorG", "rubiColorB", "rubiColorFix", "codeByte", "fontWeight",
      "fontItalic", "fukuroMoji", "fukuroCustom", "userFontNumber", "gameMouseCreateFlag",
      "messageCursorCreateFlag", "optionButtonCreateFlag", "sceneButtonCreateFlag",
      "skipFilmButtonCreateFlag", "quickSaveButtonCreateFlag", "quickLoadButtonCreateFlag",
      "quickConfigButtonCreateFlag", "quickBacklogButtonCreateFlag", "noticeFlag",
      "loadNoticeNumber", "saveNoticeNumber", "sceneButtonMode", "resultFlag", "getResultVarName",
      "autoResultNotice", "noMessageWindowFlag", "allMusicSetFlag", "imeAutoOpenFlag",
      "imeAutoCloseFlag", "vistaDebug", "pictureBufferInitSizeFlag", "pictureBufferInitLoadFlag",
      "seiInitData", "seiClearFlag", "meiInitData", "meiClearFlag", "santenUseFlag", "dashUseFlag",
      "expModeCheckByVarNumber", "shortCutSystemMenuSound", "shortCutSaveSound",
      "shortCutLoadSound", "shortCutConfigSound",
  };
  Pairs list;
  for (const char* key : keys) list.push_back({key, "1"});
  WriteList("game", list);
  CNameList::ForgetSettingsKeys();
  host_->ClearDebugLines();
  {
    InitGame game(window_);
    game.Init();
    game.CreateModes();
  }
  CNameList::ReportUnaskedKeys();
  for (const std::string& line : host_->DebugLines())
    EXPECT_EQ(line.find("nothing asked"), std::string::npos) << line;
  CNameList::ForgetSettingsKeys();
}

}  // namespace
}  // namespace game_test
