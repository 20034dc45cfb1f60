#include "mode/codecerror.h"

#include <string>

#include "services/modeflowservices.h"
#include "services/soundservices.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "graphics/systempicture.h"
#include "platform/system.h"
#include "platform/types.h"
#include "widget/buttongroup.h"

namespace {

constexpr const char* kButtonNames[CCommonCodecError::kButtons] = {"notButton", "canButton",
                                                                   "exitButton"};

}  // namespace

CCommonCodecError::CCommonCodecError(const GameRoles& game) : CCommonGeneral(game) {
  SetModeNumber(kModeNumber);
  LoadSetupFile("CodecError", 32);
  LoadBackScriptSetup();
  LoadMustAllPrintFlag();
  LoadFadeSetup();
  LoadEnterExitVoiceSetup();
  LoadDialogVoiceSetup();
  GetSetupMode("nextMode", &nextMode_);
  GetSetupString(&bgName_, "filenameBG");
  GetSetupString(&dialogName_, "filenameDialog");
  GetSetupInt(&dialogFlag_, "dialogFlag");
  GetSetupInt(&dialogPrintX_, "dialogPrintX");
  GetSetupInt(&dialogPrintY_, "dialogPrintY");
  buttons_ = std::make_unique<CCommonButtonGroup>(GetSetupList(), kButtons,
                                                  backScriptFlag_ ? nullptr : screenPicture_,
                                                  nullptr, kButtonNames);
  for (int i = 0; i < kButtons; ++i)
    buttons_->SetPicture(i, CPicturePool::GetPicture(kFirstPoolPicture + i));
}

CCommonCodecError::~CCommonCodecError() { Release(); }

void CCommonCodecError::Release() { buttons_.reset(); }

void CCommonCodecError::PrintDialog() {
  if (dialogFlag_ && workPicture_) workPicture_->Put(dialogX_, dialogY_, 1);
}

int CCommonCodecError::Init() {
  closing_ = 0;
  boxChoice_ = -1;
  dialogX_ = dialogPrintX_;
  dialogY_ = dialogPrintY_;
  // Pictures of the dialog that cannot be shown.
  std::string missing;
  auto load = [&missing](CPicture* picture, const char* name) {
    const std::string path = "sys\\" + std::string(name);
    if (!picture->LoadDWQ(path.c_str())) missing += "\n" + path;
  };
  if (dialogFlag_ && workPicture_) {
    load(workPicture_, dialogName_);
    if (dialogPrintX_ == kCentred) {
      dialogX_ = (CScreenBuffer::GetWidth() - workPicture_->GetWidth()) / 2;
      dialogY_ = (CScreenBuffer::GetHeight() - workPicture_->GetHeight()) / 2;
    }
  }
  if (!backScriptFlag_ && screenPicture_) {
    screenPicture_->LoadDWQ(("sys\\" + std::string(bgName_)).c_str());
    screenPicture_->Put(0, 0, 0);
    PrintDialog();
    // Later redraws restore background and dialog together.
    screenPicture_->GetScreen();
  }
  if (!buttons_) return 0;
  for (int i = 0; i < kButtons; ++i) {
    CPicture* p = buttons_->GetPicture(i);
    if (p && buttons_->GetFilename(i))
      load(p, buttons_->GetFilename(i));
    else
      missing += std::string("\n") + kButtonNames[i] + "Filename";
  }
  codecLevel_ = game_ ? game_.sound->CheckMovieCodec() : 0;
  buttons_->SetEnable(1, codecLevel_ != 0 ? 1 : 0);
  buttons_->Init();
  if (!missing.empty()) AskWithoutPictures(missing);
  return 0;
}

// Without its pictures the dialog would be a screen the player cannot read
// or answer: the question goes to a box instead.
void CCommonCodecError::AskWithoutPictures(const std::string& missing) {
  const std::string problem =
      "The movie cannot be played, and pictures of the missing-codec screen (settings list "
      "\"CodecError\") are missing:" + missing;
  std::string line = problem;
  for (char& c : line)
    if (c == '\n') c = ' ';
  platform::ErrorOutput(line.c_str());
  const std::string text = problem + "\n\nGo on without movies? (No quits the game.)";
  const int answer =
      platform::MessageBox(nullptr, text.c_str(), "CodecError", MB_YESNO | MB_ICONWARNING);
  boxChoice_ = answer == IDYES ? 0 : 2;
}

int CCommonCodecError::Print() {
  PrintBackScreen();
  if (backScriptFlag_) PrintDialog();
  if (buttons_) buttons_->Print();
  return -1;
}

int CCommonCodecError::Calcu() {
  // After the close request the dialog waits for the program to end.
  if (!buttons_ || closing_) return -1;
  if (boxChoice_ >= 0) {
    const int choice = boxChoice_;
    boxChoice_ = -1;
    return Choose(choice);
  }
  const int code = buttons_->Calcu(input_);
  if (code == -1) return -1;
  const int button = CheckButtonResult2(code);
  if (button < 0) return -1;
  return Choose(button);
}

int CCommonCodecError::Choose(int button) {
  switch (button) {
    case 0:
      if (game_) {
        game_.sound->SetCodecChoice(0);
        game_.sound->SetMovieOff();
      }
      return ExitToMode(nextMode_);
    case 1:
      if (game_) game_.sound->SetCodecChoice(1);
      return ExitToMode(nextMode_);
    case 2:
      closing_ = 1;
      if (game_) game_.modeFlow->CloseGame();
      return -1;
    default:
      return -1;
  }
}
