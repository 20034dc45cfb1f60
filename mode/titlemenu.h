// CTitleMenu: the title's menu of picture buttons, one menu (a row of basic
// plus extra buttons) shown at a time. It reads the menu keys of the
// title's list ("basicButtonNumber", "extModeNumber", "extButtonNumber",
// the special modes, the two variable names, the cell flags
// "menu%dButton%dExistFlag" / "menu%dButton%dEnableFlag" and the button
// setups "menu%dbutton%d") and keeps one button group per menu.
//
// It stands in for the widgets' shared menu panel until that panel exists;
// its operations carry the panel's names, so the title moves over to the
// panel without other changes. Each menu is one button group: a button
// inherits its setup from the button before it in the same menu, so the
// first button of every menu names its own size. Its appear animation knows
// the fade (type bit 0) and the slide from the delta (type / 2 == 1); other
// movements show the buttons in place.
#pragma once

#include <memory>
#include <vector>

#include "game/commongeneral.h"

class CCommonButtonGroup;
class CInputStatus;
class CNameList;
class CPicture;

class CTitleMenu {
 public:
  // Counts from the list are held to 0..kMaxCount.
  static constexpr int kMaxCount = 64;

  CTitleMenu(const CCommonGeneral& mode, int defaultBasicNumber, CPicture* backPicture);
  ~CTitleMenu();
  CTitleMenu(const CTitleMenu&) = delete;
  CTitleMenu& operator=(const CTitleMenu&) = delete;

  int GetBasicButtonNumber() const { return basic_; }
  int GetExtButtonNumber() const { return ext_; }
  int GetExtModeNumber() const { return extModes_; }
  int GetColumns() const { return basic_ + ext_; }
  const char* GetExtModeCheckVarName() const { return checkVarName_; }
  const char* GetExtModeReturnVarName() const { return returnVarName_; }
  // "basicButtonSpecialMode%d" of basic button i (0-based), 0 outside.
  int GetBasicButtonSpecialMode(int i) const;
  // "extButtonSpecialMode%d" of extra button i (0-based), 0 outside.
  int GetExtButtonSpecialMode(int i) const;

  // The shown menu, held to 0..extModeNumber; Init applies it.
  void SetMenu(int menu);
  int GetMenu() const { return menu_; }
  // Applies the cell flags of the shown menu and initialises its buttons.
  void Init();
  // The shown menu's buttons: a ButtonCode numbered with the column. The
  // flags are not used.
  int32_t Calcu(const CInputStatus* input, int flags);
  void Print(int whole);
  // One frame of the appear animation at time of timeMax.
  void PrintAnime(int time, int timeMax, int type, int dx, int dy);

  // Column c of a menu (-1: every menu for SetPicture).
  void SetPicture(int column, CPicture* picture, int menu);
  CPicture* GetPicture(int column, int menu) const;
  const char* GetFilename(int column, int menu) const;
  // The cell's flags as the keys give them (0 outside the grid).
  int GetExist(int column, int menu) const;
  int GetEnable(int column, int menu) const;
  CCommonButtonGroup* GetGroup(int menu) const;

 private:
  int Cell(int column, int menu) const { return column + menu * GetColumns(); }
  bool InGrid(int column, int menu) const {
    return column >= 0 && column < GetColumns() && menu >= 0 && menu <= extModes_;
  }

  int basic_ = 0, ext_ = 0, extModes_ = 0;
  const char* checkVarName_ = nullptr;
  const char* returnVarName_ = nullptr;
  std::vector<int> basicSpecial_, extSpecial_;
  std::vector<int> exist_, enable_;
  std::vector<std::unique_ptr<CCommonButtonGroup>> menus_;
  int menu_ = 0;
};
