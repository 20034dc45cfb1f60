// A colour read as three keys "<prefix>R<suffix>", "<prefix>G<suffix>",
// "<prefix>B<suffix>" of a mode's settings list: a missing key keeps the
// value already in rgb, every part is held to 0..255.
#pragma once

#include <algorithm>
#include <string>

#include "game/commongeneral.h"

struct Rgb {
  int r = 0, g = 0, b = 0;
};

inline void ReadColorKeys(const CCommonGeneral& mode, const char* prefix, const char* suffix,
                          Rgb* rgb) {
  int* const parts[3] = {&rgb->r, &rgb->g, &rgb->b};
  static constexpr const char* kParts[3] = {"R", "G", "B"};
  for (int i = 0; i < 3; ++i) {
    mode.GetSetupInt(parts[i], (std::string(prefix) + kParts[i] + suffix).c_str());
    *parts[i] = std::clamp(*parts[i], 0, 255);
  }
}
