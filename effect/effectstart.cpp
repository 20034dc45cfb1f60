#include "effect/effectstart.h"

#include <algorithm>

#include "effect/commoneffect.h"
#include "graphics/screenbuffer.h"

using namespace effectstart;

int64_t CTableStartEffect::AmountValue(const Amount &amount, int w, int h) {
  const int64_t size = amount.axis == Axis::kWidth ? w : amount.axis == Axis::kHeight ? h : 0;
  return int64_t{amount.constant} + size * amount.num / (amount.den == 0 ? 1 : amount.den);
}

void CTableStartEffect::ApplyDefault(const ParamDefault &d, int w, int h, int *p) {
  // Only earlier values may be named.
  const bool named = d.kind == DefaultKind::kCopy || d.kind == DefaultKind::kPlusHalf;
  if (named && (d.a < 0 || d.a >= d.index || d.b < 0 || d.b >= d.index)) return;
  switch (d.kind) {
    case DefaultKind::kAmount:
      p[d.index] = Clamp32(AmountValue(d.amount, w, h));
      break;
    case DefaultKind::kCopy:
      p[d.index] = p[d.a];
      break;
    case DefaultKind::kPlusHalf:
      p[d.index] = Clamp32(int64_t{p[d.a]} + p[d.b] / 2);
      break;
    case DefaultKind::kNone:
      break;
  }
}

void CTableStartEffect::ApplyClamp(const ParamClamp &c, int max, int w, int h, int *p) {
  if (c.index < 0 || c.index >= max || c.other < 0 || c.other >= max) return;
  const int64_t hi = AmountValue(c.hi, w, h);
  if (c.kind == ClampKind::kSumAtMost) {
    p[c.index] = Clamp32(std::min<int64_t>(p[c.index], hi - p[c.other]));
    return;
  }
  // An empty range (a screen narrower than one pixel) holds to its top.
  p[c.index] =
      Clamp32(std::min<int64_t>(std::max<int64_t>(p[c.index], AmountValue(c.lo, w, h)), hi));
}

int CTableStartEffect::MakeParams(const effectstart::StartTable &table, int count,
                                  const int *values, int w, int h, int *p) {
  const int max = std::clamp(table.max, 0, kMaxParams);
  const int given = TakeParams(count, values, max, p);
  auto d = table.defaults.begin();
  for (int i = 0; i < max; ++i) {
    for (; d != table.defaults.end() && d->index <= i; ++d)
      if (d->index == i && given <= i) ApplyDefault(*d, w, h, p);
    if (table.timing != ClampTiming::kWithEachDefault) continue;
    for (const ParamClamp &c : table.clamps)
      if (c.index == i) ApplyClamp(c, max, w, h, p);
  }
  if (table.timing == ClampTiming::kAfterDefaults)
    for (const ParamClamp &c : table.clamps) ApplyClamp(c, max, w, h, p);
  return given;
}

int CTableStartEffect::SetParam(EffectChannel *record, int count, const int *values, int) {
  int p[kMaxParams];
  MakeParams(table_, count, values, CScreenBuffer::GetWidth(), CScreenBuffer::GetHeight(), p);
  return StartRecord(record, table_.number, table_.fixedDuration >= 0 ? table_.fixedDuration : p[0],
                     p, table_.max);
}

void CTableStartEffect::StartAgain(EffectChannel *record, int channel) {
  int p[kMaxParams];
  const int max = std::clamp(table_.max, 0, kMaxParams);
  for (int i = 0; i < max; ++i) p[i] = record->Param(i);
  SetParam(record, max, p, channel);
}
