// The software mixer shared by both backends: buffers, their cursors and
// notifications, gains, and the mix itself.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/audio.h"
#include "platform/backend.h"
#include "platform/sync.h"

namespace platform {

struct BufferState {
  uint32_t id = 0;
  AudioFormat format;
  uint32_t size = 0;
  uint32_t frames = 0;
  bool control3D = false;
  bool oneShot = false;
  std::unique_ptr<uint8_t[], FreeBlock> data;

  bool playing = false;
  bool looping = false;
  uint32_t frame = 0;       // play cursor in frames
  uint32_t phase = 0;       // 0..kMixRate-1: how far toward the next frame
  int volume = 0;
  int pan = 0;
  int frequency = kFrequencyOriginal;
  Vector3 position, velocity;
  std::vector<Notification> notes;
};

namespace {

int ClampInt(long long v, int lo, int hi) {
  return static_cast<int>(v < lo ? lo : v > hi ? hi : v);
}

// The sample of one channel of one frame, scaled to 16 bits.
float SampleAt(const BufferState& b, uint32_t frame, int channel) {
  const int ch = b.format.channels == 1 ? 0 : channel;
  if (b.format.bitsPerSample == 8) {
    const uint8_t v = b.data[static_cast<size_t>(frame) * b.format.channels + ch];
    return static_cast<float>((static_cast<int>(v) - 128) * 256);
  }
  const uint8_t* p = &b.data[(static_cast<size_t>(frame) * b.format.channels + ch) * 2];
  return static_cast<float>(static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8))));
}

ChannelGains ComputeGains(const BufferState& b, int oneShotVolume) {
  long long volume = b.volume;
  if (b.oneShot) volume += oneShotVolume;
  ChannelGains g;
  if (b.control3D) {
    // Listener at the origin facing +z: inverse distance beyond 1, and the
    // side away from the sound loses |sin azimuth| of its gain.
    const double x = b.position.x, y = b.position.y, z = b.position.z;
    const double distance = std::sqrt(x * x + y * y + z * z);
    const double base = VolumeToGain(ClampInt(volume, kVolumeSilent, kVolumeFull)) *
                        (distance > 1.0 ? 1.0 / distance : 1.0);
    const double horizontal = std::sqrt(x * x + z * z);
    const double s = horizontal > 0 ? x / horizontal : 0.0;
    g.left = base * (s > 0 ? 1.0 - s : 1.0);
    g.right = base * (s < 0 ? 1.0 + s : 1.0);
    return g;
  }
  // Pan attenuates one side on top of the volume, in decibels.
  const long long leftDb = volume - (b.pan > 0 ? b.pan : 0);
  const long long rightDb = volume + (b.pan < 0 ? b.pan : 0);
  g.left = leftDb <= kVolumeSilent ? 0.0 : VolumeToGain(static_cast<int>(leftDb));
  g.right = rightDb <= kVolumeSilent ? 0.0 : VolumeToGain(static_cast<int>(rightDb));
  return g;
}

// Whether the cursor, moving `advanced` bytes on from `from` in a ring of
// `size` bytes, passed `offset` (from itself excluded).
bool Passed(uint32_t from, uint64_t advanced, uint32_t offset, uint32_t size) {
  if (offset >= size) return false;
  uint64_t distance = (static_cast<uint64_t>(offset) + size - from) % size;
  if (distance == 0) distance = size;
  return distance <= advanced;
}

void FireAt(const BufferState& b, uint32_t offset, std::vector<Event*>* fire) {
  for (const Notification& n : b.notes)
    if (n.offset == offset && n.event) fire->push_back(n.event);
}

void SetAll(const std::vector<Event*>& fire) {
  for (Event* e : fire) e->Set();
}

}  // namespace

bool AudioFormat::Valid() const {
  return (channels == 1 || channels == 2) && (bitsPerSample == 8 || bitsPerSample == 16) &&
         samplesPerSec >= kFrequencyMin && samplesPerSec <= kFrequencyMax;
}

double VolumeToGain(int volume) {
  if (volume <= kVolumeSilent) return 0.0;
  if (volume >= 0) return 1.0;
  return std::pow(10.0, volume / 2000.0);
}

// --- AudioDevice ---

std::shared_ptr<AudioDevice> AudioDevice::Create() {
  return std::shared_ptr<AudioDevice>(new AudioDevice());
}

AudioDevice::~AudioDevice() = default;

std::unique_ptr<SoundBuffer> AudioDevice::CreateBuffer(const BufferDesc& desc, const void* pcm) {
  if (!desc.format.Valid()) return nullptr;
  const uint32_t size = desc.size & ~3u;
  if (size == 0 || size > kMaxBufferBytes) return nullptr;
  auto state = std::make_unique<BufferState>();
  // A new buffer holds silence: 0x80 for 8 bits, 0 for 16 bits, which calloc
  // gives without clearing memory that comes fresh from the system.
  const bool zeroSilence = !pcm && desc.format.bitsPerSample != 8;
  state->data.reset(static_cast<uint8_t*>(zeroSilence ? std::calloc(size, 1) : std::malloc(size)));
  if (!state->data) return nullptr;
  if (pcm)
    std::memcpy(state->data.get(), pcm, size);
  else if (!zeroSilence)
    std::memset(state->data.get(), 0x80, size);
  state->format = desc.format;
  state->size = size;
  state->frames = size / static_cast<uint32_t>(desc.format.BlockAlign());
  state->control3D = desc.control3D;
  state->oneShot = desc.oneShot;
  BufferState* raw = state.get();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    state->id = nextId_++;
    buffers_.push_back(raw);
  }
  return std::unique_ptr<SoundBuffer>(new SoundBuffer(shared_from_this(), std::move(state)));
}

void AudioDevice::Detach(BufferState* state) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::erase(buffers_, state);
}

void AudioDevice::SetOneShotVolume(int volume) {
  std::lock_guard<std::mutex> lock(mutex_);
  oneShotVolume_ = ClampInt(volume, kVolumeSilent, kVolumeFull);
}

int AudioDevice::GetOneShotVolume() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return oneShotVolume_;
}

void AudioDevice::SetWaveVolume(int channel, int raw) {
  if (channel < 0 || channel >= kMixChannels) return;
  std::lock_guard<std::mutex> lock(mutex_);
  waveVolume_[channel] = ClampInt(raw, 0, kWaveVolumeFull);
}

int AudioDevice::GetWaveVolume(int channel) const {
  if (channel < 0 || channel >= kMixChannels) return 0;
  std::lock_guard<std::mutex> lock(mutex_);
  return waveVolume_[channel];
}

bool AudioDevice::HasOutput() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return hasOutput_;
}

void AudioDevice::SetHasOutput(bool on) {
  std::lock_guard<std::mutex> lock(mutex_);
  hasOutput_ = on;
}

void AudioDevice::StartCapture() {
  std::lock_guard<std::mutex> lock(mutex_);
  capturing_ = true;
  capture_.clear();
}

std::vector<int16_t> AudioDevice::StopCapture() {
  std::lock_guard<std::mutex> lock(mutex_);
  capturing_ = false;
  return std::move(capture_);
}

bool AudioDevice::Capturing() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return capturing_;
}

std::vector<PlayRecord> AudioDevice::PlayLog() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return playLog_;
}

void AudioDevice::ClearPlayLog() {
  std::lock_guard<std::mutex> lock(mutex_);
  playLog_.clear();
}

int AudioDevice::BufferCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(buffers_.size());
}

void AudioDevice::MixBuffer(BufferState& b, float* accumulate, int frames,
                            std::vector<Event*>* fire) {
  if (!b.playing || frames <= 0) return;
  const uint32_t block = static_cast<uint32_t>(b.format.BlockAlign());
  const uint64_t rate = static_cast<uint64_t>(b.frequency != kFrequencyOriginal
                                                  ? b.frequency
                                                  : b.format.samplesPerSec);
  const uint32_t startFrame = b.frame;
  uint64_t advanced = 0;  // source frames moved, across loops
  bool ended = false;

  if (!accumulate) {
    // Nobody listens: move the cursor in one step.
    const uint64_t total = b.phase + static_cast<uint64_t>(frames) * rate;
    advanced = total / kMixRate;
    b.phase = static_cast<uint32_t>(total % kMixRate);
    const uint64_t next = b.frame + advanced;
    if (next >= b.frames) {
      if (b.looping)
        b.frame = static_cast<uint32_t>(next % b.frames);
      else
        ended = true;
    } else {
      b.frame = static_cast<uint32_t>(next);
    }
  } else {
    const ChannelGains g = ComputeGains(b, oneShotVolume_);
    const float gl = static_cast<float>(g.left), gr = static_cast<float>(g.right);
    for (int i = 0; i < frames; ++i) {
      uint32_t following = b.frame + 1;
      if (following >= b.frames) following = b.looping ? 0 : b.frame;
      const float t = static_cast<float>(b.phase) / static_cast<float>(kMixRate);
      for (int c = 0; c < kMixChannels; ++c) {
        const float s0 = SampleAt(b, b.frame, c);
        const float s1 = SampleAt(b, following, c);
        const float v = b.phase == 0 ? s0 : s0 + (s1 - s0) * t;
        accumulate[2 * i + c] += v * (c == 0 ? gl : gr);
      }
      const uint64_t total = b.phase + rate;
      const uint64_t step = total / kMixRate;
      b.phase = static_cast<uint32_t>(total % kMixRate);
      advanced += step;
      const uint64_t next = b.frame + step;
      if (next >= b.frames) {
        if (!b.looping) {
          ended = true;
          break;
        }
        b.frame = static_cast<uint32_t>(next % b.frames);
      } else {
        b.frame = static_cast<uint32_t>(next);
      }
    }
  }

  const uint32_t from = startFrame * block;
  if (ended) {
    // The cursor ran to the end: offsets after it fire, then the stop ones;
    // the buffer rests at the start, ready to play again.
    for (const Notification& n : b.notes)
      if (n.event && n.offset != kNotifyOnStop && n.offset > from && n.offset < b.size)
        fire->push_back(n.event);
    b.playing = false;
    b.frame = 0;
    b.phase = 0;
    FireAt(b, kNotifyOnStop, fire);
    return;
  }
  const uint64_t bytes = advanced * block;
  if (bytes == 0) return;
  for (const Notification& n : b.notes)
    if (n.event && Passed(from, bytes, n.offset, b.size)) fire->push_back(n.event);
}

void AudioDevice::Render(int16_t* out, int frames) {
  if (frames <= 0) return;
  std::vector<Event*> fire;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const bool mix = out || capturing_;
    if (mix) {
      scratch_.assign(static_cast<size_t>(frames) * kMixChannels, 0.0f);
      for (BufferState* b : buffers_) MixBuffer(*b, scratch_.data(), frames, &fire);
      const size_t first = capture_.size();
      if (capturing_) capture_.resize(first + scratch_.size());
      for (size_t i = 0; i < scratch_.size(); ++i) {
        const float wave = static_cast<float>(waveVolume_[i % kMixChannels]) /
                           static_cast<float>(kWaveVolumeFull);
        const float v = std::floor(scratch_[i] * wave + 0.5f);
        const int16_t s = static_cast<int16_t>(v > 32767.0f ? 32767 : v < -32768.0f ? -32768 : v);
        if (out) out[i] = s;
        if (capturing_) capture_[first + i] = s;
      }
    } else {
      for (BufferState* b : buffers_) MixBuffer(*b, nullptr, frames, &fire);
    }
    // Still under the lock: once a buffer is destroyed (which takes the
    // lock) no notification of it can fire, so its owner may free the
    // events. A woken thread that calls into the device waits for the lock.
    SetAll(fire);
  }
}

// --- SoundBuffer ---

SoundBuffer::SoundBuffer(std::shared_ptr<AudioDevice> device, std::unique_ptr<BufferState> state)
    : device_(std::move(device)), state_(std::move(state)) {}

SoundBuffer::~SoundBuffer() { device_->Detach(state_.get()); }

uint32_t SoundBuffer::Id() const { return state_->id; }
uint32_t SoundBuffer::Size() const { return state_->size; }
AudioFormat SoundBuffer::Format() const { return state_->format; }
bool SoundBuffer::Is3D() const { return state_->control3D; }

bool SoundBuffer::Write(uint32_t offset, const void* data, uint32_t size) {
  BufferState& b = *state_;
  if (offset >= b.size || size > b.size || (size > 0 && !data)) return false;
  std::lock_guard<std::mutex> lock(device_->mutex_);
  const uint32_t first = std::min(size, b.size - offset);
  std::memcpy(b.data.get() + offset, data, first);
  if (size > first) std::memcpy(b.data.get(), static_cast<const uint8_t*>(data) + first, size - first);
  return true;
}

bool SoundBuffer::Read(uint32_t offset, void* out, uint32_t size) const {
  const BufferState& b = *state_;
  if (offset >= b.size || size > b.size || (size > 0 && !out)) return false;
  std::lock_guard<std::mutex> lock(device_->mutex_);
  const uint32_t first = std::min(size, b.size - offset);
  std::memcpy(out, b.data.get() + offset, first);
  if (size > first) std::memcpy(static_cast<uint8_t*>(out) + first, b.data.get(), size - first);
  return true;
}

void SoundBuffer::Play(bool loop) {
  std::vector<Event*> fire;
  {
    std::lock_guard<std::mutex> lock(device_->mutex_);
    BufferState& b = *state_;
    b.looping = loop;
    if (!b.playing) {
      b.playing = true;
      if (b.frame == 0) FireAt(b, 0, &fire);
      PlayRecord r;
      r.buffer = b.id;
      r.format = b.format;
      r.size = b.size;
      r.position = b.frame * static_cast<uint32_t>(b.format.BlockAlign());
      r.loop = loop;
      r.volume = b.volume;
      r.pan = b.pan;
      r.control3D = b.control3D;
      device_->playLog_.push_back(r);
    }
  }
  SetAll(fire);
}

void SoundBuffer::Stop() {
  std::vector<Event*> fire;
  {
    std::lock_guard<std::mutex> lock(device_->mutex_);
    BufferState& b = *state_;
    if (b.playing) {
      b.playing = false;
      FireAt(b, kNotifyOnStop, &fire);
    }
  }
  SetAll(fire);
}

bool SoundBuffer::IsPlaying() const {
  std::lock_guard<std::mutex> lock(device_->mutex_);
  return state_->playing;
}

bool SoundBuffer::IsLooping() const {
  std::lock_guard<std::mutex> lock(device_->mutex_);
  return state_->playing && state_->looping;
}

uint32_t SoundBuffer::GetPosition() const {
  std::lock_guard<std::mutex> lock(device_->mutex_);
  return state_->frame * static_cast<uint32_t>(state_->format.BlockAlign());
}

bool SoundBuffer::SetPosition(uint32_t bytes) {
  std::lock_guard<std::mutex> lock(device_->mutex_);
  BufferState& b = *state_;
  if (bytes >= b.size) return false;
  b.frame = bytes / static_cast<uint32_t>(b.format.BlockAlign());
  b.phase = 0;
  return true;
}

void SoundBuffer::SetVolume(int volume) {
  std::lock_guard<std::mutex> lock(device_->mutex_);
  state_->volume = ClampInt(volume, kVolumeSilent, kVolumeFull);
}

int SoundBuffer::GetVolume() const {
  std::lock_guard<std::mutex> lock(device_->mutex_);
  return state_->volume;
}

bool SoundBuffer::SetPan(int pan) {
  std::lock_guard<std::mutex> lock(device_->mutex_);
  if (state_->control3D) return false;
  state_->pan = ClampInt(pan, kPanLeft, kPanRight);
  return true;
}

int SoundBuffer::GetPan() const {
  std::lock_guard<std::mutex> lock(device_->mutex_);
  return state_->pan;
}

bool SoundBuffer::SetFrequency(int hz) {
  if (hz != kFrequencyOriginal && (hz < kFrequencyMin || hz > kFrequencyMax)) return false;
  std::lock_guard<std::mutex> lock(device_->mutex_);
  state_->frequency = hz;
  return true;
}

int SoundBuffer::GetFrequency() const {
  std::lock_guard<std::mutex> lock(device_->mutex_);
  return state_->frequency != kFrequencyOriginal ? state_->frequency
                                                 : state_->format.samplesPerSec;
}

bool SoundBuffer::SetNotifications(const Notification* list, int count) {
  if (count < 0 || (count > 0 && !list)) return false;
  std::lock_guard<std::mutex> lock(device_->mutex_);
  state_->notes.assign(list, list + count);
  return true;
}

bool SoundBuffer::Set3DPosition(const Vector3& position) {
  std::lock_guard<std::mutex> lock(device_->mutex_);
  if (!state_->control3D) return false;
  // A position the mix cannot measure counts as the listener's own.
  const bool finite =
      std::isfinite(position.x) && std::isfinite(position.y) && std::isfinite(position.z);
  state_->position = finite ? position : Vector3{};
  return true;
}

Vector3 SoundBuffer::Get3DPosition() const {
  std::lock_guard<std::mutex> lock(device_->mutex_);
  return state_->position;
}

bool SoundBuffer::Set3DVelocity(const Vector3& velocity) {
  std::lock_guard<std::mutex> lock(device_->mutex_);
  if (!state_->control3D) return false;
  state_->velocity = velocity;
  return true;
}

Vector3 SoundBuffer::Get3DVelocity() const {
  std::lock_guard<std::mutex> lock(device_->mutex_);
  return state_->velocity;
}

ChannelGains SoundBuffer::Gains() const {
  std::lock_guard<std::mutex> lock(device_->mutex_);
  return ComputeGains(*state_, device_->oneShotVolume_);
}

// --- Host access ---

std::shared_ptr<AudioDevice> Backend::Audio() {
  // A host without sound output: buffers exist but never move.
  static std::shared_ptr<AudioDevice> silent = AudioDevice::Create();
  return silent;
}

std::shared_ptr<AudioDevice> Audio() { return Host().Audio(); }

}  // namespace platform
