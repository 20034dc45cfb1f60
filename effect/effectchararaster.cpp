#include "effect/effectchararaster.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "effect/calcucurve.h"
#include "effect/charapixels.h"
#include "effect/effectmanager.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "setup/random.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using namespace effectstart;

namespace {

constexpr ClampTiming kEach = ClampTiming::kWithEachDefault;

// The bands a record walks, held to 0..16.
int BandCount(const EffectChannel& r) {
  return std::clamp(r.Param(CEffectNoise::kBands), 0, CEffectNoise::kMaxBands);
}

int32_t& BandInt(EffectChannel* r, int j, int k) {
  return r->Param(CEffectNoise::kBandBase + CEffectNoise::kBandInts * j + k);
}

// One band's fields.
enum { kLife, kTop, kHeight, kStrength };

}  // namespace

// --- Shifted rows ---

void CShiftedRowEffect::ShiftRowPlain(uint32_t* screen, const uint32_t* pixels, const uint8_t* mask,
                                      int n, int level) {
  for (int x = 0; x < n; ++x) {
    const int k = (level * mask[x]) >> 8;
    if (k == 255) {
      screen[x] = pixels[x];
    } else if (k != 0) {
      uint32_t out = 0;
      for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t s = (pixels[x] >> shift) & 255u, d = (screen[x] >> shift) & 255u;
        out |= ((static_cast<uint32_t>(k) * s + (256u - k) * d) >> 8) << shift;
      }
      screen[x] = out;
    }
  }
}

void CShiftedRowEffect::ShiftRow(uint32_t* screen, const uint32_t* pixels, const uint8_t* mask,
                                 int n, int level) {
  charapixels::MixPieces<false>(screen, n, [&](int x0, int count, uint32_t* s, uint32_t* k) {
    for (int i = 0; i < count; ++i) {
      const uint32_t w = static_cast<uint32_t>(level * mask[x0 + i]) >> 8;
      s[i] = pixels[x0 + i];
      k[i] = w == 255 ? 256u : w;
    }
  });
}

int CShiftedRowEffect::RowLevel(const EffectChannel& r, int end, int start, int curve, int ramp) {
  if (r.Param(end) == 100 && r.Param(start) == 100) return 256;
  return std::clamp(Level256(r, r.Param(start), r.Param(end), r.Param(ramp), r.Param(curve)), 0,
                    256);
}

void CShiftedRowEffect::DrawShifted(const CPicture& picture, int dx, int dy, int level,
                                    const int* offsets) {
  uint32_t* screen = CScreenBuffer::GetBuffer();
  const int sw = CScreenBuffer::GetWidth(), sh = CScreenBuffer::GetHeight();
  const int pw = picture.GetWidth(), ph = picture.GetHeight();
  const int64_t first = std::max<int64_t>(0, dy), last = std::min<int64_t>(sh, int64_t{dy} + ph);
  for (int64_t y = first; y < last; ++y) {
    const int64_t x0 = int64_t{dx} + offsets[y];
    const int64_t left = std::max<int64_t>(x0, 0), right = std::min<int64_t>(x0 + pw, sw);
    if (right <= left) continue;
    const size_t source = size_t(y - dy) * pw + size_t(left - x0);
    ShiftRow(screen + size_t(y) * sw + left, picture.GetPixelBuffer() + source,
             picture.GetMask() + source, static_cast<int>(right - left), level);
  }
}

int* CShiftedRowEffect::OffsetTable() const {
  if (manager_->GetWorkBufferSize() / static_cast<int>(sizeof(int)) < CScreenBuffer::GetHeight())
    return nullptr;
  return reinterpret_cast<int*>(manager_->GetWorkBuffer());
}

// --- #107 ---

// The amplitude in pixels, the number of waves in percent of three per
// screen height, the level in percent.
constexpr ParamDefault CEffectCharaRaster::kDefaults[] = {
    Value(kDuration, 20),  Value(kAmplitude, 32),        Value(kPhaseSpeed, 10),
    Value(kWaves, 100),    Value(kAmplitudeCurve, 0),    Value(kAmplitudeRamp, 0),
    Value(kEndLevel, 100), Same(kStartLevel, kEndLevel), Value(kLevelCurve, 0),
    Value(kLevelRamp, 0),
};

constexpr StartTable CEffectCharaRaster::kTable{kNumber, 16, -1, kEach, kDefaults};

CEffectCharaRaster::CEffectCharaRaster(CEffectManager* manager)
    : CShiftedRowEffect(manager, kTable) {}

void CEffectCharaRaster::Print(EffectChannel* record, int) {
  const CPicture* picture = MaskedPicture(*record);
  int* offsets = OffsetTable();
  if (!picture || !offsets) return;
  const EffectChannel& r = *record;
  const double amp = Curve(r, 0, ScaledValue(r.Param(kAmplitude), 100), r.Param(kAmplitudeRamp),
                           r.Param(kAmplitudeCurve)) *
                     0.01;
  const int level = RowLevel(r, kEndLevel, kStartLevel, kLevelCurve, kLevelRamp);
  const int sw = CScreenBuffer::GetWidth(), sh = CScreenBuffer::GetHeight();
  const double k = 18.84954 / sh * r.Param(kWaves) * 0.01;
  const int dx = r.DrawRect()[0], dy = r.DrawRect()[1];
  // Picture rows above the screen, and the phase every row starts from.
  const double above = std::clamp<int64_t>(-int64_t{dy}, 0, picture->GetHeight());
  const double phase = above + static_cast<double>(r.Counter()) * r.Param(kPhaseSpeed);
  const int first = std::max(dy, 0);
  const int last = static_cast<int>(std::min<int64_t>(sh, int64_t{dy} + picture->GetHeight()));
  for (int y = first; y < last; ++y) {
    const int offset = ClampToInt(std::cos((phase + (y - first)) * k) * amp + 0.5);
    offsets[y] = offset <= -sw ? 1 - sw : offset >= sw - 1 ? sw - 2 : offset;
  }
  DrawShifted(*picture, dx, dy, level, offsets);
}

// --- #106 ---

// Strength and spread in percent, the period and the band's height in rows,
// its life in frames, the drift in rows per frame, the jitter in 1/100
// pixel, the level in percent.
constexpr ParamDefault CEffectNoise::kDefaults[] = {
    Value(kDuration, 20),
    Value(kBands, 2),
    Value(kBandStrength, 32),
    Value(kWavePeriod, 2),
    Value(kBandHeight, 40),
    Value(kHeightSpread, 50),
    Value(kBandLife, 50),
    Value(kDrift, 0),
    Value(kJitter, 0),
    Value(kEndLevel, 100),
    Same(kStartLevel, kEndLevel),
    Value(kLevelCurve, 0),
    Value(kLevelRamp, 0),
};
constexpr ParamClamp CEffectNoise::kClamps[] = {AtMost(kBands, Fixed(kMaxBands))};

constexpr StartTable CEffectNoise::kTable{kNumber, 16, -1, kEach, kDefaults, kClamps};
static_assert(CEffectNoise::kBandBase >= CEffectNoise::kTable.max, "the bands follow the values");

CEffectNoise::CEffectNoise(CEffectManager* manager) : CShiftedRowEffect(manager, kTable) {}

int CEffectNoise::PictureHeight(const EffectChannel& r) const {
  const CPicture* picture = RecordPicture(r);
  return picture && picture->IsLoaded() && picture->GetBuffer() ? std::max(picture->GetHeight(), 1)
                                                                  : std::max(CScreenBuffer::GetHeight(), 1);
}

void CEffectNoise::NewBand(EffectChannel* r, int j, int pictureHeight) {
  const int64_t lifeValue = r->Param(kBandLife), heightValue = r->Param(kBandHeight);
  int64_t life = lifeValue;
  const int64_t s = lifeValue * 2 / 10;
  if (s > 0) life = crt::rand() % (2 * s) + lifeValue - s;
  int64_t height = heightValue;
  const int64_t s2 = int64_t{r->Param(kHeightSpread)} * heightValue / 100;
  if (s2 > 0) height = crt::rand() % (2 * s2) + heightValue - s2;
  // A band is never taller than its picture, so no frame walks more rows.
  height = std::clamp<int64_t>(height, 1, std::max(pictureHeight, 1));
  const int64_t top = crt::rand() % std::max<int64_t>(pictureHeight - height, 1);
  BandInt(r, j, kLife) = Clamp32(std::max<int64_t>(life, 1));
  BandInt(r, j, kTop) = static_cast<int>(top);
  BandInt(r, j, kHeight) = static_cast<int>(height);
  BandInt(r, j, kStrength) = crt::rand() % 60 + 20;
}

int CEffectNoise::SetParam(EffectChannel* record, int count, const int* values, int channel) {
  const int result = CShiftedRowEffect::SetParam(record, count, values, channel);
  const int height = PictureHeight(*record);
  for (int j = 0; j < BandCount(*record); ++j) NewBand(record, j, height);
  return result;
}

void CEffectNoise::Calcu(EffectChannel* record, int) {
  const CPicture* picture = RecordPicture(*record);
  if (!picture || !picture->IsLoaded() || !picture->GetBuffer()) return;
  const int ph = std::max(picture->GetHeight(), 1);
  for (int j = 0; j < BandCount(*record); ++j) {
    int32_t& life = BandInt(record, j, kLife);
    life = Clamp32(int64_t{life} - 1);
    if (life <= 0) NewBand(record, j, ph);
    const int64_t top = int64_t{BandInt(record, j, kTop)} + record->Param(kDrift);
    if (top < -int64_t{BandInt(record, j, kHeight)} || top >= ph)
      NewBand(record, j, ph);
    else
      BandInt(record, j, kTop) = static_cast<int>(top);
    int64_t strength = int64_t{BandInt(record, j, kStrength)} + crt::rand() % 10 - 6;
    if (crt::rand() % 100 < 2) strength += crt::rand() % 160 - 40;
    BandInt(record, j, kStrength) = static_cast<int>(std::clamp<int64_t>(strength, 30, 100));
  }
}

void CEffectNoise::Print(EffectChannel* record, int) {
  const CPicture* picture = Picture32(*record);
  int* offsets = OffsetTable();
  if (!picture || !offsets) return;
  EffectChannel& r = *record;
  const int level = RowLevel(r, kEndLevel, kStartLevel, kLevelCurve, kLevelRamp);
  const int sh = CScreenBuffer::GetHeight();
  const int dx = r.DrawRect()[0], dy = r.DrawRect()[1];
  const int jitter = r.Param(kJitter);
  for (int y = 0; y < sh; ++y) {
    offsets[y] = 0;
    if (jitter <= 0) continue;
    const int f = (crt::rand() % jitter + 50) / 100;
    if (f > 0) offsets[y] = crt::rand() % 2 == 1 ? f : -f;
  }
  const int64_t period = std::max(r.Param(kWavePeriod), 1);
  const int ph = std::max(picture->GetHeight(), 1);
  for (int j = 0; j < BandCount(r); ++j) {
    // Beyond 2^40 every band moves its rows far off the screen alike.
    const int64_t s = std::clamp<int64_t>(
        int64_t{r.Param(kBandStrength)} * BandInt(&r, j, kStrength) / 100, 1, int64_t{1} << 40);
    // Records from a save are held to the picture as new bands are.
    const int64_t height = std::min(BandInt(&r, j, kHeight), ph);
    const int64_t half = std::max<int64_t>(height / 2, 1);
    const int64_t top = int64_t{BandInt(&r, j, kTop)} + dy;
    int64_t strength = 100;
    for (int64_t k = 0; k < height; ++k) {
      const int64_t phase = k % period;
      if (phase == 0) strength = crt::rand() % 70 + 30;
      const int64_t saw = period - 2 * phase;
      const int64_t env = k < half ? k : k < 2 * half ? half - k % half : 0;
      const __int128 a = static_cast<__int128>(strength) * env * saw * s /
                         (static_cast<__int128>(half) * period * 100) *
                         (k % (2 * period) < period ? 1 : -1);
      const int64_t row = top + k;
      if (row < 0 || row >= sh) continue;
      // Offsets far beyond the screen all move the row out of it.
      offsets[row] = static_cast<int>(std::clamp<__int128>(offsets[row] + a, -(1 << 30), 1 << 30));
    }
  }
  if (picture->GetMask() && picture->GetMaskFlag()) DrawShifted(*picture, dx, dy, level, offsets);
}

// --- #22 ---

// The band of rows is the screen; the scales in percent; each wave's
// height, spatial and temporal frequency.
constexpr ParamDefault CEffectKagerou::kDefaults[] = {
    Value(kDuration, 9999),  Value(kFirstRow, 0),      Value(kRows, Height()),
    Value(kFadeIn, 0),       Value(kHeightScale, 100), Value(kSpaceScale, 100),
    Value(kSpeedScale, 100), Value(kWave1Height, 9),   Value(kWave1Space, 7),
    Value(kWave1Time, 11),   Value(kWave2Height, 4),   Value(kWave2Space, 17),
    Value(kWave2Time, -23),  Value(kWave3Height, 6),   Value(kWave3Space, 2),
    Value(kWave3Time, -5),
};
// The band held on the screen.
constexpr ParamClamp CEffectKagerou::kClamps[] = {Range(kFirstRow, Fixed(0), Height(1, 1, -1)),
                                                  Range(kRows, Fixed(0), Height()),
                                                  SumAtMost(kRows, kFirstRow, Height())};

constexpr StartTable CEffectKagerou::kTable{kNumber, 17, -1, kEach, kDefaults, kClamps};

CEffectKagerou::CEffectKagerou(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

void CEffectKagerou::Calcu(EffectChannel* record, int) {
  const int64_t fade = record->Param(kFadeIn), counter = record->Counter();
  if (counter >= fade) record->Counter() = static_cast<int>(fade + (counter - fade) % 9000);
}

int CEffectKagerou::RowOffset(const EffectChannel& r, int i, int screenHeight) {
  const int fade = r.Param(kFadeIn), counter = r.Counter();
  const double d = fade > 0 && counter < fade ? static_cast<double>(counter) / fade : 1.0;
  const double a = r.Param(kHeightScale) / 100.0, s = r.Param(kSpaceScale) / 100.0,
               t = r.Param(kSpeedScale) / 100.0;
  const double p = 6.28318 / std::max(screenHeight, 1), c = counter;
  // A wave's height, spatial and temporal frequency, each scaled.
  auto wave = [&](int height, int space, int time, bool forward) {
    const double amplitude = a * r.Param(height), spatial = s * r.Param(space),
                 temporal = t * r.Param(time);
    return std::cos(p * (forward ? i * spatial + c * temporal : i * spatial - c * temporal)) *
           amplitude;
  };
  return ClampToInt((wave(kWave3Height, kWave3Space, kWave3Time, false) +
                     wave(kWave2Height, kWave2Space, kWave2Time, false) +
                     wave(kWave1Height, kWave1Space, kWave1Time, true)) *
                        d +
                    0.5);
}

namespace {

// (160 x d >> 8) + (96 x s >> 8) per byte.
inline uint32_t Haze(uint32_t d, uint32_t s) { return packedpixel::Weigh<8>(d, s, 160, 96); }

}  // namespace

void CEffectKagerou::HazeRowPlain(uint32_t* row, int w, int o) {
  auto mix = [](uint32_t d, uint32_t s) {
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8)
      out |= (((160u * ((d >> shift) & 255u)) >> 8) + ((96u * ((s >> shift) & 255u)) >> 8))
             << shift;
    return out;
  };
  if (o >= w || o <= -w) return;
  if (o >= 0)
    for (int x = 0; x < w - o; ++x) row[x] = mix(row[x], row[x + o]);
  else
    for (int x = w - 1; x >= -o; --x) row[x] = mix(row[x], row[x + o]);
}

void CEffectKagerou::HazeRow(uint32_t* row, int w, int o) {
  if (o >= w || o <= -w) return;
#if defined(__SSE2__)
  // Four pixels at a time: each block is read whole before it is written,
  // and the pixels it reads lie ahead of the walk.
  const __m128i zero = _mm_setzero_si128(), wd = _mm_set1_epi16(160), ws = _mm_set1_epi16(96);
  auto block = [&](uint32_t* d, const uint32_t* s) {
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
    auto half = [&](__m128i dh, __m128i sh) {
      return _mm_add_epi16(_mm_srli_epi16(_mm_mullo_epi16(dh, wd), 8),
                           _mm_srli_epi16(_mm_mullo_epi16(sh, ws), 8));
    };
    const __m128i lo = half(_mm_unpacklo_epi8(dv, zero), _mm_unpacklo_epi8(sv, zero));
    const __m128i hi = half(_mm_unpackhi_epi8(dv, zero), _mm_unpackhi_epi8(sv, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_packus_epi16(lo, hi));
  };
  if (o >= 0) {
    const int n = w - o;
    int x = 0;
    for (; x + 4 <= n; x += 4) block(row + x, row + x + o);
    for (; x < n; ++x) row[x] = Haze(row[x], row[x + o]);
  } else {
    int x = w - 1;
    for (; x - 3 >= -o; x -= 4) block(row + x - 3, row + x - 3 + o);
    for (; x >= -o; --x) row[x] = Haze(row[x], row[x + o]);
  }
#else
  if (o >= 0)
    for (int x = 0; x < w - o; ++x) row[x] = Haze(row[x], row[x + o]);
  else
    for (int x = w - 1; x >= -o; --x) row[x] = Haze(row[x], row[x + o]);
#endif
}

void CEffectKagerou::Print(EffectChannel* record, int) {
  uint32_t* screen = CScreenBuffer::GetBuffer();
  if (!screen) return;
  const int sw = CScreenBuffer::GetWidth(), sh = CScreenBuffer::GetHeight();
  if (sh <= 0 || sw <= 0) return;
  const EffectChannel& r = *record;
  // Rows from a record are cut to the screen as a start cuts them.
  const int top = std::clamp(r.Param(kFirstRow), 0, sh - 1);
  const int n = std::clamp(r.Param(kRows), 1, sh);
  const int last = static_cast<int>(std::min<int64_t>(int64_t{top} + n, sh));
  for (int i = top; i < last; ++i) HazeRow(screen + size_t(i) * sw, sw, RowOffset(r, i, sh));
}

// --- #72 ---

// Shifts in pixels.
constexpr ParamDefault CEffectMeisai::kDefaults[] = {
    Value(kDuration, 20),   Value(kEndShift, 10), Value(kSpare1, 5), Same(kStartShift, kEndShift),
    Same(kSpare2, kSpare1), Value(kCurve, 0),     Value(kRamp, 0),
};

constexpr StartTable CEffectMeisai::kTable{kNumber, 16, -1, kEach, kDefaults};

CEffectMeisai::CEffectMeisai(CEffectManager* manager) : CCharaFilterEffect(manager, kTable) {}

void CEffectMeisai::Print(EffectChannel* record, int) {
  const CPicture* picture = MaskedPicture(*record);
  if (!picture) return;
  const EffectChannel& r = *record;
  int dx = r.DrawRect()[0], dy = r.DrawRect()[1], sx = 0, sy = 0, w = picture->GetWidth(),
      h = picture->GetHeight();
  if (!picture->Clip(&dx, &dy, &sx, &sy, &w, &h) || w <= 0 || h <= 0) return;
  const int shift = std::max(
      Curve(r, r.Param(kStartShift), r.Param(kEndShift), r.Param(kRamp), r.Param(kCurve)), 0);
  if (shift >= w) return;
  uint32_t* screen = CScreenBuffer::GetBuffer();
  const int sw = CScreenBuffer::GetWidth(), pw = picture->GetWidth();
  for (int y = 0; y < h; ++y) {
    const uint8_t* mask = picture->GetMask() + size_t(sy + y) * pw + sx;
    uint32_t* out = screen + size_t(dy + y) * sw + dx;
    for (int x = 0; x < w - shift; ++x)
      if (mask[x] != 0) out[x] = out[x + shift];
  }
}
