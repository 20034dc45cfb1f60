// CPagePrint: the page display of list screens: the current page, and
// optionally a slash and the page count, in one picture font read from the
// screen's settings list ("pagePrintFlag", "pageKeta", "fileNamePageFont" ...).
#pragma once

#include <memory>

class CNameList;
class CPicture;
class CNumberPrint;

class CPagePrint {
 public:
  // backPicture (borrowed, may be null) restores the areas before drawing.
  CPagePrint(CNameList* list, CPicture* backPicture);
  ~CPagePrint();
  CPagePrint(const CPagePrint&) = delete;
  CPagePrint& operator=(const CPagePrint&) = delete;

  // Draws exactly the values given; the caller decides where pages start.
  void Print(int page, int pageCount);
  void Release();

 private:
  void Restore(int x, int y, int w, int h);

  int keta_ = 2;
  std::unique_ptr<CPicture> font_;
  std::unique_ptr<CNumberPrint> pagePrinter_, maxPrinter_;
  int pagePrintFlag_ = 0, maxPrintFlag_ = 0, slashPrintFlag_ = 0;
  int pageX_ = 0, pageY_ = 0;
  int fontWidth_ = 21, fontHeight_ = 27, nextX_ = 21;
  int maxX_ = 0, maxY_ = 0;
  int slashX_ = 0, slashY_ = 0;
  CPicture* backPicture_;
  int pageUpZero_ = 0, maxUpZero_ = 0;
};
