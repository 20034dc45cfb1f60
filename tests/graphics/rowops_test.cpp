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

// Three-byte pixels become the words of the plain rule at every run length
// around the step sizes, with and without 256-bit rows, from every byte
// offset, and nothing past the run is written.
TEST(RowOps, RgbToPixelsMatchesTheReference) {
  std::mt19937 rng(777);
  for (bool wide : {false, true}) {
    blendrows::AllowWideRows(wide);
    for (size_t n = 0; n <= 70; ++n)
      for (size_t offset = 0; offset < 3; ++offset) {
        std::vector<unsigned char> bytes(offset + 3 * n);
        for (unsigned char& b : bytes) b = static_cast<unsigned char>(rng());
        std::vector<uint32_t> want(n + 1, 0xDEADBEEF), got = want;
        rowops::RgbToPixelsScalar(bytes.data() + offset, want.data(), n);
        rowops::RgbToPixels(bytes.data() + offset, got.data(), n);
        ASSERT_EQ(want, got) << "run " << n << ", offset " << offset << ", wide " << wide;
      }
  }
  blendrows::AllowWideRows(true);
}

// The fill writes its run and nothing around it, at every start alignment,
// for runs of each of its store kinds (words, short vector runs, string
// stores from 2 KiB, long runs), with and without 256-bit rows, and for
// colours of four equal bytes.
TEST(RowOps, FillWritesExactlyItsRun) {
  const size_t lengths[] = {0, 1, 3, 4, 5, 7, 8, 9, 15, 16, 17, 31, 33, 63, 511, 512, 513, 1001,
                            (4u << 20) / 4 - 1, (4u << 20) / 4, (4u << 20) / 4 + 3};
  const uint32_t colours[] = {0x00123456, 0x00000000, 0x00FFFFFF, 0x7F7F7F7F, 0x00010000};
  constexpr uint32_t kGuard = 0xDEADBEEF;
  for (bool wide : {false, true}) {
    blendrows::AllowWideRows(wide);
    for (size_t n : lengths)
      for (size_t offset = 0; offset < 8; ++offset)
        for (uint32_t colour : colours) {
          std::vector<uint32_t> row(n + 16, kGuard);
          rowops::Fill(row.data() + offset, n, colour);
          size_t good = 0;
          while (good < row.size() &&
                 row[good] == (good >= offset && good < offset + n ? colour : kGuard))
            ++good;
          ASSERT_EQ(good, row.size()) << "length " << n << ", offset " << offset << ", colour "
                                      << std::hex << colour << ", wide " << wide;
        }
  }
  blendrows::AllowWideRows(true);
}

// A box of rows fills each of its rows and leaves the words between them:
// widths of each store kind, at every start alignment, a box whose rows
// meet (one run) and a one-row box.
TEST(RowOps, FillRowsWritesOnlyItsBox) {
  struct Box {
    size_t w, h, pitch;
  };
  const Box boxes[] = {{1, 3, 5},    {3, 4, 9},     {4, 3, 6},      {7, 5, 12},  {8, 3, 9},
                       {9, 4, 40},   {33, 3, 35},   {100, 4, 130},  {511, 3, 600}, {512, 3, 513},
                       {700, 3, 800}, {64, 5, 64},  {600, 1, 600}};
  const uint32_t colours[] = {0x00123456, 0x00ABABAB, 0x00000000};
  constexpr uint32_t kGuard = 0xDEADBEEF;
  for (bool wide : {false, true}) {
    blendrows::AllowWideRows(wide);
    for (const Box& box : boxes)
      for (size_t offset = 0; offset < 8; ++offset)
        for (uint32_t colour : colours) {
          std::vector<uint32_t> area(offset + box.pitch * box.h + 16, kGuard);
          rowops::FillRows(area.data() + offset, box.w, box.h, box.pitch, colour);
          for (size_t i = 0; i < area.size(); ++i) {
            const bool inside = i >= offset && (i - offset) / box.pitch < box.h &&
                                (i - offset) % box.pitch < box.w;
            ASSERT_EQ(area[i], inside ? colour : kGuard)
                << "word " << i << ", box " << box.w << " x " << box.h << " pitch " << box.pitch
                << ", offset " << offset << ", colour " << std::hex << colour << ", wide " << wide;
          }
        }
  }
  blendrows::AllowWideRows(true);
}

}  // namespace
}  // namespace graphics_test
