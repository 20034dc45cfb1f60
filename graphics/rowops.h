// Pixel-run kernels shared by the fillers and the whole-screen filters.
// Each rule exists as a plain loop (the reference) and as the entry the
// drawing code calls, which may use SSE2 and must give the same bytes.
// Pixels are 0x00RRGGBB words; every rule works on all four bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rowops {

// Per byte c (B, G, R, top): (term[c] + dst * keepWeight) >> 8, in 16 bits.
// The caller keeps term[c] + 255 * keepWeight within 65535 (colour weight
// plus keep weight at most 256).
void BlendConstScalar(uint32_t* row, size_t n, const uint16_t term[4], unsigned keepWeight);
void BlendConst(uint32_t* row, size_t n, const uint16_t term[4], unsigned keepWeight);

// Per byte: max(0, min(255, dst + add) - sub), both with byte saturation.
void AddSubScalar(uint32_t* row, size_t n, uint32_t add, uint32_t sub);
void AddSub(uint32_t* row, size_t n, uint32_t add, uint32_t sub);

// Per byte p: clamp(((a * 2p) >> 16) + k[c], 0, 255), with the high half of
// a signed 16 x 16 product; a in 0..32767.
void FadeScalar(uint32_t* run, size_t n, int a, const int16_t k[4]);
void Fade(uint32_t* run, size_t n, int a, const int16_t k[4]);

// Every word of the run becomes colour. The fast entry stores as memset
// does: one memset when the colour's four bytes are equal, else string
// stores for runs from 2 KiB and vector stores (256-bit where the
// processor has them) for shorter runs.
void FillScalar(uint32_t* row, size_t n, uint32_t colour);
void Fill(uint32_t* row, size_t n, uint32_t colour);

// h rows of w words, each pitch words after the one before, filled as Fill
// fills a run: the store kind is chosen once for the whole box, and rows as
// wide as the pitch are one run.
void FillRows(uint32_t* first, size_t w, size_t h, size_t pitch, uint32_t colour);

// Three bytes a pixel, red first, become 0x00RRGGBB words (the rows of a
// 24-bit picture body). The fast entry works on whole rows with byte
// shuffles where the 256-bit rows are taken, else a word at a time.
void RgbToPixelsScalar(const unsigned char* src, uint32_t* dst, size_t n);
void RgbToPixels(const unsigned char* src, uint32_t* dst, size_t n);

// One byte of the blend above, for single pixels.
inline uint32_t BlendPixel(uint32_t dst, const uint16_t term[4], unsigned keepWeight) {
  uint32_t out = 0;
  for (int c = 0; c < 4; ++c) {
    uint32_t d = (dst >> (8 * c)) & 0xFF;
    uint32_t v = static_cast<uint16_t>(term[c] + d * keepWeight) >> 8;
    out |= v << (8 * c);
  }
  return out;
}

// The colour terms colour * weight of a 0x00RRGGBB colour.
inline void ColourTerms(uint32_t colour, unsigned weight, uint16_t term[4]) {
  for (int c = 0; c < 4; ++c)
    term[c] = static_cast<uint16_t>(((colour >> (8 * c)) & 0xFF) * weight);
}

}  // namespace rowops
