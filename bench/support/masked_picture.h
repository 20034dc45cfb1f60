// A picture file of a benchmark's own: "dwq\\sys\\<name>.dwq" in the game
// folder, w x h pixels of a pattern with a mask that is clear, faded and
// opaque in places, so every masked draw path does its full work. Needs the
// picture writer (zor_dwqwriter).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bench/support/pattern_picture.h"
#include "dwqwriter.h"
#include "platform/files.h"

namespace benchsupport {

// `folder` (with its trailing separator) in place of "dwq\\sys\\".
inline bool WriteMaskedPicture(const std::string& name, int w, int h, uint32_t seed,
                               const std::string& folder = "dwq\\sys\\") {
  dwqtool::Picture p{w, h, {}, {}};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      p.pixels.push_back(PatternPixel(x, y, seed));
      p.alpha.push_back(PatternMask(x, y));
    }
  dwqtool::Options options;
  options.mask = true;
  std::vector<uint8_t> bytes;
  std::string error;
  return dwqtool::MakeDwq(p, options, &bytes, &error) &&
         platform::WriteWholeFile((folder + name + ".dwq").c_str(), bytes.data(), bytes.size());
}

}  // namespace benchsupport
