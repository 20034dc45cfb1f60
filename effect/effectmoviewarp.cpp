#include "effect/effectmoviewarp.h"

#include <algorithm>
#include <cmath>

#include "effect/calcucurve.h"
#include "effect/effectmanager.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"

using namespace effectstart;

namespace {

constexpr ClampTiming kAfter = ClampTiming::kAfterDefaults;

}  // namespace

// The centre on the screen; the twist in degrees at the start, unwinding to
// none; opacity and zoom in percent.
constexpr ParamDefault CEffectMovieWarp::kDefaults[] = {
    Value(kDuration, 20),
    Value(kCentreX, Width(1, 2)),
    Value(kCentreY, Height(1, 2)),
    Value(kTwist, 180),
    Value(kUnused, 0),
    Value(kTwistCurve, 0),
    Value(kTwistRamp, 0),
    Value(kEndOpacity, 100),
    Same(kStartOpacity, kEndOpacity),
    Value(kOpacityCurve, 0),
    Value(kOpacityRamp, 0),
    Value(kEndZoom, 100),
    Same(kStartZoom, kEndZoom),
    Value(kZoomCurve, 0),
    Value(kZoomRamp, 0),
};

constexpr StartTable CEffectMovieWarp::kTable{kNumber, 16, -1, kAfter, kDefaults};

CEffectMovieWarp::CEffectMovieWarp(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

CEffectMovieWarp::Frame CEffectMovieWarp::FrameValues(const EffectChannel& record) {
  const int c = record.Counter(), d = record.Duration();
  auto p = [&](int i) { return record.Param(i); };
  Frame f;
  const int64_t unwound =
      10000 - int64_t{CalcuCurve(c, d, 0, 10000, p(kTwistRamp), p(kTwistCurve))};
  f.twist = static_cast<int>(int64_t{p(kTwist)} * unwound / 10000);
  f.opacity = std::clamp(
      CalcuCurve(c, d, p(kStartOpacity), p(kEndOpacity), p(kOpacityRamp), p(kOpacityCurve)), 0,
      100);
  f.zoom = std::max(CalcuCurve(c, d, ScaledValue(p(kStartZoom), 10), ScaledValue(p(kEndZoom), 10),
                               p(kZoomRamp), p(kZoomCurve)),
                    1);
  return f;
}

struct CEffectMovieWarp::Setup {
  Frame f;
  int pw = 0, ph = 0;
  int64_t half10 = 10;
  double inv = 1.0;
  int64_t cx = 0, cy = 0, originX = 0, originY = 0;
  const uint32_t* source = nullptr;
  const uint8_t* mask = nullptr;
  uint32_t* screen = nullptr;
  int width = 0, height = 0;
};

bool CEffectMovieWarp::Prepare(const EffectChannel& record, Setup* s) {
  CPicture* picture = RecordPicture(record);
  s->screen = CScreenBuffer::GetBuffer();
  if (!picture || !s->screen || picture->Get256Flag() || !picture->GetMaskFlag() ||
      !picture->GetPixelBuffer() || !picture->GetMask())
    return false;
  s->f = FrameValues(record);
  s->pw = picture->GetWidth();
  s->ph = picture->GetHeight();
  s->half10 = int64_t{std::max(std::min(s->pw, s->ph) / 2, 1)} * 10;
  s->inv = 1.0 / (s->f.zoom * 0.001);
  s->cx = record.Param(kCentreX);
  s->cy = record.Param(kCentreY);
  s->originX = record.DrawRect()[0] + s->cx;
  s->originY = record.DrawRect()[1] + s->cy;
  s->source = picture->GetPixelBuffer();
  s->mask = picture->GetMask();
  s->width = CScreenBuffer::GetWidth();
  s->height = CScreenBuffer::GetHeight();
  return true;
}

namespace {

// Screen pixel `out` from the picture point its distance r and direction
// theta from the centre lead to.
inline void WarpPixel(const CEffectMovieWarp::Frame& f, double inv, int64_t half10,
                      int64_t originX, int64_t originY, int pw, int ph, const uint32_t* source,
                      const uint8_t* mask, double r, double theta, uint32_t* out) {
  const int64_t rr = std::max(ClampToInt(r * inv), 1);
  const int64_t rr10 = ClampToInt(r * inv * 10);
  const int64_t angle = f.twist * rr10 / half10 % 360;
  const double phi = static_cast<double>(angle) / 360 * 6.28318;
  const int64_t sx = originX + ClampToInt(std::cos(theta + phi) * rr + 0.5);
  const int64_t sy = originY + ClampToInt(std::sin(theta + phi) * rr + 0.5);
  if (sx < 0 || sy < 0 || sx >= pw || sy >= ph) return;
  const size_t at = static_cast<size_t>(sy) * pw + static_cast<size_t>(sx);
  uint32_t m = mask[at];
  if (m == 0) return;
  if (f.opacity != 100) m = m * static_cast<uint32_t>(f.opacity) / 100;
  const uint32_t s = source[at];
  if (m == 255) {
    *out = s;
    return;
  }
  const uint32_t d = *out;
  uint32_t blended = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const uint32_t a = (s >> shift) & 0xFF, b = (d >> shift) & 0xFF;
    blended |= ((a * m + b * (256 - m)) >> 8) << shift;
  }
  *out = blended;
}

}  // namespace

void CEffectMovieWarp::PrintPlain(EffectChannel* record, int) {
  Setup s;
  if (!Prepare(*record, &s)) return;
  for (int y = 0; y < s.height; ++y) {
    uint32_t* row = s.screen + static_cast<size_t>(y) * s.width;
    const double dy = static_cast<double>(y - s.cy);
    for (int x = 0; x < s.width; ++x) {
      const double dx = static_cast<double>(x - s.cx);
      WarpPixel(s.f, s.inv, s.half10, s.originX, s.originY, s.pw, s.ph, s.source, s.mask,
                std::sqrt(dx * dx + dy * dy), std::atan2(dy, dx), row + x);
    }
  }
}

void CEffectMovieWarp::EnsureTable(int64_t cx, int64_t cy, int width, int height) {
  const size_t n = static_cast<size_t>(width) * height;
  if (radius_.size() == n && tableCx_ == cx && tableCy_ == cy && tableW_ == width &&
      tableH_ == height)
    return;
  radius_.resize(n);
  theta_.resize(n);
  for (int y = 0; y < height; ++y) {
    const double dy = static_cast<double>(y - cy);
    for (int x = 0; x < width; ++x) {
      const double dx = static_cast<double>(x - cx);
      radius_[static_cast<size_t>(y) * width + x] = std::sqrt(dx * dx + dy * dy);
      theta_[static_cast<size_t>(y) * width + x] = std::atan2(dy, dx);
    }
  }
  tableCx_ = cx;
  tableCy_ = cy;
  tableW_ = width;
  tableH_ = height;
}

void CEffectMovieWarp::Print(EffectChannel* record, int) {
  Setup s;
  if (!Prepare(*record, &s)) return;
  EnsureTable(s.cx, s.cy, s.width, s.height);
  const size_t n = static_cast<size_t>(s.width) * s.height;
  for (size_t i = 0; i < n; ++i)
    WarpPixel(s.f, s.inv, s.half10, s.originX, s.originY, s.pw, s.ph, s.source, s.mask,
              radius_[i], theta_[i], s.screen + i);
}
