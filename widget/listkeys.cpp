#include "widget/listkeys.h"

#include <cstdio>

#include "setup/setuplist.h"

namespace {

void MakeKey(char* key, int size, const char* prefix, const char* name) {
  std::snprintf(key, static_cast<size_t>(size), "%s%s", prefix ? prefix : "", name ? name : "");
}

}  // namespace

int ReadListInt(const CNameList* list, const char* prefix, const char* name, int fallback) {
  CSetupList setup;
  setup.AttachList(const_cast<CNameList*>(list));
  char key[256];
  MakeKey(key, sizeof key, prefix, name);
  int value = fallback;
  setup.GetSetupInt(&value, key);
  return value;
}

const char* ReadListString(const CNameList* list, const char* prefix, const char* name,
                           const char* fallback) {
  CSetupList setup;
  setup.AttachList(const_cast<CNameList*>(list));
  char key[256];
  MakeKey(key, sizeof key, prefix, name);
  const char* value = fallback;
  setup.GetSetupString(&value, key);
  return value;
}
