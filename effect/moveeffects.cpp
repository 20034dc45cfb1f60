#include "effect/moveeffects.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "effect/calcucurve.h"
#include "graphics/picture.h"

// --- #52 ---

int CEffectMove::SetParam(EffectChannel* record, int count, const int* values, int) {
  int p[1];
  const int given = TakeParams(count, values, 1, p);
  Default(p, given, 0, 20);
  return StartRecord(record, kNumber, p[0], p, 0);
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

// Where the parameters of one animation sit: repeat flag, period, curve
// code, ramp.
struct Timing {
  int repeat, period, code, ramp;
};
constexpr Timing kMoveTiming{3, 4, 5, 6};
constexpr Timing kOpacityTiming{13, 14, 15, 16};
constexpr Timing kZoomTiming{19, 20, 21, 22};
constexpr Timing kColourTiming{27, 28, 29, 30};

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

int CEffectSpecialMove::SetParam(EffectChannel* record, int count, const int* values, int) {
  int p[kParams];
  const int given = TakeParams(count, values, kParams, p);
  Default(p, given, 0, 20);
  Default(p, given, 1, 0);
  Default(p, given, 2, 1);
  Default(p, given, 3, 1);
  Default(p, given, 4, p[0]);
  Default(p, given, 11, 100);
  Default(p, given, 12, p[11]);
  // The opacity, zoom and colour take the move's timing unless given.
  for (int first : {13, 19, 27})
    for (int i = 0; i < 4; ++i) Default(p, given, first + i, p[3 + i]);
  Default(p, given, 23, 100);
  Default(p, given, 24, 100);
  Default(p, given, 25, p[23]);
  Default(p, given, 26, p[24]);
  Default(p, given, 34, p[31]);
  Default(p, given, 35, p[32]);
  Default(p, given, 36, p[33]);
  StartRecord(record, kNumber, p[0], p, kParams);
  for (int out : {17, 18, 62, 63}) record->Param(out) = 0;
  return 1;
}

void CEffectSpecialMove::Print(EffectChannel* record, int) {
  EffectChannel& r = *record;
  const Cycle move = CycleOf(r, kMoveTiming), opacityCycle = CycleOf(r, kOpacityTiming);
  const Cycle zoom = CycleOf(r, kZoomTiming), colour = CycleOf(r, kColourTiming);
  r.Param(17) = move.position;
  r.Param(18) = opacityCycle.position;
  r.Param(62) = zoom.position;
  r.Param(63) = colour.position;

  const int opacity = r.Param(12) == r.Param(11)
                          ? r.Param(11)
                          : Curve(r, opacityCycle, kOpacityTiming, r.Param(12), r.Param(11));
  const bool zoomed = r.Param(23) != 100 || r.Param(24) != 100 || r.Param(25) != 100 ||
                      r.Param(26) != 100;
  auto tenfold = [&](int i) { return ClampToInt(r.Param(i) * 10.0); };
  const double zx = Curve(r, zoom, kZoomTiming, tenfold(25), tenfold(23)) * 0.001;
  const double zy = Curve(r, zoom, kZoomTiming, tenfold(26), tenfold(24)) * 0.001;
  bool shifted = false;
  for (int i = 31; i <= 36; ++i) shifted = shifted || r.Param(i) != 0;
  int shift[3];
  for (int i = 0; i < 3; ++i) shift[i] = Curve(r, colour, kColourTiming, r.Param(34 + i), r.Param(31 + i));
  const int m = Curve(r, move, kMoveTiming, 0, 1000);
  const int64_t dx = PathOffset(r.Param(1), m, r.Param(7), r.Param(9));
  const int64_t dy = PathOffset(r.Param(1), m, r.Param(8), r.Param(10));

  CPicture* picture = RecordPicture(r);
  if (!picture || opacity == 0) return;
  const int trans = r.Param(2) != 0 ? 1 : 0;
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
