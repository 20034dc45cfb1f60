// CFontPrint: rendering a line. Cells are drawn at twice the screen
// resolution into the DIB, first the outline or shadow and then the glyphs,
// each pass reduced 2 x 2 into the work picture: the colour is the average
// of the inked sub-pixels per channel (truncated), the coverage 0, 64, 128,
// 192 or 255 for none to four of them.
#include <algorithm>
#include <cstring>

#include "graphics/picture.h"
#include "message/fontprint.h"
#include "message/rendersettings.h"
#include "message/textcolour.h"
#include "message/userfont.h"

namespace {

constexpr int kMaxCells = 256;

}  // namespace

void CFontPrint::ClearDib(int rows, int columns) {
  rows = std::clamp(rows, 0, kDibRows);
  columns = std::clamp(columns, 0, dibWidth_);
  for (int y = 0; y < rows; ++y)
    std::fill_n(dib_.begin() + static_cast<ptrdiff_t>(y) * dibWidth_, columns, kEmpty);
}

namespace {

// One output pixel from its 2 x 2 block: the channels of the inked
// sub-pixels averaged (truncated), the coverage by their number.
template <bool kFill>
inline void ReducePixel(const uint32_t* top, const uint32_t* bottom, uint32_t* pixel,
                        uint8_t* mask) {
  constexpr uint8_t kCoverage[5] = {0, 64, 128, 192, 255};
  const uint32_t sub[4] = {top[0], top[1], bottom[0], bottom[1]};
  uint32_t n = 0, r = 0, g = 0, b = 0;
  for (uint32_t p : sub) {
    if (p == CFontPrint::kEmpty) continue;
    ++n;
    r += p >> 16 & 0xFF;
    g += p >> 8 & 0xFF;
    b += p & 0xFF;
  }
  if (n > 0) {
    *pixel = (r / n) << 16 | (g / n) << 8 | (b / n);
    *mask = kCoverage[n];
  } else if (kFill) {
    *pixel = CFontPrint::kFillColour;
    *mask = 0;
  }
}

// A row of output pixels. Most of a line is background, so four output
// pixels at a time whose eight top and eight bottom sub-pixels are all
// cleared are passed over (or filled) without the per-pixel work.
template <bool kFill>
void ReduceRow(const uint32_t* top, const uint32_t* bottom, int columns, uint32_t* pixels,
               uint8_t* mask) {
  constexpr uint64_t kEmptyPair = uint64_t{CFontPrint::kEmpty} << 32 | CFontPrint::kEmpty;
  constexpr int kRun = 4;
  int x = 0;
  for (; x + kRun <= columns; x += kRun) {
    uint64_t top64[kRun], bottom64[kRun];
    std::memcpy(top64, top + 2 * x, sizeof top64);
    std::memcpy(bottom64, bottom + 2 * x, sizeof bottom64);
    uint64_t differ = 0;
    for (int k = 0; k < kRun; ++k) differ |= (top64[k] ^ kEmptyPair) | (bottom64[k] ^ kEmptyPair);
    if (differ == 0) {
      if (kFill) {
        std::fill_n(pixels + x, kRun, CFontPrint::kFillColour);
        std::fill_n(mask + x, kRun, uint8_t{0});
      }
      continue;
    }
    for (int k = x; k < x + kRun; ++k)
      ReducePixel<kFill>(top + 2 * k, bottom + 2 * k, pixels + k, mask + k);
  }
  for (; x < columns; ++x) ReducePixel<kFill>(top + 2 * x, bottom + 2 * x, pixels + x, mask + x);
}

// A row whose inked sub-pixels all have one colour: the average is that
// colour, so only the inked sub-pixels are counted. Branch-free, so the
// loop vectorises.
template <bool kFill>
void ReduceRowOneColour(const uint32_t* top, const uint32_t* bottom, int columns,
                        uint32_t colour, uint32_t* pixels, uint8_t* mask) {
  constexpr uint32_t kEmpty = CFontPrint::kEmpty;
  for (int x = 0; x < columns; ++x) {
    const uint32_t n = static_cast<uint32_t>(top[2 * x] != kEmpty) +
                       static_cast<uint32_t>(top[2 * x + 1] != kEmpty) +
                       static_cast<uint32_t>(bottom[2 * x] != kEmpty) +
                       static_cast<uint32_t>(bottom[2 * x + 1] != kEmpty);
    // 0, 64, 128, 192 or 255 for none to four.
    const uint8_t coverage = static_cast<uint8_t>((n << 6) - (n >> 2));
    if (kFill) {
      pixels[x] = n != 0 ? colour : CFontPrint::kFillColour;
      mask[x] = coverage;
    } else {
      // Uncovered pixels keep what they hold (a select by mask, so the
      // store is not conditional).
      const uint32_t inked = 0u - static_cast<uint32_t>(n != 0);
      pixels[x] = (colour & inked) | (pixels[x] & ~inked);
      mask[x] = static_cast<uint8_t>((coverage & inked) | (mask[x] & ~inked));
    }
  }
}

}  // namespace

void CFontPrint::Reduce(CPicture* to, int rows, int columns, bool fill, uint32_t colour) {
  rows = std::min({rows, kDibRows / 2, to->GetHeight()});
  columns = std::min({columns, dibWidth_ / 2, to->GetWidth()});
  uint32_t* pixels = to->GetPixelBuffer();
  uint8_t* mask = to->GetMask();
  for (int y = 0; y < rows; ++y) {
    const uint32_t* top = &dib_[static_cast<size_t>(2 * y) * dibWidth_];
    const size_t at = static_cast<size_t>(y) * to->GetWidth();
    const uint32_t* bottom = top + dibWidth_;
    if (colour != kEmpty && fill) {
      ReduceRowOneColour<true>(top, bottom, columns, colour, pixels + at, mask + at);
    } else if (colour != kEmpty) {
      ReduceRowOneColour<false>(top, bottom, columns, colour, pixels + at, mask + at);
    } else if (fill) {
      ReduceRow<true>(top, bottom, columns, pixels + at, mask + at);
    } else {
      ReduceRow<false>(top, bottom, columns, pixels + at, mask + at);
    }
  }
}

void CFontPrint::DrawSpecial(int glyph, int size, int x, int y, uint32_t colour) {
  CPicture* picture = nullptr;
  int column = 0;
  if (glyph >= 1 && glyph <= 20) {
    picture = special_.get();
    column = glyph - 1;
  } else if (glyph >= 21 && glyph <= 50) {
    picture = extra_.get();
    column = glyph - 20;
  }
  if (!picture || !picture->GetPixelBuffer() || picture->Get256Flag() ||
      picture->GetWidth() < (column + 1) * kSpecialCellWidth ||
      picture->GetHeight() < kSpecialCellHeight)
    return;
  const int w = 2 * size + 2, h = 2 * size;
  const uint32_t* src = picture->GetPixelBuffer();
  const int pitch = picture->GetWidth();
  for (int dy = 0; dy < h; ++dy) {
    const int py = y + dy;
    if (py < 0 || py >= kDibRows) continue;
    const int sy = dy * kSpecialCellHeight / h;
    for (int dx = 0; dx < w; ++dx) {
      const int px = x + dx;
      if (px < 0 || px >= dibWidth_) continue;
      const int sx = column * kSpecialCellWidth + dx * kSpecialCellWidth / w;
      if ((src[static_cast<size_t>(sy) * pitch + sx] & 0x00FFFFFFu) != 0)
        dib_[static_cast<size_t>(py) * dibWidth_ + px] = colour;
    }
  }
}

void CFontPrint::DrawGlyphCell(platform::GlyphFont* font, int size, const char* cell, int bytes,
                               int x, int y, uint32_t colour) {
  if (bytes == 2 && static_cast<unsigned char>(cell[0]) == kSpecialMarker) {
    DrawSpecial(static_cast<unsigned char>(cell[1]), size, x, y, colour);
  } else if (font) {
    font->DrawCell(GetDrawSurface(), x, y, cell, bytes, colour);
  }
}

void CFontPrint::PutUserGlyph(CPicture* to, const uint8_t* glyph, int size, int x, int y, int rows,
                              int columns, uint32_t colour, bool outline) {
  // The outline is the glyph one pixel right and down, one pixel smaller.
  const int n = outline ? size - 1 : size;
  const int ox = outline ? x + 1 : x, oy = outline ? y + 1 : y;
  rows = std::min(rows, to->GetHeight());
  columns = std::min(columns, to->GetWidth());
  for (int gy = 0; gy < n; ++gy) {
    const int py = oy + gy;
    if (py < 0 || py >= rows) continue;
    for (int gx = 0; gx < n; ++gx) {
      const int px = ox + gx;
      if (px < 0 || px >= columns) continue;
      const uint8_t coverage = glyph[static_cast<size_t>(gy) * size + gx];
      if (coverage == 0) continue;
      const size_t at = static_cast<size_t>(py) * to->GetWidth() + px;
      to->GetPixelBuffer()[at] = colour;
      to->GetMask()[at] = coverage;
    }
  }
}

void CFontPrint::RenderCells(const char* cells, int n, int advance, int s, int outline,
                             uint32_t baseColour, const uint32_t* cellColours, bool userMode,
                             int outWidth) {
  const CFontRenderSettings& settings = GetRenderSettings();
  const bool twoByte = settings.codeByte != 1;
  const int bytes = twoByte ? 2 : 1;
  platform::GlyphFont* font = Font(s);
  auto cellColour = [&](int i) {
    return cellColours ? FromColorRef(cellColours[i]) : baseColour;
  };

  if (userMode) {
    // User glyphs go straight into the work picture at screen resolution.
    for (int y = 0; y < s; ++y) std::memset(work_->GetMask() + static_cast<size_t>(y) * screenWidth_, 0, static_cast<size_t>(outWidth));
    for (int pass = outline != -1 ? 0 : 1; pass < 2; ++pass) {
      for (int i = 0; i < n; ++i) {
        const char* cell = cells + 2 * i;
        if (static_cast<unsigned char>(cell[0]) == kSpecialMarker) continue;
        const uint8_t* glyph = userFont_->GetGlyph(cell);
        PutUserGlyph(work_.get(), glyph, s, i * advance / 2, 0, s, outWidth,
                     pass == 0 ? static_cast<uint32_t>(outline) & 0x00FFFFFFu : cellColour(i),
                     pass == 0);
      }
    }
    return;
  }

  const int dibColumns = std::min(n * advance, dibWidth_);
  ClearDib(2 * s, dibColumns);
  if (outline != -1) {
    const uint32_t colour = static_cast<uint32_t>(outline) & 0x00FFFFFFu;
    for (int i = 0; i < n; ++i) {
      const char* cell = cells + bytes * i;
      const int x = 2 + i * advance, y = 2;
      if (!twoByte) {
        // One-byte text: a single shadow one pixel down-right.
        DrawGlyphCell(font, s, cell, 1, x, y, colour);
        continue;
      }
      for (int m = 0; m < 3; ++m) {
        for (int k = 0; k < 3; ++k) {
          if (settings.fukuro[m][k])
            DrawGlyphCell(font, s, cell, 2, x + 2 * k - 4, y + 2 * m - 4, colour);
        }
      }
    }
  }
  Reduce(work_.get(), s, outWidth, true, static_cast<uint32_t>(outline) & 0x00FFFFFFu);
  ClearDib(2 * s, dibColumns);
  for (int i = 0; i < n; ++i)
    DrawGlyphCell(font, s, cells + bytes * i, bytes, i * advance, 0, cellColour(i));
  // The face's cells share one colour unless each has its own.
  uint32_t faceColour = n > 0 ? cellColour(0) : baseColour;
  for (int i = 1; i < n && faceColour != kEmpty; ++i) {
    if (cellColour(i) != faceColour) faceColour = kEmpty;
  }
  Reduce(work_.get(), s, outWidth, false, faceColour);
  work_->GetPixelBuffer()[0] = kFillColour;
}

int CFontPrint::RenderLine(const LineKey& key, const char* cells, int r, int g, int b, int spacing,
                           int outline, const uint32_t* cellColours, int annotationCount,
                           int cellCount, const AnnotationRecord* records,
                           const char* const* texts) {
  if (!layer_ || !work_) return 0;
  // Spacings beyond these draw the same line (nothing, or the first cell
  // alone on the screen); held here, no advance overflows.
  spacing = std::clamp(spacing, -2 * kMaxSize, screenWidth_);
  const CFontRenderSettings& settings = GetRenderSettings();
  const bool twoByte = settings.codeByte != 1;
  const int n = cells ? std::clamp(cellCount, 0, kMaxCells) : 0;
  if (cellColours && n > 0) {
    const uint32_t first = FromColorRef(cellColours[0]);
    r = static_cast<int>(first >> 16 & 0xFF);
    g = static_cast<int>(first >> 8 & 0xFF);
    b = static_cast<int>(first & 0xFF);
  }
  const int found = layer_->Find(key, currentSize_, r, g, b, spacing, outline);
  if (found >= 0) {
    current_ = found;
    int w = 0, h = 0;
    layer_->GetLineSize(found, &w, &h);
    return h << 16 | w;
  }
  if (!busy_) return 0;

  const int s = sizeIndex_;
  const int advance = twoByte ? 2 * (s + spacing) : 2 * (s / 2 + spacing);
  // A cell advance of 0 or less draws nothing: the line is empty.
  const int drawn = advance > 0 ? n : 0;
  const int outWidth = advance > 0 ? std::min(drawn * advance / 2, screenWidth_) : 0;
  const bool userMode = twoByte && userFont_ && userFontSize_ == s;
  ++renderCount_;
  RenderCells(cells, drawn, advance, s, outline, MakeColourWord(r, g, b), cellColours, userMode,
              outWidth);

  const bool annotations = settings.rubiFlag && annotationWork_ && annotationCount > 0 &&
                           records && texts && drawn > 0;
  if (annotations) {
    RenderAnnotations(drawn, s, spacing, outline, MakeColourWord(r, g, b), cellColours,
                      std::min(annotationCount, kMaxCells), records, texts, userMode);
  }
  current_ = layer_->Store(key, currentSize_, r, g, b, spacing, outline, outWidth, s, work_.get(),
                           annotations ? annotationWork_.get() : nullptr);
  return s << 16 | outWidth;
}
