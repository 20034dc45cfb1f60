// Two pieces of work timed in turn in one benchmark: each iteration runs the
// reference and the subject, the benchmark's own time is the
// subject's, and "ratio" is the median subject time over the median
// reference time of the same run (so a busy machine slows both alike).
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace benchsupport {

template <typename Reference, typename Subject>
void TimePair(benchmark::State& state, Reference reference, Subject subject) {
  using Clock = std::chrono::steady_clock;
  std::vector<double> refs, subjects;
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
    subjects.push_back(sub);
    state.SetIterationTime(sub);
  }
  if (refs.empty()) return;
  auto median = [](std::vector<double>& v) {
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
    return v[v.size() / 2];
  };
  const double ref = median(refs), sub = median(subjects);
  state.counters["reference_us"] = ref * 1e6;
  state.counters["ratio"] = ref > 0 ? sub / ref : 0;
}

}  // namespace benchsupport
