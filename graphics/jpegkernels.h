// Block kernels of the JPEG decoder (graphics/jpegdecoder.cpp): the two
// inverse transforms and the colour conversion. The 16-bit path exists as a
// plain loop (the reference) and as the entry the decoder calls, which may
// use SSE2 and must give the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace jpegkernels {

// Natural (row-major) index of the k-th coefficient in zig-zag order.
extern const uint8_t kZigZag[64];

// c(0) = 1, c(k) = sqrt(2) cos(k pi / 16).
double ScaleFactor(int k);

// --- Floating-point path ---

// coef: the 64 coefficients in natural order; quant: the quantisation table
// in natural order; scale: c(u) c(v) / 8 for natural index u * 8 + v.
// out: the transform's results (not level-shifted: a flat grey block gives
// 0); samples: the same shifted by 128, rounded and held to 0..255.
void FloatIdct(const int32_t* coef, const uint16_t* quant, const float* scale, float* out);
void FloatSamples(const float* in, uint8_t* samples);

// n pixels from 8-bit samples: with Cb and Cr less 128, R = Y + 1.402 Cr,
// G = Y - 0.344 Cb - 0.714 Cr, B = Y + 1.772 Cb, each plus 0.5, truncated
// and held to 0..255. chromaStep as for FixedColour.
void FloatColour(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint32_t* out, size_t n,
                 int chromaStep);

// --- 16-bit path ---

// The prescale table: round(16384 c(u) c(v)).
extern const int16_t kPrescale[64];

// Dequantisation and prescale of one coefficient at natural index n, as the
// 16-bit lanes do it: (coefficient * quantisation * 16) times the prescale,
// the high half of the product rounded with the low half, then halved. The
// product of coefficient and quantisation value is taken first, so the
// prescale's rounding error is not multiplied by the quantisation value
// (for baseline data the product stays within 11 bits; anything larger
// wraps at 16 bits, as every step here does).
inline int16_t FixedPrescale(int32_t coef, int n, uint16_t quant) {
  const uint32_t dequantised = static_cast<uint32_t>(coef) * quant;
  const int16_t shifted = static_cast<int16_t>(dequantised << 4);
  const int32_t product = int32_t{shifted} * kPrescale[n];
  const int16_t high = static_cast<int16_t>((product + 0x8000) >> 16);
  return static_cast<int16_t>(high >> 1);
}

// in: 64 prescaled coefficients (FixedPrescale) in natural order.
// out: 64 level-shifted samples held to 0..255.
void FixedIdctScalar(const int16_t* in, uint8_t* out);
void FixedIdct(const int16_t* in, uint8_t* out);

// n pixels from 8-bit samples: (Cb - 128) and (Cr - 128) shifted left by 2
// and multiplied by 22970 (R), -5637 and -11699 (G) and 29032 (B), the
// high half of each product rounded to nearest (green's two products
// summed first); Y plus those, held to 0..255.
// chromaStep 1: one chroma sample per pixel; 2: each chroma sample serves
// two neighbouring pixels.
void FixedColourScalar(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint32_t* out,
                       size_t n, int chromaStep);
void FixedColour(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint32_t* out, size_t n,
                 int chromaStep);

}  // namespace jpegkernels
