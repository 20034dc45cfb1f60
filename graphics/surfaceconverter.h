// CSurfaceConverter: writes rectangles of the 32-bit screen buffer
// (0x00RRGGBB, one word per pixel) into a target of the display's format:
// 16-bit 565 or 555 words, 24-bit byte triples in either order, or 32-bit
// words as they are or with red and blue exchanged. Pure row conversions;
// the caller owns both buffers.
#pragma once

#include <cstdint>

// 1 when the processor offers MMX (every x86-64 one does); 0 elsewhere.
int CheckMMX();

class CSurfaceConverter {
 public:
  CSurfaceConverter();
  ~CSurfaceConverter();
  CSurfaceConverter(const CSurfaceConverter&) = delete;
  CSurfaceConverter& operator=(const CSurfaceConverter&) = delete;

  void Set565Flag(int v) { is565_ = v; }
  void SetRgbOrder24(int v) { rgbOrder24_ = v; }
  void SetRgbOrder32(int v) { rgbOrder32_ = v; }
  int GetMMXFlag() const { return mmx_; }

  // The screen buffer: pitch in bytes (width * 4), size in pixels.
  void SetSource(const void* pixels, int pitchBytes, int width, int height);
  // The target, the same size as the source; pitch in bytes.
  void SetDestination(void* pixels, int pitchBytes);

  // Converts one rectangle for a target of bpp 16, 24 or 32 (other depths do
  // nothing). 16- and 24-bit targets take whole groups of 8 pixels, a 32-bit
  // target with red and blue exchanged whole pairs: the rectangle widens to
  // them, but never past the source's edges.
  void CopyRect(int bpp, int x, int y, int w, int h);
  void CopyAll(int bpp);
  void Release() {}

 private:
  int mmx_ = 0;
  uint8_t* dst_ = nullptr;
  int dstPitch_ = 0;
  const uint8_t* src_ = nullptr;
  int srcPitch_ = 0;
  int width_ = 0, height_ = 0;
  int is565_ = 1;
  int rgbOrder24_ = 1;
  int rgbOrder32_ = 1;
};
