#include "graphics/transblt.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "graphics/blendrows.h"
#include "graphics/bltaddress.h"
#include "graphics/screenbuffer.h"

namespace {

// Runs row(dst, src, n) over the rectangle.
template <typename Row>
void EachRow(int dstX, int dstY, int srcX, int srcY, int w, int h, const uint32_t* pixels,
             int width, Row row) {
  uint32_t* dst = blt::ScreenAt(dstX, dstY);
  if (w <= 0 || h <= 0 || !pixels || !dst) return;
  const uint32_t* src = blt::SourceAt(pixels, width, srcX, srcY);
  const int pitch = CScreenBuffer::GetWidth();
  for (int y = 0; y < h; ++y, src += width, dst += pitch) row(dst, src, static_cast<size_t>(w));
}

// The picture covers the screen from (x, y).
bool Covers(int x, int y, const uint32_t* pixels, int width, int height) {
  const int64_t sw = CScreenBuffer::GetWidth(), sh = CScreenBuffer::GetHeight();
  return pixels && width >= sw && height >= sh && x >= 0 && y >= 0 && x + sw <= width &&
         y + sh <= height;
}

int ClampedWeight(int percent) { return std::clamp(blendrows::Weight(percent), 0, 256); }

}  // namespace

void CTransLucentBlt::Blt(int dstX, int dstY, int srcX, int srcY, int w, int h,
                          const uint32_t* pixels, int width, int, int percent) {
  const int k = blendrows::Weight(percent);
  EachRow(dstX, dstY, srcX, srcY, w, h, pixels, width,
          [k](uint32_t* dst, const uint32_t* src, size_t n) {
            blendrows::TransLucent(dst, src, n, k);
          });
}

void CTransLucentBlt::BltOnColour(int dstX, int dstY, int srcX, int srcY, int w, int h,
                                  const uint32_t* pixels, int width, int, int percent,
                                  uint32_t colour) {
  if (w <= 0) return;
  const int k = blendrows::Weight(std::clamp(percent, 0, 100));
  // One row of the colour, blended with each picture row as the second
  // picture: the weights sum to 256, so the two-picture rule is the blend.
  const std::vector<uint32_t> colourRow(static_cast<size_t>(w), colour);
  EachRow(dstX, dstY, srcX, srcY, w, h, pixels, width,
          [&](uint32_t* dst, const uint32_t* src, size_t n) {
            blendrows::Overrap2(dst, src, colourRow.data(), n, k, 256 - k);
          });
}

void CTransLucentBlt0::Blt(int dstX, int dstY, int srcX, int srcY, int w, int h,
                           const uint32_t* pixels, int width, int, int percent) {
  const int k = blendrows::Weight(percent);
  EachRow(dstX, dstY, srcX, srcY, w, h, pixels, width,
          [k](uint32_t* dst, const uint32_t* src, size_t n) {
            blendrows::TransLucent(dst, src, n, k);
          });
}

void CTransLucentBlt3::Blt(int dstX, int dstY, int srcX, int srcY, int w, int h,
                           const uint32_t* pixels, const uint8_t* mask, int width, int,
                           int percent) {
  if (percent <= 0 || !mask) return;
  const int k = blendrows::Weight(percent);
  const uint8_t* m = blt::SourceAt(mask, width, srcX, srcY);
  EachRow(dstX, dstY, srcX, srcY, w, h, pixels, width,
          [&](uint32_t* dst, const uint32_t* src, size_t n) {
            blendrows::TransMask(dst, src, m, n, k);
            m += width;
          });
}

void CChangeTransLucentBlt::Blt(int dstX, int dstY, int w, int h, const uint32_t* pixelsA,
                                const uint32_t* pixelsB, const uint8_t* maskA, const uint8_t* maskB,
                                int widthA, int, int widthB, int, int percentA, int percentB) {
  uint32_t* dst = blt::ScreenAt(dstX, dstY);
  if (w <= 0 || h <= 0 || !pixelsA || !pixelsB || !maskA || !maskB || !dst) return;
  // Rounded here, unlike the other blits.
  auto weight = [](int percent) {
    return static_cast<int>(std::clamp<int64_t>((int64_t{percent} * 256 + 50) / 100, 0, 256));
  };
  const int kA = weight(percentA), kB = weight(percentB);
  const int pitch = CScreenBuffer::GetWidth();
  for (int y = 0; y < h; ++y) {
    blendrows::CrossFade(dst, pixelsA, pixelsB, maskA, maskB, static_cast<size_t>(w), kA, kB);
    dst += pitch;
    pixelsA += widthA;
    maskA += widthA;
    pixelsB += widthB;
    maskB += widthB;
  }
}

namespace {

// Screen = (A * kA + B * kB) >> 8 over the whole screen, A and B advancing
// by their own strides (0 repeats one row).
void Overrap2Rows(const uint32_t* a, size_t strideA, const uint32_t* b, size_t strideB,
                  int percentA, int percentB) {
  uint32_t* dst = CScreenBuffer::GetBuffer();
  const int kA = ClampedWeight(percentA), kB = ClampedWeight(percentB);
  const int sw = CScreenBuffer::GetWidth(), sh = CScreenBuffer::GetHeight();
  for (int y = 0; y < sh; ++y, dst += sw, a += strideA, b += strideB)
    blendrows::Overrap2(dst, a, b, static_cast<size_t>(sw), kA, kB);
}

}  // namespace

void COverrapBlt::Blt2(int xA, int yA, const uint32_t* pixelsA, int widthA, int heightA, int xB,
                       int yB, const uint32_t* pixelsB, int widthB, int heightB, int percentA,
                       int percentB) {
  if (!CScreenBuffer::GetBuffer() || !Covers(xA, yA, pixelsA, widthA, heightA) ||
      !Covers(xB, yB, pixelsB, widthB, heightB))
    return;
  Overrap2Rows(blt::SourceAt(pixelsA, widthA, xA, yA), static_cast<size_t>(widthA),
               blt::SourceAt(pixelsB, widthB, xB, yB), static_cast<size_t>(widthB), percentA,
               percentB);
}

void COverrapBlt::Blt2FromColour(uint32_t colourA, int xB, int yB, const uint32_t* pixelsB,
                                 int widthB, int heightB, int percentA, int percentB) {
  if (!CScreenBuffer::GetBuffer() || !Covers(xB, yB, pixelsB, widthB, heightB)) return;
  // One row of the colour, read again for every screen row.
  const std::vector<uint32_t> row(static_cast<size_t>(CScreenBuffer::GetWidth()), colourA);
  Overrap2Rows(row.data(), 0, blt::SourceAt(pixelsB, widthB, xB, yB), static_cast<size_t>(widthB),
               percentA, percentB);
}

void COverrapBlt::Blt(int x, int y, const uint32_t* pixels, int width, int height,
                      int percentScreen, int percentPicture) {
  uint32_t* dst = CScreenBuffer::GetBuffer();
  if (!dst || !Covers(x, y, pixels, width, height)) return;
  const int kS = ClampedWeight(percentScreen), kP = ClampedWeight(percentPicture);
  const int sw = CScreenBuffer::GetWidth(), sh = CScreenBuffer::GetHeight();
  const uint32_t* p = blt::SourceAt(pixels, width, x, y);
  for (int row = 0; row < sh; ++row, dst += sw, p += width)
    blendrows::Overrap(dst, p, static_cast<size_t>(sw), kS, kP);
}
