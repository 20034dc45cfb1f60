#include "sound/directsound.h"

namespace {

int LevelToVolume(int level) {
  const long long v = static_cast<long long>(level) * 100 - 10000;
  return static_cast<int>(v < -10000 ? -10000 : v > 0 ? 0 : v);
}

}  // namespace

CDirectSound::CDirectSound(platform::Window* window) : window_(window) {}

CDirectSound::~CDirectSound() { Release(); }

void CDirectSound::Release() {
  for (auto& slot : ring_) {
    if (slot) slot->Stop();
  }
  for (auto& slot : ring_) slot.reset();
  listener_ = false;
  primary_ = false;
  device_.reset();
}

int CDirectSound::Create(int applyFormat) {
  if (device_) return 1;
  device_ = platform::Audio();
  if (!device_) return 0;
  primary_ = true;
  // The host's mix has one fixed format; a requested primary format has no
  // stage to apply to.
  (void)applyFormat;
  // The listener of the 3-D model stands at the origin facing +z, always.
  listener_ = sound3D_ != 0;
  ringIndex_ = 0;
  return 1;
}

void CDirectSound::SetPrimaryFormat(int channels, int samplesPerSec, int bitsPerSample) {
  primaryChannels_ = channels;
  primarySamplesPerSec_ = samplesPerSec;
  primaryBitsPerSample_ = bitsPerSample;
}

void CDirectSound::SetVolume(int level) {
  if (!device_) return;
  oneShotVolume_ = LevelToVolume(level);
}

void CDirectSound::SetPrimaryVolume(int level) {
  if (!primary_) return;
  primaryVolume_ = LevelToVolume(level);
}

int CDirectSound::PlayPcm(const void* data, int size) {
  if (!device_) return 0;
  auto& slot = ring_[ringIndex_];
  if (slot) {
    slot->Stop();
    slot.reset();
  }
  if (!data || size <= 0) return 0;
  platform::BufferDesc desc;
  desc.format.channels = 1;
  desc.format.samplesPerSec = 22050;
  desc.format.bitsPerSample = 16;
  desc.size = static_cast<uint32_t>(size);
  desc.oneShot = true;
  slot = device_->CreateBuffer(desc, data);
  if (!slot) return 0;
  slot->SetVolume(oneShotVolume_);
  slot->Play(false);
  ringIndex_ = (ringIndex_ + 1) % kRingSize;
  return 1;
}

void CDirectSound::StopPcm() {
  if (!device_) return;
  for (auto& slot : ring_) {
    if (slot) slot->Stop();
  }
}
