// CAllPicture: owns one object of every blitter and reaches them through
// static entries, so pictures never hold a blitter. Made and deleted by the
// screen buffer. An entry whose blitter does not exist (not made, or already
// released) draws nothing.
//
// The blend and colour blits, the stretch blits and the grey, sepia and red
// blits join here with their classes: one pointer, one line in the
// constructor and in Release, and one entry each.
#pragma once

#include <cstdint>

class CBlt;
class CBltBeta;
class CBlt256;
class CBlt256Beta;
class CMaskBlt;

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

 private:
  static CMaskBlt* maskBlt_;
  static CBlt* blt_;
  static CBltBeta* bltBeta_;
  static CBlt256* blt256_;
  static CBlt256Beta* blt256Beta_;
};
