// ByteReader: the one bounded little-endian reader every binary parser reads
// through, over a byte span, or a file from its current position (a whole
// file, or a pack entry of known length inside a volume). Every read answers
// false when fewer bytes remain than it asks for, and then consumes nothing;
// it never reads beyond the end it was given, and a file that gives fewer
// bytes than it claimed to hold is the same failure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace platform {

class ByteReader {
 public:
  ByteReader() = default;
  ByteReader(const void* data, size_t size)
      : data_(static_cast<const uint8_t*>(data)), size_(static_cast<int64_t>(size)) {}
  explicit ByteReader(const std::string& bytes) : ByteReader(bytes.data(), bytes.size()) {}
  explicit ByteReader(const std::vector<uint8_t>& bytes) : ByteReader(bytes.data(), bytes.size()) {}
  // From the file's current position: at most limit bytes, or up to the end
  // of the file when limit < 0.
  ByteReader(FILE* file, int64_t limit);

  int64_t Size() const { return size_; }
  int64_t Position() const { return pos_; }
  int64_t Remaining() const { return size_ - pos_; }
  bool AtEnd() const { return pos_ >= size_; }

  bool Read(void* out, size_t n);
  bool Skip(size_t n);
  // Moves to an offset from the start; false (and no move) past the end.
  bool Seek(int64_t offset);

  bool U8(uint8_t* v);
  bool U16(uint16_t* v);
  bool U32(uint32_t* v);
  bool I32(int32_t* v);
  // Big-endian words, as JPEG segments store them.
  bool U16BE(uint16_t* v);

  // The next n bytes without copying (consumed); null when fewer remain.
  // Over a file the bytes are read into a buffer the reader keeps until the
  // next Take.
  const uint8_t* Take(size_t n);
  // The rest of the source into out; false when a file gives fewer bytes
  // than it holds.
  bool ReadRest(std::vector<uint8_t>* out);

  // Reads a word at an offset of a span without a reader: false past its end.
  static bool U32At(const void* data, size_t size, size_t offset, uint32_t* v);
  static bool I32At(const void* data, size_t size, size_t offset, int32_t* v);

 private:
  bool Fits(size_t n) const { return static_cast<uint64_t>(n) <= static_cast<uint64_t>(size_ - pos_); }

  const uint8_t* data_ = nullptr;
  FILE* file_ = nullptr;
  int64_t base_ = 0;  // the file offset of position 0
  int64_t size_ = 0;
  int64_t pos_ = 0;
  std::vector<uint8_t> taken_;
};

}  // namespace platform
