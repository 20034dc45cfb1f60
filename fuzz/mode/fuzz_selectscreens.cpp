// The place selection (both variants), the result screen and the heroine
// selection over random settings lists, random data lists ("mok\\heroin.xtx",
// "mok\\resultDesc.xtx"), random result rows and variables: each mode is
// entered, runs frames of random pointer moves, clicks and keys, and
// leaves through AtExit. Nothing may be read or written outside the tables,
// pictures, the pool or the screen.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/mode/mode_fuzz.h"
#include "fuzz/support/fuzz_support.h"
#include "game/game.h"
#include "game/modeflowpart.h"
#include "game/savepart.h"
#include "game/variablepart.h"
#include "modebase/commongeneral.h"
#include "platform/files.h"
#include "platform/types.h"
#include "savedata/inttablefile.h"
#include "savedata/systemfile.h"

namespace {

platform::HeadlessBackend* g_host = nullptr;
platform::Window* g_window = nullptr;

constexpr int kWidth = 800, kHeight = 600;
constexpr int kVars = 8;  // v0..v7

constexpr const char* kKeys[] = {
    // Place selection.
    "placeNumber", "selectedPlaceVarName", "placeAppearFlag", "selectFlag", "charaFlag",
    "charaOnlyFlag", "charaPrintUpper", "allCharaFlag", "fileNameAllChara", "fileNameCharaBase",
    "charaX", "charaY", "charaSizeX", "charaSizeY", "charaCustomFlag", "charaAnimePattern",
    "charaAnimeSpeed", "charaAnimeType", "onButtonVarName", "onButtonChangeToRestartBackScript",
    "backLogOk", "autoPicLoad", "autoPicCannotOk", "autoPicRestartBackScript", "autoPicLayerTag0",
    "autoPicLayerTag3", "areaX1", "areaY1", "charaX2", "placeAppearVarName1",
    "placeSelectOkVarName2", "placeCharaVarName1", "placeCharaVarName2", "place1PrintX",
    "place1SizeX", "place1SizeY", "place1Filename", "keyMoveEnable", "keyMoveCannotSelectOk",
    // Result screen.
    "resultsMax", "resultsNumberX", "resultsNumberY", "resultsSizeX", "resultsSizeY",
    "resultsNextX", "resultsPrintX", "filenameResultsTag", "dialogFlag", "filenameDialogTag",
    "dialogSizeX", "descprintType", "messageLength", "messageBlockMax", "messageFontSize",
    "scrollStartWait", "scrollSpeed", "voiceFlag", "voiceStartWait", "okSizeX", "okFilename",
    // Heroine selection.
    "heroinPrintMax", "heroinVarName1", "heroinVarName2", "heroinVarName5", "returnVarName",
    "nextButtonVarName", "okButtonFlag", "nextButtonFlag", "createBufferFlag", "minTurnNumber",
    "turnFrame", "deltaAngle", "percent1", "percent2", "circleX", "circleY", "filenamePlate",
    "upSizeX", "downSizeX", "nextSizeX"};
constexpr const char* kWords[] = {"v0", "v1", "v2", "v3", "v4", "pic", "ta", "t", "", "missing",
                                  "ta_x"};

using fuzzsupport::Reader;
using modefuzz::Value;

using FuzzGame = modefuzz::ModeGame;

using modefuzz::Write;
using modefuzz::WriteStrip;

constexpr struct {
  int number;
  const char* list;
} kModes[] = {{22, "SelectPlace"}, {35, "SelectPlace2"}, {33, "printResult"}, {31, "SelectHeroin"}};

// A data list of random tokens: words, numbers and raw bytes.
std::string RandomData(Reader& in) {
  std::string text;
  const int tokens = in.Byte() % 40;
  for (int i = 0; i < tokens; ++i) {
    switch (in.Byte() % 4) {
      case 0:
        text += kWords[in.Byte() % (sizeof kWords / sizeof kWords[0])];
        break;
      case 1:
        text += std::to_string(Value(in));
        break;
      default:
        for (int k = in.Byte() % 12; k > 0; --k) text += static_cast<char>(in.Byte() | 0x21);
        break;
    }
    text += in.Byte() & 1 ? "," : "\r\n";
  }
  return text;
}

void WriteGameFolder() {
  modefuzz::WriteVarNamesAndPictureFolder(kVars);
  platform::CreateDirectory("mok");
  platform::CreateDirectory("dwq\\ta");
  Write("init\\game.xtx",
        "selectplaceIsDefault,1\r\nselectplace2IsDefault,1\r\nprintresultIsDefault,1\r\n"
        "selectheroinIsDefault,1\r\nresultFlag,1\r\n");
  WriteStrip("pic", 64, 48);
  WriteStrip("pic1", 64, 48);
  WriteStrip("ta_x1", 32, 32);
  WriteStrip("missing", 3, 2);
}

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
  const auto& which = kModes[in.Byte() % 4];
  Write((std::string("init\\") + which.list + ".xtx").c_str(),
        modefuzz::RandomList(in, kKeys, kWords, 40));
  Write("mok\\heroin.xtx", RandomData(in));
  Write("mok\\resultDesc.xtx", RandomData(in));
  {
    CCommonSystemFile systemFile;
    FuzzGame game(g_window, &systemFile, kWidth, kHeight, 32);
    game.Init();
    game.CreateModes();
    CCommonGeneral* mode = game.Modes().GetMode(which.number);
    fuzzsupport::Check(mode != nullptr, "mode made");
    for (int v = 0; v < kVars; ++v) game.SetVar(v, Value(in));
    if (CIntTableFile* table = game.Saves().GetResultTable())
      for (int k = in.Byte() % 8; k > 0; --k) table->SetValue(Value(in), Value(in), Value(in));
    game.Vars().SetMusicRoomValue(Value(in));
    game.Modes().SetNextMode(which.number);
    game.Modes().ChangeMode();
    for (int frame = 0; frame < 24 && in.More(); ++frame) {
      modefuzz::InjectRandomInput(*g_host, in);
      modefuzz::Pump(game, g_window);
      game.Frame(in.Byte() % 120);
    }
    mode->AtExit();
  }
  g_host->ClearBoxes();
  return 0;
}
