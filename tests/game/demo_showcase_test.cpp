// The sample game's effect showcase end to end: the built game folder runs
// headless through the test double, which starts a new game with the
// showcase's variable set. Two runs of the whole showcase show the same
// frames (the interference bands draw random numbers: each run starts from
// the generator's first state, as a fresh process does), and the girl after
// her change of expression matches zor-effect's render of the same start
// (the same pictures, rectangles and effects) within a small tolerance.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "effectrunner.h"
#include "demo_frames.h"
#include "graphics/screenbuffer.h"
#include "platform/headless/headless.h"
#include "setup/namelist.h"
#include "setup/random.h"
#include "support/fake_game.h"
#include "support/temp_dir.h"

namespace {

// The showcase's variable, its whole length (the haze starts near frame
// 280), and the frame that shows the change of expression done (it runs 20
// frames from the first).
constexpr int kShowcaseVar = 200;
constexpr int kFrames = 420;
constexpr int kChangedFrame = 30;
// The girl's rectangle, sampled every 12 pixels, each channel within 6.
constexpr int kLeft = 300, kTop = 240, kWidth = 240, kHeight = 360, kStep = 12;
constexpr int kTolerance = 6;

std::vector<uint32_t> GirlSamples(const std::function<uint32_t(int, int)>& pixel) {
  std::vector<uint32_t> out;
  for (int y = kTop + kStep / 2; y < kTop + kHeight; y += kStep)
    for (int x = kLeft + kStep / 2; x < kLeft + kWidth; x += kStep) out.push_back(pixel(x, y) & 0xFFFFFF);
  return out;
}

struct ShowcaseRun {
  std::vector<uint64_t> hashes;
  std::vector<uint32_t> changed;  // the girl at kChangedFrame
  int boxes = 0;
};

ShowcaseRun RunShowcase(int frames) {
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
    game.StartNewGame(0, 0, kShowcaseVar, 1);
    for (int i = 1; i <= frames; ++i) {
      game.RunFrame();
      run.hashes.push_back(demotest::HashScreen());
      if (i == kChangedFrame)
        run.changed = GirlSamples([](int x, int y) {
          return CScreenBuffer::GetBuffer()[y * CScreenBuffer::GetWidth() + x];
        });
    }
    run.boxes = static_cast<int>(host.Boxes().size());
  }
  return run;
}

// zor-effect on the same start: the hill on channel 0, the girl on 4, her
// second face held on 13, the change over 20 frames; probes of the girl.
std::vector<uint32_t> EffectToolSamples() {
  platform::HeadlessBackend& host = platform::InstallHeadless();
  host.SetBoxEcho(false);
  const std::string game = ZOR_BINARY_DIR "/demo-game/dwq/";
  const std::string at = "300,240,240,360";
  std::vector<std::string> args = {"--picture", "0=" + game + "bg/bg01.dwq",
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
  for (int y = kTop + kStep / 2; y < kTop + kHeight; y += kStep)
    for (int x = kLeft + kStep / 2; x < kLeft + kWidth; x += kStep)
      args.insert(args.end(), {"--probe", std::to_string(x) + "," + std::to_string(y)});
  std::ostringstream out, err;
  EXPECT_EQ(effecttool::RunEffectTool(args, out, err, &host), 0) << err.str();
  std::vector<uint32_t> samples;
  std::istringstream lines(out.str());
  std::string word, where, colour;
  while (lines >> word >> where >> colour)
    if (word == "probe") samples.push_back(static_cast<uint32_t>(std::stoul(colour, nullptr, 16)));
  return samples;
}

TEST(DemoShowcaseTest, TheShowcaseRepeatsItsFramesAndItsChangeOfExpressionMatchesTheEffectTool) {
  const ShowcaseRun first = RunShowcase(kFrames);
  const ShowcaseRun second = RunShowcase(kFrames);
  EXPECT_EQ(first.boxes, 0);
  ASSERT_EQ(first.hashes.size(), static_cast<size_t>(kFrames));
  EXPECT_EQ(first.hashes, second.hashes);
  // The showcase moves: its frames are not all alike.
  EXPECT_NE(first.hashes[kChangedFrame - 1], first.hashes[kFrames - 1]);

  const std::vector<uint32_t> expected = EffectToolSamples();
  ASSERT_EQ(expected.size(), first.changed.size());
  EXPECT_EQ(demotest::ChannelsOff(expected, first.changed, kTolerance), 0);
  // The new face shows: the girl's pixels are not those of the first
  // frame's render of the old one only.
  EXPECT_NE(first.hashes[0], first.hashes[kChangedFrame - 1]);
}

}  // namespace
