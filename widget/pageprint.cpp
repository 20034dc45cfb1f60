#include "widget/pageprint.h"

#include <new>

#include "graphics/picture.h"
#include "widget/listkeys.h"
#include "widget/numberprint.h"

namespace {

constexpr int kSlashGlyph = 11;

int Key(const CNameList* list, const char* name, int fallback) {
  return ReadListInt(list, "", name, fallback);
}

}  // namespace

CPagePrint::CPagePrint(CNameList* list, CPicture* backPicture)
    : backPicture_(backPicture) {
  pagePrintFlag_ = Key(list, "pagePrintFlag", 0);
  if (!pagePrintFlag_) return;
  pageUpZero_ = Key(list, "pageUpZeroPrintFlag", 0);
  keta_ = CNumberPrint::ClampKeta(Key(list, "pageKeta", 2));
  fontWidth_ = Key(list, "pageFontSizeX", 21);
  fontHeight_ = Key(list, "pageFontSizeY", 27);
  nextX_ = Key(list, "pageFontNextX", fontWidth_);
  pageX_ = Key(list, "pagePrintX", 0);
  pageY_ = Key(list, "pagePrintY", 0);
  font_.reset(NewSysPicture(ReadListString(list, "", "fileNamePageFont", "ta_font_sl3")));
  pagePrinter_.reset(new (std::nothrow) CNumberPrint(font_.get(), fontWidth_, fontHeight_, keta_,
                                                     nextX_, pageUpZero_, 1, 0));
  maxPrintFlag_ = Key(list, "pageMaxPrintFlag", 0);
  if (!maxPrintFlag_) return;
  maxUpZero_ = Key(list, "maxPageUpZeroPrintFlag", pageUpZero_);
  maxX_ = Key(list, "pageMaxPrintX", PlaceAt(pageX_, keta_ + 1, nextX_));
  maxY_ = Key(list, "pageMaxPrintY", pageY_);
  const int leftAlign = Key(list, "pageMaxLeftAlign", 0);
  maxPrinter_.reset(new (std::nothrow) CNumberPrint(font_.get(), fontWidth_, fontHeight_, keta_,
                                                    nextX_, maxUpZero_, 1, leftAlign));
  slashPrintFlag_ = Key(list, "slashPrintFlag", 0);
  if (!slashPrintFlag_) return;
  slashX_ = Key(list, "slashPrintX", PlaceAt(pageX_, keta_, nextX_));
  slashY_ = Key(list, "slashPrintY", pageY_);
}

CPagePrint::~CPagePrint() { Release(); }

void CPagePrint::Release() {
  pagePrinter_.reset();
  maxPrinter_.reset();
  font_.reset();
}

void CPagePrint::Restore(int x, int y, int w, int h) {
  if (backPicture_) backPicture_->Blt(x, y, x, y, w, h, 0);
}

void CPagePrint::Print(int page, int pageCount) {
  if (!pagePrintFlag_ || !pagePrinter_) return;
  Restore(pageX_, pageY_, PlaceAt(0, keta_, nextX_), fontHeight_);
  pagePrinter_->Print(pageX_, pageY_, page, keta_, 0);
  if (!maxPrintFlag_ || !maxPrinter_) return;
  Restore(maxX_, maxY_, PlaceAt(0, keta_, nextX_), fontHeight_);
  maxPrinter_->Print(maxX_, maxY_, pageCount, keta_, 0);
  if (!slashPrintFlag_) return;
  Restore(slashX_, slashY_, fontWidth_, fontHeight_);
  pagePrinter_->PrintChar(slashX_, slashY_, kSlashGlyph, 0);
}
