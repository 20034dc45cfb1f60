#include "effect/geoeffects.h"

#include <cstdint>

#include "effect/calcucurve.h"
#include "graphics/allgeo.h"
#include "graphics/screenbuffer.h"

namespace {

// Parameter `end`'s value at the record's counter, coming from `start`,
// shaped by the curve code and ramp at `code`, `code` + 1.
int Curve(const EffectChannel& r, int start, int end, int code) {
  return CalcuCurve(r.Counter(), r.Duration(), r.Param(start), r.Param(end), r.Param(code + 1),
                    r.Param(code));
}

}  // namespace

// --- #87, #115 ---

CEffectGeoCircle::CEffectGeoCircle(CEffectManager* manager)
    : CEffectGeoCircle(manager, kNumber, &CAllGeo::TransCircleFill) {}

CEffectGeoCircle::CEffectGeoCircle(CEffectManager* manager, int number, ShapeFiller filler)
    : CCommonEffect(manager), number_(number), filler_(filler) {}

CEffectGeoCircleAdd::CEffectGeoCircleAdd(CEffectManager* manager)
    : CEffectGeoCircle(manager, kNumber, &CAllGeo::AddCircleFill) {}

int CEffectGeoCircle::SetParam(EffectChannel* record, int count, const int* values, int) {
  int p[25];
  const int given = TakeParams(count, values, 25, p);
  Default(p, given, 0, 20);
  Default(p, given, 1, CScreenBuffer::GetWidth() / 2);
  Default(p, given, 2, CScreenBuffer::GetHeight() / 2);
  Default(p, given, 3, 100);
  Default(p, given, 4, 100);
  Default(p, given, 5, 128);
  Default(p, given, 6, 128);
  Default(p, given, 7, 128);
  Default(p, given, 8, 100);
  Default(p, given, 9, p[1]);
  Default(p, given, 10, p[2]);
  Default(p, given, 13, p[3]);
  Default(p, given, 14, p[4]);
  Default(p, given, 17, p[5]);
  Default(p, given, 18, p[6]);
  Default(p, given, 19, p[7]);
  Default(p, given, 22, p[8]);
  return StartRecord(record, number_, p[0], p, 25);
}

void CEffectGeoCircle::Print(EffectChannel* record, int) {
  const EffectChannel& r = *record;
  filler_(Curve(r, 9, 1, 11), Curve(r, 10, 2, 11), Curve(r, 13, 3, 15), Curve(r, 14, 4, 15),
          Curve(r, 17, 5, 20), Curve(r, 18, 6, 20), Curve(r, 19, 7, 20), Curve(r, 22, 8, 23));
}

// --- #89, #116 ---

CEffectGeoTorus::CEffectGeoTorus(CEffectManager* manager)
    : CEffectGeoTorus(manager, kNumber, &CAllGeo::TransTorusFill) {}

CEffectGeoTorus::CEffectGeoTorus(CEffectManager* manager, int number, RingFiller filler)
    : CCommonEffect(manager), number_(number), filler_(filler) {}

CEffectGeoTorusAdd::CEffectGeoTorusAdd(CEffectManager* manager)
    : CEffectGeoTorus(manager, kNumber, &CAllGeo::AddTorusFill) {}

int CEffectGeoTorus::SetParam(EffectChannel* record, int count, const int* values, int) {
  int p[33];
  const int given = TakeParams(count, values, 33, p);
  const int cx = CScreenBuffer::GetWidth() / 2, cy = CScreenBuffer::GetHeight() / 2;
  const int ends[13] = {20, cx, cy, 100, 100, cx, cy, 50, 50, 128, 128, 128, 100};
  for (int i = 0; i < 13; ++i) Default(p, given, i, ends[i]);
  Default(p, given, 13, p[1]);
  Default(p, given, 14, p[2]);
  Default(p, given, 15, p[5]);
  Default(p, given, 16, p[6]);
  Default(p, given, 19, p[3]);
  Default(p, given, 20, p[4]);
  Default(p, given, 21, p[7]);
  Default(p, given, 22, p[8]);
  Default(p, given, 25, p[9]);
  Default(p, given, 26, p[10]);
  Default(p, given, 27, p[11]);
  Default(p, given, 30, p[12]);
  return StartRecord(record, number_, p[0], p, 33);
}

void CEffectGeoTorus::Print(EffectChannel* record, int) {
  const EffectChannel& r = *record;
  filler_(Curve(r, 13, 1, 17), Curve(r, 14, 2, 17), Curve(r, 19, 3, 23), Curve(r, 20, 4, 23),
          Curve(r, 15, 5, 17), Curve(r, 16, 6, 17), Curve(r, 21, 7, 23), Curve(r, 22, 8, 23),
          Curve(r, 25, 9, 28), Curve(r, 26, 10, 28), Curve(r, 27, 11, 28), Curve(r, 30, 12, 31));
}

// --- #114, #118 ---

CEffectGeoBox::CEffectGeoBox(CEffectManager* manager)
    : CEffectGeoBox(manager, kNumber, &CAllGeo::TransBoxFill) {}

CEffectGeoBox::CEffectGeoBox(CEffectManager* manager, int number, ShapeFiller filler)
    : CCommonEffect(manager), number_(number), filler_(filler) {}

CEffectGeoBoxAdd::CEffectGeoBoxAdd(CEffectManager* manager)
    : CEffectGeoBox(manager, kNumber, &CAllGeo::TransCircleFill) {}

int CEffectGeoBox::SetParam(EffectChannel* record, int count, const int* values, int) {
  int p[24];
  const int given = TakeParams(count, values, 24, p);
  Default(p, given, 0, 20);
  Default(p, given, 1, 0);
  Default(p, given, 2, 0);
  Default(p, given, 3, 100);
  Default(p, given, 4, 100);
  Default(p, given, 5, p[3]);
  Default(p, given, 6, p[4]);
  Default(p, given, 7, 128);
  Default(p, given, 8, 128);
  Default(p, given, 9, 128);
  Default(p, given, 10, p[7]);
  Default(p, given, 11, p[8]);
  Default(p, given, 12, p[9]);
  Default(p, given, 13, CScreenBuffer::GetWidth() / 2);
  Default(p, given, 14, CScreenBuffer::GetHeight() / 2);
  Default(p, given, 15, p[13]);
  Default(p, given, 16, p[14]);
  return StartRecord(record, number_, p[0], p, 24);
}

void CEffectGeoBox::Print(EffectChannel* record, int) {
  const EffectChannel& r = *record;
  const int64_t c = r.Counter(), k = c - r.Param(1);
  const int64_t span = int64_t{r.Duration()} - r.Param(1) - r.Param(2);
  if (k < 0 || c >= int64_t{r.Duration()} - r.Param(2) || span <= 0) return;
  // 0 <= k < span, so each value lies between its start and its end; the
  // product alone needs more than 64 bits.
  auto step = [&](int start, int end) {
    const __int128 from = r.Param(start);
    return static_cast<int>(from + (r.Param(end) - from) * k / span);
  };
  filler_(step(13, 15), step(14, 16), step(3, 5), step(4, 6), step(7, 10), step(8, 11),
          step(9, 12), 100);
}

// --- #88, #117 ---

CEffectGeoPolygon::CEffectGeoPolygon(CEffectManager* manager)
    : CEffectGeoPolygon(manager, kNumber) {}

CEffectGeoPolygon::CEffectGeoPolygon(CEffectManager* manager, int number)
    : CCommonEffect(manager), number_(number) {}

CEffectGeoPolygonAdd::CEffectGeoPolygonAdd(CEffectManager* manager)
    : CEffectGeoPolygon(manager, kNumber) {}

int CEffectGeoPolygon::SetParam(EffectChannel* record, int count, const int* values, int) {
  int p[3];
  const int given = TakeParams(count, values, 3, p);
  DefaultColour(p, given, 0);
  return StartRecord(record, number_, 9999, p, 3);
}

void CEffectGeoPolygon::Print(EffectChannel* record, int) {
  FillScreenBytes(record->Param(0), record->Param(1), record->Param(2));
}
