// The flow-chart menu over a random chart file and a random "selectchart"
// list (keys of the mode with random values), random variables and seen
// bits, then its entry and frames of random input (moves, presses and
// releases of the three buttons, wheel steps) with random script functions
// of every type, arrivals, ends of the game and jumps between them, each
// frame drawn. Nothing may be read or written outside the arrays, pictures
// or screen.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/mode/mode_fuzz.h"
#include "fuzz/support/fuzz_support.h"
#include "game/game.h"
#include "game/inputpart.h"
#include "game/modeflowpart.h"
#include "input/inputstatus.h"
#include "mode/chartmenu.h"
#include "platform/files.h"
#include "savedata/chartfile.h"
#include "savedata/savefolder.h"
#include "savedata/systemfile.h"

namespace {

platform::HeadlessBackend* g_host = nullptr;
platform::Window* g_window = nullptr;

constexpr int kWidth = 320, kHeight = 240;
constexpr int kVars = 8;

constexpr const char* kKeys[] = {
    "chartListNumber", "chartBlockSize", "chartDescMax", "basicChartNumber", "slotVarName",
    "workVarName", "workVarName2", "chartOpenVar", "savePrintChartFlag", "slotAreaStartX",
    "slotAreaStartY", "slotAreaSizeX", "slotSizeX", "slotSizeY", "bottomSpace",
    "backPicNumber1", "backPicSizeY1", "backPicNumberCommon", "centerMulti", "scrollSpeedX1",
    "buttonMulti", "buttonMultiCount", "selectButtonMulti", "compPrintX", "compNextX",
    "compNextY", "compPercent", "lineColorCount", "lineColorR5", "miniMapSizeX", "miniMapSizeY",
    "miniMapSizeY1", "miniMapButtonSizeX", "miniMapButtonSizeY", "miniButtonTime",
    "miniMapWindowUpSize", "miniMapWindowDownSize", "miniWindowTime", "miniWindowPercent2",
    "eraseButtonBack", "descNextY", "tasseidoX", "chartFontSizeX", "grow1Button2PrintX",
    "allClickOk", "warningPrintFlag", "dontRightMove", "mainCaptureOk", "captureReverse",
    "autoJumpMiniWindow", "scrollSpeed", "autoNextOn", "editMode", "useSlotOnFunction",
    "useSlotOpenFunction", "newMarkPrintFlag", "newMarkVarName", "dialogOkSizeX",
    "dialogCancelPrintX", "grow1Button1SizeX", "grow2Button1SizeY", "miniMapBasePrintY",
    "lowerDescWindowPrintY", "selectSound", "overSound"};
constexpr const char* kWords[] = {"v1", "v2", "v3", "v4", "missing", ""};

using fuzzsupport::Reader;
using modefuzz::Value;
using modefuzz::Write;
using modefuzz::WriteStrip;

// "height, then nodes @n size x y and links, labels and texts".
std::string RandomChart(Reader& in) {
  std::string text = std::to_string(int64_t{Value(in)} * 100) + "\r\n";
  const int nodes = in.Byte() % 24;
  for (int i = 0; i < nodes; ++i) {
    text += "@" + std::to_string(in.Byte() & 1 ? in.Byte() % 40 : Value(in)) + " " +
            std::to_string(Value(in)) + " " + std::to_string(int64_t{Value(in)} * 10) + " " +
            std::to_string(int64_t{Value(in)} * 40);
    const int extra = in.Byte() % 5;
    for (int k = 0; k < extra; ++k) {
      switch (in.Byte() % 4) {
        case 0: text += " $v" + std::to_string(in.Byte() % kVars); break;
        case 1: text += " !hidden"; break;
        case 2: text += " text"; break;
        default: text += " " + std::to_string(in.Byte() & 1 ? in.Byte() % 40 : Value(in)); break;
      }
    }
    text += "\r\n";
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_host = &fuzzsupport::EnterGameFolder("init");
  modefuzz::WriteVarNamesAndPictureFolder(kVars);
  Write("init\\game.xtx", "selectchartIsDefault,1\r\n");
  platform::CreateDirectory("chart");
  WriteStrip("ta_chart_button1_1", 60, 30);
  WriteStrip("ta_chart_button1_2", 60, 30);
  WriteStrip("ta_chart_button0", 16, 8);
  WriteStrip("chart_back1_1", kWidth, kHeight);
  WriteStrip("ta_chart_center1", kWidth, kHeight);
  WriteStrip("ta_compmark", 4, 4);
  WriteStrip("ta_chart_minimap01", 12, 3);
  WriteStrip("ta_chart_minimap02", 40, 60);
  WriteStrip("ta_chart_minimap03", 30, 40);
  WriteStrip("ta_chart_meswin1", 200, 60);
  WriteStrip("ta_chart_buttoncur", 20, 10);
  g_window = fuzzsupport::MakeWindow(kWidth, kHeight);
  SetSaveFolder(nullptr, nullptr, 0);
  CreateSaveFolder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!g_window) return 0;
  Reader in(data, size);
  Write("chart\\chart1.xtx", RandomChart(in));
  Write("init\\selectchart.xtx", modefuzz::RandomList(in, kKeys, kWords, 24));
  {
    CCommonSystemFile systemFile;
    CGame game(g_window, &systemFile, kWidth, kHeight, 32);
    game.Init();
    game.CreateModes();
    auto* mode = dynamic_cast<CCommonChartMenu*>(game.Modes().GetMode(CCommonChartMenu::kModeNumber));
    fuzzsupport::Check(mode != nullptr, "mode 34 made");
    for (int v = 0; v < kVars; ++v) game.SetVar(v, in.Byte() & 1 ? in.Byte() % 50 : in.Int());
    for (int k = in.Byte() % 16; k > 0; --k)
      mode->Slots().SetSeen(in.Byte() % 60, in.Byte());
    mode->UpdateCompletion();
    mode->Init();
    mode->SetHoveredNode(in.Byte() % 50);
    mode->SetDescNode(in.Byte() % 50 - 2);
    mode->SetScrollY(Value(in) % 100000 * 50);
    CMouseStatus* mouse = game.Input().GetMouseStatus();
    for (int frame = 0; frame < 48 && in.More(); ++frame) {
      switch (in.Byte() % 8) {
        case 0: {
          const int x = in.Byte() % 2 ? Value(in) : in.Int();
          mouse->SetPos(x, in.Byte() % 2 ? Value(in) : in.Int());
          break;
        }
        case 1: mouse->SetPos(in.Byte() * 2 - 100, in.Byte() - 8); break;
        case 2: mouse->SetButton(in.Byte() % 3, in.Byte() & 1); break;
        case 3: mouse->SetWheel(in.Signed()); break;
        case 4: {
          int args[2] = {in.Byte() % 2 ? in.Byte() % 50 : in.Int(), in.Byte() % 2 ? in.Byte() % 3 : in.Int()};
          mode->Function(in.Byte() % 8 - 1, in.Byte() % 4, args);
          break;
        }
        case 5:
          game.SetVar(in.Byte() % kVars, in.Byte() & 1 ? in.Byte() % 50 : in.Int());
          switch (in.Byte() % 4) {
            case 0: mode->SetCallArgs(0, nullptr); break;
            case 1: mode->ExitGame(); break;
            case 2: mode->AtExit(); break;
            default: mode->Init(); break;
          }
          break;
        case 6: mode->NewGame(); mode->ResetGame(); mode->Init(); break;
        default: break;
      }
      mode->Calcu();
      mode->Print();
      if (in.Byte() & 1) mouse->Calcu();
      mouse->SetWheel(0);
    }
    mode->AtExit();
    fuzzsupport::Check(mode->GetTotalPercent() >= 0 && mode->GetTotalPercent() <= 100,
                       "a percentage");
  }
  CChartFile::SetChartDescMax(CChartFile::kDefaultDescMax);
  g_host->ClearBoxes();
  return 0;
}
