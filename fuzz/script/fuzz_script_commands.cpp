// Runs the input as the control script of a real game object on the
// headless host: every command goes through the game's own handlers (text
// and choices, pictures, sounds, unlocks, sub-script calls into the same
// file), released and fast-forwarded a bounded number of times, and the
// same file as a back script. Nothing may be read or written outside what
// the game holds, and every run must come back.
#include <cstdint>
#include <string>

#include "fuzz/support/fuzz_support.h"
#include "fuzz_common.h"
#include "game/game.h"
#include "game/messagewindowpart.h"
#include "game/scriptpart.h"
#include "message/textstate.h"
#include "platform/files.h"
#include "savedata/systemfile.h"

namespace {

platform::HeadlessBackend* g_host = nullptr;
platform::Window* g_window = nullptr;
constexpr int kWidth = 160, kHeight = 120;

void Write(const char* path, const std::string& text) {
  platform::WriteWholeFile(path, text.data(), text.size());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_host = &fuzzsupport::EnterGameFolder("spt");
  // The sub-script names the input may call: its own file and a missing one.
  Write("spt\\project.xtx", "sys\r\ninput\r\nmissing\r\n");
  Write("spt\\selist.xtx", "bell x door x\r\n");
  Write("spt\\charaname.xtx", "none x ab Aki\r\n");
  g_window = fuzzsupport::MakeWindow(kWidth, kHeight);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!g_window) return 0;
  if (!fuzz_script::WriteScript("sys", data, size) || !fuzz_script::WriteScript("input", data, size))
    return 0;
  {
    CCommonSystemFile systemFile;
    CGame game(g_window, &systemFile, kWidth, kHeight, 32);
    game.Init();
    game.CreateModes();
    game.Scripts().SetScriptRecordLimit(500);
    for (int i = 0; i < 12; ++i) {
      if (i == 4) game.Scripts().StartFastForward(0);
      if (i == 8) game.Scripts().StartFastForward(1);
      game.MessageWindow().SetSkipFilmFlag(1);
      game.Scripts().CallControlScript(-1);
    }
    if (game.Scripts().LoadBackScript("input"))
      for (int i = 0; i < 4; ++i) game.Scripts().CalcuBackScript(i & 1);
    game.Scripts().StartSceneScript();
  }
  ResetTextState();
  g_host->ClearBoxes();
  g_host->ClearDebugLines();
  return 0;
}
