// The mini-game mode over a random "miniGame" list (keys of its games,
// areas, unlocks and buttons with random values) and a stand-in game, then
// random check modes, area checks, start checks and visits under random
// mouse input. Every started game number lies inside the holder.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/mode/mode_fuzz.h"
#include "fuzz/support/fuzz_support.h"
#include "game/game.h"
#include "input/inputstatus.h"
#include "mode/minigamemode.h"
#include "savedata/systemfile.h"
#include "tests/minigame/standin_game.h"

namespace {

platform::HeadlessBackend* g_host = nullptr;
platform::Window* g_window = nullptr;

constexpr int kWidth = 640, kHeight = 480;
constexpr int kVars = 8;  // v0..v7

constexpr const char* kKeys[] = {
    "addMiniGame", "miniGame1", "miniGame2", "miniGame3", "miniGame33", "miniGameCheckNumber",
    "areaButtonMode", "sabunOkFlag", "allOkFlag", "miniGameCheckMode1", "miniGameCheckMode2",
    "miniGameCheckX1", "miniGameCheckY1", "miniGameCheckSizeX1", "miniGameCheckSizeY2", "checkVarName1",
    "checkVarName2", "setVarName1", "setVarType1", "setVarName2", "setVarType2", "miniGameDescNumber1",
    "miniGameDescNumber2", "miniGameDescFileName1_1", "setCGNumber1", "setCGPlayer1", "setCGParam1",
    "setCGPlayer1_2", "setSceneNumber2", "exitPrintX1", "exitFilename", "exitSizeX", "exitClickTime",
    "minigameButton1Filename", "minigameButton1SizeX", "trumpPicFileName", "trumpPicSizeX",
    "mahjongPicSizeY", "congraFileName", "noCGFileName", "miniGameclickSound", "miniGameclearSound"};
constexpr const char* kWords[] = {"v1", "v2", "v7", "title", "omake", "nothing", "strip", "missing", ""};

using fuzzsupport::Reader;
using modefuzz::Value;

class FuzzGame : public CGame {
 public:
  using CGame::CGame;
  void Install(CCommonGeneral* mode) {
    delete modeTable_[mode->GetModeNumber()];
    modeTable_[mode->GetModeNumber()] = mode;
  }
  void SetNumber(int n) { miniGameNumber_ = n; }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_host = &fuzzsupport::EnterGameFolder("init");
  modefuzz::WriteVarNamesAndPictureFolder(kVars);
  modefuzz::WriteStrip("strip", 48, 24);
  g_window = fuzzsupport::MakeWindow(kWidth, kHeight);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!g_window) return 0;
  Reader in(data, size);
  modefuzz::Write("init\\miniGame.xtx", modefuzz::RandomList(in, kKeys, kWords, 41));
  minigame_test::ResetControl();
  {
    CCommonSystemFile systemFile;
    FuzzGame game(g_window, &systemFile, kWidth, kHeight, 32);
    game.Init();
    auto* mode = new CCommonMiniGame(&game, minigame_test::StandInTypes());
    game.Install(mode);
    CAllMiniGame* holder = mode->GetHolder();
    fuzzsupport::Check(holder->GetCount() >= 0 && holder->GetCount() <= CMiniGameHost::kMaxGames, "games held");
    fuzzsupport::Check(mode->GetAreaCount() >= 0 && mode->GetAreaCount() <= CMiniGameHost::kMaxGames, "areas");
    for (int v = 0; v < kVars; ++v) game.SetVar(v, in.Byte() & 1 ? in.Int() : in.Byte() % 3);
    CMouseStatus* mouse = game.GetMouseStatus();
    while (in.More()) {
      if (mouse) {
        mouse->SetPos(in.Byte() % 2 ? Value(in) : in.Byte() * 3, in.Byte() * 2);
        mouse->SetButton(0, in.Byte() & 1);
      }
      const int what = in.Byte() % 5;
      const int value = in.Byte() % 3 ? (in.Byte() % 2 ? 4 : 15) : Value(in);
      if (what == 0) {
        game.CGameCallBack::SetMiniGameAreaMode(value);
      } else if (what == 1) {
        const int area = mode->CheckArea(value);
        fuzzsupport::Check(area >= -1 && area < mode->GetAreaCount(), "area inside the table");
      } else if (what == 2) {
        if (game.CGameCallBack::CheckMiniGameStart(value)) {
          const int n = game.GetMiniGameResult();
          fuzzsupport::Check(n >= 0 && n < holder->GetCapacity(), "started game inside the holder");
        }
      } else if (what == 3) {
        game.SetNumber(in.Byte() % 2 ? game.GetMiniGameResult() : Value(in));
        mode->SetParameter(4);
        mode->Init();
      } else {
        minigame_test::Control().clear = in.Byte() & 1;
        minigame_test::Control().sounds = {in.Byte() % 7 - 1};
        mode->Calcu();
        mode->Print();
        game.CGameCallBack::PrintMiniGameButtons();
      }
      if (mouse) mouse->SetButton(0, 0);
    }
  }
  g_host->ClearBoxes();
  return 0;
}
