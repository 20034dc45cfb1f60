// CGameCallBack: pictures, effects, transitions and the boss-coming screen.
#include "game/gamecallback.h"

#include <string>

#include "effect/alleffect.h"
#include "graphics/allgraphics.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "graphics/systempicture.h"

namespace {
constexpr int kExpansionOptions = 16;
}  // namespace

CPicture* CGameCallBack::GetScreenPicture() { return screenPicture_; }

CPicture* CGameCallBack::GetWorkPicture() { return workPicture_; }

void CGameCallBack::AddEffectFrame(int frames) {
  if (effect_) effect_->AddFrame(frames);
}

void CGameCallBack::EndEffectMove() {
  if (!effect_) return;
  effect_->EndMove();
  effect_->FinishEffects();
}

// Pass 0 draws channels 0..14, pass 1 channel 15. While a back script runs
// every channel is drawn, the hidden layers too.
void CGameCallBack::RefreshEffect(int pass) {
  if (!effect_) return;
  const int onlyEnabled = GetBackScriptMode() == 0 ? 1 : 0;
  if (pass == 0) effect_->CheckRedraw();
  if (CScreenBuffer::CheckFullRedraw()) effect_->Print(pass, onlyEnabled);
  if (pass == 1) effect_->FinishEffects();
}

// Every channel of the range, whatever its draw flag; the range that ends
// with the top channel also finishes the effects.
void CGameCallBack::PrintEffect(int first, int last) {
  if (!effect_) return;
  effect_->PrintRange(first, last, 0, 0);
  if (last == kEffectChannels - 1) effect_->FinishEffects();
}

CPicture* CGameCallBack::GetEffectPicture(int n) { return effect_ ? effect_->GetPicture(n) : nullptr; }

uint32_t* CGameCallBack::GetPixelBuffer() { return pixelBuffer_; }

CPicture* CGameCallBack::GetBufferPicture(int n) {
  return n == 0 || n == 1 ? bufferPicture_[n] : nullptr;
}

int CGameCallBack::GetWipeType() { return wipeType_; }

int CGameCallBack::GetWipeLength() { return wipeLength_; }

void CGameCallBack::PrintWipe(int progress) {
  if (effect_) effect_->PrintWipe(wipeType_, bufferPicture_[0], bufferPicture_[1], progress, wipeLength_);
}

void CGameCallBack::PrintWipeType(int progress, int length, int kind) {
  if (effect_) effect_->PrintWipe(kind, bufferPicture_[0], bufferPicture_[1], progress, length);
}

CPicture* CGameCallBack::LoadSystemPicture(const char* name, int flag) {
  return systemPicture_ ? systemPicture_->Load(name, flag) : nullptr;
}

int CGameCallBack::GetBossComingFlag() { return bossComingFlag_; }

void CGameCallBack::SetBossComingFlag(int flag) { bossComingFlag_ = flag; }

void CGameCallBack::PrintBossComing() {
  CScreenBuffer::SetFullRedraw(0);
  if (bossComingType_ == 1)
    CAllGraphics::FillScreen(bossComingColor_[0], bossComingColor_[1], bossComingColor_[2]);
  else if (bossComingType_ == 2 && bossComingPicture_)
    bossComingPicture_->Put(0, 0, 0);
}

void CGameCallBack::InitBossComing() {
  bossComingType_ = 0;
  GetSetupInt(&bossComingType_, "bossComingType");
  for (int& c : bossComingColor_) c = 0;
  delete bossComingPicture_;
  bossComingPicture_ = nullptr;
  if (bossComingType_ > 0) {
    GetSetupInt(&bossComingColor_[0], "bossComingColorR");
    GetSetupInt(&bossComingColor_[1], "bossComingColorG");
    GetSetupInt(&bossComingColor_[2], "bossComingColorB");
  }
  if (bossComingType_ == 2) {
    // A missing file leaves an empty picture, which draws nothing.
    const char* name = "bosscome";
    GetSetupString(&name, "bossComingFileName");
    bossComingPicture_ = new CPicture(nullptr, 1, 1, 0);
    bossComingPicture_->LoadDWQ((std::string("sys\\") + name).c_str(), 0, nullptr);
  }
}

// The expansion options that choose the game mouse's and the message
// cursor's design (counted from 1; 0 none).
void CGameCallBack::OnSetVar(int id, int value) {
  if (id < 300 || id >= 300 + kExpansionOptions) return;
  if (id - 299 == settings_.expModeButtonIsMouse) SetMouseNumberConfig(value);
  if (id - 299 == settings_.expModeButtonIsMessageCursor) SetCursorNumberConfig(value);
}
