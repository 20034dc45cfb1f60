// CFontPrint: the one glyph renderer. It renders a line of character cells
// (prepared by the text layout) at twice the screen resolution through the
// host's glyph rasteriser, reduces it 2 x 2 into colours with five coverage
// levels over an optional outline or shadow, keeps the result in the
// rendered-line cache and copies parts of it to the screen buffer. Special
// glyphs come from "sys\spfont24", and text of the user font's size from
// the user font ("mok\<name>.mft").
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "message/textlayer.h"
#include "platform/glyphs.h"

class CPicture;
class CSetupList;
class CUserFont;

// One reading annotation or emphasis run of a line.
struct AnnotationRecord {
  int baseCount = 0;  // base cells covered
  int length = 0;     // annotation characters; -1: emphasis marks, one per base cell
  int firstCell = 0;  // first base cell within the line
};

class CFontPrint {
 public:
  static constexpr int kWorkHeight = 72;
  static constexpr int kDibRows = 144;
  static constexpr int kMaxSize = 72;
  static constexpr int kSpecialCellWidth = 50;
  static constexpr int kSpecialCellHeight = 48;
  // The fill colour of uncovered work pixels (R,G,B 192,224,128).
  static constexpr uint32_t kFillColour = 0x00C0E080;
  // A cleared DIB pixel: no glyph colour (0x00RRGGBB) can take it, so
  // every colour counts as ink, including the old cleared grey.
  static constexpr uint32_t kEmpty = 0xFF000000;
  // A cell whose first byte is this holds a special glyph number.
  static constexpr unsigned char kSpecialMarker = 0x80;

  // A cell colour (R | G << 8 | B << 16) as a pixel (0x00RRGGBB).
  static constexpr uint32_t FromColorRef(uint32_t c) {
    return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
  }

  // face: overrides the configured face when not null (the game passes null).
  explicit CFontPrint(const char* face = nullptr);
  ~CFontPrint();
  CFontPrint(const CFontPrint&) = delete;
  CFontPrint& operator=(const CFontPrint&) = delete;
  void Release();

  void BeginPrint(int size);
  void EndPrint();
  bool IsPrinting() const { return busy_; }

  // Renders the line (or finds it in the cache) and makes it the current
  // line: its height << 16 | width, or 0 without a begun print. cells: n
  // cells of 2 bytes (two-byte mode) or 1 byte; cellColours: one colour per
  // cell as R | G << 8 | B << 16, or null; outline R << 16 | G << 8 | B, or -1.
  int RenderLine(const LineKey& key, const char* cells, int r, int g, int b, int spacing,
                 int outline, const uint32_t* cellColours, int annotationCount, int cellCount,
                 const AnnotationRecord* records, const char* const* texts);

  void DrawLine(int x, int y, int srcX, int srcY, int width, int height);
  void DrawLineSoft(int left, int right, int x, int y, int srcX, int srcY, int width, int height);
  void DrawAnnotations(int x, int y, int srcX, int srcY, int width, int height);
  void DrawAnnotationsSoft(int left, int right, int x, int y, int srcX, int srcY, int width,
                           int height);

  // The double-size drawing surface (for the debug list).
  platform::GlyphSurface GetDrawSurface();
  // CP932 text in one colour (0x00RRGGBB) with the current print's font
  // into the drawing surface, its top-left at (x, y): a half-width
  // character advances by the font size, a double-byte one by twice it.
  // Nothing without a begun print.
  void DrawSurfaceText(int x, int y, const std::string& text, uint32_t colour);
  CPicture* GetWorkPicture() const { return work_.get(); }
  CPicture* GetAnnotationWorkPicture() const { return annotationWork_.get(); }
  int GetAnnotationSize() const { return annotationSize_; }
  int GetWorkHeight() const { return kWorkHeight; }
  const std::string& GetFaceName() const { return face_; }
  CTextLayer* GetTextLayer() const { return layer_.get(); }
  int GetCurrentLine() const { return current_; }
  // Lines rasterised so far (not served by the cache), for tests.
  int GetRenderCount() const { return renderCount_; }

  void LoadUserFont(const char* name);
  void ClearTextLayer();
  void LoadExtraGlyphs(const char* name);

 private:
  platform::GlyphFont* Font(int size);
  void ClearDib(int rows, int columns);
  // Reduces rows x columns of output pixels from the DIB into `to`: with
  // fill, every pixel is written (uncovered ones with the fill colour and
  // coverage 0); otherwise only covered pixels. colour: the one colour of
  // every inked DIB pixel, or kEmpty when they may differ.
  void Reduce(CPicture* to, int rows, int columns, bool fill, uint32_t colour = kEmpty);
  void DrawGlyphCell(platform::GlyphFont* font, int size, const char* cell, int bytes, int x,
                     int y, uint32_t colour);
  void DrawSpecial(int glyph, int size, int x, int y, uint32_t colour);
  void PutUserGlyph(CPicture* to, const uint8_t* glyph, int size, int x, int y, int rows,
                    int columns, uint32_t colour, bool outline);
  void RenderCells(const char* cells, int n, int advance, int s, int outline, uint32_t baseColour,
                   const uint32_t* cellColours, bool userMode, int outWidth);
  void RenderAnnotations(int n, int s, int spacing, int outline, uint32_t baseColour,
                         const uint32_t* cellColours, int count, const AnnotationRecord* records,
                         const char* const* texts, bool userMode);
  bool ClipToLine(int* srcX, int* srcY, int* width, int* height) const;
  // A rectangle of the current line, or of its annotation row, to the
  // screen; soft-edged within window[0] .. window[1] when window is given.
  void DrawCurrent(bool annotation, const int* window, int x, int y, int srcX, int srcY, int width,
                   int height);

  int screenWidth_ = 0;
  std::vector<uint32_t> dib_;  // 2 x screen width by 144 rows
  int dibWidth_ = 0;
  std::unique_ptr<CPicture> work_;
  std::unique_ptr<CPicture> annotationWork_;
  std::unique_ptr<CPicture> special_;
  std::unique_ptr<CPicture> extra_;
  std::shared_ptr<platform::GlyphService> glyphs_;
  std::unique_ptr<platform::GlyphFont> fonts_[kMaxSize + 1];
  bool busy_ = false;
  int sizeIndex_ = -1;
  std::unique_ptr<CUserFont> userFont_;
  int userFontSize_ = 0;
  std::string face_;
  std::string fallbackFace_;
  std::unique_ptr<CTextLayer> layer_;
  int current_ = -1;
  int currentSize_ = 0;
  int annotationSize_ = 0;
  int renderCount_ = 0;
};

// Loads the user fonts the list "game" names: "userFont%dFileName" for 1 ..
// "userFontNumber", each non-empty one in turn (the last one is used).
void LoadUserFonts(const CSetupList& game, CFontPrint* font);
