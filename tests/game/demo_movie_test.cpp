// The sample game's movie end to end: the built game folder runs headless
// through the test double from its title; the Movie button plays
// "movie\default.wmv". Two runs show the same frames, which change from
// frame to frame while the movie plays; a frame in the middle of the movie
// matches the stored samples (tests/game/data/demo_movie.txt) within a
// small tolerance; the end is on the debug output; the mix holds the movie's
// tone at the movie volume; a click skips to black and, after the last
// wait, the title.
//
// ZOR_WRITE_EXPECTED=1 writes the samples anew (and the screenshot
// "demo_movie.png" into the test's working folder to look at).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "demo_frames.h"
#include "game/modeflowpart.h"
#include "game/screenpart.h"
#include "game/variablepart.h"
#include "graphics/screenbuffer.h"
#include "mode/printmovie.h"
#include "mode/title.h"
#include "platform/audio.h"
#include "platform/backend.h"
#include "platform/headless/headless.h"
#include "setup/namelist.h"
#include "support/fake_game.h"
#include "support/temp_dir.h"

namespace {

constexpr int kMovieMode = CCommonPrintMovie::kModeNumber;
constexpr int kTitleMode = CCommonTitle::kModeNumber;
// One sample every 40 pixels each way, each colour channel within 6.
constexpr int kStep = 40;
constexpr int kTolerance = 6;
// The frame of the movie whose samples are stored.
constexpr int kSampleFrame = 20;

// The demo with its title on (the double leaves the start-up chain out).
class DemoGame : public testsupport::FakeGame {
 public:
  explicit DemoGame(platform::HeadlessBackend& host) : FakeGame(host) {
    Modes().SetModeDisabled(kTitleMode, 0);
    Modes().CreateMode(kTitleMode);
  }
  void Enter(int n) {
    Modes().SetCurrentMode(n);
    Modes().GetMode(n)->Enter();
  }
};

struct MovieRun {
  std::vector<uint64_t> hashes;  // from the first movie frame
  std::vector<uint32_t> samples;
  std::vector<int16_t> mix;
  std::vector<int> requests;
  int boxes = 0;
  bool complete = false;
  int movieVolume = 0;
  int blackAfterClick = 0;
};

// Clicks Movie on the title and plays; with clickAt >= 0 clicks the movie
// away at that movie frame.
MovieRun RunMovie(int clickAt, const std::string& screenshot) {
  platform::HeadlessBackend& host = platform::InstallHeadless();
  host.SetBoxEcho(false);
  testsupport::TempDir dir;
  std::filesystem::copy(ZOR_BINARY_DIR "/demo-game", dir.path(), std::filesystem::copy_options::recursive);
  CNameList::ResetInit2Check();
  MovieRun run;
  {
    DemoGame game(host);
    host.ClearBoxes();
    host.ClearDebugLines();
    game.Enter(kTitleMode);
    game.RunFrames(40);
    host.InjectMouseMove(400, 550);
    game.RunFrame();
    host.InjectButton(0, true);
    host.InjectButton(0, false);
    for (int i = 0; i < 30 && game.Modes().GetCurrentMode() != kMovieMode; ++i) game.RunFrame();
    EXPECT_EQ(game.Modes().GetCurrentMode(), kMovieMode);
    host.InjectMouseMove(-5, 700);
    platform::Audio()->StartCapture();
    const size_t before = game.ModeRequests().size();
    for (int i = 0; i < 120 && game.ModeRequests().size() == before; ++i) {
      if (i == clickAt) {
        host.InjectMouseMove(400, 300);
        host.InjectButton(0, true);
        host.InjectButton(0, false);
      }
      game.RunFrame();
      run.hashes.push_back(demotest::HashScreen());
      if (i == clickAt && CScreenBuffer::GetBuffer()[300 * 800 + 400] == 0) run.blackAfterClick = 1;
      if (i == kSampleFrame) {
        run.samples = demotest::SampleScreen(kStep);
        if (!screenshot.empty()) game.Screen().GetWindowHandle()->SaveScreenshot(screenshot);
      }
    }
    run.mix = platform::Audio()->StopCapture();
    run.requests.assign(game.ModeRequests().begin() + static_cast<long>(before), game.ModeRequests().end());
    run.movieVolume = game.Vars().GetSystemSetting(203) ? game.Vars().GetSystemSetting(103) : 0;
    run.boxes = static_cast<int>(host.Boxes().size());
    for (const std::string& line : host.DebugLines())
      if (line.find("[EC_COMPLETE]") != std::string::npos) run.complete = true;
  }
  return run;
}

std::string SamplesPath() { return ZOR_SOURCE_DIR "/tests/game/data/demo_movie.txt"; }

TEST(DemoMovieTest, TheMoviePlaysToItsEndAndRepeatsExactly) {
  const bool update = std::getenv("ZOR_WRITE_EXPECTED") != nullptr;
  const MovieRun first = RunMovie(-1, update ? (std::filesystem::current_path() / "demo_movie.png").string() : "");
  const MovieRun second = RunMovie(-1, "");
  EXPECT_EQ(first.boxes, 0);
  EXPECT_EQ(first.hashes, second.hashes);
  EXPECT_TRUE(first.complete);
  EXPECT_EQ(first.requests, (std::vector<int>{kTitleMode}));
  // 3 s of movie at one picture a game frame: every frame differs from the
  // one before while it plays.
  ASSERT_GE(first.hashes.size(), 60u);
  for (int i = 2; i < 55; ++i) EXPECT_NE(first.hashes[i], first.hashes[i - 1]) << i;

  // The tone: 8192 at full level, at the movie volume (level x 100 - 10000
  // hundredths of a decibel), over the middle second.
  const double expected = 8192 * platform::VolumeToGain(first.movieVolume * 100 - 10000);
  int peak = 0;
  ASSERT_GE(first.mix.size(), 2u * 44100 * 2);
  for (size_t i = 2 * 44100 / 2; i < 2 * 44100 * 3 / 2; ++i) peak = std::max(peak, std::abs(int{first.mix[i]}));
  EXPECT_NEAR(peak, expected, expected * 0.1 + 2);

  if (update)
    demotest::WriteSamples(SamplesPath(),
                           "The sample movie's frame " + std::to_string(kSampleFrame) +
                               ": one 0xRRGGBB sample every " + std::to_string(kStep) +
                               " pixels, row by row.",
                           first.samples, 800 / kStep);
  const std::vector<uint32_t> samples = demotest::ReadSamples(SamplesPath());
  ASSERT_EQ(samples.size(), first.samples.size()) << SamplesPath();
  EXPECT_EQ(demotest::ChannelsOff(samples, first.samples, kTolerance), 0);
}

TEST(DemoMovieTest, AClickSkipsToBlackAndTheTitle) {
  const MovieRun run = RunMovie(10, "");
  EXPECT_EQ(run.blackAfterClick, 1);
  EXPECT_FALSE(run.complete);
  EXPECT_EQ(run.requests, (std::vector<int>{kTitleMode}));
  // The click's frame, then the last wait of 5 frames.
  EXPECT_EQ(run.hashes.size(), 10u + 1 + 5);
}

}  // namespace
