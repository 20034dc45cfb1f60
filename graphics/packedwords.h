// Byte rules worked on a whole 32-bit pixel in plain integer arithmetic:
// the even bytes (blue, red) and the odd ones (green, top) each sit in the
// low halves of their own 16-bit lanes of a word, so no lane overflows into
// the next. Loops of these words are what the compiler turns into vector
// code; Run compiles such a loop a second time for 256-bit lanes and takes
// that one where the processor has them. Every form gives the same bytes as
// the per-channel rules of blendrows.h (the row tests hold them to it).
#pragma once

#include <cstdint>

#include "graphics/blendrows.h"

namespace packedwords {

constexpr uint32_t kEven = 0x00FF00FF;

// (s * ws + d * wd) >> 8 per byte, for weights with ws + wd <= 256.
inline uint32_t Summed(uint32_t d, uint32_t s, uint32_t ws, uint32_t wd) {
  const uint32_t even = (((s & kEven) * ws + (d & kEven) * wd) >> 8) & kEven;
  const uint32_t odd = (((s >> 8) & kEven) * ws + ((d >> 8) & kEven) * wd) & ~kEven;
  return even | odd;
}

// ((s * ws) >> kShift) + ((d * wd) >> kShift) per byte, for weights whose
// products stay below 65536 (256 with a byte: 65280) and whose two terms
// never sum past 255.
template <int kShift>
inline uint32_t ApartBy(uint32_t d, uint32_t s, uint32_t ws, uint32_t wd) {
  const uint32_t even =
      ((((s & kEven) * ws) >> kShift) & kEven) + ((((d & kEven) * wd) >> kShift) & kEven);
  const uint32_t odd = (((((s >> 8) & kEven) * ws) >> kShift) & kEven) +
                       (((((d >> 8) & kEven) * wd) >> kShift) & kEven);
  return even | odd << 8;
}
inline uint32_t Apart(uint32_t d, uint32_t s, uint32_t ws, uint32_t wd) {
  return ApartBy<8>(d, s, ws, wd);
}

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

// Runs loop(), compiled for 256-bit lanes where the processor has them and
// the wide rows are allowed (blendrows::AllowWideRows), as it is otherwise.
#if defined(__x86_64__) || defined(__i386__)
template <typename Loop>
__attribute__((target("avx2"), flatten)) inline void RunWide(const Loop& loop) {
  // A copy of its own: what it captured then sits in registers, where no
  // store through a row pointer can reach it.
  const Loop local = loop;
  local();
}
template <typename Loop>
inline void Run(const Loop& loop) {
  if (blendrows::UseWideRows())
    RunWide(loop);
  else
    loop();
}
#else
template <typename Loop>
inline void Run(const Loop& loop) {
  loop();
}
#endif

}  // namespace packedwords
