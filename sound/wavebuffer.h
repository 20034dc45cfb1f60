// Sound files (".vaw") loaded whole into memory as a RIFF WAVE image, from
// loose files or from voice packs (".vpk" found through their ".vtb" index).
// Ogg Vorbis bodies are decoded on the way. All loaders share one decode
// buffer, one decoder and a cache of pack indexes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

// The 64-byte header of ".vaw" and ".wgq" files. Only the type character is
// read: '0' PCM, '1' a raw body, anything else an Ogg Vorbis stream.
struct SoundFileHeader {
  static constexpr int kSize = 64;
  static constexpr int kTypeOffset = 57;
  uint8_t bytes[kSize] = {};
  char Type() const { return static_cast<char>(bytes[kTypeOffset]); }
};

// One 12-byte record of a ".vtb" index: 8 name bytes (NUL-padded, not
// terminated at 8) and the little-endian offset of the entry in the pack.
// The last record only marks the end of the last entry.
struct VoicePackIndexEntry {
  static constexpr int kSize = 12;
  static constexpr int kNameSize = 8;
  char name[kNameSize] = {};
  int32_t offset = 0;
};

// The first 18 bytes of a fmt chunk.
struct WaveFormat {
  uint16_t formatTag = 0;
  uint16_t channels = 0;
  uint32_t samplesPerSec = 0;
  uint32_t avgBytesPerSec = 0;
  uint16_t blockAlign = 0;
  uint16_t bitsPerSample = 0;
  uint16_t extraSize = 0;
};

class CWaveBuffer {
 public:
  static constexpr int kDecodeBufferSize = 1638400;
  static constexpr int kMaxPackIndexes = 1024;
  static constexpr int kMaxNameLength = 255;
  // Largest image accepted: a sound buffer cannot hold more.
  static constexpr int kMaxImageSize = 0x0FFFFFFF;

  explicit CWaveBuffer(int capacity = 0);
  ~CWaveBuffer();
  CWaveBuffer(const CWaveBuffer&) = delete;
  CWaveBuffer& operator=(const CWaveBuffer&) = delete;

  void Release();
  int CreateBuffer(int size);

  // "vaw\<name>.vaw", or "vaw\<dir>\<name>.vaw" (sound effects "se", system
  // sounds "sys"). 1 when loaded.
  int LoadFile(const char* dir, const char* name);
  // "cdvaw\<first two characters>\<name>.vaw"; always reads.
  int LoadVoiceFile(const char* name);
  // The entry <name> of the pack "cdvaw\<first two characters>.vpk".
  int LoadVoicePack(const char* name);
  // Reads one .vaw image from the file's position; size is the pack entry's
  // length, or <= 0 for the rest of the file.
  int ReadWave(FILE* file, int size);
  // Why the last ReadWave failed ("" after a success).
  const std::string& GetProblem() const { return problem_; }
  // The line on stderr for a voice that neither its pack nor its loose file
  // gave.
  static void ReportMissingVoice(const char* name);

  // Where a voice is looked for: its pack and its folder are named by the
  // first two bytes of its name ("ab01" is in "cdvaw\ab.vpk", else in
  // "cdvaw\ab\ab01.vaw").
  static std::string VoicePrefix(const char* name);
  static std::string VoicePackPath(const char* name) { return "cdvaw\\" + VoicePrefix(name) + ".vpk"; }
  static std::string VoiceFilePath(const char* name) {
    return "cdvaw\\" + VoicePrefix(name) + "\\" + name + ".vaw";
  }

  static int FindPackIndex(const char* prefix);
  // Drops the cached pack indexes, so the next search reads them again
  // (for a process that looks at more than one game folder).
  static void ForgetPackIndexes();
  static int FindPackEntry(int slot, const char* name, int* outLength);
  static int ReserveDecodeBuffer(int size);

  uint8_t* GetData() const { return data_; }
  int GetDataSize() const { return dataLength_; }
  int GetChannels() const { return format_.channels; }
  int GetSamplesPerSec() const { return static_cast<int>(format_.samplesPerSec); }
  int GetBitsPerSample() const { return format_.bitsPerSample; }
  const WaveFormat& GetFormat() const { return format_; }
  // Playing time in milliseconds.
  int GetLength() const;
  uint8_t* GetBuffer() const { return image_.get(); }
  int GetImageLength() const { return imageLength_; }
  int GetCapacity() const { return image_ ? capacity_ : 0; }
  const char* GetName() const { return name_.c_str(); }
  int IsScaled() const { return scaled_; }
  int GetScaledVolume() const { return scaled_ ? scalePercent_ : 100; }
  int ScaleVolume(int percent);

 private:
  enum class Kind { kNone, kVoice, kSound };
  // Reads the image; a damaged one gives a line on stderr naming `where`.
  int Load(FILE* file, int size, const char* name, Kind kind, const std::string& where);
  int Fail(std::string why);
  void Forget();

  int imageLength_ = 0;
  int capacity_ = 0;
  WaveFormat format_;
  std::unique_ptr<uint8_t[]> image_;
  uint8_t* data_ = nullptr;
  int dataLength_ = 0;
  std::string name_;
  // What the loaded name names: the "same voice again" shortcut must not
  // hand out a sound effect that happens to share the name.
  Kind kind_ = Kind::kNone;
  int scaled_ = 0;
  int scalePercent_ = 100;
  std::string problem_;
};
