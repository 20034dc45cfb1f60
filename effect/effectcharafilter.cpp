#include "effect/effectcharafilter.h"

#include <algorithm>
#include <cstdint>

#include "effect/calcucurve.h"
#include "effect/charapixels.h"
#include "effect/effectmanager.h"
#include "effect/packedpixel.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"

using namespace effectstart;

namespace {

constexpr ClampTiming kEach = ClampTiming::kWithEachDefault;

constexpr ParamDefault kGreyDefaults[] = {Value(0, 20), Value(1, 0), Value(2, 0), Value(3, 100),
                                          Value(4, 0)};
constexpr StartTable kGreyTable{CEffectCharaGrey::kNumber, 5, -1, kEach, kGreyDefaults, {}};

constexpr ParamDefault kSepiaDefaults[] = {Value(0, 20), Value(1, 0),   Value(2, 0),  Value(3, 100),
                                           Value(4, 0),  Value(5, 107), Value(6, 74), Value(7, 43)};
constexpr StartTable kSepiaTable{CEffectCharaSepia::kNumber, 8, -1, kEach, kSepiaDefaults, {}};

constexpr ParamDefault kAddSubDefaults[] = {Value(0, 20), Value(1, 100), Same(2, 1), Value(3, 0),
                                            Value(4, 0)};
constexpr ParamClamp kAddSubClamps[] = {Range(1, -9999, 9999), Range(2, -9999, 9999)};
constexpr StartTable kAddSubTable{
    CEffectCharaAddSub::kNumber, 5, -1, kEach, kAddSubDefaults, kAddSubClamps};

constexpr ParamDefault kColorAddDefaults[] = {Value(0, 20), Value(1, 0), Same(2, 1), Same(3, 2),
                                              Same(4, 1),   Same(5, 2),  Same(6, 3), Value(7, 1),
                                              Value(8, 0),  Value(9, 0)};
constexpr StartTable kColorAddTable{CEffectColorAddSub::kNumber, 10, -1, kEach,
                                    kColorAddDefaults,           {}};

constexpr ParamDefault kBalanceDefaults[] = {
    Value(0, 20), Value(1, 0), Same(2, 1),  Same(3, 2),   Same(4, 1),   Same(5, 2),   Same(6, 3),
    Value(7, 1),  Value(8, 0), Value(9, 0), Value(10, 0), Value(11, 0), Value(12, 0), Value(13, 0)};
constexpr StartTable kBalanceTable{
    CEffectColorBalance::kNumber, 14, -1, kEach, kBalanceDefaults, {}};

constexpr ParamDefault kSaikeDefaults[] = {
    Value(0, 20), Value(1, 0),  Value(2, 0),  Value(3, 200), Value(4, 200), Value(5, 200),
    Same(6, 3),   Same(7, 4),   Same(8, 5),   Value(9, 0),   Value(10, 0),  Value(11, 0),
    Same(12, 9),  Same(13, 10), Same(14, 11), Same(15, 1),   Same(16, 2)};
constexpr StartTable kSaikeTable{CEffectSaike::kNumber, 17, -1, kEach, kSaikeDefaults, {}};

constexpr ParamDefault kRainbowDefaults[] = {Value(0, 20), Value(1, 100), Same(2, 1),  Value(3, 0),
                                             Value(4, 0),  Value(5, 0),   Value(6, 1), Value(7, 1)};
constexpr StartTable kRainbowTable{CEffectRainbow::kNumber, 9, -1, kEach, kRainbowDefaults, {}};

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

int CCharaFilterEffect::GreyLevel(const EffectChannel& r) {
  return std::clamp(Level256(r, r.Param(4), r.Param(3), r.Param(2), r.Param(1)), 0, 256);
}

CEffectCharaGrey::CEffectCharaGrey(CEffectManager* manager)
    : CCharaFilterEffect(manager, kGreyTable) {}

void CEffectCharaGrey::Print(EffectChannel* record, int) {
  CPicture* picture = Picture32(*record);
  if (!picture) return;
  const Request q = DrawRequest(*record);
  picture->GreyLevelBlt(q.dstX, q.dstY, q.srcX, q.srcY, q.w, q.h, GreyLevel(*record), 1);
}

CEffectCharaSepia::CEffectCharaSepia(CEffectManager* manager)
    : CCharaFilterEffect(manager, kSepiaTable) {}

void CEffectCharaSepia::Print(EffectChannel* record, int) {
  CPicture* picture = Picture32(*record);
  if (!picture) return;
  const Request q = DrawRequest(*record);
  picture->SepiaBlt(q.dstX, q.dstY, q.srcX, q.srcY, q.w, q.h, GreyLevel(*record), record->Param(5),
                    record->Param(6), record->Param(7), 1);
}

// --- #131 ---

CEffectCharaAddSub::CEffectCharaAddSub(CEffectManager* manager)
    : CCharaFilterEffect(manager, kAddSubTable) {}

void CEffectCharaAddSub::Print(EffectChannel* record, int) {
  CPicture* picture = Picture32(*record);
  if (!picture) return;
  const EffectChannel& r = *record;
  // The start's range, held again for records from a save.
  const int p = std::clamp(Curve(r, r.Param(2), r.Param(1), r.Param(4), r.Param(3)), -9999, 9999);
  if (p == 0) return;
  const Request q = DrawRequest(r);
  picture->AddSubBlt(q.dstX, q.dstY, q.srcX, q.srcY, q.w, q.h, p);
}

// --- #99 ---

CEffectColorAddSub::CEffectColorAddSub(CEffectManager* manager)
    : CCharaFilterEffect(manager, kColorAddTable) {}

void CEffectColorAddSub::Print(EffectChannel* record, int) {
  CPicture* picture = Picture32(*record);
  if (!picture) return;
  const EffectChannel& r = *record;
  int rgb[3];
  for (int c = 0; c < 3; ++c)
    rgb[c] =
        std::clamp(Curve(r, r.Param(4 + c), r.Param(1 + c), r.Param(9), r.Param(8)), -255, 255);
  const Request q = DrawRequest(r);
  picture->ColorAddBlt(q.dstX, q.dstY, q.srcX, q.srcY, q.w, q.h, r.Param(7) != 0 ? 1 : 0, rgb[0],
                       rgb[1], rgb[2], 100);
}

// --- #120 ---

CEffectColorBalance::CEffectColorBalance(CEffectManager* manager)
    : CCharaFilterEffect(manager, kBalanceTable) {
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
  int levels[3], curves[3];
  for (int c = 0; c < 3; ++c) {
    levels[c] =
        std::clamp(Curve(r, r.Param(4 + c), r.Param(1 + c), r.Param(9), r.Param(8)), -256, 256);
    curves[c] = std::clamp(r.Param(10 + c), 0, kCurves - 1);
  }
  uint32_t add[256], sub[256];
  MakeTables(levels, curves, r.Param(13) != 0, add, sub);
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

CEffectSaike::CEffectSaike(CEffectManager* manager) : CCharaFilterEffect(manager, kSaikeTable) {}

void CEffectSaike::Print(EffectChannel* record, int) {
  CPicture* picture = MaskedPicture(*record);
  if (!picture) return;
  const EffectChannel& r = *record;
  int m[3], a[3];
  for (int c = 0; c < 3; ++c) {
    m[c] = Level256(r, r.Param(6 + c), r.Param(3 + c), r.Param(2), r.Param(1));
    a[c] = Curve(r, r.Param(12 + c), r.Param(9 + c), r.Param(16), r.Param(15));
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

CEffectRainbow::CEffectRainbow(CEffectManager* manager)
    : CCharaFilterEffect(manager, kRainbowTable) {
  rows_.assign(size_t(std::max(CScreenBuffer::GetHeight(), 0)) + 7, 0);
}

int CEffectRainbow::SetParam(EffectChannel* record, int count, const int* values, int channel) {
  offset_ = 0;
  return CTableStartEffect::SetParam(record, count, values, channel);
}

void CEffectRainbow::Init(int, int) { offset_ = 0; }

void CEffectRainbow::Restore(EffectChannel* record, int channel) {
  int values[16];
  for (int i = 0; i < 16; ++i) values[i] = record->Param(i);
  SetParam(record, 16, values, channel);
}

void CEffectRainbow::Calcu(EffectChannel* record, int) {
  const int h = CScreenBuffer::GetHeight();
  if (h <= 0) return;
  const int64_t moved = int64_t{offset_} + record->Param(6);
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
  int level = CalcuCurve(r.Counter(), std::max(r.Duration(), 1), ScaledValue(r.Param(2), 256),
                         ScaledValue(r.Param(1), 256), r.Param(4), r.Param(3)) /
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
