#include "graphics/surfaceconverter.h"

#include <algorithm>
#include <cstring>

int CheckMMX() {
#if defined(__x86_64__) || defined(__i386__)
  return __builtin_cpu_supports("mmx") ? 1 : 0;
#else
  return 0;
#endif
}

namespace {

uint32_t Pixel(const uint8_t* row, int x) {
  uint32_t p;
  std::memcpy(&p, row + 4 * static_cast<size_t>(x), 4);
  return p;
}

void Put16(uint8_t* out, uint16_t v) {
  out[0] = static_cast<uint8_t>(v);
  out[1] = static_cast<uint8_t>(v >> 8);
}

void Row565(const uint8_t* src, uint8_t* dst, int x, int n) {
  for (int i = x; i < x + n; ++i) {
    const uint32_t p = Pixel(src, i);
    Put16(dst + 2 * i, static_cast<uint16_t>(((p >> 19) & 0x1F) << 11 | ((p >> 10) & 0x3F) << 5 |
                                             ((p >> 3) & 0x1F)));
  }
}

void Row555(const uint8_t* src, uint8_t* dst, int x, int n) {
  for (int i = x; i < x + n; ++i) {
    const uint32_t p = Pixel(src, i);
    Put16(dst + 2 * i, static_cast<uint16_t>(((p >> 19) & 0x1F) << 10 | ((p >> 11) & 0x1F) << 5 |
                                             ((p >> 3) & 0x1F)));
  }
}

// Blue, green, red in memory order (the pixel word's three low bytes).
void RowBgr24(const uint8_t* src, uint8_t* dst, int x, int n) {
  for (int i = x; i < x + n; ++i) {
    const uint32_t p = Pixel(src, i);
    uint8_t* out = dst + 3 * static_cast<size_t>(i);
    out[0] = static_cast<uint8_t>(p);
    out[1] = static_cast<uint8_t>(p >> 8);
    out[2] = static_cast<uint8_t>(p >> 16);
  }
}

void RowRgb24(const uint8_t* src, uint8_t* dst, int x, int n) {
  for (int i = x; i < x + n; ++i) {
    const uint32_t p = Pixel(src, i);
    uint8_t* out = dst + 3 * static_cast<size_t>(i);
    out[0] = static_cast<uint8_t>(p >> 16);
    out[1] = static_cast<uint8_t>(p >> 8);
    out[2] = static_cast<uint8_t>(p);
  }
}

void Row32(const uint8_t* src, uint8_t* dst, int x, int n) {
  std::memcpy(dst + 4 * static_cast<size_t>(x), src + 4 * static_cast<size_t>(x),
              4 * static_cast<size_t>(n));
}

void RowSwap32(const uint8_t* src, uint8_t* dst, int x, int n) {
  for (int i = x; i < x + n; ++i) {
    const uint32_t p = Pixel(src, i);
    const uint32_t q = (p & 0xFF) << 16 | (p & 0xFF00) | ((p >> 16) & 0xFF);
    std::memcpy(dst + 4 * static_cast<size_t>(i), &q, 4);
  }
}

using RowFn = void (*)(const uint8_t*, uint8_t*, int, int);

}  // namespace

CSurfaceConverter::CSurfaceConverter() : mmx_(CheckMMX()) {}

CSurfaceConverter::~CSurfaceConverter() { Release(); }

void CSurfaceConverter::SetSource(const void* pixels, int pitchBytes, int width, int height) {
  src_ = static_cast<const uint8_t*>(pixels);
  srcPitch_ = pitchBytes;
  width_ = width;
  height_ = height;
}

void CSurfaceConverter::SetDestination(void* pixels, int pitchBytes) {
  dst_ = static_cast<uint8_t*>(pixels);
  dstPitch_ = pitchBytes;
}

void CSurfaceConverter::CopyRect(int bpp, int x, int y, int w, int h) {
  RowFn row = nullptr;
  int group = 1;
  switch (bpp) {
    case 16:
      row = is565_ ? Row565 : Row555;
      group = 8;
      break;
    case 24:
      row = rgbOrder24_ ? RowBgr24 : RowRgb24;
      group = 8;
      break;
    case 32:
      row = rgbOrder32_ ? Row32 : RowSwap32;
      group = rgbOrder32_ ? 1 : 2;
      break;
    default:
      return;
  }
  if (!src_ || !dst_ || w <= 0 || h <= 0) return;
  // Widen to whole groups, in 64 bits so no size can wrap.
  int64_t left = x, right = int64_t{x} + w;
  left -= ((left % group) + group) % group;
  right += (group - ((right - left) % group)) % group;
  left = std::max<int64_t>(left, 0);
  right = std::min<int64_t>(right, width_);
  const int64_t top = std::max<int64_t>(y, 0);
  const int64_t bottom = std::min<int64_t>(int64_t{y} + h, height_);
  if (left >= right || top >= bottom) return;
  for (int64_t r = top; r < bottom; ++r)
    row(src_ + r * srcPitch_, dst_ + r * dstPitch_, static_cast<int>(left),
        static_cast<int>(right - left));
}

void CSurfaceConverter::CopyAll(int bpp) { CopyRect(bpp, 0, 0, width_, height_); }
