// zor-effect's samples of a grid of the screen for a start given as its
// arguments, beside a showcase run (demo_frames.h).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "demo_frames.h"
#include "effectrunner.h"
#include "platform/headless/headless.h"

namespace demotest {

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
