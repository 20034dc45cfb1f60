#include "sound/movieplayer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "graphics/screenbuffer.h"
#include "platform/files.h"
#include "platform/movie.h"
#include "platform/system.h"
#include "platform/types.h"

namespace {

// A movie that ends this much before the length its file gives (or a
// twentieth of that length, when more) broke off: its file is cut short or
// damaged.
constexpr int64_t kShortfallAllowed = 5000000;  // 0.5 s in 100-ns units

std::string Seconds(int64_t units) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f s", static_cast<double>(units) / 1e7);
  return text;
}

// The movie played out short of its length; one of unknown length that
// showed and sounded nothing at all.
bool EndedShort(const platform::Movie& movie) {
  const int64_t length = movie.Info().duration;
  if (length <= 0) return movie.Reached() <= 0;
  return movie.Reached() < length - std::max(kShortfallAllowed, length / 20);
}

}  // namespace

CMoviePlayer::CMoviePlayer(platform::Window* window, uint32_t notifyMessage, int useVmr9)
    : window_(window), notifyMessage_(notifyMessage), useVmr9_(useVmr9) {}

CMoviePlayer::~CMoviePlayer() { Release(); }

void CMoviePlayer::Release() {
  Stop();
  ReleaseMovie();
}

void CMoviePlayer::ReleaseMovie() {
  movie_.reset();
  endPosted_ = 0;
}

int CMoviePlayer::Play(const char* fileName, int64_t startPosition) {
  if (!fileName || std::strlen(fileName) > kMaxFileName) return 0;
  if (fileName != fileName_) std::memmove(fileName_, fileName, std::strlen(fileName) + 1);
  Stop();
  ReleaseMovie();
  movie_ = platform::Movie::Open(fileName_);
  if (!movie_) {
    // The start-up's check may have passed on the header alone.
    ReportUndecodable("");
    return 0;
  }
  finished_ = 0;
  const int volume = volume_ * 100 - 10000;
  if (!movie_->Start(startPosition > 0 ? startPosition : 0, volume)) {
    ReportUndecodable(" (it cannot be played from " + Seconds(startPosition > 0 ? startPosition : 0) + ")");
    ReleaseMovie();
    return 0;
  }
  playing_ = 1;
  CScreenBuffer::SetFullRedraw(0);
  return 1;
}

void CMoviePlayer::ReportUndecodable(const std::string& detail) {
  const std::string why = "the file is not a movie that can be decoded" + detail;
  platform::ErrorOutput((std::string("movie: ") + fileName_ + ": " + why).c_str());
  // The box once a file in a run: a movie played again says it on stderr only.
  if (!reportedFiles_.insert(fileName_).second) return;
  const std::string text = std::string(fileName_) + "\nThe" + why.substr(3) + ".";
  platform::MessageBox(nullptr, text.c_str(), "ERROR", MB_OK | MB_ICONERROR);
}

int CMoviePlayer::Stop() {
  if (!playing_) return 0;
  if (movie_) movie_->Stop();
  ReleaseMovie();
  playing_ = 0;
  return 1;
}

void CMoviePlayer::SetVolume(int level) { volume_ = std::clamp(level, 0, 100); }

int CMoviePlayer::CheckEvent() {
  if (!movie_) return 1;
  if (endPosted_) {
    movie_->Stop();
    platform::DebugOutput("[EC_COMPLETE]");
    finished_ = 1;
    ReleaseMovie();
    // Nothing plays any more: a later Stop or Suspend finds nothing to use.
    playing_ = 0;
  }
  return 0;
}

int CMoviePlayer::RepaintVideo(platform::Window*, void*) {
  CScreenBuffer::SetFullRedraw(0);
  return 1;
}

int CMoviePlayer::Suspend() {
  savedPosition_ = playing_ && movie_ ? movie_->Position() : -1;
  Stop();
  return 1;
}

int CMoviePlayer::Resume() {
  Play(fileName_, savedPosition_);
  return 1;
}

int CMoviePlayer::CheckCodec(const char* fileName) {
  if (!fileName) return kLevelFailed;
  // Every answer below complete names the file and why on stderr.
  auto failed = [fileName](int level, const char* why) {
    platform::ErrorOutput((std::string("movie check: ") + fileName + ": " + why).c_str());
    return level;
  };
  if (std::strlen(fileName) > kMaxFileName) return failed(kLevelFailed, "the name is too long");
  const long long size = platform::FileSize(fileName);
  if (size < 0) return failed(kLevelFailed, "the file is not there");
  if (size == 0) return failed(kLevelFailed, "the file is empty");
  // The header answers when it can, so the check loads no decoder; the
  // decoder answers otherwise.
  platform::MovieInfo info;
  if (platform::Movie::ProbeHeader(fileName, &info)) {
    if (!info.videoDecodes && !info.audioDecodes)
      return failed(kLevelFailed, "the file is not a movie that can be decoded");
  } else {
    std::unique_ptr<platform::Movie> movie = platform::Movie::Open(fileName);
    if (!movie) return failed(kLevelFailed, "the file is not a movie that can be decoded");
    info = movie->Info();
  }
  if (info.hasVideo && !info.videoDecodes) return failed(kLevelNoVideo, "its pictures do not decode");
  if (info.hasAudio && !info.audioDecodes) return failed(kLevelNoAudio, "its sound does not decode");
  return kLevelComplete;
}

void CMoviePlayer::Update() {
  if (!playing_ || !movie_ || endPosted_) return;
  uint32_t* screen = CScreenBuffer::GetBuffer();
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  movie_->Update(screen, w, h, w);
  CScreenBuffer::SetFullRedraw(0);
  if (!movie_->Ended()) return;
  if (EndedShort(*movie_))
    ReportUndecodable(" (it breaks off at " + Seconds(movie_->Reached()) + " of its " +
                      Seconds(movie_->Info().duration) + ")");
  endPosted_ = 1;
  if (window_)
    platform::PostMessage(window_, notifyMessage_, 0, 0);
  else
    CheckEvent();
}

int64_t CMoviePlayer::GetPosition() const { return playing_ && movie_ ? movie_->Position() : 0; }
