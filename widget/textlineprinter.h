// The one printing operation the text input box needs. The game's text
// printer (message/) implements it; tests pass a recording printer.
#pragma once

class ITextLinePrinter {
 public:
  virtual ~ITextLinePrinter() = default;
  // A CP932 line at (x, y): glyph size, colour (r -1 = 255, g -1 = r,
  // b -1 = g), letter spacing, line pitch (-1: size + 4), outline (-1: none).
  virtual int PrintLine(int x, int y, const char* text, int size, int r, int g, int b,
                        int spacing, int pitch, int outline, int last) = 0;
};
