#include "effect/strikeeffects.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "effect/calcucurve.h"
#include "effect/effectmanager.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "setup/random.h"

using namespace effectstart;

namespace {

constexpr ClampTiming kEach = ClampTiming::kWithEachDefault;

// v into lo..hi, lo winning when the range is empty (a tiny screen).
int64_t Into(int64_t v, int64_t lo, int64_t hi) { return std::max(lo, std::min(v, hi)); }

// trunc(v + 0.5) toward zero, held to the int range.
int64_t RoundHalf(double v) { return ClampToInt(v + 0.5); }

}  // namespace

// --- #86 ---

// The angle in degrees, the slide in pixels, the point on the cut,
// opacity in percent.
constexpr ParamDefault CEffectZantetsu::kDefaults[] = {
    Value(kDuration, 20),
    Value(kAngle, 0),
    Value(kSlide, 100),
    Value(kPointX, Width(1, 2)),
    Value(kPointY, Height(1, 2)),
    Value(kSpare, 2),
    Value(kPieces, 1),
    Value(kSlideCurve, 0),
    Value(kSlideRamp, 0),
    Value(kEndOpacity, 100),
    Value(kStartOpacity, 0),
    Value(kOpacityCurve, 0),
    Value(kOpacityRamp, 0),
};

constexpr StartTable CEffectZantetsu::kTable{kNumber, 13, -1, kEach, kDefaults};

CEffectZantetsu::CEffectZantetsu(CEffectManager* manager) : CCharaFilterEffect(manager, kTable) {}

void CEffectZantetsu::EnsureSplits(int rows) {
  if (static_cast<int>(splits_.size()) < rows) splits_.resize(rows);
}

int CEffectZantetsu::SetParam(EffectChannel* record, int count, const int* values, int channel) {
  EnsureSplits(CScreenBuffer::GetHeight());
  return CCharaFilterEffect::SetParam(record, count, values, channel);
}

void CEffectZantetsu::Calcu(EffectChannel*, int) { EnsureSplits(CScreenBuffer::GetHeight()); }

void CEffectZantetsu::MakeSplits(int a, int px, int py, int w, int h, int rows, int* out) {
  const int upper = std::min(py, h);
  if (a == -90 || a == 90) {
    for (int r = 0; r < rows; ++r) out[r] = (r < upper) == (a == 90) ? w : 0;
    return;
  }
  const double rad = a / 360.0 * 6.28318;
  const double k = -std::sin(rad) / std::cos(rad);
  for (int r = 0; r < rows; ++r)
    out[r] = static_cast<int>(Into(px + RoundHalf(k * (r - py)), 0, w));
}

void CEffectZantetsu::Print(EffectChannel* record, int channel) {
  const int W = CScreenBuffer::GetWidth(), H = CScreenBuffer::GetHeight();
  const EffectChannel& r = *record;
  CPicture* picture = Picture32(r);
  if (!picture || W <= 0 || H <= 0) return;
  const int a = std::clamp(r.Param(kAngle), -90, 90);
  const double rad = a / 360.0 * 6.28318;
  const int px = static_cast<int>(Into(r.Param(kPointX), 1, W - 2));
  const int py = static_cast<int>(Into(r.Param(kPointY), 1, H - 2));
  const int t = Curve(r, 0, 10000, r.Param(kSlideRamp), r.Param(kSlideCurve));
  const double d = double(t) * r.Param(kSlide) / 10000.0;
  int mL = 0, mR = 0;
  switch (r.Param(kPieces)) {
    case 1: mL = 1; break;
    case 2: mR = 1; break;
    case 3: mL = 1, mR = -1; break;
    default: break;
  }
  const double sx = -std::sin(rad) * d, sy = std::cos(rad) * d;
  // The table is read by picture row: one entry for every row of either.
  const int rows = std::max(H, picture->GetHeight());
  EnsureSplits(rows);
  MakeSplits(a, px, py, W, H, rows, splits_.data());
  const int o = Curve(r, r.Param(kStartOpacity), r.Param(kEndOpacity), r.Param(kOpacityRamp),
                      r.Param(kOpacityCurve));
  int x = 0, y = 0;
  manager_->GetDrawPos(channel, &x, &y);
  const int pw = picture->GetWidth(), ph = picture->GetHeight();
  auto at = [](int base, double offset) { return Clamp32(base + RoundHalf(offset)); };
  picture->SplitBltLeft(at(x, sx * mL), at(y, sy * mL), 0, 0, pw, ph, 1, splits_.data(), o);
  picture->SplitBltRight(at(x, sx * mR), at(y, sy * mR), 0, 0, pw, ph, 1, splits_.data(), o);
}

// --- #48 ---

// The wait in frames, the tremble's width in pixels, opacity in percent.
constexpr ParamDefault CEffectBossDeath::kDefaults[] = {
    Value(kDuration, 20),
    Value(kWait, 0),
    Value(kEndTremble, 8),
    Same(kStartTremble, kEndTremble),
    Value(kTrembleCurve, 0),
    Value(kTrembleRamp, 0),
    Value(kTranslucent, 0),
    Value(kEndOpacity, 50),
    Same(kStartOpacity, kEndOpacity),
    Value(kOpacityCurve, 0),
    Value(kOpacityRamp, 0),
};

constexpr StartTable CEffectBossDeath::kTable{kNumber, 11, -1, kEach, kDefaults};

CEffectBossDeath::CEffectBossDeath(CEffectManager* manager) : CCharaFilterEffect(manager, kTable) {}

int CEffectBossDeath::SetParam(EffectChannel* record, int count, const int* values, int channel) {
  const int result = CCharaFilterEffect::SetParam(record, count, values, channel);
  int& wait = record->Param(kWait);
  wait = Clamp32(std::min<int64_t>(wait, int64_t{record->Param(kDuration)} - 1));
  return result;
}

int CEffectBossDeath::Finish(EffectChannel* record, int channel) {
  record->Active() = 0;
  record->EffectNumber() = 0;
  record->Opaque() = CEffectManager::IsOpaqueChannel(channel);
  return 1;
}

int CEffectBossDeath::Sink(const EffectChannel& r, int h) {
  const int64_t wait = r.Param(kWait), counter = r.Counter();
  if (counter < wait) return 0;
  const int64_t span = std::max<int64_t>(int64_t{r.Duration()} - wait, 1);
  const int64_t e = Into(counter - wait, 0, span);
  return static_cast<int>(e * h / span);
}

void CEffectBossDeath::Print(EffectChannel* record, int channel) {
  const int H = CScreenBuffer::GetHeight();
  const EffectChannel& r = *record;
  CPicture* picture = RecordPicture(r);
  if (!picture || !picture->IsLoaded() || !CScreenBuffer::GetBuffer() || H <= 0) return;
  const int64_t j = Curve(r, r.Param(kStartTremble), r.Param(kEndTremble), r.Param(kTrembleRamp),
                          r.Param(kTrembleCurve));
  const int o = Curve(r, r.Param(kStartOpacity), r.Param(kEndOpacity), r.Param(kOpacityRamp),
                      r.Param(kOpacityCurve));
  const int s = Sink(r, H);
  if (s >= H) return;
  int x0 = 0, y0 = 0;
  manager_->GetDrawPos(channel, &x0, &y0);
  const int pw = picture->GetWidth();
  const bool translucent = r.Param(kTranslucent) != 0;
  for (int i = 0; i < H - s; ++i) {
    int64_t x = x0;
    if (j > 0) x += crt::rand() % (2 * j) - j;
    if (translucent)
      picture->TransLucentBlt3(Clamp32(x), s + i, 0, i, pw, 1, o);
    else
      picture->Blt(Clamp32(x), s + i, 0, i, pw, 1, 1);
  }
}
