// The sample game's music room and picture book end to end: the built game
// folder runs headless through the test double. The music scene (a new
// game with variable 200 set to 7) plays the star song and makes two of
// the picture book's items appear; then the title, Extras, Music: the star
// song is open, the lake tune plays (frames change while it plays, the mix
// holds its tone), stop returns the stopped look; Extras, Book shows the
// two items, and a chosen one is handed on and given back. Two runs show
// the same frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "demo_frames.h"
#include "game/modeflowpart.h"
#include "game/variablepart.h"
#include "graphics/screenbuffer.h"
#include "mode/listenbgm.h"
#include "mode/omake.h"
#include "mode/printmessage.h"
#include "mode/selectzukan.h"
#include "mode/title.h"
#include "platform/audio.h"
#include "platform/backend.h"
#include "platform/headless/headless.h"
#include "setup/namelist.h"
#include "setup/random.h"
#include "support/fake_game.h"
#include "support/temp_dir.h"

namespace {

constexpr int kTitleMode = CCommonTitle::kModeNumber;
constexpr int kOmakeMode = CCommonOmake::kModeNumber;
constexpr int kMusicMode = CCommonListenBGM::kModeNumber;
constexpr int kBookMode = CCommonSelectZukan::kModeNumber;

class DemoGame : public testsupport::FakeGame {
 public:
  explicit DemoGame(platform::HeadlessBackend& host) : FakeGame(host) {
    Modes().SetModeDisabled(kTitleMode, 0);
    Modes().CreateMode(kTitleMode);
    // The double names only the variables it is told; the book is made
    // again once it knows its two.
    SetVarNumber("var250", 250);
    SetVarNumber("var251", 251);
    Modes().PutMode(kBookMode, nullptr);
    Modes().CreateMode(kBookMode);
  }
  void Enter(int n) {
    Modes().SetCurrentMode(n);
    Modes().GetMode(n)->Enter();
  }
};

struct MusicRun {
  std::vector<uint64_t> hashes;
  std::vector<int16_t> mix;
  int lockedBefore = -1, openAfter = -1;
  int bookBits = 0;
  int playingFrames = 0, changedFrames = 0;
  bool stoppedLookBack = false, stoppedState = false;
  uint32_t item0 = 0, item1 = 0, item2 = 0;
  int boxes = 0;
  int volume = 0;
  int chosen = -1, returned = -1;
};

uint32_t Pixel(int x, int y) { return CScreenBuffer::GetBuffer()[y * CScreenBuffer::GetWidth() + x] & 0xFFFFFF; }

// The buttons and the track / time strip as they stand.
std::vector<uint32_t> StoppedLook() {
  std::vector<uint32_t> look;
  for (int y = 485; y < 505; y += 2)
    for (int x = 420; x < 710; x += 2) look.push_back(Pixel(x, y));
  for (int y = 101; y < 123; y += 2)
    for (int x = 162; x < 370; x += 2) look.push_back(Pixel(x, y));
  return look;
}

MusicRun RunMusic() {
  platform::HeadlessBackend& host = platform::InstallHeadless();
  host.SetBoxEcho(false);
  testsupport::TempDir dir;
  std::filesystem::copy(ZOR_BINARY_DIR "/demo-game", dir.path(), std::filesystem::copy_options::recursive);
  CNameList::ResetInit2Check();
  crt::ResetRandom();
  MusicRun run;
  {
    DemoGame game(host);
    host.ClearBoxes();
    // The double's system file is not loaded: the music volume a player
    // would have.
    game.Vars().SetSystemSetting(100, 80);
    auto click = [&](int x, int y) {
      host.InjectMouseMove(x, y);
      game.RunFrame();
      host.InjectButton(0, true);
      host.InjectButton(0, false);
    };
    auto runUntil = [&](int mode, int limit) {
      for (int i = 0; i < limit && game.Modes().GetCurrentMode() != mode; ++i) game.RunFrame();
      return game.Modes().GetCurrentMode() == mode;
    };
    // The extras menu, then its button at (400, y) and past the screen's
    // enter fade.
    auto openFromExtras = [&](int y, int mode) {
      EXPECT_TRUE(runUntil(kOmakeMode, 40));
      game.RunFrames(20);
      click(400, y);
      EXPECT_TRUE(runUntil(mode, 40));
      host.InjectMouseMove(-5, 700);
      game.RunFrames(15);
    };
    auto* room = dynamic_cast<CCommonListenBGM*>(game.Modes().GetMode(kMusicMode));
    EXPECT_NE(room, nullptr);
    if (!room) return run;

    // The room before the scene: the star song is locked.
    game.Enter(kMusicMode);
    game.RunFrame();
    run.lockedBefore = room->IsAvailable(1);

    // The music scene, its line clicked away.
    game.Modes().StartNewGame(0, 0, 200, 7);
    EXPECT_TRUE(runUntil(CCommonPrintMessage::kModeNumber, 100));
    game.RunFrames(60);
    click(400, 300);
    game.RunFrames(30);
    run.bookBits = game.GetVar(250);

    // Title, Extras, Music.
    game.Enter(kTitleMode);
    game.RunFrames(40);
    click(400, 450);
    openFromExtras(400, kMusicMode);
    run.openAfter = room->IsAvailable(1);
    const std::vector<uint32_t> stopped = StoppedLook();

    // The lake tune: a click on its row.
    platform::Audio()->StartCapture();
    click(200, 210);
    game.RunFrame();
    host.InjectMouseMove(-5, 700);
    uint64_t last = 0;
    for (int i = 0; i < 60; ++i) {
      game.RunFrame();
      const uint64_t h = demotest::HashScreen();
      run.hashes.push_back(h);
      if (room->GetState() == CCommonListenBGM::kPlaying) {
        ++run.playingFrames;
        if (h != last) ++run.changedFrames;
      }
      last = h;
    }
    run.mix = platform::Audio()->StopCapture();
    run.volume = room->GetVolume();

    // Stop.
    click(680, 495);
    for (int i = 0; i < 10 && room->GetState() != CCommonListenBGM::kStopped; ++i) game.RunFrame();
    run.stoppedState = room->GetState() == CCommonListenBGM::kStopped;
    host.InjectMouseMove(-5, 700);
    game.RunFrames(5);
    run.stoppedLookBack = StoppedLook() == stopped;
    for (int i = 0; i < 5; ++i) {
      game.RunFrame();
      run.hashes.push_back(demotest::HashScreen());
    }

    // Back to the extras, then the picture book.
    click(720, 556);
    openFromExtras(450, kBookMode);
    run.item0 = Pixel(208 + 32, 236 + 32);
    run.item1 = Pixel(308 + 32, 236 + 32);
    run.item2 = Pixel(408 + 32, 236 + 32);
    run.hashes.push_back(demotest::HashScreen());
    // The ball chosen, then a click back to the grid.
    click(240, 268);
    game.RunFrame();
    run.chosen = game.GetVar(251);
    click(400, 100);
    game.RunFrame();
    run.returned = game.GetVar(251);
    run.boxes = static_cast<int>(host.Boxes().size());
  }
  return run;
}

TEST(DemoMusicTest, TheRoomPlaysAndStopsTheSceneOpensATrackAndTheBookShowsItsItems) {
  const MusicRun first = RunMusic();
  const MusicRun second = RunMusic();
  EXPECT_EQ(first.boxes, 0);
  EXPECT_EQ(first.lockedBefore, 0);
  EXPECT_EQ(first.openAfter, 1);
  EXPECT_EQ(first.bookBits, 1 | 4);

  // The tune plays the whole time, and the cursor's glow and the spectrum
  // move while it does.
  EXPECT_EQ(first.playingFrames, 60);
  EXPECT_GE(first.changedFrames, 50);
  int peak = 0;
  for (size_t i = 44100; i < first.mix.size(); ++i) peak = std::max(peak, std::abs(int{first.mix[i]}));
  EXPECT_GT(peak, 1000) << "the mix holds the tone at volume " << first.volume;

  EXPECT_TRUE(first.stoppedState);
  EXPECT_TRUE(first.stoppedLookBack);

  EXPECT_EQ(first.item0, 0xE05050u);
  EXPECT_NE(first.item1, 0x50C060u) << "the diamond has not appeared";
  EXPECT_EQ(first.item2, 0x5080E0u);
  EXPECT_EQ(first.chosen, 1) << "the ball's number for the back script";
  EXPECT_EQ(first.returned, 0);

  EXPECT_EQ(first.hashes, second.hashes);
}

}  // namespace
