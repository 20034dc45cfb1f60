#include "sound/soundbuffer.h"

#include <cmath>

#include "platform/system.h"

CSoundBuffer::CSoundBuffer(platform::AudioDevice* device, int use3D)
    : device_(device), use3D_(use3D ? 1 : 0) {}

CSoundBuffer::~CSoundBuffer() { Release(); }

void CSoundBuffer::Release() {
  Stop(0);
  buffer_.reset();
}

int CSoundBuffer::CreateBuffer(const void* pcm, int size, int channels, int samplesPerSec,
                               int bitsPerSample) {
  if (!device_) {
    created_ = 0;
    return 0;
  }
  if (size % 4 != 0) size = static_cast<int>(static_cast<uint32_t>(size) & 0x7FFFFFFCu);
  Stop(0);
  buffer_.reset();
  created_ = 0;
  if (!pcm || size <= 0) return 0;

  platform::BufferDesc desc;
  desc.format.channels = channels;
  desc.format.samplesPerSec = samplesPerSec;
  desc.format.bitsPerSample = bitsPerSample;
  desc.size = static_cast<uint32_t>(size);
  desc.control3D = use3D_ != 0;
  buffer_ = device_->CreateBuffer(desc, pcm);
  if (!buffer_) return 0;
  size_ = size;
  channels_ = channels;
  samplesPerSec_ = samplesPerSec;
  bitsPerSample_ = bitsPerSample;
  created_ = 1;

  position_ = {};
  velocity_ = {};
  moveFlag_ = 0;
  moveValue_ = 0;
  if (use3D_) {
    buffer_->Set3DPosition({});
    buffer_->Set3DVelocity({});
  } else {
    buffer_->SetPan(0);
  }
  return 1;
}

void CSoundBuffer::Play(int loop) {
  if (!created_ || !buffer_) return;
  ApplyPosition(position_.x, position_.y, position_.z);
  buffer_->Play(loop != 0);
}

bool CSoundBuffer::ReadPlaying() const { return buffer_ && buffer_->IsPlaying(); }

void CSoundBuffer::Stop(int wait) {
  if (!created_ || !buffer_) return;
  buffer_->Stop();
  if (!wait) return;
  for (int i = 0; i < 100; ++i) {
    if (!ReadPlaying()) break;
    platform::Sleep(1);
  }
}

void CSoundBuffer::SetVolume(int level) {
  if (!buffer_) return;
  // In 64 bits: a wild level must clamp, not wrap.
  const long long v = static_cast<long long>(level) * 100 - 10000;
  buffer_->SetVolume(static_cast<int>(v < -10000 ? -10000 : v > 0 ? 0 : v));
}

void CSoundBuffer::SetPosition(float x, float y, float z) { position_ = {x, y, z}; }

void CSoundBuffer::SetVelocity(float x, float y, float z) { velocity_ = {x, y, z}; }

void CSoundBuffer::ApplyPosition(float x, float y, float z) {
  if (!buffer_) return;
  if (use3D_) {
    buffer_->Set3DPosition({x, y, z});
    return;
  }
  // Truncated toward zero after adding a half, as the pan has always been
  // computed; kept in range first so the conversion is defined.
  float pan = x * 100.0f + 0.5f;
  if (!std::isfinite(pan)) pan = 0.0f;
  if (pan > 20000.0f) pan = 20000.0f;
  if (pan < -20000.0f) pan = -20000.0f;
  buffer_->SetPan(static_cast<int>(pan));
}

void CSoundBuffer::ApplyVelocity(float x, float y, float z) {
  if (use3D_ && buffer_) buffer_->Set3DVelocity({x, y, z});
}
