// The per-byte pixel rules of the transform effects, worked on a whole
// 32-bit pixel at once: the even and the odd bytes each in their own 16-bit
// lanes, so no lane overflows into the next. Each gives the same bytes as
// its per-channel form in graphics/blendrows.h (tests/effect hold them to
// it).
#pragma once

#include <cstdint>

namespace packedpixel {

constexpr uint32_t kEven = 0x00FF00FF;

// min(x + y, 255) per byte.
inline uint32_t SaturatingAdd(uint32_t x, uint32_t y) {
  constexpr uint32_t kHigh = 0x80808080;
  const uint32_t differ = (x ^ y) & kHigh;
  uint32_t carry = x & y & kHigh;
  const uint32_t low = (x & ~kHigh) + (y & ~kHigh);
  carry |= differ & low;
  // Bytes that carried become 0xFF.
  carry = (carry << 1) - (carry >> 7);
  return (low ^ differ) | carry;
}

// max(x - y, 0) per byte.
inline uint32_t SaturatingSub(uint32_t x, uint32_t y) { return ~SaturatingAdd(~x, y); }

// A signed colour applied as blendrows::SignedColour does: the add word,
// then the subtract word, both saturating.
inline uint32_t Tint(uint32_t x, uint32_t add, uint32_t sub) {
  return SaturatingSub(SaturatingAdd(x, add), sub);
}

// ((s * ws) >> shift) + ((d * wd) >> shift) per byte, for weights whose
// products stay below 65536 and whose sum never passes 255.
template <int kShift>
inline uint32_t Weigh(uint32_t d, uint32_t s, uint32_t wd, uint32_t ws) {
  const uint32_t even = ((((s & kEven) * ws) >> kShift) & kEven) + ((((d & kEven) * wd) >> kShift) & kEven);
  const uint32_t odd = (((((s >> 8) & kEven) * ws) >> kShift) & kEven) +
                       (((((d >> 8) & kEven) * wd) >> kShift) & kEven);
  return even | odd << 8;
}

// blendrows::BlendApart256 and BlendApart255 for a in 0..255 (0..256 for
// the first).
inline uint32_t BlendApart256(uint32_t d, uint32_t s, int a) {
  return Weigh<8>(d, s, 256u - static_cast<uint32_t>(a), static_cast<uint32_t>(a));
}
inline uint32_t BlendApart255(uint32_t d, uint32_t s, int a) {
  return Weigh<8>(d, s, 255u - static_cast<uint32_t>(a), static_cast<uint32_t>(a));
}

}  // namespace packedpixel
