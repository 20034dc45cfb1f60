// WAV files: read chunk by chunk (any coding, or PCM in 8 or 16 bits) and
// written whole (PCM).
// Host paths: these serve tools and tests, not the game's data.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <utility>

#include "platform/audio.h"
#include "platform/bytes.h"

namespace platform {
namespace {

uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }


bool Fail(std::string* error, const char* why) {
  if (error) *error = why;
  return false;
}

}  // namespace

bool ParseWavSource(const void* bytes, size_t size, WavSource* out, std::string* error) {
  const auto* p = static_cast<const uint8_t*>(bytes);
  if (size < 12 || std::memcmp(p, "RIFF", 4) != 0 || std::memcmp(p + 8, "WAVE", 4) != 0)
    return Fail(error, "not a RIFF WAVE file");
  bool haveFormat = false;
  WavSource source;
  size_t at = 12;
  while (at + 8 <= size) {
    const uint8_t* chunk = p + at;
    const uint32_t length = Le32(chunk + 4);
    const size_t body = at + 8;
    if (length > size - body) {
      // A data chunk cut short still holds what is there; anything else is damage.
      if (std::memcmp(chunk, "data", 4) != 0) return Fail(error, "a chunk runs past the end");
    }
    const size_t available = std::min<size_t>(length, size - body);
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (available < 16) return Fail(error, "fmt chunk too short");
      source.formatTag = Le16(p + body);
      source.channels = Le16(p + body + 2);
      source.samplesPerSec = static_cast<int>(Le32(p + body + 4));
      source.bitsPerSample = Le16(p + body + 14);
      if (source.formatTag == WavSource::kTagExtensible) {
        // The extra size (22), valid bits, channel mask and the sub-format
        // GUID, whose first two bytes are the format tag it stands for.
        if (available < 40 || Le16(p + body + 16) < 22)
          return Fail(error, "the extensible fmt chunk is too short");
        source.formatTag = Le16(p + body + 24);
      }
      if (source.channels == 0 || source.bitsPerSample == 0 || source.bitsPerSample % 8 != 0)
        return Fail(error, "the fmt chunk gives no whole-byte samples");
      haveFormat = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (!haveFormat) return Fail(error, "data chunk before the fmt chunk");
      const size_t block = static_cast<size_t>(source.channels) * (source.bitsPerSample / 8);
      source.data.assign(p + body, p + body + available / block * block);
      *out = std::move(source);
      return true;
    }
    // Chunks are padded to an even length.
    const size_t next = body + static_cast<size_t>(length) + (length & 1);
    if (next <= at) break;
    at = next;
  }
  return Fail(error, haveFormat ? "no data chunk" : "no fmt chunk");
}

bool ReadWavSourceFile(const std::string& hostPath, WavSource* out, std::string* error) {
  std::ifstream in(hostPath, std::ios::binary);
  if (!in) return Fail(error, "cannot open the file");
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return Fail(error, "cannot read the file");
  return ParseWavSource(bytes.data(), bytes.size(), out, error);
}

namespace {

bool FromSource(WavSource source, WavData* out, std::string* error) {
  if (source.formatTag != WavSource::kTagPcm)
    return Fail(error, "only PCM WAV files are read (format tag 1)");
  AudioFormat format;
  format.channels = source.channels;
  format.samplesPerSec = source.samplesPerSec;
  format.bitsPerSample = source.bitsPerSample;
  if (!format.Valid())
    return Fail(error, "format not supported (1 or 2 channels, 8 or 16 bits, 100..200000 Hz)");
  out->format = format;
  out->pcm = std::move(source.data);
  return true;
}

}  // namespace

bool ParseWav(const void* bytes, size_t size, WavData* out, std::string* error) {
  WavSource source;
  return ParseWavSource(bytes, size, &source, error) && FromSource(std::move(source), out, error);
}

bool ReadWavFile(const std::string& hostPath, WavData* out, std::string* error) {
  WavSource source;
  return ReadWavSourceFile(hostPath, &source, error) && FromSource(std::move(source), out, error);
}

std::vector<uint8_t> MakeWav(const AudioFormat& format, const void* pcm, size_t size) {
  std::vector<uint8_t> out;
  const uint32_t length = static_cast<uint32_t>(size);
  out.reserve(44 + size);
  platform::PutTag(&out, "RIFF");
  platform::PutLE32(&out, 36 + length + (length & 1));
  platform::PutTag(&out, "WAVE");
  platform::PutTag(&out, "fmt ");
  platform::PutLE32(&out, 16);
  platform::PutLE16(&out, 1);
  platform::PutLE16(&out, static_cast<uint16_t>(format.channels));
  platform::PutLE32(&out, static_cast<uint32_t>(format.samplesPerSec));
  platform::PutLE32(&out, static_cast<uint32_t>(format.samplesPerSec * format.BlockAlign()));
  platform::PutLE16(&out, static_cast<uint16_t>(format.BlockAlign()));
  platform::PutLE16(&out, static_cast<uint16_t>(format.bitsPerSample));
  platform::PutTag(&out, "data");
  platform::PutLE32(&out, length);
  const auto* bytes = static_cast<const uint8_t*>(pcm);
  if (size) out.insert(out.end(), bytes, bytes + size);
  if (size & 1) out.push_back(0);
  return out;
}

bool WriteWavFile(const std::string& hostPath, const AudioFormat& format, const void* pcm,
                  size_t size) {
  if (size > 0xFFFFFFFFu - 44) return false;
  const std::vector<uint8_t> bytes = MakeWav(format, pcm, size);
  std::ofstream out(hostPath, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

}  // namespace platform
