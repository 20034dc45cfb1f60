#include "mode/carddata.h"

#include <algorithm>
#include <climits>
#include <string>

#include "graphics/picture.h"
#include "setup/setuplist.h"

namespace {

struct StyleTable {
  int printType[kCardStatusCount];
  int seat[kCardStatusCount];
  int r, g, b;
  int percent;
};

constexpr StyleTable kInitialTable = {{0, 1, 2, 3, 4, 0, 0, 0, 0, 0}, {}, 64, 96, 32, 50};

StyleTable& Table() {
  static StyleTable table = kInitialTable;
  return table;
}

bool ValidStatus(int status) { return status >= 0 && status < kCardStatusCount; }

bool FitsInt(long long v) { return v >= INT_MIN && v <= INT_MAX; }

std::string Numbered(const char* key, int n) { return key + std::to_string(n); }

const char* CardKeyString(CNameList* list, const char* key, const char* def) {
  CSetupList setup;
  setup.AttachList(list);
  const char* value = def;
  setup.GetSetupString(&value, key);
  return value ? value : def;
}

bool GetKey(CNameList* list, const char* key, int* out) {
  CSetupList setup;
  setup.AttachList(list);
  return setup.GetSetupInt(out, key) != 0;
}

std::unique_ptr<CPicture> LoadSysPicture(CNameList* list, const char* key, const char* def) {
  auto picture = std::make_unique<CPicture>();
  picture->LoadDWQ((std::string("sys\\") + CardKeyString(list, key, def)).c_str());
  return picture;
}

}  // namespace

// --- The card style table ---

void SetCardPrintType(int status, int style) {
  if (ValidStatus(status)) Table().printType[status] = style;
}

void SetCardSeatTable(int status, int column) {
  if (ValidStatus(status)) Table().seat[status] = column;
}

void SetCardAddColor(int r, int g, int b) {
  Table().r = r;
  Table().g = g;
  Table().b = b;
}

void SetCardTransPercent(int percent) { Table().percent = percent; }

int GetCardPrintType(int status) { return ValidStatus(status) ? Table().printType[status] : 0; }

int GetCardSeatTable(int status) { return ValidStatus(status) ? Table().seat[status] : 0; }

void GetCardAddColor(int* r, int* g, int* b) {
  *r = Table().r;
  *g = Table().g;
  *b = Table().b;
}

int GetCardTransPercent() { return Table().percent; }

void ResetCardStyleTable() { Table() = kInitialTable; }

int CardKeyInt(CNameList* list, const char* key, int def) {
  int value = def;
  GetKey(list, key, &value);
  return value;
}

int CountedFromOne(int value) { return value > INT_MIN ? value - 1 : INT_MIN; }

void CardStyleBlt(CPicture* picture, long long x, long long y, long long srcX, long long srcY,
                  int w, int h, int status, const CardStyle& style) {
  if (!picture || w < 1 || h < 1) return;
  if (!FitsInt(x) || !FitsInt(y) || !FitsInt(srcX) || !FitsInt(srcY)) return;
  const int dx = static_cast<int>(x), dy = static_cast<int>(y);
  const int sx = static_cast<int>(srcX), sy = static_cast<int>(srcY);
  if (style.style == 0) {
    picture->Blt(dx, dy, sx, sy, w, h, 1);
    return;
  }
  switch (status) {
    case 1:
      picture->ColorAddBlt(dx, dy, sx, sy, w, h, 1, style.r, style.g, style.b, 100);
      break;
    case 2:
      picture->TransLucentBlt3(dx, dy, sx, sy, w, h, style.percent);
      break;
    case 3:
      picture->GreyBlt(dx, dy, sx, sy, w, h, 1);
      break;
    default:
      picture->RedBlt(dx, dy, sx, sy, w, h, 1);
      break;
  }
}

// --- CCardPicture ---

CCardPicture::CCardPicture(const char* base, int cellWidth, int cellHeight, int levelMinus1)
    : base_(base ? base : ""),
      cellWidth_(cellWidth),
      cellHeight_(cellHeight),
      levelMinus1_(levelMinus1),
      picture_(std::make_unique<CPicture>()) {}

CCardPicture::~CCardPicture() = default;

void CCardPicture::Load(int level) {
  if (level == -1 && tried_) return;
  // The same level again: its file was read (or failed) already.
  if (tried_ && level == loadedLevel_) return;
  std::string name = "sys\\" + base_;
  if (levelMinus1_ != 0) {
    name += '_';
    name += std::to_string(static_cast<long long>(level) + 1);
  }
  picture_->LoadDWQ(name.c_str());
  loadedLevel_ = level;
  tried_ = true;
}

void CCardPicture::Print(int x, int y, int status, int level) {
  Load(level);
  CardStyle style;
  style.style = GetCardPrintType(status);
  GetCardAddColor(&style.r, &style.g, &style.b);
  style.percent = GetCardTransPercent();
  const long long srcX = static_cast<long long>(GetCardSeatTable(status)) * cellWidth_;
  CardStyleBlt(picture_.get(), x, y, srcX, 0, cellWidth_, cellHeight_, status, style);
}

// --- CCardPowerPrint ---

CCardPowerPrint::CCardPowerPrint(CNameList* list) {
  byCard_ = CardKeyInt(list, "cardPowerPicByCard", 0);
  if (byCard_) cardNumber_ = std::clamp(CardKeyInt(list, "cardNumber", 1), 0, 32);
  byLevel_ = CardKeyInt(list, "cardPowerPicByLevel", 1);
  levelMax_ = std::max(CardKeyInt(list, "cardLevelMax", 1), 1);
  byStatus_ = CardKeyInt(list, "cardPowerPicByStatus", 0);
  for (int s = 0; s < kCardStatusCount; ++s) {
    // A missing key keeps the table's value.
    printType_[s] = GetCardPrintType(s);
    int v = 0;
    if (GetKey(list, Numbered("cardPowerPrintType", s + 1).c_str(), &v))
      printType_[s] = CountedFromOne(v);
    if (byStatus_) {
      seatGroup_[s] = GetCardSeatTable(s);
      if (GetKey(list, Numbered("cardPowerSeatTable", s + 1).c_str(), &v))
        seatGroup_[s] = CountedFromOne(v);
    }
  }
  GetCardAddColor(&r_, &g_, &b_);
  r_ = CardKeyInt(list, "cardPowerAddColorR", r_);
  g_ = CardKeyInt(list, "cardPowerAddColorG", g_);
  b_ = CardKeyInt(list, "cardPowerAddColorB", b_);
  percent_ = CardKeyInt(list, "cardPowerTransPercent", GetCardTransPercent());
  printX_ = CardKeyInt(list, "cardPowerPrintX", 10);
  printY_ = CardKeyInt(list, "cardPowerPrintY", 10);
  sizeX_ = CardKeyInt(list, "cardPowerSizeX", 16);
  sizeY_ = CardKeyInt(list, "cardPowerSizeY", 16);
  nextX_ = CardKeyInt(list, "cardPowerNextX", sizeX_);
  nextY_ = CardKeyInt(list, "cardPowerNextY", 0);
  picture_ = LoadSysPicture(list, "filenamecardPowerPic", "ta_cardPower");
}

CCardPowerPrint::~CCardPowerPrint() = default;

int CCardPowerPrint::GetPrintType(int status) const {
  return ValidStatus(status) ? printType_[status] : 0;
}

int CCardPowerPrint::GetSeatGroup(int status) const {
  return ValidStatus(status) ? seatGroup_[status] : 0;
}

void CCardPowerPrint::Print(int x, int y, int count, int status, int level, int card) {
  if (sizeX_ < 1 || sizeY_ < 1) return;
  const CardStyle style{GetPrintType(status), r_, g_, b_, percent_};
  long long column = static_cast<long long>(GetSeatGroup(status)) * cardNumber_;
  if (byCard_) column += card;
  const long long srcX = column * sizeX_;
  const long long srcY = byLevel_ ? static_cast<long long>(level) * sizeY_ : 0;
  for (int i = 0; i < count; ++i) {
    const long long mx = static_cast<long long>(x) + printX_ + static_cast<long long>(i) * nextX_;
    const long long my = static_cast<long long>(y) + printY_ + static_cast<long long>(i) * nextY_;
    CardStyleBlt(picture_.get(), mx, my, srcX, srcY, sizeX_, sizeY_, status, style);
  }
}

// --- CCardBarPrint ---

CCardBarPrint::CCardBarPrint(CNameList* list) {
  tate_ = CardKeyInt(list, "cardBarTate", 0);
  picture_ = LoadSysPicture(list, "filenameCardBar", "ta_cardBar");
  typeNumber_ = std::clamp(CardKeyInt(list, "cardBarTypeNumber", 1), 1, kMaxTypes);
  Type before{CardKeyInt(list, "cardBarSizeX", 100), CardKeyInt(list, "cardBarSizeY", 30),
              CardKeyInt(list, "cardBarPrintX", 0), CardKeyInt(list, "cardBarPrintY", 0)};
  for (int t = 1; t <= typeNumber_; ++t) {
    Type& type = types_[t - 1];
    type.sizeX = CardKeyInt(list, Numbered("cardBarSizeX", t).c_str(), before.sizeX);
    type.sizeY = CardKeyInt(list, Numbered("cardBarSizeY", t).c_str(), before.sizeY);
    type.printX = CardKeyInt(list, Numbered("cardBarPrintX", t).c_str(), before.printX);
    type.printY = CardKeyInt(list, Numbered("cardBarPrintY", t).c_str(), before.printY);
    before = type;
  }
}

CCardBarPrint::~CCardBarPrint() = default;

const CCardBarPrint::Type* CCardBarPrint::Find(int type) const {
  return type >= 1 && type <= typeNumber_ ? &types_[type - 1] : nullptr;
}

int CCardBarPrint::GetSizeX(int type) const { return Find(type) ? Find(type)->sizeX : 0; }
int CCardBarPrint::GetSizeY(int type) const { return Find(type) ? Find(type)->sizeY : 0; }
int CCardBarPrint::GetPrintX(int type) const { return Find(type) ? Find(type)->printX : 0; }
int CCardBarPrint::GetPrintY(int type) const { return Find(type) ? Find(type)->printY : 0; }
