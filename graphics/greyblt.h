// Blits with reduced colour: grey, grey mixed by a level, tinted grey
// (sepia) mixed by a level, and red only. Each picks its variant once per
// call by the kind of picture: 8-bit with a palette, masked, colour-keyed or
// opaque. No clipping; nothing is drawn when w or h is 0 or less.
//
// Luma Y = ((29 * blue + 150 * green) >> 8) + ((76 * red) >> 8); the green
// grey of a pixel is its green channel in all three colour bytes.
#pragma once

#include <cstdint>

// pixels are index bytes when a palette is given, else 32-bit pixels.
// palette: each index (the key index skipped with the transparent flag)
// writes the green grey of its colour. mask: 0 skipped, 255 writes Y into
// all four bytes, else (Y * m + dst * (255 - m)) >> 8 per byte. Otherwise
// the green grey, skipping the colour key with the transparent flag.
class CGreyBlt {
 public:
  void Blt(int dstX, int dstY, int srcX, int srcY, int w, int h, const void* pixels, int width,
           int height, const uint8_t* mask, int transparent, const uint32_t* palette);
  void Release() {}
  ~CGreyBlt() { Release(); }
};

// As CGreyBlt with the red of a pixel (pixel & 0xFF0000) in place of the
// grey; the masked blend is (red * m + dst * (255 - m)) >> 8 per byte.
class CRedBlt {
 public:
  void Blt(int dstX, int dstY, int srcX, int srcY, int w, int h, const void* pixels, int width,
           int height, const uint8_t* mask, int transparent, const uint32_t* palette);
  void Release() {}
  ~CRedBlt() { Release(); }
};

// v = Y * L + src * (256 - L) per byte, kept in 16 bits (Y stands in all
// four bytes). No mask: v >> 8. Mask: 0 skipped, 255 gives v >> 8, else
// ((v >> 8) * (m + 1) + dst * (255 - m)) >> 8. The last two arguments are
// not used.
class CGreyLevelBlt {
 public:
  void Blt(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint32_t* pixels, int width,
           int height, const uint8_t* mask, int level, int unused1, int unused2);
  void Release() {}
  ~CGreyLevelBlt() { Release(); }
};

// As CGreyLevelBlt with the tinted luma s = (Y * tint) >> 8 per colour byte
// (0 in the top byte) in place of Y; tint (r << 16) | (g << 8) | b.
class CSepiaBlt {
 public:
  void Blt(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint32_t* pixels, int width,
           int height, const uint8_t* mask, int level, int r, int g, int b, int unused1,
           int unused2);
  void Release() {}
  ~CSepiaBlt() { Release(); }
};

namespace greyblt {

int Luma(uint32_t pixel);
uint32_t GreenGrey(uint32_t pixel);

}  // namespace greyblt
