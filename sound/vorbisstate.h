// The libogg/libvorbis decoder state that both Ogg Vorbis readers (whole
// voices and streamed music) keep, with what has been set up, so a failed or
// finished open clears exactly that.
#pragma once

#include <ogg/ogg.h>
#include <vorbis/codec.h>

namespace sound {

struct VorbisState {
  ogg_sync_state sync;
  ogg_stream_state stream;
  ogg_page page;
  ogg_packet packet;
  vorbis_info info;
  vorbis_comment comment;
  vorbis_dsp_state dsp;
  vorbis_block block;
  bool syncInit = false, streamInit = false, infoInit = false, dspInit = false, blockInit = false;

  void Clear() {
    if (streamInit) ogg_stream_clear(&stream);
    if (blockInit) vorbis_block_clear(&block);
    if (dspInit) vorbis_dsp_clear(&dsp);
    if (infoInit) {
      vorbis_comment_clear(&comment);
      vorbis_info_clear(&info);
    }
    if (syncInit) ogg_sync_clear(&sync);
    syncInit = streamInit = infoInit = dspInit = blockInit = false;
  }
};

}  // namespace sound
