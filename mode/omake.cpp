#include "mode/omake.h"

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
#include "savedata/cglist.h"
#include "savedata/scenedata.h"
#include "widget/buttoncode.h"
#include "widget/menupanel.h"

namespace {

constexpr const char* kModeExistKeys[] = {"cgModeExistFlag", "sceneModeExistFlag", "bgmModeExistFlag"};

}  // namespace

CCommonOmake::CCommonOmake(const GameRoles& game) : CCommonGeneral(game) {
  SetModeNumber(kModeNumber);
  LoadSetupFile("omake", 32);
  if (game_) {
    cgList_ = game_.saves->GetCGList();
    sceneList_ = game_.saves->GetSceneList();
  }
  GetSetupInt(&basicButtonNumber_, "basicButtonNumber");
  setup_ = std::make_unique<CMenuButtonSetup>(GetSetupList(), basicButtonNumber_);
  LoadBackScriptSetup();
  LoadMustAllPrintFlag();
  GetSetupInt(&miniGameCheckFlag_, "miniGameFlag");
  if (miniGameCheckFlag_) mustAllPrintFlag_ = 1;
  GetSetupInt(&menuStartWaitTime_, "menuStartWaitTime");
  GetSetupInt(&menuStartEffectTime_, "menuStartEffectTime");
  GetSetupInt(&menuStartEffectType_, "menuStartEffectType");
  GetSetupInt(&menuStartDeltaX_, "menuStartDeltaX");
  GetSetupInt(&menuStartDeltaY_, "menuStartDeltaY");
  GetSetupInt(&cgCharaAuto_, "autoCGCharaFlag");
  GetSetupInt(&sceneCharaAuto_, "autoSceneCharaFlag");
  backgroundFileName_ = "title_bg2";
  GetSetupString(&backgroundFileName_, "filenameBG");
  LoadBgmSetup();
  LoadFadeSetup();
  LoadEnterExitVoiceSetup();

  extModeNumber_ = setup_->GetExtModeNumber();
  basicButtonNumber_ = setup_->GetBasicButtonNumber();
  extButtonNumber_ = setup_->GetExtButtonNumber();
  if (extModeNumber_ > 0 && game_) {
    if (const char* name = setup_->GetExtModeCheckVarName()) checkVar_ = game_.variables->GetVarNumber(name);
    if (const char* name = setup_->GetExtModeReturnVarName()) returnVar_ = game_.variables->GetVarNumber(name);
  }
  for (int i = 0; i < 3; ++i) GetSetupInt(&modeExist_[i], kModeExistKeys[i]);

  panel_ = std::make_unique<CMenuButtonPanel>(setup_.get(), backScriptFlag_ ? nullptr : screenPicture_);
  int base = kFirstPoolPicture;
  if (game_ && game_.modeFlow->GetAreaButtonMode()) base += game_.modeFlow->GetMiniGameCheckNumber();
  for (int c = 0; c < panel_->GetColumns(); ++c) panel_->SetPicture(c, CPicturePool::GetPicture(base + c), -1);
  panel_->SetCancelButton(kCancelColumn);
}

CCommonOmake::~CCommonOmake() { Release(); }

void CCommonOmake::Release() {
  panel_.reset();
  setup_.reset();
}

int CCommonOmake::GetPhase() const {
  const long long wait = menuStartWaitTime_;
  if (timer_ < wait) return 1;
  if (timer_ < wait + menuStartEffectTime_) return 2;
  return 0;
}

void CCommonOmake::EndAnime() {
  const long long end = static_cast<long long>(menuStartWaitTime_) + menuStartEffectTime_;
  timer_ = static_cast<int>(end > 0 ? end : 0);
  if (game_) game_.modeFlow->SetMiniGameAreaMode(kModeNumber);
}

int CCommonOmake::Init() {
  timer_ = 0;
  if (game_) game_.screen->ResetFrameTime();
  if (!panel_) return -1;
  currentMenu_ = 0;
  if (extModeNumber_ > 0 && checkVar_ != -1 && game_) currentMenu_ = game_.variables->GetVar(checkVar_);
  panel_->SetMenu(currentMenu_);
  currentMenu_ = panel_->GetMenu();
  if (game_) {
    game_.messageWindow->EndSkipFilm();
    game_.modeFlow->SetScriptStartFlag(0);
  }
  LoadBackgroundPicture();
  for (int c = 0; c < 3; ++c)
    if (!modeExist_[c]) panel_->SetExist(c, 0, -1);
  panel_->Init();
  for (int c = 0; c < panel_->GetColumns(); ++c) {
    const char* name = panel_->GetFilename(c, currentMenu_);
    if (CPicture* picture = panel_->GetPicture(c, currentMenu_); picture && name)
      picture->LoadDWQ(("sys\\" + std::string(name)).c_str());
  }
  if (GetPhase() == 0 && game_) game_.modeFlow->SetMiniGameAreaMode(kModeNumber);
  return -1;
}

int CCommonOmake::Calcu() {
  if (GetPhase() != 0) {
    ++timer_;
    if (GetPhase() == 0 || GetClick(0) || GetClick(1)) EndAnime();
    return -1;
  }
  if (!panel_) return -1;
  const int32_t code = panel_->Calcu(input_, 0);
  const int sound = GetButtonCodeSound(code);
  if (sound > 0 && game_) game_.sound->PlaySystemSe(sound - 1, 0);
  const int n = GetButtonCodeNumber(code);
  if (GetButtonCodeKind(code) != buttoncode::kDecided || n < 0) return -1;
  if (game_) {
    game_.backScript->SetBackScriptMode(0);
    game_.screen->ResetFrameTime();
  }
  return Decide(n);
}

int CCommonOmake::Decide(int n) {
  switch (n) {
    case 0:
      if (!cgCharaAuto_) return ExitToMode(modenumber::kSelectCGChara);
      if (cgList_) cgList_->SetCurrentChara(0);
      // The gallery's back button returns here.
      if (game_) game_.modeFlow->NotifyMode(modenumber::kSelectCG, kModeNumber);
      return ExitToMode(modenumber::kSelectCG);
    case 1:
      if (!sceneCharaAuto_) return ExitToMode(modenumber::kSelectSceneChara);
      if (sceneList_) sceneList_->SetCurrentChara(0);
      if (game_) game_.modeFlow->NotifyMode(modenumber::kSelectScene, kModeNumber);
      return ExitToMode(modenumber::kSelectScene);
    case 2:
      return ExitToMode(modenumber::kListenBGM);
    case 3:
      return ExitToMode(modenumber::kTitle);
    default:
      break;
  }
  if (n < basicButtonNumber_) return SpecialOrNewGame(setup_->GetBasicButtonSpecialMode(n), 3 - n);
  const int k = n - basicButtonNumber_;
  return SpecialOrNewGame(setup_->GetExtButtonSpecialMode(k), k + 1);
}

int CCommonOmake::SpecialOrNewGame(int m, int value) {
  if (game_) game_.messageWindow->SetMessageModeFlag(0);
  if (m > 0) return ExitToMode(m);
  if (game_) {
    game_.modeFlow->StartNewGame(0, 0, returnVar_, value);
    game_.messageWindow->SetSkipFilmFlag(1);
  }
  return -1;
}

int CCommonOmake::Print() {
  PrintBackScreen();
  if (!panel_) return -1;
  switch (GetPhase()) {
    case 0:
      panel_->Print(CScreenBuffer::CheckFullRedraw());
      break;
    case 2:
      CScreenBuffer::SetFullRedraw(0);
      panel_->PrintAnime(timer_ - menuStartWaitTime_, menuStartEffectTime_, menuStartEffectType_, menuStartDeltaX_,
                         menuStartDeltaY_);
      break;
    default:
      break;
  }
  return -1;
}

int CCommonOmake::PrintEnterScreen() {
  CScreenBuffer::SetFullRedraw(0);
  if (panel_) panel_->Calcu(nullptr, 0);
  return Print();
}
