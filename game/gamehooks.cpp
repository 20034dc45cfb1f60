#include "game/gamehooks.h"

#include <cstdio>

#include "modebase/commongeneral.h"
#include "platform/files.h"

void CGameHooks::OnSystemCall(int, int, const int*) {}
int CGameHooks::OnSystemFunction(int, int, const int*) { return 0; }
void CGameHooks::OnScriptCommand(int) {}
void CGameHooks::OnRestoreStateHook() {}

void CGameHooks::OnFrameStart(int) {}
void CGameHooks::OnBeforeCalcu() {}
void CGameHooks::OnAfterCalcu() {}
void CGameHooks::OnAfterCalcuLate() {}
void CGameHooks::OnBeforeInput() {}
void CGameHooks::OnBeforePrint() {}
int CGameHooks::OnAfterPrint() { return 0; }
void CGameHooks::OnAfterPrintLate() {}
void CGameHooks::OnBeforeFloatingButtons() {}
void CGameHooks::OnBeforePrintScreen() {}
void CGameHooks::OnBeforeFlipScreen() {}
void CGameHooks::OnAfterFlipScreen() {}
void CGameHooks::OnBeforeChangeMode() {}
void CGameHooks::OnAfterChangeMode() {}
void CGameHooks::OnFrameEnd() {}

void CGameHooks::OnBeforeScreenChange() {}
void CGameHooks::OnAfterScreenChange() {}
void CGameHooks::OnScreenChangeBegin() {}
void CGameHooks::OnScreenChangeEnd() {}
void CGameHooks::CallScreenChangeBegin() { OnScreenChangeBegin(); }
void CGameHooks::CallScreenChangeEnd() { OnScreenChangeEnd(); }
void CGameHooks::OnWindowProc() {}
void CGameHooks::OnWindowProcArg(int) {}

std::unique_ptr<CCommonGeneral> CGameHooks::MakeMode(int) { return nullptr; }
void CGameHooks::CreateModes() {}

int CGameHooks::IsDebugMode() {
  FILE* f = platform::FileOpen("debug.txt", "rb");
  if (!f) return 0;
  std::fclose(f);
  return 1;
}

void CGameHooks::OnModeEnter(int) {}
void CGameHooks::OnModeHook(int) {}
void CGameHooks::OnNewGame(int, int) {}
void CGameHooks::OnResetGame() {}
void CGameHooks::OnBeforeSaveSystemFile() {}
void CGameHooks::OnAfterSaveSystemFile() {}
void CGameHooks::OnSetVar(int, int) {}
const char* CGameHooks::GetStatusExtra() { return nullptr; }
int CGameHooks::GetAutoSaveType(int) { return -1; }
void CGameHooks::PutExtSaveDataDefault(uint8_t*, size_t, int) {}
void CGameHooks::GetExtSaveDataDefault(const uint8_t*, size_t, int) {}
void CGameHooks::OnMessageClick() {}
void CGameHooks::OnMessageCursor(int) {}
void CGameHooks::CreateBackButton() {}

int CGameHooks::CheckReady() { return 1; }
int CGameHooks::FrameOnMainThread(int) { return 0; }

int CGameHooks::QueryCommonBackSetup() { return -1; }
void CGameHooks::ApplyCommonBackSetup(int, int, int, int) {}
int CGameHooks::QueryCommonUpDownSetup() { return -1; }
void CGameHooks::ApplyCommonUpDownSetup(int, int, int, int) {}
void CGameHooks::ResetCommonSetups() {}

void CGameHooks::SpareHookPair(int, int) {}
int CGameHooks::SpareCheck() { return 0; }
int CGameHooks::SpareCheckTrue() { return 1; }
void CGameHooks::SpareHookA() {}
int CGameHooks::SpareCheckTrueB() { return 1; }
void CGameHooks::SpareHookB() {}
