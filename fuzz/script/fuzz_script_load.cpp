// Loads the input as a script file into buffers of varied capacity and
// follows every table lookup with indexes taken from the input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fuzz/support/fuzz_support.h"
#include "fuzz_common.h"
#include "script/script.h"

namespace {

class SilentGame : public CScriptCallBack {
 public:
  void SystemCommand(int, int, const void*, int) override {}
  void CommandNotice(int, int, const char*) override {}
  void SystemCall(int, int, const int*) override {}
  int SystemFunction(int, int, const int*) override { return 0; }
  int GetVar(int) override { return 1; }
  int GetSystemVar(int) override { return 1; }
  void SetVar(int, int) override {}
};

// Everything read goes here, so the reads stay.
size_t g_sink = 0;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz_script::EnterFolder();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!fuzz_script::WriteScript("input", data, size)) return 0;
  SilentGame game;
  // Small buffers make the loader read the file a second time.
  const int capacity = size > 0 ? data[size - 1] % 40 : -1;
  CScript script(&game, capacity);
  if (!script.Load("spt\\input.spt")) {
    fuzzsupport::Check(!script.IsLoaded() && script.GetWordCount() == 0, "failed load left words");
    return 0;
  }
  fuzzsupport::Check(script.GetWordCount() == static_cast<int>(size / 4), "word count");
  fuzzsupport::Check(script.GetWordCount() < script.GetCapacity(), "capacity");
  fuzzsupport::Check(script.Load("SPT\\INPUT.SPT") == 1 && script.GetPC() == 0, "reload");

  // Lookups with indexes from the input (words 1..16 of it).
  for (size_t k = 1; k <= 16; ++k) {
    const int v = static_cast<int>(fuzz_script::InputWord(data, size, k * 4));
    g_sink += std::strlen(script.GetString(v));
    g_sink += std::strlen(script.GetMessageText(v));
    g_sink += static_cast<size_t>(script.GetIntConstant(v));
    int used = 0;
    g_sink += static_cast<size_t>(script.CalcuExpression(v % (script.GetWordCount() + 8), &used));
    script.GotoLabel(v);
    g_sink += static_cast<size_t>(script.SearchCase(v % (script.GetWordCount() + 8), v & 0xFFFF));
    script.SearchMessage(v);
    script.SearchChoice(v);
    script.SetReturnStack(CScript::kStopEntrySlot, v);
    script.SetReturnStack(CScript::kSystemCallEntrySlot, v >> 3);
    script.JumpToEntryA();
    script.JumpToEntryB();
    script.SetCallDepth(static_cast<int>(k));
    for (int i = 0; i < static_cast<int>(k); ++i) script.SetReturnStack(i, static_cast<int>(static_cast<uint32_t>(v) + static_cast<uint32_t>(i)));
    script.RestoreCallStack();
  }
  return 0;
}
