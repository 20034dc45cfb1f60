// A minute of music (a chord with a little noise, so the encoder spends a
// music-like bit rate on it) played on a music stream while the virtual
// clock runs a minute on: the worker decodes every half as it comes due.
// Reported as a fraction of real time (0.01 = one percent of a core while
// music plays). The reference decodes the same stream whole in memory.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/headless/headless.h"
#include "sound/bgmstream.h"
#include "sound/oggdecoder.h"
#include "soundwriter.h"

namespace {

constexpr int kSeconds = 60;
constexpr int kRate = 44100;

platform::HeadlessBackend* g_host = nullptr;
std::vector<uint8_t> g_ogg;

bool Prepare() {
  static bool ready = false;
  if (ready) return true;
  g_host = &platform::InstallHeadless();
  g_host->SetBoxEcho(false);
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "zor-bench-music";
  std::filesystem::create_directories(folder / "wgq");
  platform::SetGameFolder(folder.string());
  platform::WavData wav;
  wav.format = {2, kRate, 16};
  wav.pcm.reserve(static_cast<size_t>(kSeconds) * kRate * 4);
  uint32_t noise = 12345;
  const double kPi = 3.14159265358979323846;
  for (int i = 0; i < kSeconds * kRate; ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double bar = std::floor(t / 2);  // the chord changes every 2 s
    for (int c = 0; c < 2; ++c) {
      noise = noise * 1664525u + 1013904223u;
      double v = 0;
      for (int k = 0; k < 4; ++k) v += 0.12 * std::sin(2 * kPi * (220.0 + 55.0 * k + 11.0 * bar + c) * t);
      v += 0.05 * (static_cast<double>(noise >> 8) / 16777216.0 - 0.5);
      const auto s = static_cast<uint16_t>(static_cast<int16_t>(std::lround(v * 32767)));
      wav.pcm.push_back(static_cast<uint8_t>(s & 0xFF));
      wav.pcm.push_back(static_cast<uint8_t>(s >> 8));
    }
  }
  std::string error;
  if (!soundtool::EncodeVorbis(wav, 0.4f, &g_ogg, &error)) return false;
  const std::vector<uint8_t> file = soundtool::MakeMusicImage('2', g_ogg);
  ready = platform::WriteWholeFile("wgq\\minute.wgq", file.data(), file.size());
  return ready;
}

void Report(benchmark::State& state) {
  // Real seconds spent per second of music.
  state.counters["fraction_of_real_time"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kSeconds,
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_StreamOneMinute(benchmark::State& state) {
  if (!Prepare()) {
    state.SkipWithError("cannot make the music file");
    return;
  }
  CBgmStream stream(platform::Audio().get(), 0);
  for (auto _ : state) {
    if (!stream.Play("minute", 1, 0, 0)) {
      state.SkipWithError("the music does not play");
      return;
    }
    // Notifications once a second; each step waits until the worker is done.
    for (int ms = 0; ms < kSeconds * 1000; ms += 100) {
      g_host->AdvanceClock(100);
      stream.UpdatePlayCount();
    }
    stream.Stop(0, 0);
  }
  Report(state);
}
BENCHMARK(BM_StreamOneMinute)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DecodeWholeInMemory(benchmark::State& state) {
  if (!Prepare()) {
    state.SkipWithError("cannot make the music file");
    return;
  }
  std::vector<uint8_t> pcm(static_cast<size_t>(kSeconds) * kRate * 4 + 65536);
  COggDecoder decoder;
  for (auto _ : state) {
    const int n = decoder.Decode(g_ogg.data(), static_cast<int>(g_ogg.size()), pcm.data(),
                                 static_cast<int>(pcm.size()));
    benchmark::DoNotOptimize(n);
  }
  Report(state);
}
BENCHMARK(BM_DecodeWholeInMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
