// Two pieces of work timed in turn in one benchmark: each iteration runs the
// reference and the subject back to back, the benchmark's own time is the
// subject's, and "ratio" is the median over the iterations of the subject's
// time over the reference's time of the same iteration. Taking the ratio
// pair by pair lets a busy spell of the machine slow both sides of a pair
// alike instead of shifting one median; "reference_us" is the median
// reference time. Both sides run a few times untimed first, so neither pays
// the first touch of its pages or a cold cache in the timed pairs.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace benchsupport {

// Repetitions a paired benchmark asks for: its reported figure is the
// median of these.
constexpr int kPairedRepetitions = 7;

template <typename Reference, typename Subject>
void TimePair(benchmark::State& state, Reference reference, Subject subject) {
  using Clock = std::chrono::steady_clock;
  for (int warm = 0; warm < 3; ++warm) {
    reference();
    subject();
  }
  benchmark::ClobberMemory();
  std::vector<double> refs, ratios;
  bool referenceFirst = true;
  for (auto _ : state) {
    // The order turns every iteration, so neither side always finds the
    // caches as the other left them.
    auto timed = [](auto& work) {
      const auto a = Clock::now();
      work();
      benchmark::ClobberMemory();
      return std::chrono::duration<double>(Clock::now() - a).count();
    };
    double ref, sub;
    if (referenceFirst) {
      ref = timed(reference);
      sub = timed(subject);
    } else {
      sub = timed(subject);
      ref = timed(reference);
    }
    referenceFirst = !referenceFirst;
    refs.push_back(ref);
    if (ref > 0) ratios.push_back(sub / ref);
    state.SetIterationTime(sub);
  }
  if (refs.empty()) return;
  auto median = [](std::vector<double>& v) {
    if (v.empty()) return 0.0;
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
    return v[v.size() / 2];
  };
  state.counters["reference_us"] = median(refs) * 1e6;
  state.counters["ratio"] = median(ratios);
}

}  // namespace benchsupport
