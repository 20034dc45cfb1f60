// CTextPrint: the text layout. It turns a CP932 text into lines of cells
// (expanding the '#' codes: names, replacement texts, colours, special
// glyphs, line breaks, readings and emphasis marks; single-byte characters
// become full-width cells in two-byte mode), hands every line to the glyph
// renderer and copies all of it, a range of its cells, a band of its rows or
// a soft-edged window of it to the screen. Lines break only at LF, the NUL
// and "#改"; a line holds at most 256 cells.
//
// Colours: r, g, b 0..255, where r -1 is 255, g -1 is r and b -1 is g.
// Spacing: extra pixels between cells. Pitch: from one line's top to the
// next, -1 for size + 4. Outline: a colour word R << 16 | G << 8 | B, or -1.
// The trailing int of Print and PrintMessage is accepted and ignored.
#pragma once

#include <cstdint>

#include "message/fontprint.h"
#include "message/textdebuglist.h"
#include "widget/textlineprinter.h"

class CTextPrint : public ITextLinePrinter {
 public:
  static constexpr int kMaxAnnotations = 256;
  // Characters an annotation or emphasis run may hold before its "］".
  static constexpr int kMaxAnnotationChars = 100;

  // font: the shared renderer (not owned; must outlive this object).
  // debugList: texts drawn into the renderer's drawing surface and traced
  // when a print call ends, then forgotten; null for none (not owned).
  explicit CTextPrint(CFontPrint* font, CTextDebugList* debugList = nullptr);
  ~CTextPrint() override;
  CTextPrint(const CTextPrint&) = delete;
  CTextPrint& operator=(const CTextPrint&) = delete;
  // Frees the annotation tables; safe to call twice.
  void Release();

  // The whole text with its top-left corner at (x, y).
  int Print(int x, int y, const char* text, int size, int r = -1, int g = -1, int b = -1,
            int spacing = 0, int pitch = -1, int outline = -1, int unused = 0);
  // The text input box's line: Print with every argument given.
  int PrintLine(int x, int y, const char* text, int size, int r, int g, int b, int spacing,
                int pitch, int outline, int last) override {
    return Print(x, y, text, size, r, g, b, spacing, pitch, outline, last);
  }
  // Only cells start .. start + count - 1 of every line; the cells of the
  // last line minus (start + count): above 0 while cells remain.
  int PrintMessage(int start, int count, int x, int y, const char* text, int size, int r, int g,
                   int b, int spacing = 0, int pitch = -1, int outline = -1, int unused = 0);
  // All cells, only rows clipTop .. clipTop + clipHeight - 1 of each line.
  int PrintClip(int clipTop, int clipHeight, int x, int y, const char* text, int size, int r, int g,
                int b, int spacing = 0, int pitch = -1, int outline = -1);
  // Visible only between screen columns left and right, the edges fading
  // over one font size.
  int PrintSoftClip(int left, int right, int x, int y, const char* text, int size, int r, int g,
                    int b, int spacing = 0, int pitch = -1, int outline = -1);
  // The layout core: cells start .. end - 1 of every line, rows clipTop ..
  // clipTop + clipHeight - 1 (clipTop -1: all rows). Needs a begun print.
  int PrintText(int start, int end, int x, int y, const char* text, int size, int r, int g, int b,
                int spacing, int pitch, int outline, int clipTop, int clipHeight);

  // The cells of the text's first line (names and special glyphs count,
  // annotations and emphasis runs up to "#］" do not).
  static int GetTextLength(const char* text);
  // The number of the code at `code` (the bytes after a '#': two in
  // two-byte mode, one in one-byte mode), or -1.
  static int GetCodeNumber(const char* code);
  static void SetExtraName(const char* text);
  // Slot 0..9; at most 32 bytes.
  static void SetReplaceText(int slot, const char* text);
  // At most 30 two-byte codes (60 bytes); "終" is appended.
  static void SetCodeList(const char* text);

  CFontPrint* GetFont() const { return font_; }
  // What the last line of the last call held (tests): its cells (in the
  // text state's line buffer), its annotation records.
  int GetLastLineCells() const { return lastLineCells_; }
  int GetLastAnnotationCount() const { return lastAnnotations_; }
  const AnnotationRecord* GetAnnotationRecords() const { return records_; }

 private:
  struct Layout;
  int Begin(int size, int start, int end, int x, int y, const char* text, int r, int g, int b,
            int spacing, int pitch, int outline, int clipTop, int clipHeight);

  // The debug list's texts into the renderer's drawing surface and the
  // debug output; the list is emptied after.
  void DrawDebugList();

  CFontPrint* font_;
  CTextDebugList* debugList_ = nullptr;
  CPicture* work_ = nullptr;
  AnnotationRecord* records_ = nullptr;
  const char** texts_ = nullptr;
  int softLeft_ = 0, softRight_ = 0;
  int softClip_ = 0;
  int lastLineCells_ = 0;
  int lastAnnotations_ = 0;
};
