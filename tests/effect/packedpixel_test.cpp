#include "effect/packedpixel.h"

#include <gtest/gtest.h>

#include <vector>

#include <cstdint>

#include "graphics/blendrows.h"

namespace {

// Pixels with every byte value at every place, and a plain generator.
uint32_t Next(uint32_t* state) {
  *state = *state * 1664525u + 1013904223u;
  return *state;
}

TEST(PackedPixelTest, GivesThePerChannelBytes) {
  uint32_t state = 1;
  for (int i = 0; i < 200000; ++i) {
    const uint32_t d = Next(&state), s = Next(&state);
    const int r = static_cast<int>(Next(&state) % 511) - 255;
    const int g = static_cast<int>(Next(&state) % 511) - 255;
    const int b = static_cast<int>(Next(&state) % 511) - 255;
    const blendrows::SignedColour tint(r, g, b);
    ASSERT_EQ(packedpixel::Tint(s, tint.add, tint.sub), tint.Apply(s)) << s << " " << r << g << b;
    ASSERT_EQ(packedpixel::TintWords(s, tint.add, tint.sub), tint.Apply(s));
    const int a = static_cast<int>(Next(&state) % 256);
    ASSERT_EQ(packedpixel::BlendApart256(d, s, a), blendrows::BlendApart256(d, s, a)) << a;
    ASSERT_EQ(packedpixel::BlendApart255(d, s, a), blendrows::BlendApart255(d, s, a)) << a;
    ASSERT_EQ(packedpixel::WeighWords<8>(d, s, 256 - a, a), blendrows::BlendApart256(d, s, a));
    const int k = static_cast<int>(Next(&state) % 257);
    ASSERT_EQ(packedpixel::Blend256(d, s, k), blendrows::Blend256(d, s, k)) << k;
    const uint32_t h = Next(&state) % 129;
    const uint32_t mix = blendrows::PerChannel([&](int c) {
      return ((blendrows::Channel(d, c) * (128 - h)) >> 7) + ((blendrows::Channel(s, c) * h) >> 7);
    });
    ASSERT_EQ(packedpixel::Weigh<7>(d, s, 128 - h, h), mix) << h;
    ASSERT_EQ(packedpixel::WeighWords<7>(d, s, 128 - h, h), mix) << h;
  }
  // Rows of every length around the four-pixel steps, weights 0..256.
  for (int n = 0; n < 11; ++n) {
    std::vector<uint32_t> d(n), s(n), k(n);
    for (int i = 0; i < n; ++i) {
      d[i] = Next(&state);
      s[i] = Next(&state);
      k[i] = i % 5 == 0 ? (i % 2 ? 256 : 0) : Next(&state) % 257;
    }
    std::vector<uint32_t> blend = d, apart = d;
    packedpixel::MixRow<false>(blend.data(), s.data(), k.data(), n);
    packedpixel::MixRow<true>(apart.data(), s.data(), k.data(), n);
    for (int i = 0; i < n; ++i) {
      ASSERT_EQ(blend[i], blendrows::Blend256(d[i], s[i], static_cast<int>(k[i]))) << n << " " << i;
      ASSERT_EQ(apart[i], blendrows::BlendApart256(d[i], s[i], static_cast<int>(k[i])))
          << n << " " << i;
    }
  }
  // The extremes of every byte.
  for (uint32_t x : {0u, 0xFFFFFFFFu, 0x80808080u, 0x7F7F7F7Fu, 0x00FF00FFu})
    for (uint32_t y : {0u, 0xFFFFFFFFu, 0x80808080u, 0x7F7F7F7Fu, 0x01010101u}) {
      EXPECT_EQ(packedpixel::SaturatingAdd(x, y), blendrows::PerChannel([&](int c) {
                  return blendrows::Saturate(int64_t{blendrows::Channel(x, c)} + blendrows::Channel(y, c));
                }));
      EXPECT_EQ(packedpixel::BlendApart256(x, y, 256), y);
      EXPECT_EQ(packedpixel::BlendApart256(x, y, 0), x);
      for (uint32_t k : {0u, 1u, 255u, 256u})
        EXPECT_EQ(packedpixel::Blend256(x, y, k), blendrows::Blend256(x, y, static_cast<int>(k)));
    }
}

}  // namespace
