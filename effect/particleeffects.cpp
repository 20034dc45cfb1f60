#include "effect/particleeffects.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "graphics/allgeo.h"
#include "graphics/picture.h"
#include "graphics/pictureloader.h"
#include "graphics/screenbuffer.h"
#include "platform/system.h"
#include "setup/random.h"

using namespace effectstart;

namespace {

constexpr ClampTiming kAfter = ClampTiming::kAfterDefaults;

// a x b, or a + b, held to the 64-bit range (script values make any
// slant and speed).
int64_t Saturate(__int128 v) {
  return static_cast<int64_t>(std::clamp<__int128>(v, INT64_MIN, INT64_MAX));
}
int64_t MulSat(int64_t a, int64_t b) { return Saturate(static_cast<__int128>(a) * b); }
int64_t AddSat(int64_t a, int64_t b) { return Saturate(static_cast<__int128>(a) + b); }

// One draw of the random generator, taken modulo n (0 when n is not
// positive: the draw is made all the same, so the order never shifts).
int64_t RandomBelow(int64_t n) {
  const int r = crt::rand();
  return n > 0 ? r % n : 0;
}

int ScreenW() { return CScreenBuffer::GetWidth(); }
int ScreenH() { return CScreenBuffer::GetHeight(); }

// A field coordinate on the screen at a depth scale.
int FieldToScreen(int field, int scale) { return static_cast<int>(int64_t{field} * scale / 2560); }

// A field position drawn for the depth scale: value x 64 / scale.
int AtDepth(int64_t value, int scale) { return static_cast<int>(value * 64 / scale); }

// The step of a sway table entry, rounded as the tables always were.
int SwayStep(double v) { return static_cast<int>(v); }

constexpr double kTwoPi = 6.28318;

constexpr int kSnowScale[6] = {64, 48, 32, 24, 16, 8};
constexpr int kSnowSize[6] = {64, 48, 32, 24, 16, 8};
constexpr int kSnowBand[6] = {0, 64, 112, 144, 168, 184};
constexpr int kPetalScale[3] = {32, 16, 8};
constexpr int kPetalSize[3] = {32, 16, 8};
constexpr int kPetalBand[3] = {0, 32, 48};

const char kSnowMissing[] =
    "ta_eff_snow.dwq \x96\x94\x82\xcd eff_snow.dwq\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc"
    "\x82\xb9\x82\xf1";
const char kPetalMissing[] =
    "ta_eff_saku.dwq \x96\x94\x82\xcd eff_saku.dwq\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc"
    "\x82\xb9\x82\xf1";

bool ClassDrawn(int sizeClass, int low, int high) { return sizeClass >= low && sizeClass <= high; }

}  // namespace

CParticleSheetEffect::CParticleSheetEffect(CEffectManager* manager, const StartTable& table,
                                           const char* first, const char* second,
                                           const char* missing)
    : CTableStartEffect(manager, table), sheet_(std::make_unique<CPicture>()), missing_(missing) {
  int report = 0;
  {
    const CQuietPictureLoads quiet;
    report = quiet.WasOn();
    loaded_ = sheet_->LoadDWQ(first, 0);
    if (!loaded_) loaded_ = sheet_->LoadDWQ(second, 1);
    loaded_ = loaded_ ? 1 : 0;
  }
  if (!loaded_ && report) platform::MessageBox(nullptr, missing, "Error", MB_OK);
}

CParticleSheetEffect::~CParticleSheetEffect() = default;

void CParticleSheetEffect::Tick(EffectChannel*, int) { moved_ = 0; }

bool CParticleSheetEffect::DrawsNothing() {
  if (loaded_) return false;
  if (!toldMissing_) platform::ErrorOutput(missing_);
  toldMissing_ = true;
  return true;
}

void CParticleSheetEffect::MoveOncePerFrame() {
  if (moved_) return;
  Move();
  moved_ = 1;
}

// --- #14, #57 ---

constexpr ParamDefault CEffectSnowCommon::kDefaults[] = {Value(kDuration, 20), Value(kSmallest, 0),
                                                         Value(kLargest, 5)};

constexpr StartTable CEffectSnow::kTable{kNumber, 3, -1, kAfter, kDefaults};
constexpr StartTable CEffectSnow2::kTable{kNumber, 3, -1, kAfter, kDefaults};

CEffectSnowCommon::CEffectSnowCommon(CEffectManager* manager, const StartTable& table)
    : CParticleSheetEffect(manager, table, "sys\\ta_eff_snow", "sys\\eff_snow", kSnowMissing) {
  Init(kMaxFlakes, 0);
  BuildTables();
}

void CEffectSnowCommon::Init(int a, int) {
  int n = a == 0 ? kMaxFlakes : a;
  active_ = std::clamp(n, 1, kMaxFlakes);
}

void CEffectSnowCommon::BuildTables() {
  for (int n = 20; n < 30; ++n)
    for (int j = 0; j < n; ++j)
      sway_[n - 20][j] =
          SwayStep((std::cos((j + 1) * kTwoPi / n) - std::cos(j * kTwoPi / n)) * 1000 + 0.5);
  for (int i = 0; i < active_; ++i) Seed(&flakes_[i]);
}

void CEffectSnowCommon::Seed(Flake* f) {
  const int r = static_cast<int>(RandomBelow(25600));
  f->sizeClass = r <= 0 ? 0 : r <= 9 ? 1 : r < 2000 ? 2 : r <= 5999 ? 3 : r > 13999 ? 5 : 4;
  f->variant = static_cast<int>(RandomBelow(4));
  const int64_t fx = RandomBelow(int64_t{ScreenW()} * 40);
  const int64_t fy = RandomBelow(int64_t{ScreenH()} * 40);
  f->speedX = static_cast<int>(RandomBelow(300)) - 150;
  f->speedY = static_cast<int>(RandomBelow(200)) + 500;
  f->phase = 0;
  f->period = static_cast<int>(RandomBelow(10)) + 20;
  f->fieldX = AtDepth(fx, kSnowScale[f->sizeClass]);
  f->fieldY = AtDepth(fy, kSnowScale[f->sizeClass]);
  Place(f);
}

void CEffectSnowCommon::Place(Flake* f) {
  f->screenX = FieldToScreen(f->fieldX, kSnowScale[f->sizeClass]);
  f->screenY = FieldToScreen(f->fieldY, kSnowScale[f->sizeClass]);
}

int CEffectSnowCommon::SetParam(EffectChannel* record, int count, const int* values, int channel) {
  BuildTables();
  return CTableStartEffect::SetParam(record, count, values, channel);
}

void CEffectSnowCommon::Restore(EffectChannel* record, int channel) { StartAgain(record, channel); }

void CEffectSnowCommon::Move() {
  const int h = ScreenH();
  for (int i = 0; i < active_; ++i) {
    Flake& f = flakes_[i];
    if (++f.phase >= f.period) f.phase = 0;
    Fall(&f, sway_[f.period - 20][f.phase], 0, h, this);
  }
}

void CEffectSnowCommon::Print(EffectChannel* record, int) {
  MoveOncePerFrame();
  if (DrawsNothing()) return;
  const int low = record->Param(kSmallest) == -1 ? 0 : record->Param(kSmallest);
  const int high = record->Param(kLargest) == -1 ? kClasses - 1 : record->Param(kLargest);
  for (int i = 0; i < active_; ++i) {
    const Flake& f = flakes_[i];
    if (!ClassDrawn(f.sizeClass, low, high)) continue;
    const int size = kSnowSize[f.sizeClass];
    sheet_->Blt(f.screenX, f.screenY, f.variant * size, kSnowBand[f.sizeClass], size, size, 1);
  }
}

// --- #12 ---

// The first value is kept, not used.
constexpr ParamDefault CEffectFlower::kDefaults[] = {
    Value(kDuration, 20), Value(kSmallest, 0), Value(kLargest, 2), Value(kDrawn, kPetals / 2)};
constexpr ParamClamp CEffectFlower::kClamps[] = {AtMost(kDrawn, Fixed(kPetals))};

constexpr StartTable CEffectFlower::kTable{kNumber, 4, 99999, kAfter, kDefaults, kClamps};

CEffectFlower::CEffectFlower(CEffectManager* manager)
    : CParticleSheetEffect(manager, kTable, "sys\\ta_eff_saku", "sys\\eff_saku", kPetalMissing) {}

void CEffectFlower::Init(int, int) {
  for (int n = 30; n < 40; ++n)
    for (int j = 0; j < n; ++j) {
      swayX_[n - 30][j] = SwayStep(
          (std::cos((j + n / 4 + 1) * kTwoPi / n) - std::cos((j + n / 4) * kTwoPi / n)) * 2000 +
          0.5);
      swayY_[n - 30][j] = SwayStep((std::sin((j % (n / 2)) * kTwoPi / n) - 0.8) * 300);
    }
  for (int i = 0; i < kPetals; ++i) {
    petals_[i].sizeClass = i < 50 ? 2 : i < 85 ? 1 : 0;
    Seed(&petals_[i]);
  }
}

void CEffectFlower::Seed(Petal* p) {
  p->frame = 0;
  const int64_t fx = RandomBelow(int64_t{ScreenW()} * 40);
  const int64_t fy = RandomBelow(int64_t{ScreenH()} * 40);
  p->speedX = static_cast<int>(RandomBelow(600)) - 300;
  p->speedY = static_cast<int>(RandomBelow(150)) + 200;
  p->phase = 0;
  p->period = static_cast<int>(RandomBelow(10)) + 30;
  p->fieldX = AtDepth(fx, kPetalScale[p->sizeClass]);
  p->fieldY = AtDepth(fy, kPetalScale[p->sizeClass]);
  Place(p);
}

void CEffectFlower::Place(Petal* p) {
  p->screenX = FieldToScreen(p->fieldX, kPetalScale[p->sizeClass]);
  p->screenY = FieldToScreen(p->fieldY, kPetalScale[p->sizeClass]);
  const int c = p->phase * 8 / p->period;
  p->frame = c < 5 ? c : 8 - c;
}

void CEffectFlower::Move() {
  const int h = ScreenH();
  for (Petal& p : petals_) {
    if (++p.phase >= p.period) p.phase = 0;
    Fall(&p, swayX_[p.period - 30][p.phase], swayY_[p.period - 30][p.phase], h, this);
  }
}

void CEffectFlower::Print(EffectChannel* record, int) {
  MoveOncePerFrame();
  if (DrawsNothing()) return;
  // A record from a save is held to the start's limit.
  const int drawn = std::clamp(record->Param(kDrawn), 0, kPetals);
  for (int i = 0; i < drawn; ++i) {
    const Petal& p = petals_[i];
    if (!ClassDrawn(p.sizeClass, record->Param(kSmallest), record->Param(kLargest))) continue;
    const int size = kPetalSize[p.sizeClass];
    sheet_->Blt(p.screenX, p.screenY, p.frame * size, kPetalBand[p.sizeClass], size, size, 1);
  }
}

// --- #13 ---

// The slant's base, the drops' speed in pixels per frame and the streaks'
// length in pixels.
constexpr ParamDefault CEffectRain::kDefaults[] = {
    Value(kDuration, 20), Value(kSlant, 30), Value(kDrops, 100), Value(kSpeed, 60),
    Value(kLength, 80),   Value(kRed, 255),  Same(kGreen, kRed), Same(kBlue, kGreen),
};
constexpr ParamClamp CEffectRain::kClamps[] = {
    Range(kDrops, 0, kMaxDrops), Range(kSpeed, 1, INT_MAX), Range(kLength, 1, INT_MAX)};

constexpr StartTable CEffectRain::kTable{kNumber, 8, -1, kAfter, kDefaults, kClamps};

CEffectRain::CEffectRain(CEffectManager* manager) : CTableStartEffect(manager, kTable) {}

int CEffectRain::SetParam(EffectChannel* record, int count, const int* values, int channel) {
  CTableStartEffect::SetParam(record, count, values, channel);
  for (size_t i = 0; i < p_.size(); ++i) p_[i] = record->Param(static_cast<int>(i));
  const int h = ScreenH();
  for (int i = 0; i < p_[kDrops]; ++i) {
    Spawn(&drops_[i]);
    drops_[i].y = (RandomBelow(int64_t{h} + p_[kLength]) - p_[kLength]) * 256;
  }
  return 1;
}

void CEffectRain::Restore(EffectChannel* record, int channel) { StartAgain(record, channel); }

void CEffectRain::Spawn(Drop* d) const {
  const int64_t c = std::max(p_[kSpeed], 1);
  const int64_t half = std::max<int64_t>(c / 2, 1);
  const int64_t e = p_[kLength], f = std::max<int64_t>(e, 1);
  const int64_t w = ScreenW(), h = ScreenH();
  const int64_t g = RandomBelow(16) + p_[kSlant] - 8;
  const int64_t reach = std::llabs(h * g / 256);
  d->x = (RandomBelow(w + 2 * reach) - reach) * 256;
  d->y = -RandomBelow(c) * 256;
  d->speed = Clamp32(c + RandomBelow(half));
  d->length = Clamp32(std::max<int64_t>(e / 2, 1) + RandomBelow(f));
  d->slant = g * 256;
}

void CEffectRain::Calcu(EffectChannel*, int) {
  const int64_t bottom = int64_t{ScreenH()} * 256;
  for (int i = 0; i < p_[kDrops]; ++i) {
    Drop& d = drops_[i];
    d.x = AddSat(d.x, MulSat(d.slant, d.speed) / 256);
    d.y = AddSat(d.y, int64_t{d.speed} * 256);
    if (d.y >= bottom) Spawn(&d);
  }
}

void CEffectRain::Print(EffectChannel*, int) {
  const int64_t h = ScreenH();
  for (int i = 0; i < p_[kDrops]; ++i) {
    const Drop& d = drops_[i];
    const int64_t y0 = d.y / 256;
    if (y0 >= h || y0 + d.length < 0) continue;
    const int64_t x0 = AddSat(d.x, 128) >> 8;
    CAllGeo::Line(Clamp32(x0), Clamp32(y0), Clamp32(AddSat(x0, MulSat(d.length, d.slant) >> 16)),
                  Clamp32(y0 + d.length), p_[kRed], p_[kGreen], p_[kBlue], 100);
  }
}
