// The sample game's movie (320 x 240, 20 pictures a second) shown on an
// 800 x 600 screen: converting one decoded picture into the screen buffer,
// and decoding and converting one picture, beside a memcpy of the screen.
// The "share" counter is the time of one picture against the 50-ms frame.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/headless/headless.h"
#include "platform/movie.h"

namespace {

constexpr int kW = 800, kH = 600;
constexpr double kFrameSeconds = 0.05;

std::unique_ptr<platform::Movie> OpenSample() {
  static platform::HeadlessBackend& host = platform::InstallHeadless();
  (void)host;
  const std::filesystem::path movie = ZOR_DEMO_MOVIE;
  platform::SetGameFolder(movie.parent_path().parent_path().string());
  auto m = platform::Movie::Open("movie\\default.wmv");
  if (m && !m->Start(0, platform::kVolumeSilent)) m.reset();
  return m;
}

void BM_ScreenMemcpy(benchmark::State& state) {
  std::vector<uint32_t> from(kW * kH, 0x123456), to(kW * kH);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), to.size() * 4);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kW * kH * 4);
}
BENCHMARK(BM_ScreenMemcpy);

void BM_ConvertPicture(benchmark::State& state) {
  auto m = OpenSample();
  if (!m || !m->DecodeVideoFrame()) {
    state.SkipWithError("no sample movie");
    return;
  }
  std::vector<uint32_t> screen(kW * kH);
  for (auto _ : state) {
    m->ConvertVideoFrame(screen.data(), kW, kH, kW);
    benchmark::DoNotOptimize(screen.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kW * kH * 4);
}
BENCHMARK(BM_ConvertPicture);

void BM_DecodeAndConvertPicture(benchmark::State& state) {
  auto m = OpenSample();
  if (!m) {
    state.SkipWithError("no sample movie");
    return;
  }
  std::vector<uint32_t> screen(kW * kH);
  for (auto _ : state) {
    if (!m->DecodeVideoFrame()) {
      state.PauseTiming();
      m->Start(0, platform::kVolumeSilent);
      m->DecodeVideoFrame();
      state.ResumeTiming();
    }
    m->ConvertVideoFrame(screen.data(), kW, kH, kW);
    benchmark::DoNotOptimize(screen.data());
  }
  state.counters["share"] = benchmark::Counter(static_cast<double>(state.iterations()) * kFrameSeconds,
                                               benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_DecodeAndConvertPicture);

}  // namespace
