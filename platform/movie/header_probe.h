// Reading a movie's streams and codecs from its container header, without
// the decoder module.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/movie.h"

namespace platform::movie {

// The streams of the movie at `hostPath` as its header declares them: true
// when the header is one this reads (ASF) and names for every stream a codec
// the decoder always serves; `info` then has hasVideo, hasAudio, width and
// height, and a stream decodes unless its codec is in `missing`. False when
// the header does not tell (another container, a damaged header, a codec not
// known here): only the decoder can answer then.
bool ProbeHeader(const std::string& hostPath, const std::vector<std::string>& missing, MovieInfo* info);

// The movie's length (100-ns units) as the ASF header of the file at
// `hostPath` declares it, preroll left out; 0 when the file has no such
// header or it gives no length.
int64_t DeclaredLength(const std::string& hostPath);

}  // namespace platform::movie
