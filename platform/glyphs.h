// The host's glyph rasteriser. The engine asks for a font by face name,
// cell size, weight and italic, and draws one character cell at a time into
// a 32-bit surface, unantialiased: every inked pixel becomes exactly the
// given colour and nothing else is touched (the engine makes its own
// coverage from 2 x 2 blocks). A font of size s has cells 2s rows high
// (ascent plus descent), half-width cells s wide and full-width cells 2s.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

struct GlyphFontDesc {
  std::string face;  // CP932 face name; empty = the gothic face
  int size = 24;     // s, at least 1
  int weight = 400;  // 0..1000; 600 and more is bold
  bool italic = false;
  // CP932 face taken when `face` cannot be found (the engine's fallback
  // face of its font kind and text mode); empty = the gothic face.
  std::string fallback;
};

// Where a cell is drawn: 0x00RRGGBB pixels, rows top-down.
struct GlyphSurface {
  uint32_t* pixels = nullptr;
  int width = 0, height = 0;
  int pitch = 0;  // in pixels
};

class GlyphFont {
 public:
  virtual ~GlyphFont() = default;
  virtual int Size() const = 0;
  // The family of the face that was opened (UTF-8), for diagnostics.
  virtual std::string Family() const = 0;
  // Draws one cell of 1 byte (half width) or 2 bytes (a CP932 double-byte
  // character) with its top-left at (x, y), clipped to the surface. A cell
  // that has no Unicode form, or that no face has, draws nothing.
  virtual void DrawCell(const GlyphSurface& surface, int x, int y, const char* cell, int bytes,
                        uint32_t color) = 0;
};

class GlyphService {
 public:
  virtual ~GlyphService() = default;
  // Never null: a face that cannot be found takes the fallback's face, and
  // without one the gothic face.
  virtual std::unique_ptr<GlyphFont> OpenFont(const GlyphFontDesc& desc) = 0;
};

// The synthetic font of headless runs and tests; needs no font file. A
// cell is a box inset by one DIB pixel (so its edges fall on odd pixels and
// reduce to exact partial coverages), with the character code punched into
// it as 2 x 2 holes; blanks (0x20, 0x8140) and cells that are not valid
// CP932 draw nothing.
std::shared_ptr<GlyphService> CreateSyntheticGlyphs();

// The installed host's rasteriser.
std::shared_ptr<GlyphService> Glyphs();

}  // namespace platform
