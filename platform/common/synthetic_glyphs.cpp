// The synthetic font: exact, file-free glyphs for headless runs and tests.
#include "platform/backend.h"
#include "platform/codec.h"
#include "platform/glyphs.h"

namespace platform {
namespace {

class SyntheticFont : public GlyphFont {
 public:
  explicit SyntheticFont(int size) : size_(size < 1 ? 1 : size) {}
  int Size() const override { return size_; }
  std::string Family() const override { return "synthetic"; }

  void DrawCell(const GlyphSurface& surface, int x, int y, const char* cell, int bytes,
                uint32_t color) override {
    if (!cell || bytes < 1 || bytes > 2 || !surface.pixels) return;
    const auto lead = static_cast<unsigned char>(cell[0]);
    unsigned code = lead;
    if (bytes == 2) {
      const auto trail = static_cast<unsigned char>(cell[1]);
      if (!IsCp932LeadByte(lead) || trail < 0x40 || trail > 0xFC || trail == 0x7F) return;
      code = lead << 8 | trail;
      if (code == 0x8140) return;
    } else if (!((lead >= 0x21 && lead <= 0x7E) || (lead >= 0xA1 && lead <= 0xDF))) {
      return;
    }
    const int w = bytes == 2 ? 2 * size_ : size_;
    const int h = 2 * size_;
    color &= 0x00FFFFFFu;
    // The box: columns 1 .. w-2 and rows 1 .. h-2 of the cell.
    for (int cy = 1; cy <= h - 2; ++cy) {
      for (int cx = 1; cx <= w - 2; ++cx) {
        if (InHole(code, bytes, cx, cy, w, h)) continue;
        Plot(surface, x + cx, y + cy, color);
      }
    }
  }

 private:
  // Bit i of the code is a 2 x 2 hole on a grid of 4-pixel steps (four
  // columns for a double-byte code, two for a byte), kept inside the box.
  static bool InHole(unsigned code, int bytes, int cx, int cy, int w, int h) {
    if (cx < 4 || cy < 4) return false;
    const int columns = bytes == 2 ? 4 : 2;
    const int bits = bytes == 2 ? 16 : 8;
    const int gx = (cx - 4) / 4, gy = (cy - 4) / 4;
    if ((cx - 4) % 4 > 1 || (cy - 4) % 4 > 1 || gx >= columns) return false;
    const int bit = gy * columns + gx;
    if (bit >= bits) return false;
    // Only holes that lie wholly inside the box's interior.
    const int hx = 4 + gx * 4, hy = 4 + gy * 4;
    if (hx + 1 > w - 3 || hy + 1 > h - 3) return false;
    return (code >> bit & 1) != 0;
  }
  static void Plot(const GlyphSurface& s, int x, int y, uint32_t color) {
    if (x < 0 || y < 0 || x >= s.width || y >= s.height) return;
    s.pixels[static_cast<size_t>(y) * s.pitch + x] = color;
  }

  int size_;
};

class SyntheticGlyphs : public GlyphService {
 public:
  std::unique_ptr<GlyphFont> OpenFont(const GlyphFontDesc& desc) override {
    return std::make_unique<SyntheticFont>(desc.size);
  }
};

}  // namespace

std::shared_ptr<GlyphService> CreateSyntheticGlyphs() {
  return std::make_shared<SyntheticGlyphs>();
}

std::shared_ptr<GlyphService> Backend::Glyphs() {
  static std::shared_ptr<GlyphService> synthetic = CreateSyntheticGlyphs();
  return synthetic;
}

std::shared_ptr<GlyphService> Glyphs() { return Host().Glyphs(); }

}  // namespace platform
