// Row kernels of the basic blits. Each rule exists as a plain loop (the
// reference) and as the entry the blitters call, which may use SSE2 and must
// give the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace bltrows {

// dst[i] = src[i] wherever src[i] differs from key (the whole 32-bit word).
void KeyedScalar(uint32_t* dst, const uint32_t* src, size_t n, uint32_t key);
void Keyed(uint32_t* dst, const uint32_t* src, size_t n, uint32_t key);

// Mask as alpha: m = 0 keeps dst, m = 255 copies src, otherwise per byte
// ((src * m) >> 8) + ((dst * (256 - m)) >> 8).
void MaskScalar(uint32_t* dst, const uint32_t* src, const uint8_t* mask, size_t n);
void Mask(uint32_t* dst, const uint32_t* src, const uint8_t* mask, size_t n);

// Mask as a level against 255: m = 0 keeps dst, m = 255 copies src,
// otherwise per byte ((src * m) >> 8) + ((dst * (255 - m)) >> 8) (the row
// draws of pictures).
void MaskLevelScalar(uint32_t* dst, const uint32_t* src, const uint8_t* mask, size_t n);
void MaskLevel(uint32_t* dst, const uint32_t* src, const uint8_t* mask, size_t n);

// The mask rule with each mask value first scaled by k (0..256):
// MaskPixel(dst, src, (m * k) >> 8) (the split draws).
void MaskScaledScalar(uint32_t* dst, const uint32_t* src, const uint8_t* mask, size_t n, int k);
void MaskScaled(uint32_t* dst, const uint32_t* src, const uint8_t* mask, size_t n, int k);

inline uint32_t MaskLevelPixel(uint32_t d, uint32_t s, uint32_t m) {
  if (m == 0) return d;
  if (m == 255) return s;
  uint32_t out = 0;
  for (int c = 0; c < 32; c += 8)
    out |= (((((s >> c) & 0xFF) * m) >> 8) + ((((d >> c) & 0xFF) * (255 - m)) >> 8)) << c;
  return out;
}

inline uint32_t MaskPixel(uint32_t d, uint32_t s, uint32_t m) {
  if (m == 0) return d;
  if (m == 255) return s;
  uint32_t out = 0;
  for (int c = 0; c < 32; c += 8) {
    uint32_t v = ((((s >> c) & 0xFF) * m) >> 8) + ((((d >> c) & 0xFF) * (256 - m)) >> 8);
    out |= v << c;  // at most 255: the weights sum to 256
  }
  return out;
}

}  // namespace bltrows
