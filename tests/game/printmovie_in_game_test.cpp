// The movie mode (27) inside the game: the default movie with the frame's
// state word on the debug output, the game's codec check that asks the mode
// once and keeps its answer, the start-up's codec check, and a screen
// switch that pauses and resumes the movie.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "game/screenpart.h"
#include "game/soundpart.h"
#include "mode/nothing.h"
#include "startup_game.h"
// After the start-up fixture of its kind.
#include "mode/printmovie_fixture.h"

namespace {

using startup_test::StartupGame;

// The game with its movie mode switched on, and what the movie fixture
// asks of it (mode/printmovie_fixture.h).
class MovieGame : public StartupGame {
 public:
  explicit MovieGame(platform::HeadlessBackend& host) : StartupGame(host) {
    Modes().SetModeDisabled(CCommonPrintMovie::kModeNumber, 0);
    Modes().CreateMode(CCommonPrintMovie::kModeNumber);
  }
  CCommonPrintMovie* Movie() const { return Mode<CCommonPrintMovie>(); }
  CMoviePlayer* GetMoviePlayer() { return Sound().GetMoviePlayer(); }
};

class PrintMovieInGameTest : public printmovie_test::PrintMovieFixture<MovieGame> {};

TEST_F(PrintMovieInGameTest, DefaultMoviePlaysAClickEndsItAndFiveFramesLaterTheTitle) {
  Game().Sound().SetCodecCheckState(4);
  Game().EnterMode(CCommonPrintMovie::kModeNumber);
  EXPECT_EQ(Game().Movie()->GetPlayedPath(), "movie\\default.wmv");
  ASSERT_EQ(Player()->IsPlaying(), 1);
  EXPECT_EQ(Player()->GetVolume(),
            Game().Vars().GetSystemSetting(203) ? Game().Vars().GetSystemSetting(103) : 0);
  Game().RunFrames(4);
  const uint32_t moving = Pixel(400, 300);
  EXPECT_NE(moving, 0u);
  Click(10, 10);
  Game().RunFrame();
  EXPECT_EQ(Player()->IsPlaying(), 0);
  EXPECT_EQ(Pixel(400, 300), 0u);
  EXPECT_EQ(Game().Movie()->GetStateWord(), 1);
  EXPECT_EQ(Until(20), 5);
  EXPECT_EQ(Game().ModeRequests(), (std::vector<int>{4}));
  EXPECT_TRUE(Saw("[x]"));
  EXPECT_TRUE(Saw("[o]"));
}

TEST_F(PrintMovieInGameTest, CodecCheckAnswersFromWhatTheFileDecodes) {
  struct Case {
    std::vector<std::string> missing;
    const char* file;
    int level;
  } cases[] = {
      {{}, "default.wmv", 4},
      {{"wmav2"}, "default.wmv", 2},
      {{"msmpeg4v3"}, "default.wmv", 1},
      {{}, "none.wmv", 0},
  };
  for (const Case& c : cases) {
    movieGame_.reset();
    platform::SetMissingMovieCodecs(c.missing);
    WriteList("PrintMovie", {{"codecCheckFileName", c.file}});
    EXPECT_EQ(Game().Sound().CheckMovieCodec(), c.level) << c.file;
    EXPECT_EQ(Game().Sound().CheckMovieCodec(), c.level);  // kept
  }
}

TEST_F(PrintMovieInGameTest, StartUpChecksTheCodecOnTheSampleMovie) {
  for (bool withMovie : {true, false}) {
    movieGame_.reset();
    if (!withMovie) std::filesystem::remove(*dir_ / "movie/default.wmv");
    WriteList("nothing", {{"codecCheckFlag", "1"}});
    Game().Remake<CCommonNothing>();
    Game().EnterMode(CCommonNothing::kModeNumber);
    Until(5);
    EXPECT_EQ(Game().ModeRequests(), (std::vector<int>{withMovie ? 2 : 32})) << withMovie;
  }
}

TEST_F(PrintMovieInGameTest, AScreenSwitchPausesAndResumesTheMovieWhereItWas) {
  Game().Sound().SetCodecCheckState(4);
  Game().EnterMode(CCommonPrintMovie::kModeNumber);
  Game().RunFrames(6);
  const int64_t before = Player()->GetPosition();
  ASSERT_GT(before, 0);
  Game().Screen().ToFullScreenMode(1);
  EXPECT_EQ(Player()->IsPlaying(), 1);
  EXPECT_EQ(Player()->GetSavedPosition(), before);
  EXPECT_EQ(Player()->GetPosition(), before);
  Game().Screen().ToWindowMode(1);
  EXPECT_EQ(Player()->IsPlaying(), 1);
  EXPECT_GE(Player()->GetPosition(), before);
}

}  // namespace
