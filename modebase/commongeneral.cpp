// CCommonGeneral: construction, the hooks, the frame drivers, leaving for
// another mode, key movement and button results.
#include "modebase/commongeneral.h"

#include "services/backscriptservices.h"
#include "services/inputservices.h"
#include "services/modeflowservices.h"
#include "services/screenservices.h"
#include "services/soundservices.h"
#include "input/inputstatus.h"
#include "modebase/modenames.h"
#include "modebase/modenumbers.h"
#include "graphics/picture.h"
#include "graphics/pictureloader.h"
#include "graphics/screenbuffer.h"
#include "platform/types.h"
#include "setup/setuplist.h"
#include "widget/backbutton.h"
#include "widget/animepart.h"
#include "widget/buttoncode.h"
#include "widget/dateprint.h"
#include "widget/updownbutton.h"

CCommonGeneral::CCommonGeneral(const GameRoles& game) : game_(game) {
  if (game_) {
    screenPicture_ = game_.screen->GetScreenPicture();
    workPicture_ = game_.screen->GetWorkPicture();
    fadeFromPicture_ = game_.screen->GetBufferPicture(0);
    fadeToPicture_ = game_.screen->GetBufferPicture(1);
    mouse_ = game_.input->GetMouseStatus();
    input_ = game_.input->GetInputStatus();
  }
  exitSpecial_.createScreen = 0;
  exitNormal_.createScreen = 1;
}

// The widgets go first, in this order, each after its own release: the
// animation layers and their array, the date printer, the up/down-back
// link, the own up/down pair, the own back button.
CCommonGeneral::~CCommonGeneral() {
  for (int i = 0; i < animeLayerCount_; ++i) {
    animeLayers_[i]->Release();
    delete animeLayers_[i];
  }
  delete[] animeLayers_;
  delete datePrinter_;
  if (updownBack_) {
    updownBack_->Release();
    delete updownBack_;
  }
  if (ownUpDownButtons_) {
    ownUpDownButtons_->Release();
    delete ownUpDownButtons_;
  }
  if (ownBackButton_) {
    ownBackButton_->Release();
    delete ownBackButton_;
  }
}

int CCommonGeneral::Enter() {
  exitRequested_ = 0;
  keyMoved_ = 0;
  currentItem_ = -1;
  FlushKeys();
  if (mouse_) mouse_->Clear(0);
  enterVoiceCountdown_ = enterVoiceWaitTime_;
  exitVoiceCountdown_ = 0;
  if (game_) game_.modeFlow->OnModeEnter(modeNumber_);
  enterFadeCountdown_ = 0;
  exitFadeCountdown_ = 0;
  fadePhase_ = 0;
  exitScreenCreated_ = 0;
  BeforeInit();
  if (game_) {
    if (backScriptFlag_) {
      backScriptEnded_ = 0;
      game_.backScript->SetBackScriptMode(1);
      game_.backScript->LoadBackScript(backScriptName_);
    } else {
      game_.backScript->SetBackScriptMode(0);
    }
    game_.modeFlow->SetMiniGameAreaMode(-1);
  }
  const int result = Init();
  AfterInit();
  if (enterFadeInType_ != 0) {
    enterFadeCountdown_ = enterFadeInTime_;
    GetEnterScreen();
  }
  StartBgm();
  return result;
}

void CCommonGeneral::SetParameter(int value) { parameter_ = value; }

int CCommonGeneral::GetParameter() { return parameter_; }

void CCommonGeneral::NewGame() {}

void CCommonGeneral::ResetGame() {}

void CCommonGeneral::SetCallArgs(int, const int*) {}

void CCommonGeneral::SaveExtData(uint8_t*, size_t, int) {}

void CCommonGeneral::LoadExtData(const uint8_t*, size_t, int) {}

int CCommonGeneral::Function(int, int, const int*) { return 0; }

void CCommonGeneral::ExitGame() {}

int CCommonGeneral::IsQuickButtonDisabled(int mode, int flag, int) {
  if (flag || !quickButtonTable_ || mode < 0 || mode >= kQuickTableSize) return 0;
  return quickButtonTable_[mode];
}

int CCommonGeneral::Leave() { return -1; }

void CCommonGeneral::AtExit() {}

void CCommonGeneral::BeforeExit() {}

void CCommonGeneral::BeforeInit() {}

void CCommonGeneral::AfterInit() {}

void CCommonGeneral::BeforeCalcu() {}

void CCommonGeneral::AfterCalcu() {}

void CCommonGeneral::BeforePrint() {}

void CCommonGeneral::AfterPrint() {}

void CCommonGeneral::BeforeCreateExitScreen() {}

int CCommonGeneral::PrintEnterScreen() {
  CScreenBuffer::SetFullRedraw(0);
  return Print();
}

int CCommonGeneral::ExitToMode(int mode) {
  CScreenBuffer::SetFullRedraw(0);
  if (game_) game_.modeFlow->OnModeHook(mode);
  exitTargetMode_ = mode;
  const ExitFade& fade = ExitFadeInUse();
  int created = 0;
  if (fade.createScreen || fade.Type() != 0) {
    CreateExitScreen();
    created = 1;
  }
  exitScreenCreated_ = created;
  if (fade.Type() != 0) {
    exitFadeCountdown_ = fade.time;
    return -1;
  }
  RequestExit();
  return mode;
}

void CCommonGeneral::PlayButtonSound(const ButtonSounds& button, int code) {
  if (code == -1 || !game_) return;
  const int32_t kind = GetButtonCodeKind(code);
  int sound = 0;
  switch (kind) {
    case buttoncode::kPressed: sound = button.click; break;
    case buttoncode::kRefused: sound = button.bad; break;
    case buttoncode::kEntered: sound = button.enterWait == 0 ? button.enter : 0; break;
    case buttoncode::kLeft: sound = button.exitWait == 0 ? button.exit : 0; break;
    default: break;
  }
  if (sound > 0) game_.sound->PlaySystemSe(sound - 1, button.volumeType);
  if (kind == buttoncode::kSoundOnly && (code & 0x7F) != 0)
    game_.sound->PlaySystemSe((code & 0x7F) - 1, button.volumeType);
}

int CCommonGeneral::CheckButtonResult3(int code) { return CheckButtonResult(code); }

int CCommonGeneral::CheckButtonResult2(int code) { return CheckButtonResult(code); }

int CCommonGeneral::CheckButtonResult(int code) {
  if (code == -1) return -1;
  const int sound = GetButtonCodeSound(code);
  if (sound > 0 && game_) game_.sound->PlaySystemSe(sound - 1, GetButtonCodeVolumeType(code));
  return GetButtonCodeKind(code) == buttoncode::kDecided ? GetButtonCodeNumber(code) : -1;
}

int CCommonGeneral::CheckMiniGame() {
  return miniGameCheckFlag_ && game_ ? game_.modeFlow->CheckMiniGameStart(modeNumber_) : 0;
}

void CCommonGeneral::RequestExit() { exitRequested_ = 1; }

void CCommonGeneral::FlushKeys() {}
void CCommonGeneral::RegisterRoles(ModeRoles*) {}

int CCommonGeneral::CalcuKeyMove() {
  if (!keyMoveEnable_ || !game_) return -1;
  keyMoved_ = 0;
  int step = 0, leftRight = 0, upDown = 0;
  if (keyMoveUpDownEnable_) {
    if (game_.input->CheckKeyTrig(VK_UP)) step = -1;
    if (game_.input->CheckKeyTrig(VK_DOWN)) step = 1;
    if (keyMoveTateYoko_) {
      upDown = step;
      step = 0;
    }
  }
  if (keyMoveLeftRightEnable_) {
    // Without the split a left/right key overrides an up/down result.
    if (game_.input->CheckKeyTrig(VK_LEFT)) step = -1;
    if (game_.input->CheckKeyTrig(VK_RIGHT)) step = 1;
    if (keyMoveTateYoko_) {
      leftRight = step;
      step = 0;
    }
  }
  if (step == 0 && leftRight == 0 && upDown == 0) return -1;
  const int r = KeyMoveItem(step, leftRight, upDown);
  if (r != -1) {
    keyMoved_ = 1;
    if (r == 0) MoveMouseToItem(currentItem_);
  }
  return -1;
}

int CCommonGeneral::HitTestItem(int, int) { return -1; }

void CCommonGeneral::MoveMouseToItem(int) {}

int CCommonGeneral::KeyMoveItem(int, int, int) { return -1; }

// --- Drivers ---

int CCommonGeneral::GeneralCalcu() {
  fadePhase_ = 0;
  if (enterExitVoiceFlag_ && game_) {
    if (enterVoiceCountdown_ > 0 && --enterVoiceCountdown_ == 0 && enterVoiceFileName_)
      game_.sound->PlaySystemVoiceFile(enterVoiceFileName_, 1, 0);
    if (exitVoiceCountdown_ > 0 && --exitVoiceCountdown_ == 0 && exitVoiceFileName_)
      game_.sound->PlaySystemVoiceFile(exitVoiceFileName_, 1, 0);
  }

  if (enterFadeInType_ != 0 && enterFadeCountdown_ >= 1) {
    StepFade(1, &enterFadeCountdown_, enterFadeClickSkip_);
    return -1;
  }

  const ExitFade& exit = ExitFadeInUse();
  if (exit.Type() != 0 && exitFadeCountdown_ > 0) {
    StepFade(2, &exitFadeCountdown_, exit.clickSkip);
    if (exitFadeCountdown_ > 0) return -1;
    if (exit.fillScreen) FillExitScreen();
    RequestExit();
    return exitTargetMode_;
  }

  if (miniGameCheckFlag_ && game_ && game_.modeFlow->CheckMiniGameStart(modeNumber_)) {
    game_.modeFlow->NotifyMode(modenumber::kMiniGame, modeNumber_);
    return ExitToMode(modenumber::kMiniGame);
  }

  BeforeCalcu();
  if (backScriptFlag_ && game_ && game_.backScript->GetBackScriptMode() &&
      game_.backScript->CalcuBackScript(backScriptLoopFlag_ ? 1 : 0))
    backScriptEnded_ = 1;
  if (keyMoveEnable_) {
    CalcuKeyMove();
    platform::Point p{};
    if (mouse_) mouse_->GetPos(&p);
    const int item = HitTestItem(p.x, p.y);
    if (item != -1) currentItem_ = item;
  }
  const int result = Calcu();
  AfterCalcu();
  return result;
}

void CCommonGeneral::StepFade(int phase, int* countdown, int clickSkip) {
  fadePhase_ = phase;
  --*countdown;
  if (clickSkip && (GetClick(0) || GetClick(1))) *countdown = 0;
}

int CCommonGeneral::GeneralPrint() {
  if (fadePhase_ == 1) {
    CScreenBuffer::SetFullRedraw(0);
    return PrintEnterFade();
  }
  if (fadePhase_ == 2) {
    CScreenBuffer::SetFullRedraw(0);
    return PrintExitFade();
  }
  if (mustAllPrintFlag_) CScreenBuffer::SetFullRedraw(0);
  BeforePrint();
  const int result = Print();
  if (miniGameCheckFlag_ && game_) game_.modeFlow->PrintMiniGameButtons();
  AfterPrint();
  return result;
}

int CCommonGeneral::ExitStep() {
  if (!exitRequested_) return -1;
  if (game_) game_.backScript->SetBackScriptMode(0);
  BeforeExit();
  AtExit();
  exitRequested_ = 0;
  return 0;
}

int CCommonGeneral::CalcuUnlessFading(int flag) {
  if (!flag) {
    const bool entering = enterFadeInType_ != 0 && enterFadeCountdown_ > 0;
    const bool leaving = ExitFadeInUse().Type() != 0 && exitFadeCountdown_ > 0;
    if (entering || leaving) return -1;
  }
  return Calcu();
}

int CCommonGeneral::PrintUnlessFading(int flag) {
  if (flag || (fadePhase_ != 1 && fadePhase_ != 2)) return Print();
  return -1;
}

int CCommonGeneral::CallInit() { return Init(); }

int CCommonGeneral::CallLeave() { return Leave(); }

// --- Non-virtual operations ---

void CCommonGeneral::SetModeNumber(int n) {
  modeNumber_ = n;
  SetLoadDwqErrorMode(n);
}

int CCommonGeneral::GetClick(int right) const {
  return mouse_ ? mouse_->GetClick(right ? 1 : 0) : 0;
}

int CCommonGeneral::GetModeNumberByName(const char* name) {
  return modenames::GetModeNumber(name);
}

void CCommonGeneral::PrintBackScreen() {
  if (backScriptFlag_) {
    CScreenBuffer::SetFullRedraw(0);
    if (game_) game_.backScript->PrintBackScript();
  } else if (CScreenBuffer::CheckFullRedraw() && screenPicture_) {
    screenPicture_->Put(0, 0, 0);
  }
}
