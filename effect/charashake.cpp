#include "effect/charashake.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "effect/calcucurve.h"
#include "effect/effectmanager.h"
#include "graphics/packedwords.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "setup/random.h"

using namespace effectstart;

namespace {

constexpr ClampTiming kEach = ClampTiming::kWithEachDefault;

// (sum x f) >> 16 to within a unit, in 16-bit pieces: sum's high half times
// f plus twice the scaled low half.
uint32_t ScaleSum(uint32_t sum, uint32_t f) {
  return (sum >> 16) * f + 2 * ((((sum & 65535) >> 1) * f) >> 16);
}

}  // namespace

namespace {

// Adds (kAdd) or takes away one row's contributions, its bytes and a 1 each
// times its mask, a plane at a time (so each loop writes one plane). The
// sums wrap as unsigned; every true sum is positive.
template <bool kAdd>
void MovePlanes(const CEffectCharaBokashi::ColumnSums& sums, int count, const uint32_t* pixels,
                const uint8_t* mask) {
  for (int shift : {0, 8, 16}) {
    uint32_t* const plane = shift == 0 ? sums.b : shift == 8 ? sums.g : sums.r;
    packedwords::Run([=] {
      for (int i = 0; i < count; ++i) {
        const uint32_t v = (pixels[i] >> shift & 255) * mask[i];
        plane[i] = kAdd ? plane[i] + v : plane[i] - v;
      }
    });
  }
  uint32_t* const plane = sums.m;
  packedwords::Run([=] {
    for (int i = 0; i < count; ++i) plane[i] = kAdd ? plane[i] + mask[i] : plane[i] - mask[i];
  });
}

#if defined(__x86_64__) || defined(__i386__)
// A byte shuffle taking byte c of each pixel to byte `at` of its lane,
// zeros elsewhere.
__attribute__((target("avx2"))) __m256i PickByte(int c, int at) {
  alignas(16) char b[16];
  for (int i = 0; i < 16; ++i) b[i] = i % 4 == at ? static_cast<char>(i / 4 * 4 + c) : -1;
  return _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(b)));
}

// SwapPlanes for eight columns at a time with 16-bit products: each
// channel's in and out bytes side by side in a 32-bit lane, times the in
// mask and the negated out mask, summed in one multiply-add (every factor
// fits 16 bits signed, the sum 32). Returns the columns done.
__attribute__((target("avx2"))) int SwapPlanesWide(const CEffectCharaBokashi::ColumnSums& sums,
                                                   int count, const uint32_t* inPixels,
                                                   const uint8_t* inMask,
                                                   const uint32_t* outPixels,
                                                   const uint8_t* outMask) {
  const __m256i inB = PickByte(0, 0), inG = PickByte(1, 0), inR = PickByte(2, 0);
  const __m256i outB = PickByte(0, 2), outG = PickByte(1, 2), outR = PickByte(2, 2);
  const __m256i zero = _mm256_setzero_si256();
  uint32_t* const planes[3] = {sums.b, sums.g, sums.r};
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m256i pin = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(inPixels + i));
    const __m256i pout = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(outPixels + i));
    const __m256i mi =
        _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(inMask + i)));
    const __m256i mo =
        _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(outMask + i)));
    const __m256i weights = _mm256_or_si256(mi, _mm256_slli_epi32(_mm256_sub_epi32(zero, mo), 16));
    const __m256i in[3] = {inB, inG, inR}, out[3] = {outB, outG, outR};
    for (int c = 0; c < 3; ++c) {
      const __m256i pair =
          _mm256_or_si256(_mm256_shuffle_epi8(pin, in[c]), _mm256_shuffle_epi8(pout, out[c]));
      __m256i* slot = reinterpret_cast<__m256i*>(planes[c] + i);
      _mm256_storeu_si256(slot, _mm256_add_epi32(_mm256_loadu_si256(slot),
                                                  _mm256_madd_epi16(pair, weights)));
    }
    __m256i* slot = reinterpret_cast<__m256i*>(sums.m + i);
    _mm256_storeu_si256(slot,
                        _mm256_add_epi32(_mm256_loadu_si256(slot), _mm256_sub_epi32(mi, mo)));
  }
  return i;
}
#endif

// Both at once: the in-row's contributions added and the out-row's taken
// away in one pass over each plane.
void SwapPlanes(CEffectCharaBokashi::ColumnSums sums, int count, const uint32_t* inPixels,
                const uint8_t* inMask, const uint32_t* outPixels, const uint8_t* outMask) {
#if defined(__x86_64__) || defined(__i386__)
  if (blendrows::UseWideRows()) {
    const int done = SwapPlanesWide(sums, count, inPixels, inMask, outPixels, outMask);
    if (done == count) return;
    sums = sums.At(done);
    count -= done;
    inPixels += done;
    inMask += done;
    outPixels += done;
    outMask += done;
  }
#endif
  for (int shift : {0, 8, 16}) {
    uint32_t* const plane = shift == 0 ? sums.b : shift == 8 ? sums.g : sums.r;
    packedwords::Run([=] {
      for (int i = 0; i < count; ++i)
        plane[i] = plane[i] + (inPixels[i] >> shift & 255) * inMask[i] -
                   (outPixels[i] >> shift & 255) * outMask[i];
    });
  }
  uint32_t* const plane = sums.m;
  packedwords::Run([=] {
    for (int i = 0; i < count; ++i) plane[i] = plane[i] + inMask[i] - outMask[i];
  });
}

}  // namespace

void CEffectCharaBokashi::MoveColumns(const ColumnSums& sums, int count, const uint32_t* inPixels,
                                      const uint8_t* inMask, const uint32_t* outPixels,
                                      const uint8_t* outMask) {
  if (inMask && outMask) return SwapPlanes(sums, count, inPixels, inMask, outPixels, outMask);
  if (inMask) MovePlanes<true>(sums, count, inPixels, inMask);
  if (outMask) MovePlanes<false>(sums, count, outPixels, outMask);
}

namespace {

// The four sums of the window over slots i .. i + bx - 1.
struct Window {
  uint32_t b = 0, g = 0, r = 0, m = 0;
  void Add(const CEffectCharaBokashi::ColumnSums& s, int k) {
    b += s.b[k], g += s.g[k], r += s.r[k], m += s.m[k];
  }
  void Slide(const CEffectCharaBokashi::ColumnSums& s, int in, int leave) {
    b += s.b[in] - s.b[leave], g += s.g[in] - s.g[leave], r += s.r[in] - s.r[leave],
        m += s.m[in] - s.m[leave];
  }
};

// One pixel from its window's sums (the mask's sum is never 0 here).
inline uint32_t BlurPixel(uint32_t b, uint32_t g, uint32_t r, uint32_t m, uint32_t f, uint32_t s) {
  // The average mask is at most 254 (f <= 65536 / N).
  const uint32_t a = ScaleSum(m, f), keep = 254 - std::min(a, 254u);
  const uint32_t ob = std::min<uint32_t>((ScaleSum(b, f) + (s & 255) * keep) >> 8, 255);
  const uint32_t og = std::min<uint32_t>((ScaleSum(g, f) + (s >> 8 & 255) * keep) >> 8, 255);
  const uint32_t orr = std::min<uint32_t>((ScaleSum(r, f) + (s >> 16 & 255) * keep) >> 8, 255);
  return orr << 16 | og << 8 | ob;
}

#if defined(__x86_64__) || defined(__i386__)
// ScaleSum on eight 32-bit lanes in 16-bit multiplies: exact while
// (sum >> 16) x f stays below 65536, as it does for every window's true
// sums (a sum of N products of at most 255 x 255 against f <= 65536 / N).
__attribute__((target("avx2"))) inline __m256i ScaleSums(__m256i sum, __m256i f) {
  const __m256i high = _mm256_mullo_epi16(_mm256_srli_epi32(sum, 16), f);
  const __m256i low = _mm256_mulhi_epu16(_mm256_srli_epi16(sum, 1), f);
  return _mm256_add_epi32(high, _mm256_slli_epi32(low, 1));
}

__attribute__((target("avx2"))) inline __m256i LoadLanes(const uint32_t* p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// One channel of BlurPixel: min((ScaleSum + old x keep) >> 8, 255).
__attribute__((target("avx2"))) inline __m256i BlurChannel(__m256i sum, __m256i old, __m256i keep,
                                                           __m256i f) {
  const __m256i mixed = _mm256_add_epi32(ScaleSums(sum, f), _mm256_mullo_epi16(old, keep));
  return _mm256_min_epu32(_mm256_srli_epi32(mixed, 8), _mm256_set1_epi32(255));
}

// BlurPixel for eight pixels at a time where the mask's sum is not 0;
// returns the pixels done. Each keep x byte product is below 65536 too.
__attribute__((target("avx2"))) int BlurPixelsWide(const uint32_t* b, const uint32_t* g,
                                                   const uint32_t* r, const uint32_t* m,
                                                   int count, uint32_t f, uint32_t* row) {
  const __m256i vf = _mm256_set1_epi32(static_cast<int>(f));
  const __m256i most = _mm256_set1_epi32(254), byte = _mm256_set1_epi32(255);
  const __m256i zero = _mm256_setzero_si256();
  int j = 0;
  for (; j + 8 <= count; j += 8) {
    const __m256i ms = LoadLanes(m + j), s = LoadLanes(row + j);
    const __m256i keep =
        _mm256_sub_epi32(most, _mm256_min_epu32(ScaleSums(ms, vf), most));
    const __m256i sb = _mm256_and_si256(s, byte);
    const __m256i sg = _mm256_and_si256(_mm256_srli_epi32(s, 8), byte);
    const __m256i sr = _mm256_and_si256(_mm256_srli_epi32(s, 16), byte);
    const __m256i blurred = _mm256_or_si256(
        _mm256_or_si256(BlurChannel(LoadLanes(b + j), sb, keep, vf),
                        _mm256_slli_epi32(BlurChannel(LoadLanes(g + j), sg, keep, vf), 8)),
        _mm256_slli_epi32(BlurChannel(LoadLanes(r + j), sr, keep, vf), 16));
    const __m256i none = _mm256_cmpeq_epi32(ms, zero);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(row + j), _mm256_blendv_epi8(blurred, s, none));
  }
  return j;
}
#endif

}  // namespace

void CEffectCharaBokashi::BlurRowPlain(const ColumnSums& sums, int n, int bx, uint32_t f,
                                       uint32_t* out) {
  Window run;
  for (int k = 0; k < bx; ++k) run.Add(sums, k);
  for (int i = 0; i < n; ++i) {
    if (run.m != 0) out[i] = BlurPixel(run.b, run.g, run.r, run.m, f, out[i]);
    if (i + 1 < n) run.Slide(sums, i + bx, i);
  }
}

namespace {

// out[j] := (out[j] when kAdd) + from[j] + from[j + len] + ... kTerms
// terms, j < count.
template <int kTerms, bool kAdd>
void SumTerms(const uint32_t* from, int len, int count, uint32_t* out) {
  packedwords::Run([=] {
    for (int j = 0; j < count; ++j) {
      uint32_t sum = kAdd ? out[j] : 0;
      for (int t = 0; t < kTerms; ++t) sum += from[j + t * len];
      out[j] = sum;
    }
  });
}

template <bool kAdd>
void SumTermsOf(int terms, const uint32_t* from, int len, int count, uint32_t* out) {
  switch (terms) {
    case 1: return SumTerms<1, kAdd>(from, len, count, out);
    case 2: return SumTerms<2, kAdd>(from, len, count, out);
    case 3: return SumTerms<3, kAdd>(from, len, count, out);
    case 4: return SumTerms<4, kAdd>(from, len, count, out);
    case 5: return SumTerms<5, kAdd>(from, len, count, out);
    case 6: return SumTerms<6, kAdd>(from, len, count, out);
    case 7: return SumTerms<7, kAdd>(from, len, count, out);
    case 8: return SumTerms<8, kAdd>(from, len, count, out);
    case 9: return SumTerms<9, kAdd>(from, len, count, out);
    case 10: return SumTerms<10, kAdd>(from, len, count, out);
    case 11: return SumTerms<11, kAdd>(from, len, count, out);
    case 12: return SumTerms<12, kAdd>(from, len, count, out);
    case 13: return SumTerms<13, kAdd>(from, len, count, out);
    case 14: return SumTerms<14, kAdd>(from, len, count, out);
    default: return SumTerms<15, kAdd>(from, len, count, out);
  }
}

// Window sums out[j] = s[j] + ... + s[j + bx - 1] for j < count (s holds
// count + bx - 1 values). From sums over windows of 1, 4, 16, ... slots,
// each built from four of the one before, bx's low base-4 digits are
// taken as they come; its high part, up to 15 windows of the last level
// built, in one sum. Every pass is a loop the compiler works on many slots
// at once; the levels take turns between the two scratch rows of
// count + bx values each.
void WindowSums(const uint32_t* s, int count, int bx, uint32_t* out, uint32_t* scratch0,
                uint32_t* scratch1) {
  const uint32_t* level = s;  // sums over `len` slots, count + bx - len of them
  bool started = false;
  int done = 0;  // slots out already sums
  // Sums `terms` windows of `len` slots from slot `done` on into out: the
  // first time it stores them, after that it adds them.
  const auto sumTerms = [&](int terms, int len) {
    const uint32_t* from = level + done;
    if (started)
      SumTermsOf<true>(terms, from, len, count, out);
    else
      SumTermsOf<false>(terms, from, len, count, out);
  };
  for (int len = 1;; len *= 4) {
    if (bx / len < 16) {
      sumTerms(bx / len, len);
      return;
    }
    const int digit = bx / len % 4;
    if (digit != 0) {
      sumTerms(digit, len);
      started = true;
      done += digit * len;
    }
    const int next = count + bx - 4 * len;
    const uint32_t* in = level;
    uint32_t* to = level == scratch0 ? scratch1 : scratch0;
    packedwords::Run([=] {
      for (int j = 0; j < next; ++j)
        to[j] = in[j] + in[j + len] + in[j + 2 * len] + in[j + 3 * len];
    });
    level = to;
  }
}

}  // namespace

void CEffectCharaBokashi::BlurRow(const ColumnSums& sums, int n, int bx, uint32_t f,
                                  uint32_t* out) {
  // Pieces of the row: first each pixel's window sums, then the pixels
  // from them, each in loops the compiler works on many pixels at once.
  constexpr int kPiece = 256;
  constexpr int kLongest = 256;  // bx never passes it
  if (bx > kLongest) {
    BlurRowPlain(sums, n, bx, f, out);
    return;
  }
  // Per plane: its sums and two scratch rows.
  uint32_t work[4][3][kPiece + kLongest];
  for (int x = 0; x < n; x += kPiece) {
    const int count = std::min(kPiece, n - x);
    const uint32_t* planes[4] = {sums.b, sums.g, sums.r, sums.m};
    for (int p = 0; p < 4; ++p)
      WindowSums(planes[p] + x, count, bx, work[p][0], work[p][1], work[p][2]);
    const uint32_t *b = work[0][0], *g = work[1][0], *r = work[2][0], *m = work[3][0];
    uint32_t* row = out + x;
    // Eight pixels at a time where the processor has the lanes, the rest
    // one by one.
#if defined(__x86_64__) || defined(__i386__)
    const int j0 = blendrows::UseWideRows() ? BlurPixelsWide(b, g, r, m, count, f, row) : 0;
#else
    const int j0 = 0;
#endif
    packedwords::Run([=] {
      for (int j = j0; j < count; ++j)
        row[j] = m[j] != 0 ? BlurPixel(b[j], g[j], r[j], m[j], f, row[j]) : row[j];
    });
  }
}

// --- #132 ---

// The shake in pixels, the swing's randomness in percent.
constexpr ParamDefault CEffectCharaBure::kDefaults[] = {
    Value(kDuration, 20),       Value(kShakeWidth, 4),
    Value(kShakeHeight, 4),     Value(kFramesPerSwing, 8),
    Value(kSizeRandomness, 50), Value(kTimeRandomness, 50),
    Value(kCurve, 0),           Value(kRamp, 0),
};
constexpr ParamClamp CEffectCharaBure::kClamps[] = {Range(kShakeWidth, 0, INT_MAX),
                                                    Range(kShakeHeight, 0, INT_MAX)};

constexpr StartTable CEffectCharaBure::kTable{kNumber, 8, -1, kEach, kDefaults, kClamps};
static_assert(CEffectCharaBure::kSwing >= CEffectCharaBure::kTable.max,
              "the swing follows the values");

CEffectCharaBure::CEffectCharaBure(CEffectManager* manager) : CCharaFilterEffect(manager, kTable) {}

int CEffectCharaBure::SetParam(EffectChannel* record, int count, const int* values, int channel) {
  const int result = CCharaFilterEffect::SetParam(record, count, values, channel);
  record->Param(kSwingFrame) = 0;
  record->Param(kSwingLength) = 1;
  for (int i : {int{kFromX}, int{kFromY}, int{kToX}, int{kToY}}) record->Param(i) = 0;
  NewSwing(record);
  return result;
}

void CEffectCharaBure::NewSwing(EffectChannel* record) {
  EffectChannel& r = *record;
  r.Param(kFromX) = r.Param(kToX);
  r.Param(kFromY) = r.Param(kToY);
  const int64_t w = r.Param(kShakeWidth), h = r.Param(kShakeHeight),
                frames = r.Param(kFramesPerSwing);
  const int64_t fx = std::max<int64_t>(w * r.Param(kSizeRandomness), 1);
  const int64_t fy = std::max<int64_t>(int64_t{r.Param(kSizeRandomness)} * h, 1);
  const int64_t fl = std::max<int64_t>(int64_t{r.Param(kTimeRandomness)} * frames, 1);
  const int64_t g = crt::rand() % fx;
  const int64_t hh = crt::rand() % fy;
  const int64_t l = crt::rand() % fl;
  const int sx = crt::rand(), sy = crt::rand();
  const int64_t tx = (w * 100 - g) / 100, ty = (h * 100 - hh) / 100;
  r.Param(kToX) = Clamp32(sx % 100 >= 50 ? tx : -tx);
  r.Param(kToY) = Clamp32(sy % 100 >= 50 ? ty : -ty);
  r.Param(kSwingLength) = Clamp32((frames * 100 - l) / 100);
  r.Param(kSwingFrame) = 0;
}

void CEffectCharaBure::Calcu(EffectChannel* record, int) {
  int& frame = record->Param(kSwingFrame);
  frame = Clamp32(int64_t{frame} + 1);
  if (frame > record->Param(kSwingLength)) NewSwing(record);
}

void CEffectCharaBure::Print(EffectChannel* record, int channel) {
  const EffectChannel& r = *record;
  CPicture* picture = RecordPicture(r);
  if (!picture || !picture->IsLoaded() || !CScreenBuffer::GetBuffer()) return;
  int x0 = 0, y0 = 0;
  manager_->GetDrawPos(channel, &x0, &y0);
  const int frame = r.Param(kSwingFrame), length = r.Param(kSwingLength);
  const int64_t x = int64_t{CalcuCurve(frame, length, r.Param(kFromX), r.Param(kToX),
                                       r.Param(kRamp), r.Param(kCurve))} +
                    x0;
  const int64_t y = int64_t{CalcuCurve(frame, length, r.Param(kFromY), r.Param(kToY),
                                       r.Param(kRamp), r.Param(kCurve))} +
                    y0;
  picture->Put(Clamp32(x), Clamp32(y), CEffectManager::IsOpaqueChannel(channel) ? 0 : 1);
}

// --- #90 ---

// The silhouette's colour; frames of each.
constexpr ParamDefault CEffectCharaFlash::kDefaults[] = {
    Value(kDuration, 20), Value(kRed, 255),         Same(kGreen, kRed),
    Same(kBlue, kGreen),  Value(kPictureFrames, 1), Value(kSilhouetteFrames, 1),
};
constexpr ParamClamp CEffectCharaFlash::kClamps[] = {Range(kPictureFrames, 1, INT_MAX),
                                                     Range(kSilhouetteFrames, 1, INT_MAX)};

constexpr StartTable CEffectCharaFlash::kTable{kNumber, 6, -1, kEach, kDefaults, kClamps};

CEffectCharaFlash::CEffectCharaFlash(CEffectManager* manager)
    : CCharaFilterEffect(manager, kTable) {}

bool CEffectCharaFlash::Silhouette(const EffectChannel& r) {
  const int64_t period =
      std::max<int64_t>(int64_t{r.Param(kPictureFrames)} + r.Param(kSilhouetteFrames), 1);
  return r.Counter() < r.Duration() && r.Counter() % period >= r.Param(kPictureFrames);
}

void CEffectCharaFlash::Print(EffectChannel* record, int) {
  const EffectChannel& r = *record;
  CPicture* picture = RecordPicture(r);
  if (!picture || !picture->IsLoaded() || !CScreenBuffer::GetBuffer()) return;
  const Request q = DrawRequest(r);
  if (Silhouette(r))
    picture->ShapeBlt(q.dstX, q.dstY, q.srcX, q.srcY, q.w, q.h, r.Param(kRed) & 255,
                      r.Param(kGreen) & 255, r.Param(kBlue) & 255);
  else
    picture->Blt(q.dstX, q.dstY, q.srcX, q.srcY, q.w, q.h, 1);
}

// --- #125 ---

constexpr ParamDefault CEffectCharaBokashi::kExtendDefaults[] = {Value(kExtend, 0)};

namespace {
constexpr auto kBlurRows = Rows(CBoxBlurEffect::kDefaults, CEffectCharaBokashi::kExtendDefaults);
}  // namespace

constexpr StartTable CEffectCharaBokashi::kTable{kNumber, 16,        -1,
                                                 kEach,   kBlurRows, CBoxBlurEffect::kClamps};

CEffectCharaBokashi::CEffectCharaBokashi(CEffectManager* manager)
    : CCharaFilterEffect(manager, kTable) {
  EnsureWork(CScreenBuffer::GetWidth());
}

void CEffectCharaBokashi::EnsureWork(int w) {
  // W x 16 + 8320 bytes: W + 520 columns of four sums.
  const int columns = std::max(w, 0) + 520;
  if (columns <= workColumns_) return;
  work_ = std::make_unique<uint32_t[]>(size_t(columns) * 4);
  workColumns_ = columns;
}

int CEffectCharaBokashi::SetParam(EffectChannel* record, int count, const int* values,
                                  int channel) {
  const int result = CCharaFilterEffect::SetParam(record, count, values, channel);
  CBoxBlurEffect::HoldKernel(record);
  return result;
}

void CEffectCharaBokashi::BlurSize(const EffectChannel& r, int* bx, int* by) {
  const BlurKernel kernel = CBoxBlurEffect::Kernel(r);
  *bx = kernel.w;
  *by = kernel.h;
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
  uint32_t* planes = work_.get();
  const ColumnSums sums{planes, planes + workColumns_, planes + 2 * workColumns_,
                        planes + 3 * workColumns_};
  for (uint32_t* plane : {sums.b, sums.g, sums.r, sums.m}) std::fill(plane, plane + slots, 0u);
  // Slot k sums source column base + k; only the box's columns are read.
  const int64_t base = X0 - x0 - hx;
  const int64_t k0 = std::max<int64_t>(0, boxLeft - base);
  const int64_t k1 = std::min<int64_t>(slots, boxRight - base);
  const bool extend = r.Param(kExtend) != 0;
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
    MoveColumns(sums.At(static_cast<int>(k0)), count, in < 0 ? nullptr : pixels + inAt, in < 0 ? nullptr : mask + inAt,
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
