// CNumberPrint: a non-negative integer drawn with a picture font in a fixed
// number of digit places, right- or left-aligned, with or without leading
// zeros. Glyph g of row r is the cell at (g * font width, r * font height):
// 0-9 are the digits, 11 the slash, further glyphs the font's symbols.
#pragma once

class CNameList;
class CPicture;

// A new picture loaded from "sys\\<name>" (a failed load is reported by the
// loader and leaves the picture empty); null only when memory runs out.
CPicture* NewSysPicture(const char* name);

class CNumberPrint {
 public:
  // Digit places are held to 1..kMaxKeta: 10^(keta - 1) must fit in 32 bits.
  static constexpr int kMaxKeta = 10;
  static constexpr int kFontWidthDefault = -9999;

  // The font is borrowed. nextX kFontWidthDefault (-9999) means the width.
  CNumberPrint(CPicture* font, int fontWidth, int fontHeight, int keta, int nextX,
               int upZeroFlag, int transFlag, int leftFlag);
  // Reads "<prefix>FontSizeX/Y", "Keta", "UpZeroFlag", "LeftFlag", "TransFlag",
  // "NextX" and the font name "filename<prefix>". With loadPicture the font is
  // loaded from "sys\\<name>" and owned; otherwise it is borrowed from the
  // system picture pool. Without the name key there is no font and nothing
  // is drawn.
  CNumberPrint(CNameList* list, const char* prefix, int loadPicture);
  ~CNumberPrint();
  CNumberPrint(const CNumberPrint&) = delete;
  CNumberPrint& operator=(const CNumberPrint&) = delete;

  // keta -1: the printer's own. Negative values draw nothing.
  void Print(int x, int y, int value, int keta = -1, int row = 0);
  void PrintChar(int x, int y, int glyph, int row = 0);
  void Release();

  void SetNextY(int nextY) { nextY_ = nextY; }
  CPicture* GetFont() const { return font_; }
  int GetKeta() const { return keta_; }
  int GetFontWidth() const { return fontWidth_; }
  int GetFontHeight() const { return fontHeight_; }
  int GetNextX() const { return nextX_; }

  static int ClampKeta(int keta);

 private:
  CPicture* font_ = nullptr;
  int fontWidth_ = 16, fontHeight_ = 16;
  int nextX_ = 16, nextY_ = 0;
  int keta_ = 2;
  int transFlag_ = 1;
  int leftFlag_ = 0;
  int upZeroFlag_ = 0;
  bool ownsFont_ = false;
};
