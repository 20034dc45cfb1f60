// CCommonNameInput: mode 29, where the player types the hero's family and
// given names with the desktop's input method. One dialog per field, the
// name being typed in the game's text-input box, the other field's name as
// plain text, and "ok" and "cancel" buttons. A field can be left out and
// take a fixed name; the confirmed names go to the game (text placeholders
// and system data).
#pragma once

#include <memory>

#include "modebase/commongeneral.h"
#include "modebase/modenumbers.h"

class CCommonButton;
class CTextInputBox;

class CCommonNameInput : public CCommonGeneral {
 public:
  static constexpr int kModeNumber = modenumber::kNameInput;
  static constexpr int kNameBytes = 256;
  static constexpr int kMaxNameBytes = kNameBytes - 2;
  static constexpr int kMaxFrames = 9999;

  explicit CCommonNameInput(const GameRoles& game);
  ~CCommonNameInput() override;

  int Calcu() override;
  int Print() override;
  int Init() override;
  void AtExit() override;
  virtual void Release();

  // For tests.
  int GetFieldCount() const { return fieldCount_; }
  int GetField(int position) const { return position >= 0 && position < fieldCount_ ? order_[position] : -1; }
  int GetPosition() const { return position_; }
  int GetFrames() const { return frames_; }
  int IsFinished() const { return finished_; }
  int IsConfirmed() const { return confirmed_; }
  const char* GetName(int field) const { return field == 0 ? names_[0] : names_[1]; }

 private:
  struct Field {
    int entered = 1, fix = 0, dontPrint = 0;
    const char* fixData = nullptr;
    int printX = 0, printY = 0, maxChars = 4, align = 0;
    int color[3] = {192, 192, 192};
    int fixColor[3] = {255, 255, 255};
    const char* dialog = nullptr;
    int fontSize = 24, spacing = 1;
    int nullIsDefault = 0;
  };
  void ReadField(int i, const char* prefix, const Field& defaults);
  void SelectField(int field);
  void LoadDialog();
  void UpdateButtons(bool force);
  // Names confirmed (1) or cancelled (0): the screen is finished.
  int Finish(int confirmed);
  int ConfirmField();
  int GoBack();
  CTextInputBox* Box() const;

  Field fields_[2];
  int reverse_ = 0, returnOk_ = 1, nullNameOk_ = 0;
  int dialogX_ = 300, dialogY_ = 250, dialogW_ = 200, dialogH_ = 100;
  int statusVar_ = -1, timeVar_ = -1;
  int order_[2] = {0, 1};
  int fieldCount_ = 0, position_ = 0;
  char names_[2][kNameBytes] = {};
  int frames_ = 0, confirmed_ = 0, finished_ = 0;
  int lastEnable_[2] = {-1, -1};
  std::unique_ptr<CCommonButton> ok_, cancel_;
};
