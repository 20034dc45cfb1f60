#include "platform/sdl/sdl_icon.h"

#include <cstddef>
#include <utility>

namespace platform::sdl {

namespace {

uint32_t U16(std::string_view b, size_t at) {
  return static_cast<uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8;
}
uint32_t U32(std::string_view b, size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }
uint8_t U8(std::string_view b, size_t at) { return static_cast<unsigned char>(b[at]); }

constexpr size_t kDirSize = 6;
constexpr size_t kEntrySize = 16;
constexpr size_t kInfoHeaderSize = 40;
constexpr int kMaxSide = 256;

// One entry's image: a BITMAPINFOHEADER, the colour rows bottom-up, then a
// 1-bit transparency mask (set = transparent), rows padded to 4 bytes.
bool DecodeEntry(std::string_view image, IconImage* out, int* bitCount) {
  if (image.size() < kInfoHeaderSize) return false;
  uint32_t headerSize = U32(image, 0);
  int32_t width = static_cast<int32_t>(U32(image, 4));
  int32_t doubleHeight = static_cast<int32_t>(U32(image, 8));
  uint32_t planes = U16(image, 12);
  uint32_t bits = U16(image, 14);
  uint32_t compression = U32(image, 16);
  if (headerSize < kInfoHeaderSize || headerSize > image.size()) return false;
  if (planes != 1 || (bits != 24 && bits != 32) || compression != 0) return false;
  // The height counts the colour rows and the mask rows together.
  if (width <= 0 || width > kMaxSide || doubleHeight <= 0 || doubleHeight % 2 != 0 ||
      doubleHeight / 2 > kMaxSide) {
    return false;
  }
  int height = doubleHeight / 2;
  size_t rowBytes = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
  size_t maskRowBytes = (static_cast<size_t>(width) + 31) / 32 * 4;
  size_t colourStart = headerSize;
  size_t colourSize = rowBytes * height;
  if (image.size() - colourStart < colourSize) return false;
  size_t maskStart = colourStart + colourSize;
  bool hasMask = image.size() - maskStart >= maskRowBytes * height;

  out->width = width;
  out->height = height;
  out->argb.assign(static_cast<size_t>(width) * height, 0);
  bool anyAlpha = false;
  for (int y = 0; y < height; ++y) {
    size_t row = colourStart + rowBytes * (height - 1 - y);
    for (int x = 0; x < width; ++x) {
      size_t p = row + static_cast<size_t>(x) * (bits / 8);
      uint32_t b = U8(image, p), g = U8(image, p + 1), r = U8(image, p + 2);
      uint32_t a = bits == 32 ? U8(image, p + 3) : 0;
      if (a) anyAlpha = true;
      out->argb[static_cast<size_t>(y) * width + x] = a << 24 | r << 16 | g << 8 | b;
    }
  }
  // Old 32-bit icons leave the alpha bytes at zero and use the mask, as the
  // 24-bit ones do.
  if (!anyAlpha) {
    for (int y = 0; y < height; ++y) {
      size_t row = maskStart + maskRowBytes * (height - 1 - y);
      for (int x = 0; x < width; ++x) {
        bool transparent = hasMask && (U8(image, row + x / 8) & (0x80 >> (x % 8)));
        uint32_t& px = out->argb[static_cast<size_t>(y) * width + x];
        px = (px & 0x00FFFFFFu) | (transparent ? 0u : 0xFF000000u);
      }
    }
  }
  *bitCount = static_cast<int>(bits);
  return true;
}

}  // namespace

bool DecodeIco(std::string_view bytes, IconImage* out) {
  if (bytes.size() < kDirSize) return false;
  if (U16(bytes, 0) != 0 || U16(bytes, 2) != 1) return false;
  size_t count = U16(bytes, 4);
  if (count == 0 || bytes.size() - kDirSize < count * kEntrySize) return false;

  bool found = false;
  int bestBits = 0;
  IconImage candidate;
  for (size_t i = 0; i < count; ++i) {
    size_t entry = kDirSize + i * kEntrySize;
    uint32_t size = U32(bytes, entry + 8);
    uint32_t offset = U32(bytes, entry + 12);
    if (offset > bytes.size() || size > bytes.size() - offset) continue;
    int bits = 0;
    if (!DecodeEntry(bytes.substr(offset, size), &candidate, &bits)) continue;
    int64_t area = static_cast<int64_t>(candidate.width) * candidate.height;
    int64_t bestArea = found ? static_cast<int64_t>(out->width) * out->height : -1;
    if (!found || bits > bestBits || (bits == bestBits && area > bestArea)) {
      *out = std::move(candidate);
      candidate = IconImage();
      bestBits = bits;
      found = true;
    }
  }
  return found;
}

}  // namespace platform::sdl
