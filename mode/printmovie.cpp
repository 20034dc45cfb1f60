#include "mode/printmovie.h"

#include "services/messagewindowservices.h"
#include "services/screenservices.h"
#include "services/soundservices.h"
#include "services/variableservices.h"
#include "graphics/allgraphics.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "sound/movieplayer.h"

namespace {

constexpr int kMovieVolume = 103;
constexpr int kMovieSoundOn = 203;

std::string MoviePath(const std::string& name) { return "movie\\" + name; }

}  // namespace

CCommonPrintMovie::CCommonPrintMovie(const GameRoles& game) : CCommonGeneral(game) {
  SetModeNumber(kModeNumber);
  LoadSetupFile("PrintMovie", 64);
  LoadFadeSetup();
  GetSetupString(&bgName_, "filenameBG");
  GetSetupMode("nextMode", &nextMode_);
  GetSetupString(&movieFileName_, "movieFileName");
  GetSetupString(&codecCheckFileName_, "codecCheckFileName");
  GetSetupInt(&noSkipFlag_, "noSKipFlag");
  GetSetupInt(&selectByVarFlag_, "selectByVarFlag");
  GetSetupString(&selectMovieVarName_, "selectMovieVarName");
  GetSetupInt(&lastWaitFrames_, "lastWait");
  GetSetupInt(&fillExitScreenFlag_, "fillExitScreenFlag");
}

CCommonPrintMovie::~CCommonPrintMovie() = default;

int CCommonPrintMovie::CheckCodec() {
  CMoviePlayer* player = game_ ? game_.sound->GetMoviePlayer() : nullptr;
  if (!player) return 0;
  const char* name = codecCheckFileName_ ? codecCheckFileName_ : movieFileName_;
  return player->CheckCodec(MoviePath(name).c_str());
}

void CCommonPrintMovie::SetCallArgs(int count, const int* values) {
  const int n = count > 0 && values ? values[0] : 1;
  // A number the movie list does not hold plays the default movie.
  const char* name = game_ ? game_.sound->GetMovieListName(n) : nullptr;
  callName_ = name ? name : movieFileName_;
  callMark_ = 1;
  skipFilmMark_ = 1;
  nothingToPlay_ = 0;
}

int CCommonPrintMovie::Init() {
  nothingToPlay_ = 0;
  movieStarted_ = 0;
  playedPath_.clear();
  if (!game_ || game_.sound->IsMovieOff()) return 0;
  codecLevel_ = game_.sound->CheckMovieCodec();
  game_.sound->StopBgm(-1);
  lastWait_ = 0;
  game_.sound->StopAllSound();
  CAllGraphics::FillScreen(0, 0, 0);
  game_.screen->UpdateScreenNow();
  if (codecLevel_ <= 2) {
    if (screenPicture_) screenPicture_->LoadDWQ(("sys\\" + std::string(bgName_)).c_str());
    return 0;
  }
  std::string name = movieFileName_;
  if (callMark_) {
    name = callName_;
    callMark_ = 0;
  } else if (selectByVarFlag_) {
    const int var = game_.variables->GetVarNumber(selectMovieVarName_);
    if (var >= 0) {
      const int v = game_.variables->GetVar(var);
      if (selectByVarFlag_ == -1 && v == 0) {
        nothingToPlay_ = 1;
        return 0;
      }
      if (v > 0) {
        const char* listed = game_.sound->GetMovieListName(v);
        name = listed ? listed : movieFileName_;
      }
    }
  }
  CMoviePlayer* player = game_.sound->GetMoviePlayer();
  if (!player) return 0;
  const int volume = game_.variables->GetSystemSetting(kMovieSoundOn) ? game_.variables->GetSystemSetting(kMovieVolume) : 0;
  player->SetVolume(volume);
  game_.screen->RestoreSurfaces(1);
  playedPath_ = MoviePath(name);
  movieStarted_ = player->Play(playedPath_.c_str(), 0);
  return 0;
}

int CCommonPrintMovie::LeaveMovie(int fillBlack) {
  game_.screen->HideCursor();
  if (fillBlack) CAllGraphics::FillScreen(0, 0, 0);
  if (fillExitScreenFlag_) FillExitScreen();
  if (fillBlack) game_.screen->UpdateScreenNow();
  if (!skipFilmMark_) return nextMode_;
  game_.messageWindow->SetSkipFilmFlag(1);
  skipFilmMark_ = 0;
  return -1;
}

void CCommonPrintMovie::EndMovie() {
  game_.screen->RestoreSurfaces(0);
  if (CMoviePlayer* player = game_.sound->GetMoviePlayer()) player->Stop();
  if (fillExitScreenFlag_) FillExitScreen();
  game_.screen->HideCursor();
  CAllGraphics::FillScreen(0, 0, 0);
  game_.screen->UpdateScreenNow();
  lastWaitCount_ = lastWaitFrames_;
  lastWait_ = 1;
}

int CCommonPrintMovie::Calcu() {
  if (!game_) return nextMode_;
  if (game_.sound->IsMovieOff() || nothingToPlay_) return LeaveMovie(1);
  if (codecLevel_ < 3 && skipFilmMark_) {
    game_.screen->HideCursor();
    if (fillExitScreenFlag_) FillExitScreen();
    game_.messageWindow->SetSkipFilmFlag(1);
    skipFilmMark_ = 0;
    return -1;
  }
  if (lastWait_) {
    if (--lastWaitCount_ > 0) return -1;
    if (fillExitScreenFlag_) FillExitScreen();
    if (!skipFilmMark_) return nextMode_;
    game_.messageWindow->SetSkipFilmFlag(1);
    skipFilmMark_ = 0;
  }
  // Done: the movie played out or was stopped; a movie whose file did not
  // play (the player has said why) or that was not started and cannot be
  // clicked away counts as ended; otherwise a click ends it.
  CMoviePlayer* player = game_.sound->GetMoviePlayer();
  int done = movieStarted_ ? !(player && player->IsPlaying()) : !playedPath_.empty() || noSkipFlag_;
  if (!noSkipFlag_ && (GetClick(0) || GetClick(1))) done = 1;
  if (done) EndMovie();
  return -1;
}

int CCommonPrintMovie::Print() {
  if (!game_ || game_.sound->IsMovieOff() || nothingToPlay_) return -1;
  if (codecLevel_ < 3) {
    if (screenPicture_ && CScreenBuffer::CheckFullRedraw()) screenPicture_->Put(0, 0, 0);
    return -1;
  }
  CMoviePlayer* player = game_.sound->GetMoviePlayer();
  if (movieStarted_ && !lastWait_ && player) player->Update();
  return -1;
}

CCommonMoviePlaceHolder::CCommonMoviePlaceHolder(const GameRoles& game, int modeNumber, const char* listName)
    : CCommonGeneral(game) {
  SetModeNumber(modeNumber);
  LoadSetupFile(listName, 16);
}
