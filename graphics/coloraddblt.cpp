#include "graphics/coloraddblt.h"

#include <cstddef>

#include "graphics/blendrows.h"
#include "graphics/bltaddress.h"
#include "graphics/screenbuffer.h"

void CColorAddBlt::Blt(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint32_t* pixels,
                       const uint8_t* mask, int width, int, int transparent, int r, int g, int b,
                       int percent) {
  uint32_t* dst = blt::ScreenAt(dstX, dstY);
  if (w <= 0 || h <= 0 || !pixels || !dst) return;
  const blendrows::SignedColour colour(r, g, b);
  const int k = blendrows::Weight(percent);
  const uint32_t key = pixels[0];
  const uint32_t* src = blt::SourceAt(pixels, width, srcX, srcY);
  const uint8_t* m = mask ? blt::SourceAt(mask, width, srcX, srcY) : nullptr;
  const int pitch = CScreenBuffer::GetWidth();
  const bool masked = transparent && m;
  const bool keyed = transparent && !m;
  for (int y = 0; y < h; ++y, src += width, dst += pitch) {
    if (masked)
      blendrows::TintMask(dst, src, m, static_cast<size_t>(w), k, colour);
    else
      blendrows::Tint(dst, src, static_cast<size_t>(w), k, colour, keyed ? &key : nullptr);
    if (m) m += width;
  }
}

void CShapeBlt::Blt(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint8_t* mask,
                    int width, int, int r, int g, int b) {
  uint32_t* dst = blt::ScreenAt(dstX, dstY);
  if (w <= 0 || h <= 0 || !mask || !dst) return;
  const uint32_t colour =
      (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) | static_cast<uint32_t>(b);
  const uint8_t* m = blt::SourceAt(mask, width, srcX, srcY);
  // The key comes from the rectangle, not from the picture's corner.
  const uint8_t key = m[0];
  const int pitch = CScreenBuffer::GetWidth();
  for (int y = 0; y < h; ++y, m += width, dst += pitch)
    for (int x = 0; x < w; ++x)
      if (m[x] != key) dst[x] = colour;
}

CYUVChangeBlt::CYUVChangeBlt() {
  table_[0] = 32767;
  for (int i = 1; i < 256; ++i) table_[i] = 32767 / i;
}

int CYUVChangeBlt::Luma(uint32_t pixel) {
  using blendrows::Channel;
  return static_cast<int>(
      (3736 * Channel(pixel, 0) + 19234 * Channel(pixel, 8) + 9798 * Channel(pixel, 16)) >> 15);
}

void CYUVChangeBlt::Blt(int dstX, int dstY, int srcX, int srcY, int w, int h,
                        const uint32_t* pixels, const uint8_t* mask, int width, int, int swap,
                        int level) {
  using blendrows::Channel;
  using blendrows::Saturate;
  uint32_t* dst = blt::ScreenAt(dstX, dstY);
  if (w <= 0 || h <= 0 || !pixels || !dst) return;
  const uint32_t* src = blt::SourceAt(pixels, width, srcX, srcY);
  const uint8_t* mrow = mask ? blt::SourceAt(mask, width, srcX, srcY) : nullptr;
  const int pitch = CScreenBuffer::GetWidth();
  for (int y = 0; y < h; ++y, src += width, dst += pitch) {
    for (int x = 0; x < w; ++x) {
      const int64_t m = mrow ? mrow[x] : level;
      if (m == 0) continue;
      const uint32_t s = src[x], d = dst[x];
      // Without swap the screen pixel takes the source's brightness.
      const uint32_t scaled = swap ? s : d;
      const int other = Luma(swap ? d : s);
      const int64_t q = (int64_t{other} * table_[Luma(scaled)]) >> 8;
      dst[x] = blendrows::PerChannel([&](int c) {
        const int64_t col = Saturate((q * Channel(scaled, c)) >> 7);
        if (m == 255) return static_cast<uint32_t>(col);
        if (m < 255)
          return Saturate((((col * m) >> 7) + ((int64_t{Channel(d, c)} * (255 - m)) >> 7)) >> 1);
        return Saturate((((col * (511 - m)) >> 7) + ((int64_t{Channel(s, c)} * (m - 256)) >> 7)) >>
                        1);
      });
    }
    if (mrow) mrow += width;
  }
}
