#include "effect/effectturn.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "effect/calcucurve.h"
#include "effect/effectlayertransform.h"
#include "effect/effectmanager.h"
#include "effect/packedpixel.h"
#include "graphics/blendrows.h"
#include "graphics/packedwords.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "graphics/stretchblt.h"

using namespace effectstart;

namespace {

constexpr ClampTiming kAfter = ClampTiming::kAfterDefaults;

bool g_rows = true;

// A destination rectangle of the screen and the 16.16 source position at
// its first pixel, moved by one step per column and another per row.
struct Walk {
  int x0 = 0, y0 = 0, cols = 0, rows = 0;
  int64_t startX = 0, startY = 0;
  int64_t colX = 0, colY = 0;
  int64_t rowX = 0, rowY = 0;
};

// How a source pixel meets the screen.
enum class Ink {
  kOpaque,      // the tinted pixel
  kKey,         // the tinted pixel unless the untinted one is the key colour
  kMask256,     // a = (m * A) >> 8 over 256 - a; a = 255 writes (the turn)
  kMask255,     // m over 255 - m; m = 255 writes (the stretch at full opacity)
  kOpacity255,  // a = (m * A) >> 8 over 255 - a (the stretch below it)
};

struct Source {
  const uint32_t* pixels = nullptr;
  const uint8_t* mask = nullptr;
  int w = 0, h = 0;
};

struct NoTint {
  uint32_t Apply(uint32_t x) const { return x; }
  uint32_t ApplyWords(uint32_t x) const { return x; }
};

// blendrows::SignedColour, applied to the four bytes at once (ApplyWords in
// plain words, for loops the compiler works on many pixels at once).
struct PackedTint {
  uint32_t add, sub;
  uint32_t Apply(uint32_t x) const { return packedpixel::Tint(x, add, sub); }
  uint32_t ApplyWords(uint32_t x) const { return packedwords::Tint(x, add, sub); }
};

// The steps i in [0, n) at which start + i * step lies in [0, limit).
void InsideSpan(int64_t start, int64_t step, int64_t limit, int n, int* lo, int* hi) {
  if (step < 0) {  // the same walk seen from the other end of the range
    start = limit - 1 - start;
    step = -step;
  }
  int64_t first = 0, end = n;
  if (step == 0) {
    if (start < 0 || start >= limit) end = 0;
  } else {
    if (start < 0) first = (-start + step - 1) / step;
    end = start >= limit ? 0 : (limit - start + step - 1) / step;
  }
  *lo = static_cast<int>(std::clamp<int64_t>(first, 0, n));
  *hi = static_cast<int>(std::clamp<int64_t>(end, 0, n));
}

// The steps of the walk's row starting at (rowX, rowY) whose sample lies
// inside the source in both directions.
void InsideBoth(const Walk& walk, int64_t rowX, int64_t rowY, int64_t limitX, int64_t limitY, int* lo,
                int* hi) {
  int loX = 0, hiX = 0, loY = 0, hiY = 0;
  InsideSpan(rowX, walk.colX, limitX, walk.cols, &loX, &hiX);
  InsideSpan(rowY, walk.colY, limitY, walk.cols, &loY, &hiY);
  *lo = std::max(loX, loY);
  *hi = std::min(hiX, hiY);
}

// The positions are 64-bit: with 32 a far source would wrap back into the
// picture and show ghost copies. Inside the 32-bit range they are the same.
// Each row visits only the columns whose source lies inside the picture.
template <typename Op>
void RunWalk(const Walk& walk, const Source& source, Op op) {
  const int64_t pitch = CScreenBuffer::GetWidth();
  uint32_t* row = CScreenBuffer::GetBuffer() + walk.y0 * pitch + walk.x0;
  const int64_t w = source.w, limitX = w << 16, limitY = int64_t{source.h} << 16;
  int64_t rowX = walk.startX, rowY = walk.startY;
  for (int j = 0; j < walk.rows; ++j, row += pitch, rowX += walk.rowX, rowY += walk.rowY) {
    int lo = 0, hi = 0;
    InsideBoth(walk, rowX, rowY, limitX, limitY, &lo, &hi);
    int64_t x = rowX + lo * walk.colX, y = rowY + lo * walk.colY;
    for (int i = lo; i < hi; ++i, x += walk.colX, y += walk.colY)
      op(row[i], static_cast<size_t>((y >> 16) * w + (x >> 16)));
  }
}

// The masked inks a row at a time: the samples and mask values of a piece
// of the row gathered, then mixed in one packed-word loop.
template <Ink ink, typename Tint>
void DrawMasked(const Walk& walk, const Source& source, int A, const Tint tint) {
  const int64_t pitch = CScreenBuffer::GetWidth();
  uint32_t* row = CScreenBuffer::GetBuffer() + walk.y0 * pitch + walk.x0;
  const int64_t w = source.w, limitX = w << 16, limitY = int64_t{source.h} << 16;
  const uint32_t* px = source.pixels;
  const uint8_t* mask = source.mask;
  const uint32_t weight = static_cast<uint32_t>(A);
  constexpr int kPiece = 256;
  uint32_t samples[kPiece], values[kPiece];
  int64_t rowX = walk.startX, rowY = walk.startY;
  for (int j = 0; j < walk.rows; ++j, row += pitch, rowX += walk.rowX, rowY += walk.rowY) {
    int lo = 0, hi = 0;
    InsideBoth(walk, rowX, rowY, limitX, limitY, &lo, &hi);
    int64_t x = rowX + lo * walk.colX, y = rowY + lo * walk.colY;
    for (int i = lo; i < hi; i += kPiece) {
      const int count = std::min(kPiece, hi - i);
      for (int k = 0; k < count; ++k, x += walk.colX, y += walk.colY) {
        const size_t at = static_cast<size_t>((y >> 16) * w + (x >> 16));
        samples[k] = px[at];
        values[k] = mask[at];
      }
      uint32_t* out = row + i;
      packedwords::Run([=, &samples, &values] {
        for (int k = 0; k < count; ++k) {
          const uint32_t d = out[k], t = tint.ApplyWords(samples[k]), m = values[k];
          uint32_t mixed;
          if constexpr (ink == Ink::kMask256) {
            const uint32_t a = (m * weight) >> 8;
            mixed = a == 255 ? t : packedwords::Apart(d, t, a, 256 - a);
          } else if constexpr (ink == Ink::kMask255) {
            mixed = m == 255 ? t : packedwords::Apart(d, t, m, 255 - m);
          } else {
            const uint32_t a = (m * weight) >> 8;
            mixed = packedwords::Apart(d, t, a, 255 - a);
          }
          out[k] = m == 0 ? d : mixed;
        }
      });
    }
  }
}

template <typename Tint>
void Draw(const Walk& walk, const Source& src, Ink ink, int A, const Tint tint) {
  // Weights within a byte's products: every frame the effects make.
  if (g_rows && (ink == Ink::kMask256 || ink == Ink::kMask255 || ink == Ink::kOpacity255) &&
      A >= 0 && A <= 256 && src.mask) {
    if (ink == Ink::kMask256)
      DrawMasked<Ink::kMask256>(walk, src, A, tint);
    else if (ink == Ink::kMask255)
      DrawMasked<Ink::kMask255>(walk, src, A, tint);
    else
      DrawMasked<Ink::kOpacity255>(walk, src, A, tint);
    return;
  }
  // The ops take their values by copy: written pixels cannot alias them.
  const uint32_t* px = src.pixels;
  const uint8_t* mask = src.mask;
  switch (ink) {
    case Ink::kOpaque:
      RunWalk(walk, src, [=](uint32_t& d, size_t at) { d = tint.Apply(px[at]); });
      break;
    case Ink::kKey: {
      const uint32_t key = px[0];
      RunWalk(walk, src, [=](uint32_t& d, size_t at) {
        if (px[at] != key) d = tint.Apply(px[at]);
      });
      break;
    }
    case Ink::kMask256:
      RunWalk(walk, src, [=](uint32_t& d, size_t at) {
        const int m = mask[at];
        if (m == 0) return;
        const int a = (m * A) >> 8;
        d = a == 255 ? tint.Apply(px[at]) : packedpixel::BlendApart256(d, tint.Apply(px[at]), a);
      });
      break;
    case Ink::kMask255:
      RunWalk(walk, src, [=](uint32_t& d, size_t at) {
        const int m = mask[at];
        if (m == 0) return;
        d = m == 255 ? tint.Apply(px[at]) : packedpixel::BlendApart255(d, tint.Apply(px[at]), m);
      });
      break;
    case Ink::kOpacity255:
      RunWalk(walk, src, [=](uint32_t& d, size_t at) {
        const int m = mask[at];
        if (m == 0) return;
        d = packedpixel::BlendApart255(d, tint.Apply(px[at]), (m * A) >> 8);
      });
      break;
  }
}

// The picture both effects draw, or false when there is none to draw: no
// picture number, no pixels, 8-bit indices, or an empty size.
bool TakeSource(CEffectManager* manager, const EffectChannel& record, int channel, Source* out,
                const CPicture** picture) {
  const CPicture* p = manager->GetPicture(channel);
  if (!CCommonEffect::HasPictureNumber(record) || p->GetWidth() < 1 || p->GetHeight() < 1 || !p->GetBuffer() || p->Get256Flag() ||
      !CScreenBuffer::GetBuffer())
    return false;
  out->pixels = p->GetPixelBuffer();
  out->mask = p->GetMask();
  out->w = p->GetWidth();
  out->h = p->GetHeight();
  *picture = p;
  return true;
}

// Draw mode 0, 1 or 2 (others draw as 0); 2 without a usable mask keys.
Ink InkOf(int mode, const CPicture& picture) {
  if (mode == 1) return Ink::kKey;
  if (mode != 2) return Ink::kOpaque;
  return picture.GetMask() && picture.GetMaskFlag() ? Ink::kMask256 : Ink::kKey;
}

// A tint component from its curve, held to what a colour byte can take.
int TintPart(const EffectChannel& record, int from, int to, int ramp, int code) {
  return std::clamp(CalcuCurve(record.Counter(), record.Duration(), record.Param(from),
                               record.Param(to), record.Param(ramp), record.Param(code)),
                    -255, 255);
}

void DrawTinted(const Walk& walk, const Source& src, Ink ink, int A, bool tinted,
                const EffectChannel& record, int firstFrom, int firstTo, int ramp, int code) {
  if (!tinted) {
    Draw(walk, src, ink, A, NoTint{});
    return;
  }
  const blendrows::SignedColour tint(TintPart(record, firstFrom, firstTo, ramp, code),
                                     TintPart(record, firstFrom + 1, firstTo + 1, ramp, code),
                                     TintPart(record, firstFrom + 2, firstTo + 2, ramp, code));
  Draw(walk, src, ink, A, PackedTint{tint.add, tint.sub});
}

}  // namespace

// --- #64 ---

// Angles in degrees, the centre an offset from the picture's centre, zoom
// and opacity in percent, a signed tint; each start value defaults to its
// end value. The path's points are offsets from the draw position.
constexpr ParamDefault CEffectTurn::kDefaults[] = {
    Value(kDuration, 20),
    Value(kEndAngle, 0),
    Same(kStartAngle, kEndAngle),
    Value(kCentreX, 0),
    Value(kCentreY, 0),
    Value(kEndZoom, 100),
    Same(kStartZoom, kEndZoom),
    Value(kDrawMode, 0),
    Value(kEndOpacity, 100),
    Same(kStartOpacity, kEndOpacity),
    Value(kAngleCurve, 0),
    Value(kAngleRamp, 0),
    Value(kZoomCurve, 0),
    Value(kZoomRamp, 0),
    Value(kOpacityCurve, 0),
    Value(kOpacityRamp, 0),
    Value(kTinted, 0),
    Value(kEndRed, 0),
    Same(kEndGreen, kEndRed),
    Same(kEndBlue, kEndGreen),
    Same(kStartRed, kEndRed),
    Same(kStartGreen, kEndGreen),
    Same(kStartBlue, kEndBlue),
    Value(kTintCurve, 0),
    Value(kTintRamp, 0),
    Value(kPathKind, 0),
    Value(kPathFirstX, 0),
    Value(kPathFirstY, 0),
    Value(kPathControl1X, 200),
    Value(kPathControl1Y, -100),
    Value(kPathControl2X, 300),
    Value(kPathControl2Y, -200),
    Value(kPathLastX, 400),
    Value(kPathLastY, 100),
    Value(kPathCurve, 0),
    Value(kPathRamp, 0),
};

constexpr StartTable CEffectTurn::kTable{kNumber, 36, -1, kAfter, kDefaults};

CEffectTurn::CEffectTurn(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

void CEffectTurn::Print(EffectChannel* record, int channel) {
  const int c = record->Counter(), n = record->Duration();
  auto p = [&](int i) { return record->Param(i); };
  const int a =
      CalcuCurve(c, n, p(kStartOpacity), p(kEndOpacity), p(kOpacityRamp), p(kOpacityCurve));
  const int A = std::clamp(a, 0, 100) * 256 / 100;
  const int z = std::max(CalcuCurve(c, n, ScaledValue(p(kStartZoom), 10),
                                    ScaledValue(p(kEndZoom), 10), p(kZoomRamp), p(kZoomCurve)) /
                             10,
                         1);
  Source src;
  const CPicture* picture = nullptr;
  if (!TakeSource(manager_, *record, channel, &src, &picture)) return;
  const double cx = src.w / 2 + static_cast<double>(p(kCentreX));
  const double cy = src.h / 2 + static_cast<double>(p(kCentreY));
  int64_t tenths = CalcuCurve(c, n, ScaledValue(p(kStartAngle), 10), ScaledValue(p(kEndAngle), 10),
                              p(kAngleRamp), p(kAngleCurve));
  if (tenths < 0) tenths = 3600 - (-tenths) % 3600;
  tenths %= 3600;
  const double theta = static_cast<double>(tenths) * 0.0017453277777777778;

  int px = 0, py = 0, ox = 0, oy = 0;
  manager_->GetDrawPos(channel, &px, &py);
  // The path kind is the number of its points less one.
  if (p(kPathKind) == 2 || p(kPathKind) == 3)
    CurveOffset(c, n, &record->Param(kPathFirstX), p(kPathKind) + 1, p(kPathRamp), p(kPathCurve),
                &ox, &oy);
  const int64_t W = CScreenBuffer::GetWidth(), H = CScreenBuffer::GetHeight();
  const double originX = static_cast<double>(int64_t{px} + ox + W / 2);
  const double originY = static_cast<double>(int64_t{py} + oy + H / 2);
  const double kc = std::cos(theta) / z * 100, ks = std::sin(theta) / z * 100;
  auto mapX = [&](double X, double Y) { return kc * (X - originX) - ks * (Y - originY) + cx + 0.5; };
  auto mapY = [&](double X, double Y) { return ks * (X - originX) + kc * (Y - originY) + cy + 0.5; };
  const double x0 = mapX(0, 0), y0 = mapY(0, 0);
  const double w = static_cast<double>(W), h = static_cast<double>(H);
  Walk walk;
  walk.cols = static_cast<int>(W);
  walk.rows = static_cast<int>(H);
  walk.startX = stretch::Fixed(x0);
  walk.startY = stretch::Fixed(y0);
  walk.colX = stretch::Fixed((mapX(w, 0) - x0) / w);
  walk.colY = stretch::Fixed((mapY(w, 0) - y0) / w);
  walk.rowX = stretch::Fixed((mapX(0, h) - x0) / h);
  walk.rowY = stretch::Fixed((mapY(0, h) - y0) / h);
  DrawTinted(walk, src, InkOf(p(kDrawMode), *picture), A, p(kTinted) != 0, *record, kStartRed,
             kEndRed, kTintRamp, kTintCurve);
}

// --- #65 ---

// The anchor an offset from the picture's centre, scales and opacity in
// percent, a signed tint; each start value defaults to its end value.
constexpr ParamDefault CEffectStretchBlt::kDefaults[] = {
    Value(kDuration, 20),
    Value(kAnchorX, 0),
    Value(kAnchorY, 0),
    Value(kEndScaleX, 100),
    Value(kEndScaleY, 100),
    Same(kStartScaleX, kEndScaleX),
    Same(kStartScaleY, kEndScaleY),
    Value(kScaleCurve, 0),
    Value(kScaleRamp, 0),
    Value(kDrawMode, 0),
    Value(kEndOpacity, 100),
    Same(kStartOpacity, kEndOpacity),
    Value(kOpacityCurve, 0),
    Value(kOpacityRamp, 0),
    Value(kTinted, 0),
    Value(kEndRed, 0),
    Same(kEndGreen, kEndRed),
    Same(kEndBlue, kEndGreen),
    Same(kStartRed, kEndRed),
    Same(kStartGreen, kEndGreen),
    Same(kStartBlue, kEndBlue),
    Value(kTintCurve, 0),
    Value(kTintRamp, 0),
};

constexpr StartTable CEffectStretchBlt::kTable{kNumber, 25, -1, kAfter, kDefaults};

CEffectStretchBlt::CEffectStretchBlt(CEffectManager* manager)
    : CTableStartEffect(manager, kTable) {}

void CEffectStretchBlt::Print(EffectChannel* record, int channel) {
  const int c = record->Counter(), n = record->Duration();
  auto p = [&](int i) { return record->Param(i); };
  auto scale = [&](int from, int to) {
    const int v = CalcuCurve(c, n, ScaledValue(p(from), 100), ScaledValue(p(to), 100),
                             p(kScaleRamp), p(kScaleCurve));
    return std::max(v / 10000.0, 0.001);
  };
  const double sx = scale(kStartScaleX, kEndScaleX), sy = scale(kStartScaleY, kEndScaleY);
  Source src;
  const CPicture* picture = nullptr;
  if (!TakeSource(manager_, *record, channel, &src, &picture)) return;
  const double W = CScreenBuffer::GetWidth(), H = CScreenBuffer::GetHeight();
  int drawX = 0, drawY = 0;
  manager_->GetDrawPos(channel, &drawX, &drawY);
  const double anchorX = W / 2 + drawX, anchorY = H / 2 + drawY;
  const double pictureX = src.w / 2 + static_cast<double>(p(kAnchorX));
  const double pictureY = src.h / 2 + static_cast<double>(p(kAnchorY));
  double left = sx * (0 - pictureX) + anchorX, right = sx * (src.w - pictureX) + anchorX;
  double top = sy * (0 - pictureY) + anchorY, bottom = sy * (src.h - pictureY) + anchorY;
  if (left >= W || right < 0 || top >= H || bottom < 0) return;
  // The source span left after cutting the rectangle to the screen.
  double spanX = 0, spanY = 0, spanW = src.w, spanH = src.h;
  if (left < 0) {
    spanX += -left / sx;
    spanW -= -left / sx;
    left = 0;
  }
  if (right > W) {
    spanW -= (right - W) / sx;
    right = W;
  }
  if (top < 0) {
    spanY += -top / sy;
    spanH -= -top / sy;
    top = 0;
  }
  if (bottom > H) {
    spanH -= (bottom - H) / sy;
    bottom = H;
  }
  spanW = std::max(spanW, 0.0);
  spanH = std::max(spanH, 0.0);
  Walk walk;
  walk.x0 = ClampToInt(left);
  walk.y0 = ClampToInt(top);
  walk.cols = ClampToInt(right) - walk.x0;
  walk.rows = ClampToInt(bottom) - walk.y0;
  if (walk.cols <= 0 || walk.rows <= 0) return;
  walk.startX = stretch::Fixed(spanX);
  walk.startY = stretch::Fixed(spanY);
  walk.colX = stretch::Fixed(spanW / walk.cols);
  walk.rowY = stretch::Fixed(spanH / walk.rows);

  const int A =
      std::clamp(CalcuCurve(c, n, ScaledValue(p(kStartOpacity), 256),
                            ScaledValue(p(kEndOpacity), 256), p(kOpacityRamp), p(kOpacityCurve)) /
                     100,
                 0, 256);
  Ink ink = InkOf(p(kDrawMode), *picture);
  if (ink == Ink::kMask256) ink = A == 256 ? Ink::kMask255 : Ink::kOpacity255;
  DrawTinted(walk, src, ink, A, p(kTinted) != 0, *record, kStartRed, kEndRed, kTintRamp,
             kTintCurve);
}

void effectturn::AllowRows(bool allow) { g_rows = allow; }
