// Sound output. One device per program, mixed in software at 44,100 Hz
// stereo 16-bit; the engine plays sound buffers on it in the manner of the
// desktop sound API it was written for: volumes in hundredths of a decibel,
// pan, frequency, position notifications and a simple 3-D model. When no
// sound card opens, the buffers still play silently by the clock, so the
// game behaves the same with or without sound.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

class Event;
class AudioDevice;

constexpr int kMixRate = 44100;
constexpr int kMixChannels = 2;

constexpr int kVolumeSilent = -10000;  // hundredths of a decibel
constexpr int kVolumeFull = 0;
constexpr int kPanLeft = -10000;       // right side fully attenuated
constexpr int kPanRight = 10000;
constexpr int kFrequencyMin = 100;
constexpr int kFrequencyMax = 200000;
constexpr int kFrequencyOriginal = 0;
constexpr uint32_t kMaxBufferBytes = 0x0FFFFFFF;
// Offset of a notification that fires when the buffer stops.
constexpr uint32_t kNotifyOnStop = 0xFFFFFFFFu;
// Full level of the system wave volume (per channel).
constexpr int kWaveVolumeFull = 65535;

struct AudioFormat {
  int channels = 2;         // 1 or 2
  int samplesPerSec = kMixRate;
  int bitsPerSample = 16;   // 8 (unsigned) or 16 (signed)
  int BlockAlign() const { return channels * (bitsPerSample / 8); }
  bool Valid() const;
};

struct Vector3 {
  float x = 0, y = 0, z = 0;
};

struct Notification {
  uint32_t offset = 0;      // byte offset, or kNotifyOnStop
  Event* event = nullptr;   // not owned; must outlive the buffer's use of it
};

// Linear gains the mix applies to a buffer's left and right output.
struct ChannelGains {
  double left = 1, right = 1;
};

// One started sound, as the device's play log keeps it (tests read it).
struct PlayRecord {
  uint32_t buffer = 0;      // the buffer's id
  AudioFormat format;
  uint32_t size = 0;
  uint32_t position = 0;    // where it started
  bool loop = false;
  int volume = 0, pan = 0;
  bool control3D = false;
};

struct BufferState;

// A sound buffer: a block of PCM that plays once or looping. Every call is
// safe from any thread; the mix runs under the device's one lock.
class SoundBuffer {
 public:
  ~SoundBuffer();
  SoundBuffer(const SoundBuffer&) = delete;
  SoundBuffer& operator=(const SoundBuffer&) = delete;

  uint32_t Id() const;
  uint32_t Size() const;
  AudioFormat Format() const;
  bool Is3D() const;

  // Copies bytes into the buffer from offset on, continuing at the start
  // when the end is reached (as a ring). False when offset or size do not fit.
  bool Write(uint32_t offset, const void* data, uint32_t size);
  bool Read(uint32_t offset, void* out, uint32_t size) const;

  // Plays from the current position; a buffer that plays already only takes
  // the new loop flag. Starting at position 0 fires the notifications at 0.
  void Play(bool loop);
  // Stops and keeps the position; fires the stop notifications when it played.
  void Stop();
  bool IsPlaying() const;
  bool IsLooping() const;

  // The play cursor in bytes.
  uint32_t GetPosition() const;
  // False past the end; rounded down to a whole frame.
  bool SetPosition(uint32_t bytes);

  // Hundredths of a decibel, clamped to -10000..0; -10000 is silence.
  void SetVolume(int volume);
  int GetVolume() const;
  // -10000..10000 (clamped); negative attenuates the right side. False for
  // 3-D buffers, whose pan follows their position.
  bool SetPan(int pan);
  int GetPan() const;
  // Playback rate in Hz (100..200000) or kFrequencyOriginal.
  bool SetFrequency(int hz);
  int GetFrequency() const;

  // Replaces the notification list.
  bool SetNotifications(const Notification* list, int count);

  // 3-D buffers only: the listener stands at the origin facing +z with +y
  // up. Distance attenuates with minimum distance 1 and roll-off 1; the
  // azimuth pans (the far side's gain is 1 - |sin azimuth|). No Doppler:
  // the velocity is kept but not heard.
  bool Set3DPosition(const Vector3& position);
  Vector3 Get3DPosition() const;
  bool Set3DVelocity(const Vector3& velocity);
  Vector3 Get3DVelocity() const;

  // The gains the mix applies now, before the device's system wave volume.
  ChannelGains Gains() const;

 private:
  friend class AudioDevice;
  SoundBuffer(std::shared_ptr<AudioDevice> device, std::unique_ptr<BufferState> state);
  std::shared_ptr<AudioDevice> device_;
  std::unique_ptr<BufferState> state_;
};

struct BufferDesc {
  AudioFormat format;
  uint32_t size = 0;        // rounded down to a multiple of 4
  bool control3D = false;
  bool oneShot = false;     // takes the device's one-shot gain
};

class AudioDevice : public std::enable_shared_from_this<AudioDevice> {
 public:
  static std::shared_ptr<AudioDevice> Create();
  ~AudioDevice();
  AudioDevice(const AudioDevice&) = delete;
  AudioDevice& operator=(const AudioDevice&) = delete;

  // A buffer filled from pcm (null: silence); null when the format or size
  // is refused or memory runs out.
  std::unique_ptr<SoundBuffer> CreateBuffer(const BufferDesc& desc, const void* pcm);

  // Master gain of one-shot buffers, hundredths of a decibel.
  void SetOneShotVolume(int volume);
  int GetOneShotVolume() const;
  // The in-program "system wave volume": a linear gain 0..65535 per output
  // channel over the whole mix. The desktop's own mixer is never touched.
  static constexpr int WaveVolumeChannels() { return kMixChannels; }
  void SetWaveVolume(int channel, int raw);
  int GetWaveVolume(int channel) const;

  // Whether the mix reaches a sound card (false: it is computed by the clock
  // and dropped).
  bool HasOutput() const;

  // --- Driver side ---
  void SetHasOutput(bool on);
  // Mixes `frames` frames into out (interleaved stereo) and moves every
  // playing buffer on by that much time. With out null only the cursors
  // move (and the capture, when on, still receives the mix).
  void Render(int16_t* out, int frames);

  // --- Tests ---
  // Keeps a copy of everything mixed from now on.
  void StartCapture();
  // Ends the capture and returns it (interleaved stereo at 44,100 Hz).
  std::vector<int16_t> StopCapture();
  bool Capturing() const;
  std::vector<PlayRecord> PlayLog() const;
  void ClearPlayLog();
  int BufferCount() const;

 private:
  friend class SoundBuffer;
  AudioDevice() = default;
  void Detach(BufferState* state);
  void MixBuffer(BufferState& b, float* accumulate, int frames, std::vector<Event*>* fire);

  mutable std::mutex mutex_;
  std::vector<BufferState*> buffers_;
  uint32_t nextId_ = 1;
  int oneShotVolume_ = 0;
  int waveVolume_[kMixChannels] = {kWaveVolumeFull, kWaveVolumeFull};
  bool hasOutput_ = false;
  bool capturing_ = false;
  std::vector<int16_t> capture_;
  std::vector<PlayRecord> playLog_;
  std::vector<float> scratch_;
};

// The installed host's device.
std::shared_ptr<AudioDevice> Audio();

// Gain of a volume in hundredths of a decibel: 10^(v/2000), 0 at -10000.
double VolumeToGain(int volume);

// WAV files (PCM, 8 or 16 bits) for tools and tests.
struct WavData {
  AudioFormat format;
  std::vector<uint8_t> pcm;
};
// A WAV file's sound as its fmt chunk describes it, whatever the coding:
// the format tag (for the extensible header, that of its sub-format), and
// the data chunk cut to whole frames.
struct WavSource {
  static constexpr uint16_t kTagPcm = 1;
  static constexpr uint16_t kTagFloat = 3;
  static constexpr uint16_t kTagExtensible = 0xFFFE;
  uint16_t formatTag = 0;
  int channels = 0;
  int samplesPerSec = 0;
  int bitsPerSample = 0;  // of each sample's container
  std::vector<uint8_t> data;
};
bool ParseWavSource(const void* bytes, size_t size, WavSource* out, std::string* error);
bool ReadWavSourceFile(const std::string& hostPath, WavSource* out, std::string* error);
// Only PCM of 8 or 16 bits in 1 or 2 channels, plain or behind the
// extensible header.
bool ParseWav(const void* bytes, size_t size, WavData* out, std::string* error);
bool ReadWavFile(const std::string& hostPath, WavData* out, std::string* error);
std::vector<uint8_t> MakeWav(const AudioFormat& format, const void* pcm, size_t size);
bool WriteWavFile(const std::string& hostPath, const AudioFormat& format, const void* pcm,
                  size_t size);

}  // namespace platform
