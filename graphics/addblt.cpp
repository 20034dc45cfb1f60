#include "graphics/addblt.h"

#include <cstddef>

#include "graphics/blendrows.h"
#include "graphics/bltaddress.h"
#include "graphics/screenbuffer.h"

void CAddBlt::Blt(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint32_t* pixels,
                  int width, int) {
  uint32_t* dst = blt::ScreenAt(dstX, dstY);
  if (w <= 0 || h <= 0 || !pixels || !dst) return;
  const uint32_t* src = blt::SourceAt(pixels, width, srcX, srcY);
  const int pitch = CScreenBuffer::GetWidth();
  for (int y = 0; y < h; ++y, src += width, dst += pitch)
    blendrows::Add(dst, src, static_cast<size_t>(w));
}

void CAddSubBlt::Blt(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint32_t* pixels,
                     const uint8_t* mask, int width, int, int level) {
  uint32_t* dst = blt::ScreenAt(dstX, dstY);
  if (w <= 0 || h <= 0 || !pixels || !dst || level == 0) return;
  const int k = blendrows::Weight(level);
  const bool subtract = k < 0;
  const int64_t scale = subtract ? -int64_t{k} : k;
  const uint32_t* src = blt::SourceAt(pixels, width, srcX, srcY);
  const uint8_t* m = mask ? blt::SourceAt(mask, width, srcX, srcY) : nullptr;
  const int pitch = CScreenBuffer::GetWidth();
  for (int y = 0; y < h; ++y, src += width, dst += pitch) {
    for (int x = 0; x < w; ++x) {
      const int64_t weight = m ? m[x] : 255;
      if (weight == 0) continue;
      const uint32_t s = src[x], d = dst[x];
      dst[x] = blendrows::PerChannel([&](int c) {
        const int64_t t = blendrows::Saturate((blendrows::Channel(s, c) * scale) >> 8);
        const int64_t screen = blendrows::Channel(d, c);
        const int64_t moved = blendrows::Saturate(subtract ? screen - t : screen + t);
        return blendrows::Saturate(((moved * weight) >> 8) + ((screen * (256 - weight)) >> 8));
      });
    }
    if (m) m += width;
  }
}
