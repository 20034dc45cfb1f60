#include "mode/systemmenu.h"

#include <algorithm>
#include <string>

#include "services/floatingservices.h"
#include "services/messagewindowservices.h"
#include "services/modeflowservices.h"
#include "services/screenservices.h"
#include "services/soundservices.h"
#include "services/variableservices.h"
#include "graphics/allgraphics.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "input/inputstatus.h"
#include "graphics/systempicture.h"
#include "platform/system.h"
#include "setup/random.h"
#include "widget/buttoncode.h"
#include "widget/buttongroup.h"
#include "widget/commonbutton.h"
#include "widget/menupanel.h"

namespace systemmenu {

int ClampOptionNumber(int n) { return std::clamp(n, 1, kMaxOptions); }

int AppearStep(int time, int type) {
  if (time <= 0 || type <= 0) return kScale;
  return std::max(1, kScale / time);
}

bool AddDefaultKey(int slots[3], int key) {
  for (int i = 0; i < 3; ++i)
    if (slots[i] == key) return false;
  for (int i = 0; i < 3; ++i) {
    if (slots[i] == 0 || slots[i] == -1) {
      slots[i] = key;
      return true;
    }
  }
  return false;
}

}  // namespace systemmenu

namespace {

using systemmenu::kBuiltIn;
using systemmenu::kScale;

// The built-in options' default keys: 'S', 'L', 'C', space, Shift, cursor
// up, 'A'; the last two have none.
constexpr int kDefaultKeys[kBuiltIn] = {'S', 'L', 'C', 32, 16, 38, 'A', 0, 0};
constexpr const char* kDialogNames[] = {"dialogOk", "dialogCancel"};
constexpr int kQuickLoadCommand = 5;
// "menuPrintType" 1..6 reveals from the left, right, top, bottom, the
// horizontal and the vertical centre: the panel's wipe numbers.
constexpr int kWipes[6] = {2, 3, 0, 1, 4, 5};

std::string SysName(const char* name) { return "sys\\" + std::string(name); }

}  // namespace

CCommonSystemMenu::CCommonSystemMenu(const GameRoles& game) : CCommonGeneral(game) {
  SetModeNumber(kModeNumber);
  LoadSetupFile("SystemMenu", 128);
  LoadBackScriptSetup();
  GetSetupIntDefault(&mustAllPrintFlag_, "mustAllPrintFlag", 1);
  LoadFadeSetup();
  LoadEnterExitVoiceSetup();
  LoadBgmSetup();

  GetSetupInt(&optionNumber_, "optionNumber");
  optionNumber_ = systemmenu::ClampOptionNumber(optionNumber_);
  for (int n = kBuiltIn + 1; n <= optionNumber_; ++n) {
    GetSetupInt(&expMode_[n - 1], ("expOptionMode" + std::to_string(n)).c_str());
    GetSetupInt(&expCommand_[n - 1], ("expOptionCommand" + std::to_string(n)).c_str());
  }
  GetSetupString(&sceneBackName_, "systemMenuSceneBackFileName");
  GetSetupString(&sceneEndName_, "systemMenuSceneEndFileName");
  GetSetupInt(&setDefaultShortCut_, "setDefaultShortCutFlag");
  GetSetupInt(&menuPrintType_, "menuPrintType");
  GetSetupInt(&menuPrintTime_, "menuPrintTime");
  GetSetupString(&baseName_, "filenameMenuBase");
  GetSetupInt(&baseX_, "basePrintX");
  GetSetupInt(&baseY_, "basePrintY");
  GetSetupInt(&baseW_, "baseSizeX");
  GetSetupInt(&baseH_, "baseSizeY");
  GetSetupInt(&outClickReturn_, "outClickReturnFlag");
  GetSetupInt(&warningPrint_, "warningPrintFlag");
  GetSetupInt(&warningMenuPrint_, "warningMenuPrintFlag");
  GetSetupInt(&exitWarningSound_, "exitWarningSound");
  GetSetupString(&dialogName_, "fileNameDialog");
  GetSetupInt(&dialogX_, "dialogX");
  GetSetupInt(&dialogY_, "dialogY");
  GetSetupInt(&dialogW_, "dialogSizeX");
  GetSetupInt(&dialogH_, "dialogSizeY");
  backScreenType_ = backScriptFlag_ ? 3 : 2;
  GetSetupInt(&backScreenType_, "backScreenType");
  GetSetupString(&backScreenName_, "backScreenFileName");
  GetSetupInt(&nega_, "backScreenEffectNega");
  GetSetupInt(&grey_, "backScreenEffectGrey");
  GetSetupInt(&multi_, "backScreenEffectMulti");
  GetSetupInt(&addSub_, "backScreenEffectAddSub");
  if (multi_) {
    GetSetupInt(&multiRGB_[0], "backScreenMultiR");
    GetSetupInt(&multiRGB_[1], "backScreenMultiG");
    GetSetupInt(&multiRGB_[2], "backScreenMultiB");
  }
  if (addSub_) {
    GetSetupInt(&addRGB_[0], "backScreenColorR");
    GetSetupInt(&addRGB_[1], "backScreenColorG");
    GetSetupInt(&addRGB_[2], "backScreenColorB");
  }
  GetSetupInt(&screenToGetPut_, "screenToGetPutFlag");
  GetSetupInt(&getWithMessage_, "getWithMessageFlag");
  step_ = systemmenu::AppearStep(menuPrintTime_, menuPrintType_);

  setup_ = std::make_unique<CMenuButtonSetup>(GetSetupList(), optionNumber_);
  panel_ = std::make_unique<CMenuButtonPanel>(setup_.get(), backScriptFlag_ ? nullptr : screenPicture_);
  for (int c = 0; c < panel_->GetColumns(); ++c)
    panel_->SetPicture(c, CPicturePool::GetPicture(kFirstPoolPicture + c), -1);
  panel_->SetCancelButton(kCancelOption);
  if (setDefaultShortCut_) {
    for (int i = 0; i < kBuiltIn; ++i) {
      CCommonButton* button = panel_->GetButton(i, 0);
      if (!button || kDefaultKeys[i] == 0) continue;
      int slots[CCommonButton::kAccelKeys];
      for (int k = 0; k < CCommonButton::kAccelKeys; ++k) slots[k] = button->GetAccelKey(k);
      if (systemmenu::AddDefaultKey(slots, kDefaultKeys[i]))
        for (int k = 0; k < CCommonButton::kAccelKeys; ++k) button->SetAccelKey(slots[k], k);
    }
  }
  dialog_ = std::make_unique<CCommonButtonGroup>(GetSetupList(), 2, backScriptFlag_ ? nullptr : screenPicture_,
                                                 nullptr, kDialogNames);
  for (int i = 0; i < 2; ++i) {
    dialog_->SetPicture(i, CPicturePool::GetPicture(kDialogPoolPicture + i));
    const platform::Point p = dialog_->GetPrintXY(i);
    dialog_->SetPrintXY(i, p.x + dialogX_, p.y + dialogY_);
  }
  dialog_->SetCancelButton(1, 1);
}

CCommonSystemMenu::~CCommonSystemMenu() { Release(); }

void CCommonSystemMenu::Release() {
  dialog_.reset();
  panel_.reset();
  setup_.reset();
}

void CCommonSystemMenu::SetSceneMode(int flag) {
  sceneRequest_ = flag ? 1 : 0;
  if (!flag) sceneMode_ = 0;
}

int CCommonSystemMenu::GetOptionAccelKey(int option) const {
  CCommonButton* button = panel_ ? panel_->GetButton(option, 0) : nullptr;
  return button ? button->GetAccelKey(0) : -1;
}

int CCommonSystemMenu::GetOptionMode(int option) const {
  return option >= kBuiltIn && option < optionNumber_ ? expMode_[option] : 0;
}

int CCommonSystemMenu::GetOptionCommand(int option) const {
  return option >= kBuiltIn && option < optionNumber_ ? expCommand_[option] : 0;
}

void CCommonSystemMenu::BeforeInit() {
  if (!backScriptFlag_ || !screenToGetPut_ || !game_) return;
  game_.floating->RestoreFloatingLayers();
  CScreenBuffer::SetFullRedraw(0);
  if (!getWithMessage_) {
    game_.screen->RefreshEffect(0);
    game_.screen->RefreshEffect(1);
  }
  if (CPicture* effect = game_.screen->GetEffectScreenPicture()) effect->GetScreen();
}

void CCommonSystemMenu::FilterScreen() {
  if (nega_) CAllGraphics::Nega();
  if (grey_) CAllGraphics::Grey();
  if (multi_) CAllGraphics::Multi(multiRGB_[0], multiRGB_[1], multiRGB_[2]);
  if (addSub_) CAllGraphics::AddSub(addRGB_[0], addRGB_[1], addRGB_[2]);
}

int CCommonSystemMenu::Init() {
  returning_ = 0;
  platform::DebugOutput("[SystemMenu::Init()]");
  sceneMode_ = sceneRequest_;
  if (sceneRequest_) platform::DebugOutput("[SystemMenu::sceneMode]");
  sceneRequest_ = 0;
  if (game_) game_.sound->StopAllSound();

  shown_ = 0;
  dialogOpen_ = 0;
  overall_ = 0;
  if (panel_) panel_->SetMenu(0);
  for (int i = 0; i < optionNumber_; ++i) {
    // Each option's start delay and speed are drawn from the shared
    // generator, whose later numbers the scripts read; the drawing and the
    // end of the animation follow the overall progress alone.
    delay_[i] = (kScale / step_) * i / optionNumber_ + crt::rand() % 3;
    speed_[i] = crt::rand() % 1800 + 900;
  }
  if (game_) game_.floating->RestoreFloatingLayers();

  const bool overScript = backScriptFlag_ && screenToGetPut_;
  if ((backScreenType_ == 2 || overScript) && (nega_ || grey_ || multi_ || addSub_)) {
    CPicture* effect = game_ ? game_.screen->GetEffectScreenPicture() : nullptr;
    if (overScript && game_)
      if (CPicture* back = game_.screen->GetEffectBackPicture()) back->Put(0, 0, 0);
    FilterScreen();
    if (overScript && effect) effect->GetScreen();
  } else if (backScreenType_ == 1 && screenPicture_) {
    screenPicture_->LoadDWQ(SysName(backScreenName_).c_str());
    screenPicture_->Put(0, 0, 0);
  }
  if (CPicture* base = workPicture_) {
    if (base->LoadDWQ(SysName(baseName_).c_str())) base->Put(baseX_, baseY_, 1);
  }
  if (screenPicture_) screenPicture_->GetScreen();

  LoadOptionPictures();
  EnableOptions();
  if (panel_) panel_->Init();
  if (dialog_) dialog_->Init();
  return -1;
}

void CCommonSystemMenu::LoadOptionPictures() {
  if (dialog_)
    for (int i = 0; i < 2; ++i)
      if (CPicture* p = dialog_->GetPicture(i); p && dialog_->GetFilename(i))
        p->LoadDWQ(SysName(dialog_->GetFilename(i)).c_str());
  if (!panel_) return;
  for (int c = 0; c < panel_->GetColumns(); ++c) {
    const char* name = panel_->GetFilename(c, 0);
    if (sceneMode_ && c == kCancelOption && sceneBackName_) name = sceneBackName_;
    if (sceneMode_ && c == kExitOption && sceneEndName_) name = sceneEndName_;
    if (CPicture* p = panel_->GetPicture(c, 0); p && name) p->LoadDWQ(SysName(name).c_str());
  }
}

void CCommonSystemMenu::EnableOptions() {
  if (!panel_) return;
  const int opening = parameter_;
  for (int i = 0; i < optionNumber_; ++i) {
    panel_->SetExist(i, 1, 0);
    panel_->SetEnable(i, 1, 0);
  }
  for (int i = kBuiltIn; i < optionNumber_; ++i)
    if (expMode_[i] > 0 && game_ && !game_.variables->CheckEnableVar(expMode_[i])) panel_->SetEnable(i, 0, 0);
  if (opening != modenumber::kPrintMessage && opening != modenumber::kSelectMessage)
    for (int i : {3, 4, 6}) panel_->SetEnable(i, 0, 0);
  if (game_ && !game_.variables->GetModeFlag(opening)) panel_->SetEnable(5, 0, 0);
  if (sceneMode_) {
    panel_->SetEnable(0, 0, 0);
    panel_->SetEnable(1, 0, 0);
    for (int i = kBuiltIn; i < optionNumber_; ++i) panel_->SetEnable(i, 0, 0);
  } else if (game_ && game_.floating->IsQuickLoadEnable()) {
    for (int i = kBuiltIn; i < optionNumber_; ++i) {
      if (expCommand_[i] != kQuickLoadCommand) continue;
      panel_->SetEnable(i, game_.floating->CheckQuickLoadData() ? 1 : 0, 0);
      break;
    }
  }
}

int CCommonSystemMenu::ReturnToStory() {
  returning_ = 1;
  return ExitToMode(parameter_);
}

int CCommonSystemMenu::LeaveGame() {
  CreateExitScreen();
  return ExitToMode(sceneMode_ ? modenumber::kSelectScene : modenumber::kTitle);
}

int CCommonSystemMenu::OpenDialog() {
  dialogOpen_ = 1;
  if (game_ && exitWarningSound_ > 0) game_.sound->PlaySystemSe(exitWarningSound_ - 1, 0);
  CScreenBuffer::SetFullRedraw(0);
  if (game_) game_.floating->RestoreFloatingLayers();
  if (mustAllPrintFlag_ && !backScriptFlag_ && screenPicture_) screenPicture_->Put(0, 0, 0);
  if (workPicture_) {
    workPicture_->LoadDWQ(SysName(dialogName_).c_str());
    if (!mustAllPrintFlag_) workPicture_->Put(dialogX_, dialogY_, 1);
  }
  if (screenPicture_ && !backScriptFlag_) screenPicture_->GetScreen();
  if (dialog_) dialog_->Init();
  return -1;
}

int CCommonSystemMenu::Decide(int option) {
  if (panel_) panel_->Init();
  switch (option) {
    case 0:
    case 1:
    case 2: {
      const int target =
          option == 0 ? modenumber::kSave : option == 1 ? modenumber::kLoad : modenumber::kConfig;
      if (game_) game_.modeFlow->NotifyMode(target, parameter_);
      CreateExitScreen();
      return ExitToMode(target);
    }
    case 3:
      if (game_) game_.messageWindow->ShowMessageWindow(0);
      return ReturnToStory();
    case 4:
      if (game_) game_.messageWindow->SetShiftSkipState(1);
      return ReturnToStory();
    case 5:
      if (game_) game_.modeFlow->NotifyMode(modenumber::kBackLog, parameter_);
      return modenumber::kBackLog;
    case 6:
      if (game_) game_.variables->SetSystemSetting(6, 1);
      return ReturnToStory();
    case kCancelOption:
      return ReturnToStory();
    case kExitOption:
      if (!warningPrint_ || sceneMode_) return LeaveGame();
      return OpenDialog();
    default:
      break;
  }
  if (option < kBuiltIn || option >= optionNumber_) return -1;
  if (expMode_[option] > 0) {
    if (game_) game_.modeFlow->NotifyMode(expMode_[option], parameter_);
    CreateExitScreen();
    return ExitToMode(expMode_[option]);
  }
  const int command = expCommand_[option];
  if (command <= 0 || !game_) return -1;
  if (command == kQuickLoadCommand && game_.floating->GetQuickLoadDelay()) {
    game_.floating->SetQuickLoadDelayFlag(1);
    return -1;
  }
  if (game_.floating->QuickLoadSave(command) == -1) return ReturnToStory();
  return -1;
}

int CCommonSystemMenu::Calcu() {
  if (dialogOpen_) {
    if (!dialog_) return -1;
    const int n = CheckButtonResult2(dialog_->Calcu(input_));
    if (n == 0) return LeaveGame();
    if (n == 1) return ReturnToStory();
    return -1;
  }
  if (!shown_) {
    if (overall_ < kScale) overall_ = std::min(kScale, overall_ + step_);
    // The menu takes input as soon as it is drawn whole, so a click on a
    // menu that looks finished reaches its option.
    const bool done = overall_ >= kScale;
    if (done || GetClick(0) || GetClick(1)) {
      shown_ = 1;
      if (panel_) panel_->Calcu(nullptr, 0);
      CScreenBuffer::SetFullRedraw(0);
    }
    return -1;
  }
  if (!panel_) return -1;
  const int n = CheckButtonResult2(panel_->Calcu(input_, 0));
  if (n >= 0) return Decide(n);
  if (outClickReturn_ && GetClick(0) && input_) {
    if (const CMouseStatus* mouse = input_->GetMouseStatus()) {
      platform::Point p;
      mouse->GetPos(&p);
      if (p.x < baseX_ || p.y < baseY_ || p.x >= baseX_ + baseW_ || p.y >= baseY_ + baseH_) return ReturnToStory();
    }
  }
  return -1;
}

int CCommonSystemMenu::Print() {
  if (!shown_ && menuPrintType_ > 0) CScreenBuffer::SetFullRedraw(0);
  PrintBackScreen();
  if (!panel_) return -1;
  if (dialogOpen_) {
    if (warningMenuPrint_) panel_->Print();
    if (!backScriptFlag_) {
      if (mustAllPrintFlag_) {
        if (workPicture_) workPicture_->Put(dialogX_, dialogY_, 1);
      } else if (screenPicture_) {
        screenPicture_->Blt(dialogX_, dialogY_, dialogX_, dialogY_, dialogW_, dialogH_, 0);
      }
    } else if (warningMenuPrint_ && workPicture_) {
      workPicture_->Put(dialogX_, dialogY_, 1);
    }
    if (warningMenuPrint_ && dialog_) dialog_->Print();
    return -1;
  }
  if (shown_ || menuPrintType_ <= 0) {
    panel_->Print();
  } else {
    panel_->PrintWipeAnime(overall_, kScale, kWipes[std::min(menuPrintType_, 6) - 1]);
  }
  return -1;
}

void CCommonSystemMenu::AtExit() {
  if (!returning_) return;
  returning_ = 0;
  if (game_) game_.modeFlow->SetReturnFlag();
}
