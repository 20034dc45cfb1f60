#include "mode/title.h"

#include <string>

#include "services/backscriptservices.h"
#include "services/messagewindowservices.h"
#include "services/modeflowservices.h"
#include "services/saveservices.h"
#include "services/screenservices.h"
#include "services/soundservices.h"
#include "services/variableservices.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "graphics/systempicture.h"
#include "widget/buttoncode.h"
#include "widget/menupanel.h"

namespace {

// The game variables a title entry clears.
constexpr int kClearedVars[][2] = {{100, 199}, {300, 999}};

}  // namespace

CCommonTitle::CCommonTitle(const GameRoles& game) : CCommonGeneral(game) {
  SetModeNumber(kModeNumber);
  LoadSetupFile("title", 64);
  LoadBackScriptSetup();
  LoadMustAllPrintFlag();
  LoadBgmSetup();
  LoadFadeSetup();
  LoadEnterExitVoiceSetup();
  GetSetupInt(&basicNumber_, "basicButtonNumber");
  GetSetupInt(&miniGameCheckFlag_, "miniGameFlag");
  GetSetupInt(&menuStartWaitTime_, "menuStartWaitTime");
  GetSetupInt(&menuStartEffectTime_, "menuStartEffectTime");
  GetSetupInt(&menuStartEffectType_, "menuStartEffectType");
  GetSetupInt(&menuStartDeltaX_, "menuStartDeltaX");
  GetSetupInt(&menuStartDeltaY_, "menuStartDeltaY");
  GetSetupInt(&autoRestartTime_, "autoRestartTime");
  GetSetupString(&bgName_, "filenameBG");
  GetSetupInt(&scriptEndIsModeEnd_, "scriptEndIsModeEnd");
  GetSetupMode("restartNextMode", &restartNextMode_);

  setup_ = std::make_unique<CMenuButtonSetup>(GetSetupList(), basicNumber_);
  menu_ = std::make_unique<CMenuButtonPanel>(setup_.get(), backScriptFlag_ ? nullptr : screenPicture_);
  extModeNumber_ = setup_->GetExtModeNumber();
  basicNumber_ = setup_->GetBasicButtonNumber();
  extNumber_ = setup_->GetExtButtonNumber();
  if (extModeNumber_ > 0 && game_) {
    if (const char* name = setup_->GetExtModeCheckVarName()) checkVar_ = game_.variables->GetVarNumber(name);
    if (const char* name = setup_->GetExtModeReturnVarName()) returnVar_ = game_.variables->GetVarNumber(name);
  }
  int base = kFirstPoolPicture;
  if (game_ && game_.modeFlow->GetAreaButtonMode()) base += game_.modeFlow->GetMiniGameCheckNumber();
  for (int c = 0; c < menu_->GetColumns(); ++c)
    menu_->SetPicture(c, CPicturePool::GetPicture(base + c), -1);
}

CCommonTitle::~CCommonTitle() { Release(); }

void CCommonTitle::Release() {
  menu_.reset();
  setup_.reset();
}

int CCommonTitle::GetMenuPhase() const {
  const long long wait = menuStartWaitTime_;
  if (startCounter_ < wait) return 1;
  if (startCounter_ < wait + menuStartEffectTime_) return 2;
  return 0;
}

void CCommonTitle::SkipMenuStart() {
  startCounter_ = menuStartWaitTime_ + menuStartEffectTime_;
  if (game_) game_.modeFlow->SetMiniGameAreaMode(kModeNumber);
}

int CCommonTitle::Init() {
  startChosen_ = 0;
  left_ = started_ = 0;
  if (game_) {
    game_.messageWindow->ClearBackLog();
    game_.screen->SetLayerDisableMask(0);
  }
  startCounter_ = 0;
  if (game_) {
    game_.modeFlow->AddPlayCount();
    game_.sound->StopAllSound();
    game_.saves->ClearGameState();
    for (const auto& range : kClearedVars)
      for (int n = range[0]; n <= range[1]; ++n) game_.variables->SetVar(n, 0);
  }
  if (!menu_) return 0;
  int shown = 0;
  if (extModeNumber_ > 0 && checkVar_ != -1 && game_) shown = game_.variables->GetVar(checkVar_);
  menu_->SetMenu(shown);
  shownMenu_ = menu_->GetMenu();
  idleCounter_ = 0;
  if (game_) game_.screen->ResetFrameTime();
  if (!backScriptFlag_ && screenPicture_) screenPicture_->LoadDWQ(("sys\\" + std::string(bgName_)).c_str());
  for (int c = 0; c < menu_->GetColumns(); ++c) {
    const char* name = menu_->GetFilename(c, shownMenu_);
    if (CPicture* picture = menu_->GetPicture(c, shownMenu_); picture && name)
      picture->LoadDWQ(("sys\\" + std::string(name)).c_str());
  }
  menu_->Init();
  if (GetMenuPhase() == 0 && game_) game_.modeFlow->SetMiniGameAreaMode(kModeNumber);
  return 0;
}

int CCommonTitle::Leave() { return -1; }

int CCommonTitle::ChooseStart(int value) {
  startChosen_ = 1;
  startValue_ = value;
  left_ = 1;
  return ExitToMode(-1);
}

int CCommonTitle::Decide(int f) {
  switch (f) {
    case 0:
      return ChooseStart(0);
    case 1:
      if (game_) {
        game_.saves->KeepGameState();
        game_.messageWindow->SetMessageModeFlag(0);
        game_.modeFlow->NotifyMode(modenumber::kLoad, kModeNumber);
      }
      return ExitToMode(modenumber::kLoad);
    case 2:
      if (game_) {
        game_.saves->KeepGameState();
        game_.modeFlow->NotifyMode(modenumber::kConfig, kModeNumber);
      }
      return ExitToMode(modenumber::kConfig);
    case 3:
      return ExitToMode(modenumber::kOmake);
    case 4:
      // The close request is posted once; the title then waits for the end.
      left_ = 1;
      if (game_) game_.modeFlow->CloseGame();
      return -1;
    default:
      break;
  }
  // Further buttons: this title's own numbering, which its scripts read.
  const bool basic = f < basicNumber_;
  const int m = basic ? setup_->GetBasicButtonSpecialMode(f) : setup_->GetExtButtonSpecialMode(f - 5);
  if (game_) game_.messageWindow->SetMessageModeFlag(0);
  if (m > 0) {
    if (game_) game_.modeFlow->NotifyMode(m, kModeNumber);
    return ExitToMode(m);
  }
  return ChooseStart(basic ? 4 - f : f - 4);
}

int CCommonTitle::Calcu() {
  // The story runs: no input, no restart until the title is entered again.
  if (started_) return -1;
  const int phase = GetMenuPhase();
  if (phase != 0) {
    ++startCounter_;
    const long long end = static_cast<long long>(menuStartWaitTime_) + menuStartEffectTime_;
    if (startCounter_ >= end || GetClick(0) || GetClick(1)) SkipMenuStart();
  } else if (!left_ && menu_) {
    const int32_t code = menu_->Calcu(input_, 0);
    const int sound = GetButtonCodeSound(code);
    if (sound > 0 && game_) game_.sound->PlaySystemSe(sound - 1, 0);
    const int f = GetButtonCodeNumber(code);
    if (GetButtonCodeKind(code) == buttoncode::kDecided && f >= 0) {
      if (game_) {
        game_.backScript->SetBackScriptMode(0);
        game_.screen->ResetFrameTime();
      }
      return Decide(f);
    }
  }
  if (autoRestartTime_ > 0 && ++idleCounter_ == autoRestartTime_) return ExitToMode(restartNextMode_);
  if (scriptEndIsModeEnd_ && backScriptFlag_ && backScriptEnded_) return ExitToMode(restartNextMode_);
  return -1;
}

void CCommonTitle::AtExit() {
  if (!startChosen_) return;
  if (exitNormal_.createScreen) CreateExitScreen();
  if (game_) {
    game_.messageWindow->SetMessageModeFlag(0);
    game_.modeFlow->StartNewGame(0, 0, startValue_ != 0 ? returnVar_ : -1, startValue_);
    game_.messageWindow->SetSkipFilmFlag(1);
  }
  startChosen_ = 0;
  started_ = 1;
}

int CCommonTitle::Print() {
  // Once the new game has started, the story draws: the title stays
  // current until the script asks for a mode, but draws nothing over it.
  if (left_ && started_) return -1;
  PrintBackScreen();
  if (!menu_) return -1;
  switch (GetMenuPhase()) {
    case 0:
      menu_->Print(CScreenBuffer::CheckFullRedraw());
      break;
    case 2:
      CScreenBuffer::SetFullRedraw(0);
      menu_->PrintAnime(startCounter_ - menuStartWaitTime_, menuStartEffectTime_, menuStartEffectType_,
                        menuStartDeltaX_, menuStartDeltaY_);
      break;
    default:
      break;
  }
  return -1;
}

void CCommonTitle::BeforeCreateExitScreen() { Print(); }

int CCommonTitle::PrintEnterScreen() {
  CScreenBuffer::SetFullRedraw(0);
  if (menu_) menu_->Calcu(nullptr, 0);
  return Print();
}
