#include "savedata/extnametable.h"

#include <cstring>

#include "platform/codec.h"

namespace {

unsigned char FoldAscii(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

// ASCII letters compare without case; the trail byte of a double-byte
// character is compared as it is, so it never folds into a letter.
bool EqualNoCase(const char* a, const char* b) {
  const auto* p = reinterpret_cast<const unsigned char*>(a);
  const auto* q = reinterpret_cast<const unsigned char*>(b);
  for (;;) {
    if (*p == 0 || *q == 0) return *p == *q;
    if (platform::IsCp932LeadByte(*p) || platform::IsCp932LeadByte(*q)) {
      if (*p != *q) return false;
      ++p;
      ++q;
      if (*p != *q) return false;
      if (*p == 0) return true;
    } else if (FoldAscii(*p) != FoldAscii(*q)) {
      return false;
    }
    ++p;
    ++q;
  }
}

}  // namespace

CExtDataNameTable::CExtDataNameTable() {
  std::memset(names_, 0, sizeof names_);
  std::strcpy(names_[0], "dummy");
  std::strcpy(names_[1], "face");
}

CExtDataNameTable::~CExtDataNameTable() = default;

int CExtDataNameTable::SearchName(const char* name) const {
  if (!name) return -1;
  for (int i = 1; i < kEntries && names_[i][0] != '\0'; ++i) {
    if (EqualNoCase(names_[i], name)) return i;
  }
  return -1;
}
