// CCommonListenBGM: mode 8, the music room (settings list "ListenBGM").
// A scrolling list of the tracks of "mok\\listenbgmlist.xtx" (eight tokens
// a track) with rewind, play, fast-forward, pause and stop buttons, a
// volume slider that lasts only while the room is open, the track number
// and its length, and an optional spectrum of the playing music. Tracks
// can stay locked until the story has played them. Every state change
// reaches the scripts through "listenbgmmode" and "listenbgmnumber".
// The pure rules (spectrum size, window, bands, track lengths, name
// widths) are free functions in listenbgm:: for tests and the benchmark.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "modebase/commongeneral.h"
#include "modebase/modenumbers.h"
#include "mode/modekeys.h"

class CBgmPlayer;
class CCommonCheckButton;
class CCommonSlider;
class CFastFourierTransform;
class CNameList;
class CNumberPrint;
class CPicture;
class CSpectrumPrint;
class CTextPrint;

namespace listenbgm {

// More bands than this cannot be drawn side by side on any screen.
constexpr int kMaxBands = 1024;

// Samples per analysis: above 1023 is 1024, 64 or less is 64, then down to
// a power of two.
int SpectrumPoints(int requested);
// The analysis window over n samples (its period is n / 2 samples).
std::vector<float> MakeWindow(int n);
// The first bin of each of `bands` bands (at least 2) spread evenly on a
// log scale from startHz to endHz (each at least 1 Hz), held to
// 1 .. n / 2 - 1.
std::vector<int> BandStarts(int n, int bands, int startHz, int endHz);
// The level of every band from the transformed bins: the mean of the
// bins' decibels (floored at -100) plus 100. A band reaches to the next
// band's start (the last one to the band count), at least one bin, and
// never past bin n / 2 - 1.
void BandLevels(const float* re, const float* im, int n, const std::vector<int>& starts, int* out);
// One spectrum frame: the samples (n of them) through the window into
// re / im (n each), the transform, the band levels.
void SpectrumFrame(CFastFourierTransform* fft, const float* samples, const std::vector<float>& window,
                   const std::vector<int>& starts, float* re, float* im, int* levels);
// The length of a track in milliseconds from its minute and second tokens
// (decimal; one second is added), held to the int range.
int TrackLengthMs(const char* minutes, const char* seconds);
// A name's width in characters: its bytes with "codeByte" 1, else half.
int NameWidth(const char* text, int codeByte);
// The x offset that centres a name of `width` characters in nameMax.
int CentreOffset(int width, int nameMax, int fontSize, int codeByte);

}  // namespace listenbgm

class CCommonListenBGM : public CCommonGeneral {
 public:
  static constexpr int kModeNumber = modenumber::kListenBGM;
  static constexpr int kButtons = 5;
  enum ButtonIndex { kRew, kPlay, kFf, kPause, kStop };
  enum State { kStopped = 0, kPlaying = 1, kPaused = 2 };
  // Button i's two pictures are work pictures 3 + 2i and 4 + 2i.
  static constexpr int kFirstPoolPicture = 3;

  explicit CCommonListenBGM(const GameRoles& game);
  ~CCommonListenBGM() override;

  int Calcu() override;
  int Print() override;
  int Init() override;
  int PrintEnterScreen() override;
  virtual void Release();
  // The band levels of this frame: from the music while it plays, 0 while
  // stopped, unchanged while paused.
  virtual void CalcuSpectrum();

  // For tests.
  int GetTrackCount() const { return static_cast<int>(tracks_.size()); }
  int GetState() const { return state_; }
  int GetCursor() const { return cursor_; }
  int GetTop() const { return top_; }
  int GetPlayingTrack() const { return playing_; }
  int GetVolume() const { return volume_; }
  int IsAvailable(int t) const { return ValidTrack(t) ? tracks_[static_cast<size_t>(t)].available : 0; }
  int GetTrackLength(int t) const { return ValidTrack(t) ? tracks_[static_cast<size_t>(t)].lengthMs : 0; }
  int GetBgmNumber(int t) const { return ValidTrack(t) ? tracks_[static_cast<size_t>(t)].bgm : -1; }
  int GetSpectrumPoints() const { return points_; }
  const std::vector<int>& GetBandStarts() const { return bandStarts_; }
  const std::vector<int>& GetLevels() const { return levels_; }
  CCommonCheckButton* GetButton(int i) const {
    return i >= 0 && i < kButtons ? buttons_[i].get() : nullptr;
  }
  CCommonSlider* GetSlider() const { return slider_.get(); }
  // What the last Print showed: the track number and seconds (-1 none).
  int GetShownTrack() const { return shownTrack_; }
  int GetShownSeconds() const { return shownSeconds_; }
  // The cursor animation's frame pair and weight of the last Print.
  int GetCursorFrame() const { return cursorFrame_; }

 private:
  struct Track {
    const char* title = "";
    const char* file = "";
    int lengthMs = 0;
    int titleWidth = 0, lockedWidth = 0;
    const char* lockedName = "";
    int bgm = -1;
    int unlockVar = -1;
    int available = 1;
  };

  bool ValidTrack(int t) const { return t >= 0 && t < GetTrackCount(); }
  void ReadSettings();
  void ReadTracks();
  void SetUpSpectrum();
  CBgmPlayer* Player() const;

  void Stop();
  void PlayCursor();
  void TogglePause();
  void StateChange(int type);
  void SetButtonStates(int play, int pause, int stop);
  void MoveCursor(int d);
  void FollowTop();
  void SetCursor(int t);
  void Previous();
  void Next();
  // Rows that show a track: never more than the tracks below the top.
  int VisibleRows() const;
  int RowAt(int x, int y) const;
  void ClickRow(int t);
  void CalcuButtons();
  int ClickedButton(int i, bool input);

  void PrintRow(int t);
  void PrintTrackAndTime();
  void RestoreArea(int x, int y, int w, int h) const;

  // Settings.
  struct Keys {
    int playRestart = 0, stopRestart = 0, pauseRestart = 0;
    int volumeMin = 80, volumeMax = 100;
    int nameMax = 12, rows = 8;
    int checkListen = 0, useCannotByList = 0;
    int volumeX = 53, volumeY = 464, volumeW = 338, volumeH = 17, volumeTrans = 1;
    int fadeIn = 0, fadeOut = 20, loop = 0;
    int fontSize = 22;
    int digitW = 16, digitH = 22, digitNextX = 16, digitNextY = 0;
    int trackAndTime = 1;
    int trackX = 162, trackY = 101, minuteX = 276, minuteY = 101, secondX = 334, secondY = 101;
    int animeFlag = 1, animeType = 5, animeSpeed = 1, animePattern = 8;
    int nameX = 0, nameY = 0;
    int cursorX = 76, cursorY = 199, cursorW = 294, cursorH = 27, cursorNextX = 0, cursorNextY = 26;
    int spectrum = 0, spectrumPoints = 256, bands = 16, startHz = 200, endHz = 10000;
  };
  Keys k_;
  Rgb color_{255, 255, 255}, cannotColor_{128, 128, 128};
  const char* cannotName_ = nullptr;
  const char* volumeFile_ = "ta_opt_bar";
  const char* numberFile_ = "ta_bgm_num1";
  const char* cursorFile_ = "ta_bgm_selc";
  int codeByte_ = 2;

  std::unique_ptr<CNameList> list_;
  std::vector<Track> tracks_;
  std::unique_ptr<CCommonCheckButton> buttons_[kButtons];
  std::unique_ptr<CTextPrint> text_;
  std::unique_ptr<CCommonSlider> slider_;
  std::unique_ptr<CPicture> numberFont_;
  std::unique_ptr<CNumberPrint> number_;
  std::unique_ptr<CPicture> cursorPicture_;

  // Spectrum.
  int points_ = 0;
  std::unique_ptr<CFastFourierTransform> fft_;
  std::unique_ptr<CSpectrumPrint> spectrum_;
  std::vector<float> samples_, re_, im_, window_;
  std::vector<int> bandStarts_, levels_;

  // State.
  int state_ = kStopped;
  int cursor_ = 0, top_ = 0, playing_ = -1, listenNumber_ = 0;
  int frames_ = 0;
  int volume_ = 0, keptVolumeSetting_ = 0;
  int64_t cursorCounter_ = 0;
  int cursorFrame_ = 0;
  int shownTrack_ = -1, shownSeconds_ = -1;
};
