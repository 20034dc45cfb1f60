#include "effect/filtereffects.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "effect/calcucurve.h"
#include "effect/effectmanager.h"
#include "graphics/allgraphics.h"
#include "graphics/picture.h"
#include "graphics/rowops.h"
#include "graphics/screenbuffer.h"
#include "setup/random.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using namespace effectstart;

namespace {

constexpr ClampTiming kEach = ClampTiming::kWithEachDefault;
constexpr ClampTiming kAfter = ClampTiming::kAfterDefaults;

// The progress curve on the record's counter and duration.
int Curve(const EffectChannel& record, int from, int to, int ramp, int code) {
  return CalcuCurve(record.Counter(), record.Duration(), from, to, ramp, code);
}

// A product of script values, held in the int range.
int Times(int64_t v, int64_t m) {
  return static_cast<int>(std::clamp<int64_t>(v * m, INT32_MIN, INT32_MAX));
}

int Narrow(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// The screen buffer, or false when there is none to draw on.
struct Screen {
  uint32_t* pixels = nullptr;
  int w = 0, h = 0;
  uint32_t* Row(int y) const { return pixels + static_cast<size_t>(y) * w; }
  size_t Size() const { return static_cast<size_t>(w) * h; }
};
bool TakeScreen(Screen* s) {
  s->pixels = CScreenBuffer::GetBuffer();
  s->w = CScreenBuffer::GetWidth();
  s->h = CScreenBuffer::GetHeight();
  return s->pixels && s->w > 0 && s->h > 0;
}

// Every colour byte := byte + offset, clamped to 0..255; the top byte 0.
void AddOffsets(uint32_t* run, size_t n, int r, int g, int b) {
  const int parts[3] = {b, g, r};
  uint32_t add = 0, sub = 0xFF000000u;
  for (int c = 0; c < 3; ++c) {
    add |= static_cast<uint32_t>(std::clamp(parts[c], 0, 255)) << (8 * c);
    sub |= static_cast<uint32_t>(std::clamp(-int64_t{parts[c]}, int64_t{0}, int64_t{255}))
           << (8 * c);
  }
  rowops::AddSub(run, n, add, sub);
}

uint32_t Pack(uint32_t r, uint32_t g, uint32_t b) { return r << 16 | g << 8 | b; }

}  // namespace

// --- #20 light ---

// The offsets added at the end, from none at the start.
constexpr ParamDefault CEffectLight::kDefaults[] = {
    Value(kDuration, 20), Value(kRed, 64),  Same(kGreen, kRed),
    Same(kBlue, kGreen),  Value(kCurve, 0), Value(kRamp, 0),
};

constexpr StartTable CEffectLight::kTable{kNumber, 6, -1, kAfter, kDefaults};

CEffectLight::CEffectLight(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

void CEffectLight::Print(EffectChannel* record, int) {
  Screen s;
  if (!TakeScreen(&s)) return;
  const EffectChannel& r = *record;
  const int ramp = r.Param(kRamp), code = r.Param(kCurve);
  AddOffsets(s.pixels, s.Size(), Curve(r, 0, r.Param(kRed), ramp, code),
             Curve(r, 0, r.Param(kGreen), ramp, code), Curve(r, 0, r.Param(kBlue), ramp, code));
}

// --- #23 raster ---

constexpr ParamDefault CEffectRaster::kDefaults[] = {
    Value(kDuration, 60), Value(kStartAmplitude, 0), Value(kEndAmplitude, 64),
    Value(kCurve, 0),     Value(kRamp, 0),
};
// Amplitudes below half the screen's width.
constexpr ParamClamp CEffectRaster::kClamps[] = {AtMost(kStartAmplitude, Width(1, 2, -1)),
                                                 AtMost(kEndAmplitude, Width(1, 2, -1))};

constexpr StartTable CEffectRaster::kTable{kNumber, 5, -1, kAfter, kDefaults, kClamps};

CEffectRaster::CEffectRaster(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

void CEffectRaster::Print(EffectChannel* record, int) {
  Screen s;
  if (!TakeScreen(&s)) return;
  const EffectChannel& r = *record;
  const int p1 = r.Param(kStartAmplitude), p2 = r.Param(kEndAmplitude);
  const int amp = Curve(r, Times(p1, 100), Times(p2, 100), r.Param(kRamp), r.Param(kCurve));
  if (amp < 100) return;
  if (manager_->GetWorkBufferSize() < s.h * 4) return;
  int64_t t = r.Counter(), sign = 1;
  if (p2 > p1) {
    t = int64_t{r.Duration()} - r.Counter();
    sign = -1;
  }
  // The row offsets first, as a table in the work buffer.
  int32_t* offsets = reinterpret_cast<int32_t*>(manager_->GetWorkBuffer());
  const double scale = amp / 100.0;
  for (int i = 0; i < s.h; ++i) {
    const double angle = 6.28318 / s.h * 3.0 * static_cast<double>(sign * i + 10 * t);
    int d = ClampToInt(std::cos(angle) * scale + 0.5);
    if (d <= -s.w) d = 1 - s.w;
    if (d >= s.w - 1) d = s.w - 2;
    offsets[i] = d;
  }
  for (int i = 0; i < s.h; ++i) {
    uint32_t* row = s.Row(i);
    const int d = offsets[i];
    const size_t n = static_cast<size_t>(std::abs(d));
    if (n >= static_cast<size_t>(s.w)) {
      std::fill_n(row, s.w, 0u);
    } else if (d > 0) {
      std::memmove(row + n, row, (s.w - n) * 4);
      std::fill_n(row, n, 0u);
    } else if (d < 0) {
      std::memmove(row, row + n, (s.w - n) * 4);
      std::fill_n(row + (s.w - n), n, 0u);
    }
  }
}

// --- #29 noise ---

namespace {

// The area limits of the start, in their order; Print applies them again
// to what the record holds, since the area indexes the table.
void NoiseLimits(int* p, int w, int h) {
  using S = CEffectSuna;
  p[S::kWidth] = std::min(p[S::kWidth], w);
  p[S::kHeight] = std::min(p[S::kHeight], h);
  p[S::kX] = std::clamp(p[S::kX], 0, std::max(w - 1, 0));
  p[S::kY] = std::clamp(p[S::kY], 0, std::max(h - 1, 0));
  p[S::kWidth] = std::min(p[S::kWidth], w - p[S::kX]);
  p[S::kHeight] = std::min(p[S::kHeight], h - p[S::kY]);
}

uint32_t NoiseWord() {
  const uint32_t low = static_cast<uint32_t>(crt::rand());
  const uint32_t high = static_cast<uint32_t>(crt::rand());
  return low | high << 16;
}

}  // namespace

// The area is the screen's, held on it as NoiseLimits does.
constexpr ParamDefault CEffectSuna::kDefaults[] = {
    Value(kDuration, 0),    Value(kLevelSwitch, 0),
    Value(kEndLevel, 100),  Same(kStartLevel, kEndLevel),
    Value(kCurve, 0),       Value(kRamp, 0),
    Value(kX, 0),           Value(kY, 0),
    Value(kWidth, Width()), Value(kHeight, Height()),
};

constexpr StartTable CEffectSuna::kTable{kNumber, 10, -1, kAfter, kDefaults};

CEffectSuna::CEffectSuna(CEffectManager* manager) : CTableStartEffect(manager, kTable) {
  tableW_ = std::max(CScreenBuffer::GetWidth(), 0);
  tableH_ = std::max(CScreenBuffer::GetHeight(), 0);
  table_.assign(static_cast<size_t>(tableW_ / 2) * (tableH_ / 2) / 4, 0u);
}

void CEffectSuna::FillTable() {
  const int w = std::max(CScreenBuffer::GetWidth(), 0), h = std::max(CScreenBuffer::GetHeight(), 0);
  if (w != tableW_ || h != tableH_) {
    tableW_ = w;
    tableH_ = h;
    table_.assign(static_cast<size_t>(w / 2) * (h / 2) / 4, 0u);
  }
  phase_ = 0;
  for (uint32_t& word : table_) word = NoiseWord();
}

int CEffectSuna::SetParam(EffectChannel* record, int count, const int* values, int) {
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  int p[kMaxParams];
  MakeParams(Table(), count, values, w, h, p);
  NoiseLimits(p, w, h);
  StartRecord(record, kNumber, p[kDuration], p, Table().max);
  FillTable();
  return 1;
}

void CEffectSuna::Calcu(EffectChannel* record, int) {
  record->Counter() = std::min(record->Counter(), record->Duration());
}

void CEffectSuna::Restore(EffectChannel* record, int channel) {
  const int counter = record->Counter();
  StartAgain(record, channel);
  // The duration comes back from p0, which a save may hold below the counter.
  record->Counter() = std::clamp(counter, 0, record->Duration());
}

void CEffectSuna::Print(EffectChannel* record, int) {
  phase_ = (phase_ + 1) & 1;
  Screen s;
  if (!TakeScreen(&s)) return;
  const EffectChannel& r = *record;
  int p[kMaxParams];
  for (int i = 0; i < Table().max; ++i) p[i] = r.Param(i);
  NoiseLimits(p, s.w, s.h);
  const int x = std::max(p[kX] & ~7, 0), y = std::max(p[kY] & ~1, 0);
  if (x >= s.w || y >= s.h) return;
  const int w = std::min(p[kWidth] & ~7, s.w - x), h = std::min(p[kHeight] & ~1, s.h - y);
  if (w < 1 || h < 1) return;
  const int bands = h / 2, words = w / 8;
  // A table made for another screen size is not read past its end.
  if (static_cast<size_t>(bands) * words > table_.size()) return;

  const int64_t renew = (((int64_t{w} * h / 2) / 2) / 4) / 2;
  for (int64_t i = 0; i < renew; ++i) table_[static_cast<size_t>(phase_ + 2 * i)] ^= NoiseWord();

  int level = 256;
  if (p[kLevelSwitch] != 0) {
    const int length = std::max(p[kDuration], 1);
    level = CalcuCurve(std::clamp(r.Counter(), 0, length), length,
                       Narrow(int64_t{p[kStartLevel]} * 256 / 100),
                       Narrow(int64_t{p[kEndLevel]} * 256 / 100), p[kRamp], p[kCurve]);
  }
  level = std::clamp(level, 0, 256);
  if (level == 0) return;
  for (int band = 0; band < bands; ++band) {
    const uint32_t* from = table_.data() + static_cast<size_t>(band) * words;
    for (int row = 0; row < 2; ++row)
      filterrows::Noise(s.Row(y + 2 * band + row) + x, from, static_cast<size_t>(words), level);
  }
}

namespace filterrows {

namespace {

// The grey a pixel of block k (0..3) of a word adds at the level.
inline uint32_t NoiseAdd(uint32_t word, int k, int level) {
  const uint32_t g = ((word << 1) >> (8 * k)) & 0xFF;
  return ((g * static_cast<uint32_t>(level)) >> 8) * 0x010101u;
}

}  // namespace

void NoiseScalar(uint32_t* row, const uint32_t* words, size_t n, int level) {
  const uint32_t keep = 256 - static_cast<uint32_t>(level);
  for (size_t j = 0; j < n; ++j)
    for (int c = 0; c < 8; ++c) {
      // Each byte: old x keep / 256 + g x level / 256, in packed halves
      // (no byte's product reaches the next byte).
      const uint32_t old = row[8 * j + c];
      row[8 * j + c] = ((((old & 0xFF00FF) * keep) >> 8) & 0xFF00FF) +
                       ((((old & 0xFF00) * keep) >> 8) & 0xFF00) + NoiseAdd(words[j], c / 2, level);
    }
}

#if defined(__SSE2__)
void Noise(uint32_t* row, const uint32_t* words, size_t n, int level) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i keep = _mm_set1_epi16(static_cast<short>(256 - level));
  const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
  auto kept = [&](__m128i v) {
    const __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(v, zero), keep), 8);
    const __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(v, zero), keep), 8);
    return _mm_and_si128(_mm_packus_epi16(lo, hi), colour);
  };
  for (size_t j = 0; j < n; ++j) {
    const uint32_t w = words[j];
    const int a0 = static_cast<int>(NoiseAdd(w, 0, level)), a1 = static_cast<int>(NoiseAdd(w, 1, level));
    const int a2 = static_cast<int>(NoiseAdd(w, 2, level)), a3 = static_cast<int>(NoiseAdd(w, 3, level));
    __m128i* out = reinterpret_cast<__m128i*>(row + 8 * j);
    _mm_storeu_si128(out, _mm_add_epi8(kept(_mm_loadu_si128(out)), _mm_set_epi32(a1, a1, a0, a0)));
    _mm_storeu_si128(out + 1, _mm_add_epi8(kept(_mm_loadu_si128(out + 1)), _mm_set_epi32(a3, a3, a2, a2)));
  }
}
#else
void Noise(uint32_t* row, const uint32_t* words, size_t n, int level) { NoiseScalar(row, words, n, level); }
#endif

}  // namespace filterrows

// --- #31 negative ---

// Strength in percent, none at the start.
constexpr ParamDefault CStrengthFilterEffect::kDefaults[] = {
    Value(kDuration, 20),     Value(kCurve, 0),         Value(kRamp, 0),
    Value(kEndStrength, 100), Value(kStartStrength, 0),
};

// The script may give more values; they are not kept.
constexpr StartTable CEffectNega::kTable{kNumber, 5, -1, kAfter, kDefaults};

CEffectNega::CEffectNega(CEffectManager* manager) : CStrengthFilterEffect(manager, kTable) {}

void CEffectNega::Print(EffectChannel* record, int) {
  Screen s;
  if (!TakeScreen(&s)) return;
  const EffectChannel& r = *record;
  const int from = Narrow(int64_t{r.Param(kStartStrength)} * -508 / 100 + 254);
  const int to = Narrow(int64_t{r.Param(kEndStrength)} * -508 / 100 + 254);
  const int f = std::clamp(Curve(r, from, to, r.Param(kRamp), r.Param(kCurve)), -254, 254);
  filterrows::Nega(s.pixels, s.Size(), f);
}

namespace filterrows {

void NegaScalar(uint32_t* p, size_t n, int f) {
  // The rule per byte value, then the bytes through it.
  uint32_t lut[256];
  for (int c = 0; c < 256; ++c) lut[c] = static_cast<uint32_t>(std::clamp(((c - 128) * f >> 8) + 128, 0, 255));
  for (size_t i = 0; i < n; ++i) {
    const uint32_t v = p[i];
    p[i] = Pack(lut[(v >> 16) & 0xFF], lut[(v >> 8) & 0xFF], lut[v & 0xFF]);
  }
}

#if defined(__SSE2__)
void Nega(uint32_t* p, size_t n, int f) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i middle = _mm_set1_epi16(128);
  const __m128i factor = _mm_set1_epi16(static_cast<short>(f));
  const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
  // (c - 128) x f stays within a signed 16-bit lane; the shift floors it.
  auto scale = [&](__m128i c) {
    return _mm_add_epi16(_mm_srai_epi16(_mm_mullo_epi16(_mm_sub_epi16(c, middle), factor), 8), middle);
  };
  size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const __m128i out = _mm_packus_epi16(scale(_mm_unpacklo_epi8(a, zero)), scale(_mm_unpackhi_epi8(a, zero)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), _mm_and_si128(out, colour));
  }
  NegaScalar(p + i, n - i, f);
}
#else
void Nega(uint32_t* p, size_t n, int f) { NegaScalar(p, n, f); }
#endif

}  // namespace filterrows

// --- #33 relief ---

// Strength in percent, none at the start.
constexpr ParamDefault CEffectReleaf::kDefaults[] = {
    Value(kDuration, 20),     Value(kCurve, 0), Value(kEndStrength, 100),
    Value(kStartStrength, 0), Value(kRamp, 0),
};

constexpr StartTable CEffectReleaf::kTable{kNumber, 5, -1, kAfter, kDefaults};

CEffectReleaf::CEffectReleaf(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

void CEffectReleaf::Print(EffectChannel* record, int) {
  Screen s;
  if (!TakeScreen(&s)) return;
  const EffectChannel& r = *record;
  const int level =
      std::clamp(Curve(r, Times(r.Param(kStartStrength), 256), Times(r.Param(kEndStrength), 256),
                       r.Param(kRamp), r.Param(kCurve)) /
                     100,
                 0, 256);
  // Every pixel but the last two of the screen.
  if (s.Size() > 2) filterrows::Relief(s.pixels, s.Size() - 2, level);
  if (s.w < 2) return;
  for (int y = 0; y < s.h; ++y) {
    uint32_t* row = s.Row(y);
    row[s.w - 1] = row[s.w - 2];
  }
}

namespace filterrows {

void ReliefScalar(uint32_t* p, size_t n, int level) {
  const int keep = 256 - level;
  for (size_t i = 0; i < n; ++i) {
    const uint32_t a = p[i], b = p[i + 1];
    uint32_t out = 0;
    for (int c = 0; c < 3; ++c) {
      const int pc = static_cast<int>((a >> (8 * c)) & 0xFF), qc = static_cast<int>((b >> (8 * c)) & 0xFF);
      const int e = ((pc - qc) >> 1) + 128;
      out |= static_cast<uint32_t>(std::clamp((e * level >> 8) + (pc * keep >> 8), 0, 255)) << (8 * c);
    }
    p[i] = out;
  }
}

#if defined(__SSE2__)
void Relief(uint32_t* p, size_t n, int level) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i lift = _mm_set1_epi16(256);
  const __m128i lvl = _mm_set1_epi16(static_cast<short>(level));
  const __m128i keep = _mm_set1_epi16(static_cast<short>(256 - level));
  const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
  // (p - q) >> 1 + 128 is (p + 256 - q) >> 1, which stays positive.
  auto half = [&](__m128i pp, __m128i qq) {
    const __m128i e = _mm_srli_epi16(_mm_sub_epi16(_mm_add_epi16(pp, lift), qq), 1);
    return _mm_add_epi16(_mm_srli_epi16(_mm_mullo_epi16(e, lvl), 8),
                         _mm_srli_epi16(_mm_mullo_epi16(pp, keep), 8));
  };
  size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 1));
    const __m128i lo = half(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero));
    const __m128i hi = half(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), _mm_and_si128(_mm_packus_epi16(lo, hi), colour));
  }
  ReliefScalar(p + i, n - i, level);
}
#else
void Relief(uint32_t* p, size_t n, int level) { ReliefScalar(p, n, level); }
#endif

}  // namespace filterrows

// --- #50 gradation ---

namespace {

// The band's first row and row count, held to the screen. Print applies
// them again to what the record holds.
void BandLimits(int* first, int* rows, int h) {
  *first = std::clamp(*first, 0, std::max(h - 1, 0));
  *rows = std::clamp(*rows, 0, h - *first);
}

}  // namespace

// Offsets of the top and bottom rows, from the start values to the end
// ones; the band is the whole screen.
constexpr ParamDefault CEffectGradation::kDefaults[] = {
    Value(kDuration, 20),
    Value(kEndTopRed, 0),
    Value(kEndTopGreen, 0),
    Value(kEndTopBlue, 0),
    Value(kEndBottomRed, 255),
    Value(kEndBottomGreen, 255),
    Value(kEndBottomBlue, 255),
    Value(kCurve, 0),
    Value(kRamp, 0),
    Value(kStartTopRed, 0),
    Value(kStartTopGreen, 0),
    Value(kStartTopBlue, 0),
    Value(kStartBottomRed, 0),
    Value(kStartBottomGreen, 0),
    Value(kStartBottomBlue, 0),
    Value(kFirstRow, 0),
    Value(kRows, Height()),
};

constexpr StartTable CEffectGradation::kTable{kNumber, 18, -1, kAfter, kDefaults};

CEffectGradation::CEffectGradation(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

int CEffectGradation::SetParam(EffectChannel* record, int count, const int* values, int) {
  const int h = CScreenBuffer::GetHeight();
  int p[kMaxParams];
  MakeParams(Table(), count, values, CScreenBuffer::GetWidth(), h, p);
  BandLimits(&p[kFirstRow], &p[kRows], h);
  return StartRecord(record, kNumber, p[kDuration], p, Table().max);
}

void CEffectGradation::Print(EffectChannel* record, int) {
  Screen s;
  if (!TakeScreen(&s)) return;
  const EffectChannel& r = *record;
  int first = r.Param(kFirstRow), n = r.Param(kRows);
  BandLimits(&first, &n, s.h);
  if (n <= 0 || manager_->GetWorkBufferSize() < n * 8) return;
  const int ramp = r.Param(kRamp), code = r.Param(kCurve);
  static constexpr int kStartTop[3] = {kStartTopRed, kStartTopGreen, kStartTopBlue};
  static constexpr int kEndTop[3] = {kEndTopRed, kEndTopGreen, kEndTopBlue};
  static constexpr int kStartBottom[3] = {kStartBottomRed, kStartBottomGreen, kStartBottomBlue};
  static constexpr int kEndBottom[3] = {kEndBottomRed, kEndBottomGreen, kEndBottomBlue};
  int top[3], bottom[3];
  for (int c = 0; c < 3; ++c) {
    top[c] = Curve(r, r.Param(kStartTop[c]), r.Param(kEndTop[c]), ramp, code);
    bottom[c] = Curve(r, r.Param(kStartBottom[c]), r.Param(kEndBottom[c]), ramp, code);
  }
  // One entry of three offsets (red, green, blue) per row of the band.
  int16_t* rows = reinterpret_cast<int16_t*>(manager_->GetWorkBuffer());
  for (int j = 0; j < n; ++j)
    for (int c = 0; c < 3; ++c) {
      const int64_t v = top[c] + (int64_t{bottom[c]} - top[c]) * j / n;
      rows[4 * j + c] = static_cast<int16_t>(std::clamp<int64_t>(v, -255, 255));
    }
  for (int j = 0; j < n; ++j)
    AddOffsets(s.Row(first + j), static_cast<size_t>(s.w), rows[4 * j], rows[4 * j + 1],
               rows[4 * j + 2]);
}

// --- #74 zoom blend ---

namespace {

// The centre's limit: 1 pixel inside the screen.
int CentreLimit(int v, int size) {
  v = std::max(v, 1);
  return v >= size - 1 ? size - 2 : v;
}

}  // namespace

// The centre on the screen, magnification and opacity in percent; each
// start value defaults to its end value.
constexpr ParamDefault CEffectBura::kDefaults[] = {
    Value(kDuration, 20),
    Value(kEndX, Width(1, 2)),
    Value(kEndY, Height(1, 2)),
    Value(kEndZoom, 105),
    Same(kStartZoom, kEndZoom),
    Value(kEndOpacity, 20),
    Same(kStartOpacity, kEndOpacity),
    Value(kZoomCurve, 0),
    Value(kZoomRamp, 0),
    Value(kOpacityCurve, 0),
    Value(kOpacityRamp, 0),
    Same(kStartX, kEndX),
    Same(kStartY, kEndY),
};
// The end centre one pixel inside the screen (as CentreLimit), before the
// start centre copies it.
constexpr ParamClamp CEffectBura::kClamps[] = {Range(kEndX, Fixed(1), Width(1, 1, -2)),
                                               Range(kEndY, Fixed(1), Height(1, 1, -2))};

constexpr StartTable CEffectBura::kTable{kNumber, 16, -1, kEach, kDefaults, kClamps};

CEffectBura::CEffectBura(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

void CEffectBura::Print(EffectChannel* record, int) {
  Screen s;
  if (!TakeScreen(&s) || s.w < 3 || s.h < 3) return;
  const EffectChannel& r = *record;
  const int64_t length = std::max(r.Duration(), 1);
  const int64_t m = std::clamp<int64_t>(r.Counter(), 0, length);
  // The start centre is not limited when given; the quadrants need it
  // inside the screen.
  const auto move = [&](int start, int end) {
    return Narrow(r.Param(start) + m * (int64_t{r.Param(end)} - r.Param(start)) / length);
  };
  cx_ = CentreLimit(move(kStartX, kEndX), s.w);
  cy_ = CentreLimit(move(kStartY, kEndY), s.h);
  double z = Curve(r, Times(r.Param(kStartZoom), 100), Times(r.Param(kEndZoom), 100),
                   r.Param(kZoomRamp), r.Param(kZoomCurve)) /
             100.0;
  if (z < 100) z = 100;
  const int a = Curve(r, r.Param(kStartOpacity), r.Param(kEndOpacity), r.Param(kOpacityRamp),
                      r.Param(kOpacityCurve));
  const double cx = cx_, cy = cy_, w = s.w, h = s.h;
  const double left = cx - cx * 100 / z, right = cx + (w - cx) * 100 / z;
  const double top = cy - cy * 100 / z, bottom = cy + (h - cy) * 100 / z;
  DrawQuadrant(0, 0, left, top, cx_, cy_, a);
  DrawQuadrant(s.w - 1, 0, right, top, -(s.w - cx_), cy_, a);
  DrawQuadrant(0, s.h - 1, left, bottom, cx_, -(s.h - cy_), a);
  DrawQuadrant(s.w - 1, s.h - 1, right, bottom, -(s.w - cx_), -(s.h - cy_), a);
}

void CEffectBura::DrawQuadrant(int x0, int y0, double sx, double sy, int dx, int dy, int opacity) {
  Screen s;
  if (!TakeScreen(&s) || dx == 0 || dy == 0) return;
  const int64_t wFixed = int64_t{s.w} * 65536, hFixed = int64_t{s.h} * 65536;
  const int64_t startX = std::min<int64_t>(std::max<int64_t>(ClampToInt(sx * 65536), 0), wFixed - 1);
  int64_t yFixed = std::min<int64_t>(std::max<int64_t>(ClampToInt(sy * 65536), 0), hFixed - 1);
  const int columns = std::abs(dx), rows = std::abs(dy);
  const int64_t stepX = ClampToInt((cx_ - sx) / columns * 65536);
  const int64_t stepY = ClampToInt((cy_ - sy) / rows * 65536);
  const uint32_t j = static_cast<uint32_t>(std::clamp<int64_t>(int64_t{opacity} * 256 / 100, 0, 256));
  const uint32_t k =
      static_cast<uint32_t>(std::clamp<int64_t>((100 - int64_t{opacity}) * 256 / 100, 0, 256));
  // j + k is at most 256, so neither half of the packed sums overflows and
  // no byte goes past 255.
  if (j == 0 && k == 256) return;
  const int xStep = dx > 0 ? 1 : -1, yStep = dy > 0 ? 1 : -1;
  // Every row of the quadrant reads the same source columns.
  if (manager_->GetWorkBufferSize() < columns * 4) return;
  int32_t* sourceColumn = reinterpret_cast<int32_t*>(manager_->GetWorkBuffer());
  int64_t xFixed = startX;
  for (int i = 0; i < columns; ++i, xFixed += stepX)
    sourceColumn[i] = static_cast<int32_t>(std::clamp<int64_t>(xFixed >> 16, 0, s.w - 1));
  for (int row = 0, y = y0; row < rows; ++row, y += yStep, yFixed += stepY) {
    const int64_t sourceY = yFixed >> 16;
    if (sourceY >= s.h || sourceY < 0) continue;
    const uint32_t* source = s.Row(static_cast<int>(sourceY));
    uint32_t* out = s.Row(y) + x0;
    for (int i = 0; i < columns; ++i, out += xStep) {
      const uint32_t a = source[sourceColumn[i]], b = *out;
      const uint32_t rb = ((a & 0xFF00FF) * j + (b & 0xFF00FF) * k) >> 8 & 0xFF00FF;
      const uint32_t g = ((a & 0xFF00) * j + (b & 0xFF00) * k) >> 8 & 0xFF00;
      *out = rb | g;
    }
  }
}

// --- #76 streak ---

// The blur's length in lines at full progress; the margin has no default of
// its own: SetParam keeps it at least four lines beyond the length.
constexpr ParamDefault CEffectSlash::kDefaults[] = {
    Value(kDuration, 20), Value(kDirection, 0), Value(kCurve, 0),
    Value(kRamp, 0),      Value(kLength, 32),   NoDefault(kMargin),
};
constexpr ParamClamp CEffectSlash::kClamps[] = {Range(kLength, 1, 255)};

constexpr StartTable CEffectSlash::kTable{kNumber, 6, -1, kEach, kDefaults, kClamps};

CEffectSlash::CEffectSlash(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

int CEffectSlash::SetParam(EffectChannel* record, int count, const int* values, int) {
  int p[kMaxParams];
  const int given =
      MakeParams(Table(), count, values, CScreenBuffer::GetWidth(), CScreenBuffer::GetHeight(), p);
  Default(p, given, kMargin, p[kLength] + 4);
  p[kMargin] = std::max(p[kMargin], p[kLength] + 4);
  return StartRecord(record, kNumber, p[kDuration], p, Table().max);
}

namespace {

// The average of n bytes from their sum, in the blur's fixed point.
inline uint32_t Average(uint32_t sum, uint32_t m) {
  return std::min<uint32_t>(((sum / 2) * m) / 65536 * 2, 255);
}

}  // namespace

void CEffectSlash::Draw(EffectChannel* record, int channel, bool plain) {
  Screen s;
  if (!TakeScreen(&s)) return;
  const EffectChannel& r = *record;
  const int64_t g = std::clamp(Curve(r, 0, 100, r.Param(kRamp), r.Param(kCurve)), 0, 100);
  if (!RecordPicture(r)) return;
  CPicture* picture = manager_->GetPicture(channel);
  if (!picture || picture->Get256Flag() || !picture->GetPixelBuffer()) return;
  const int pw = picture->GetWidth(), ph = picture->GetHeight();
  const int px = r.DrawRect()[0], py = r.DrawRect()[1];
  if (px > 0 || py > 0 || pw < int64_t{s.w} - px || ph < int64_t{s.h} - py) return;

  const int direction = r.Param(kDirection);
  const bool vertical = direction != 2 && direction != 3;
  const int lines = vertical ? s.h : s.w;
  const int64_t span = std::max<int64_t>(int64_t{lines} - r.Param(kMargin), 0);
  const int64_t travel = std::clamp<int64_t>(g * span / 100, 0, span);
  int n = static_cast<int>(std::clamp<int64_t>(g * r.Param(kLength) / 100, 0, 256));
  if (n <= 1) {
    picture->Blt(px, py, 0, 0, pw, ph, 0);
    return;
  }
  // A blur longer than the screen averages all of it, not lines beyond it.
  n = std::min(n, lines);
  const bool fromTravel = direction == 0 || direction == 2;
  const int64_t start = fromTravel ? travel : 0;
  const int64_t end = fromTravel ? lines - n : lines - travel - n;
  if (manager_->GetWorkBufferSize() < lines * 4) return;
  int32_t* first = reinterpret_cast<int32_t*>(manager_->GetWorkBuffer());
  for (int k = 0; k < lines; ++k) {
    const int64_t at = start + (end - start) * std::max(k - 1, 0) / lines;
    first[k] = static_cast<int32_t>(std::clamp<int64_t>(at, 0, lines - n));
  }
  const uint32_t m = static_cast<uint32_t>(std::min(65536 / n, 32767));
  const uint32_t* source = picture->GetPixelBuffer() + static_cast<size_t>(-py) * pw - px;
  if (plain)
    Plain(source, pw, first, n, m, vertical);
  else if (vertical)
    Vertical(source, pw, first, n, m);
  else
    Horizontal(source, pw, first, n, m);
}

void CEffectSlash::Plain(const uint32_t* source, int pitch, const int32_t* first, int n,
                         uint32_t m, bool vertical) {
  Screen s;
  TakeScreen(&s);
  for (int y = 0; y < s.h; ++y)
    for (int x = 0; x < s.w; ++x) {
      uint32_t sum[3] = {0, 0, 0};
      for (int i = 0; i < n; ++i) {
        const uint32_t v = vertical ? source[static_cast<size_t>(first[y] + i) * pitch + x]
                                    : source[static_cast<size_t>(y) * pitch + first[x] + i];
        for (int c = 0; c < 3; ++c) sum[c] += (v >> (8 * c)) & 0xFF;
      }
      s.Row(y)[x] = Pack(Average(sum[2], m), Average(sum[1], m), Average(sum[0], m));
    }
}

namespace {

// Sums of n bytes into averages, byte by byte; the top bytes become 0.
void AverageRow(const uint16_t* sums, size_t pixels, uint32_t m, uint32_t* out) {
  size_t x = 0;
#if defined(__SSE2__)
  // ((sum / 2) x m) / 65536 is the high half of a 16 x 16 product.
  const __m128i mm = _mm_set1_epi16(static_cast<short>(m));
  const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
  for (; x + 4 <= pixels; x += 4) {
    const __m128i* in = reinterpret_cast<const __m128i*>(sums + 4 * x);
    const __m128i lo = _mm_slli_epi16(_mm_mulhi_epu16(_mm_srli_epi16(_mm_loadu_si128(in), 1), mm), 1);
    const __m128i hi = _mm_slli_epi16(_mm_mulhi_epu16(_mm_srli_epi16(_mm_loadu_si128(in + 1), 1), mm), 1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_and_si128(_mm_packus_epi16(lo, hi), colour));
  }
#endif
  for (; x < pixels; ++x)
    out[x] = Pack(Average(sums[4 * x + 2], m), Average(sums[4 * x + 1], m), Average(sums[4 * x], m));
}

// sums[k] += in[k] - out[k] (out may be null) over 16-bit lanes.
void SlideSums(uint16_t* sums, const uint8_t* in, const uint8_t* out, size_t lanes) {
  size_t k = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (; k + 16 <= lanes; k += 16) {
    __m128i* s = reinterpret_cast<__m128i*>(sums + k);
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + k));
    __m128i lo = _mm_add_epi16(_mm_loadu_si128(s), _mm_unpacklo_epi8(a, zero));
    __m128i hi = _mm_add_epi16(_mm_loadu_si128(s + 1), _mm_unpackhi_epi8(a, zero));
    if (out) {
      const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out + k));
      lo = _mm_sub_epi16(lo, _mm_unpacklo_epi8(b, zero));
      hi = _mm_sub_epi16(hi, _mm_unpackhi_epi8(b, zero));
    }
    _mm_storeu_si128(s, lo);
    _mm_storeu_si128(s + 1, hi);
  }
#endif
  for (; k < lanes; ++k) sums[k] = static_cast<uint16_t>(sums[k] + in[k] - (out ? out[k] : 0));
}

}  // namespace

void CEffectSlash::Vertical(const uint32_t* source, int pitch, const int32_t* first, int n,
                            uint32_t m) {
  Screen s;
  TakeScreen(&s);
  // One 16-bit sum per byte of every column (the top bytes' go unused).
  const size_t lanes = static_cast<size_t>(s.w) * 4;
  if (sums_.size() < lanes) sums_.resize(lanes);
  uint16_t* sums = sums_.data();
  auto bytesOf = [&](int y) {
    return reinterpret_cast<const uint8_t*>(source + static_cast<size_t>(y) * pitch);
  };
  int previous = -1;
  for (int y = 0; y < s.h; ++y) {
    const int from = first[y];
    if (previous < 0 || from < previous || from - previous >= n) {
      std::fill_n(sums, lanes, uint16_t{0});
      for (int i = 0; i < n; ++i) SlideSums(sums, bytesOf(from + i), nullptr, lanes);
    } else {
      // The window slides: the line entering in, the line leaving out.
      for (int i = previous; i < from; ++i) SlideSums(sums, bytesOf(i + n), bytesOf(i), lanes);
    }
    previous = from;
    AverageRow(sums, static_cast<size_t>(s.w), m, s.Row(y));
  }
}

void CEffectSlash::Horizontal(const uint32_t* source, int pitch, const int32_t* first, int n,
                              uint32_t m) {
  Screen s;
  TakeScreen(&s);
#if defined(__SSE2__)
  // The windows a row uses start at first[0] .. first[W - 1]: each of them
  // once, sliding (16-bit lanes: a sum is at most 65280, and adding before
  // subtracting never leaves the lane), then averaged, then handed out.
  // (A record's margin below the blur can make them run backward.)
  const int lowest = *std::min_element(first, first + s.w);
  const int count = *std::max_element(first, first + s.w) - lowest + 1;
  const size_t lanes = static_cast<size_t>(count) * 4;
  if (sums_.size() < lanes + 8) sums_.resize(lanes + 8);
  if (averages_.size() < static_cast<size_t>(count) + 4) averages_.resize(static_cast<size_t>(count) + 4);
  uint16_t* windows = sums_.data();
  uint32_t* averages = averages_.data();
  const __m128i zero = _mm_setzero_si128();
  auto widen = [&](uint32_t p) { return _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(p)), zero); };
  for (int y = 0; y < s.h; ++y) {
    const uint32_t* in = source + static_cast<size_t>(y) * pitch + lowest;
    __m128i sum = zero;
    for (int i = 0; i < n; ++i) sum = _mm_add_epi16(sum, widen(in[i]));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(windows), sum);
    for (int k = 1; k < count; ++k) {
      sum = _mm_sub_epi16(_mm_add_epi16(sum, widen(in[k - 1 + n])), widen(in[k - 1]));
      _mm_storel_epi64(reinterpret_cast<__m128i*>(windows + 4 * k), sum);
    }
    AverageRow(windows, static_cast<size_t>(count), m, averages);
    uint32_t* out = s.Row(y);
    for (int x = 0; x < s.w; ++x) out[x] = averages[first[x] - lowest];
  }
#else
  Plain(source, pitch, first, n, m, false);
#endif
}

// --- #128 sepia, #129 grey ---

namespace {

int LayerLevel(const EffectChannel& r) {
  using S = CStrengthFilterEffect;
  return std::clamp(
      Curve(r, Times(r.Param(S::kStartStrength), 256), Times(r.Param(S::kEndStrength), 256),
            r.Param(S::kRamp), r.Param(S::kCurve)) /
          100,
      0, 256);
}

}  // namespace

constexpr ParamDefault CEffectLayerSepia::kTintDefaults[] = {Value(kRed, 107), Value(kGreen, 74),
                                                             Value(kBlue, 43)};

namespace {
constexpr auto kSepiaRows =
    Rows(CStrengthFilterEffect::kDefaults, CEffectLayerSepia::kTintDefaults);
}  // namespace

constexpr StartTable CEffectLayerSepia::kTable{kNumber, 8, -1, kAfter, kSepiaRows};

CEffectLayerSepia::CEffectLayerSepia(CEffectManager* manager)
    : CStrengthFilterEffect(manager, kTable) {}

void CEffectLayerSepia::Print(EffectChannel* record, int) {
  CAllGraphics::LayerSepia(LayerLevel(*record), record->Param(kRed), record->Param(kGreen),
                           record->Param(kBlue));
}

constexpr StartTable CEffectLayerGrey::kTable{kNumber, 5, -1, kAfter, kDefaults};

CEffectLayerGrey::CEffectLayerGrey(CEffectManager* manager)
    : CStrengthFilterEffect(manager, kTable) {}

void CEffectLayerGrey::Print(EffectChannel* record, int) { CAllGraphics::LayerGrey(LayerLevel(*record)); }
