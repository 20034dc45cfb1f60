// A tight script loop (arithmetic, a condition with both branches, a jump)
// run for a fixed number of records, and the same loop written in C++ for
// as many rounds as the script made. Both report records per second: the
// C++ loop is credited with the records the script needed for its rounds.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/files.h"
#include "platform/headless/headless.h"
#include "script/gamevars.h"
#include "script/script.h"
#include "tools/asm/assembler.h"

namespace {

constexpr int kRecords = 1000000;

const char* const kLoop = R"(var i 100
var s 101
var t 102
loop:
  s = s + i * 3 % 7
  if i % 2 == 0 { t += 1 } else { t -= s & 15 }
  i += 1
  goto loop
)";

class Game : public CScriptCallBack {
 public:
  void SystemCommand(int, int, const void*, int) override {}
  void CommandNotice(int, int, const char*) override {}
  void SystemCall(int, int, const int*) override {}
  int SystemFunction(int, int, const int*) override { return 0; }
  int GetVar(int n) override { return vars.GetVar(n); }
  int GetSystemVar(int n) override { return vars.GetSystemVar(n); }
  void SetVar(int n, int value) override { vars.SetVar(n, value); }
  CGameVariables vars;
};

// Rounds the script makes in kRecords records (measured once).
int g_rounds = 0;

bool WriteLoop() {
  static bool written = false;
  if (written) return true;
  platform::InstallHeadless().SetBoxEcho(false);
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "zor-bench-script";
  std::filesystem::create_directories(folder);
  platform::SetGameFolder(folder.string());
  const zasm::Assembly assembly = zasm::Assemble(kLoop);
  const std::string bytes = assembly.FileBytes();
  written = assembly.ok() && platform::WriteWholeFile("loop.spt", bytes.data(), bytes.size());
  return written;
}

void BM_ScriptLoop(benchmark::State& state) {
  if (!WriteLoop()) {
    state.SkipWithError("cannot write the script");
    return;
  }
  Game game;
  CScript script(&game);
  script.Load("loop.spt");
  script.SetStepLimit(kRecords);
  for (auto _ : state) {
    game.vars.SetVar(100, 0);
    script.SetPC(0);
    benchmark::DoNotOptimize(script.Run());
  }
  g_rounds = game.vars.GetVar(100);
  state.SetItemsProcessed(state.iterations() * kRecords);
  state.counters["rounds"] = g_rounds;
}
BENCHMARK(BM_ScriptLoop)->Unit(benchmark::kMillisecond);

void BM_CppLoop(benchmark::State& state) {
  const int rounds = g_rounds > 0 ? g_rounds : kRecords * 2 / 15;
  int vars[3] = {0, 0, 0};
  for (auto _ : state) {
    int& i = vars[0];
    int& s = vars[1];
    int& t = vars[2];
    for (i = 0; i < rounds;) {
      s = static_cast<int>(static_cast<uint32_t>(s) + static_cast<uint32_t>(i * 3 % 7));
      if (i % 2 == 0) {
        t += 1;
      } else {
        t -= s & 15;
      }
      i += 1;
      benchmark::DoNotOptimize(vars);
    }
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_CppLoop)->Unit(benchmark::kMillisecond);

}  // namespace
