#include "platform/sdl/sdl_overlay.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstring>
#include <map>
#include <utility>

#include "platform/codec.h"
#include "platform/freetype/freetype_glyphs.h"

namespace platform::sdl {

namespace {

constexpr int kMinHeight = 4;
constexpr int kMaxHeight = 256;
constexpr int kMaxLineWidth = 4096;
constexpr size_t kMaxCachedGlyphs = 4096;

}  // namespace

struct OverlayFont::Impl {
  struct Glyph {
    int left = 0, top = 0, advance = 0, width = 0, rows = 0;
    std::vector<uint8_t> coverage;
  };

  FT_Library library = nullptr;
  FT_Face face = nullptr;
  int size = 0;
  std::map<std::pair<int, char32_t>, Glyph> cache;

  Impl() {
    // The gothic face the game text uses, found the same way.
    FontFile file;
    if (!FindFontFile(std::string(), 400, &file)) return;
    if (FT_Init_FreeType(&library) != 0) {
      library = nullptr;
      return;
    }
    if (FT_New_Face(library, file.path.c_str(), file.index, &face) != 0) face = nullptr;
  }
  ~Impl() {
    if (face) FT_Done_Face(face);
    if (library) FT_Done_FreeType(library);
  }

  bool SetSize(int height) {
    if (size == height) return true;
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(height)) != 0) return false;
    size = height;
    return true;
  }

  const Glyph* Get(char32_t cp, int height) {
    auto key = std::make_pair(height, cp);
    auto it = cache.find(key);
    if (it != cache.end()) return &it->second;
    if (cache.size() >= kMaxCachedGlyphs) cache.clear();
    FT_UInt glyphIndex = FT_Get_Char_Index(face, cp);
    if (glyphIndex == 0 && cp != U'?') glyphIndex = FT_Get_Char_Index(face, U'?');
    Glyph g;
    if (FT_Load_Glyph(face, glyphIndex, FT_LOAD_RENDER) == 0) {
      FT_GlyphSlot slot = face->glyph;
      const FT_Bitmap& bm = slot->bitmap;
      g.left = slot->bitmap_left;
      g.top = slot->bitmap_top;
      g.advance = static_cast<int>(slot->advance.x >> 6);
      // Only the plain grey layout with rows top-down; anything else leaves
      // the glyph blank but keeps its advance.
      if (bm.pixel_mode == FT_PIXEL_MODE_GRAY && bm.pitch >= 0 && bm.buffer) {
        g.width = static_cast<int>(bm.width);
        g.rows = static_cast<int>(bm.rows);
        g.coverage.resize(static_cast<size_t>(g.width) * g.rows);
        for (int y = 0; y < g.rows; ++y) {
          std::memcpy(&g.coverage[static_cast<size_t>(y) * g.width],
                      bm.buffer + static_cast<size_t>(y) * bm.pitch, g.width);
        }
      }
    }
    return &cache.emplace(key, std::move(g)).first->second;
  }
};

OverlayFont::OverlayFont() : impl_(std::make_unique<Impl>()) {}
OverlayFont::~OverlayFont() = default;

bool OverlayFont::Ready() const { return impl_->face != nullptr; }

bool OverlayFont::RenderLine(const std::string& cp932, int height, uint32_t color,
                             OverlayBitmap* out) {
  *out = OverlayBitmap();
  if (!Ready() || cp932.empty()) return false;
  height = std::clamp(height, kMinHeight, kMaxHeight);
  if (!impl_->SetSize(height)) return false;
  std::u32string text = Utf8ToCodePoints(Cp932ToUtf8(cp932));

  const FT_Size_Metrics& m = impl_->face->size->metrics;
  int ascent = static_cast<int>((m.ascender + 63) >> 6);
  int descent = static_cast<int>((-m.descender + 63) >> 6);
  int lineHeight = std::max(height, ascent + descent);

  // First the width, then the pixels.
  std::vector<const Impl::Glyph*> glyphs;
  int width = 0;
  for (char32_t cp : text) {
    if (cp < 0x20) continue;
    const Impl::Glyph* g = impl_->Get(cp, height);
    if (width + std::max(g->advance, g->left + g->width) > kMaxLineWidth) break;
    glyphs.push_back(g);
    width += g->advance;
  }
  if (!glyphs.empty()) {
    const Impl::Glyph* last = glyphs.back();
    width = std::max(width, width - last->advance + last->left + last->width);
  }
  if (width <= 0) return false;

  out->width = width;
  out->height = lineHeight;
  out->argb.assign(static_cast<size_t>(width) * lineHeight, color & 0x00FFFFFFu);
  int penX = 0;
  for (const Impl::Glyph* g : glyphs) {
    for (int y = 0; y < g->rows; ++y) {
      int py = ascent - g->top + y;
      if (py < 0 || py >= lineHeight) continue;
      for (int x = 0; x < g->width; ++x) {
        int px = penX + g->left + x;
        if (px < 0 || px >= width) continue;
        uint32_t a = g->coverage[static_cast<size_t>(y) * g->width + x];
        uint32_t& dst = out->argb[static_cast<size_t>(py) * width + px];
        if (a > (dst >> 24)) dst = (dst & 0x00FFFFFFu) | a << 24;
      }
    }
    penX += g->advance;
  }
  return true;
}

}  // namespace platform::sdl
