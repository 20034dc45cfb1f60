// CCommonLoadSave: the common ground of the save screen (mode 6) and the
// load screen (mode 5). It shows one page of slot displays in a grid, pages
// with the back button and up/down arrows or with a row of tabs, highlights
// the slot under the mouse, lets a chosen slot blink for "clickTime" frames
// and hands it to the screen's hooks; it also frames the save screen's
// warning and comment dialogs, which the save screen fills in.
//
// The current page is kept across entries. A slot's absolute number is
// page x slots per page + its index on the page: file names and the game's
// last-saved slot use it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "modebase/commongeneral.h"
#include "modebase/modenumbers.h"

class CAnimePart;
class CCommonButtonGroup;
class CCommonDataFile;
class CCommonRadioButtonGroup;
class CDataFileSetup;
class CPagePrint;

class CCommonLoadSave : public CCommonGeneral {
 public:
  // More slots on a page than a screen could show are not made.
  static constexpr int kMaxBlocks = 64;

  // Reads the settings list `listName` (32 pairs); saveScreen selects the
  // save screen's rules (mode 6) or the load screen's (mode 5).
  CCommonLoadSave(const GameRoles& game, const char* listName, int saveScreen);
  ~CCommonLoadSave() override;

  int Calcu() override;
  int Print() override;
  int Init() override;
  virtual void Release();
  // After the base hooks, in this order.
  virtual int CalcuWarningDialog();
  virtual int CalcuCommentDialog();
  // SetExtSize(index, size) on every slot display of the page.
  virtual void SetExtSizeAll(int index, int size);
  // The chosen slot after its blink (save screen).
  virtual int OnSlotDecided(int index) = 0;
  // A click on a selectable slot with data.
  virtual int OnSlotWithData(int index) = 0;
  // A click on an empty slot (save screen) or on a slot that cannot be
  // chosen (load screen: empty, damaged, of another version or the quick
  // slot kept from choice).
  virtual int OnEmptySlot(int index) = 0;
  virtual void PrintDialogExtra();

  // page clamped to 0..pages - 1, a full redraw, then Init again.
  void SetPage(int n);
  int GetPage() const { return page_; }
  int GetPageCount() const { return pages_; }
  int GetPageMode() const { return pageMode_; }
  int GetSlotCount() const { return static_cast<int>(slots_.size()); }
  // Slot display i of the page, null outside.
  CCommonDataFile* GetSlot(int i) const;
  int GetAbsoluteSlot(int i) const { return page_ * GetSlotCount() + i; }
  int GetCurrentSlot() const { return current_; }
  int GetChosenSlot() const { return chosen_; }
  int IsWaiting() const { return waiting_; }
  int GetBlinkCounter() const { return blinkCounter_; }
  int GetClickTime() const { return clickTime_; }
  int GetLoadChosen() const { return loadChosen_; }
  int GetDialogState() const { return dialogState_; }
  int IsSaveScreen() const { return saveScreen_; }
  CCommonRadioButtonGroup* GetTabs() const { return tabs_.get(); }

 protected:
  // The game's quick-load and quick-save switches ("quickLoadEnable",
  // "quickSaveEnable" of its settings), read at every entry.
  virtual int QuickLoadSwitch();
  virtual int QuickSaveSwitch();

  // One of the save screen's two dialogs (index 0 warning, 1 comment).
  struct Dialog {
    int exists = 0;
    int x = 0, y = 0, sizeX = 0, sizeY = 0;
    const char* fileName = nullptr;
    // The warning dialog is drawn from the work picture, the comment dialog
    // from a picture of its own (owned by the save screen).
    CPicture* picture = nullptr;
    CCommonButtonGroup* buttons = nullptr;  // owned by the save screen
  };

  // Runs the page controls (with or without input) and answers what they
  // decided: -2 nothing, -1 stay, else the frame's result.
  int CalcuPageControls(bool withInput);
  void PrintPageControls(bool idle);

  int saveScreen_ = 0;
  CDataFileSetup* layout_ = nullptr;
  int quickLoadEnable_ = 0, quickSaveEnable_ = 0;
  int miniCGSizeX_ = 0, miniCGSizeY_ = 0;
  int quickLoadSlot_ = 0, quickSaveSlot_ = 0;
  int quickLoadSelectOk_ = 0, quickSaveSelectOk_ = 0;

  std::string backgroundName_;
  int pages_ = 10;
  int page_ = 0;
  int pageMode_ = 1;
  int lastSelectFlag_ = 0;
  int warningUpDownBackPrintFlag_ = 1;
  int blockX_ = 4, blockY_ = 3;
  int clickTime_ = 8;

  std::unique_ptr<CPagePrint> pagePrint_;
  std::unique_ptr<CCommonRadioButtonGroup> tabs_;
  std::vector<std::unique_ptr<CCommonDataFile>> slots_;

  int current_ = -1, previous_ = -1;
  int chosen_ = -1;
  int waiting_ = 0;
  int blinkCounter_ = 0;
  int dialogState_ = 0;  // 0 none, 1 warning, 2 comment
  Dialog dialogs_[2];
  CAnimePart* lastSave_ = nullptr;  // the layout's
  int loadChosen_ = 0;
};
