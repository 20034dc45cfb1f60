#include "effect/charashake.h"

#include <algorithm>
#include <climits>
#include <cstdint>

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

constexpr ClampTiming kEach = ClampTiming::kWithEachDefault;

constexpr ParamDefault kBureDefaults[] = {Value(0, 20), Value(1, 4),  Value(2, 4), Value(3, 8),
                                          Value(4, 50), Value(5, 50), Value(6, 0), Value(7, 0)};
constexpr ParamClamp kBureClamps[] = {Range(1, 0, INT_MAX), Range(2, 0, INT_MAX)};
constexpr StartTable kBureTable{CEffectCharaBure::kNumber, 8, -1, kEach, kBureDefaults, kBureClamps};

constexpr ParamDefault kFlashDefaults[] = {Value(0, 20), Value(1, 255), Same(2, 1),
                                           Same(3, 2),   Value(4, 1),   Value(5, 1)};
constexpr ParamClamp kFlashClamps[] = {Range(4, 1, INT_MAX), Range(5, 1, INT_MAX)};
constexpr StartTable kFlashTable{CEffectCharaFlash::kNumber, 6, -1, kEach, kFlashDefaults,
                                 kFlashClamps};

constexpr ParamDefault kBokashiDefaults[] = {Value(0, 20), Value(1, 8), Value(2, 8),
                                             Value(3, 100), Same(4, 3), Value(5, 0),
                                             Value(6, 0),  Value(7, 0), Value(8, 0)};
constexpr ParamClamp kBokashiClamps[] = {Range(1, 1, 256), Range(2, 1, 256), Range(3, 0, 100),
                                         Range(4, 0, 100), Range(6, 0, INT_MAX)};
constexpr StartTable kBokashiTable{CEffectCharaBokashi::kNumber, 16, -1, kEach, kBokashiDefaults,
                                   kBokashiClamps};

// (sum x f) >> 16 to within a unit, in 16-bit pieces: sum's high half times
// f plus twice the scaled low half.
uint32_t ScaleSum(uint32_t sum, uint32_t f) {
  return (sum >> 16) * f + 2 * ((((sum & 65535) >> 1) * f) >> 16);
}

}  // namespace

void CEffectCharaBokashi::MoveColumns(ColumnSum* sums, int count, const uint32_t* inPixels,
                                      const uint8_t* inMask, const uint32_t* outPixels,
                                      const uint8_t* outMask) {
#if defined(__SSE2__)
  // A pixel's contribution in the four lanes: its bytes and a 1 each times m.
  const __m128i zero = _mm_setzero_si128();
  auto contribution = [&](uint32_t p, uint8_t m) {
    const __m128i v = _mm_unpacklo_epi16(
        _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>((p & 0xFFFFFFu) | 0x01000000u)), zero),
        zero);
    return _mm_madd_epi16(v, _mm_set1_epi32(m));
  };
  for (int i = 0; i < count; ++i) {
    __m128i* at = reinterpret_cast<__m128i*>(sums + i);
    __m128i s = _mm_loadu_si128(at);
    if (inMask) s = _mm_add_epi32(s, contribution(inPixels[i], inMask[i]));
    if (outMask) s = _mm_sub_epi32(s, contribution(outPixels[i], outMask[i]));
    _mm_storeu_si128(at, s);
  }
#else
  for (int i = 0; i < count; ++i) {
    ColumnSum& s = sums[i];
    if (inMask) {
      const uint32_t m = inMask[i], p = inPixels[i];
      s.b += (p & 255) * m, s.g += (p >> 8 & 255) * m, s.r += (p >> 16 & 255) * m, s.m += m;
    }
    if (outMask) {
      const uint32_t m = outMask[i], p = outPixels[i];
      s.b -= (p & 255) * m, s.g -= (p >> 8 & 255) * m, s.r -= (p >> 16 & 255) * m, s.m -= m;
    }
  }
#endif
}

void CEffectCharaBokashi::BlurRowPlain(const ColumnSum* sums, int n, int bx, uint32_t f,
                                       uint32_t* out) {
  ColumnSum run{};
  for (int k = 0; k < bx; ++k) {
    run.b += sums[k].b, run.g += sums[k].g, run.r += sums[k].r, run.m += sums[k].m;
  }
  for (int i = 0; i < n; ++i) {
    if (run.m != 0) {
      // The average mask is at most 254 (f <= 65536 / N).
      const uint32_t a = ScaleSum(run.m, f), keep = 254 - std::min(a, 254u);
      const uint32_t s = out[i];
      const uint32_t b = std::min<uint32_t>((ScaleSum(run.b, f) + (s & 255) * keep) >> 8, 255);
      const uint32_t g = std::min<uint32_t>((ScaleSum(run.g, f) + (s >> 8 & 255) * keep) >> 8, 255);
      const uint32_t r = std::min<uint32_t>((ScaleSum(run.r, f) + (s >> 16 & 255) * keep) >> 8, 255);
      out[i] = r << 16 | g << 8 | b;
    }
    if (i + 1 < n) {
      const ColumnSum& in = sums[i + bx];
      const ColumnSum& leave = sums[i];
      run.b += in.b - leave.b, run.g += in.g - leave.g, run.r += in.r - leave.r,
          run.m += in.m - leave.m;
    }
  }
}

void CEffectCharaBokashi::BlurRow(const ColumnSum* sums, int n, int bx, uint32_t f,
                                  uint32_t* out) {
#if defined(__SSE2__)
  // The four sums in the four lanes; the mask's sum (below 65536) scales by
  // the same rule as the colours, giving the average mask a in lane 3.
  static_assert(sizeof(ColumnSum) == 16);
  auto load = [&](int k) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums + k)); };
  __m128i run = _mm_setzero_si128();
  for (int k = 0; k < bx; ++k) run = _mm_add_epi32(run, load(k));
  const __m128i fv = _mm_set1_epi32(static_cast<int>(f));
  const __m128i low = _mm_set1_epi32(65535), limit = _mm_set1_epi32(254);
  const __m128i zero = _mm_setzero_si128();
  for (int i = 0; i < n; ++i) {
    if (_mm_cvtsi128_si32(_mm_srli_si128(run, 12)) != 0) {
      // Each product has 16-bit factors, so madd forms it whole.
      const __m128i high = _mm_madd_epi16(_mm_srli_epi32(run, 16), fv);
      const __m128i half = _mm_srli_epi32(_mm_madd_epi16(_mm_srli_epi32(_mm_and_si128(run, low), 1), fv), 16);
      const __m128i scaled = _mm_add_epi32(high, _mm_add_epi32(half, half));
      const __m128i a = _mm_shuffle_epi32(scaled, 0xFF);
      // 254 - min(a, 254), a never above 254.
      const __m128i over = _mm_cmpgt_epi32(a, limit);
      const __m128i keep = _mm_andnot_si128(over, _mm_sub_epi32(limit, a));
      const __m128i s = _mm_unpacklo_epi16(
          _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(out[i])), zero), zero);
      const __m128i sum = _mm_srli_epi32(_mm_add_epi32(scaled, _mm_madd_epi16(s, keep)), 8);
      const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(sum, zero), zero);
      out[i] = static_cast<uint32_t>(_mm_cvtsi128_si32(bytes)) & 0xFFFFFFu;
    }
    if (i + 1 < n) run = _mm_add_epi32(run, _mm_sub_epi32(load(i + bx), load(i)));
  }
#else
  BlurRowPlain(sums, n, bx, f, out);
#endif
}

// --- #132 ---

CEffectCharaBure::CEffectCharaBure(CEffectManager* manager)
    : CCharaFilterEffect(manager, kBureTable) {}

int CEffectCharaBure::SetParam(EffectChannel* record, int count, const int* values, int channel) {
  const int result = CCharaFilterEffect::SetParam(record, count, values, channel);
  record->Param(kSwing) = 0;
  record->Param(kSwing + 1) = 1;
  for (int i = 2; i < 6; ++i) record->Param(kSwing + i) = 0;
  NewSwing(record);
  return result;
}

void CEffectCharaBure::NewSwing(EffectChannel* record) {
  EffectChannel& r = *record;
  r.Param(kSwing + 2) = r.Param(kSwing + 4);
  r.Param(kSwing + 3) = r.Param(kSwing + 5);
  const int64_t w = r.Param(1), h = r.Param(2), frames = r.Param(3);
  const int64_t fx = std::max<int64_t>(w * r.Param(4), 1);
  const int64_t fy = std::max<int64_t>(int64_t{r.Param(4)} * h, 1);
  const int64_t fl = std::max<int64_t>(int64_t{r.Param(5)} * frames, 1);
  const int64_t g = crt::rand() % fx;
  const int64_t hh = crt::rand() % fy;
  const int64_t l = crt::rand() % fl;
  const int sx = crt::rand(), sy = crt::rand();
  const int64_t tx = (w * 100 - g) / 100, ty = (h * 100 - hh) / 100;
  r.Param(kSwing + 4) = Clamp32(sx % 100 >= 50 ? tx : -tx);
  r.Param(kSwing + 5) = Clamp32(sy % 100 >= 50 ? ty : -ty);
  r.Param(kSwing + 1) = Clamp32((frames * 100 - l) / 100);
  r.Param(kSwing) = 0;
}

void CEffectCharaBure::Calcu(EffectChannel* record, int) {
  int& frame = record->Param(kSwing);
  frame = Clamp32(int64_t{frame} + 1);
  if (frame > record->Param(kSwing + 1)) NewSwing(record);
}

void CEffectCharaBure::Print(EffectChannel* record, int channel) {
  const EffectChannel& r = *record;
  CPicture* picture = RecordPicture(r);
  if (!picture || !picture->IsLoaded() || !CScreenBuffer::GetBuffer()) return;
  int x0 = 0, y0 = 0;
  manager_->GetDrawPos(channel, &x0, &y0);
  const int frame = r.Param(kSwing), length = r.Param(kSwing + 1);
  const int64_t x = int64_t{CalcuCurve(frame, length, r.Param(kSwing + 2), r.Param(kSwing + 4),
                                       r.Param(7), r.Param(6))} + x0;
  const int64_t y = int64_t{CalcuCurve(frame, length, r.Param(kSwing + 3), r.Param(kSwing + 5),
                                       r.Param(7), r.Param(6))} + y0;
  picture->Put(Clamp32(x), Clamp32(y), CEffectManager::IsOpaqueChannel(channel) ? 0 : 1);
}

// --- #90 ---

CEffectCharaFlash::CEffectCharaFlash(CEffectManager* manager)
    : CCharaFilterEffect(manager, kFlashTable) {}

bool CEffectCharaFlash::Silhouette(const EffectChannel& r) {
  const int64_t period = std::max<int64_t>(int64_t{r.Param(4)} + r.Param(5), 1);
  return r.Counter() < r.Duration() && r.Counter() % period >= r.Param(4);
}

void CEffectCharaFlash::Print(EffectChannel* record, int) {
  const EffectChannel& r = *record;
  CPicture* picture = RecordPicture(r);
  if (!picture || !picture->IsLoaded() || !CScreenBuffer::GetBuffer()) return;
  const Request q = DrawRequest(r);
  if (Silhouette(r))
    picture->ShapeBlt(q.dstX, q.dstY, q.srcX, q.srcY, q.w, q.h, r.Param(1) & 255,
                      r.Param(2) & 255, r.Param(3) & 255);
  else
    picture->Blt(q.dstX, q.dstY, q.srcX, q.srcY, q.w, q.h, 1);
}

// --- #125 ---

CEffectCharaBokashi::CEffectCharaBokashi(CEffectManager* manager)
    : CCharaFilterEffect(manager, kBokashiTable) {
  EnsureWork(CScreenBuffer::GetWidth());
}

void CEffectCharaBokashi::EnsureWork(int w) {
  // W x 16 + 8320 bytes: W + 520 columns of four sums.
  const int columns = std::max(w, 0) + 520;
  if (columns <= workColumns_) return;
  work_ = std::make_unique<ColumnSum[]>(columns);
  workColumns_ = columns;
}

int CEffectCharaBokashi::SetParam(EffectChannel* record, int count, const int* values,
                                  int channel) {
  const int result = CCharaFilterEffect::SetParam(record, count, values, channel);
  int& height = record->Param(2);
  if (int64_t{record->Param(1)} * height > 256) height = 256 / record->Param(1);
  return result;
}

void CEffectCharaBokashi::BlurSize(const EffectChannel& r, int* bx, int* by) {
  const int64_t e = Curve(r, r.Param(4), r.Param(3), r.Param(6), r.Param(5));
  int64_t x = int64_t{r.Param(1)} * e / 100, y = int64_t{r.Param(2)} * e / 100;
  if (r.Param(7) != 0) {
    if (x > 1 && x % 2 == 0) --x;
    if (y > 1 && y % 2 == 0) --y;
  }
  x = std::clamp<int64_t>(x, 1, 256);
  y = std::clamp<int64_t>(y, 1, 256);
  if (x * y > 256) y = 256 / x;
  *bx = static_cast<int>(x);
  *by = static_cast<int>(y);
}

void CEffectCharaBokashi::Print(EffectChannel* record, int channel) {
  const int W = CScreenBuffer::GetWidth(), H = CScreenBuffer::GetHeight();
  uint32_t* screen = CScreenBuffer::GetBuffer();
  const EffectChannel& r = *record;
  CPicture* picture = RecordPicture(r);
  if (!picture || !picture->IsLoaded() || !screen || W <= 0 || H <= 0) return;
  int bx = 1, by = 1;
  BlurSize(r, &bx, &by);
  if (bx * by == 1) {
    const Request q = DrawRequest(r);
    picture->Blt(q.dstX, q.dstY, q.srcX, q.srcY, q.w, q.h, 1);
    return;
  }
  if (!MaskedPicture(r)) return;
  const int pw = picture->GetWidth(), ph = picture->GetHeight();
  // The opaque box in picture columns and rows (ends exclusive).
  int bl = 0, bt = 0, dummyX = 0, dummyY = 0, bw = pw, bh = ph;
  if (!picture->ClipToBox(&dummyX, &dummyY, &bl, &bt, &bw, &bh)) return;
  const int64_t boxLeft = std::max(bl, 0), boxTop = std::max(bt, 0);
  const int64_t boxRight = std::min<int64_t>(int64_t{bl} + bw, pw);
  const int64_t boxBottom = std::min<int64_t>(int64_t{bt} + bh, ph);
  if (boxLeft >= boxRight || boxTop >= boxBottom) return;
  int x0 = 0, y0 = 0;
  manager_->GetDrawPos(channel, &x0, &y0);
  const int hx = bx / 2, hy = by / 2;
  // The output area: the box grown by the blur, on the screen.
  const int64_t X0 = std::max<int64_t>(0, x0 + boxLeft - hx);
  const int64_t X1 = std::min<int64_t>(W, x0 + boxRight + (bx - hx));
  const int64_t Y0 = std::max<int64_t>(0, y0 + boxTop - hy);
  const int64_t Y1 = std::min<int64_t>(H, y0 + boxBottom + (by - hy));
  if (X0 >= X1 || Y0 >= Y1) return;
  EnsureWork(W);
  const int n = static_cast<int>(X1 - X0), slots = n + bx - 1;
  ColumnSum* sums = work_.get();
  std::fill(sums, sums + slots, ColumnSum{});
  // Slot k sums source column base + k; only the box's columns are read.
  const int64_t base = X0 - x0 - hx;
  const int64_t k0 = std::max<int64_t>(0, boxLeft - base);
  const int64_t k1 = std::min<int64_t>(slots, boxRight - base);
  const bool extend = r.Param(8) != 0;
  const uint32_t* pixels = picture->GetPixelBuffer();
  const uint8_t* mask = picture->GetMask();
  // The picture row that source row `row` reads (rows below the box copy
  // its last one when extended), or null for none.
  auto sourceRow = [&](int64_t row) -> int64_t {
    if (row < boxTop) return -1;
    if (row >= boxBottom) return extend ? boxBottom - 1 : -1;
    return row;
  };
  // Adds row `in` to the column sums and takes row `out` away (-1 none).
  auto moveRows = [&](int64_t in, int64_t out) {
    if (in == out || k0 >= k1) return;
    // Offsets of each row's first read column (base + k0 >= the box's left).
    const size_t first = static_cast<size_t>(base + k0);
    const size_t inAt = in < 0 ? 0 : static_cast<size_t>(in) * pw + first;
    const size_t outAt = out < 0 ? 0 : static_cast<size_t>(out) * pw + first;
    const int count = static_cast<int>(k1 - k0);
    MoveColumns(sums + k0, count, in < 0 ? nullptr : pixels + inAt, in < 0 ? nullptr : mask + inAt,
                out < 0 ? nullptr : pixels + outAt, out < 0 ? nullptr : mask + outAt);
  };
  const int64_t firstRow = Y0 - y0 - hy;
  for (int64_t row = firstRow; row < firstRow + by; ++row) moveRows(sourceRow(row), -1);
  const uint32_t f = static_cast<uint32_t>(std::min(65536 / (bx * by), 32767));

  for (int64_t Y = Y0; Y < Y1; ++Y) {
    BlurRow(sums, n, bx, f, screen + static_cast<size_t>(Y) * W + X0);
    const int64_t top = Y - y0 - hy;
    moveRows(sourceRow(top + by), sourceRow(top));
  }
}
