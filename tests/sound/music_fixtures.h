// Music made in code for the music tests: 44,100 Hz stereo tones in
// segments of their own amplitude, written as music files into the test's
// game folder, and measurements of what the mix played.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "platform/headless/headless.h"
#include "sound/directsound.h"
#include "sound/musicfile.h"
#include "soundwriter.h"
#include "support/temp_dir.h"

namespace musictest {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;

// A stereo sine at hz, one segment of segmentSeconds per amplitude.
inline platform::WavData Tone(const std::vector<double>& amplitudes, double segmentSeconds,
                              double hz = 440.0, int channels = 2, int rate = kRate) {
  platform::WavData wav;
  wav.format = {channels, rate, 16};
  const int perSegment = static_cast<int>(std::lround(segmentSeconds * rate));
  int i = 0;
  for (double a : amplitudes) {
    for (int k = 0; k < perSegment; ++k, ++i) {
      const int16_t s = static_cast<int16_t>(std::lround(a * 32767 * std::sin(2 * kPi * hz * i / rate)));
      for (int c = 0; c < channels; ++c) {
        wav.pcm.push_back(static_cast<uint8_t>(static_cast<uint16_t>(s) & 0xFF));
        wav.pcm.push_back(static_cast<uint8_t>(static_cast<uint16_t>(s) >> 8));
      }
    }
  }
  return wav;
}

// The music file of a tone ("wgq/<name>.wgq").
inline void WriteMusic(const testsupport::TempDir& dir, const std::string& name,
                       const platform::WavData& wav) {
  std::vector<uint8_t> bytes;
  std::string error;
  ASSERT_TRUE(soundtool::MakeMusicFile(wav, 0.3f, &bytes, &error)) << error;
  dir.Write("wgq/" + name + ".wgq", std::string(bytes.begin(), bytes.end()));
}

// A music file around any Ogg stream (for formats the writer refuses).
inline void WriteRawMusic(const testsupport::TempDir& dir, const std::string& name,
                          const platform::WavData& wav, char type = '2') {
  std::vector<uint8_t> ogg;
  std::string error;
  ASSERT_TRUE(soundtool::EncodeVorbis(wav, 0.3f, &ogg, &error)) << error;
  const std::vector<uint8_t> bytes = soundtool::MakeMusicImage(type, ogg);
  dir.Write("wgq/" + name + ".wgq", std::string(bytes.begin(), bytes.end()));
}

// Everything the stream's decoder makes of a music file, as 16-bit samples.
inline std::vector<int16_t> DecodeMusic(const std::string& name) {
  std::vector<int16_t> out;
  FILE* file = OpenMusicFile(name.c_str());
  if (!file) return out;
  std::vector<uint8_t> batch(COggStreamDecoder::kOutputSize);
  COggStreamDecoder decoder(batch.data());
  if (decoder.Open(file)) {
    for (int n; (n = decoder.Decode()) > 0;) {
      for (int i = 0; i + 1 < n; i += 2)
        out.push_back(static_cast<int16_t>(static_cast<uint16_t>(batch[i] | (batch[i + 1] << 8))));
    }
  }
  decoder.Close();
  std::fclose(file);
  return out;
}

// Root mean square of one channel of interleaved stereo, over frames
// [from, from + count), as a fraction of full scale.
inline double Rms(const std::vector<int16_t>& mix, double fromSeconds, double seconds,
                  int channel = 0) {
  const size_t from = static_cast<size_t>(fromSeconds * kRate);
  const size_t count = static_cast<size_t>(seconds * kRate);
  double sum = 0;
  size_t n = 0;
  for (size_t f = from; f < from + count && 2 * f + 1 < mix.size(); ++f, ++n) {
    const double v = mix[2 * f + static_cast<size_t>(channel)] / 32768.0;
    sum += v * v;
  }
  return n ? std::sqrt(sum / static_cast<double>(n)) : 0.0;
}

// Amplitude of the hz component of the left channel over a window
// (Goertzel with a Hann window, so a neighbouring tone hardly leaks in).
inline double Amplitude(const std::vector<int16_t>& mix, double fromSeconds, double seconds,
                        double hz) {
  const size_t from = static_cast<size_t>(fromSeconds * kRate);
  size_t count = static_cast<size_t>(seconds * kRate);
  if (2 * (from + count) > mix.size()) count = mix.size() / 2 > from ? mix.size() / 2 - from : 0;
  if (count < 2) return 0;
  const double w = 2 * kPi * hz / kRate;
  double s1 = 0, s2 = 0, weights = 0;
  for (size_t n = 0; n < count; ++n) {
    const double hann = 0.5 - 0.5 * std::cos(2 * kPi * static_cast<double>(n) / static_cast<double>(count - 1));
    weights += hann;
    const double s0 = hann * mix[2 * (from + n)] / 32768.0 + 2 * std::cos(w) * s1 - s2;
    s2 = s1;
    s1 = s0;
  }
  const double power = s1 * s1 + s2 * s2 - 2 * std::cos(w) * s1 * s2;
  return 2 * std::sqrt(power > 0 ? power : 0) / weights;
}

// A quiet headless host, a game folder and a sound device for the music
// tests; the device goes before the folder and the host.
class DeviceTest : public testing::Test {
 protected:
  void SetUp() override {
    host_ = &platform::InstallHeadless();
    host_->SetBoxEcho(false);
    ds_ = std::make_unique<CDirectSound>(nullptr);
    ds_->Create(0);
  }
  void TearDown() override { ds_.reset(); }

  testsupport::TempDir dir_;
  platform::HeadlessBackend* host_ = nullptr;
  std::unique_ptr<CDirectSound> ds_;
};

}  // namespace musictest
