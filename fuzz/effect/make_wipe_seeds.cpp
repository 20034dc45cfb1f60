// Writes the seeds of fuzz_wipe for the shape and moving-picture wipes:
// each number with maxima of 1 and of 2^31 - 1, on an odd screen, a tiny
// one and one exactly as large as a picture, with offsets at and past the
// pictures' edges and with 8-bit pictures.
// Usage: make_wipe_seeds DIR
#include <climits>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "effect/allwipe.h"
#include "tools/common/hostfile.h"

namespace {

// The input's picture indices (fuzz_wipe.cpp): 1 the 8-bit picture, 2 the
// largest screen's size, 3 13 x 7, 4 one column and three lines larger.
enum { kEightBit = 1, kLargest = 2, kSmall = 3, kLarger = 4 };

class Seed {
 public:
  Seed(int w, int h) : bytes_{static_cast<uint8_t>(w - 1), static_cast<uint8_t>(h - 1), 7} {}
  // One step of wipe n: op bit 1 (a number), 2 and 4 (progress and maximum
  // as ints), 8 and 16 (offsets, as ints).
  Seed& Step(int n, int from, int to, int progress, int max, const int* offsets = nullptr,
             bool intOffsets = false) {
    const bool bigProgress = progress < -1 || progress > 10;
    const bool bigMax = max < 0 || max > 11;
    bytes_.push_back(static_cast<uint8_t>(1 | (bigProgress ? 2 : 0) | (bigMax ? 4 : 0) |
                                          (offsets ? 8 : 0) | (intOffsets ? 16 : 0)));
    bytes_.push_back(static_cast<uint8_t>(from));
    bytes_.push_back(static_cast<uint8_t>(to));
    bigProgress ? Int(progress) : bytes_.push_back(static_cast<uint8_t>(progress + 1));
    bigMax ? Int(max) : bytes_.push_back(static_cast<uint8_t>(max));
    if (offsets)
      for (int i = 0; i < 4; ++i)
        intOffsets ? Int(offsets[i]) : bytes_.push_back(static_cast<uint8_t>(offsets[i] + 20));
    bytes_.push_back(static_cast<uint8_t>(n));
    return *this;
  }
  bool Write(const std::string& path) const {
    return toolsupport::WriteHostFile(path, bytes_.data(), bytes_.size());
  }

 private:
  void Int(int v) {
    for (int b = 0; b < 4; ++b)
      bytes_.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * b)));
  }
  std::vector<uint8_t> bytes_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::set<std::string> kinds = {
      "CEffectSimpleWipeCircle",    "CEffectSimpleWipeClock",  "CEffectSimpleWipeStar",
      "CEffectSimpleWipeTurnStar",  "CEffectSimpleWipeHeart",  "CEffectSimpleWipeWTogari",
      "CEffectSimpleWipeTogari",    "CEffectSimpleWipeNaname", "CEffectSimpleWipeGaza",
      "CEffectSimpleWipeBeach",     "CEffectSimpleWipeMove",   "CEffectSimpleWipeDoor",
      "CEffectSimpleWipeTokoroten", "CEffectSimpleWipeGrav",   "CEffectSimpleWipeSlot",
      "CEffectSimpleWipeCenter",    "CEffectSimpleWipeZoom"};
  const int edge[4] = {1, 1, 0, 3};                 // the largest picture's edge
  const int past[4] = {INT_MAX, INT_MIN, -20, 59};  // pulled back
  const int near[4] = {-1, 0, 1, 2};
  const std::string dir = argv[1];
  for (const WipeNumber& entry : GetWipeNumbers()) {
    if (!kinds.count(entry.kind)) continue;
    const int n = entry.number;
    const std::string name = dir + "/wipe-" + std::to_string(n);
    Seed odd(47, 35);
    odd.Step(n, kLargest, kLarger, 1 << 30, INT_MAX)
        .Step(n, kLarger, kLargest, INT_MAX - 1, INT_MAX)
        .Step(n, kLargest, kLarger, 1, 1)
        .Step(n, kLargest, kLarger, 5, 11, edge, true)
        .Step(n, kLarger, kLargest, 7, 11, past, true)
        .Step(n, kEightBit, kEightBit, 4, 8)
        .Step(n, kEightBit, kEightBit, INT_MAX / 3, INT_MAX, near);
    Seed tiny(1, 1);
    tiny.Step(n, kSmall, kLargest, 1, 2)
        .Step(n, kLargest, kSmall, 0, 1)
        .Step(n, kEightBit, kEightBit, 1, 1);
    Seed exact(13, 7);
    exact.Step(n, kSmall, kSmall, 3, 7)
        .Step(n, kSmall, kLargest, INT_MAX - 2, INT_MAX)
        .Step(n, kLarger, kSmall, 2, 3, near);
    if (!odd.Write(name + "-odd") || !tiny.Write(name + "-tiny") || !exact.Write(name + "-exact"))
      return 1;
  }
  return 0;
}
