// The movie mode (27) on the fake of the services with its movie player
// and the clips the build makes: the end of a movie, clicks, movies chosen
// by a variable or a script call, movies off and the low codec levels.
#include <gtest/gtest.h>

#include <string>

#include "startup_fixture.h"
// After the start-up fixture of its kind.
#include "printmovie_fixture.h"
#include "support/text.h"

namespace {

using startup_test::StartupGame;

// The fake with the movie mode and the movie list.
class MovieGame : public printmovie_test::MovieGameOf<StartupGame> {
 public:
  explicit MovieGame(platform::HeadlessBackend& host) : MovieGameOf(host) {
    SetMovieList({"first.wmv", "1", "second.wmv", "1", "third.wmv", "1"});
    MakeMode<CCommonPrintMovie>();
  }
};

class PrintMovieTest : public printmovie_test::PrintMovieFixture<MovieGame> {};

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

}  // namespace

namespace {

TEST_F(PrintMovieTest, TheMovieSelectionsStayAndDrawNothing) {
  for (int n : {CCommonSelectMovieChara::kModeNumber, CCommonSelectMovie::kModeNumber}) {
    CCommonGeneral* mode = n == CCommonSelectMovieChara::kModeNumber
                               ? static_cast<CCommonGeneral*>(Game().MakeMode<CCommonSelectMovieChara>())
                               : Game().MakeMode<CCommonSelectMovie>();
    EXPECT_EQ(mode->Init(), -1);
    EXPECT_EQ(mode->Calcu(), -1);
    EXPECT_EQ(mode->Print(), -1);
  }
}

}  // namespace
