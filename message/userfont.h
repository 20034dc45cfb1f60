// CUserFont: a bitmap font shipped with the game ("mok\<name>.mft"), used
// instead of the platform font for text of its glyph size. The file is a
// 64-byte header (glyph size as three ASCII digits at 41, bits per pixel as
// one digit at 57: 2, 4 or 8) followed by one record per glyph of
// stride x stride pixels, stride = size rounded up to a multiple of 8.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CUserFont {
 public:
  static constexpr int kHeaderSize = 64;

  // Loads "mok\<name>.mft". A file that cannot be read or whose header is
  // not one of the above shows "ユーザーフォントLOADエラー" with the name and
  // leaves the font invalid.
  explicit CUserFont(const char* name);
  ~CUserFont();
  CUserFont(const CUserFont&) = delete;
  CUserFont& operator=(const CUserFont&) = delete;
  void Release();

  // Reads a font from bytes already in memory; false when the header is bad.
  bool LoadImage(std::string image);
  bool IsValid() const { return size_ > 0; }
  int GetSize() const { return size_; }
  int GetDepth() const { return depth_; }
  int GetStride() const { return stride_; }

  // size x size coverage bytes for the double-byte cell at `cell` (valid
  // until the next call); blank outside the two glyph ranges, for a
  // record past the end of the file, and when the font is invalid.
  const uint8_t* GetGlyph(const char* cell);

  // The glyph number of a double-byte character, or -1.
  static int GlyphNumber(unsigned char lead, unsigned char trail);

 private:
  void DecodeRecord(const uint8_t* record);

  std::string image_;
  std::vector<uint8_t> glyph_;    // stride x stride
  std::vector<uint8_t> compact_;  // size x size
  int size_ = 0, depth_ = 0, stride_ = 0;
};
