#include "sound/wavebuffer.h"

#include <cstring>
#include <new>
#include <vector>

#include "platform/bytereader.h"
#include "platform/bytes.h"
#include "platform/files.h"
#include "setup/text.h"
#include "platform/system.h"
#include "platform/types.h"
#include "sound/oggdecoder.h"

namespace {

// Byte offsets inside a .vaw file (or pack entry).
constexpr int kRiffPart = SoundFileHeader::kSize;  // 'RIFF', length, 'WAVE', 'fmt ', F
constexpr int kFmtBody = kRiffPart + 20;
constexpr int kMinFmt = 16;
constexpr int kMaxFmt = 104;
constexpr int kSlack = 8192;  // room for decoded samples beyond the data length

// A file that lacks the tags of the RIFF part behind the header was not
// written by the sound tool; what it is instead, when its first bytes say.
std::string NotAVoiceFile(const uint8_t* head) {
  std::string what;
  if (std::memcmp(head, "OggS", 4) == 0) {
    what = " (it is an Ogg file)";
  } else if (std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WAVE", 4) == 0) {
    what = " (it is a plain WAV file)";
  } else if (std::memcmp(head, "ID3", 3) == 0 || (head[0] == 0xFF && (head[1] & 0xE0) == 0xE0)) {
    what = " (it is an MP3 file)";
  } else if (std::memcmp(head, "fLaC", 4) == 0) {
    what = " (it is a FLAC file)";
  }
  return "it is not a voice file made by the sound tool" + what + ": make it with `zor-sound voice`";
}

bool HasRiffPart(const uint8_t* head) {
  return std::memcmp(head + kRiffPart, "RIFF", 4) == 0 && std::memcmp(head + kRiffPart + 8, "WAVE", 4) == 0 &&
         std::memcmp(head + kRiffPart + 12, "fmt ", 4) == 0;
}

struct PackIndex {
  char prefix[3] = {};
  std::vector<uint8_t> table;
};

// Shared by every loader, from the first construction to the last release.
struct Shared {
  int instances = 0;
  std::unique_ptr<uint8_t[]> decode;
  int decodeSize = 0;
  std::unique_ptr<COggDecoder> decoder;
  std::vector<PackIndex> indexes;
};

Shared& S() {
  static Shared shared;
  return shared;
}

void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

struct FileCloser {
  void operator()(FILE* f) const {
    if (f) std::fclose(f);
  }
};
using File = std::unique_ptr<FILE, FileCloser>;

std::string Prefix(const char* name) { return CWaveBuffer::VoicePrefix(name); }

}  // namespace

CWaveBuffer::CWaveBuffer(int capacity) {
  Shared& s = S();
  if (s.instances == 0) {
    if (!s.decode) {
      s.decode.reset(new (std::nothrow) uint8_t[kDecodeBufferSize]);
      s.decodeSize = s.decode ? kDecodeBufferSize : 0;
    }
    s.decoder = std::make_unique<COggDecoder>();
    s.indexes.clear();
  }
  ++s.instances;
  // No image exists yet, so the capacity counts as 0 whatever was asked.
  capacity_ = capacity;
}

CWaveBuffer::~CWaveBuffer() {
  --S().instances;
  Release();
}

void CWaveBuffer::Release() {
  image_.reset();
  capacity_ = 0;
  Forget();
  Shared& s = S();
  if (s.instances == 0) {
    s.decoder.reset();
    s.indexes.clear();
    s.indexes.shrink_to_fit();
    s.decode.reset();
    s.decodeSize = 0;
  }
}

void CWaveBuffer::Forget() {
  data_ = nullptr;
  dataLength_ = 0;
  imageLength_ = 0;
  format_ = WaveFormat{};
  name_.clear();
  kind_ = Kind::kNone;
  scaled_ = 0;
}

int CWaveBuffer::CreateBuffer(int size) {
  if (image_ && size < capacity_) return 1;
  image_.reset();
  capacity_ = 0;
  if (size <= 0) return 0;
  image_.reset(new (std::nothrow) uint8_t[static_cast<size_t>(size)]);
  if (!image_) {
    // メモリー不足\nCWaveBuffer::CreateBuffer
    platform::MessageBox(nullptr, "\x83\x81\x83\x82\x83\x8a\x81\x5b\x95\x73\x91\xab\nCWaveBuffer::CreateBuffer",
                         "ERROR", MB_OK | MB_ICONERROR);
    return 0;
  }
  capacity_ = size;
  return 1;
}

int CWaveBuffer::ReserveDecodeBuffer(int size) {
  Shared& s = S();
  if (s.decode && size <= s.decodeSize) return 1;
  s.decode.reset();
  s.decodeSize = 0;
  if (size <= 0) return 0;
  s.decode.reset(new (std::nothrow) uint8_t[static_cast<size_t>(size)]);
  if (!s.decode) return 0;
  s.decodeSize = size;
  return 1;
}

int CWaveBuffer::LoadFile(const char* dir, const char* name) {
  if (!name || !*name) {
    Forget();
    return 0;
  }
  std::string path = "vaw\\";
  if (dir && *dir) path += std::string(dir) + "\\";
  path += std::string(name) + ".vaw";
  File file(platform::FileOpen(path, "rb"));
  if (!file) {
    Forget();
    return 0;
  }
  return Load(file.get(), 0, name, Kind::kSound, path);
}

std::string CWaveBuffer::VoicePrefix(const char* name) { return std::string(name, strnlen(name, 2)); }

int CWaveBuffer::LoadVoiceFile(const char* name) {
  if (!name || !*name) {
    Forget();
    return 0;
  }
  const std::string path = VoiceFilePath(name);
  File file(platform::FileOpen(path, "rb"));
  if (!file) {
    Forget();
    return 0;
  }
  return Load(file.get(), 0, name, Kind::kVoice, path);
}

int CWaveBuffer::LoadVoicePack(const char* name) {
  if (!name || !*name) {
    Forget();
    return 0;
  }
  if (kind_ == Kind::kVoice && setup::EqualNoCase(name, name_.c_str())) return 1;
  const std::string prefix = Prefix(name);
  const int slot = FindPackIndex(prefix.c_str());
  if (slot < 0) {
    Forget();
    return 0;
  }
  const std::string pack = VoicePackPath(name);
  File file(platform::FileOpen(pack, "rb"));
  if (!file) {
    Forget();
    return 0;
  }
  int length = 0;
  const int offset = FindPackEntry(slot, name, &length);
  // The entry must lie inside the pack as it is on disk.
  const long long packSize = offset >= 0 ? platform::ByteReader(file.get(), -1).Size() : -1;
  if (offset >= 0 && (packSize < 0 || static_cast<long long>(offset) + length > packSize)) {
    platform::ErrorOutput((pack + ": the entry " + name + " (bytes " + std::to_string(offset) + ".." +
                           std::to_string(static_cast<long long>(offset) + length) +
                           ") lies outside the pack of " + std::to_string(packSize) + " bytes")
                              .c_str());
  }
  if (offset < 0 || packSize < 0 || static_cast<long long>(offset) + length > packSize ||
      std::fseek(file.get(), offset, SEEK_SET) != 0) {
    Forget();
    return 0;
  }
  return Load(file.get(), length, name, Kind::kVoice, pack + " (entry " + name + ")");
}

void CWaveBuffer::ReportMissingVoice(const char* name) {
  if (!name) name = "";
  const std::string line = std::string("voice \"") + name + "\" could not be loaded (looked in " + VoicePackPath(name) +
                           " and " + VoiceFilePath(name) + "); nothing plays";
  platform::ErrorOutput(line.c_str());
}

int CWaveBuffer::Fail(std::string why) {
  problem_ = std::move(why);
  return 0;
}

int CWaveBuffer::Load(FILE* file, int size, const char* name, Kind kind, const std::string& where) {
  if (!ReadWave(file, size)) {
    platform::ErrorOutput((where + ": " + problem_ + "; the sound is not played").c_str());
    Forget();
    return 0;
  }
  name_.assign(name, strnlen(name, kMaxNameLength));
  kind_ = kind;
  return 1;
}

int CWaveBuffer::ReadWave(FILE* file, int size) {
  Forget();
  problem_.clear();
  if (!file) return Fail("no file");
  platform::ByteReader reader(file, size > 0 ? size : -1);
  const long long available = reader.Remaining();
  if (available < kFmtBody) return Fail("shorter than its " + std::to_string(kFmtBody) + "-byte header");

  uint8_t head[kFmtBody];
  if (!reader.Read(head, sizeof head)) return Fail("its header cannot be read");
  SoundFileHeader header;
  std::memcpy(header.bytes, head, SoundFileHeader::kSize);
  const char type = header.Type();
  const int32_t riffLength = platform::GetLE32Signed(head + kRiffPart + 4);
  const int32_t fmtLength = platform::GetLE32Signed(head + kRiffPart + 16);

  // The lengths decide every later read and the image's size: check them
  // against the format's limits and the bytes that are really there.
  // Lengths that make no sense in a file without the tags: another kind of
  // file under a voice's name.
  const bool fmtOutside = fmtLength < kMinFmt || fmtLength > kMaxFmt;
  if (!HasRiffPart(head) && (fmtOutside || riffLength < 20 + fmtLength)) return Fail(NotAVoiceFile(head));
  if (fmtOutside)
    return Fail("its fmt chunk of " + std::to_string(fmtLength) + " bytes is outside " +
                std::to_string(kMinFmt) + ".." + std::to_string(kMaxFmt));
  const int f = fmtLength;
  if (available < kFmtBody + f + 8) return Fail("it ends inside its fmt chunk");
  if (riffLength < 20 + f || riffLength > kMaxImageSize - 8 - kSlack)
    return Fail("its RIFF length " + std::to_string(riffLength) + " does not fit its chunks");
  // A raw body ('1') yields no samples; it cannot be played.
  if (type == '1') return Fail("its body is raw (type 1), which holds no playable samples");
  const bool pcm = type == '0';
  if (pcm && kRiffPart + 8 + static_cast<long long>(riffLength) > available)
    return Fail("it is shorter than its RIFF length " + std::to_string(riffLength) + " says");

  uint8_t fmt[kMaxFmt + 8];
  if (!reader.Read(fmt, static_cast<size_t>(f) + 8)) return Fail("it ends inside its fmt chunk");
  const int32_t dataLength = platform::GetLE32Signed(fmt + f + 4);
  if (dataLength < 0 || dataLength > riffLength - 20 - f)
    return Fail("its data length " + std::to_string(dataLength) + " does not fit its RIFF length");
  if (pcm && kFmtBody + f + 8 + static_cast<long long>(dataLength) > available)
    return Fail("it ends inside its samples");

  WaveFormat format;
  uint8_t wfx[18] = {};
  std::memcpy(wfx, fmt, static_cast<size_t>(f < 18 ? f : 18));
  format.formatTag = platform::GetLE16(wfx);
  format.channels = platform::GetLE16(wfx + 2);
  format.samplesPerSec = static_cast<uint32_t>(platform::GetLE32Signed(wfx + 4));
  format.avgBytesPerSec = static_cast<uint32_t>(platform::GetLE32Signed(wfx + 8));
  format.blockAlign = platform::GetLE16(wfx + 12);
  format.bitsPerSample = platform::GetLE16(wfx + 14);
  format.extraSize = platform::GetLE16(wfx + 16);

  const int imageSize = riffLength + 8 + kSlack;
  int length = dataLength;
  if (pcm) {
    if (!CreateBuffer(imageSize)) return Fail("no memory for its samples");
    if (!reader.Read(image_.get() + 28 + f, static_cast<size_t>(dataLength)))
      return Fail("it ends inside its samples");
  } else {
    const long long stream = available - (kFmtBody + f + 8);
    if (stream <= 0 || stream > kMaxImageSize) return Fail("it holds no Ogg Vorbis stream");
    if (!ReserveDecodeBuffer(static_cast<int>(stream))) return Fail("no memory for its stream");
    Shared& s = S();
    const size_t got = static_cast<size_t>(stream);
    if (!reader.Read(s.decode.get(), got)) return Fail("its stream cannot be read");
    if (!CreateBuffer(imageSize)) return Fail("no memory for its samples");
    if (!s.decoder) s.decoder = std::make_unique<COggDecoder>();
    const int decoded = s.decoder->Decode(s.decode.get(), static_cast<int>(got),
                                          image_.get() + 28 + f, imageSize - 28 - f);
    // Nothing decoded is a failed load: the image still holds the last sound.
    if (decoded <= 0) return Fail("its Ogg Vorbis stream does not decode");
    // A stream that ends early is as long as what it gave.
    if (decoded < length) length = decoded;
    // The samples are what the stream says they are.
    const int channels = s.decoder->GetChannels();
    const int rate = s.decoder->GetSamplesPerSec();
    if (channels > 0 && channels <= 0xFFFF && rate > 0) {
      format.formatTag = 1;
      format.channels = static_cast<uint16_t>(channels);
      format.samplesPerSec = static_cast<uint32_t>(rate);
      format.bitsPerSample = 16;
      format.blockAlign = static_cast<uint16_t>(channels * 2);
      format.avgBytesPerSec = static_cast<uint32_t>(rate) * static_cast<uint32_t>(channels * 2);
    }
  }

  // The image is a WAVE file of what was loaded.
  uint8_t* image = image_.get();
  std::memcpy(image, head + kRiffPart, 20);
  Put32(image + 4, static_cast<uint32_t>(20 + f + length));
  std::memcpy(image + 20, fmt, static_cast<size_t>(f));
  std::memcpy(image + 20 + f, fmt + f, 4);
  Put32(image + 24 + f, static_cast<uint32_t>(length));
  format_ = format;
  data_ = image + 28 + f;
  dataLength_ = length;
  imageLength_ = 28 + f + length;
  scaled_ = 0;
  return 1;
}

int CWaveBuffer::FindPackIndex(const char* prefix) {
  if (!prefix) return -1;
  Shared& s = S();
  for (size_t i = 0; i < s.indexes.size(); ++i)
    if (setup::EqualNoCase(s.indexes[i].prefix, prefix)) return static_cast<int>(i);
  if (static_cast<int>(s.indexes.size()) >= kMaxPackIndexes) return -1;
  const std::string key = Prefix(prefix);
  std::string bytes;
  const std::string path = "cdvaw\\" + key + ".vtb";
  if (!platform::ReadWholeFile(path, &bytes)) return -1;
  if (bytes.empty() || bytes.size() % VoicePackIndexEntry::kSize != 0)
    platform::ErrorOutput((path + ": " + std::to_string(bytes.size()) + " bytes is not a whole number of " +
                           std::to_string(VoicePackIndexEntry::kSize) + "-byte records; the index is broken")
                              .c_str());
  PackIndex index;
  std::memcpy(index.prefix, key.data(), key.size());
  index.table.assign(bytes.begin(), bytes.end());
  s.indexes.push_back(std::move(index));
  return static_cast<int>(s.indexes.size()) - 1;
}

void CWaveBuffer::ForgetPackIndexes() { S().indexes.clear(); }

int CWaveBuffer::FindPackEntry(int slot, const char* name, int* outLength) {
  if (outLength) *outLength = 0;
  Shared& s = S();
  if (!name || slot < 0 || slot >= static_cast<int>(s.indexes.size())) return -1;
  if (std::strlen(name) > VoicePackIndexEntry::kNameSize) return -1;
  const std::vector<uint8_t>& table = s.indexes[slot].table;
  const size_t records = table.size() / VoicePackIndexEntry::kSize;
  const std::string path = "cdvaw\\" + std::string(s.indexes[slot].prefix) + ".vtb";
  for (size_t i = 0; i < records; ++i) {
    const uint8_t* record = table.data() + i * VoicePackIndexEntry::kSize;
    char entry[VoicePackIndexEntry::kNameSize + 1] = {};
    std::memcpy(entry, record, VoicePackIndexEntry::kNameSize);
    if (!setup::EqualNoCase(entry, name)) continue;
    // The last record only marks where the last entry ends (its name is
    // usually empty).
    if (i + 1 == records) {
      if (!*name) return -1;
      platform::ErrorOutput((path + ": the entry " + name + " has no record after it to end it; the index is broken").c_str());
      return -1;
    }
    int32_t offset = -1, next = -1;
    platform::ByteReader::I32At(table.data(), table.size(),
                                i * VoicePackIndexEntry::kSize + VoicePackIndexEntry::kNameSize, &offset);
    platform::ByteReader::I32At(table.data(), table.size(),
                                (i + 1) * VoicePackIndexEntry::kSize + VoicePackIndexEntry::kNameSize,
                                &next);
    // An entry that starts before the pack or does not end after it starts
    // is damage, not a sound.
    if (offset < 0 || next <= offset) {
      platform::ErrorOutput((path + ": the entry " + name + " runs from " + std::to_string(offset) + " to " +
                             std::to_string(next) + "; the index is broken")
                                .c_str());
      return -1;
    }
    if (outLength) *outLength = next - offset;
    return offset;
  }
  return -1;
}

int CWaveBuffer::GetLength() const {
  if (format_.avgBytesPerSec == 0) return 0;
  // In 64 bits: a long voice's bytes times 1000 do not fit in 32.
  const long long ms = static_cast<long long>(dataLength_) * 1000 / format_.avgBytesPerSec;
  return ms > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(ms);
}

int CWaveBuffer::ScaleVolume(int percent) {
  if (scaled_ || !data_) return 1;
  // Only 16-bit samples can be scaled as such.
  if (format_.bitsPerSample == 16) {
    const long long factor = static_cast<long long>(percent) * 256 / 100;
    const int count = (dataLength_ - 8) / 2;
    for (int i = 0; i < count; ++i) {
      uint8_t* p = data_ + 2 * i;
      const int16_t sample = static_cast<int16_t>(platform::GetLE16(p));
      long long v = (static_cast<long long>(sample) * factor) >> 8;
      if (v > 32767) v = 32767;
      if (v < -32768) v = -32768;
      const uint16_t u = static_cast<uint16_t>(static_cast<int16_t>(v));
      p[0] = static_cast<uint8_t>(u & 0xFF);
      p[1] = static_cast<uint8_t>(u >> 8);
    }
  }
  scaled_ = 1;
  scalePercent_ = percent;
  return 1;
}
