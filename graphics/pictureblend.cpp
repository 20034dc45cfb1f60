// CPicture's blend, colour, stretch and tinted draws. Each clips its request
// to the box and the screen (the stretches clip in their blitter), checks
// what the blitter needs and hands the picture to one CAllPicture entry.
// Only the grey, red and silhouette draws take an 8-bit picture: the others
// read 32-bit pixels, so an 8-bit picture draws nothing with them.
#include <algorithm>
#include <cstdint>

#include "graphics/allpicture.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"

void CPicture::TransLucentBlt(int dstX, int dstY, int srcX, int srcY, int w, int h, int percent) {
  if (!loaded_ || !HasPixels() || is256_) return;
  if (!Clip(&dstX, &dstY, &srcX, &srcY, &w, &h)) return;
  CAllPicture::TransLucentBlt(dstX, dstY, srcX, srcY, w, h, GetPixelBuffer(), width_, height_,
                              percent);
}

int CPicture::TransLucentBltOnColour(int dstX, int dstY, int w, int h, int percent,
                                     uint32_t colour) {
  if (!loaded_ || !HasPixels() || is256_) return 0;
  int x = dstX, y = dstY, srcX = 0, srcY = 0, cw = w, ch = h;
  if (!Clip(&x, &y, &srcX, &srcY, &cw, &ch) || x != dstX || y != dstY || cw != w || ch != h)
    return 0;
  CAllPicture::TransLucentBltOnColour(x, y, srcX, srcY, cw, ch, GetPixelBuffer(), width_, height_,
                                      percent, colour);
  return 1;
}

void CPicture::TransLucentBlt0(int dstX, int dstY, int srcX, int srcY, int w, int h, int percent) {
  if (!loaded_ || !HasPixels() || is256_) return;
  if (!Clip(&dstX, &dstY, &srcX, &srcY, &w, &h)) return;
  CAllPicture::TransLucentBlt0(dstX, dstY, srcX, srcY, w, h, GetPixelBuffer(), width_, height_,
                               percent);
}

void CPicture::TransLucentBlt3(int dstX, int dstY, int srcX, int srcY, int w, int h, int percent) {
  if (!loaded_ || !HasPixels() || is256_ || !MaskUsable()) return;
  if (!Clip(&dstX, &dstY, &srcX, &srcY, &w, &h)) return;
  CAllPicture::TransLucentBlt3(dstX, dstY, srcX, srcY, w, h, GetPixelBuffer(), mask_, width_,
                               height_, percent);
}

void CPicture::AddBlt(int dstX, int dstY, int srcX, int srcY, int w, int h) {
  if (!loaded_ || !HasPixels() || is256_) return;
  if (!Clip(&dstX, &dstY, &srcX, &srcY, &w, &h)) return;
  CAllPicture::AddBlt(dstX, dstY, srcX, srcY, w, h, GetPixelBuffer(), width_, height_);
}

void CPicture::AddSubBlt(int dstX, int dstY, int srcX, int srcY, int w, int h, int level) {
  if (!loaded_ || !HasPixels() || is256_) return;
  if (!Clip(&dstX, &dstY, &srcX, &srcY, &w, &h)) return;
  CAllPicture::AddSubBlt(dstX, dstY, srcX, srcY, w, h, GetPixelBuffer(),
                         MaskUsable() ? mask_ : nullptr, width_, height_, level);
}

void CPicture::ColorAddBlt(int dstX, int dstY, int srcX, int srcY, int w, int h, int transFlag,
                           int r, int g, int b, int percent) {
  if (!loaded_ || !HasPixels() || is256_) return;
  if (!Clip(&dstX, &dstY, &srcX, &srcY, &w, &h)) return;
  CAllPicture::ColorAddBlt(dstX, dstY, srcX, srcY, w, h, GetPixelBuffer(),
                           MaskUsable() ? mask_ : nullptr, width_, height_, transFlag, r, g, b,
                           percent);
}

void CPicture::YUVChangeBlt(int dstX, int dstY, int srcX, int srcY, int w, int h, int swap,
                            int level) {
  if (!loaded_ || !HasPixels() || is256_) return;
  if (!Clip(&dstX, &dstY, &srcX, &srcY, &w, &h)) return;
  CAllPicture::YUVChangeBlt(dstX, dstY, srcX, srcY, w, h, GetPixelBuffer(),
                            MaskUsable() ? mask_ : nullptr, width_, height_, swap, level);
}

void CPicture::ShapeBlt(int dstX, int dstY, int srcX, int srcY, int w, int h, int r, int g, int b) {
  if (!MaskUsable()) return;
  if (!Clip(&dstX, &dstY, &srcX, &srcY, &w, &h)) return;
  CAllPicture::ShapeBlt(dstX, dstY, srcX, srcY, w, h, mask_, width_, height_, r, g, b);
}

void CPicture::RedBlt(int dstX, int dstY, int srcX, int srcY, int w, int h, int transFlag) {
  if (!loaded_ || !HasPixels() || (is256_ && !palette_)) return;
  if (!Clip(&dstX, &dstY, &srcX, &srcY, &w, &h)) return;
  CAllPicture::RedBlt(dstX, dstY, srcX, srcY, w, h, pixels_, width_, height_,
                      MaskUsable() ? mask_ : nullptr, transFlag, is256_ ? palette_ : nullptr);
}

void CPicture::GreyBlt(int dstX, int dstY, int srcX, int srcY, int w, int h, int transFlag) {
  if (!loaded_ || !HasPixels() || (is256_ && !palette_)) return;
  if (!Clip(&dstX, &dstY, &srcX, &srcY, &w, &h)) return;
  CAllPicture::GreyBlt(dstX, dstY, srcX, srcY, w, h, pixels_, width_, height_,
                       MaskUsable() ? mask_ : nullptr, transFlag, is256_ ? palette_ : nullptr);
}

void CPicture::GreyLevelBlt(int dstX, int dstY, int srcX, int srcY, int w, int h, int level,
                            int unused) {
  if (!loaded_ || !HasPixels() || is256_) return;
  if (!Clip(&dstX, &dstY, &srcX, &srcY, &w, &h)) return;
  CAllPicture::GreyLevelBlt(dstX, dstY, srcX, srcY, w, h, GetPixelBuffer(), width_, height_,
                            MaskUsable() ? mask_ : nullptr, level, unused, 0);
}

void CPicture::SepiaBlt(int dstX, int dstY, int srcX, int srcY, int w, int h, int level, int r,
                        int g, int b, int unused) {
  if (!loaded_ || !HasPixels() || is256_) return;
  if (!Clip(&dstX, &dstY, &srcX, &srcY, &w, &h)) return;
  CAllPicture::SepiaBlt(dstX, dstY, srcX, srcY, w, h, GetPixelBuffer(), width_, height_,
                        MaskUsable() ? mask_ : nullptr, level, r, g, b, unused, 0);
}

void CPicture::StretchBlt(int dstX, int dstY, int dstW, int dstH, int srcX, int srcY, int srcW,
                          int srcH, int percent, int transFlag) {
  if (!loaded_ || !HasPixels() || is256_) return;
  CAllPicture::StretchBlt(dstX, dstY, srcX, srcY, dstW, dstH, srcW, srcH, GetPixelBuffer(),
                          MaskUsable() ? mask_ : nullptr, width_, height_, transFlag, percent);
}

void CPicture::StretchAddSubBlt(int dstX, int dstY, int dstW, int dstH, int srcX, int srcY,
                                int srcW, int srcH, int percent, int transFlag, int r, int g,
                                int b) {
  if (!loaded_ || !HasPixels() || is256_) return;
  CAllPicture::StretchAddSubBlt(dstX, dstY, srcX, srcY, dstW, dstH, srcW, srcH, GetPixelBuffer(),
                                MaskUsable() ? mask_ : nullptr, width_, height_, transFlag, percent,
                                r, g, b);
}

void CPicture::ChangeTransLucentBlt(int dstX, int dstY, int srcX, int srcY, int w, int h,
                                    int percentThis, int percentOther, CPicture* other,
                                    int otherSrcX, int otherSrcY) {
  auto usable = [](const CPicture* p) {
    return p && p->loaded_ && p->HasPixels() && !p->is256_ && p->MaskUsable();
  };
  if (!usable(this) || !usable(other)) return;
  // Each picture's part of the request, clipped to its own box.
  int ax = dstX, ay = dstY, asx = srcX, asy = srcY, aw = w, ah = h;
  int bx = dstX, by = dstY, bsx = otherSrcX, bsy = otherSrcY, bw = w, bh = h;
  const bool hasA = ClipToBox(&ax, &ay, &asx, &asy, &aw, &ah) != 0;
  const bool hasB = other->ClipToBox(&bx, &by, &bsx, &bsy, &bw, &bh) != 0;
  if (!hasA && !hasB) return;
  int64_t left = hasA ? ax : bx, top = hasA ? ay : by;
  int64_t right = hasA ? int64_t{ax} + aw : int64_t{bx} + bw;
  int64_t bottom = hasA ? int64_t{ay} + ah : int64_t{by} + bh;
  if (hasA && hasB) {
    left = std::min<int64_t>(left, bx);
    top = std::min<int64_t>(top, by);
    right = std::max<int64_t>(right, int64_t{bx} + bw);
    bottom = std::max<int64_t>(bottom, int64_t{by} + bh);
  }
  // Screen column x shows column x - dstX + srcX of this picture and
  // x - dstX + otherSrcX of the other. The union is cut to the screen and
  // to where both pictures have pixels, keeping the two aligned.
  const int64_t offAX = int64_t{srcX} - dstX, offAY = int64_t{srcY} - dstY;
  const int64_t offBX = int64_t{otherSrcX} - dstX, offBY = int64_t{otherSrcY} - dstY;
  left = std::max<int64_t>({left, CScreenBuffer::GetClipLeft(), -offAX, -offBX});
  top = std::max<int64_t>({top, CScreenBuffer::GetClipTop(), -offAY, -offBY});
  right = std::min<int64_t>(
      {right, CScreenBuffer::GetClipRight(), width_ - offAX, other->width_ - offBX});
  bottom = std::min<int64_t>(
      {bottom, CScreenBuffer::GetClipBottom(), height_ - offAY, other->height_ - offBY});
  if (right <= left || bottom <= top) return;
  const size_t atA = static_cast<size_t>((top + offAY) * width_ + left + offAX);
  const size_t atB = static_cast<size_t>((top + offBY) * other->width_ + left + offBX);
  CAllPicture::ChangeTransLucentBlt(static_cast<int>(left), static_cast<int>(top),
                                    static_cast<int>(right - left), static_cast<int>(bottom - top),
                                    GetPixelBuffer() + atA, other->GetPixelBuffer() + atB,
                                    mask_ + atA, other->mask_ + atB, width_, height_, other->width_,
                                    other->height_, percentThis, percentOther);
}

void CPicture::OverrapBlt(int percent, const int* pos) {
  const int x = pos ? pos[0] : 0, y = pos ? pos[1] : 0;
  if (!loaded_ || !HasPixels() || is256_) return;
  percent = std::clamp(percent, 0, 100);
  // The entry checks that the screen-size area lies inside the picture.
  CAllPicture::OverrapBlt(x, y, GetPixelBuffer(), width_, height_, 100 - percent, percent);
}

void CPicture::OverrapBlt2(CPicture* other, int percent, const int* pos, const int* otherPos) {
  const int x = pos ? pos[0] : 0, y = pos ? pos[1] : 0;
  const int ox = otherPos ? otherPos[0] : 0, oy = otherPos ? otherPos[1] : 0;
  if (!loaded_ || !HasPixels() || is256_) return;
  if (!other || !other->loaded_ || !other->HasPixels() || other->is256_) return;
  percent = std::clamp(percent, 0, 100);
  CAllPicture::OverrapBlt2(x, y, GetPixelBuffer(), width_, height_, ox, oy, other->GetPixelBuffer(),
                           other->width_, other->height_, 100 - percent, percent);
}

void CPicture::OverrapBlt2FromColour(uint32_t colour, int percent, const int* pos) {
  const int x = pos ? pos[0] : 0, y = pos ? pos[1] : 0;
  if (!loaded_ || !HasPixels() || is256_) return;
  percent = std::clamp(percent, 0, 100);
  CAllPicture::OverrapBlt2FromColour(colour, x, y, GetPixelBuffer(), width_, height_,
                                     100 - percent, percent);
}
