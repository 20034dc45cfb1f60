// Block kernels of the JPEG decoder (graphics/jpegdecoder.cpp): the two
// inverse transforms and the colour conversion. Each exists as a plain loop
// (the reference, named ...Scalar) and as the entry the decoder calls, which
// may use SSE2 (AVX2 where the processor has it) and must give the same
// bytes: the float entries do the same float operations in the same order.
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
void FloatIdctScalar(const int32_t* coef, const uint16_t* quant, const float* scale, float* out);
void FloatIdct(const int32_t* coef, const uint16_t* quant, const float* scale, float* out);
// The 8 x 8 samples go to rows stride bytes apart.
void FloatSamplesScalar(const float* in, uint8_t* samples, size_t stride);
void FloatSamples(const float* in, uint8_t* samples, size_t stride);

// n pixels from 8-bit samples: with Cb and Cr less 128, R = Y + 1.402 Cr,
// G = Y - 0.344 Cb - 0.714 Cr, B = Y + 1.772 Cb, each plus 0.5, truncated
// and held to 0..255. chromaStep as for FixedColour.
void FloatColourScalar(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint32_t* out,
                       size_t n, int chromaStep);
void FloatColour(const uint8_t* y, const uint8_t* cb, const uint8_t* cr, uint32_t* out, size_t n,
                 int chromaStep);

// --- Fixed-point path ---

// Dequantisation of one coefficient: coefficient times quantisation value,
// held to 16 bits (baseline data needs about 12; a broken body's larger
// products saturate instead of changing sign).
inline int16_t FixedDequantise(int32_t coef, uint16_t quant) {
  const int64_t v = int64_t{coef} * quant;
  return static_cast<int16_t>(v < -32768 ? -32768 : (v > 32767 ? 32767 : v));
}

// in: 64 dequantised coefficients (FixedDequantise) in natural order.
// out: 64 level-shifted samples held to 0..255. Integer arithmetic with
// 16-bit values between the passes and 32-bit sums inside them; the
// rounding of each step is described in jpegkernels.cpp.
void FixedIdctScalar(const int16_t* in, uint8_t* out);
// The decoder's entry: coef holds the DC coefficient already dequantised
// and the 63 AC coefficients as coded, which it dequantises with quant[1..63]
// (FixedDequantise) before the transform of FixedIdctScalar. The samples go
// to rows stride bytes apart.
void FixedIdct(const int16_t* coef, const uint16_t* quant, uint8_t* out, size_t stride);
// FixedIdct over count blocks (two at a time in 256-bit lanes where the
// processor has AVX2).
struct FixedBlock {
  const int16_t* coef;
  const uint16_t* quant;
  uint8_t* out;
  size_t stride;
};
void FixedIdctBlocks(const FixedBlock* blocks, int count);

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
