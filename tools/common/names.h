// Host file names compared with the fixed ASCII names of a game folder
// ("init", "sav", ".dwq") without regard to letter case.
#pragma once

#include <string>

namespace toolsupport {

// ASCII capitals made small, every other byte kept.
inline std::string AsciiLower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

}  // namespace toolsupport
