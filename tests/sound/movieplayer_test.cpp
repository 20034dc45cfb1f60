// The movie player over the clips the build makes: render levels, playing
// into the screen buffer, the end notification, suspend and resume, volume
// and the guarded misuse after the end.
#include <gtest/gtest.h>

#include <string>

#include "graphics/screenbuffer.h"
#include "platform/audio.h"
#include "platform/headless/headless.h"
#include "platform/movie.h"
#include "platform/system.h"
#include "platform/types.h"
#include "sound/movieplayer.h"
#include "support/movie_clips.h"
#include "support/temp_dir.h"

namespace {

constexpr uint32_t kNotify = WM_APP + 1;

class MoviePlayerTest : public testing::Test {
 protected:
  void SetUp() override {
    host_ = &platform::InstallHeadless();
    ASSERT_TRUE(testsupport::CopyMovieClip(dir_.path(), "clip.wmv", "movie/clip.wmv"));
  }
  void TearDown() override { platform::SetMissingMovieCodecs({}); }

  bool SawComplete() const {
    for (const std::string& line : host_->DebugLines())
      if (line.find("[EC_COMPLETE]") != std::string::npos) return true;
    return false;
  }
  // Frames of 50 ms until the player finished; the frames run.
  int PlayOut(CMoviePlayer& player, int limit = 100) {
    int n = 0;
    while (!player.IsFinished() && n < limit) {
      player.Update();
      host_->AdvanceClock(50);
      ++n;
    }
    return n;
  }

  testsupport::TempDir dir_;
  platform::HeadlessBackend* host_ = nullptr;
  CScreenBuffer screen_{64, 48, 0};
};

TEST_F(MoviePlayerTest, RenderLevels) {
  dir_.Write("movie/noise.wmv", std::string(4096, '\x5A'));
  struct Case {
    std::vector<std::string> missing;
    const char* file;
    int level;
  } cases[] = {
      {{}, "movie\\clip.wmv", CMoviePlayer::kLevelComplete},
      {{"wmav2"}, "movie\\clip.wmv", CMoviePlayer::kLevelNoAudio},
      {{"msmpeg4v3"}, "movie\\clip.wmv", CMoviePlayer::kLevelNoVideo},
      {{}, "movie\\noise.wmv", CMoviePlayer::kLevelFailed},
      {{}, "movie\\none.wmv", CMoviePlayer::kLevelFailed},
  };
  CMoviePlayer player(nullptr, kNotify, 1);
  for (const Case& c : cases) {
    platform::SetMissingMovieCodecs(c.missing);
    EXPECT_EQ(player.CheckCodec(c.file), c.level) << c.file << " " << c.missing.size();
    EXPECT_EQ(player.Play(c.file, 0), c.level == 0 ? 0 : 1) << c.file;
    player.Stop();
  }
}

TEST_F(MoviePlayerTest, PlaysIntoTheScreenAtItsVolumeAndPostsTheEnd) {
  platform::WindowDesc desc;
  platform::Window* window = platform::CreateWindow(desc);
  CMoviePlayer player(window, kNotify, 0);
  EXPECT_EQ(player.GetVolume(), 90);
  platform::Audio()->ClearPlayLog();
  ASSERT_EQ(player.Play("movie\\clip.wmv", 0), 1);
  ASSERT_EQ(platform::Audio()->PlayLog().size(), 1u);
  EXPECT_EQ(platform::Audio()->PlayLog()[0].volume, 90 * 100 - 10000);
  CScreenBuffer::GetBuffer()[0] = 0x123456;
  host_->AdvanceClock(100);
  player.Update();
  EXPECT_NE(CScreenBuffer::GetBuffer()[0], 0x123456u);
  EXPECT_TRUE(CScreenBuffer::CheckFullRedraw());
  // The end is posted; CheckEvent, on that message, finishes.
  platform::Message msg;
  bool posted = false;
  for (int i = 0; i < 40 && !posted; ++i) {
    host_->AdvanceClock(50);
    player.Update();
    while (platform::PeekMessage(&msg, true))
      if (msg.message == kNotify) posted = true;
  }
  ASSERT_TRUE(posted);
  EXPECT_FALSE(player.IsFinished());
  EXPECT_EQ(player.CheckEvent(), 0);
  EXPECT_TRUE(player.IsFinished());
  EXPECT_TRUE(SawComplete());
  EXPECT_EQ(player.CheckEvent(), 1);  // nothing open any more
  platform::DestroyWindow(window);
}

TEST_F(MoviePlayerTest, AfterTheEndStopAndSuspendAreHarmless) {
  CMoviePlayer player(nullptr, kNotify, 0);
  ASSERT_EQ(player.Play("movie\\clip.wmv", 0), 1);
  PlayOut(player);
  ASSERT_TRUE(player.IsFinished());
  EXPECT_EQ(player.IsPlaying(), 0);
  EXPECT_EQ(player.Stop(), 0);
  EXPECT_EQ(player.Suspend(), 1);
  EXPECT_EQ(player.GetSavedPosition(), -1);
}

TEST_F(MoviePlayerTest, StartPositionSuspendAndResume) {
  CMoviePlayer player(nullptr, kNotify, 0);
  ASSERT_EQ(player.Play("movie\\clip.wmv", 4000000), 1);
  EXPECT_EQ(player.GetPosition(), 4000000);
  host_->AdvanceClock(200);
  player.Update();
  ASSERT_EQ(player.Suspend(), 1);
  EXPECT_EQ(player.GetSavedPosition(), 6000000);
  EXPECT_EQ(player.IsPlaying(), 0);
  ASSERT_EQ(player.Resume(), 1);
  EXPECT_EQ(player.IsPlaying(), 1);
  EXPECT_EQ(player.GetPosition(), 6000000);
  // A suspend whose position read failed (nothing playing): from the start.
  player.Stop();
  ASSERT_EQ(player.Suspend(), 1);
  EXPECT_EQ(player.GetSavedPosition(), -1);
  ASSERT_EQ(player.Resume(), 1);
  EXPECT_EQ(player.IsPlaying(), 1);
  EXPECT_EQ(player.GetPosition(), 0);
}

TEST_F(MoviePlayerTest, VolumeIsTakenAtTheNextPlay) {
  CMoviePlayer player(nullptr, kNotify, 0);
  struct Case {
    int level, volume;
  } cases[] = {{0, -10000}, {50, -5000}, {100, 0}, {120, 0}, {-5, -10000}};
  for (const Case& c : cases) {
    player.SetVolume(c.level);
    platform::Audio()->ClearPlayLog();
    ASSERT_EQ(player.Play("movie\\clip.wmv", 0), 1);
    ASSERT_EQ(platform::Audio()->PlayLog().size(), 1u);
    EXPECT_EQ(platform::Audio()->PlayLog()[0].volume, c.volume) << c.level;
  }
}

TEST_F(MoviePlayerTest, ANameLongerThanTheFieldIsRefused) {
  CMoviePlayer player(nullptr, kNotify, 0);
  ASSERT_EQ(player.Play("movie\\clip.wmv", 0), 1);
  const std::string longName = "movie\\" + std::string(250, 'a') + ".wmv";
  EXPECT_EQ(player.CheckCodec(longName.c_str()), 0);
  EXPECT_EQ(player.Play(longName.c_str(), 0), 0);
  EXPECT_STREQ(player.GetFileName(), "movie\\clip.wmv");
  const std::string fits = "movie\\" + std::string(245, 'b') + ".wmv";  // 255 bytes
  EXPECT_EQ(player.Play(fits.c_str(), 0), 0);  // no such file, but taken
  EXPECT_EQ(player.GetFileName(), fits);
}

}  // namespace
