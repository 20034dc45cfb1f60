#include "effect/effectmoviewarp.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "effect/calcucurve.h"
#include "effect/effectmanager.h"
#include "effect/packedpixel.h"
#include "graphics/blendrows.h"
#include "graphics/packedwords.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"

using namespace effectstart;

namespace {

constexpr ClampTiming kAfter = ClampTiming::kAfterDefaults;

}  // namespace

// The centre on the screen; the twist in degrees at the start, unwinding to
// none; opacity and zoom in percent.
constexpr ParamDefault CEffectMovieWarp::kDefaults[] = {
    Value(kDuration, 20),
    Value(kCentreX, Width(1, 2)),
    Value(kCentreY, Height(1, 2)),
    Value(kTwist, 180),
    Value(kUnused, 0),
    Value(kTwistCurve, 0),
    Value(kTwistRamp, 0),
    Value(kEndOpacity, 100),
    Same(kStartOpacity, kEndOpacity),
    Value(kOpacityCurve, 0),
    Value(kOpacityRamp, 0),
    Value(kEndZoom, 100),
    Same(kStartZoom, kEndZoom),
    Value(kZoomCurve, 0),
    Value(kZoomRamp, 0),
};

constexpr StartTable CEffectMovieWarp::kTable{kNumber, 16, -1, kAfter, kDefaults};

CEffectMovieWarp::CEffectMovieWarp(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

CEffectMovieWarp::Frame CEffectMovieWarp::FrameValues(const EffectChannel& record) {
  const int c = record.Counter(), d = record.Duration();
  auto p = [&](int i) { return record.Param(i); };
  Frame f;
  const int64_t unwound =
      10000 - int64_t{CalcuCurve(c, d, 0, 10000, p(kTwistRamp), p(kTwistCurve))};
  f.twist = static_cast<int>(int64_t{p(kTwist)} * unwound / 10000);
  f.opacity = std::clamp(
      CalcuCurve(c, d, p(kStartOpacity), p(kEndOpacity), p(kOpacityRamp), p(kOpacityCurve)), 0,
      100);
  f.zoom = std::max(CalcuCurve(c, d, ScaledValue(p(kStartZoom), 10), ScaledValue(p(kEndZoom), 10),
                               p(kZoomRamp), p(kZoomCurve)),
                    1);
  return f;
}

struct CEffectMovieWarp::Setup {
  Frame f;
  int pw = 0, ph = 0;
  int64_t half10 = 10;
  double inv = 1.0;
  int64_t cx = 0, cy = 0, originX = 0, originY = 0;
  const uint32_t* source = nullptr;
  const uint8_t* mask = nullptr;
  uint32_t* screen = nullptr;
  int width = 0, height = 0;
};

bool CEffectMovieWarp::Prepare(const EffectChannel& record, Setup* s) {
  CPicture* picture = RecordPicture(record);
  s->screen = CScreenBuffer::GetBuffer();
  if (!picture || !s->screen || picture->Get256Flag() || !picture->GetMaskFlag() ||
      !picture->GetPixelBuffer() || !picture->GetMask())
    return false;
  s->f = FrameValues(record);
  s->pw = picture->GetWidth();
  s->ph = picture->GetHeight();
  s->half10 = int64_t{std::max(std::min(s->pw, s->ph) / 2, 1)} * 10;
  s->inv = 1.0 / (s->f.zoom * 0.001);
  s->cx = record.Param(kCentreX);
  s->cy = record.Param(kCentreY);
  s->originX = record.DrawRect()[0] + s->cx;
  s->originY = record.DrawRect()[1] + s->cy;
  s->source = picture->GetPixelBuffer();
  s->mask = picture->GetMask();
  s->width = CScreenBuffer::GetWidth();
  s->height = CScreenBuffer::GetHeight();
  return true;
}

namespace {

// The source point's offset from the whirl's origin.
struct Offset {
  int64_t x = 0, y = 0;
};

// The frame's angle for a pixel whose scaled distance, in tenths, is rr10:
// twist x rr10 / (half x 10) in integers, reduced by the remainder of 360
// that keeps its sign.
inline int64_t TurnDegrees(const CEffectMovieWarp::Frame& f, int64_t rr10, int64_t half10) {
  return f.twist * rr10 / half10 % 360;
}

inline double TurnRadians(int64_t angle) { return static_cast<double>(angle) / 360 * 6.28318; }

// The offset of the pixel at distance r and direction theta from the centre:
// its scaled distance turned by the frame's angle, through the library's
// cosine and sine.
inline Offset PlainOffset(const CEffectMovieWarp::Frame& f, double inv, int64_t half10, double r,
                          double theta) {
  const int64_t rr = std::max(ClampToInt(r * inv), 1);
  const int64_t rr10 = ClampToInt(r * inv * 10);
  const double phi = TurnRadians(TurnDegrees(f, rr10, half10));
  return {ClampToInt(std::cos(theta + phi) * rr + 0.5),
          ClampToInt(std::sin(theta + phi) * rr + 0.5)};
}

// Where in the picture the point at `offset` from the origin lies; -1
// outside the picture.
inline int64_t PictureIndex(int64_t originX, int64_t originY, int pw, int ph, Offset offset) {
  const int64_t sx = originX + offset.x;
  const int64_t sy = originY + offset.y;
  if (sx < 0 || sy < 0 || sx >= pw || sy >= ph) return -1;
  return sy * pw + sx;
}

// Screen pixel `out` from picture pixel `at`, through its mask value at the
// frame's opacity.
inline void DrawFrom(const CEffectMovieWarp::Frame& f, const uint32_t* source,
                     const uint8_t* mask, size_t at, uint32_t* out) {
  uint32_t m = mask[at];
  if (m == 0) return;
  if (f.opacity != 100) m = m * static_cast<uint32_t>(f.opacity) / 100;
  const uint32_t s = source[at];
  if (m == 255) {
    *out = s;
    return;
  }
  const uint32_t d = *out;
  uint32_t blended = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const uint32_t a = (s >> shift) & 0xFF, b = (d >> shift) & 0xFF;
    blended |= ((a * m + b * (256 - m)) >> 8) << shift;
  }
  *out = blended;
}

// DrawFrom's rule for picture pixel `at`, with the opacity's weights of
// the mask values looked up and the three channels blended in one word.
inline void DrawWeighted(const uint8_t* weight, const uint32_t* source, const uint8_t* mask,
                         size_t at, uint32_t* out) {
  if (mask[at] == 0) return;
  const uint32_t m = weight[mask[at]];
  const uint32_t s = source[at];
  *out = m == 255 ? s : packedpixel::Blend256(*out, s, m) & 0xFFFFFF;
}

// Cosine and sine of the turn for every angle from -359 to 359 degrees.
struct TurnTable {
  static constexpr int kLowest = -359;
  double cos[719], sin[719];
  TurnTable() {
    for (int i = 0; i < 719; ++i) {
      cos[i] = std::cos(TurnRadians(i + kLowest));
      sin[i] = std::sin(TurnRadians(i + kLowest));
    }
  }
};

const TurnTable& Turns() {
  static const TurnTable table;
  return table;
}

// Bound on how far (dx cos phi - dy sin phi) x rr / r and cos(theta + phi)
// x rr, each plus 0.5 and rounded the way doubles round, can differ, per
// unit of rr + 1: a few units in the last place of the library's
// functions, of theta's rounding and of the products, with a wide margin.
constexpr double kMarginPerUnit = 1.0 / (int64_t{1} << 44);

// The same bound for the turn worked out in floats, per unit of top + 2
// where top bounds rr. With u = 2^-24, rounding the cosine, the sine and
// r to floats, the division rr / r, the two products (|dx cos| + |dy sin|
// is at most r), their difference, the product by rr / r and the sum with
// 0.5 each move the result by at most u (rr + 1); adding or taking off
// the margin rounds by u (rr + 2) more, and the bound in doubles above is
// far below u. That is under 10 u (rr + 2) in all; 16 u leaves room to
// spare.
constexpr double kFloatMarginPerUnit = 1.0 / (1 << 20);

// Distances from the centre below this are whole floats, and so are their
// sums with the columns.
constexpr double kFloatExact = 1 << 22;

// ClampToInt of a scaled distance, which is never negative, in a form the
// vector lanes take.
inline int32_t ScaledToInt(double t) {
  constexpr double kIntMax = INT_MAX;
  return static_cast<int32_t>(t < kIntMax ? t : kIntMax);
}

// Divided by a distance plus this, rr stays finite at the centre (whose
// pixel is never sure) and is divided by the distance itself elsewhere:
// distances are 0 or at least 1, which the addend leaves as they are.
constexpr double kCentreAddend = 1e-300;
constexpr float kCentreAddendFloat = 1e-30f;

// Offsets beyond this size are left to the library's cosine and sine, so
// every conversion to int stays defined.
constexpr double kFastLimit = 1 << 30;

// m x opacity / 100 for m up to 255 and opacity up to 100, as a product
// and a shift.
constexpr uint32_t kPerCent = 5243, kPerCentShift = 19;
constexpr bool PerCentHolds() {
  for (uint32_t x = 0; x <= 255 * 100; ++x)
    if (x * kPerCent >> kPerCentShift != x / 100) return false;
  return true;
}
static_assert(PerCentHolds(), "the shift form divides by 100 exactly");

#if defined(__x86_64__) || defined(__i386__)
// Print's rule for the pixels of a row whose picture indices (at, none
// unsure) fit 32 bits, eight at a time with gathered loads; see
// whirllanes::DrawWide. The address sanitizer does not see gathered
// loads, so their bounds hold by construction.
constexpr int kAhead = 16;
__attribute__((target("avx2"))) int DrawLanes(const int32_t* at, int n, const uint32_t* source,
                                              const uint8_t* mask, size_t maskBytes,
                                              uint32_t opacity, uint32_t* out) {
  // A mask value i is the low byte of the 4 bytes read from
  // min(i, maskBytes - 4), shifted down by what the minimum took off: for
  // 0 <= i < maskBytes every byte read lies in [0, maskBytes). Lanes
  // outside the picture (negative) read nothing.
  if (maskBytes < 4 || maskBytes - 4 > static_cast<size_t>(INT_MAX)) return 0;
  const __m256i lastWord = _mm256_set1_epi32(static_cast<int>(maskBytes - 4));
  const __m256i none = _mm256_set1_epi32(-1), zero = _mm256_setzero_si256();
  const __m256i byte = _mm256_set1_epi32(255), even = _mm256_set1_epi32(0x00FF00FF);
  const __m256i full = _mm256_set1_epi16(256), colour = _mm256_set1_epi32(0xFFFFFF);
  const __m256i scale = _mm256_set1_epi32(static_cast<int>(opacity * kPerCent));
  int x = 0;
  for (; x + 8 <= n; x += 8) {
    // The picture points of a row are scattered: each is fetched ahead
    // (the picture's first for those outside it, with no branch).
    if (x + kAhead + 8 <= n) {
      alignas(32) int32_t next[8];
      _mm256_store_si256(reinterpret_cast<__m256i*>(next),
                         _mm256_max_epi32(_mm256_loadu_si256(
                                              reinterpret_cast<const __m256i*>(at + x + kAhead)),
                                          zero));
      for (int i = 0; i < 8; ++i) {
        __builtin_prefetch(mask + next[i]);
        __builtin_prefetch(source + next[i]);
      }
    }
    const __m256i index = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + x));
    const __m256i inside = _mm256_cmpgt_epi32(index, none);
    const __m256i from = _mm256_min_epi32(index, lastWord);
    const __m256i word = _mm256_mask_i32gather_epi32(
        zero, reinterpret_cast<const int*>(mask), from, inside, 1);
    const __m256i shift = _mm256_slli_epi32(_mm256_sub_epi32(index, from), 3);
    const __m256i raw = _mm256_and_si256(_mm256_srlv_epi32(word, shift), byte);
    const __m256i m = _mm256_srli_epi32(_mm256_mullo_epi32(raw, scale), kPerCentShift);
    // Every pixel inside the picture is fetched, not only those drawn, so
    // this gather need not wait for the mask's.
    const __m256i s = _mm256_mask_i32gather_epi32(zero, reinterpret_cast<const int*>(source),
                                                  index, inside, 4);
    // A pixel under a non-zero mask byte is written even when its weight
    // rounds to 0: it keeps its colour and loses its top byte, as every
    // blended pixel does.
    const __m256i drawn = _mm256_andnot_si256(_mm256_cmpeq_epi32(raw, zero), inside);
    if (_mm256_testz_si256(drawn, drawn)) continue;
    __m256i* slot = reinterpret_cast<__m256i*>(out + x);
    const __m256i d = _mm256_loadu_si256(slot);
    // m and 256 - m in both halves of each lane: two channels are blended
    // at a time in 16-bit halves, whose products and sums stay below 2^16.
    const __m256i weight = _mm256_or_si256(m, _mm256_slli_epi32(m, 16));
    const __m256i keep = _mm256_sub_epi16(full, weight);
    const __m256i low = _mm256_srli_epi16(
        _mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(s, even), weight),
                         _mm256_mullo_epi16(_mm256_and_si256(d, even), keep)),
        8);
    const __m256i high = _mm256_andnot_si256(
        even, _mm256_add_epi16(
                  _mm256_mullo_epi16(_mm256_and_si256(_mm256_srli_epi32(s, 8), even), weight),
                  _mm256_mullo_epi16(_mm256_and_si256(_mm256_srli_epi32(d, 8), even), keep)));
    const __m256i blended = _mm256_and_si256(_mm256_or_si256(low, high), colour);
    const __m256i whole = _mm256_cmpeq_epi32(m, byte);
    const __m256i mixed = _mm256_blendv_epi8(blended, s, whole);
    _mm256_storeu_si256(slot, _mm256_blendv_epi8(d, mixed, drawn));
  }
  return x;
}

// The first x in [from, n) with at[x] == value, eight at a time; n if
// there is none.
__attribute__((target("avx2"))) int FindLanes(const int32_t* at, int from, int n,
                                              int32_t value) {
  const __m256i wanted = _mm256_set1_epi32(value);
  int x = from;
  for (; x + 8 <= n; x += 8) {
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + x));
    const int hits = _mm256_movemask_ps(_mm256_castsi256_ps(_mm256_cmpeq_epi32(v, wanted)));
    if (hits != 0) return x + __builtin_ctz(static_cast<unsigned>(hits));
  }
  while (x < n && at[x] != value) ++x;
  return x;
}
#endif

// The first x in [from, n) with at[x] == value; n if there is none.
int Find(const int32_t* at, int from, int n, int32_t value) {
#if defined(__x86_64__) || defined(__i386__)
  if (blendrows::UseWideRows()) return FindLanes(at, from, n, value);
#endif
  while (from < n && at[from] != value) ++from;
  return from;
}

}  // namespace

int whirllanes::DrawWide(const int32_t* at, int n, const uint32_t* source, const uint8_t* mask,
                         size_t maskBytes, uint32_t opacity, uint32_t* out) {
#if defined(__x86_64__) || defined(__i386__)
  if (blendrows::UseWideRows()) return DrawLanes(at, n, source, mask, maskBytes, opacity, out);
#endif
  return 0;
}

// What Print works with: the frame's turn by scaled distance and the row
// being drawn.
struct CEffectMovieWarp::Work {
  // Cosine and sine of the frame's turn by rr10, when the frame has them,
  // in doubles and in floats.
  std::vector<double> turnCos, turnSin;
  std::vector<float> turnCosFloat, turnSinFloat;
  // Per pixel of the row; the floats for frames whose indices fit 32 bits.
  std::vector<double> radius, scale, cosine, sine;
  std::vector<float> scaleFloat, cosineFloat, sineFloat;
  std::vector<int32_t> rr, rr10, offsetX, offsetY, sure;
  // The picture pixel drawn; kOutside, or kUnsure until it is worked out
  // through the library's cosine and sine.
  // kAhead entries past the row's end, kOutside.
  std::vector<int64_t> at;
  // The same in 32 bits, for frames whose indices all fit (with
  // kOutside and kUnsure).
  std::vector<int32_t> at32;
  static constexpr int64_t kOutside = -1, kUnsure = -2;
  // The picture points of a row are scattered: each is fetched this many
  // pixels ahead of its drawing.
  static constexpr int kAhead = 16;

  void Resize(int width) {
    const size_t n = static_cast<size_t>(width);
    for (std::vector<double>* v : {&radius, &scale, &cosine, &sine}) v->resize(n);
    for (std::vector<float>* v : {&scaleFloat, &cosineFloat, &sineFloat}) v->resize(n);
    for (std::vector<int32_t>* v : {&rr, &rr10, &offsetX, &offsetY, &sure}) v->resize(n);
    at.resize(n + kAhead);
    at32.resize(n);
    std::fill(at.begin() + static_cast<std::ptrdiff_t>(n), at.end(), kOutside);
  }
};

CEffectMovieWarp::~CEffectMovieWarp() = default;

void CEffectMovieWarp::PrintPlain(EffectChannel* record, int) {
  Setup s;
  if (!Prepare(*record, &s)) return;
  for (int y = 0; y < s.height; ++y) {
    uint32_t* row = s.screen + static_cast<size_t>(y) * s.width;
    const double dy = static_cast<double>(y - s.cy);
    for (int x = 0; x < s.width; ++x) {
      const double dx = static_cast<double>(x - s.cx);
      const Offset offset =
          PlainOffset(s.f, s.inv, s.half10, std::sqrt(dx * dx + dy * dy), std::atan2(dy, dx));
      const int64_t at = PictureIndex(s.originX, s.originY, s.pw, s.ph, offset);
      if (at >= 0) DrawFrom(s.f, s.source, s.mask, static_cast<size_t>(at), row + x);
    }
  }
}

namespace {

// body(x) for each column worked out, not mirrored: [0, mirrorBegin) and
// [mirrorEnd, width). Called inside packedwords::Run, so that each span is
// a loop the compiler works on many columns at once.
template <typename Body>
inline void ForWorkedColumns(int mirrorBegin, int mirrorEnd, int width, const Body& body) {
  for (const auto& [begin, end] : {std::pair{0, mirrorBegin}, std::pair{mirrorEnd, width}})
    for (int x = begin; x < end; ++x) body(x);
}

// The cosine and sine of each column's turn, looked up by its rr10, for the
// columns outside [mirrorBegin, mirrorEnd) (the others are mirrored).
template <typename T>
void LookUpTurns(const T* turnCos, const T* turnSin, const int32_t* rr10s, int mirrorBegin,
                 int mirrorEnd, int width, T* cosine, T* sine) {
  packedwords::Run([=] {
    ForWorkedColumns(mirrorBegin, mirrorEnd, width, [=](int x) {
      cosine[x] = turnCos[rr10s[x]];
      sine[x] = turnSin[rr10s[x]];
    });
  });
}

}  // namespace

// Row y's distances r, scaled distances rr and rr10 and their ratio
// rr / r, and the turn's cosine and sine by rr10 where the frame has a
// table of them: all alike for the rows y and 2 cy - y, and for the
// columns x and 2 cx - x, so the columns left of the centre that have a
// mirror on the screen copy theirs from it. For `narrow` frames (see
// Print) the ratio and the turn are kept as floats, and only they.
void CEffectMovieWarp::RowDistances(const Setup& s, int y, bool narrow) {
  Work& w = *work_;
  const double dy = static_cast<double>(y - s.cy);
  const double firstDx = static_cast<double>(-s.cx);
  const double inv = s.inv;
  const int width = s.width;
  // The columns [mirrorBegin, mirrorEnd), left of the centre, each with
  // its mirror 2 cx - x on the screen; the others are worked out.
  int mirrorBegin = 0, mirrorEnd = 0;
  if (s.cx > 0 && s.cx < width) {
    mirrorEnd = static_cast<int>(s.cx);
    mirrorBegin = static_cast<int>(std::max<int64_t>(0, 2 * s.cx - width + 1));
  }
  const int twoCx = 2 * mirrorEnd;
  double* radius = w.radius.data();
  int32_t* rrs = w.rr.data();
  int32_t* rr10s = w.rr10.data();
  // Each pass runs over the columns worked out: [0, mirrorBegin) and
  // [mirrorEnd, width).
  packedwords::Run([=] {
    ForWorkedColumns(mirrorBegin, mirrorEnd, width, [=](int x) {
      const double dx = firstDx + x;
      const double r = std::sqrt(dx * dx + dy * dy);
      const double t = r * inv;
      const int32_t rr = ScaledToInt(t);
      radius[x] = r;
      rrs[x] = rr < 1 ? 1 : rr;
      rr10s[x] = ScaledToInt(t * 10);
    });
  });
  // Each array's mirrored columns, from the right of the centre, which
  // they never overlap.
  auto mirror = [=](auto* v) {
    auto* __restrict to = v + mirrorBegin;
    const auto* __restrict from = v + (twoCx - mirrorBegin);
    const int n = mirrorEnd - mirrorBegin;
    packedwords::Run([=] {
      for (int i = 0; i < n; ++i) to[i] = from[-i];
    });
  };
  if (narrow) {
    // rr / r in floats (rr, below the screen's size, is a whole float).
    float* scale = w.scaleFloat.data();
    packedwords::Run([=] {
      ForWorkedColumns(mirrorBegin, mirrorEnd, width, [=](int x) {
        scale[x] =
            static_cast<float>(rrs[x]) / (static_cast<float>(radius[x]) + kCentreAddendFloat);
      });
    });
    float* cosine = w.cosineFloat.data();
    float* sine = w.sineFloat.data();
    LookUpTurns(w.turnCosFloat.data(), w.turnSinFloat.data(), rr10s, mirrorBegin, mirrorEnd, width,
                cosine, sine);
    mirror(scale);
    mirror(cosine);
    mirror(sine);
    return;
  }
  // rr / r, rr staying finite at the centre.
  double* scale = w.scale.data();
  packedwords::Run([=] {
    ForWorkedColumns(mirrorBegin, mirrorEnd, width, [=](int x) {
      scale[x] = static_cast<double>(rrs[x]) / (radius[x] + kCentreAddend);
    });
  });
  const bool turns = !w.turnCos.empty();
  // The turn's cosine and sine by rr10.
  double* cosine = w.cosine.data();
  double* sine = w.sine.data();
  if (turns)
    LookUpTurns(w.turnCos.data(), w.turnSin.data(), rr10s, mirrorBegin, mirrorEnd, width, cosine,
                sine);
  mirror(radius);
  mirror(rrs);
  mirror(rr10s);
  mirror(scale);
  if (turns) {
    mirror(cosine);
    mirror(sine);
  }
}

// Row y's picture indices where the frame has its turn by rr10 in floats,
// its distances from the centre below kFloatExact and its picture indices
// within 32 bits, in vector lanes (the centre, whose rr / r has no value,
// kUnsure).
void CEffectMovieWarp::RowIndicesNarrow(const Setup& s, int y, float margin) {
  Work& w = *work_;
  const float dy = static_cast<float>(y - s.cy);
  const float firstDx = static_cast<float>(-s.cx);
  const int width = s.width;
  const int32_t originX = static_cast<int32_t>(s.originX);
  const int32_t originY = static_cast<int32_t>(s.originY);
  const int32_t pw = s.pw, ph = s.ph;
  const float* scale = w.scaleFloat.data();
  const float* cosine = w.cosineFloat.data();
  const float* sine = w.sineFloat.data();
  int32_t* at = w.at32.data();
  packedwords::Run([=] {
    for (int x = 0; x < width; ++x) {
      const float dx = firstDx + static_cast<float>(x);
      const float k = scale[x];
      // Scaled distances here stay below the screen's size, and offsets
      // with them.
      const float c = cosine[x], sn = sine[x];
      const float ax = (dx * c - dy * sn) * k + 0.5f;
      const float ay = (dx * sn + dy * c) * k + 0.5f;
      const int32_t lowX = static_cast<int32_t>(ax - margin);
      const int32_t lowY = static_cast<int32_t>(ay - margin);
      const int32_t highX = static_cast<int32_t>(ax + margin);
      const int32_t highY = static_cast<int32_t>(ay + margin);
      const int32_t sx = originX + lowX, sy = originY + lowY;
      const bool inside = (sx >= 0) & (sx < pw) & (sy >= 0) & (sy < ph);
      const bool sure = (lowX == highX) & (lowY == highY);
      const int32_t placed = !sure ? int32_t{Work::kUnsure}
                             : inside ? sy * pw + sx
                                      : int32_t{Work::kOutside};
      at[x] = placed;
    }
  });
  if (y == s.cy && s.cx >= 0 && s.cx < width) at[s.cx] = int32_t{Work::kUnsure};
}

// The picture index of pixel (x, y) where the frame has its turn by rr10:
// through that turn in doubles where the truncation is sure within
// `margin`, else through the library's cosine and sine.
int64_t CEffectMovieWarp::UnsureIndex(const Setup& s, int x, int y, double margin) const {
  const Work& w = *work_;
  const double dx = static_cast<double>(x - s.cx), dy = static_cast<double>(y - s.cy);
  const double r = std::sqrt(dx * dx + dy * dy);
  if (r > 0) {
    const double t = r * s.inv;
    const int32_t rr = ScaledToInt(t);
    const size_t rr10 = static_cast<size_t>(ScaledToInt(t * 10));
    const double k = static_cast<double>(rr < 1 ? 1 : rr) / (r + kCentreAddend);
    const double c = w.turnCos[rr10], sn = w.turnSin[rr10];
    const double ax = (dx * c - dy * sn) * k + 0.5;
    const double ay = (dx * sn + dy * c) * k + 0.5;
    const int32_t lowX = static_cast<int32_t>(ax - margin);
    const int32_t lowY = static_cast<int32_t>(ay - margin);
    if (lowX == static_cast<int32_t>(ax + margin) && lowY == static_cast<int32_t>(ay + margin))
      return PictureIndex(s.originX, s.originY, s.pw, s.ph, {lowX, lowY});
  }
  return PictureIndex(s.originX, s.originY, s.pw, s.ph,
                      PlainOffset(s.f, s.inv, s.half10, r, std::atan2(dy, dx)));
}

// Row y's picture indices for any frame: the turn per pixel (by rr10
// where the frame has it), offsets held inside the range in vector lanes,
// then the indices in 64 bits.
void CEffectMovieWarp::RowIndicesWide(const Setup& s, int y, double margin) {
  Work& w = *work_;
  const double dy = static_cast<double>(y - s.cy);
  const double firstDx = static_cast<double>(-s.cx);
  const int width = s.width;
  const double* radius = w.radius.data();
  const double* scale = w.scale.data();
  const int32_t* rr10s = w.rr10.data();
  double* cosine = w.cosine.data();
  double* sine = w.sine.data();
  int32_t* offsetX = w.offsetX.data();
  int32_t* offsetY = w.offsetY.data();
  int32_t* sure = w.sure.data();
  // The turn's cosine and sine per pixel (RowDistances has them where the
  // frame has its table by rr10).
  if (w.turnCos.empty()) {
    const TurnTable& turns = Turns();
    for (int x = 0; x < width; ++x) {
      const size_t turn =
          static_cast<size_t>(TurnDegrees(s.f, rr10s[x], s.half10) - TurnTable::kLowest);
      cosine[x] = turns.cos[turn];
      sine[x] = turns.sin[turn];
    }
  }
  packedwords::Run([=] {
    for (int x = 0; x < width; ++x) {
      const double dx = firstDx + x;
      const double k = scale[x];
      const double ax = (dx * cosine[x] - dy * sine[x]) * k + 0.5;
      const double ay = (dx * sine[x] + dy * cosine[x]) * k + 0.5;
      // Held inside the range so the conversions stay defined; a held
      // pixel is not sure.
      const double heldX = ax < -kFastLimit ? -kFastLimit : ax > kFastLimit ? kFastLimit : ax;
      const double heldY = ay < -kFastLimit ? -kFastLimit : ay > kFastLimit ? kFastLimit : ay;
      const int32_t lowX = static_cast<int32_t>(heldX - margin);
      const int32_t lowY = static_cast<int32_t>(heldY - margin);
      const int32_t highX = static_cast<int32_t>(heldX + margin);
      const int32_t highY = static_cast<int32_t>(heldY + margin);
      offsetX[x] = lowX;
      offsetY[x] = lowY;
      sure[x] = (ax > -kFastLimit) & (ax < kFastLimit) & (ay > -kFastLimit) & (ay < kFastLimit) &
                (radius[x] > 0) & (lowX == highX) & (lowY == highY);
    }
  });
  for (int x = 0; x < width; ++x)
    w.at[static_cast<size_t>(x)] =
        sure[x] ? PictureIndex(s.originX, s.originY, s.pw, s.ph, {offsetX[x], offsetY[x]})
                : Work::kUnsure;
}

// Each pixel's distance r, scaled distances rr and rr10 and the turn's
// cosine and sine for rr10; cos(theta + phi) as (dx cos phi - dy sin phi)
// / r and sin(theta + phi) as (dx sin phi + dy cos phi) / r, times rr,
// which differ from the library's values only in the last places, and
// whether the truncation comes out the same anywhere within the margin
// those places allow. Where the indices fit 32 bits that is worked out in
// floats first, then in doubles for the pixels the floats leave unsure.
// Where it might not (and at the centre) the library's cosine and sine
// decide, so every pixel is PrintPlain's.
void CEffectMovieWarp::Print(EffectChannel* record, int) {
  Setup s;
  if (!Prepare(*record, &s)) return;
  if (!work_) work_ = std::make_unique<Work>();
  Work& w = *work_;
  w.Resize(s.width);
  // The farthest pixel is a corner.
  double farthest = 0;
  for (int64_t x : {int64_t{0}, int64_t{s.width} - 1})
    for (int64_t y : {int64_t{0}, int64_t{s.height} - 1}) {
      const double dx = static_cast<double>(x - s.cx), dy = static_cast<double>(y - s.cy);
      farthest = std::max(farthest, std::sqrt(dx * dx + dy * dy));
    }
  const double top = farthest * s.inv;
  const double margin = (std::min(top, kFastLimit) + 2) * kMarginPerUnit;
  // The turn by rr10, unless that is longer than the screen has pixels (it
  // would cost more than the divisions it saves) or than kMaxTurns.
  constexpr double kMaxTurns = 1 << 18;
  const bool hasTurns = top * 10 < std::min(static_cast<double>(s.width) * s.height, kMaxTurns);
  // Scaled distances are then below the screen's size, and with the origin
  // and the picture's size below 2^30 every index fits 32 bits; the turn
  // is then worked out in floats while the distances from the centre are
  // whole floats.
  constexpr int64_t kSmall = int64_t{1} << 30;
  const bool narrow = hasTurns && s.originX < kSmall && s.originX > -kSmall &&
                      s.originY < kSmall && s.originY > -kSmall &&
                      int64_t{s.pw} * s.ph < INT_MAX && farthest < kFloatExact;
  const float floatMargin =
      static_cast<float>((std::min(top, kFastLimit) + 2) * kFloatMarginPerUnit);
  // The turn's table, for narrow frames in floats too.
  w.turnCos.clear();
  w.turnSin.clear();
  if (hasTurns) {
    const TurnTable& turns = Turns();
    const size_t last = static_cast<size_t>(ClampToInt(top * 10));
    w.turnCos.resize(last + 1);
    w.turnSin.resize(last + 1);
    if (narrow) {
      w.turnCosFloat.resize(last + 1);
      w.turnSinFloat.resize(last + 1);
    }
    for (size_t rr10 = 0; rr10 <= last; ++rr10) {
      const int64_t turn = TurnDegrees(s.f, static_cast<int64_t>(rr10), s.half10);
      const double c = turns.cos[static_cast<size_t>(turn - TurnTable::kLowest)];
      const double sn = turns.sin[static_cast<size_t>(turn - TurnTable::kLowest)];
      w.turnCos[rr10] = c;
      w.turnSin[rr10] = sn;
      if (narrow) {
        w.turnCosFloat[rr10] = static_cast<float>(c);
        w.turnSinFloat[rr10] = static_cast<float>(sn);
      }
    }
  }
  // Each mask value at the frame's opacity.
  uint8_t weight[256];
  for (uint32_t m = 0; m < 256; ++m)
    weight[m] = static_cast<uint8_t>(m * static_cast<uint32_t>(s.f.opacity) / 100);
  // Rows at the same distance above and below the centre have the same
  // distances; each row is drawn from its own pixels and the picture
  // alone, so such rows are drawn one after the other and share them.
  int64_t shared = -1;  // the |y - cy| whose distances the work rows hold
  auto drawRow = [&](int y) {
    const int64_t apart = y < s.cy ? s.cy - y : y - s.cy;
    if (apart != shared) {
      RowDistances(s, y, narrow);
      shared = apart;
    }
    const double dy = static_cast<double>(y - s.cy);
    uint32_t* screenRow = s.screen + static_cast<size_t>(y) * s.width;
    if (narrow) {
      RowIndicesNarrow(s, y, floatMargin);
      int32_t* at = w.at32.data();
      for (int x = Find(at, 0, s.width, Work::kUnsure); x < s.width;
           x = Find(at, x + 1, s.width, Work::kUnsure))
        at[x] = static_cast<int32_t>(UnsureIndex(s, x, y, margin));
      int x = whirllanes::DrawWide(at, s.width, s.source, s.mask,
                                   static_cast<size_t>(s.pw) * static_cast<size_t>(s.ph),
                                   static_cast<uint32_t>(s.f.opacity), screenRow);
      for (; x < s.width; ++x)
        if (at[x] >= 0)
          DrawWeighted(weight, s.source, s.mask, static_cast<size_t>(at[x]), screenRow + x);
      return;
    }
    RowIndicesWide(s, y, margin);
    int64_t* at = w.at.data();
    // Each pixel by DrawWeighted; an unsure pixel's index first through
    // the library's cosine and sine.
    for (int x = 0; x < s.width; ++x) {
      if (at[x + Work::kAhead] >= 0) {
        __builtin_prefetch(s.mask + at[x + Work::kAhead]);
        __builtin_prefetch(s.source + at[x + Work::kAhead]);
      }
      if (at[x] == Work::kUnsure) {
        const Offset offset =
            PlainOffset(s.f, s.inv, s.half10, w.radius[static_cast<size_t>(x)],
                        std::atan2(dy, static_cast<double>(x - s.cx)));
        at[x] = PictureIndex(s.originX, s.originY, s.pw, s.ph, offset);
      }
      if (at[x] >= 0)
        DrawWeighted(weight, s.source, s.mask, static_cast<size_t>(at[x]), screenRow + x);
    }
  };
  if (s.cy >= 0 && s.cy < s.height) {
    for (int64_t d = 0; s.cy - d >= 0 || s.cy + d < s.height; ++d) {
      if (s.cy - d >= 0) drawRow(static_cast<int>(s.cy - d));
      if (d != 0 && s.cy + d < s.height) drawRow(static_cast<int>(s.cy + d));
    }
  } else {
    for (int y = 0; y < s.height; ++y) drawRow(y);
  }
}
