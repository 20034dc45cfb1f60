// Decodes a whole Ogg Vorbis stream held in memory into 16-bit PCM, with
// libogg framing and libvorbis synthesis called directly.
#pragma once

#include <cstdint>
#include <memory>

// Writes `frames` frames of Vorbis float samples (one plane per channel) as
// interleaved little-endian 16-bit PCM: truncated toward zero, then clipped;
// a NaN is silence. Returns the byte after the last one written.
uint8_t* WritePcm16(float* const* planes, int channels, int frames, uint8_t* out);

class COggDecoder {
 public:
  COggDecoder();
  ~COggDecoder();
  COggDecoder(const COggDecoder&) = delete;
  COggDecoder& operator=(const COggDecoder&) = delete;

  // Decodes source into destination, never writing past capacity bytes.
  // Returns the PCM bytes written (0 when the stream is not Vorbis or
  // breaks before its first samples). Problems go to the debug output.
  int Decode(const uint8_t* source, int length, uint8_t* destination, int capacity);
  void Close();

  // The stream's format, valid after a Decode that got past the headers.
  int GetChannels() const { return channels_; }
  int GetSamplesPerSec() const { return samplesPerSec_; }

 private:
  struct State;
  int Feed();
  std::unique_ptr<State> state_;
  bool open_ = false;
  const uint8_t* source_ = nullptr;
  int length_ = 0;
  int remaining_ = 0;
  int channels_ = 0;
  int samplesPerSec_ = 0;
};
