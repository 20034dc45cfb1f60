// The sample game's scene gallery end to end: the built game folder runs
// headless through the test double, which starts a new game with the
// showcase variable at 6. The scene plays (a click passes its line) and the
// game ends; then the title's Extras, the extras menu's Scenes and Mina's
// area on the scene character page lead to the scene gallery, whose frame
// matches the stored samples (tests/game/data/demo_scenegallery.txt)
// within a small tolerance. Resting on the scene plays its voice once (it
// is heard in the headless mix); a
// click replays it, and the replay's end returns to the gallery. Two runs
// show the same frames.
//
// ZOR_WRITE_EXPECTED=1 writes the samples anew (and the screenshot
// "demo_scenegallery.png" into the test's working folder to look at).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "demo_frames.h"
#include "game/modeflowpart.h"
#include "game/soundpart.h"
#include "game/variablepart.h"
#include "platform/audio.h"
#include "platform/backend.h"
#include "platform/headless/headless.h"
#include "setup/namelist.h"
#include "setup/random.h"
#include "support/fake_game.h"
#include "support/temp_dir.h"

namespace {

constexpr int kShowcaseVar = 200;
constexpr int kSceneShowcase = 6;
constexpr int kStep = 40;
constexpr int kTolerance = 6;
constexpr int kTitle = 4, kStory = 10, kExtras = 15, kGallery = 18, kCharaPage = 20;
// Where the clicks go: the title's Extras, the extras menu's Scenes, Mina's
// area on the character page and her scene's cell in the gallery.
constexpr int kExtrasX = 400, kExtrasY = 450;
constexpr int kScenesX = 400, kScenesY = 350;
constexpr int kMinaX = 250, kMinaY = 260;
constexpr int kCellX = 150, kCellY = 160;

// The double with the title, which it leaves out unless asked, the real
// system pictures (the percentage fonts), and voices played as well as
// recorded.
class TitleGame : public testsupport::FakeGame {
 public:
  explicit TitleGame(platform::HeadlessBackend& host)
      : FakeGame(host, 800, 600, [this](GameParts& p) {
          p.screen = std::make_unique<testsupport::GamePicturesScreen>(p, *this);
          p.sound = std::make_unique<Voices>(p, *this);
        }) {
    Modes().SetModeDisabled(kTitle, 0);
    Modes().CreateMode(kTitle);
  }

 private:
  class Voices : public testsupport::RecordingSound {
   public:
    using RecordingSound::RecordingSound;
    void PlayVoice(const char* name) override {
      RecordingSound::PlayVoice(name);
      CSoundPart::PlayVoice(name);
    }
  };
};

struct GalleryRun {
  std::vector<uint64_t> hashes;
  std::vector<uint32_t> samples;  // the gallery before the pointer rests
  int voicesWhileResting = 0;
  int restingPeak = 0;  // of the mix while the pointer rests
  int replayed = 0;      // the story mode ran again after the click
  int backInGallery = 0;  // and the gallery followed it
  int boxes = 0;
  int reached = 0;  // of the five screens on the way to the gallery
};

GalleryRun RunGallery(const std::string& screenshot) {
  platform::HeadlessBackend& host = platform::InstallHeadless();
  host.SetBoxEcho(false);
  testsupport::TempDir dir;
  std::filesystem::copy(ZOR_BINARY_DIR "/demo-game", dir.path(), std::filesystem::copy_options::recursive);
  CNameList::ResetInit2Check();
  crt::ResetRandom();
  GalleryRun run;
  {
    TitleGame game(host);
    host.ClearBoxes();
    // The double's system file is not loaded: the voice is switched on as
    // the game's first start has it.
    game.Vars().SetSystemSetting(202, 1);
    game.Vars().SetSystemSetting(102, 100);
    game.Modes().StartNewGame(0, 0, kShowcaseVar, kSceneShowcase);
    const auto frame = [&] {
      game.RunFrame();
      run.hashes.push_back(demotest::HashScreen());
    };
    // Frames until `done`, a click at (x, y) every 25 frames while in
    // `mode`; false when 600 frames did not do it.
    const auto until = [&](const std::function<bool()>& done, int mode, int x, int y) {
      for (int i = 1; i <= 600; ++i) {
        if (done()) return true;
        // A move, then the press and the release in frames of their own.
        if (game.Modes().GetCurrentMode() == mode) {
          if (i % 25 == 0) host.InjectMouseMove(x, y);
          if (i % 25 == 1) host.InjectButton(0, true);
          if (i % 25 == 2) host.InjectButton(0, false);
        }
        frame();
      }
      return done();
    };
    const auto in = [&](int mode) { return [&game, mode] { return game.Modes().GetCurrentMode() == mode; }; };
    const struct {
      int target, from, x, y;
    } road[] = {{kStory, -1, 0, 0},
                {kTitle, kStory, 400, 300},
                {kExtras, kTitle, kExtrasX, kExtrasY},
                {kCharaPage, kExtras, kScenesX, kScenesY},
                {kGallery, kCharaPage, kMinaX, kMinaY}};
    for (const auto& step : road) {
      if (!until(in(step.target), step.from, step.x, step.y)) return run;
      ++run.reached;
    }
    host.InjectMouseMove(-5, 700);
    for (int i = 0; i < 30; ++i) frame();
    run.samples = demotest::SampleScreen(kStep);
    if (!screenshot.empty()) game.Screen().GetWindowHandle()->SaveScreenshot(screenshot);
    // Resting on the scene.
    const auto voices = [&] {
      int n = 0;
      for (const std::string& s : game.Sounds()) n += s.rfind("PlayVoice", 0) == 0 ? 1 : 0;
      return n;
    };
    const int before = voices();
    host.InjectMouseMove(kCellX, kCellY);
    platform::Audio()->StartCapture();
    for (int i = 0; i < 40; ++i) frame();
    for (int16_t v : platform::Audio()->StopCapture()) run.restingPeak = std::max(run.restingPeak, std::abs(int{v}));
    run.voicesWhileResting = voices() - before;
    // The replay and its way back.
    host.InjectButton(0, true);
    frame();
    host.InjectButton(0, false);
    run.replayed = until(in(kStory), -1, 0, 0) ? 1 : 0;
    run.backInGallery = until(in(kGallery), kStory, 400, 300) ? 1 : 0;
    run.boxes = static_cast<int>(host.Boxes().size());
  }
  return run;
}

std::string SamplesPath() { return ZOR_SOURCE_DIR "/tests/game/data/demo_scenegallery.txt"; }

TEST(DemoSceneGalleryTest, AfterTheSceneTheGalleryShowsItPlaysItsVoiceAndReplaysIt) {
  const bool update = std::getenv("ZOR_WRITE_EXPECTED") != nullptr;
  const GalleryRun first =
      RunGallery(update ? (std::filesystem::current_path() / "demo_scenegallery.png").string() : "");
  const GalleryRun second = RunGallery("");
  ASSERT_EQ(first.reached, 5) << "the story, title, extras, character page, gallery: stopped before this one";
  EXPECT_EQ(first.boxes, 0);
  EXPECT_EQ(first.hashes, second.hashes);
  EXPECT_EQ(first.voicesWhileResting, 1);
  EXPECT_GT(first.restingPeak, 1000) << "the voice is not in the mix";
  EXPECT_EQ(first.replayed, 1);
  EXPECT_EQ(first.backInGallery, 1);
  if (update)
    demotest::WriteSamples(SamplesPath(),
                           "The sample scene gallery: one 0xRRGGBB sample every " + std::to_string(kStep) +
                               " pixels, row by row.",
                           first.samples, 800 / kStep);
  const std::vector<uint32_t> expected = demotest::ReadSamples(SamplesPath());
  ASSERT_EQ(expected.size(), first.samples.size());
  EXPECT_EQ(demotest::ChannelsOff(expected, first.samples, kTolerance), 0);
}

}  // namespace
