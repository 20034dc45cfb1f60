#include "effect/planeeffects.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "effect/calcucurve.h"
#include "effect/effectmanager.h"
#include "graphics/packedwords.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "setup/random.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace planepixel {

uint32_t TintPlain(uint32_t pixel, const int* add, const int* sub) {
  uint32_t out = 0;
  for (int c = 0; c < 3; ++c) {
    int v = static_cast<int>((pixel >> (8 * c)) & 0xFF);
    v = std::max(std::min(v + add[c], 255) - sub[c], 0);
    out |= static_cast<uint32_t>(v) << (8 * c);
  }
  return out;
}

uint32_t MixPlain(uint32_t a, uint32_t wa, uint32_t b, uint32_t wb) {
  uint32_t out = 0;
  for (int c = 0; c < 3; ++c) {
    const uint32_t v = (((a >> (8 * c)) & 0xFF) * wa + ((b >> (8 * c)) & 0xFF) * wb) >> 8;
    out |= std::min<uint32_t>(v, 255) << (8 * c);
  }
  return out;
}

void MaskedMixRowPlain(uint32_t* out, const uint32_t* src, const uint8_t* mask, size_t n, uint32_t a,
                       uint32_t total) {
  for (size_t k = 0; k < n; ++k) {
    const uint32_t m = mask[k];
    if (m == 0) continue;
    const uint32_t am = a * m >> 8;
    out[k] = m == 255 ? MixPlain(src[k], a, out[k], 256 - a) : MixPlain(src[k], am, out[k], total - am);
  }
}

void TintRow(uint32_t* row, size_t n, const int* add, const int* sub) {
  size_t k = 0;
#if defined(__SSE2__)
  const auto bytes = [](const int* v) {
    return _mm_set1_epi32(static_cast<int>(static_cast<uint32_t>(v[0]) |
                                           static_cast<uint32_t>(v[1]) << 8 |
                                           static_cast<uint32_t>(v[2]) << 16));
  };
  const __m128i addv = bytes(add), subv = bytes(sub), low = _mm_set1_epi32(0xFFFFFF);
  for (; k + 4 <= n; k += 4) {
    __m128i* at = reinterpret_cast<__m128i*>(row + k);
    const __m128i v = _mm_subs_epu8(_mm_adds_epu8(_mm_loadu_si128(at), addv), subv);
    _mm_storeu_si128(at, _mm_and_si128(v, low));
  }
#endif
  for (; k < n; ++k) row[k] = TintPlain(row[k], add, sub);
}

void MaskedMixRow(uint32_t* out, const uint32_t* src, const uint8_t* mask, size_t n, uint32_t a,
                  uint32_t total) {
  // One packed-word loop: the weights sum to at most 256, so no byte's sum
  // saturates or leaves its 16-bit lane; the top byte is cleared.
  packedwords::Run([=] {
    for (size_t k = 0; k < n; ++k) {
      const uint32_t m = mask[k], d = out[k];
      const uint32_t am = (a * m) >> 8;
      const uint32_t wa = m == 255 ? a : am, wb = m == 255 ? 256 - a : total - am;
      const uint32_t mixed = packedwords::Summed(d, src[k], wa, wb) & 0xFFFFFF;
      out[k] = m == 0 ? d : mixed;
    }
  });
}

}  // namespace planepixel

using namespace effectstart;

namespace {

constexpr ClampTiming kAfter = ClampTiming::kAfterDefaults;

// v wrapped into [0, m) (m > 0).
int64_t Wrap(int64_t v, int64_t m) { return (v % m + m) % m; }

// A picture with 32-bit pixels to read from.
bool HasPixels(const CPicture* picture) {
  return picture && picture->GetPixelBuffer() && !picture->Get256Flag() &&
         picture->GetWidth() > 0 && picture->GetHeight() > 0;
}

}  // namespace

// --- #82 clouds ---

// Scrolls per drawn frame in 1/100 texel, the texture's scale in percent.
constexpr ParamDefault CEffectCloud::kDefaults[] = {
    Value(kDuration, 9999), Value(kBandLines, 200), Value(kScrollX, 0), Value(kScrollY, 50),
    Value(kEyeHeight, 200), Value(kNear, 100),      Value(kFar, 500),   Value(kTextureScale, 100),
    Value(kUseMask, 0),     Value(kHorizonTint, 0), Value(kRed, 0),     Same(kGreen, kRed),
    Same(kBlue, kGreen),    Value(kFirstTinted, 0),
};
constexpr ParamClamp CEffectCloud::kClamps[] = {Range(kEyeHeight, 1, INT32_MAX),
                                                Range(kNear, 1, INT32_MAX),
                                                Range(kTextureScale, 1, INT32_MAX)};

constexpr StartTable CEffectCloud::kTable{kNumber, 14, -1, kAfter, kDefaults, kClamps};

CEffectCloud::CEffectCloud(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

int CEffectCloud::SetParam(EffectChannel* record, int count, const int* values, int) {
  const int h = CScreenBuffer::GetHeight();
  int p[kMaxParams];
  MakeParams(Table(), count, values, CScreenBuffer::GetWidth(), h, p);
  p[kBandLines] = std::clamp(p[kBandLines], 1, std::max(h, 1));
  if (p[kFar] <= p[kNear]) p[kFar] = p[kNear] == INT32_MAX ? p[kNear] : p[kNear] + 1;
  p[kFirstTinted] = std::clamp(p[kFirstTinted], 0, p[kBandLines] - 1);
  scrollX_ = scrollY_ = 0;
  return StartRecord(record, kNumber, p[kDuration], p, Table().max);
}

void CEffectCloud::Print(EffectChannel* record, int) {
  CPicture* picture = RecordPicture(*record);
  uint32_t* screen = CScreenBuffer::GetBuffer();
  if (!HasPixels(picture) || !screen) return;
  const int w = picture->GetWidth(), h = picture->GetHeight();
  const int sw = CScreenBuffer::GetWidth(), sh = CScreenBuffer::GetHeight();
  const EffectChannel& r = *record;
  if (r.Counter() > 0) {
    scrollX_ = Wrap(scrollX_ + r.Param(kScrollX), int64_t{w} * 100);
    scrollY_ = Wrap(scrollY_ + r.Param(kScrollY), int64_t{h} * 100);
    record->Counter() = 0;
  }
  // Values from a save are held as a start holds them.
  const double eye = std::max(r.Param(kEyeHeight), 1), nearest = std::max(r.Param(kNear), 1);
  const double farthest = std::max<double>(r.Param(kFar), nearest + 1);
  const int n = std::clamp(r.Param(kBandLines), 1, std::max(sh, 1));
  const int firstTinted = std::clamp(r.Param(kFirstTinted), 0, n - 1);
  const double g0 = (farthest - nearest) * eye / farthest;
  const double m = 100.0 / std::max(r.Param(kTextureScale), 1);
  const uint8_t* mask =
      r.Param(kUseMask) != 0 && picture->GetMaskFlag() ? picture->GetMask() : nullptr;
  const uint32_t* texels = picture->GetPixelBuffer();
  const int64_t wrap = int64_t{w} << 16;
  std::vector<uint32_t> lineTexels(mask ? static_cast<size_t>(sw) : 0);
  std::vector<uint8_t> lineMask(lineTexels.size());
  for (int i = 0; i < std::min(n, sh); ++i) {
    const double z = eye * nearest / (eye - (i + 1) * g0 / n);
    const int row = static_cast<int>(std::fmod(std::trunc(static_cast<double>(scrollY_ / 100) + m * (z - nearest)), h));
    const double s = m * z / nearest;
    const double whole = std::floor(s);
    const int64_t fraction = std::min<int64_t>(std::llround((s - whole) * 65536), 0xFFFF);
    const int64_t step = static_cast<int64_t>(std::fmod(whole, w)) << 16 | fraction;
    int64_t position = ((scrollX_ / 100 + sw / 2) << 16) + (scrollX_ % 100) * 65536 / 100 -
                       int64_t{sw / 2} * step;
    position = Wrap(position, wrap);
    int add[3] = {0, 0, 0}, sub[3] = {0, 0, 0};
    if (r.Param(kHorizonTint) != 0 && i >= firstTinted) {
      const int64_t lines = std::max(n - firstTinted, 1), k = std::min<int64_t>(i - firstTinted, lines);
      const int values[3] = {r.Param(kBlue), r.Param(kGreen), r.Param(kRed)};
      for (int c = 0; c < 3; ++c) {
        const int64_t v = values[c];
        add[c] = Clamp32((std::max<int64_t>(v, 0) * k + lines / 2) / lines);
        sub[c] = Clamp32((std::max<int64_t>(-v, 0) * k + lines / 2) / lines);
        add[c] = std::min(add[c], 255);
        sub[c] = std::min(sub[c], 255);
      }
    }
    uint32_t* out = screen + static_cast<size_t>(i) * sw;
    const size_t base = static_cast<size_t>(row) * w;
    // Runs between two wraps of the position: inside one the columns step
    // evenly, so no pixel waits for the one before. The texels (and their
    // mask bytes) go to the line buffers first.
    uint32_t* line = mask ? lineTexels.data() : out;
    for (int x = 0; x < sw;) {
      const int64_t left = sw - x;
      const int64_t n = step > 0 ? std::min((wrap - position + step - 1) / step, left) : left;
      const uint32_t* from = texels + base;
      uint32_t* to = line + x;
      if (mask) {
        // One index for the texel and its mask byte.
        const uint8_t* fromMask = mask + base;
        uint8_t* toMask = lineMask.data() + x;
        for (int64_t j = 0; j < n; ++j) {
          const int64_t at = (position + j * step) >> 16;
          to[j] = from[at] & 0xFFFFFF;
          toMask[j] = fromMask[at];
        }
      } else {
        for (int64_t j = 0; j < n; ++j) to[j] = from[(position + j * step) >> 16] & 0xFFFFFF;
      }
      position += n * step;
      if (position >= wrap) position -= wrap;
      x += static_cast<int>(n);
    }
    if (add[0] | add[1] | add[2] | sub[0] | sub[1] | sub[2]) planepixel::TintRow(line, sw, add, sub);
    if (mask) planepixel::MaskedMixRow(out, line, lineMask.data(), sw, 256, 256);
  }
}

// --- #83 shore ---

namespace {

struct Wave {
  double amplitude, frequency;
  int step;
};
constexpr Wave kWaves[2][3] = {{{30, 33.2, 8130}, {21, -18.0, 121}, {10, 16.7, 71}},
                               {{30, 22.6, 105}, {23, -17.1, 40}, {10, 35.7, 8102}}};

// A double truncated into the int range.
int64_t Trunc(double v) { return std::isnan(v) ? 0 : static_cast<int64_t>(std::clamp(v, -1e15, 1e15)); }

// One colour byte under the tint (strength in percent); 128 bits, as
// script values multiply past 64.
int TintByte(int64_t colour, int64_t strength, int64_t c) {
  const __int128 s = strength;
  const __int128 v = ((colour * s / 100) * 128 + c * ((100 - s) * 128 / 100)) >> 7;
  return static_cast<int>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

}  // namespace

// The tint's strength in percent, the lines as screen rows, tides' steps
// and heights, waves' scales in percent, the shore's x at the bottom and
// the perspective at the top in percent.
constexpr ParamDefault CEffectBeach::kDefaults[] = {
    Value(kDuration, 20),     Value(kStrength, 20),     Value(kRed, 128),
    Value(kGreen, 192),       Value(kBlue, 255),        Value(kTopLine, 0),
    Value(kLines, Height()),  Value(kTideStep1, 30),    Value(kTideStep2, 43),
    Value(kTideHeight1, 300), Value(kTideHeight2, 250), Value(kWaveScale1, 100),
    Value(kWaveScale2, 100),  Value(kShoreX, 700),      Value(kTopPerspective, 100),
};
// SetParam holds the top line on the screen.
constexpr ParamClamp CEffectBeach::kClamps[] = {
    AtMost(kLines, Height()), Range(kTideStep1, 1, INT32_MAX), Range(kTideStep2, 1, INT32_MAX),
    Range(kTopPerspective, 1, INT32_MAX)};

constexpr StartTable CEffectBeach::kTable{kNumber, 15, -1, kAfter, kDefaults, kClamps};

CEffectBeach::CEffectBeach(CEffectManager* manager) : CTableStartEffect(manager, kTable) {
  for (int& phase : waves_) phase = crt::rand() & 0x1FFF;
  for (int& phase : tides_) phase = crt::rand() & 0x7FF;
}

int CEffectBeach::SetParam(EffectChannel* record, int count, const int* values, int) {
  const int h = CScreenBuffer::GetHeight();
  int p[kMaxParams];
  MakeParams(Table(), count, values, CScreenBuffer::GetWidth(), h, p);
  p[kTopLine] = std::clamp(p[kTopLine], 0, std::max(h - 1, 0));
  return StartRecord(record, kNumber, p[kDuration], p, Table().max);
}

void CEffectBeach::Calcu(EffectChannel* record, int) {
  for (int e = 0; e < 2; ++e)
    for (int k = 0; k < 3; ++k) waves_[e * 3 + k] = (waves_[e * 3 + k] + kWaves[e][k].step) & 0x1FFF;
  tides_[0] = static_cast<int>((int64_t{tides_[0]} + record->Param(kTideStep1)) & 0x7FF);
  tides_[1] = static_cast<int>((int64_t{tides_[1]} + record->Param(kTideStep2)) & 0x7FF);
}

CEffectBeach::Spans CEffectBeach::LineSpans(const EffectChannel& r, int f) const {
  const double sw = CScreenBuffer::GetWidth(), sh = std::max(CScreenBuffer::GetHeight(), 1);
  const double y0 = std::clamp(r.Param(kTopLine), 0, std::max(CScreenBuffer::GetHeight() - 1, 0));
  const double top = r.Param(kTopPerspective) / 100.0;
  const double l = top + (1 - top) * (y0 + f) / sh;
  const double base = std::floor(sw / 2) + (r.Param(kShoreX) - std::floor(sw / 2)) * l;
  static constexpr int kTideHeights[2] = {kTideHeight1, kTideHeight2};
  static constexpr int kWaveScales[2] = {kWaveScale1, kWaveScale2};
  double tide[2], sum[2];
  for (int e = 0; e < 2; ++e) {
    tide[e] = (std::cos(tides_[e] / 2048.0 * 6.28318) + 1) * r.Param(kTideHeights[e]) * 0.5;
    double s = 0;
    for (int k = 0; k < 3; ++k)
      s += kWaves[e][k].amplitude *
           std::cos(f / sh * kWaves[e][k].frequency + waves_[e * 3 + k] / 8192.0 * 6.2831852);
    sum[e] = r.Param(kWaveScales[e]) / 100.0 * s;
  }
  int64_t x1 = std::max<int64_t>(Trunc(base - tide[0] * l - sum[0]), 0);
  int64_t x2 = std::max<int64_t>(Trunc(base - tide[1] * l - sum[1]), 0);
  if (x1 > x2) std::swap(x1, x2);
  const int64_t xe = std::max<int64_t>(std::min<int64_t>(Trunc(base), static_cast<int64_t>(sw)), 1);
  return {Clamp32(x1), Clamp32(x2), Clamp32(xe)};
}

void CEffectBeach::Print(EffectChannel* record, int) {
  uint32_t* screen = CScreenBuffer::GetBuffer();
  const int sw = CScreenBuffer::GetWidth(), sh = CScreenBuffer::GetHeight();
  if (!screen || sw < 1 || sh < 1) return;
  const EffectChannel& r = *record;
  const int y0 = std::clamp(r.Param(kTopLine), 0, sh - 1);
  const int n = std::min(r.Param(kLines), sh - y0);
  const int64_t g = r.Param(kStrength), strengths[2] = {g, 2 * g - g * g / 100};
  const int64_t colours[3] = {r.Param(kBlue), r.Param(kGreen), r.Param(kRed)};
  // Each span's strength is the same on every line: every byte's result,
  // once, shifted into its place.
  std::array<std::array<std::array<uint32_t, 256>, 3>, 2> tinted;
  for (int span = 0; span < 2; ++span)
    for (int c = 0; c < 3; ++c)
      for (int v = 0; v < 256; ++v)
        tinted[span][c][v] = static_cast<uint32_t>(TintByte(colours[c], strengths[span], v)) << (8 * c);
  for (int f = 0; f < n; ++f) {
    const Spans s = LineSpans(r, f);
    uint32_t* out = screen + static_cast<size_t>(y0 + f) * sw;
    const int bounds[3] = {s.x1, s.x2, s.xe};
    for (int span = 0; span < 2; ++span) {
      const auto& t = tinted[span];
      const int from = bounds[span], to = std::min(bounds[span + 1], sw);
      for (int x = from; x < to; ++x) {
        const uint32_t p = out[x];
        out[x] = t[0][p & 0xFF] | t[1][(p >> 8) & 0xFF] | t[2][(p >> 16) & 0xFF];
      }
    }
  }
}

// --- #91 waterfall ---

// The strip's place and height in pixels, the speed at the top in 1/100
// pixel per count and the acceleration in 1/100 pixel per count squared.
constexpr ParamDefault CEffectWaterFall::kDefaults[] = {
    Value(kDuration, 20),
    Value(kX, 0),
    Value(kY, 0),
    Value(kStripHeight, 24),
    Value(kPictureChannel, -1),
    Value(kSpeed, 100),
    Value(kAcceleration, 20),
    Value(kMode, 2),
};

constexpr StartTable CEffectWaterFall::kTable{kNumber, 8, -1, kAfter, kDefaults};

CEffectWaterFall::CEffectWaterFall(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

CPicture* CEffectWaterFall::Source(const EffectChannel& record, int channel) const {
  const int pictureChannel = record.Param(kPictureChannel);
  const EffectChannel* shown =
      manager_->GetChannel(pictureChannel == -1 ? channel : pictureChannel);
  return shown ? RecordPicture(*shown) : nullptr;
}

void CEffectWaterFall::Calcu(EffectChannel* record, int channel) {
  CPicture* picture = Source(*record, channel);
  const int64_t acceleration = record->Param(kAcceleration);
  if (!picture || picture->GetHeight() < 1 || acceleration <= 0) return;
  const int64_t h = picture->GetHeight(), d = int64_t{record->Counter()} * acceleration / 100;
  if (d >= h) record->Counter() = Clamp32(d % h * 100 / acceleration);
}

bool CEffectWaterFall::Line(int speed, int acceleration, int counter, int height, int n,
                            int* brightness, int* row) {
  const double u = speed / 100.0, acc = acceleration / 100.0;
  double t, a;
  if (acc == 0) {
    // Steady water: every line at the speed it started with.
    if (u == 0) return false;
    t = n / u;
    a = 256;
  } else {
    const double square = u * u + 2 * acc * n;
    if (square < 0) return false;
    const double s = std::sqrt(square);
    t = (s - u) / acc;
    a = s == 0 ? 256 : std::trunc(u / s * 256 + 0.5);
  }
  const double source = std::trunc(t * u - counter * u + 0.5);
  if (!std::isfinite(source) || !std::isfinite(a)) return false;
  double wrapped = std::fmod(source, height);
  if (wrapped < 0) wrapped += height;
  *row = std::clamp(static_cast<int>(wrapped), 0, height - 1);
  *brightness = static_cast<int>(std::clamp(a, 0.0, 256.0));
  return true;
}

void CEffectWaterFall::Print(EffectChannel* record, int channel) {
  const EffectChannel& r = *record;
  CPicture* picture = Source(r, channel);
  uint32_t* screen = CScreenBuffer::GetBuffer();
  if (r.Param(kMode) != 2 || !HasPixels(picture) || !picture->GetMaskFlag() ||
      !picture->GetMask() || !screen)
    return;
  const int sw = CScreenBuffer::GetWidth(), sh = CScreenBuffer::GetHeight();
  const int pw = picture->GetWidth(), ph = picture->GetHeight();
  // The strip cut at all four sides; the source follows the cut.
  int64_t x = r.Param(kX), y = r.Param(kY);
  int64_t left = 0, first = 0;
  if (x < 0) left = -x, x = 0;
  if (y < 0) first = -y, y = 0;
  const int64_t width = std::min<int64_t>(pw, int64_t{sw} - x + left) - left;
  const int64_t lines = std::min<int64_t>(r.Param(kStripHeight), int64_t{sh} - y + first) - first;
  if (width <= 0 || lines <= 0 || x >= sw || y >= sh) return;
  const uint32_t* pixels = picture->GetPixelBuffer();
  const uint8_t* mask = picture->GetMask();
  for (int64_t i = 0; i < lines; ++i) {
    int a, row;
    if (!Line(r.Param(kSpeed), r.Param(kAcceleration), r.Counter(), ph, static_cast<int>(first + i),
              &a, &row))
      continue;
    uint32_t* out = screen + static_cast<size_t>(y + i) * sw + x;
    const size_t from = static_cast<size_t>(row) * pw + left;
    planepixel::MaskedMixRow(out, pixels + from, mask + from, static_cast<size_t>(width),
                             static_cast<uint32_t>(a), 255);
  }
}

// --- #95 one colour ---

constexpr ParamDefault CEffectWaterDrop::kDefaults[] = {Value(kRed, 0), Same(kGreen, kRed),
                                                        Same(kBlue, kGreen)};

constexpr StartTable CEffectWaterDrop::kTable{kNumber, 3, 9999, kAfter, kDefaults};

CEffectWaterDrop::CEffectWaterDrop(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}
