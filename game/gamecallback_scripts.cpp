// CGameCallBack: the script side: commands, calls and functions, variables,
// the script-run words, scene scripts and the back script.
#include "game/gamecallback.h"
#include "widget/holidaylist.h"

#include <string>

#include "effect/alleffect.h"
#include "modebase/commongeneral.h"
#include "platform/system.h"
#include "platform/types.h"
#include "script/gamevars.h"
#include "script/script.h"
#include "setup/namelist.h"
#include "setup/text.h"

int CGameCallBack::GetVar(int number) {
  if (gameVars_) return gameVars_->GetVar(number);
  // Before initialisation every variable reads 0; literals still read as
  // their number.
  if (number >= 0 && number < kVarCount) return 0;
  return (number & 0x8000) ? number & 0x7FFF : 0;
}

int CGameCallBack::GetSystemVar(int number) {
  return gameVars_ ? gameVars_->GetSystemVar(number) : GetVar(number);
}

void CGameCallBack::SetVar(int number, int value) {
  if (gameVars_) gameVars_->SetVar(number, value);
}

void CGameCallBack::OnSystemCall(int, int, const int*) {}

int CGameCallBack::OnSystemFunction(int, int, const int*) { return 0; }

// The skip words are two counters and then three flags; the first flag says
// a film skip runs.
void CGameCallBack::EndSkipFilm() { skipFilm_[2] = 0; }

void CGameCallBack::SetSkipFilmFlag(int value) { skipFilmStarted_ = value; }

int CGameCallBack::GetMessageModeFlag() { return messageModeFlag_; }

int CGameCallBack::GetShiftSkipState() { return shiftSkipState_; }

void CGameCallBack::SetShiftSkipState(int state) { shiftSkipState_ = state; }

int CGameCallBack::GetVoiceFlag() { return voiceFlag_; }

int CGameCallBack::GetVoiceWaitTime() { return voiceWaitTime_; }

void CGameCallBack::SetResetWord(int value) { resetWord_ = value; }

void CGameCallBack::SetResetWordB(int value) { resetWordB_ = value; }

// --- Game starts ---

// Variables 100..199 and 300..999 start a game at 0, or with "varInitFlag"
// at the integer of their token of "spt\\varinitdata.xtx"; 0..99 and
// 200..299 stay.
void CGameCallBack::ClearGameVars(int fromList) {
  for (int i = 100; i < kVarCount; ++i) {
    if (i >= 200 && i < 300) continue;
    const char* token = fromList && varInitList_ ? varInitList_->GetName(i) : nullptr;
    SetVar(i, token ? setup::ParseDecimal(token) : 0);
  }
}

// What both starts do after the variables: the reset words, the effect
// channels, the skip words and the new-game step of every mode.
void CGameCallBack::ResetForGameStart() {
  SetResetWord(0);
  SetResetWordB(0);
  if (effect_) effect_->ResetAll();
  RunStopF5(0, nullptr);
  messageModeFlag_ = 0;
  OnNewGame(0, 0);
  for (int n = 1; n < kModeCount; ++n)
    if (CCommonGeneral* mode = GetMode(n)) mode->NewGame();
}

int CGameCallBack::StartNewGame(int, int stateFlag, int varNumber, int value) {
  ClearGameVars(settings_.varInitFlag);
  if (varNumber != -1) SetVar(varNumber, value);
  SetMessageWindowOn(0);
  SetMessageWindowMode(0);
  SetBackScriptMode(0);
  SetStoredOption(0);
  ResetTextPosition();
  for (int channel = 0; channel < kEffectChannels; ++channel)
    if (effect_) effect_->SetPrintEnable(channel, 1);
  SetLayerDisableMask(0);
  if (CStoryMessageMode* printMessage = GetPrintMessage()) printMessage->SetCutinNumber(0);
  SetStateVarWord(stateFlag);
  ResetForGameStart();
  // The frame runs the control script from its start.
  if (scripts_[0]) {
    scripts_[0]->SetPC(0);
    scripts_[0]->SetCallDepth(0);
  }
  scriptLevel_ = 0;
  // Without its system script the run stops at once and ends the game on
  // the title, on every start, even where an earlier start stopped.
  if (scripts_[0] && !scripts_[0]->IsLoaded()) {
    ReportNoControlScript();
    scriptHalted_ = 0;
    calledScriptFailed_ = 1;
  }
  if (stateFlag != 0) StopBgm(-1);
  CalcuWaitCount(-1);
  SetSkipFilmFlag(1);
  return -1;
}

void CGameCallBack::ReportNoControlScript() {
  const std::string head =
      std::string(kControlScriptPath) + ": the game cannot start without the system script";
  const char* why = scripts_[0] ? scripts_[0]->GetError(0) : "";
  platform::ErrorOutput((head + " (" + why + ")").c_str());
  if (noControlScriptShown_) return;
  noControlScriptShown_ = 1;
  platform::MessageBox(nullptr, (head + "\n" + why).c_str(), "ERROR", MB_OK | MB_ICONERROR);
}

void CGameCallBack::StartGameScript(int varNumber, int value) {
  ClearGameVars(0);
  SetScriptStartFlag(1);
  if (varNumber != -1) SetVar(varNumber, value);
  SetMessageWindowOn(0);
  ResetForGameStart();
  if (scripts_[0]) {
    scripts_[0]->SetPC(0);
    scripts_[0]->SetCallDepth(0);
  }
  if (scripts_[1]) scripts_[1]->SetPC(0);
  scriptLevel_ = 0;
  if (scripts_[0]) scripts_[0]->Run(-1);
  CalcuWaitCount(-1);
}

int CGameCallBack::CheckHoliday(int year, int month, int day) {
  return holidayList_ && holidayList_->CheckHoliday(year, month, day) ? 1 : 0;
}

void CGameCallBack::OnNewGame(int, int) {}

void CGameCallBack::OnResetGame() {}

int CGameCallBack::GetReservedWord() { return reservedWord_; }

void CGameCallBack::SetCallParam(int count, const int* values) {
  if (count < 0 || !values) count = 0;
  if (count > kMaxCallParams) count = kMaxCallParams;
  for (int i = 0; i < count; ++i) callParams_[i] = values[i];
  callParamCount_ = count;
}

int CGameCallBack::GetScriptStartFlag() { return scriptStartFlag_; }

void CGameCallBack::SetScriptStartFlag(int flag) { scriptStartFlag_ = flag; }

CNameList* CGameCallBack::GetCharaNameList() { return charaNameList_; }

void CGameCallBack::SetBackScriptMode(int mode) { backScriptMode_ = mode; }

int CGameCallBack::GetBackScriptMode() { return backScriptMode_; }

CNameList* CGameCallBack::GetProjectList() { return projectList_; }

int CGameCallBack::GetAutoMessageCheckFlag() { return autoMessageCheckFlag_; }

int CGameCallBack::GetMessageSwitch() { return messageSwitch_; }

int CGameCallBack::GetCannotSkipFlag() { return cannotSkipFlag_; }

int CGameCallBack::GetFloatingButtonOffFlag() { return floatingButtonOffFlag_; }

void CGameCallBack::OnScriptCommand(int) {}

