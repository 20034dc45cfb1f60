// CCommonGeneral: the mode's settings list and the loaders of the keys every
// mode shares, the music start and the layers built from them. Every key is
// optional; a missing one keeps the default named here.
#include <algorithm>
#include <string>

#include "modebase/commongeneral.h"
#include "services/screenservices.h"
#include "services/soundservices.h"
#include "services/variableservices.h"
#include "modebase/modenames.h"
#include "modebase/modenumbers.h"
#include "graphics/picture.h"
#include "graphics/systempicture.h"
#include "setup/setuplist.h"
#include "widget/backbutton.h"
#include "widget/animepart.h"
#include "widget/dateprint.h"
#include "widget/updownbutton.h"

// --- Settings access ---

int CCommonGeneral::LoadSetupFile(const char* name, int pairs) {
  if (!setupList_) setupList_ = std::make_unique<CSetupList>();
  return setupList_->LoadSetupFile(name, pairs);
}

int CCommonGeneral::GetSetupString(const char** out, const char* key) const {
  return setupList_ ? setupList_->GetSetupString(out, key) : 0;
}

int CCommonGeneral::GetSetupText(const char** out, const char* key) const {
  return setupList_ ? setupList_->GetSetupText(out, key) : 0;
}

int CCommonGeneral::GetSetupInt(int* out, const char* key) const {
  return setupList_ ? setupList_->GetSetupInt(out, key) : 0;
}

int CCommonGeneral::GetSetupIntDefault(int* out, const char* key, int def) const {
  *out = def;
  return GetSetupInt(out, key);
}

int CCommonGeneral::GetSetupMode(const char* key, int* out) const {
  const char* name = nullptr;
  if (!GetSetupString(&name, key) || !name || !*name) return 0;
  const int mode = modenames::GetModeNumber(name);
  if (mode <= 0) return 0;
  *out = mode;
  return 1;
}

CNameList* CCommonGeneral::GetSetupList() const {
  return setupList_ ? setupList_->GetList() : nullptr;
}

void CCommonGeneral::ReadColor(const char* prefix, int* r, int* g, int* b) const {
  int* const parts[3] = {r, g, b};
  static constexpr const char* kSuffix[3] = {"R", "G", "B"};
  for (int i = 0; i < 3; ++i) {
    GetSetupIntDefault(parts[i], (std::string(prefix) + kSuffix[i]).c_str(), 0);
    // A bad value must not spill into the next channel of the colour word.
    *parts[i] = std::clamp(*parts[i], 0, 255);
  }
}

// --- Loaders ---

void CCommonGeneral::LoadFadeSetup() {
  GetSetupIntDefault(&enterFadeInType_, "enterFadeInType", 0);
  if (enterFadeInType_ != 0) {
    GetSetupIntDefault(&enterFadeInTime_, "enterFadeInTime", kDefaultFadeTime);
    if (enterFadeInType_ == -1)
      ReadColor("enterFadeInColor", &enterFadeR_, &enterFadeG_, &enterFadeB_);
  }

  // A wipe or cross-fade fills the exit screen unless the list says not to.
  if (ReadExitFade(&exitNormal_, ""))
    GetSetupIntDefault(&exitNormal_.fillScreen, "fillExitScreenFlag", 1);
  GetSetupIntDefault(&exitNormal_.createScreen, "createExitScreenFlag", 1);

  int special = 0;
  if (GetSetupMode("exitFadeOutSpecialMode", &special)) exitFadeOutSpecialMode_ = special;
  if (exitFadeOutSpecialMode_ < 0) return;
  // A special fade captures its screen unless the list says not to.
  if (ReadExitFade(&exitSpecial_, "Special"))
    GetSetupIntDefault(&exitSpecial_.createScreen, "createExitScreenFlagSpecial", 1);
  GetSetupIntDefault(&exitSpecial_.fillScreen, "fillExitScreenFlagSpecial", 0);
}

int CCommonGeneral::ReadExitFade(ExitFade* fade, const char* suffix) {
  const std::string s = suffix;
  GetSetupIntDefault(&fade->type, ("exitFadeOutType" + s).c_str(), 0);
  if (fade->type == 0) return 0;
  GetSetupIntDefault(&fade->time, ("exitFadeOutTime" + s).c_str(), kDefaultFadeTime);
  ReadColor(("exitFadeOutColor" + s).c_str(), &fade->r, &fade->g, &fade->b);
  return 1;
}

void CCommonGeneral::LoadEnterExitVoiceSetup() {
  if (!GetSetupList()) return;
  GetSetupIntDefault(&enterExitVoiceFlag_, "enterExitVoiceFlag", 0);
  if (!enterExitVoiceFlag_) return;
  GetSetupString(&enterVoiceFileName_, "enterVoiceFileName");
  GetSetupString(&exitVoiceFileName_, "exitVoiceFileName");
  GetSetupIntDefault(&enterVoiceWaitTime_, "enterVoiceWaitTime", kDefaultVoiceWait);
  GetSetupIntDefault(&exitVoiceWaitTime_, "exitVoiceWaitTime", 5);
}

void CCommonGeneral::LoadDialogVoiceSetup() {
  if (!GetSetupList()) return;
  GetSetupIntDefault(&dialogVoiceFlag_, "dialogVoiceFlag", 0);
  if (!dialogVoiceFlag_) return;
  GetSetupString(&dialogVoiceFileName_, "dialogVoiceFileName");
  GetSetupIntDefault(&dialogVoiceWaitTime_, "dialogVoiceWaitTime", 10);
  GetSetupString(&dialogYesVoiceFileName_, "dialogYesVoiceFileName");
  GetSetupString(&dialogNoVoiceFileName_, "dialogNoVoiceFileName");
}

void CCommonGeneral::LoadBgmSetup() {
  GetSetupIntDefault(&bgmNumber_, "bgmNumber", -1);
  GetSetupIntDefault(&bgmRestartFlag_, "bgmRestartFlag", 0);
  GetSetupIntDefault(&bgmVolume_, "bgmVolume", 0);
  GetSetupIntDefault(&bgmLoop_, "bgmLoop", 0);
  GetSetupIntDefault(&bgmFadeInTime_, "bgmFadeInTime",
                     game_ ? game_.sound->GetDefaultMusicFadeInTime() : 0);
}

// The loop flag keeps what the constructor or the caller set before.
void CCommonGeneral::LoadBackScriptSetup() {
  GetSetupIntDefault(&backScriptFlag_, "backScriptFlag", 0);
  if (!backScriptFlag_) return;
  GetSetupString(&backScriptName_, "backScriptName");
  GetSetupInt(&backScriptLoopFlag_, "backScriptLoopFlag");
}

void CCommonGeneral::LoadMustAllPrintFlag() {
  GetSetupIntDefault(&mustAllPrintFlag_, "mustAllPrintFlag", 0);
}

void CCommonGeneral::LoadKeyMoveSetup(int tateYoko, int upDown, int leftRight) {
  GetSetupIntDefault(&keyMoveEnable_, "keyMoveEnable", 1);
  GetSetupIntDefault(&keyMoveCannotSelectOk_, "keyMoveCannotSelectOk", 0);
  GetSetupIntDefault(&keyMoveUpDownEnable_, "keyMoveUpDownEnable", upDown);
  GetSetupIntDefault(&keyMoveLeftRightEnable_, "keyMoveLeftRightEnable", leftRight);
  GetSetupIntDefault(&keyMoveTateYoko_, "keyMoveTateYoko", tateYoko);
}

// Type 0: the mode's own CCommonBackButton "back" over this list or, with
// "useCommonBackSetup", over the game's list (whose position and file name
// the mode's own position keys then override), drawing into work picture 0
// of the pool. Type 1 takes the game's shared back button, which only a
// title's game class makes (CGameCallBack::CreateBackButton is empty), so
// the mode has none here. Other types: none.
void CCommonGeneral::LoadBackButtonSetup() {
  GetSetupIntDefault(&backButtonType_, "backButtonType", 0);
  GetSetupIntDefault(&backPrintX_, "backPrintX", 0);
  GetSetupIntDefault(&backPrintY_, "backPrintY", 0);
  backFileName_ = "ta_backButton";
  GetSetupString(&backFileName_, "BackFileName");
  GetSetupIntDefault(&backButtonBGUse_, "backButtonBGUse", 1);
  GetSetupIntDefault(&useCommonBackSetup_, "useCommonBackSetup", 0);
  if (backButtonType_ != 0 || ownBackButton_) return;

  CPicture* background = (backScriptFlag_ || !backButtonBGUse_) ? nullptr : screenPicture_;
  CNameList* list = GetSetupList();
  if (useCommonBackSetup_) {
    const CSetupList* common = game_ ? game_.variables->GetGameSetupList() : nullptr;
    list = common ? common->GetList() : nullptr;
    if (common) {
      common->GetSetupInt(&backPrintX_, "backPrintX");
      common->GetSetupInt(&backPrintY_, "backPrintY");
    }
    GetSetupInt(&backPrintX_, "backPrintX");
    GetSetupInt(&backPrintY_, "backPrintY");
    if (common) common->GetSetupString(&backFileName_, "BackFileName");
  }
  ownBackButton_ = new CCommonBackButton(list, "back", background);
  ownBackButton_->SetPicture(CPicturePool::GetPicture(0));
  backButton_ = ownBackButton_;
}

// Type 0: the mode's own CUpDownButton over this list or, with
// "useCommonUpDownSetup", over the game's list (whose positions the mode's
// own keys then override, and whose file names win), drawing into pool
// pictures 1 (up) and 2 (down). Type 1 names the game's shared pair, which
// the game object does not make: the mode has none. Other types: none.
void CCommonGeneral::LoadUpDownButtonSetup() {
  GetSetupIntDefault(&updownButtonType_, "updownButtonType", 0);
  GetSetupIntDefault(&upPrintX_, "upPrintX", 0);
  GetSetupIntDefault(&upPrintY_, "upPrintY", 0);
  GetSetupIntDefault(&downPrintX_, "downPrintX", 0);
  GetSetupIntDefault(&downPrintY_, "downPrintY", 0);
  upFileName_ = "ta_upButton";
  downFileName_ = "ta_downButton";
  GetSetupString(&upFileName_, "UpFileName");
  GetSetupString(&downFileName_, "DownFileName");
  GetSetupIntDefault(&useCommonUpDownSetup_, "useCommonUpDownSetup", 0);
  if (updownButtonType_ != 0 || ownUpDownButtons_) return;

  CPicture* background = backScriptFlag_ ? nullptr : screenPicture_;
  CNameList* list = GetSetupList();
  if (useCommonUpDownSetup_) {
    const CSetupList* common = game_ ? game_.variables->GetGameSetupList() : nullptr;
    list = common ? common->GetList() : nullptr;
    int* const positions[4] = {&upPrintX_, &upPrintY_, &downPrintX_, &downPrintY_};
    static constexpr const char* kKeys[4] = {"upPrintX", "upPrintY", "downPrintX", "downPrintY"};
    for (int i = 0; i < 4; ++i) {
      if (common) common->GetSetupInt(positions[i], kKeys[i]);
      GetSetupInt(positions[i], kKeys[i]);
    }
    if (common) {
      common->GetSetupString(&upFileName_, "upFileName");
      common->GetSetupString(&downFileName_, "downFileName");
    }
  }
  ownUpDownButtons_ = new CUpDownButton(list, background);
  ownUpDownButtons_->SetPicture(CUpDownButton::kUp, CPicturePool::GetPicture(1));
  ownUpDownButtons_->SetPicture(CUpDownButton::kDown, CPicturePool::GetPicture(2));
  upDownButtons_ = ownUpDownButtons_;
}

// The one control over the back button and the pair (either may be
// missing); made once.
void CCommonGeneral::CreateUpdownBack() {
  if (!updownBack_) updownBack_ = new CCommonUpdownBack(backButton_, upDownButtons_);
}

void CCommonGeneral::SetBackButtonPos() {
  if (backButton_) backButton_->SetPrintPos(backPrintX_, backPrintY_);
}

void CCommonGeneral::SetUpDownButtonPos() {
  if (upDownButtons_) upDownButtons_->SetPrintXY(upPrintX_, upPrintY_, downPrintX_, downPrintY_);
}

// Reloads "sys\\<file name>" into the button's picture (the button's own
// file-name key, else "BackFileName").
void CCommonGeneral::ReloadBackButtonPicture() { ReloadButtonPicture(backButton_, backFileName_); }

// The same for both buttons of the pair ("UpFileName", "DownFileName"
// when the buttons name no file).
void CCommonGeneral::ReloadUpDownButtonPicture() {
  if (!upDownButtons_) return;
  ReloadButtonPicture(upDownButtons_->GetButton(CUpDownButton::kUp), upFileName_);
  ReloadButtonPicture(upDownButtons_->GetButton(CUpDownButton::kDown), downFileName_);
}

void CCommonGeneral::LoadBackgroundPicture() {
  if (backScriptFlag_ || !screenPicture_ || !backgroundFileName_) return;
  screenPicture_->LoadDWQ((std::string("sys\\") + backgroundFileName_).c_str());
}

void CCommonGeneral::LoadQuickButtonSetup() {
  if (!quickButtonTable_) quickButtonTable_ = std::make_unique<int[]>(kQuickTableSize);
  std::fill_n(quickButtonTable_.get(), kQuickTableSize, 0);
  for (int i = 0; i < kQuickTableSize; ++i) {
    const char* name = modenames::GetQuickButtonName(i);
    if (!*name) break;
    int value = 0;
    GetSetupInt(&value, ("disableQuick" + std::string(name) + "Button").c_str());
    if (value == 0) continue;
    const int mode = modenames::GetModeNumber(name);
    if (mode > 0 && mode < kQuickTableSize) quickButtonTable_[mode] = value;
  }
}

// Each layer "animeLayer%d" (1-based) is a variable-bound animation part
// over this list with the system picture of its file name; its background
// is the screen picture unless "mustAllPrintFlag" or "backScriptFlag" is
// set. A variable name starting with '@' binds no variable.
void CCommonGeneral::LoadAnimeLayerSetup() {
  GetSetupIntDefault(&animeLayerNumber_, "animeLayerNumber", 0);
  if (animeLayerNumber_ <= 0) {
    animeLayerNumber_ = 0;
    return;
  }
  animeLayerNumber_ = std::min(animeLayerNumber_, kMaxAnimeLayers);
  if (!animeLayers_) {
    // The message mode redraws everything under its layers every frame.
    if (modeNumber_ == modenumber::kPrintMessage) mustAllPrintFlag_ = 1;
    CPicture* back = mustAllPrintFlag_ || backScriptFlag_ ? nullptr : screenPicture_;
    animeLayers_ = new CVarAnimePart*[animeLayerNumber_];
    for (int i = 0; i < animeLayerNumber_; ++i) {
      const std::string prefix = "animeLayer" + std::to_string(i + 1);
      CVarAnimePart* layer = new CVarAnimePart(GetSetupList(), prefix.c_str(), back);
      if (game_) {
        layer->SetPicture(game_.screen->LoadSystemPicture(layer->GetFilename(), 0));
        const char* var = layer->GetVarName();
        if (var && var[0] != '@') layer->SetVarNumber(game_.variables->GetVarNumber(var));
      }
      animeLayers_[i] = layer;
    }
    animeLayerCount_ = animeLayerNumber_;
  }
  GetSetupIntDefault(&animeLayerFirst_, "animeLayerFirst", 1);
}

void CCommonGeneral::LoadGameDateLayerSetup() {
  GetSetupIntDefault(&gameDateLayerPrintFlag_, "gameDateLayerPrintFlag", 0);
  if (!gameDateLayerPrintFlag_) return;
  // The date is restored from the screen picture unless the whole screen is
  // drawn every frame anyway.
  CPicture* back = mustAllPrintFlag_ || backScriptFlag_ ? nullptr : screenPicture_;
  delete datePrinter_;
  datePrinter_ = new CDatePrint(GetSetupList(), "game", back);
  if (game_) {
    yearVarNumber_ = game_.variables->GetVarNumber("year");
    dateVarNumber_ = game_.variables->GetVarNumber("date");
  }
  GetSetupIntDefault(&gameLayerFirst_, "gameLayerFirst", 1);
}

// Draws the date of the "year" and "date" variables (month * 100 + day).
void CCommonGeneral::UpdateGameDateLayer() {
  if (!gameDateLayerPrintFlag_ || !datePrinter_ || !game_) return;
  const int year = game_.variables->GetVar(yearVarNumber_);
  const int date = game_.variables->GetVar(dateVarNumber_);
  datePrinter_->Print(year, date / 100, date % 100);
}

// Draws each layer with its variable's value (1 without a variable); the
// message mode draws without restoring.
void CCommonGeneral::UpdateAnimeLayers() {
  const int noRestore = modeNumber_ == modenumber::kPrintMessage ? 1 : 0;
  for (int i = 0; i < animeLayerCount_; ++i) {
    CVarAnimePart* layer = animeLayers_[i];
    const int var = layer->GetVarNumber();
    const int value = var == -1 ? 1 : (game_ ? game_.variables->GetVar(var) : 0);
    layer->Print(value, noRestore);
  }
}

void CCommonGeneral::StartBgm() {
  if (!game_) return;
  if (bgmRestartFlag_) game_.sound->StopBgm(-1);
  if (bgmNumber_ < 1) return;
  if (game_.sound->GetBgmNumber() + 1 != bgmNumber_)
    game_.sound->PlayBgmNumber(bgmNumber_ - 1, bgmLoop_, bgmVolume_, bgmFadeInTime_, -1);
}
