// FreeType glyphs in mono mode: cells 2s high with the face's ascent and
// descent scaled into them, half-width cells s wide.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SIZES_H
#include FT_SYNTHESIS_H

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/codec.h"
#include "platform/freetype/freetype_glyphs.h"
#include "platform/backend.h"
#include "platform/system.h"

namespace platform {
namespace {

class FreeTypeGlyphs;

// One face at one size, with how it is made bold or slanted.
struct Source {
  FT_Face face = nullptr;
  FT_Size size = nullptr;
  int baseline = 0;
  bool embolden = false;
  bool oblique = false;
};

// A glyph's ink box within its cell: left and top from the cell's top-left,
// one byte per pixel, 0 or 1.
struct Glyph {
  int left = 0, top = 0, width = 0, rows = 0;
  std::vector<uint8_t> ink;
};

class FreeTypeFont : public GlyphFont {
 public:
  FreeTypeFont(std::shared_ptr<FreeTypeGlyphs> owner, int size, std::string family)
      : owner_(std::move(owner)), size_(size), family_(std::move(family)) {}
  ~FreeTypeFont() override {
    if (primary_.size) FT_Done_Size(primary_.size);
    if (gothic_.size) FT_Done_Size(gothic_.size);
  }
  bool Setup(FT_Face face, int weight, bool italic) {
    weight_ = weight;
    italic_ = italic;
    return Prepare(face, weight, italic, &primary_);
  }

  int Size() const override { return size_; }
  std::string Family() const override { return family_; }

  void DrawCell(const GlyphSurface& surface, int x, int y, const char* cell, int bytes,
                uint32_t color) override {
    if (!cell || bytes < 1 || bytes > 2 || !surface.pixels) return;
    const unsigned key = bytes == 2 ? (static_cast<unsigned char>(cell[0]) << 8 |
                                       static_cast<unsigned char>(cell[1]))
                                    : static_cast<unsigned char>(cell[0]);
    auto it = cache_.find(key);
    if (it == cache_.end()) it = cache_.emplace(key, Rasterise(cell, bytes)).first;
    const Glyph& g = it->second;
    color &= 0x00FFFFFFu;
    // The ink box clipped to the surface once; 64-bit sums keep far
    // positions from overflowing.
    const int64_t left = int64_t{x} + g.left, top = int64_t{y} + g.top;
    const int col0 = static_cast<int>(std::clamp<int64_t>(-left, 0, g.width));
    const int col1 = static_cast<int>(std::clamp<int64_t>(surface.width - left, 0, g.width));
    const int row0 = static_cast<int>(std::clamp<int64_t>(-top, 0, g.rows));
    const int row1 = static_cast<int>(std::clamp<int64_t>(surface.height - top, 0, g.rows));
    if (col0 >= col1) return;
    for (int row = row0; row < row1; ++row) {
      uint32_t* to = surface.pixels + static_cast<size_t>(top + row) * surface.pitch +
                     static_cast<ptrdiff_t>(left);
      const uint8_t* ink = g.ink.data() + static_cast<size_t>(row) * g.width;
      for (int col = col0; col < col1; ++col) to[col] = ink[col] ? color : to[col];
    }
  }

 private:
  bool Prepare(FT_Face face, int weight, bool italic, Source* s) {
    if (FT_New_Size(face, &s->size) != 0) {
      s->size = nullptr;
      return false;
    }
    FT_Activate_Size(s->size);
    s->face = face;
    const FT_Long upem = face->units_per_EM > 0 ? face->units_per_EM : 1000;
    FT_Long cell = face->ascender - face->descender;
    if (cell <= 0) cell = upem;
    // The em that puts ascent plus descent into 2s rows, and the width that
    // makes a half-width digit s wide, as a Windows font of height 2s and
    // width s is made.
    const FT_F26Dot6 emY = static_cast<FT_F26Dot6>(int64_t{2} * size_ * 64 * upem / cell);
    FT_F26Dot6 emX = emY;
    FT_UInt zero = FT_Get_Char_Index(face, U'0');
    if (zero != 0 && FT_Load_Glyph(face, zero, FT_LOAD_NO_SCALE) == 0 &&
        face->glyph->metrics.horiAdvance > 0) {
      emX = static_cast<FT_F26Dot6>(int64_t{size_} * 64 * upem / face->glyph->metrics.horiAdvance);
      emX = std::clamp<FT_F26Dot6>(emX, std::max<FT_F26Dot6>(emY / 4, 1), emY * 4);
    }
    if (FT_Set_Char_Size(face, std::max<FT_F26Dot6>(emX, 1), std::max<FT_F26Dot6>(emY, 1), 72,
                         72) != 0)
      return false;
    s->baseline = static_cast<int>((int64_t{face->ascender} * emY / upem + 32) >> 6);
    s->embolden = weight >= 600 && !(face->style_flags & FT_STYLE_FLAG_BOLD);
    s->oblique = italic && !(face->style_flags & FT_STYLE_FLAG_ITALIC);
    return true;
  }

  Glyph Rasterise(const char* cell, int bytes) {
    Glyph g;
    const char32_t cp = Cp932CellToCodePoint(cell, static_cast<size_t>(bytes));
    if (cp < 0x20) return g;  // unconvertible or a control
    Source* s = &primary_;
    FT_UInt index = FT_Get_Char_Index(s->face, cp);
    if (index == 0) OpenGothic();
    if (index == 0 && gothic_.face) {
      s = &gothic_;
      index = FT_Get_Char_Index(s->face, cp);
    }
    if (index == 0) return g;  // never the missing-glyph box
    FT_Activate_Size(s->size);
    if (FT_Load_Glyph(s->face, index, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_MONO) != 0) return g;
    FT_GlyphSlot slot = s->face->glyph;
    if (s->embolden) FT_GlyphSlot_Embolden(slot);
    if (s->oblique) FT_GlyphSlot_Oblique(slot);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) return g;
    const FT_Bitmap& bm = slot->bitmap;
    if (bm.pixel_mode != FT_PIXEL_MODE_MONO || !bm.buffer) return g;
    // Placed in the cell: rows from the cell's top, columns from its left;
    // ink above or left of the cell is not drawn.
    const int left = slot->bitmap_left, top = s->baseline - slot->bitmap_top;
    const int skipCols = std::max(0, -left), skipRows = std::max(0, -top);
    const int width = static_cast<int>(bm.width) - skipCols;
    const int rows = static_cast<int>(bm.rows) - skipRows;
    if (width <= 0 || rows <= 0) return g;
    g.left = left + skipCols;
    g.top = top + skipRows;
    g.width = width;
    g.rows = rows;
    g.ink.assign(static_cast<size_t>(width) * rows, 0);
    for (int row = 0; row < rows; ++row) {
      const unsigned char* src = bm.buffer + static_cast<ptrdiff_t>(row + skipRows) * bm.pitch;
      uint8_t* to = g.ink.data() + static_cast<size_t>(row) * width;
      for (int col = 0; col < width; ++col) {
        const int c = col + skipCols;
        to[col] = src[c >> 3] >> (7 - (c & 7)) & 1;
      }
    }
    return g;
  }

  // The gothic face at this size, for the characters the face lacks: opened
  // when the first of them is drawn.
  void OpenGothic();

  std::shared_ptr<FreeTypeGlyphs> owner_;
  int size_;
  std::string family_;
  int weight_ = 400;
  bool italic_ = false;
  Source primary_, gothic_;
  bool gothicTried_ = false;
  std::unordered_map<unsigned, Glyph> cache_;
};

class FreeTypeGlyphs : public GlyphService, public std::enable_shared_from_this<FreeTypeGlyphs> {
 public:
  FreeTypeGlyphs() {
    if (FT_Init_FreeType(&library_) != 0) library_ = nullptr;
  }
  ~FreeTypeGlyphs() override {
    for (auto& [key, face] : faces_) FT_Done_Face(face);
    if (library_) FT_Done_FreeType(library_);
  }

  std::unique_ptr<GlyphFont> OpenFont(const GlyphFontDesc& desc) override {
    const int size = std::clamp(desc.size, 1, 1024);
    FontFile file;
    FT_Face face = Lookup(desc.face, desc.fallback, desc.weight, &file);
    if (face) {
      auto font = std::make_unique<FreeTypeFont>(shared_from_this(), size, file.family);
      if (font->Setup(face, desc.weight, desc.italic)) return font;
    }
    // No font at all on this machine: blank cells rather than no text system,
    // said once.
    if (!blankReported_) {
      blankReported_ = true;
      const std::string reason = !library_           ? "FreeType did not start"
                                 : file.path.empty() ? "fontconfig finds no font"
                                                     : "FreeType cannot open " + file.path;
      const std::string line =
          "No font for \"" + Cp932ToUtf8(desc.face) + "\": " + reason + "; text is drawn blank";
      if (IsInstalled()) {
        ErrorOutput(Utf8ToCp932(line).c_str());
      } else {
        std::fprintf(stderr, "%s\n", line.c_str());
      }
    }
    return MakeBlank(size);
  }

  // The gothic face, which serves the characters other faces lack.
  FT_Face Gothic(int weight) {
    FontFile file;
    return Lookup("IPAGothic", std::string(), weight, &file);
  }

 private:
  // A font that draws nothing, for a machine without fonts.
  class Blank : public GlyphFont {
   public:
    explicit Blank(int size) : size_(size) {}
    int Size() const override { return size_; }
    std::string Family() const override { return std::string(); }
    void DrawCell(const GlyphSurface&, int, int, const char*, int, uint32_t) override {}

   private:
    int size_;
  };
  static std::unique_ptr<GlyphFont> MakeBlank(int size) {
    return std::make_unique<Blank>(size);
  }

  FT_Face Lookup(const std::string& name, const std::string& fallback, int weight,
                 FontFile* file) {
    if (!library_) return nullptr;
    const bool bold = weight >= 600;
    const LookupKey asked{name, fallback, bold};
    auto found = lookups_.find(asked);
    if (found == lookups_.end()) {
      FontFile f;
      if (!FindFontFile(name, weight, &f, fallback)) f.path.clear();
      found = lookups_.emplace(asked, f).first;
    }
    *file = found->second;
    if (file->path.empty()) return nullptr;
    auto key = std::make_pair(file->path, file->index);
    auto it = faces_.find(key);
    if (it != faces_.end()) return it->second;
    FT_Face face = nullptr;
    if (FT_New_Face(library_, file->path.c_str(), file->index, &face) != 0) return nullptr;
    faces_.emplace(key, face);
    return face;
  }

  FT_Library library_ = nullptr;
  bool blankReported_ = false;
  std::map<std::pair<std::string, int>, FT_Face> faces_;
  // A face name, its fallback and boldness.
  using LookupKey = std::tuple<std::string, std::string, bool>;
  std::map<LookupKey, FontFile> lookups_;
};

void FreeTypeFont::OpenGothic() {
  if (gothicTried_) return;
  gothicTried_ = true;
  FT_Face gothic = owner_->Gothic(weight_);
  if (gothic && gothic != primary_.face) Prepare(gothic, weight_, italic_, &gothic_);
}

}  // namespace

std::shared_ptr<GlyphService> CreateFreeTypeGlyphs() { return std::make_shared<FreeTypeGlyphs>(); }

}  // namespace platform
