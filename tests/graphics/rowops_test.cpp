// The SSE2 and AVX2 kernels give the bytes of their plain reference loops.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "graphics/blendrows.h"
#include "graphics/rowops.h"

namespace graphics_test {
namespace {

std::vector<uint32_t> RandomPixels(std::mt19937* rng, size_t n) {
  std::vector<uint32_t> v(n);
  for (uint32_t& p : v) p = (*rng)();
  return v;
}

TEST(RowOps, FastKernelsMatchTheReference) {
  std::mt19937 rng(12345);
  // Odd rounds take the 256-bit rows where the processor has them.
  for (int round = 0; round < 800; ++round) {
    blendrows::AllowWideRows(round % 2 == 1);
    size_t n = rng() % 40;
    std::vector<uint32_t> a = RandomPixels(&rng, n), b = a;

    // Weights as the fillers make them: colour and keep weights summing to
    // at most 256.
    unsigned colourWeight = rng() % 257;
    unsigned keep = 256 - colourWeight - (round % 2 ? (colourWeight ? 1 : 0) : 0);
    uint16_t term[4];
    rowops::ColourTerms(rng() & 0x00FFFFFF, colourWeight, term);
    rowops::BlendConstScalar(a.data(), n, term, keep);
    rowops::BlendConst(b.data(), n, term, keep);
    ASSERT_EQ(a, b) << "blend, round " << round;

    uint32_t add = rng(), sub = rng();
    rowops::AddSubScalar(a.data(), n, add, sub);
    rowops::AddSub(b.data(), n, add, sub);
    ASSERT_EQ(a, b) << "add/sub, round " << round;

    int factor = static_cast<int>(rng() % 32768);
    int16_t k[4];
    for (int16_t& v : k) v = static_cast<int16_t>(rng() % 255);
    rowops::FadeScalar(a.data(), n, factor, k);
    rowops::Fade(b.data(), n, factor, k);
    ASSERT_EQ(a, b) << "fade, round " << round;
  }
  blendrows::AllowWideRows(true);
}

}  // namespace
}  // namespace graphics_test
