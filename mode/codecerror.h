// CCommonCodecError: mode 32, the dialog shown when the movie codec check of
// the first mode finds too low a level. Three buttons: "notButton" goes on
// without movies, "canButton" goes on with them (not offered at level 0),
// "exitButton" quits the program.
#pragma once

#include <memory>
#include <string>

#include "modebase/commongeneral.h"
#include "modebase/modenumbers.h"

class CCommonButtonGroup;

class CCommonCodecError : public CCommonGeneral {
 public:
  static constexpr int kModeNumber = modenumber::kCodecError;
  static constexpr int kButtons = 3;
  // The buttons' pictures are pool pictures 3, 4 and 5.
  static constexpr int kFirstPoolPicture = 3;
  static constexpr int kCentred = -999;

  explicit CCommonCodecError(const GameRoles& game);
  ~CCommonCodecError() override;

  int Calcu() override;
  int Print() override;
  int Init() override;
  // Deletes the button group.
  void Release();

  // For tests.
  CCommonButtonGroup* GetButtons() const { return buttons_.get(); }
  int GetDialogX() const { return dialogX_; }
  int GetDialogY() const { return dialogY_; }
  int GetCodecLevel() const { return codecLevel_; }

 private:
  void PrintDialog();
  // Asks by box whether to go on without movies, naming the pictures that
  // are missing; the answer is taken on the next frame.
  void AskWithoutPictures(const std::string& missing);
  // What a button (0 no movies, 1 anyway, 2 quit) does.
  int Choose(int button);

  std::unique_ptr<CCommonButtonGroup> buttons_;
  int nextMode_ = modenumber::kLogo;
  const char* bgName_ = "CodecError";
  const char* dialogName_ = "ta_dialog5";
  int dialogFlag_ = 1;
  int dialogPrintX_ = kCentred, dialogPrintY_ = kCentred;
  int dialogX_ = 0, dialogY_ = 0;
  int codecLevel_ = 0;
  // The quit button was decided in this entry.
  int closing_ = 0;
  // The box's answer as a button, -1 when no box was asked.
  int boxChoice_ = -1;
};
