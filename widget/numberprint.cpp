#include "widget/numberprint.h"

#include <cstdio>
#include <new>

#include "graphics/picture.h"
#include "graphics/systempicture.h"
#include "widget/listkeys.h"

namespace {

int PowerOfTen(int n) {
  int p = 1;
  for (int i = 0; i < n; ++i) p *= 10;
  return p;
}

}  // namespace

CPicture* NewSysPicture(const char* name) {
  auto* picture = new (std::nothrow) CPicture();
  if (!picture) return nullptr;
  char path[300];
  std::snprintf(path, sizeof path, "sys\\%.*s", 250, name ? name : "");
  picture->LoadDWQ(path);
  return picture;
}

int CNumberPrint::ClampKeta(int keta) {
  if (keta < 1) return 1;
  return keta > kMaxKeta ? kMaxKeta : keta;
}

CNumberPrint::CNumberPrint(CPicture* font, int fontWidth, int fontHeight, int keta, int nextX,
                           int upZeroFlag, int transFlag, int leftFlag)
    : font_(font),
      fontWidth_(fontWidth),
      fontHeight_(fontHeight),
      nextX_(nextX == kFontWidthDefault ? fontWidth : nextX),
      keta_(ClampKeta(keta)),
      transFlag_(transFlag),
      leftFlag_(leftFlag),
      upZeroFlag_(upZeroFlag) {}

CNumberPrint::CNumberPrint(CNameList* list, const char* prefix, int loadPicture) {
  if (!prefix) prefix = "";
  fontWidth_ = ReadListInt(list, prefix, "FontSizeX", 16);
  fontHeight_ = ReadListInt(list, prefix, "FontSizeY", 16);
  keta_ = ClampKeta(ReadListInt(list, prefix, "Keta", 2));
  upZeroFlag_ = ReadListInt(list, prefix, "UpZeroFlag", 0);
  leftFlag_ = ReadListInt(list, prefix, "LeftFlag", 0);
  transFlag_ = ReadListInt(list, prefix, "TransFlag", 1);
  nextX_ = ReadListInt(list, prefix, "NextX", fontWidth_);
  // The name key is required: without it there is no font to draw with.
  const char* name = ReadListString(list, "filename", prefix, nullptr);
  if (!name) return;
  if (loadPicture) {
    font_ = NewSysPicture(name);
    ownsFont_ = font_ != nullptr;
  } else {
    font_ = LoadSystemPicture(name, 0);
  }
}

CNumberPrint::~CNumberPrint() { Release(); }

void CNumberPrint::Release() {
  if (ownsFont_) delete font_;
  ownsFont_ = false;
  font_ = nullptr;
}

void CNumberPrint::PrintChar(int x, int y, int glyph, int row) {
  if (!font_) return;
  font_->Blt(x, y, PlaceAt(0, glyph, fontWidth_), PlaceAt(0, row, fontHeight_), fontWidth_,
             fontHeight_, transFlag_);
}

void CNumberPrint::Print(int x, int y, int value, int keta, int row) {
  if (value < 0 || !font_) return;
  const int n = keta == -1 ? keta_ : ClampKeta(keta);
  if (!leftFlag_) {
    for (int place = n - 1; place >= 0; --place) {
      PrintChar(PlaceAt(x, place, nextX_), PlaceAt(y, place, nextY_), value % 10, row);
      value /= 10;
      if (value == 0 && !upZeroFlag_) break;
    }
    return;
  }
  // Higher digits than the places hold are dropped, as on the right.
  if (n < kMaxKeta) value %= PowerOfTen(n);
  int p = PowerOfTen(n - 1);
  int drawn = 0;
  for (int place = 0; place < n; ++place) {
    const int digit = value / p;
    if (digit != 0 || place == n - 1 || drawn || upZeroFlag_) {
      PrintChar(PlaceAt(x, drawn, nextX_), PlaceAt(y, drawn, nextY_), digit, row);
      ++drawn;
    }
    value %= p;
    p /= 10;
  }
}
