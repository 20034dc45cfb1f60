#include "effect/swarmeffects.h"

#include <algorithm>
#include <cstdint>

#include "effect/effectmanager.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "setup/random.h"

using namespace effectstart;

namespace {

constexpr ClampTiming kAfter = ClampTiming::kAfterDefaults;

}  // namespace

// The cells' size and the jitter in pixels; counts in frames.
constexpr ParamDefault CEffectSwarm::kDefaults[] = {
    Value(kDuration, 20),  Value(kCellWidth, 32),     Value(kCellHeight, 32),
    Value(kSprites, 1),    Value(kPlacement, 0),      Value(kVariants, 1),
    Value(kFrames, 1),     Value(kCountsPerFrame, 1), Value(kMeanVisible, 30),
    Value(kMeanHidden, 0), Value(kJitter, 10),        Value(kEdgeChance, 100),
};
constexpr ParamClamp CEffectSwarm::kClamps[] = {Range(kSprites, 0, kMaxSprites),
                                                Range(kVariants, 1, INT32_MAX)};

constexpr StartTable CEffectHae::kTable{kNumber, 16, 999999, kAfter, kDefaults, kClamps};
constexpr StartTable CEffectKe::kTable{kNumber, 16, 999999, kAfter, kDefaults, kClamps};
static_assert(CEffectSwarm::kRecords >= CEffectHae::kTable.max, "the sprites follow the values");

int CEffectSwarm::Count(const EffectChannel& record) {
  return std::clamp(record.Param(kSprites), 0, kMaxSprites);
}

int CEffectSwarm::SetParam(EffectChannel* record, int count, const int* values, int channel) {
  CTableStartEffect::SetParam(record, count, values, channel);
  for (int i = 0; i < record->Param(kSprites); ++i) Spawn(record, i, true);
  return 1;
}

void CEffectSwarm::Pin(const EffectChannel& record, int edge, int* x, int* y) {
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  switch (edge) {
    case 1:
      *y = record.Param(kCellHeight) / 2;
      break;
    case 2:
      *x = w - record.Param(kCellWidth) / 2;
      break;
    case 3:
      *y = h - record.Param(kCellHeight) / 2;
      break;
    case 4:
      *x = record.Param(kCellWidth) / 2;
      break;
    default: break;
  }
}

void CEffectSwarm::Spawn(EffectChannel* record, int i, bool initial) {
  const EffectChannel& r = *record;
  const int64_t shown = r.Param(kMeanVisible), hidden = r.Param(kMeanHidden);
  int64_t total = shown + hidden;
  if (total <= 0) total = 1;
  Sprite(record, i, kFrame) = 0;
  Sprite(record, i, kTimer) = 0;
  if (crt::rand() % total >= shown && initial)
    Sprite(record, i, kVisible) = 0;
  else
    Sprite(record, i, kVisible) =
        Clamp32(std::max<int64_t>(crt::rand() % std::max<int64_t>(shown, 1) + shown / 2, 1));
  Sprite(record, i, kHidden) =
      Clamp32(std::max<int64_t>(crt::rand() % std::max<int64_t>(hidden, 1) + hidden / 2, 1));
  const int w = std::max(CScreenBuffer::GetWidth(), 1), h = std::max(CScreenBuffer::GetHeight(), 1);
  int x = crt::rand() % w;
  int y = crt::rand() % h;
  if (initial || PlacesEverySpawn()) {
    const int edge = SpawnEdge(r);
    Sprite(record, i, kEdge) = edge;
    Pin(r, edge, &x, &y);
  }
  Sprite(record, i, kX) = x;
  Sprite(record, i, kY) = y;
}

void CEffectSwarm::Calcu(EffectChannel* record, int) {
  if (record->Counter() > 10000) record->Counter() = 0;
  const int w = std::max(CScreenBuffer::GetWidth(), 1), h = std::max(CScreenBuffer::GetHeight(), 1);
  // A negative jitter moves by nothing; both draws are still made.
  const int64_t jitter = std::max(record->Param(kJitter), 0), range = 2 * jitter + 1;
  for (int i = 0; i < Count(*record); ++i) {
    if (Sprite(record, i, kVisible) < 1) {
      const int before = Sprite(record, i, kHidden);
      Sprite(record, i, kHidden) = std::max(before, INT32_MIN + 1) - 1;
      if (before <= 1) Spawn(record, i, false);
    } else {
      --Sprite(record, i, kVisible);
    }
    if (record->Param(kFrames) > 1) {
      int& timer = Sprite(record, i, kTimer);
      if (timer < INT32_MAX) ++timer;
      if (timer >= record->Param(kCountsPerFrame)) {
        int& frame = Sprite(record, i, kFrame);
        frame = frame + 1 >= record->Param(kFrames) || frame < 0 ? 0 : frame + 1;
        timer = 0;
      }
    }
    int x = static_cast<int>(std::clamp<int64_t>(Sprite(record, i, kX) + crt::rand() % range - jitter, 0, w - 1));
    int y = static_cast<int>(std::clamp<int64_t>(Sprite(record, i, kY) + crt::rand() % range - jitter, 0, h - 1));
    Pin(*record, StepEdge(record, i), &x, &y);
    Sprite(record, i, kX) = x;
    Sprite(record, i, kY) = y;
  }
}

void CEffectSwarm::Print(EffectChannel* record, int) {
  CPicture* picture = RecordPicture(*record);
  if (!picture) return;
  const int64_t cw = record->Param(kCellWidth), ch = record->Param(kCellHeight);
  const int64_t variants = std::max(record->Param(kVariants), 1);
  for (int i = 0; i < Count(*record); ++i) {
    if (Sprite(record, i, kVisible) <= 0) continue;
    picture->Blt(Clamp32(Sprite(record, i, kX) - cw / 2), Clamp32(Sprite(record, i, kY) - ch / 2),
                 Clamp32(cw * (i % variants)), Clamp32(ch * Sprite(record, i, kFrame)),
                 static_cast<int>(cw), static_cast<int>(ch), 1);
  }
}

int CEffectKe::PickEdge(int mask) {
  // The edge of each single bit, and how a mixed mask chooses among them.
  static constexpr int kEdgeOfBit[4] = {1, 2, 3, 4};
  for (int bit = 0; bit < 4; ++bit)
    if (mask == 1 << bit) return kEdgeOfBit[bit];
  if (mask == 0) return 0;
  int set = 0;
  for (int bit = 0; bit < 4; ++bit) set += (mask >> bit) & 1;
  if (set == 0) return 0;
  int k = crt::rand() % set;
  for (int bit = 0; bit < 4; ++bit)
    if (((mask >> bit) & 1) != 0 && k-- == 0) return kEdgeOfBit[bit];
  return 0;
}

int CEffectKe::SpawnEdge(const EffectChannel& record) { return PickEdge(record.Param(kPlacement)); }

int CEffectKe::StepEdge(EffectChannel* record, int i) {
  if (record->Param(kPlacement) == 0) return 0;
  int& edge = Sprite(record, i, kEdge);
  if (record->Param(kEdgeChance) > 0 && crt::rand() % 10000 < record->Param(kEdgeChance))
    edge = PickEdge(record->Param(kPlacement));
  return edge;
}
