#include "tones.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <sstream>

namespace soundtool {
namespace {

constexpr int kFadeMs = 5;
constexpr long kMaxFrames = 10L * 60 * 192000;  // ten minutes at the highest rate

bool Fail(int line, const std::string& why, std::string* error) {
  *error = "line " + std::to_string(line) + ": " + why;
  return false;
}

void Append(std::vector<uint8_t>* pcm, int16_t sample) {
  pcm->push_back(static_cast<uint8_t>(sample & 0xFF));
  pcm->push_back(static_cast<uint8_t>((sample >> 8) & 0xFF));
}

}  // namespace

bool ReadToneText(const std::string& text, platform::WavData* out, std::string* error) {
  out->format.channels = 1;
  out->format.bitsPerSample = 16;
  out->format.samplesPerSec = 22050;
  out->pcm.clear();
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  long frames = 0;
  while (std::getline(lines, line)) {
    ++number;
    std::istringstream words(line);
    std::string word;
    if (!(words >> word) || word[0] == '#') continue;
    if (word == "rate") {
      int rate = 0;
      if (!(words >> rate) || rate < 100 || rate > 192000) return Fail(number, "rate takes 100..192000", error);
      if (frames > 0) return Fail(number, "the rate comes before the sound", error);
      out->format.samplesPerSec = rate;
      continue;
    }
    double frequency = 0;
    int ms = 0, volume = 50;
    if (word == "note") {
      if (!(words >> frequency >> ms) || frequency <= 0 || ms < 0)
        return Fail(number, "note takes a frequency above 0 and a length in ms", error);
      if ((words >> volume) && (volume < 0 || volume > 100)) return Fail(number, "volume takes 0..100", error);
    } else if (word == "rest") {
      if (!(words >> ms) || ms < 0) return Fail(number, "rest takes a length in ms", error);
      volume = 0;
    } else {
      return Fail(number, "unknown word \"" + word + "\"", error);
    }
    const int rate = out->format.samplesPerSec;
    const long count = static_cast<long>(ms) * rate / 1000;
    frames += count;
    if (frames > kMaxFrames) return Fail(number, "the sound is too long", error);
    const long fade = std::max<long>(1, static_cast<long>(kFadeMs) * rate / 1000);
    for (long i = 0; i < count; ++i) {
      const double edge = std::min({1.0, static_cast<double>(i) / fade, static_cast<double>(count - 1 - i) / fade});
      const double v = std::sin(2 * std::numbers::pi * frequency * i / rate) * edge * volume / 100.0;
      Append(&out->pcm, static_cast<int16_t>(std::lround(v * 32767)));
    }
  }
  if (out->pcm.empty()) {
    *error = "the text holds no sound";
    return false;
  }
  return true;
}

}  // namespace soundtool
