// CCommonCardSystem: mode 45, the card screen. Up to 32 cards each have
// three on/off states (appeared, enabled, placed) kept as bits of three game
// variables, so they travel with saved games; scenario scripts switch them
// through the functions the mode registers ("appearcard", "enablecard",
// "onokcard" by default, types 0, 1, 2). A set bit means off. The screen
// draws the first four cards over its background picture ("filenameBG") or,
// without one, over a banded background, card s in status s
// with s + 1 power marks, and the ok button when its picture loads; the ok
// button or a right click returns to the mode in the parameter (the extras
// menu unless a caller names another).
#pragma once

#include <memory>
#include <string>

#include "modebase/commongeneral.h"
#include "modebase/modenumbers.h"

class CCardBarPrint;
class CCardPicture;
class CCardPowerPrint;
class CCommonButton;

class CCommonCardSystem : public CCommonGeneral {
 public:
  static constexpr int kModeNumber = modenumber::kCardSystem;
  static constexpr int kMaxCards = 32;
  static constexpr int kControls = 3;  // 0 appear, 1 enable, 2 placed

  explicit CCommonCardSystem(const GameRoles& game);
  ~CCommonCardSystem() override;

  void SetCallArgs(int count, const int* values) override;
  // (card, flag): flag non-zero clears the card's bit (on), 0 sets it.
  int Function(int type, int count, const int* args) override;
  int Calcu() override;
  int Print() override;
  int Init() override;
  // Frees the cards, marks, bars and the ok button.
  void Release();

  // For tests.
  int GetCardNumber() const { return cardNumber_; }
  // State (0 appeared, 1 enabled, 2 placed) of card 0..n-1 as Init read it.
  int GetCardState(int card, int control) const;
  int GetPowerMax() const { return powerMax_; }
  int GetCardIndex() const { return cardIndex_; }
  int GetControlVar(int control) const;
  CCardPicture* GetCard(int card) const;
  CCardPowerPrint* GetPowerPrint() const { return power_.get(); }
  CCardBarPrint* GetBarPrint() const { return bar_.get(); }
  CCommonButton* GetOkButton() const { return okButton_.get(); }
  // The card's kept position (1-based key, 0-based card).
  int GetCardPrintX(int card) const;
  int GetCardPrintY(int card) const;

 private:
  struct Control {
    int flag = 0;
    int var = -1;
  };
  struct Card {
    std::unique_ptr<CCardPicture> picture;
    int state[kControls] = {1, 1, 1};
    int printX = 0, printY = 0;
    int placeVar = -1;
  };

  void LoadStyleTable();

  int cardNumber_ = 1;
  int levelMax_ = 1;
  Control controls_[kControls];
  int updownAdjust_ = 1;
  int powerMax_ = 10;
  int powerMaxVar_ = -1;
  int cardSizeX_ = 100, cardSizeY_ = 200;
  int onCardPrintX_ = -10, onCardPrintY_ = -20;
  int cardIndex_ = -1;
  bool okShown_ = false;
  bool backgroundShown_ = false;
  Card cards_[kMaxCards];
  std::unique_ptr<CCardPowerPrint> power_;
  std::unique_ptr<CCardBarPrint> bar_;
  std::unique_ptr<CCommonButton> okButton_;
};
