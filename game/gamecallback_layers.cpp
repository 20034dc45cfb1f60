// CGameCallBack: the message cursor, floating layers, the floating
// buttons, short-cut keys and the common button setups.
#include "game/gamecallback.h"

void CGameCallBack::OnMessageClick() {}

CCommonButtonSetup* CGameCallBack::GetCommonBackSetup() { return commonBackSetup_; }

int CGameCallBack::GetCommonSetupSecond() { return commonSetupSecond_; }

int CGameCallBack::GetCommonSetupThird() { return commonSetupThird_; }

void CGameCallBack::RestoreFloatingLayers() {}

void CGameCallBack::ResetFloatingLayers() {}

CCommonButtonSetup* CGameCallBack::GetCommonUpDownSetup() { return commonUpDownSetup_; }

void CGameCallBack::OnMessageCursor(int) {}

void CGameCallBack::SetMessageCursorKind(int kind) {
  SetMessageCursor(messageCursorX_, messageCursorY_, kind);
}

// The frame refreshes the cursor when it finds the request. Kinds 2 and up
// follow the text's end: they hand the position to the message cursor once
// that object exists.
void CGameCallBack::SetMessageCursor(int x, int y, int kind) {
  messageCursorX_ = x;
  messageCursorY_ = y;
  messageCursorKind_ = kind;
  messageCursorRequest_ = 1;
}

void CGameCallBack::ShowMessageWindow(int) {}

int CGameCallBack::QueryCommonBackSetup() { return -1; }

void CGameCallBack::ApplyCommonBackSetup(int, int, int, int) {}

int CGameCallBack::QueryCommonUpDownSetup() { return -1; }

void CGameCallBack::ApplyCommonUpDownSetup(int, int, int, int) {}

void CGameCallBack::ResetCommonSetups() {}

int CGameCallBack::CheckShortCut(int) { return -1; }

void CGameCallBack::PrintFloatingLayers() {}

int CGameCallBack::CheckFloatingButtons() { return -1; }

int CGameCallBack::CheckSceneButton() { return -1; }

int CGameCallBack::CheckSkipFilmButton() { return 0; }

void CGameCallBack::HideFloatingButtons() {}

void CGameCallBack::HideSceneButton() {}

void CGameCallBack::HideSkipFilmButton() {}

// The frame carries the requests out near its end (the Show operations).
void CGameCallBack::RequestFloatingButtons() { showRequests_[1] = 1; }

void CGameCallBack::RequestSceneButton() { showRequests_[0] = 1; }

void CGameCallBack::RequestSkipFilmButton() {
  if (skipFilmButtonEnable_ == 1) showRequests_[2] = 1;
}

void CGameCallBack::ShowFloatingButtons() {}

void CGameCallBack::ShowSceneButton() {}

void CGameCallBack::ShowSkipFilmButton() {}
