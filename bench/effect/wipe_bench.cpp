// Wipes drawing one 800 x 600 step, each beside a memcpy of the screen's
// bytes: the hard and soft span compositors, wipes 0, 1, 3, 4, 39, 40 and
// 60 halfway through, and the mask wipe effect (#60).
//
// Recorded (release build, median of 3, CPU time over memcpy's 128 us):
// hard compositor 1.33, soft compositor (a 256-pixel blend on every line)
// 2.57, wipe 0 1.55, 1 1.53, 3 1.09, 4 1.20, 39 1.08, 40 1.54, 60 1.63,
// effect #60 2.64.
// Shapes and moving kinds (same measure, memcpy 127 us): circle 6 1.20,
// star 28 1.19, soft diagonal 65 1.33, torn edge 50 (blend 256) 2.36,
// beach 36 1.37, move 10 1.01, door 18 1.00, push 61 1.00, reels 69 1.33,
// zoom 80 1.17, box 84 1.54.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "bench/support/screen_twins.h"
#include "bench/support/memcpy_reference.h"
#include "effect/allwipe.h"
#include "effect/effectmanager.h"
#include "effect/effectwipe.h"
#include "effectrunner.h"
#include "graphics/picture.h"
#include "graphics/pictureloader.h"
#include "graphics/screenbuffer.h"
#include "platform/files.h"
#include "platform/headless/headless.h"

namespace {


BENCHMARK(benchsupport::Memcpy)->Arg(1920000);
BENCHMARK(benchsupport::ColdMemcpy)->Arg(1920000)->Arg(8294400);

dwqtool::Picture Pattern(int salt) {
  dwqtool::Picture p{benchsupport::ScreenW(), benchsupport::ScreenH(), {}, {}};
  for (int y = 0; y < benchsupport::ScreenH(); ++y)
    for (int x = 0; x < benchsupport::ScreenW(); ++x)
      p.pixels.push_back(static_cast<uint32_t>((x * 0x010203 + y * 0x030201) ^ salt) & 0xFFFFFF);
  return p;
}

// A screen, a manager with channel pictures 12 (old), 13 (new) and 14 (a
// mask), loaded through picture files as in the game.
class World {
 public:
  World() {
    platform::InstallHeadless().SetBoxEcho(false);
    folder_ = (std::filesystem::temp_directory_path() / "zor-bench-XXXXXX").string();
    if (!::mkdtemp(folder_.data())) return;
    platform::SetGameFolder(folder_);
    screen_ = std::make_unique<CScreenBuffer>(benchsupport::ScreenW(), benchsupport::ScreenH(), 0);
    InitPictureLoader(dwq::kDecodeMegabytes);  // pictures this large decode through it
    manager_ = std::make_unique<CEffectManager>();
    for (int c : {12, 13, 14})
      if (!effecttool::LoadPictureThroughFile(manager_->GetPicture(c), Pattern(c * 0x10101),
                                              folder_, &error_))
        return;
    ok_ = true;
  }
  ~World() {
    manager_.reset();
    screen_.reset();
    ReleasePictureLoader();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  bool Ok() const { return ok_; }
  const std::string& Error() const { return error_; }
  CEffectManager& Manager() { return *manager_; }
  CAllWipe& Table() {
    return *static_cast<CEffectSimpleWipe*>(manager_->GetEffect(59))->GetTable();
  }

 private:
  std::string folder_, error_ = "no work folder";
  std::unique_ptr<CScreenBuffer> screen_;
  std::unique_ptr<CEffectManager> manager_;
  bool ok_ = false;
};

// `setup` once, then `draw` per iteration.
template <typename Setup, typename Draw>
void Run(benchmark::State& state, Setup setup, Draw draw) {
  World world;
  if (!world.Ok()) {
    state.SkipWithError(world.Error().c_str());
    return;
  }
  setup(world);
  for (auto _ : state) {
    draw(world);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * benchsupport::ScreenBytes()));
}

// A shape whose lines are four runs (hard) or a 256-pixel soft edge.
class CBenchShape : public CEffectSimpleWipeShape {
 public:
  using CEffectSimpleWipeShape::CEffectSimpleWipeShape;
  const char* KindName() const override { return "CBenchShape"; }
  void CalcuSpan(int, int) override {
    int32_t* spans = Spans();
    for (int y = 0; y < benchsupport::ScreenH(); ++y) {
      int32_t* line = spans + y * EntriesPerLine();
      if (GetSoftEdge()) {
        BoundaryEntries(line, 300 + y % 64);
      } else {
        line[0] = 100 + y % 50;
        line[1] = 300;
        line[2] = 200;
        line[3] = benchsupport::ScreenW() - 600 - y % 50;
      }
    }
  }
};

void Compositor(benchmark::State& state, int soft) {
  std::unique_ptr<CBenchShape> shape;
  Run(
      state,
      [&](World& w) {
        shape = std::make_unique<CBenchShape>(&w.Table());
        shape->SetRunCount(4);
        shape->SetSoftEdge(soft, 256);
      },
      [&](World& w) {
        shape->Print(w.Manager().GetPicture(12), w.Manager().GetPicture(13), 1, 2, nullptr,
                     nullptr);
      });
}

void HardCompositor(benchmark::State& state) { Compositor(state, 0); }
ZOR_SCREEN_BENCHMARK(HardCompositor);
void SoftCompositor(benchmark::State& state) { Compositor(state, 1); }
ZOR_SCREEN_BENCHMARK(SoftCompositor);

void Wipe(benchmark::State& state) {
  const int number = static_cast<int>(state.range(0));
  Run(
      state, [](World&) {},
      [&](World& w) {
        w.Table().Print(number, w.Manager().GetPicture(12), w.Manager().GetPicture(13), 5000, 10000,
                        nullptr, nullptr);
      });
}
ZOR_SCREEN_BENCHMARK(Wipe)->Arg(0)->Arg(1)->Arg(3)->Arg(4)->Arg(39)->Arg(40)->Arg(60);
// The shapes (circle 6, star 28, soft diagonal 65, torn edge 50 with a
// blend width of 256, beach 36) and the moving kinds (move 10, door 18,
// push 61, reels 69; zoom 80 and box 84 resample every pixel).
ZOR_SCREEN_BENCHMARK(Wipe)->Arg(6)->Arg(28)->Arg(65)->Arg(50)->Arg(36)->Arg(10)->Arg(18)->Arg(61)->Arg(69)
    ->Arg(80)->Arg(84);

// Halfway through a mask wipe of sharpness 4.
void MaskWipe60(benchmark::State& state) {
  Run(
      state,
      [](World& w) {
        CEffectManager& m = w.Manager();
        m.SetPicture(12, 12);
        const int values[] = {20, 13, 14, 4};
        m.StartEffect(12, 60, 4, values);
        m.GetChannel(12)->Counter() = 10;
      },
      [](World& w) { w.Manager().PrintRange(12, 12, 0, 0); });
}
ZOR_SCREEN_BENCHMARK(MaskWipe60);

}  // namespace
