#include "effect/buffereffects.h"

#include <algorithm>
#include <cstdint>

#include "effect/effectmanager.h"
#include "graphics/allgraphics.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"

// --- #0 ---

int CEffectNop::SetParam(EffectChannel* record, int, const int*, int) {
  return StartRecord(record, kNumber, 99999, nullptr, 0);
}

// --- #2 ---

int CEffectPut::SetParam(EffectChannel* record, int count, const int* values, int) {
  int p[16];
  const int given = TakeParams(count, values, 16, p);
  Default(p, given, 0, 20);
  DefaultColour(p, given, 1);
  Default(p, given, 4, 0);
  return StartRecord(record, kNumber, p[0], p, 16);
}

void CEffectPut::Print(EffectChannel* record, int) {
  if (record->Counter() != 0 || record->Param(4) != 0) {
    manager_->PutScreen();
    return;
  }
  CPicture* picture = RecordPicture(*record);
  if (picture && picture->GetBuffer()) {
    int x = 0, y = 0;
    manager_->GetDrawPos(record->PictureNumber(), &x, &y);
    picture->Blt(x, y, 0, 0, picture->GetWidth(), picture->GetHeight(), 0);
  } else {
    CAllGraphics::FillScreen(record->Param(1), record->Param(2), record->Param(3));
  }
}

// --- #66 ---

int CEffectBuffer::SetParam(EffectChannel* record, int count, const int* values, int) {
  int p[1];
  const int given = TakeParams(count, values, 1, p);
  Default(p, given, 0, 20);
  return StartRecord(record, kNumber, p[0], p, 0);
}

// --- #73 ---

CEffectGet::CEffectGet(CEffectManager* manager)
    : CCommonEffect(manager),
      screen_(std::make_unique<CPicture>(std::max(CScreenBuffer::GetWidth(), 1),
                                         std::max(CScreenBuffer::GetHeight(), 1), 0)) {
  // A paste before the first capture shows black, not whatever the block held.
  if (uint32_t* pixels = screen_->GetPixelBuffer())
    std::fill_n(pixels, static_cast<size_t>(screen_->GetWidth()) * screen_->GetHeight(), 0u);
  previous_ = CEffectManager::GetSavedScreen();
  CEffectManager::SetSavedScreen(screen_.get());
}

CEffectGet::~CEffectGet() {
  if (CEffectManager::GetSavedScreen() == screen_.get()) CEffectManager::SetSavedScreen(previous_);
}

int CEffectGet::SetParam(EffectChannel* record, int count, const int* values, int) {
  int p[16];
  const int given = TakeParams(count, values, 16, p);
  Default(p, given, 0, 20);
  return StartRecord(record, kNumber, p[0], p, 16);
}

void CEffectGet::Print(EffectChannel*, int) { manager_->GetScreen(); }

// --- #75 ---

int CEffectOnce::SetParam(EffectChannel* record, int count, const int* values, int channel) {
  int p[16];
  const int given = TakeParams(count, values, 16, p);
  Default(p, given, 0, 20);
  Default(p, given, 1, 0);
  Default(p, given, 2, 1);
  drawn_[FlagIndex(channel)] = 0;
  return StartRecord(record, kNumber, p[0], p, 16);
}

int CEffectOnce::CheckPrintPicture(EffectChannel* record, int channel) {
  const int64_t c = record->Counter(), first = record->Param(1);
  if (first <= c && c < first + record->Param(2)) return 1;
  return drawn_[FlagIndex(channel)] == 0 ? 1 : 0;
}

void CEffectOnce::Print(EffectChannel*, int channel) { drawn_[FlagIndex(channel)] = 1; }

void CEffectOnce::Restore(EffectChannel* record, int channel) {
  int p[16];
  for (int i = 0; i < 16; ++i) p[i] = record->Param(i);
  SetParam(record, 16, p, channel);
}

// --- #113 ---

int CEffectLupin::SetParam(EffectChannel* record, int count, const int* values, int) {
  int p[4];
  const int given = TakeParams(count, values, 4, p);
  Default(p, given, 0, 20);
  DefaultColour(p, given, 1);
  return StartRecord(record, kNumber, 9999, p, 4);
}

void CEffectLupin::Print(EffectChannel* record, int) {
  FillScreenBytes(record->Param(1), record->Param(2), record->Param(3));
}
