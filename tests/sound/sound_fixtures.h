// Sounds made in code for the sound tests: sine waves as WAV data, and voice
// files and packs written into the test's game folder.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "soundwriter.h"
#include "support/temp_dir.h"

namespace soundtest {

// frames of a sine at hz with the given peak, in the given format.
inline platform::WavData Sine(int rate, int channels, int bits, int frames, double hz = 440.0,
                              double peak = 0.5) {
  platform::WavData wav;
  wav.format = {channels, rate, bits};
  const double kPi = 3.14159265358979323846;
  for (int i = 0; i < frames; ++i) {
    for (int c = 0; c < channels; ++c) {
      // The right channel a fifth higher, so the two can be told apart.
      const double f = c == 0 ? hz : hz * 1.5;
      const double v = peak * std::sin(2 * kPi * f * i / rate);
      if (bits == 8) {
        wav.pcm.push_back(static_cast<uint8_t>(128 + static_cast<int>(std::lround(v * 127))));
      } else {
        const int16_t s = static_cast<int16_t>(std::lround(v * 32767));
        wav.pcm.push_back(static_cast<uint8_t>(static_cast<uint16_t>(s) & 0xFF));
        wav.pcm.push_back(static_cast<uint8_t>(static_cast<uint16_t>(s) >> 8));
      }
    }
  }
  return wav;
}

inline std::string Str(const std::vector<uint8_t>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

inline int16_t Sample16(const uint8_t* p) {
  return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
}

inline void Put32(std::vector<uint8_t>* bytes, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) (*bytes)[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// Byte offsets of a voice file as the writers make it (fmt length 18).
constexpr size_t kRiffLengthAt = 68;
constexpr size_t kFmtLengthAt = 80;
constexpr size_t kDataLengthAt = 84 + soundtool::kFmtLength + 4;
constexpr size_t kBodyAt = 92 + soundtool::kFmtLength;

}  // namespace soundtest
