// CGameCallBack: initialisation. The settings list "game" is read into each
// part's settings record, then the parts make their objects in one fixed
// order (the order the boxes of missing files come in).
#include "game/gamecallback.h"

#include "game/debugpart.h"
#include "game/floatingpart.h"
#include "game/framepart.h"
#include "game/gamelists.h"
#include "game/inputpart.h"
#include "game/messagewindowpart.h"
#include "game/modeflowpart.h"
#include "game/savepart.h"
#include "game/screenpart.h"
#include "game/scriptpart.h"
#include "game/settingkeys.h"
#include "game/soundpart.h"
#include "game/textpart.h"
#include "game/variablepart.h"
#include "platform/sync.h"
#include "savedata/systemfile.h"

namespace {

using Key = IntKey<CGameCallBack::Settings>;
using S = CGameCallBack::Settings;

const Key kGameKeys[] = {
    {"dontCreateGUID", &S::dontCreateGUID},
    {"modalCannotCloseFlag", &S::modalCannotCloseFlag},
    {"f9KeyExitOffFlag", &S::f9KeyExitOffFlag},
    {"escKeyExitOffFlag", &S::escKeyExitOffFlag},
    {"F4OK", &S::F4OK},
    {"F5Ok", &S::F5Ok},
};

}  // namespace

void CGameCallBack::Init() {
  // A second call would make every object twice.
  if (initialised_) return;
  initialised_ = 1;
  // The request events of the game services.
  handshake_.MakeEvents();
  // The settings list "game" (its reader's box when it is missing).
  LoadSetupFile("game", 256);
  ReadSettings();
  MakeObjects();
}

// Every part's keys. The debug part's come first: they start the dated
// error log, named by the time of this start; the frame's before the
// scripts' and the lists' before the sound's, whose defaults follow them.
void CGameCallBack::ReadSettings() {
  GameParts& p = *parts_;
  const CSetupList* list = p.list;
  settings_ = Settings();
  p.debug->ReadSettings();
  ReadIntKeys(list, &settings_, kGameKeys);
  ReadString(list, &settings_.companyName, "companyName");
  ReadString(list, &settings_.gameName, "gameName");
  p.screen->ReadSettings();
  p.frame->ReadSettings();
  p.lists->ReadSettings();
  p.vars->ReadSettings();
  p.sound->ReadSettings();
  p.text->ReadSettings();
  p.saves->ReadSettings();
  p.input->ReadSettings();
  p.floating->ReadSettings();
  p.messageWindow->ReadSettings();
  p.scripts->ReadSettings();
  p.modes->ReadSettings();
}

void CGameCallBack::MakeObjects() {
  GameParts& p = *parts_;
  // The installation's identifier.
  if (!settings_.dontCreateGUID && systemFile_) systemFile_->MakeUniqueId(1);
  // The picture loader before anything loads a picture, the screen buffer
  // (black), the variables, the picture pool and the extra modes.
  p.screen->InitScreenBuffer();
  p.vars->MakeVariables();
  p.screen->MakePicturePool();
  p.modes->MakeExtraModeList();
  // The save-slot layout, the extension rows, the frame-skip controller and
  // the thumbnail size.
  p.saves->MakeSaveSlotLayout();
  p.saves->InitExtSaveData();
  p.frame->Init();
  p.saves->InitMiniCGSize();
  // The mode switches, the keyed flag table and the back button.
  p.modes->InitModeSwitches();
  p.modes->MakeKeyFlagTable();
  p.modes->InitBackButton();
  // The version; variables 200..299 come back from the system file.
  const CSavePart::Settings& save = p.saves->GetSettings();
  p.saves->SetVersion(save.highVersion, save.middleVersion, save.lowVersion);
  p.vars->LoadKeptVars();
  // The window position, the presentation and the screen-size pictures;
  // the scene and picture lists; the effect holder.
  p.screen->AdjustWindowPosition();
  p.screen->InitPresentation();
  p.saves->MakeLists();
  p.screen->MakeEffects();
  // The four script levels with the control script, the starting game
  // state kept.
  p.scripts->Init();
  // The variables and their names, the data lists, the face control, the
  // script functions and calls, the variables the keys name.
  p.vars->InitVariables();
  const int noScript = p.scripts->GetSettings().noScriptFlag;
  p.lists->Load(noScript);
  if (!noScript) p.saves->MakeSceneVoiceList();
  p.messageWindow->InitFaceControl();
  p.scripts->InitFunctionNumbers();
  p.scripts->RegistExtraModeCalls();
  p.vars->InitFlagVars();
  p.vars->InitSystemVarNumbers();
  // Sound, music and voices; the system pictures and the text; the
  // floating layers; the result table; the message window.
  p.sound->Init();
  p.screen->MakeSystemPictures();
  p.text->Init();
  p.floating->Init();
  p.saves->MakeResultTable();
  p.messageWindow->InitMessageWindow();
  // The input, the text entry, the variable overlay, the effect channels'
  // pictures and the meters.
  p.input->Init();
  p.text->MakeTextInputBox();
  p.debug->InitDebugParam();
  p.screen->InitPictureBuffers();
  p.debug->InitMeters();
  p.modes->SetResetWord(0);
  p.input->Clear();
  p.messageWindow->SetShiftSkipState(0);
  // The enable table, the player's names and the boss-coming cover.
  p.vars->InitEnableVars();
  p.vars->InitNames();
  p.screen->InitBossComing();
}
