// A busy frame as a scene draws it: a background picture, two masked
// characters, a translucent message box, then the headless presentation,
// at 800 x 600 and 1920 x 1080. "frame_percent" is the share of a 50 ms
// frame it takes; memcpy of one screen is the reference beside it.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench/support/headless_window.h"
#include "bench/support/memcpy_reference.h"
#include "graphics/allgeo.h"
#include "graphics/picture.h"
#include "graphics/presentation.h"
#include "graphics/screenbuffer.h"

namespace {

BENCHMARK(benchsupport::Memcpy)->Arg(800 * 600 * 4)->Arg(1920 * 1080 * 4);

std::unique_ptr<CPicture> Background(int w, int h) {
  auto picture = std::make_unique<CPicture>(w, h, 0);
  uint32_t* px = picture->GetPixelBuffer();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      px[static_cast<size_t>(y) * w + x] = (static_cast<uint32_t>(x * 3 + y * 5) * 40503u) & 0xFFFFFF;
  return picture;
}

// A standing figure: an opaque ellipse with a soft edge in a transparent
// rectangle, like a character picture's mask.
std::unique_ptr<CPicture> Character(int w, int h, uint32_t seed) {
  auto picture = std::make_unique<CPicture>(w, h, 1);
  uint32_t* px = picture->GetPixelBuffer();
  unsigned char* mask = picture->GetMask();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const double dx = (x - w / 2.0) / (w * 0.45), dy = (y - h * 0.55) / (h * 0.5);
      const double d = dx * dx + dy * dy;
      const size_t i = static_cast<size_t>(y) * w + x;
      mask[i] = static_cast<unsigned char>(d < 0.9 ? 255 : d > 1.0 ? 0 : (1.0 - d) * 2550);
      px[i] = (static_cast<uint32_t>(x * 7 + y) * seed) & 0xFFFFFF;
    }
  return picture;
}

void BusyFrame(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  platform::Window* window = benchsupport::HeadlessWindow(w, h);
  CScreenBuffer screen(w, h, 0);
  CDirectDrawScreen presenter(window, w, h, 32, 0);
  auto background = Background(w, h);
  const int cw = w * 2 / 5, ch = h * 9 / 10;
  auto left = Character(cw, ch, 2654435761u);
  auto right = Character(cw, ch, 97u);
  for (auto _ : state) {
    CScreenBuffer::StartFrame();
    background->Put(0, 0, 0);
    left->Put(w / 20, h - ch, 1);
    right->Put(w - cw - w / 20, h - ch, 1);
    CAllGeo::TransBoxFill(w / 20, h * 3 / 4, w * 9 / 10, h / 5, 0, 0, 64, 60);
    CScreenBuffer::SetFullRedrawFlag(1);
    presenter.PresentScreenBuffer(1);
    benchmark::ClobberMemory();
  }
  // Seconds per frame * 2000 is the share of a 50 ms frame in percent (an
  // inverted rate, so the benchmark library prints it with an "s").
  state.counters["frame_percent"] = benchmark::Counter(
      static_cast<double>(state.iterations()) / 2000.0,
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * w * h * 4);
}
BENCHMARK(BusyFrame)->Args({800, 600})->Args({1920, 1080});

}  // namespace
