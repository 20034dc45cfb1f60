// A benchmark whose optional input is not on this machine (the photographs a
// script installs) ends with SkipUnavailable: the run shows why, and the
// benchmark main does not count it as a failure as it does other errors.
#pragma once

#include <benchmark/benchmark.h>

#include <string>

namespace benchsupport {

inline constexpr const char* kUnavailable = "unavailable: ";

inline void SkipUnavailable(benchmark::State& state, const std::string& why) {
  state.SkipWithError((kUnavailable + why).c_str());
}

}  // namespace benchsupport
