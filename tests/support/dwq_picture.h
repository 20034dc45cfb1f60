// Writes test pictures into a game folder as ".dwq" files (with a full mask
// unless the picture has its own alpha). Tests that use it link
// zor_dwqwriter.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "dwqwriter.h"
#include "support/temp_dir.h"

namespace testsupport {

// "dwq/<rel>.dwq" below the folder, e.g. rel "sys/ta_meswin".
inline void WriteDwq(const TempDir& dir, const std::string& rel, dwqtool::Picture picture) {
  if (picture.alpha.empty()) picture.alpha.assign(picture.pixels.size(), 255);
  dwqtool::Options options;
  options.mask = true;
  std::vector<uint8_t> bytes;
  std::string error;
  ASSERT_TRUE(dwqtool::MakeDwq(picture, options, &bytes, &error)) << error;
  dir.Write("dwq/" + rel + ".dwq", std::string(bytes.begin(), bytes.end()));
}

// A w x h picture of one colour.
inline void WriteDwq(const TempDir& dir, const std::string& rel, int w, int h, uint32_t colour) {
  WriteDwq(dir, rel, dwqtool::Picture{w, h, std::vector<uint32_t>(size_t(w) * h, colour), {}});
}

}  // namespace testsupport
