// The sample game's first scene end to end: the built game folder runs
// headless through the test double, which starts a new game as the start-up
// mode does, for 40 frames. Two runs show the same frames, the scene's
// music is asked for, and the last frame matches the stored samples of the
// scene (tests/game/data/demo_scene1.txt) within a small tolerance.
//
// ZOR_WRITE_EXPECTED=1 writes the samples anew (and the screenshot
// "demo_scene1.png" into the test's working folder to look at).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "demo_frames.h"
#include "game/modeflowpart.h"
#include "game/screenpart.h"
#include "graphics/screenbuffer.h"
#include "platform/backend.h"
#include "platform/headless/headless.h"
#include "setup/namelist.h"
#include "support/fake_game.h"
#include "support/temp_dir.h"

namespace {

constexpr int kFrames = 70;
// One sample every 40 pixels each way, each colour channel within 6.
constexpr int kStep = 40;
constexpr int kTolerance = 6;
// The name entry's OK button in the sample game.
constexpr int kOkX = 320, kOkY = 356;

struct SceneRun {
  std::vector<uint64_t> hashes;
  std::vector<uint32_t> samples;
  std::vector<std::string> sounds;
  int boxes = 0;
};

SceneRun RunScene(const std::string& screenshot) {
  platform::HeadlessBackend& host = platform::InstallHeadless();
  host.SetBoxEcho(false);
  testsupport::TempDir dir;
  std::filesystem::copy(ZOR_BINARY_DIR "/demo-game", dir.path(), std::filesystem::copy_options::recursive);
  CNameList::ResetInit2Check();
  SceneRun run;
  {
    testsupport::FakeGame game(host);
    host.ClearBoxes();
    // What the start-up mode does for "New game".
    game.Modes().StartNewGame(0, 0, -1, 0);
    // The scene opens the name entry first: OK keeps the names (family,
    // then given).
    for (int i = 0; i < kFrames; ++i) {
      if (i == 10 || i == 20) {
        host.InjectMouseMove(kOkX, kOkY);
        host.InjectButton(0, true);
        host.InjectButton(0, false);
      }
      game.RunFrame();
      run.hashes.push_back(demotest::HashScreen());
    }
    run.samples = demotest::SampleScreen(kStep);
    run.sounds = game.Sounds();
    run.boxes = static_cast<int>(host.Boxes().size());
    if (!screenshot.empty()) game.Screen().GetWindowHandle()->SaveScreenshot(screenshot);
  }
  return run;
}

std::string SamplesPath() { return ZOR_SOURCE_DIR "/tests/game/data/demo_scene1.txt"; }

TEST(DemoSceneTest, TheFirstSceneShowsTheSameFramesAndItsPicture) {
  const bool update = std::getenv("ZOR_WRITE_EXPECTED") != nullptr;
  const SceneRun first = RunScene(update ? (std::filesystem::current_path() / "demo_scene1.png").string() : "");
  const SceneRun second = RunScene("");
  EXPECT_EQ(first.boxes, 0);
  EXPECT_EQ(first.hashes, second.hashes);
  ASSERT_FALSE(first.sounds.empty());
  EXPECT_EQ(first.sounds[0].rfind("PlayBgmNumber 0", 0), 0u) << first.sounds[0];

  if (update)
    demotest::WriteSamples(SamplesPath(),
                           "The sample scene's last frame: one 0xRRGGBB sample every " +
                               std::to_string(kStep) + " pixels, row by row.",
                           first.samples, 800 / kStep);
  const std::vector<uint32_t> expected = demotest::ReadSamples(SamplesPath());
  ASSERT_EQ(expected.size(), first.samples.size());
  EXPECT_EQ(demotest::ChannelsOff(expected, first.samples, kTolerance), 0);
}

}  // namespace
