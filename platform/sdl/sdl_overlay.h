// Text for the window overlay (start message, debug lists): FreeType glyphs
// from a face that fontconfig finds, kept in a cache. It is a debug aid, so
// it draws grey-level glyphs in a plain line without kerning.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform::sdl {

struct OverlayBitmap {
  int width = 0, height = 0;
  std::vector<uint32_t> argb;  // colour with the glyph coverage as alpha
};

class OverlayFont {
 public:
  OverlayFont();
  ~OverlayFont();
  OverlayFont(const OverlayFont&) = delete;
  OverlayFont& operator=(const OverlayFont&) = delete;

  // False when no face could be loaded (the overlay then stays empty).
  bool Ready() const;
  // Draws one CP932 line at a cell height in pixels; false (and an empty
  // bitmap) when there is nothing to draw.
  bool RenderLine(const std::string& cp932, int height, uint32_t color, OverlayBitmap* out);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform::sdl
