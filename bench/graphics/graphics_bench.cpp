// Full-screen filters, fills and presentation on an 800 x 600 screen, each
// beside a memcpy of the same bytes so the ratio can be read.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "bench/support/headless_window.h"
#include "bench/support/memcpy_reference.h"
#include "graphics/allgeo.h"
#include "graphics/allgraphics.h"
#include "graphics/presentation.h"
#include "graphics/screenbuffer.h"

namespace {

constexpr int kW = 800;
constexpr int kH = 600;
constexpr size_t kScreenBytes = size_t{kW} * kH * 4;

// Pixels a circle of radius 250 covers, counted once by drawing it.
size_t CircleBytes() {
  CScreenBuffer screen(kW, kH, 0);
  CAllGeo::AddCircleFill(400, 300, 250, 250, 1, 1, 1, 100);
  size_t n = 0;
  for (size_t i = 0; i < size_t{kW} * kH; ++i) n += CScreenBuffer::GetBuffer()[i] != 0;
  return n * 4;
}

BENCHMARK(benchsupport::Memcpy)->Arg(kScreenBytes)->Arg(static_cast<int64_t>(CircleBytes()));

template <typename Draw>
void OnScreen(benchmark::State& state, size_t bytes, Draw draw) {
  CScreenBuffer screen(kW, kH, 0);
  CAllGraphics::FillScreen(0x40, 0x80, 0xC0);
  for (auto _ : state) {
    draw();
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void FadeFullScreen(benchmark::State& state) {
  OnScreen(state, kScreenBytes, [] { CAllGraphics::Fade(50, 255, 128, 0, -1); });
}
BENCHMARK(FadeFullScreen);

void TranslucentBoxFullScreen(benchmark::State& state) {
  OnScreen(state, kScreenBytes, [] { CAllGeo::TransBoxFill(0, 0, kW, kH, 255, 128, 0, 50); });
}
BENCHMARK(TranslucentBoxFullScreen);

void TranslucentCircle(benchmark::State& state) {
  OnScreen(state, CircleBytes(), [] { CAllGeo::TransCircleFill(400, 300, 250, 250, 255, 128, 0, 50); });
}
BENCHMARK(TranslucentCircle);

void PresentFullFrameHeadless(benchmark::State& state) {
  platform::Window* window = benchsupport::HeadlessWindow(kW, kH);
  CScreenBuffer screen(kW, kH, 0);
  CDirectDrawScreen presenter(window, kW, kH, 32, 0);
  for (auto _ : state) {
    CScreenBuffer::StartFrame();
    CScreenBuffer::SetFullRedrawFlag(1);
    presenter.PresentScreenBuffer(1);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kScreenBytes));
}
BENCHMARK(PresentFullFrameHeadless);

}  // namespace
