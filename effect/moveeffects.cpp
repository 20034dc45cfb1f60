#include "effect/moveeffects.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "effect/calcucurve.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"

using namespace effectstart;

namespace {

constexpr ClampTiming kAfter = ClampTiming::kAfterDefaults;

}  // namespace

// --- #52 ---

constexpr ParamDefault CEffectMove::kDefaults[] = {Value(kDuration, 20)};
constexpr StartTable CEffectMove::kTable{kNumber, 1, -1, kAfter, kDefaults};

CEffectMove::CEffectMove(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

int CEffectMove::SetParam(EffectChannel* record, int count, const int* values, int) {
  int p[kMaxParams];
  MakeParams(Table(), count, values, CScreenBuffer::GetWidth(), CScreenBuffer::GetHeight(), p);
  return StartRecord(record, kNumber, p[kDuration], p, 0);
}

int CEffectMove::Finish(EffectChannel* record, int) {
  std::copy_n(record->DrawEnd(), 4, record->DrawRect());
  std::copy_n(record->SourceEnd(), 4, record->SourceRect());
  record->EffectNumber() = 0;
  return 1;
}

int CEffectMove::CheckBusy(EffectChannel* record, int) {
  return record->Counter() < record->Duration() ? 1 : 0;
}

// --- #61 ---

namespace {

// The values of one animation's timing: repeat flag, period, curve code,
// ramp.
struct Timing {
  int repeat, period, code, ramp;
};
using M = CEffectSpecialMove;
constexpr Timing kMoveTiming{M::kMoveRepeats, M::kMovePeriod, M::kMoveCurve, M::kMoveRamp};
constexpr Timing kOpacityTiming{M::kOpacityRepeats, M::kOpacityPeriod, M::kOpacityCurve,
                                M::kOpacityRamp};
constexpr Timing kZoomTiming{M::kZoomRepeats, M::kZoomPeriod, M::kZoomCurve, M::kZoomRamp};
constexpr Timing kColourTiming{M::kColourRepeats, M::kColourPeriod, M::kColourCurve,
                               M::kColourRamp};

// An animation's period (at least 1) and its position in it at the counter.
struct Cycle {
  int position, period;
};

Cycle CycleOf(const EffectChannel& r, const Timing& t) {
  const int period = std::max(r.Param(t.period), 1);
  int position = r.Counter();
  if (position >= period) position = r.Param(t.repeat) != 0 ? position % period : period;
  return {std::clamp(position, 0, period), period};
}

int Curve(const EffectChannel& r, const Cycle& c, const Timing& t, int from, int to) {
  return CalcuCurve(c.position, c.period, from, to, r.Param(t.ramp), r.Param(t.code));
}

// The offset of path kind `kind` at progress m (0..1000) of the move from
// `start` to `end` (for kind 2 `start` is the curve's control point and the
// curve starts at no offset); kinds other than 0, 1, 2 give none.
int64_t PathOffset(int kind, int m, int start, int end) {
  switch (kind) {
    case 0:
      return (int64_t{end} - start) * m / 1000 + start;
    case 1: {
      const double f = std::clamp((1 - std::cos(m * 3.14159 / 1000)) * 0.5, 0.0, 1.0);
      return int64_t{ClampToInt((static_cast<double>(end) - start) * f + 0.5)} + start;
    }
    case 2: {
      const double t = m * 0.001;
      return ClampToInt(2 * t * (1 - t) * start + t * t * end + 0.5);
    }
    default:
      return 0;
  }
}

}  // namespace

// Offsets from the draw position, opacity and zoom in percent, a signed
// colour shift. The cycle positions have no defaults: SetParam clears them.
constexpr ParamDefault CEffectSpecialMove::kDefaults[] = {
    Value(kDuration, 20),
    Value(kPathKind, 0),
    Value(kTransparent, 1),
    Value(kMoveRepeats, 1),
    Same(kMovePeriod, kDuration),
    Value(kMoveCurve, 0),
    Value(kMoveRamp, 0),
    Value(kStartX, 0),
    Value(kStartY, 0),
    Value(kEndX, 0),
    Value(kEndY, 0),
    Value(kEndOpacity, 100),
    Same(kStartOpacity, kEndOpacity),
    Same(kOpacityRepeats, kMoveRepeats),
    Same(kOpacityPeriod, kMovePeriod),
    Same(kOpacityCurve, kMoveCurve),
    Same(kOpacityRamp, kMoveRamp),
    NoDefault(kMovePosition),
    NoDefault(kOpacityPosition),
    Same(kZoomRepeats, kMoveRepeats),
    Same(kZoomPeriod, kMovePeriod),
    Same(kZoomCurve, kMoveCurve),
    Same(kZoomRamp, kMoveRamp),
    Value(kEndZoomX, 100),
    Value(kEndZoomY, 100),
    Same(kStartZoomX, kEndZoomX),
    Same(kStartZoomY, kEndZoomY),
    Same(kColourRepeats, kMoveRepeats),
    Same(kColourPeriod, kMovePeriod),
    Same(kColourCurve, kMoveCurve),
    Same(kColourRamp, kMoveRamp),
    Value(kEndRed, 0),
    Value(kEndGreen, 0),
    Value(kEndBlue, 0),
    Same(kStartRed, kEndRed),
    Same(kStartGreen, kEndGreen),
    Same(kStartBlue, kEndBlue),
};

constexpr StartTable CEffectSpecialMove::kTable{kNumber, 37, -1, kAfter, kDefaults};

CEffectSpecialMove::CEffectSpecialMove(CEffectManager* manager)
    : CTableStartEffect(manager, kTable) {}

int CEffectSpecialMove::SetParam(EffectChannel* record, int count, const int* values, int channel) {
  CTableStartEffect::SetParam(record, count, values, channel);
  for (int out : {int{kMovePosition}, int{kOpacityPosition}, kZoomPosition, kColourPosition})
    record->Param(out) = 0;
  return 1;
}

void CEffectSpecialMove::Print(EffectChannel* record, int) {
  EffectChannel& r = *record;
  const Cycle move = CycleOf(r, kMoveTiming), opacityCycle = CycleOf(r, kOpacityTiming);
  const Cycle zoom = CycleOf(r, kZoomTiming), colour = CycleOf(r, kColourTiming);
  r.Param(kMovePosition) = move.position;
  r.Param(kOpacityPosition) = opacityCycle.position;
  r.Param(kZoomPosition) = zoom.position;
  r.Param(kColourPosition) = colour.position;

  const int opacity =
      r.Param(kStartOpacity) == r.Param(kEndOpacity)
          ? r.Param(kEndOpacity)
          : Curve(r, opacityCycle, kOpacityTiming, r.Param(kStartOpacity), r.Param(kEndOpacity));
  const bool zoomed = r.Param(kEndZoomX) != 100 || r.Param(kEndZoomY) != 100 ||
                      r.Param(kStartZoomX) != 100 || r.Param(kStartZoomY) != 100;
  auto tenfold = [&](int i) { return ClampToInt(r.Param(i) * 10.0); };
  const double zx = Curve(r, zoom, kZoomTiming, tenfold(kStartZoomX), tenfold(kEndZoomX)) * 0.001;
  const double zy = Curve(r, zoom, kZoomTiming, tenfold(kStartZoomY), tenfold(kEndZoomY)) * 0.001;
  static constexpr int kEnds[3] = {kEndRed, kEndGreen, kEndBlue};
  static constexpr int kStarts[3] = {kStartRed, kStartGreen, kStartBlue};
  bool shifted = false;
  int shift[3];
  for (int i = 0; i < 3; ++i) {
    shifted = shifted || r.Param(kEnds[i]) != 0 || r.Param(kStarts[i]) != 0;
    shift[i] = Curve(r, colour, kColourTiming, r.Param(kStarts[i]), r.Param(kEnds[i]));
  }
  const int m = Curve(r, move, kMoveTiming, 0, 1000);
  const int64_t dx = PathOffset(r.Param(kPathKind), m, r.Param(kStartX), r.Param(kEndX));
  const int64_t dy = PathOffset(r.Param(kPathKind), m, r.Param(kStartY), r.Param(kEndY));

  CPicture* picture = RecordPicture(r);
  if (!picture || opacity == 0) return;
  const int trans = r.Param(kTransparent) != 0 ? 1 : 0;
  const int w = picture->GetWidth(), h = picture->GetHeight();
  int64_t x = int64_t{r.DrawRect()[0]} + dx, y = int64_t{r.DrawRect()[1]} + dy;
  if (!zoomed) {
    if (shifted)
      picture->ColorAddBlt(Clamp32(x), Clamp32(y), 0, 0, w, h, trans, shift[0], shift[1], shift[2],
                           opacity);
    else if (opacity == 100)
      picture->Blt(Clamp32(x), Clamp32(y), 0, 0, w, h, trans);
    else
      picture->TransLucentBlt3(Clamp32(x), Clamp32(y), 0, 0, w, h, opacity);
    return;
  }
  const int zw = ClampToInt(w * zx + 0.5), zh = ClampToInt(h * zy + 0.5);
  if (zw <= 0 || zh <= 0) return;
  // The zoomed picture keeps its centre.
  x += (int64_t{w} - zw) / 2;
  y += (int64_t{h} - zh) / 2;
  if (shifted)
    picture->StretchAddSubBlt(Clamp32(x), Clamp32(y), zw, zh, 0, 0, w, h, opacity, trans, shift[0],
                              shift[1], shift[2]);
  else
    picture->StretchBlt(Clamp32(x), Clamp32(y), zw, zh, 0, 0, w, h, opacity, trans);
}
