// The sample game's first scene end to end: the built game folder runs
// headless through the test double, which starts a new game as the start-up
// mode does, for 40 frames. Two runs show the same frames, the scene's
// music is asked for, and the last frame matches the stored samples of the
// scene (tests/game/data/demo_scene1.txt) within a small tolerance.
//
// ZOR_UPDATE_EXPECTED=1 writes the samples anew (and the screenshot
// "demo_scene1.png" into the test's working folder to look at).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "graphics/screenbuffer.h"
#include "platform/backend.h"
#include "platform/headless/headless.h"
#include "setup/namelist.h"
#include "support/fake_game.h"
#include "support/temp_dir.h"

namespace {

constexpr int kFrames = 40;
// One sample every 40 pixels each way, each colour channel within 6.
constexpr int kStep = 40;
constexpr int kTolerance = 6;

struct SceneRun {
  std::vector<uint64_t> hashes;
  std::vector<uint32_t> samples;
  std::vector<std::string> sounds;
  int boxes = 0;
};

uint64_t HashScreen() {
  uint64_t h = 1469598103934665603ull;
  const uint32_t* p = CScreenBuffer::GetBuffer();
  const int n = CScreenBuffer::GetWidth() * CScreenBuffer::GetHeight();
  for (int i = 0; i < n; ++i) h = (h ^ p[i]) * 1099511628211ull;
  return h;
}

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
    game.StartNewGame(0, 0, -1, 0);
    for (int i = 0; i < kFrames; ++i) {
      game.RunFrame();
      run.hashes.push_back(HashScreen());
    }
    const uint32_t* p = CScreenBuffer::GetBuffer();
    for (int y = kStep / 2; y < CScreenBuffer::GetHeight(); y += kStep)
      for (int x = kStep / 2; x < CScreenBuffer::GetWidth(); x += kStep)
        run.samples.push_back(p[y * CScreenBuffer::GetWidth() + x] & 0xFFFFFF);
    run.sounds = game.Sounds();
    run.boxes = static_cast<int>(host.Boxes().size());
    if (!screenshot.empty()) game.GetWindowHandle()->SaveScreenshot(screenshot);
  }
  return run;
}

std::string SamplesPath() { return ZOR_SOURCE_DIR "/tests/game/data/demo_scene1.txt"; }

TEST(DemoSceneTest, TheFirstSceneShowsTheSameFramesAndItsPicture) {
  const bool update = std::getenv("ZOR_UPDATE_EXPECTED") != nullptr;
  const SceneRun first = RunScene(update ? (std::filesystem::current_path() / "demo_scene1.png").string() : "");
  const SceneRun second = RunScene("");
  EXPECT_EQ(first.boxes, 0);
  EXPECT_EQ(first.hashes, second.hashes);
  ASSERT_FALSE(first.sounds.empty());
  EXPECT_EQ(first.sounds[0].rfind("PlayBgmNumber 0", 0), 0u) << first.sounds[0];

  if (update) {
    std::ofstream out(SamplesPath());
    out << "# The sample scene's last frame: one 0xRRGGBB sample every " << kStep
        << " pixels, row by row.\n";
    for (size_t i = 0; i < first.samples.size(); ++i) {
      char text[16];
      std::snprintf(text, sizeof text, "%06X", first.samples[i]);
      out << text << ((i + 1) % (800 / kStep) ? " " : "\n");
    }
  }
  std::ifstream in(SamplesPath());
  ASSERT_TRUE(in) << SamplesPath();
  std::vector<uint32_t> expected;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    std::string word;
    while (words >> word) expected.push_back(static_cast<uint32_t>(std::stoul(word, nullptr, 16)));
  }
  ASSERT_EQ(expected.size(), first.samples.size());
  int off = 0;
  for (size_t i = 0; i < expected.size(); ++i)
    for (int shift : {0, 8, 16}) {
      const int a = (expected[i] >> shift) & 0xFF, b = (first.samples[i] >> shift) & 0xFF;
      if (std::abs(a - b) > kTolerance) ++off;
    }
  EXPECT_EQ(off, 0);
}

}  // namespace
