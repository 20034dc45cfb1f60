// The channels of the voice and sound-effect players: one sound buffer per
// channel, the script's parameter record of its sound, and a linear volume
// fade advanced by the game's frame step. Both players are this one design
// with a different channel count.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class CDirectSound;
class CSoundBuffer;

// 16 words per channel, saved and restored whole with the game status.
struct SoundChannelRecord {
  static constexpr int kWords = 16;
  enum Word {
    kLoop = 0,
    kNumber = 1,
    kVolume = 2,        // volume offset
    kPositionX = 3,     // tenths, -128..127
    kPositionY = 4,
    kPositionZ = 5,
    kMoveFlag = 6,
    kVelocityX = 7,     // tenths, -128..127
    kVelocityY = 8,
    kVelocityZ = 9,
    kMoveValue = 10,
    kPlaying = 15,
  };
  int32_t words[kWords] = {};
};

class CSoundChannelPlayer {
 public:
  static constexpr int kRecordCount = 8;

  virtual ~CSoundChannelPlayer();
  CSoundChannelPlayer(const CSoundChannelPlayer&) = delete;
  CSoundChannelPlayer& operator=(const CSoundChannelPlayer&) = delete;

  void Release();
  CDirectSound* GetDirectSound() const { return directSound_; }
  int GetChannelCount() const { return channelCount_; }
  int GetRecordCount() const { return kRecordCount; }

  // Channel operations; a channel outside the player's channels is ignored.
  int CreateBuffer(int channel, const void* pcm, int size, int channels, int samplesPerSec,
                   int bitsPerSample);
  void Apply3D(int channel);
  // volume 0..100; fadeTime in tenths of a second (0: at once).
  void SetVolume(int channel, int volume, int fadeTime);
  void Play(int channel, int loop, int fadeInTime);
  void Stop(int channel, int wait, int fadeOutTime);
  void StopLoop(int channel);
  void StopAll();
  // Advances the fades by the frame's elapsed milliseconds.
  void Calcu(int elapsed);

  // Record access (records 0..7, words 0..15; others read as 0).
  int GetParam(int channel, int word) const;
  void SetParam(int channel, int word, int value);
  int GetLoopFlag(int channel) const { return GetParam(channel, SoundChannelRecord::kLoop); }
  void SetLoopFlag(int channel, int flag) { SetParam(channel, SoundChannelRecord::kLoop, flag); }
  int IsPlaying(int channel) const { return GetParam(channel, SoundChannelRecord::kPlaying); }
  void SetStopped(int channel, int flag);

  // Pass-through to the channel's buffer.
  void SetPosition(int channel, float x, float y, float z);
  void SetVelocity(int channel, float x, float y, float z);
  void SetMoveFlag(int channel, int value);
  void SetMoveValue(int channel, int value);
  void ApplyPosition(int channel, float x, float y, float z);
  void ApplyVelocity(int channel, float x, float y, float z);

  // The channel's buffer (null outside the channels or without a device).
  CSoundBuffer* GetBuffer(int channel) const;
  // Fade state of a channel, for tests: time and counter in milliseconds.
  int GetFadeTime(int channel) const;
  int GetFadeCounter(int channel) const;
  int GetFadeStart(int channel) const;
  int GetFadeTarget(int channel) const;
  // The per-channel values the game passes and nobody uses.
  int GetExpand(int channel) const;

 protected:
  // is3D(channel) decides which channels get 3-D control.
  CSoundChannelPlayer(CDirectSound* directSound, int channelCount, const int* expand,
                      bool (*is3D)(int channel));
  // Fills the record from a script parameter list, word 2 given.
  void FillRecord(int channel, int soundNumber, int volumeWord, int count, const int* params);
  bool IsRecord(int channel) const { return channel >= 0 && channel < kRecordCount; }
  bool IsChannel(int channel) const { return channel >= 0 && channel < channelCount_; }

 private:
  CDirectSound* directSound_;
  int channelCount_;
  std::vector<std::unique_ptr<CSoundBuffer>> buffers_;
  SoundChannelRecord records_[kRecordCount];
  int fadeTime_[kRecordCount] = {};
  int fadeCounter_[kRecordCount] = {};
  int fadeStart_[kRecordCount] = {};
  int fadeTarget_[kRecordCount] = {};
  std::vector<int> expand_;
};
