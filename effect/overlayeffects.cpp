#include "effect/overlayeffects.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "effect/calcucurve.h"
#include "effect/effectmanager.h"
#include "effect/fadeeffects.h"
#include "effect/packedpixel.h"
#include "graphics/allgeo.h"
#include "graphics/lanes.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "setup/random.h"

using namespace effectstart;

namespace {

constexpr ClampTiming kAfter = ClampTiming::kAfterDefaults;

int Byte(int v) { return std::clamp(v, 0, 255); }
uint32_t ColourWord(int r, int g, int b) {
  return static_cast<uint32_t>(Byte(r)) << 16 | static_cast<uint32_t>(Byte(g)) << 8 |
         static_cast<uint32_t>(Byte(b));
}

// a x p / 10000 for the bars, held to the int range.
int64_t Progress(int64_t a, int64_t p) {
  return static_cast<int64_t>(static_cast<__int128>(a) * p / 10000);
}

// sqrt (W W + (H H) / 4), the distance from the screen's centre to a corner
// of a screen half as tall.
double CornerDistance(int w, int h) {
  return std::sqrt(static_cast<double>(int64_t{w} * w + int64_t{h} * h / 4));
}

}  // namespace

// --- #28 ---

// The start radius is a root of the screen size: SetParam gives it.
constexpr ParamDefault CEffectCircle::kDefaults[] = {
    Value(kDuration, 20),  Value(kCentreX, Width(1, 2)), Value(kCentreY, Height(1, 2)),
    Value(kEndRadius, 60), NoDefault(kStartRadius),      Value(kRed, 0),
    Same(kGreen, kRed),    Same(kBlue, kGreen),
};

constexpr StartTable CEffectCircle::kTable{kNumber, 8, -1, kAfter, kDefaults};

CEffectCircle::CEffectCircle(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

int CEffectCircle::StartRadius(int w, int h) { return ClampToInt(CornerDistance(w, h)); }
int CEffectCircle::OpenRadius(int w, int h) { return ClampToInt(CornerDistance(w, h) + 0.5); }

int CEffectCircle::SetParam(EffectChannel* record, int count, const int* values, int) {
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  int p[kMaxParams];
  const int given = MakeParams(Table(), count, values, w, h, p);
  Default(p, given, kStartRadius, StartRadius(w, h));
  return StartRecord(record, kNumber, p[kDuration], p, Table().max);
}

int CEffectCircle::Radius(const EffectChannel& record) {
  int64_t n = 1, d = 1;
  if (record.Duration() > 0) {
    d = record.Duration();
    n = std::clamp<int64_t>(record.Counter(), 0, d);
  }
  const int64_t from = record.Param(kStartRadius), to = record.Param(kEndRadius);
  return std::max(Clamp32(from + ((to - from) * n + d / 2) / d), 1);
}

void CEffectCircle::Print(EffectChannel* record, int) {
  const int W = CScreenBuffer::GetWidth(), H = CScreenBuffer::GetHeight();
  uint32_t* screen = CScreenBuffer::GetBuffer();
  if (!screen || W <= 0 || H <= 0) return;
  const EffectChannel& r = *record;
  const uint32_t colour = ColourWord(r.Param(kRed), r.Param(kGreen), r.Param(kBlue));
  const int64_t radius = Radius(r), cx = r.Param(kCentreX), cy = r.Param(kCentreY);
  // Columns x0..x1 of row y, both on the screen.
  const auto fill = [&](int64_t y, int64_t x0, int64_t x1) {
    std::fill(screen + y * W + x0, screen + y * W + x1 + 1, colour);
  };
  if (cy - radius >= 0)
    for (int64_t y = 0; y <= std::min<int64_t>(cy - radius, H - 1); ++y) fill(y, 0, W - 1);
  if (cy + radius < H)
    for (int64_t y = std::max<int64_t>(0, cy + radius); y < H; ++y) fill(y, 0, W - 1);
  // Only the circle's rows that lie on the screen.
  const int64_t last = std::min<int64_t>(H - 1, cy + radius);
  for (int64_t y = std::max<int64_t>(0, cy - radius); y <= last; ++y) {
    const int64_t i = y - cy;
    const int64_t m = static_cast<int64_t>(
        std::sqrt(static_cast<double>(std::max<int64_t>(0, radius * radius - i * i))) + 0.5);
    if (cx - m >= 0) fill(y, 0, std::min<int64_t>(cx - m, W - 1));
    if (cx + m < W) fill(y, std::max<int64_t>(0, cx + m), W - 1);
  }
}

int CEffectCircle::Finish(EffectChannel* record, int channel) {
  const int end = record->Param(kEndRadius);
  if (end <= 1) {
    // The bytes the iris drew.
    const int r = Byte(record->Param(kRed)), g = Byte(record->Param(kGreen)),
              b = Byte(record->Param(kBlue));
    record->EffectNumber() = CEffectFill::kNumber;
    record->Param(CEffectFill::kRed) = r;
    record->Param(CEffectFill::kGreen) = g;
    record->Param(CEffectFill::kBlue) = b;
  } else if (end >= OpenRadius(CScreenBuffer::GetWidth(), CScreenBuffer::GetHeight())) {
    EndAsLayer(record, channel);
  }
  return 1;
}

// --- #103 ---

// The start progress and the translucency in percent.
constexpr ParamDefault CEffectTarget1::kDefaults[] = {
    Value(kDuration, 20),
    Value(kTargetX, Width(1, 4)),
    Value(kTargetY, Height(1, 4)),
    Value(kTargetWidth, Width(1, 2)),
    Value(kTargetHeight, Height(1, 2)),
    Value(kThickness, 1),
    Value(kRed, 255),
    Value(kGreen, 255),
    Value(kBlue, 255),
    Value(kFillMode, kSolid),
    Value(kCurve, 0),
    Value(kRamp, 0),
    Value(kStartPercent, 0),
    Value(kTranslucency, 50),
};
// The target held on the screen, at least one pixel; the bars at least one
// pixel thick and no thicker than the screen.
constexpr ParamClamp CEffectTarget1::kClamps[] = {
    Range(kTargetX, Fixed(0), Width(1, 1, -1)),
    Range(kTargetY, Fixed(0), Height(1, 1, -1)),
    SumAtMost(kTargetWidth, kTargetX, Width()),
    SumAtMost(kTargetHeight, kTargetY, Height()),
    Range(kTargetWidth, 1, INT_MAX),
    Range(kTargetHeight, 1, INT_MAX),
    Range(kThickness, 1, INT_MAX),
    AtMost(kThickness, Width()),
    AtMost(kThickness, Height()),
};

constexpr StartTable CEffectTarget1::kTable{kNumber, 16, -1, kAfter, kDefaults, kClamps};

CEffectTarget1::CEffectTarget1(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

void CEffectTarget1::Print(EffectChannel* record, int) {
  const int W = CScreenBuffer::GetWidth(), H = CScreenBuffer::GetHeight();
  const EffectChannel& r = *record;
  const int64_t p = CalcuCurve(r.Counter(), r.Duration(), ScaledValue(r.Param(kStartPercent), 100),
                               10000, r.Param(kRamp), r.Param(kCurve));
  const int64_t t = r.Param(kThickness), x = r.Param(kTargetX), y = r.Param(kTargetY),
                w = r.Param(kTargetWidth), h = r.Param(kTargetHeight);
  const int left = Clamp32(Progress(x, p));
  const int right = Clamp32(Progress(x + w - t - (W - t), p) + (W - t));
  const int top = Clamp32(Progress(y, p));
  const int bottom = Clamp32(Progress(y + h - t - (H - t), p) + (H - t));
  const int thick = r.Param(kThickness);
  const int boxes[4][4] = {
      {left, 0, thick, H}, {right, 0, thick, H}, {0, top, W, thick}, {0, bottom, W, thick}};
  for (const auto& box : boxes) {
    if (r.Param(kFillMode) == kSolid) {
      CAllGeo::BoxFill(box[0], box[1], box[2], box[3], Byte(r.Param(kRed)), Byte(r.Param(kGreen)),
                       Byte(r.Param(kBlue)));
    } else if (r.Param(kFillMode) == kTranslucent) {
      CAllGeo::TransBoxFill(box[0], box[1], box[2], box[3], Byte(r.Param(kRed)),
                            Byte(r.Param(kGreen)), Byte(r.Param(kBlue)), r.Param(kTranslucency));
    } else {
      const auto add = [](int v) { return std::clamp(v, -255, 255); };
      CAllGeo::AddBoxFill(box[0], box[1], box[2], box[3], add(r.Param(kRed)), add(r.Param(kGreen)),
                          add(r.Param(kBlue)), 100);
    }
  }
}

// --- #26 ---

CEffectRemember::CEffectRemember(CEffectManager* manager) : CCommonEffect(manager) {
  const int h = std::max(CScreenBuffer::GetHeight(), 0);
  left_.assign(static_cast<size_t>(h), 0);
  right_.assign(static_cast<size_t>(h), 0);
}

int CEffectRemember::SetParam(EffectChannel* record, int, const int*, int) {
  return StartRecord(record, kNumber, 99999, nullptr, 0);
}

void CEffectRemember::Restore(EffectChannel* record, int channel) {
  SetParam(record, 1, &record->Param(0), channel);
}

void CEffectRemember::MakeEdges(int t, int w, int h) {
  h = std::max(h, 0);
  left_.assign(static_cast<size_t>(h), 0);
  right_.assign(static_cast<size_t>(h), 0);
  static constexpr double kA[4] = {0.3, 0.22, 0.27, 0.19};
  static constexpr double kE[4] = {2, 3, 5, 7};
  static constexpr double kBase[4] = {15, 23, 17, 20};
  static constexpr double kB[4] = {0.05145735, 0.0362343, 0.053232, 0.03417};
  static constexpr double kC[4] = {0.0345698, 0.002178934, 0.04425678, 0.001234786};
  static constexpr double kD[4] = {0, 4, 11, 15};
  double a[4], phase0[4];
  for (int k = 0; k < 4; ++k) {
    a[k] = (std::cos(t * kA[k] + kE[k]) + 1.5) * kBase[k];
    phase0[k] = t * kC[k] * 3.14159 + kD[k];
  }
  const auto wave = [&](int y, int k) { return std::cos(y * kB[k] + phase0[k]) * a[k]; };
  for (int y = 0; y < h; ++y) {
    left_[y] = static_cast<int>(wave(y, 0) + wave(y, 1) + 0.5) + 64;
    right_[y] = static_cast<int>(wave(y, 2) + wave(y, 3) + 0.5) + w - 64;
  }
  if (h == 0) return;
  // The rounded top and bottom, on the rows the screen has; the rows they
  // measure held inside it.
  const auto span = [&](int row) {
    row = std::clamp(row, 0, h - 1);
    return static_cast<double>(right_[row]) - left_[row];
  };
  const double top = span(100);
  for (int y = 0; y < std::min(100, h); ++y) {
    const int s = static_cast<int>(std::sin((100 - y) / 400.0 * 6.28318) * 0.4 * top);
    left_[y] += s;
    right_[y] -= s;
    if (left_[y] >= w / 2) left_[y] = w / 2 - 1;
    if (right_[y] <= w / 2) right_[y] = w / 2 + 1;
  }
  const double bottomSpan = span(h - 101);
  const int half = static_cast<int>(bottomSpan) / 2;
  for (int i = 0; i < 100; ++i) {
    const int y = h - 100 + i;
    if (y < 0) continue;
    const int s = static_cast<int>(std::sin(i / 400.0 * 6.28318) * 0.4 * bottomSpan);
    left_[y] += s;
    right_[y] -= s;
    if (left_[y] > half - 1) left_[y] = half - 1;
    if (right_[y] < half + 1) right_[y] = half + 1;
  }
}

void CEffectRemember::Whiten(uint32_t* screen, int w, int h) const {
  if (w <= 0) return;
  const int pairs = (w + 1) / 2;
  // Pair j's pixels gain `add` on every colour byte; the top byte is 0.
  const auto lighten = [&](uint32_t* row, int64_t j, int64_t add) {
    const uint32_t word = static_cast<uint32_t>(std::min<int64_t>(add, 255)) * 0x010101u;
    for (int64_t x = 2 * j; x < std::min<int64_t>(2 * j + 2, w); ++x)
      row[x] = packedpixel::SaturatingAdd(row[x] & 0xFFFFFFu, word);
  };
  for (int y = 0; y < std::min<int>(h, static_cast<int>(left_.size())); ++y) {
    uint32_t* row = screen + static_cast<size_t>(y) * w;
    // A left edge beyond the row (a narrow screen) ramps from its own pair;
    // only the row's pairs are drawn.
    const int64_t from = int64_t{left_[y]} + 64;
    if (from >= 0)
      for (int64_t j = std::min<int64_t>(from / 2, pairs - 1); j >= 0; --j)
        lighten(row, j, 4 * (from / 2 - j));
    const int64_t to = int64_t{right_[y]} - 64;
    if (to >= 0 && to < w)
      for (int64_t j = to / 2; j < pairs; ++j) lighten(row, j, 4 * (j - to / 2));
  }
}

void CEffectRemember::Print(EffectChannel*, int) {
  const int W = CScreenBuffer::GetWidth(), H = CScreenBuffer::GetHeight();
  uint32_t* screen = CScreenBuffer::GetBuffer();
  if (!screen || W <= 0 || H <= 0) return;
  if (++frames_ > 100000000) frames_ = 0;
  MakeEdges(frames_, W, H);
  Whiten(screen, W, H);
}

// --- #109 ---

// The first value is kept, not used. The phases' lengths in frames, the
// frames on and off while flickering and the chance in percent of a random
// flip in a drawn flickering frame.
constexpr ParamDefault CEffectOldLamp::kDefaults[] = {
    NoDefault(kDuration),   Value(kFlickerFrames, 20), Value(kSteadyFrames, 0),
    Value(kDarkFrames, 40), Value(kOnFrames, 1),       Value(kOffFrames, 1),
    Value(kFlipChance, 0),
};

constexpr StartTable CEffectOldLamp::kTable{kNumber, 16, 999999, kAfter, kDefaults};
static_assert(CEffectOldLamp::kState >= CEffectOldLamp::kTable.max,
              "the lamp's state follows its values");

CEffectOldLamp::CEffectOldLamp(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

int CEffectOldLamp::SetParam(EffectChannel* record, int count, const int* values, int channel) {
  CTableStartEffect::SetParam(record, count, values, channel);
  record->Param(kState) = kFlickering;
  record->Param(kTimer) = 0;
  return 1;
}

void CEffectOldLamp::Calcu(EffectChannel* record, int) {
  EffectChannel& r = *record;
  if (r.Counter() > 10000) r.Counter() = 0;
  const int64_t timer = int64_t{r.Param(kTimer)} - 1;
  r.Param(kTimer) = Clamp32(timer);
  if (timer >= 0) return;
  int64_t length = 0;
  if (r.Param(kState) == kSteady || r.Param(kState) == kDark) {
    r.Param(kState) = kFlickering;
    length = r.Param(kFlickerFrames);
  } else {
    const int64_t steady = r.Param(kSteadyFrames), dark = r.Param(kDarkFrames);
    if (crt::rand() % std::max<int64_t>(1, steady + dark) < steady) {
      r.Param(kState) = kSteady;
      length = steady;
    } else {
      r.Param(kState) = kDark;
      length = dark;
    }
  }
  if (length > 0) length += crt::rand() % length - length / 2;
  r.Param(kTimer) = Clamp32(std::max<int64_t>(length, 1));
}

void CEffectOldLamp::Print(EffectChannel* record, int channel) {
  const EffectChannel& r = *record;
  if (r.Param(kState) == kDark) return;
  bool lit = true;
  if (r.Param(kState) != kSteady) {
    const int64_t on = r.Param(kOnFrames);
    lit = r.Param(kTimer) % std::max<int64_t>(1, on + r.Param(kOffFrames)) < on;
    if (r.Param(kFlipChance) > 0 && crt::rand() % 100 < r.Param(kFlipChance)) lit = !lit;
  }
  CPicture* picture = RecordPicture(r);
  if (!lit || !picture) return;
  int x = 0, y = 0;
  manager_->GetDrawPos(channel, &x, &y);
  picture->Blt(x, y, 0, 0, picture->GetWidth(), picture->GetHeight(), 1);
}

// --- #112 ---

// The band's width in pixels, its soft edges in percent of it, and its
// colour.
constexpr ParamDefault CEffectCharaMetal::kDefaults[] = {
    Value(kDuration, 20),    Value(kDirection, 0), Value(kBandWidth, 64),
    Value(kSoftPercent, 25), Value(kCurve, 0),     Value(kRamp, 0),
    Value(kRed, 255),        Same(kGreen, kRed),   Same(kBlue, kGreen),
};

constexpr StartTable CEffectCharaMetal::kTable{kNumber, 16, -1, kAfter, kDefaults};

CEffectCharaMetal::CEffectCharaMetal(CEffectManager* manager)
    : CTableStartEffect(manager, kTable) {}

int CEffectCharaMetal::BandWidth(int band, int w, int h, int capacity) {
  const int64_t room = int64_t{capacity} - w - h;
  return static_cast<int>(std::clamp<int64_t>(band, 0, std::max<int64_t>(room, 0)));
}

void CEffectCharaMetal::MakeTable(uint32_t* table, int entries, int64_t start, int band,
                                  int softPercent, int r, int g, int b) {
  std::fill_n(table, std::max(entries, 0), 0u);
  const int64_t soft = int64_t{softPercent} * band / 100;
  const int64_t first = std::max<int64_t>(0, -start);
  const int64_t last = std::min<int64_t>(band, entries - start);
  for (int64_t j = first; j < last; ++j) {
    int64_t num = 1, den = 1;
    if (soft > 0 && j < soft) {
      num = j;
      den = soft;
    } else if (soft > 0 && j >= band - soft) {
      num = band - j;
      den = soft;
    }
    const auto part = [&](int c) {
      return static_cast<int>(std::clamp<int64_t>(int64_t{c} * num / den, 0, 255));
    };
    table[start + j] = ColourWord(part(r), part(g), part(b));
  }
}

void CEffectCharaMetal::ShineRowPlain(uint32_t* screen, const uint32_t* picture,
                                      const uint8_t* mask, const uint32_t* colour, int step,
                                      int n) {
  for (int i = 0; i < n; ++i) {
    const int m = mask[i];
    if (m == 0) continue;
    const uint32_t c = colour[static_cast<size_t>(i) * step];
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
      const int v = std::min(255, static_cast<int>((picture[i] >> shift & 255) + (c >> shift & 255)));
      const int s = static_cast<int>(screen[i] >> shift & 255);
      const int mixed = m == 255 ? v : std::min(255, (v * m >> 8) + (s * (256 - m) >> 8));
      out |= static_cast<uint32_t>(mixed) << shift;
    }
    screen[i] = out;
  }
}

void CEffectCharaMetal::ShineRow(uint32_t* screen, const uint32_t* picture, const uint8_t* mask,
                                 const uint32_t* colour, int step, int n) {
  int i = 0;
#if defined(__SSE2__)
  // Four pixels at a time: v in the byte lanes, the mask's weights m and
  // 256 - m in the 16-bit lanes of each pixel; mask 255 takes v, mask 0
  // keeps the screen.
  const __m128i low24 = _mm_set1_epi32(0x00FFFFFF), zero = _mm_setzero_si128();
  const __m128i full = _mm_set1_epi16(256), opaque = _mm_set1_epi32(255);
  for (; i + 4 <= n; i += 4) {
    uint32_t m4 = 0;
    std::memcpy(&m4, mask + i, 4);
    if (m4 == 0) continue;
    const __m128i c = step ? lanes::Load(colour + i) : _mm_set1_epi32(static_cast<int>(colour[0]));
    const __m128i v = _mm_adds_epu8(_mm_and_si128(lanes::Load(picture + i), low24), c);
    if (m4 == 0xFFFFFFFFu) {
      lanes::Store(screen + i, v);
      continue;
    }
    const __m128i s = lanes::Load(screen + i);
    const __m128i m16 = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(m4)), zero);
    const __m128i weight = _mm_unpacklo_epi16(m16, m16);
    const __m128i m32 = _mm_unpacklo_epi16(m16, zero);
    __m128i out = lanes::SumOfShiftedProducts(v, _mm_and_si128(s, low24), weight,
                                              _mm_sub_epi16(full, weight));
    // Masks of 0 or 255 among the four (a byte of m4 or of ~m4 is 0).
    const auto anyZeroByte = [](uint32_t w) { return (w - 0x01010101u) & ~w & 0x80808080u; };
    if (anyZeroByte(~m4)) out = lanes::Select(_mm_cmpeq_epi32(m32, opaque), v, out);
    if (anyZeroByte(m4)) out = lanes::Select(_mm_cmpeq_epi32(m32, zero), s, out);
    lanes::Store(screen + i, out);
  }
#endif
  for (; i < n; ++i) {
    const uint32_t m = mask[i];
    if (m == 0) continue;
    const uint32_t v = packedpixel::SaturatingAdd(picture[i] & 0xFFFFFFu,
                                                  colour[static_cast<size_t>(i) * step]);
    screen[i] = m == 255 ? v : packedpixel::BlendApart256(screen[i] & 0xFFFFFFu, v, static_cast<int>(m));
  }
}

void CEffectCharaMetal::Print(EffectChannel* record, int channel) {
  const int W = CScreenBuffer::GetWidth(), H = CScreenBuffer::GetHeight();
  uint32_t* screen = CScreenBuffer::GetBuffer();
  CPicture* picture = RecordPicture(*record);
  if (!screen || W <= 0 || H <= 0 || !picture || picture->Get256Flag() ||
      !picture->GetMaskFlag() || !picture->GetMask() || !picture->GetPixelBuffer())
    return;
  const EffectChannel& r = *record;
  const int pw = picture->GetWidth(), ph = picture->GetHeight();
  const int direction =
      r.Param(kDirection) >= 0 && r.Param(kDirection) <= 3 ? r.Param(kDirection) : 0;
  auto* table = reinterpret_cast<uint32_t*>(manager_->GetWorkBuffer());
  const int band = BandWidth(r.Param(kBandWidth), W, H, manager_->GetWorkBufferSize() / 4);
  const int64_t travel = direction == 0 ? int64_t{band} + ph
                         : direction == 1 ? pw
                                          : int64_t{pw} + ph;
  const int pos =
      CalcuCurve(r.Counter(), r.Duration(), 0, Clamp32(travel), r.Param(kRamp), r.Param(kCurve));
  int x = 0, y = 0;
  manager_->GetDrawPos(channel, &x, &y);
  const int64_t offset = direction == 0 ? y : direction == 1 ? x : int64_t{x} + y;
  MakeTable(table, W + H + band, int64_t{pos} - band + offset, band, r.Param(kSoftPercent),
            r.Param(kRed), r.Param(kGreen), r.Param(kBlue));
  int dx = x, dy = y, sx = 0, sy = 0, w = pw, h = ph;
  if (!picture->ClipToScreen(&dx, &dy, &sx, &sy, &w, &h)) return;
  const uint32_t* pixels = picture->GetPixelBuffer();
  const uint8_t* mask = picture->GetMask();
  for (int j = 0; j < h; ++j) {
    const size_t at = static_cast<size_t>(sy + j) * pw + sx;
    const int row = dy + j;
    const uint32_t* colour = direction == 0   ? table + row
                             : direction == 1 ? table + dx
                             : direction == 3 ? table + dx + j
                                              : table + dx + H - j;
    ShineRow(screen + static_cast<size_t>(row) * W + dx, pixels + at, mask + at, colour,
             direction == 0 ? 0 : 1, w);
  }
}
