#include "savedata/extnametable.h"

#include <cstring>

#include "setup/text.h"

CExtDataNameTable::CExtDataNameTable() {
  std::memset(names_, 0, sizeof names_);
  std::strcpy(names_[0], "dummy");
  std::strcpy(names_[1], "face");
}

CExtDataNameTable::~CExtDataNameTable() = default;

int CExtDataNameTable::SearchName(const char* name) const {
  if (!name) return -1;
  for (int i = 1; i < kEntries && names_[i][0] != '\0'; ++i) {
    if (setup::EqualNoCase(names_[i], name)) return i;
  }
  return -1;
}
