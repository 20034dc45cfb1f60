// CCommonPrintMovie: mode 27, a movie full screen. It plays "movie\<name>"
// through the game's movie player (the list's default, one a script call
// names, or one a game variable chooses), ends it on the player's end or a
// click (unless "noSKipFlag"), fills the screen black, waits "lastWait"
// frames and returns "nextMode". It also answers the game's movie codec
// check. Modes 25 and 26 (CCommonSelectMovieChara, CCommonSelectMovie) are
// place-holders that load their lists and stay, drawing nothing.
#pragma once

#include <string>

#include "modebase/commongeneral.h"
#include "modebase/moderoles.h"
#include "modebase/modenumbers.h"

class CCommonPrintMovie : public CCommonGeneral, public CMoviePlayback {
 public:
  static constexpr int kModeNumber = modenumber::kPrintMovie;

  explicit CCommonPrintMovie(const GameRoles& game);
  ~CCommonPrintMovie() override;
  void RegisterRoles(ModeRoles* roles) override { roles->movie = this; }

  // The render level of "movie\<codecCheckFileName>"; 0 without a player.
  int CheckCodec() override;
  void SetCallArgs(int count, const int* values) override;
  int Calcu() override;
  int Print() override;
  int Init() override;

  // The state word the frame shows on the debug output: the last wait runs.
  int GetStateWord() const override { return lastWait_; }
  // For tests.
  int GetCodecLevel() const { return codecLevel_; }
  int GetNothingToPlay() const { return nothingToPlay_; }
  int GetSkipFilmMark() const { return skipFilmMark_; }
  int GetMovieStarted() const { return movieStarted_; }
  const std::string& GetPlayedPath() const { return playedPath_; }

 private:
  // Black, the exit screen, the last wait.
  void EndMovie();
  // Leaves for "nextMode", or with the skip-film mark sets the game's
  // skip-film state and stays one more frame; -1 then.
  int LeaveMovie(int fillBlack);

  const char* bgName_ = "bg_movie";
  int nextMode_ = modenumber::kTitle;
  const char* movieFileName_ = "default.wmv";
  const char* codecCheckFileName_ = nullptr;  // "movieFileName" when unset
  int noSkipFlag_ = 0;
  int selectByVarFlag_ = 0;
  const char* selectMovieVarName_ = "\x83\x80\x81\x5B\x83\x72\x81\x5B\x94\xD4\x8D\x86";  // ムービー番号
  int lastWaitFrames_ = 5;
  int fillExitScreenFlag_ = 1;

  int codecLevel_ = 0;
  std::string callName_;
  int callMark_ = 0;
  int skipFilmMark_ = 0;
  int nothingToPlay_ = 0;
  int lastWait_ = 0, lastWaitCount_ = 0;
  // A movie was started in this entry.
  int movieStarted_ = 0;
  std::string playedPath_;
};

// The movie selections: each loads its list (16 pairs) and stays, drawing
// nothing and taking no input.
class CCommonMoviePlaceHolder : public CCommonGeneral {
 public:
  CCommonMoviePlaceHolder(const GameRoles& game, int modeNumber, const char* listName);
  int Calcu() override { return -1; }
  int Print() override { return -1; }
  int Init() override { return -1; }
};

// Mode 25: the movie selection by character.
class CCommonSelectMovieChara : public CCommonMoviePlaceHolder {
 public:
  static constexpr int kModeNumber = modenumber::kSelectMovieChara;
  explicit CCommonSelectMovieChara(const GameRoles& game)
      : CCommonMoviePlaceHolder(game, kModeNumber, "SelectMovieChara") {}
};

// Mode 26: the movie selection.
class CCommonSelectMovie : public CCommonMoviePlaceHolder {
 public:
  static constexpr int kModeNumber = modenumber::kSelectMovie;
  explicit CCommonSelectMovie(const GameRoles& game)
      : CCommonMoviePlaceHolder(game, kModeNumber, "SelectMovie") {}
};
