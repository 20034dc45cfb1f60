// The movie decoder: demuxing, decoding, picture scaling and sound
// resampling over libavformat, libavcodec, libswscale and libswresample.
// It lives in a module of its own (zor_movie.so, beside the program) that the
// movie service loads on first use, so a run that plays no movie never maps
// FFmpeg and its codec libraries. The module and the program are built
// together; the entry refuses another interface version.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/movie.h"

namespace platform::movie {

// What both sides of the decoder agree on: times in 100-ns units, sound as
// 16-bit stereo frames.
constexpr int64_t kUnits = 10000000;
constexpr uint32_t kFrameBytes = 4;

constexpr int kDecoderInterface = 1;

// The file name of the module and the name of its entry,
//   extern "C" Decoder* zor_movie_new_decoder(int interfaceVersion);
// which returns a new decoder, or null for an interface it does not serve.
constexpr const char kModuleName[] = "zor_movie.so";
constexpr const char kEntryName[] = "zor_movie_new_decoder";
class Decoder;
using DecoderEntry = Decoder* (*)(int interfaceVersion);

// One movie file. Times are in 100-ns units from the container's start.
class Decoder {
 public:
  virtual ~Decoder() = default;

  // Opens the file (a host path) and the decoders of its best video and
  // audio streams, leaving out the codecs named in `missing`; fills
  // hasVideo, hasAudio, width, height and duration of `info`. False when the
  // file does not open as a movie.
  virtual bool Open(const std::string& hostPath, const std::vector<std::string>& missing,
                    MovieInfo* info) = 0;
  // Closes the file, its decoders and what they held.
  virtual void Close() = 0;

  // A decoder of the stream is open.
  virtual bool HasVideo() const = 0;
  virtual bool HasAudio() const = 0;
  virtual void CloseVideo() = 0;
  virtual void CloseAudio() = 0;

  // Moves the file to the key picture at or before `start`; false when the
  // position cannot be reached.
  virtual bool Seek(int64_t start) = 0;

  // Decodes the next picture into the pending slot, reading at most
  // `packetLimit` packets when it is not negative; false at the end of the
  // pictures (or when they break). `time` gets the picture's time.
  virtual bool DecodePicture(int packetLimit, int64_t* time) = 0;
  // The pending picture becomes the shown one and the pending slot is
  // emptied; returns how long the shown picture lasts (0 when unknown).
  virtual int64_t ShowPicture() = 0;
  // Scales the shown picture into dst as 0x00RRGGBB.
  virtual void ConvertPicture(uint32_t* dst, int width, int height, int pitch) = 0;

  // Decodes one piece of sound and drops it, reading at most `packetLimit`
  // packets; false when none decodes.
  virtual bool ProbeSound(int packetLimit) = 0;
  // Prepares the conversion of the sound to 16-bit stereo at the mix rate.
  virtual bool OpenResampler() = 0;
  // Decodes and converts one more piece of sound into `pcm` (replacing what
  // it held; empty when nothing came out). `time` gets the decoded piece's
  // time. False at the end of the sound.
  virtual bool DecodeSound(std::vector<uint8_t>* pcm, int64_t* time) = 0;
  // The sound stream has ended (or broke).
  virtual bool SoundEnded() const = 0;
};

}  // namespace platform::movie
