// What the mode fuzz targets share: small random values, text files and
// masked pictures written into the game folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dwqwriter.h"
#include "fuzz/support/fuzz_support.h"
#include "platform/files.h"

namespace modefuzz {

// Small values are the common case.
inline int Value(fuzzsupport::Reader& in) {
  const uint8_t kind = in.Byte();
  return kind & 0x80 ? in.Int() : (kind & 0x3F) - 8;
}

inline void Write(const char* path, const std::string& text) {
  platform::WriteWholeFile(path, text.data(), text.size());
}

// "dwq\\sys\\<name>.dwq": w x h with a mask, pixel and alpha by position.
inline void WriteStrip(const std::string& name, int w, int h) {
  dwqtool::Picture p{w, h, {}, {}};
  for (int i = 0; i < w * h; ++i) {
    p.pixels.push_back(static_cast<uint32_t>(i) * 2654435761u & 0xFFFFFF);
    p.alpha.push_back(static_cast<uint8_t>(i * 37));
  }
  dwqtool::Options options;
  options.mask = true;
  std::vector<uint8_t> bytes;
  std::string error;
  if (dwqtool::MakeDwq(p, options, &bytes, &error))
    platform::WriteWholeFile(("dwq\\sys\\" + name + ".dwq").c_str(), bytes.data(), bytes.size());
}

}  // namespace modefuzz
