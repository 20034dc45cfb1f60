// CGameCallBack: the mode table, mode changes, companion modes and the
// services that pass values between modes.
#include "game/gamecallback.h"

int CGameCallBack::CreateMode(int n) {
  if (n < 0 || n >= kModeCount || modeTable_[n] || modeDisable_[n]) return 0;
  // No mode class exists yet, so every number is one without a class.
  return 0;
}

void CGameCallBack::ChangeMode() {
  // A number without a mode object becomes current without entering
  // anything; the request's bits above the low byte are the caller's.
  SetCurrentMode(GetNextMode() & 0xFF);
}

void CGameCallBack::NotifyMode(int, int) {}

void CGameCallBack::SetReturnMode(int mode) { returnMode_ = mode; }

void CGameCallBack::OnModeEnter(int) {}

void CGameCallBack::RestartFromLoad() {}

void CGameCallBack::NotifyListedModes() {}

int CGameCallBack::CheckMovieCodec() { return 0; }

int CGameCallBack::PrepareSystemMode(int result, int) { return result; }

int CGameCallBack::CheckMiniGameStart(int) { return 0; }

// The mini-game mode (40) does not exist yet: nothing to tell or draw.
void CGameCallBack::SetMiniGameAreaMode(int) {}

void CGameCallBack::PrintMiniGameButtons() {}

void CGameCallBack::CreateModes() {}

void CGameCallBack::OnModeHook(int) {}
