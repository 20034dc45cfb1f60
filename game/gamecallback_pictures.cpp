// CGameCallBack: pictures, effects, transitions and the boss-coming screen.
#include "game/gamecallback.h"

#include "graphics/systempicture.h"

CPicture* CGameCallBack::GetScreenPicture() { return screenPicture_; }

CPicture* CGameCallBack::GetWorkPicture() { return workPicture_; }

void CGameCallBack::AddEffectFrame(int) {}

void CGameCallBack::EndEffectMove() {}

void CGameCallBack::RefreshEffect(int) {}

void CGameCallBack::PrintEffect(int, int) {}

uint32_t* CGameCallBack::GetPixelBuffer() { return pixelBuffer_; }

CPicture* CGameCallBack::GetBufferPicture(int n) {
  return n == 0 || n == 1 ? bufferPicture_[n] : nullptr;
}

int CGameCallBack::GetWipeType() { return wipeType_; }

int CGameCallBack::GetWipeLength() { return wipeLength_; }

void CGameCallBack::PrintWipe(int) {}

void CGameCallBack::PrintWipeType(int, int, int) {}

CPicture* CGameCallBack::LoadSystemPicture(const char* name, int flag) {
  return systemPicture_ ? systemPicture_->Load(name, flag) : nullptr;
}

int CGameCallBack::GetBossComingFlag() { return bossComingFlag_; }

void CGameCallBack::SetBossComingFlag(int flag) { bossComingFlag_ = flag; }

void CGameCallBack::PrintBossComing() {}

void CGameCallBack::InitBossComing() {}

void CGameCallBack::OnSetVar(int, int) {}
