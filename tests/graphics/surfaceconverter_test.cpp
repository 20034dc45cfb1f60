#include "graphics/surfaceconverter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr uint8_t kUntouched = 0xAB;

// A source of width x height words and a target of the given depth, filled
// with kUntouched so that every written byte shows.
struct Surfaces {
  int width, height, bytesPerPixel;
  std::vector<uint32_t> source;
  std::vector<uint8_t> target;
  CSurfaceConverter converter;

  Surfaces(int w, int h, int bpp)
      : width(w), height(h), bytesPerPixel(bpp / 8), source(size_t(w) * h),
        target(size_t(w) * h * (bpp / 8), kUntouched) {
    converter.SetSource(source.data(), w * 4, w, h);
    converter.SetDestination(target.data(), w * bytesPerPixel);
  }
  const uint8_t* At(int x, int y) const {
    return target.data() + (size_t(y) * width + x) * bytesPerPixel;
  }
  uint32_t Word(int x, int y) const {
    uint32_t v = 0;
    for (int i = 0; i < bytesPerPixel; ++i) v |= uint32_t{At(x, y)[i]} << (8 * i);
    return v;
  }
  bool Written(int x, int y) const {
    for (int i = 0; i < bytesPerPixel; ++i)
      if (At(x, y)[i] != kUntouched) return true;
    return false;
  }
};

TEST(SurfaceConverter, ConvertsOnePixelToEachTargetFormat) {
  struct Case {
    const char* what;
    int bpp;
    int is565, rgb24, rgb32;
    uint32_t pixel;
    uint32_t expected;  // the target's bytes read little-endian
  } cases[] = {
      {"565 white", 16, 1, 1, 1, 0x00FFFFFF, 0xFFFF},
      {"565 keeps 5-6-5 high bits", 16, 1, 1, 1, 0x00F8FCF8, 0xFFFF},
      {"565 channels", 16, 1, 1, 1, 0x00102030, (0x10 >> 3) << 11 | (0x20 >> 2) << 5 | (0x30 >> 3)},
      {"555 white, top bit clear", 16, 0, 1, 1, 0x00FFFFFF, 0x7FFF},
      {"555 channels", 16, 0, 1, 1, 0x00102030, (0x10 >> 3) << 10 | (0x20 >> 3) << 5 | (0x30 >> 3)},
      {"24-bit blue green red", 24, 1, 1, 1, 0x7F112233, 0x112233},
      {"24-bit red green blue", 24, 1, 0, 1, 0x7F112233, 0x332211},
      {"32-bit as it is", 32, 1, 1, 1, 0x00112233, 0x00112233},
      // A display whose red mask is 0xFF: red lands in the lowest byte.
      {"32-bit red and blue exchanged", 32, 1, 1, 0, 0x7F112233, 0x00332211},
  };
  for (const Case& c : cases) {
    Surfaces s(8, 1, c.bpp);
    s.source.assign(8, c.pixel);
    s.converter.Set565Flag(c.is565);
    s.converter.SetRgbOrder24(c.rgb24);
    s.converter.SetRgbOrder32(c.rgb32);
    s.converter.CopyAll(c.bpp);
    for (int x = 0; x < 8; ++x) EXPECT_EQ(s.Word(x, 0), c.expected) << c.what << " x=" << x;
  }
}

TEST(SurfaceConverter, RectanglesWidenToWholeGroups) {
  struct Case {
    const char* what;
    int bpp, rgb32;
    int x, y, w, h;
    int firstX, lastX;  // written columns on the rows y..y+h-1
  } cases[] = {
      {"16-bit mid-row start", 16, 1, 13, 0, 2, 1, 8, 15},
      {"16-bit across a group edge", 16, 1, 6, 1, 4, 2, 0, 15},
      {"24-bit mid-row start", 24, 1, 13, 2, 2, 1, 8, 15},
      {"32-bit copies exactly", 32, 1, 13, 0, 2, 1, 13, 14},
      {"32-bit exchange takes whole pairs", 32, 0, 13, 1, 2, 1, 12, 15},
      // The last group is cut at the edge of a 21-pixel row.
      {"16-bit group cut at the right edge", 16, 1, 17, 0, 1, 1, 16, 20},
      {"24-bit group cut at the right edge", 24, 1, 20, 0, 1, 1, 16, 20},
  };
  for (const Case& c : cases) {
    Surfaces s(21, 4, c.bpp);
    for (size_t i = 0; i < s.source.size(); ++i) s.source[i] = static_cast<uint32_t>(i * 0x010203);
    s.converter.SetRgbOrder32(c.rgb32);
    s.converter.CopyRect(c.bpp, c.x, c.y, c.w, c.h);
    for (int y = 0; y < s.height; ++y)
      for (int x = 0; x < s.width; ++x) {
        const bool inside = y >= c.y && y < c.y + c.h && x >= c.firstX && x <= c.lastX;
        EXPECT_EQ(s.Written(x, y), inside) << c.what << " at " << x << "," << y;
      }
  }
}

TEST(SurfaceConverter, IgnoresOtherDepthsAndRectanglesOffTheSource) {
  Surfaces s(16, 2, 32);
  s.source.assign(s.source.size(), 0x00123456);
  s.converter.CopyRect(8, 0, 0, 16, 2);
  s.converter.CopyRect(32, 16, 0, 4, 2);
  s.converter.CopyRect(32, 0, -5, 4, 3);
  s.converter.CopyRect(32, 0, 0, 0, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 16; ++x) EXPECT_FALSE(s.Written(x, y)) << x << "," << y;
  // A rectangle reaching past the edges keeps to the source.
  s.converter.CopyRect(32, -3, -1, 6, 2);
  EXPECT_TRUE(s.Written(0, 0));
  EXPECT_TRUE(s.Written(2, 0));
  EXPECT_FALSE(s.Written(3, 0));
  EXPECT_FALSE(s.Written(0, 1));
}

}  // namespace
