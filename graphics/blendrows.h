// Pixel rules of the blend, colour, stretch and tinted blits. Every rule is
// written per 8-bit channel and applied to all four bytes of a pixel, the top
// byte included. The row kernels exist as a plain loop (the reference) and as
// the entry the blitters call, which may use SSE2 and must give the same
// bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace blendrows {

inline uint32_t Channel(uint32_t pixel, int shift) { return (pixel >> shift) & 0xFF; }

// A channel result stored as a byte with unsigned saturation.
inline uint32_t Saturate(int64_t v) { return v < 0 ? 0 : v > 255 ? 255 : static_cast<uint32_t>(v); }

// Applies f(shift) -> channel value (already saturated) to the four bytes.
template <typename F>
inline uint32_t PerChannel(F f) {
  return f(0) | (f(8) << 8) | (f(16) << 16) | (f(24) << 24);
}

// A percentage as an 8-bit weight: (p * 256) / 100, truncated toward zero.
// Percentages far outside 0..100 are outside every contract; their weight is
// held to +-65536 so that no product leaves the integer range.
inline int Weight(int percent) {
  const int64_t k = int64_t{percent} * 256 / 100;
  return static_cast<int>(k < -65536 ? -65536 : k > 65536 ? 65536 : k);
}

// (src * k + dst * (256 - k)) >> 8 per channel.
inline uint32_t Blend256(uint32_t d, uint32_t s, int k) {
  return PerChannel([&](int c) {
    return Saturate((int64_t{Channel(s, c)} * k + int64_t{Channel(d, c)} * (256 - k)) >> 8);
  });
}

// (src * a + dst * (255 - a)) >> 8 per channel: the complement is 255 - a.
inline uint32_t Blend255(uint32_t d, uint32_t s, int a) {
  return PerChannel([&](int c) {
    return Saturate((int64_t{Channel(s, c)} * a + int64_t{Channel(d, c)} * (255 - a)) >> 8);
  });
}

// ((src * a) >> 8) + ((dst * (255 - a)) >> 8) per channel: each product
// shifted on its own, the complement 255 - a.
inline uint32_t BlendApart255(uint32_t d, uint32_t s, int a) {
  return PerChannel([&](int c) {
    return Saturate(((int64_t{Channel(s, c)} * a) >> 8) +
                    ((int64_t{Channel(d, c)} * (255 - a)) >> 8));
  });
}

// ((src * a) >> 8) + ((dst * (256 - a)) >> 8) per channel: each product
// shifted on its own, the complement 256 - a.
inline uint32_t BlendApart256(uint32_t d, uint32_t s, int a) {
  return PerChannel([&](int c) {
    return Saturate(((int64_t{Channel(s, c)} * a) >> 8) +
                    ((int64_t{Channel(d, c)} * (256 - a)) >> 8));
  });
}

// A signed colour (each part -255..255) as an add word of the positive parts
// and a subtract word of the negative ones; applying it adds the one and
// subtracts the other per byte, both with saturation.
struct SignedColour {
  uint32_t add = 0;
  uint32_t sub = 0;

  SignedColour(int r, int g, int b) {
    auto pos = [](int v) { return v > 0 ? static_cast<uint32_t>(v) : 0u; };
    auto neg = [](int v) { return v < 0 ? 0u - static_cast<uint32_t>(v) : 0u; };
    // Parts beyond 255 are outside the contract; they spill into the next
    // byte as the words are built, and never into undefined behaviour.
    add = (pos(r) << 16) + (pos(g) << 8) + pos(b);
    sub = (neg(r) << 16) + (neg(g) << 8) + neg(b);
  }
  uint32_t Apply(uint32_t x) const {
    return PerChannel([&](int c) {
      const uint32_t up = Channel(x, c) + Channel(add, c);
      const uint32_t sat = up > 255 ? 255 : up;
      const uint32_t s = Channel(sub, c);
      return sat > s ? sat - s : 0u;
    });
  }
};

// --- Row kernels (n pixels) ---
// The fast entries use 256-bit rows (AVX2) where the processor has them and
// SSE2 rows otherwise. Tests switch the wide rows off to check both.
bool WideRowsAvailable();
void AllowWideRows(bool allow);
// True when the fast entries take the 256-bit rows (for the other row
// families, which follow the same switch).
bool UseWideRows();

// Translucency: every pixel becomes Blend256(dst, src, k).
void TransLucentScalar(uint32_t* dst, const uint32_t* src, size_t n, int k);
void TransLucent(uint32_t* dst, const uint32_t* src, size_t n, int k);

// Saturated add per byte.
void AddScalar(uint32_t* dst, const uint32_t* src, size_t n);
void Add(uint32_t* dst, const uint32_t* src, size_t n);

// Two pictures: (a * kA + b * kB) >> 8 per channel with the sum kept in 16
// bits; kA and kB in 0..256.
void Overrap2Scalar(uint32_t* dst, const uint32_t* a, const uint32_t* b, size_t n, int kA, int kB);
void Overrap2(uint32_t* dst, const uint32_t* a, const uint32_t* b, size_t n, int kA, int kB);

// One picture over the screen: (dst * kS + p * kP) >> 8 per channel,
// saturated; kS and kP in 0..256.
void OverrapScalar(uint32_t* dst, const uint32_t* p, size_t n, int kS, int kP);
void Overrap(uint32_t* dst, const uint32_t* p, size_t n, int kS, int kP);

// Cross-fade of two masked pictures with weights kA, kB in 0..256 (see
// CrossFadePixel).
void CrossFadeScalar(uint32_t* dst, const uint32_t* a, const uint32_t* b, const uint8_t* maskA,
                     const uint8_t* maskB, size_t n, int kA, int kB);
void CrossFade(uint32_t* dst, const uint32_t* a, const uint32_t* b, const uint8_t* maskA,
               const uint8_t* maskB, size_t n, int kA, int kB);

// Translucency through the mask (the masked blit): m = 0 keeps dst, m = 255
// gives Blend256(dst, src, k), other values Blend255(dst, src, (m * k) >> 8).
void TransMaskScalar(uint32_t* dst, const uint32_t* src, const uint8_t* mask, size_t n, int k);
void TransMask(uint32_t* dst, const uint32_t* src, const uint8_t* mask, size_t n, int k);

// The colour blit's two rules on c = colour.Apply(src). Through the mask:
// v = m, or (m * k) >> 8 when k is not 256; 0 keeps dst, 255 gives c, other
// values Blend255(dst, c, v). Without it: pixels equal to *key (when key is
// not null) keep dst, the others become c when k is 256, else
// Blend256(dst, c, k).
void TintMaskScalar(uint32_t* dst, const uint32_t* src, const uint8_t* mask, size_t n, int k,
                    const SignedColour& colour);
void TintMask(uint32_t* dst, const uint32_t* src, const uint8_t* mask, size_t n, int k,
              const SignedColour& colour);
void TintScalar(uint32_t* dst, const uint32_t* src, size_t n, int k, const SignedColour& colour,
                const uint32_t* key);
void Tint(uint32_t* dst, const uint32_t* src, size_t n, int k, const SignedColour& colour,
          const uint32_t* key);

// One pixel of the cross-fade, in units of 1/16384: a mask value m weighs
// k * 64 when it is 255, else (k * m) >> 2. Each picture adds
// (src * 4 * w) >> 16 (a signed high-half multiply); when the two weights do
// not sum to 16384 the screen adds (dst * 4 * wS) >> 16 with
// wS = 16384 - (wA + wB) taken as a signed 16-bit value, so pictures
// weighing more than the whole take the screen away. Both masks 0 keep it.
inline uint32_t CrossFadePixel(uint32_t d, uint32_t a, uint32_t b, uint32_t mA, uint32_t mB, int kA,
                               int kB) {
  if (mA == 0 && mB == 0) return d;
  const int wA = mA == 255 ? kA * 64 : (kA * static_cast<int>(mA)) >> 2;
  const int wB = mB == 255 ? kB * 64 : (kB * static_cast<int>(mB)) >> 2;
  const uint16_t sum = static_cast<uint16_t>(wA + wB);
  const bool screen = sum != 16384;
  const int wS = static_cast<int16_t>(static_cast<uint16_t>(16384 - sum));
  return PerChannel([&](int c) {
    int acc = ((static_cast<int>(Channel(a, c)) * 4 * wA) >> 16) +
              ((static_cast<int>(Channel(b, c)) * 4 * wB) >> 16);
    if (screen) acc += (static_cast<int>(Channel(d, c)) * 4 * wS) >> 16;
    return Saturate(acc);
  });
}

}  // namespace blendrows
