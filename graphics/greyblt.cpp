#include "graphics/greyblt.h"

#include <cstddef>

#include "graphics/allgraphics.h"
#include "graphics/blendrows.h"
#include "graphics/bltaddress.h"
#include "graphics/screenbuffer.h"

using blendrows::Channel;
using blendrows::PerChannel;

namespace greyblt {

// The same grey value as the whole-screen filters'.
int Luma(uint32_t pixel) { return static_cast<int>(GreyLevel(pixel)); }

uint32_t GreenGrey(uint32_t pixel) {
  const uint32_t g = Channel(pixel, 8);
  return (g << 16) | (g << 8) | g;
}

}  // namespace greyblt

namespace {

uint32_t RedOf(uint32_t pixel) { return pixel & 0xFF0000; }

// The four variants shared by the grey and red blits; colourOf gives the
// pixel drawn for a colour, blend(dst, src, m) the masked mix.
template <typename ColourOf, typename Blend>
void Reduced(int dstX, int dstY, int srcX, int srcY, int w, int h, const void* data, int width,
             const uint8_t* mask, int transparent, const uint32_t* palette, ColourOf colourOf,
             Blend blend) {
  uint32_t* dst = blt::ScreenAt(dstX, dstY);
  if (w <= 0 || h <= 0 || !data || !dst) return;
  const int pitch = CScreenBuffer::GetWidth();
  if (palette) {
    const uint8_t* indices = static_cast<const uint8_t*>(data);
    const uint8_t key = indices[0];
    const uint8_t* src = blt::SourceAt(indices, width, srcX, srcY);
    for (int y = 0; y < h; ++y, src += width, dst += pitch)
      for (int x = 0; x < w; ++x)
        if (!transparent || src[x] != key) dst[x] = colourOf(palette[src[x]]);
    return;
  }
  const uint32_t* pixels = static_cast<const uint32_t*>(data);
  const uint32_t key = pixels[0];
  const uint32_t* src = blt::SourceAt(pixels, width, srcX, srcY);
  if (mask) {
    const uint8_t* m = blt::SourceAt(mask, width, srcX, srcY);
    for (int y = 0; y < h; ++y, src += width, m += width, dst += pitch)
      for (int x = 0; x < w; ++x)
        if (m[x]) dst[x] = blend(dst[x], src[x], m[x]);
    return;
  }
  for (int y = 0; y < h; ++y, src += width, dst += pitch)
    for (int x = 0; x < w; ++x)
      if (!transparent || src[x] != key) dst[x] = colourOf(src[x]);
}

// The level blits: target(src) gives the four bytes mixed in (luma or tinted
// luma), v = target * L + src * (256 - L) kept in 16 bits.
template <typename Target>
void Levelled(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint32_t* pixels,
              int width, const uint8_t* mask, int level, Target target) {
  uint32_t* dst = blt::ScreenAt(dstX, dstY);
  if (w <= 0 || h <= 0 || !pixels || !dst) return;
  const int pitch = CScreenBuffer::GetWidth();
  const uint32_t L = static_cast<uint32_t>(level), rest = 256u - L;
  auto mixed = [&](uint32_t s) {
    const uint32_t t = target(s);
    return PerChannel(
        [&](int c) { return ((Channel(t, c) * L + Channel(s, c) * rest) & 0xFFFF) >> 8; });
  };
  const uint32_t* src = blt::SourceAt(pixels, width, srcX, srcY);
  if (!mask) {
    for (int y = 0; y < h; ++y, src += width, dst += pitch)
      for (int x = 0; x < w; ++x) dst[x] = mixed(src[x]);
    return;
  }
  const uint8_t* m = blt::SourceAt(mask, width, srcX, srcY);
  for (int y = 0; y < h; ++y, src += width, m += width, dst += pitch)
    for (int x = 0; x < w; ++x) {
      const uint32_t v = m[x];
      if (v == 0) continue;
      const uint32_t out = mixed(src[x]);
      if (v == 255) {
        dst[x] = out;
        continue;
      }
      // The weights v + 1 and 255 - v sum to 256.
      const uint32_t d = dst[x];
      dst[x] = PerChannel(
          [&](int c) { return (Channel(out, c) * (v + 1) + Channel(d, c) * (255 - v)) >> 8; });
    }
}

}  // namespace

void CGreyBlt::Blt(int dstX, int dstY, int srcX, int srcY, int w, int h, const void* pixels,
                   int width, int, const uint8_t* mask, int transparent, const uint32_t* palette) {
  Reduced(dstX, dstY, srcX, srcY, w, h, pixels, width, mask, transparent, palette,
          greyblt::GreenGrey, [](uint32_t d, uint32_t s, uint32_t m) {
            const uint32_t y = static_cast<uint32_t>(greyblt::Luma(s));
            if (m == 255) return y * 0x01010101u;
            return PerChannel([&](int c) { return (y * m + Channel(d, c) * (255 - m)) >> 8; });
          });
}

void CRedBlt::Blt(int dstX, int dstY, int srcX, int srcY, int w, int h, const void* pixels,
                  int width, int, const uint8_t* mask, int transparent, const uint32_t* palette) {
  Reduced(dstX, dstY, srcX, srcY, w, h, pixels, width, mask, transparent, palette, RedOf,
          [](uint32_t d, uint32_t s, uint32_t m) {
            const uint32_t red = RedOf(s);
            if (m == 255) return red;
            return PerChannel(
                [&](int c) { return (Channel(red, c) * m + Channel(d, c) * (255 - m)) >> 8; });
          });
}

void CGreyLevelBlt::Blt(int dstX, int dstY, int srcX, int srcY, int w, int h,
                        const uint32_t* pixels, int width, int, const uint8_t* mask, int level, int,
                        int) {
  Levelled(dstX, dstY, srcX, srcY, w, h, pixels, width, mask, level,
           [](uint32_t s) { return static_cast<uint32_t>(greyblt::Luma(s)) * 0x01010101u; });
}

void CSepiaBlt::Blt(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint32_t* pixels,
                    int width, int, const uint8_t* mask, int level, int r, int g, int b, int, int) {
  // Parts beyond 0..255 are outside the contract; only their low byte counts.
  const uint32_t tint = ((static_cast<uint32_t>(r) & 0xFF) << 16) |
                        ((static_cast<uint32_t>(g) & 0xFF) << 8) |
                        (static_cast<uint32_t>(b) & 0xFF);
  Levelled(dstX, dstY, srcX, srcY, w, h, pixels, width, mask, level, [tint](uint32_t s) {
    const uint32_t y = static_cast<uint32_t>(greyblt::Luma(s));
    return PerChannel([&](int c) { return (y * Channel(tint, c)) >> 8; });
  });
}
