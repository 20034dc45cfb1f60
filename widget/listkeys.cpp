#include "widget/listkeys.h"

#include <cstdint>
#include <cstdio>

#include "setup/setuplist.h"

namespace {

void MakeKey(char* key, int size, const char* prefix, const char* name) {
  std::snprintf(key, static_cast<size_t>(size), "%s%s", prefix ? prefix : "", name ? name : "");
}

}  // namespace

int PlaceAt(int base, int64_t count, int step) {
  int64_t product = 0;
  if (__builtin_mul_overflow(count, int64_t{step}, &product))
    return (count < 0) != (step < 0) ? INT32_MIN : INT32_MAX;
  // |product| may be near 2^63: compare before adding.
  if (product > int64_t{INT32_MAX} - base) return INT32_MAX;
  if (product < int64_t{INT32_MIN} - base) return INT32_MIN;
  const int64_t v = int64_t{base} + product;
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int>(v);
}

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
