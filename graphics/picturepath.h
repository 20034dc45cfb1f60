// The folder rule of scene pictures: "ab\\abcdef" for the picture "abcdef",
// the folder named by the name's first two bytes.
#pragma once

#include <cstring>
#include <string>

// Empty for a name too short to give a folder (a missing picture).
inline std::string PicturePath(const char* name) {
  if (!name || std::strlen(name) < 2) return {};
  return std::string(name, 2) + "\\" + name;
}
