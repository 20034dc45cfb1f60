// Blend blits: translucency at a percentage, translucency through the mask,
// the cross-fade of two masked pictures and the full-screen blends of one or
// two pictures. Only the full-screen blends check their own bounds; the
// others draw the rectangle where the picture put it after clipping.
// Nothing is drawn when w or h is 0 or less.
#pragma once

#include <cstdint>

// Every pixel becomes (src * k + dst * (256 - k)) >> 8, k = percent * 256 / 100.
// BltOnColour gives what filling the rectangle with colour and then Blt
// give, with colour in place of dst, without writing the rectangle twice;
// percent there is held to 0..100.
class CTransLucentBlt {
 public:
  virtual ~CTransLucentBlt() { Release(); }
  void Release() {}
  void Blt(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint32_t* pixels, int width,
           int height, int percent);
  void BltOnColour(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint32_t* pixels,
                   int width, int height, int percent, uint32_t colour);
};

// The same result as CTransLucentBlt.
class CTransLucentBlt0 {
 public:
  virtual ~CTransLucentBlt0() { Release(); }
  void Release() {}
  void Blt(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint32_t* pixels, int width,
           int height, int percent);
};

// Mask times percent: m = 0 skipped; m = 255 blends with k over 256 - k;
// otherwise a = (m * k) >> 8 over 255 - a. Nothing for percent <= 0.
class CTransLucentBlt3 {
 public:
  virtual ~CTransLucentBlt3() { Release(); }
  void Release() {}
  void Blt(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint32_t* pixels,
           const uint8_t* mask, int width, int height, int percent);
};

// Cross-fade of two masked pictures (blendrows::CrossFadePixel), weights
// (percent * 256 + 50) / 100 held to 0..256. The pixel and mask pointers
// already point at the first pixel to use; rows advance by each width.
class CChangeTransLucentBlt {
 public:
  virtual ~CChangeTransLucentBlt() { Release(); }
  void Release() {}
  void Blt(int dstX, int dstY, int w, int h, const uint32_t* pixelsA, const uint32_t* pixelsB,
           const uint8_t* maskA, const uint8_t* maskB, int widthA, int heightA, int widthB,
           int heightB, int percentA, int percentB);
};

// Full-screen blends; each picture must cover the whole screen from its
// offset (x, y), else nothing is drawn. Weights from percentages held to
// 0..256.
class COverrapBlt {
 public:
  virtual ~COverrapBlt() { Release(); }
  void Release() {}
  // Screen = (A * kA + B * kB) >> 8, the sum kept in 16 bits.
  void Blt2(int xA, int yA, const uint32_t* pixelsA, int widthA, int heightA, int xB, int yB,
            const uint32_t* pixelsB, int widthB, int heightB, int percentA, int percentB);
  // Blt2 with every pixel of A the one colour word: the same bytes as
  // Blt2 from a picture filled with it, without the picture.
  void Blt2FromColour(uint32_t colourA, int xB, int yB, const uint32_t* pixelsB, int widthB,
                      int heightB, int percentA, int percentB);
  // Screen = (screen * kS + picture * kP) >> 8.
  void Blt(int x, int y, const uint32_t* pixels, int width, int height, int percentScreen,
           int percentPicture);
};
