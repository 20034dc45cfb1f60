// CGameCallBack: the script side: commands, calls and functions, variables,
// the script-run words, scene scripts and the back script.
#include "game/gamecallback.h"

#include "script/gamevars.h"

void CGameCallBack::SystemCommand(int, int, const void*, int) {}

void CGameCallBack::CommandNotice(int, int, const char*) {}

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

int CGameCallBack::StartNewGame(int, int, int, int) { return -1; }

void CGameCallBack::StartGameScript(int, int) {}

int CGameCallBack::CheckHoliday(int, int, int) { return 0; }

int CGameCallBack::CallNextSceneItem() { return 0; }

int CGameCallBack::StartSceneScript() { return 0; }

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

void CGameCallBack::ResetBackScript() {}

CNameList* CGameCallBack::GetProjectList() { return projectList_; }

int CGameCallBack::LoadBackScript(const char*) { return 0; }

int CGameCallBack::CalcuBackScript(int) { return 0; }

void CGameCallBack::PrintBackScript() {}

void CGameCallBack::PrintBackScriptRange(int, int) {}

int CGameCallBack::CallControlScript(int) { return 0; }

int CGameCallBack::GetAutoMessageCheckFlag() { return autoMessageCheckFlag_; }

int CGameCallBack::GetMessageSwitch() { return messageSwitch_; }

int CGameCallBack::GetCannotSkipFlag() { return cannotSkipFlag_; }

int CGameCallBack::GetFloatingButtonOffFlag() { return floatingButtonOffFlag_; }

void CGameCallBack::OnScriptCommand(int) {}

