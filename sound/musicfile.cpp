#include "sound/musicfile.h"

#include <string>

#include "platform/bytereader.h"
#include "platform/bytes.h"
#include "platform/files.h"
#include "platform/system.h"
#include "sound/oggdecoder.h"
#include "sound/vorbisstate.h"

namespace {

constexpr int kHeaderSize = 64;
constexpr int kTypeOffset = 57;
constexpr int kRiffPartSize = 20;
constexpr int kFmtLengthOffset = 16;  // inside the RIFF part

}  // namespace

FILE* OpenMusicFile(const char* name) {
  if (!name || !*name) return nullptr;
  FILE* file = platform::FileOpen(std::string("wgq\\") + name + ".wgq", "rb");
  if (!file) return nullptr;
  platform::ByteReader reader(file, -1);
  uint8_t header[kHeaderSize];
  bool ok = reader.Read(header, kHeaderSize);
  if (ok && header[kTypeOffset] == '2') {
    uint8_t riff[kRiffPartSize];
    ok = reader.Read(riff, kRiffPartSize);
    const int32_t fmtLength = ok ? platform::GetLE32Signed(riff + kFmtLengthOffset) : -1;
    ok = ok && fmtLength >= 0 && reader.Skip(static_cast<size_t>(fmtLength));
  }
  if (!ok) std::fseek(file, 0, SEEK_END);
  return file;
}

struct COggStreamDecoder::State : sound::VorbisState {};

COggStreamDecoder::COggStreamDecoder(uint8_t* output)
    : output_(output), state_(std::make_unique<State>()) {}

COggStreamDecoder::~COggStreamDecoder() { Close(); }

void COggStreamDecoder::Close() {
  state_->Clear();
  open_ = 0;
  file_ = nullptr;
  channels_ = 0;
  samplesPerSec_ = 0;
}

int COggStreamDecoder::Feed() {
  char* buffer = ogg_sync_buffer(&state_->sync, kReadSize);
  if (!buffer) return 0;
  const size_t got = std::fread(buffer, 1, kReadSize, file_);
  ogg_sync_wrote(&state_->sync, static_cast<long>(got));
  return static_cast<int>(got);
}

int COggStreamDecoder::Open(FILE* file) {
  Close();
  problem_ = "";
  if (!file || !output_) {
    problem_ = "no file";
    return 0;
  }
  State& s = *state_;
  file_ = file;
  ogg_sync_init(&s.sync);
  s.syncInit = true;
  const int first = Feed();
  if (ogg_sync_pageout(&s.sync, &s.page) != 1) {
    platform::DebugOutput(first == kReadSize ? "Must not be Vorbis data" : "[error1inOggDecoder]");
    problem_ = first == kReadSize ? "it holds no Ogg stream" : "it is too short for an Ogg stream";
    Close();
    return 0;
  }
  ogg_stream_init(&s.stream, ogg_page_serialno(&s.page));
  s.streamInit = true;
  vorbis_info_init(&s.info);
  vorbis_comment_init(&s.comment);
  s.infoInit = true;
  auto fail = [&](const char* why, const char* problem) {
    platform::DebugOutput(why);
    problem_ = problem;
    Close();
    return 0;
  };
  constexpr char kBrokenHeaders[] = "its Vorbis headers are broken";
  constexpr char kNotVorbis[] = "its Ogg stream holds no Vorbis sound";
  if (ogg_stream_pagein(&s.stream, &s.page) < 0)
    return fail("Error reading first page of Ogg bitstream data.\n", "its first Ogg page is broken");
  if (ogg_stream_packetout(&s.stream, &s.packet) != 1)
    return fail("Error reading initial header packet.\n", kBrokenHeaders);
  if (vorbis_synthesis_headerin(&s.info, &s.comment, &s.packet) < 0)
    return fail("This Ogg bitstream does not contain Vorbis ", kNotVorbis);

  int headers = 0;
  while (headers < 2) {
    while (headers < 2) {
      int result = ogg_sync_pageout(&s.sync, &s.page);
      if (result == 0) break;
      if (result < 0) continue;
      ogg_stream_pagein(&s.stream, &s.page);
      while (headers < 2) {
        result = ogg_stream_packetout(&s.stream, &s.packet);
        if (result == 0) break;
        if (result < 0 || vorbis_synthesis_headerin(&s.info, &s.comment, &s.packet) < 0)
          return fail("Corrupt secondary header.  Exiting.\n", kBrokenHeaders);
        ++headers;
      }
    }
    if (headers < 2) {
      if (Feed() == 0)
        return fail("End of file before finding all Vorbis headers!\n", "it ends before its Vorbis headers do");
    }
  }

  const int channels = s.info.channels;
  // One batch of every channel must fit the output buffer.
  if (channels <= 0 || channels > kReadSize)
    return fail("This Ogg bitstream does not contain Vorbis ", kNotVorbis);
  if (vorbis_synthesis_init(&s.dsp, &s.info) != 0)
    return fail("Corrupt secondary header.  Exiting.\n", kBrokenHeaders);
  s.dspInit = true;
  if (vorbis_block_init(&s.dsp, &s.block) != 0)
    return fail("Corrupt secondary header.  Exiting.\n", kBrokenHeaders);
  s.blockInit = true;
  channels_ = channels;
  samplesPerSec_ = static_cast<int>(s.info.rate);
  framesPerBatch_ = kReadSize / channels;
  needPage_ = false;
  needPacket_ = true;
  needBlock_ = true;
  open_ = 1;
  return 1;
}

int COggStreamDecoder::Decode() {
  if (!open_) return 0;
  State& s = *state_;
  for (;;) {
    if (needPage_) {
      // Pages already in the sync layer first, so it never grows beyond a
      // page and one read.
      int result = ogg_sync_pageout(&s.sync, &s.page);
      if (result == 0) {
        if (Feed() == 0) return 0;
        result = ogg_sync_pageout(&s.sync, &s.page);
        if (result == 0) continue;
      }
      needPage_ = false;
      if (result < 0) {
        platform::DebugOutput("Corrupt or missing data in bitstream");
        continue;
      }
      ogg_stream_pagein(&s.stream, &s.page);
      needPacket_ = true;
      needBlock_ = true;
      continue;
    }
    if (needPacket_) {
      const int result = ogg_stream_packetout(&s.stream, &s.packet);
      if (result == 0) {
        needPage_ = true;
        continue;
      }
      if (result < 0) continue;  // a hole in the data: take the next packet
      needPacket_ = false;
    }
    if (needBlock_ && vorbis_synthesis(&s.block, &s.packet) == 0) {
      vorbis_synthesis_blockin(&s.dsp, &s.block);
      needBlock_ = false;
    }
    float** pcm = nullptr;
    const int frames = vorbis_synthesis_pcmout(&s.dsp, &pcm);
    if (frames > 0) {
      const int m = frames < framesPerBatch_ ? frames : framesPerBatch_;
      WritePcm16(pcm, channels_, m, output_);
      vorbis_synthesis_read(&s.dsp, m);
      return channels_ * 2 * m;
    }
    needPacket_ = true;
    needBlock_ = true;
  }
}
