// The reference every pixel benchmark is read against: memcpy of the same
// number of bytes, given as the benchmark's argument.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace benchsupport {

inline void Memcpy(benchmark::State& state) {
  const size_t bytes = static_cast<size_t>(state.range(0));
  std::vector<unsigned char> from(bytes, 1), to(bytes);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

}  // namespace benchsupport
