// What a movie's container header tells without the decoder: the streams
// of an ASF file (".wmv") and their codecs, so the start-up's codec check
// needs neither the decoder module nor FFmpeg when the codecs are ones the
// decoder always serves.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/bytereader.h"
#include "platform/movie.h"
#include "platform/movie/header_probe.h"

namespace platform::movie {
namespace {

using Guid = uint8_t[16];

constexpr Guid kHeaderObject = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr Guid kStreamProperties = {0x91, 0x07, 0xDC, 0xB7, 0xB7, 0xA9, 0xCF, 0x11,
                                    0x8E, 0xE6, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr Guid kHeaderExtension = {0xB5, 0x03, 0xBF, 0x5F, 0x2E, 0xA9, 0xCF, 0x11,
                                   0x8E, 0xE3, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr Guid kExtendedStreamProperties = {0xCB, 0xA5, 0xE6, 0x14, 0x72, 0xC6, 0x32, 0x43,
                                            0x83, 0x99, 0xA9, 0x69, 0x52, 0x06, 0x5B, 0x5A};
constexpr Guid kFileProperties = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11,
                                  0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr Guid kAudioMedia = {0x40, 0x9E, 0x69, 0xF8, 0x4D, 0x5B, 0xCF, 0x11,
                              0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};
constexpr Guid kVideoMedia = {0xC0, 0xEF, 0x19, 0xBC, 0x4D, 0x5B, 0xCF, 0x11,
                              0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};

// The header is read whole; a larger one is left to the decoder.
constexpr int64_t kMaxHeaderBytes = 1 << 20;

// Codecs the decoder module serves in every FFmpeg build it links against,
// under FFmpeg's codec names (those SetMissingMovieCodecs takes).
struct VideoCodec {
  char fourcc[5];
  const char* name;
};
constexpr VideoCodec kVideoCodecs[] = {
    {"MP43", "msmpeg4v3"}, {"DIV3", "msmpeg4v3"}, {"MP42", "msmpeg4v2"}, {"MPG4", "msmpeg4v1"},
    {"WMV1", "wmv1"},      {"WMV2", "wmv2"},      {"WMV3", "wmv3"},
};
struct AudioCodec {
  uint16_t tag;
  const char* name;
};
constexpr AudioCodec kAudioCodecs[] = {{0x0160, "wmav1"}, {0x0161, "wmav2"}};

bool SameGuid(const uint8_t* a, const Guid& b) { return std::memcmp(a, b, 16) == 0; }

bool Listed(const std::vector<std::string>& names, const char* name) {
  for (const std::string& n : names)
    if (n == name) return true;
  return false;
}

bool U64(ByteReader& reader, uint64_t* v) {
  uint32_t low = 0, high = 0;
  if (!reader.U32(&low) || !reader.U32(&high)) return false;
  *v = static_cast<uint64_t>(high) << 32 | low;
  return true;
}

// The codec of a stream properties object's body; false when the stream is
// of a kind or codec this probe does not know.
bool ReadStream(ByteReader body, MovieInfo* out, const std::vector<std::string>& missing) {
  const uint8_t* type = body.Take(16);
  uint32_t typeSpecific = 0, errorData = 0;
  if (!type || !body.Skip(16 + 8) || !body.U32(&typeSpecific) || !body.U32(&errorData) ||
      !body.Skip(2 + 4))
    return false;
  const uint8_t* data = body.Take(typeSpecific);
  if (!data) return false;
  ByteReader specific(data, typeSpecific);
  if (SameGuid(type, kAudioMedia)) {
    uint16_t tag = 0;
    if (!specific.U16(&tag)) return false;
    for (const AudioCodec& c : kAudioCodecs) {
      if (c.tag != tag) continue;
      // The decoder opens the first stream of each kind it finds usable.
      if (!out->hasAudio) {
        out->hasAudio = true;
        out->audioDecodes = !Listed(missing, c.name);
      }
      return true;
    }
    return false;
  }
  if (SameGuid(type, kVideoMedia)) {
    uint32_t width = 0, height = 0;
    uint8_t flags = 0;
    uint16_t formatSize = 0;
    uint32_t size = 0, compression = 0;
    int32_t bmWidth = 0, bmHeight = 0;
    uint16_t planes = 0, bits = 0;
    if (!specific.U32(&width) || !specific.U32(&height) || !specific.U8(&flags) ||
        !specific.U16(&formatSize) || !specific.U32(&size) || !specific.I32(&bmWidth) ||
        !specific.I32(&bmHeight) || !specific.U16(&planes) || !specific.U16(&bits) ||
        !specific.U32(&compression))
      return false;
    char fourcc[5] = {static_cast<char>(compression & 0xFF), static_cast<char>((compression >> 8) & 0xFF),
                      static_cast<char>((compression >> 16) & 0xFF), static_cast<char>(compression >> 24), 0};
    for (char& ch : fourcc)
      if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    for (const VideoCodec& c : kVideoCodecs) {
      if (std::strcmp(c.fourcc, fourcc) != 0) continue;
      if (width == 0 || height == 0 || width > 16384 || height > 16384) return false;
      if (!out->hasVideo) {
        out->hasVideo = true;
        out->videoDecodes = !Listed(missing, c.name);
        out->width = static_cast<int>(width);
        out->height = static_cast<int>(height);
      }
      return true;
    }
    return false;
  }
  return false;
}

// Calls `object(id, body)` for each object of the ASF header of the file at
// `hostPath` until it returns false; false when the file has no ASF header
// this reads whole, or an object stopped the walk.
template <typename Object>
bool ForEachHeaderObject(const std::string& hostPath, Object object) {
  FILE* file = std::fopen(hostPath.c_str(), "rb");
  if (!file) return false;
  uint8_t head[30];
  const bool whole = std::fread(head, 1, sizeof head, file) == sizeof head;
  ByteReader top(head, sizeof head);
  const uint8_t* guid = whole ? top.Take(16) : nullptr;
  uint32_t sizeLow = 0, sizeHigh = 0, count = 0;
  if (!guid || !SameGuid(guid, kHeaderObject) || !top.U32(&sizeLow) || !top.U32(&sizeHigh) ||
      !top.U32(&count) || sizeHigh != 0 || sizeLow < sizeof head || sizeLow > kMaxHeaderBytes) {
    std::fclose(file);
    return false;
  }
  std::vector<uint8_t> bytes(sizeLow - sizeof head);
  const bool read = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
  std::fclose(file);
  if (!read) return false;
  ByteReader objects(bytes);
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* id = objects.Take(16);
    uint32_t low = 0, high = 0;
    if (!id || !objects.U32(&low) || !objects.U32(&high) || high != 0 || low < 24) return false;
    const uint8_t* body = objects.Take(low - 24);
    if (!body) return false;
    if (!object(id, ByteReader(body, low - 24))) return false;
  }
  return true;
}

}  // namespace

bool ProbeHeader(const std::string& hostPath, const std::vector<std::string>& missing, MovieInfo* out) {
  *out = MovieInfo{};
  const bool read = ForEachHeaderObject(hostPath, [&](const uint8_t* id, ByteReader body) {
    // A stream this probe cannot name leaves the answer to the decoder.
    if (SameGuid(id, kStreamProperties)) return ReadStream(body, out, missing);
    if (SameGuid(id, kHeaderExtension)) {
      // Streams declared in the extension are not read here: a header that
      // has them is left to the decoder.
      const size_t n = body.Remaining();
      const uint8_t* bytes = body.Take(n);
      for (size_t at = 0; at + 16 <= n; ++at)
        if (SameGuid(bytes + at, kExtendedStreamProperties)) return false;
    }
    return true;
  });
  return read && (out->hasVideo || out->hasAudio);
}

int64_t DeclaredLength(const std::string& hostPath) {
  int64_t length = 0;
  ForEachHeaderObject(hostPath, [&](const uint8_t* id, ByteReader body) {
    if (!SameGuid(id, kFileProperties)) return true;
    uint64_t playDuration = 0, preroll = 0;
    uint32_t flags = 0;
    // File id, file size, creation date and packet count come first; the
    // play duration counts the preroll (in milliseconds) in; a broadcast
    // file's durations mean nothing.
    if (body.Skip(16 + 8 + 8 + 8) && U64(body, &playDuration) && body.Skip(8) && U64(body, &preroll) &&
        body.U32(&flags) && !(flags & 1) && playDuration / 10000 > preroll && playDuration < (1ull << 62))
      length = static_cast<int64_t>(playDuration - preroll * 10000);
    return false;
  });
  return length;
}

}  // namespace platform::movie
