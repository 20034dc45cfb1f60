// EffectChannel: the record of one effect channel, 256 signed 32-bit ints.
// Save slots carry it byte for byte ("EFFECT" chunk), so the layout below
// is a file format: keep every offset.
//
//   int 0      active (1 in use, 0 free)
//   int 1      picture number (-1 none, else 0..15)
//   int 2      effect number
//   ints 3-6   source rectangle          (kind 4)
//   ints 7-10  current draw rectangle    (kind 5)
//   ints 11-14 source start rectangle    (kind 0)
//   ints 15-18 draw start rectangle      (kind 2)
//   ints 19-22 source end rectangle      (kind 1)
//   ints 23-26 draw end rectangle        (kind 3)
//   int 27     frame counter, int 28 duration
//   ints 29-252 effect area: p0, p1, ... then the effect's own state
//   int 253    opaque flag, ints 254-255 unused
#pragma once

#include <cstdint>

struct EffectChannel {
  static constexpr int kInts = 256;
  static constexpr int kBytes = kInts * 4;
  static constexpr int kRectKinds = 6;
  static constexpr int kParamBase = 29;
  // Ints of the effect area (29..252).
  static constexpr int kAreaInts = 253 - kParamBase;

  int32_t v[kInts] = {};

  int32_t& Active() { return v[0]; }
  int32_t& PictureNumber() { return v[1]; }
  int32_t& EffectNumber() { return v[2]; }
  int32_t& Counter() { return v[27]; }
  int32_t& Duration() { return v[28]; }
  int32_t& Opaque() { return v[253]; }
  int32_t Active() const { return v[0]; }
  int32_t PictureNumber() const { return v[1]; }
  int32_t EffectNumber() const { return v[2]; }
  int32_t Counter() const { return v[27]; }
  int32_t Duration() const { return v[28]; }
  int32_t Opaque() const { return v[253]; }

  // Int offset of rectangle kind 0..5; -1 for any other kind.
  static int RectOffset(int kind) {
    static constexpr int kOffsets[kRectKinds] = {11, 19, 15, 23, 3, 7};
    return kind >= 0 && kind < kRectKinds ? kOffsets[kind] : -1;
  }
  int32_t* SourceRect() { return v + 3; }
  int32_t* DrawRect() { return v + 7; }
  int32_t* SourceStart() { return v + 11; }
  int32_t* DrawStart() { return v + 15; }
  int32_t* SourceEnd() { return v + 19; }
  int32_t* DrawEnd() { return v + 23; }
  const int32_t* DrawRect() const { return v + 7; }

  // Parameter i of the effect area (0 <= i < kAreaInts).
  int32_t& Param(int i) { return v[kParamBase + i]; }
  int32_t Param(int i) const { return v[kParamBase + i]; }

  // The 1024-byte little-endian form, int by int.
  void Read(const uint8_t* bytes);
  void Write(uint8_t* bytes) const;
};
