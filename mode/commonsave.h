// CCommonSave: the save screen (mode 6, settings list "save"). A click on an
// empty slot blinks it and saves; overwriting a slot may ask first (the
// warning dialog); with "commentInputFlag" every save goes through the
// comment dialog, where the player types the slot's comment beside today's
// date, the in-game date, an extra picture, a special number and the
// current thumbnail. The game's quick save writes the quick slot through
// this screen without showing it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "modebase/moderoles.h"
#include "modebase/quickloadsave.h"
#include "mode/loadsave.h"

class CNumberPrint;

// The voices of one kind ("saveVoice%d", "loadVoice%d", ...): one is drawn
// at random, or fixed by a game variable.
class CModeVoices {
 public:
  // Reads "<countKey>" voices named "<nameKey>%d" (1-based).
  void Load(const CCommonGeneral& mode, const char* countKey, const char* nameKey);
  // The random number is drawn first; a fixed value v in 1..count picks
  // voice v, any other value keeps the random choice.
  void Play(const GameRoles& game, int fixVar) const;
  int Count() const { return static_cast<int>(names_.size()); }

 private:
  std::vector<std::string> names_;
};

class CCommonSave : public CCommonLoadSave, public CQuickSaveMode, public CConfirmedSaveMode {
 public:
  static constexpr int kModeNumber = modenumber::kSave;
  static constexpr int kCommentBytes = 254;

  explicit CCommonSave(const GameRoles& game);
  ~CCommonSave() override;
  void RegisterRoles(ModeRoles* roles) override {
    roles->quickSave = this;
    roles->confirmedSave = this;
  }

  int Calcu() override;
  int Print() override;
  int Init() override;
  int PrintEnterScreen() override;
  void Release() override;
  int CalcuWarningDialog() override;
  int CalcuCommentDialog() override;
  int OnSlotDecided(int index) override;
  int OnSlotWithData(int index) override;
  int OnEmptySlot(int index) override;
  void PrintDialogExtra() override;

  int QuickSave() override;
  int WriteConfirmedSave() override;
  // The player has confirmed a save that is not written yet.
  bool IsSaveConfirmed() const;
  // Writes the chosen slot: system file, comment, slot file, last-saved slot.
  void WriteSave();
  // Opens the comment dialog, pre-filled from absolute slot n's comment
  // (n >= 0) or empty (-1).
  void OpenCommentDialog(int n);

  int GetOverwrite() const { return overwrite_; }
  CPicture* GetMiniCGPicture() const { return miniCG_.get(); }

 private:
  void PlaySaveSound();
  void OpenWarning();
  // The page controls back to the current page, every slot's cursor reset.
  void SetControlsBack();
  void ReloadButtonPictures(CCommonButtonGroup* group);
  // Reads dialog `dialog`'s keys (names ending in `suffix`) and makes its
  // OK and cancel buttons on work pictures firstPicture and firstPicture + 1.
  Dialog& MakeDialog(int dialog, const char* suffix, int firstPicture);

  int overwrite_ = 0;
  int commentInput_ = 0, warningPrint_ = 0;
  int miniCGPrint_ = 0, miniCGX_ = 0, miniCGY_ = 0;
  int textBoxX_ = 0, textBoxY_ = 0;
  int commentLine_ = 1;
  int specialLimit_ = -1;
  int saveSound_ = 1, warningSound_ = -1;
  CModeVoices saveVoices_, warningVoices_;
  int saveFixVar_ = -1, warningFixVar_ = -1;
  int quickSetLast_ = 0;
  std::unique_ptr<CCommonButtonGroup> buttons_[2];
  std::unique_ptr<CPicture> commentPicture_, miniCG_;

  // Comment dialog extras.
  struct Extras {
    int date = 0, dateX = 0, dateY = 0, dateNextX = 8;
    int year = 0, yearX = 0, yearY = 0, yearNextX = 8;
    int gameDate = 0, gameDateX = 0, gameDateY = 0, gameDateNextX = 8;
    int addPic = 0, addPicWithSpecial = 0, addPicX = 0, addPicY = 0;
    int addPicW = 16, addPicH = 16, addPicMulti = 0, addPicPerRow = 1;
    int special = 0, specialX = 0, specialY = 0;
    int yearVar = -1, dateVar = -1;
  } ex_;
  std::vector<std::unique_ptr<CPicture>> fonts_;
  std::unique_ptr<CNumberPrint> date4_, date2_, year4_, month_, day_, special_;
  CPicture* addPicture_ = nullptr;  // the game's system picture
};
