// Music files ("wgq\<name>.wgq"): the 64-byte sound file header, for type
// '2' a RIFF part and a fmt chunk, then an Ogg Vorbis stream that is
// decoded while it plays, one batch at a time, by COggStreamDecoder (libogg
// framing and libvorbis synthesis called directly).
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

// Opens "wgq\<name>.wgq" and moves past its header to the Ogg stream; null
// when the file cannot be opened. A header cut short leaves the file at its
// end, so the stream behind it reads as empty.
FILE* OpenMusicFile(const char* name);

class COggStreamDecoder {
 public:
  static constexpr int kOutputSize = 8192;
  static constexpr int kReadSize = 4096;

  // output: kOutputSize bytes, not owned; each batch is written at its start.
  explicit COggStreamDecoder(uint8_t* output);
  ~COggStreamDecoder();
  COggStreamDecoder(const COggStreamDecoder&) = delete;
  COggStreamDecoder& operator=(const COggStreamDecoder&) = delete;

  // Reads the three Vorbis headers from the file's position (the file is not
  // owned). 1 when they were read; otherwise 0, and the decoder stays closed.
  int Open(FILE* file);
  // One batch of interleaved 16-bit PCM (at most 4096 / channels frames):
  // its size in bytes, or 0 at the end of the file or when not open.
  int Decode();
  void Close();
  int IsOpen() const { return open_; }
  // Why the last Open failed ("" after a success).
  const char* GetProblem() const { return problem_; }

  // The stream's format, valid while open.
  int GetChannels() const { return channels_; }
  int GetSamplesPerSec() const { return samplesPerSec_; }

 private:
  struct State;
  // Reads up to kReadSize bytes of the file into the sync layer.
  int Feed();

  uint8_t* output_;
  FILE* file_ = nullptr;
  std::unique_ptr<State> state_;
  int open_ = 0;
  const char* problem_ = "";
  int channels_ = 0;
  int samplesPerSec_ = 0;
  int framesPerBatch_ = 0;
  bool needPage_ = false, needPacket_ = false, needBlock_ = false;
};
