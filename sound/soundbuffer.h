// One sound held whole in a platform sound buffer: a voice line, a sound
// effect or a system sound, played once or looping with a volume and either
// a stereo pan or a 3-D position.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/audio.h"

class CSoundBuffer {
 public:
  // device: CDirectSound::GetDirectSound (may be null: the buffer stays empty).
  CSoundBuffer(platform::AudioDevice* device, int use3D);
  virtual ~CSoundBuffer();
  CSoundBuffer(const CSoundBuffer&) = delete;
  CSoundBuffer& operator=(const CSoundBuffer&) = delete;

  void Release();
  // 1 on success, 0 on failure. size is rounded down to a multiple of 4.
  int CreateBuffer(const void* pcm, int size, int channels, int samplesPerSec, int bitsPerSample);
  void Play(int loop);
  // wait: poll (1 ms apart, at most 100 times) until the buffer says it stopped.
  void Stop(int wait);
  // level 0..100 -> level * 100 - 10000 hundredths of a decibel.
  void SetVolume(int level);

  void SetPosition(float x, float y, float z);
  void SetVelocity(float x, float y, float z);
  void SetMoveFlag(int value) { moveFlag_ = value; }
  void SetMoveValue(int value) { moveValue_ = value; }
  // 3-D: the buffer's position; otherwise the pan x * 100 (x: -100..100).
  void ApplyPosition(float x, float y, float z);
  void ApplyVelocity(float x, float y, float z);

  int IsCreated() const { return created_; }
  int Is3D() const { return use3D_; }
  int GetSize() const { return size_; }
  int GetChannels() const { return channels_; }
  int GetSamplesPerSec() const { return samplesPerSec_; }
  int GetBitsPerSample() const { return bitsPerSample_; }
  int GetMoveFlag() const { return moveFlag_; }
  int GetMoveValue() const { return moveValue_; }
  platform::Vector3 GetPosition() const { return position_; }
  platform::Vector3 GetVelocity() const { return velocity_; }
  // The platform buffer (null while empty), for the players and tests.
  platform::SoundBuffer* GetBuffer() const { return buffer_.get(); }

 protected:
  // Whether the buffer still reports that it plays; the waiting stop polls it.
  virtual bool ReadPlaying() const;

 private:
  platform::AudioDevice* device_;
  std::unique_ptr<platform::SoundBuffer> buffer_;
  int size_ = 0, channels_ = 0, samplesPerSec_ = 0, bitsPerSample_ = 0;
  int use3D_;
  int created_ = 0;
  platform::Vector3 position_, velocity_;
  int moveFlag_ = 0, moveValue_ = 0;
};
