#include "effect/effectmanager.h"

#include <algorithm>
#include <cstring>

#include "effect/commoneffect.h"
#include "effect/wipetableaccess.h"
#include "graphics/allgraphics.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "platform/system.h"

CPicture* CEffectManager::savedScreen_ = nullptr;

namespace {

// The effects the redraw test counts as resting: no-op, fill, buffer.
bool IsStaticEffect(int n) { return n == 0 || n == 54 || n == 66; }

bool SameRect(const int32_t* a, const int32_t* b) { return std::equal(a, a + 4, b); }

int ClampToInt32(int64_t v) {
  return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// v / d rounded half away from zero, in integers.
int64_t RoundedQuotient(int64_t v, int64_t d) {
  const int64_t h2 = d / 2;
  return v >= 0 ? (h2 + v) / d : -((h2 - v) / d);
}

bool ValidPictureNumber(int n) { return n >= 0 && n < CEffectManager::kChannels; }

}  // namespace

CEffectManager::CEffectManager(std::span<const EffectEntry> extra) {
  const int side = std::max({CScreenBuffer::GetWidth(), CScreenBuffer::GetHeight(), 1});
  workBuffer_.assign(static_cast<size_t>(side) * 32, 0);
  for (const EffectEntry& entry : GetEffectEntries())
    if (entry.number >= 0 && entry.number < kTableSize) table_[entry.number] = entry.make(this);
  for (const EffectEntry& entry : extra)
    if (entry.number >= 0 && entry.number < kTableSize) table_[entry.number] = entry.make(this);
  for (int n = 0; n < kTableSize; ++n) endFlags_[n] = table_[n] ? table_[n]->GetEndFlag() : 0;
  for (EffectChannel& record : channels_) {
    record.Active() = 0;
    record.EffectNumber() = -1;
  }
  for (auto& picture : pictures_) picture = std::make_unique<CPicture>();
  printEnable_.fill(1);
  for (auto& effect : table_)
    if (effect) effect->Init(0, -1);
  ResetAll();
  effectSpeed_ = 1;
}

CEffectManager::~CEffectManager() { Release(); }

void CEffectManager::Release() {
  for (auto& picture : pictures_) picture.reset();
  for (auto& effect : table_) {
    if (!effect) continue;
    effect->Release();
    effect.reset();
  }
  endFlags_.fill(0);
  wipeTable_ = nullptr;
  workBuffer_.clear();
  workBuffer_.shrink_to_fit();
}

// --- Channel set-up ---

int CEffectManager::StartEffect(int channel, int number, int count, const int* values) {
  if (channel < 0 || channel >= kChannels || number < 0 || number >= kTableSize) return 0;
  CCommonEffect* effect = table_[number].get();
  if (!effect) return 0;
  if (number == 1) return 1;
  return effect->SetParam(&channels_[channel], count, values, channel) != 0 ? 1 : 0;
}

int CEffectManager::ChangeEffect(int channel, int number) {
  if (channel >= 0 && channel < kChannels && GetEffect(number))
    channels_[channel].EffectNumber() = number;
  return 1;
}

void CEffectManager::SetPicture(int channel, int n) {
  if (channel < 0 || channel >= kChannels || n < -1 || n >= kChannels) return;
  EffectChannel& record = channels_[channel];
  record.Active() = 1;
  record.PictureNumber() = n;
  if (n == -1) {
    record.Active() = 0;
    ResetChannel(channel);
    return;
  }
  const CPicture* picture = pictures_[n].get();
  const int32_t rect[4] = {0, 0, picture ? picture->GetWidth() : 0,
                           picture ? picture->GetHeight() : 0};
  for (int kind = 0; kind < EffectChannel::kRectKinds; ++kind)
    std::copy(rect, rect + 4, record.v + EffectChannel::RectOffset(kind));
}

int CEffectManager::ResetChannel(int channel) {
  if (channel < 0 || channel >= kChannels) return 0;
  EffectChannel& record = channels_[channel];
  record.Active() = 0;
  record.PictureNumber() = -1;
  record.EffectNumber() = 0;
  const int32_t rect[4] = {0, 0, CScreenBuffer::GetWidth(), CScreenBuffer::GetHeight()};
  for (int kind = 0; kind < EffectChannel::kRectKinds; ++kind)
    std::copy(rect, rect + 4, record.v + EffectChannel::RectOffset(kind));
  record.Counter() = 0;
  record.Duration() = 0;
  record.Opaque() = IsOpaqueChannel(channel);
  return record.Opaque();
}

void CEffectManager::ResetAll() {
  for (int channel = 0; channel < kChannels; ++channel) ResetChannel(channel);
}

void CEffectManager::SetRect(int channel, int kind, const int* rect) {
  const int offset = EffectChannel::RectOffset(kind);
  if (channel < 0 || channel >= kChannels || offset < 0 || !rect) return;
  std::copy(rect, rect + 4, channels_[channel].v + offset);
}

void CEffectManager::GetRect(int channel, int kind, int* rect) const {
  const int offset = EffectChannel::RectOffset(kind);
  if (channel < 0 || channel >= kChannels || offset < 0 || !rect) return;
  std::copy(channels_[channel].v + offset, channels_[channel].v + offset + 4, rect);
}

EffectChannel* CEffectManager::GetChannel(int channel) {
  return channel >= 0 && channel < kChannels ? &channels_[channel] : nullptr;
}

EffectChannel* CEffectManager::GetSaveChannel(int channel) {
  return channel >= 0 && channel < kChannels ? &saved_[channel] : nullptr;
}

CPicture* CEffectManager::GetPicture(int channel) {
  return pictures_[std::clamp(channel, 0, kChannels - 1)].get();
}

int CEffectManager::GetPictureNumber(int channel) const {
  return channel >= 0 && channel < kChannels ? channels_[channel].PictureNumber() : -1;
}

int CEffectManager::GetDrawPos(int channel, int* x, int* y) const {
  const bool ok = channel >= 0 && channel < kChannels;
  *x = ok ? channels_[channel].DrawRect()[0] : 0;
  *y = ok ? channels_[channel].DrawRect()[1] : 0;
  return ok ? 1 : 0;
}

int CEffectManager::GetDrawSize(int channel, int* w, int* h) const {
  const bool ok = channel >= 0 && channel < kChannels;
  *w = ok ? channels_[channel].DrawRect()[2] : 0;
  *h = ok ? channels_[channel].DrawRect()[3] : 0;
  return ok ? 1 : 0;
}

void CEffectManager::GetOrigin(int* x, int* y) const {
  *x = 0;
  *y = 0;
}

int CEffectManager::IsOpaqueChannel(int channel) {
  return (channel >= 0 && channel <= 3) || channel == 14 ? 1 : 0;
}

void CEffectManager::SetPrintEnable(int channel, int enable) {
  if (channel >= 0 && channel < kChannels) printEnable_[channel] = enable;
}

void CEffectManager::SetMousePos(int x, int y) {
  mouseX_ = x;
  mouseY_ = y;
}

void CEffectManager::GetMousePos(int* x, int* y) const {
  *x = mouseX_;
  *y = mouseY_;
}

CCommonEffect* CEffectManager::GetEffect(int n) const {
  return n >= 0 && n < kTableSize ? table_[n].get() : nullptr;
}

int CEffectManager::GetEndFlag(int n) const {
  return n >= 0 && n < kTableSize ? endFlags_[n] : 0;
}

CCommonEffect* CEffectManager::EffectOf(const EffectChannel& record) const {
  return GetEffect(record.EffectNumber());
}

// --- Per frame ---

void CEffectManager::Tick() {
  for (int channel = 0; channel < kChannels; ++channel) {
    EffectChannel& record = channels_[channel];
    if (!record.Active()) continue;
    if (CCommonEffect* effect = EffectOf(record)) effect->Tick(&record, channel);
  }
}

void CEffectManager::InterpolateDraw(EffectChannel* record) {
  const int64_t c = record->Counter(), d = record->Duration();
  int32_t* draw = record->DrawRect();
  const int32_t* start = record->DrawStart();
  const int32_t* end = record->DrawEnd();
  if (c >= d || d <= 0) {
    std::copy(end, end + 4, draw);
    return;
  }
  for (int i = 0; i < 2; ++i)
    draw[i] = ClampToInt32(start[i] + RoundedQuotient(c * (int64_t{end[i]} - start[i]), d));
  draw[2] = start[2];
  draw[3] = start[3];
}

void CEffectManager::Calcu() {
  for (int channel = 0; channel < kChannels; ++channel) {
    EffectChannel& record = channels_[channel];
    if (!record.Active()) continue;
    if (CCommonEffect* effect = EffectOf(record)) effect->Calcu(&record, channel);
    if (record.PictureNumber() == -1) continue;
    InterpolateDraw(&record);
  }
}

void CEffectManager::AddFrame(int n) {
  bool redraw = false;
  for (int channel = 0; channel < kChannels; ++channel) {
    EffectChannel& record = channels_[channel];
    if (!record.Active() || record.EffectNumber() == -1 || record.Counter() >= record.Duration())
      continue;
    record.Counter() =
        static_cast<int32_t>(std::min<int64_t>(int64_t{record.Counter()} + n, record.Duration()));
    if (record.Counter() != record.Duration()) continue;
    if (CCommonEffect* effect = EffectOf(record))
      redraw = effect->Finish(&record, channel) != 0 || redraw;
  }
  if (redraw) CScreenBuffer::SetFullRedraw(0);
}

void CEffectManager::FinishEffects() {
  bool redraw = false;
  for (int channel = 0; channel < kChannels; ++channel) {
    EffectChannel& record = channels_[channel];
    if (record.EffectNumber() == -1 || record.Counter() < record.Duration()) continue;
    if (GetEndFlag(record.EffectNumber())) continue;
    if (CCommonEffect* effect = EffectOf(record))
      redraw = effect->Finish(&record, channel) != 0 || redraw;
  }
  for (EffectChannel& record : channels_) {
    if (!record.Active() || record.Counter() < record.Duration()) continue;
    std::copy(record.DrawEnd(), record.DrawEnd() + 4, record.DrawStart());
    std::copy(record.SourceEnd(), record.SourceEnd() + 4, record.SourceStart());
  }
  if (redraw) CScreenBuffer::SetFullRedraw(0);
}

void CEffectManager::CheckRedraw() {
  for (EffectChannel& record : channels_) {
    if (!record.Active()) continue;
    if (!IsStaticEffect(record.EffectNumber()) ||
        !SameRect(record.DrawStart(), record.DrawEnd()) ||
        !SameRect(record.SourceStart(), record.SourceEnd())) {
      CScreenBuffer::SetFullRedrawFlag(1);
      return;
    }
  }
}

void CEffectManager::DrawChannel(int channel, int onlyEnabled) {
  EffectChannel& record = channels_[channel];
  if ((onlyEnabled == 1 && printEnable_[channel] == 0) || !record.Active()) return;
  CCommonEffect* effect = EffectOf(record);
  if (!effect) return;
  if (ValidPictureNumber(record.PictureNumber()) && effect->CheckPrintPicture(&record, channel)) {
    const int32_t* draw = record.DrawRect();
    const int32_t* source = record.SourceRect();
    pictures_[channel]->Blt(draw[0], draw[1], source[0], source[1], draw[2], draw[3],
                            IsOpaqueChannel(channel) ? 0 : 1);
  }
  effect->Print(&record, channel);
}

void CEffectManager::Print(int pass, int onlyEnabled) {
  if (pass == 0) {
    bool covered = false;
    for (int channel = 0; channel < 4 && !covered; ++channel) {
      const EffectChannel& record = channels_[channel];
      const int n = record.EffectNumber();
      covered = record.Active() &&
                ((ValidPictureNumber(record.PictureNumber()) && n != 66) || n == 79 || n == 54);
    }
    if (!covered) CAllGraphics::FillScreen(0, -1, -1);
    PrintRange(0, kTopChannel - 1, 0, onlyEnabled);
  } else {
    PrintRange(kTopChannel, kTopChannel, 0, onlyEnabled);
  }
}

void CEffectManager::PrintRange(int first, int last, int, int onlyEnabled) {
  for (int channel = std::max(first, 0); channel <= std::min(last, kChannels - 1); ++channel)
    DrawChannel(channel, onlyEnabled);
}

void CEffectManager::CalcuMove() {
  for (EffectChannel& record : channels_) {
    if (!record.Active() || record.Duration() <= 0 || record.Counter() > record.Duration())
      continue;
    if (record.Counter() < record.Duration()) ++record.Counter();
    if (record.PictureNumber() != -1) InterpolateDraw(&record);
  }
}

void CEffectManager::EndMove() {
  for (EffectChannel& record : channels_) record.Counter() = record.Duration();
  CalcuMove();
}

// --- The saved screen ---

void CEffectManager::SetSavedScreen(CPicture* picture) { savedScreen_ = picture; }
CPicture* CEffectManager::GetSavedScreen() { return savedScreen_; }

namespace {

// Copies the common part of two 32-bit pixel blocks of different sizes.
void CopyPixels(uint32_t* dst, int dstW, int dstH, const uint32_t* src, int srcW, int srcH) {
  const int w = std::min(dstW, srcW), h = std::min(dstH, srcH);
  if (w <= 0 || h <= 0) return;
  if (dstW == srcW) {
    std::memcpy(dst, src, static_cast<size_t>(w) * h * 4);
    return;
  }
  for (int y = 0; y < h; ++y)
    std::memcpy(dst + static_cast<size_t>(y) * dstW, src + static_cast<size_t>(y) * srcW,
                static_cast<size_t>(w) * 4);
}

}  // namespace

uint32_t* CEffectManager::GetScreenPicture() {
  return savedScreen_ && !savedScreen_->Get256Flag() ? savedScreen_->GetPixelBuffer() : nullptr;
}

uint32_t* CEffectManager::GetScreen() {
  uint32_t* saved = GetScreenPicture();
  if (saved && CScreenBuffer::GetBuffer())
    CopyPixels(saved, savedScreen_->GetWidth(), savedScreen_->GetHeight(),
               CScreenBuffer::GetBuffer(), CScreenBuffer::GetWidth(), CScreenBuffer::GetHeight());
  return saved;
}

uint32_t* CEffectManager::PutScreen() {
  uint32_t* saved = GetScreenPicture();
  if (saved && CScreenBuffer::GetBuffer())
    CopyPixels(CScreenBuffer::GetBuffer(), CScreenBuffer::GetWidth(), CScreenBuffer::GetHeight(),
               saved, savedScreen_->GetWidth(), savedScreen_->GetHeight());
  return saved;
}

// --- Transitions ---

void CEffectManager::PrintWipe(int kind, CPicture* from, CPicture* to, int progress, int max) {
  if (kind < 0 || kind >= kTableSize || !wipeTable_ || !wipeTable_->HasWipe(kind)) return;
  if (!from || !to) return;
  for (const CPicture* picture : {from, to})
    if (picture->GetWidth() < CScreenBuffer::GetWidth() ||
        picture->GetHeight() < CScreenBuffer::GetHeight())
      return;
  max = std::max(max, 1);
  progress = std::clamp(progress, 0, max);
  wipeTable_->DrawWipe(kind, from, to, progress, max);
}

// --- Save and restore ---

void CEffectManager::SaveChannels() { saved_ = channels_; }

void CEffectManager::LoadChannels() {
  channels_ = saved_;
  RestoreEffects();
}

void CEffectManager::RestoreChannel(int channel) {
  if (channel < 0 || channel >= kChannels) return;
  EffectChannel& record = channels_[channel];
  if (!record.Active()) return;
  if (CCommonEffect* effect = EffectOf(record)) effect->Restore(&record, channel);
}

int CEffectManager::IsBrokenRecord(const EffectChannel& record) const {
  const int n = record.EffectNumber();
  if (n < -1 || n >= kTableSize || (n >= 0 && !table_[n])) return 1;
  const int picture = record.PictureNumber();
  if (picture < -1 || picture >= kChannels) return 1;
  return record.Duration() < 0 ? 1 : 0;
}

void CEffectManager::RestoreEffects() {
  for (int channel = 0; channel < kChannels; ++channel) {
    EffectChannel& record = channels_[channel];
    if (IsBrokenRecord(record)) {
      platform::DebugPrintf("effect channel %d: effect %d, picture %d, duration %d cannot run; "
                            "the channel is reset\n",
                            channel, record.EffectNumber(), record.PictureNumber(),
                            record.Duration());
      ResetChannel(channel);
    }
    record.Counter() = std::clamp(record.Counter(), 0, record.Duration());
  }
  for (int channel = 0; channel < kChannels; ++channel) RestoreChannel(channel);
}
