#include "effect/effectparticle.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "effect/calcucurve.h"
#include "effect/effectmanager.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "setup/random.h"

using namespace effectstart;

namespace {

constexpr double kTwoPi = 6.28318;
constexpr ClampTiming kAfter = ClampTiming::kAfterDefaults;

int64_t R() { return crt::rand(); }

// A double truncated after adding 0.5, held to the int range.
int64_t Round(double v) { return ClampToInt(v + 0.5); }

int64_t Abs64(int64_t v) { return v < 0 ? -v : v; }

// v mod n into 0..n-1 (n > 0).
int64_t Modulo(int64_t v, int64_t n) { return ((v % n) + n) % n; }

}  // namespace

// --- #70 ---

// The cells' size in pixels; the emission centre, spread and velocity in
// pixels and pixels per frame; opacity and swing in percent. The reserve
// has no default.
constexpr ParamDefault CEffectHanabira::kDefaults[] = {
    Value(kDuration, 20),      Value(kCount, 100),        Value(kCellWidth, 100),
    Value(kCellHeight, 100),   Value(kDrawSwitch, 0),     Value(kKinds, 1),
    Value(kCentreX, 600),      Value(kCentreY, 300),      Value(kSpread, 100),
    Value(kVelocityX, -100),   Value(kVelocityY, 10),     Value(kRespawn, 0),
    Value(kKeep, 0),           NoDefault(kReserve),       Value(kEndOpacity, 100),
    Value(kStartOpacity, 100), Value(kSwingPercent, 100), Value(kPeriodBase, 50),
    Value(kTurnFrames, 1),     Value(kReverseAllowed, 1), Value(kOpacityCurve, 0),
    Value(kOpacityRamp, 0),    Value(kFramesPerStep, 1),
};
// The count and the reserve share the channel's records.
constexpr ParamClamp CEffectHanabira::kClamps[] = {
    Range(kCount, 1, kPerChannel),
    Range(kReserve, 0, kPerChannel - 1),
    SumAtMost(kCount, kReserve, Fixed(kPerChannel)),
    Range(kCount, 0, INT_MAX),
    Range(kKinds, 1, INT_MAX),
    Range(kTurnFrames, 1, INT_MAX),
    Range(kFramesPerStep, 1, INT_MAX),
};

constexpr StartTable CEffectHanabira::kTable{kNumber, 24, -1, kAfter, kDefaults, kClamps};

CEffectHanabira::CEffectHanabira(CEffectManager* manager)
    : CTableStartEffect(manager, kTable), petals_(new Petal[kRecords]) {
  for (int k = 0; k < kRecords; ++k) InitPetal(k);
}

CEffectHanabira::~CEffectHanabira() { ReleaseTable(); }

void CEffectHanabira::ReleaseTable() { petals_.reset(); }

void CEffectHanabira::InitPetal(int k) {
  Petal& p = petals_[k];
  const Settings& s = settings_;
  // Two factors held to the int range first, so the third cannot overflow.
  const int64_t frames =
      std::min<int64_t>(int64_t{std::max(s.kinds, 1)} * std::max(s.turnFrames, 1), INT32_MAX) *
      std::max(s.framesPerStep, 1);
  p.counter = static_cast<int>(R() % frames);
  // A spread of 0 (or below) puts every petal at the centre.
  const int64_t spread = std::max(s.spread, 0);
  const int64_t x = spread > 0 ? R() % (2 * spread) + s.centreX - spread / 2 : s.centreX;
  const int64_t y = spread > 0 ? R() % (2 * spread) + s.centreY - spread / 2 : s.centreY;
  p.x = x * 100;
  p.y = y * 100;
  const int64_t jx = std::max<int64_t>(1, Abs64(int64_t{s.velX} * 100 / 2));
  const int64_t jy = std::max<int64_t>(1, Abs64(int64_t{s.velY} * 100 / 2));
  p.vx = int64_t{s.velX} * 100 + R() % jx - jx / 2;
  p.vy = int64_t{s.velY} * 100 + R() % jy - jy / 2;
  const int64_t period =
      R() % std::max(1, s.periodBase) + int64_t{s.periodBase} / 2 + 2;
  p.period = static_cast<int>(std::clamp<int64_t>(period, 1, INT_MAX));
  p.phase = static_cast<int>(R() % p.period);
  p.reverse = 0;
  if (s.reverseAllowed && R() % 100 < 50) p.reverse = 1;
}

void CEffectHanabira::TakeSettings(const EffectChannel& r) {
  Settings& s = settings_;
  s.centreX = r.Param(kCentreX);
  s.centreY = r.Param(kCentreY);
  s.spread = r.Param(kSpread);
  s.velX = r.Param(kVelocityX);
  s.velY = r.Param(kVelocityY);
  s.respawn = r.Param(kRespawn);
  s.kinds = std::max(r.Param(kKinds), 1);
  s.turnFrames = std::max(r.Param(kTurnFrames), 1);
  s.reverseAllowed = r.Param(kReverseAllowed);
  s.periodBase = r.Param(kPeriodBase);
  s.framesPerStep = std::max(r.Param(kFramesPerStep), 1);
  s.cellW = r.Param(kCellWidth);
  s.cellH = r.Param(kCellHeight);
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  // Halved before the sign turns, so the most negative cell size cannot
  // overflow (the same value for every other size).
  s.left = -(s.cellW / 2);
  s.top = -(s.cellH / 2);
  s.right = Clamp32(int64_t{s.cellW} / 2 + w);
  s.bottom = Clamp32(int64_t{s.cellH} / 2 + h);
  s.ampX = -static_cast<double>(s.velY) * r.Param(kSwingPercent);
  s.ampY = static_cast<double>(s.velX) * r.Param(kSwingPercent);
}

int CEffectHanabira::SetParam(EffectChannel* record, int count, const int* values, int channel) {
  CTableStartEffect::SetParam(record, count, values, channel);
  if (record->Param(kKeep) || channel < 0 || channel >= 16) return 1;
  TakeSettings(*record);
  for (int i = 0; i < record->Param(kCount); ++i) InitPetal(kPerChannel * channel + i);
  return 1;
}

void CEffectHanabira::Restore(EffectChannel* record, int channel) {
  StartAgain(record, channel);
}

void CEffectHanabira::MovePetal(Petal* p) {
  const Settings& s = settings_;
  if (s.turnFrames > 1) {
    const int64_t block = int64_t{s.turnFrames} * s.framesPerStep;
    const int64_t start = p->counter / block * block;
    p->counter = static_cast<int>(start + Modulo(p->counter - start + (p->reverse ? -1 : 1), block));
  }
  p->phase = (p->phase + 1) % p->period;
  const double sw = std::sin(p->phase * kTwoPi / p->period);
  p->x += p->vx + Round(sw * s.ampX * 0.2);
  p->y += p->vy + Round(sw * s.ampY * 0.2);
  const int64_t px = p->x / 100, py = p->y / 100;
  if ((p->vx >= 0 ? px > s.right : px < s.left) || (p->vy >= 0 ? py > s.bottom : py < s.top))
    p->counter = -1;
}

void CEffectHanabira::Print(EffectChannel* record, int channel) {
  if (channel < 0 || channel >= 16) return;
  if (record->Counter() >= std::max(record->Duration(), 1) || record->Param(kDrawSwitch) == -1)
    return;
  CPicture* picture = RecordPicture(*record);
  const int cw = record->Param(kCellWidth), ch = record->Param(kCellHeight);
  if (!picture || picture->GetWidth() <= 0 || picture->GetHeight() <= 0 || cw <= 0 || ch <= 0 ||
      picture->GetWidth() < cw || picture->GetHeight() < ch)
    return;
  const int columns = picture->GetWidth() / cw;
  TakeSettings(*record);
  const Settings& s = settings_;
  const int opacity =
      std::clamp(CalcuCurve(record->Counter(), record->Duration(), record->Param(kStartOpacity),
                            record->Param(kEndOpacity), record->Param(kOpacityRamp),
                            record->Param(kOpacityCurve)),
                 0, 100);
  const int count = std::clamp(record->Param(kCount), 0, kPerChannel);
  for (int i = 0; i < count; ++i) {
    Petal* p = &petals_[kPerChannel * channel + i];
    if (p->counter == -1) {
      if (!s.respawn) continue;
      InitPetal(kPerChannel * channel + i);
    }
    MovePetal(p);
    if (p->counter < 0 || opacity == 0) continue;
    const int64_t px = p->x / 100, py = p->y / 100;
    if (px < s.left || px > s.right || py < s.top || py > s.bottom) continue;
    const int dx = static_cast<int>(px - cw / 2), dy = static_cast<int>(py - ch / 2);
    auto cellX = [&](int64_t n) { return static_cast<int>(n % columns * cw); };
    auto cellY = [&](int64_t n) { return Clamp32(n / columns * ch); };
    if (s.framesPerStep > 1) {
      const int64_t step = p->counter / s.framesPerStep;
      const int64_t start = step / s.turnFrames * s.turnFrames;
      int64_t next = p->reverse ? step - 1 : step + 1;
      if (next >= start + s.turnFrames) next = start;
      if (next < start) next = start + s.turnFrames - 1;
      const int weight =
          static_cast<int>(int64_t{p->counter % s.framesPerStep} * 100 / s.framesPerStep);
      picture->ChangeTransLucentBlt(dx, dy, cellX(step), cellY(step), cw, ch,
                                    opacity * (100 - weight) / 100, opacity * weight / 100,
                                    picture, cellX(next), cellY(next));
    } else if (opacity == 100) {
      picture->Blt(dx, dy, cellX(p->counter), cellY(p->counter), cw, ch, 1);
    } else {
      picture->TransLucentBlt3(dx, dy, cellX(p->counter), cellY(p->counter), cw, ch, opacity);
    }
  }
}

// --- #71 ---

// The emission area and velocity in 1/256 pixel steps, the glow colour,
// brightness in percent, the swing angle in degrees and its amplitude.
constexpr ParamDefault CEffectHotaru::kDefaults[] = {
    Value(kDuration, 20),
    Value(kCount, 100),
    Value(kAreaX, Width()),
    Value(kAreaY, Height(1, 1, -180)),
    Value(kAreaWidth, 100),
    Value(kAreaHeight, 100),
    Value(kVelocityX, 100),
    Value(kVelocityY, 100),
    Value(kRed, 255),
    Value(kGreen, 255),
    Value(kBlue, 255),
    Value(kRespawn, 0),
    Value(kKeep, 0),
    Value(kFirstRecord, 0),
    Value(kEndBrightness, 100),
    Value(kPeriodBase, 15),
    Value(kSwingAngle, -1),
    Value(kSwingAmplitude, 20),
};
constexpr ParamClamp CEffectHotaru::kClamps[] = {
    Range(kAreaWidth, 1, INT_MAX),
    Range(kAreaHeight, 1, INT_MAX),
    Range(kPeriodBase, 1, INT_MAX),
};

constexpr StartTable CEffectHotaru::kTable{kNumber, 20, -1, kAfter, kDefaults, kClamps};

CEffectHotaru::CEffectHotaru(CEffectManager* manager)
    : CTableStartEffect(manager, kTable), fireflies_(new Firefly[kRecords]) {
  for (int k = 0; k < kRecords; ++k) InitFirefly(k);
}

CEffectHotaru::~CEffectHotaru() { ReleaseTable(); }

void CEffectHotaru::ReleaseTable() { fireflies_.reset(); }

void CEffectHotaru::InitFirefly(int k) {
  Firefly& f = fireflies_[k];
  const Settings& s = settings_;
  f.x = (R() % std::max(s.areaW, 1) + s.areaX) * 256;
  f.y = (R() % std::max(s.areaH, 1) + s.areaY) * 256;
  const int64_t jx = std::max<int64_t>(1, Abs64(s.velX) * 128);
  const int64_t jy = std::max<int64_t>(1, Abs64(s.velY) * 128);
  f.vx = int64_t{s.velX} * 256 + R() % jx - jx / 2;
  f.vy = int64_t{s.velY} * 256 + R() % jy - jy / 2;
  const int64_t base = std::max(s.periodBase, 1);
  f.period = static_cast<int>(std::min<int64_t>(R() % (4 * base) + base, INT_MAX));
  f.phase = static_cast<int>(R() % f.period);
}

void CEffectHotaru::HoldRecords(int* first, int* count) {
  if (int64_t{*first} + *count > kRecords) *first = Clamp32(int64_t{kRecords} - *count);
  *first = std::clamp(*first, 0, kRecords - 1);
  *count = std::min(*count, kRecords - *first);
}

void CEffectHotaru::TakeSettings(const EffectChannel& r) {
  Settings& s = settings_;
  s.areaX = r.Param(kAreaX);
  s.areaY = r.Param(kAreaY);
  s.areaW = std::max(r.Param(kAreaWidth), 1);
  s.areaH = std::max(r.Param(kAreaHeight), 1);
  s.velX = r.Param(kVelocityX);
  s.velY = r.Param(kVelocityY);
  s.respawn = r.Param(kRespawn);
  s.periodBase = std::max(r.Param(kPeriodBase), 1);
  s.angle = r.Param(kSwingAngle);
  s.amplitude = r.Param(kSwingAmplitude);
  if (s.angle == -1) {
    s.dirX = 0.2;
    s.dirY = 0;
  } else {
    const double a = s.angle * kTwoPi / 360;
    s.dirX = std::cos(a) * 0.2;
    s.dirY = std::sin(a) * 0.2;
  }
}

int CEffectHotaru::SetParam(EffectChannel* record, int count, const int* values, int channel) {
  CTableStartEffect::SetParam(record, count, values, channel);
  int first = record->Param(kFirstRecord), n = record->Param(kCount);
  HoldRecords(&first, &n);
  record->Param(kFirstRecord) = first;
  record->Param(kCount) = n;
  if (record->Param(kKeep)) return 1;
  TakeSettings(*record);
  for (int k = first; k < first + n; ++k) InitFirefly(k);
  return 1;
}

void CEffectHotaru::Restore(EffectChannel* record, int channel) {
  StartAgain(record, channel);
}

void CEffectHotaru::MakeGlow(const EffectChannel& record) {
  const int64_t duration = std::max(record.Duration(), 1);
  const int w = static_cast<int>(std::clamp<int64_t>(
      int64_t{record.Counter()} * (int64_t{record.Param(kEndBrightness)} - 100) / duration + 100, 0,
      100));
  static constexpr int kBgr[3] = {kBlue, kGreen, kRed};
  for (int i = 0; i < 64; ++i) {
    const int u = i % 8 * 2 - 7, v = i / 8 * 2 - 7;
    const double d = std::sqrt(static_cast<double>(u * u + v * v));
    const int64_t e = static_cast<int64_t>(2 * d * d);
    for (int c = 0; c < 3; ++c) {
      const int64_t t = record.Param(kBgr[c]);
      int64_t add = 0, sub = 0;
      if (t >= 0)
        add = w * (t - e) / 100;
      else
        sub = (-t - e) * w / 100;
      glow_[i][c] = static_cast<uint8_t>(std::clamp<int64_t>(add, 0, 255));
      glow_[i][3 + c] = static_cast<uint8_t>(std::clamp<int64_t>(sub, 0, 255));
    }
  }
}

void CEffectHotaru::Print(EffectChannel* record, int) {
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  TakeSettings(*record);
  int first = record->Param(kFirstRecord), n = record->Param(kCount);
  HoldRecords(&first, &n);
  if (n < 1) return;
  MakeGlow(*record);
  uint32_t* screen = CScreenBuffer::GetBuffer();
  const Settings& s = settings_;
  for (int k = first; k < first + n; ++k) {
    Firefly& f = fireflies_[k];
    if (f.period == 0) {
      if (!s.respawn) continue;
      InitFirefly(k);
    }
    if (++f.phase >= f.period) f.phase -= f.period;
    const double g = std::cos(f.phase * kTwoPi / f.period) * s.amplitude * 256;
    int64_t sx = 0, sy = 0;
    if (s.angle == -1) {
      const int64_t m = Round(g * 0.2);
      if (Abs64(f.vy) < Abs64(f.vx))
        sy = m;
      else
        sx = m;
    } else {
      sx = Round(g * s.dirX);
      sy = Round(g * s.dirY);
    }
    f.x += f.vx + sx;
    f.y += f.vy + sy;
    const int64_t px = f.x / 256, py = f.y / 256;
    if ((f.vx > 0 && px > w - 4) || (f.vx < 0 && px < 4) || (f.vy > 0 && py > h - 4) ||
        (f.vy < 0 && py < 4)) {
      f.period = 0;
      continue;
    }
    const int64_t cx = f.x >> 8, cy = f.y >> 8;
    if (!screen || cx < 4 || cx > w - 5 || cy < 4 || cy > h - 5) continue;
    for (int i = 0; i < 64; ++i) {
      uint32_t& pixel = screen[static_cast<size_t>(cy - 4 + i / 8) * w + (cx - 4 + i % 8)];
      uint32_t out = 0;
      for (int c = 0; c < 3; ++c) {
        int v = static_cast<int>(pixel >> (8 * c) & 0xFF);
        v = std::min(255, v + glow_[i][c]);
        v = std::max(0, v - glow_[i][3 + c]);
        out |= static_cast<uint32_t>(v) << (8 * c);
      }
      pixel = out;
    }
  }
}

// --- #104 ---

// The first value is kept, not used. The leaves' size in pixels, speeds in
// pixels and degrees per frame, radii in pixels.
constexpr ParamDefault CEffectKonoha::kDefaults[] = {
    NoDefault(kDuration),         Value(kLeafWidth, 32),
    Value(kLeafHeight, 32),       Value(kKinds, 1),
    Value(kTurnFrames, 1),        Value(kCount, 100),
    Value(kSpacing, 3),           Value(kRadialSpeed, 7),
    Value(kAngularSpeed, 15),     Value(kStartRadius, 0),
    Value(kEndRadius, 1000),      Value(kDelay, 0),
    Value(kCentreX, Width(1, 2)), Value(kCentreY, Height(1, 2)),
};
constexpr ParamClamp CEffectKonoha::kClamps[] = {Range(kTurnFrames, 1, 360),
                                                 Range(kSpacing, 1, INT_MAX)};

constexpr StartTable CEffectKonoha::kTable{kNumber, 16, 999999, kAfter, kDefaults, kClamps};

CEffectKonoha::CEffectKonoha(CEffectManager* manager) : CTableStartEffect(manager, kTable) {
  for (int i = 0; i < 360; ++i) {
    const double a = i * kTwoPi / 360;
    table_[i][0] = static_cast<int>(std::cos(a) * 256 + 0.5);
    table_[i][1] = static_cast<int>(std::sin(a) * 256 + 0.5);
  }
}

void CEffectKonoha::Calcu(EffectChannel* record, int) {
  if (record->Counter() > 10000) record->Counter() = record->Param(kDelay);
}

void CEffectKonoha::Print(EffectChannel* record, int) {
  CPicture* picture = RecordPicture(*record);
  const int w = CScreenBuffer::GetWidth(), h = CScreenBuffer::GetHeight();
  const int64_t lw = record->Param(kLeafWidth), lh = record->Param(kLeafHeight);
  // A leaf larger than the picture draws nothing.
  if (!picture || lw > picture->GetWidth() || lh > picture->GetHeight()) return;
  const int kinds = record->Param(kKinds);
  const int turn = std::clamp(record->Param(kTurnFrames), 1, 360);
  const int count = std::min(record->Param(kCount), kMaxLeaves);
  const int divisor = std::max(record->Param(kSpacing), 1);
  const int64_t speed = record->Param(kRadialSpeed), angular = record->Param(kAngularSpeed);
  const int64_t start = record->Param(kStartRadius), end = record->Param(kEndRadius);
  const int64_t cx = record->Param(kCentreX), cy = record->Param(kCentreY);
  const int64_t span = std::max<int64_t>(1, Abs64(end - start));
  const int step = 360 / divisor;
  const int b = 360 / turn;
  int a = 0;
  for (int i = 0; i < count; ++i) {
    a = (a + step) % 360;
    const int64_t age = int64_t{record->Counter()} + i - record->Param(kDelay);
    if (age < 0) continue;
    // The product of two script values stays within 64 bits.
    const int64_t travel = static_cast<int64_t>((static_cast<__int128>(speed) * age) % span);
    const int64_t radius = std::max<int64_t>(0, end >= start ? start + travel : start - travel);
    const int64_t turned = static_cast<int64_t>((static_cast<__int128>(angular) * age) % 360);
    const int angle =
        static_cast<int>(Modulo(turned + int64_t{i} * 360 / count + a, 360));
    const int64_t x = cx + radius * table_[angle][0] / 256 - lw / 2;
    const int64_t y = cy + radius * table_[angle][1] / 256 - lh / 2;
    if (x < -lw || x > w + lw - 1 || y < -lh || y > h + lh - 1) continue;
    const int column = turn < 2 ? 0 : (angle + b / 2) % 360 / b % turn;
    const int row = kinds < 2 ? 0 : i % kinds;
    picture->Blt(static_cast<int>(x), static_cast<int>(y), Clamp32(column * lw),
                 Clamp32(row * lh), Clamp32(lw), Clamp32(lh), 1);
  }
}
