#include "effect/effecthamon.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "effect/calcucurve.h"
#include "effect/effectmanager.h"
#include "graphics/blendrows.h"
#include "graphics/packedwords.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"

using namespace effectstart;

namespace {

constexpr ClampTiming kAfter = ClampTiming::kAfterDefaults;

// Entries of the radius table for a screen: one per pixel of its diagonal.
int RadiusCount(int w, int h) {
  return static_cast<int>(std::sqrt(static_cast<double>(w) * w + static_cast<double>(h) * h) + 1.0);
}

// A picture the ripple can sample: 32-bit pixels, at least 1 x 1.
struct Source {
  const uint32_t* pixels = nullptr;
  int w = 0, h = 0;
  int64_t x = 0, y = 0;  // where its pixel (0, 0) lands on the screen
  bool Take(const CPicture* p, int px, int py) {
    if (!p || p->Get256Flag() || !p->GetPixelBuffer() || p->GetWidth() < 1 || p->GetHeight() < 1)
      return false;
    pixels = p->GetPixelBuffer();
    w = p->GetWidth();
    h = p->GetHeight();
    x = px;
    y = py;
    return true;
  }
  // The pixel under screen point (sx, sy), black outside the picture.
  uint32_t At(int64_t sx, int64_t sy) const {
    // Points left of or above the picture wrap to huge unsigned values.
    const uint64_t u = static_cast<uint64_t>(sx - x), v = static_cast<uint64_t>(sy - y);
    if (u >= static_cast<uint64_t>(w) || v >= static_cast<uint64_t>(h)) return 0;
    return pixels[v * static_cast<uint64_t>(w) + u];
  }
};

}  // namespace

// The centre on the screen; the wave's height and length in pixels, its
// speeds in pixels per time unit, the loss of height in hundredths of a
// pixel per time unit, the time the cross-fade begins, the length of the
// wave train in pixels; nonzero takes the saved screen as that picture.
constexpr ParamDefault CEffectHamon::kDefaults[] = {
    Value(kDuration, 20),          Value(kSecondChannel, 0), Value(kCentreX, Width(1, 2)),
    Value(kCentreY, Height(1, 2)), Value(kWaveHeight, 20),   Value(kWavelength, 30),
    Value(kFrontSpeed, 10),        Value(kCrestSpeed, 8),    Value(kHeightLoss, 100),
    Value(kUnused, 100),           Value(kBand, 0),          Value(kFadeStart, 0),
    Value(kTrainLength, 100),
};
// The band is held on the screen by SetParam.
constexpr ParamClamp CEffectHamon::kClamps[] = {
    Range(kWavelength, 1, INT32_MAX),
    Range(kFrontSpeed, 1, INT32_MAX),
    Range(kHeightLoss, 0, 100),
    Range(kUnused, 1, INT32_MAX),
};

constexpr StartTable CEffectHamon::kTable{kNumber, 32, -1, kAfter, kDefaults, kClamps};

CEffectHamon::CEffectHamon(CEffectManager* manager) : CTableStartEffect(manager, kTable) {
  radiusCount_ =
      RadiusCount(std::max(CScreenBuffer::GetWidth(), 0), std::max(CScreenBuffer::GetHeight(), 0));
  radius_.assign(static_cast<size_t>(radiusCount_), 0);
}

int CEffectHamon::SetParam(EffectChannel* record, int count, const int* values, int) {
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  int p[kMaxParams];
  MakeParams(Table(), count, values, w, h, p);
  p[kBand] = std::clamp(p[kBand], 0, std::max(h - 1, 0));
  StartRecord(record, kNumber, p[kDuration], p, Table().max);
  EnsureMap(p[kCentreX], p[kCentreY], p[kBand]);
  return 1;
}

void CEffectHamon::Restore(EffectChannel* record, int channel) { StartAgain(record, channel); }

void CEffectHamon::EnsureMap(int cx, int cy, int band) {
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  if (mapValid_ && mapCx_ == cx && mapCy_ == cy && mapBand_ == band && mapW_ == w && mapH_ == h)
    return;
  mapValid_ = 0;
  mapCx_ = cx;
  mapCy_ = cy;
  mapBand_ = band;
  if (w < 1 || h < 1) return;
  // Groups of four pixels per row, the last one padded when the width is
  // not a multiple of 4.
  groups_ = (w + 3) / 4;
  radiusCount_ = RadiusCount(w, h);
  radius_.assign(static_cast<size_t>(radiusCount_), 0);
  map_.assign(static_cast<size_t>(groups_) * h * kRecordInts, 0);
  mapW_ = w;
  mapH_ = h;
  for (int y = 0; y < h; ++y) {
    const double dy = static_cast<double>(int64_t{y} - cy);
    for (int x = 0; x < groups_ * 4; ++x) {
      const double dx = static_cast<double>(int64_t{x} - cx);
      const double dist = std::sqrt(std::max(dx * dx + dy * dy, 1.0));
      const int ux = ClampToInt(dx * 256 / dist + 0.5);
      const int uy = ClampToInt(dy * 256 / dist + 0.5);
      const int r = std::clamp(ClampToInt(dist + 0.5), 1, radiusCount_ - 1);
      int32_t* rec = map_.data() + (static_cast<size_t>(y) * groups_ + x / 4) * kRecordInts;
      rec[x & 3] = static_cast<int32_t>(static_cast<uint32_t>(uy) << 16 |
                                        (static_cast<uint32_t>(ux) & 0xFFFF));
      const int shift = (x & 1) * 16;
      rec[4 + ((x & 3) >> 1)] |=
          static_cast<int32_t>((static_cast<uint32_t>(r) * 4 & 0xFFFF) << shift);
    }
  }
  mapValid_ = 1;
  ++mapBuilds_;
}

int CEffectHamon::Time(const EffectChannel& record) {
  const int counter = std::min(record.Counter(), std::max(record.Duration(), 1));
  return CalcuCurve(counter, record.Param(kDuration), 0, record.Param(kDuration),
                    record.Param(kRamp), record.Param(kCurve));
}

void CEffectHamon::MakeRadiusTable(const EffectChannel& record, int t) {
  auto p = [&](int i) { return static_cast<double>(record.Param(i)); };
  const double l = std::max(p(kWaveHeight) - t * p(kHeightLoss) * 0.01, 0.0);
  const int64_t wavelength = std::max(record.Param(kWavelength), 1);
  const double train = p(kTrainLength);
  const double front = static_cast<double>(t) * std::max(record.Param(kFrontSpeed), 1);
  const int64_t crest = int64_t{record.Param(kCrestSpeed)} * t;
  for (int i = 0; i < radiusCount_; ++i) {
    const double o = front - i;
    int h = 0;
    if (o >= 0 && o < train + 10) {
      const double e = o < 10 ? l * o / 10 : (train + 10 - o) * l / train;
      const int64_t q = (i - crest) % wavelength;
      h = ClampToInt(
          std::cos(static_cast<double>(q) * 6.28318 / static_cast<double>(wavelength)) * e + 0.5);
    }
    const uint32_t half = static_cast<uint32_t>(h) * 256u & 0xFFFF;
    radius_[static_cast<size_t>(i)] = half << 16 | half;
  }
}

struct CEffectHamon::Frame {
  Source a, b;
  uint32_t w1 = 256, w2 = 0;  // w1 + w2 <= 256
  uint32_t* screen = nullptr;
  int w = 0, h = 0;
};

bool CEffectHamon::Prepare(EffectChannel* record, int channel, Frame* f) {
  f->w = CScreenBuffer::GetWidth();
  f->h = CScreenBuffer::GetHeight();
  f->screen = CScreenBuffer::GetBuffer();
  // A record restored from a save reaches here before any start made the
  // map; the map must also belong to this screen.
  if (!mapValid_ || mapW_ != f->w || mapH_ != f->h || !f->screen || f->w / 32 < 1 || f->h / 32 < 1)
    return false;
  const int t = Time(*record);
  MakeRadiusTable(*record, t);

  const int second = record->Param(kSecondChannel);
  CPicture* saved = CEffectManager::GetSavedScreen();
  int x1 = 0, y1 = 0;
  manager_->GetDrawPos(channel, &x1, &y1);
  if (!f->a.Take(record->Param(kSavedFirst) ? saved : RecordPicture(*record), x1, y1)) return false;
  if (second == -1) {
    f->b = f->a;
  } else {
    // Any other channel number outside 0..15 names a missing picture.
    if (second < 0 || second >= CEffectManager::kChannels) return false;
    int x2 = 0, y2 = 0;
    manager_->GetDrawPos(second, &x2, &y2);
    if (!f->b.Take(record->Param(kSavedSecond) ? saved : manager_->GetPicture(second), x2, y2))
      return false;
  }

  const int64_t span =
      std::max<int64_t>(int64_t{std::max(record->Duration(), 1)} - record->Param(kFadeStart), 1);
  int64_t w1 = 256, w2 = 0;
  if (t >= record->Param(kFadeStart)) {
    // For 0 <= d <= span the two percentages add up to 100 at most; past
    // the span the first weight is 0.
    const int64_t d = int64_t{t} - record->Param(kFadeStart);
    w1 = std::clamp<int64_t>((span - d) * 100 / span * 256 / 100, 0, 256);
    w2 = std::clamp<int64_t>(d * 100 / span * 256 / 100, 0, 256 - w1);
  }
  f->w1 = static_cast<uint32_t>(w1);
  f->w2 = static_cast<uint32_t>(w2);
  return true;
}

namespace {

// The displacement of pixel j (0..3) of a map record.
struct Displacement {
  int dx, dy;
};
inline Displacement Displace(const int32_t* group, int j, const uint32_t* radius) {
  const uint32_t dir = static_cast<uint32_t>(group[j]);
  const uint32_t radii = static_cast<uint32_t>(group[4 + (j >> 1)]);
  const uint32_t offset = (j & 1) ? radii >> 16 : radii & 0xFFFF;
  const int amount = static_cast<int16_t>(radius[offset / 4] & 0xFFFF);
  return {(static_cast<int16_t>(dir & 0xFFFF) * amount) >> 16,
          (static_cast<int16_t>(dir >> 16) * amount) >> 16};
}

}  // namespace

void CEffectHamon::PrintPlain(EffectChannel* record, int channel) {
  Frame f;
  if (!Prepare(record, channel, &f)) return;
  for (int y = 0; y < f.h; ++y) {
    const int32_t* rec = map_.data() + static_cast<size_t>(y) * groups_ * kRecordInts;
    uint32_t* row = f.screen + static_cast<size_t>(y) * f.w;
    for (int x = 0; x < f.w; ++x) {
      const Displacement d = Displace(rec + (x >> 2) * kRecordInts, x & 3, radius_.data());
      const uint32_t s1 = f.a.At(int64_t{x} + d.dx, int64_t{y} + d.dy);
      const uint32_t s2 = f.b.At(int64_t{x} + d.dx, int64_t{y} + d.dy);
      row[x] = blendrows::PerChannel([&](int c) {
        return std::min<uint32_t>(
            255, (blendrows::Channel(s1, c) * f.w1 + blendrows::Channel(s2, c) * f.w2) >> 8);
      });
    }
  }
}

void CEffectHamon::Print(EffectChannel* record, int channel) {
  Frame f;
  if (!Prepare(record, channel, &f)) return;
  const uint32_t* radius = radius_.data();
  const uint32_t w1 = f.w1, w2 = f.w2;
  const size_t n = static_cast<size_t>(f.w);
  first_.resize(n);
  second_.resize(n);
  uint32_t* first = first_.data();
  uint32_t* second = second_.data();
  // The picture row under screen row y and the screen columns it covers,
  // for groups the wave leaves where they are.
  struct Still {
    const uint32_t* row = nullptr;
    int64_t from = 0, to = 0;
    Still(const Source& s, int y) {
      const int64_t v = int64_t{y} - s.y;
      if (v < 0 || v >= s.h) return;
      row = s.pixels + v * s.w;
      from = s.x;
      to = s.x + s.w;
    }
    bool Covers(int x0) const { return row && x0 >= from && int64_t{x0} + 4 <= to; }
    const uint32_t* At(int x0) const { return row + (x0 - from); }
  };
  for (int y = 0; y < f.h; ++y) {
    const int32_t* rec = map_.data() + static_cast<size_t>(y) * groups_ * kRecordInts;
    uint32_t* row = f.screen + static_cast<size_t>(y) * f.w;
    // With the first picture alone the samples go straight to the screen.
    uint32_t* samples = w1 == 256 ? row : first;
    const Still stillA(f.a, y), stillB(f.b, y);
    for (int x0 = 0; x0 < f.w; x0 += 4, rec += kRecordInts) {
      const int count = std::min(4, f.w - x0);
      // A group of four whose heights are all 0 samples its own pixels.
      if (count == 4 && stillA.Covers(x0) && (w1 == 256 || stillB.Covers(x0))) {
        const uint32_t r0 = static_cast<uint32_t>(rec[4]), r1 = static_cast<uint32_t>(rec[5]);
        const uint32_t heights = (radius[(r0 & 0xFFFF) / 4] | radius[(r0 >> 16) / 4] |
                                  radius[(r1 & 0xFFFF) / 4] | radius[(r1 >> 16) / 4]) &
                                 0xFFFF;
        if (heights == 0) {
          std::memcpy(samples + x0, stillA.At(x0), 4 * sizeof(uint32_t));
          if (w1 != 256) std::memcpy(second + x0, stillB.At(x0), 4 * sizeof(uint32_t));
          continue;
        }
      }
      for (int j = 0; j < count; ++j) {
        const Displacement d = Displace(rec, j, radius);
        const int64_t sx = int64_t{x0} + j + d.dx, sy = int64_t{y} + d.dy;
        samples[x0 + j] = f.a.At(sx, sy);
        if (w1 != 256) second[x0 + j] = f.b.At(sx, sy);
      }
    }
    if (w1 == 256) continue;
    // Two bytes per 32-bit lane pair: with w1 + w2 <= 256 every byte's sum
    // stays below 65536 and its eighth bit never carries over.
    packedwords::Run([=] {
      for (size_t x = 0; x < n; ++x) row[x] = packedwords::Summed(second[x], first[x], w1, w2);
    });
  }
}
