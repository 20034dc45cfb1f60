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

namespace {

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

int CEffectWater::SetParam(EffectChannel* record, int count, const int* values, int) {
  const int h = CScreenBuffer::GetHeight();
  int p[kParams];
  const int given = TakeParams(count, values, kParams, p);
  Default(p, given, 0, 20);
  Default(p, given, 1, h / 2);
  Default(p, given, 2, 100);
  Default(p, given, 3, 0);
  p[1] = std::clamp(p[1], 0, std::max(h - 1, 0));
  return StartRecord(record, kNumber, 99999, p, kParams);
}

void CEffectWater::Restore(EffectChannel* record, int channel) {
  int p[kParams];
  std::copy_n(&record->Param(0), kParams, p);
  SetParam(record, kParams, p, channel);
}

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
  const int a = std::clamp(record->Param(1), 0, h - 1);
  lines_.resize(static_cast<size_t>(h));
  MakeLineTable(a, h, phase_, lines_.data());
  for (int i = a; i < h; ++i)
    std::memmove(screen + static_cast<size_t>(i) * w, screen + static_cast<size_t>(lines_[i]) * w,
                 static_cast<size_t>(w) * sizeof(uint32_t));
}

// --- #92 ---

int CEffectSoyosoyo::SetParam(EffectChannel* record, int count, const int* values, int) {
  static constexpr int kDefaults[kParams] = {20, 20, 10, 10, 50, 2, 1, -1, 0, 0, 1, 1, 0};
  int p[kParams];
  const int given = TakeParams(count, values, kParams, p);
  for (int i = 0; i < kParams; ++i) Default(p, given, i, kDefaults[i]);
  return StartRecord(record, kNumber, p[0], p, kParams);
}

void CEffectSoyosoyo::Calcu(EffectChannel* record, int) {
  EffectChannel& r = *record;
  if (r.Param(6) != 0 && r.Param(1) > 0) r.Counter() %= r.Param(1);
  const int64_t wave = r.Param(10);
  r.Param(12) = wave > 0 ? static_cast<int>((int64_t{r.Param(12)} + r.Param(11)) % wave) : 0;
}

void CEffectSoyosoyo::MakeOffsets(const EffectChannel& r, int h, int* offsets) {
  const int period = r.Param(1);
  int64_t t = period > 0 ? r.Counter() % period : r.Counter();
  t = std::clamp<int64_t>(t, 0, std::max(r.Duration() - 1, 0));
  const int64_t split = int64_t{r.Param(4)} * period / 100;
  int64_t length = split;
  const bool back = t >= split;
  if (back) {
    t -= split;
    length = period - split;
  }
  length = std::max<int64_t>(length, 1);
  const double f =
      (1 - std::cos(static_cast<double>(t) / static_cast<double>(length) * 3.14159)) * 0.5;
  const double right = r.Param(2), left = r.Param(3);
  const double base = back ? right - (right + left) * f : (right + left) * f - left;
  const int64_t amplitude = r.Param(9), wave = r.Param(10), phase = r.Param(12);
  for (int i = 0; i < h; ++i) {
    const int d = r.Param(8) != 0 ? h - i : i;
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
  if (r.Param(5) != 2) return;
  CPicture* picture = ChannelPicture(manager_, r.Param(7), channel);
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

int CEffectGrassPlane::SetParam(EffectChannel* record, int count, const int* values, int channel) {
  const int h = std::max(CScreenBuffer::GetHeight(), 1);
  int p[kParams];
  const int given = TakeParams(count, values, kParams, p);
  static constexpr int kDefaults[kParams] = {20, 0, 0, 500, 100, 0, 100, 5, 100, 50, 20, -1};
  for (int i = 0; i < kParams; ++i) Default(p, given, i, kDefaults[i]);
  Default(p, given, 1, h / 2);
  Default(p, given, 2, h / 2);
  p[1] = std::clamp(p[1], 0, h - 1);
  p[2] = std::clamp(p[2], 1, std::max(h - p[1], 1));
  if (p[4] == INT32_MAX) p[4] = INT32_MAX - 1;
  if (p[4] >= p[3]) p[3] = p[4] + 1;
  p[7] = std::clamp(p[7], 0, kGusts);
  StartRecord(record, kNumber, p[0], p, kParams);
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
  near_ = r.Param(4);
  far_ = r.Param(3);
  band_ = r.Param(2);
  d_ = Quotient(far_, far_ - near_) * band_;
  for (Gust& g : gusts_) Spawn(r, &g, true);
}

void CEffectGrassPlane::Spawn(const EffectChannel& r, Gust* g, bool initial) {
  const int64_t p3 = r.Param(3), p4 = r.Param(4), p6 = r.Param(6), p8 = r.Param(8);
  const bool toNear = r.Param(5) != 0;
  g->delay = crt::rand() % 50;
  g->amplitude = Clamp32(p6 * p8 / 100 * (crt::rand() % 100 + 50) / 100);
  g->speed = Clamp32(std::max<int64_t>(int64_t{r.Param(9)} * (crt::rand() % 60 + 70) / 100, 1));
  g->position = toNear ? r.Param(3) : r.Param(4);
  g->halfWidth = Clamp32(std::max<int64_t>(int64_t{r.Param(10)} * (crt::rand() % 40 + 80) / 100, 1));
  if (!initial) return;
  g->delay = 0;
  const int64_t span = p3 - p4;
  const int64_t step = span > 0 ? crt::rand() % span : (crt::rand(), 0);
  g->position = Clamp32(toNear ? p3 - step : p4 + step);
}

void CEffectGrassPlane::Calcu(EffectChannel* record, int) {
  const EffectChannel& r = *record;
  const int active = std::clamp(r.Param(7), 0, kGusts);
  for (int i = 0; i < active; ++i) {
    Gust& g = gusts_[i];
    if (g.delay > 0) {
      --g.delay;
    } else if (r.Param(5) != 0) {
      g.position = Clamp32(int64_t{g.position} - g.speed);
      if (g.position < r.Param(4)) Spawn(r, &g, false);
    } else {
      g.position = Clamp32(int64_t{g.position} + g.speed);
      if (g.position > r.Param(3)) Spawn(r, &g, false);
    }
  }
}

void CEffectGrassPlane::MakeOffsets(const EffectChannel& r, int* offsets) {
  const int h = CScreenBuffer::GetHeight();
  lines_.resize(static_cast<size_t>(std::max(h, 0)));
  const double counter = r.Param(5) == 1 ? -static_cast<double>(r.Counter()) : static_cast<double>(r.Counter());
  const double f = counter / h * 31.4159;
  const double sway = r.Param(6);
  for (int row = 0; row < h; ++row) {
    const double z = Distance(row);
    lines_[row] = std::trunc(Quotient(std::cos(z * 0.08 + f) * sway * near_, z) + 0.5);
  }
  const int active = std::clamp(r.Param(7), 0, kGusts);
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
  CPicture* picture = ChannelPicture(manager_, r.Param(11), channel);
  if (!picture || CScreenBuffer::GetHeight() <= 0) return;
  int* offsets = reinterpret_cast<int*>(manager_->GetWorkBuffer());
  MakeOffsets(r, offsets);
  // The table covers the screen's lines: a taller picture is cut there.
  const int rows = std::min(picture->GetHeight(), CScreenBuffer::GetHeight());
  picture->RasterBlt(nullptr, r.DrawRect()[0], r.DrawRect()[1], 0, 0, picture->GetWidth(), rows, 0,
                     offsets);
}
