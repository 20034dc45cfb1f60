// CPngReader: reads the PNG body of a picture file (type '8') with libpng,
// keeps the raw rows exactly as the stream stores them (no transformation:
// 16-bit samples high byte first, sub-byte samples packed high bits first,
// interlaced images put together) and converts them into 32-bit pixels and,
// when the PNG has an alpha channel or a transparency chunk, an 8-bit mask.
// The loader owns one reader; its buffers only grow, in whole megabytes, so
// a run of PNG loads does not allocate per picture.
#pragma once

#include <climits>
#include <cstdint>
#include <cstdio>

#include "graphics/pixeltarget.h"
#include "platform/bytereader.h"

class CPngReader {
 public:
  // A row buffer of megabytes << 20 bytes to start with.
  explicit CPngReader(int megabytes);
  ~CPngReader();
  CPngReader(const CPngReader&) = delete;
  CPngReader& operator=(const CPngReader&) = delete;

  // Reads one PNG stream from in (a picture file's body, or any bytes).
  // With expectWidth and expectHeight non-zero a PNG of
  // another size is refused before its rows are read. 1 read; 0 when the
  // stream is damaged, cut short, too large or of another size, or memory
  // runs out (GetError says which). Errors never leave this call.
  int Read(platform::ByteReader* in, int expectWidth = 0, int expectHeight = 0);
  // Bytes the last Read took from in.
  int GetBytesRead() const { return bytesRead_; }
  const char* GetError() const { return error_; }

  // After a successful Read: the pixels as 0x00RRGGBB into target (as much
  // of the picture as the target holds).
  void ToPixels(const PixelTarget& target);
  // The last PNG has an alpha channel or a transparency chunk.
  int GetAlphaFlag() const { return alphaFlag_; }
  // After a successful Read: width x height mask bytes (pitch = width) from
  // the alpha channel or the transparency chunk; without either the mask is
  // left untouched.
  void ExtractAlpha(unsigned char* mask);

  int GetWidth() const { return width_; }
  int GetHeight() const { return height_; }
  int GetBitDepth() const { return bitDepth_; }
  int GetColourType() const { return colourType_; }

 private:
  struct Stream;
  bool ReadStream(Stream* stream);
  bool Grow(int64_t rowBytes, int height);
  // Sample x of a row of sub-byte samples (1, 2 or 4 bits).
  static int Sample(const unsigned char* row, int x, int depth);

  unsigned char* rowBuffer_ = nullptr;
  int rowBufferCapacity_ = 0;
  int width_ = 1;
  int height_ = 1;
  int alphaFlag_ = 0;
  unsigned char** rowPointers_ = nullptr;
  int rowPointerCapacity_ = 0;
  int channels_ = 0;
  int bitDepth_ = 0;
  int colourType_ = 0;
  uint32_t* colours_ = nullptr;
  int transFlag_ = 0;
  uint16_t transGrey_ = 0;
  uint16_t transRed_ = 0, transGreen_ = 0, transBlue_ = 0;
  unsigned char transAlpha_[256] = {};
  int pitch_ = 0;
  bool valid_ = false;
  int bytesRead_ = 0;
  const char* error_ = nullptr;
};
