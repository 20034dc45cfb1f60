// Loads the input as a script file and runs it with a game that answers
// everything and reads whatever each command hands it, a bounded number of
// records per input.
#include <cstdint>
#include <cstring>

#include "fuzz_common.h"
#include "script/gamevars.h"
#include "script/script.h"

namespace {

// Everything read goes here, so the reads stay.
size_t g_sink = 0;

class AnsweringGame : public CScriptCallBack {
 public:
  void SystemCommand(int code, int param, const void* data, int) override {
    const int32_t* words = static_cast<const int32_t*>(data);
    const char* text = static_cast<const char*>(data);
    const script::CommandInfo* command = script::FindCommand(code);
    if (!command) return;
    switch (command->shape) {
      case script::CommandShape::kWords1:
        g_sink += static_cast<size_t>(words[0]);
        break;
      case script::CommandShape::kWordsN:
        for (int i = 0; i < param; ++i) g_sink += static_cast<size_t>(words[i]);
        break;
      case script::CommandShape::kChoice:
        for (int i = 0; i <= param; ++i) g_sink += static_cast<size_t>(words[i]);
        break;
      case script::CommandShape::kString:
      case script::CommandShape::kString1:
      case script::CommandShape::kMessage1:
      case script::CommandShape::kPage:
      case script::CommandShape::kScriptCall:
        g_sink += std::strlen(text);
        break;
      case script::CommandShape::kScriptName:
        g_sink += std::strlen(text);
        // The game loads the level's script from inside the command.
        if (script) script->Load("spt\\input.spt");
        break;
      case script::CommandShape::kNone:
      case script::CommandShape::kValue:
        break;
    }
  }
  void CommandNotice(int, int, const char* text) override { g_sink += std::strlen(text); }
  void SystemCall(int, int count, const int* values) override {
    for (int i = 0; i < count; ++i) g_sink += static_cast<size_t>(values[i]);
  }
  int SystemFunction(int, int count, const int* values) override {
    for (int i = 0; i < count; ++i) g_sink += static_cast<size_t>(values[i]);
    return 0;
  }
  int GetVar(int n) override { return vars.GetVar(n); }
  int GetSystemVar(int n) override { return vars.GetSystemVar(n); }
  void SetVar(int n, int value) override { vars.SetVar(n, value); }

  CGameVariables vars;
  CScript* script = nullptr;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz_script::EnterFolder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!fuzz_script::WriteScript("input", data, size)) return 0;
  AnsweringGame game;
  for (int n = 0; n < 8; ++n) game.vars.SetLayerVar(100 + n, n);
  CScript script(&game, 256);
  game.script = &script;
  if (!script.Load("spt\\input.spt")) return 0;
  script.SetStepLimit(2000);
  for (int i = 0; i < 16; ++i) {
    const int result = script.Run();
    if (result == script::kResultEnd || result == script::kResultError) {
      // Carry on elsewhere, as the game does after a case search.
      const int at = script.SearchCase(-1, i);
      if (at <= 0) break;
      script.SetPC(at);
    }
  }
  return 0;
}
