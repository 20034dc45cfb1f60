// Colour blits: a picture shifted by a signed colour and blended, the
// one-colour silhouette of a mask, and the brightness transfer in luma
// space. No clipping; nothing is drawn when w or h is 0 or less.
#pragma once

#include <cstdint>

// c = the source pixel with the signed colour (r, g, b) applied
// (blendrows::SignedColour), k from percent. With the transparent flag and a
// mask: m != 0 is scaled by k when k != 256, then 255 writes c and other
// values (c * m + dst * (255 - m)) >> 8. With the flag and no mask: pixels
// equal to the colour key (pixels[0]) are skipped. Otherwise, and for the
// keyed pixels drawn: c when k = 256, else (c * k + dst * (256 - k)) >> 8.
class CColorAddBlt {
 public:
  virtual ~CColorAddBlt() { Release(); }
  void Release() {}
  void Blt(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint32_t* pixels,
           const uint8_t* mask, int width, int height, int transparent, int r, int g, int b,
           int percent);
};

// The silhouette of the mask in one colour: the mask value at the first
// pixel of the rectangle is the key; every pixel whose value differs takes
// the colour (r << 16) | (g << 8) | b.
class CShapeBlt {
 public:
  virtual ~CShapeBlt() { Release(); }
  void Release() {}
  void Blt(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint8_t* mask, int width,
           int height, int r, int g, int b);
};

// Brightness transfer: the screen pixel scaled to the source's luma (or,
// with swap, the source scaled to the screen's), weighed by the mask value,
// or by level for every pixel when there is no mask. 0 keeps the screen, 255
// gives the scaled pixel, levels 256..510 (no mask) fade it toward the
// source.
class CYUVChangeBlt {
 public:
  CYUVChangeBlt();
  virtual ~CYUVChangeBlt() { Release(); }
  void Release() {}
  void Blt(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint32_t* pixels,
           const uint8_t* mask, int width, int height, int swap, int level);

  // Luma in 0..255: (3736 * blue + 19234 * green + 9798 * red) >> 15.
  static int Luma(uint32_t pixel);
  // 32767 / i for i = 1..255, 32767 for 0.
  int Reciprocal(int i) const { return table_[i & 0xFF]; }

 private:
  int32_t table_[256];
};
