// The main choices of the title, extras and system menus: a grid of
// picture buttons of which one row (a menu) is shown at a time. Menu 1
// holds the basic buttons; with extension modes further menus show the
// same columns plus extension buttons. CMenuButtonSetup reads the grid,
// its cell flags and cell setups from the screen's settings list;
// CMenuButtonPanel makes the buttons, applies the screen's per-cell
// overrides, calculates and draws the current menu and plays its appear
// animation.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class CCommonButton;
class CCommonButtonSetup;
class CInputStatus;
class CNameList;
class CPicture;
class CSetupList;

class CMenuButtonSetup {
 public:
  // Button numbers have 7 bits, so a menu holds at most 128 columns; a grid
  // of more cells than this is not made.
  static constexpr int kMaxColumns = 128;
  static constexpr int kMaxCells = 4096;

  // Counts below 0 count as 0; a grid that cannot be made has no columns.
  CMenuButtonSetup(CNameList* list, int defaultBasicNumber);
  virtual ~CMenuButtonSetup();
  CMenuButtonSetup(const CMenuButtonSetup&) = delete;
  CMenuButtonSetup& operator=(const CMenuButtonSetup&) = delete;
  virtual void Release();

  // 0 outside the grid.
  int GetExist(int column, int menu) const;
  int GetEnable(int column, int menu) const;
  // 0 outside 0..basic count - 1, or without extension modes.
  int GetBasicButtonSpecialMode(int i) const;
  int GetExtButtonSpecialMode(int i) const;
  // Null outside the grid.
  CCommonButtonSetup* GetSetup(int column, int menu) const;

  int GetBasicButtonNumber() const { return basic_; }
  int GetExtButtonNumber() const { return ext_; }
  int GetColumns() const { return columns_; }
  int GetExtModeNumber() const { return extModes_; }
  int GetMenus() const { return extModes_ + 1; }
  const char* GetExtModeCheckVarName() const { return checkVarName_; }
  const char* GetExtModeReturnVarName() const { return returnVarName_; }
  int GetMakeSetupsFlag() const { return makeSetups_; }
  int GetAnimeAdjustFlag() const { return animeAdjust_; }
  int GetFirstSizeX() const { return firstSizeX_; }
  int GetFirstSizeY() const { return firstSizeY_; }

 private:
  int Cell(int column, int menu) const;
  void ReadCellFlags();
  void ReadCellSetups(CNameList* list);

  std::unique_ptr<CSetupList> setupList_;
  int firstSizeX_ = 16, firstSizeY_ = 16;
  int nextX_ = 0, nextY_ = 16;
  int basic_ = 0, ext_ = 0, columns_ = 0, extModes_ = 0;
  const char* checkVarName_ = nullptr;
  const char* returnVarName_ = nullptr;
  std::vector<int> exist_, enable_;
  std::vector<int> extSpecial_, basicSpecial_;
  int makeSetups_ = 1;
  std::vector<std::unique_ptr<CCommonButtonSetup>> setups_;
  int animeAdjust_ = 0;
};

class CMenuButtonPanel {
 public:
  // One button per cell from its setup; every button gets the back picture
  // when one is given. Overrides all 1, menu 0.
  CMenuButtonPanel(CMenuButtonSetup* setup, CPicture* backPicture);
  virtual ~CMenuButtonPanel();
  CMenuButtonPanel(const CMenuButtonPanel&) = delete;
  CMenuButtonPanel& operator=(const CMenuButtonPanel&) = delete;
  virtual void Release();

  // Held to the menus there are; Init follows.
  void SetMenu(int m);
  int GetMenu() const { return menu_; }
  // Applies the cell flags and the overrides of the current menu and starts
  // its buttons; clears the latch.
  void Init();
  // -1 while disabled; the second argument is not used.
  int32_t Calcu(const CInputStatus* input, int unused = 0);
  // A press latches its column (returned without a number); a decision is
  // numbered with the column. The latch lasts until Init.
  int32_t CalcuButton(const CInputStatus* input);
  void Print(int unused = 0);
  // The appear animation of the current menu at `time` of `timeMax`: bit 0
  // of type fades in, type / 2 picks slide (0), fly from turned directions
  // (1, 2), zoom (3 both ways, 4 vertically, 5 horizontally) or a staggered
  // wipe (6-11, wipe type / 2 - 6).
  void PrintAnime(int time, int timeMax, int type, int dx, int dy);
  // Button i starts at i / (2n + 1) of the time. Wipes: 0 from the top, 1
  // from the bottom, 2 from the left, 3 from the right, 4 and 5 opening
  // from the horizontal and vertical centre line.
  void PrintWipeAnime(int time, int timeMax, int wipe);

  // Per column and menu (-1: every menu); a column or menu outside the grid
  // does nothing, or answers null.
  void SetCancelButton(int column);
  void SetExist(int column, int flag, int menu);
  void SetEnable(int column, int flag, int menu);
  void SetPicture(int column, CPicture* picture, int menu);
  CPicture* GetPicture(int column, int menu) const;
  const char* GetFilename(int column, int menu) const;
  CCommonButton* GetButton(int column, int menu) const;

  const char* GetExtModeCheckVarName() const;
  const char* GetExtModeReturnVarName() const;
  // The panel's enable flag (the setup's make-setups flag at first).
  int GetMenuCount() const { return enable_; }
  void SetPanelEnable(int flag) { enable_ = flag; }
  int GetColumns() const { return columns_; }

 private:
  // The cells a per-menu operation covers: one menu, or all for -1.
  template <typename F>
  void ForCells(int column, int menu, F f);
  // Resets the animations of the current menu's buttons.
  void ResetMenuAnime();

  CMenuButtonSetup* setup_;
  std::vector<std::unique_ptr<CCommonButton>> buttons_;
  int basic_ = 0, ext_ = 0, columns_ = 0, extModes_ = 0;
  std::vector<int> existOverride_, enableOverride_;
  int latched_ = 0;
  int latchedColumn_ = -1;
  int enable_ = 1;
  int menu_ = 0;
};
