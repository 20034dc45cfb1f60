// screendiff EXPECTED.png|#RRGGBB ACTUAL.png MAX_DELTA MAX_PIXELS
// Compares a screenshot with a stored one (or with one colour): it passes
// when at most MAX_PIXELS pixels differ from the expected ones by more than
// MAX_DELTA in a colour channel. Exit status 0 pass, 1 differ, 2 a wrong
// command line or an unreadable picture.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "pngfile.h"

namespace {

int Channel(uint32_t p, int shift) { return static_cast<int>(p >> shift & 0xFF); }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: screendiff EXPECTED.png|#RRGGBB ACTUAL.png MAX_DELTA MAX_PIXELS\n");
    return 2;
  }
  std::string error;
  dwqtool::Picture actual;
  if (!dwqtool::ReadPngFile(argv[2], &actual, &error)) {
    std::fprintf(stderr, "screendiff: %s: %s\n", argv[2], error.c_str());
    return 2;
  }
  dwqtool::Picture expected;
  const std::string first = argv[1];
  if (!first.empty() && first[0] == '#') {
    const uint32_t colour = static_cast<uint32_t>(std::strtoul(first.c_str() + 1, nullptr, 16));
    expected = {actual.width, actual.height,
                std::vector<uint32_t>(actual.pixels.size(), colour), {}};
  } else if (!dwqtool::ReadPngFile(first, &expected, &error)) {
    std::fprintf(stderr, "screendiff: %s: %s\n", first.c_str(), error.c_str());
    return 2;
  }
  if (expected.width != actual.width || expected.height != actual.height) {
    std::fprintf(stderr, "screendiff: sizes differ: %dx%d expected, %dx%d seen\n", expected.width,
                 expected.height, actual.width, actual.height);
    return 1;
  }
  const int maxDelta = std::atoi(argv[3]);
  const long maxPixels = std::atol(argv[4]);
  long differing = 0;
  int worst = 0;
  for (size_t i = 0; i < actual.pixels.size(); ++i) {
    int delta = 0;
    for (int shift : {0, 8, 16})
      delta = std::max(delta, std::abs(Channel(actual.pixels[i], shift) - Channel(expected.pixels[i], shift)));
    worst = std::max(worst, delta);
    if (delta > maxDelta) ++differing;
  }
  if (differing > maxPixels) {
    std::fprintf(stderr, "screendiff: %ld pixels differ by more than %d (at most %ld allowed; worst %d)\n",
                 differing, maxDelta, maxPixels, worst);
    return 1;
  }
  return 0;
}
