// Blend, add, cross-fade and stretch blits over a whole 800 x 600 screen,
// each beside a memcpy of the same bytes so the ratio can be read.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "graphics/blendrows.h"
#include "bench/support/memcpy_reference.h"
#include "bench/support/pattern_picture.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"

namespace {

constexpr int kW = 800;
constexpr int kH = 600;
constexpr size_t kPixels = size_t{kW} * kH;
constexpr size_t kBytes = kPixels * 4;

BENCHMARK(benchsupport::Memcpy)->Arg(static_cast<int64_t>(kBytes));

// A busy full-size picture with a soft-edged mask.
std::unique_ptr<CPicture> MakePicture(int w, int h, uint32_t seed) {
  return benchsupport::MakePatternPicture(w, h, seed, [](int x, int, int width) {
    return static_cast<uint8_t>(x < width / 4 ? 0 : x > width / 2 ? 255 : (x * 5) & 0xFF);
  });
}

template <typename Draw>
void OnScreen(benchmark::State& state, Draw draw) {
  CScreenBuffer screen(kW, kH, 0);
  auto a = MakePicture(kW, kH, 2654435761u);
  auto b = MakePicture(kW, kH, 40503u);
  auto small = MakePicture(kW / 2, kH / 2, 97u);
  std::memset(CScreenBuffer::GetBuffer(), 0x40, kBytes);
  for (auto _ : state) {
    draw(*a, *b, *small);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kBytes));
}

void TransLucent50FullScreen(benchmark::State& state) {
  OnScreen(state,
           [](CPicture& a, CPicture&, CPicture&) { a.TransLucentBlt(0, 0, 0, 0, kW, kH, 50); });
}
BENCHMARK(TransLucent50FullScreen);

// The plain loop the fast row is checked against, for the record.
void TransLucent50RowsScalar(benchmark::State& state) {
  OnScreen(state, [](CPicture& a, CPicture&, CPicture&) {
    for (int y = 0; y < kH; ++y)
      blendrows::TransLucentScalar(CScreenBuffer::GetBuffer() + y * kW, a.GetPixelBuffer() + y * kW,
                                   kW, 128);
  });
}
BENCHMARK(TransLucent50RowsScalar);

// The masked picture at 50 %, and the plain loop its rows are checked
// against.
void TransLucentMasked50FullScreen(benchmark::State& state) {
  OnScreen(state,
           [](CPicture& a, CPicture&, CPicture&) { a.TransLucentBlt3(0, 0, 0, 0, kW, kH, 50); });
}
BENCHMARK(TransLucentMasked50FullScreen);

void TransLucentMasked50RowsScalar(benchmark::State& state) {
  OnScreen(state, [](CPicture& a, CPicture&, CPicture&) {
    for (int y = 0; y < kH; ++y)
      blendrows::TransMaskScalar(CScreenBuffer::GetBuffer() + y * kW, a.GetPixelBuffer() + y * kW,
                                 a.GetMask() + y * kW, kW, 128);
  });
}
BENCHMARK(TransLucentMasked50RowsScalar);

// The masked picture with a signed colour at 50 %, and its plain loop.
void ColorAddMasked50FullScreen(benchmark::State& state) {
  OnScreen(state, [](CPicture& a, CPicture&, CPicture&) {
    a.ColorAddBlt(0, 0, 0, 0, kW, kH, 1, 40, -20, 10, 50);
  });
}
BENCHMARK(ColorAddMasked50FullScreen);

void ColorAddMasked50RowsScalar(benchmark::State& state) {
  const blendrows::SignedColour colour(40, -20, 10);
  OnScreen(state, [&](CPicture& a, CPicture&, CPicture&) {
    for (int y = 0; y < kH; ++y)
      blendrows::TintMaskScalar(CScreenBuffer::GetBuffer() + y * kW, a.GetPixelBuffer() + y * kW,
                                a.GetMask() + y * kW, kW, 128, colour);
  });
}
BENCHMARK(ColorAddMasked50RowsScalar);

void AddFullScreen(benchmark::State& state) {
  OnScreen(state, [](CPicture& a, CPicture&, CPicture&) { a.AddBlt(0, 0, 0, 0, kW, kH); });
}
BENCHMARK(AddFullScreen);

// Two masked pictures cross-faded onto the screen.
void CrossFadeMaskedFullScreen(benchmark::State& state) {
  OnScreen(state, [](CPicture& a, CPicture& b, CPicture&) {
    a.ChangeTransLucentBlt(0, 0, 0, 0, kW, kH, 40, 60, &b, 0, 0);
  });
}
BENCHMARK(CrossFadeMaskedFullScreen);

void CrossFadeMaskedRowsScalar(benchmark::State& state) {
  OnScreen(state, [](CPicture& a, CPicture& b, CPicture&) {
    for (int y = 0; y < kH; ++y)
      blendrows::CrossFadeScalar(CScreenBuffer::GetBuffer() + y * kW, a.GetPixelBuffer() + y * kW,
                                 b.GetPixelBuffer() + y * kW, a.GetMask() + y * kW,
                                 b.GetMask() + y * kW, kW, 102, 154);
  });
}
BENCHMARK(CrossFadeMaskedRowsScalar);

// Two screen-size pictures blended into the screen.
void CrossFadeTwoPicturesFullScreen(benchmark::State& state) {
  OnScreen(state,
           [](CPicture& a, CPicture& b, CPicture&) { a.OverrapBlt2(&b, 40, nullptr, nullptr); });
}
BENCHMARK(CrossFadeTwoPicturesFullScreen);

// The enter fade's blend: one colour and one screen-size picture.
void CrossFadeFromColourFullScreen(benchmark::State& state) {
  OnScreen(state,
           [](CPicture&, CPicture& b, CPicture&) { b.OverrapBlt2FromColour(0x102030, 40, nullptr); });
}
BENCHMARK(CrossFadeFromColourFullScreen);

// A 400 x 300 picture doubled to the whole screen, opaque and masked.
void Stretch2xFullScreen(benchmark::State& state) {
  OnScreen(state, [](CPicture&, CPicture&, CPicture& small) {
    small.StretchBlt(0, 0, kW, kH, 0, 0, kW / 2, kH / 2, 100, 0);
  });
}
BENCHMARK(Stretch2xFullScreen);

void Stretch2xMaskedFullScreen(benchmark::State& state) {
  OnScreen(state, [](CPicture&, CPicture&, CPicture& small) {
    small.StretchBlt(0, 0, kW, kH, 0, 0, kW / 2, kH / 2, 100, 1);
  });
}
BENCHMARK(Stretch2xMaskedFullScreen);

}  // namespace
