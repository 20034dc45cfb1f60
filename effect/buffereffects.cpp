#include "effect/buffereffects.h"

#include <algorithm>
#include <cstdint>

#include "effect/effectmanager.h"
#include "graphics/allgraphics.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"

using namespace effectstart;

namespace {

constexpr ClampTiming kAfter = ClampTiming::kAfterDefaults;

}  // namespace

// --- #0 ---

int CEffectNop::SetParam(EffectChannel* record, int, const int*, int) {
  return StartRecord(record, kNumber, 99999, nullptr, 0);
}

// --- #2 ---

constexpr ParamDefault CEffectPut::kDefaults[] = {
    Value(kDuration, 20), Value(kRed, 0),         Same(kGreen, kRed),
    Same(kBlue, kGreen),  Value(kPasteAtOnce, 0),
};

constexpr StartTable CEffectPut::kTable{kNumber, 16, -1, kAfter, kDefaults};

CEffectPut::CEffectPut(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

void CEffectPut::Print(EffectChannel* record, int) {
  if (record->Counter() != 0 || record->Param(kPasteAtOnce) != 0) {
    manager_->PutScreen();
    return;
  }
  // A channel with a picture draws it, even one whose load failed (it holds
  // no pixels and draws nothing); only a channel without one fills.
  if (CPicture* picture = RecordPicture(*record)) {
    int x = 0, y = 0;
    manager_->GetDrawPos(record->PictureNumber(), &x, &y);
    picture->Blt(x, y, 0, 0, picture->GetWidth(), picture->GetHeight(), 0);
  } else {
    CAllGraphics::FillScreen(record->Param(kRed), record->Param(kGreen), record->Param(kBlue));
  }
}

// --- #66 ---

constexpr ParamDefault CEffectBuffer::kDefaults[] = {Value(kDuration, 20)};

constexpr StartTable CEffectBuffer::kTable{kNumber, 1, -1, kAfter, kDefaults};

CEffectBuffer::CEffectBuffer(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

int CEffectBuffer::SetParam(EffectChannel* record, int count, const int* values, int) {
  int p[kMaxParams];
  MakeParams(Table(), count, values, CScreenBuffer::GetWidth(), CScreenBuffer::GetHeight(), p);
  return StartRecord(record, kNumber, p[kDuration], p, 0);
}

// --- #73 ---

constexpr ParamDefault CEffectGet::kDefaults[] = {Value(kDuration, 20)};

constexpr StartTable CEffectGet::kTable{kNumber, 16, -1, kAfter, kDefaults};

CEffectGet::CEffectGet(CEffectManager* manager)
    : CTableStartEffect(manager, kTable),
      screen_(std::make_unique<CPicture>(std::max(CScreenBuffer::GetWidth(), 1),
                                         std::max(CScreenBuffer::GetHeight(), 1), 0)) {
  // A new picture is cleared: a paste before the first capture shows black.
  previous_ = CEffectManager::GetSavedScreen();
  CEffectManager::SetSavedScreen(screen_.get());
}

CEffectGet::~CEffectGet() {
  if (CEffectManager::GetSavedScreen() == screen_.get()) CEffectManager::SetSavedScreen(previous_);
}

void CEffectGet::Print(EffectChannel*, int) { manager_->GetScreen(); }

// --- #75 ---

constexpr ParamDefault CEffectOnce::kDefaults[] = {
    Value(kDuration, 20),
    Value(kFirstFrame, 0),
    Value(kFrames, 1),
};

constexpr StartTable CEffectOnce::kTable{kNumber, 16, -1, kAfter, kDefaults};

CEffectOnce::CEffectOnce(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

int CEffectOnce::SetParam(EffectChannel* record, int count, const int* values, int channel) {
  drawn_[FlagIndex(channel)] = 0;
  return CTableStartEffect::SetParam(record, count, values, channel);
}

int CEffectOnce::CheckPrintPicture(EffectChannel* record, int channel) {
  const int64_t c = record->Counter(), first = record->Param(kFirstFrame);
  if (first <= c && c < first + record->Param(kFrames)) return 1;
  return drawn_[FlagIndex(channel)] == 0 ? 1 : 0;
}

void CEffectOnce::Print(EffectChannel*, int channel) { drawn_[FlagIndex(channel)] = 1; }

void CEffectOnce::Restore(EffectChannel* record, int channel) { StartAgain(record, channel); }

// --- #113 ---

constexpr StartTable CEffectLupin::kTable{kNumber, 4, 9999, kAfter, kDefaults};

CEffectLupin::CEffectLupin(CEffectManager* manager) : CEffectFill(manager, kTable) {}
