// The reference every pixel benchmark is read against: memcpy of the same
// number of bytes, given as the benchmark's argument. A warm copy of a
// screen stays in a large last-level cache, so its time moves from machine
// to machine; ColdMemcpy copies the same number of bytes from memory not in
// cache: each iteration takes the next of as many source and destination
// blocks as make more than twice the last-level cache.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <unistd.h>
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

inline void ColdMemcpy(benchmark::State& state) {
  const size_t bytes = static_cast<size_t>(state.range(0));
  long cache = ::sysconf(_SC_LEVEL3_CACHE_SIZE);
  if (cache <= 0) cache = ::sysconf(_SC_LEVEL2_CACHE_SIZE);
  // 64 MiB when the system does not say.
  const size_t walk = 2 * (cache > 0 ? static_cast<size_t>(cache) : size_t{32} << 20);
  const size_t blocks = walk / bytes + 2;
  std::vector<unsigned char> from(bytes * blocks, 1), to(bytes * blocks, 0);
  size_t next = 0;
  for (auto _ : state) {
    std::memcpy(to.data() + next * bytes, from.data() + next * bytes, bytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
    next = next + 1 == blocks ? 0 : next + 1;
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  state.counters["walked_bytes"] = static_cast<double>(bytes * blocks);
}

}  // namespace benchsupport
