// The choice mode over a random "SelectMessage" list, random counts, texts,
// selectors, time limits and saved words, then entered as the current mode
// and run for frames with random mouse, key and wheel input. Nothing may be
// read or written outside the 64 slots, the special tables or the pictures;
// the slots always end in NULs within 254 bytes and the remaining time is
// never negative.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/mode/mode_fuzz.h"
#include "fuzz/support/fuzz_support.h"
#include "game/game.h"
#include "game/modeflowpart.h"
#include "mode/selectmessage.h"
#include "platform/files.h"
#include "platform/types.h"
#include "savedata/systemfile.h"

namespace {

platform::HeadlessBackend* g_host = nullptr;
platform::Window* g_window = nullptr;

constexpr int kWidth = 640, kHeight = 480;
constexpr int kVars = 8;

constexpr const char* kKeys[] = {
    "optionOk", "backLogOk", "windowPrintFlag", "windowFileName", "windowPrintX", "windowSizeY",
    "timeLimitWindowPrintFlag", "timeLimitWindowFileName", "firstAppearType", "firstAppearTime",
    "clickingTime", "animePatternNumber", "animeFrame", "animeReverse", "animePrintType",
    "backPrintMode", "backFileName", "messagePrintX", "messagePrintY", "messageNextY",
    "cursorSizeX", "cursorSizeY", "cursorDeltaX", "fontSize", "cursorFileName", "messagePrintGyo",
    "backlogMessage", "selectSound", "timeLimitOptionOk", "useScrollFlag", "timerPrintType",
    "timerPicSizeX", "timerPicSizeY", "fileNameTimer", "timerPicNumber", "timerBarHoukou",
    "timerTimePrintFlag", "timerTimeKeta", "fileNameTimerTime", "timerTimeFontSizeX",
    "timerTimeKeta2", "useSpecialNumber", "filenameSpecialWindow", "specialWindowSizeX",
    "specialWindowSizeY", "centeringFlag", "centerAreaSizeX", "specialWindow2printX1",
    "specialWindow2printY2", "specialWindow3printY3", "specialWindowVarName1",
    "specialWindowVarName2", "specialAnimePatternNumber", "specialAnimeFrame",
    "filenameSpecialCursor", "specialFontSize", "specialCursorSizeX", "keyMoveEnable",
    "keyMoveLeftRightEnable"};
constexpr const char* kWords[] = {"v1", "v2", "v3", "pic", "strip", "missing", ""};
constexpr int kKeyCodes[] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_RETURN, VK_SPACE, 'A'};

using fuzzsupport::Reader;

using FuzzGame = modefuzz::ModeGame;

using modefuzz::Value;
using modefuzz::Write;
using modefuzz::WriteStrip;

void WriteGameFolder() {
  modefuzz::WriteVarNamesAndPictureFolder(kVars);
  WriteStrip("ta_win_select", 64, 48);
  WriteStrip("ta_select01", 40, 64);
  WriteStrip("pic", 50, 30);
  WriteStrip("strip", 16, 96);
}

std::string RandomList(Reader& in) { return modefuzz::RandomList(in, kKeys, kWords, 40); }

std::string RandomText(Reader& in) {
  std::string text;
  const int n = in.Byte() & 1 ? in.Byte() : in.Byte() * 2;
  for (int i = 0; i < n && in.More(); ++i) text += static_cast<char>(in.Byte() | 1);
  return text;
}

void Fill(Reader& in, CCommonSelectMessage* mode, FuzzGame& game) {
  const int calls = in.Byte() % 24;
  for (int i = 0; i < calls && in.More(); ++i) {
    switch (in.Byte() % 8) {
      case 0: mode->AddBackLogHeader(); break;
      case 1: mode->SetSelectRange(Value(in), Value(in)); break;
      case 2: mode->SetSelectExtra(Value(in)); break;
      case 3: mode->SetSelectText(Value(in), RandomText(in).c_str()); break;
      case 4: mode->SetTimeLimit(Value(in), Value(in)); break;
      case 5: mode->SetSelectState(Value(in)); break;
      case 6: {
        const std::string bytes = RandomText(in);
        mode->RestoreSelectTexts(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        break;
      }
      default: game.SetVar(in.Byte() % kVars, Value(in)); break;
    }
  }
}

void RandomInput(Reader& in) {
  const int events = in.Byte() % 4;
  for (int i = 0; i < events; ++i) {
    switch (in.Byte() % 4) {
      case 0: g_host->InjectMouseMove(in.Byte() * 3 - 40, in.Byte() * 2 - 20); break;
      case 1: {
        const int button = in.Byte() % 3;
        g_host->InjectButton(button, true);
        g_host->InjectButton(button, false);
        break;
      }
      case 2: {
        const int vk = kKeyCodes[in.Byte() % std::size(kKeyCodes)];
        g_host->InjectKey(vk, true);
        g_host->InjectKey(vk, false);
        break;
      }
      default: g_host->InjectWheel(in.Byte() & 1 ? 120 : -120); break;
    }
  }
}


void CheckSlots(const CCommonSelectMessage* mode) {
  fuzzsupport::Check(mode->GetSelectStart() >= 0 && mode->GetSelectEnd() <= 64 &&
                         mode->GetSelectStart() <= mode->GetSelectEnd(),
                     "the range fits the slots");
  for (int i = 0; i < CCommonSelectMessage::kTextSlots; ++i) {
    const char* slot = mode->GetSelectText(i);
    fuzzsupport::Check(slot && slot[254] == 0 && slot[255] == 0, "slots end in two NULs");
  }
  fuzzsupport::Check(mode->GetSelectState() >= 0, "no negative time");
  fuzzsupport::Check(mode->GetTimeLimit() >= 0, "no negative limit");
  fuzzsupport::Check(mode->GetHover() >= -1 && mode->GetHover() < 64,
                     "hover is a row");
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
  Write("init\\SelectMessage.xtx", RandomList(in));
  {
    CCommonSystemFile systemFile;
    FuzzGame game(g_window, &systemFile, kWidth, kHeight, 32);
    game.Init();
    game.CreateModes();
    auto* mode = static_cast<CCommonSelectMessage*>(game.Modes().GetSelectMessage());
    fuzzsupport::Check(mode != nullptr, "mode 9 made");
    Fill(in, mode, game);
    CheckSlots(mode);
    game.Modes().SetNextMode(CCommonSelectMessage::kModeNumber);
    game.Modes().ChangeMode();
    for (int frame = 0; frame < 40 && in.More(); ++frame) {
      RandomInput(in);
      modefuzz::Pump(game, g_window);
      if (in.Byte() % 8 == 0) Fill(in, mode, game);
      game.Frame(in.Byte() % 120);
      CheckSlots(mode);
    }
  }
  g_host->ClearBoxes();
  return 0;
}
