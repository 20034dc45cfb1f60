// The movie mode's test ground over either double (the fake of the
// services here, the game's test double in tests/game): the clips the build
// makes in the game folder with the movie list, the double with mode 27
// made (its Movie()) and frames until the mode asks to leave. The test
// includes the start-up fixture of its kind first (mode/startup_fixture.h
// or game/startup_game.h).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "mode/printmovie.h"
#include "platform/movie.h"
#include "sound/movieplayer.h"
#include "support/movie_clips.h"

namespace printmovie_test {

// The double's movie mode, and every skip-film state set (over the fake of
// the services; the game's test double answers Movie() and GetMoviePlayer()
// itself).
template <typename Base>
class MovieGameOf : public Base {
 public:
  using Base::Base;
  CCommonPrintMovie* Movie() const { return this->template Mode<CCommonPrintMovie>(); }
  void SetSkipFilmFlag(int value) override {
    skipFilmSets.push_back(value);
    Base::SetSkipFilmFlag(value);
  }
  std::vector<int> skipFilmSets;
};

template <typename GameT>
class PrintMovieFixture : public startup_test::StartupTest {
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
  GameT& Game() {
    if (!movieGame_) movieGame_ = std::make_unique<GameT>(*host_);
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
  std::unique_ptr<GameT> movieGame_;
};

}  // namespace printmovie_test
