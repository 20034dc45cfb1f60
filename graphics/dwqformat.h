// Layout of the picture file (".dwq"): a 64-byte header, a body (BMP rows,
// packed 8-bit rows, JPEG or PNG) and, for most types, a mask section.
// Shared by the loader and the picture tool; integers are little-endian.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/bytes.h"

namespace dwq {

constexpr int kHeaderSize = 64;
// Header fields (signed 32-bit unless noted).
constexpr int kBoxTop = 16;
constexpr int kBoxLeft = 20;
constexpr int kBoxRightMargin = 24;   // box right = width - this
constexpr int kBoxBottomMargin = 28;  // box bottom = height - this
constexpr int kBodySize = 32;         // bytes between the header and the mask section
constexpr int kWidth = 36;
constexpr int kHeight = 40;   // its absolute value is used
constexpr int kType = 57;     // one character
constexpr int kBoxFlag = 58;  // 'A': the four box fields are valid
constexpr char kBoxFlagSet = 'A';

// Type characters; any other character is BMP rows without a mask.
constexpr char kTypeBmpMask = '2';
constexpr char kTypePacked = '3';  // packed rows, mask section
constexpr char kTypeJpeg = '5';
constexpr char kTypeJpegMask = '7';
constexpr char kTypePng = '8';  // the PNG's alpha is the mask
constexpr char kTypeBmp = '1';  // what the tool writes for "no mask"

// The BMP headers in front of BMP rows, packed rows and the mask section.
constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr int kBmpHeadersSize = kFileHeaderSize + kInfoHeaderSize;

// The loader's decode buffer: kDecodeMegabytes MiB plus room for the BMP
// headers and a 256-entry palette. A JPEG body, the coded rows of a packed
// body, the coded rows of a mask section and one row of BMP rows must each
// fit in it; a picture file with a larger one cannot be loaded.
constexpr int kDecodeMegabytes = 3;
constexpr int kDecodeExtra = kBmpHeadersSize + 256 * 4;
constexpr int DecodeBufferBytes(int megabytes) { return (megabytes << 20) + kDecodeExtra; }
constexpr int kDecodeBufferBytes = DecodeBufferBytes(kDecodeMegabytes);
// A picture's pixel block (4 bytes a pixel) and these spare bytes must fit
// a signed 32-bit count.
constexpr int kPixelBlockSpare = 64;
constexpr int64_t kMaxPixels = (int64_t{0x7FFFFFFF} - kPixelBlockSpare) / 4;
// The most pixels one byte of a body can stand for: a JPEG block takes at
// least two bits, a zero run of packed rows two bytes for at most 255.
constexpr int64_t kJpegPixelsPerByte = 256;
constexpr int64_t kPackedPixelsPerByte = 128;

struct BitmapFileHeader {
  uint16_t bfType;
  uint32_t bfSize;
  uint16_t bfReserved1;
  uint16_t bfReserved2;
  uint32_t bfOffBits;
};

struct BitmapInfoHeader {
  uint32_t biSize;
  int32_t biWidth;
  int32_t biHeight;
  uint16_t biPlanes;
  uint16_t biBitCount;
  uint32_t biCompression;
  uint32_t biSizeImage;
  int32_t biXPelsPerMeter;
  int32_t biYPelsPerMeter;
  uint32_t biClrUsed;
  uint32_t biClrImportant;
};

// Fields of a header already read whole through the bounded reader.
inline uint16_t GetU16(const unsigned char* p) { return platform::GetLE16(p); }
inline uint32_t GetU32(const unsigned char* p) { return platform::GetLE32(p); }
inline int32_t GetI32(const unsigned char* p) { return platform::GetLE32Signed(p); }

inline BitmapFileHeader ParseFileHeader(const unsigned char* p) {
  return {GetU16(p), GetU32(p + 2), GetU16(p + 6), GetU16(p + 8), GetU32(p + 10)};
}

inline BitmapInfoHeader ParseInfoHeader(const unsigned char* p) {
  return {GetU32(p),      GetI32(p + 4),  GetI32(p + 8),  GetU16(p + 12),
          GetU16(p + 14), GetU32(p + 16), GetU32(p + 20), GetI32(p + 24),
          GetI32(p + 28), GetU32(p + 32), GetU32(p + 36)};
}

// Entries a stored palette holds: biClrUsed, or 256 when it is 0.
inline uint32_t PaletteCount(const BitmapInfoHeader& info) {
  return info.biClrUsed ? info.biClrUsed : 256;
}

}  // namespace dwq
