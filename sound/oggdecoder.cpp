#include "sound/oggdecoder.h"

#include <cstring>

#include "platform/system.h"
#include "sound/vorbisstate.h"

namespace {
constexpr int kChunk = 4096;
}

uint8_t* WritePcm16(float* const* planes, int channels, int frames, uint8_t* out) {
  for (int i = 0; i < frames; ++i) {
    for (int c = 0; c < channels; ++c) {
      const float f = planes[c][i] * 32767.0f;
      int v = 0;
      if (f >= 32767.0f)
        v = 32767;
      else if (f <= -32768.0f)
        v = -32768;
      else if (f == f)
        v = static_cast<int>(f);
      const uint16_t u = static_cast<uint16_t>(static_cast<int16_t>(v));
      out[0] = static_cast<uint8_t>(u & 0xFF);
      out[1] = static_cast<uint8_t>(u >> 8);
      out += 2;
    }
  }
  return out;
}

struct COggDecoder::State : sound::VorbisState {};

COggDecoder::COggDecoder() : state_(std::make_unique<State>()) {}

COggDecoder::~COggDecoder() { Close(); }

void COggDecoder::Close() {
  if (!open_) return;
  state_->Clear();
  open_ = false;
}

// Hands the next chunk of at most 4096 source bytes to the sync layer.
int COggDecoder::Feed() {
  const int n = remaining_ < kChunk ? remaining_ : kChunk;
  char* buffer = ogg_sync_buffer(&state_->sync, n > 0 ? n : 1);
  if (n > 0 && buffer) {
    std::memcpy(buffer, source_ + (length_ - remaining_), static_cast<size_t>(n));
    remaining_ -= n;
  }
  ogg_sync_wrote(&state_->sync, buffer ? n : 0);
  return buffer ? n : 0;
}

int COggDecoder::Decode(const uint8_t* source, int length, uint8_t* destination, int capacity) {
  Close();
  channels_ = 0;
  samplesPerSec_ = 0;
  if (!source || length <= 0 || !destination || capacity <= 0) return 0;
  State& s = *state_;
  open_ = true;
  ogg_sync_init(&s.sync);
  s.syncInit = true;
  source_ = source;
  length_ = length;
  remaining_ = length;

  int written = 0;
  auto finish = [&](int result) {
    Close();
    return result;
  };

  const int first = Feed();
  if (ogg_sync_pageout(&s.sync, &s.page) != 1) {
    if (first == kChunk) platform::DebugOutput("Must not be Vorbis data");
    return finish(0);
  }
  ogg_stream_init(&s.stream, ogg_page_serialno(&s.page));
  s.streamInit = true;
  vorbis_info_init(&s.info);
  vorbis_comment_init(&s.comment);
  s.infoInit = true;
  if (ogg_stream_pagein(&s.stream, &s.page) < 0) {
    platform::DebugOutput("Error reading first page of Ogg bitstream data.\n");
    return finish(0);
  }
  if (ogg_stream_packetout(&s.stream, &s.packet) != 1) {
    platform::DebugOutput("Error reading initial header packet.\n");
    return finish(0);
  }
  if (vorbis_synthesis_headerin(&s.info, &s.comment, &s.packet) < 0) {
    platform::DebugOutput("This Ogg bitstream does not contain Vorbis ");
    return finish(0);
  }

  int headers = 0;
  while (headers < 2) {
    while (headers < 2) {
      int result = ogg_sync_pageout(&s.sync, &s.page);
      if (result == 0) break;
      if (result == 1) {
        ogg_stream_pagein(&s.stream, &s.page);
        while (headers < 2) {
          result = ogg_stream_packetout(&s.stream, &s.packet);
          if (result == 0) break;
          if (result < 0 || vorbis_synthesis_headerin(&s.info, &s.comment, &s.packet) < 0) {
            platform::DebugOutput("Corrupt secondary header.  Exiting.\n");
            return finish(0);
          }
          ++headers;
        }
      }
    }
    if (headers < 2 && Feed() == 0) {
      platform::DebugOutput("End of file before finding all Vorbis headers!\n");
      return finish(0);
    }
  }

  const int channels = s.info.channels;
  if (channels <= 0) return finish(0);
  channels_ = channels;
  samplesPerSec_ = static_cast<int>(s.info.rate);
  const int batch = kChunk / channels;
  if (batch <= 0) return finish(0);
  if (vorbis_synthesis_init(&s.dsp, &s.info) != 0) return finish(0);
  s.dspInit = true;
  vorbis_block_init(&s.dsp, &s.block);
  s.blockInit = true;

  const int frameBytes = channels * 2;
  bool eos = false, full = false;
  while (!eos && !full) {
    while (!eos && !full) {
      int result = ogg_sync_pageout(&s.sync, &s.page);
      if (result == 0) break;
      if (result < 0) {
        platform::DebugOutput("Corrupt or missing data in bitstream");
        continue;
      }
      ogg_stream_pagein(&s.stream, &s.page);
      while (!full) {
        result = ogg_stream_packetout(&s.stream, &s.packet);
        if (result == 0) break;
        if (result < 0) continue;
        if (vorbis_synthesis(&s.block, &s.packet) == 0) vorbis_synthesis_blockin(&s.dsp, &s.block);
        float** pcm = nullptr;
        int frames;
        while (!full && (frames = vorbis_synthesis_pcmout(&s.dsp, &pcm)) > 0) {
          int m = frames < batch ? frames : batch;
          // The destination ends where the sound's buffer ends.
          const int room = (capacity - written) / frameBytes;
          if (m > room) {
            m = room;
            full = true;
          }
          WritePcm16(pcm, channels, m, destination + written);
          written += m * frameBytes;
          vorbis_synthesis_read(&s.dsp, m);
        }
      }
      if (ogg_page_eos(&s.page)) eos = true;
    }
    if (!eos && !full && Feed() == 0) eos = true;
  }
  return finish(written);
}
