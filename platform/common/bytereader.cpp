#include "platform/bytereader.h"

#include <cstring>

#include "platform/bytes.h"

namespace platform {

ByteReader::ByteReader(FILE* file, int64_t limit) : file_(file) {
  if (!file) return;
  const long here = std::ftell(file);
  if (here < 0) {
    file_ = nullptr;
    return;
  }
  base_ = here;
  int64_t toEnd = -1;
  if (std::fseek(file, 0, SEEK_END) == 0) {
    const long end = std::ftell(file);
    if (end >= here) toEnd = end - here;
  }
  if (std::fseek(file, here, SEEK_SET) != 0 || toEnd < 0) {
    file_ = nullptr;
    return;
  }
  size_ = limit >= 0 && limit < toEnd ? limit : toEnd;
}

bool ByteReader::Read(void* out, size_t n) {
  if (!Fits(n)) return false;
  if (n == 0) return true;
  if (file_) {
    if (std::fread(out, 1, n, file_) != n) {
      // The file held less than it claimed: nothing more is read from it.
      size_ = pos_;
      std::fseek(file_, base_ + pos_, SEEK_SET);
      return false;
    }
  } else {
    std::memcpy(out, data_ + pos_, n);
  }
  pos_ += static_cast<int64_t>(n);
  return true;
}

bool ByteReader::Skip(size_t n) {
  if (!Fits(n)) return false;
  return Seek(pos_ + static_cast<int64_t>(n));
}

bool ByteReader::Seek(int64_t offset) {
  if (offset < 0 || offset > size_) return false;
  if (file_ && std::fseek(file_, static_cast<long>(base_ + offset), SEEK_SET) != 0) return false;
  pos_ = offset;
  return true;
}

bool ByteReader::U8(uint8_t* v) { return Read(v, 1); }

bool ByteReader::U16(uint16_t* v) {
  uint8_t b[2];
  if (!Read(b, 2)) return false;
  *v = GetLE16(b);
  return true;
}

bool ByteReader::U16BE(uint16_t* v) {
  uint8_t b[2];
  if (!Read(b, 2)) return false;
  *v = static_cast<uint16_t>(b[0] << 8 | b[1]);
  return true;
}

bool ByteReader::U32(uint32_t* v) {
  uint8_t b[4];
  if (!Read(b, 4)) return false;
  *v = GetLE32(b);
  return true;
}

bool ByteReader::I32(int32_t* v) {
  uint32_t u;
  if (!U32(&u)) return false;
  *v = static_cast<int32_t>(u);
  return true;
}

const uint8_t* ByteReader::Take(size_t n) {
  if (!Fits(n)) return nullptr;
  if (!file_) {
    const uint8_t* p = data_ + pos_;
    pos_ += static_cast<int64_t>(n);
    return p;
  }
  taken_.resize(n ? n : 1);  // never null, even for nothing
  if (!Read(taken_.data(), n)) return nullptr;
  return taken_.data();
}

bool ByteReader::ReadRest(std::vector<uint8_t>* out) {
  out->resize(static_cast<size_t>(Remaining()));
  if (Read(out->data(), out->size())) return true;
  out->clear();
  return false;
}

bool ByteReader::U32At(const void* data, size_t size, size_t offset, uint32_t* v) {
  if (offset > size || size - offset < 4) return false;
  *v = GetLE32(static_cast<const uint8_t*>(data) + offset);
  return true;
}

bool ByteReader::I32At(const void* data, size_t size, size_t offset, int32_t* v) {
  uint32_t u;
  if (!U32At(data, size, offset, &u)) return false;
  *v = static_cast<int32_t>(u);
  return true;
}

}  // namespace platform
