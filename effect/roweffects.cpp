#include "effect/roweffects.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "effect/calcucurve.h"
#include "effect/effectmanager.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "setup/random.h"

using namespace effectstart;

namespace {

constexpr ClampTiming kAfter = ClampTiming::kAfterDefaults;

// The picture of channel `pictureChannel` (-1: `own`); null outside 0..15
// or without pixels.
CPicture* ChannelPicture(CEffectManager* manager, int pictureChannel, int own) {
  const int ch = pictureChannel == -1 ? own : pictureChannel;
  if (ch < 0 || ch >= CEffectManager::kChannels) return nullptr;
  CPicture* picture = manager->GetPicture(ch);
  return picture && picture->GetBuffer() ? picture : nullptr;
}

// num / den, 0 where the quotient is not a number (0 / 0, inf / inf).
double Quotient(double num, double den) {
  const double q = num / den;
  return std::isnan(q) ? 0.0 : q;
}

}  // namespace

// --- #24 ---

// The surface is a screen row; SetParam holds it on the screen.
constexpr ParamDefault CEffectWater::kDefaults[] = {
    Value(kDuration, 20), Value(kSurface, Height(1, 2)), Value(kSpare1, 100), Value(kSpare2, 0)};

constexpr StartTable CEffectWater::kTable{kNumber, 4, 99999, kAfter, kDefaults};

CEffectWater::CEffectWater(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

int CEffectWater::SetParam(EffectChannel* record, int count, const int* values, int) {
  const int h = CScreenBuffer::GetHeight();
  int p[kMaxParams];
  MakeParams(Table(), count, values, CScreenBuffer::GetWidth(), h, p);
  p[kSurface] = std::clamp(p[kSurface], 0, std::max(h - 1, 0));
  return StartRecord(record, kNumber, Table().fixedDuration, p, Table().max);
}

void CEffectWater::Restore(EffectChannel* record, int channel) { StartAgain(record, channel); }

void CEffectWater::MakeLineTable(int a, int height, int phase, int* table) {
  const int64_t b = std::max(height - a, 1);
  for (int i = a; i < height; ++i) {
    const int64_t k = i - a;
    const int64_t arg = 4 * ((b - k) * (b - k) / b) - int64_t{3} * phase;
    const double wave = std::cos(static_cast<double>(arg) * 6.28318 / 100) * 8 *
                        static_cast<double>(k + b) / static_cast<double>(2 * b);
    int64_t c = int64_t{ClampToInt(wave + 0.5)} + a - k - 10;
    c = std::min<int64_t>(c, a - 1);
    table[i] = static_cast<int>(std::max<int64_t>(c, 0));
  }
}

void CEffectWater::Print(EffectChannel* record, int) {
  if (++phase_ > 1000000) phase_ = 0;
  uint32_t* screen = CScreenBuffer::GetBuffer();
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  if (!screen || h <= 0) return;
  // A record from a save is held to the screen.
  const int a = std::clamp(record->Param(kSurface), 0, h - 1);
  lines_.resize(static_cast<size_t>(h));
  MakeLineTable(a, h, phase_, lines_.data());
  for (int i = a; i < h; ++i)
    std::memmove(screen + static_cast<size_t>(i) * w, screen + static_cast<size_t>(lines_[i]) * w,
                 static_cast<size_t>(w) * sizeof(uint32_t));
}

// --- #92 ---

// The period in frames, swings in pixels, the share of the period swinging
// out in percent; the ripple's wavelength in rows.
constexpr ParamDefault CEffectSoyosoyo::kDefaults[] = {
    Value(kDuration, 20),    Value(kPeriod, 20),          Value(kSwingRight, 10),
    Value(kSwingLeft, 10),   Value(kOutPercent, 50),      Value(kDrawMode, 2),
    Value(kLoop, 1),         Value(kPictureChannel, -1),  Value(kAnchorFlip, 0),
    Value(kRippleHeight, 0), Value(kRippleWavelength, 1), Value(kRippleSpeed, 1),
    Value(kRipplePhase, 0),
};

constexpr StartTable CEffectSoyosoyo::kTable{kNumber, 13, -1, kAfter, kDefaults};

CEffectSoyosoyo::CEffectSoyosoyo(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

void CEffectSoyosoyo::Calcu(EffectChannel* record, int) {
  EffectChannel& r = *record;
  if (r.Param(kLoop) != 0 && r.Param(kPeriod) > 0) r.Counter() %= r.Param(kPeriod);
  const int64_t wave = r.Param(kRippleWavelength);
  r.Param(kRipplePhase) =
      wave > 0 ? static_cast<int>((int64_t{r.Param(kRipplePhase)} + r.Param(kRippleSpeed)) % wave)
               : 0;
}

void CEffectSoyosoyo::MakeOffsets(const EffectChannel& r, int h, int* offsets) {
  const int period = r.Param(kPeriod);
  int64_t t = period > 0 ? r.Counter() % period : r.Counter();
  t = std::clamp<int64_t>(t, 0, std::max(r.Duration() - 1, 0));
  const int64_t split = int64_t{r.Param(kOutPercent)} * period / 100;
  int64_t length = split;
  const bool back = t >= split;
  if (back) {
    t -= split;
    length = period - split;
  }
  length = std::max<int64_t>(length, 1);
  const double f =
      (1 - std::cos(static_cast<double>(t) / static_cast<double>(length) * 3.14159)) * 0.5;
  const double right = r.Param(kSwingRight), left = r.Param(kSwingLeft);
  const double base = back ? right - (right + left) * f : (right + left) * f - left;
  const int64_t amplitude = r.Param(kRippleHeight), wave = r.Param(kRippleWavelength),
                phase = r.Param(kRipplePhase);
  for (int i = 0; i < h; ++i) {
    const int d = r.Param(kAnchorFlip) != 0 ? h - i : i;
    const double weight = 1 - std::sin(d * 3.14159 / h / 2);
    // Without a wavelength there is no ripple.
    const double ripple =
        amplitude > 0 && wave > 0
            ? std::cos(static_cast<double>((i + phase) % wave) * 6.28318 / static_cast<double>(wave)) *
                  static_cast<double>(amplitude)
            : 0.0;
    offsets[i] = ClampToInt((base + ripple) * weight + 0.5);
  }
}

void CEffectSoyosoyo::Print(EffectChannel* record, int channel) {
  const EffectChannel& r = *record;
  if (r.Param(kDrawMode) != 2) return;
  CPicture* picture = ChannelPicture(manager_, r.Param(kPictureChannel), channel);
  if (!picture) return;
  int x = r.DrawRect()[0], y = r.DrawRect()[1];
  int cx = x, cy = y, sx = 0, sy = 0, cw = picture->GetWidth(), ch = picture->GetHeight();
  if (!picture->Clip(&cx, &cy, &sx, &sy, &cw, &ch)) return;
  int64_t h = picture->GetHeight(), srcY = 0;
  if (y < 0) {
    srcY = -int64_t{y};
    h += y;
    y = 0;
  }
  h = std::min<int64_t>(h, int64_t{CScreenBuffer::GetHeight()} - y);
  if (h < 1) return;
  int* offsets = reinterpret_cast<int*>(manager_->GetWorkBuffer());
  MakeOffsets(r, static_cast<int>(h), offsets);
  picture->RasterBlt(nullptr, x, y, 0, static_cast<int>(srcY), picture->GetWidth(),
                     static_cast<int>(h), 1, offsets);
}

// --- #93 ---

// The band's top and height are screen rows; distances along the plane;
// the gusts' strength in percent, speed and half width in distance units.
// SetParam holds the band on the screen and the far distance beyond the
// near one.
constexpr ParamDefault CEffectGrassPlane::kDefaults[] = {
    Value(kDuration, 20),
    Value(kTopLine, Height(1, 2)),
    Value(kBandHeight, Height(1, 2)),
    Value(kFar, 500),
    Value(kNear, 100),
    Value(kDirection, 0),
    Value(kSway, 100),
    Value(kActiveGusts, 5),
    Value(kGustPercent, 100),
    Value(kGustSpeed, 50),
    Value(kGustHalfWidth, 20),
    Value(kPictureChannel, -1),
};
constexpr ParamClamp CEffectGrassPlane::kClamps[] = {Range(kActiveGusts, 0, kGusts)};

constexpr StartTable CEffectGrassPlane::kTable{kNumber, 12, -1, kAfter, kDefaults, kClamps};

CEffectGrassPlane::CEffectGrassPlane(CEffectManager* manager)
    : CTableStartEffect(manager, kTable) {}

int CEffectGrassPlane::SetParam(EffectChannel* record, int count, const int* values, int channel) {
  const int h = std::max(CScreenBuffer::GetHeight(), 1);
  int p[kMaxParams];
  MakeParams(Table(), count, values, CScreenBuffer::GetWidth(), CScreenBuffer::GetHeight(), p);
  p[kTopLine] = std::clamp(p[kTopLine], 0, h - 1);
  p[kBandHeight] = std::clamp(p[kBandHeight], 1, std::max(h - p[kTopLine], 1));
  if (p[kNear] == INT32_MAX) p[kNear] = INT32_MAX - 1;
  if (p[kNear] >= p[kFar]) p[kFar] = p[kNear] + 1;
  StartRecord(record, kNumber, p[kDuration], p, Table().max);
  Restore(record, channel);
  return 1;
}

double CEffectGrassPlane::Row(double z) const {
  const double zz = std::max(z, 0.1);
  return band_ - Quotient(d_ * (zz - near_), zz);
}

double CEffectGrassPlane::Distance(double row) const {
  return Quotient(d_ * near_, std::max(d_ - band_ + row, 0.1));
}

void CEffectGrassPlane::Restore(EffectChannel* record, int) {
  const EffectChannel& r = *record;
  near_ = r.Param(kNear);
  far_ = r.Param(kFar);
  band_ = r.Param(kBandHeight);
  d_ = Quotient(far_, far_ - near_) * band_;
  for (Gust& g : gusts_) Spawn(r, &g, true);
}

void CEffectGrassPlane::Spawn(const EffectChannel& r, Gust* g, bool initial) {
  const int64_t far = r.Param(kFar), near = r.Param(kNear), sway = r.Param(kSway),
                percent = r.Param(kGustPercent);
  const bool toNear = r.Param(kDirection) != 0;
  g->delay = crt::rand() % 50;
  g->amplitude = Clamp32(sway * percent / 100 * (crt::rand() % 100 + 50) / 100);
  g->speed =
      Clamp32(std::max<int64_t>(int64_t{r.Param(kGustSpeed)} * (crt::rand() % 60 + 70) / 100, 1));
  g->position = toNear ? r.Param(kFar) : r.Param(kNear);
  g->halfWidth = Clamp32(
      std::max<int64_t>(int64_t{r.Param(kGustHalfWidth)} * (crt::rand() % 40 + 80) / 100, 1));
  if (!initial) return;
  g->delay = 0;
  const int64_t span = far - near;
  const int64_t step = span > 0 ? crt::rand() % span : (crt::rand(), 0);
  g->position = Clamp32(toNear ? far - step : near + step);
}

void CEffectGrassPlane::Calcu(EffectChannel* record, int) {
  const EffectChannel& r = *record;
  const int active = std::clamp(r.Param(kActiveGusts), 0, kGusts);
  for (int i = 0; i < active; ++i) {
    Gust& g = gusts_[i];
    if (g.delay > 0) {
      --g.delay;
    } else if (r.Param(kDirection) != 0) {
      g.position = Clamp32(int64_t{g.position} - g.speed);
      if (g.position < r.Param(kNear)) Spawn(r, &g, false);
    } else {
      g.position = Clamp32(int64_t{g.position} + g.speed);
      if (g.position > r.Param(kFar)) Spawn(r, &g, false);
    }
  }
}

void CEffectGrassPlane::MakeOffsets(const EffectChannel& r, int* offsets) {
  const int h = CScreenBuffer::GetHeight();
  lines_.resize(static_cast<size_t>(std::max(h, 0)));
  const double counter = r.Param(kDirection) == 1 ? -static_cast<double>(r.Counter())
                                                  : static_cast<double>(r.Counter());
  const double f = counter / h * 31.4159;
  const double sway = r.Param(kSway);
  for (int row = 0; row < h; ++row) {
    const double z = Distance(row);
    lines_[row] = std::trunc(Quotient(std::cos(z * 0.08 + f) * sway * near_, z) + 0.5);
  }
  const int active = std::clamp(r.Param(kActiveGusts), 0, kGusts);
  for (int i = 0; i < active; ++i) {
    const Gust& g = gusts_[i];
    if (g.delay != 0) continue;
    const double nearEdge = std::max(static_cast<double>(g.position) - g.halfWidth, 1.0);
    double farEdge = static_cast<double>(g.position) + g.halfWidth;
    if (nearEdge >= farEdge) farEdge = nearEdge + 0.1;
    const int first = std::max(ClampToInt(Row(farEdge)), 0);
    const int last = std::min({ClampToInt(Row(nearEdge)), ClampToInt(band_) - 1, h - 1});
    for (int row = first; row <= last; ++row) {
      const double z = Distance(row);
      const double k = (z - nearEdge) / (farEdge - nearEdge) * 3.14159;
      lines_[row] += Quotient((1 - std::cos(2 * k)) * g.amplitude * near_, z);
    }
  }
  for (int row = 0; row < h; ++row) offsets[row] = ClampToInt(lines_[row] + 0.5);
}

void CEffectGrassPlane::Print(EffectChannel* record, int channel) {
  const EffectChannel& r = *record;
  CPicture* picture = ChannelPicture(manager_, r.Param(kPictureChannel), channel);
  if (!picture || CScreenBuffer::GetHeight() <= 0) return;
  int* offsets = reinterpret_cast<int*>(manager_->GetWorkBuffer());
  MakeOffsets(r, offsets);
  // The table covers the screen's lines: a taller picture is cut there.
  const int rows = std::min(picture->GetHeight(), CScreenBuffer::GetHeight());
  picture->RasterBlt(nullptr, r.DrawRect()[0], r.DrawRect()[1], 0, 0, picture->GetWidth(), rows, 0,
                     offsets);
}
