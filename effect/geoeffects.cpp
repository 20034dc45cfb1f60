#include "effect/geoeffects.h"

#include <cstdint>

#include "effect/calcucurve.h"
#include "graphics/allgeo.h"
#include "graphics/screenbuffer.h"

using namespace effectstart;

namespace {

constexpr ClampTiming kAfter = ClampTiming::kAfterDefaults;

// A value at the record's counter, from its start to its end value on the
// curve code and ramp of its group.
int Curve(const EffectChannel& r, int start, int end, int curve, int ramp) {
  return CalcuCurve(r.Counter(), r.Duration(), r.Param(start), r.Param(end), r.Param(ramp),
                    r.Param(curve));
}

}  // namespace

// --- #87, #115 ---

// Each start value defaults to its end value.
constexpr ParamDefault CEffectGeoCircle::kDefaults[] = {
    Value(kDuration, 20),
    Value(kEndX, Width(1, 2)),
    Value(kEndY, Height(1, 2)),
    Value(kEndRadiusX, 100),
    Value(kEndRadiusY, 100),
    Value(kEndRed, 128),
    Value(kEndGreen, 128),
    Value(kEndBlue, 128),
    Value(kEndStrength, 100),
    Same(kStartX, kEndX),
    Same(kStartY, kEndY),
    Value(kCentreCurve, 0),
    Value(kCentreRamp, 0),
    Same(kStartRadiusX, kEndRadiusX),
    Same(kStartRadiusY, kEndRadiusY),
    Value(kRadiusCurve, 0),
    Value(kRadiusRamp, 0),
    Same(kStartRed, kEndRed),
    Same(kStartGreen, kEndGreen),
    Same(kStartBlue, kEndBlue),
    Value(kColourCurve, 0),
    Value(kColourRamp, 0),
    Same(kStartStrength, kEndStrength),
    Value(kStrengthCurve, 0),
    Value(kStrengthRamp, 0),
};

constexpr StartTable CEffectGeoCircle::kTable{kNumber, 25, -1, kAfter, kDefaults};
constexpr StartTable CEffectGeoCircleAdd::kTable{kNumber, 25, -1, kAfter, kDefaults};

CEffectGeoCircle::CEffectGeoCircle(CEffectManager* manager)
    : CEffectGeoCircle(manager, kTable, &CAllGeo::TransCircleFill) {}

CEffectGeoCircle::CEffectGeoCircle(CEffectManager* manager, const StartTable& table,
                                   ShapeFiller filler)
    : CTableStartEffect(manager, table), filler_(filler) {}

CEffectGeoCircleAdd::CEffectGeoCircleAdd(CEffectManager* manager)
    : CEffectGeoCircle(manager, kTable, &CAllGeo::AddCircleFill) {}

void CEffectGeoCircle::Print(EffectChannel* record, int) {
  const EffectChannel& r = *record;
  filler_(Curve(r, kStartX, kEndX, kCentreCurve, kCentreRamp),
          Curve(r, kStartY, kEndY, kCentreCurve, kCentreRamp),
          Curve(r, kStartRadiusX, kEndRadiusX, kRadiusCurve, kRadiusRamp),
          Curve(r, kStartRadiusY, kEndRadiusY, kRadiusCurve, kRadiusRamp),
          Curve(r, kStartRed, kEndRed, kColourCurve, kColourRamp),
          Curve(r, kStartGreen, kEndGreen, kColourCurve, kColourRamp),
          Curve(r, kStartBlue, kEndBlue, kColourCurve, kColourRamp),
          Curve(r, kStartStrength, kEndStrength, kStrengthCurve, kStrengthRamp));
}

// --- #89, #116 ---

// Each start value defaults to its end value.
constexpr ParamDefault CEffectGeoTorus::kDefaults[] = {
    Value(kDuration, 20),
    Value(kEndOuterX, Width(1, 2)),
    Value(kEndOuterY, Height(1, 2)),
    Value(kEndOuterRadiusX, 100),
    Value(kEndOuterRadiusY, 100),
    Value(kEndInnerX, Width(1, 2)),
    Value(kEndInnerY, Height(1, 2)),
    Value(kEndInnerRadiusX, 50),
    Value(kEndInnerRadiusY, 50),
    Value(kEndRed, 128),
    Value(kEndGreen, 128),
    Value(kEndBlue, 128),
    Value(kEndStrength, 100),
    Same(kStartOuterX, kEndOuterX),
    Same(kStartOuterY, kEndOuterY),
    Same(kStartInnerX, kEndInnerX),
    Same(kStartInnerY, kEndInnerY),
    Value(kCentreCurve, 0),
    Value(kCentreRamp, 0),
    Same(kStartOuterRadiusX, kEndOuterRadiusX),
    Same(kStartOuterRadiusY, kEndOuterRadiusY),
    Same(kStartInnerRadiusX, kEndInnerRadiusX),
    Same(kStartInnerRadiusY, kEndInnerRadiusY),
    Value(kRadiusCurve, 0),
    Value(kRadiusRamp, 0),
    Same(kStartRed, kEndRed),
    Same(kStartGreen, kEndGreen),
    Same(kStartBlue, kEndBlue),
    Value(kColourCurve, 0),
    Value(kColourRamp, 0),
    Same(kStartStrength, kEndStrength),
    Value(kStrengthCurve, 0),
    Value(kStrengthRamp, 0),
};

constexpr StartTable CEffectGeoTorus::kTable{kNumber, 33, -1, kAfter, kDefaults};
constexpr StartTable CEffectGeoTorusAdd::kTable{kNumber, 33, -1, kAfter, kDefaults};

CEffectGeoTorus::CEffectGeoTorus(CEffectManager* manager)
    : CEffectGeoTorus(manager, kTable, &CAllGeo::TransTorusFill) {}

CEffectGeoTorus::CEffectGeoTorus(CEffectManager* manager, const StartTable& table,
                                 RingFiller filler)
    : CTableStartEffect(manager, table), filler_(filler) {}

CEffectGeoTorusAdd::CEffectGeoTorusAdd(CEffectManager* manager)
    : CEffectGeoTorus(manager, kTable, &CAllGeo::AddTorusFill) {}

void CEffectGeoTorus::Print(EffectChannel* record, int) {
  const EffectChannel& r = *record;
  const auto centre = [&](int start, int end) {
    return Curve(r, start, end, kCentreCurve, kCentreRamp);
  };
  const auto radius = [&](int start, int end) {
    return Curve(r, start, end, kRadiusCurve, kRadiusRamp);
  };
  const auto colour = [&](int start, int end) {
    return Curve(r, start, end, kColourCurve, kColourRamp);
  };
  filler_(centre(kStartOuterX, kEndOuterX), centre(kStartOuterY, kEndOuterY),
          radius(kStartOuterRadiusX, kEndOuterRadiusX),
          radius(kStartOuterRadiusY, kEndOuterRadiusY), centre(kStartInnerX, kEndInnerX),
          centre(kStartInnerY, kEndInnerY), radius(kStartInnerRadiusX, kEndInnerRadiusX),
          radius(kStartInnerRadiusY, kEndInnerRadiusY), colour(kStartRed, kEndRed),
          colour(kStartGreen, kEndGreen), colour(kStartBlue, kEndBlue),
          Curve(r, kStartStrength, kEndStrength, kStrengthCurve, kStrengthRamp));
}

// --- #114, #118 ---

// Each end value defaults to its start value.
constexpr ParamDefault CEffectGeoBox::kDefaults[] = {
    Value(kDuration, 20),           Value(kLeadFrames, 0),       Value(kTailFrames, 0),
    Value(kStartWidth, 100),        Value(kStartHeight, 100),    Same(kEndWidth, kStartWidth),
    Same(kEndHeight, kStartHeight), Value(kStartRed, 128),       Value(kStartGreen, 128),
    Value(kStartBlue, 128),         Same(kEndRed, kStartRed),    Same(kEndGreen, kStartGreen),
    Same(kEndBlue, kStartBlue),     Value(kStartX, Width(1, 2)), Value(kStartY, Height(1, 2)),
    Same(kEndX, kStartX),           Same(kEndY, kStartY),
};

constexpr StartTable CEffectGeoBox::kTable{kNumber, 24, -1, kAfter, kDefaults};
constexpr StartTable CEffectGeoBoxAdd::kTable{kNumber, 24, -1, kAfter, kDefaults};

CEffectGeoBox::CEffectGeoBox(CEffectManager* manager)
    : CEffectGeoBox(manager, kTable, &CAllGeo::TransBoxFill) {}

CEffectGeoBox::CEffectGeoBox(CEffectManager* manager, const StartTable& table, ShapeFiller filler)
    : CTableStartEffect(manager, table), filler_(filler) {}

CEffectGeoBoxAdd::CEffectGeoBoxAdd(CEffectManager* manager)
    : CEffectGeoBox(manager, kTable, &CAllGeo::TransCircleFill) {}

void CEffectGeoBox::Print(EffectChannel* record, int) {
  const EffectChannel& r = *record;
  const int64_t c = r.Counter(), k = c - r.Param(kLeadFrames);
  const int64_t span = int64_t{r.Duration()} - r.Param(kLeadFrames) - r.Param(kTailFrames);
  if (k < 0 || c >= int64_t{r.Duration()} - r.Param(kTailFrames) || span <= 0) return;
  // 0 <= k < span, so each value lies between its start and its end; the
  // product alone needs more than 64 bits.
  auto step = [&](int start, int end) {
    const __int128 from = r.Param(start);
    return static_cast<int>(from + (r.Param(end) - from) * k / span);
  };
  filler_(step(kStartX, kEndX), step(kStartY, kEndY), step(kStartWidth, kEndWidth),
          step(kStartHeight, kEndHeight), step(kStartRed, kEndRed), step(kStartGreen, kEndGreen),
          step(kStartBlue, kEndBlue), 100);
}

// --- #88, #117 ---

constexpr ParamDefault CEffectGeoPolygon::kDefaults[] = {Value(kRed, 0), Same(kGreen, kRed),
                                                         Same(kBlue, kGreen)};

constexpr StartTable CEffectGeoPolygon::kTable{kNumber, 3, 9999, kAfter, kDefaults};
constexpr StartTable CEffectGeoPolygonAdd::kTable{kNumber, 3, 9999, kAfter, kDefaults};

CEffectGeoPolygon::CEffectGeoPolygon(CEffectManager* manager)
    : CTableStartEffect(manager, kTable) {}

CEffectGeoPolygonAdd::CEffectGeoPolygonAdd(CEffectManager* manager)
    : CEffectGeoPolygon(manager, kTable) {}

void CEffectGeoPolygon::Print(EffectChannel* record, int) {
  FillScreenBytes(record->Param(kRed), record->Param(kGreen), record->Param(kBlue));
}
