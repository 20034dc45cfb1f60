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

// --- Tables ---

constexpr ParamDefault kScrollDefaults[] = {Value(0, 20), Value(1, 32), Value(2, 0), Value(3, 0)};
constexpr StartTable kScrollTable{CEffectScroll::kNumber, 4, -1, kAfter, kScrollDefaults, {}};

constexpr ParamDefault kPoleDefaults[] = {NoDefault(0), Value(1, 32), Value(2, 0), Value(3, 1)};
constexpr StartTable kPoleTable{CEffectPoleScroll::kNumber, 4, 9999, kAfter, kPoleDefaults, {}};

constexpr ParamDefault kFusumaDefaults[] = {Value(0, 20), Value(1, 160), Value(2, 13), Value(3, 0),
                                            Value(4, 0)};
constexpr ParamClamp kFusumaClamps[] = {AtMost(1, Width(1, 2))};
constexpr StartTable kFusumaTable{CEffectFusuma::kNumber, 7, -1, kAfter, kFusumaDefaults,
                                  kFusumaClamps};

constexpr ParamDefault kCurtainDefaults[] = {
    Value(0, 20), Value(1, 100), Value(2, 100), Value(3, 0), Same(4, 3),   Same(5, 4),  Value(6, 0),
    Value(7, 0),  Same(8, 3),    Same(9, 4),    Same(10, 5), Value(11, 0), Value(12, 0)};
constexpr StartTable kCurtainTable{CEffectCurtain::kNumber, 16, -1, kAfter, kCurtainDefaults, {}};

// The zoom's target rectangle, shared by #37 and #122.
constexpr ParamClamp kZoomClamps[] = {Range(1, Fixed(0), Width(1, 1, -1)),
                                      Range(2, Fixed(0), Height(1, 1, -1)),
                                      SumAtMost(3, 1, Width()), SumAtMost(4, 2, Height())};
constexpr ParamDefault kZoomDefaults[] = {
    Value(0, 20),          Value(1, Width(1, 4)),  Value(2, Height(1, 4)),
    Value(3, Width(1, 2)), Value(4, Height(1, 2)), Value(5, 0),
    Value(6, 0),           Value(7, 100),          Value(8, 0)};
constexpr StartTable kZoomTable{
    CEffectBGZoomIn::kNumber, 9, -1, kAfter, kZoomDefaults, kZoomClamps};

constexpr ParamDefault kClipZoomDefaults[] = {
    Value(0, 20),          Value(1, Width(1, 4)),  Value(2, Height(1, 4)),
    Value(3, Width(1, 2)), Value(4, Height(1, 2)), Value(5, 0),
    Value(6, 0),           Value(7, 100),          Value(8, 0),
    PlusHalf(9, 1, 3),     PlusHalf(10, 2, 4),     Value(11, -60),
    Value(12, -40),        Value(13, 0),           Same(14, 9),
    Same(15, 10),          Same(16, 11),           Same(17, 12),
    Value(18, 0),          Value(19, 0),           Value(20, 0),
    Value(21, 100),        Value(22, 255),         Value(23, 255),
    Value(24, 255),        Same(25, 21),           Value(26, 0),
    Value(27, 0),          Same(28, 22),           Same(29, 23),
    Same(30, 24),          Same(31, 26),           Same(32, 27)};
constexpr StartTable kClipZoomTable{CEffectClipZoomIn::kNumber, 33,         -1, kAfter,
                                    kClipZoomDefaults,          kZoomClamps};

int Curve(const EffectChannel& r, int from, int to, int ramp, int code) {
  return CalcuCurve(r.Counter(), r.Duration(), from, to, ramp, code);
}

// A colour component of a curve, held to a byte.
int ByteCurve(const EffectChannel& r, int from, int to, int ramp, int code) {
  return std::clamp(Curve(r, from, to, ramp, code), 0, 255);
}

}  // namespace

// --- #39 ---

CEffectScroll::CEffectScroll(CEffectManager* manager) : CTableStartEffect(manager, kScrollTable) {}

int CEffectScroll::Finish(EffectChannel* record, int) {
  if (record->Param(3))
    record->Counter() = 0;
  else
    record->EffectNumber() = 0;
  return 1;
}

void CEffectScroll::Calcu(EffectChannel* record, int) {
  // A negative duration (only a broken record holds one) never loops.
  if (record->Param(3) && record->Duration() > 0 && record->Counter() >= record->Duration())
    record->Counter() -= record->Duration();
}

void CEffectScroll::Print(EffectChannel* record, int) {
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  CPicture* picture = RecordPicture(*record);
  if (!picture || w <= 0 || h <= 0) return;
  const int64_t n = record->Duration() > 0 ? record->Counter() : 1;
  FourTiles(picture, static_cast<int>(Wrap(n * record->Param(1), w)),
            static_cast<int>(Wrap(n * record->Param(2), h)), w, h);
}

// --- #94 ---

CEffectPoleScroll::CEffectPoleScroll(CEffectManager* manager)
    : CTableStartEffect(manager, kPoleTable) {}

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
    if (record->Param(3)) {
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
  record->Param(kOffsetX) = static_cast<int>(SignedRemainder(ox + step * record->Param(1), w));
  record->Param(kOffsetY) = static_cast<int>(SignedRemainder(oy + step * record->Param(2), h));
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

CEffectFusuma::CEffectFusuma(CEffectManager* manager) : CTableStartEffect(manager, kFusumaTable) {}

void CEffectFusuma::Print(EffectChannel* record, int) {
  const int W = CScreenBuffer::GetWidth(), H = CScreenBuffer::GetHeight();
  const int other = record->Param(2);
  CPicture* own = RecordPicture(*record);
  if (!own || other < 0 || other >= CEffectManager::kChannels) return;
  CPicture* behind = manager_->GetPicture(other);
  for (const CPicture* p : {own, behind})
    if (!p || !p->GetBuffer() || p->GetWidth() < W || p->GetHeight() < H) return;
  // The clamp at the start holds the width for starts, this for saves.
  const int door = std::clamp(record->Param(1), 0, W / 2);
  const int f = Curve(*record, 0, door, record->Param(4), record->Param(3));
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

CEffectCurtain::CEffectCurtain(CEffectManager* manager)
    : CTableStartEffect(manager, kCurtainTable) {}

void CEffectCurtain::Print(EffectChannel* record, int) {
  const int W = CScreenBuffer::GetWidth(), H = CScreenBuffer::GetHeight();
  const EffectChannel& r = *record;
  const int bottomTarget = Clamp32(int64_t{H} - r.Param(1) - r.Param(2));
  // Bars are held to the screen: the top one to 0..H, the bottom one to
  // what the top leaves.
  const int top = std::clamp(Curve(r, 0, r.Param(1), r.Param(7), r.Param(6)), 0, H);
  const int bottom = std::clamp(Curve(r, 0, bottomTarget, r.Param(7), r.Param(6)), 0, H - top);
  int colour[3];
  for (int c = 0; c < 3; ++c)
    colour[c] = ByteCurve(r, r.Param(8 + c), r.Param(3 + c), r.Param(12), r.Param(11));
  if (top > 0) CAllGeo::BoxFill(0, 0, W, top, colour[0], colour[1], colour[2]);
  if (bottom > 0) CAllGeo::BoxFill(0, H - bottom, W, bottom, colour[0], colour[1], colour[2]);
}

// --- #37 ---

CEffectBGZoomIn::CEffectBGZoomIn(CEffectManager* manager)
    : CTableStartEffect(manager, kZoomTable) {}

bool CEffectBGZoomIn::Window(const EffectChannel& r, int W, int H, ZoomWindow* out) {
  const int64_t p =
      Curve(r, ScaledValue(r.Param(8), 100), ScaledValue(r.Param(7), 100), r.Param(6), r.Param(5));
  const int64_t x = r.Param(1), y = r.Param(2), w = r.Param(3), h = r.Param(4);
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

// The clip values of a frame, moved from their start to their end.
ClipState MovingClip(const EffectChannel& r) {
  const int64_t q = Curve(r, 0, 10000, r.Param(19), r.Param(18));
  auto move = [&](int end, int start) {
    return int64_t{r.Param(start)} + (int64_t{r.Param(end)} - r.Param(start)) * q / 10000;
  };
  ClipState s{move(9, 14), move(10, 15), move(11, 16), move(12, 17)};
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

CEffectClipZoomIn::CEffectClipZoomIn(CEffectManager* manager)
    : CTableStartEffect(manager, kClipZoomTable) {}

void CEffectClipZoomIn::Print(EffectChannel* record, int) {
  const int W = CScreenBuffer::GetWidth(), H = CScreenBuffer::GetHeight();
  uint32_t* screen = CScreenBuffer::GetBuffer();
  const EffectChannel& r = *record;
  if (!screen || W <= 0 || H <= 0 ||
      manager_->GetWorkBufferSize() < static_cast<int>(sizeof(Span)) * H)
    return;
  const ClipState s = MovingClip(r);
  const int64_t b = r.Param(20);
  int rgb[3] = {std::clamp(r.Param(22), 0, 255), std::clamp(r.Param(23), 0, 255),
                std::clamp(r.Param(24), 0, 255)};
  int percent = r.Param(21);
  if (b > 0) {
    for (int c = 0; c < 3; ++c)
      rgb[c] = ByteCurve(r, r.Param(28 + c), r.Param(22 + c), r.Param(32), r.Param(31));
    percent = Curve(r, r.Param(25), r.Param(21), r.Param(27), r.Param(26));
  }
  // The span list, cleared, then filled by the shape.
  Span* spans = reinterpret_cast<Span*>(manager_->GetWorkBuffer());
  std::memset(spans, 0, sizeof(Span) * H);
  const int shape = r.Param(13);
  Box box{};
  if (shape == 0) {
    HalfPlaneSpans(s, W, H, spans, SlopeFirst);
  } else if (shape == 1 || shape == 2) {
    if (s.dx == 0 || s.dy == 0) return;
    box = shape == 1 ? RectangleOf(r.Param(9), r.Param(10), r.Param(11), r.Param(12))
                     : RectangleOf(s.cx, s.cy, s.dx, s.dy);
    if (box.x1 < 0 || box.y1 < 0 || box.x0 >= W || box.y0 >= H) return;
    for (int64_t y = std::max<int64_t>(box.y0, 0); y <= std::min<int64_t>(box.y1, H - 1); ++y)
      SetSpan(spans, W, y, box.x0, box.x1);
  } else {
    return;
  }
  CPicture* picture = RecordPicture(r);
  ZoomWindow window;
  if (picture && picture->GetBuffer() && !picture->Get256Flag() && picture->GetWidth() >= W &&
      picture->GetHeight() >= H && CEffectBGZoomIn::Window(r, W, H, &window)) {
    for (int y = 0; y < H; ++y)
      if (spans[y].width > 0)
        CEffectBGZoomIn::SampleSpan(picture->GetPixelBuffer(), picture->GetWidth(), window, W, H, y,
                                    spans[y].first, spans[y].width, screen);
  }
  if (b <= 0) return;
  if (shape == 0) {
    HalfPlaneBorder(s, b, rgb, percent, W, H);
  } else {
    const ClipState rect =
        shape == 1 ? ClipState{r.Param(9), r.Param(10), r.Param(11), r.Param(12)} : s;
    RectangleBorder(rect.cx, rect.cy, rect.dx, rect.dy, b, rgb, percent, W, H);
  }
}
