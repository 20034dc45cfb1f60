#include "effect/effectlayertransform.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "effect/calcucurve.h"
#include "effect/effectmanager.h"
#include "graphics/blendrows.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"

// --- The curve offsets ---

void CurveOffset(int counter, int duration, const int* points, int pointCount, int ramp, int code,
                 int* x, int* y) {
  *x = 0;
  *y = 0;
  if (pointCount != 3 && pointCount != 4) return;
  const float t = static_cast<float>(CalcuCurve(counter, duration, 0, 10000, ramp, code)) * 0.0001f;
  const float u = 1.0f - t;
  float w[4];
  if (pointCount == 3) {
    w[0] = u * u;
    w[1] = 2.0f * t * u;
    w[2] = t * t;
  } else {
    w[0] = u * u * u;
    w[1] = 3.0f * t * u * u;
    w[2] = 3.0f * t * t * u;
    w[3] = t * t * t;
  }
  float fx = 0.0f, fy = 0.0f;
  for (int i = 0; i < pointCount; ++i) {
    fx += w[i] * static_cast<float>(points[2 * i]);
    fy += w[i] * static_cast<float>(points[2 * i + 1]);
  }
  *x = ClampToInt(static_cast<double>(fx + 0.5f));
  *y = ClampToInt(static_cast<double>(fy + 0.5f));
}

using namespace effectstart;

namespace {

constexpr ClampTiming kAfter = ClampTiming::kAfterDefaults;

// The channel picture at the draw position plus the curve offset.
void PrintAlongCurve(CEffectManager* manager, const EffectChannel& record, int channel,
                     const int* points, int pointCount, int ramp, int code) {
  int ox = 0, oy = 0, x = 0, y = 0;
  CurveOffset(record.Counter(), record.Duration(), points, pointCount, ramp, code, &ox, &oy);
  manager->GetDrawPos(channel, &x, &y);
  CPicture* picture = manager->GetPicture(channel);
  const auto at = [](int a, int b) {
    return static_cast<int>(std::clamp<int64_t>(int64_t{a} + b, INT32_MIN, INT32_MAX));
  };
  picture->Blt(at(x, ox), at(y, oy), 0, 0, picture->GetWidth(), picture->GetHeight(),
               CEffectManager::IsOpaqueChannel(channel) ? 0 : 1);
}

}  // namespace

// --- #119 ---

// The points are offsets from the draw position.
constexpr ParamDefault CEffectBSpline2::kDefaults[] = {
    Value(kDuration, 1),   Value(kFirstX, 0),      Value(kFirstY, 0),
    Value(kControlX, 200), Value(kControlY, -200), Value(kLastX, 400),
    Value(kLastY, 100),    Value(kCurve, 0),       Value(kRamp, 0),
};

constexpr StartTable CEffectBSpline2::kTable{kNumber, 9, -1, kAfter, kDefaults};

CEffectBSpline2::CEffectBSpline2(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

void CEffectBSpline2::Print(EffectChannel* record, int channel) {
  PrintAlongCurve(manager_, *record, channel, &record->Param(kFirstX), 3, record->Param(kRamp),
                  record->Param(kCurve));
}

// --- #62 ---

// The points are offsets from the draw position.
constexpr ParamDefault CEffectBezierMove::kDefaults[] = {
    Value(kDuration, 1),     Value(kFirstX, 0),       Value(kFirstY, 0),
    Value(kControl1X, 200),  Value(kControl1Y, -100), Value(kControl2X, 300),
    Value(kControl2Y, -200), Value(kLastX, 400),      Value(kLastY, 100),
    Value(kCurve, 0),        Value(kRamp, 0),
};

constexpr StartTable CEffectBezierMove::kTable{kNumber, 11, -1, kAfter, kDefaults};

CEffectBezierMove::CEffectBezierMove(CEffectManager* manager)
    : CTableStartEffect(manager, kTable) {}

void CEffectBezierMove::Print(EffectChannel* record, int channel) {
  PrintAlongCurve(manager_, *record, channel, &record->Param(kFirstX), 4, record->Param(kRamp),
                  record->Param(kCurve));
}

// --- #36 ---

// The size has no default of its own: SetParam leaves equal margins on
// both sides, then holds the rectangle on the screen.
constexpr ParamDefault CEffectStretch::kDefaults[] = {
    Value(kDuration, 20), Value(kLeft, Width(1, 4)), Value(kTop, Height(1, 4)), NoDefault(kWidth),
    NoDefault(kHeight),   Value(kCurve, 0),          Value(kRamp, 0),
};

constexpr StartTable CEffectStretch::kTable{kNumber, 7, -1, kAfter, kDefaults};

CEffectStretch::CEffectStretch(CEffectManager* manager)
    : CTableStartEffect(manager, kTable), columnSteps_(std::max(CScreenBuffer::GetWidth(), 1)) {}

int CEffectStretch::SetParam(EffectChannel* record, int count, const int* values, int) {
  const int W = CScreenBuffer::GetWidth(), H = CScreenBuffer::GetHeight();
  int p[kMaxParams];
  const int given = MakeParams(Table(), count, values, W, H, p);
  // What is left between two equal margins, formed in 64 bits.
  auto between = [](int64_t side, int margin) {
    return static_cast<int>(std::clamp<int64_t>(side - 2 * int64_t{margin}, INT32_MIN, INT32_MAX));
  };
  Default(p, given, kWidth, between(W, p[kLeft]));
  Default(p, given, kHeight, between(H, p[kTop]));
  p[kLeft] = std::clamp(p[kLeft], 0, std::max(W - 1, 0));
  p[kTop] = std::clamp(p[kTop], 0, std::max(H - 1, 0));
  p[kWidth] = std::max(std::min(p[kWidth], W - p[kLeft]), 1);
  p[kHeight] = std::max(std::min(p[kHeight], H - p[kTop]), 1);
  return StartRecord(record, kNumber, p[kDuration], p, Table().max);
}

void CEffectStretch::Print(EffectChannel* record, int channel) {
  const int64_t W = CScreenBuffer::GetWidth(), H = CScreenBuffer::GetHeight();
  auto p = [&](int i) { return int64_t{record->Param(i)}; };
  const int64_t L = std::max<int64_t>(p(kLeft), 0), T = std::max<int64_t>(p(kTop), 0);
  const int64_t R = std::min(p(kLeft) + p(kWidth), W), B = std::min(p(kTop) + p(kHeight), H);
  if (L >= R || T >= B || !HasPictureNumber(*record)) return;
  CPicture* picture = manager_->GetPicture(channel);
  int rect[4];
  picture->GetRect(rect);
  if (rect[0] != 0 || rect[1] != 0 || rect[2] != W || rect[3] != H || picture->Get256Flag() ||
      !picture->GetBuffer() || !CScreenBuffer::GetBuffer())
    return;
  const int64_t d = CalcuCurve(record->Counter(), record->Duration(), 0, 256, record->Param(kRamp),
                               record->Param(kCurve));
  int64_t l = L - L * d / 256, t = T - T * d / 256;
  int64_t r = R + (W - R) * d / 256, b = B + (H - B) * d / 256;
  if (l >= W || t >= H || r < 0 || b < 0) return;
  l = std::max<int64_t>(l, 0);
  t = std::max<int64_t>(t, 0);
  r = std::min(r, W);
  b = std::min(b, H);
  const int dw = static_cast<int>(r - l), dh = static_cast<int>(b - t);
  if (dw <= 0 || dh <= 0) return;
  const uint32_t* src = picture->GetPixelBuffer();
  uint32_t* dst = CScreenBuffer::GetBuffer() + t * W + l;
  for (int f = 2; f <= 5; ++f) {
    if (W / f != dw || H / f != dh) continue;
    if (f == 2)
      Average2(src, dst, dw, dh);
    else
      AverageN(src, dst, dw, dh, f);
    return;
  }
  Nearest(src, dst, dw, dh);
}

void CEffectStretch::Average2(const uint32_t* src, uint32_t* dst, int dw, int dh) const {
  const size_t W = static_cast<size_t>(CScreenBuffer::GetWidth());
  for (int j = 0; j < dh; ++j, dst += W) {
    const uint32_t* a = src + 2 * j * W;
    const uint32_t* b = a + W;
    for (int i = 0; i < dw; ++i) {
      // The four bytes of every pixel at once: even and odd bytes apart,
      // each lane wide enough for four bytes' sum.
      const uint32_t p0 = a[2 * i], p1 = a[2 * i + 1], p2 = b[2 * i], p3 = b[2 * i + 1];
      const uint32_t even = (p0 & 0x00FF00FF) + (p1 & 0x00FF00FF) + (p2 & 0x00FF00FF) +
                            (p3 & 0x00FF00FF);
      const uint32_t odd = ((p0 >> 8) & 0x00FF00FF) + ((p1 >> 8) & 0x00FF00FF) +
                           ((p2 >> 8) & 0x00FF00FF) + ((p3 >> 8) & 0x00FF00FF);
      dst[i] = ((even >> 2) & 0x00FF00FF) | (((odd >> 2) & 0x00FF00FF) << 8);
    }
  }
}

void CEffectStretch::AverageN(const uint32_t* src, uint32_t* dst, int dw, int dh, int f) const {
  const size_t W = static_cast<size_t>(CScreenBuffer::GetWidth());
  const uint32_t area = static_cast<uint32_t>(f * f);
  for (int j = 0; j < dh; ++j, dst += W) {
    for (int i = 0; i < dw; ++i) {
      uint32_t sum[4] = {};
      for (int y = 0; y < f; ++y) {
        const uint32_t* row = src + (static_cast<size_t>(f) * j + y) * W + static_cast<size_t>(f) * i;
        for (int x = 0; x < f; ++x)
          for (int c = 0; c < 4; ++c) sum[c] += blendrows::Channel(row[x], 8 * c);
      }
      dst[i] = sum[0] / area | (sum[1] / area) << 8 | (sum[2] / area) << 16 | (sum[3] / area) << 24;
    }
  }
}

void CEffectStretch::Nearest(const uint32_t* src, uint32_t* dst, int dw, int dh) {
  const int64_t W = CScreenBuffer::GetWidth(), H = CScreenBuffer::GetHeight();
  if (columnSteps_.size() < static_cast<size_t>(dw)) columnSteps_.resize(static_cast<size_t>(dw));
  for (int64_t n = 0; n < dw; ++n)
    columnSteps_[n] = static_cast<int32_t>((n + 1) * W / dw - n * W / dw);
  const int64_t S = H * 256 / dh;
  int64_t phase = 0;
  const uint32_t* row = src;
  for (int j = 0; j < dh; ++j, dst += W) {
    const uint32_t* s = row;
    for (int i = 0; i < dw; ++i) {
      dst[i] = *s;
      s += columnSteps_[i];
    }
    row += ((phase + S) >> 8) * W;
    phase = (phase + S) & 255;
  }
}

// --- #67 ---

// The view's upper and lower offsets, distance and zoom in percent; the
// mode is not used. Each start value defaults to its end value. The two
// values after the last named one are kept, not read.
constexpr ParamDefault CEffectPers::kDefaults[] = {
    Value(kDuration, 20),
    Value(kEndUpper, 0),
    Value(kEndLower, 0),
    Value(kEndDistance, 100),
    Value(kEndZoom, 100),
    Value(kMode, 0),
    Same(kStartUpper, kEndUpper),
    Same(kStartLower, kEndLower),
    Same(kStartDistance, kEndDistance),
    Same(kStartZoom, kEndZoom),
    Value(kEndFirstRow, 0),
    Value(kEndLastRow, Height()),
    Same(kStartFirstRow, kEndFirstRow),
    Same(kStartLastRow, kEndLastRow),
};

constexpr StartTable CEffectPers::kTable{kNumber, 16, -1, kAfter, kDefaults};

CEffectPers::CEffectPers(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

namespace {

// One row of the perspective table: the picture row it shows and its
// horizontal step in 16.16 (0: the row is not drawn).
struct PersRow {
  int32_t offset;
  int32_t step;
};

// A row step as 16.16 with the truncated integer part and fraction; steps
// that are not finite and positive leave their row out (0), steps too large
// for 16 integer bits are held below 32768.
int32_t PersStep(double step) {
  if (!(step > 0.0) || !std::isfinite(step)) return 0;
  if (step >= 32767.0) return INT32_MAX;
  const double whole = std::trunc(step);
  const int32_t fixed = static_cast<int32_t>(whole) * 65536 +
                        static_cast<int32_t>((step - whole) * 65536.0);
  return fixed > 0 ? fixed : 0;
}

}  // namespace

void CEffectPers::Print(EffectChannel* record, int channel) {
  const int64_t W = CScreenBuffer::GetWidth(), H = CScreenBuffer::GetHeight();
  const int64_t r = std::max(record->Duration(), 1);
  const int64_t s = std::clamp<int64_t>(record->Counter(), 0, r);
  auto animate = [&](int start, int end) {
    return (int64_t{record->Param(end)} - record->Param(start)) * s / r + record->Param(start);
  };
  const int64_t X = animate(kStartUpper, kEndUpper), Y = animate(kStartLower, kEndLower);
  int64_t Z = animate(kStartDistance, kEndDistance), S = animate(kStartZoom, kEndZoom);
  const int64_t first = std::max<int64_t>(animate(kStartFirstRow, kEndFirstRow), 0);
  const int64_t last = std::min(animate(kStartLastRow, kEndLastRow), H - 1);
  const int64_t rows = last - first + 1;
  if (rows < 1) return;
  if (Z == 0) Z = 1;
  if (S < 1) S = 1;
  const double a0 = std::atan2(static_cast<double>(X), static_cast<double>(Z));
  const double a1 = std::atan2(static_cast<double>(Y), static_cast<double>(Z));
  const double span = a1 - a0;
  // X * X + Z * Z in 64 bits: 32 would wrap into a negative root.
  const double dist = std::sqrt(static_cast<double>(static_cast<uint64_t>(X * X) +
                                                    static_cast<uint64_t>(Z * Z)));
  const double k = (1.0 / dist) / (static_cast<double>(S) / 100.0);

  CPicture* picture = manager_->GetPicture(channel);
  const int w = picture->GetWidth(), h = picture->GetHeight();
  uint32_t* screen = CScreenBuffer::GetBuffer();
  if (!HasPictureNumber(*record) || w < 1 || h < 1 || !picture->GetBuffer() ||
      picture->Get256Flag() || !screen)
    return;
  if (static_cast<size_t>(rows) * sizeof(PersRow) >
      static_cast<size_t>(manager_->GetWorkBufferSize()))
    return;
  auto* table = reinterpret_cast<PersRow*>(manager_->GetWorkBuffer());
  double acc = 0.0;
  for (int64_t i = 0; i < rows; ++i) {
    table[i].offset = ClampToInt(acc + 0.5);
    const double theta = static_cast<double>(i) * span / static_cast<double>(rows) + a0;
    const double step = static_cast<double>(Z) / std::cos(theta) * k;
    table[i].step = PersStep(step);
    if (std::isfinite(step)) acc += step;
  }

  int dx = 0, dy = 0;
  manager_->GetDrawPos(channel, &dx, &dy);
  const uint32_t* pixels = picture->GetPixelBuffer();
  for (int64_t i = 0; i < rows; ++i) {
    const int64_t step = table[i].step;
    const int64_t sy = int64_t{table[i].offset} - dy;
    if (step == 0 || sy < 0 || sy >= h) continue;
    const uint32_t* src = pixels + sy * w;
    uint32_t* dst = screen + (first + i) * W;
    // Wider than 32 bits, so a far draw position never wraps back into the
    // picture.
    int64_t sx = (int64_t{w / 2} - dx) * 65536 - step * (W / 2);
    for (int64_t x = 0; x < W; ++x, sx += step) {
      const int64_t column = sx >> 16;
      if (column >= 0 && column < w) dst[x] = src[column];
    }
  }
}
