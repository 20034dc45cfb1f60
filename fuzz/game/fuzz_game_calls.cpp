// Drives the script's calls into a fresh game object with the input read as
// a list of operations and arguments: registrations, system calls and
// functions (the built-ins included), weekdays, option ids, flags, names,
// dirty rectangles, wait counts and layer masks. Every answer must stay in
// its range and no table may be read or written outside.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/support/fuzz_support.h"
#include "game/framepart.h"
#include "game/game.h"
#include "game/gamelists.h"
#include "game/messagewindowpart.h"
#include "game/screenpart.h"
#include "game/scriptpart.h"
#include "game/variablepart.h"
#include "message/textstate.h"
#include "platform/files.h"
#include "platform/headless/headless.h"
#include "platform/types.h"
#include "savedata/systemfile.h"

namespace {

platform::HeadlessBackend* g_host = nullptr;
platform::Window* g_window = nullptr;

constexpr int kWidth = 320, kHeight = 240;
constexpr const char* kNames[] = {"place", "chart", "selectplace", "stopf5", "layer",
                                  "setresult", "getresult", "notice", "zukanon", ""};

using fuzzsupport::Reader;

void Write(const char* path, const std::string& text) {
  platform::WriteWholeFile(path, text.data(), text.size());
}

void WriteGameFolder() {
  Write("spt\\command.xtx", "place,0\r\nchart,1\r\nselectplace,2\r\n");
  Write("spt\\function.xtx",
        "stopf5,0\r\nsavesystemfile,0\r\nlayer,0\r\nnotice,0\r\nsetresult,0\r\ngetresult,0\r\n"
        "zukanon,0\r\n");
  std::string vars;
  for (int i = 0; i < 120; ++i) vars += "v" + std::to_string(i) + "\r\n";
  vars += "year\r\ndate\r\nweek\r\nholiday\r\ngot\r\nexpmode1\r\nexpcheck5\r\nlight\r\n";
  for (char& c : vars) c = static_cast<char>(~c);
  Write("spt\\var.fxf", vars);
  Write("init\\game.xtx",
        "resultFlag,1\r\ngetResultVarName,got\r\nnoticeFlag,1\r\nautoResultNotice,2\r\n"
        "layerOffVar4,light\r\nselectplaceIsDefault,1\r\nexpModeCheckByVarNumber,1\r\n"
        "expModeCheckByVarMode1,config\r\nexpModeCheckByVarName1,light\r\n");
}

void Run(CGame& game, Reader& in) {
  int values[4];
  while (in.More()) {
    const int op = in.Byte() % 14;
    switch (op) {
      case 0: game.Scripts().RegistSystemCall(in.Int(), kNames[in.Byte() % 10]); break;
      case 1: game.Scripts().RegistSystemFunction(in.Int(), kNames[in.Byte() % 10], in.Int()); break;
      case 2:
      case 3: {
        const int code = in.Int();
        const int count = in.Byte() % 5;
        for (int& v : values) v = in.Int();
        if (op == 2) {
          game.SystemCall(code, count, values);
        } else {
          game.SystemFunction(code, count, values);
        }
        break;
      }
      case 4: {
        game.SetVar(120, in.Int());
        const int day = game.Vars().GetWeekDay(in.Int());
        fuzzsupport::Check(day >= 0 && day <= 6, "weekday");
        break;
      }
      case 5: game.Vars().GetSystemSetting(in.Int()); break;
      case 6: {
        const int n = in.Int();
        const int enabled = game.Vars().CheckEnableVar(n);
        fuzzsupport::Check(n < 0 || n > 255 || enabled == game.Vars().CheckEnableVar(n), "enable");
        game.Vars().CheckSystemFlag(n);
        game.Vars().SetModeFlag(n, in.Int());
        game.Vars().GetModeFlag(n);
        break;
      }
      case 7: {
        const int message = in.Int(), script = in.Int();
        game.MessageWindow().SetMessageReadFlag(message, script);
        game.MessageWindow().CheckMessageReadFlag(message, script);
        break;
      }
      case 8: {
        const std::string family = in.Text(), given = in.Text();
        game.Vars().SetNames(family.c_str(), in.Byte() & 1 ? given.c_str() : nullptr);
        fuzzsupport::Check(std::strlen(GetTextState().familyName) <= 15, "family name");
        fuzzsupport::Check(std::strlen(GetTextState().givenName) <= 15, "given name");
        fuzzsupport::Check(std::strlen(game.Vars().GetFamilyName()) <= 15, "stored family name");
        break;
      }
      case 9: {
        platform::Rect r;
        r.left = in.Int();
        r.top = in.Int();
        r.right = in.Int();
        r.bottom = in.Int();
        game.Screen().AddUpdateRect(r);
        break;
      }
      case 10: fuzzsupport::Check(game.Frames().CalcuWaitCount(in.Int()) >= -1, "wait count"); break;
      case 11:
        game.Screen().SetLayerDisableMask(in.Int());
        game.Screen().SwitchEffectLayer(in.Int(), in.Byte());
        break;
      case 12:
        game.Lists().GetMovieListName(in.Int());
        game.Scripts().CallScriptLabel(in.Int());
        game.Vars().GetDefaultName(in.Int());
        break;
      default: game.GetSystemVar(in.Int() % 1200); break;
    }
  }
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
  {
    CCommonSystemFile systemFile;
    CGame game(g_window, &systemFile, kWidth, kHeight, 32);
    game.Init();
    game.CreateModes();
    Reader in(data, size);
    Run(game, in);
  }
  ResetTextState();
  g_host->ClearBoxes();
  return 0;
}
