// CAllPicture: owns one object of every blitter and reaches them through
// static entries, so pictures never hold a blitter. Made and deleted by the
// screen buffer. An entry whose blitter does not exist (not made, or already
// released) draws nothing.
#pragma once

#include <cstdint>

class CBlt;
class CBltBeta;
class CBlt256;
class CBlt256Beta;
class CMaskBlt;
class CTransLucentBlt;
class CTransLucentBlt0;
class CTransLucentBlt3;
class CAddBlt;
class CAddSubBlt;
class CShapeBlt;
class CColorAddBlt;
class CYUVChangeBlt;
class CChangeTransLucentBlt;
class COverrapBlt;
class CStretchBlt;
class CStretchAddSubBlt;
class CGreyBlt;
class CRedBlt;
class CGreyLevelBlt;
class CSepiaBlt;

class CAllPicture {
 public:
  CAllPicture();
  virtual ~CAllPicture();
  CAllPicture(const CAllPicture&) = delete;
  CAllPicture& operator=(const CAllPicture&) = delete;
  // Deletes the blitters in the reverse of their creation order.
  void Release();

  // Common prefix: destination corner, source corner, size. The picture data
  // follows with its width (the pitch) and height.
  static void Blt(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint32_t* pixels,
                  int width, int height);
  static void BltBeta(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint32_t* pixels,
                      int width, int height);
  static void Blt256(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint8_t* indices,
                     const uint32_t* palette, int width, int height);
  static void Blt256Beta(int dstX, int dstY, int srcX, int srcY, int w, int h,
                         const uint8_t* indices, const uint32_t* palette, int width, int height);
  static void MaskBlt(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint32_t* pixels,
                      const uint8_t* mask, int width, int height);

  // Blend and colour blits (graphics/transblt.h, addblt.h, coloraddblt.h).
  static void TransLucentBlt(int dstX, int dstY, int srcX, int srcY, int w, int h,
                             const uint32_t* pixels, int width, int height, int percent);
  static void TransLucentBltOnColour(int dstX, int dstY, int srcX, int srcY, int w, int h,
                                     const uint32_t* pixels, int width, int height, int percent,
                                     uint32_t colour);
  static void TransLucentBlt0(int dstX, int dstY, int srcX, int srcY, int w, int h,
                              const uint32_t* pixels, int width, int height, int percent);
  static void TransLucentBlt3(int dstX, int dstY, int srcX, int srcY, int w, int h,
                              const uint32_t* pixels, const uint8_t* mask, int width, int height,
                              int percent);
  static void AddBlt(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint32_t* pixels,
                     int width, int height);
  static void AddSubBlt(int dstX, int dstY, int srcX, int srcY, int w, int h,
                        const uint32_t* pixels, const uint8_t* mask, int width, int height,
                        int level);
  static void ShapeBlt(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint8_t* mask,
                       int width, int height, int r, int g, int b);
  static void ColorAddBlt(int dstX, int dstY, int srcX, int srcY, int w, int h,
                          const uint32_t* pixels, const uint8_t* mask, int width, int height,
                          int transparent, int r, int g, int b, int percent);
  static void YUVChangeBlt(int dstX, int dstY, int srcX, int srcY, int w, int h,
                           const uint32_t* pixels, const uint8_t* mask, int width, int height,
                           int swap, int level);
  static void ChangeTransLucentBlt(int dstX, int dstY, int w, int h, const uint32_t* pixelsA,
                                   const uint32_t* pixelsB, const uint8_t* maskA,
                                   const uint8_t* maskB, int widthA, int heightA, int widthB,
                                   int heightB, int percentA, int percentB);
  static void OverrapBlt2(int xA, int yA, const uint32_t* pixelsA, int widthA, int heightA, int xB,
                          int yB, const uint32_t* pixelsB, int widthB, int heightB, int percentA,
                          int percentB);
  static void OverrapBlt2FromColour(uint32_t colourA, int xB, int yB, const uint32_t* pixelsB,
                                    int widthB, int heightB, int percentA, int percentB);
  static void OverrapBlt(int x, int y, const uint32_t* pixels, int width, int height,
                         int percentScreen, int percentPicture);

  // Stretch blits (graphics/stretchblt.h); they clip themselves.
  static void StretchBlt(int dstX, int dstY, int srcX, int srcY, int dstW, int dstH, int srcW,
                         int srcH, const uint32_t* pixels, const uint8_t* mask, int width,
                         int height, int transparent, int percent);
  static void StretchAddSubBlt(int dstX, int dstY, int srcX, int srcY, int dstW, int dstH, int srcW,
                               int srcH, const uint32_t* pixels, const uint8_t* mask, int width,
                               int height, int transparent, int percent, int r, int g, int b);

  // Grey, red, grey-level and sepia blits (graphics/greyblt.h). pixels are
  // index bytes when a palette is given.
  static void GreyBlt(int dstX, int dstY, int srcX, int srcY, int w, int h, const void* pixels,
                      int width, int height, const uint8_t* mask, int transparent,
                      const uint32_t* palette);
  static void RedBlt(int dstX, int dstY, int srcX, int srcY, int w, int h, const void* pixels,
                     int width, int height, const uint8_t* mask, int transparent,
                     const uint32_t* palette);
  static void GreyLevelBlt(int dstX, int dstY, int srcX, int srcY, int w, int h,
                           const uint32_t* pixels, int width, int height, const uint8_t* mask,
                           int level, int unused1, int unused2);
  static void SepiaBlt(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint32_t* pixels,
                       int width, int height, const uint8_t* mask, int level, int r, int g, int b,
                       int unused1, int unused2);

 private:
  static CMaskBlt* maskBlt_;
  static CBlt* blt_;
  static CBltBeta* bltBeta_;
  static CBlt256* blt256_;
  static CBlt256Beta* blt256Beta_;
  static CGreyBlt* greyBlt_;
  static CRedBlt* redBlt_;
  static CTransLucentBlt* transLucentBlt_;
  static CTransLucentBlt0* transLucentBlt0_;
  static CTransLucentBlt3* transLucentBlt3_;
  static CShapeBlt* shapeBlt_;
  static CAddBlt* addBlt_;
  static CStretchBlt* stretchBlt_;
  static CColorAddBlt* colorAddBlt_;
  static CChangeTransLucentBlt* changeTransLucentBlt_;
  static COverrapBlt* overrapBlt_;
  static CYUVChangeBlt* yuvChangeBlt_;
  static CGreyLevelBlt* greyLevelBlt_;
  static CSepiaBlt* sepiaBlt_;
  static CAddSubBlt* addSubBlt_;
  static CStretchAddSubBlt* stretchAddSubBlt_;
};
