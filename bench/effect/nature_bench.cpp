// The particles, the row effects and the shatter effect drawing one 800 x
// 600 frame, read against the memcpy of one screen that effect_bench.cpp
// registers in the same binary: snow, petals, rain and the grass plane
// against the 50 ms frame (a whole frame under 5 %); the water, the breeze
// and the shatter along the built-in mesh (opaque and blended) within 3x
// of the memcpy. Also the time to make the densest generated mesh a
// screen of this size allows.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bench/support/screen_twins.h"
#include "bench/support/channel_frames.h"
#include "bench/support/game_folder.h"
#include "dwqwriter.h"
#include "effect/commoneffect.h"
#include "effect/effectmanager.h"
#include "effect/shattermesh.h"
#include "effectrunner.h"
#include "graphics/allgraphics.h"
#include "graphics/pictureloader.h"
#include "graphics/screenbuffer.h"
#include "tools/common/hostfile.h"

namespace {


// A masked sheet of w x h in the game folder's "dwq/sys".
bool WriteSheet(const std::string& folder, const char* name, int w, int h, std::string* error) {
  dwqtool::Picture sheet{w, h, {}, {}};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      sheet.pixels.push_back(0xF0F0FFu);
      sheet.alpha.push_back(static_cast<uint8_t>((x * 7 + y * 3) % 256));
    }
  dwqtool::Options options;
  options.mask = true;
  std::vector<uint8_t> bytes;
  if (!dwqtool::MakeDwq(sheet, options, &bytes, error)) return false;
  std::filesystem::create_directories(folder + "/dwq/sys");
  return toolsupport::WriteHostFile(folder + "/dwq/sys/" + name + ".dwq", bytes.data(),
                                    bytes.size());
}

// One effect on channel 5 over a screen-sized picture (opaque mask, or with
// `soft` every pixel half transparent), at `counter`; each iteration is the
// effect's frame: Tick, Calcu, the draw.
void Frame(benchmark::State& state, int number, std::vector<int> values, int counter = 0,
           bool soft = false) {
  benchsupport::GameFolder work(state);
  if (!work.Ok()) return;
  const std::string& folder = work.Path();
  std::string error;
  InitPictureLoader(dwq::kDecodeMegabytes);
  if (!WriteSheet(folder, "ta_eff_snow", 256, 192, &error) ||
      !WriteSheet(folder, "ta_eff_saku", 160, 56, &error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  {
    CScreenBuffer screen(benchsupport::ScreenW(), benchsupport::ScreenH(), 0);
    CAllGraphics::FillScreen(0x40, 0x80, 0xC0);
    CEffectManager manager;
    manager.Tick();
    if (!benchsupport::LoadScreenPicture(state, manager, 5, benchsupport::ScreenW(), benchsupport::ScreenH(), soft, folder)) return;
    benchsupport::RunChannelFrames(state, manager, number, values, counter, benchsupport::ScreenBytes());
  }
}

void Snow14(benchmark::State& state) { Frame(state, 14, {20, -1, -1}); }
ZOR_SCREEN_BENCHMARK(Snow14);

void Petals12(benchmark::State& state) { Frame(state, 12, {20, 0, 2, 200}); }
ZOR_SCREEN_BENCHMARK(Petals12);

void Rain13(benchmark::State& state) { Frame(state, 13, {20, 30, 150, 60, 80}); }
ZOR_SCREEN_BENCHMARK(Rain13);

void GrassPlane93(benchmark::State& state) {
  Frame(state, 93, {20, 0, benchsupport::ScreenH(), 500, 100, 0, 100, 20}, 7);
}
ZOR_SCREEN_BENCHMARK(GrassPlane93);

void Water24(benchmark::State& state) { Frame(state, 24, {20, benchsupport::ScreenH() / 3}); }
ZOR_SCREEN_BENCHMARK(Water24);

void Breeze92(benchmark::State& state) { Frame(state, 92, {20, 20, 10, 10, 50, 2, 1, -1, 0, 3, 40}, 3); }
ZOR_SCREEN_BENCHMARK(Breeze92);

void Breeze92SoftMask(benchmark::State& state) {
  Frame(state, 92, {20, 20, 10, 10, 50, 2, 1, -1, 0, 3, 40}, 3, true);
}
ZOR_SCREEN_BENCHMARK(Breeze92SoftMask);

// The shatter along the built-in mesh at its first frame (every piece on
// the screen), opaque and at half opacity.
void ShatterMesh0Opaque81(benchmark::State& state) { Frame(state, 81, {20}); }
ZOR_SCREEN_BENCHMARK(ShatterMesh0Opaque81);

void ShatterMesh0Blended81(benchmark::State& state) { Frame(state, 81, {20, 100, 100, 400, 300, 0, 100, 0, 0, 50}); }
ZOR_SCREEN_BENCHMARK(ShatterMesh0Blended81);

// The densest mesh allowed at 800 x 600: density 299 (600 rows of 800
// one-pixel cells), jittered triangles, quads and bricks, read against
// filling reserved arrays with the same vertices and pieces.
void DensestMesh(benchmark::State& state) {
  for (auto _ : state) {
    ShatterMesh mesh;
    benchmark::DoNotOptimize(GenerateShatterMesh(static_cast<int>(state.range(0)), 299, 4, benchsupport::ScreenW(), benchsupport::ScreenH(), &mesh));
    benchmark::DoNotOptimize(mesh.pieces.data());
  }
  state.SetLabel("vs:DensestMeshReservedFill/" + std::to_string(state.range(0)));
}
BENCHMARK(DensestMesh)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void DensestMeshReservedFill(benchmark::State& state) {
  ShatterMesh made;
  if (!GenerateShatterMesh(static_cast<int>(state.range(0)), 299, 4, benchsupport::ScreenW(), benchsupport::ScreenH(), &made)) {
    state.SkipWithError("no mesh");
    return;
  }
  for (auto _ : state) {
    ShatterMesh mesh;
    mesh.xy.reserve(made.xy.size());
    mesh.pieces.reserve(made.pieces.size());
    for (int v : made.xy) mesh.xy.push_back(v);
    for (const ShatterMesh::Piece& piece : made.pieces) mesh.pieces.push_back(piece);
    benchmark::DoNotOptimize(mesh.pieces.data());
    benchmark::DoNotOptimize(mesh.xy.data());
  }
  state.SetLabel("reference");
}
BENCHMARK(DensestMeshReservedFill)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
