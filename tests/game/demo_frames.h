// What the sample game's end-to-end tests share: a hash of the screen as
// it stands and the count of colour channels of two sample lists that lie
// further apart than a tolerance.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "graphics/screenbuffer.h"

namespace demotest {

// FNV-1a over the screen's pixels.
inline uint64_t HashScreen() {
  uint64_t h = 1469598103934665603ull;
  const uint32_t* p = CScreenBuffer::GetBuffer();
  const int n = CScreenBuffer::GetWidth() * CScreenBuffer::GetHeight();
  for (int i = 0; i < n; ++i) h = (h ^ p[i]) * 1099511628211ull;
  return h;
}

// Channels (R, G, B of each 0xRRGGBB sample) off by more than tolerance;
// the lists must be of one length.
inline int ChannelsOff(const std::vector<uint32_t>& expected, const std::vector<uint32_t>& got,
                       int tolerance) {
  int off = 0;
  for (size_t i = 0; i < expected.size() && i < got.size(); ++i)
    for (int shift : {0, 8, 16}) {
      const int a = (expected[i] >> shift) & 0xFF, b = (got[i] >> shift) & 0xFF;
      if (std::abs(a - b) > tolerance) ++off;
    }
  return off;
}

// One 0xRRGGBB sample every `step` pixels of the screen, row by row.
inline std::vector<uint32_t> SampleScreen(int step) {
  std::vector<uint32_t> samples;
  const uint32_t* p = CScreenBuffer::GetBuffer();
  const int w = CScreenBuffer::GetWidth();
  for (int y = step / 2; y < CScreenBuffer::GetHeight(); y += step)
    for (int x = step / 2; x < w; x += step) samples.push_back(p[y * w + x] & 0xFFFFFF);
  return samples;
}

// The stored samples: a comment line naming them, then `perRow` hex words
// a line.
inline void WriteSamples(const std::string& path, const std::string& what, int step, int perRow,
                         const std::vector<uint32_t>& samples) {
  std::ofstream out(path);
  out << "# " << what << ": one 0xRRGGBB sample every " << step << " pixels, row by row.\n";
  for (size_t i = 0; i < samples.size(); ++i) {
    char text[16];
    std::snprintf(text, sizeof text, "%06X", samples[i]);
    out << text << ((i + 1) % static_cast<size_t>(perRow) ? " " : "\n");
  }
}

// The samples of a file WriteSamples wrote; empty when it cannot be read.
inline std::vector<uint32_t> ReadSamples(const std::string& path) {
  std::ifstream in(path);
  std::vector<uint32_t> samples;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    std::string word;
    while (words >> word) samples.push_back(static_cast<uint32_t>(std::stoul(word, nullptr, 16)));
  }
  return samples;
}

}  // namespace demotest
