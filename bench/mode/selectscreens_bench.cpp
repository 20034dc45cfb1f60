// The drawing step of the heroine circle mid-turn with 4 heroines (the
// default) and with 12, each an 800 x 600 masked layer drawn opaque at the
// front and blended behind; and of a map of 8 places whose characters
// cross-fade between their patterns. Beside them memcpy of the 800 x 600
// screen. A frame lasts 50 ms; the aim is under 5 % of it.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/support/game_folder.h"
#include "bench/support/headless_window.h"
#include "bench/support/masked_picture.h"
#include "bench/support/memcpy_reference.h"
#include "game/game.h"
#include "game/modeflowpart.h"
#include "game/variablepart.h"
#include "graphics/screenbuffer.h"
#include "mode/selectheroin.h"
#include "mode/selectplace.h"

namespace {

constexpr int kW = 800, kH = 600;
constexpr size_t kBytes = size_t{kW} * kH * 4;

BENCHMARK(benchsupport::Memcpy)->Arg(static_cast<int64_t>(kBytes));

// The game over the folder's lists, its modes made.
struct Game {
  Game() : game(benchsupport::HeadlessWindow(kW, kH), nullptr, kW, kH, 32) {
    game.Init();
    game.CreateModes();
  }
  // Mode n as M; null (the benchmark skipped) when it was not made.
  template <typename M>
  M* Mode(int n, benchmark::State& state) {
    auto* mode = dynamic_cast<M*>(game.Modes().GetMode(n));
    if (!mode) state.SkipWithError("the mode was not made");
    return mode;
  }
  CGame game;
};

// The measured loop: the mode's drawing step, frame after frame.
void MeasurePrint(benchmark::State& state, CCommonGeneral* mode) {
  for (auto _ : state) {
    CScreenBuffer::ClearDirtyRects();
    mode->Print();
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
  state.counters["frame_percent"] = benchmark::Counter(
      static_cast<double>(state.iterations()) / 2000.0,
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The settings list "init\\<name>.xtx" of the folder.
void WriteList(const std::string& folder, const std::string& name, const std::string& text) {
  std::ofstream(folder + "/init/" + name + ".xtx") << text;
}

void HeroinCircleFrame(benchmark::State& state) {
  const int heroines = static_cast<int>(state.range(0));
  benchsupport::GameFolder folder(state);
  if (!folder.Ok()) return;
  std::filesystem::create_directories(folder.Path() + "/init");
  std::filesystem::create_directories(folder.Path() + "/mok");
  std::filesystem::create_directories(folder.Path() + "/dwq/ta");
  std::filesystem::create_directories(folder.Path() + "/dwq/sys");
  std::filesystem::create_directories(folder.Path() + "/spt");
  WriteList(folder.Path(), "game", "vistaCheck,0\r\nselectheroinIsDefault,1\r\n");
  std::string keys = std::string("heroinPrintMax,").append(std::to_string(heroines)).append("\r\n");
  std::string names, vars;
  for (int p = 1; p <= heroines; ++p) {
    const std::string n = std::to_string(p);
    keys.append("heroinVarName").append(n).append(",v").append(n).append("\r\n");
    names.append("h").append(n).append(",");
    vars.append("v").append(n).append("\r\n");
  }
  WriteList(folder.Path(), "SelectHeroin", keys);
  std::ofstream(folder.Path() + "/mok/heroin.xtx") << names;
  // Variable names: the inverted list "spt\\var.fxf".
  for (char& c : vars) c = static_cast<char>(~c);
  std::ofstream(folder.Path() + "/spt/var.fxf", std::ios::binary) << vars;
  bool ok = true;
  for (int p = 1; p <= heroines; ++p) {
    const std::string name = std::string("h").append(std::to_string(p));
    ok = benchsupport::WriteMaskedPicture(name, kW, kH, 2654435761u * p) && ok;
    std::error_code ignored;
    std::filesystem::rename(folder.Path() + "/dwq/sys/" + name + ".dwq",
                            folder.Path() + "/dwq/ta/" + name + ".dwq", ignored);
  }
  if (!ok) {
    state.SkipWithError("no pictures");
    return;
  }
  Game g;
  auto* mode = g.Mode<CCommonSelectHeroin>(CCommonSelectHeroin::kModeNumber, state);
  if (!mode) return;
  for (int p = 1; p <= heroines; ++p)
    g.game.SetVar(g.game.Vars().GetVarNumber(std::string("v").append(std::to_string(p)).c_str()), 1);
  mode->Init();
  if (mode->GetEntryCount() != heroines || !mode->GetEntryPicture(0)) {
    state.SkipWithError("the heroines were not loaded");
    return;
  }
  // Mid-turn: a turn to the right, five of its ten frames run.
  mode->StartTurn(-1);
  for (int i = 0; i < 5; ++i) mode->Calcu();
  MeasurePrint(state, mode);
}
BENCHMARK(HeroinCircleFrame)->Arg(4)->Arg(12);

void PlaceMapFrame(benchmark::State& state) {
  benchsupport::GameFolder folder(state);
  if (!folder.Ok()) return;
  std::filesystem::create_directories(folder.Path() + "/init");
  std::filesystem::create_directories(folder.Path() + "/dwq/sys");
  std::filesystem::create_directories(folder.Path() + "/spt");
  WriteList(folder.Path(), "game", "vistaCheck,0\r\nselectplaceIsDefault,1\r\n");
  // Every place shows character 1 of the variable "c".
  std::string vars = "c\r\n";
  for (char& c : vars) c = static_cast<char>(~c);
  std::ofstream(folder.Path() + "/spt/var.fxf", std::ios::binary) << vars;
  std::string keys =
      "placeNumber,8\r\ncharaFlag,1\r\ncharaSizeX,96\r\ncharaSizeY,160\r\n"
      "charaAnimePattern,4\r\ncharaAnimeSpeed,8\r\ncharaAnimeType,5\r\nfileNameCharaBase,ch\r\n";
  bool ok = benchsupport::WriteMaskedPicture("idou_bg", kW, kH, 7u) &&
            benchsupport::WriteMaskedPicture("ch1", 4 * 96, 160, 11u) &&
            benchsupport::WriteMaskedPicture("pl", 120, 40, 13u);
  // One "key,value" line at a time.
  auto add = [&keys](const std::string& key, int n, const std::string& value) {
    keys.append(key).append(std::to_string(n)).append(",").append(value).append("\r\n");
  };
  for (int i = 1; i <= 8; ++i) {
    add("areaX", i, std::to_string(95 * (i - 1)));
    add("areaY", i, "200");
    add("placeCharaVarName", i, "c");
    const std::string place = std::string("place").append(std::to_string(i));
    keys.append(place).append("PrintX,").append(std::to_string(20 + 95 * (i - 1))).append("\r\n");
    for (const char* k : {"PrintY,400", "SizeX,40", "SizeY,40", "Filename,pl"})
      keys.append(place).append(k).append("\r\n");
  }
  WriteList(folder.Path(), "SelectPlace", keys);
  if (!ok) {
    state.SkipWithError("no pictures");
    return;
  }
  Game g;
  auto* mode = g.Mode<CCommonSelectPlace>(CCommonSelectPlace::kModeNumber, state);
  if (!mode) return;
  g.game.SetVar(g.game.Vars().GetVarNumber("c"), 1);
  mode->Init();
  if (mode->GetCharaNumber(7) != 1) {
    state.SkipWithError("no characters");
    return;
  }
  MeasurePrint(state, mode);
}
BENCHMARK(PlaceMapFrame);

}  // namespace
