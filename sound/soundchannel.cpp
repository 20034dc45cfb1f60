#include "sound/soundchannel.h"

#include "sound/directsound.h"
#include "sound/soundbuffer.h"

namespace {

int Clamp(long long v, int lo, int hi) { return static_cast<int>(v < lo ? lo : v > hi ? hi : v); }

// Tenths of a second to milliseconds. A time that is not positive means no
// fade: the change happens at once instead of never.
int FadeMs(int tenths) {
  if (tenths <= 0) return 0;
  return Clamp(static_cast<long long>(tenths) * 100, 0, 0x7FFFFFFF);
}

// Position and velocity words are signed bytes in an int's clothing.
int SignedByte(int v) { return v >= 128 ? v - 256 : v; }

}  // namespace

CSoundChannelPlayer::CSoundChannelPlayer(CDirectSound* directSound, int channelCount,
                                         const int* expand, bool (*is3D)(int channel))
    : directSound_(directSound), channelCount_(channelCount) {
  platform::AudioDevice* device = directSound ? directSound->GetDirectSound() : nullptr;
  buffers_.resize(static_cast<size_t>(channelCount));
  for (int i = 0; i < channelCount; ++i) {
    if (device) buffers_[i] = std::make_unique<CSoundBuffer>(device, is3D(i) ? 1 : 0);
    expand_.push_back(expand ? expand[i] : 0);
  }
}

CSoundChannelPlayer::~CSoundChannelPlayer() { Release(); }

void CSoundChannelPlayer::Release() {
  for (auto& b : buffers_) b.reset();
  for (int i = 0; i < kRecordCount; ++i) fadeTime_[i] = 0;
}

CSoundBuffer* CSoundChannelPlayer::GetBuffer(int channel) const {
  return IsChannel(channel) ? buffers_[channel].get() : nullptr;
}

int CSoundChannelPlayer::CreateBuffer(int channel, const void* pcm, int size, int channels,
                                      int samplesPerSec, int bitsPerSample) {
  CSoundBuffer* b = GetBuffer(channel);
  return b ? b->CreateBuffer(pcm, size, channels, samplesPerSec, bitsPerSample) : 0;
}

void CSoundChannelPlayer::FillRecord(int channel, int soundNumber, int volumeWord, int count,
                                     const int* params) {
  if (!IsRecord(channel)) return;
  auto p = [&](int i) { return params && i < count ? params[i] : 0; };
  int32_t* w = records_[channel].words;
  w[SoundChannelRecord::kLoop] = p(3);
  w[SoundChannelRecord::kNumber] = soundNumber;
  w[SoundChannelRecord::kVolume] = volumeWord;
  for (int i = 0; i < 3; ++i) w[SoundChannelRecord::kPositionX + i] = SignedByte(p(4 + i));
  w[SoundChannelRecord::kMoveFlag] = p(7);
  for (int i = 0; i < 3; ++i) w[SoundChannelRecord::kVelocityX + i] = SignedByte(p(8 + i));
  w[SoundChannelRecord::kMoveValue] = p(11);
}

void CSoundChannelPlayer::Apply3D(int channel) {
  CSoundBuffer* b = GetBuffer(channel);
  if (!b) return;
  const int32_t* w = records_[channel].words;
  b->SetPosition(w[SoundChannelRecord::kPositionX] * 0.1f, w[SoundChannelRecord::kPositionY] * 0.1f,
                 w[SoundChannelRecord::kPositionZ] * 0.1f);
  b->SetMoveFlag(w[SoundChannelRecord::kMoveFlag]);
  if (w[SoundChannelRecord::kMoveFlag] > 0) {
    b->SetVelocity(w[SoundChannelRecord::kVelocityX] * 0.1f,
                   w[SoundChannelRecord::kVelocityY] * 0.1f,
                   w[SoundChannelRecord::kVelocityZ] * 0.1f);
    b->SetMoveValue(w[SoundChannelRecord::kMoveValue]);
  }
}

void CSoundChannelPlayer::SetVolume(int channel, int volume, int fadeTime) {
  if (!IsChannel(channel)) return;
  fadeCounter_[channel] = 0;
  fadeTime_[channel] = FadeMs(fadeTime);
  if (fadeTime_[channel] == 0) {
    if (CSoundBuffer* b = GetBuffer(channel)) b->SetVolume(volume);
  } else {
    fadeStart_[channel] = fadeTarget_[channel];
  }
  fadeTarget_[channel] = volume;
}

void CSoundChannelPlayer::Play(int channel, int loop, int fadeInTime) {
  if (!IsChannel(channel)) return;
  CSoundBuffer* b = GetBuffer(channel);
  fadeTime_[channel] = FadeMs(fadeInTime);
  if (fadeTime_[channel] > 0) {
    if (b) b->SetVolume(0);
    fadeStart_[channel] = 0;
    fadeCounter_[channel] = 0;
  }
  if (b) b->Play(loop);
  records_[channel].words[SoundChannelRecord::kPlaying] = 1;
}

void CSoundChannelPlayer::Stop(int channel, int wait, int fadeOutTime) {
  if (!IsChannel(channel)) return;
  const int oldTime = fadeTime_[channel];
  const int oldCounter = fadeCounter_[channel];
  const int oldStart = fadeStart_[channel];
  const int oldTarget = fadeTarget_[channel];
  fadeStart_[channel] = oldTarget;
  fadeTarget_[channel] = 0;
  fadeCounter_[channel] = 0;
  fadeTime_[channel] = FadeMs(fadeOutTime);
  if (fadeTime_[channel] == 0) {
    if (CSoundBuffer* b = GetBuffer(channel)) b->Stop(wait);
  } else if (oldTime > 0 && oldCounter >= 0 && oldCounter < oldTime) {
    // Fade out from the level the running fade has reached.
    const long long reached =
        oldStart + static_cast<long long>(oldTarget - oldStart) * oldCounter / oldTime;
    fadeStart_[channel] = Clamp(reached, 0, 100);
  }
  records_[channel].words[SoundChannelRecord::kPlaying] = 0;
}

void CSoundChannelPlayer::StopLoop(int channel) {
  if (!IsRecord(channel) || !records_[channel].words[SoundChannelRecord::kLoop]) return;
  Stop(channel, 0, 0);
  records_[channel].words[SoundChannelRecord::kLoop] = 0;
}

void CSoundChannelPlayer::StopAll() {
  for (int i = 0; i < channelCount_; ++i) {
    if (CSoundBuffer* b = GetBuffer(i)) b->Stop(0);
    fadeTime_[i] = 0;
    records_[i].words[SoundChannelRecord::kPlaying] = 0;
  }
}

void CSoundChannelPlayer::Calcu(int elapsed) {
  if (elapsed < 0) elapsed = 0;
  for (int i = 0; i < channelCount_; ++i) {
    const int time = fadeTime_[i];
    if (time <= 0) continue;
    long long counter = static_cast<long long>(fadeCounter_[i]) + elapsed;
    if (counter >= time) {
      counter = time;
      fadeTime_[i] = 0;
    }
    fadeCounter_[i] = static_cast<int>(counter);
    const long long level =
        counter * (static_cast<long long>(fadeTarget_[i]) - fadeStart_[i]) / time + fadeStart_[i];
    const int clamped = Clamp(level, 0, 100);
    CSoundBuffer* b = GetBuffer(i);
    if (b) b->SetVolume(clamped);
    if (clamped == 0 && fadeTarget_[i] < 1) {
      // A fade-out that reached silence ends the sound and its loop.
      if (b) b->Stop(0);
      fadeTime_[i] = 0;
      records_[i].words[SoundChannelRecord::kLoop] = 0;
      records_[i].words[SoundChannelRecord::kPlaying] = 0;
    }
  }
}

int CSoundChannelPlayer::GetParam(int channel, int word) const {
  if (!IsRecord(channel) || word < 0 || word >= SoundChannelRecord::kWords) return 0;
  return records_[channel].words[word];
}

void CSoundChannelPlayer::SetParam(int channel, int word, int value) {
  if (!IsRecord(channel) || word < 0 || word >= SoundChannelRecord::kWords) return;
  records_[channel].words[word] = value;
}

void CSoundChannelPlayer::SetStopped(int channel, int flag) {
  SetParam(channel, SoundChannelRecord::kPlaying, flag == 0 ? 1 : 0);
}

void CSoundChannelPlayer::SetPosition(int channel, float x, float y, float z) {
  if (CSoundBuffer* b = GetBuffer(channel)) b->SetPosition(x, y, z);
}

void CSoundChannelPlayer::SetVelocity(int channel, float x, float y, float z) {
  if (CSoundBuffer* b = GetBuffer(channel)) b->SetVelocity(x, y, z);
}

void CSoundChannelPlayer::SetMoveFlag(int channel, int value) {
  if (CSoundBuffer* b = GetBuffer(channel)) b->SetMoveFlag(value);
}

void CSoundChannelPlayer::SetMoveValue(int channel, int value) {
  if (CSoundBuffer* b = GetBuffer(channel)) b->SetMoveValue(value);
}

void CSoundChannelPlayer::ApplyPosition(int channel, float x, float y, float z) {
  if (CSoundBuffer* b = GetBuffer(channel)) b->ApplyPosition(x, y, z);
}

void CSoundChannelPlayer::ApplyVelocity(int channel, float x, float y, float z) {
  if (CSoundBuffer* b = GetBuffer(channel)) b->ApplyVelocity(x, y, z);
}

int CSoundChannelPlayer::GetFadeTime(int channel) const {
  return IsChannel(channel) ? fadeTime_[channel] : 0;
}
int CSoundChannelPlayer::GetFadeCounter(int channel) const {
  return IsChannel(channel) ? fadeCounter_[channel] : 0;
}
int CSoundChannelPlayer::GetFadeStart(int channel) const {
  return IsChannel(channel) ? fadeStart_[channel] : 0;
}
int CSoundChannelPlayer::GetFadeTarget(int channel) const {
  return IsChannel(channel) ? fadeTarget_[channel] : 0;
}
int CSoundChannelPlayer::GetExpand(int channel) const {
  return IsChannel(channel) ? expand_[channel] : 0;
}
