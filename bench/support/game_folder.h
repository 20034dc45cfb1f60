// A game folder of a benchmark's own: the headless host installed, a new
// folder in the temporary directory made the game folder, and removed again
// when the benchmark is done.
#pragma once

#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "platform/files.h"
#include "platform/headless/headless.h"

namespace benchsupport {

class GameFolder {
 public:
  // Marks the benchmark skipped when no folder can be made.
  explicit GameFolder(benchmark::State& state) {
    platform::InstallHeadless().SetBoxEcho(false);
    path_ = (std::filesystem::temp_directory_path() / "zor-bench-XXXXXX").string();
    ok_ = ::mkdtemp(path_.data()) != nullptr;
    if (ok_)
      platform::SetGameFolder(path_);
    else
      state.SkipWithError("no work folder");
  }
  ~GameFolder() {
    std::error_code ignored;
    if (ok_) std::filesystem::remove_all(path_, ignored);
  }
  GameFolder(const GameFolder&) = delete;
  GameFolder& operator=(const GameFolder&) = delete;

  bool Ok() const { return ok_; }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  bool ok_ = false;
};

}  // namespace benchsupport
