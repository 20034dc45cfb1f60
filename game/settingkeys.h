// Reading a part's keys of the list "game" into its settings record: a
// table of integer keys in their reading order, each naming its field. A key
// marked `fromPrevious` defaults to the value the key before it in its table
// ended with. Without a list every field keeps its default.
#pragma once

#include <cstddef>
#include <string>

#include "setup/setuplist.h"

template <typename Record>
struct IntKey {
  const char* key;
  int Record::*field;
  bool fromPrevious = false;
};

template <typename Record, size_t N>
void ReadIntKeys(const CSetupList* list, Record* record, const IntKey<Record> (&keys)[N]) {
  for (size_t i = 0; i < N; ++i) {
    if (keys[i].fromPrevious && i > 0) record->*keys[i].field = record->*keys[i - 1].field;
    if (list) list->GetSetupInt(&(record->*keys[i].field), keys[i].key);
  }
}

// One key of a list that may be missing: 1 and the value when the key is
// there, 0 and `out` untouched otherwise.
inline int ReadInt(const CSetupList* list, int* out, const char* key) {
  return list ? list->GetSetupInt(out, key) : 0;
}
inline int ReadString(const CSetupList* list, const char** out, const char* key) {
  return list ? list->GetSetupString(out, key) : 0;
}

// The most entries numbered keys give one table ("autoExtDataMode1" to
// "autoExtDataMode256", "renameTag1" to "renameTag256"), and the largest
// count a key may set for such a table ("extSaveDataNumber",
// "renameTagNumber").
constexpr int kMaxKeyedEntries = 256;

// A key with its numbers put in ("autoExtDataMode%d", "fukuro%d_%d").
std::string NumberedKey(const char* format, int a, int b = 0);
