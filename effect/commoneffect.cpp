#include "effect/commoneffect.h"

#include <algorithm>

#include "effect/effectmanager.h"
#include "graphics/allgraphics.h"
#include "graphics/pictureloader.h"

CQuietPictureLoads::CQuietPictureLoads() : report_(GetLoadDwqErrorFlag()) {
  SetLoadDwqErrorFlag(0);
}
CQuietPictureLoads::~CQuietPictureLoads() { SetLoadDwqErrorFlag(report_); }

CCommonEffect::CCommonEffect(CEffectManager* manager, int) : manager_(manager) {}

CCommonEffect::~CCommonEffect() { Release(); }

int CCommonEffect::SetParam(EffectChannel*, int, const int*, int) { return 0; }
int CCommonEffect::Finish(EffectChannel*, int) { return 0; }
void CCommonEffect::Tick(EffectChannel*, int) {}
void CCommonEffect::Init(int, int) {}
void CCommonEffect::Calcu(EffectChannel*, int) {}
void CCommonEffect::Print(EffectChannel*, int) {}
int CCommonEffect::CheckPrintPicture(EffectChannel*, int) { return 1; }
int CCommonEffect::CheckBusy(EffectChannel*, int) { return 1; }
void CCommonEffect::Restore(EffectChannel*, int) {}
int CCommonEffect::GetOption1() { return 0; }
int CCommonEffect::GetOption2() { return 0; }
int CCommonEffect::GetOption3() { return 0; }

int CCommonEffect::TakeParams(int count, const int* values, int max, int* p) {
  const int given = std::clamp(count, 0, max);
  for (int i = 0; i < max; ++i) p[i] = i < given && values ? values[i] : 0;
  return values ? given : 0;
}

int CCommonEffect::StartRecord(EffectChannel* record, int number, int duration, const int* p,
                               int stored) {
  record->Active() = 1;
  record->EffectNumber() = number;
  record->Counter() = 0;
  record->Duration() = std::max(duration, 0);
  for (int i = 0; i < std::min(stored, kMaxParams); ++i) record->Param(i) = p[i];
  return 1;
}

CPicture* CCommonEffect::RecordPicture(const EffectChannel& record) const {
  const int n = record.PictureNumber();
  if (n < 0 || n >= CEffectManager::kChannels) return nullptr;
  return manager_->GetPicture(n);
}

void CCommonEffect::EndAsLayer(EffectChannel* record, int channel) const {
  record->EffectNumber() = 0;
  if (RecordPicture(*record)) return;
  record->Active() = 0;
  record->Opaque() = CEffectManager::IsOpaqueChannel(channel);
}

void CCommonEffect::FillScreenBytes(int r, int g, int b) {
  CAllGraphics::FillScreen(r & 255, g & 255, b & 255);
}
