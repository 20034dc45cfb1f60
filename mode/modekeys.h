// Keys of a mode's settings list read the same way by several modes: a
// numbered key, a count held to its table, a colour of three keys.
#pragma once

#include <algorithm>
#include <initializer_list>
#include <string>

#include "modebase/commongeneral.h"

// key followed by n ("logo" 2 -> "logo2").
inline std::string Numbered(const char* key, int n) { return key + std::to_string(n); }

// A count from the list (def when missing): below 0 none, never more than
// max, so tables made from it stay bounded.
inline int ReadCount(const CCommonGeneral& mode, const char* key, int def, int max) {
  int n = def;
  mode.GetSetupInt(&n, key);
  return std::clamp(n, 0, max);
}

struct Rgb {
  int r = 0, g = 0, b = 0;
};

// "<prefix>R<suffix>", "<prefix>G<suffix>", "<prefix>B<suffix>": a missing
// key keeps the value already in rgb, every part is held to 0..255.
inline void ReadColorKeys(const CCommonGeneral& mode, const char* prefix, const char* suffix,
                          Rgb* rgb) {
  int* const parts[3] = {&rgb->r, &rgb->g, &rgb->b};
  static constexpr const char* kParts[3] = {"R", "G", "B"};
  for (int i = 0; i < 3; ++i) {
    mode.GetSetupInt(parts[i], (std::string(prefix) + kParts[i] + suffix).c_str());
    *parts[i] = std::clamp(*parts[i], 0, 255);
  }
}

// Positions, sizes and distances from a list are held to +-1000000 pixels,
// so sums and products of a few of them stay inside an int.
constexpr int kMaxCoordinate = 1000000;
inline int HoldCoordinate(int v) { return std::clamp(v, -kMaxCoordinate, kMaxCoordinate); }
inline void HoldCoordinates(std::initializer_list<int*> values) {
  for (int* v : values) *v = HoldCoordinate(*v);
}
