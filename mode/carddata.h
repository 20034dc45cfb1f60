// The card display data of the card system (mode 45): the card style table
// shared by every card, and the three records the card mode owns.
//
// - The style table (one per process) gives, per card status 0..9, a print
//   style and a picture column, plus the colour-add values and the
//   translucency percentage. A status outside 0..9 has style 0 and column 0.
// - A print style of 0 draws a cell with a plain transparent blit; any other
//   style draws by the status number itself: 1 colour-added, 2 translucent,
//   3 grey, anything else red (CardStyleBlt).
// - CCardPicture: one card, one picture per level ("sys\\<base>_<level+1>",
//   or "sys\\<base>" for a card with one level), cut into cells by column.
// - CCardPowerPrint: a row of power marks cut from "sys\\ta_cardPower".
// - CCardBarPrint: the bar types and their picture; nothing draws them.
//
// Both records read their keys from the card mode's settings list.
#pragma once

#include <memory>
#include <string>

class CNameList;
class CPicture;

// --- The card style table ---
inline constexpr int kCardStatusCount = 10;
// Setters ignore a status outside 0..9.
void SetCardPrintType(int status, int style);
void SetCardSeatTable(int status, int column);
void SetCardAddColor(int r, int g, int b);
void SetCardTransPercent(int percent);
// Getters answer 0 for a status outside 0..9.
int GetCardPrintType(int status);
int GetCardSeatTable(int status);
void GetCardAddColor(int* r, int* g, int* b);
int GetCardTransPercent();
// Back to the initial table (styles 0, 1, 2, 3, 4, 0..., columns 0,
// colour 64, 96, 32, percent 50).
void ResetCardStyleTable();

// How a cell is drawn: the print style, the colour added and the
// translucency.
struct CardStyle {
  int style = 0;
  int r = 0, g = 0, b = 0;
  int percent = 0;
};

// Draws the cell (srcX, srcY, w, h) of `picture` at (x, y) for `status` in
// the given style; positions and sizes in 64 bits, nothing drawn when the
// cell is empty or lies outside the int range.
void CardStyleBlt(CPicture* picture, long long x, long long y, long long srcX, long long srcY,
                  int w, int h, int status, const CardStyle& style);

class CCardPicture {
 public:
  // levelMinus1 0: one picture for every level.
  CCardPicture(const char* base, int cellWidth, int cellHeight, int levelMinus1);
  ~CCardPicture();
  CCardPicture(const CCardPicture&) = delete;
  CCardPicture& operator=(const CCardPicture&) = delete;

  // Loads the picture of `level`. The file is read only when a level other
  // than the last one tried is asked for (a failed level is not tried
  // again); -1 keeps what is loaded.
  void Load(int level);
  // Draws the status's cell at (x, y) in the status's style.
  void Print(int x, int y, int status, int level);

  int GetLoadedLevel() const { return loadedLevel_; }
  CPicture* GetPicture() const { return picture_.get(); }

 private:
  std::string base_;
  int cellWidth_;
  int cellHeight_;
  int levelMinus1_;
  int loadedLevel_ = -1;
  bool tried_ = false;
  std::unique_ptr<CPicture> picture_;
};

class CCardPowerPrint {
 public:
  explicit CCardPowerPrint(CNameList* list);
  ~CCardPowerPrint();
  CCardPowerPrint(const CCardPowerPrint&) = delete;
  CCardPowerPrint& operator=(const CCardPowerPrint&) = delete;

  // count marks for the card in that status and level.
  void Print(int x, int y, int count, int status, int level, int card);

  // The style and column group of a status (0 outside 0..9).
  int GetPrintType(int status) const;
  int GetSeatGroup(int status) const;
  CPicture* GetPicture() const { return picture_.get(); }

 private:
  int byCard_ = 0;
  int cardNumber_ = 1;
  int byLevel_ = 1;
  int levelMax_ = 1;
  int byStatus_ = 0;
  int printType_[kCardStatusCount] = {};
  int seatGroup_[kCardStatusCount] = {};
  int r_ = 0, g_ = 0, b_ = 0;
  int percent_ = 0;
  int printX_ = 10, printY_ = 10;
  int sizeX_ = 16, sizeY_ = 16;
  int nextX_ = 16, nextY_ = 0;
  std::unique_ptr<CPicture> picture_;
};

class CCardBarPrint {
 public:
  static constexpr int kMaxTypes = 64;

  explicit CCardBarPrint(CNameList* list);
  ~CCardBarPrint();
  CCardBarPrint(const CCardBarPrint&) = delete;
  CCardBarPrint& operator=(const CCardBarPrint&) = delete;

  int GetTate() const { return tate_; }
  int GetTypeNumber() const { return typeNumber_; }
  // Type 1..n: size and position (0 outside).
  int GetSizeX(int type) const;
  int GetSizeY(int type) const;
  int GetPrintX(int type) const;
  int GetPrintY(int type) const;
  CPicture* GetPicture() const { return picture_.get(); }

 private:
  struct Type {
    int sizeX, sizeY, printX, printY;
  };
  const Type* Find(int type) const;

  int tate_ = 0;
  int typeNumber_ = 1;
  Type types_[kMaxTypes] = {};
  std::unique_ptr<CPicture> picture_;
};

// The value of `key` in the list, or `def` when it is missing.
int CardKeyInt(CNameList* list, const char* key, int def);
// A value counted from 1 as an index from 0 (INT_MIN stays INT_MIN).
int CountedFromOne(int value);
