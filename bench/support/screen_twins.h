// Benchmarks run at two screen sizes in one binary. ZOR_SCREEN_BENCHMARK(fn)
// registers `fn` as BENCHMARK would, at 800 x 600, and a twin named
// "1920x1080/fn" that runs it with the screen size at 1920 x 1080; the
// benchmark reads the size of its run from ScreenW() and ScreenH(). Arg,
// Args and Unit apply to both. The ratio tables read a twin against the
// copy of a 1920 x 1080 screen from memory not in cache.
#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace benchsupport {

// The name prefix of the 1920 x 1080 twins.
inline constexpr const char* kLargeScreenPrefix = "1920x1080/";

struct ScreenSize {
  int w = 800, h = 600;
};

inline ScreenSize& CurrentScreen() {
  static ScreenSize size;
  return size;
}
inline int ScreenW() { return CurrentScreen().w; }
inline int ScreenH() { return CurrentScreen().h; }
inline size_t ScreenBytes() { return size_t{4} * static_cast<size_t>(ScreenW()) * ScreenH(); }

class ScreenTwins {
 public:
  using Function = void (*)(benchmark::State&);

  static ScreenTwins* Register(const std::string& name, Function fn) {
    auto* twins = new ScreenTwins;
    twins->small_ = benchmark::RegisterBenchmark(name.c_str(), fn);
    twins->large_ = benchmark::RegisterBenchmark(
        (kLargeScreenPrefix + name).c_str(), [fn](benchmark::State& state) {
          CurrentScreen() = {1920, 1080};
          fn(state);
          CurrentScreen() = {};
        });
    return twins;
  }
  ScreenTwins* Arg(int64_t x) {
    small_->Arg(x);
    large_->Arg(x);
    return this;
  }
  ScreenTwins* Args(const std::vector<int64_t>& args) {
    small_->Args(args);
    large_->Args(args);
    return this;
  }
  ScreenTwins* Unit(benchmark::TimeUnit unit) {
    small_->Unit(unit);
    large_->Unit(unit);
    return this;
  }

 private:
  benchmark::internal::Benchmark* small_ = nullptr;
  benchmark::internal::Benchmark* large_ = nullptr;
};

}  // namespace benchsupport

#define ZOR_SCREEN_TWINS_CONCAT2(a, b) a##b
#define ZOR_SCREEN_TWINS_CONCAT(a, b) ZOR_SCREEN_TWINS_CONCAT2(a, b)
#define ZOR_SCREEN_TWINS_NAME ZOR_SCREEN_TWINS_CONCAT(zorScreenTwins_, __LINE__)

#define ZOR_SCREEN_BENCHMARK(fn)                                               \
  [[maybe_unused]] static ::benchsupport::ScreenTwins* ZOR_SCREEN_TWINS_NAME = \
      ::benchsupport::ScreenTwins::Register(#fn, fn)

// As BENCHMARK_CAPTURE: `fn(state, ...)` named "fn/name".
#define ZOR_SCREEN_BENCHMARK_CAPTURE(fn, name, ...)                                  \
  [[maybe_unused]] static ::benchsupport::ScreenTwins* ZOR_SCREEN_TWINS_NAME =       \
      ::benchsupport::ScreenTwins::Register(                                          \
          #fn "/" #name, [](::benchmark::State& state) { fn(state, __VA_ARGS__); })
