// CBgmPlayer: the game's one music object. It owns two music streams and
// switches to the other one on every play, so the piece that was playing
// can fade out on one while the new one starts on the other.
#pragma once

#include <memory>

class CBgmStream;
class CDirectSound;

class CBgmPlayer {
 public:
  // Without a sound device no stream is made and every operation is silent.
  explicit CBgmPlayer(CDirectSound* directSound);
  ~CBgmPlayer();
  CBgmPlayer(const CBgmPlayer&) = delete;
  CBgmPlayer& operator=(const CBgmPlayer&) = delete;

  void Release();
  // Tenths of a second; the game's "defaultMusicFadeInTime" and
  // "defaultMusicFadeOutTime" (defaults 0 and 5).
  void SetDefaultFadeTimes(int fadeIn, int fadeOut);

  // Fades out (or with fadeOutTime 0 stops) the piece playing and starts
  // name on the other stream at volume (0..100). -1 takes a default time.
  int Play(const char* name, int loopCount, int volume, int fadeInTime, int fadeOutTime);
  int Stop(int fadeOutTime);
  void Pause();
  void Restart();
  int IsPlaying();
  void SetVolume(int volume);
  void FadeVolume(int volume, int time);
  void StartSpectrum();
  void StopSpectrum();
  int GetWaveFloat(float* dst, int count, int channel);
  int GetWaveSamples(int* dst, int count);
  int GetWaveSamples2(int* dst, int count, int spare);

  int GetCurrentIndex() const { return current_; }
  // Stream 0 or 1 (null without a device).
  CBgmStream* GetStream(int index) const;
  int GetDefaultFadeInTime() const { return defaultFadeIn_; }
  int GetDefaultFadeOutTime() const { return defaultFadeOut_; }

 private:
  CBgmStream* Current() const { return streams_[current_].get(); }

  std::unique_ptr<CBgmStream> streams_[2];
  int current_ = 0;
  int defaultFadeIn_ = 0;
  int defaultFadeOut_ = 5;
};
