// The card system over a random "cardSystem" list (at most 64 tokens: keys of
// the mode and its records with random values), random variables and random
// script calls of its functions, then its entry and one frame of drawing.
// Nothing may be read or written outside the tables, pictures or screen, and
// no variable but the three controls' may change.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/mode/mode_fuzz.h"
#include "fuzz/support/fuzz_support.h"
#include "game/game.h"
#include "game/modeflowpart.h"
#include "mode/carddata.h"
#include "mode/cardsystem.h"
#include "platform/files.h"
#include "savedata/systemfile.h"

namespace {

platform::HeadlessBackend* g_host = nullptr;
platform::Window* g_window = nullptr;

constexpr int kWidth = 640, kHeight = 480;
constexpr int kVars = 8;  // v0..v7

constexpr const char* kKeys[] = {
    "cardNumber", "cardLevelMax", "cardPlaceVar1", "appearControlFlag", "appearFunctionName",
    "appearVar", "enableControlFlag", "enableFunctionName", "enableVar", "onOkControlFlag",
    "onokFunctionName", "onOkVar", "powerMax", "powerMaxVar", "cardSizeX", "cardSizeY",
    "cardPrintX1", "cardPrintType1", "cardPrintType3", "cardPrintType7", "cardSeatTable1",
    "cardSeatTable4", "cardAddColorR", "cardTransPercent", "tagNameCard", "cardPowerPicByCard",
    "cardPowerPicByLevel", "cardPowerPicByStatus", "cardPowerPrintType2", "cardPowerSeatTable3",
    "cardPowerPrintX", "cardPowerSizeX", "cardPowerSizeY", "cardPowerNextX", "cardPowerNextY",
    "filenamecardPowerPic", "cardBarTypeNumber", "cardBarSizeX2", "okFilename"};
constexpr const char* kWords[] = {"v1", "v2", "v3", "v4", "ta_cardseat", "ta_cardPower",
                                  "appearcard", "enablecard", "onokcard", "missing", ""};

using fuzzsupport::Reader;

using modefuzz::Value;
using modefuzz::Write;
using modefuzz::WriteStrip;

void WriteGameFolder() {
  Write("spt\\function.xtx", "appearcard,0\r\nenablecard,0\r\nonokcard,0\r\n");
  modefuzz::WriteVarNamesAndPictureFolder(kVars);
  Write("init\\game.xtx", "cardsystemIsDefault,1\r\n");
  for (int n = 1; n <= 4; ++n) WriteStrip("ta_cardseat" + std::to_string(n), 60, 40);
  WriteStrip("ta_cardseat1_1", 30, 20);
  WriteStrip("ta_cardPower", 64, 32);
}

std::string RandomList(Reader& in) { return modefuzz::RandomList(in, kKeys, kWords, 33); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_host = &fuzzsupport::EnterGameFolder("init");
  WriteGameFolder();
  g_window = fuzzsupport::MakeWindow(kWidth, kHeight);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!g_window) return 0;
  Reader in(data, size);
  Write("init\\cardSystem.xtx", RandomList(in));
  ResetCardStyleTable();
  {
    CCommonSystemFile systemFile;
    CGame game(g_window, &systemFile, kWidth, kHeight, 32);
    game.Init();
    game.CreateModes();
    auto* mode = dynamic_cast<CCommonCardSystem*>(game.Modes().GetMode(CCommonCardSystem::kModeNumber));
    fuzzsupport::Check(mode != nullptr, "mode 45 made");
    fuzzsupport::Check(mode->GetCardNumber() >= 0 && mode->GetCardNumber() <= 32, "card count");
    std::vector<int> controlVars;
    for (int c = 0; c < CCommonCardSystem::kControls; ++c) controlVars.push_back(mode->GetControlVar(c));
    for (int v = 0; v < kVars; ++v) game.SetVar(v, in.Int());
    std::vector<int> before;
    for (int v = 0; v < kVars; ++v) before.push_back(game.GetVar(v));
    int args[4];
    while (in.More()) {
      const int code = in.Byte() % 4;
      const int count = in.Byte() % 5;
      for (int& a : args) a = in.Byte() & 1 ? in.Byte() % 40 - 4 : in.Int();
      if (in.Byte() & 1)
        game.SystemFunction(code, count, args);
      else
        mode->Function(Value(in), count, args);
    }
    for (int v = 0; v < kVars; ++v) {
      bool control = false;
      for (int c : controlVars) control = control || c == v;
      fuzzsupport::Check(control || game.GetVar(v) == before[static_cast<size_t>(v)],
                         "only the controls' variables change");
    }
    mode->Init();
    mode->Print();
  }
  g_host->ClearBoxes();
  return 0;
}
