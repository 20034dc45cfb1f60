// The mini-game mode over a random "miniGame" list (keys of its games,
// areas, unlocks and buttons with random values) and a stand-in game, then
// random check modes, area checks, start checks and visits under random
// mouse input. Every started game number lies inside the holder.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "fuzz/mode/mode_fuzz.h"
#include "fuzz/support/fuzz_support.h"
#include "game/game.h"
#include "game/inputpart.h"
#include "game/modeflowpart.h"
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

// The mode flow whose started game number the target may set: a set
// number stands until a mini-game start writes its own.
class FuzzModes final : public CModeFlowPart {
 public:
  using CModeFlowPart::CModeFlowPart;
  int CheckMiniGameStart(int value) override {
    const int started = CModeFlowPart::CheckMiniGameStart(value);
    if (started) numberSet_ = false;
    return started;
  }
  int GetMiniGameResult() const override { return numberSet_ ? number_ : CModeFlowPart::GetMiniGameResult(); }
  void SetNumber(int n) {
    number_ = n;
    numberSet_ = true;
  }

 private:
  int number_ = 0;
  bool numberSet_ = false;
};

class FuzzGame : public CGame {
 public:
  FuzzGame(platform::Window* window, CCommonSystemFile* systemFile, int width, int height, int bpp)
      : CGame(window, systemFile, width, height, bpp) {
    auto modes = std::make_unique<FuzzModes>(LinksOf<CModeFlowPart>(Parts()));
    modes_ = modes.get();
    Parts().modes = std::move(modes);
  }
  // Puts the mode in the table at its number (the table owns it).
  CCommonGeneral* Install(std::unique_ptr<CCommonGeneral> mode) {
    CCommonGeneral* installed = mode.get();
    Modes().PutMode(installed->GetModeNumber(), std::move(mode));
    return installed;
  }
  void SetNumber(int n) { modes_->SetNumber(n); }

 private:
  FuzzModes* modes_ = nullptr;
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
    auto* mode = static_cast<CCommonMiniGame*>(
        game.Install(std::make_unique<CCommonMiniGame>(game.Roles(), minigame_test::StandInTypes())));
    CAllMiniGame* holder = mode->GetHolder();
    fuzzsupport::Check(holder->GetCount() >= 0 && holder->GetCount() <= CMiniGameHost::kMaxGames, "games held");
    fuzzsupport::Check(mode->GetAreaCount() >= 0 && mode->GetAreaCount() <= CMiniGameHost::kMaxGames, "areas");
    for (int v = 0; v < kVars; ++v) game.SetVar(v, in.Byte() & 1 ? in.Int() : in.Byte() % 3);
    CMouseStatus* mouse = game.Input().GetMouseStatus();
    while (in.More()) {
      if (mouse) {
        mouse->SetPos(in.Byte() % 2 ? Value(in) : in.Byte() * 3, in.Byte() * 2);
        mouse->SetButton(0, in.Byte() & 1);
      }
      const int what = in.Byte() % 5;
      const int value = in.Byte() % 3 ? (in.Byte() % 2 ? 4 : 15) : Value(in);
      if (what == 0) {
        game.Modes().SetMiniGameAreaMode(value);
      } else if (what == 1) {
        const int area = mode->CheckArea(value);
        fuzzsupport::Check(area >= -1 && area < mode->GetAreaCount(), "area inside the table");
      } else if (what == 2) {
        if (game.Modes().CheckMiniGameStart(value)) {
          const int n = game.Modes().GetMiniGameResult();
          fuzzsupport::Check(n >= 0 && n < holder->GetCapacity(), "started game inside the holder");
        }
      } else if (what == 3) {
        game.SetNumber(in.Byte() % 2 ? game.Modes().GetMiniGameResult() : Value(in));
        mode->SetParameter(4);
        mode->Init();
      } else {
        minigame_test::Control().clear = in.Byte() & 1;
        minigame_test::Control().sounds = {in.Byte() % 7 - 1};
        mode->Calcu();
        mode->Print();
        game.Modes().PrintMiniGameButtons();
      }
      if (mouse) mouse->SetButton(0, 0);
    }
  }
  g_host->ClearBoxes();
  return 0;
}
