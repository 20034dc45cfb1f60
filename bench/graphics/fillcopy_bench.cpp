// The colour fill beside memset of the same rows, and the opaque blit beside
// memcpy of the same rows, each pair timed in turn in one run ("ratio" is
// the median of the fill's or blit's time over its reference's, pair by
// pair; each benchmark runs its repetitions and reports their median). Both
// sides write the real frame and read the real picture, so they meet the
// same alignment. Arguments: screen width and height, then the box (fill)
// or picture (blit) width and height, drawn at (0, 0).
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "bench/support/paired_timer.h"
#include "graphics/allgeo.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"

namespace {

struct Sizes {
  int screenW, screenH, w, h;
  explicit Sizes(const benchmark::State& state)
      : screenW(static_cast<int>(state.range(0))),
        screenH(static_cast<int>(state.range(1))),
        w(static_cast<int>(state.range(2))),
        h(static_cast<int>(state.range(3))) {}
  size_t Bytes() const { return static_cast<size_t>(w) * h * 4; }
};

// Each benchmark here times a pair in manual time and reports the
// aggregates of its repetitions.
void PairedRuns(benchmark::internal::Benchmark* b) {
  b->UseManualTime()->Repetitions(benchsupport::kPairedRepetitions)->DisplayAggregatesOnly(true);
}

void ColourFill(benchmark::State& state) {
  const Sizes s(state);
  CScreenBuffer screen(s.screenW, s.screenH, 0);
  uint32_t* frame = CScreenBuffer::GetBuffer();
  const size_t rowBytes = static_cast<size_t>(s.w) * 4;
  benchsupport::TimePair(
      state,
      [&] {
        if (s.w == s.screenW) {
          std::memset(frame, 0x5A, s.Bytes());
          return;
        }
        for (int y = 0; y < s.h; ++y)
          std::memset(frame + static_cast<size_t>(y) * s.screenW, 0x5A, rowBytes);
      },
      [&] { CAllGeo::BoxFill(0, 0, s.w, s.h, 0x12, 0x34, 0x56); });
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.Bytes()));
}
BENCHMARK(ColourFill)
    ->Args({800, 600, 800, 600})
    ->Args({800, 600, 256, 256})
    ->Args({1920, 1080, 1920, 1080})
    ->Apply(PairedRuns);

void OpaqueBlit(benchmark::State& state) {
  const Sizes s(state);
  CScreenBuffer screen(s.screenW, s.screenH, 0);
  auto picture = std::make_unique<CPicture>(s.w, s.h, 0);
  uint32_t* pixels = picture->GetPixelBuffer();
  for (size_t i = 0; i < static_cast<size_t>(s.w) * s.h; ++i)
    pixels[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
  uint32_t* frame = CScreenBuffer::GetBuffer();
  const size_t rowBytes = static_cast<size_t>(s.w) * 4;
  benchsupport::TimePair(
      state,
      [&] {
        if (s.w == s.screenW) {
          std::memcpy(frame, pixels, s.Bytes());
          return;
        }
        for (int y = 0; y < s.h; ++y)
          std::memcpy(frame + static_cast<size_t>(y) * s.screenW,
                      pixels + static_cast<size_t>(y) * s.w, rowBytes);
      },
      [&] { picture->Put(0, 0, 0); });
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.Bytes()));
}
BENCHMARK(OpaqueBlit)
    ->Args({800, 600, 800, 600})
    ->Args({800, 600, 640, 480})
    ->Args({1920, 1080, 1920, 1080})
    ->Apply(PairedRuns);

// The pair's noise floor: memcpy of the screen timed beside itself. Its
// ratio shows how far from 1 a ratio of two equal pieces of work lands on
// this machine in this run.
void MemcpyBesideItself(benchmark::State& state) {
  const Sizes s(state);
  CScreenBuffer screen(s.screenW, s.screenH, 0);
  auto picture = std::make_unique<CPicture>(s.w, s.h, 0);
  const uint32_t* pixels = picture->GetPixelBuffer();
  uint32_t* frame = CScreenBuffer::GetBuffer();
  auto copy = [&] { std::memcpy(frame, pixels, s.Bytes()); };
  benchsupport::TimePair(state, copy, copy);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.Bytes()));
}
BENCHMARK(MemcpyBesideItself)
    ->Args({800, 600, 800, 600})
    ->Args({1920, 1080, 1920, 1080})
    ->Apply(PairedRuns);

}  // namespace
