#include "graphics/basicblt.h"

#include <cstddef>
#include <cstring>

#include "graphics/bltrows.h"
#include "graphics/bltaddress.h"
#include "graphics/screenbuffer.h"

void CBlt::Blt(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint32_t* pixels,
               int width, int) {
  uint32_t* dst = blt::ScreenAt(dstX, dstY);
  if (w <= 0 || h <= 0 || !pixels || !dst) return;
  const uint32_t key = pixels[0];
  const uint32_t* src = blt::SourceAt(pixels, width, srcX, srcY);
  const int pitch = CScreenBuffer::GetWidth();
  for (int y = 0; y < h; ++y, src += width, dst += pitch)
    bltrows::Keyed(dst, src, static_cast<size_t>(w), key);
}

void CBltBeta::Blt(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint32_t* pixels,
                   int width, int) {
  uint32_t* dst = blt::ScreenAt(dstX, dstY);
  if (w <= 0 || h <= 0 || !pixels || !dst) return;
  const uint32_t* src = blt::SourceAt(pixels, width, srcX, srcY);
  const int pitch = CScreenBuffer::GetWidth();
  // Full-width rows of a picture as wide as the screen are one run.
  if (srcX == 0 && dstX == 0 && w == pitch && width == pitch) {
    std::memcpy(dst, src, static_cast<size_t>(w) * h * sizeof(uint32_t));
    return;
  }
  for (int y = 0; y < h; ++y, src += width, dst += pitch)
    std::memcpy(dst, src, static_cast<size_t>(w) * sizeof(uint32_t));
}

void CBlt256::Blt(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint8_t* indices,
                  const uint32_t* palette, int width, int) {
  uint32_t* dst = blt::ScreenAt(dstX, dstY);
  if (w <= 0 || h <= 0 || !indices || !palette || !dst) return;
  const uint8_t key = indices[0];
  const uint8_t* src = blt::SourceAt(indices, width, srcX, srcY);
  const int pitch = CScreenBuffer::GetWidth();
  for (int y = 0; y < h; ++y, src += width, dst += pitch)
    for (int x = 0; x < w; ++x)
      if (src[x] != key) dst[x] = palette[src[x]];
}

void CBlt256Beta::Blt(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint8_t* indices,
                      const uint32_t* palette, int width, int) {
  uint32_t* dst = blt::ScreenAt(dstX, dstY);
  if (w <= 0 || h <= 0 || !indices || !palette || !dst) return;
  const uint8_t* src = blt::SourceAt(indices, width, srcX, srcY);
  const int pitch = CScreenBuffer::GetWidth();
  for (int y = 0; y < h; ++y, src += width, dst += pitch)
    for (int x = 0; x < w; ++x) dst[x] = palette[src[x]];
}

void CMaskBlt::Blt(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint32_t* pixels,
                   const uint8_t* mask, int width, int) {
  uint32_t* dst = blt::ScreenAt(dstX, dstY);
  if (w <= 0 || h <= 0 || !pixels || !mask || !dst) return;
  const uint32_t* src = blt::SourceAt(pixels, width, srcX, srcY);
  const uint8_t* m = blt::SourceAt(mask, width, srcX, srcY);
  const int pitch = CScreenBuffer::GetWidth();
  for (int y = 0; y < h; ++y, src += width, m += width, dst += pitch)
    bltrows::Mask(dst, src, m, static_cast<size_t>(w));
}
