// Row mixers of the character effects: a row is worked in pieces of at
// most kPiece pixels; fill(x0, n, s, k) gives each pixel's colour s and
// weight k, and the piece is then mixed into the screen row.
#pragma once

#include <algorithm>
#include <cstdint>

#include "effect/packedpixel.h"
#include "graphics/blendrows.h"
#include "graphics/packedwords.h"

namespace charapixels {

constexpr int kPiece = 64;

// The row in pieces: fill(x0, count, s, k), then mix(row + x0, s, k,
// count); K is the weight's type.
template <typename K, typename Fill, typename Mix>
void Pieces(uint32_t* row, int n, Fill fill, Mix mix) {
  uint32_t s[kPiece];
  K k[kPiece];
  for (int x = 0; x < n; x += kPiece) {
    const int count = std::min(kPiece, n - x);
    fill(x, count, s, k);
    mix(row + x, s, k, count);
  }
}

// Weights 0..256: Blend256 (kApart false) or BlendApart256 (kApart true).
template <bool kApart, typename Fill>
void MixPieces(uint32_t* row, int n, Fill fill) {
  Pieces<uint32_t>(row, n, fill, packedpixel::MixRow<kApart>);
}

// Weights of a byte per channel (packedpixel::MixChannelsRow).
template <typename Fill>
void MixChannelPieces(uint32_t* row, int n, Fill fill) {
  Pieces<uint32_t>(row, n, fill, packedpixel::MixChannelsRow);
}

// Each pixel of the row becomes Blend256(d, colour(i), weight(i)) for
// weights in 0..256, as one loop of packed words; BlendEachPlain is the
// same per channel.
template <typename Colour, typename Weight>
void BlendEach(uint32_t* row, int n, Colour colour, Weight weight) {
  // Copies of the functors, so no store to the row can change what they hold.
  packedwords::Run([=] {
    for (int i = 0; i < n; ++i) {
      const uint32_t k = weight(i);
      row[i] = packedwords::Summed(row[i], colour(i), k, 256 - k);
    }
  });
}
template <typename Colour, typename Weight>
void BlendEachPlain(uint32_t* row, int n, Colour colour, Weight weight) {
  for (int i = 0; i < n; ++i)
    row[i] = blendrows::Blend256(row[i], colour(i), static_cast<int>(weight(i)));
}

// (k x s + (256 - k) x d) >> 8 per byte for any weight k (|k| <= 65536),
// held to 0..255: the plain form, also for weights beyond 0..256.
inline uint32_t Weigh(uint32_t d, uint32_t s, int k) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const int64_t v = (int64_t{k} * ((s >> shift) & 255u) +
                       int64_t{256 - k} * ((d >> shift) & 255u)) >> 8;
    out |= static_cast<uint32_t>(std::clamp<int64_t>(v, 0, 255)) << shift;
  }
  return out;
}

template <typename Fill>
void WeighPieces(uint32_t* row, int n, Fill fill) {
  Pieces<int32_t>(row, n, fill, [](uint32_t* d, const uint32_t* s, const int32_t* k, int count) {
    for (int i = 0; i < count; ++i) d[i] = Weigh(d[i], s[i], k[i]);
  });
}

}  // namespace charapixels
