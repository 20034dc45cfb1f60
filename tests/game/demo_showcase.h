// What the sample game's showcase tests share: a new game run headless from
// the built game folder with the showcase variable set, hashing every frame
// and sampling a grid of the screen at one frame, and zor-effect's samples
// of the same grid for a start given as its arguments.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "demo_frames.h"
#include "effectrunner.h"
#include "graphics/screenbuffer.h"
#include "platform/headless/headless.h"
#include "setup/namelist.h"
#include "setup/random.h"
#include "support/fake_game.h"
#include "support/temp_dir.h"

namespace demotest {

// Points (left + step / 2 + i step, top + step / 2 + j step) inside the box.
struct SampleGrid {
  int left, top, width, height, step;
  template <typename F>
  void ForEach(F f) const {
    for (int y = top + step / 2; y < top + height; y += step)
      for (int x = left + step / 2; x < left + width; x += step) f(x, y);
  }
};

struct ShowcaseRun {
  std::vector<uint64_t> hashes;
  std::vector<uint32_t> samples;  // the grid at the sample frame
  int boxes = 0;
};

// A new game with variable `var` set to `value`, `frames` frames long.
inline ShowcaseRun RunShowcase(int var, int value, int frames, int sampleFrame,
                               const SampleGrid& grid) {
  platform::HeadlessBackend& host = platform::InstallHeadless();
  host.SetBoxEcho(false);
  testsupport::TempDir dir;
  std::filesystem::copy(ZOR_BINARY_DIR "/demo-game", dir.path(),
                        std::filesystem::copy_options::recursive);
  CNameList::ResetInit2Check();
  crt::ResetRandom();
  ShowcaseRun run;
  {
    testsupport::FakeGame game(host);
    host.ClearBoxes();
    game.StartNewGame(0, 0, var, value);
    for (int i = 1; i <= frames; ++i) {
      game.RunFrame();
      run.hashes.push_back(HashScreen());
      if (i == sampleFrame)
        grid.ForEach([&](int x, int y) {
          run.samples.push_back(CScreenBuffer::GetBuffer()[y * CScreenBuffer::GetWidth() + x] &
                                0xFFFFFF);
        });
    }
    run.boxes = static_cast<int>(host.Boxes().size());
  }
  return run;
}

// zor-effect with `args`, probing the grid.
inline std::vector<uint32_t> EffectToolSamples(std::vector<std::string> args,
                                               const SampleGrid& grid) {
  platform::HeadlessBackend& host = platform::InstallHeadless();
  host.SetBoxEcho(false);
  grid.ForEach([&](int x, int y) {
    args.insert(args.end(), {"--probe", std::to_string(x) + "," + std::to_string(y)});
  });
  std::ostringstream out, err;
  EXPECT_EQ(effecttool::RunEffectTool(args, out, err, &host), 0) << err.str();
  std::vector<uint32_t> samples;
  std::istringstream lines(out.str());
  std::string word, where, colour;
  while (lines >> word >> where >> colour)
    if (word == "probe") samples.push_back(static_cast<uint32_t>(std::stoul(colour, nullptr, 16)));
  return samples;
}

}  // namespace demotest
