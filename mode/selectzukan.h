// CCommonSelectZukan: mode 24, the picture book (settings list
// "selectzukan"; an extra mode, on with "selectzukanIsDefault"). A grid of
// item pictures cut from one seat picture; only the items the story made
// appear (the script function "zukanon", bits of the appear variables, 30
// items a variable) are drawn and can be chosen. A chosen item's number
// (from 1) goes into the return variable and the back script shows its
// page; any click there returns to the grid.
#pragma once

#include <memory>
#include <vector>

#include "modebase/commongeneral.h"
#include "modebase/modenumbers.h"

class CAnimePart;
class CPicture;

class CCommonSelectZukan : public CCommonGeneral {
 public:
  static constexpr int kModeNumber = modenumber::kSelectZukan;
  static constexpr int kItemsPerVar = 30;
  // No game has more variables than this to hold items in.
  static constexpr int kMaxItems = kItemsPerVar * 1000;

  explicit CCommonSelectZukan(const GameRoles& game);
  ~CCommonSelectZukan() override;

  int Calcu() override;
  int Print() override;
  int Init() override;
  void BeforeInit() override;
  int Function(int type, int count, const int* args) override;
  virtual void Release();

  // For tests.
  int GetItemCount() const { return number_; }
  int GetVarCount() const { return static_cast<int>(appearVars_.size()); }
  int GetAppearVar(int w) const { return w >= 0 && w < GetVarCount() ? appearVars_[static_cast<size_t>(w)] : -1; }
  int GetSeatColumns() const { return seatColumns_; }
  int GetChosen() const { return chosen_; }
  int GetHovered() const { return hovered_; }
  // Item i (from 0) has appeared, by the values read at entry.
  bool HasAppeared(int i) const;
  // The item at (x, y) that can be chosen, -1 none.
  int HitTest(int x, int y) const;

 private:
  void ReturnToGrid();

  std::vector<int> appearVars_, appearValues_;
  int returnVar_ = -1;
  int number_ = 1;
  int chosen_ = -1, hovered_ = -1, prevHovered_ = -1;
  int printX_ = 0, printY_ = 0, nextX_ = 16, nextY_ = 16, sizeX_ = 16, sizeY_ = 16;
  int numberX_ = 5, numberY_ = 4;
  int seatColumns_ = 0, seatRows_ = 0;
  const char* seatName_ = nullptr;
  std::unique_ptr<CPicture> seat_;
  std::unique_ptr<CAnimePart> cursor_;
};
