// The five basic blitters: keyed copy, opaque copy, their 8-bit palette
// forms, and the mask as alpha. None clips: the picture has clipped the
// rectangle to itself and to the screen. All write into the screen buffer;
// nothing is drawn when w or h is 0 or less. Every blit takes the common
// prefix (dstX, dstY, srcX, srcY, w, h), then the picture data, its width
// (the pitch) and its height, which the unscaled blits carry unused.
#pragma once

#include <cstdint>

// Keyed copy: source pixels equal to pixels[0] (the whole 32-bit word of the
// picture's top-left pixel) are not drawn.
class CBlt {
 public:
  virtual ~CBlt() { Release(); }
  void Release() {}
  void Blt(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint32_t* pixels, int width,
           int height);
};

// Opaque copy.
class CBltBeta {
 public:
  virtual ~CBltBeta() { Release(); }
  void Release() {}
  void Blt(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint32_t* pixels, int width,
           int height);
};

// Keyed 8-bit: indices equal to the one at (0, 0) are not drawn; the others
// draw palette[index].
class CBlt256 {
 public:
  virtual ~CBlt256() { Release(); }
  void Release() {}
  void Blt(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint8_t* indices,
           const uint32_t* palette, int width, int height);
};

// Opaque 8-bit.
class CBlt256Beta {
 public:
  virtual ~CBlt256Beta() { Release(); }
  void Release() {}
  void Blt(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint8_t* indices,
           const uint32_t* palette, int width, int height);
};

// Mask as alpha (bltrows::MaskPixel).
class CMaskBlt {
 public:
  virtual ~CMaskBlt() { Release(); }
  void Release() {}
  void Blt(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint32_t* pixels,
           const uint8_t* mask, int width, int height);
};
