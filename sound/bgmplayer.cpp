#include "sound/bgmplayer.h"

#include "sound/bgmstream.h"
#include "sound/directsound.h"

CBgmPlayer::CBgmPlayer(CDirectSound* directSound) {
  platform::AudioDevice* device = directSound ? directSound->GetDirectSound() : nullptr;
  if (!device) return;
  streams_[0] = std::make_unique<CBgmStream>(device, 0);
  streams_[1] = std::make_unique<CBgmStream>(device, 1);
}

CBgmPlayer::~CBgmPlayer() { Release(); }

void CBgmPlayer::Release() {
  for (auto& stream : streams_) stream.reset();
}

void CBgmPlayer::SetDefaultFadeTimes(int fadeIn, int fadeOut) {
  defaultFadeIn_ = fadeIn;
  defaultFadeOut_ = fadeOut;
}

CBgmStream* CBgmPlayer::GetStream(int index) const {
  return index == 0 || index == 1 ? streams_[index].get() : nullptr;
}

int CBgmPlayer::Play(const char* name, int loopCount, int volume, int fadeInTime,
                     int fadeOutTime) {
  if (!Current()) return 0;
  if (fadeInTime == -1) fadeInTime = defaultFadeIn_;
  if (fadeOutTime == -1) fadeOutTime = defaultFadeOut_;
  Current()->Stop(fadeOutTime != 0, fadeOutTime);
  current_ ^= 1;
  Current()->SetNextVolume(volume);
  return Current()->Play(name, loopCount, fadeInTime != 0, fadeInTime);
}

int CBgmPlayer::Stop(int fadeOutTime) {
  if (!Current()) return 0;
  if (fadeOutTime == -1) fadeOutTime = defaultFadeOut_;
  return Current()->Stop(fadeOutTime != 0, fadeOutTime);
}

void CBgmPlayer::Pause() {
  if (Current()) Current()->Pause();
}

void CBgmPlayer::Restart() {
  if (Current()) Current()->Restart();
}

int CBgmPlayer::IsPlaying() { return Current() ? Current()->IsPlaying() : 0; }

void CBgmPlayer::SetVolume(int volume) {
  if (Current()) Current()->SetVolume(volume);
}

void CBgmPlayer::FadeVolume(int volume, int time) {
  if (Current()) Current()->FadeVolume(volume, time);
}

void CBgmPlayer::StartSpectrum() {
  for (auto& stream : streams_) {
    if (stream) stream->StartSpectrum();
  }
}

void CBgmPlayer::StopSpectrum() {
  for (auto& stream : streams_) {
    if (stream) stream->StopSpectrum();
  }
}

int CBgmPlayer::GetWaveFloat(float* dst, int count, int channel) {
  if (Current()) return Current()->GetWaveFloat(dst, count, channel);
  // Silent like an idle stream.
  for (int i = 0; dst && i < count && i < CBgmStream::kSnapshotFrames; ++i) dst[i] = 0.0f;
  return 0;
}

int CBgmPlayer::GetWaveSamples(int* dst, int count) {
  if (Current()) return Current()->GetWaveSamples(dst, count);
  for (int i = 0; dst && i < count && i < CBgmStream::kSnapshotFrames; ++i) dst[i] = 0;
  return 0;
}

int CBgmPlayer::GetWaveSamples2(int* dst, int count, int spare) {
  if (Current()) return Current()->GetWaveSamples2(dst, spare, count);
  return GetWaveSamples(dst, count);
}
