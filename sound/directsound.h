// The program's one sound device. Everything that plays sound gets the
// platform device from here; the game creates it at start and keeps it to
// the end.
#pragma once

#include <memory>

#include "platform/audio.h"
#include "platform/backend.h"

class CDirectSound {
 public:
  static constexpr int kRingSize = 5;

  explicit CDirectSound(platform::Window* window);
  ~CDirectSound();
  CDirectSound(const CDirectSound&) = delete;
  CDirectSound& operator=(const CDirectSound&) = delete;

  void Release();
  // Takes the host's device. A second call while it exists changes nothing.
  int Create(int applyFormat);
  // The window the device was made for (owner of its message boxes).
  platform::Window* GetWindow() const { return window_; }
  // Null before Create (or after Release).
  platform::AudioDevice* GetDirectSound() const { return device_.get(); }

  // Kept for a Create with applyFormat; the host mixes at its own fixed
  // format, so the stored one is only remembered.
  void SetPrimaryFormat(int channels, int samplesPerSec, int bitsPerSample);
  int GetPrimaryChannels() const { return primaryChannels_; }
  int GetPrimarySamplesPerSec() const { return primarySamplesPerSec_; }
  int GetPrimaryBitsPerSample() const { return primaryBitsPerSample_; }
  void SetSound3DFlag(int flag) { sound3D_ = flag ? 1 : 0; }
  int GetSound3DFlag() const { return sound3D_; }

  // level 0..100: the volume of one-shot blocks played from now on.
  void SetVolume(int level);
  int GetVolume() const { return oneShotVolume_; }
  // level 0..100 for the whole output.
  void SetPrimaryVolume(int level);
  int GetPrimaryVolume() const { return primaryVolume_; }

  // Plays mono 16-bit 22,050 Hz PCM once through the next of five ring slots.
  int PlayPcm(const void* data, int size);
  void StopPcm();

 private:
  platform::Window* window_;
  std::shared_ptr<platform::AudioDevice> device_;
  bool primary_ = false;
  std::unique_ptr<platform::SoundBuffer> ring_[kRingSize];
  bool listener_ = false;
  int ringIndex_ = 0;
  int oneShotVolume_ = 0;
  int primaryVolume_ = 0;
  int primaryChannels_ = 1;
  int primarySamplesPerSec_ = 22050;
  int primaryBitsPerSample_ = 16;
  int sound3D_ = 1;
};
