#include "effect/effectlayerscroll.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "effect/calcucurve.h"
#include "effect/clipshape.h"
#include "effect/effectmanager.h"
#include "graphics/allgeo.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"

using namespace effectstart;

namespace {

constexpr ClampTiming kAfter = ClampTiming::kAfterDefaults;

// v reduced into 0..n-1 (n > 0).
int64_t Wrap(int64_t v, int64_t n) {
  if (v <= 0) v = n - ((-v) % n);
  return v % n;
}
// v's remainder by n keeping its sign (n > 0).
int64_t SignedRemainder(int64_t v, int64_t n) { return v < 0 ? -((-v) % n) : v % n; }

// The picture four times, opaque, at (ox + W j, oy + H i) for i, j in -1, 0.
void FourTiles(CPicture* picture, int ox, int oy, int w, int h) {
  for (int i = -1; i <= 0; ++i)
    for (int j = -1; j <= 0; ++j) picture->Blt(ox + w * j, oy + h * i, 0, 0, w, h, 0);
}

int Curve(const EffectChannel& r, int from, int to, int ramp, int code) {
  return CalcuCurve(r.Counter(), r.Duration(), from, to, ramp, code);
}

// A colour component of a curve, held to a byte.
int ByteCurve(const EffectChannel& r, int from, int to, int ramp, int code) {
  return std::clamp(Curve(r, from, to, ramp, code), 0, 255);
}

}  // namespace

// --- #39 ---

// Steps in pixels per frame.
constexpr ParamDefault CEffectScroll::kDefaults[] = {Value(kDuration, 20), Value(kStepX, 32),
                                                     Value(kStepY, 0), Value(kLoop, 0)};

constexpr StartTable CEffectScroll::kTable{kNumber, 4, -1, kAfter, kDefaults};

CEffectScroll::CEffectScroll(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

int CEffectScroll::Finish(EffectChannel* record, int) {
  if (record->Param(kLoop))
    record->Counter() = 0;
  else
    record->EffectNumber() = 0;
  return 1;
}

void CEffectScroll::Calcu(EffectChannel* record, int) {
  // A negative duration (only a broken record holds one) never loops.
  if (record->Param(kLoop) && record->Duration() > 0 && record->Counter() >= record->Duration())
    record->Counter() -= record->Duration();
}

void CEffectScroll::Print(EffectChannel* record, int) {
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  CPicture* picture = RecordPicture(*record);
  if (!picture || w <= 0 || h <= 0) return;
  const int64_t n = record->Duration() > 0 ? record->Counter() : 1;
  FourTiles(picture, static_cast<int>(Wrap(n * record->Param(kStepX), w)),
            static_cast<int>(Wrap(n * record->Param(kStepY), h)), w, h);
}

// --- #94 ---

// The first value is kept, not used; steps in pixels per frame.
constexpr ParamDefault CEffectPoleScroll::kDefaults[] = {NoDefault(kDuration), Value(kStepX, 32),
                                                         Value(kStepY, 0), Value(kLoop, 1)};

constexpr StartTable CEffectPoleScroll::kTable{kNumber, 4, 9999, kAfter, kDefaults};
static_assert(CEffectPoleScroll::kLast >= CEffectPoleScroll::kTable.max,
              "the scroll's state follows its values");

CEffectPoleScroll::CEffectPoleScroll(CEffectManager* manager)
    : CTableStartEffect(manager, kTable) {}

int CEffectPoleScroll::SetParam(EffectChannel* record, int count, const int* values, int channel) {
  CTableStartEffect::SetParam(record, count, values, channel);
  record->Param(kLast) = 0;
  record->Param(kStep) = 1;
  record->Param(kOffsetX) = 0;
  record->Param(kOffsetY) = 0;
  return 1;
}

void CEffectPoleScroll::Calcu(EffectChannel* record, int) {
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  if (w <= 0 || h <= 0) return;
  int64_t step = int64_t{record->Counter()} - record->Param(kLast);
  if (record->Counter() >= record->Duration()) {
    if (record->Param(kLoop)) {
      record->Counter() %= std::max(record->Duration(), 1);
    } else {
      record->Counter() = record->Duration();
      step = 0;
    }
  }
  record->Param(kLast) = record->Counter();
  record->Param(kStep) = Clamp32(step);
  // Offsets from a save may be anything: reduced first, the same where
  // they already were.
  const int64_t ox = SignedRemainder(record->Param(kOffsetX), w);
  const int64_t oy = SignedRemainder(record->Param(kOffsetY), h);
  record->Param(kOffsetX) = static_cast<int>(SignedRemainder(ox + step * record->Param(kStepX), w));
  record->Param(kOffsetY) = static_cast<int>(SignedRemainder(oy + step * record->Param(kStepY), h));
}

void CEffectPoleScroll::Print(EffectChannel* record, int) {
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  CPicture* picture = RecordPicture(*record);
  if (!picture || w <= 0 || h <= 0) return;
  const int ox = static_cast<int>(SignedRemainder(record->Param(kOffsetX), w));
  const int oy = static_cast<int>(SignedRemainder(record->Param(kOffsetY), h));
  FourTiles(picture, ox + (ox < 0 ? w : 0), oy + (oy < 0 ? h : 0), w, h);
}

// --- #84 ---

constexpr ParamDefault CEffectFusuma::kDefaults[] = {
    Value(kDuration, 20), Value(kDoorWidth, 160), Value(kBehindChannel, 13),
    Value(kCurve, 0),     Value(kRamp, 0),
};
constexpr ParamClamp CEffectFusuma::kClamps[] = {AtMost(kDoorWidth, Width(1, 2))};

constexpr StartTable CEffectFusuma::kTable{kNumber, 7, -1, kAfter, kDefaults, kClamps};

CEffectFusuma::CEffectFusuma(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

void CEffectFusuma::Print(EffectChannel* record, int) {
  const int W = CScreenBuffer::GetWidth(), H = CScreenBuffer::GetHeight();
  const int other = record->Param(kBehindChannel);
  CPicture* own = RecordPicture(*record);
  if (!own || other < 0 || other >= CEffectManager::kChannels) return;
  CPicture* behind = manager_->GetPicture(other);
  for (const CPicture* p : {own, behind})
    if (!p || !p->GetBuffer() || p->GetWidth() < W || p->GetHeight() < H) return;
  // The clamp at the start holds the width for starts, this for saves.
  const int door = std::clamp(record->Param(kDoorWidth), 0, W / 2);
  const int f = Curve(*record, 0, door, record->Param(kRamp), record->Param(kCurve));
  if (f == 0) {
    own->Blt(0, 0, 0, 0, W, H, 0);
    return;
  }
  const int o = W / 2 - door, d = door - f;
  own->Blt(0, 0, 0, 0, o, H, 0);
  own->Blt(o, 0, o + f, 0, d, H, 0);
  own->Blt(W - o - d, 0, W / 2, 0, d, H, 0);
  own->Blt(W - o, 0, W - o, 0, o, H, 0);
  behind->Blt(o + d, 0, o + d, 0, 2 * f, H, 0);
}

// --- #68 ---

// Heights in pixels; the start colour defaults to the end colour.
constexpr ParamDefault CEffectCurtain::kDefaults[] = {
    Value(kDuration, 20),       Value(kTopHeight, 100),
    Value(kOpening, 100),       Value(kEndRed, 0),
    Same(kEndGreen, kEndRed),   Same(kEndBlue, kEndGreen),
    Value(kSizeCurve, 0),       Value(kSizeRamp, 0),
    Same(kStartRed, kEndRed),   Same(kStartGreen, kEndGreen),
    Same(kStartBlue, kEndBlue), Value(kColourCurve, 0),
    Value(kColourRamp, 0),
};

constexpr StartTable CEffectCurtain::kTable{kNumber, 16, -1, kAfter, kDefaults};

CEffectCurtain::CEffectCurtain(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

void CEffectCurtain::Print(EffectChannel* record, int) {
  const int W = CScreenBuffer::GetWidth(), H = CScreenBuffer::GetHeight();
  const EffectChannel& r = *record;
  const int bottomTarget = Clamp32(int64_t{H} - r.Param(kTopHeight) - r.Param(kOpening));
  // Bars are held to the screen: the top one to 0..H, the bottom one to
  // what the top leaves.
  const int top =
      std::clamp(Curve(r, 0, r.Param(kTopHeight), r.Param(kSizeRamp), r.Param(kSizeCurve)), 0, H);
  const int bottom =
      std::clamp(Curve(r, 0, bottomTarget, r.Param(kSizeRamp), r.Param(kSizeCurve)), 0, H - top);
  static constexpr int kStarts[3] = {kStartRed, kStartGreen, kStartBlue};
  static constexpr int kEnds[3] = {kEndRed, kEndGreen, kEndBlue};
  int colour[3];
  for (int c = 0; c < 3; ++c)
    colour[c] = ByteCurve(r, r.Param(kStarts[c]), r.Param(kEnds[c]), r.Param(kColourRamp),
                          r.Param(kColourCurve));
  if (top > 0) CAllGeo::BoxFill(0, 0, W, top, colour[0], colour[1], colour[2]);
  if (bottom > 0) CAllGeo::BoxFill(0, H - bottom, W, bottom, colour[0], colour[1], colour[2]);
}

// --- #37 ---

// The target rectangle, zoom in percent.
constexpr ParamDefault CEffectBGZoomIn::kDefaults[] = {
    Value(kDuration, 20),
    Value(kTargetX, Width(1, 4)),
    Value(kTargetY, Height(1, 4)),
    Value(kTargetWidth, Width(1, 2)),
    Value(kTargetHeight, Height(1, 2)),
    Value(kCurve, 0),
    Value(kRamp, 0),
    Value(kEndZoom, 100),
    Value(kStartZoom, 0),
};
// The target held on the screen; #122 holds it likewise.
constexpr ParamClamp CEffectBGZoomIn::kClamps[] = {
    Range(kTargetX, Fixed(0), Width(1, 1, -1)),
    Range(kTargetY, Fixed(0), Height(1, 1, -1)),
    SumAtMost(kTargetWidth, kTargetX, Width()),
    SumAtMost(kTargetHeight, kTargetY, Height()),
};

constexpr StartTable CEffectBGZoomIn::kTable{kNumber, 9, -1, kAfter, kDefaults, kClamps};

CEffectBGZoomIn::CEffectBGZoomIn(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

bool CEffectBGZoomIn::Window(const EffectChannel& r, int W, int H, ZoomWindow* out) {
  const int64_t p = Curve(r, ScaledValue(r.Param(kStartZoom), 100),
                          ScaledValue(r.Param(kEndZoom), 100), r.Param(kRamp), r.Param(kCurve));
  const int64_t x = r.Param(kTargetX), y = r.Param(kTargetY), w = r.Param(kTargetWidth),
                h = r.Param(kTargetHeight);
  const int64_t left = std::max<int64_t>((x * p + 5000) / 10000, 0);
  const int64_t top = std::max<int64_t>((y * p + 5000) / 10000, 0);
  const int64_t right = std::min<int64_t>(((x + w - W - 1) * p + 5000) / 10000 + W, W);
  const int64_t bottom = std::min<int64_t>(((y + h - H - 1) * p + 5000) / 10000 + H, H);
  if (left >= right || top >= bottom) return false;
  *out = {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right),
          static_cast<int>(bottom)};
  return true;
}

void CEffectBGZoomIn::SampleSpan(const uint32_t* pixels, int pitch, const ZoomWindow& window, int w,
                                 int h, int y, int x0, int n, uint32_t* screen) {
  const uint64_t stepX = (uint64_t(window.right - window.left) << 16) / w;
  const uint64_t stepY = (uint64_t(window.bottom - window.top) << 16) / h;
  const uint32_t* row = pixels + size_t(window.top + ((y * stepY) >> 16)) * pitch + window.left;
  uint32_t* out = screen + size_t(y) * w;
  uint64_t fx = uint64_t(x0) * stepX;
  for (int x = x0; x < x0 + n; ++x, fx += stepX) out[x] = row[fx >> 16];
}

void CEffectBGZoomIn::Print(EffectChannel* record, int) {
  const int W = CScreenBuffer::GetWidth(), H = CScreenBuffer::GetHeight();
  uint32_t* screen = CScreenBuffer::GetBuffer();
  CPicture* picture = RecordPicture(*record);
  ZoomWindow window;
  if (!screen || !picture || !picture->GetBuffer() || picture->Get256Flag() ||
      picture->GetWidth() != W || picture->GetHeight() != H || !Window(*record, W, H, &window))
    return;
  for (int y = 0; y < H; ++y)
    SampleSpan(picture->GetPixelBuffer(), W, window, W, H, y, 0, W, screen);
}

// --- #122 ---

using namespace clipshape;

namespace {

using Clip = CEffectClipZoomIn;

// The clip values of a frame, moved from their start to their end.
ClipState MovingClip(const EffectChannel& r) {
  const int64_t q = Curve(r, 0, 10000, r.Param(Clip::kClipRamp), r.Param(Clip::kClipCurve));
  auto move = [&](int end, int start) {
    return int64_t{r.Param(start)} + (int64_t{r.Param(end)} - r.Param(start)) * q / 10000;
  };
  ClipState s{move(Clip::kEndClipX, Clip::kStartClipX), move(Clip::kEndClipY, Clip::kStartClipY),
              move(Clip::kEndClipDx, Clip::kStartClipDx),
              move(Clip::kEndClipDy, Clip::kStartClipDy)};
  if (s.dx == 0 && s.dy == 0) s.dx = 1;
  return s;
}

// The ordered rectangle of a shape, as first and last column and row.
struct Box {
  int64_t x0, y0, x1, y1;
};

Box RectangleOf(int64_t x, int64_t y, int64_t width, int64_t height) {
  int64_t x1 = x + width - 1, y1 = height < 1 ? y + height + 1 : y + height - 1;
  return {std::min(x, x1), std::min(y, y1), std::max(x, x1), std::max(y, y1)};
}

}  // namespace

// The clip point (the rectangle's corner) defaults to the target's centre;
// the clip's direction (the rectangle's size), the border's percent and
// colour go from their start to their end values.
constexpr ParamDefault CEffectClipZoomIn::kClipDefaults[] = {
    PlusHalf(kEndClipX, kTargetX, kTargetWidth),
    PlusHalf(kEndClipY, kTargetY, kTargetHeight),
    Value(kEndClipDx, -60),
    Value(kEndClipDy, -40),
    Value(kShape, 0),
    Same(kStartClipX, kEndClipX),
    Same(kStartClipY, kEndClipY),
    Same(kStartClipDx, kEndClipDx),
    Same(kStartClipDy, kEndClipDy),
    Value(kClipCurve, 0),
    Value(kClipRamp, 0),
    Value(kBorderWidth, 0),
    Value(kEndPercent, 100),
    Value(kEndRed, 255),
    Value(kEndGreen, 255),
    Value(kEndBlue, 255),
    Same(kStartPercent, kEndPercent),
    Value(kPercentCurve, 0),
    Value(kPercentRamp, 0),
    Same(kStartRed, kEndRed),
    Same(kStartGreen, kEndGreen),
    Same(kStartBlue, kEndBlue),
    Same(kColourCurve, kPercentCurve),
    Same(kColourRamp, kPercentRamp),
};

namespace {
constexpr auto kClipZoomRows = Rows(CEffectBGZoomIn::kDefaults, CEffectClipZoomIn::kClipDefaults);
}  // namespace

constexpr StartTable CEffectClipZoomIn::kTable{kNumber, 33, -1, kAfter, kClipZoomRows, kClamps};

CEffectClipZoomIn::CEffectClipZoomIn(CEffectManager* manager) : CEffectBGZoomIn(manager, kTable) {}

void CEffectClipZoomIn::Print(EffectChannel* record, int) {
  const int W = CScreenBuffer::GetWidth(), H = CScreenBuffer::GetHeight();
  uint32_t* screen = CScreenBuffer::GetBuffer();
  const EffectChannel& r = *record;
  if (!screen || W <= 0 || H <= 0 ||
      manager_->GetWorkBufferSize() < static_cast<int>(sizeof(Span)) * H)
    return;
  // Without a picture to zoom (one at least the screen's size, 32-bit) or
  // a window to zoom into, nothing is drawn, border included.
  CPicture* picture = RecordPicture(r);
  ZoomWindow window;
  if (!picture || !picture->GetBuffer() || picture->Get256Flag() || picture->GetWidth() < W ||
      picture->GetHeight() < H || !CEffectBGZoomIn::Window(r, W, H, &window))
    return;
  const ClipState s = MovingClip(r);
  const int64_t b = r.Param(kBorderWidth);
  static constexpr int kStarts[3] = {kStartRed, kStartGreen, kStartBlue};
  static constexpr int kEnds[3] = {kEndRed, kEndGreen, kEndBlue};
  int rgb[3];
  for (int c = 0; c < 3; ++c) rgb[c] = std::clamp(r.Param(kEnds[c]), 0, 255);
  int percent = r.Param(kEndPercent);
  if (b > 0) {
    for (int c = 0; c < 3; ++c)
      rgb[c] = ByteCurve(r, r.Param(kStarts[c]), r.Param(kEnds[c]), r.Param(kColourRamp),
                         r.Param(kColourCurve));
    percent = Curve(r, r.Param(kStartPercent), r.Param(kEndPercent), r.Param(kPercentRamp),
                    r.Param(kPercentCurve));
  }
  // The span list, cleared, then filled by the shape.
  Span* spans = reinterpret_cast<Span*>(manager_->GetWorkBuffer());
  std::memset(spans, 0, sizeof(Span) * H);
  const int shape = r.Param(kShape);
  Box box{};
  if (shape == 0) {
    HalfPlaneSpans(s, W, H, spans, SlopeFirst);
  } else if (shape == 1 || shape == 2) {
    if (s.dx == 0 || s.dy == 0) return;
    box = shape == 1 ? RectangleOf(r.Param(kEndClipX), r.Param(kEndClipY), r.Param(kEndClipDx),
                                   r.Param(kEndClipDy))
                     : RectangleOf(s.cx, s.cy, s.dx, s.dy);
    if (box.x1 < 0 || box.y1 < 0 || box.x0 >= W || box.y0 >= H) return;
    for (int64_t y = std::max<int64_t>(box.y0, 0); y <= std::min<int64_t>(box.y1, H - 1); ++y)
      SetSpan(spans, W, y, box.x0, box.x1);
  } else {
    return;
  }
  for (int y = 0; y < H; ++y)
    if (spans[y].width > 0)
      CEffectBGZoomIn::SampleSpan(picture->GetPixelBuffer(), picture->GetWidth(), window, W, H, y,
                                  spans[y].first, spans[y].width, screen);
  if (b <= 0) return;
  if (shape == 0) {
    HalfPlaneBorder(s, b, rgb, percent, W, H);
  } else {
    const ClipState rect = shape == 1 ? ClipState{r.Param(kEndClipX), r.Param(kEndClipY),
                                                  r.Param(kEndClipDx), r.Param(kEndClipDy)}
                                      : s;
    RectangleBorder(rect.cx, rect.cy, rect.dx, rect.dy, b, rgb, percent, W, H);
  }
}
