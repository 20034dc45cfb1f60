#include "effect/effectcharafilter.h"

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

// The request cut to the picture's opaque box and the screen; false when
// nothing is left.
bool ClipRequest(const CPicture& picture, Request* q) {
  return picture.Clip(&q->dstX, &q->dstY, &q->srcX, &q->srcY, &q->w, &q->h) && q->w > 0 && q->h > 0;
}

// For each row of the clipped request, in pieces (charapixels::MixPieces):
// fill(pixels, mask, n, screen row, s, k) gives each pixel's filtered
// colour s and weight k (0..256, 0 keeping the screen), and the piece is
// then mixed into the screen by Blend256 (kApart false) or BlendApart256.
template <bool kApart, typename F>
void FilterRows(const CPicture& picture, const Request& c, F fill) {
  uint32_t* screen = CScreenBuffer::GetBuffer();
  const int sw = CScreenBuffer::GetWidth(), pw = picture.GetWidth();
  for (int y = 0; y < c.h; ++y) {
    const size_t source = size_t(c.srcY + y) * pw + c.srcX;
    charapixels::MixPieces<kApart>(
        screen + size_t(c.dstY + y) * sw + c.dstX, c.w,
        [&](int x, int n, uint32_t* s, uint32_t* k) {
          fill(picture.GetPixelBuffer() + source + x, picture.GetMask() + source + x, n,
               c.dstY + y, s, k);
        });
  }
}

// Each row of the request clipped as the picture's blits clip it: row(screen,
// pixels, mask or null, n).
template <typename Row>
void BlitRows(const CPicture& picture, Request q, Row row) {
  if (!picture.Clip(&q.dstX, &q.dstY, &q.srcX, &q.srcY, &q.w, &q.h) || q.w <= 0 || q.h <= 0) return;
  uint32_t* screen = CScreenBuffer::GetBuffer();
  if (!screen || !picture.GetPixelBuffer()) return;
  const int sw = CScreenBuffer::GetWidth(), pw = picture.GetWidth();
  const uint8_t* mask = picture.GetMaskFlag() ? picture.GetMask() : nullptr;
  for (int y = 0; y < q.h; ++y) {
    const size_t source = size_t(q.srcY + y) * pw + q.srcX;
    row(screen + size_t(q.dstY + y) * sw + q.dstX, picture.GetPixelBuffer() + source,
        mask ? mask + source : nullptr, q.w);
  }
}

// The level blits' rule: each byte (t x L + s x (256 - L)) >> 8 with t =
// target(s); through the mask 0 keeps the screen, 255 takes that, other
// values v weigh it by v + 1 over 255 - v.
template <typename Target>
void LevelRow(uint32_t* dst, const uint32_t* src, const uint8_t* mask, int n, uint32_t level,
              Target target) {
  const uint32_t rest = 256 - level;
  if (!mask) {
    packedwords::Run([=] {
      for (int i = 0; i < n; ++i) dst[i] = packedwords::Summed(src[i], target(src[i]), level, rest);
    });
    return;
  }
  packedwords::Run([=] {
    for (int i = 0; i < n; ++i) {
      const uint32_t v = mask[i], d = dst[i], s = src[i];
      const uint32_t out = packedwords::Summed(s, target(s), level, rest);
      const uint32_t mixed = packedwords::Summed(d, out, v + 1, 255 - v);
      dst[i] = v == 0 ? d : v == 255 ? out : mixed;
    }
  });
}

// ((29 x blue + 150 x green) >> 8) + ((76 x red) >> 8).
inline uint32_t Luma(uint32_t s) {
  return ((29 * (s & 0xFF) + 150 * (s >> 8 & 0xFF)) >> 8) + ((76 * (s >> 16 & 0xFF)) >> 8);
}

// Light added (kSubtract: taken) per byte: t = (s x scale) >> 8 for scale
// 0..256, the screen moved by t with saturation, then weighed by the mask
// value w (255 without a mask) over 256 - w; 0 keeps the screen.
template <bool kSubtract>
inline uint32_t AddSubPixel(uint32_t d, uint32_t s, uint32_t w, uint32_t scale) {
  const uint32_t t = packedwords::ApartBy<8>(0, s, scale, 0);
  const uint32_t moved =
      kSubtract ? packedwords::SaturatingSub(d, t) : packedwords::SaturatingAdd(d, t);
  return packedwords::Apart(d, moved, w, 256 - w);
}
template <bool kSubtract>
void AddSubRow(uint32_t* dst, const uint32_t* src, const uint8_t* mask, int n, uint32_t scale) {
  if (!mask) {
    packedwords::Run([=] {
      for (int i = 0; i < n; ++i) dst[i] = AddSubPixel<kSubtract>(dst[i], src[i], 255, scale);
    });
    return;
  }
  packedwords::Run([=] {
    for (int i = 0; i < n; ++i) {
      const uint32_t w = mask[i], d = dst[i];
      const uint32_t out = AddSubPixel<kSubtract>(d, src[i], w, scale);
      dst[i] = w == 0 ? d : out;
    }
  });
}

}  // namespace

// --- Shared ---

CCharaFilterEffect::Request CCharaFilterEffect::DrawRequest(const EffectChannel& r) {
  const int32_t* draw = r.DrawRect();
  return {draw[0], draw[1], r.v[3], r.v[4], draw[2], draw[3]};
}

CPicture* CCharaFilterEffect::Picture32(const EffectChannel& record) const {
  CPicture* picture = RecordPicture(record);
  if (!picture || !picture->IsLoaded() || !picture->GetBuffer() || picture->Get256Flag() ||
      !CScreenBuffer::GetBuffer())
    return nullptr;
  return picture;
}

CPicture* CCharaFilterEffect::MaskedPicture(const EffectChannel& record) const {
  CPicture* picture = Picture32(record);
  return picture && picture->GetMask() && picture->GetMaskFlag() ? picture : nullptr;
}

int CCharaFilterEffect::Curve(const EffectChannel& r, int from, int to, int ramp, int code) {
  return CalcuCurve(r.Counter(), r.Duration(), from, to, ramp, code);
}

int CCharaFilterEffect::Level256(const EffectChannel& r, int from, int to, int ramp, int code) {
  return Curve(r, ScaledValue(from, 256), ScaledValue(to, 256), ramp, code) / 100;
}

uint32_t CCharaFilterEffect::ByteColour(const EffectChannel& r, int first) {
  uint32_t colour = 0;
  for (int c = 0; c < 3; ++c)
    colour = colour << 8 | static_cast<uint32_t>(std::clamp(r.Param(first + c), 0, 255));
  return colour;
}

// --- #124, #127 ---

// The grey level in percent.
constexpr ParamDefault CEffectCharaGrey::kDefaults[] = {
    Value(kDuration, 20),  Value(kCurve, 0),      Value(kRamp, 0),
    Value(kEndLevel, 100), Value(kStartLevel, 0),
};

constexpr StartTable CEffectCharaGrey::kTable{kNumber, 5, -1, kEach, kDefaults};

constexpr ParamDefault CEffectCharaSepia::kTintDefaults[] = {Value(kRed, 107), Value(kGreen, 74),
                                                             Value(kBlue, 43)};

namespace {
constexpr auto kSepiaRows = Rows(CEffectCharaGrey::kDefaults, CEffectCharaSepia::kTintDefaults);
}  // namespace

constexpr StartTable CEffectCharaSepia::kTable{kNumber, 8, -1, kEach, kSepiaRows};

int CEffectCharaGrey::GreyLevel(const EffectChannel& r) {
  return std::clamp(
      Level256(r, r.Param(kStartLevel), r.Param(kEndLevel), r.Param(kRamp), r.Param(kCurve)), 0,
      256);
}

CEffectCharaGrey::CEffectCharaGrey(CEffectManager* manager) : CCharaFilterEffect(manager, kTable) {}

void CEffectCharaGrey::Print(EffectChannel* record, int) {
  CPicture* picture = Picture32(*record);
  if (!picture) return;
  const uint32_t level = static_cast<uint32_t>(GreyLevel(*record));
  BlitRows(*picture, DrawRequest(*record),
           [level](uint32_t* dst, const uint32_t* src, const uint8_t* mask, int n) {
             LevelRow(dst, src, mask, n, level, [](uint32_t s) { return Luma(s) * 0x01010101u; });
           });
}

void CEffectCharaGrey::PrintPlain(EffectChannel* record, int) {
  CPicture* picture = Picture32(*record);
  if (!picture) return;
  const Request q = DrawRequest(*record);
  picture->GreyLevelBlt(q.dstX, q.dstY, q.srcX, q.srcY, q.w, q.h, GreyLevel(*record), 1);
}

CEffectCharaSepia::CEffectCharaSepia(CEffectManager* manager) : CEffectCharaGrey(manager, kTable) {}

void CEffectCharaSepia::Print(EffectChannel* record, int) {
  CPicture* picture = Picture32(*record);
  if (!picture) return;
  const uint32_t level = static_cast<uint32_t>(GreyLevel(*record));
  // Parts beyond 0..255 count by their low byte.
  const uint32_t tint = (static_cast<uint32_t>(record->Param(kRed)) & 0xFF) << 16 |
                        (static_cast<uint32_t>(record->Param(kGreen)) & 0xFF) << 8 |
                        (static_cast<uint32_t>(record->Param(kBlue)) & 0xFF);
  BlitRows(*picture, DrawRequest(*record),
           [level, tint](uint32_t* dst, const uint32_t* src, const uint8_t* mask, int n) {
             LevelRow(dst, src, mask, n, level, [tint](uint32_t s) {
               return packedwords::ApartBy<8>(0, tint, Luma(s), 0);
             });
           });
}

void CEffectCharaSepia::PrintPlain(EffectChannel* record, int) {
  CPicture* picture = Picture32(*record);
  if (!picture) return;
  const Request q = DrawRequest(*record);
  picture->SepiaBlt(q.dstX, q.dstY, q.srcX, q.srcY, q.w, q.h, GreyLevel(*record),
                    record->Param(kRed), record->Param(kGreen), record->Param(kBlue), 1);
}

// --- #131 ---

// Strength in percent.
constexpr ParamDefault CEffectCharaAddSub::kDefaults[] = {
    Value(kDuration, 20), Value(kEndStrength, 100), Same(kStartStrength, kEndStrength),
    Value(kCurve, 0),     Value(kRamp, 0),
};
constexpr ParamClamp CEffectCharaAddSub::kClamps[] = {Range(kEndStrength, -9999, 9999),
                                                      Range(kStartStrength, -9999, 9999)};

constexpr StartTable CEffectCharaAddSub::kTable{kNumber, 5, -1, kEach, kDefaults, kClamps};

CEffectCharaAddSub::CEffectCharaAddSub(CEffectManager* manager)
    : CCharaFilterEffect(manager, kTable) {}

// The strength of this frame, held to the start's range again for records
// from a save.
int CEffectCharaAddSub::AddSubStrength(const EffectChannel& r) {
  return std::clamp(
      Curve(r, r.Param(kStartStrength), r.Param(kEndStrength), r.Param(kRamp), r.Param(kCurve)),
      -9999, 9999);
}

void CEffectCharaAddSub::Print(EffectChannel* record, int) {
  CPicture* picture = Picture32(*record);
  if (!picture) return;
  const EffectChannel& r = *record;
  const int p = AddSubStrength(r);
  if (p == 0) return;
  const int k = blendrows::Weight(p);
  const uint32_t scale = static_cast<uint32_t>(k < 0 ? -k : k);
  // Beyond 256 the light saturates within a byte: the blit's own rule.
  if (scale > 256) return PrintPlain(record, 0);
  BlitRows(*picture, DrawRequest(r),
           [k, scale](uint32_t* dst, const uint32_t* src, const uint8_t* mask, int n) {
             if (k < 0)
               AddSubRow<true>(dst, src, mask, n, scale);
             else
               AddSubRow<false>(dst, src, mask, n, scale);
           });
}

void CEffectCharaAddSub::PrintPlain(EffectChannel* record, int) {
  CPicture* picture = Picture32(*record);
  if (!picture) return;
  const EffectChannel& r = *record;
  const int p = AddSubStrength(r);
  if (p == 0) return;
  const Request q = DrawRequest(r);
  picture->AddSubBlt(q.dstX, q.dstY, q.srcX, q.srcY, q.w, q.h, p);
}

// --- #99 ---

// The start colour defaults to the end colour.
constexpr ParamDefault CEffectColorAddSub::kDefaults[] = {
    Value(kDuration, 20),       Value(kEndRed, 0),
    Same(kEndGreen, kEndRed),   Same(kEndBlue, kEndGreen),
    Same(kStartRed, kEndRed),   Same(kStartGreen, kEndGreen),
    Same(kStartBlue, kEndBlue), Value(kThroughMask, 1),
    Value(kCurve, 0),           Value(kRamp, 0),
};

constexpr StartTable CEffectColorAddSub::kTable{kNumber, 10, -1, kEach, kDefaults};

CEffectColorAddSub::CEffectColorAddSub(CEffectManager* manager)
    : CCharaFilterEffect(manager, kTable) {}

void CEffectColorAddSub::Print(EffectChannel* record, int) {
  CPicture* picture = Picture32(*record);
  if (!picture) return;
  const EffectChannel& r = *record;
  static constexpr int kStarts[3] = {kStartRed, kStartGreen, kStartBlue};
  static constexpr int kEnds[3] = {kEndRed, kEndGreen, kEndBlue};
  int rgb[3];
  for (int c = 0; c < 3; ++c)
    rgb[c] = std::clamp(
        Curve(r, r.Param(kStarts[c]), r.Param(kEnds[c]), r.Param(kRamp), r.Param(kCurve)), -255,
        255);
  const Request q = DrawRequest(r);
  picture->ColorAddBlt(q.dstX, q.dstY, q.srcX, q.srcY, q.w, q.h, r.Param(kThroughMask) != 0 ? 1 : 0,
                       rgb[0], rgb[1], rgb[2], 100);
}

// --- #120 ---

// The start levels default to the end levels.
constexpr ParamDefault CEffectColorBalance::kDefaults[] = {
    Value(kDuration, 20),       Value(kEndRed, 0),
    Same(kEndGreen, kEndRed),   Same(kEndBlue, kEndGreen),
    Same(kStartRed, kEndRed),   Same(kStartGreen, kEndGreen),
    Same(kStartBlue, kEndBlue), Value(kSpare, 1),
    Value(kCurve, 0),           Value(kRamp, 0),
    Value(kRedCurve, 0),        Value(kGreenCurve, 0),
    Value(kBlueCurve, 0),       Value(kKeepBrightness, 0),
};

constexpr StartTable CEffectColorBalance::kTable{kNumber, 14, -1, kEach, kDefaults};

CEffectColorBalance::CEffectColorBalance(CEffectManager* manager)
    : CCharaFilterEffect(manager, kTable) {
  for (int i = 0; i < 256; ++i) {
    curves_[0][i] = 255;
    curves_[1][i] = 255 - i;
    curves_[2][i] = i < 128 ? i + 128 : i;
    curves_[3][i] = i;
    curves_[4][i] = i < 128 ? 2 * (127 - i) : 0;
    curves_[5][i] = i < 128 ? 2 * i : 2 * (255 - i);
    curves_[6][i] = i < 128 ? 0 : 2 * (i - 128);
    curves_[7][i] = i < 85 ? 255 : i <= 254 ? (762 - 3 * i) / 2 : 0;
    curves_[8][i] = i < 85 ? 3 * i / 2 + 127 : i <= 170 ? 255 : 3 * (255 - i) / 2 + 127;
    curves_[9][i] = i < 170 ? 3 * i / 2 : 255;
  }
}

void CEffectColorBalance::MakeTables(const int* levels, const int* curves, bool keepBrightness,
                                     uint32_t* add, uint32_t* sub) const {
  for (int i = 0; i < 256; ++i) {
    int work[3];
    for (int c = 0; c < 3; ++c) work[c] = levels[c] * curves_[curves[c]][i] / 256;
    if (keepBrightness) {
      const float r = static_cast<float>(work[0]), g = static_cast<float>(work[1]),
                  b = static_cast<float>(work[2]);
      const float y = 0.299f * r + 0.587f * g + 0.114f * b;
      const float kept[3] = {r - (y / 0.299f) * 0.33333f, g - (y / 0.587f) * 0.33333f,
                             b - (y / 0.114f) * 0.33333f};
      for (int c = 0; c < 3; ++c) work[c] = std::clamp(static_cast<int>(kept[c]), -255, 255);
    }
    add[i] = uint32_t(std::max(work[0], 0)) << 16 | uint32_t(std::max(work[1], 0)) << 8 |
             uint32_t(std::max(work[2], 0));
    sub[i] = uint32_t(std::max(-work[0], 0)) << 16 | uint32_t(std::max(-work[1], 0)) << 8 |
             uint32_t(std::max(-work[2], 0));
  }
}

void CEffectColorBalance::Print(EffectChannel* record, int) {
  CPicture* picture = MaskedPicture(*record);
  if (!picture) return;
  const EffectChannel& r = *record;
  static constexpr int kStarts[3] = {kStartRed, kStartGreen, kStartBlue};
  static constexpr int kEnds[3] = {kEndRed, kEndGreen, kEndBlue};
  static constexpr int kToneCurves[3] = {kRedCurve, kGreenCurve, kBlueCurve};
  int levels[3], curves[3];
  for (int c = 0; c < 3; ++c) {
    levels[c] = std::clamp(
        Curve(r, r.Param(kStarts[c]), r.Param(kEnds[c]), r.Param(kRamp), r.Param(kCurve)), -256,
        256);
    curves[c] = std::clamp(r.Param(kToneCurves[c]), 0, kCurves - 1);
  }
  uint32_t add[256], sub[256];
  MakeTables(levels, curves, r.Param(kKeepBrightness) != 0, add, sub);
  const Request q = DrawRequest(r);
  Request c = q;
  if (!ClipRequest(*picture, &c)) return;
  // Weights m: mask 0 keeps the screen.
  FilterRows<false>(
      *picture, c,
      [&](const uint32_t* pixels, const uint8_t* mask, int n, int, uint32_t* s, uint32_t* k) {
        for (int x = 0; x < n; ++x) {
          const uint32_t p = pixels[x];
          const uint32_t i = (29 * (p & 255) + 150 * (p >> 8 & 255) + 77 * (p >> 16 & 255)) >> 8;
          s[x] = packedpixel::Tint(p & 0xFFFFFF, add[i], sub[i]);
          k[x] = mask[x];
        }
      });
}

// --- #130 ---

// Multipliers in percent and offsets, each from its start to its end; the
// offsets take the multipliers' curve unless given their own.
constexpr ParamDefault CEffectSaike::kDefaults[] = {
    Value(kDuration, 20),
    Value(kCurve, 0),
    Value(kRamp, 0),
    Value(kEndRedTimes, 200),
    Value(kEndGreenTimes, 200),
    Value(kEndBlueTimes, 200),
    Same(kStartRedTimes, kEndRedTimes),
    Same(kStartGreenTimes, kEndGreenTimes),
    Same(kStartBlueTimes, kEndBlueTimes),
    Value(kEndRedPlus, 0),
    Value(kEndGreenPlus, 0),
    Value(kEndBluePlus, 0),
    Same(kStartRedPlus, kEndRedPlus),
    Same(kStartGreenPlus, kEndGreenPlus),
    Same(kStartBluePlus, kEndBluePlus),
    Same(kPlusCurve, kCurve),
    Same(kPlusRamp, kRamp),
};

constexpr StartTable CEffectSaike::kTable{kNumber, 17, -1, kEach, kDefaults};

CEffectSaike::CEffectSaike(CEffectManager* manager) : CCharaFilterEffect(manager, kTable) {}

void CEffectSaike::Print(EffectChannel* record, int) {
  CPicture* picture = MaskedPicture(*record);
  if (!picture) return;
  const EffectChannel& r = *record;
  static constexpr int kStartTimes[3] = {kStartRedTimes, kStartGreenTimes, kStartBlueTimes};
  static constexpr int kEndTimes[3] = {kEndRedTimes, kEndGreenTimes, kEndBlueTimes};
  static constexpr int kStartPlus[3] = {kStartRedPlus, kStartGreenPlus, kStartBluePlus};
  static constexpr int kEndPlus[3] = {kEndRedPlus, kEndGreenPlus, kEndBluePlus};
  int m[3], a[3];
  for (int c = 0; c < 3; ++c) {
    m[c] = Level256(r, r.Param(kStartTimes[c]), r.Param(kEndTimes[c]), r.Param(kRamp),
                    r.Param(kCurve));
    a[c] = Curve(r, r.Param(kStartPlus[c]), r.Param(kEndPlus[c]), r.Param(kPlusRamp),
                 r.Param(kPlusCurve));
  }
  const Request q = DrawRequest(r);
  Request c = q;
  if (!ClipRequest(*picture, &c)) return;
  // Each channel's 256 results, placed in its byte.
  uint32_t wrapped[3][256];
  for (int k = 0; k < 3; ++k)
    for (uint32_t v = 0; v < 256; ++v) wrapped[k][v] = Wrap(v, m[k], a[k]) << (16 - 8 * k);
  // Weights m + 1 (255 writes v), 0 for mask 0.
  FilterRows<false>(
      *picture, c,
      [&](const uint32_t* pixels, const uint8_t* mask, int n, int, uint32_t* s, uint32_t* k) {
        for (int x = 0; x < n; ++x) {
          const uint32_t p = pixels[x], m = mask[x];
          s[x] = wrapped[0][p >> 16 & 255] | wrapped[1][p >> 8 & 255] | wrapped[2][p & 255];
          k[x] = m ? m + 1 : 0;
        }
      });
}

// --- #96 ---

// The level in percent, the scroll in rows per frame.
constexpr ParamDefault CEffectRainbow::kDefaults[] = {
    Value(kDuration, 20), Value(kEndLevel, 100), Same(kStartLevel, kEndLevel), Value(kCurve, 0),
    Value(kRamp, 0),      Value(kSpare1, 0),     Value(kScrollSpeed, 1),       Value(kSpare2, 1),
};

constexpr StartTable CEffectRainbow::kTable{kNumber, 9, -1, kEach, kDefaults};

CEffectRainbow::CEffectRainbow(CEffectManager* manager) : CCharaFilterEffect(manager, kTable) {
  rows_.assign(size_t(std::max(CScreenBuffer::GetHeight(), 0)) + 7, 0);
}

int CEffectRainbow::SetParam(EffectChannel* record, int count, const int* values, int channel) {
  offset_ = 0;
  return CTableStartEffect::SetParam(record, count, values, channel);
}

void CEffectRainbow::Init(int, int) { offset_ = 0; }

void CEffectRainbow::Calcu(EffectChannel* record, int) {
  const int h = CScreenBuffer::GetHeight();
  if (h <= 0) return;
  const int64_t moved = int64_t{offset_} + record->Param(kScrollSpeed);
  offset_ = static_cast<int>(moved < 0 ? -((-moved) % h) : moved % h);
  BuildRows(h);
}

void CEffectRainbow::BuildRows(int h) {
  if (rows_.size() < size_t(h) + 7) rows_.assign(size_t(h) + 7, 0);
  const int n = (h + 5) / 6;
  for (int b = 0; b < 6; ++b)
    for (int j = 0; j < n && b * n + j < h; ++j) {
      uint32_t colour = 0;
      for (int shift = 0; shift <= 16; shift += 8) {
        const int from = int(kBands[b] >> shift & 255), to = int(kBands[b + 1] >> shift & 255);
        colour |= uint32_t(from + (to - from) * j / n) << shift;
      }
      rows_[size_t((j + b * n + offset_ + h) % h)] = colour;
    }
}

void CEffectRainbow::Print(EffectChannel* record, int channel) {
  CPicture* picture = MaskedPicture(*record);
  if (!picture) return;
  const EffectChannel& r = *record;
  int level =
      CalcuCurve(r.Counter(), std::max(r.Duration(), 1), ScaledValue(r.Param(kStartLevel), 256),
                 ScaledValue(r.Param(kEndLevel), 256), r.Param(kRamp), r.Param(kCurve)) /
      100;
  level = level < 1 ? 0 : std::min(level, 256);
  int x = 0, y = 0;
  manager_->GetDrawPos(channel, &x, &y);
  Request c{x, y, 0, 0, picture->GetWidth(), picture->GetHeight()};
  if (!ClipRequest(*picture, &c)) return;
  // The row colour over the picture at the level, then weights m (0 keeps
  // the screen), 256 for 255 (the mixed pixel written).
  uint32_t levels[charapixels::kPiece];
  std::fill_n(levels, charapixels::kPiece, static_cast<uint32_t>(level));
  FilterRows<true>(
      *picture, c,
      [&](const uint32_t* pixels, const uint8_t* mask, int n, int row, uint32_t* s, uint32_t* k) {
        std::copy_n(pixels, n, s);
        uint32_t colours[charapixels::kPiece];
        std::fill_n(colours, n, RowColour(row));
        packedpixel::MixRow<true>(s, colours, levels, n);
        for (int x = 0; x < n; ++x) k[x] = mask[x] == 255 ? 256 : mask[x];
      });
}
