#include "widget/gamemouse.h"

#include <algorithm>

#include "graphics/allgeo.h"
#include "graphics/picture.h"
#include "graphics/screenbuffer.h"
#include "setup/random.h"

CGameMouse::CGameMouse(CFloatingLayerTable* table, int firstSlot, CNameList* list)
    : CFloatingLayer(table, firstSlot, 1, "gameMouse", list) {
  const char* base = "ta_mouse";
  GetSetupInt(&trail_, "zanzouNumber");
  GetSetupInt(&specialMode_, "specialMode");
  GetSetupInt(&nc_, "mouseNumberConfig");
  GetSetupInt(&ns_, "mouseNumberScript");
  GetSetupInt(&sizeX_, "sizeX");
  GetSetupInt(&sizeY_, "sizeY");
  GetSetupInt(&hotX_, "hotPointX");
  GetSetupInt(&hotY_, "hotPointY");
  GetSetupInt(&anime_, "anime");
  GetSetupString(&base, "fileNameMouse");
  // Longer trails are cut at the ring's room; below 1 nothing is drawn.
  trail_ = std::clamp(trail_, 0, kMaxTrail);

  floating::FitDesignCounts(&nc_, &ns_, 1);
  names_.assign(static_cast<size_t>(nc_) * ns_, base);
  if (nc_ > 1 || ns_ > 1) {
    for (int s = 1; s <= ns_; ++s)
      for (int c = 1; c <= nc_; ++c)
        GetSetupString(&names_[(s - 1) * nc_ + (c - 1)],
                       floating::DesignNameKey("filenameMouse", nc_, ns_, s, c).c_str());
  }
  SetSize(sizeX_, sizeY_, 0);

  int type = 1, patterns = anime_, speed = 1;
  GetSetupInt(&type, "animeType");
  GetSetupInt(&patterns, "animePattern");
  GetSetupInt(&speed, "animeSpeed");
  counter_.Set(type, patterns, speed);
  counter_.SetCount(0);
  counter_.Calcu(0);

  picture_ = std::make_unique<CPicture>();
  LoadCurrent();
}

CGameMouse::~CGameMouse() = default;

const char* CGameMouse::GetFileName(int index) const {
  return index >= 0 && index < static_cast<int>(names_.size()) ? names_[index] : nullptr;
}

void CGameMouse::LoadCurrent() {
  floating::LoadSysPicture(picture_.get(), names_[script_ * nc_ + config_]);
  loadedConfig_ = config_;
  loadedScript_ = script_;
}

void CGameMouse::GetHotPoint(int* x, int* y) const {
  if (x) *x = hotX_;
  if (y) *y = hotY_;
}

void CGameMouse::SetSpecialMode(int mode) {
  if (mode != specialMode_) ringIndex_ = filled_ = recorded_ = 0;
  specialMode_ = mode;
}

void CGameMouse::Calcu(int n) { counter_.Calcu(n); }

void CGameMouse::Print(int x, int y, int number, int saveUnder) {
  if (config_ != loadedConfig_ || script_ != loadedScript_) LoadCurrent();
  const int px = floating::Offset(x, -int64_t{hotX_}), py = floating::Offset(y, -int64_t{hotY_});
  if (saveUnder) SaveUnder(px, py, 0);
  CScreenBuffer::AddDirtyRect(px, py, sizeX_, sizeY_);
  const int m = counter_.GetPattern(), next = counter_.GetNextPattern();
  const int p = counter_.GetPercent();
  if (specialMode_) {
    CScreenBuffer::SetFullRedraw(0);
    PrintSpecial(px, py, number, m);
  }
  const int row = floating::CellOffset(number, sizeY_);
  const int cell = floating::CellOffset(m, sizeX_), nextCell = floating::CellOffset(next, sizeX_);
  if (p >= 100)
    picture_->Blt(px, py, cell, row, sizeX_, sizeY_, 1);
  else if (p <= 0)
    picture_->Blt(px, py, nextCell, row, sizeX_, sizeY_, 1);
  else
    picture_->ChangeTransLucentBlt(px, py, cell, row, sizeX_, sizeY_, p, 100 - p,
                                   picture_.get(), nextCell, row);
}

bool CGameMouse::RingEntry(int back, int* index) const {
  const int ring = 3 * trail_;
  int distance = back % ring;
  if (distance == 0) distance = ring;
  if (distance > recorded_) return false;
  *index = ((ringIndex_ - distance) % ring + ring) % ring;
  return true;
}

void CGameMouse::Record() {
  const int ring = 3 * trail_;
  ringIndex_ = (ringIndex_ + 1) % ring;
  recorded_ = std::min(recorded_ + 1, ring);
}

void CGameMouse::PrintSpecial(int x, int y, int number, int pattern) {
  if (trail_ < 1) return;
  if (specialMode_ == 1) {
    trailAt_[ringIndex_] = {x, y};
    Record();
    filled_ = std::min(filled_ + 1, trail_);
    DrawTrail(number, pattern);
  } else if (specialMode_ == 2) {
    for (int i = 0; i < kSparkles; ++i) {
      const int dx = crt::rand() % 14 - 7;
      const int dy = -(crt::rand() % 16) - 4;
      sparkleAt_[ringIndex_][i] = {x, y};
      sparkleStep_[ringIndex_][i] = {dx, dy};
    }
    Record();
    filled_ = std::min(filled_ + 1, 3 * trail_);
    DrawSparkles();
  }
}

// The images start at the sixth newest position and go back three entries
// at a time, each fainter.
void CGameMouse::DrawTrail(int number, int pattern) {
  for (int i = 0; i < filled_; ++i) {
    int at = 0;
    if (!RingEntry(6 + 3 * i, &at)) continue;
    const int percent = std::max(1, std::min(100, (trail_ - i) * 60 / trail_ + 10));
    picture_->TransLucentBlt3(trailAt_[at].x, trailAt_[at].y, floating::CellOffset(pattern, sizeX_),
                              floating::CellOffset(number, sizeY_),
                              sizeX_, sizeY_, percent);
  }
}

// Each frame's sparkles fall along a parabola; older ones are darker. Only
// the first four of each frame's ten are drawn.
void CGameMouse::DrawSparkles() {
  const int n = filled_;
  for (int a = 1; a <= n; ++a) {
    int at = 0;
    if (!RingEntry(1 + a, &at)) continue;
    const int w = n - a + 1;
    const int r = w * 96 / n + 32, g = w * 160 / n + 64, b = w * 128 / n + 48;
    for (int i = 0; i < kDrawnSparkles; ++i) {
      const Point o = sparkleAt_[at][i], d = sparkleStep_[at][i];
      CAllGeo::AddBoxFill(o.x + a * d.x, o.y + a * d.y + a * a * 5 / 2, 1, 1, r, g, b, 100);
    }
  }
}
