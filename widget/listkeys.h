// Settings keys made of a prefix and a name ("game" + "YearPrintFlag"), read
// from a list of key/value pairs; a missing key keeps the fallback.
#pragma once

#include <cstdint>

class CNameList;

// base + count * step held to the int range: settings may hold any value,
// and a position made from them must never wrap.
int PlaceAt(int base, int64_t count, int step);

int ReadListInt(const CNameList* list, const char* prefix, const char* name, int fallback);
// The value token, or fallback when the key is missing.
const char* ReadListString(const CNameList* list, const char* prefix, const char* name,
                           const char* fallback);
