// Writers of the engine's sound files: voice files (".vaw") in the PCM and
// the Ogg Vorbis form, and voice packs (".vpk") with their index (".vtb").
// The zor-sound tool, the tests and the fuzz seeds use them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/audio.h"

namespace soundtool {

// Type characters of the 64-byte sound file header.
constexpr char kTypePcm = '0';
constexpr char kTypeOgg = '2';
// Length of the fmt chunk the writers use (a WAVEFORMATEX).
constexpr int kFmtLength = 18;

// The sound of a WAV file as the sound files hold it: 8- and 16-bit PCM as
// it is; 24- and 32-bit PCM and 32- or 64-bit float samples rounded to the
// nearest 16-bit value (halves away from zero, float 1.0 as 32768, beyond
// the range clamped), with *note saying so. More than 2 channels, other
// codings and rates outside 100..200000 Hz are refused with the reason.
bool ToSoundFilePcm(const platform::WavSource& source, platform::WavData* out, std::string* note,
                    std::string* error);

// A voice file around the given body: the header with its type character,
// the RIFF part, the fmt chunk of `format` and a data chunk header of
// dataLength; body is the PCM (type '0') or the Ogg stream.
std::vector<uint8_t> MakeVoiceImage(char type, const platform::AudioFormat& format,
                                    uint32_t dataLength, const std::vector<uint8_t>& body);

// The PCM form of a WAV sound.
std::vector<uint8_t> MakePcmVoice(const platform::WavData& wav);

// An Ogg Vorbis stream of the sound (quality -0.1..1.0 as libvorbisenc
// takes it). The stream decodes to 16-bit samples.
bool EncodeVorbis(const platform::WavData& wav, float quality, std::vector<uint8_t>* ogg,
                  std::string* error);

// The Ogg form of a WAV sound: its data length is that of the decoded
// 16-bit PCM.
bool MakeOggVoice(const platform::WavData& wav, float quality, std::vector<uint8_t>* out,
                  std::string* error);

// What an Ogg Vorbis file holds, found by decoding all of it.
struct OggVorbisInfo {
  int channels = 0;
  int samplesPerSec = 0;
  uint64_t frames = 0;  // samples per channel
};

// True when the bytes begin as an Ogg file does ("OggS").
bool LooksLikeOgg(const std::vector<uint8_t>& bytes);

// Reads an Ogg file the way the game's decoders take it: one Vorbis stream
// whose first page is the file's first byte, decoded to the end. False with
// the reason for anything else: not Ogg, another codec (Opus, FLAC, ...),
// more than one stream (chained or multiplexed), damaged or cut-short
// pages, headers that do not decode, or no samples at all.
bool ReadOggVorbis(const std::vector<uint8_t>& ogg, OggVorbisInfo* info, std::string* error);

// The Ogg form of a voice around an Ogg Vorbis file as it is (not
// re-encoded): 1 or 2 channels at 100..200000 Hz, decoding to at most
// 0x0FFFFFFF bytes of 16-bit PCM. False with the reason otherwise.
bool WrapOggVoice(const std::vector<uint8_t>& ogg, std::vector<uint8_t>* out, std::string* error);

// Music files (".wgq") play at 44,100 Hz stereo only.
constexpr int kMusicRate = 44100;

// A music file around an Ogg stream: the header with its type character;
// type '2' adds the RIFF part and a fmt chunk (44,100 Hz stereo 16-bit)
// before the stream, other types put the stream right after the header.
std::vector<uint8_t> MakeMusicImage(char type, const std::vector<uint8_t>& ogg);

// The music file of a 44,100 Hz WAV sound (a mono one is made stereo), in
// the type '2' form. False with a reason for other rates.
bool MakeMusicFile(const platform::WavData& wav, float quality, std::vector<uint8_t>* out,
                   std::string* error);

// The music file (type '2') around an Ogg Vorbis file as it is (not
// re-encoded). False with the reason unless it is 44,100 Hz stereo Vorbis.
bool WrapOggMusic(const std::vector<uint8_t>& ogg, std::vector<uint8_t>* out, std::string* error);

struct PackEntry {
  std::string name;            // at most 8 bytes
  std::vector<uint8_t> image;  // a voice file
};

// The pack (images back to back) and its index (one 12-byte record per
// entry and one that marks the end).
bool MakeVoicePack(const std::vector<PackEntry>& entries, std::vector<uint8_t>* pack,
                   std::vector<uint8_t>* index, std::string* error);

bool WriteBytes(const std::string& hostPath, const std::vector<uint8_t>& bytes);
bool ReadBytes(const std::string& hostPath, std::vector<uint8_t>* bytes);

}  // namespace soundtool
