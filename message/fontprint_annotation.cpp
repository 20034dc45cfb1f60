// CFontPrint: the annotation row of a line (readings and emphasis marks),
// rendered at the annotation size above the base cells into the annotation
// work picture.
#include <algorithm>
#include <cstring>

#include "graphics/picture.h"
#include "message/fontprint.h"
#include "message/rendersettings.h"
#include "message/userfont.h"

namespace {
constexpr int kMaxAnnotationChars = 256;

// Where one record's characters stand, in screen pixels.
struct Placement {
  int first = 0, step = 0, count = 0;
  uint32_t colour = 0;
};
}  // namespace

void CFontPrint::RenderAnnotations(int n, int s, int spacing, int outline, uint32_t baseColour,
                                   const uint32_t* cellColours, int count,
                                   const AnnotationRecord* records, const char* const* texts,
                                   bool userMode) {
  const CFontRenderSettings& settings = GetRenderSettings();
  const int rows = std::min(annotationSize_, kWorkHeight);
  if (rows < 1) return;
  const int a = annotationSize_ + settings.rubiSukima;
  const int c = s + spacing;
  // The row is as wide as the line, but never wider than the screen.
  const int width = std::clamp(n * c, 0, screenWidth_);
  const int limit = width - a;
  CPicture* to = annotationWork_.get();
  for (int y = 0; y < rows; ++y)
    std::memset(to->GetMask() + static_cast<size_t>(y) * screenWidth_, 0,
                static_cast<size_t>(width));

  // The first cell whose colour differs from the line's: records from there
  // on take their own first cell's colour.
  int firstOwnColour = n;
  if (cellColours && !settings.rubiColorFix) {
    for (int i = 0; i < n; ++i) {
      if (FromColorRef(cellColours[i]) != baseColour) {
        firstOwnColour = i;
        break;
      }
    }
  }
  const uint32_t annotationColour = (settings.rubiColorR & 0xFF) << 16 |
                                    (settings.rubiColorG & 0xFF) << 8 | (settings.rubiColorB & 0xFF);

  std::vector<Placement> placed(static_cast<size_t>(count));
  int prevEnd = 0;
  for (int i = 0; i < count; ++i) {
    const AnnotationRecord& rec = records[i];
    Placement& p = placed[static_cast<size_t>(i)];
    const int base = rec.baseCount;
    int k = rec.length;
    int first = 0, last = 0;
    if (k == -1) {
      k = base;
      first = rec.firstCell * c + (c - a) / 2;
      last = first + (base - 1) * c;
    } else {
      first = rec.firstCell * c + base * c / 2 - a * k / 2;
      last = first + (k - 1) * a;
    }
    if (k < 1 || base < 1 || !texts[i]) continue;
    k = std::min(k, kMaxAnnotationChars);
    if (first < prevEnd) {
      last += prevEnd - first;
      first = prevEnd;
    }
    if (last > limit) {
      first -= last - limit;
      last = limit;
    }
    first = std::max(first, prevEnd);
    last = std::max(last, first);
    prevEnd = std::min(last + a, limit);
    p.first = first;
    p.step = (last - first) / std::max(k - 1, 1);
    // Drawn up to the text's end, should it hold fewer characters.
    int available = 0;
    while (available < k && texts[i][2 * available] != 0 && texts[i][2 * available + 1] != 0)
      ++available;
    p.count = available;
    // A record's first cell is read inside the line, wherever it claims to be.
    const int cell = std::clamp(rec.firstCell, 0, n - 1);
    p.colour = cellColours && cell >= firstOwnColour ? FromColorRef(cellColours[cell])
                                                      : annotationColour;
  }

  if (userMode) {
    for (int pass = outline != -1 ? 0 : 1; pass < 2; ++pass) {
      for (int i = 0; i < count; ++i) {
        const Placement& p = placed[static_cast<size_t>(i)];
        for (int j = 0; j < p.count; ++j) {
          PutUserGlyph(to, userFont_->GetGlyph(texts[i] + 2 * j), s, p.first + j * p.step, 0,
                       rows, width,
                       pass == 0 ? static_cast<uint32_t>(outline) & 0x00FFFFFFu : p.colour,
                       pass == 0);
        }
      }
    }
    return;
  }

  platform::GlyphFont* font = Font(annotationSize_);
  const int size = std::clamp(annotationSize_, 1, kMaxSize);
  const int dibColumns = std::min(2 * width + 4, dibWidth_);
  ClearDib(2 * rows + 2, dibColumns);
  if (outline != -1) {
    const uint32_t colour = static_cast<uint32_t>(outline) & 0x00FFFFFFu;
    for (int i = 0; i < count; ++i) {
      const Placement& p = placed[static_cast<size_t>(i)];
      for (int j = 0; j < p.count; ++j)
        DrawGlyphCell(font, size, texts[i] + 2 * j, 2, 2 * (p.first + j * p.step) + 2, 2, colour);
    }
  }
  Reduce(to, rows, width, true);
  ClearDib(2 * rows + 2, dibColumns);
  for (int i = 0; i < count; ++i) {
    const Placement& p = placed[static_cast<size_t>(i)];
    for (int j = 0; j < p.count; ++j)
      DrawGlyphCell(font, size, texts[i] + 2 * j, 2, 2 * (p.first + j * p.step), 0, p.colour);
  }
  Reduce(to, rows, width, false);
  to->GetPixelBuffer()[0] = kFillColour;
}
