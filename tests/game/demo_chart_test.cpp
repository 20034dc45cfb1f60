// The sample game's flow chart end to end: the built game folder with seen
// and passed files seeded runs headless through the test double; the story
// stands at node 2 (its slot variable set as the story's call sets it), the
// chart menu is entered and drawn for 20 frames. Two runs show the same
// frames, the side files come back unchanged, and the last frame matches
// the stored samples (tests/game/data/demo_chart1.txt) within a tolerance.
//
// ZOR_WRITE_EXPECTED=1 writes the samples anew (and the screenshot
// "demo_chart1.png" into the test's working folder to look at).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "chart_game.h"
#include "demo_frames.h"
#include "game/modeflowpart.h"
#include "game/screenpart.h"
#include "graphics/screenbuffer.h"
#include "mode/chartmenu.h"
#include "platform/backend.h"
#include "platform/files.h"
#include "platform/headless/headless.h"
#include "setup/namelist.h"
#include "support/fake_game.h"
#include "support/temp_dir.h"

namespace {

constexpr int kFrames = 20;
constexpr int kStep = 40;
constexpr int kTolerance = 6;
constexpr int kSlotVar = 900, kLabelVar = 903;

using charttest::ChartGame;

struct ChartRun {
  std::vector<uint64_t> hashes;
  std::vector<uint32_t> samples;
  int boxes = 0;
  bool sideFilesKept = false;
};

// Seen: nodes 1, 2 and two of node 3's three sub-items; passed: node 1's
// first link (to node 2).
std::string Seen() {
  std::string bytes(1000, '\0');
  bytes[1] = 1;
  bytes[2] = 1;
  bytes[3] = 3;
  return bytes;
}
std::string Passed() {
  std::string bytes(1000, '\0');
  bytes[1] = 1;
  return bytes;
}

ChartRun RunChart(const std::string& screenshot) {
  platform::HeadlessBackend& host = platform::InstallHeadless();
  host.SetBoxEcho(false);
  testsupport::TempDir dir;
  std::filesystem::copy(ZOR_BINARY_DIR "/demo-game", dir.path(), std::filesystem::copy_options::recursive);
  std::filesystem::create_directories(dir.path() + "/sav");
  const std::string seen = Seen(), passed = Passed();
  platform::WriteWholeFile("sav\\mita.dat", seen.data(), seen.size());
  platform::WriteWholeFile("sav\\tsuka.dat", passed.data(), passed.size());
  CNameList::ResetInit2Check();
  ChartRun run;
  {
    ChartGame game(host);
    host.ClearBoxes();
    EXPECT_NE(game.Modes().GetMode(CCommonChartMenu::kModeNumber), nullptr);
    game.SetVarNumber("var900", kSlotVar);
    game.SetVarNumber("var901", kSlotVar + 1);
    game.SetVarNumber("var903", kLabelVar);
    CCommonChartMenu* chart = game.Remake();
    game.SetVar(kSlotVar, 2);
    game.SetVar(kLabelVar, 1);
    chart->Init();
    for (int i = 0; i < kFrames; ++i) {
      game.RunFrame([&] { return chart->Calcu(); }, [&] { chart->Print(); });
      run.hashes.push_back(demotest::HashScreen());
    }
    run.samples = demotest::SampleScreen(kStep);
    run.boxes = static_cast<int>(host.Boxes().size());
    if (!screenshot.empty()) game.Screen().GetWindowHandle()->SaveScreenshot(screenshot);
  }
  std::string seenAfter, passedAfter;
  platform::ReadWholeFile("sav\\mita.dat", &seenAfter);
  platform::ReadWholeFile("sav\\tsuka.dat", &passedAfter);
  run.sideFilesKept = seenAfter == seen && passedAfter == passed;
  return run;
}

std::string SamplesPath() { return ZOR_SOURCE_DIR "/tests/game/data/demo_chart1.txt"; }

TEST(DemoChartTest, TheChartShowsTheSameFramesAndItsPicture) {
  const bool update = std::getenv("ZOR_WRITE_EXPECTED") != nullptr;
  const ChartRun first = RunChart(update ? (std::filesystem::current_path() / "demo_chart1.png").string() : "");
  const ChartRun second = RunChart("");
  EXPECT_EQ(first.boxes, 0);
  EXPECT_EQ(first.hashes, second.hashes);
  EXPECT_TRUE(first.sideFilesKept);

  if (update) demotest::WriteSamples(SamplesPath(), "The sample chart's frame: one 0xRRGGBB sample every " + std::to_string(kStep) + " pixels, row by row.", first.samples, 800 / kStep);
  const std::vector<uint32_t> expected = demotest::ReadSamples(SamplesPath());
  ASSERT_FALSE(expected.empty()) << SamplesPath();
  ASSERT_EQ(expected.size(), first.samples.size());
  EXPECT_EQ(demotest::ChannelsOff(expected, first.samples, kTolerance), 0);
}

}  // namespace
