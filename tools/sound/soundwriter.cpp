#include "soundwriter.h"

#include "platform/bytes.h"
#include "platform/codec.h"
#include "tools/common/hostfile.h"

#include <vorbis/vorbisenc.h>

#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <utility>
#include <fstream>
#include <iterator>

namespace soundtool {
namespace {

// The RIFF part behind the 64-byte header: "RIFF", its length for a body of
// bodyLength bytes, "WAVE" and the fmt chunk (with its empty extra size).
void PutRiffAndFormat(std::vector<uint8_t>* out, const platform::AudioFormat& format,
                      uint32_t bodyLength) {
  platform::PutTag(out, "RIFF");
  platform::PutLE32(out, 20 + kFmtLength + bodyLength);
  platform::PutTag(out, "WAVE");
  platform::PutTag(out, "fmt ");
  platform::PutLE32(out, kFmtLength);
  platform::PutLE16(out, 1);
  platform::PutLE16(out, static_cast<uint16_t>(format.channels));
  platform::PutLE32(out, static_cast<uint32_t>(format.samplesPerSec));
  platform::PutLE32(out, static_cast<uint32_t>(format.samplesPerSec * format.BlockAlign()));
  platform::PutLE16(out, static_cast<uint16_t>(format.BlockAlign()));
  platform::PutLE16(out, static_cast<uint16_t>(format.bitsPerSample));
  platform::PutLE16(out, 0);
}


float SampleAt(const platform::WavData& wav, size_t frame, int channel) {
  const size_t index = frame * static_cast<size_t>(wav.format.channels) + static_cast<size_t>(channel);
  if (wav.format.bitsPerSample == 8) return (static_cast<int>(wav.pcm[index]) - 128) / 128.0f;
  const uint8_t* p = &wav.pcm[index * 2];
  return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8))) / 32768.0f;
}

bool Fail(std::string* error, const std::string& why) {
  if (error) *error = why;
  return false;
}

// A sample of `bytes` bytes (little-endian) as the nearest 16-bit value.
int16_t RoundedSample(const uint8_t* p, int bytes, bool isFloat) {
  double value = 0;  // on the 16-bit scale
  if (isFloat && bytes == 4) {
    float f;
    std::memcpy(&f, p, 4);
    value = static_cast<double>(f) * 32768.0;
  } else if (isFloat) {
    double d;
    std::memcpy(&d, p, 8);
    value = d * 32768.0;
  } else {
    // The sample in the top bytes of a 32-bit word keeps its sign.
    uint32_t word = 0;
    for (int i = 0; i < bytes; ++i) word |= static_cast<uint32_t>(p[i]) << (8 * (4 - bytes + i));
    value = static_cast<int32_t>(word) / 65536.0;
  }
  if (std::isnan(value)) return 0;
  return static_cast<int16_t>(std::clamp(std::round(value), -32768.0, 32767.0));
}

}  // namespace

bool ToSoundFilePcm(const platform::WavSource& source, platform::WavData* out, std::string* note,
                    std::string* error) {
  using platform::WavSource;
  note->clear();
  if (source.channels > 2)
    return Fail(error, "the sound has " + std::to_string(source.channels) +
                           " channels; voice and music files hold 1 or 2 (mix it down first)");
  const int bits = source.bitsPerSample;
  const bool isFloat = source.formatTag == WavSource::kTagFloat;
  const bool asIs = source.formatTag == WavSource::kTagPcm && (bits == 8 || bits == 16);
  const bool rounded = (source.formatTag == WavSource::kTagPcm && (bits == 24 || bits == 32)) ||
                       (isFloat && (bits == 32 || bits == 64));
  if (!asIs && !rounded) {
    char tag[8];
    std::snprintf(tag, sizeof tag, "0x%04X", source.formatTag);
    return Fail(error, "not PCM: " + std::to_string(bits) + "-bit samples of format tag " + tag +
                           " (PCM of 8, 16, 24 or 32 bits or float samples are read)");
  }
  platform::WavData wav;
  wav.format = {source.channels, source.samplesPerSec, asIs ? bits : 16};
  if (!wav.format.Valid())
    return Fail(error, "the rate of " + std::to_string(source.samplesPerSec) +
                           " Hz is outside 100..200000 Hz");
  if (asIs) {
    wav.pcm = source.data;
  } else {
    const size_t bytes = static_cast<size_t>(bits / 8);
    wav.pcm.reserve(source.data.size() / bytes * 2);
    for (size_t at = 0; at + bytes <= source.data.size(); at += bytes)
      platform::PutLE16(&wav.pcm, static_cast<uint16_t>(RoundedSample(
                                      &source.data[at], static_cast<int>(bytes), isFloat)));
    *note = std::to_string(bits) + "-bit " + (isFloat ? "float" : "PCM") +
            " samples rounded to 16 bits";
  }
  *out = std::move(wav);
  return true;
}

std::vector<uint8_t> MakeVoiceImage(char type, const platform::AudioFormat& format,
                                    uint32_t dataLength, const std::vector<uint8_t>& body) {
  std::vector<uint8_t> out(64, 0);
  out[57] = static_cast<uint8_t>(type);
  PutRiffAndFormat(&out, format, dataLength);
  platform::PutTag(&out, "data");
  platform::PutLE32(&out, dataLength);
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

std::vector<uint8_t> MakePcmVoice(const platform::WavData& wav) {
  return MakeVoiceImage(kTypePcm, wav.format, static_cast<uint32_t>(wav.pcm.size()), wav.pcm);
}

bool EncodeVorbis(const platform::WavData& wav, float quality, std::vector<uint8_t>* ogg,
                  std::string* error) {
  ogg->clear();
  const int channels = wav.format.channels;
  const size_t block = static_cast<size_t>(wav.format.BlockAlign());
  if (!wav.format.Valid() || block == 0) return Fail(error, "unsupported format");
  const size_t frames = wav.pcm.size() / block;

  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, channels, wav.format.samplesPerSec, quality) != 0) {
    vorbis_info_clear(&vi);
    return Fail(error, "the Vorbis encoder refuses this format or quality");
  }
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_comment_add_tag(&vc, "ENCODER", "zor-sound");
  vorbis_dsp_state vd;
  vorbis_block vb;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  // A fixed serial number: the same input always gives the same file.
  ogg_stream_init(&os, 0x7A6F7201);

  auto writePage = [&](const ogg_page& page) {
    ogg->insert(ogg->end(), page.header, page.header + page.header_len);
    ogg->insert(ogg->end(), page.body, page.body + page.body_len);
  };

  ogg_packet header, comment, code;
  vorbis_analysis_headerout(&vd, &vc, &header, &comment, &code);
  ogg_stream_packetin(&os, &header);
  ogg_stream_packetin(&os, &comment);
  ogg_stream_packetin(&os, &code);
  ogg_page page;
  while (ogg_stream_flush(&os, &page) != 0) writePage(page);

  auto drain = [&]() {
    ogg_packet packet;
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      while (vorbis_bitrate_flushpacket(&vd, &packet)) {
        ogg_stream_packetin(&os, &packet);
        while (ogg_stream_pageout(&os, &page) != 0) writePage(page);
      }
    }
  };

  constexpr size_t kBatch = 1024;
  for (size_t at = 0; at < frames; at += kBatch) {
    const size_t n = frames - at < kBatch ? frames - at : kBatch;
    float** buffer = vorbis_analysis_buffer(&vd, static_cast<int>(n));
    for (size_t i = 0; i < n; ++i)
      for (int c = 0; c < channels; ++c) buffer[c][i] = SampleAt(wav, at + i, c);
    vorbis_analysis_wrote(&vd, static_cast<int>(n));
    drain();
  }
  vorbis_analysis_wrote(&vd, 0);
  drain();
  while (ogg_stream_flush(&os, &page) != 0) writePage(page);

  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  return true;
}

namespace {

// The Ogg form of a voice of `frames` frames of `channels` x `rate`: its
// data length is that of the decoded 16-bit PCM.
bool OggVoiceImage(int channels, int rate, uint64_t frames, const std::vector<uint8_t>& ogg,
                   std::vector<uint8_t>* out, std::string* error) {
  const platform::AudioFormat decoded{channels, rate, 16};
  const uint64_t length = frames * static_cast<uint64_t>(decoded.BlockAlign());
  if (length > 0x0FFFFFFFu) return Fail(error, "the sound is too long for a voice file");
  *out = MakeVoiceImage(kTypeOgg, decoded, static_cast<uint32_t>(length), ogg);
  return true;
}

// The libogg/libvorbis state of ReadOggVorbis, cleared whatever was set up.
struct VorbisReader {
  ogg_sync_state sync;
  ogg_stream_state stream;
  vorbis_info info;
  vorbis_comment comment;
  vorbis_dsp_state dsp;
  vorbis_block block;
  bool streamInit = false, dspInit = false;
  VorbisReader() {
    ogg_sync_init(&sync);
    vorbis_info_init(&info);
    vorbis_comment_init(&comment);
  }
  ~VorbisReader() {
    if (streamInit) ogg_stream_clear(&stream);
    if (dspInit) {
      vorbis_block_clear(&block);
      vorbis_dsp_clear(&dsp);
    }
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    ogg_sync_clear(&sync);
  }
  VorbisReader(const VorbisReader&) = delete;
  VorbisReader& operator=(const VorbisReader&) = delete;
};

// Why a first packet is not a Vorbis identification header, naming the
// codecs an author is likely to meet.
std::string NotVorbis(const ogg_packet& packet) {
  const auto starts = [&](const char* tag) {
    const size_t n = std::strlen(tag);
    return static_cast<size_t>(packet.bytes) >= n && std::memcmp(packet.packet, tag, n) == 0;
  };
  std::string codec = "another codec";
  if (starts("OpusHead")) codec = "Opus";
  else if (starts("\x7F" "FLAC")) codec = "FLAC";
  else if (starts("Speex")) codec = "Speex";
  else if (starts("\x80theora")) codec = "Theora video";
  return "the Ogg stream is " + codec + ", not Vorbis (the game decodes Ogg Vorbis only)";
}

}  // namespace

bool MakeOggVoice(const platform::WavData& wav, float quality, std::vector<uint8_t>* out,
                  std::string* error) {
  std::vector<uint8_t> ogg;
  if (!EncodeVorbis(wav, quality, &ogg, error)) return false;
  const size_t frames = wav.pcm.size() / static_cast<size_t>(wav.format.BlockAlign());
  return OggVoiceImage(wav.format.channels, wav.format.samplesPerSec, frames, ogg, out, error);
}

bool LooksLikeOgg(const std::vector<uint8_t>& bytes) {
  return bytes.size() >= 4 && std::memcmp(bytes.data(), "OggS", 4) == 0;
}

bool ReadOggVorbis(const std::vector<uint8_t>& bytes, OggVorbisInfo* out, std::string* error) {
  if (!LooksLikeOgg(bytes)) return Fail(error, "not an Ogg file (it does not begin with \"OggS\")");
  if (bytes.size() > 0x7FFFFFFFu) return Fail(error, "the file is larger than 2 GB");
  VorbisReader r;
  char* buffer = ogg_sync_buffer(&r.sync, static_cast<long>(bytes.size()));
  if (!buffer) return Fail(error, "no memory for the file");
  std::memcpy(buffer, bytes.data(), bytes.size());
  ogg_sync_wrote(&r.sync, static_cast<long>(bytes.size()));
  int serial = 0, headers = 0;
  bool ended = false;
  uint64_t frames = 0;
  ogg_page page;
  for (int got; (got = ogg_sync_pageout(&r.sync, &page)) != 0;) {
    if (got < 0) return Fail(error, "the Ogg stream is damaged (bytes that are not a whole page)");
    if (!r.streamInit) {
      serial = ogg_page_serialno(&page);
      ogg_stream_init(&r.stream, serial);
      r.streamInit = true;
    } else if (ogg_page_bos(&page) || ogg_page_serialno(&page) != serial || ended) {
      return Fail(error, "the file holds more than one Ogg stream (chained or multiplexed); "
                         "the game plays one Vorbis stream a file");
    }
    if (ogg_stream_pagein(&r.stream, &page) != 0)
      return Fail(error, "the Ogg stream is damaged (a page does not fit the stream)");
    ended = ogg_page_eos(&page) != 0;
    ogg_packet packet;
    for (int p; (p = ogg_stream_packetout(&r.stream, &packet)) != 0;) {
      if (p < 0) return Fail(error, "the Ogg stream is damaged (a page is missing)");
      if (headers < 3) {
        if (vorbis_synthesis_headerin(&r.info, &r.comment, &packet) != 0)
          return Fail(error, headers == 0 ? NotVorbis(packet) : "the Vorbis headers are damaged");
        if (++headers == 3) {
          if (vorbis_synthesis_init(&r.dsp, &r.info) != 0)
            return Fail(error, "the Vorbis headers are damaged");
          vorbis_block_init(&r.dsp, &r.block);
          r.dspInit = true;
        }
        continue;
      }
      // Packets that do not decode are passed over, as the game's decoders do.
      if (vorbis_synthesis(&r.block, &packet) == 0) vorbis_synthesis_blockin(&r.dsp, &r.block);
      float** pcm = nullptr;
      for (int n; (n = vorbis_synthesis_pcmout(&r.dsp, &pcm)) > 0;) {
        frames += static_cast<uint64_t>(n);
        vorbis_synthesis_read(&r.dsp, n);
      }
    }
  }
  if (r.sync.returned < r.sync.fill)
    return Fail(error, "the file ends inside an Ogg page (is it cut short?)");
  if (headers < 3) return Fail(error, "the file ends before the Vorbis headers do");
  if (frames == 0) return Fail(error, "the Vorbis stream holds no samples");
  out->channels = r.info.channels;
  out->samplesPerSec = static_cast<int>(std::min<long>(r.info.rate, 0x7FFFFFFF));
  out->frames = frames;
  return true;
}

bool WrapOggVoice(const std::vector<uint8_t>& ogg, std::vector<uint8_t>* out, std::string* error) {
  OggVorbisInfo info;
  if (!ReadOggVorbis(ogg, &info, error)) return false;
  if (info.channels < 1 || info.channels > 2)
    return Fail(error, "the sound has " + std::to_string(info.channels) +
                           " channels; voice files hold 1 or 2 (mix it down first)");
  const platform::AudioFormat format{info.channels, info.samplesPerSec, 16};
  if (!format.Valid())
    return Fail(error, "the rate of " + std::to_string(info.samplesPerSec) +
                           " Hz is outside 100..200000 Hz");
  return OggVoiceImage(info.channels, info.samplesPerSec, info.frames, ogg, out, error);
}

std::vector<uint8_t> MakeMusicImage(char type, const std::vector<uint8_t>& ogg) {
  std::vector<uint8_t> out(64, 0);
  out[57] = static_cast<uint8_t>(type);
  if (type == kTypeOgg) {
    const platform::AudioFormat format{2, kMusicRate, 16};
    PutRiffAndFormat(&out, format, static_cast<uint32_t>(ogg.size()));
  }
  out.insert(out.end(), ogg.begin(), ogg.end());
  return out;
}

bool MakeMusicFile(const platform::WavData& wav, float quality, std::vector<uint8_t>* out,
                   std::string* error) {
  if (!wav.format.Valid()) return Fail(error, "unsupported format");
  if (wav.format.samplesPerSec != kMusicRate)
    return Fail(error, "music must be 44100 Hz (this sound is " +
                           std::to_string(wav.format.samplesPerSec) + " Hz); resample it first");
  const platform::WavData* source = &wav;
  platform::WavData stereo;
  if (wav.format.channels == 1) {
    // The music buffer is stereo: both sides get the one channel.
    stereo.format = {2, kMusicRate, wav.format.bitsPerSample};
    const size_t bytes = static_cast<size_t>(wav.format.bitsPerSample / 8);
    stereo.pcm.reserve(wav.pcm.size() * 2);
    for (size_t at = 0; at + bytes <= wav.pcm.size(); at += bytes) {
      stereo.pcm.insert(stereo.pcm.end(), wav.pcm.begin() + static_cast<std::ptrdiff_t>(at),
                        wav.pcm.begin() + static_cast<std::ptrdiff_t>(at + bytes));
      stereo.pcm.insert(stereo.pcm.end(), wav.pcm.begin() + static_cast<std::ptrdiff_t>(at),
                        wav.pcm.begin() + static_cast<std::ptrdiff_t>(at + bytes));
    }
    source = &stereo;
  }
  std::vector<uint8_t> ogg;
  if (!EncodeVorbis(*source, quality, &ogg, error)) return false;
  *out = MakeMusicImage(kTypeOgg, ogg);
  return true;
}

bool WrapOggMusic(const std::vector<uint8_t>& ogg, std::vector<uint8_t>* out, std::string* error) {
  OggVorbisInfo info;
  if (!ReadOggVorbis(ogg, &info, error)) return false;
  if (info.channels != 2 || info.samplesPerSec != kMusicRate)
    return Fail(error, "music plays 44100 Hz stereo only (this stream is " +
                           std::to_string(info.samplesPerSec) + " Hz, " +
                           std::to_string(info.channels) + (info.channels == 1 ? " channel" : " channels") +
                           "); an Ogg input is not re-encoded: decode it to a 44100 Hz WAV "
                           "(mono is made stereo) and give the tool that");
  *out = MakeMusicImage(kTypeOgg, ogg);
  return true;
}

bool MakeVoicePack(const std::vector<PackEntry>& entries, std::vector<uint8_t>* pack,
                   std::vector<uint8_t>* index, std::string* error) {
  pack->clear();
  index->clear();
  for (size_t i = 0; i < entries.size(); ++i) {
    const PackEntry& e = entries[i];
    if (e.name.empty() || e.name.size() > 8)
      return Fail(error, "entry name \"" + e.name + "\" must have 1 to 8 characters");
    for (size_t j = 0; j < i; ++j) {
      if (platform::EqualNoCase(entries[j].name, e.name))
        return Fail(error, "entry name \"" + e.name + "\" appears twice");
    }
    if (pack->size() + e.image.size() > 0x7FFFFFFFu) return Fail(error, "the pack grows past 2 GB");
    char name[8] = {};
    std::memcpy(name, e.name.data(), e.name.size());
    index->insert(index->end(), name, name + 8);
    platform::PutLE32(index, static_cast<uint32_t>(pack->size()));
    pack->insert(pack->end(), e.image.begin(), e.image.end());
  }
  const char end[8] = {};
  index->insert(index->end(), end, end + 8);
  platform::PutLE32(index, static_cast<uint32_t>(pack->size()));
  return true;
}

bool WriteBytes(const std::string& hostPath, const std::vector<uint8_t>& bytes) {
  return toolsupport::WriteHostFile(hostPath, bytes.data(), bytes.size());
}

bool ReadBytes(const std::string& hostPath, std::vector<uint8_t>* bytes) {
  std::string text;
  if (!toolsupport::ReadHostFile(hostPath, &text)) return false;
  bytes->assign(text.begin(), text.end());
  return true;
}

}  // namespace soundtool
