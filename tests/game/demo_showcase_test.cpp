// The sample game's effect showcase end to end: the built game folder runs
// headless through the test double, which starts a new game with the
// showcase's variable set. Two runs of the whole showcase show the same
// frames (the interference bands draw random numbers: each run starts from
// the generator's first state, as a fresh process does), and the girl after
// her change of expression matches zor-effect's render of the same start
// (the same pictures, rectangles and effects) within a small tolerance.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "demo_showcase.h"

namespace {

// The showcase's variable, its whole length (the haze starts near frame
// 280), and the frame that shows the change of expression done (it runs 20
// frames from the first).
constexpr int kShowcaseVar = 200;
constexpr int kFrames = 420;
constexpr int kChangedFrame = 30;
// The girl's rectangle, sampled every 12 pixels, each channel within 6.
constexpr demotest::SampleGrid kGirl{300, 240, 240, 360, 12};
constexpr int kTolerance = 6;

// zor-effect on the same start: the hill on channel 0, the girl on 4, her
// second face held on 13, the change over 20 frames; probes of the girl.
std::vector<uint32_t> EffectToolSamples() {
  const std::string game = ZOR_BINARY_DIR "/demo-game/dwq/";
  const std::string at = "300,240,240,360";
  const std::vector<std::string> args = {"--picture", "0=" + game + "bg/bg01.dwq",
                                   "--picture", "4=" + game + "ch/ch01.dwq",
                                   "--rect",    "4,2," + at,
                                   "--rect",    "4,3," + at,
                                   "--rect",    "4,5," + at,
                                   "--picture", "13=" + game + "ch/ch02.dwq",
                                   "--rect",    "13,2," + at,
                                   "--rect",    "13,3," + at,
                                   "--rect",    "13,5," + at,
                                   "--start",   "13,66",
                                   "--start",   "4,40,20,13",
                                   "--frames",  std::to_string(kChangedFrame)};
  return demotest::EffectToolSamples(args, kGirl);
}

TEST(DemoShowcaseTest, TheShowcaseRepeatsItsFramesAndItsChangeOfExpressionMatchesTheEffectTool) {
  const demotest::ShowcaseRun first =
      demotest::RunShowcase(kShowcaseVar, 1, kFrames, kChangedFrame, kGirl);
  const demotest::ShowcaseRun second =
      demotest::RunShowcase(kShowcaseVar, 1, kFrames, kChangedFrame, kGirl);
  EXPECT_EQ(first.boxes, 0);
  ASSERT_EQ(first.hashes.size(), static_cast<size_t>(kFrames));
  EXPECT_EQ(first.hashes, second.hashes);
  // The showcase moves: its frames are not all alike.
  EXPECT_NE(first.hashes[kChangedFrame - 1], first.hashes[kFrames - 1]);

  const std::vector<uint32_t> expected = EffectToolSamples();
  ASSERT_EQ(expected.size(), first.samples.size());
  EXPECT_EQ(demotest::ChannelsOff(expected, first.samples, kTolerance), 0);
  // The new face shows: the girl's pixels are not those of the first
  // frame's render of the old one only.
  EXPECT_NE(first.hashes[0], first.hashes[kChangedFrame - 1]);
}

}  // namespace
