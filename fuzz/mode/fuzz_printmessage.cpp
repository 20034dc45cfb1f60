// The print-message mode over a random "PrintMessage" list (sizes, limits
// and steps of any value), then random text commands (codes, texts of any
// bytes with CRs, LFs, join marks and speaker names, cut-in characters),
// saved state (cut-in marks, line counts, codes, lines) and frames. Nothing
// may be touched outside the 64 lines, their slots or the 128 marks, and
// the store's invariants hold after every step.
#include <cstddef>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/mode/mode_fuzz.h"
#include "fuzz/support/fuzz_support.h"
#include "game/framepart.h"
#include "game/game.h"
#include "game/messagewindowpart.h"
#include "game/variablepart.h"
#include "mode/printmessage.h"
#include "platform/files.h"
#include "savedata/systemfile.h"

namespace {

platform::HeadlessBackend* g_host = nullptr;
platform::Window* g_window = nullptr;
// One game for the whole run (making it is most of an input's time); each
// input makes its own mode over it and sets the words the mode reads.
CCommonSystemFile* g_systemFile = nullptr;
CGame* g_game = nullptr;

constexpr int kWidth = 640, kHeight = 480;

constexpr const char* kKeys[] = {
    "fontSize", "printX", "printY", "nextX", "nextY", "space", "LPrintX", "LPrintY", "LNextX",
    "LNextY", "windowMessageNumber", "fullMessageNumber", "fontSizeTypeNumber",
    "fontSizeByFontSizeType1", "nextYByFontSizeType2", "nameSpaceByFontSizeType1", "nameFlag",
    "nameCenterFlag", "nameLengthMax", "nameFontSize", "autoNameWindowFlag", "namePicFlag",
    "namePicSizeX", "namePicSizeY", "customMessageSpeed", "messageSpeed1", "messageSpeed3",
    "voiceLastWait", "noVoiceLastWait2", "wheelDownIsClick", "backlogSound", "LPrintBGMode",
    "lprintBGMultiR", "lprintBGDeltaG", "lprintBGNegaClipSizeX", "lprintBGScreenEffectGrey",
    "cutinNamePrintFlag", "cutinWindowBufferNumber", "drawWindowWithMessageFlag"};

// Values beside the small numbers: limits of the store and the renderer.
constexpr const char* kNumbers[] = {"0", "-1", "64", "65", "72", "254", "10000", "2147483647"};

// Pieces random texts are made of: speakers, the join mark, breaks.
constexpr const char* kPieces[] = {"Alice", "Bob", "one", "#\x91\xB1", "\r\n", "\r", "\n",
                                   "\x82\xA0", "#", "\x81", ""};

using fuzzsupport::Reader;
using modefuzz::Value;
using modefuzz::Write;

std::string RandomText(Reader& in) {
  std::string text;
  const int parts = in.Byte() % 24;
  for (int i = 0; i < parts; ++i) {
    const uint8_t kind = in.Byte();
    if (kind & 0x80) {
      // A run of raw bytes, up to 300 long.
      const int n = in.Byte() + (kind & 0x40 ? 45 : 0);
      for (int k = 0; k < n; ++k) text += static_cast<char>(in.Byte() | 1);
    } else {
      text += kPieces[kind % std::size(kPieces)];
    }
  }
  return text;
}

void CheckStore(const CCommonPrintMessage& mode) {
  fuzzsupport::Check(mode.GetLineCount() >= 0 && mode.GetLineCount() <= 64, "line count");
  for (int i = 0; i < CCommonPrintMessage::kTextSlots; ++i) {
    const char* line = mode.GetMessageLine(i);
    fuzzsupport::Check(line != nullptr && strnlen(line, 256) <= 254, "line ends within its slot");
  }
  fuzzsupport::Check(mode.GetMessageLine(64) == nullptr && mode.GetMessageLine(-1) == nullptr,
                     "no line outside the store");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_host = &fuzzsupport::EnterGameFolder("init");
  platform::CreateDirectory("spt");
  Write("init\\game.xtx", "useCutinFlag,1\r\n");
  Write("spt\\namecol.xtx", "Alice,255,0,0\r\nBob,0,0,255\r\n");
  Write("spt\\cutinChara.xtx",
        "h,h,h,h,h,h,h,h,h,h,h,h,h,h,h,h\r\n"
        "one,t,10,10,0,20,1,4,4,255,0,0,50,2,0,0\r\n"
        "*any,t,300,10,5,20,-2,4,4,0,0,255,100,-3,0,0\r\n");
  g_window = fuzzsupport::MakeWindow(kWidth, kHeight);
  g_systemFile = new CCommonSystemFile();
  g_game = new CGame(g_window, g_systemFile, kWidth, kHeight, 32);
  g_game->Init();
  g_game->CreateModes();
  // The game goes before the platform's backend: its music stream's thread
  // must not outlive the backend at exit.
  std::atexit([] {
    delete g_game;
    delete g_systemFile;
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!g_game) return 0;
  Reader in(data, size);
  Write("init\\PrintMessage.xtx", modefuzz::RandomList(in, kKeys, kNumbers, 24));
  CGame& game = *g_game;
  game.Vars().SetSystemSetting(105, 2);
  game.Vars().SetSystemSetting(6, 0);
  game.MessageWindow().SetShiftSkipState(0);
  game.MessageWindow().SetMessageWindowMode(0);
  {
    auto own = std::make_unique<CCommonPrintMessage>(game.Roles());
    CCommonPrintMessage* mode = own.get();
    mode->Init();
    while (in.More()) {
      switch (in.Byte() % 10) {
        case 0:
        case 1:
        case 2: {
          const int code = in.Byte() & 1 ? 0x22220001 + in.Byte() % 5 : in.Int();
          const int id = in.Int();
          const std::string text = RandomText(in);
          mode->SetMessage(code, id, text.c_str(), in.Byte() % 4);
          break;
        }
        case 3: {
          int words[CCommonPrintMessage::kCutinWords];
          for (int& w : words) w = in.Byte() & 1 ? in.Byte() % 70 - 3 : in.Int();
          mode->LoadData(words);
          break;
        }
        case 4: mode->SetLineCount(Value(in)); break;
        case 5: mode->SetMessageCode(in.Byte() & 1 ? 0x22220000 + in.Byte() % 7 : in.Int()); break;
        case 6: {
          std::string line(static_cast<size_t>(in.Byte()) + 1, '\0');
          for (char& c : line) c = static_cast<char>(in.Byte());
          mode->SetMessageLine(Value(in), line.data(), line.size());
          break;
        }
        case 7:
          if (in.Byte() & 1) {
            mode->SetWaitTime(Value(in));
          } else {
            const int kind = Value(in);
            mode->SetScreenWait(kind, Value(in));
          }
          break;
        case 8:
          mode->SetCutinNumber(Value(in));
          game.Vars().SetSystemSetting(105, Value(in));
          game.Vars().SetSystemSetting(6, in.Byte() & 1);
          game.MessageWindow().SetShiftSkipState(in.Byte() & 1);
          game.MessageWindow().SetMessageWindowMode(Value(in));
          break;
        default: {
          const int frames = in.Byte() % 4 + 1;
          if (in.Byte() & 1) mode->ResetGame();
          for (int f = 0; f < frames; ++f) {
            // The frame's elapsed time, which typing and auto mode count.
            game.Frames().CalcuFrameSkip(in.Byte() * 4);
            mode->Calcu();
            mode->Print();
          }
          break;
        }
      }
      CheckStore(*mode);
    }
  }
  g_host->ClearBoxes();
  return 0;
}
