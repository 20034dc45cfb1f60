// The layer effects and the character filters drawing one 800 x 600 frame,
// read against the memcpy of one screen that effect_bench.cpp registers in
// the same binary: #39, #94 and #84 copy one screen through blits, #68
// fills rows, #37 and #122 resample through 16.16 steps, and the seven
// filters draw a screen-sized masked picture. Then the particles (#70, #71,
// #104), the text reveal (#133), the staff roll (#80), the blurs (#126,
// #77), the light through leaves (#78) and the misted window (#97); last
// the character transparency and row distortion effects.
#include <benchmark/benchmark.h>

#include <functional>
#include <string>
#include <vector>

#include "bench/support/screen_twins.h"
#include "bench/support/game_folder.h"
#include "effect/commoneffect.h"
#include "effect/effectmanager.h"
#include "effectrunner.h"
#include "graphics/pictureloader.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "tools/common/hostfile.h"

namespace {


// Runs before the start, with the pictures loaded.
using Prepare = std::function<bool(CEffectManager&, const std::string& folder)>;

void DrawOn(benchmark::State& state, int number, const std::vector<int>& values, int counter,
            const std::string& folder, const Prepare& prepare);

// Screen-sized masked pictures on channels 5 and 13; the effect started on
// channel 5 at `counter`, then its Calcu and Print run each iteration.
void DrawFrame(benchmark::State& state, int number, std::vector<int> values, int counter,
               const Prepare& prepare = {}) {
  benchsupport::GameFolder work(state);
  if (!work.Ok()) return;
  InitPictureLoader(dwq::kDecodeMegabytes);
  DrawOn(state, number, values, counter, work.Path(), prepare);
  ReleasePictureLoader();
}

void DrawOn(benchmark::State& state, int number, const std::vector<int>& values, int counter,
            const std::string& folder, const Prepare& prepare) {
  CScreenBuffer screen(benchsupport::ScreenW(), benchsupport::ScreenH(), 0);
  CEffectManager manager;
  for (int channel : {5, 13}) {
    // The gradients with soft and clear patches, as a character has.
    dwqtool::Picture p;
    std::string dwqPath, error;
    effecttool::ParsePictureSpec(channel == 5 ? "hgrad" : "vgrad", benchsupport::ScreenW(), benchsupport::ScreenH(), &p, &dwqPath, &error);
    for (size_t i = 0; i < p.alpha.size(); ++i) {
      const int x = static_cast<int>(i % benchsupport::ScreenW()), y = static_cast<int>(i / benchsupport::ScreenW());
      const int patch = (x / 40 + y / 40) % 5;
      p.alpha[i] = static_cast<uint8_t>(patch == 0 ? 0 : patch == 1 ? (x + y) % 255 : 255);
    }
    if (!effecttool::LoadPictureThroughFile(manager.GetPicture(channel), p, folder, &error)) {
      state.SkipWithError(error.c_str());
      return;
    }
    manager.SetPicture(channel, channel);
  }
  if (prepare && !prepare(manager, folder)) {
    state.SkipWithError("cannot prepare the pictures");
    return;
  }
  manager.StartEffect(5, number, static_cast<int>(values.size()), values.data());
  manager.GetChannel(5)->Counter() = counter;
  // The effect's own steps, without the manager's blit of the picture.
  CCommonEffect* effect = manager.GetEffect(number);
  EffectChannel* record = manager.GetChannel(5);
  for (auto _ : state) {
    effect->Calcu(record, 5);
    effect->Print(record, 5);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * benchsupport::ScreenW() * benchsupport::ScreenH() * 4);
}

void Scroll39(benchmark::State& state) { DrawFrame(state, 39, {20, 37, 11, 1}, 7); }
ZOR_SCREEN_BENCHMARK(Scroll39);
void PoleScroll94(benchmark::State& state) { DrawFrame(state, 94, {0, 37, 11}, 7); }
ZOR_SCREEN_BENCHMARK(PoleScroll94);
void Fusuma84(benchmark::State& state) { DrawFrame(state, 84, {20, 400, 13}, 10); }
ZOR_SCREEN_BENCHMARK(Fusuma84);
void Curtain68(benchmark::State& state) { DrawFrame(state, 68, {20, 300, 0, 0, 0, 0}, 20); }
ZOR_SCREEN_BENCHMARK(Curtain68);
void BGZoomIn37(benchmark::State& state) { DrawFrame(state, 37, {20}, 10); }
ZOR_SCREEN_BENCHMARK(BGZoomIn37);
// The whole screen through a half-plane, with a border of 8 lines.
void ClipZoomIn122(benchmark::State& state) {
  DrawFrame(state, 122, {20, 200,   150, 400, 300, 0, 0,     100, 0, 400, 300,
                         1,  -1000, 0,   400, 300, 1, -1000, 0,   0, 8},
            10);
}
ZOR_SCREEN_BENCHMARK(ClipZoomIn122);
// The strike, clip, shake, flash and blur effects on the screen-sized
// masked picture.
void TaClipLine136(benchmark::State& state) {
  DrawFrame(state, 136, {20, 400, 300, -60, -40, 0, 100, 100, 0, 0, 1, 0, 0, 255, 255, 255, 4}, 10);
}
ZOR_SCREEN_BENCHMARK(TaClipLine136);
void TaClipRect136(benchmark::State& state) {
  DrawFrame(state, 136, {20, 20, 20, 760, 560, 1, 100, 100, 0, 0, 1, 0, 0, 255, 255, 255, 4}, 10);
}
ZOR_SCREEN_BENCHMARK(TaClipRect136);
void Zantetsu86(benchmark::State& state) { DrawFrame(state, 86, {20, 30, 100, 400, 300, 2, 3}, 10); }
ZOR_SCREEN_BENCHMARK(Zantetsu86);
void BossDeath48(benchmark::State& state) { DrawFrame(state, 48, {20, 5, 8}, 10); }
ZOR_SCREEN_BENCHMARK(BossDeath48);
void CharaFlash90(benchmark::State& state) { DrawFrame(state, 90, {20}, 1); }
ZOR_SCREEN_BENCHMARK(CharaFlash90);
void CharaBure132(benchmark::State& state) { DrawFrame(state, 132, {}, 3); }
ZOR_SCREEN_BENCHMARK(CharaBure132);
void CharaBokashi125(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0));
  DrawFrame(state, 125, {20, size, size}, 20);
}
ZOR_SCREEN_BENCHMARK(CharaBokashi125)->Arg(8)->Arg(16);
void Grey124(benchmark::State& state) { DrawFrame(state, 124, {}, 10); }
ZOR_SCREEN_BENCHMARK(Grey124);
void Sepia127(benchmark::State& state) { DrawFrame(state, 127, {}, 10); }
ZOR_SCREEN_BENCHMARK(Sepia127);
void AddSub131(benchmark::State& state) { DrawFrame(state, 131, {20, 60, -60}, 5); }
ZOR_SCREEN_BENCHMARK(AddSub131);
void ColorAddSub99(benchmark::State& state) { DrawFrame(state, 99, {20, 40, -40, 80}, 10); }
ZOR_SCREEN_BENCHMARK(ColorAddSub99);
void ColorBalance120(benchmark::State& state) {
  DrawFrame(state, 120, {20, 200, -100, 50, 0, 0, 0, 1, 0, 0, 5, 7, 9}, 10);
}
ZOR_SCREEN_BENCHMARK(ColorBalance120);
void Saike130(benchmark::State& state) { DrawFrame(state, 130, {}, 10); }
ZOR_SCREEN_BENCHMARK(Saike130);
void Rainbow96(benchmark::State& state) { DrawFrame(state, 96, {}, 10); }
ZOR_SCREEN_BENCHMARK(Rainbow96);

// 300 petals of 100 x 100 cells turning over 4 cells, 2 frames a step,
// at 60 % opacity (the cross-blend).
void Petals70(benchmark::State& state) {
  DrawFrame(state, 70, {1000000, 300, 100, 100, 0, 2, 400, 300, 400, -3, 2, 1, 0, 0, 60, 60, 100,
                        50, 4, 1, 0, 0, 2},
            10);
}
ZOR_SCREEN_BENCHMARK(Petals70);
void Fireflies71(benchmark::State& state) {
  DrawFrame(state, 71, {1000000, 600, 0, 0, 800, 600, 1, 1, 255, 200, 100, 1, 0, 0, 100}, 10);
}
ZOR_SCREEN_BENCHMARK(Fireflies71);
void Leaves104(benchmark::State& state) {
  DrawFrame(state, 104, {0, 32, 32, 4, 8, 100, 3, 7, 15, 0, 500}, 400);
}
ZOR_SCREEN_BENCHMARK(Leaves104);
// 25 x 18 cells of 32 pixels, half revealed, the cell being written scaled.
void Sentence133(benchmark::State& state) {
  DrawFrame(state, 133, {100, 32, 32, 0, 5, 4}, 50);
}
ZOR_SCREEN_BENCHMARK(Sentence133);
// Three screen-tall pieces on two piece channels (pieces 1 and 3 would share
// one; here 1 and 2 each have their own), the roll moved half a screen up.
void StaffRoll80(benchmark::State& state) {
  auto pieces = [](CEffectManager& m, const std::string& folder) {
    std::string dwqPath, error;
    dwqtool::Picture p;
    effecttool::ParsePictureSpec("hgrad", benchsupport::ScreenW(), benchsupport::ScreenH(), &p, &dwqPath, &error);
    std::vector<uint8_t> bytes;
    if (!dwqtool::MakeDwq(p, {}, &bytes, &error)) return false;
    const std::string name = m.GetPicture(5)->GetName();
    for (int i : {2, 3})
      if (!toolsupport::WriteHostFile(folder + "/dwq/" + name + "_" + std::to_string(i) + ".dwq",
                                      bytes.data(), bytes.size()))
        return false;
    m.GetChannel(5)->DrawRect()[1] = -benchsupport::ScreenH() / 2;
    return true;
  };
  DrawFrame(state, 80, {20, 1, 0, 50, 100, 100, 50, 0, 100, 200, 400, 500, 3, 2}, 10, pieces);
}
ZOR_SCREEN_BENCHMARK(StaffRoll80);
void BGBokashi126(benchmark::State& state) { DrawFrame(state, 126, {20, 16, 16}, 20); }
ZOR_SCREEN_BENCHMARK(BGBokashi126);
void Bokashi77(benchmark::State& state) { DrawFrame(state, 77, {20, 16, 16}, 20); }
ZOR_SCREEN_BENCHMARK(Bokashi77);
void Komorebi78(benchmark::State& state) { DrawFrame(state, 78, {20, 13, 120, 60, -40}, 20); }
ZOR_SCREEN_BENCHMARK(Komorebi78);
// Five drops a frame and a resting pointer, then the masked draw.
void BathWindow97(benchmark::State& state) { DrawFrame(state, 97, {0, 20, 1, 5}, 0); }
ZOR_SCREEN_BENCHMARK(BathWindow97);

// The character transparency and row distortion effects on the same
// pictures: #8, #9 in a box with a colour, #110, #123 through channel 13's
// gradient, #121 over channel 13's shape with the tint, #40 into channel
// 13's picture, #107, #106 with 16 bands and jitter, #22 over the whole
// screen and #72.
void Trans8(benchmark::State& state) { DrawFrame(state, 8, {20, 50}, 0); }
ZOR_SCREEN_BENCHMARK(Trans8);
void CTrans9(benchmark::State& state) {
  DrawFrame(state, 9, {20, 50, 100, 0, 0, 1, 100, 50, 600, 500, 0, 0, benchsupport::ScreenW(), benchsupport::ScreenH(), 1, 40, -20, 10}, 10);
}
ZOR_SCREEN_BENCHMARK(CTrans9);
void Ghost110(benchmark::State& state) { DrawFrame(state, 110, {}, 10); }
ZOR_SCREEN_BENCHMARK(Ghost110);
void MaskAppear123(benchmark::State& state) { DrawFrame(state, 123, {20, 13, 4}, 10); }
ZOR_SCREEN_BENCHMARK(MaskAppear123);
void DualMask121(benchmark::State& state) {
  DrawFrame(state, 121, {20, 13, 100, 100, 0, 0, 1}, 10);
}
ZOR_SCREEN_BENCHMARK(DualMask121);
void Change40(benchmark::State& state) { DrawFrame(state, 40, {20, 13}, 10); }
ZOR_SCREEN_BENCHMARK(Change40);
void CharaRaster107(benchmark::State& state) { DrawFrame(state, 107, {}, 10); }
ZOR_SCREEN_BENCHMARK(CharaRaster107);
void Noise106(benchmark::State& state) {
  DrawFrame(state, 106, {20, 16, 32, 2, 40, 50, 50, 1, 100}, 10);
}
ZOR_SCREEN_BENCHMARK(Noise106);
void Kagerou22(benchmark::State& state) { DrawFrame(state, 22, {}, 10); }
ZOR_SCREEN_BENCHMARK(Kagerou22);
void Meisai72(benchmark::State& state) { DrawFrame(state, 72, {20, 10}, 10); }
ZOR_SCREEN_BENCHMARK(Meisai72);

}  // namespace
