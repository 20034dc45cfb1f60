// CBgmStream: background music played by streaming. A worker thread decodes
// music files into the two halves of a 2-second looping sound buffer,
// refilling each half while the other one plays, follows the playlist and
// applies fades in 0.1-second steps.
//
// The main thread never touches the buffer; it writes a command's parameters,
// signals the command's event and waits (at most 10 s) for its
// acknowledgement. Position notifications of the buffer are commands 0 and 1
// (and 2 on stop). The event signal and the wait order the memory accesses;
// the two flags the main thread reads without a command are atomic.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "platform/sync.h"
#include "platform/types.h"

class CBgmPlayList;
class COggStreamDecoder;

class CBgmStream {
 public:
  static constexpr int kChannels = 2;
  static constexpr int kSamplesPerSec = 44100;
  static constexpr int kBytesPerSec = 176400;
  static constexpr uint32_t kHalfSize = 176400;
  static constexpr uint32_t kBufferSize = 2 * kHalfSize;
  static constexpr int kSnapshotFrames = 1024;
  static constexpr int kSnapshotSize = kSnapshotFrames * 4;
  static constexpr int kCaptureSize = 176320;  // bytes of each half kept for the spectrum
  static constexpr uint32_t kCommandWaitMs = 10000;

  // Commands; the acknowledgement of command n is event 16 + n.
  enum Command {
    kNotifyHalf0 = 0,  // the play cursor reached byte 0
    kNotifyHalf1 = 1,  // ... byte 176,400
    kNotifyStop = 2,
    kPlay = 3,
    kStop = 4,
    kQuit = 5,
    kNothing = 6,
    kPlayCount = 7,
    kPause = 8,
    kRestart = 9,
    kIsPlaying = 10,
    kSetVolume = 11,
    kFadeOut = 12,
    kSnapshot = 13,
    kFadeVolume = 14,
    kCommandCount = 15,
  };

  // device may be null: the stream then has no thread and every command
  // answers 0. Modes 0 and 1 keep PCM copies for the spectrum; higher modes
  // do not and answer the wave requests as when idle.
  CBgmStream(platform::AudioDevice* device, int mode);
  ~CBgmStream();
  CBgmStream(const CBgmStream&) = delete;
  CBgmStream& operator=(const CBgmStream&) = delete;

  // Ends the thread (and waits for it), then frees everything.
  void Release();

  // Plays a music name (a playlist or one file) loopCount times (0: for
  // ever), fading in over fadeInTime tenths of a second when fadeInFlag is
  // set. 1 when the name was found.
  int Play(const char* name, int loopCount, int fadeInFlag, int fadeInTime);
  // fadeFlag: fade out over fadeOutTime tenths (<= 0 keeps the last time);
  // otherwise stop at once.
  int Stop(int fadeFlag, int fadeOutTime);
  // The volume the next Play starts at (0..100).
  void SetNextVolume(int volume);
  void Pause();
  void Restart();
  int IsPlaying();
  // Notifications served since the last play.
  int UpdatePlayCount();
  void SetVolume(int volume);
  // Fades to volume over time tenths of a second.
  void FadeVolume(int volume, int time);
  void StartSpectrum() { capture_.store(1); }
  void StopSpectrum() { capture_.store(0); }
  // count samples (at most 1024) of one channel (0 left, 1 right) of the
  // music playing now, -1..1. While idle: zeros and 0, without a command.
  int GetWaveFloat(float* dst, int count, int channel);
  // count left samples (at most 1024) spread over the last 1024 frames.
  int GetWaveSamples(int* dst, int count);
  int GetWaveSamples2(int* dst, int spare, int count);
  // Sets the buffer's volume directly: level * 20 - 2000 (0 is silence).
  void SetBufferVolume(int level);

  int GetMode() const { return mode_; }
  int HasThread() const { return thread_.Running() ? 1 : 0; }
  // The streaming buffer, for tests and diagnostics (its calls are safe from
  // any thread).
  platform::SoundBuffer* GetBuffer() const { return buffer_.get(); }

 private:
  // Main thread: signal a command and wait for its acknowledgement.
  void Send(int command);
  // Main thread: shows the messages the worker left (modal boxes belong to
  // the thread that runs the game).
  void ShowMessages();

  // Worker thread.
  void ThreadProc();
  void ThreadLoop();
  void OnNotify(int half);
  void OnPlay();
  void OnStop();
  void OnFadeOut();
  void Calcu();
  int FillHalf(int half);
  int OpenWgq(const char* name);
  void CloseFile();
  // The name after the current one, following the loop count at the end of
  // the list; null when the music ends.
  const char* NextName();
  // Opens name, or the first of the following names that opens.
  bool OpenFrom(const char* name);
  void TakeSnapshot();
  void ApplyVolume();
  void ApplyFadeIn();
  void ApplyFadeOut();
  void ApplyVolumeFade();
  void StartVolumeFade();
  void SetLevel(int64_t hundredths);

  // --- Set at construction ---
  platform::AudioDevice* device_;
  const int mode_;
  std::unique_ptr<platform::Event> events_[32];
  std::unique_ptr<platform::SoundBuffer> buffer_;
  using Block = std::unique_ptr<uint8_t[], platform::FreeBlock>;
  Block decodeBuffer_;
  std::unique_ptr<COggStreamDecoder> decoder_;
  Block fill_;
  Block snapshot_, copyA_, copyB_;
  // Loaded by the main thread while the worker has no file open.
  std::unique_ptr<CBgmPlayList> playlist_;
  platform::Thread thread_;

  // --- Written by the main thread before the command that reads them ---
  int loopCount_ = 0;
  int fadeInFlag_ = 0;
  int pendingFadeInTime_ = 20;
  int pendingFadeOutTime_ = 30;
  int pendingVolume_ = 100;
  int pendingTarget_ = 0, pendingTime_ = 0;
  int nextVolume_ = 100, nextVolumeFlag_ = 0;

  // --- Answers: written by the worker before the acknowledgement ---
  int playCountAnswer_ = 0;
  int playingAnswer_ = 0;

  // --- Read without a command ---
  std::atomic<int> capture_{0};
  std::atomic<int> playing_{0};

  // --- Worker only ---
  FILE* file_ = nullptr;
  int loopsRemaining_ = 0;
  int endFlag_ = 0;
  uint32_t filled_ = 0;
  int notificationCount_ = 0;
  int lastFilledHalf_ = 0;
  int volume_ = 100;
  int fadeInActive_ = 0, fadeOutActive_ = 0;
  int fadeInTime_ = 20, fadeOutTime_ = 30;
  int fadeInCounter_ = 0, fadeOutCounter_ = 0;
  int volumeFadeActive_ = 0, volumeFadeStart_ = 0, volumeFadeTarget_ = 0;
  int volumeFadeTime_ = 0, volumeFadeCounter_ = 0;
  int appliedLevel_ = 100;
  uint32_t lastTime_ = 0;
  int remainder100_ = 0;
  std::vector<std::string> refused_;  // names refused since the last play

  // Messages for the main thread.
  std::mutex messageMutex_;
  std::vector<std::string> messages_;
};
