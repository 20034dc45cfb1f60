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

namespace {

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

CParticleSheetEffect::CParticleSheetEffect(CEffectManager* manager, const char* first,
                                           const char* second, const char* missing)
    : CCommonEffect(manager), sheet_(std::make_unique<CPicture>()) {
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

void CParticleSheetEffect::MoveOncePerFrame() {
  if (moved_) return;
  Move();
  moved_ = 1;
}

// --- #14, #57 ---

CEffectSnowCommon::CEffectSnowCommon(CEffectManager* manager, int number)
    : CParticleSheetEffect(manager, "sys\\ta_eff_snow", "sys\\eff_snow", kSnowMissing),
      number_(number) {
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

int CEffectSnowCommon::SetParam(EffectChannel* record, int count, const int* values, int) {
  int p[3];
  const int given = TakeParams(count, values, 3, p);
  Default(p, given, 0, 20);
  Default(p, given, 1, 0);
  Default(p, given, 2, 5);
  BuildTables();
  return StartRecord(record, number_, p[0], p, 3);
}

void CEffectSnowCommon::Restore(EffectChannel* record, int channel) {
  int p[3];
  std::copy_n(&record->Param(0), 3, p);
  SetParam(record, 3, p, channel);
}

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
  if (!loaded_) return;
  const int low = record->Param(1) == -1 ? 0 : record->Param(1);
  const int high = record->Param(2) == -1 ? kClasses - 1 : record->Param(2);
  for (int i = 0; i < active_; ++i) {
    const Flake& f = flakes_[i];
    if (!ClassDrawn(f.sizeClass, low, high)) continue;
    const int size = kSnowSize[f.sizeClass];
    sheet_->Blt(f.screenX, f.screenY, f.variant * size, kSnowBand[f.sizeClass], size, size, 1);
  }
}

// --- #12 ---

CEffectFlower::CEffectFlower(CEffectManager* manager)
    : CParticleSheetEffect(manager, "sys\\ta_eff_saku", "sys\\eff_saku", kPetalMissing) {}

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

int CEffectFlower::SetParam(EffectChannel* record, int count, const int* values, int) {
  int p[4];
  const int given = TakeParams(count, values, 4, p);
  Default(p, given, 0, 20);
  Default(p, given, 1, 0);
  Default(p, given, 2, 2);
  Default(p, given, 3, kPetals / 2);
  p[3] = std::min(p[3], kPetals);
  return StartRecord(record, kNumber, 99999, p, 4);
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
  if (!loaded_) return;
  // A record from a save is held to the start's limit.
  const int drawn = std::clamp(record->Param(3), 0, kPetals);
  for (int i = 0; i < drawn; ++i) {
    const Petal& p = petals_[i];
    if (!ClassDrawn(p.sizeClass, record->Param(1), record->Param(2))) continue;
    const int size = kPetalSize[p.sizeClass];
    sheet_->Blt(p.screenX, p.screenY, p.frame * size, kPetalBand[p.sizeClass], size, size, 1);
  }
}

// --- #13 ---

int CEffectRain::SetParam(EffectChannel* record, int count, const int* values, int) {
  int p[kParams];
  const int given = TakeParams(count, values, kParams, p);
  Default(p, given, 0, 20);
  Default(p, given, 1, 30);
  Default(p, given, 2, 100);
  Default(p, given, 3, 60);
  Default(p, given, 4, 80);
  Default(p, given, 5, 255);
  Default(p, given, 6, p[5]);
  Default(p, given, 7, p[6]);
  p[2] = std::clamp(p[2], 0, kMaxDrops);
  p[3] = std::max(p[3], 1);
  p[4] = std::max(p[4], 1);
  std::copy_n(p, kParams, p_.begin());
  const int h = ScreenH();
  for (int i = 0; i < p_[2]; ++i) {
    Spawn(&drops_[i]);
    drops_[i].y = (RandomBelow(int64_t{h} + p_[4]) - p_[4]) * 256;
  }
  return StartRecord(record, kNumber, p[0], p, kParams);
}

void CEffectRain::Restore(EffectChannel* record, int channel) {
  int p[kParams];
  std::copy_n(&record->Param(0), kParams, p);
  SetParam(record, kParams, p, channel);
}

void CEffectRain::Spawn(Drop* d) const {
  const int64_t c = std::max(p_[3], 1);
  const int64_t half = std::max<int64_t>(c / 2, 1);
  const int64_t e = p_[4], f = std::max<int64_t>(e, 1);
  const int64_t w = ScreenW(), h = ScreenH();
  const int64_t g = RandomBelow(16) + p_[1] - 8;
  const int64_t reach = std::llabs(h * g / 256);
  d->x = (RandomBelow(w + 2 * reach) - reach) * 256;
  d->y = -RandomBelow(c) * 256;
  d->speed = Clamp32(c + RandomBelow(half));
  d->length = Clamp32(std::max<int64_t>(e / 2, 1) + RandomBelow(f));
  d->slant = g * 256;
}

void CEffectRain::Calcu(EffectChannel*, int) {
  const int64_t bottom = int64_t{ScreenH()} * 256;
  for (int i = 0; i < p_[2]; ++i) {
    Drop& d = drops_[i];
    d.x = AddSat(d.x, MulSat(d.slant, d.speed) / 256);
    d.y = AddSat(d.y, int64_t{d.speed} * 256);
    if (d.y >= bottom) Spawn(&d);
  }
}

void CEffectRain::Print(EffectChannel*, int) {
  const int64_t h = ScreenH();
  for (int i = 0; i < p_[2]; ++i) {
    const Drop& d = drops_[i];
    const int64_t y0 = d.y / 256;
    if (y0 >= h || y0 + d.length < 0) continue;
    const int64_t x0 = AddSat(d.x, 128) >> 8;
    CAllGeo::Line(Clamp32(x0), Clamp32(y0), Clamp32(AddSat(x0, MulSat(d.length, d.slant) >> 16)),
                  Clamp32(y0 + d.length), p_[5], p_[6], p_[7], 100);
  }
}
