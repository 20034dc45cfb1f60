#include "effect/effectcharatrans.h"

#include <algorithm>
#include <cstdint>

#include "effect/calcucurve.h"
#include "effect/charapixels.h"
#include "effect/effectmanager.h"
#include "effect/packedpixel.h"
#include "graphics/packedwords.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"

using namespace effectstart;

namespace {

constexpr ClampTiming kEach = ClampTiming::kWithEachDefault;

using Request = CCharaFilterEffect::Request;

// A channel number 0..15 named by a value, or -1.
int ChannelValue(int v) { return v >= 0 && v < CEffectManager::kChannels ? v : -1; }

// A picture usable as 32-bit pixels with a mask plane.
bool Masked32(const CPicture* p) {
  return p && p->IsLoaded() && p->GetBuffer() && !p->Get256Flag() && p->GetMask() &&
         p->GetMaskFlag();
}

}  // namespace

// --- #8 ---

// The first value is kept, not used.
constexpr ParamDefault CEffectTrans::kDefaults[] = {Value(kDuration, 20), Value(kOpacity, 50)};

constexpr StartTable CEffectTrans::kTable{kNumber, 2, 1, kEach, kDefaults};

CEffectTrans::CEffectTrans(CEffectManager* manager) : CCharaFilterEffect(manager, kTable) {}

void CEffectTrans::Print(EffectChannel* record, int) {
  CPicture* picture = Picture32(*record);
  if (!picture) return;
  const int p = std::clamp(record->Param(kOpacity), 0, 100);
  const Request q = DrawRequest(*record);
  if (record->Opaque())
    picture->TransLucentBlt(q.dstX, q.dstY, q.srcX, q.srcY, q.w, q.h, p);
  else
    picture->TransLucentBlt3(q.dstX, q.dstY, q.srcX, q.srcY, q.w, q.h, p);
}

// --- #9 ---

// Opacity in percent; the box (the screen) and the colour go from their
// start to their end values.
constexpr ParamDefault CEffectCTrans::kDefaults[] = {
    Value(kDuration, 20),
    Value(kEndOpacity, 50),
    Value(kStartOpacity, 100),
    Value(kCurve, 0),
    Value(kRamp, 0),
    Value(kClipBox, 0),
    Value(kEndBoxX, 0),
    Value(kEndBoxY, 0),
    Value(kEndBoxWidth, Width()),
    Value(kEndBoxHeight, Height()),
    Same(kStartBoxX, kEndBoxX),
    Same(kStartBoxY, kEndBoxY),
    Same(kStartBoxWidth, kEndBoxWidth),
    Same(kStartBoxHeight, kEndBoxHeight),
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

constexpr StartTable CEffectCTrans::kTable{kNumber, 23, -1, kEach, kDefaults};

CEffectCTrans::CEffectCTrans(CEffectManager* manager) : CCharaFilterEffect(manager, kTable) {}

bool CEffectCTrans::CutToBox(Request* q, int x, int y, int w, int h) {
  if (w <= 0 || h <= 0) return false;
  const int64_t left = std::max<int64_t>(q->dstX, x), top = std::max<int64_t>(q->dstY, y);
  const int64_t right = std::min(int64_t{q->dstX} + q->w, int64_t{x} + w);
  const int64_t bottom = std::min(int64_t{q->dstY} + q->h, int64_t{y} + h);
  if (right <= left || bottom <= top) return false;
  q->srcX = Clamp32(q->srcX + (left - q->dstX));
  q->srcY = Clamp32(q->srcY + (top - q->dstY));
  q->dstX = static_cast<int>(left);
  q->dstY = static_cast<int>(top);
  q->w = static_cast<int>(right - left);
  q->h = static_cast<int>(bottom - top);
  return true;
}

void CEffectCTrans::Print(EffectChannel* record, int) {
  CPicture* picture = Picture32(*record);
  if (!picture) return;
  const EffectChannel& r = *record;
  const int p = std::clamp(
      Curve(r, r.Param(kStartOpacity), r.Param(kEndOpacity), r.Param(kRamp), r.Param(kCurve)), 0,
      100);
  Request q = DrawRequest(r);
  if (r.Param(kClipBox) != 0) {
    static constexpr int kStarts[4] = {kStartBoxX, kStartBoxY, kStartBoxWidth, kStartBoxHeight};
    static constexpr int kEnds[4] = {kEndBoxX, kEndBoxY, kEndBoxWidth, kEndBoxHeight};
    int box[4];
    for (int i = 0; i < 4; ++i) box[i] = Curve(r, r.Param(kStarts[i]), r.Param(kEnds[i]), 0, 0);
    if (!CutToBox(&q, box[0], box[1], box[2], box[3])) return;
  }
  if (r.Param(kTinted) != 0) {
    static constexpr int kStarts[3] = {kStartRed, kStartGreen, kStartBlue};
    static constexpr int kEnds[3] = {kEndRed, kEndGreen, kEndBlue};
    int rgb[3];
    for (int c = 0; c < 3; ++c)
      rgb[c] = std::clamp(
          Curve(r, r.Param(kStarts[c]), r.Param(kEnds[c]), r.Param(kTintRamp), r.Param(kTintCurve)),
          -255, 255);
    picture->ColorAddBlt(q.dstX, q.dstY, q.srcX, q.srcY, q.w, q.h, 1, rgb[0], rgb[1], rgb[2], p);
  } else if (MaskedPicture(r)) {
    picture->TransLucentBlt3(q.dstX, q.dstY, q.srcX, q.srcY, q.w, q.h, p);
  } else {
    picture->TransLucentBlt0(q.dstX, q.dstY, q.srcX, q.srcY, q.w, q.h, p);
  }
}

// --- #110 ---

// Levels in percent.
constexpr ParamDefault CEffectCharaGhost::kDefaults[] = {
    Value(kDuration, 20),    Value(kStartTop, 200), Value(kEndTop, 0), Value(kStartBottom, 100),
    Value(kEndBottom, -100), Value(kCurve, 0),      Value(kRamp, 0),
};

constexpr StartTable CEffectCharaGhost::kTable{kNumber, 16, -1, kEach, kDefaults};

CEffectCharaGhost::CEffectCharaGhost(CEffectManager* manager)
    : CCharaFilterEffect(manager, kTable) {}

void CEffectCharaGhost::PrintRowPlain(uint32_t* screen, const uint32_t* pixels, const uint8_t* mask,
                                      int n, int level) {
  for (int x = 0; x < n; ++x) {
    const int f = level * mask[x];
    if (f == 65280) {
      screen[x] = pixels[x];
      continue;
    }
    const uint32_t a = static_cast<uint32_t>(f >> 8);
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      const uint32_t s = (pixels[x] >> shift) & 255u, d = (screen[x] >> shift) & 255u;
      out |= std::min(((s * a) >> 8) + ((d * (256u - a)) >> 8), 255u) << shift;
    }
    screen[x] = out;
  }
}

void CEffectCharaGhost::PrintRow(uint32_t* screen, const uint32_t* pixels, const uint8_t* mask,
                                 int n, int level) {
  charapixels::MixPieces<true>(screen, n, [&](int x0, int count, uint32_t* s, uint32_t* k) {
    for (int i = 0; i < count; ++i) {
      const int f = level * mask[x0 + i];
      s[i] = pixels[x0 + i];
      k[i] = f == 65280 ? 256u : static_cast<uint32_t>(f >> 8);
    }
  });
}

void CEffectCharaGhost::Print(EffectChannel* record, int) {
  CPicture* picture = MaskedPicture(*record);
  if (!picture) return;
  const EffectChannel& r = *record;
  const int top =
      Level256(r, r.Param(kStartTop), r.Param(kEndTop), r.Param(kRamp), r.Param(kCurve));
  const int bottom =
      Level256(r, r.Param(kStartBottom), r.Param(kEndBottom), r.Param(kRamp), r.Param(kCurve));
  const int drawY = r.DrawRect()[1];
  int dx = r.DrawRect()[0], dy = drawY, sx = 0, sy = 0, w = picture->GetWidth(),
      h = picture->GetHeight();
  if (!picture->Clip(&dx, &dy, &sx, &sy, &w, &h) || w <= 0 || h <= 0) return;
  // The rows' levels, in the work buffer.
  if (h > manager_->GetWorkBufferSize() / static_cast<int>(sizeof(int))) return;
  int* levels = reinterpret_cast<int*>(manager_->GetWorkBuffer());
  const int64_t ph = std::max(picture->GetHeight(), 1);
  for (int y = 0; y < h; ++y) {
    const int64_t row = int64_t{sy} + y + std::max(drawY, 0);
    levels[y] = static_cast<int>(
        std::clamp<int64_t>(top + (int64_t{bottom} - top) * row / ph, 0, 256));
  }
  uint32_t* screen = CScreenBuffer::GetBuffer();
  const int sw = CScreenBuffer::GetWidth(), pw = picture->GetWidth();
  for (int y = 0; y < h; ++y) {
    const size_t source = size_t(sy + y) * pw + sx;
    PrintRow(screen + size_t(dy + y) * sw + dx, picture->GetPixelBuffer() + source,
             picture->GetMask() + source, w, levels[y]);
  }
}

// --- #123 ---

// The edge's hardness, progress in percent.
constexpr ParamDefault CEffectCharaMaskAppear::kDefaults[] = {
    Value(kDuration, 20),    Value(kGradeChannel, 13), Value(kHardness, 1),
    Value(kCurve, 0),        Value(kRamp, 0),          Value(kDarkerFirst, 0),
    Value(kEndPercent, 100), Value(kStartPercent, 0),
};

constexpr StartTable CEffectCharaMaskAppear::kTable{kNumber, 8, -1, kEach, kDefaults};

CEffectCharaMaskAppear::CEffectCharaMaskAppear(CEffectManager* manager)
    : CCharaFilterEffect(manager, kTable) {}

int CEffectCharaMaskAppear::SetParam(EffectChannel* record, int count, const int* values,
                                     int channel) {
  if (count <= kGradeChannel) return 0;
  return CCharaFilterEffect::SetParam(record, count, values, channel);
}

int CEffectCharaMaskAppear::Finish(EffectChannel* record, int) {
  record->Counter() = record->Duration();
  return 1;
}

void CEffectCharaMaskAppear::AlphaTable(int64_t wt, int hardness, bool invert, uint8_t* alpha) {
  for (int g = 0; g < 256; ++g) {
    const int64_t v = wt + int64_t{hardness} * (invert ? 255 - g : g);
    alpha[g] = static_cast<uint8_t>(std::clamp<int64_t>(v, 0, 255));
  }
}

void CEffectCharaMaskAppear::Print(EffectChannel* record, int) {
  CPicture* picture = MaskedPicture(*record);
  if (!picture) return;
  const EffectChannel& r = *record;
  const CPicture* grade = manager_->GetPicture(r.Param(kGradeChannel));
  const int sw = CScreenBuffer::GetWidth(), sh = CScreenBuffer::GetHeight();
  if (!grade || !grade->IsLoaded() || !grade->GetBuffer() || grade->Get256Flag() ||
      grade->GetWidth() < sw || grade->GetHeight() < sh)
    return;
  // Progress beyond 0..100 % gives the same threshold as its end, so it is
  // held there before the product.
  const int64_t f =
      std::clamp(CalcuCurve(r.Counter(), std::max(r.Duration(), 1), r.Param(kStartPercent),
                            r.Param(kEndPercent), r.Param(kRamp), r.Param(kCurve)),
                 0, 100);
  const int64_t s = int64_t{r.Param(kHardness)} * 256, span = s + 256;
  const int64_t wt = std::max<int64_t>(0, std::min(f * span / 100, span)) - s;
  uint8_t alpha[256];
  AlphaTable(wt, r.Param(kHardness), r.Param(kDarkerFirst) != 0, alpha);
  int dx = r.DrawRect()[0], dy = r.DrawRect()[1], sx = 0, sy = 0, w = picture->GetWidth(),
      h = picture->GetHeight();
  if (!picture->Clip(&dx, &dy, &sx, &sy, &w, &h) || w <= 0 || h <= 0) return;
  uint32_t* screen = CScreenBuffer::GetBuffer();
  const int pw = picture->GetWidth(), gw = grade->GetWidth();
  const int hardness = r.Param(kHardness);
  const bool invert = r.Param(kDarkerFirst) != 0;
  const bool fast = hardness >= -kFastHardness && hardness <= kFastHardness;
  for (int y = 0; y < h; ++y) {
    const size_t source = size_t(sy + y) * pw + sx;
    const uint32_t* pixels = picture->GetPixelBuffer() + source;
    const uint8_t* mask = picture->GetMask() + source;
    const uint32_t* gradeRow = grade->GetPixelBuffer() + size_t(dy + y) * gw + dx;
    uint32_t* row = screen + size_t(dy + y) * sw + dx;
    if (fast)
      PrintRow(row, pixels, mask, gradeRow, w, wt, hardness, invert);
    else
      PrintRowPlain(row, pixels, mask, gradeRow, w, alpha);
  }
}

void CEffectCharaMaskAppear::PrintRowPlain(uint32_t* screen, const uint32_t* pixels,
                                           const uint8_t* mask, const uint32_t* grade, int n,
                                           const uint8_t* alpha) {
  // Each channel's weight (alpha of its gradation value x mask) >> 8, in
  // that channel's byte.
  charapixels::MixChannelPieces(screen, n, [&](int x0, int count, uint32_t* s, uint32_t* k) {
    for (int i = 0; i < count; ++i) {
      const uint32_t a = mask[x0 + i], g = grade[x0 + i];
      s[i] = pixels[x0 + i];
      k[i] = a == 0 ? 0
                    : (alpha[g & 255u] * a) >> 8 | ((alpha[(g >> 8) & 255u] * a) >> 8) << 8 |
                          ((alpha[(g >> 16) & 255u] * a) >> 8) << 16;
    }
  });
}

void CEffectCharaMaskAppear::PrintRow(uint32_t* screen, const uint32_t* pixels,
                                      const uint8_t* mask, const uint32_t* grade, int n,
                                      int64_t wt, int hardness, bool invert) {
  // |wt| <= 256 x |hardness| + 256 and |hardness x g| < 2^28: every sum
  // fits 32 bits.
  const int32_t base = static_cast<int32_t>(wt), slope = invert ? -hardness : hardness;
  const int32_t start = invert ? base + 255 * hardness : base;
  packedwords::Run([=] {
    for (int i = 0; i < n; ++i) {
      const uint32_t a = mask[i], g = grade[i], s = pixels[i], d = screen[i];
      uint32_t out = d & 0xFF000000u;
      for (int shift = 0; shift < 24; shift += 8) {
        const int32_t v = start + slope * static_cast<int32_t>((g >> shift) & 255u);
        const uint32_t k = (static_cast<uint32_t>(std::clamp(v, 0, 255)) * a) >> 8;
        out |= (((256u - k) * ((d >> shift) & 255u) + k * ((s >> shift) & 255u)) >> 8) << shift;
      }
      screen[i] = out;
    }
  });
}

// --- #121 ---

// The level in percent; the flat colour the tint turns from.
constexpr ParamDefault CEffectDualMask::kDefaults[] = {
    Value(kDuration, 20),  Value(kOtherChannel, 13),
    Value(kEndLevel, 100), Same(kStartLevel, kEndLevel),
    Value(kCurve, 0),      Value(kRamp, 0),
    Value(kTinted, 0),     Value(kTintCurve, 0),
    Value(kTintRamp, 0),   Value(kRed, 255),
    Value(kGreen, 255),    Value(kBlue, 255),
};

constexpr StartTable CEffectDualMask::kTable{kNumber, 12, -1, kEach, kDefaults};

CEffectDualMask::CEffectDualMask(CEffectManager* manager) : CCharaFilterEffect(manager, kTable) {}

void CEffectDualMask::Print(EffectChannel* record, int) {
  CPicture* picture = MaskedPicture(*record);
  const EffectChannel& r = *record;
  const int other = ChannelValue(r.Param(kOtherChannel));
  if (!picture || other < 0) return;
  const CPicture* shape = manager_->GetPicture(other);
  if (!Masked32(shape)) return;
  // Each picture whole at its own channel's position, cut to its box and
  // the screen; only where both lie is drawn.
  int ax = r.DrawRect()[0], ay = r.DrawRect()[1], asx = 0, asy = 0, aw = picture->GetWidth(),
      ah = picture->GetHeight();
  int bx = 0, by = 0, bsx = 0, bsy = 0, bw = shape->GetWidth(), bh = shape->GetHeight();
  manager_->GetDrawPos(other, &bx, &by);
  const int ox = bx, oy = by;
  if (!picture->Clip(&ax, &ay, &asx, &asy, &aw, &ah) ||
      !shape->Clip(&bx, &by, &bsx, &bsy, &bw, &bh))
    return;
  const int left = std::max(ax, bx), top = std::max(ay, by);
  const int right = std::min(ax + aw, bx + bw), bottom = std::min(ay + ah, by + bh);
  if (right <= left || bottom <= top) return;
  const int64_t level =
      int64_t{Curve(r, ScaledValue(r.Param(kStartLevel), 100), ScaledValue(r.Param(kEndLevel), 100),
                    r.Param(kRamp), r.Param(kCurve))} *
      256 / 10000;
  const bool tinted = r.Param(kTinted) != 0;
  const charatrans::FlatTint tint(
      std::clamp(Curve(r, 0, 255, r.Param(kTintRamp), r.Param(kTintCurve)), 0, 255),
      ByteColour(r, kRed));
  const bool inRange = level >= 0 && level <= 256;
  const int dx = r.DrawRect()[0], dy = r.DrawRect()[1];
  uint32_t* screen = CScreenBuffer::GetBuffer();
  const int sw = CScreenBuffer::GetWidth(), pw = picture->GetWidth(), qw = shape->GetWidth();
  for (int y = top; y < bottom; ++y) {
    const size_t own = size_t(y - dy) * pw + (left - dx);
    const size_t theirs = size_t(y - oy) * qw + (left - ox);
    const uint32_t* pixels = picture->GetPixelBuffer() + own;
    const uint8_t* t = picture->GetMask() + own;
    const uint8_t* u = shape->GetMask() + theirs;
    uint32_t* out = screen + size_t(y) * sw + left;
    if (inRange) {
      const uint32_t lv = static_cast<uint32_t>(level);
      charapixels::BlendEach(
          out, right - left, [=](int x) { return tinted ? tint(pixels[x]) : pixels[x]; },
          // 0 where either mask is 0.
          [=](int x) { return (lv * ((uint32_t{t[x]} * (u[x] + 1u)) >> 8)) >> 8; });
      continue;
    }
    charapixels::WeighPieces(out, right - left, [&](int x0, int n, uint32_t* s, int32_t* k) {
      for (int i = 0; i < n; ++i) {
        const int x = x0 + i;
        s[i] = tinted ? tint(pixels[x]) : pixels[x];
        const int64_t both = (t[x] * (u[x] + 1)) >> 8;
        k[i] = static_cast<int32_t>(std::clamp<int64_t>((level * both) >> 8, -65536, 65536));
      }
    });
  }
}

// --- #40 ---

// The overall opacity in percent.
constexpr ParamDefault CEffectChange::kDefaults[] = {
    Value(kDuration, 20),    Value(kNewChannel, 13),
    Value(kEndOpacity, 100), Same(kStartOpacity, kEndOpacity),
    Value(kFadeCurve, 0),    Value(kFadeRamp, 0),
    Value(kOpacityCurve, 0), Value(kOpacityRamp, 0),
};

constexpr StartTable CEffectChange::kTable{kNumber, 8, -1, kEach, kDefaults};

CEffectChange::CEffectChange(CEffectManager* manager) : CCharaFilterEffect(manager, kTable) {}

int CEffectChange::SetParam(EffectChannel* record, int count, const int* values, int channel) {
  if (count <= kNewChannel) return 0;
  return CCharaFilterEffect::SetParam(record, count, values, channel);
}

void CEffectChange::Weights(const EffectChannel& r, int* a, int* b) {
  const int64_t total = Curve(r, r.Param(kStartOpacity), r.Param(kEndOpacity),
                              r.Param(kOpacityRamp), r.Param(kOpacityCurve));
  const int64_t x = Curve(r, 100, 0, r.Param(kFadeRamp), r.Param(kFadeCurve));
  *a = static_cast<int>(std::clamp<int64_t>(x * total / 100, 0, 100));
  *b = static_cast<int>(std::clamp<int64_t>((100 - x) * total / 100, 0, 100));
}

void CEffectChange::Print(EffectChannel* record, int) {
  const EffectChannel& r = *record;
  // A value that names no channel (a percentage from an earlier hand-over
  // in an old record, say) draws nothing.
  const int partner = ChannelValue(r.Param(kNewChannel));
  CPicture* picture = RecordPicture(r);
  if (partner < 0 || !picture) return;
  const int n = manager_->GetPictureNumber(partner);
  if (n < 0) return;
  CPicture* next = manager_->GetPicture(n);
  if (!next || !next->IsLoaded() || !Masked32(next)) return;
  int own[4], theirs[4];
  picture->GetRect(own);
  next->GetRect(theirs);
  if (!std::equal(own, own + 4, theirs)) return;
  int a = 0, b = 0;
  Weights(r, &a, &b);
  const Request q = DrawRequest(r);
  picture->ChangeTransLucentBlt(q.dstX, q.dstY, q.srcX, q.srcY, q.w, q.h, a, b, next, q.srcX,
                                q.srcY);
}

int CEffectChange::Finish(EffectChannel* record, int channel) {
  EffectChannel& r = *record;
  r.Counter() = r.Duration();
  int a = 0, b = 0;
  Weights(r, &a, &b);
  const int partner = ChannelValue(r.Param(kNewChannel));
  if (a != 0 && b != 0) return 0;
  if (a != 0) {
    if (a == 100) {
      manager_->ChangeEffect(channel, 0);
    } else {
      r.Param(CEffectTrans::kOpacity) = a;
      manager_->ChangeEffect(channel, CEffectTrans::kNumber);
    }
    return 1;
  }
  // Nothing left of the old picture: the new one's channel only holds it
  // now, and this channel keeps drawing the end of the cross-fade.
  if (partner >= 0) manager_->ChangeEffect(partner, 66);
  return 1;
}
