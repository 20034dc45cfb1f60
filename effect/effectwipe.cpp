#include "effect/effectwipe.h"

#include <algorithm>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "effect/allwipe.h"
#include "effect/calcucurve.h"
#include "effect/effectmanager.h"
#include "graphics/blendrows.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"

using namespace effectstart;

namespace {

constexpr ClampTiming kAfter = ClampTiming::kAfterDefaults;

int ClampInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// A picture a wipe reads, with the picture pixel under screen pixel (0, 0).
struct Source {
  CPicture* picture = nullptr;
  int offset[2] = {0, 0};
};

// The saved screen at (0, 0); false while there is none.
bool SavedScreen(CEffectManager* manager, Source* out) {
  if (!manager->GetScreenPicture()) return false;
  out->picture = CEffectManager::GetSavedScreen();
  return true;
}

// A picture from the manager and the negated draw position of `position`;
// false for a channel number outside 0..15 (-1 is "no picture").
bool ChannelSource(CEffectManager* manager, int pictureChannel, int position, Source* out) {
  if (pictureChannel < 0 || pictureChannel >= CEffectManager::kChannels) return false;
  out->picture = manager->GetPicture(pictureChannel);
  int x = 0, y = 0;
  manager->GetDrawPos(position, &x, &y);
  out->offset[0] = ClampInt(-int64_t{x});
  out->offset[1] = ClampInt(-int64_t{y});
  return true;
}

// True when a source has pixels and covers the screen; the mask wipe also
// needs 32-bit pixels (a wipe kind decides that for itself).
bool CoversScreen(const Source& s, bool need32) {
  const CPicture* p = s.picture;
  return p && p->GetBuffer() && !(need32 && p->Get256Flag()) &&
         p->GetWidth() >= CScreenBuffer::GetWidth() && p->GetHeight() >= CScreenBuffer::GetHeight();
}

}  // namespace

// --- #59 ---

// Progress in percent of the wipe; nonzero takes the saved screen as that
// picture.
constexpr ParamDefault CEffectSimpleWipe::kDefaults[] = {
    Value(kDuration, 20),    Value(kWipeNumber, 0), Value(kNewChannel, 13),
    Value(kCurve, 0),        Value(kRamp, 0),       Value(kEndPercent, 100),
    Value(kStartPercent, 0), Value(kSavedNew, 0),   Value(kSavedOld, 0),
};
constexpr ParamClamp CEffectSimpleWipe::kClamps[] = {Range(kWipeNumber, 0, INT32_MAX)};

constexpr StartTable CEffectSimpleWipe::kTable{kNumber, 9, -1, kAfter, kDefaults, kClamps};

CEffectSimpleWipe::CEffectSimpleWipe(CEffectManager* manager)
    : CTableStartEffect(manager, kTable), table_(std::make_unique<CAllWipe>()) {
  if (manager_) manager_->SetWipeTable(table_.get());
}

CEffectSimpleWipe::~CEffectSimpleWipe() { Release(); }

void CEffectSimpleWipe::Release() {
  if (!table_) return;
  if (manager_) manager_->SetWipeTable(nullptr);
  table_->Release();
  table_.reset();
}

CEffectSimpleWipeCommon* CEffectSimpleWipe::GetWipe(int n) const {
  return table_ ? table_->GetWipe(n) : nullptr;
}

int CEffectSimpleWipe::SetParam(EffectChannel* record, int count, const int* values, int channel) {
  if (count <= kWipeNumber) return 0;
  return CTableStartEffect::SetParam(record, count, values, channel);
}

void CEffectSimpleWipe::Print(EffectChannel* record, int channel) {
  if (!table_) return;
  auto p = [&](int i) { return record->Param(i); };
  Source from, to;
  if (p(kSavedOld)
          ? !SavedScreen(manager_, &from)
          : record->PictureNumber() < 0 || record->PictureNumber() >= CEffectManager::kChannels ||
                !ChannelSource(manager_, channel, record->PictureNumber(), &from))
    return;
  if (p(kSavedNew) ? !SavedScreen(manager_, &to)
                   : !ChannelSource(manager_, p(kNewChannel), p(kNewChannel), &to))
    return;
  if (!CoversScreen(from, false) || !CoversScreen(to, false)) return;
  const int progress =
      CalcuCurve(record->Counter(), record->Duration(), ClampInt(int64_t{p(kStartPercent)} * 100),
                 ClampInt(int64_t{p(kEndPercent)} * 100), p(kRamp), p(kCurve));
  table_->Print(p(kWipeNumber), from.picture, to.picture, progress, kMaxProgress, from.offset,
                to.offset);
}

// --- #60 ---

// Progress in percent of the blend; nonzero takes the saved screen as that
// picture.
constexpr ParamDefault CEffectMaskWipe::kDefaults[] = {
    Value(kDuration, 20),    Value(kNewChannel, 12),  Value(kMaskChannel, 13), Value(kSharpness, 1),
    Value(kCurve, 0),        Value(kRamp, 0),         Value(kSavedOld, 0),     Value(kSavedNew, 0),
    Value(kEndPercent, 100), Value(kStartPercent, 0),
};
// The blend's lane sums hold only sharpness 0..127.
constexpr ParamClamp CEffectMaskWipe::kClamps[] = {Range(kSharpness, 0, kMaxSharpness)};

constexpr StartTable CEffectMaskWipe::kTable{kNumber, 10, -1, kAfter, kDefaults, kClamps};

CEffectMaskWipe::CEffectMaskWipe(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

int CEffectMaskWipe::SetParam(EffectChannel* record, int count, const int* values, int channel) {
  if (count <= kMaskChannel) return 0;
  return CTableStartEffect::SetParam(record, count, values, channel);
}

int CEffectMaskWipe::Finish(EffectChannel* record, int) {
  record->Counter() = record->Duration();
  return 1;
}

void CEffectMaskWipe::Print(EffectChannel* record, int channel) {
  auto p = [&](int i) { return record->Param(i); };
  const int percent = CalcuCurve(record->Counter(), std::max(record->Duration(), 1),
                                 p(kStartPercent), p(kEndPercent), p(kRamp), p(kCurve));
  // A record from a save gets the same clamp as a start.
  const int s = std::clamp(p(kSharpness), 0, kMaxSharpness);
  const int64_t range = 256 * s + 256;
  const int o =
      static_cast<int>(std::clamp<int64_t>(int64_t{percent} * range / 100, 0, range) - 256 * s);
  Source from, to, mask;
  if (p(kSavedOld) ? !SavedScreen(manager_, &from)
                   : !ChannelSource(manager_, channel, channel, &from))
    return;
  if (p(kSavedNew) ? !SavedScreen(manager_, &to)
                   : !ChannelSource(manager_, p(kNewChannel), p(kNewChannel), &to))
    return;
  if (!ChannelSource(manager_, p(kMaskChannel), p(kMaskChannel), &mask)) return;
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  uint32_t* screen = CScreenBuffer::GetBuffer();
  if (!screen || w <= 0 || h <= 0) return;
  const uint32_t* rows[3];
  int pitch[3];
  Source* sources[3] = {&from, &to, &mask};
  for (int i = 0; i < 3; ++i) {
    const Source& src = *sources[i];
    if (!CoversScreen(src, true)) return;
    const int pw = src.picture->GetWidth(), ph = src.picture->GetHeight();
    const int x = std::clamp(src.offset[0], 0, pw - w), y = std::clamp(src.offset[1], 0, ph - h);
    pitch[i] = pw;
    rows[i] = src.picture->GetPixelBuffer() + static_cast<size_t>(y) * pw + x;
  }
  for (int y = 0; y < h; ++y)
    maskwipe::Row(screen + static_cast<size_t>(y) * w, rows[0] + static_cast<size_t>(y) * pitch[0],
                  rows[1] + static_cast<size_t>(y) * pitch[1],
                  rows[2] + static_cast<size_t>(y) * pitch[2], w, s, o);
}

namespace maskwipe {

uint32_t Pixel(uint32_t oldPixel, uint32_t newPixel, uint32_t mask, int s, int o) {
  return blendrows::PerChannel([&](int c) {
    const int a = std::clamp(static_cast<int>(blendrows::Channel(mask, c)) * s + o, 0, 255);
    return (blendrows::Channel(oldPixel, c) * (256 - a) + blendrows::Channel(newPixel, c) * a) >> 8;
  });
}

void RowPlain(uint32_t* dst, const uint32_t* oldRow, const uint32_t* newRow, const uint32_t* mask,
              int n, int s, int o) {
  for (int i = 0; i < n; ++i) dst[i] = Pixel(oldRow[i], newRow[i], mask[i], s, o);
}

#if defined(__SSE2__)
void Row(uint32_t* dst, const uint32_t* oldRow, const uint32_t* newRow, const uint32_t* mask, int n,
         int s, int o) {
  // Sixteen-bit lanes: mask * s + o lies within -32512..32641 and the blend
  // sums stay at or below 65280, so every lane result is exact.
  const __m128i zero = _mm_setzero_si128();
  const __m128i ks = _mm_set1_epi16(static_cast<int16_t>(s));
  const __m128i ko = _mm_set1_epi16(static_cast<int16_t>(o));
  const __m128i k255 = _mm_set1_epi16(255);
  const __m128i k256 = _mm_set1_epi16(256);
  auto half = [&](__m128i a8, __m128i b8, __m128i m8) {
    __m128i a = _mm_add_epi16(_mm_mullo_epi16(m8, ks), ko);
    a = _mm_min_epi16(_mm_max_epi16(a, zero), k255);
    return _mm_srli_epi16(
        _mm_add_epi16(_mm_mullo_epi16(a8, _mm_sub_epi16(k256, a)), _mm_mullo_epi16(b8, a)), 8);
  };
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(oldRow + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(newRow + i));
    const __m128i m = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mask + i));
    const __m128i lo =
        half(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero), _mm_unpacklo_epi8(m, zero));
    const __m128i hi =
        half(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero), _mm_unpackhi_epi8(m, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(lo, hi));
  }
  for (; i < n; ++i) dst[i] = Pixel(oldRow[i], newRow[i], mask[i], s, o);
}
#else
void Row(uint32_t* dst, const uint32_t* oldRow, const uint32_t* newRow, const uint32_t* mask, int n,
         int s, int o) {
  RowPlain(dst, oldRow, newRow, mask, n, s, o);
}
#endif

}  // namespace maskwipe
