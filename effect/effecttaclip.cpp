#include "effect/effecttaclip.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "effect/charapixels.h"
#include "effect/clipshape.h"
#include "effect/calcucurve.h"
#include "effect/effectcharatrans.h"
#include "effect/effectmanager.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"

using namespace effectstart;
using namespace clipshape;

namespace {

constexpr ClampTiming kEach = ClampTiming::kWithEachDefault;

// The rectangle's rows and columns on the screen as spans; false when it
// has no size or lies wholly off the screen.
bool RectangleSpans(const ClipState& s, int w, int h, Span* spans) {
  if (s.dx == 0 || s.dy == 0) return false;
  int64_t left = s.cx, right = s.cx + s.dx, top = s.cy;
  int64_t bottom = s.dy >= 1 ? s.cy + s.dy - 1 : s.cy + s.dy + 1;
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  if (left >= w || top >= h || right < 0 || bottom < 0) return false;
  left = std::max<int64_t>(left, 0);
  top = std::max<int64_t>(top, 0);
  right = std::min<int64_t>(right, w);
  bottom = std::min<int64_t>(bottom, h - 1);
  for (int64_t y = top; y <= bottom; ++y)
    if (right > left) spans[y] = {static_cast<int32_t>(left), static_cast<int32_t>(right - left)};
  return true;
}

}  // namespace

// The geometry's start defaults to its end; levels and the border's
// opacity in percent, its colour going from its start to its end.
constexpr ParamDefault CEffectTaClip::kDefaults[] = {
    Value(kDuration, 20),
    Value(kEndX, 400),
    Value(kEndY, 300),
    Value(kEndDx, -60),
    Value(kEndDy, -40),
    Value(kRectangle, 0),
    Value(kEndLevel, 100),
    Same(kStartLevel, kEndLevel),
    Value(kLevelCurve, 0),
    Value(kLevelRamp, 0),
    Value(kTinted, 0),
    Value(kTintRamp, 0),
    Value(kTintCurve, 0),
    Value(kRed, 255),
    Value(kGreen, 255),
    Value(kBlue, 255),
    Value(kBorderWidth, 0),
    Value(kEndBorderPercent, 100),
    Value(kEndBorderRed, 255),
    Value(kEndBorderGreen, 255),
    Value(kEndBorderBlue, 255),
    Same(kStartBorderPercent, kEndBorderPercent),
    Value(kPercentCurve, 0),
    Value(kPercentRamp, 0),
    Same(kStartBorderRed, kEndBorderRed),
    Same(kStartBorderGreen, kEndBorderGreen),
    Same(kStartBorderBlue, kEndBorderBlue),
    Value(kColourCurve, 0),
    Value(kColourRamp, 0),
    Same(kStartX, kEndX),
    Same(kStartY, kEndY),
    Same(kStartDx, kEndDx),
    Same(kStartDy, kEndDy),
    Value(kMoveCurve, 0),
    Value(kMoveRamp, 0),
};

constexpr StartTable CEffectTaClip::kTable{kNumber, 35, -1, kEach, kDefaults};

CEffectTaClip::CEffectTaClip(CEffectManager* manager) : CCharaFilterEffect(manager, kTable) {}

void CEffectTaClip::Print(EffectChannel* record, int channel) {
  const int W = CScreenBuffer::GetWidth(), H = CScreenBuffer::GetHeight();
  const EffectChannel& r = *record;
  CPicture* picture = MaskedPicture(r);
  if (!picture || W <= 0 || H <= 0 ||
      manager_->GetWorkBufferSize() < static_cast<int>(sizeof(Span)) * H)
    return;
  // The geometry moved from its start to its end.
  const int64_t t = Curve(r, 0, 10000, r.Param(kMoveRamp), r.Param(kMoveCurve));
  auto move = [&](int end, int start) {
    return int64_t{r.Param(start)} + (int64_t{r.Param(end)} - r.Param(start)) * t / 10000;
  };
  ClipState s{move(kEndX, kStartX), move(kEndY, kStartY), move(kEndDx, kStartDx),
              move(kEndDy, kStartDy)};
  if (s.dx == 0 && s.dy == 0) s.dx = 1;
  const bool rectangle = r.Param(kRectangle) != 0;
  Span* spans = reinterpret_cast<Span*>(manager_->GetWorkBuffer());
  std::memset(spans, 0, sizeof(Span) * H);
  if (rectangle) {
    if (!RectangleSpans(s, W, H, spans)) return;
  } else {
    HalfPlaneSpans(s, W, H, spans, ProductFirst);
  }
  const int64_t level =
      int64_t{Curve(r, ScaledValue(r.Param(kStartLevel), 100), ScaledValue(r.Param(kEndLevel), 100),
                    r.Param(kLevelRamp), r.Param(kLevelCurve))} *
      255 / 10000;
  const bool tint = r.Param(kTinted) != 0;
  const int e =
      tint ? std::clamp(Curve(r, 0, 255, r.Param(kTintRamp), r.Param(kTintCurve)), 0, 255) : 255;
  const charatrans::FlatTint flat(e, ByteColour(r, kRed));
  const bool inRange = level >= 0 && level <= 255;
  // Each row's span cut to the picture's columns.
  int x0 = 0, y0 = 0;
  manager_->GetDrawPos(channel, &x0, &y0);
  const int pw = picture->GetWidth(), ph = picture->GetHeight();
  uint32_t* screen = CScreenBuffer::GetBuffer();
  const uint32_t* pixels = picture->GetPixelBuffer();
  const uint8_t* mask = picture->GetMask();
  const int64_t rowFirst = std::max<int64_t>(0, y0), rowEnd = std::min<int64_t>(H, int64_t{y0} + ph);
  for (int64_t y = rowFirst; y < rowEnd; ++y) {
    const Span span = spans[y];
    const int64_t a = std::max<int64_t>(span.first, x0);
    const int64_t b = std::min<int64_t>(int64_t{span.first} + span.width, int64_t{x0} + pw);
    if (a >= b) continue;
    const size_t first = static_cast<size_t>(y - y0) * pw + static_cast<size_t>(a - x0);
    const uint32_t* source = pixels + first;
    const uint8_t* alpha = mask + first;
    // Each pixel's colour and weight; a clear pixel keeps the screen. A
    // weight beyond +-65536 saturates as that bound does.
    auto fill = [&](int x, int count, uint32_t* s, int32_t* k) {
      for (int i = 0; i < count; ++i) {
        const uint32_t m = alpha[x + i];
        s[i] = tint ? flat(source[x + i]) : source[x + i];
        k[i] = m == 0 ? 0 : static_cast<int32_t>(std::clamp<int64_t>((level * (m + 1)) >> 8, -65536, 65536));
      }
    };
    uint32_t* out = screen + static_cast<size_t>(y) * W + a;
    if (inRange) {
      // Weights (level x (m + 1)) >> 8 stay within 0..255 here.
      const uint32_t lv = static_cast<uint32_t>(level);
      charapixels::BlendEach(
          out, static_cast<int>(b - a),
          [=](int i) { return tint ? flat(source[i]) : source[i]; },
          [=](int i) { return alpha[i] == 0 ? 0u : (lv * (alpha[i] + 1u)) >> 8; });
    } else {
      charapixels::WeighPieces(out, static_cast<int>(b - a), fill);
    }
  }
  const int64_t border = r.Param(kBorderWidth);
  if (border <= 0) return;
  static constexpr int kStarts[3] = {kStartBorderRed, kStartBorderGreen, kStartBorderBlue};
  static constexpr int kEnds[3] = {kEndBorderRed, kEndBorderGreen, kEndBorderBlue};
  int rgb[3];
  for (int c = 0; c < 3; ++c)
    rgb[c] = std::clamp(Curve(r, r.Param(kStarts[c]), r.Param(kEnds[c]), r.Param(kColourRamp),
                              r.Param(kColourCurve)),
                        0, 255);
  const int percent = Curve(r, r.Param(kStartBorderPercent), r.Param(kEndBorderPercent),
                            r.Param(kPercentRamp), r.Param(kPercentCurve));
  if (rectangle)
    RectangleBorder(s.cx, s.cy, s.dx, s.dy, border, rgb, percent, W, H);
  else
    HalfPlaneBorder(s, border, rgb, percent, W, H);
}
