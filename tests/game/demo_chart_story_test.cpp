// The sample story's branches through the flow chart end to end: a new
// game of the built sample with the chart showcase (variable 200 = 5) runs
// headless with one input script. Node 1's scene, the first chart (node 1
// reached, its successors pulsing), a click on node 2, its scene, the chart
// again, a click on node 1, OK in the dialog, and node 1's scene again.
// Checks: the first chart and the scene after the jump against the stored
// samples (tests/game/data/demo_chart_story.txt) within a tolerance, the
// scene after the jump equal to the first visit's, the slot files of the
// nodes reached and their seen marks in "mita.dat", and the same frames in
// two runs.
//
// ZOR_WRITE_EXPECTED=1 writes the samples anew (and the screenshots
// "chart_story_*.png" into the test's working folder to look at).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "chart_game.h"
#include "demo_frames.h"
#include "game/modeflowpart.h"
#include "game/screenpart.h"
#include "game/variablepart.h"
#include "graphics/screenbuffer.h"
#include "platform/files.h"
#include "platform/headless/headless.h"
#include "setup/namelist.h"
#include "setup/random.h"
#include "support/fake_game.h"
#include "support/temp_dir.h"

namespace {

constexpr int kShowcaseVar = 200, kChartShowcase = 5;
constexpr int kStep = 40;
constexpr int kTolerance = 6;

// Node 1 at (460, 120) and node 2 at (340, 320) on the first chart, 20
// pixels higher on the second (centred on node 2); the
// dialog's OK at (266 .. 386, 250 .. 282).
struct Input {
  int frame;
  int x, y;
};
constexpr Input kClicks[] = {
    {60, 400, 500},   // node 1's text read: the chart
    {140, 340, 320},  // node 2
    {220, 400, 500},  // node 2's text read: the chart again
    {300, 460, 100},  // node 1 (the chart scrolled by 20): far, the dialog asks
    {330, 320, 265},  // OK
};
// After OK the pointer goes back to the corner where it stood during node
// 1's first visit, so the two scenes can be compared sample for sample.
constexpr int kPointerBack = 340;
constexpr int kFrames = 420;
// The frames whose screen is kept: node 1's scene, the first chart, node
// 2's scene, the dialog and node 1's scene after the jump.
constexpr int kShots[] = {55, 135, 215, 325, 415};
constexpr const char* kShotNames[] = {"node1", "chart", "node2", "dialog", "jump"};

// The double with the game's own variable names, and mode 34 made again
// under them.
class StoryGame : public charttest::ChartGame {
 public:
  explicit StoryGame(platform::HeadlessBackend& host)
      : ChartGame(host, 800, 600, [this](GameParts& p) { p.vars = std::make_unique<GameNames>(p, *this); }) {}

 private:
  class GameNames : public testsupport::RecordingVariables {
   public:
    using RecordingVariables::RecordingVariables;
    int GetVarNumber(const char* name) override { return CVariablePart::GetVarNumber(name); }
  };
};

// The text rows of the message window, (40, 465) to (740, 560).
uint64_t TextRows() {
  const uint32_t* p = CScreenBuffer::GetBuffer();
  const int w = CScreenBuffer::GetWidth();
  uint64_t hash = 1469598103934665603ull;
  for (int y = 465; y < 560; ++y)
    for (int x = 40; x < 740; ++x) hash = (hash ^ (p[y * w + x] & 0xFFFFFF)) * 1099511628211ull;
  return hash;
}

struct StoryRun {
  std::vector<uint64_t> hashes;
  std::vector<std::vector<uint32_t>> shots;
  // Per shot: the message window's text rows (the samples pass between
  // them).
  std::vector<uint64_t> texts;
  int boxes = 0;
  std::vector<std::string> slotFiles;
  std::string seen;
};

StoryRun RunStory(bool keepScreenshots) {
  platform::HeadlessBackend& host = platform::InstallHeadless();
  host.SetBoxEcho(false);
  testsupport::TempDir dir;
  std::filesystem::copy(ZOR_BINARY_DIR "/demo-game", dir.path(), std::filesystem::copy_options::recursive);
  CNameList::ResetInit2Check();
  crt::ResetRandom();
  StoryRun run;
  {
    StoryGame game(host);
    game.Remake();
    host.ClearBoxes();
    game.Modes().StartNewGame(0, 0, kShowcaseVar, kChartShowcase);
    size_t click = 0, shot = 0;
    for (int i = 1; i <= kFrames; ++i) {
      if (click < std::size(kClicks) && kClicks[click].frame == i) {
        host.InjectMouseMove(kClicks[click].x, kClicks[click].y);
        host.InjectButton(0, true);
        host.InjectButton(0, false);
        ++click;
      }
      if (i == kPointerBack) host.InjectMouseMove(0, 0);
      game.RunFrame();
      run.hashes.push_back(demotest::HashScreen());
      if (shot < std::size(kShots) && kShots[shot] == i) {
        run.shots.push_back(demotest::SampleScreen(kStep));
        run.texts.push_back(TextRows());
        if (keepScreenshots)
          game.Screen().GetWindowHandle()->SaveScreenshot(
              (std::filesystem::current_path() / ("chart_story_" + std::string(kShotNames[shot]) + ".png"))
                  .string());
        ++shot;
      }
    }
    run.boxes = static_cast<int>(host.Boxes().size());
  }
  // Written as the game ends.
  run.slotFiles = platform::ListFolder("sav\\chart1");
  platform::ReadWholeFile("sav\\mita.dat", &run.seen);
  return run;
}

std::string SamplesPath() { return ZOR_SOURCE_DIR "/tests/game/data/demo_chart_story.txt"; }

TEST(DemoChartStoryTest, BranchPlayAndJumpBack) {
  const bool update = std::getenv("ZOR_WRITE_EXPECTED") != nullptr;
  const StoryRun first = RunStory(update);
  const StoryRun second = RunStory(false);
  EXPECT_EQ(first.boxes, 0);
  EXPECT_EQ(first.hashes, second.hashes);
  ASSERT_EQ(first.shots.size(), std::size(kShots));

  // The scene after the jump is node 1's scene as it was.
  EXPECT_EQ(demotest::ChannelsOff(first.shots[0], first.shots[4], 0), 0);
  EXPECT_NE(first.shots[1], first.shots[0]);  // the chart is no scene
  EXPECT_NE(first.texts[2], first.texts[0]);  // node 2's text is another

  // Slot files of the nodes reached: 1 and 2, then 1 again.
  std::vector<std::string> files = first.slotFiles;
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"slot1.dat", "slot2.dat"}));
  ASSERT_GE(first.seen.size(), 5u);
  EXPECT_NE(first.seen[1], 0);
  EXPECT_NE(first.seen[2], 0);
  EXPECT_EQ(first.seen[3], 0);
  EXPECT_EQ(first.seen[4], 0);

  std::vector<uint32_t> kept = first.shots[1];
  kept.insert(kept.end(), first.shots[4].begin(), first.shots[4].end());
  if (update)
    demotest::WriteSamples(SamplesPath(),
                           "The sample story's first chart, then node 1's scene after the jump back: one "
                           "0xRRGGBB sample every " + std::to_string(kStep) + " pixels, row by row.",
                           kept, 800 / kStep);
  const std::vector<uint32_t> expected = demotest::ReadSamples(SamplesPath());
  ASSERT_EQ(expected.size(), kept.size()) << SamplesPath();
  EXPECT_EQ(demotest::ChannelsOff(expected, kept, kTolerance), 0);
}

}  // namespace
