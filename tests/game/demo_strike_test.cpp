// The sample game's strike showcase end to end: two runs show the same
// frames (the boss's trembles and the shakes draw from the generator, which
// each run starts in its first state), and the girl revealed by the moving
// diagonal line with its border (#136) matches zor-effect's render of the
// same start at the same frame within a small tolerance.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "demo_showcase.h"

namespace {

// The showcase's variable and value, its whole length, and a frame of the
// clip line's end state (it runs 20 frames from the first).
constexpr int kShowcaseVar = 200;
constexpr int kStrikes = 3;
constexpr int kFrames = 280;
constexpr int kClipFrame = 30;
// The girl's rectangle and a band around it, each channel within 6.
constexpr demotest::SampleGrid kGirl{280, 220, 280, 380, 10};
constexpr int kTolerance = 6;

TEST(DemoStrikeTest, TheStrikesRepeatTheirFramesAndTheClipLineMatchesTheEffectTool) {
  const demotest::ShowcaseRun first =
      demotest::RunShowcase(kShowcaseVar, kStrikes, kFrames, kClipFrame, kGirl);
  const demotest::ShowcaseRun second =
      demotest::RunShowcase(kShowcaseVar, kStrikes, kFrames, kClipFrame, kGirl);
  EXPECT_EQ(first.boxes, 0);
  ASSERT_EQ(first.hashes.size(), static_cast<size_t>(kFrames));
  EXPECT_EQ(first.hashes, second.hashes);
  // It moves, and the shake and the defeat change the picture frame by frame.
  EXPECT_NE(first.hashes[150], first.hashes[151]);
  EXPECT_NE(first.hashes[kClipFrame], first.hashes[kFrames - 1]);

  const std::string game = ZOR_BINARY_DIR "/demo-game/dwq/";
  const std::string at = "300,240,240,360";
  const std::vector<uint32_t> expected = demotest::EffectToolSamples(
      {"--picture", "0=" + game + "bg/bg01.dwq", "--picture", "4=" + game + "ch/ch01.dwq",
       "--rect", "4,2," + at, "--rect", "4,3," + at, "--rect", "4,5," + at, "--start",
       "4,136,20,300,240,60,-60,0,100,100,0,0,0,0,0,255,255,255,4,100,255,200,120,100,0,0,255,"
       "200,120,0,0,540,600,60,-60",
       "--frames", std::to_string(kClipFrame)},
      kGirl);
  ASSERT_EQ(expected.size(), first.samples.size());
  EXPECT_EQ(demotest::ChannelsOff(expected, first.samples, kTolerance), 0);
}

}  // namespace
