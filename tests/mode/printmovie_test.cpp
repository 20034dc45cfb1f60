// The movie mode (27) on the test double with the game's own movie player
// and the clips the build makes: the default movie, clicks, the last wait,
// movies chosen by a variable or a script call, movies off, the codec
// levels and the start-up chain's codec check.
#include <gtest/gtest.h>

#include <string>

#include "mode/nothing.h"
#include "mode/printmovie.h"
#include "platform/movie.h"
#include "sound/movieplayer.h"
#include "startup_game_fixture.h"
#include "support/movie_clips.h"
#include "support/text.h"

namespace {

using startup_test::StartupGame;

class MovieGame : public StartupGame {
 public:
  explicit MovieGame(platform::HeadlessBackend& host) : StartupGame(host) {
    modeDisable_[CCommonPrintMovie::kModeNumber] = 0;
    CreateMode(CCommonPrintMovie::kModeNumber);
  }
  CCommonPrintMovie* Movie() const { return Mode<CCommonPrintMovie>(); }
  using StartupGame::CreateMode;
  // Every skip-film state set.
  void SetSkipFilmFlag(int value) override {
    skipFilmSets.push_back(value);
    StartupGame::SetSkipFilmFlag(value);
  }
  std::vector<int> skipFilmSets;
};

class PrintMovieTest : public startup_test::StartupTest {
 protected:
  void SetUp() override {
    StartupTest::SetUp();
    ASSERT_TRUE(testsupport::CopyMovieClip(dir_->path(), "clip.wmv", "movie/default.wmv"));
    ASSERT_TRUE(testsupport::CopyMovieClip(dir_->path(), "silent.wmv", "movie/third.wmv"));
    dir_->Write("spt/movielist.xtx", "first.wmv,1\r\nsecond.wmv,1\r\nthird.wmv,1\r\n");
  }
  void TearDown() override {
    movieGame_.reset();
    platform::SetMissingMovieCodecs({});
    StartupTest::TearDown();
  }
  MovieGame& Game() {
    if (!movieGame_) movieGame_ = std::make_unique<MovieGame>(*host_);
    return *movieGame_;
  }
  CMoviePlayer* Player() { return Game().GetMoviePlayer(); }
  // Enters the movie mode and runs frames until its first mode request (at
  // most `limit`); the frames run.
  int Enter(int limit = 100) {
    Game().EnterMode(CCommonPrintMovie::kModeNumber);
    return Until(limit);
  }
  int Until(int limit) {
    int n = 0;
    while (Game().ModeRequests().empty() && n < limit) {
      Game().RunFrame();
      ++n;
    }
    return n;
  }
  bool Saw(const std::string& text) const {
    for (const std::string& line : host_->DebugLines())
      if (line.find(text) != std::string::npos) return true;
    return false;
  }
  std::unique_ptr<MovieGame> movieGame_;
};

TEST_F(PrintMovieTest, DefaultMoviePlaysAClickEndsItAndFiveFramesLaterTheTitle) {
  Game().SetCodecCheckState(4);
  Game().EnterMode(CCommonPrintMovie::kModeNumber);
  EXPECT_EQ(Game().Movie()->GetPlayedPath(), "movie\\default.wmv");
  ASSERT_EQ(Player()->IsPlaying(), 1);
  EXPECT_EQ(Player()->GetVolume(), Game().GetSystemSetting(203) ? Game().GetSystemSetting(103) : 0);
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

TEST_F(PrintMovieTest, TheEndOfTheMovieEndsTheMode) {
  WriteList("PrintMovie", {{"noSKipFlag", "1"}, {"nextMode", "2"}});
  Game().SetCodecCheckState(4);
  Game().EnterMode(CCommonPrintMovie::kModeNumber);
  Game().RunFrames(3);
  Click(10, 10);  // ignored
  Game().RunFrame();
  EXPECT_EQ(Player()->IsPlaying(), 1);
  EXPECT_FALSE(Saw("[EC_COMPLETE]"));
  Until(100);
  EXPECT_TRUE(Saw("[EC_COMPLETE]"));
  EXPECT_EQ(Player()->IsFinished(), 1);
  EXPECT_EQ(Game().ModeRequests(), (std::vector<int>{2}));
}

TEST_F(PrintMovieTest, MovieChosenByAVariable) {
  struct Case {
    const char* flag;
    int value;
    std::string path;  // empty: nothing plays and the mode leaves at once
  } cases[] = {
      {"1", 3, "movie\\third.wmv"},
      {"1", 0, "movie\\default.wmv"},
      {"1", 9, "movie\\default.wmv"},
      {"-1", 0, ""},
      {"-1", 3, "movie\\third.wmv"},
  };
  for (const Case& c : cases) {
    movieGame_.reset();
    WriteList("PrintMovie", {{"selectByVarFlag", c.flag}});
    Game().SetCodecCheckState(4);
    Game().SetVarNumber(testsupport::Sjis("ムービー番号"), 100);
    Game().SetVar(100, c.value);
    const int frames = Enter(1);
    EXPECT_EQ(Game().Movie()->GetPlayedPath(), c.path) << c.flag << " " << c.value;
    if (c.path.empty()) {
      EXPECT_EQ(Game().Movie()->GetNothingToPlay(), 1);
      EXPECT_EQ(frames, 1);
      EXPECT_EQ(Game().ModeRequests(), (std::vector<int>{4}));
    } else {
      EXPECT_EQ(Player()->IsPlaying(), 1);
    }
  }
}

TEST_F(PrintMovieTest, WithMoviesOffEveryEntryReturnsAtOnce) {
  Game().SetCodecCheckState(4);
  Game().SetMovieOff();
  for (size_t i = 1; i <= 2; ++i) {
    Game().EnterMode(CCommonPrintMovie::kModeNumber);
    Game().RunFrame();
    EXPECT_EQ(Player()->IsPlaying(), 0);
    EXPECT_EQ(Game().ModeRequests(), std::vector<int>(i, 4));
  }
}

TEST_F(PrintMovieTest, AScriptCallsMovieAndTheSkipFilmMark) {
  Game().SetCodecCheckState(4);
  struct Case {
    std::vector<int> args;
    std::string path;
  } cases[] = {
      {{3}, "movie\\third.wmv"},
      {{}, "movie\\first.wmv"},
      {{9}, "movie\\default.wmv"},  // not in the list: the default movie
  };
  for (const Case& c : cases) {
    Game().Movie()->SetCallArgs(static_cast<int>(c.args.size()), c.args.data());
    EXPECT_EQ(Game().Movie()->GetSkipFilmMark(), 1);
    Game().EnterMode(CCommonPrintMovie::kModeNumber);
    EXPECT_EQ(Game().Movie()->GetPlayedPath(), c.path);
  }
  // The last one: played and clicked away, the skip-film state is set as
  // the mode ends.
  Game().RunFrame();
  Click(10, 10);
  const size_t before = Game().ModeRequests().size();
  for (int i = 0; i < 30 && Game().ModeRequests().size() == before; ++i) Game().RunFrame();
  EXPECT_EQ(Game().skipFilmSets, (std::vector<int>{1}));
  EXPECT_EQ(Game().Movie()->GetSkipFilmMark(), 0);
  EXPECT_EQ(Game().ModeRequests().size(), before + 1);
}

TEST_F(PrintMovieTest, LowCodecLevelShowsTheBackgroundUntilAClick) {
  testsupport::WriteDwq(*dir_, "sys/bg_movie", 800, 600, 0x204060);
  Game().SetCodecCheckState(2);
  Game().EnterMode(CCommonPrintMovie::kModeNumber);
  EXPECT_EQ(Player()->IsPlaying(), 0);
  Game().RunFrames(3);
  EXPECT_EQ(Pixel(400, 300), 0x204060u);
  EXPECT_TRUE(Game().ModeRequests().empty());
  Click(10, 10);
  EXPECT_EQ(Until(20), 6);
  EXPECT_EQ(Game().ModeRequests(), (std::vector<int>{4}));
}

TEST_F(PrintMovieTest, LowCodecLevelThatCannotBeClickedAwayCountsAsEnded) {
  WriteList("PrintMovie", {{"noSKipFlag", "1"}});
  Game().SetCodecCheckState(1);
  EXPECT_EQ(Enter(20), 6);
  EXPECT_EQ(Game().ModeRequests(), (std::vector<int>{4}));
}

TEST_F(PrintMovieTest, CodecCheckAnswersFromWhatTheFileDecodes) {
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
    EXPECT_EQ(Game().CheckMovieCodec(), c.level) << c.file;
    EXPECT_EQ(Game().CheckMovieCodec(), c.level);  // kept
  }
}

TEST_F(PrintMovieTest, StartUpChecksTheCodecOnTheSampleMovie) {
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

}  // namespace

namespace {

TEST_F(PrintMovieTest, AScreenSwitchPausesAndResumesTheMovieWhereItWas) {
  Game().SetCodecCheckState(4);
  Game().EnterMode(CCommonPrintMovie::kModeNumber);
  Game().RunFrames(6);
  const int64_t before = Player()->GetPosition();
  ASSERT_GT(before, 0);
  Game().ToFullScreenMode(1);
  EXPECT_EQ(Player()->IsPlaying(), 1);
  EXPECT_EQ(Player()->GetSavedPosition(), before);
  EXPECT_EQ(Player()->GetPosition(), before);
  Game().ToWindowMode(1);
  EXPECT_EQ(Player()->IsPlaying(), 1);
  EXPECT_GE(Player()->GetPosition(), before);
}

}  // namespace

namespace {

TEST_F(PrintMovieTest, TheMovieSelectionsStayAndDrawNothing) {
  for (int n : {CCommonSelectMovieChara::kModeNumber, CCommonSelectMovie::kModeNumber}) {
    ASSERT_EQ(Game().CreateMode(n), 1) << n;
    CCommonGeneral* mode = Game().GetMode(n);
    EXPECT_EQ(mode->Init(), -1);
    EXPECT_EQ(mode->Calcu(), -1);
    EXPECT_EQ(mode->Print(), -1);
  }
}

}  // namespace
