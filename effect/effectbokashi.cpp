#include "effect/effectbokashi.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cmath>
#include <cstring>

#include "effect/calcucurve.h"
#include "effect/effectmanager.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "setup/random.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using namespace effectstart;

namespace {

constexpr ClampTiming kAfter = ClampTiming::kAfterDefaults;

[[maybe_unused]] uint32_t Pixel(int b, int g, int r) {
  return static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 | static_cast<uint32_t>(b);
}

// A 32-bit picture with pixels.
bool Usable(const CPicture* picture) {
  return picture && picture->GetPixelBuffer() && !picture->Get256Flag();
}

#if defined(__SSE2__)
// Column sums in four 16-bit lanes per column (b, g, r and the top byte,
// which `top` replaces): adds row `in` and takes row `out` off, either may
// be null, over n columns. Every sum stays within 16 bits, so the lanes'
// wrapping arithmetic gives it exactly.
void SlideColumns(uint16_t* cols, const uint32_t* in, const uint32_t* out, int64_t n,
                  uint32_t top) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
  const __m128i topByte = _mm_set1_epi32(static_cast<int>(top << 24));
  auto load = [&](const uint32_t* p, int64_t c) {
    if (!p) return zero;
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + c));
    return _mm_or_si128(_mm_and_si128(v, colour), topByte);
  };
  int64_t c = 0;
  for (; c + 4 <= n; c += 4) {
    const __m128i a = load(in, c), b = load(out, c);
    const __m128i lo = _mm_sub_epi16(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero));
    const __m128i hi = _mm_sub_epi16(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero));
    auto* at = reinterpret_cast<__m128i*>(cols + c * 4);
    _mm_storeu_si128(at, _mm_add_epi16(_mm_loadu_si128(at), lo));
    _mm_storeu_si128(at + 1, _mm_add_epi16(_mm_loadu_si128(at + 1), hi));
  }
  for (; c < n; ++c) {
    const uint32_t a = in ? (in[c] & 0xFFFFFF) | top << 24 : 0;
    const uint32_t b = out ? (out[c] & 0xFFFFFF) | top << 24 : 0;
    for (int i = 0; i < 4; ++i)
      cols[c * 4 + i] = static_cast<uint16_t>(cols[c * 4 + i] + (a >> (8 * i) & 0xFF) -
                                              (b >> (8 * i) & 0xFF));
  }
}

// Column c's four sums in the low half of a vector.
inline __m128i Column(const uint16_t* cols, int64_t c) {
  return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(cols + c * 4));
}
#endif

}  // namespace

// --- #126, #77 ---

int CBoxBlurEffect::SetParam(EffectChannel* record, int count, const int* values, int channel) {
  CTableStartEffect::SetParam(record, count, values, channel);
  HoldKernel(record);
  return 1;
}

void CBoxBlurEffect::HoldKernel(EffectChannel* record) {
  if (int64_t{record->Param(kKernelWidth)} * record->Param(kKernelHeight) > 256)
    record->Param(kKernelHeight) = 256 / record->Param(kKernelWidth);
}

BlurKernel CBoxBlurEffect::Kernel(const EffectChannel& record) {
  const int64_t s =
      CalcuCurve(record.Counter(), record.Duration(), record.Param(kStartStrength),
                 record.Param(kEndStrength), record.Param(kRamp), record.Param(kCurve));
  int64_t kw = int64_t{record.Param(kKernelWidth)} * s / 100,
          kh = int64_t{record.Param(kKernelHeight)} * s / 100;
  if (record.Param(kOddSize)) {
    if (kw > 1 && kw % 2 == 0) --kw;
    if (kh > 1 && kh % 2 == 0) --kh;
  }
  kw = std::clamp<int64_t>(kw, 1, 256);
  kh = std::clamp<int64_t>(kh, 1, 256);
  if (kw * kh > 256) kh = 256 / kw;
  return {static_cast<int>(kw), static_cast<int>(kh)};
}

// --- #126 ---

constexpr StartTable CEffectBGBokashi::kTable{kNumber, 16, -1, kAfter, kDefaults, kClamps};

CEffectBGBokashi::CEffectBGBokashi(CEffectManager* manager) : CBoxBlurEffect(manager, kTable) {
  reciprocal_[0] = 0;
  reciprocal_[1] = 32767;
  for (int i = 2; i <= 256; ++i) reciprocal_[i] = 32768 / i;
}

int CEffectBGBokashi::Mean(int sum, int count) const {
  return std::clamp(((sum >> 1) * reciprocal_[count]) >> 14, 0, 255);
}

void CEffectBGBokashi::Print(EffectChannel* record, int) {
  CPicture* picture = RecordPicture(*record);
  if (!Usable(picture)) return;
  const BlurKernel k = Kernel(*record);
  const int* draw = record->DrawRect();
  int dx = draw[0], dy = draw[1], sx = record->SourceRect()[0], sy = record->SourceRect()[1];
  int w = draw[2], h = draw[3];
  if (k.w * k.h == 1) {
    picture->Blt(dx, dy, sx, sy, w, h, 0);
    return;
  }
  // The opaque part of the drawn rectangle, in screen pixels.
  if (!picture->ClipToBox(&dx, &dy, &sx, &sy, &w, &h)) return;
  const int sw = CScreenBuffer::GetWidth(), sh = CScreenBuffer::GetHeight();
  const int64_t bx0 = dx, by0 = dy, bx1 = int64_t{dx} + w, by1 = int64_t{dy} + h;
  const int64_t ox0 = std::max<int64_t>(bx0 - k.w / 2, 0);
  const int64_t ox1 = std::min<int64_t>(bx1 + (k.w - k.w / 2), sw);
  const int64_t oy0 = std::max<int64_t>(by0 - k.h / 2, 0);
  const int64_t oy1 = std::min<int64_t>(by1 + (k.h - k.h / 2), sh);
  if (ox0 >= ox1 || oy0 >= oy1) return;
  // Column sums over the box columns that any window of the region reaches.
  const int64_t cx0 = std::max(bx0, ox0 - k.w / 2), cx1 = std::min(bx1, ox1 + k.w);
  if (cx0 >= cx1) return;
  const uint32_t* pixels = picture->GetPixelBuffer();
  const int pitch = picture->GetWidth();
  const int64_t half = k.w / 2, rest = k.w - k.w / 2;
  uint32_t* screen = CScreenBuffer::GetBuffer();
#if defined(__SSE2__)
  // Column sums b, g, r, count in 16-bit lanes, with zero columns around
  // the box, and their running sums along each row: a window's sum is the
  // difference of two running sums (the lanes wrap, the difference does
  // not), two pixels a vector. The mean ((sum >> 1) x reciprocal) >> 14
  // comes from the high and low halves of 16-bit products (sums are at most
  // 255 x count, so the mean fits 16 bits and the pack holds it to 255).
  const int64_t p0 = std::min(cx0, ox0 - half - 1), p1 = std::max(cx1, ox1 + rest - 1);
  const size_t n = static_cast<size_t>(p1 - p0);
  columns16_.assign(n * 4 + (n + 1) * 4, 0);
  uint16_t* cols = columns16_.data() - p0 * 4;
  uint16_t* running = columns16_.data() + n * 4 - p0 * 4;  // running[c]: columns p0..c-1
  auto row = [&](int64_t r) {
    return pixels + static_cast<size_t>(sy + (r - dy)) * pitch + (sx - dx) + cx0;
  };
  // Rows lie above the screen too: kNone names no row.
  constexpr int64_t kNone = INT64_MIN;
  auto slideRows = [&](int64_t in, int64_t out) {
    SlideColumns(cols + cx0 * 4, in == kNone ? nullptr : row(in), out == kNone ? nullptr : row(out),
                 cx1 - cx0, 1);
  };
  // Each count's reciprocal in every 16-bit lane.
  __m128i reciprocals[257];
  for (size_t i = 0; i < 257; ++i)
    reciprocals[i] = _mm_set1_epi16(static_cast<int16_t>(reciprocal_[i]));
  const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
  auto mean = [&](__m128i sum, __m128i r) {
    const __m128i a = _mm_srli_epi16(sum, 1);
    const __m128i m = _mm_or_si128(_mm_slli_epi16(_mm_mulhi_epu16(a, r), 2),
                                   _mm_srli_epi16(_mm_mullo_epi16(a, r), 14));
    return _mm_and_si128(_mm_packus_epi16(m, m), colour);
  };
  int64_t r0 = by0, r1 = by0;  // rows summed: r0..r1-1
  for (int64_t v = oy0; v < oy1; ++v) {
    const int64_t want0 = std::max(v - k.h / 2, by0), want1 = std::min(v + k.h - k.h / 2, by1);
    if (want0 >= r1) {
      std::fill(columns16_.begin(), columns16_.begin() + static_cast<std::ptrdiff_t>(n * 4), 0);
      r0 = r1 = want0;
    }
    for (; r1 < want1 && r0 < want0; ++r1, ++r0) slideRows(r1, r0);
    for (; r1 < want1; ++r1) slideRows(r1, kNone);
    for (; r0 < want0; ++r0) slideRows(kNone, r0);
    if (r0 >= r1) continue;
    __m128i total = _mm_setzero_si128();
    for (int64_t c = p0; c < p1; ++c) {
      total = _mm_add_epi16(total, Column(cols, c));
      _mm_storel_epi64(reinterpret_cast<__m128i*>(running + (c + 1) * 4), total);
    }
    // The window of column u is u - kw/2 .. u + kw - kw/2 - 1.
    uint32_t* out = screen + v * sw;
    auto window = [&](int64_t u) {
      return _mm_sub_epi16(Column(running, u + rest), Column(running, u - half));
    };
    int64_t u = ox0;
    for (; u + 2 <= ox1; u += 2) {
      const __m128i sums = _mm_unpacklo_epi64(window(u), window(u + 1));
      const int c0 = _mm_extract_epi16(sums, 3), c1 = _mm_extract_epi16(sums, 7);
      if (c0 > 0 && c1 > 0) {
        const __m128i r = _mm_unpacklo_epi64(reciprocals[c0], reciprocals[c1]);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + u), mean(sums, r));
        continue;
      }
      if (c0 > 0) out[u] = static_cast<uint32_t>(_mm_cvtsi128_si32(mean(sums, reciprocals[c0])));
      if (c1 > 0)
        out[u + 1] = static_cast<uint32_t>(
            _mm_cvtsi128_si32(mean(_mm_srli_si128(sums, 8), reciprocals[c1])));
    }
    for (; u < ox1; ++u) {
      const __m128i sum = window(u);
      const int c = _mm_extract_epi16(sum, 3);
      if (c > 0) out[u] = static_cast<uint32_t>(_mm_cvtsi128_si32(mean(sum, reciprocals[c])));
    }
  }
#else
  columns_.assign(static_cast<size_t>(cx1 - cx0) * 4, 0);
  auto addRow = [&](int64_t row, int sign) {
    const uint32_t* src = pixels + static_cast<size_t>(sy + (row - dy)) * pitch + (sx - dx);
    for (int64_t c = cx0; c < cx1; ++c) {
      const uint32_t p = src[c];
      int32_t* col = &columns_[static_cast<size_t>(c - cx0) * 4];
      col[0] += sign * static_cast<int>(p & 0xFF);
      col[1] += sign * static_cast<int>(p >> 8 & 0xFF);
      col[2] += sign * static_cast<int>(p >> 16 & 0xFF);
      col[3] += sign;
    }
  };
  int64_t r0 = by0, r1 = by0;  // rows summed: r0..r1-1
  for (int64_t v = oy0; v < oy1; ++v) {
    const int64_t want0 = std::max(v - k.h / 2, by0), want1 = std::min(v + k.h - k.h / 2, by1);
    if (want0 >= r1) {
      std::fill(columns_.begin(), columns_.end(), 0);
      r0 = r1 = want0;
    }
    for (; r1 < want1; ++r1) addRow(r1, 1);
    for (; r0 < want0; ++r0) addRow(r0, -1);
    if (r0 >= r1) continue;
    // The window of column u is u - kw/2 .. u + kw - kw/2 - 1: each step
    // takes in its last column and lets go of the one before its first.
    const int32_t* col = columns_.data();
    auto inside = [&](int64_t c) { return c >= cx0 && c < cx1; };
    int32_t sum[4] = {0, 0, 0, 0};
    for (int64_t c = std::max(ox0 - half, cx0); c < std::min(ox0 + rest - 1, cx1); ++c)
      for (int i = 0; i < 4; ++i) sum[i] += col[(c - cx0) * 4 + i];
    uint32_t* out = screen + v * sw;
    for (int64_t u = ox0; u < ox1; ++u) {
      if (const int64_t in = u + rest - 1; inside(in))
        for (int i = 0; i < 4; ++i) sum[i] += col[(in - cx0) * 4 + i];
      if (const int64_t gone = u - half - 1; inside(gone))
        for (int i = 0; i < 4; ++i) sum[i] -= col[(gone - cx0) * 4 + i];
      if (sum[3] <= 0) continue;
      out[u] = Pixel(Mean(sum[0], sum[3]), Mean(sum[1], sum[3]), Mean(sum[2], sum[3]));
    }
  }
#endif
}

// --- #77 ---

constexpr StartTable CEffectBokashi::kTable{kNumber, 16, -1, kAfter, kDefaults, kClamps};

CEffectBokashi::CEffectBokashi(CEffectManager* manager) : CBoxBlurEffect(manager, kTable) {}

void CEffectBokashi::Print(EffectChannel* record, int) {
  CPicture* picture = RecordPicture(*record);
  if (!Usable(picture)) return;
  const int sw = CScreenBuffer::GetWidth(), sh = CScreenBuffer::GetHeight();
  const int* draw = record->DrawRect();
  if (draw[0] > 0 || draw[1] > 0 || int64_t{draw[0]} + draw[2] < sw ||
      int64_t{draw[1]} + draw[3] < sh)
    return;
  // The picture pixel under the screen's (0, 0); the picture must cover the
  // screen from there.
  const int64_t ox = int64_t{record->SourceRect()[0]} - draw[0];
  const int64_t oy = int64_t{record->SourceRect()[1]} - draw[1];
  const int pw = picture->GetWidth(), ph = picture->GetHeight();
  if (ox < 0 || oy < 0 || ox + sw > pw || oy + sh > ph) return;
  BlurKernel k = CEffectBGBokashi::Kernel(*record);
  if (k.w * k.h == 1) {
    picture->Blt(draw[0], draw[1], record->SourceRect()[0], record->SourceRect()[1], draw[2],
                 draw[3], 0);
    return;
  }
  // A window wider than the screen would leave the picture.
  k.w = std::min(k.w, sw);
  k.h = std::min(k.h, sh);
  const int d = std::min(65536 / (k.w * k.h), 32767);
  const uint32_t* pixels = picture->GetPixelBuffer() + oy * pw + ox;
  // Each column's window start, mx (x) = (W - kw + 1) x / W.
  windowX_.resize(static_cast<size_t>(sw));
  for (int x = 0; x < sw; ++x)
    windowX_[static_cast<size_t>(x)] = static_cast<int>(int64_t{sw - k.w + 1} * x / sw);
  uint32_t* screen = CScreenBuffer::GetBuffer();
#if defined(__SSE2__)
  // Column sums b, g, r, 0 in 16-bit lanes, and their running sums along
  // each row: a window's sum is the difference of two running sums (the
  // lanes wrap, the difference does not), two pixels a vector. The mean
  // (((sum >> 1) * d) >> 16) << 1 is a high-half 16-bit product, held to
  // 255 by the pack.
  const size_t n = static_cast<size_t>(sw);
  columns16_.assign(n * 4 + (n + 1) * 4, 0);
  uint16_t* cols = columns16_.data();
  uint16_t* running = cols + n * 4;  // running[c]: columns 0..c-1
  auto row = [&](int r) { return pixels + static_cast<size_t>(r) * pw; };
  for (int r = 0; r < k.h; ++r) SlideColumns(cols, row(r), nullptr, sw, 0);
  const __m128i divisor = _mm_set1_epi16(static_cast<int16_t>(d));
  auto mean = [divisor](__m128i sum) {
    const __m128i m = _mm_slli_epi16(_mm_mulhi_epu16(_mm_srli_epi16(sum, 1), divisor), 1);
    return _mm_packus_epi16(m, m);
  };
  const int* windowX = windowX_.data();
  int my = 0, summed = -1;
  for (int y = 0; y < sh; ++y) {
    const int want = static_cast<int>(int64_t{sh - k.h + 1} * y / sh);
    for (; my < want; ++my) SlideColumns(cols, row(my + k.h), row(my), sw, 0);
    if (summed != my) {
      __m128i total = _mm_setzero_si128();
      for (int c = 0; c < sw; ++c) {
        total = _mm_add_epi16(total, Column(cols, c));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(running + (c + 1) * 4), total);
      }
      summed = my;
    }
    uint32_t* out = screen + static_cast<size_t>(y) * sw;
    int x = 0;
    for (; x + 2 <= sw; x += 2) {
      const int m0 = windowX[x], m1 = windowX[x + 1];
      const __m128i ends = _mm_unpacklo_epi64(Column(running, m0 + k.w), Column(running, m1 + k.w));
      const __m128i starts = _mm_unpacklo_epi64(Column(running, m0), Column(running, m1));
      _mm_storel_epi64(reinterpret_cast<__m128i*>(out + x), mean(_mm_sub_epi16(ends, starts)));
    }
    for (; x < sw; ++x) {
      const int m = windowX[x];
      const __m128i sum = _mm_sub_epi16(Column(running, m + k.w), Column(running, m));
      out[x] = static_cast<uint32_t>(_mm_cvtsi128_si32(mean(sum)));
    }
  }
#else
  columns_.assign(static_cast<size_t>(sw) * 3, 0);
  auto addRow = [&](int row, int sign) {
    const uint32_t* src = pixels + static_cast<size_t>(row) * pw;
    for (int c = 0; c < sw; ++c) {
      columns_[c * 3 + 0] += sign * static_cast<int>(src[c] & 0xFF);
      columns_[c * 3 + 1] += sign * static_cast<int>(src[c] >> 8 & 0xFF);
      columns_[c * 3 + 2] += sign * static_cast<int>(src[c] >> 16 & 0xFF);
    }
  };
  auto mean = [d](int sum) { return std::clamp((((sum >> 1) * d) >> 16) << 1, 0, 255); };
  for (int r = 0; r < k.h; ++r) addRow(r, 1);
  int my = 0;
  for (int y = 0; y < sh; ++y) {
    const int want = static_cast<int>(int64_t{sh - k.h + 1} * y / sh);
    for (; my < want; ++my) {
      addRow(my, -1);
      addRow(my + k.h, 1);
    }
    int sum[3] = {0, 0, 0};
    for (int c = 0; c < k.w; ++c)
      for (int i = 0; i < 3; ++i) sum[i] += columns_[c * 3 + i];
    int mx = 0;
    for (int x = 0; x < sw; ++x) {
      const int wantX = windowX_[static_cast<size_t>(x)];
      for (; mx < wantX; ++mx)
        for (int i = 0; i < 3; ++i)
          sum[i] += columns_[(mx + k.w) * 3 + i] - columns_[mx * 3 + i];
      screen[static_cast<size_t>(y) * sw + x] = Pixel(mean(sum[0]), mean(sum[1]), mean(sum[2]));
    }
  }
#endif
}

// --- #78 ---

// The pattern's and the placing channel; the light colour goes from its
// start to its end.
constexpr ParamDefault CEffectKomorebi::kDefaults[] = {
    Value(kDuration, 20),
    Value(kPatternChannel, 0),
    Value(kEndRed, 128),
    Same(kEndGreen, kEndRed),
    Same(kEndBlue, kEndGreen),
    Same(kStartRed, kEndRed),
    Same(kStartGreen, kEndGreen),
    Same(kStartBlue, kEndBlue),
    Value(kPlaceChannel, -1),
    Value(kCurve, 0),
    Value(kRamp, 0),
};
constexpr ParamClamp CEffectKomorebi::kClamps[] = {Range(kPatternChannel, 0, 15),
                                                   Range(kPlaceChannel, -1, 15)};

constexpr StartTable CEffectKomorebi::kTable{kNumber, 16, -1, kAfter, kDefaults, kClamps};

CEffectKomorebi::CEffectKomorebi(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

void CEffectKomorebi::Print(EffectChannel* record, int channel) {
  const int duration = std::max(record->Duration(), 1);
  const int counter = std::clamp(record->Counter(), 0, duration);
  // Beyond 65,535 a colour saturates at any weight from 1 on, as it would
  // unheld: the sums below stay in int.
  static constexpr int kStarts[3] = {kStartRed, kStartGreen, kStartBlue};
  static constexpr int kEnds[3] = {kEndRed, kEndGreen, kEndBlue};
  int add[3], sub[3];
  for (int c = 0; c < 3; ++c) {  // r, g, b
    const int64_t v =
        CalcuCurve(counter, duration, record->Param(kStarts[c]), record->Param(kEnds[c]),
                   record->Param(kRamp), record->Param(kCurve));
    add[c] = static_cast<int>(std::clamp<int64_t>(v, 0, 65535));
    sub[c] = static_cast<int>(std::clamp<int64_t>(-v, 0, 65535));
  }
  const int placeChannel =
      record->Param(kPlaceChannel) == -1 ? channel : record->Param(kPlaceChannel);
  const int patternChannel = record->Param(kPatternChannel);
  if (!manager_->GetChannel(patternChannel) || !manager_->GetChannel(placeChannel)) return;
  CPicture* layer = RecordPicture(*record);
  CPicture* pattern = manager_->GetPicture(patternChannel);
  auto masked = [](const CPicture* p) { return Usable(p) && p->GetMask() && p->GetMaskFlag(); };
  if (!masked(layer) || !masked(pattern)) return;
  // Each picture's opaque box on the screen.
  struct Area {
    int x, y, sx, sy, w, h;
  };
  auto place = [&](CPicture* p, int ch, Area* a) {
    manager_->GetDrawPos(ch, &a->x, &a->y);
    a->sx = 0;
    a->sy = 0;
    a->w = p->GetWidth();
    a->h = p->GetHeight();
    return p->Clip(&a->x, &a->y, &a->sx, &a->sy, &a->w, &a->h) != 0;
  };
  Area l{}, t{};
  if (!place(layer, placeChannel, &l) || !place(pattern, patternChannel, &t)) return;
  const int x0 = std::max(l.x, t.x), y0 = std::max(l.y, t.y);
  const int x1 = std::min(l.x + l.w, t.x + t.w), y1 = std::min(l.y + l.h, t.y + t.h);
  const int sw = CScreenBuffer::GetWidth();
  uint32_t* screen = CScreenBuffer::GetBuffer();
  const uint8_t* lm = layer->GetMask();
  const uint8_t* pm = pattern->GetMask();
  const int lp = layer->GetWidth(), pp = pattern->GetWidth();
  for (int y = y0; y < y1; ++y) {
    const uint8_t* lrow = lm + static_cast<size_t>(y - l.y + l.sy) * lp + (l.sx - l.x);
    const uint8_t* prow = pm + static_cast<size_t>(y - t.y + t.sy) * pp + (t.sx - t.x);
    uint32_t* out = screen + static_cast<size_t>(y) * sw;
    LightRow(out + x0, prow + x0, lrow + x0, x1 - x0, add, sub);
  }
}

// Held to 0..65,535, add and subtract are never both above 0 for one
// colour; a mask byte of 0 weighs 0 and leaves the pixel as it is.
void CEffectKomorebi::LightRowPlain(uint32_t* out, const uint8_t* pattern, const uint8_t* layer,
                                    int n, const int* add, const int* sub) {
  for (int x = 0; x < n; ++x) {
    const int p = pattern[x], lv = layer[x];
    // 256 when both are 255, the other when one is, else p x l >> 8.
    const int weight = (p + (p == 255)) * (lv + (lv == 255)) >> 8;
    const uint32_t pixel = out[x];
    uint32_t mixed = 0;
    for (int c = 0; c < 3; ++c) {  // r, g, b
      const int shift = 16 - 8 * c;
      const int v = static_cast<int>(pixel >> shift & 0xFF) + (add[c] * weight >> 8) -
                    (sub[c] * weight >> 8);
      mixed |= static_cast<uint32_t>(std::clamp(v, 0, 255)) << shift;
    }
    out[x] = mixed;
  }
}

void CEffectKomorebi::LightRow(uint32_t* out, const uint8_t* pattern, const uint8_t* layer, int n,
                               const int* add, const int* sub) {
  int x = 0;
#if defined(__SSE2__)
  // Four pixels a step in 16-bit lanes (b, g, r, top byte): the weight is
  // (p') x (l') >> 8, each term add x weight >> 8 held to a byte, which is
  // where it saturates the pixel anyway.
  const __m128i zero = _mm_setzero_si128();
  const __m128i all255 = _mm_set1_epi16(255);
  auto lanes = [](const int* v) {
    return _mm_setr_epi16(static_cast<int16_t>(v[2]), static_cast<int16_t>(v[1]),
                          static_cast<int16_t>(v[0]), 0, static_cast<int16_t>(v[2]),
                          static_cast<int16_t>(v[1]), static_cast<int16_t>(v[0]), 0);
  };
  const __m128i addv = lanes(add), subv = lanes(sub);
  // A light only adds or only takes away in most scenes.
  const bool adds = add[0] | add[1] | add[2], subs = sub[0] | sub[1] | sub[2];
  auto term = [&](__m128i colour, __m128i w) {
    const __m128i lo = _mm_mullo_epi16(colour, w), hi = _mm_mulhi_epu16(colour, w);
    const __m128i small = _mm_cmpeq_epi16(hi, zero);
    return _mm_or_si128(_mm_and_si128(small, _mm_srli_epi16(lo, 8)),
                        _mm_andnot_si128(small, all255));
  };
  const __m128i rgb = _mm_set1_epi32(0x00FFFFFF);
  for (; x + 4 <= n; x += 4) {
    int32_t pm, lm;
    std::memcpy(&pm, pattern + x, 4);
    std::memcpy(&lm, layer + x, 4);
    __m128i p = _mm_unpacklo_epi8(_mm_cvtsi32_si128(pm), zero);
    __m128i l = _mm_unpacklo_epi8(_mm_cvtsi32_si128(lm), zero);
    p = _mm_sub_epi16(p, _mm_cmpeq_epi16(p, all255));
    l = _mm_sub_epi16(l, _mm_cmpeq_epi16(l, all255));
    const __m128i lo = _mm_mullo_epi16(p, l), hi = _mm_mulhi_epu16(p, l);
    const __m128i w = _mm_or_si128(_mm_slli_epi16(hi, 8), _mm_srli_epi16(lo, 8));
    const __m128i w2 = _mm_unpacklo_epi16(w, w);
    const __m128i wLow = _mm_unpacklo_epi32(w2, w2), wHigh = _mm_unpackhi_epi32(w2, w2);
    __m128i px = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out + x));
    if (adds) px = _mm_adds_epu8(px, _mm_packus_epi16(term(addv, wLow), term(addv, wHigh)));
    if (subs) px = _mm_subs_epu8(px, _mm_packus_epi16(term(subv, wLow), term(subv, wHigh)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_and_si128(px, rgb));
  }
#endif
  LightRowPlain(out + x, pattern + x, layer + x, n - x, add, sub);
}

// --- #97 ---

// The first value is kept, not used. The brush and the region in pixels;
// the region drawn lies on the screen.
constexpr ParamDefault CEffectBathWindow::kDefaults[] = {
    NoDefault(kDuration), Value(kBrushSize, 20), Value(kOne, 1),         Value(kDropsPerFrame, 5),
    Value(kX, 0),         Value(kY, 0),          Value(kWidth, Width()), Value(kHeight, Height()),
    Value(kReload, 0),
};
constexpr ParamClamp CEffectBathWindow::kClamps[] = {
    Range(kDropsPerFrame, 0, 32),          Range(kX, Fixed(0), Width(1, 1, -1)),
    Range(kY, Fixed(0), Height(1, 1, -1)), Range(kWidth, Fixed(1), Width()),
    Range(kHeight, Fixed(1), Height()),
};

constexpr StartTable CEffectBathWindow::kTable{kNumber, 9, 9999, kAfter, kDefaults, kClamps};

CEffectBathWindow::CEffectBathWindow(CEffectManager* manager)
    : CTableStartEffect(manager, kTable), wipes_(2) {
  for (auto& map : drops_)
    for (int j = -16; j < 16; ++j)
      for (int k = -16; k < 16; ++k) {
        const int d = static_cast<int>(std::sqrt(static_cast<double>(k * k + j * j)));
        map[j + 16][k + 16] = static_cast<uint8_t>(std::max(1, 9 - d + crt::rand() % 8));
      }
  for (auto& map : wipes_)
    for (int j = -64; j < 64; ++j)
      for (int k = -64; k < 64; ++k) {
        const int d = static_cast<int>(std::sqrt(static_cast<double>(k * k + j * j)));
        map[j + 64][k + 64] =
            static_cast<uint8_t>(std::max(0, 64 - d) * (crt::rand() % 32 + 20) / 64);
      }
}

int CEffectBathWindow::BrushSize(int size) { return size < 8 ? 8 : size > 64 ? 128 : size; }

int CEffectBathWindow::SetParam(EffectChannel* record, int count, const int* values, int channel) {
  CTableStartEffect::SetParam(record, count, values, channel);
  record->Param(kBrushSize) = BrushSize(record->Param(kBrushSize));
  record->Param(kOne) = 1;
  return 1;
}

void CEffectBathWindow::Drops(const EffectChannel& record, CPicture* picture) {
  const int pw = picture->GetWidth(), ph = picture->GetHeight();
  const int drops = std::clamp(record.Param(kDropsPerFrame), 0, 32);
  const int cells = std::max(1, pw / 8);
  int cx[32], cy[32];
  for (int i = 0; i < drops; ++i) {
    cx[i] = crt::rand() % cells;
    cy[i] = crt::rand() % ph;
  }
  // The first drop's map is drawn even when there are no drops.
  int map = crt::rand() % 4;
  uint8_t* mask = picture->GetMask();
  for (int i = 0; i < drops; ++i, map = (map + 1) % 4) {
    const int left = 8 * (cx[i] - 2), top = cy[i] - 16;
    for (int j = std::max(0, -top); j < 32 && top + j < ph; ++j)
      for (int k = std::max(0, -left); k < 32 && left + k < pw; ++k) {
        uint8_t& m = mask[static_cast<size_t>(top + j) * pw + left + k];
        m = static_cast<uint8_t>(std::min(255, m + drops_[map][j][k]));
      }
  }
}

void CEffectBathWindow::Wipe(const EffectChannel& record, CPicture* picture) {
  int x = 0, y = 0;
  manager_->GetMousePos(&x, &y);
  const bool moved = x != lastX_ || y != lastY_;
  lastX_ = x;
  lastY_ = y;
  if (!moved || x < 0 || y < 0 || x >= CScreenBuffer::GetWidth() ||
      y >= CScreenBuffer::GetHeight())
    return;
  const int half = BrushSize(record.Param(kBrushSize)) / 2, side = 2 * half;
  const int left = x - half, top = y - half;
  const int pw = picture->GetWidth(), ph = picture->GetHeight();
  const auto& map = wipes_[static_cast<size_t>(crt::rand() % 2)];
  uint8_t* mask = picture->GetMask();
  for (int j = std::max(0, -top); j < side && top + j < ph; ++j)
    for (int k = std::max(0, -left); k < side && left + k < pw; ++k) {
      uint8_t& m = mask[static_cast<size_t>(top + j) * pw + left + k];
      m = static_cast<uint8_t>(std::max(0, m - map[j * 128 / side][k * 128 / side]));
    }
}

void CEffectBathWindow::Calcu(EffectChannel* record, int) {
  record->Counter() = 0;
  CPicture* picture = RecordPicture(*record);
  if (!picture || !picture->GetMask() || !picture->GetMaskFlag() || picture->GetHeight() <= 0 ||
      picture->GetWidth() <= 0)
    return;
  if (record->Param(kReload)) picture->ClearName();
  Drops(*record, picture);
  Wipe(*record, picture);
}

void CEffectBathWindow::Print(EffectChannel* record, int) {
  CPicture* picture = RecordPicture(*record);
  if (!Usable(picture) || !picture->GetMask() || !picture->GetMaskFlag()) return;
  const int x = record->Param(kX), y = record->Param(kY);
  picture->Blt(x, y, x, y, record->Param(kWidth), record->Param(kHeight), 1);
}
