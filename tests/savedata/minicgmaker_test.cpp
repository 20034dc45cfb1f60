#include "savedata/minicgmaker.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

struct Case {
  const char* what;
  int sw, sh, tw, th, block;
  uint32_t fill;
  int fast;
  uint32_t expected;
};

// A uniform screen gives a uniform thumbnail; the fast path rounds its
// reciprocal down, the general path is exact.
TEST(MiniCGMaker, UniformScreensOnBothPaths) {
  const Case cases[] = {
      {"standard grey, fast", 800, 600, 132, 100, 6, 0x00808080, 1, 0x007F7F7F},
      {"standard white, fast one below", 800, 600, 132, 100, 6, 0x00FFFFFF, 1, 0x00FEFEFE},
      {"block 5 tiles, fast", 800, 600, 160, 120, 5, 0x00808080, 1, 0x007F7F7F},
      {"1024x768 general", 1024, 768, 132, 100, 6, 0x00808080, 0, 0x00808080},
      {"block 12 bright, general exact", 1584, 1200, 132, 100, 12, 0x00FFFFFF, 0, 0x00FFFFFF},
      {"block 16 bright, general exact", 2112, 1600, 132, 100, 16, 0x00FAFBFC, 0, 0x00FAFBFC},
      {"block 1 general", 132, 100, 132, 100, 1, 0x00123456, 0, 0x00123456},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CMiniCGMaker maker;
    maker.SetSourceSize(c.sw, c.sh);
    maker.SetMiniCGSize(c.tw, c.th);
    maker.SetBlockSize(c.block);
    EXPECT_EQ(maker.IsFastPath(), c.fast);
    std::vector<uint32_t> screen(static_cast<size_t>(c.sw) * c.sh, c.fill);
    std::vector<uint32_t> out(static_cast<size_t>(c.tw) * c.th, 0xDEADBEEF);
    maker.Make(screen.data(), out.data());
    for (uint32_t p : out) ASSERT_EQ(p, c.expected);
  }
}

TEST(MiniCGMaker, ReciprocalsAndStandardSize) {
  EXPECT_EQ(CMiniCGMaker::Reciprocal(6), 1820);
  EXPECT_EQ(CMiniCGMaker::Reciprocal(5), 2621);
  CMiniCGMaker maker;
  EXPECT_EQ(maker.IsStandardSize(), 1);
  EXPECT_EQ(maker.IsFastPath(), 1);
  maker.SetSourceSize(1024, 768);
  maker.SetBlockSize(6);
  EXPECT_EQ(maker.IsStandardSize(), 0);
  EXPECT_EQ(maker.IsFastPath(), 0);
}

// The fast path reads the centred area: 800 / 6 leaves 8 columns, 4 on
// each side, and 600 / 6 none. The general path starts block j at
// j * 1024 / 132 and averages 7 x 7 pixels.
TEST(MiniCGMaker, BlocksStartWhereTheyShould) {
  {
    CMiniCGMaker maker;
    std::vector<uint32_t> screen(800 * 600, 0);
    // Only the first block's pixels (columns 4..9, rows 0..5) are lit.
    for (int y = 0; y < 6; ++y)
      for (int x = 4; x < 10; ++x) screen[y * 800 + x] = 0x00646464;
    std::vector<uint32_t> out(132 * 100);
    maker.Make(screen.data(), out.data());
    EXPECT_EQ(out[0], 0x00636363u);  // (36 * 100 * 1820) >> 16 = 99
    EXPECT_EQ(out[1], 0u);
  }
  {
    CMiniCGMaker maker;
    maker.SetSourceSize(1024, 768);
    maker.SetBlockSize(6);
    std::vector<uint32_t> screen(1024 * 768, 0);
    // Block (0, 1) starts at column 1024 / 132 = 7: light its 7 x 7 pixels.
    for (int y = 0; y < 7; ++y)
      for (int x = 7; x < 14; ++x) screen[y * 1024 + x] = 0x00FF0031;
    std::vector<uint32_t> out(132 * 100);
    maker.Make(screen.data(), out.data());
    EXPECT_EQ(out[0], 0u);
    EXPECT_EQ(out[1], 0x00FF0031u);
    EXPECT_EQ(out[2], 0u);
  }
}

// The SSE2 fast path gives the plain one's bytes on a busy screen, odd
// blocks and the top byte included.
TEST(MiniCGMaker, FastPathsAgree) {
  for (int block : {2, 3, 5, 6, 7, 11}) {
    SCOPED_TRACE(block);
    CMiniCGMaker maker;
    const int tw = 800 / block, th = 600 / block;
    maker.SetMiniCGSize(tw, th);
    maker.SetBlockSize(block);
    ASSERT_EQ(maker.IsFastPath(), 1);
    std::vector<uint32_t> screen(800 * 600);
    uint32_t seed = 12345;
    for (uint32_t& p : screen) p = seed = seed * 1103515245u + 12345u;
    std::vector<uint32_t> a(static_cast<size_t>(tw) * th), b(a.size());
    maker.MakeFast(screen.data(), a.data());
    maker.MakeFastPlain(screen.data(), b.data());
    EXPECT_EQ(a, b);
  }
}

// The two fixed-geometry routines give the bytes of a maker set to the same
// sizes, on a busy screen.
TEST(MiniCGMaker, FixedGeometriesMatchTheMaker) {
  struct Case {
    int sw, sh, tw, th;
    void (*make)(const uint32_t*, uint32_t*);
  } cases[] = {{640, 480, 106, 80, &CMiniCGMaker::Make640x480},
               {800, 600, 132, 100, &CMiniCGMaker::Make800x600}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sw);
    CMiniCGMaker maker;
    maker.SetSourceSize(c.sw, c.sh);
    maker.SetMiniCGSize(c.tw, c.th);
    maker.SetBlockSize(6);
    ASSERT_EQ(maker.IsFastPath(), 1);
    std::vector<uint32_t> screen(static_cast<size_t>(c.sw) * c.sh);
    uint32_t seed = 777;
    for (uint32_t& p : screen) p = seed = seed * 1103515245u + 12345u;
    std::vector<uint32_t> fixed(static_cast<size_t>(c.tw) * c.th, 1), general(fixed.size(), 2);
    c.make(screen.data(), fixed.data());
    maker.Make(screen.data(), general.data());
    EXPECT_EQ(fixed, general);
    c.make(nullptr, fixed.data());
    c.make(screen.data(), nullptr);
  }
}

TEST(MiniCGMaker, MissingBuffersDoNothing) {
  CMiniCGMaker maker;
  std::vector<uint32_t> out(132 * 100, 7);
  maker.Make(nullptr, out.data());
  maker.Make(out.data(), nullptr);
  EXPECT_EQ(out[0], 7u);
}

}  // namespace
