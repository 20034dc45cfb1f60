// CMoviePlayer: the game's movie player. It plays one movie file full
// screen through the platform's movie service: each frame of the movie mode
// it writes the picture due now into the screen buffer, scaled to the whole
// screen, and asks for a full redraw; the sound plays from a streaming
// buffer at the player's volume. When picture and sound have played out it
// posts its notify message to the window, and CheckEvent, called for that
// message, marks the movie finished.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <set>
#include <string>

namespace platform {
class Movie;
class Window;
}  // namespace platform

class CMoviePlayer {
 public:
  // The notify message the game gives it (WM_APP + 1).
  static constexpr uint32_t kNotifyMessage = 0x8001;
  static constexpr size_t kMaxFileName = 255;
  static constexpr int kDefaultVolume = 90;
  // Render levels of CheckCodec: the file does not open or nothing in it
  // decodes; its video stream has no working decoder; its audio stream has
  // none; all of it decodes. (Level 3 is never given.)
  static constexpr int kLevelFailed = 0;
  static constexpr int kLevelNoVideo = 1;
  static constexpr int kLevelNoAudio = 2;
  static constexpr int kLevelComplete = 4;

  // useVmr9: the game passes its movie cursor option, the one the window's
  // cursor follows over a movie; kept, it changes nothing in the drawing,
  // of which there is one way.
  CMoviePlayer(platform::Window* window, uint32_t notifyMessage, int useVmr9);
  ~CMoviePlayer();
  CMoviePlayer(const CMoviePlayer&) = delete;
  CMoviePlayer& operator=(const CMoviePlayer&) = delete;

  // Stop, then the decoder is released.
  void Release();
  // Plays fileName (game-relative) from startPosition (100-ns units, 0 or
  // below: from the start). 1, or 0 when nothing plays (a name longer than
  // kMaxFileName is refused).
  int Play(const char* fileName, int64_t startPosition = 0);
  // 1, or 0 when not playing.
  int Stop();
  // 0..100, taken at the next Play (level x 100 - 10000 hundredths of a
  // decibel).
  void SetVolume(int level);
  // Takes the end notification: the finished flag, "[EC_COMPLETE]" on the
  // debug output, the decoder released. 0, or 1 when no movie is open.
  int CheckEvent();
  // The next frame is drawn whole. Always 1.
  int RepaintVideo(platform::Window* window, void* dc);
  int DisplayModeChanged() { return 1; }
  // Keeps the position (-1 when it cannot be read) and stops; 1.
  int Suspend();
  // Plays the same file again from the kept position; 1.
  int Resume();
  // The render level of a file (see above).
  int CheckCodec(const char* fileName);

  // The movie mode's frame: decodes what is due, writes the picture due now
  // into the screen buffer and asks for a full redraw while playing.
  void Update();

  int IsPlaying() const { return playing_; }
  int IsFinished() const { return finished_; }
  int GetVolume() const { return volume_; }
  int GetUseVmr9() const { return useVmr9_; }
  int64_t GetSavedPosition() const { return savedPosition_; }
  const char* GetFileName() const { return fileName_; }
  // The movie clock (100-ns units); 0 when nothing plays.
  int64_t GetPosition() const;

 private:
  void ReleaseMovie();
  // "movie: FILE: the file is not a movie that can be decoded" and the
  // detail on stderr; the first time for the file in this run also the box.
  void ReportUndecodable(const std::string& detail);

  platform::Window* window_;
  uint32_t notifyMessage_;
  std::unique_ptr<platform::Movie> movie_;
  int playing_ = 0, finished_ = 0;
  int volume_ = kDefaultVolume;
  int64_t savedPosition_ = -1;
  int useVmr9_;
  char fileName_[kMaxFileName + 1] = {};
  // The end was posted and not yet taken.
  int endPosted_ = 0;
  // Files whose failure the player was shown in a box.
  std::set<std::string> reportedFiles_;
};
