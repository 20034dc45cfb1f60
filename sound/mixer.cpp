#include "sound/mixer.h"

CMixer::CMixer() : device_(platform::Audio()) {
  // The host offers one line: its system wave volume.
  found_[kWave] = device_ ? 1 : 0;
  for (int line = 0; line < kLineCount; ++line) {
    if (found_[line]) saved_[line] = GetVolume(static_cast<Line>(line), 1);
  }
}

CMixer::~CMixer() { Release(); }

void CMixer::Release() {
  if (found_[kSynth]) SetSynthVolume(saved_[kSynth], 1);
  if (found_[kWave]) SetWaveVolume(saved_[kWave], 1);
  if (found_[kCd]) SetCdVolume(saved_[kCd], 1);
}

void CMixer::RestoreWaveVolume() {
  if (found_[kWave]) SetWaveVolume(saved_[kWave], 1);
}

int CMixer::GetVolume(Line line, int raw) const {
  if (!found_[line] || line != kWave) return 0;
  long long sum = 0;
  const int channels = platform::AudioDevice::WaveVolumeChannels();
  for (int c = 0; c < channels; ++c) sum += device_->GetWaveVolume(c);
  const long long mean = sum / channels;
  return static_cast<int>(raw ? mean : mean * 100 / 65535);
}

void CMixer::SetVolume(Line line, int level, int raw) {
  if (!found_[line] || line != kWave) return;
  const long long value = raw ? level : static_cast<long long>(level) * 65535 / 100;
  const int channels = platform::AudioDevice::WaveVolumeChannels();
  // The control's range is 0..65535.
  const int clamped = static_cast<int>(value < 0 ? 0 : value > 65535 ? 65535 : value);
  for (int c = 0; c < channels; ++c) device_->SetWaveVolume(c, clamped);
}
