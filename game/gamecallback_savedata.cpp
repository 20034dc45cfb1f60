// CGameCallBack: the player's options in the system data, names, save
// chunks, thumbnails, the kept game state and the back log.
#include "game/gamecallback.h"

int CGameCallBack::IsSystemSettingOn() { return GetSystemSetting(2) != 0 ? 1 : 0; }

void CGameCallBack::AddBackLog(const char*, int, int, int) {}

void CGameCallBack::SetBackLogColor(int, int, int, int) {}

void CGameCallBack::PutSaveData(int, uint8_t*, size_t) {}

void CGameCallBack::PutGameStatus(uint8_t*, size_t) {}

void CGameCallBack::PutMiniCG(uint8_t*, size_t) {}

void CGameCallBack::PutGameVar(uint8_t*, size_t) {}

void CGameCallBack::PutEffect(uint8_t*, size_t) {}

void CGameCallBack::PutEffectFileName(uint8_t*, size_t) {}

void CGameCallBack::PutOmakeClass(uint8_t*, size_t) {}

void CGameCallBack::PutCutin(uint8_t*, size_t) {}

void CGameCallBack::GetSaveData(int, const uint8_t*, size_t) {}

void CGameCallBack::GetInfo(const uint8_t*, size_t) {}

void CGameCallBack::GetGameStatus(const uint8_t*, size_t) {}

void CGameCallBack::GetGameVar(const uint8_t*, size_t) {}

void CGameCallBack::GetEffect(const uint8_t*, size_t) {}

void CGameCallBack::GetEffectFileName(const uint8_t*, size_t) {}

void CGameCallBack::GetMessage(const uint8_t*, size_t) {}

void CGameCallBack::GetOmakeClass(const uint8_t*, size_t) {}

void CGameCallBack::GetCutin(const uint8_t*, size_t) {}

void CGameCallBack::MakeMiniCG() {}

int CGameCallBack::GetFirstSystemSetting(int) { return GetSystemSetting(0); }

void CGameCallBack::PutExtSaveDataDefault(uint8_t*, size_t, int) {}

void CGameCallBack::GetExtSaveDataDefault(const uint8_t*, size_t, int) {}

int CGameCallBack::GetVersion() { return version_; }

int CGameCallBack::SetVersion(int high, int middle, int low) {
  // In unsigned, so a large high part wraps instead of overflowing.
  version_ = static_cast<int>(static_cast<uint32_t>(high) << 16 |
                              static_cast<uint32_t>(middle) << 8 | static_cast<uint32_t>(low));
  return version_;
}

void CGameCallBack::OnRestoreStateHook() {}

const char* CGameCallBack::GetSaveHeaderName() { return saveHeaderName_; }

void CGameCallBack::GetMiniCGSize(int* width, int* height) {
  if (width) *width = miniCGWidth_;
  if (height) *height = miniCGHeight_;
}

CDataFileSetup* CGameCallBack::GetSaveSlotLayout() { return saveSlotLayout_; }

const char* CGameCallBack::GetStatusExtra() { return nullptr; }

void CGameCallBack::KeepGameState() {}

void CGameCallBack::RestoreGameState() {}

void CGameCallBack::ClearGameState() {}

int CGameCallBack::GetAutoSaveType(int) { return -1; }

void CGameCallBack::GetMiniCG(uint32_t*, int, int, int) {}

int CGameCallBack::GetUseCutinFlag() { return useCutinFlag_; }

void CGameCallBack::OnBeforeSaveSystemFile() {}

void CGameCallBack::OnAfterSaveSystemFile() {}
